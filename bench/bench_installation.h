#pragma once
// A generated installation for the benchmarks that time the engine and the windows on
// realistic data: an SQLite file in a folder of its own, or a database of its own on a
// PostgreSQL server ("--db postgresql://..."), removed again at the end.
#include "bench_gemeinsam.h"
#include "demo/demo.h"
#include "rdldatenbank.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlspeicher.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <memory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

// --- where the installation lives ----------------------------------------------------------

// Takes "--db ADDRESS" (or "--db=ADDRESS") out of the arguments; the rest stay positional.
inline std::string BenchDbArgument(int& argc, char** argv) {
    std::string r;
    int n = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--db") == 0 && i + 1 < argc) r = argv[++i];
        else if (std::strncmp(argv[i], "--db=", 5) == 0) r = argv[i] + 5;
        else argv[n++] = argv[i];
    }
    argc = n;
    argv[n] = nullptr;
    return r;
}

// The server address with another database: "postgresql://host/db?x" -> ".../name?x".
inline std::string BenchMitDatenbank(const std::string& AAdresse, const std::string& AName) {
    const auto schema = AAdresse.find("://");
    const auto start = schema == std::string::npos ? 0 : schema + 3;
    const auto frage = AAdresse.find('?', start);
    const auto pfad = AAdresse.find('/', start);
    const std::string vorne = AAdresse.substr(0, std::min(pfad, frage));
    const std::string hinten = frage == std::string::npos ? "" : AAdresse.substr(frage);
    return vorne + "/" + AName + hinten;
}

// One statement on a connection of its own (CREATE DATABASE and VACUUM refuse to run in
// a transaction). False, with the server's message on stderr, when it failed.
inline bool BenchServerBefehl(const std::string& AAdresse, const std::string& ASql) {
    PGconn* c = PQconnectdb(AAdresse.c_str());
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(c, ASql.c_str());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        PQclear(r);
    }
    if (!ok) std::fprintf(stderr, "%s: %s\n", ASql.c_str(), PQerrorMessage(c));
    PQfinish(c);
    return ok;
}

// What a run leaves: its folder, or its server database. Removed at the end of main and
// also when the program leaves early through exit() or an uncaught exception (never by a
// forked child; a signal leaves it).
struct TBenchReste {
    pid_t Besitzer = 0;
    std::filesystem::path Ordner;
    std::string Server, Datenbank;
};
inline TBenchReste& BenchReste() {
    static TBenchReste r;
    return r;
}
inline void BenchResteEntfernen() {
    TBenchReste& r = BenchReste();
    if (r.Besitzer != getpid()) return;
    // The program's own connections may still be open after a failure.
    if (!r.Datenbank.empty())
        BenchServerBefehl(r.Server, "DROP DATABASE IF EXISTS " + r.Datenbank + " WITH (FORCE)");
    r.Datenbank.clear();
    std::error_code ec;
    if (!r.Ordner.empty()) std::filesystem::remove_all(r.Ordner, ec);
    r.Ordner.clear();
}

// The installation's place for a run named AName: with AServer (a "postgresql://" address)
// a new database "quendrix_bench_<pid>" on that server, else "installation.db" in a new
// folder AName_<pid> under ABasis. Returns the path or the database's address.
inline std::string BenchOrtAnlegen(const std::string& AServer, const std::filesystem::path& ABasis,
                                   const std::string& AName) {
    TBenchReste& r = BenchReste();
    r.Besitzer = getpid();
    std::atexit(BenchResteEntfernen);
    // An exception nobody caught ends the program without exit().
    std::set_terminate([] {
        if (const auto e = std::current_exception()) try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                std::fprintf(stderr, "uncaught exception: %s\n", x.what());
            } catch (...) {
            }
        BenchResteEntfernen();
        std::abort();
    });
    const std::string nr = std::to_string(getpid());
    if (!AServer.empty()) {
        if (!RDLIstServerAdresse(AServer)) {
            std::fprintf(stderr, "--db takes a server address (postgresql://...), not %s\n", AServer.c_str());
            std::exit(2);
        }
        r.Server = AServer;
        if (!BenchServerBefehl(AServer, "CREATE DATABASE quendrix_bench_" + nr)) std::exit(1);
        r.Datenbank = "quendrix_bench_" + nr;
        return BenchMitDatenbank(AServer, r.Datenbank);
    }
    r.Ordner = ABasis / (AName + "_" + nr);
    std::filesystem::create_directories(r.Ordner);
    return (r.Ordner / "installation.db").string();
}

// What the installation takes on disk, in MB.
inline long long BenchGroesseMb(TRDLDatenbank& ADb) {
    if (!RDLIstServerAdresse(ADb.Pfad())) return (long long)(std::filesystem::file_size(ADb.Pfad()) >> 20);
    TRDLStatement st = ADb.Prepare("SELECT pg_database_size(current_database())");
    return st.Step() ? (long long)(st.ColInt(0) >> 20) : -1;
}

// Writes the demo installation (AFilialen branches, ATage days up to AHeute) into APfad
// and prints what it holds, and its time as the step AStep.
inline TDemoErgebnis BenchInstallationErzeugen(const std::string& APfad, int AFilialen, int ATage, TDateTime AHeute,
                                               const char* AStep = "installation") {
    const auto t0 = Uhr::now();
    auto db = TRDLDatenbank::Anlegen(APfad, true);
    TDemoOptionen o;
    o.Filialen = AFilialen;
    o.Tage = ATage;
    o.Heute = AHeute;
    o.Benutzer = "bench";
    TDemoErgebnis e;
    {
        RDLBuchung buchung(*db);
        e = DemoErzeugen(*db, o);
        buchung.Beenden();
    }
    db->NachMassenladen();
    const double sekunden = Sekunden(t0);
    const long long mb = BenchGroesseMb(*db);
    db.reset();
    std::printf("installation: %d branches, %d days (%s to %s), %lld lines in %lld transactions, %.1f s, %lld MB\n",
                AFilialen, ATage, DateToStr(e.ErsterTag).c_str(), DateToStr(e.LetzterTag).c_str(),
                (long long)e.Umsatzzeilen, (long long)e.Transaktionen, sekunden, mb);
    std::printf("step %s %.3f\n", AStep, sekunden);
    if (RDLIstServerAdresse(APfad)) {
        // A bulk load leaves every row's visibility to be settled by its first reader;
        // autovacuum does that soon on a live server, so no timed step pays for it here.
        const auto t1 = Uhr::now();
        if (!BenchServerBefehl(APfad, "VACUUM (ANALYZE)")) std::exit(1);
        std::printf("VACUUM (ANALYZE) after the load: %.1f s\n", Sekunden(t1));
    }
    return e;
}

// A fresh program and info object on ADb, as a run without dialogs of user "bench".
inline void BenchUmgebung(std::shared_ptr<TRDLDatenbank> ADb) {
    RDLInfo_Ersetzen(std::make_unique<TRDLInfo>());
    RDLProgramm_Ersetzen(std::make_unique<TRDLProgramm>());
    RDLProgramm().OhneDialogeSetzen(true);
    RDLProgramm().BenutzerSetzen("bench");
    RDLProgramm().InstallationSetzen(1, "ODRIKS00");
    RDLProgramm().DatenbankSetzen(std::move(ADb));
}
