// Record layer against bare libpq on the sales lines, in one run:
//  - range read over the date key (Get_ge_extMode / Get_next_extMode with the date range
//    as extended filter), reading the fields the statistics engine reads, against a bare
//    libpq loop of the same shape: prepared statements, keyset pages of LeseBlock() rows
//    continuing after the last (datum, filiale, id), text format;
//  - the same rows through one query in single-row mode, as a second reference;
//  - the bare pages with the layer's column list, which tells the cost of the columns
//    from the cost of the layer's code;
//  - for information: inserts through the record layer (one round trip per row) against
//    bare prepared inserts and the bulk load (COPY) that filled the table.
// Usage: bench_recordlayer_pg [rows] [server address]
//   The address (default $QUENDRIX_BENCH_PG, else "postgresql:///") names the server; the
//   program creates its own database there and drops it at the end. Under pg_virtualenv
//   the PG* variables supply host, port, user and password.
#include "bench_gemeinsam.h"
#include "kovdbfiles.h"
#include "rdldatum.h"
#include <libpq-fe.h>
#include <unistd.h>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {



[[noreturn]] void Abbruch(PGconn* c, const char* was) {
    std::fprintf(stderr, "%s: %s\n", was, PQerrorMessage(c));
    std::exit(1);
}

PGconn* Verbinden(const std::string& adresse) {
    PGconn* c = PQconnectdb(adresse.c_str());
    if (PQstatus(c) != CONNECTION_OK) Abbruch(c, "connect");
    return c;
}

void Befehl(PGconn* c, const std::string& sql) {
    PGresult* r = PQexec(c, sql.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) Abbruch(c, sql.c_str());
    PQclear(r);
}

void Vorbereiten(PGconn* c, const char* name, const std::string& sql) {
    PGresult* r = PQprepare(c, name, sql.c_str(), 0, nullptr);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) Abbruch(c, sql.c_str());
    PQclear(r);
}

// The server address with another database: "postgresql://host/db?x" -> ".../name?x".
std::string MitDatenbank(const std::string& adresse, const std::string& name) {
    const auto schema = adresse.find("://");
    const auto start = schema == std::string::npos ? 0 : schema + 3;
    const auto frage = adresse.find('?', start);
    const auto pfad = adresse.find('/', start);
    const std::string vorne = adresse.substr(0, std::min(pfad, frage));
    const std::string hinten = frage == std::string::npos ? "" : adresse.substr(frage);
    return vorne + "/" + name + hinten;
}

// Text values of the bare loops, parsed as the driver parses them.
double AlsDouble(const PGresult* r, int z, int s) {
    double v = 0;
    const char* t = PQgetvalue(r, z, s);
    std::from_chars(t, t + PQgetlength(r, z, s), v);
    return v;
}
int64_t AlsInt(const PGresult* r, int z, int s) {
    int64_t v = 0;
    const char* t = PQgetvalue(r, z, s);
    std::from_chars(t, t + PQgetlength(r, z, s), v);
    return v;
}

struct TLesung {
    double sekunden;
    int64_t zeilen;
    double summe;
    double cpu = 0; // of this process: the rest of the time is the server's and the wire's
};

double CpuSekunden() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// What the statistics engine reads of a line, plus the position for the next page.
const std::string CBareSpalten = "datum, uhrzeit, filiale, satzart, betrag, betrag2, ek, menge, herkunft, id";
// The same first ten, then every other column, as the record layer selects them.
const std::string CAlleSpalten = CBareSpalten +
                                 ", mand_a, mand_b, rechner, transnr, posnr, prod_a, prod_b, prod_c, artnr, grind,"
                                 " verknr, waehrung";

void Aufsummieren(const PGresult* r, int z, TLesung& e) {
    const double datum = AlsDouble(r, z, 0);
    const double uhr = AlsDouble(r, z, 1);
    const int64_t fil = AlsInt(r, z, 2);
    if (std::string_view(PQgetvalue(r, z, 3), size_t(PQgetlength(r, z, 3))) == "EB") return;
    e.summe += datum * 0 + uhr + double(fil) + AlsDouble(r, z, 4) + AlsDouble(r, z, 5) + AlsDouble(r, z, 6) +
               double(AlsInt(r, z, 7)) + double(AlsInt(r, z, 8));
    ++e.zeilen;
}

// Keyset pages: the first page from the range, each further one after the last row's
// (datum, filiale, id); one prepared statement each, text format, as the layer queries.
TLesung BareSeiten(PGconn* c, double von, double bis, int64_t block, const std::string& spalten) {
    const auto t0 = Uhr::now();
    const double c0 = CpuSekunden();
    const std::string kopf = "SELECT " + spalten + " FROM lst WHERE ";
    Vorbereiten(c, "erste", kopf + "datum >= $1 AND datum <= $2 ORDER BY datum, filiale, id LIMIT $3");
    Vorbereiten(c, "weiter",
                kopf + "(datum, filiale, id) > ($4, $5, $6) AND datum >= $1 AND datum <= $2"
                       " ORDER BY datum, filiale, id LIMIT $3");
    char vonText[32], bisText[32];
    *std::to_chars(vonText, vonText + 31, von).ptr = 0;
    *std::to_chars(bisText, bisText + 31, bis).ptr = 0;
    const std::string grenze = std::to_string(block);
    std::string letzte[3]; // datum, filiale, id of the last row, as text
    TLesung e{0, 0, 0};
    for (bool erste = true;; erste = false) {
        const char* werte[6] = {vonText, bisText, grenze.c_str(), letzte[0].c_str(), letzte[1].c_str(),
                                letzte[2].c_str()};
        PGresult* r = PQexecPrepared(c, erste ? "erste" : "weiter", erste ? 3 : 6, werte, nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) Abbruch(c, "page");
        const int n = PQntuples(r);
        for (int z = 0; z < n; ++z) Aufsummieren(r, z, e);
        if (n > 0) {
            letzte[0] = PQgetvalue(r, n - 1, 0);
            letzte[1] = PQgetvalue(r, n - 1, 2);
            letzte[2] = PQgetvalue(r, n - 1, 9);
        }
        PQclear(r);
        if (n < block) break;
    }
    e.sekunden = Sekunden(t0);
    e.cpu = CpuSekunden() - c0;
    Befehl(c, "DEALLOCATE erste");
    Befehl(c, "DEALLOCATE weiter");
    return e;
}

// One query, rows streamed one by one (single-row mode).
TLesung BareEinzelzeilen(PGconn* c, double von, double bis) {
    const auto t0 = Uhr::now();
    const double c0 = CpuSekunden();
    Vorbereiten(c, "alle",
                "SELECT " + CBareSpalten +
                    " FROM lst WHERE datum >= $1 AND datum <= $2 ORDER BY datum, filiale, id");
    char vonText[32], bisText[32];
    *std::to_chars(vonText, vonText + 31, von).ptr = 0;
    *std::to_chars(bisText, bisText + 31, bis).ptr = 0;
    const char* werte[2] = {vonText, bisText};
    if (!PQsendQueryPrepared(c, "alle", 2, werte, nullptr, nullptr, 0) || !PQsetSingleRowMode(c))
        Abbruch(c, "single-row query");
    TLesung e{0, 0, 0};
    while (PGresult* r = PQgetResult(c)) {
        const auto status = PQresultStatus(r);
        if (status == PGRES_SINGLE_TUPLE) Aufsummieren(r, 0, e);
        else if (status != PGRES_TUPLES_OK) Abbruch(c, "single-row result");
        PQclear(r);
    }
    e.sekunden = Sekunden(t0);
    e.cpu = CpuSekunden() - c0;
    Befehl(c, "DEALLOCATE alle");
    return e;
}

// The range read of bench_recordlayer, unchanged.
TLesung LayerRead(TRDLDatenbank& db, double von, double bis) {
    Tlstfile f(db);
    const auto t0 = Uhr::now();
    const double c0 = CpuSekunden();
    TLesung r{};
    BereichLesen(f, von, bis, r.zeilen, r.summe);
    r.sekunden = Sekunden(t0);
    r.cpu = CpuSekunden() - c0;
    return r;
}

const std::vector<std::string> CLstSpalten = {
    "mand_a", "mand_b", "rechner", "transnr", "posnr",  "datum",  "uhrzeit", "filiale", "satzart", "prod_a", "prod_b",
    "prod_c", "artnr",  "grind",   "verknr",  "menge",  "betrag", "betrag2", "waehrung", "ek",     "herkunft"};

void Fuellen(TRDLDatenbank& db, const std::vector<TZeile>& zeilen) {
    RDLBuchung b(db);
    auto m = db.Massenladen("lst", CLstSpalten);
    for (const auto& z : zeilen) {
        m->Int(z.mand);
        m->Int(1);
        m->Int(z.rechner);
        m->Int(z.trans);
        m->Int(z.pos);
        m->Double(z.datum);
        m->Double(z.uhrzeit);
        m->Int(z.filiale);
        m->Text(z.satzart);
        m->Int(100 + z.grind);
        m->Int(z.verknr);
        m->Int(1);
        m->Text("4711");
        m->Int(z.grind);
        m->Int(z.verknr);
        m->Int(z.menge);
        m->Double(z.betrag);
        m->Double(z.betrag2);
        m->Text("EUR");
        m->Double(z.ek);
        m->Int(z.herkunft);
        m->ZeileEnde();
    }
    m->Abschliessen();
    m.reset();
    b.Beenden();
}

double LayerInsert(TRDLDatenbank& db, const std::vector<TZeile>& zeilen, size_t n) {
    Tlstfile f(db);
    const auto t0 = Uhr::now();
    f.ManualCommit_Set(true);
    for (size_t i = 0; i < n; ++i) {
        const auto& z = zeilen[i];
        LstEinfuegen(f, z);
    }
    f.Commit();
    f.ManualCommit_Set(false);
    return Sekunden(t0);
}

// Bare prepared inserts in one transaction, one round trip per row like the layer.
double BareInsert(PGconn* c, const std::vector<TZeile>& zeilen, size_t n) {
    const auto t0 = Uhr::now();
    std::string sql = "INSERT INTO lst (", platz;
    for (size_t i = 0; i < CLstSpalten.size(); ++i) {
        sql += (i ? ", " : "") + CLstSpalten[i];
        platz += (i ? ", $" : "$") + std::to_string(i + 1);
    }
    Vorbereiten(c, "einf", sql + ") VALUES (" + platz + ")");
    Befehl(c, "BEGIN");
    std::vector<std::string> t(CLstSpalten.size());
    auto zahl = [](double v) {
        char b[32];
        return std::string(b, std::to_chars(b, b + sizeof b, v).ptr);
    };
    for (size_t i = 0; i < n; ++i) {
        const auto& z = zeilen[i];
        t = {std::to_string(z.mand), "1", std::to_string(z.rechner), std::to_string(z.trans), std::to_string(z.pos),
             zahl(z.datum), zahl(z.uhrzeit), std::to_string(z.filiale), z.satzart, std::to_string(100 + z.grind),
             std::to_string(z.verknr), "1", "4711", std::to_string(z.grind), std::to_string(z.verknr),
             std::to_string(z.menge), zahl(z.betrag), zahl(z.betrag2), "EUR", zahl(z.ek), std::to_string(z.herkunft)};
        const char* werte[21];
        for (size_t k = 0; k < 21; ++k) werte[k] = t[k].c_str();
        PGresult* r = PQexecPrepared(c, "einf", 21, werte, nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_COMMAND_OK) Abbruch(c, "insert");
        PQclear(r);
    }
    Befehl(c, "COMMIT");
    const double s = Sekunden(t0);
    Befehl(c, "DEALLOCATE einf");
    return s;
}

bool Gleich(const TLesung& a, const TLesung& b) {
    return a.zeilen == b.zeilen && std::abs(a.summe - b.summe) <= 1e-9 * std::abs(a.summe);
}

} // namespace

int main(int argc, char** argv) {
    const int64_t n = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const char* env = std::getenv("QUENDRIX_BENCH_PG");
    const std::string server = argc > 2 ? argv[2] : (env && *env ? env : "postgresql:///");
    const std::string name = "quendrix_bench_" + std::to_string(::getpid());
    const std::string adresse = MitDatenbank(server, name);

    PGconn* verwaltung = Verbinden(server);
    Befehl(verwaltung, "CREATE DATABASE " + name);

    int rc = 0;
    {
        const auto zeilen = Zeilen(n);
        auto db = TRDLDatenbank::Anlegen(adresse, true);
        const int64_t block = db->Verbindung().LeseBlock();

        auto t0 = Uhr::now();
        Fuellen(*db, zeilen);
        const double laden = Sekunden(t0);
        db->NachMassenladen();
        // Hint bits and visibility set once, so that no loop pays for them first.
        PGconn* roh = Verbinden(adresse);
        Befehl(roh, "VACUUM (ANALYZE) lst");
        std::printf("fill    %lld rows by bulk load: %.0f rows/s\n", (long long)n, double(n) / laden);

        // Range read over the whole period, alternating, best of three. "all columns":
        // the bare pages with the layer's column list, to tell the cost of the columns
        // from the cost of the layer's code.
        const double von = EncodeDate(2024, 1, 1), bis = von + 900;
        TLesung seiten{1e9, 0, 0}, alle{1e9, 0, 0}, einzeln{1e9, 0, 0}, layer{1e9, 0, 0};
        auto besser = [](TLesung& best, const TLesung& l) {
            if (l.sekunden < best.sekunden) best = l;
        };
        for (int runde = 0; runde < 3; ++runde) {
            const auto s = BareSeiten(roh, von, bis, block, CBareSpalten);
            const auto l = LayerRead(*db, von, bis);
            const auto e = BareEinzelzeilen(roh, von, bis);
            const auto a = BareSeiten(roh, von, bis, block, CAlleSpalten);
            std::printf("  round %d (wall/client cpu s): pages %.3f/%.3f, record layer %.3f/%.3f, single-row "
                        "%.3f/%.3f, pages all columns %.3f/%.3f\n",
                        runde + 1, s.sekunden, s.cpu, l.sekunden, l.cpu, e.sekunden, e.cpu, a.sekunden, a.cpu);
            besser(seiten, s);
            besser(layer, l);
            besser(einzeln, e);
            besser(alle, a);
        }
        if (!Gleich(seiten, layer) || !Gleich(seiten, einzeln) || !Gleich(seiten, alle)) {
            std::fprintf(stderr,
                         "results differ: pages %lld/%.6f, record layer %lld/%.6f, single-row %lld/%.6f, "
                         "all columns %lld/%.6f\n",
                         (long long)seiten.zeilen, seiten.summe, (long long)layer.zeilen, layer.summe,
                         (long long)einzeln.zeilen, einzeln.summe, (long long)alle.zeilen, alle.summe);
            rc = 1;
        } else {
            std::printf("read    %lld rows (%lld counted, sum %.2f): bare pages %.0f rows/s, record layer %.0f rows/s, "
                        "ratio %.2f; bare single-row %.0f rows/s, ratio %.2f; bare pages all columns %.0f rows/s, "
                        "ratio %.2f\n",
                        (long long)n, (long long)layer.zeilen, layer.summe, double(n) / seiten.sekunden,
                        double(n) / layer.sekunden, seiten.sekunden / layer.sekunden, double(n) / einzeln.sekunden,
                        einzeln.sekunden / layer.sekunden, double(n) / alle.sekunden, alle.sekunden / layer.sekunden);
        }

        // Inserts for information: one round trip per row on both sides.
        const size_t nIns = std::min<size_t>(zeilen.size(), 20000);
        double bareIns = 1e9, layerIns = 1e9;
        for (int runde = 0; runde < 2; ++runde) {
            bareIns = std::min(bareIns, BareInsert(roh, zeilen, nIns));
            layerIns = std::min(layerIns, LayerInsert(*db, zeilen, nIns));
        }
        std::printf("insert  %zu rows: bare %.0f rows/s, record layer %.0f rows/s, ratio %.2f\n", nIns,
                    double(nIns) / bareIns, double(nIns) / layerIns, bareIns / layerIns);
        PQfinish(roh);
    }
    Befehl(verwaltung, "DROP DATABASE " + name);
    PQfinish(verwaltung);
    return rc;
}
