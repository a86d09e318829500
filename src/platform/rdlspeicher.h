#pragma once
// The storage interface: what the record layer, the suite tables and the tools need of
// a database. One driver per store (rdlspeicher_sqlite.cpp, rdlspeicher_pg.cpp); no
// SQLite or libpq type or call appears outside its driver.
//
// SQL handed to a driver uses "?" placeholders and the common subset of SQLite and
// PostgreSQL; what differs (column types, the record position of an insert, batching of
// reads, where the schema version is kept, bulk loading) is asked of the driver.
#include "exceptions.h"
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class TRDLSpeicherArt { SQLite, PostgreSQL };

// Column types of the table definitions (rdlschema.h).
enum class TRDLSpaltenTyp { Id, Ganzzahl, Gleitkomma, Text, Blob };

// One prepared statement, its bound values and its row cursor. Bound values stay until
// they are bound anew; closing ends the cursor and with it any snapshot it held.
class IRDLAbfrage {
public:
    virtual ~IRDLAbfrage() = default;
    virtual void BindInt(int AIdx, int64_t AWert) = 0;
    virtual void BindDouble(int AIdx, double AWert) = 0;
    virtual void BindText(int AIdx, std::string_view AWert) = 0;
    virtual void BindBlob(int AIdx, std::string_view ABytes) = 0;
    virtual void BindNull(int AIdx) = 0;
    // Runs the statement on the first call, then moves to the next row. True while a row
    // is current; at the end the cursor is closed.
    virtual bool Schritt() = 0;
    // A write whose answer may come later, inside a transaction: the server store sends it
    // behind the others on the connection and reads the answers in blocks (pipeline), so
    // that a packet of inserts costs no round trip each. A failure surfaces at the latest
    // with the connection's next other use or the commit, and the transaction is lost.
    // EingefuegteId then answers for the last run queued. False when the store cannot
    // queue: nothing was done, run it with Schritt.
    virtual bool Einreihen() = 0;
    virtual void Schliessen() = 0;
    virtual bool Offen() const = 0;
    virtual int64_t Int(int ACol) const = 0;
    virtual double Double(int ACol) const = 0;
    virtual std::string_view Text(int ACol) const = 0;
    virtual std::string Blob(int ACol) const = 0;
    virtual bool IstNull(int ACol) const = 0;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    virtual int64_t Geaendert() const = 0;
    virtual const std::string& Sql() const = 0;
};

// Rows appended to one table as fast as the store allows (COPY on PostgreSQL).
class IRDLMassenladen {
public:
    virtual ~IRDLMassenladen() = default;
    virtual void Int(int64_t AWert) = 0;
    virtual void Double(double AWert) = 0;
    virtual void Text(std::string_view AWert) = 0;
    virtual void ZeileEnde() = 0;
    // Sends what is buffered; the rows count as written when the transaction commits.
    virtual void Abschliessen() = 0;
};

// A held lock of IRDLVerbindung::SperreNehmen; destroying it releases the lock.
class IRDLSperre {
public:
    virtual ~IRDLSperre() = default;
};

// The notifications of a database on a connection of its own (IRDLVerbindung::Lauschen).
class IRDLLauscher {
public:
    virtual ~IRDLLauscher() = default;
    // Never waits: goes on connecting, then adds the texts that arrived since the last call
    // to ATexte. True while it listens. Raises EDatenbankFehler when the connection could
    // not be made or was lost; a new listener starts again.
    virtual bool Abholen(std::vector<std::string>& ATexte) = 0;
};

class IRDLVerbindung {
public:
    virtual ~IRDLVerbindung() = default;
    virtual TRDLSpeicherArt Art() const = 0;
    // Path or address without password, for messages.
    virtual const std::string& Ort() const = 0;
    // True when the connection to the server broke or was given up (see
    // RDLServerAntwortzeitSetzen): nothing more can be read or written through it.
    virtual bool Verloren() const { return false; }

    // A statement, prepared once per connection and SQL text: the server store keeps it as
    // long as the connection lives. Its rows come whole, in one round trip (reads are
    // bounded by their LIMIT or by what they ask). AStrom: a long read whose rows the server
    // store streams one by one instead; left early, it cancels on the server only when
    // rows are still pending there.
    virtual std::unique_ptr<IRDLAbfrage> Vorbereiten(const std::string& ASql, bool AStrom = false) = 0;
    virtual void Ausfuehren(const std::string& ASql) = 0;

    // A write transaction takes the write lock at once, waiting while another program
    // holds it (busy timeout), so that no read snapshot has to be upgraded later.
    virtual void SchreibenBeginnen() = 0;
    virtual void Festschreiben() = 0;
    virtual void Zurueckrollen() = 0;

    // --- dialect ----------------------------------------------------------------------
    virtual std::string SpaltenTyp(TRDLSpaltenTyp ATyp) const = 0;
    // Appended to an INSERT into a record file so that the statement yields the new
    // record's position as its only column ("" where EingefuegteId answers).
    virtual std::string EinfuegenRueckgabe() const = 0;
    virtual int64_t EingefuegteId(const IRDLAbfrage& AAbfrage) const = 0;
    // Rows per query of a range read; the record layer continues from the last row.
    // Large: the driver streams.
    virtual int64_t LeseBlock() const = 0;
    // Index columns of a key: the key's columns, plus the record position where the
    // store does not add it by itself.
    virtual bool IndexMitId() const = 0;

    // --- schema identification ---------------------------------------------------------
    // False when the database carries no identification of any program.
    virtual bool SchemaKennungLesen(int32_t& AAnwendung, int& AVersion) = 0;
    virtual void SchemaKennungSchreiben(int32_t AAnwendung, int AVersion) = 0;
    virtual std::vector<std::string> Tabellen() = 0;
    // Removes the tables given (and the identification) for a rewrite.
    virtual void TabellenEntfernen(const std::vector<std::string>& ATabellen) = 0;

    // Settings for daily use, after the database was accepted (SQLite: WAL journal).
    virtual void Einrichten() = 0;
    // Called while this connection holds no snapshot: lets a grown write-ahead log start
    // again from its beginning, which other programs' checkpoints rarely achieve beside a
    // reader (nothing to do for the server store).
    virtual void LogEntlasten() = 0;

    virtual std::unique_ptr<IRDLMassenladen> Massenladen(const std::string& ATabelle,
                                                         const std::vector<std::string>& ASpalten) = 0;
    // After a bulk load: planner statistics; SQLite also empties its write-ahead log.
    virtual void NachMassenladen() = 0;

    // A lock of this program by name (letters, digits, "_", "-"), over processes and
    // workstations, for work that spans several transactions. No transaction lock can
    // serve: it would end with the first commit. Held by one holder at a time (another
    // connection of the same process waits like another process) until the object is
    // destroyed or the holder's process or connection ends, so a killed holder never
    // keeps it. Waits up to AWarteMs for another holder; nullptr when it stays taken.
    virtual std::unique_ptr<IRDLSperre> SperreNehmen(const std::string& AName, int AWarteMs) = 0;

    // --- notifications to the other programs on the database (server store only) -------
    // Sends AText to every listener of channel AKanal; inside a transaction at its commit,
    // and not at all when it is rolled back. Nothing on a store without notifications.
    virtual void Benachrichtigen(const std::string& AKanal, const std::string& AText) = 0;
    // A listener of AKanal on a connection of its own, so that it never waits behind a
    // statement streaming on this one; nullptr on a store without notifications.
    virtual std::unique_ptr<IRDLLauscher> Lauschen(const std::string& AKanal) = 0;
};

// Opening mode of the drivers.
enum class TRDLOeffnen { Vorhanden, Neu };

// "postgresql://..." or "postgres://..." names a server database, anything else a file.
bool RDLIstServerAdresse(std::string_view AOrt);
std::unique_ptr<IRDLVerbindung> RDLSqliteVerbinden(const std::string& APfad, TRDLOeffnen AModus);
std::unique_ptr<IRDLVerbindung> RDLPostgresVerbinden(const std::string& AAdresse);
// How often this process asked the server to cancel a read (each a new connection to it).
int64_t RDLServerAbbrueche();

// How long the server store waits for an answer with no byte from the server before it
// gives the connection up as lost (default 60 s; longer than any statement of the program
// takes, lock waits included). For new waits; tests shorten it.
void RDLServerAntwortzeitSetzen(int AMillisekunden);
int RDLServerAntwortzeit();

// How long a write waits for a database that another program holds (SQLite busy
// timeout, PostgreSQL lock timeout). For new connections; tests shorten it.
void RDLWartezeitSetzen(int AMillisekunden);
int RDLWartezeit();
