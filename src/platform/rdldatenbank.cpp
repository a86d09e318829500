#include "rdldatenbank.h"
#include <sqlite3.h>
#include <filesystem>
#include <fstream>

namespace {

[[noreturn]] void DbFehler(sqlite3* db, const std::string& AWas) {
    throw EDatenbankFehler("Datenbankfehler bei " + AWas + ": " +
                           (db ? sqlite3_errmsg(db) : "keine Verbindung"));
}

bool IstSqliteDatei(const std::string& APfad) {
    std::ifstream f(APfad, std::ios::binary);
    char kopf[16] = {};
    f.read(kopf, sizeof kopf);
    return f.gcount() == 16 && std::string(kopf, 15) == "SQLite format 3";
}

} // namespace

// --- TRDLStatement -------------------------------------------------------------

TRDLStatement::TRDLStatement(sqlite3* ADb, const std::string& ASql) : FDb(ADb) {
    if (sqlite3_prepare_v3(ADb, ASql.c_str(), int(ASql.size()), SQLITE_PREPARE_PERSISTENT, &FStmt,
                           nullptr) != SQLITE_OK)
        DbFehler(ADb, "der Vorbereitung von \"" + ASql + "\"");
}

TRDLStatement::~TRDLStatement() { sqlite3_finalize(FStmt); }

TRDLStatement::TRDLStatement(TRDLStatement&& o) noexcept : FDb(o.FDb), FStmt(o.FStmt) { o.FStmt = nullptr; }

TRDLStatement& TRDLStatement::operator=(TRDLStatement&& o) noexcept {
    if (this != &o) {
        sqlite3_finalize(FStmt);
        FDb = o.FDb;
        FStmt = o.FStmt;
        o.FStmt = nullptr;
    }
    return *this;
}

bool TRDLStatement::Step() {
    const int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const std::string sql = sqlite3_sql(FStmt) ? sqlite3_sql(FStmt) : "";
    sqlite3_reset(FStmt);
    DbFehler(FDb, "\"" + sql + "\"");
}

void TRDLStatement::Reset() {
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
}
void TRDLStatement::Bind(int i, int64_t v) { sqlite3_bind_int64(FStmt, i, v); }
void TRDLStatement::Bind(int i, double v) { sqlite3_bind_double(FStmt, i, v); }
void TRDLStatement::Bind(int i, const std::string& v) {
    sqlite3_bind_text(FStmt, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
}
void TRDLStatement::BindNull(int i) { sqlite3_bind_null(FStmt, i); }
int64_t TRDLStatement::ColInt(int c) const { return sqlite3_column_int64(FStmt, c); }
double TRDLStatement::ColDouble(int c) const { return sqlite3_column_double(FStmt, c); }
std::string TRDLStatement::ColText(int c) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, c));
    return t ? std::string(t, size_t(sqlite3_column_bytes(FStmt, c))) : std::string();
}
bool TRDLStatement::ColIsNull(int c) const { return sqlite3_column_type(FStmt, c) == SQLITE_NULL; }

// --- TRDLDatenbank ---------------------------------------------------------------

TRDLDatenbank::~TRDLDatenbank() {
    FEinstellungLesen.reset();
    if (FDb) {
        // What was never committed leaves no trace.
        if (!sqlite3_get_autocommit(FDb)) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(FDb);
    }
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::Verbinden(const std::string& APfad, int AFlags) {
    std::shared_ptr<TRDLDatenbank> db(new TRDLDatenbank());
    db->FPfad = APfad;
    if (sqlite3_open_v2(APfad.c_str(), &db->FDb, AFlags, nullptr) != SQLITE_OK) {
        const std::string grund = db->FDb ? sqlite3_errmsg(db->FDb) : "unbekannt";
        throw EDatenbankFehler("Die Datenbank \u201E" + APfad + "\u201C kann nicht geöffnet werden: " + grund);
    }
    sqlite3_extended_result_codes(db->FDb, 1);
    // Other processes may write sales lines while an evaluation reads.
    sqlite3_busy_timeout(db->FDb, 10000);
    return db;
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::Oeffnen(const std::string& APfad) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(APfad, ec))
        throw EDatenbankFehler("Die Datenbank \u201E" + APfad + "\u201C gibt es nicht.");
    if (!IstSqliteDatei(APfad))
        throw EDatenbankFehler("Die Datei \u201E" + APfad +
                               "\u201C ist keine Datenbank des Auswertungs-Centers.");
    auto db = Verbinden(APfad, SQLITE_OPEN_READWRITE);
    db->SchemaPruefen();
    db->Exec("PRAGMA journal_mode=WAL");
    db->Exec("PRAGMA synchronous=NORMAL");
    return db;
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::Anlegen(const std::string& APfad, bool AUeberschreiben) {
    std::error_code ec;
    if (std::filesystem::exists(APfad, ec)) {
        if (!AUeberschreiben)
            throw EDatenbankFehler("Die Datei \u201E" + APfad + "\u201C gibt es schon.");
        std::filesystem::remove(APfad, ec);
        std::filesystem::remove(APfad + "-wal", ec);
        std::filesystem::remove(APfad + "-shm", ec);
    }
    auto db = Verbinden(APfad, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db->Exec("PRAGMA journal_mode=WAL");
    db->Exec("PRAGMA synchronous=NORMAL");
    db->SchemaAnlegen();
    return db;
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::InMemory() {
    auto db = Verbinden(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY);
    db->SchemaAnlegen();
    return db;
}

void TRDLDatenbank::SchemaAnlegen() {
    Exec("BEGIN");
    try {
        for (const auto& s : QuendrixSchemaDDL()) Exec(s);
        Exec("PRAGMA application_id=" + std::to_string(CQuendrixApplicationId));
        Exec("PRAGMA user_version=" + std::to_string(CQuendrixSchemaVersion));
        Exec("COMMIT");
    } catch (...) {
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void TRDLDatenbank::SchemaPruefen() {
    int64_t appId = 0, version = 0;
    try {
        auto st = Prepare("PRAGMA application_id");
        if (st.Step()) appId = st.ColInt(0);
        auto sv = Prepare("PRAGMA user_version");
        if (sv.Step()) version = sv.ColInt(0);
    } catch (const EDatenbankFehler&) {
        throw EDatenbankFehler("Die Datei \u201E" + FPfad +
                               "\u201C ist keine Datenbank des Auswertungs-Centers.");
    }
    if (appId != CQuendrixApplicationId)
        throw EDatenbankFehler("Die Datei \u201E" + FPfad +
                               "\u201C ist keine Datenbank des Auswertungs-Centers.");
    if (version != CQuendrixSchemaVersion)
        throw EDatenbankFehler("Die Datenbank \u201E" + FPfad + "\u201C hat die Schemaversion " +
                               std::to_string(version) + ", dieses Programm erwartet Version " +
                               std::to_string(CQuendrixSchemaVersion) + ".");
}

void TRDLDatenbank::Exec(const std::string& ASql) {
    char* err = nullptr;
    if (sqlite3_exec(FDb, ASql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string text = err ? err : "unbekannt";
        sqlite3_free(err);
        throw EDatenbankFehler("Datenbankfehler bei \"" + ASql + "\": " + text);
    }
}

int64_t TRDLDatenbank::LetzteRowId() const { return sqlite3_last_insert_rowid(FDb); }

std::string TRDLDatenbank::Einstellung(const std::string& AName, const std::string& ADefault) {
    if (!FEinstellungLesen)
        FEinstellungLesen = std::make_unique<TRDLStatement>(FDb, "SELECT wert FROM einstellung WHERE name = ?");
    auto& st = *FEinstellungLesen;
    st.Reset();
    st.Bind(1, AName);
    std::string r = st.Step() ? st.ColText(0) : ADefault;
    st.Reset();
    return r;
}

void TRDLDatenbank::EinstellungSchreiben(const std::string& AName, const std::string& AWert) {
    VorSchreiben("einstellung");
    auto st = Prepare("INSERT INTO einstellung (name, wert) VALUES (?, ?)"
                      " ON CONFLICT (name) DO UPDATE SET wert = excluded.wert");
    st.Bind(1, AName);
    st.Bind(2, AWert);
    st.Step();
}

// --- transactions ------------------------------------------------------------------

void TRDLDatenbank::ManualCommitAnmelden() { ++FManualAnzahl; }

void TRDLDatenbank::ManualCommitAbmelden(bool AUebernehmen) {
    if (FManualAnzahl > 0) --FManualAnzahl;
    if (FManualAnzahl == 0 && FTransaktionOffen && FBuchungsTiefe == 0) {
        FTransaktionOffen = false;
        if (!AUebernehmen) AlleZaehlerWeiter();
        Exec(AUebernehmen ? "COMMIT" : "ROLLBACK");
    }
}

void TRDLDatenbank::Commit() {
    if (!FTransaktionOffen) return;
    if (FBuchungsTiefe > 0) {
        // Inside a booking bracket the bracket decides; commit when it ends.
        FCommitNachBuchung = true;
        return;
    }
    FTransaktionOffen = false;
    Exec("COMMIT");
}

void TRDLDatenbank::VorSchreiben(const std::string& ATabelle) {
    auto& t = FTabellen[ATabelle];
    for (auto* c : t.Cursor) c->ZeileSichern();
    ++t.Zaehler;
    if (FManualAnzahl > 0 && !FTransaktionOffen && FBuchungsTiefe == 0) {
        Exec("BEGIN IMMEDIATE");
        FTransaktionOffen = true;
    }
}

void TRDLDatenbank::BuchungBeginnen() {
    Exec("SAVEPOINT rdlbuchung");
    ++FBuchungsTiefe;
}

void TRDLDatenbank::BuchungBeenden(bool AUebernehmen) {
    if (FBuchungsTiefe == 0) return;
    --FBuchungsTiefe;
    if (!AUebernehmen) {
        AlleZaehlerWeiter();
        Exec("ROLLBACK TO rdlbuchung");
    }
    Exec("RELEASE rdlbuchung");
    if (FBuchungsTiefe == 0 && FCommitNachBuchung) {
        FCommitNachBuchung = false;
        Commit();
    }
}

void TRDLDatenbank::AlleZaehlerWeiter() {
    for (auto& [name, t] : FTabellen) {
        for (auto* c : t.Cursor) c->ZeileSichern();
        ++t.Zaehler;
    }
}

const uint64_t* TRDLDatenbank::TabellenZaehler(const std::string& ATabelle) {
    return &FTabellen[ATabelle].Zaehler;
}

void TRDLDatenbank::CursorAnmelden(const std::string& ATabelle, IRDLCursor* ACursor) {
    auto& v = FTabellen[ATabelle].Cursor;
    for (auto* c : v)
        if (c == ACursor) return;
    v.push_back(ACursor);
}

void TRDLDatenbank::CursorAbmelden(const std::string& ATabelle, IRDLCursor* ACursor) {
    auto& v = FTabellen[ATabelle].Cursor;
    std::erase(v, ACursor);
}
