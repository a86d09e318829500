// Record layer against bare SQLite on the sales lines, in one run:
//  - range read over the date key (Get_ge_extMode / Get_next_extMode), reading the
//    fields the statistics engine reads, against a bare prepared SELECT loop;
//  - inserting sales lines in manual-commit mode against bare prepared inserts in
//    one transaction.
// Usage: bench_recordlayer [rows] [folder]   (default 1000000 rows in /tmp)
#include "bench_gemeinsam.h"
#include "kovdbfiles.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include <sqlite3.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>

namespace {



void Pruefe(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A bare connection to the same file, beside the record layer's own.
sqlite3* Roh(const std::string& pfad) {
    static std::map<std::string, sqlite3*> offen;
    auto& h = offen[pfad];
    if (!h && sqlite3_open_v2(pfad.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "SQLite: cannot open %s\n", pfad.c_str());
        std::exit(1);
    }
    return h;
}

double BareInsert(const std::string& pfad, const std::vector<TZeile>& zeilen) {
    TRDLDatenbank::Anlegen(pfad, true).reset();
    sqlite3* h = nullptr;
    sqlite3_open_v2(pfad.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* st = nullptr;
    Pruefe(sqlite3_prepare_v2(h,
                              "INSERT INTO lst (mand_a, mand_b, rechner, transnr, posnr, datum, uhrzeit, filiale,"
                              " satzart, prod_a, prod_b, prod_c, artnr, grind, verknr, menge, betrag, betrag2,"
                              " waehrung, ek, herkunft) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                              -1, &st, nullptr), h);
    const auto t0 = Uhr::now();
    Pruefe(sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr), h);
    for (const auto& z : zeilen) {
        int i = 1;
        sqlite3_bind_int64(st, i++, z.mand);
        sqlite3_bind_int64(st, i++, 1);
        sqlite3_bind_int64(st, i++, z.rechner);
        sqlite3_bind_int64(st, i++, z.trans);
        sqlite3_bind_int64(st, i++, z.pos);
        sqlite3_bind_double(st, i++, z.datum);
        sqlite3_bind_double(st, i++, z.uhrzeit);
        sqlite3_bind_int64(st, i++, z.filiale);
        sqlite3_bind_text(st, i++, z.satzart, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, i++, 100 + z.grind);
        sqlite3_bind_int64(st, i++, z.verknr);
        sqlite3_bind_int64(st, i++, 1);
        sqlite3_bind_text(st, i++, "4711", -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, i++, z.grind);
        sqlite3_bind_int64(st, i++, z.verknr);
        sqlite3_bind_int64(st, i++, z.menge);
        sqlite3_bind_double(st, i++, z.betrag);
        sqlite3_bind_double(st, i++, z.betrag2);
        sqlite3_bind_text(st, i++, "EUR", -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, i++, z.ek);
        sqlite3_bind_int64(st, i++, z.herkunft);
        Pruefe(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    Pruefe(sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr), h);
    const double s = Sekunden(t0);
    sqlite3_finalize(st);
    sqlite3_close(h);
    return s;
}

double LayerInsert(const std::string& pfad, const std::vector<TZeile>& zeilen) {
    auto db = TRDLDatenbank::Anlegen(pfad, true);
    Tlstfile f(*db);
    const auto t0 = Uhr::now();
    f.ManualCommit_Set(true);
    for (const auto& z : zeilen) {
        LstEinfuegen(f, z);
    }
    f.Commit();
    f.ManualCommit_Set(false);
    return Sekunden(t0);
}

struct TLesung {
    double sekunden;
    int64_t zeilen;
    double summe;
};

TLesung BareRead(TRDLDatenbank& db, double von, double bis) {
    sqlite3* h = Roh(db.Pfad());
    sqlite3_stmt* st = nullptr;
    Pruefe(sqlite3_prepare_v2(h,
                              "SELECT datum, uhrzeit, filiale, satzart, betrag, betrag2, ek, menge, herkunft FROM lst"
                              " WHERE datum >= ? AND datum <= ? ORDER BY datum, filiale, id",
                              -1, &st, nullptr), h);
    const auto t0 = Uhr::now();
    sqlite3_bind_double(st, 1, von);
    sqlite3_bind_double(st, 2, bis);
    TLesung r{0, 0, 0};
    std::string satzart;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const double datum = sqlite3_column_double(st, 0);
        const double uhr = sqlite3_column_double(st, 1);
        const int fil = sqlite3_column_int(st, 2);
        satzart.assign(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)), size_t(sqlite3_column_bytes(st, 3)));
        if (satzart == "EB") continue;
        r.summe += datum * 0 + uhr + fil + sqlite3_column_double(st, 4) + sqlite3_column_double(st, 5) +
                   sqlite3_column_double(st, 6) + sqlite3_column_int(st, 7) + sqlite3_column_int(st, 8);
        ++r.zeilen;
    }
    r.sekunden = Sekunden(t0);
    sqlite3_finalize(st);
    return r;
}

TLesung LayerRead(TRDLDatenbank& db, double von, double bis) {
    Tlstfile f(db);
    const auto t0 = Uhr::now();
    TLesung r{};
    BereichLesen(f, von, bis, r.zeilen, r.summe);
    r.sekunden = Sekunden(t0);
    return r;
}

// The retrieval pattern of the sales statistics: one search per branch and day.
TLesung BareProTag(TRDLDatenbank& db, double von, int tage) {
    sqlite3* h = Roh(db.Pfad());
    sqlite3_stmt* st = nullptr;
    Pruefe(sqlite3_prepare_v2(h,
                              "SELECT uhrzeit, satzart, betrag, betrag2, ek, menge, herkunft FROM lst"
                              " WHERE datum = ? AND filiale = ? ORDER BY datum, filiale, id",
                              -1, &st, nullptr), h);
    const auto t0 = Uhr::now();
    TLesung r{0, 0, 0};
    for (int t = 0; t < tage; ++t)
        for (int fil = 1; fil <= 12; ++fil) {
            sqlite3_bind_double(st, 1, von + t);
            sqlite3_bind_int(st, 2, fil);
            while (sqlite3_step(st) == SQLITE_ROW) {
                if (std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))) == "EB") continue;
                r.summe += sqlite3_column_double(st, 0) + sqlite3_column_double(st, 2) + sqlite3_column_double(st, 3) +
                           sqlite3_column_double(st, 4) + sqlite3_column_int(st, 5) + sqlite3_column_int(st, 6);
                ++r.zeilen;
            }
            sqlite3_reset(st);
        }
    r.sekunden = Sekunden(t0);
    sqlite3_finalize(st);
    return r;
}

TLesung LayerProTag(TRDLDatenbank& db, double von, int tage) {
    Tlstfile f(db);
    const auto t0 = Uhr::now();
    TLesung r{0, 0, 0};
    for (int t = 0; t < tage; ++t)
        for (int fil = 1; fil <= 12; ++fil) {
            f.SucheInit();
            f.KeyNr_Set(Tlstfile::KeyDatum);
            f.Datum.SetKeyWert(von + t);
            f.Datum.KeyWertUebernehmen();
            f.ExtendedFilterAdd(f.Datum, fvGleich, fkUnd);
            f.Filiale.SetWert(int16_t(fil));
            f.ExtendedFilterAdd(f.Filiale, fvGleich, fkUnd);
            f.ExtendedFilterFinalize();
            for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) {
                if (f.Satzart.GetWert() == "EB") continue;
                r.summe += f.Uhrzeit.GetWert() + f.Betrag.GetWert() + f.Betrag2.GetWert() + f.EK.GetWert() +
                           f.Menge.GetWert() + f.Herkunft.GetWert();
                ++r.zeilen;
            }
        }
    r.sekunden = Sekunden(t0);
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const std::string ordner = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
    const std::string pfadBare = ordner + "/bench_lst_bare.db", pfadLayer = ordner + "/bench_lst_layer.db";
    const auto zeilen = Zeilen(n);

    // Insert: alternate, best of two each.
    double bareIns = 1e9, layerIns = 1e9;
    for (int runde = 0; runde < 2; ++runde) {
        bareIns = std::min(bareIns, BareInsert(pfadBare, zeilen));
        layerIns = std::min(layerIns, LayerInsert(pfadLayer, zeilen));
    }
    std::printf("insert  %lld rows: bare %.0f rows/s, record layer %.0f rows/s, ratio %.2f\n", (long long)n,
                double(n) / bareIns, double(n) / layerIns, bareIns / layerIns);

    // Range read over the whole period on the same table, alternating, best of three.
    auto db = TRDLDatenbank::Oeffnen(pfadLayer);
    const double von = EncodeDate(2024, 1, 1), bis = von + 900;
    TLesung bare{1e9, 0, 0}, layer{1e9, 0, 0};
    for (int runde = 0; runde < 3; ++runde) {
        const auto b = BareRead(*db, von, bis);
        const auto l = LayerRead(*db, von, bis);
        if (b.sekunden < bare.sekunden) bare = b;
        if (l.sekunden < layer.sekunden) layer = l;
    }
    if (bare.zeilen != layer.zeilen || std::abs(bare.summe - layer.summe) > 1e-6 * std::abs(bare.summe)) {
        std::fprintf(stderr, "results differ: %lld/%f vs %lld/%f\n", (long long)bare.zeilen, bare.summe,
                     (long long)layer.zeilen, layer.summe);
        return 1;
    }
    std::printf("read    %lld rows: bare %.0f rows/s, record layer %.0f rows/s, ratio %.2f\n", (long long)n,
                double(n) / bare.sekunden, double(n) / layer.sekunden, bare.sekunden / layer.sekunden);

    // One search per branch and day over the whole period.
    TLesung bareTag{1e9, 0, 0}, layerTag{1e9, 0, 0};
    for (int runde = 0; runde < 3; ++runde) {
        const auto b = BareProTag(*db, von, 800);
        const auto l = LayerProTag(*db, von, 800);
        if (b.sekunden < bareTag.sekunden) bareTag = b;
        if (l.sekunden < layerTag.sekunden) layerTag = l;
    }
    if (bareTag.zeilen != layerTag.zeilen) {
        std::fprintf(stderr, "per-day results differ: %lld vs %lld\n", (long long)bareTag.zeilen,
                     (long long)layerTag.zeilen);
        return 1;
    }
    std::printf("per day 9600 searches: bare %.0f searches/s, record layer %.0f searches/s, ratio %.2f\n",
                9600 / bareTag.sekunden, 9600 / layerTag.sekunden, bareTag.sekunden / layerTag.sekunden);
    db.reset();
    for (const auto& p : {pfadBare, pfadLayer})
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(p + suffix);
    return 0;
}
