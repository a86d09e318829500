#pragma once
// The installation's database: one connection per process to SQLite or PostgreSQL, the
// schema and its version, and the write and read rules shared by all record files
// (manual-commit batches, the booking bracket, cursors that never pin a snapshot).
// docs/schema.md states the rules for the suite's other programs.
#include "exceptions.h"
#include "rdlschema.h"
#include "rdlspeicher.h"
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TRDLDatenbank;

// A statement of the database for the suite tables, tools and tests. A write follows the
// write rules of a write outside manual-commit mode; a read that starts anew parks the
// record files' cursors first, so that it sees what other programs committed.
class TRDLStatement {
public:
    TRDLStatement() = default;
    TRDLStatement(TRDLDatenbank& ADb, std::unique_ptr<IRDLAbfrage> AAbfrage);
    ~TRDLStatement();
    TRDLStatement(TRDLStatement&& AOther) noexcept;
    TRDLStatement& operator=(TRDLStatement&& AOther) noexcept;
    TRDLStatement(const TRDLStatement&) = delete;
    TRDLStatement& operator=(const TRDLStatement&) = delete;

    explicit operator bool() const { return FAbfrage != nullptr; }
    // True while a row is current. Raises EDatenbankFehler on errors.
    bool Step();
    // Ends the cursor; bound values stay until bound anew.
    void Reset();
    void Bind(int AIdx, int64_t AWert) { FAbfrage->BindInt(AIdx, AWert); }
    void Bind(int AIdx, double AWert) { FAbfrage->BindDouble(AIdx, AWert); }
    void Bind(int AIdx, const std::string& AWert) { FAbfrage->BindText(AIdx, AWert); }
    void BindBlob(int AIdx, const std::string& ABytes) { FAbfrage->BindBlob(AIdx, ABytes); }
    void BindNull(int AIdx) { FAbfrage->BindNull(AIdx); }
    int64_t ColInt(int ACol) const { return FAbfrage->Int(ACol); }
    double ColDouble(int ACol) const { return FAbfrage->Double(ACol); }
    std::string ColText(int ACol) const { return std::string(FAbfrage->Text(ACol)); }
    std::string ColBlob(int ACol) const { return FAbfrage->Blob(ACol); }
    bool ColIsNull(int ACol) const { return FAbfrage->IstNull(ACol); }
    int64_t Geaendert() const { return FAbfrage->Geaendert(); }

private:
    TRDLDatenbank* FDb = nullptr;
    std::unique_ptr<IRDLAbfrage> FAbfrage;
    bool FSchreibend = false;
};

// A record file's open cursor, as the database sees it: parking saves the current
// record into the file's buffer and closes the statement; the next read re-seeks.
class IRDLCursor {
public:
    virtual void Parken() = 0;

protected:
    ~IRDLCursor() = default;
};

class TRDLDatenbank {
public:
    ~TRDLDatenbank();
    TRDLDatenbank(const TRDLDatenbank&) = delete;
    TRDLDatenbank& operator=(const TRDLDatenbank&) = delete;

    // Opens an existing database of this program: a file path (SQLite) or a
    // "postgresql://" address. Nothing is created or changed before the database is
    // accepted; every refusal is an EDatenbankFehler with a German text and its kind.
    static std::shared_ptr<TRDLDatenbank> Oeffnen(const std::string& AOrt);
    // Creates the schema in a new file, or in an empty server database. Refuses an
    // existing file or a server database with tables unless AUeberschreiben.
    static std::shared_ptr<TRDLDatenbank> Anlegen(const std::string& AOrt, bool AUeberschreiben = false);
    // A private in-memory SQLite database with the current schema.
    static std::shared_ptr<TRDLDatenbank> InMemory();
    // A connection without any check of its schema, for the tools that create or replace
    // an installation (an existing file, or a server database).
    static std::shared_ptr<TRDLDatenbank> Verbinden(const std::string& AOrt);
    // Whether the database is empty, holds this program's tables (of any version), or
    // tables of another program.
    enum class TInhalt { Leer, Eigene, Fremde };
    TInhalt Inhalt();
    // Drops this program's tables and creates the current schema. Inside a booking
    // bracket it is part of it; else it runs in one transaction of its own.
    void SchemaErneuern();

    const std::string& Pfad() const { return FVerbindung->Ort(); }
    IRDLVerbindung& Verbindung() { return *FVerbindung; }
    // The server broke the connection or stopped answering: every later access fails.
    bool VerbindungVerloren() const { return FVerbindung->Verloren(); }
    const IRDLVerbindung& Verbindung() const { return *FVerbindung; }

    // A statement without rows (DDL or a plain write); writes follow the write rules.
    void Exec(const std::string& ASql);
    TRDLStatement Prepare(const std::string& ASql);

    // Installation-wide settings (table einstellung).
    std::string Einstellung(const std::string& AName, const std::string& ADefault = "");
    void EinstellungSchreiben(const std::string& AName, const std::string& AWert);

    // Appends many rows to a table, inside a booking bracket (one transaction with it);
    // a failed row fails the bracket.
    std::unique_ptr<IRDLMassenladen> Massenladen(const std::string& ATabelle, const std::vector<std::string>& ASpalten);
    // After a bulk load, outside any transaction: planner statistics, a compact file.
    void NachMassenladen();

    // --- write rules -------------------------------------------------------------------
    // Before every write. ADatei is the writing record file (nullptr: a plain statement);
    // ASammeln: the file is in manual-commit mode and its write joins the open batch.
    // A plain write first commits an open batch, then is durable on its own.
    void SchreibenVorbereiten(const void* ADatei, bool ASammeln);
    // A write failed: the batch or the booking bracket it belonged to is rolled back.
    void SchreibenGescheitert();
    // Commit of a manual-commit file: ends the batch (inside a bracket: when it ends).
    void Commit();
    // A manual-commit file leaves without Commit: the batch is rolled back if it wrote in it.
    void BatchVerwerfen(const void* ADatei);
    // Before the program waits for the user (a modal message or question): cursors park,
    // and an open batch or bracket is rolled back (a bracket counts as failed), so that no
    // other program waits on this one meanwhile. True when changes were rolled back.
    bool VorBenutzerWarten();

    // --- cursors -------------------------------------------------------------------------
    void CursorOeffnet(IRDLCursor* ACursor);
    void CursorSchliesst(IRDLCursor* ACursor);
    // Parks every open cursor but AAusser, so that the next statement reads a fresh snapshot.
    void CursorParken(IRDLCursor* AAusser = nullptr);
    // True when the open cursors have held their snapshot so long that a waiting
    // checkpoint would starve; the reader then parks and re-seeks.
    bool SnapshotZuAlt() const;
    // With no cursor open and no transaction: lets a grown write-ahead log restart (at
    // most every 200 ms), so that it stays bounded beside a busy till.
    void LogEntlasten();
    // While the program is idle (a timer of the window system): cursors whose snapshot
    // has grown old park, and the log may restart.
    void Leerlauf();

    // --- the booking bracket: nested; the outermost end commits -------------------------
    void BuchungBeginnen();
    // AUebernehmen false rolls back what the bracket wrote. Raises when the bracket was
    // lost to a failed write and AUebernehmen was asked.
    void BuchungBeenden(bool AUebernehmen);

private:
    friend class TRDLSperre;
    explicit TRDLDatenbank(std::unique_ptr<IRDLVerbindung> AVerbindung);
    void SchemaPruefen();
    void TxBeenden(bool AUebernehmen);

    std::unique_ptr<IRDLVerbindung> FVerbindung;
    std::map<std::string, std::unique_ptr<IRDLSperre>> FSperren; // released before the connection goes
    bool FTx = false;          // an explicit transaction is open
    bool FTxVonBatch = false;  // ... and a manual-commit batch opened it
    std::vector<const void*> FBatchDateien;
    struct TBuchung { bool Savepoint; };
    std::vector<TBuchung> FBuchungen;
    bool FBuchungGescheitert = false;
    bool FCommitNachBuchung = false;
    std::vector<IRDLCursor*> FCursor;
    std::chrono::steady_clock::time_point FSnapshotSeit;
    std::chrono::steady_clock::time_point FEntlastetUm;
    std::unique_ptr<TRDLStatement> FEinstellungLesen;
};

// A lock of this program by name over processes and workstations (the store's own, see
// IRDLVerbindung::SperreNehmen), held while the object lives: for work in several
// transactions that two holders must not do at once. One holder at a time, also within a
// connection: a second request of the same program waits as another's would. Take it
// before a booking or batch opens, so that its holder never waits for the write lock of
// someone who waits for it.
class TRDLSperre {
public:
    // Waits up to AWarteMs, in slices after each of which AWeiterWarten (when given) is
    // asked whether to go on (the caller's progress and cancel). nullptr when it stayed
    // taken or the wait was given up.
    static std::unique_ptr<TRDLSperre> Nehmen(std::shared_ptr<TRDLDatenbank> ADb, const std::string& AName,
                                              int AWarteMs, const std::function<bool()>& AWeiterWarten = {});
    ~TRDLSperre();
    TRDLSperre(const TRDLSperre&) = delete;
    TRDLSperre& operator=(const TRDLSperre&) = delete;

private:
    TRDLSperre(std::shared_ptr<TRDLDatenbank> ADb, std::string AName) : FDb(std::move(ADb)), FName(std::move(AName)) {}
    std::shared_ptr<TRDLDatenbank> FDb;
    std::string FName;
};

// The booking bracket as a scope: commits when the scope ends normally, rolls back when
// an exception leaves it. Beenden(false) rolls back at once.
class RDLBuchung {
public:
    explicit RDLBuchung(TRDLDatenbank& ADb);
    RDLBuchung(); // on the program's database
    ~RDLBuchung();
    void Beenden(bool AUebernehmen = true);
    RDLBuchung(const RDLBuchung&) = delete;
    RDLBuchung& operator=(const RDLBuchung&) = delete;

private:
    TRDLDatenbank& FDb;
    int FAusnahmen;
    bool FBeendet = false;
};
