// Growth of the SQLite write-ahead log beside a writing till, in one run.
//
// A forked writer process commits sales-line receipts steadily through plain SQL on its
// own connection (each receipt a few INSERT INTO lst in one RDLBuchung). Meanwhile this
// process reads lst slowly through the record layer (a long Get_ge_extMode /
// Get_next_extMode loop with a little work per row) and writes umsv every 200 rows. A
// thread samples the size of the -wal file every 100 ms. Phases, each on a fresh file:
//   layer        the reader as described;
//   layer-nowrite  the same reader without umsv writes (only the snapshot age parks it);
//   pinned       the layer reader plus a bare sqlite3 connection holding one open read
//                statement for the whole phase: a pinned snapshot, for comparison.
// Usage: bench_wal [seconds per phase] [writer pause in µs] [folder]
//   (default 20 s, 1000 µs between receipts, /tmp)
// Per phase: the writer's commits, failures and longest receipt; the reader's rows, umsv
// writes and failures; the largest -wal file, the most log frames in use and how often
// the log was seen to start over; the largest -wal file per 5 s window.
#include "bench_gemeinsam.h"
#include "kovdbfiles.h"
#include "rdldatum.h"
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {



const std::vector<std::string> CLstSpalten = {
    "mand_a", "mand_b", "rechner", "transnr", "posnr",  "datum",  "uhrzeit", "filiale", "satzart", "prod_a", "prod_b",
    "prod_c", "artnr",  "grind",   "verknr",  "menge",  "betrag", "betrag2", "waehrung", "ek",     "herkunft"};

// Lines the reader walks through: 800 days from 2024-01-01, 12 branches.
void Fuellen(TRDLDatenbank& db, int64_t n) {
    std::mt19937_64 rnd(42);
    const double start = EncodeDate(2024, 1, 1);
    const int64_t proTag = std::max<int64_t>(1, n / 800);
    RDLBuchung b(db);
    auto m = db.Massenladen("lst", CLstSpalten);
    for (int64_t i = 0; i < n; ++i) {
        const int filiale = 1 + int(rnd() % 12);
        const double preis = 5 + double(rnd() % 19500) / 100.0;
        for (int64_t v : {int64_t(1 + (filiale - 1) / 4), int64_t(1), int64_t(filiale * 10), i + 1, int64_t(1)})
            m->Int(v);
        m->Double(start + double(i / proTag));
        m->Double(0.375 + double(rnd() % 1000) / 2000.0);
        m->Int(filiale);
        m->Text("VK");
        for (int64_t v : {int64_t(101), int64_t(1000), int64_t(1)}) m->Int(v);
        m->Text("4711");
        for (int64_t v : {int64_t(1), int64_t(1000), int64_t(1)}) m->Int(v);
        m->Double(preis * 0.9);
        m->Double(preis);
        m->Text("EUR");
        m->Double(preis * 0.5);
        m->Int(0);
        m->ZeileEnde();
    }
    m->Abschliessen();
    m.reset();
    b.Beenden();
    db.NachMassenladen(); // also empties the log
}

// Shared between this process and the writer.
struct TGeteilt {
    std::atomic<bool> Bereit{false};
    std::atomic<bool> Stop{false};
    std::atomic<int64_t> Commits{0};
    std::atomic<int64_t> Fehler{0};
    std::atomic<int64_t> MaxUs{0};   // longest receipt, begin to commit
    std::atomic<int64_t> Langsam{0}; // receipts that took more than 50 ms
    char FehlerText[512] = {};
};

// The till: receipts of 1 to 5 lines, dated after the reader's range, until told to stop.
void Schreiber(const std::string& pfad, TGeteilt& g, int pauseUs) {
    try {
        auto db = TRDLDatenbank::Oeffnen(pfad);
        std::string spalten, werte;
        for (const auto& s : CLstSpalten) {
            spalten += (spalten.empty() ? "" : ", ") + s;
            werte += werte.empty() ? "?" : ", ?";
        }
        auto ins = db->Prepare("INSERT INTO lst (" + spalten + ") VALUES (" + werte + ")");
        const double heute = EncodeDate(2026, 12, 10);
        std::mt19937_64 rnd(7);
        g.Bereit = true;
        for (int64_t bon = 1; !g.Stop; ++bon) {
            const auto t0 = Uhr::now();
            try {
                RDLBuchung b(*db);
                const int positionen = 1 + int(rnd() % 5);
                for (int p = 1; p <= positionen; ++p) {
                    const double preis = 5 + double(rnd() % 19500) / 100.0;
                    int i = 1;
                    for (int64_t v : {int64_t(1), int64_t(1), int64_t(990), bon, int64_t(p)}) ins.Bind(i++, v);
                    ins.Bind(i++, heute);
                    ins.Bind(i++, 0.5);
                    ins.Bind(i++, int64_t(1));
                    ins.Bind(i++, std::string("VK"));
                    for (int64_t v : {int64_t(101), int64_t(1000), int64_t(1)}) ins.Bind(i++, v);
                    ins.Bind(i++, std::string("4711"));
                    for (int64_t v : {int64_t(1), int64_t(1000), int64_t(1)}) ins.Bind(i++, v);
                    ins.Bind(i++, preis * 0.9);
                    ins.Bind(i++, preis);
                    ins.Bind(i++, std::string("EUR"));
                    ins.Bind(i++, preis * 0.5);
                    ins.Bind(i++, int64_t(0));
                    ins.Step();
                }
                b.Beenden();
                ++g.Commits;
                const auto us = int64_t(Sekunden(t0) * 1e6);
                if (us > g.MaxUs) g.MaxUs = us;
                if (us > 50000) ++g.Langsam;
            } catch (const EDatenbankFehler& e) {
                if (g.Fehler++ == 0)
                    std::snprintf(g.FehlerText, sizeof g.FehlerText, "%s | %s", e.what(), e.Details().c_str());
            }
            if (pauseUs > 0) std::this_thread::sleep_for(std::chrono::microseconds(pauseUs));
        }
    } catch (const std::exception& e) {
        ++g.Fehler;
        std::snprintf(g.FehlerText, sizeof g.FehlerText, "writer: %s", e.what());
        g.Bereit = true;
    }
}

int64_t Groesse(const std::string& datei) {
    struct stat st{};
    return ::stat(datei.c_str(), &st) == 0 ? int64_t(st.st_size) : 0;
}

// Frames in use of the log (mxFrame of the wal-index header at the start of -shm): drops
// to few when a writer starts the log over. The file itself only shrinks to the
// journal size limit.
uint32_t LogRahmen(int shm) {
    uint32_t v = 0;
    return shm >= 0 && ::pread(shm, &v, sizeof v, 16) == ssize_t(sizeof v) ? v : 0;
}

// A little work per row: about AUs of computing.
double Arbeit(int AUs) {
    const auto ende = Uhr::now() + std::chrono::microseconds(AUs);
    double x = 0;
    while (Uhr::now() < ende)
        for (int i = 0; i < 50; ++i) x += 1e-9 * i;
    return x;
}

enum class TPhase { Layer, LayerOhneSchreiben, Gepinnt };

struct TErgebnis {
    int64_t zeilen = 0, durchlaeufe = 0, schreibvorgaenge = 0, schreibfehler = 0;
    int64_t commits = 0, writerFehler = 0, writerMaxUs = 0, writerLangsam = 0;
    std::string fehlerText, writerFehlerText;
    int64_t walMax = 0, walEnde = 0;
    uint32_t rahmenMax = 0;
    int64_t neustarts = 0; // the log started over
    std::vector<int64_t> walFenster; // maximum per window
    double sekunden = 0;
};

constexpr double CFenster = 5.0; // seconds per window of the WAL profile

TErgebnis Phase(const std::string& pfad, TPhase art, double dauer, int pauseUs, int arbeitUs) {
    for (const char* endung : {"", "-wal", "-shm"}) std::filesystem::remove(pfad + endung);
    {
        auto db = TRDLDatenbank::Anlegen(pfad, true);
        Fuellen(*db, 300000);
    }

    void* platz = mmap(nullptr, sizeof(TGeteilt), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (platz == MAP_FAILED) {
        std::perror("mmap");
        std::exit(1);
    }
    auto* g = new (platz) TGeteilt;
    // No SQLite connection is open here: the child starts clean.
    const pid_t kind = fork();
    if (kind == 0) {
        Schreiber(pfad, *g, pauseUs);
        _exit(0);
    }
    while (!g->Bereit) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    TErgebnis e;
    std::atomic<bool> messen{true};
    const auto t0 = Uhr::now();
    std::thread messer([&] {
        const int shm = ::open((pfad + "-shm").c_str(), O_RDONLY);
        uint32_t vorher = 0;
        while (messen) {
            const uint32_t rahmen = LogRahmen(shm);
            if (rahmen < vorher) ++e.neustarts;
            vorher = rahmen;
            e.rahmenMax = std::max(e.rahmenMax, rahmen);
            const int64_t w = Groesse(pfad + "-wal");
            const size_t fenster = size_t(Sekunden(t0) / CFenster);
            if (e.walFenster.size() <= fenster) e.walFenster.resize(fenster + 1, 0);
            e.walFenster[fenster] = std::max(e.walFenster[fenster], w);
            e.walMax = std::max(e.walMax, w);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (shm >= 0) ::close(shm);
    });

    {
        auto db = TRDLDatenbank::Oeffnen(pfad);
        sqlite3* roh = nullptr;
        sqlite3_stmt* halten = nullptr;
        if (art == TPhase::Gepinnt) {
            // One step into a read statement that is never reset: its snapshot stays.
            sqlite3_open_v2(pfad.c_str(), &roh, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_prepare_v2(roh, "SELECT id FROM lst ORDER BY id", -1, &halten, nullptr);
            if (sqlite3_step(halten) != SQLITE_ROW) std::fprintf(stderr, "pinning read found no row\n");
        }
        Tumsvfile u(*db);
        if (art != TPhase::LayerOhneSchreiben) {
            u.Kennung.SetWert("WALBENCH");
            u.Rechner.SetWert(1);
            u.TransNr.SetWert(0);
            u.Insert();
        }
        Tlstfile f(*db);
        const double von = EncodeDate(2024, 1, 1), bis = von + 900;
        double summe = 0;
        while (Sekunden(t0) < dauer) {
            DatumsBereichSuchen(f, von, bis);
            ++e.durchlaeufe;
            for (bool ok = f.Get_ge_extMode(); ok && Sekunden(t0) < dauer; ok = f.Get_next_extMode()) {
                summe += f.Betrag.GetWert() + f.Filiale.GetWert() + Arbeit(arbeitUs);
                if (++e.zeilen % 200 == 0 && art != TPhase::LayerOhneSchreiben) {
                    ++e.schreibvorgaenge;
                    try {
                        u.TransNr.SetWert(int32_t(e.zeilen / 200));
                        u.Update();
                    } catch (const EDatenbankFehler& x) {
                        if (e.schreibfehler++ == 0) e.fehlerText = std::string(x.what()) + " | " + x.Details();
                    }
                }
            }
        }
        if (summe < 0) std::printf("%f\n", summe); // keeps the work
        // Sizes while both still run: the last connection to close removes the log.
        e.walEnde = Groesse(pfad + "-wal");
        messen = false;
        messer.join();
        e.walMax = std::max(e.walMax, e.walEnde);
        if (halten) sqlite3_finalize(halten);
        if (roh) sqlite3_close(roh);
    }
    e.sekunden = Sekunden(t0);

    g->Stop = true;
    int status = 0;
    waitpid(kind, &status, 0);
    e.commits = g->Commits;
    e.writerFehler = g->Fehler;
    e.writerMaxUs = g->MaxUs;
    e.writerLangsam = g->Langsam;
    e.writerFehlerText = g->FehlerText;
    munmap(platz, sizeof(TGeteilt));
    for (const char* endung : {"", "-wal", "-shm"}) std::filesystem::remove(pfad + endung);
    return e;
}

double MB(int64_t b) { return double(b) / (1024.0 * 1024.0); }

} // namespace

int main(int argc, char** argv) {
    const double dauer = argc > 1 ? std::atof(argv[1]) : 20.0;
    const int pauseUs = argc > 2 ? std::atoi(argv[2]) : 1000;
    const std::string ordner = argc > 3 ? argv[3] : std::filesystem::temp_directory_path().string();
    const std::string pfad = ordner + "/bench_wal_" + std::to_string(::getpid()) + ".db";
    constexpr int CArbeitUs = 100;

    std::printf("phases of %.0f s; writer pauses %d us between receipts; reader works %d us per row\n", dauer,
                pauseUs, CArbeitUs);
    const struct {
        TPhase art;
        const char* name;
    } phasen[] = {{TPhase::Layer, "layer"}, {TPhase::LayerOhneSchreiben, "layer-nowrite"}, {TPhase::Gepinnt, "pinned"}};
    for (const auto& p : phasen) {
        const auto e = Phase(pfad, p.art, dauer, pauseUs, CArbeitUs);
        std::printf("%-14s writer %lld commits (%.0f/s), %lld failures, longest receipt %.1f ms, %lld over 50 ms; "
                    "reader %lld rows in %lld passes, "
                    "%lld umsv writes, %lld failures; WAL file max %.1f MB, at end %.1f MB; log in use max %u frames, "
                    "started over %lld times (seen at 100 ms)\n",
                    p.name, (long long)e.commits, double(e.commits) / e.sekunden, (long long)e.writerFehler,
                    double(e.writerMaxUs) / 1000.0, (long long)e.writerLangsam,
                    (long long)e.zeilen, (long long)e.durchlaeufe, (long long)e.schreibvorgaenge,
                    (long long)e.schreibfehler, MB(e.walMax), MB(e.walEnde), e.rahmenMax, (long long)e.neustarts);
        std::printf("%-14s WAL max per %.0f s:", "", CFenster);
        for (auto w : e.walFenster) std::printf(" %.1f", MB(w));
        std::printf(" MB\n");
        if (!e.writerFehlerText.empty()) std::printf("%-14s first writer failure: %s\n", "", e.writerFehlerText.c_str());
        if (!e.fehlerText.empty()) std::printf("%-14s first reader failure: %s\n", "", e.fehlerText.c_str());
    }
    return 0;
}
