// The sales statistics engine on a generated installation (SQLite file, or a database of
// its own on a PostgreSQL server with --db), in one run:
//  1. the first build of the statistics against the SQL statements a user would write for
//     the whole-day figures per branch and day, and (SQLite only) a bare sqlite3 loop over
//     the lines; the built whole-day net sums must equal the SQL sums to the cent;
//  2. the update after one more day of sales in every branch against the first build;
//  3. the peak memory of the first build over 60 and over all days (child processes);
//  4. the comparison facade (each day of a year beside three prior years, every branch)
//     against SQL sums of the same days from the lines.
// The SQL runs on a bare sqlite3 connection to the file; on a server through the storage
// interface's driver on a connection of its own (plain SQL there, no record layer).
// Usage: bench_statistik [--db postgresql://...] [branches] [days] [folder]
//        (default 20 branches, 731 days, /tmp; --db names the server, the folder is unused)
//        bench_statistik --aufbau FILE|ADDRESS [days]   first build only, on an existing
//        installation (for profiling; its statistics are emptied first)
//        bench_statistik --fassade FILE|ADDRESS   the facade's year (first pass and again) on
//        a built installation
// Lines "step NAME SECONDS" and "check NAME DIFFERING" are for bench/beide_speicher.sh.
#include "bench_gemeinsam.h"
#include "bench_installation.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlspeicher.h"
#include "umsatzmani_umsausw.h"
#include "umsatzumszmani_base.h"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

namespace fs = std::filesystem;
using TUmszMani = TKOV_Umsatz_UmszMani_UmsAusw;
using TFassade = TKOV_UmsatzAuswertVerglMani_UmsAusw;
using TDaten = TKOV_Umsatzdaten_UmsAusw;

const TDate CHeute = EncodeDate(2026, 12, 10);
constexpr const char* CZaehlt = "satzart NOT IN ('EB', 'ME')"; // the lines that count (docs/schema.md)

std::string GPfad;

void Pruefe(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3* RohOeffnen() {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(GPfad.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "SQLite: cannot open %s\n", GPfad.c_str());
        std::exit(1);
    }
    sqlite3_busy_timeout(h, 10000);
    return h;
}

sqlite3_stmt* Vorbereiten(sqlite3* h, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    Pruefe(sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr), h);
    return st;
}

// The reference connection: bare sqlite3 on a file; on a server the driver of the storage
// interface, whose statements are plain SQL with "?" placeholders as well.
class TRoh {
public:
    explicit TRoh(const std::string& AOrt) {
        if (RDLIstServerAdresse(AOrt)) FServer = RDLPostgresVerbinden(AOrt);
        else FH = RohOeffnen();
    }
    ~TRoh() {
        if (FH) sqlite3_close(FH);
    }
    TRoh(const TRoh&) = delete;
    TRoh& operator=(const TRoh&) = delete;
    // nullptr on a server.
    sqlite3* Sqlite() const { return FH; }

    class TAbfrage {
    public:
        TAbfrage(TRoh& R, const std::string& ASql) : FH(R.FH) {
            if (FH) FSt = Vorbereiten(FH, ASql);
            else FServer = R.FServer->Vorbereiten(ASql);
        }
        ~TAbfrage() {
            if (FSt) sqlite3_finalize(FSt);
        }
        TAbfrage(const TAbfrage&) = delete;
        TAbfrage& operator=(const TAbfrage&) = delete;
        void Bind(int i, double v) { FSt ? void(sqlite3_bind_double(FSt, i, v)) : FServer->BindDouble(i, v); }
        void Bind(int i, int64_t v) { FSt ? void(sqlite3_bind_int64(FSt, i, v)) : FServer->BindInt(i, v); }
        void Bind(int i, int v) { Bind(i, int64_t(v)); }
        // The next row; false at the end (a write has none). Then bound anew and run again
        // after Zuruecksetzen.
        bool Schritt() {
            if (!FSt) return FServer->Schritt();
            const int rc = sqlite3_step(FSt);
            Pruefe(rc, FH);
            return rc == SQLITE_ROW;
        }
        void Zuruecksetzen() { FSt ? void(sqlite3_reset(FSt)) : FServer->Schliessen(); }
        int64_t Int(int c) const { return FSt ? sqlite3_column_int64(FSt, c) : FServer->Int(c); }
        double Double(int c) const { return FSt ? sqlite3_column_double(FSt, c) : FServer->Double(c); }
        std::string Blob(int c) const {
            if (!FSt) return FServer->Blob(c);
            return std::string(static_cast<const char*>(sqlite3_column_blob(FSt, c)), size_t(sqlite3_column_bytes(FSt, c)));
        }
        // Binds column ACol of AVon's current row to AIdx: as it is on SQLite, else by
        // AArt ('i' integer, 'd' floating point, 't' text).
        void Uebernehmen(int AIdx, const TAbfrage& AVon, int ACol, char AArt) {
            if (FSt) {
                sqlite3_bind_value(FSt, AIdx, sqlite3_column_value(AVon.FSt, ACol));
                return;
            }
            if (AVon.FServer->IstNull(ACol)) FServer->BindNull(AIdx);
            else if (AArt == 'i') FServer->BindInt(AIdx, AVon.FServer->Int(ACol));
            else if (AArt == 'd') FServer->BindDouble(AIdx, AVon.FServer->Double(ACol));
            else FServer->BindText(AIdx, AVon.FServer->Text(ACol));
        }

    private:
        sqlite3* FH;
        sqlite3_stmt* FSt = nullptr;
        std::unique_ptr<IRDLAbfrage> FServer;
    };

    void Beginnen() {
        if (FH) Pruefe(sqlite3_exec(FH, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), FH);
        else FServer->SchreibenBeginnen();
    }
    void Festschreiben() {
        if (FH) Pruefe(sqlite3_exec(FH, "COMMIT", nullptr, nullptr, nullptr), FH);
        else FServer->Festschreiben();
    }

private:
    sqlite3* FH = nullptr;
    std::unique_ptr<IRDLVerbindung> FServer;
};
using TAbfrage = TRoh::TAbfrage;

// Whole-day net figures of the statistics: net of articles and of other items, all groups.
double Netto(const TDaten& A) {
    double s = 0;
    for (int g = 0; g < CKOV_UmsAusw_AnzahlGruppen; ++g)
        s += A.Wert(TKOV_UmsAusw_Gruppe(g), ufNettoArtikel) + A.Wert(TKOV_UmsAusw_Gruppe(g), ufNettoSonstige);
    return s;
}
int64_t Cent(double A) { return std::llround(A * 100.0); }

struct TTagWerte {
    double Summe = 0;
    int64_t Transaktionen = 0, Artikel = 0;
};
using TSchluessel = std::pair<int, int64_t>; // branch, day
using TTagesTabelle = std::map<TSchluessel, TTagWerte>;

TTagesTabelle SqlTage(TRoh& h, const std::string& sql, TDate von, TDate bis, double& sekunden) {
    const auto t0 = Uhr::now();
    TTagesTabelle t;
    {
        TAbfrage st(h, sql);
        st.Bind(1, von);
        st.Bind(2, bis);
        while (st.Schritt())
            t[{int(st.Int(0)), int64_t(st.Double(1))}] = {st.Double(2), st.Int(3), st.Int(4)};
    }
    sekunden = Sekunden(t0);
    return t;
}

const std::string CZweiStufen =
    std::string("SELECT filiale, datum, SUM(s), COUNT(*), SUM(a) FROM (SELECT filiale, datum, SUM(betrag) AS s,"
                " SUM(menge) AS a FROM lst WHERE datum BETWEEN ? AND ? AND ") + CZaehlt +
    " GROUP BY filiale, datum, mand_a, mand_b, rechner, transnr) AS t GROUP BY filiale, datum";
// The branch fixes the client, so computer and number identify the transaction.
const std::string CEineStufe =
    std::string("SELECT filiale, datum, SUM(betrag), COUNT(DISTINCT rechner * 4294967296 + transnr), SUM(menge)"
                " FROM lst WHERE datum BETWEEN ? AND ? AND ") + CZaehlt + " GROUP BY filiale, datum";

// The floor: step the needed columns of every line once, sums in a hash table.
TTagesTabelle CSchleife(sqlite3* h, TDate von, TDate bis, double& sekunden, int64_t& zeilen) {
    const auto t0 = Uhr::now();
    sqlite3_stmt* st = Vorbereiten(h, "SELECT filiale, datum, satzart, mand_a, mand_b, rechner, transnr, betrag, menge"
                                      " FROM lst WHERE datum BETWEEN ?1 AND ?2");
    sqlite3_bind_double(st, 1, von);
    sqlite3_bind_double(st, 2, bis);
    std::unordered_map<int64_t, TTagWerte> t;
    int64_t letzte[4] = {-1, -1, -1, -1};
    zeilen = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++zeilen;
        const char* sa = reinterpret_cast<const char*>(sqlite3_column_text(st, 2));
        if (sa && ((sa[0] == 'E' && sa[1] == 'B') || (sa[0] == 'M' && sa[1] == 'E')) && sa[2] == 0) continue;
        const int fil = sqlite3_column_int(st, 0);
        const int64_t tag = int64_t(sqlite3_column_double(st, 1));
        TTagWerte& w = t[tag * 65536 + fil];
        w.Summe += sqlite3_column_double(st, 7);
        w.Artikel += sqlite3_column_int64(st, 8);
        const int64_t k[4] = {sqlite3_column_int64(st, 3), sqlite3_column_int64(st, 4), sqlite3_column_int64(st, 5),
                              sqlite3_column_int64(st, 6)};
        // A transaction's lines follow each other.
        if (std::memcmp(k, letzte, sizeof k) != 0) ++w.Transaktionen, std::memcpy(letzte, k, sizeof k);
    }
    Pruefe(rc, h);
    sqlite3_finalize(st);
    sekunden = Sekunden(t0);
    TTagesTabelle r;
    for (const auto& [k, w] : t) r[{int(k % 65536), k / 65536}] = w;
    return r;
}

// The floor of the engine's own way, in two halves measured apart. Reading: one statement
// per day through the date key, as the build reads, stepping the columns the line rule
// reads and taking each value, nothing counted. Returns the seconds.
double TageLesenRoh(sqlite3* h, TDate von, TDate bis, int64_t& zeilen) {
    const auto t0 = Uhr::now();
    sqlite3_stmt* st = Vorbereiten(h, "SELECT id, datum, filiale, satzart, herkunft, betrag, betrag2, ek, menge,"
                                      " prod_a, prod_b, prod_c, artnr, uhrzeit FROM lst WHERE datum = ?1");
    zeilen = 0;
    double senke = 0;
    for (TDate d = von; d <= bis; d += 1) {
        sqlite3_bind_double(st, 1, d);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            ++zeilen;
            for (int i : {0, 2, 4, 8, 9, 10, 11}) senke += double(sqlite3_column_int64(st, i));
            for (int i : {1, 5, 6, 7, 13}) senke += sqlite3_column_double(st, i);
            for (int i : {3, 12}) senke += double(sqlite3_column_bytes(st, i)) + (sqlite3_column_text(st, i) ? 1 : 0);
        }
        Pruefe(rc, h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (senke == 0.5) std::puts(""); // keeps the reads
    return Sekunden(t0);
}

// Booking: the records the engine wrote, held in memory, inserted again into an empty
// table of the same layout and keys, in transactions of 16 days like the build. Returns
// the seconds of the inserts and commits; the table is dropped again.
double BuchenRoh(sqlite3* h, int64_t& saetze) {
    struct TSatz {
        std::string Kennung, Daten;
        int64_t Werte[6];
        double Datum, Von, Bis;
    };
    std::vector<TSatz> alle;
    sqlite3_stmt* st = Vorbereiten(h, "SELECT kennung, mand_a, mand_b, orge_a, orge_b, filiale, ganztag, datum, von,"
                                      " bis, daten FROM umst ORDER BY datum, filiale");
    while (sqlite3_step(st) == SQLITE_ROW) {
        TSatz z;
        z.Kennung = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        for (int i = 0; i < 6; ++i) z.Werte[i] = sqlite3_column_int64(st, i + 1);
        z.Datum = sqlite3_column_double(st, 7), z.Von = sqlite3_column_double(st, 8), z.Bis = sqlite3_column_double(st, 9);
        z.Daten.assign(static_cast<const char*>(sqlite3_column_blob(st, 10)), size_t(sqlite3_column_bytes(st, 10)));
        alle.push_back(std::move(z));
    }
    sqlite3_finalize(st);
    saetze = int64_t(alle.size());
    auto exec = [&](const std::string& sql) { Pruefe(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr), h); };
    exec("DROP TABLE IF EXISTS umst_boden");
    std::string sql;
    st = Vorbereiten(h, "SELECT sql FROM sqlite_schema WHERE tbl_name = 'umst' AND sql IS NOT NULL ORDER BY type DESC");
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string s = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        // Index names begin with "umst_", the table is named before " (".
        for (size_t p = 0; (p = s.find("umst_", p)) != std::string::npos; p += 11) s.replace(p, 5, "umst_boden_");
        for (size_t p = 0; (p = s.find(" umst (", p)) != std::string::npos; p += 12) s.replace(p, 7, " umst_boden (");
        sql += s + ";";
    }
    sqlite3_finalize(st);
    exec(sql);
    const auto t0 = Uhr::now();
    st = Vorbereiten(h, "INSERT INTO umst_boden (kennung, mand_a, mand_b, orge_a, orge_b, filiale, ganztag, datum,"
                        " von, bis, daten) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    double erster = alle.empty() ? 0 : alle.front().Datum;
    exec("BEGIN IMMEDIATE");
    for (const auto& z : alle) {
        if (z.Datum >= erster + 16) exec("COMMIT"), exec("BEGIN IMMEDIATE"), erster = z.Datum;
        sqlite3_bind_text(st, 1, z.Kennung.c_str(), int(z.Kennung.size()), SQLITE_STATIC);
        for (int i = 0; i < 6; ++i) sqlite3_bind_int64(st, i + 2, z.Werte[i]);
        sqlite3_bind_double(st, 8, z.Datum), sqlite3_bind_double(st, 9, z.Von), sqlite3_bind_double(st, 10, z.Bis);
        sqlite3_bind_blob(st, 11, z.Daten.data(), int(z.Daten.size()), SQLITE_STATIC);
        Pruefe(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    exec("COMMIT");
    const double sekunden = Sekunden(t0);
    sqlite3_finalize(st);
    exec("DROP TABLE umst_boden");
    return sekunden;
}

// Whole-day net sums of the statistics file per branch and day.
std::map<TSchluessel, double> UmstTage(TRoh& h, TDate von, TDate bis) {
    TAbfrage st(h, "SELECT filiale, datum, daten FROM umst WHERE kennung = 'UMSAUSW' AND ganztag = 1"
                   " AND datum BETWEEN ? AND ?");
    st.Bind(1, von);
    st.Bind(2, bis);
    std::map<TSchluessel, double> r;
    while (st.Schritt()) {
        TDaten d;
        if (!TKOV_UmsDataOperator_UmsAusw::Blob_2_Daten(st.Blob(2), d)) {
            std::fprintf(stderr, "umst: unreadable figures\n");
            std::exit(1);
        }
        r[{int(st.Int(0)), int64_t(st.Double(1))}] = Netto(d);
    }
    return r;
}

// Branch days whose net sums differ by a cent or more; a day missing on one side counts as 0.
int Abweichungen(const std::map<TSchluessel, double>& umst, const TTagesTabelle& sql, int64_t& tageMitUmsatz) {
    int n = 0;
    tageMitUmsatz = 0;
    std::set<TSchluessel> alle;
    for (const auto& [k, v] : umst) alle.insert(k);
    for (const auto& [k, v] : sql) alle.insert(k);
    for (const auto& k : alle) {
        const auto u = umst.find(k);
        const auto s = sql.find(k);
        const int64_t a = u == umst.end() ? 0 : Cent(u->second), b = s == sql.end() ? 0 : Cent(s->second.Summe);
        if (b != 0) ++tageMitUmsatz;
        if (a != b && n++ < 5)
            std::fprintf(stderr, "  branch %d day %s: statistics %.2f, SQL %.2f\n", k.first,
                         DateToStr(TDate(k.second)).c_str(), a / 100.0, b / 100.0);
    }
    return n;
}

// --- memory ---------------------------------------------------------------------------

long StatusKb(const char* feld) {
    std::ifstream f("/proc/self/status");
    std::string zeile;
    const size_t n = std::strlen(feld);
    while (std::getline(f, zeile))
        if (zeile.compare(0, n, feld) == 0 && zeile.size() > n && zeile[n] == ':') return std::atol(zeile.c_str() + n + 1);
    return -1;
}

int RegistrierteMelden(const char* wo) {
    const auto& r = RDLInfo().Registrierte();
    for (size_t i = 0; i < r.size() && i < 3; ++i)
        std::fprintf(stderr, "%s: registered %s: %s\n", wo, r[i].TraceName.c_str(), r[i].Text.c_str());
    return int(r.size());
}

struct TBauErgebnis {
    double Sekunden = 0;
    long RssVorherKb = 0, SpitzeKb = 0, MaxRssKb = 0;
    int Ok = 0, Registriert = 0;
};

// A first build over the last ATage days in a child process, on an emptied statistics:
// its time and its peak memory above what the process held before.
TBauErgebnis ErsterAufbauImKind(int ATage) {
    int p[2];
    if (pipe(p) != 0) std::exit(1);
    const pid_t pid = fork();
    if (pid == 0) {
        close(p[0]);
        TBauErgebnis e;
        {
            auto db = TRDLDatenbank::Oeffnen(GPfad);
            db->Exec("DELETE FROM umst");
            db->Exec("DELETE FROM umsv");
            // On the server the deleted rows stay in the tables and their indexes until a
            // vacuum; a first build meets empty ones.
            if (RDLIstServerAdresse(GPfad) && !BenchServerBefehl(GPfad, "VACUUM (ANALYZE) umst, umsv")) _exit(1);
            BenchUmgebung(db);
        }
        // The peak from here on: the build's own memory.
        { std::ofstream("/proc/self/clear_refs") << "5"; }
        e.RssVorherKb = StatusKb("VmRSS");
        const auto t0 = Uhr::now();
        {
            TUmszMani m;
            e.Ok = m.UpdateStatistikfiles(ATage, false) ? 1 : 0;
        }
        e.Sekunden = Sekunden(t0);
        e.SpitzeKb = StatusKb("VmHWM");
        rusage ru{};
        getrusage(RUSAGE_SELF, &ru);
        e.MaxRssKb = ru.ru_maxrss;
        e.Registriert = RegistrierteMelden("first build");
        if (write(p[1], &e, sizeof e) != ssize_t(sizeof e)) _exit(1);
        _exit(0);
    }
    close(p[1]);
    TBauErgebnis e;
    const ssize_t n = read(p[0], &e, sizeof e);
    close(p[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (n != ssize_t(sizeof e) || !e.Ok || e.Registriert) {
        std::fprintf(stderr, "first build over %d days failed\n", ATage);
        std::exit(1);
    }
    return e;
}

// --- one more day of sales ---------------------------------------------------------------

// Copies the lines of AVon to ANach with new transaction numbers per client and computer,
// after the highest each has, as the tills would write them. Returns the lines written.
int64_t TagKopieren(TRoh& h, TDate AVon, TDate ANach) {
    std::map<std::tuple<int64_t, int64_t, int64_t>, int64_t> hoechste, ersteGestern;
    {
        TAbfrage st(h, "SELECT mand_a, mand_b, rechner, MAX(transnr) FROM lst GROUP BY 1, 2, 3");
        while (st.Schritt()) hoechste[{st.Int(0), st.Int(1), st.Int(2)}] = st.Int(3);
    }
    {
        TAbfrage st(h, "SELECT mand_a, mand_b, rechner, MIN(transnr) FROM lst WHERE datum = ? GROUP BY 1, 2, 3");
        st.Bind(1, AVon);
        while (st.Schritt()) ersteGestern[{st.Int(0), st.Int(1), st.Int(2)}] = st.Int(3);
    }
    const char* spalten = "mand_a, mand_b, rechner, transnr, posnr, datum, uhrzeit, filiale, satzart, prod_a, prod_b,"
                          " prod_c, artnr, grind, verknr, menge, betrag, betrag2, waehrung, ek, herkunft";
    const char* arten = "iiiiidditiiitiiiddtdi"; // of the columns above, for the server
    TAbfrage lesen(h, std::string("SELECT ") + spalten + " FROM lst WHERE datum = ? ORDER BY id");
    TAbfrage schreiben(h, std::string("INSERT INTO lst (") + spalten +
                              ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    lesen.Bind(1, AVon);
    h.Beginnen();
    int64_t n = 0;
    while (lesen.Schritt()) {
        for (int c = 0; c < 21; ++c) schreiben.Uebernehmen(c + 1, lesen, c, arten[c]);
        const std::tuple k{lesen.Int(0), lesen.Int(1), lesen.Int(2)};
        schreiben.Bind(4, hoechste[k] + 1 + lesen.Int(3) - ersteGestern[k]);
        schreiben.Bind(6, ANach);
        schreiben.Schritt();
        schreiben.Zuruecksetzen();
        ++n;
    }
    h.Festschreiben();
    return n;
}

// --- the comparison facade ---------------------------------------------------------------

struct TFilialeZeile {
    int Nr;
    TIntPair Mandant, OrgeID;
};

std::vector<TFilialeZeile> Filialen(TRoh& h) {
    std::vector<TFilialeZeile> r;
    TAbfrage st(h, "SELECT filiale, mand_a, mand_b, orge_a, orge_b FROM filiale ORDER BY filiale");
    while (st.Schritt())
        r.push_back({int(st.Int(0)), {int(st.Int(1)), int(st.Int(2))}, {int(st.Int(3)), int(st.Int(4))}});
    return r;
}

constexpr int CVorjahre = 3;

// What the evaluation shows of a branch day: its net and per prior year the mean net of
// the comparison days (which the facade chose).
struct TVergleich {
    double Tag = 0;
    double Vorjahr[CVorjahre] = {};
    std::vector<TDate> Tage[CVorjahre];
};

std::vector<TVergleich> FassadeFragen(const std::vector<TFilialeZeile>& AFilialen, TDate von, TDate bis,
                                      double& sekunden) {
    std::vector<TVergleich> r;
    const auto t0 = Uhr::now();
    TFassade f;
    for (const auto& fil : AFilialen)
        for (TDate d = von; d <= bis; d += 1) {
            TKOV_UmsatzDatenMitVorjahre<TDaten, TKOV_UmsDataOperator_UmsAusw> e;
            f.GetUmsatzMitVerglVJFuerTag(fil.Mandant, fil.OrgeID, CVorjahre, d, e);
            TVergleich v;
            v.Tag = Netto(e.FRealerUmsatz);
            for (int k = 0; k < CVorjahre; ++k) {
                v.Vorjahr[k] = Netto(e.FVorjahresUmsaetze[size_t(k)]);
                v.Tage[k].assign(e.FVergleichstage[size_t(k)].begin(), e.FVergleichstage[size_t(k)].end());
            }
            r.push_back(std::move(v));
        }
    sekunden = Sekunden(t0);
    return r;
}

// The same figures from the lines, given the facade's comparison days: either one
// prepared statement per needed branch day, or one GROUP BY over the span of needed days.
std::vector<TVergleich> SqlVergleich(TRoh& h, const std::vector<TFilialeZeile>& AFilialen, TDate von, TDate bis,
                                     const std::vector<TVergleich>& AFassade, bool AGruppiert, double& sekunden) {
    const auto t0 = Uhr::now();
    std::map<TSchluessel, double> summe;
    if (AGruppiert) {
        TDate erster = von;
        for (const auto& v : AFassade)
            for (const auto& tage : v.Tage)
                for (TDate t : tage) erster = std::min(erster, t);
        TAbfrage st(h, std::string("SELECT filiale, datum, SUM(betrag) FROM lst WHERE datum BETWEEN ? AND ? AND ") +
                           CZaehlt + " GROUP BY filiale, datum");
        st.Bind(1, erster);
        st.Bind(2, bis);
        while (st.Schritt()) summe[{int(st.Int(0)), int64_t(st.Double(1))}] = st.Double(2);
    } else {
        // No lines: SQL's NULL, read as 0 on both stores.
        TAbfrage st(h, std::string("SELECT SUM(betrag) FROM lst WHERE datum = ? AND filiale = ? AND ") + CZaehlt);
        size_t i = 0;
        for (const auto& fil : AFilialen)
            for (TDate d = von; d <= bis; d += 1, ++i) {
                std::vector<TDate> tage{d};
                for (const auto& vj : AFassade[i].Tage) tage.insert(tage.end(), vj.begin(), vj.end());
                for (TDate t : tage) {
                    if (summe.count({fil.Nr, int64_t(t)})) continue;
                    st.Bind(1, t);
                    st.Bind(2, fil.Nr);
                    st.Schritt();
                    summe[{fil.Nr, int64_t(t)}] = st.Double(0);
                    st.Zuruecksetzen();
                }
            }
    }
    auto wert = [&](int fil, TDate t) {
        const auto it = summe.find({fil, int64_t(t)});
        return it == summe.end() ? 0.0 : it->second;
    };
    std::vector<TVergleich> r;
    size_t i = 0;
    for (const auto& fil : AFilialen)
        for (TDate d = von; d <= bis; d += 1, ++i) {
            TVergleich v;
            v.Tag = wert(fil.Nr, d);
            for (int k = 0; k < CVorjahre; ++k) {
                double s = 0;
                for (TDate t : AFassade[i].Tage[k]) s += wert(fil.Nr, t);
                v.Vorjahr[k] = AFassade[i].Tage[k].empty() ? 0 : s / double(AFassade[i].Tage[k].size());
            }
            r.push_back(v);
        }
    sekunden = Sekunden(t0);
    return r;
}

int VergleichAbweichungen(const std::vector<TVergleich>& a, const std::vector<TVergleich>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        bool gleich = std::abs(a[i].Tag - b[i].Tag) < 0.005;
        for (int k = 0; k < CVorjahre; ++k) gleich = gleich && std::abs(a[i].Vorjahr[k] - b[i].Vorjahr[k]) < 0.005;
        if (!gleich && n++ < 5)
            std::fprintf(stderr, "  request %zu: facade %.2f/%.2f/%.2f/%.2f, SQL %.2f/%.2f/%.2f/%.2f\n", i, a[i].Tag,
                         a[i].Vorjahr[0], a[i].Vorjahr[1], a[i].Vorjahr[2], b[i].Tag, b[i].Vorjahr[0], b[i].Vorjahr[1],
                         b[i].Vorjahr[2]);
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    const std::string server = BenchDbArgument(argc, argv);
    if (argc > 2 && std::string(argv[1]) == "--aufbau") {
        GPfad = argv[2];
        rdl_HeuteFestlegen(CHeute);
        BenchUmgebung(nullptr);
        const int n = argc > 3 ? std::atoi(argv[3]) : 731;
        const TBauErgebnis b = ErsterAufbauImKind(n);
        std::printf("first build over %d days: %.2f s, peak %ld kB\n", n, b.Sekunden, b.SpitzeKb);
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--fassade") {
        GPfad = argv[2];
        rdl_HeuteFestlegen(CHeute);
        auto db = TRDLDatenbank::Oeffnen(GPfad);
        BenchUmgebung(db);
        TRoh h(GPfad);
        double s1 = 0, s2 = 0;
        FassadeFragen(Filialen(h), CHeute - 365, CHeute - 1, s1);
        FassadeFragen(Filialen(h), CHeute - 365, CHeute - 1, s2);
        std::printf("facade: first pass %.3f s, again %.3f s\n", s1, s2);
        return 0;
    }
    const int filialen = argc > 1 ? std::atoi(argv[1]) : 20;
    const int tage = argc > 2 ? std::atoi(argv[2]) : 731;
    const fs::path basis = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    GPfad = BenchOrtAnlegen(server, basis, "bench_statistik");
    const bool aufServer = !server.empty();
    rdl_HeuteFestlegen(CHeute);
    const TDate von = CHeute - tage, bis = CHeute - 1;

    // The installation.
    BenchUmgebung(nullptr);
    BenchInstallationErzeugen(GPfad, filialen, tage, CHeute);
    std::fflush(stdout);

    // 3. Peak memory of the first build, 60 days against all; the second is the timed build of 1.
    const int kurz = std::min(60, tage);
    const TBauErgebnis b60 = ErsterAufbauImKind(kurz);
    const TBauErgebnis bAlle = ErsterAufbauImKind(tage);

    // 1. SQL on the same installation, after the build (it is as warm for both).
    auto roh = std::make_unique<TRoh>(GPfad);
    TRoh& h = *roh;
    double sZwei = 1e9, sEine = 1e9, sC = 1e9, s;
    int64_t zeilen = 0;
    TTagesTabelle zwei, eine, c;
    for (int runde = 0; runde < 2; ++runde) {
        zwei = SqlTage(h, CZweiStufen, von, bis, s), sZwei = std::min(sZwei, s);
        eine = SqlTage(h, CEineStufe, von, bis, s), sEine = std::min(sEine, s);
        if (!aufServer) c = CSchleife(h.Sqlite(), von, bis, s, zeilen), sC = std::min(sC, s);
    }
    if (aufServer) c = zwei; // the bare loop exists on SQLite only
    int uneins = 0;
    for (const auto& [k, w] : zwei) {
        const auto e = eine.find(k), l = c.find(k);
        if (e == eine.end() || l == c.end() || Cent(e->second.Summe) != Cent(w.Summe) ||
            e->second.Transaktionen != w.Transaktionen || e->second.Artikel != w.Artikel ||
            Cent(l->second.Summe) != Cent(w.Summe) || l->second.Transaktionen != w.Transaktionen ||
            l->second.Artikel != w.Artikel)
            ++uneins;
    }
    if (uneins || eine.size() != zwei.size() || c.size() != zwei.size()) {
        std::fprintf(stderr, "the SQL statements and the loop disagree on %d branch days\n", uneins);
        return 1;
    }
    int64_t tageMitUmsatz = 0;
    const int abw = Abweichungen(UmstTage(h, von, bis), zwei, tageMitUmsatz);
    const double sSql = std::min(sZwei, sEine);
    if (aufServer)
        std::printf("1. first build over %d days: %.2f s; SQL two-level GROUP BY %.2f s, one-level COUNT(DISTINCT)"
                    " %.2f s (through the driver, one round trip each); build / faster SQL %.2f (goal <= 1); %lld"
                    " branch days with sales, %d differ by a cent or more\n",
                    tage, bAlle.Sekunden, sZwei, sEine, bAlle.Sekunden / sSql, (long long)tageMitUmsatz, abw);
    else
        std::printf("1. first build over %d days: %.2f s; SQL two-level GROUP BY %.2f s, one-level COUNT(DISTINCT)"
                    " %.2f s, bare loop over %lld lines %.2f s; build / faster SQL %.2f (goal <= 1); %lld branch days"
                    " with sales, %d differ by a cent or more\n",
                    tage, bAlle.Sekunden, sZwei, sEine, (long long)zeilen, sC, bAlle.Sekunden / sSql,
                    (long long)tageMitUmsatz, abw);
    if (!aufServer) {
        // The engine's own way at its floor: reading day by day, then writing its records.
        double sLesen = 1e9, sBuchen = 1e9;
        int64_t zeilenTage = 0, saetze = 0;
        for (int runde = 0; runde < 2; ++runde) {
            sLesen = std::min(sLesen, TageLesenRoh(h.Sqlite(), von, bis, zeilenTage));
            sBuchen = std::min(sBuchen, BuchenRoh(h.Sqlite(), saetze));
        }
        std::printf("   floor of the build's own way on bare sqlite3: reading %lld lines day by day %.2f s, writing"
                    " its %lld records in packets of 16 days %.2f s; together / faster SQL %.2f\n",
                    (long long)zeilenTage, sLesen, (long long)saetze, sBuchen, (sLesen + sBuchen) / sSql);
    }
    std::printf("3. peak memory of the first build (VmHWM, reset at its start; ru_maxrss in brackets): %d days"
                " %ld kB (%ld), %d days %ld kB (%ld), process before %ld / %ld kB; ratio %.2f (goal <= 1.2);"
                " the %d-day build took %.2f s\n",
                kurz, b60.SpitzeKb, b60.MaxRssKb, tage, bAlle.SpitzeKb, bAlle.MaxRssKb, b60.RssVorherKb,
                bAlle.RssVorherKb, double(bAlle.SpitzeKb) / double(b60.SpitzeKb), kurz, b60.Sekunden);
    std::printf("step first_build %.3f\nstep sql_per_branch_day %.3f\ncheck first_build_equals_sql %d\n",
                bAlle.Sekunden, sSql, abw);
    std::fflush(stdout);

    // 2. One more day of sales in every branch, then the update.
    auto db = TRDLDatenbank::Oeffnen(GPfad);
    BenchUmgebung(db);
    const int64_t neu = TagKopieren(h, bis, CHeute);
    rdl_HeuteFestlegen(CHeute + 1);
    double sUpdate = 0;
    {
        const auto t0 = Uhr::now();
        TUmszMani m;
        const bool ok = m.UpdateStatistikfiles(tage, false);
        sUpdate = Sekunden(t0);
        if (!ok || RegistrierteMelden("update")) return 1;
    }
    {
        const TTagesTabelle heute = SqlTage(h, CZweiStufen, CHeute, CHeute, s);
        const int abwHeute = Abweichungen(UmstTage(h, CHeute, CHeute), heute, tageMitUmsatz);
        std::printf("2. update after %lld new lines (%lld branches): %.3f s, %.2f %% of the first build (goal <= 2 %%);"
                    " %d of the new branch days differ from SQL\n",
                    (long long)neu, (long long)tageMitUmsatz, sUpdate, 100.0 * sUpdate / bAlle.Sekunden, abwHeute);
        std::printf("step update %.3f\ncheck update_equals_sql %d\n", sUpdate, abwHeute);
    }
    std::fflush(stdout);

    // 4. The facade: every branch, each day of the last year, three prior years.
    const auto fil = Filialen(h);
    const TDate fVon = CHeute - std::min(365, tage), fBis = CHeute - 1;
    double sFassade1 = 0, sFassade2 = 1e9, sEinzeln = 1e9, sGruppiert = 1e9;
    auto fassade = FassadeFragen(fil, fVon, fBis, sFassade1);
    std::vector<TVergleich> einzeln, gruppiert;
    for (int runde = 0; runde < 2; ++runde) {
        fassade = FassadeFragen(fil, fVon, fBis, s), sFassade2 = std::min(sFassade2, s);
        einzeln = SqlVergleich(h, fil, fVon, fBis, fassade, false, s), sEinzeln = std::min(sEinzeln, s);
        gruppiert = SqlVergleich(h, fil, fVon, fBis, fassade, true, s), sGruppiert = std::min(sGruppiert, s);
    }
    if (RegistrierteMelden("facade")) return 1;
    const int abwF = VergleichAbweichungen(fassade, einzeln) + VergleichAbweichungen(fassade, gruppiert);
    const double sSqlF = std::min(sEinzeln, sGruppiert);
    std::printf("4. facade, %zu branches x %d days x %d prior years: first pass %.2f s, again %.3f s; SQL per branch"
                " day %.2f s, one GROUP BY %.2f s; faster SQL / facade (again) %.1f (goal >= 10); %d differ\n",
                fil.size(), int(fBis - fVon) + 1, CVorjahre, sFassade1, sFassade2, sEinzeln, sGruppiert,
                sSqlF / sFassade2, abwF);
    std::printf("step facade_first %.3f\nstep facade_again %.3f\nstep facade_sql %.3f\ncheck facade_equals_sql %d\n",
                sFassade1, sFassade2, sSqlF, abwF);

    roh.reset();
    db.reset();
    RDLProgramm().DatenbankSetzen(nullptr);
    BenchResteEntfernen();
    return 0;
}
