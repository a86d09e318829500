// The SQLite driver of the storage interface: the embedded store, one file per
// installation in WAL mode.
#include "rdlspeicher.h"
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

namespace {

std::atomic<int> GWartezeit{10000};

std::string Anfuehren(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

// The German text and kind for a result code; the driver's own text goes to the details.
EDatenbankFehler SqliteFehler(sqlite3* ADb, int ARc, const std::string& AOrt, const std::string& ASql) {
    const std::string eigen = ADb ? sqlite3_errmsg(ADb) : sqlite3_errstr(ARc);
    std::string details = "SQLite " + std::to_string(ARc) + " (" + sqlite3_errstr(ARc) + "): " + eigen;
    if (!ASql.empty()) details += " | SQL: " + ASql;
    const std::string code = std::to_string(ARc);
    switch (ARc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) +
                                    " ist durch ein anderes Programm gesperrt. Bitte versuchen Sie es später noch einmal.",
                                TDbFehlerArt::Gesperrt, code, details);
    case SQLITE_CORRUPT:
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) + " ist beschädigt.", TDbFehlerArt::Beschaedigt,
                                code, details);
    case SQLITE_NOTADB:
        return EDatenbankFehler("Die Datei " + Anfuehren(AOrt) + " ist keine Datenbank des Auswertungs-Centers.",
                                TDbFehlerArt::Fremd, code, details);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return EDatenbankFehler("Keine Berechtigung, die Datenbank " + Anfuehren(AOrt) +
                                    " oder ihren Ordner zu beschreiben.",
                                TDbFehlerArt::KeinSchreibrecht, code, details);
    case SQLITE_CANTOPEN:
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) + " kann nicht geöffnet werden.",
                                TDbFehlerArt::KeinSchreibrecht, code, details);
    case SQLITE_FULL:
        return EDatenbankFehler("Der Datenträger der Datenbank " + Anfuehren(AOrt) + " ist voll.",
                                TDbFehlerArt::Allgemein, code, details);
    case SQLITE_CONSTRAINT:
        return EDatenbankFehler("Ein Satz verletzt eine Regel der Datenbank (doppelter Schlüssel oder fehlender Wert).",
                                TDbFehlerArt::Allgemein, code, details);
    case SQLITE_IOERR:
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) + " kann nicht gelesen oder geschrieben werden.",
                                TDbFehlerArt::Allgemein, code, details);
    default:
        break;
    }
    if (eigen.rfind("no such table", 0) == 0 || eigen.rfind("no such column", 0) == 0)
        return EDatenbankFehler("Die Datenbank " + Anfuehren(AOrt) +
                                    " ist beschädigt: eine Tabelle des Auswertungs-Centers fehlt oder ist unvollständig.",
                                TDbFehlerArt::Beschaedigt, code, details);
    return EDatenbankFehler("Ein Zugriff auf die Datenbank ist gescheitert; Einzelheiten stehen im Fehlerprotokoll.",
                            TDbFehlerArt::Allgemein, code, details);
}

bool IstBusy(int ARc) { return (ARc & 0xFF) == SQLITE_BUSY || (ARc & 0xFF) == SQLITE_LOCKED; }

class TSqliteAbfrage : public IRDLAbfrage {
public:
    TSqliteAbfrage(sqlite3* ADb, const std::string& AOrt, std::string ASql) : FDb(ADb), FOrt(AOrt), FSql(std::move(ASql)) {
        const int rc = sqlite3_prepare_v3(FDb, FSql.c_str(), int(FSql.size()), SQLITE_PREPARE_PERSISTENT, &FStmt, nullptr);
        if (rc != SQLITE_OK) {
            auto e = SqliteFehler(FDb, rc, FOrt, FSql);
            sqlite3_finalize(FStmt);
            throw e;
        }
        FSchreibend = !sqlite3_stmt_readonly(FStmt);
    }
    ~TSqliteAbfrage() override { sqlite3_finalize(FStmt); }

    void BindInt(int i, int64_t v) override { Binde(sqlite3_bind_int64(FStmt, i, v)); }
    void BindDouble(int i, double v) override { Binde(sqlite3_bind_double(FStmt, i, v)); }
    void BindText(int i, std::string_view v) override {
        // An empty view may have no data pointer, which SQLite would bind as NULL.
        Binde(sqlite3_bind_text64(FStmt, i, v.data() ? v.data() : "", v.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    }
    void BindBlob(int i, std::string_view v) override {
        Binde(sqlite3_bind_blob64(FStmt, i, v.data() ? v.data() : "", v.size(), SQLITE_TRANSIENT));
    }
    void BindNull(int i) override { Binde(sqlite3_bind_null(FStmt, i)); }

    bool Einreihen() override { return false; } // a local write costs no round trip
    bool Schritt() override {
        // The retry deadline is taken at the first busy answer, which already waited the
        // busy timeout once: a step of a read costs less than asking the clock.
        std::chrono::steady_clock::time_point ende{};
        for (;;) {
            const int rc = sqlite3_step(FStmt);
            if (rc == SQLITE_ROW) {
                FOffen = true;
                return true;
            }
            if (rc == SQLITE_DONE) {
                FGeaendert = FSchreibend ? sqlite3_changes64(FDb) : 0;
                sqlite3_reset(FStmt);
                FOffen = false;
                return false;
            }
            // A write outside a transaction that met a busy database (or a stale snapshot)
            // restarts as a whole; the busy timeout already waited once.
            const bool wiederholbar = IstBusy(rc) && FSchreibend && !FOffen && sqlite3_get_autocommit(FDb);
            if (wiederholbar && ende == std::chrono::steady_clock::time_point{})
                ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(GWartezeit.load());
            const bool nochmal = wiederholbar && std::chrono::steady_clock::now() < ende;
            auto fehler = SqliteFehler(FDb, rc, FOrt, FSql);
            sqlite3_reset(FStmt);
            FOffen = false;
            if (!nochmal) throw fehler;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    void Schliessen() override {
        sqlite3_reset(FStmt);
        FOffen = false;
    }
    bool Offen() const override { return FOffen; }
    int64_t Int(int c) const override { return sqlite3_column_int64(FStmt, c); }
    double Double(int c) const override { return sqlite3_column_double(FStmt, c); }
    std::string_view Text(int c) const override {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, c));
        return t ? std::string_view(t, size_t(sqlite3_column_bytes(FStmt, c))) : std::string_view();
    }
    std::string Blob(int c) const override {
        const auto* b = static_cast<const char*>(sqlite3_column_blob(FStmt, c));
        return b ? std::string(b, size_t(sqlite3_column_bytes(FStmt, c))) : std::string();
    }
    bool IstNull(int c) const override { return sqlite3_column_type(FStmt, c) == SQLITE_NULL; }
    int64_t Geaendert() const override { return FGeaendert; }
    const std::string& Sql() const override { return FSql; }

private:
    void Binde(int rc) {
        if (rc != SQLITE_OK) throw SqliteFehler(FDb, rc, FOrt, FSql);
    }
    sqlite3* FDb;
    std::string FOrt;
    std::string FSql;
    sqlite3_stmt* FStmt = nullptr;
    bool FSchreibend = false;
    bool FOffen = false;
    int64_t FGeaendert = 0;
};

class TSqliteMassenladen : public IRDLMassenladen {
public:
    TSqliteMassenladen(std::unique_ptr<IRDLAbfrage> AAbfrage) : FAbfrage(std::move(AAbfrage)) {}
    void Int(int64_t v) override { FAbfrage->BindInt(++FIdx, v); }
    void Double(double v) override { FAbfrage->BindDouble(++FIdx, v); }
    void Text(std::string_view v) override { FAbfrage->BindText(++FIdx, v); }
    void ZeileEnde() override {
        FAbfrage->Schritt();
        FIdx = 0;
    }
    void Abschliessen() override {}

private:
    std::unique_ptr<IRDLAbfrage> FAbfrage;
    int FIdx = 0;
};

// The lock of a file database is an flock on the file "<database>.<name>.sperre" beside
// it. The kernel releases it when the holder closes it or its process ends in any way
// (also killed), so nobody keeps it past his life, with no lease to renew and no clock to
// trust. A lock row in the database was the other choice: it needs an owner and a lease
// that the holder renews beside its own write transactions, and a crashed holder blocks
// the others until the lease runs out. The file is never removed: a holder of a removed
// file would not stop a new holder of its successor. It belongs to the open file, so a
// second connection of the same process waits like another process.
class TSqliteSperre : public IRDLSperre {
public:
    explicit TSqliteSperre(int AFd) : FFd(AFd) {}
    ~TSqliteSperre() override {
        if (FFd >= 0) ::close(FFd); // releases the lock
    }

private:
    int FFd; // -1: an in-memory database, which no other connection can reach
};

class TSqliteVerbindung : public IRDLVerbindung {
public:
    TSqliteVerbindung(const std::string& APfad, int AFlags) : FOrt(APfad) {
        // A connection belongs to one thread at a time: no lock around every column read.
        const int rc = sqlite3_open_v2(APfad.c_str(), &FDb, AFlags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            auto e = SqliteFehler(FDb, rc, FOrt, "");
            sqlite3_close_v2(FDb);
            throw e;
        }
        sqlite3_extended_result_codes(FDb, 1);
        sqlite3_busy_timeout(FDb, GWartezeit.load());
    }
    ~TSqliteVerbindung() override {
        // What was never committed leaves no trace.
        if (!sqlite3_get_autocommit(FDb)) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(FDb);
    }

    TRDLSpeicherArt Art() const override { return TRDLSpeicherArt::SQLite; }
    const std::string& Ort() const override { return FOrt; }

    std::unique_ptr<IRDLAbfrage> Vorbereiten(const std::string& ASql, bool = false) override {
        return std::make_unique<TSqliteAbfrage>(FDb, FOrt, ASql);
    }
    void Ausfuehren(const std::string& ASql) override {
        char* err = nullptr;
        const int rc = sqlite3_exec(FDb, ASql.c_str(), nullptr, nullptr, &err);
        sqlite3_free(err);
        if (rc != SQLITE_OK) throw SqliteFehler(FDb, rc, FOrt, ASql);
    }
    void SchreibenBeginnen() override { MitWiederholung("BEGIN IMMEDIATE"); }
    void Festschreiben() override { MitWiederholung("COMMIT"); }
    void Zurueckrollen() override {
        if (!sqlite3_get_autocommit(FDb)) Ausfuehren("ROLLBACK");
    }

    std::string SpaltenTyp(TRDLSpaltenTyp ATyp) const override {
        switch (ATyp) {
        case TRDLSpaltenTyp::Id: return "INTEGER PRIMARY KEY";
        case TRDLSpaltenTyp::Ganzzahl: return "INTEGER";
        case TRDLSpaltenTyp::Gleitkomma: return "REAL";
        case TRDLSpaltenTyp::Text: return "TEXT";
        case TRDLSpaltenTyp::Blob: return "BLOB";
        }
        return "";
    }
    std::string EinfuegenRueckgabe() const override { return ""; }
    int64_t EingefuegteId(const IRDLAbfrage&) const override { return sqlite3_last_insert_rowid(FDb); }
    int64_t LeseBlock() const override { return std::numeric_limits<int64_t>::max(); }
    bool IndexMitId() const override { return false; }

    bool SchemaKennungLesen(int32_t& AAnwendung, int& AVersion) override {
        AAnwendung = int32_t(Zahl("PRAGMA application_id"));
        AVersion = int(Zahl("PRAGMA user_version"));
        return AAnwendung != 0;
    }
    void SchemaKennungSchreiben(int32_t AAnwendung, int AVersion) override {
        Ausfuehren("PRAGMA application_id=" + std::to_string(AAnwendung));
        Ausfuehren("PRAGMA user_version=" + std::to_string(AVersion));
    }
    std::vector<std::string> Tabellen() override {
        std::vector<std::string> r;
        TSqliteAbfrage a(FDb, FOrt, "SELECT name FROM sqlite_schema WHERE type = 'table'");
        while (a.Schritt()) r.emplace_back(a.Text(0));
        return r;
    }
    void TabellenEntfernen(const std::vector<std::string>& ATabellen) override {
        for (const auto& t : ATabellen) Ausfuehren("DROP TABLE IF EXISTS " + t);
        SchemaKennungSchreiben(0, 0);
    }
    void Einrichten() override {
        if (FOrt == ":memory:") return;
        Ausfuehren("PRAGMA journal_mode=WAL");
        Ausfuehren("PRAGMA synchronous=NORMAL");
        // A log that grew beside a busy till is cut back when it restarts.
        Ausfuehren("PRAGMA journal_size_limit=67108864");
    }
    void LogEntlasten() override {
        if (FOrt == ":memory:") return;
        int rahmen = 0, kopiert = 0;
        if (sqlite3_wal_checkpoint_v2(FDb, nullptr, SQLITE_CHECKPOINT_PASSIVE, &rahmen, &kopiert) != SQLITE_OK) return;
        if (rahmen < 1000) return;
        // A restart waits a moment for the till's commit in progress, never long.
        sqlite3_busy_timeout(FDb, 20);
        sqlite3_wal_checkpoint_v2(FDb, nullptr, SQLITE_CHECKPOINT_RESTART, &rahmen, &kopiert);
        sqlite3_busy_timeout(FDb, GWartezeit.load());
    }
    std::unique_ptr<IRDLMassenladen> Massenladen(const std::string& ATabelle,
                                                 const std::vector<std::string>& ASpalten) override {
        std::string spalten, werte;
        for (const auto& s : ASpalten) {
            spalten += (spalten.empty() ? "" : ", ") + s;
            werte += werte.empty() ? "?" : ", ?";
        }
        return std::make_unique<TSqliteMassenladen>(
            Vorbereiten("INSERT INTO " + ATabelle + " (" + spalten + ") VALUES (" + werte + ")"));
    }
    void NachMassenladen() override {
        Ausfuehren("ANALYZE");
        if (FOrt != ":memory:") Ausfuehren("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    std::unique_ptr<IRDLSperre> SperreNehmen(const std::string& AName, int AWarteMs) override {
        if (FOrt == ":memory:") return std::make_unique<TSqliteSperre>(-1);
        std::string name = AName;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') c = '_';
        const std::string datei = FOrt + "." + name + ".sperre";
        // Read access is enough for flock: a file an administrator laid out serves readers too.
        const int fd = ::open(datei.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            throw EDatenbankFehler("Die Sperrdatei " + Anfuehren(datei) + " kann nicht angelegt werden.",
                                   TDbFehlerArt::KeinSchreibrecht, std::to_string(errno),
                                   "open " + datei + ": " + std::strerror(errno));
        const auto ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, AWarteMs));
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return std::make_unique<TSqliteSperre>(fd);
            const int e = errno;
            if (e != EWOULDBLOCK && e != EINTR) {
                ::close(fd);
                throw EDatenbankFehler("Die Sperrdatei " + Anfuehren(datei) + " kann nicht gesperrt werden.",
                                       TDbFehlerArt::Allgemein, std::to_string(e),
                                       "flock " + datei + ": " + std::strerror(e));
            }
            if (std::chrono::steady_clock::now() >= ende) {
                ::close(fd);
                return nullptr;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The programs of one machine hear each other through their datagram sockets.
    void Benachrichtigen(const std::string&, const std::string&) override {}
    std::unique_ptr<IRDLLauscher> Lauschen(const std::string&) override { return nullptr; }

private:
    int64_t Zahl(const std::string& ASql) {
        TSqliteAbfrage a(FDb, FOrt, ASql);
        const int64_t r = a.Schritt() ? a.Int(0) : 0;
        a.Schliessen();
        return r;
    }
    // BEGIN IMMEDIATE and COMMIT report a busy database after the busy timeout, or at
    // once where waiting could not help; both may simply be tried again.
    void MitWiederholung(const char* ASql) {
        const auto ende = std::chrono::steady_clock::now() + 2 * std::chrono::milliseconds(GWartezeit.load());
        for (;;) {
            const int rc = sqlite3_exec(FDb, ASql, nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK) return;
            if (!IstBusy(rc) || std::chrono::steady_clock::now() >= ende) throw SqliteFehler(FDb, rc, FOrt, ASql);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    sqlite3* FDb = nullptr;
    std::string FOrt;
};

// Tells apart what can be seen before SQLite touches the file.
void DateiPruefen(const std::string& APfad) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(APfad, ec);
    if (APfad.empty() || !fs::exists(status))
        throw EDatenbankFehler("Die Datenbank " + Anfuehren(APfad) + " gibt es nicht.", TDbFehlerArt::NichtGefunden);
    if (fs::is_directory(status))
        throw EDatenbankFehler(Anfuehren(APfad) + " ist ein Ordner, keine Datenbank.", TDbFehlerArt::IstOrdner);
    std::ifstream f(APfad, std::ios::binary);
    if (!f)
        throw EDatenbankFehler("Keine Berechtigung, die Datenbank " + Anfuehren(APfad) + " zu lesen.",
                               TDbFehlerArt::KeinSchreibrecht, std::to_string(errno));
    char kopf[100] = {};
    f.read(kopf, sizeof kopf);
    if (f.gcount() != sizeof kopf || std::string_view(kopf, 16) != std::string_view("SQLite format 3\0", 16))
        throw EDatenbankFehler("Die Datei " + Anfuehren(APfad) + " ist keine Datenbank des Auswertungs-Centers.",
                               TDbFehlerArt::Fremd);
    // WAL needs the file and, for its side files, the folder.
    const fs::path ordner = fs::absolute(fs::path(APfad), ec).parent_path();
    const bool seitenDateien = ::access((APfad + "-wal").c_str(), W_OK) == 0 && ::access((APfad + "-shm").c_str(), W_OK) == 0;
    if (::access(APfad.c_str(), R_OK | W_OK) != 0 || (!seitenDateien && ::access(ordner.c_str(), W_OK) != 0))
        throw EDatenbankFehler("Keine Berechtigung, die Datenbank " + Anfuehren(APfad) +
                                   " oder ihren Ordner zu beschreiben.",
                               TDbFehlerArt::KeinSchreibrecht);
}

} // namespace

void RDLWartezeitSetzen(int AMillisekunden) { GWartezeit = AMillisekunden; }
int RDLWartezeit() { return GWartezeit.load(); }

bool RDLIstServerAdresse(std::string_view AOrt) {
    return AOrt.rfind("postgresql://", 0) == 0 || AOrt.rfind("postgres://", 0) == 0;
}

std::unique_ptr<IRDLVerbindung> RDLSqliteVerbinden(const std::string& APfad, TRDLOeffnen AModus) {
    if (APfad == ":memory:")
        return std::make_unique<TSqliteVerbindung>(APfad, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY);
    if (AModus == TRDLOeffnen::Vorhanden) {
        DateiPruefen(APfad);
        return std::make_unique<TSqliteVerbindung>(APfad, SQLITE_OPEN_READWRITE);
    }
    return std::make_unique<TSqliteVerbindung>(APfad, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}
