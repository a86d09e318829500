#pragma once
// The installation's database: one SQLite connection per process, the schema and its
// version, prepared statements and the transaction bookkeeping shared by all record
// files (manual-commit mode and the booking bracket).
#include "exceptions.h"
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Identifies a database of this program (PRAGMA application_id, "QDRX").
inline constexpr int32_t CQuendrixApplicationId = 0x51445258;
// Raised whenever the table layout changes; see docs/schema.md.
inline constexpr int CQuendrixSchemaVersion = 1;

// A prepared statement, finalized on destruction.
class TRDLStatement {
public:
    TRDLStatement() = default;
    TRDLStatement(sqlite3* ADb, const std::string& ASql);
    ~TRDLStatement();
    TRDLStatement(TRDLStatement&& AOther) noexcept;
    TRDLStatement& operator=(TRDLStatement&& AOther) noexcept;
    TRDLStatement(const TRDLStatement&) = delete;
    TRDLStatement& operator=(const TRDLStatement&) = delete;

    sqlite3_stmt* Handle() const { return FStmt; }
    explicit operator bool() const { return FStmt != nullptr; }
    // Steps once; true while a row is current. Raises EDatenbankFehler on errors.
    bool Step();
    void Reset();
    void Bind(int AIdx, int64_t AWert);
    void Bind(int AIdx, double AWert);
    void Bind(int AIdx, const std::string& AWert);
    void BindNull(int AIdx);
    int64_t ColInt(int ACol) const;
    double ColDouble(int ACol) const;
    std::string ColText(int ACol) const;
    bool ColIsNull(int ACol) const;

private:
    sqlite3* FDb = nullptr;
    sqlite3_stmt* FStmt = nullptr;
};

// A read cursor that must keep its current record when its table is written.
class IRDLCursor {
public:
    virtual void ZeileSichern() = 0;

protected:
    ~IRDLCursor() = default;
};

class TRDLDatenbank {
public:
    ~TRDLDatenbank();
    TRDLDatenbank(const TRDLDatenbank&) = delete;
    TRDLDatenbank& operator=(const TRDLDatenbank&) = delete;

    // Opens an existing database of this program. A missing file is never created;
    // a foreign file or another schema version is refused (EDatenbankFehler, German text).
    static std::shared_ptr<TRDLDatenbank> Oeffnen(const std::string& APfad);
    // Creates a new, empty database with the current schema. Refuses an existing file
    // unless AUeberschreiben.
    static std::shared_ptr<TRDLDatenbank> Anlegen(const std::string& APfad, bool AUeberschreiben = false);
    // A private in-memory database with the current schema, for tests.
    static std::shared_ptr<TRDLDatenbank> InMemory();

    const std::string& Pfad() const { return FPfad; }
    sqlite3* Handle() const { return FDb; }
    void Exec(const std::string& ASql);
    TRDLStatement Prepare(const std::string& ASql) { return TRDLStatement(FDb, ASql); }
    int64_t LetzteRowId() const;

    // Installation-wide settings (table einstellung).
    std::string Einstellung(const std::string& AName, const std::string& ADefault = "") ;
    void EinstellungSchreiben(const std::string& AName, const std::string& AWert);

    // --- transactions ---------------------------------------------------------
    // Record files in manual-commit mode announce themselves; while at least one is
    // announced, the first write opens a transaction that lasts until Commit.
    void ManualCommitAnmelden();
    // AUebernehmen: commit what is pending when the last manual file leaves, else roll back.
    void ManualCommitAbmelden(bool AUebernehmen);
    void Commit();
    // Called before every write of a record file: open cursors on the table keep
    // their record, and the table's write counter moves on.
    void VorSchreiben(const std::string& ATabelle);
    bool TransaktionOffen() const { return FTransaktionOffen; }
    // Write counter of a table (stable address), so that open cursors notice writes
    // and re-seek instead of stepping a statement whose table changed under it.
    const uint64_t* TabellenZaehler(const std::string& ATabelle);
    void CursorAnmelden(const std::string& ATabelle, IRDLCursor* ACursor);
    void CursorAbmelden(const std::string& ATabelle, IRDLCursor* ACursor);

    // The booking bracket: nested savepoints; the outermost release commits.
    void BuchungBeginnen();
    void BuchungBeenden(bool AUebernehmen);
    int BuchungsTiefe() const { return FBuchungsTiefe; }

private:
    TRDLDatenbank() = default;
    static std::shared_ptr<TRDLDatenbank> Verbinden(const std::string& APfad, int AFlags);
    void SchemaAnlegen();
    void SchemaPruefen();

    sqlite3* FDb = nullptr;
    std::string FPfad;
    int FManualAnzahl = 0;
    bool FTransaktionOffen = false;
    bool FCommitNachBuchung = false;
    int FBuchungsTiefe = 0;
    void AlleZaehlerWeiter();
    struct TTabelle {
        uint64_t Zaehler = 0;
        std::vector<IRDLCursor*> Cursor;
    };
    std::unordered_map<std::string, TTabelle> FTabellen;
    std::unique_ptr<TRDLStatement> FEinstellungLesen;
};

// The booking bracket as a scope: rolls back unless Beenden(true) ran.
class RDLBuchung {
public:
    explicit RDLBuchung(TRDLDatenbank& ADb) : FDb(ADb) { FDb.BuchungBeginnen(); }
    RDLBuchung(); // on the program's database
    ~RDLBuchung() {
        if (!FBeendet) {
            try { FDb.BuchungBeenden(false); } catch (...) {}
        }
    }
    void Beenden() { FBeendet = true; FDb.BuchungBeenden(true); }
    RDLBuchung(const RDLBuchung&) = delete;
    RDLBuchung& operator=(const RDLBuchung&) = delete;

private:
    TRDLDatenbank& FDb;
    bool FBeendet = false;
};

// The DDL of the current schema, in creation order.
const std::vector<std::string>& QuendrixSchemaDDL();
