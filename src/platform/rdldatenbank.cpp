#include "rdldatenbank.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <thread>

namespace {

// How long open cursors may keep one snapshot before they park and re-seek.
constexpr auto CSnapshotDauer = std::chrono::milliseconds(200);

std::string Anfuehren(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

bool IstSchreibend(const std::string& ASql) {
    size_t i = 0;
    while (i < ASql.size() && std::isspace(static_cast<unsigned char>(ASql[i]))) ++i;
    std::string wort;
    while (i < ASql.size() && std::isalpha(static_cast<unsigned char>(ASql[i])))
        wort += char(std::toupper(static_cast<unsigned char>(ASql[i++])));
    return wort == "INSERT" || wort == "UPDATE" || wort == "DELETE" || wort == "REPLACE" || wort == "CREATE" ||
           wort == "DROP" || wort == "ALTER";
}

} // namespace

// --- TRDLStatement -------------------------------------------------------------------

TRDLStatement::TRDLStatement(TRDLDatenbank& ADb, std::unique_ptr<IRDLAbfrage> AAbfrage)
    : FDb(&ADb), FAbfrage(std::move(AAbfrage)), FSchreibend(IstSchreibend(FAbfrage->Sql())) {}

TRDLStatement::~TRDLStatement() = default;
TRDLStatement::TRDLStatement(TRDLStatement&&) noexcept = default;
TRDLStatement& TRDLStatement::operator=(TRDLStatement&&) noexcept = default;

bool TRDLStatement::Step() {
    if (FSchreibend) {
        FDb->SchreibenVorbereiten(nullptr, false);
        try {
            return FAbfrage->Schritt();
        } catch (...) {
            FDb->SchreibenGescheitert();
            throw;
        }
    }
    if (!FAbfrage->Offen()) FDb->CursorParken();
    return FAbfrage->Schritt();
}

void TRDLStatement::Reset() { FAbfrage->Schliessen(); }

// --- opening and creating ----------------------------------------------------------------

TRDLDatenbank::TRDLDatenbank(std::unique_ptr<IRDLVerbindung> AVerbindung) : FVerbindung(std::move(AVerbindung)) {}

TRDLDatenbank::~TRDLDatenbank() {
    FEinstellungLesen.reset();
    // What was never committed leaves no trace.
    try {
        if (FTx) FVerbindung->Zurueckrollen();
    } catch (...) {
    }
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::Oeffnen(const std::string& AOrt) {
    std::shared_ptr<TRDLDatenbank> db(new TRDLDatenbank(
        RDLIstServerAdresse(AOrt) ? RDLPostgresVerbinden(AOrt) : RDLSqliteVerbinden(AOrt, TRDLOeffnen::Vorhanden)));
    db->SchemaPruefen();
    db->FVerbindung->Einrichten();
    return db;
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::Verbinden(const std::string& AOrt) {
    return std::shared_ptr<TRDLDatenbank>(new TRDLDatenbank(
        RDLIstServerAdresse(AOrt) ? RDLPostgresVerbinden(AOrt) : RDLSqliteVerbinden(AOrt, TRDLOeffnen::Vorhanden)));
}

TRDLDatenbank::TInhalt TRDLDatenbank::Inhalt() {
    int32_t anwendung = 0;
    int version = 0;
    if (FVerbindung->SchemaKennungLesen(anwendung, version) && anwendung == CQuendrixApplicationId)
        return TInhalt::Eigene;
    return FVerbindung->Tabellen().empty() ? TInhalt::Leer : TInhalt::Fremde;
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::Anlegen(const std::string& AOrt, bool AUeberschreiben) {
    std::unique_ptr<IRDLVerbindung> v;
    if (RDLIstServerAdresse(AOrt)) {
        std::shared_ptr<TRDLDatenbank> db(new TRDLDatenbank(RDLPostgresVerbinden(AOrt)));
        const TInhalt inhalt = db->Inhalt();
        // Another program's tables are never mixed with ours, not even on request.
        if (inhalt == TInhalt::Fremde)
            throw EDatenbankFehler("Die Datenbank " + Anfuehren(db->Pfad()) +
                                       " enthält Tabellen eines anderen Programms; sie bleibt unverändert.",
                                   TDbFehlerArt::Fremd);
        if (inhalt == TInhalt::Eigene && !AUeberschreiben)
            throw EDatenbankFehler("Die Datenbank " + Anfuehren(db->Pfad()) + " enthält schon eine Installation.",
                                   TDbFehlerArt::Allgemein);
        db->SchemaErneuern();
        return db;
    } else {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (fs::exists(AOrt, ec)) {
            if (!AUeberschreiben)
                throw EDatenbankFehler("Die Datei " + Anfuehren(AOrt) + " gibt es schon.", TDbFehlerArt::Allgemein);
            for (const char* endung : {"", "-wal", "-shm", "-journal"}) fs::remove(AOrt + endung, ec);
        }
        v = RDLSqliteVerbinden(AOrt, TRDLOeffnen::Neu);
    }
    std::shared_ptr<TRDLDatenbank> db(new TRDLDatenbank(std::move(v)));
    db->FVerbindung->Einrichten();
    db->SchemaErneuern();
    return db;
}

std::shared_ptr<TRDLDatenbank> TRDLDatenbank::InMemory() {
    std::shared_ptr<TRDLDatenbank> db(new TRDLDatenbank(RDLSqliteVerbinden(":memory:", TRDLOeffnen::Neu)));
    db->SchemaErneuern();
    return db;
}

void TRDLDatenbank::SchemaErneuern() {
    // Transactional DDL on both stores: a failed creation leaves nothing behind.
    RDLBuchung b(*this);
    SchreibenVorbereiten(nullptr, false);
    try {
        auto& v = *FVerbindung;
        std::vector<std::string> alt;
        for (const auto& t : QuendrixTabellen()) alt.push_back(t.Name);
        v.TabellenEntfernen(alt);
        for (const auto& s : QuendrixSchemaDDL(v)) v.Ausfuehren(s);
        v.SchemaKennungSchreiben(CQuendrixApplicationId, CQuendrixSchemaVersion);
    } catch (...) {
        SchreibenGescheitert();
        throw;
    }
}

void TRDLDatenbank::SchemaPruefen() {
    auto& v = *FVerbindung;
    int32_t anwendung = 0;
    int version = 0;
    const bool gekennzeichnet = v.SchemaKennungLesen(anwendung, version);
    const bool server = v.Art() == TRDLSpeicherArt::PostgreSQL;
    const std::string was = server ? "Die Datenbank " : "Die Datei ";
    if (!gekennzeichnet || anwendung != CQuendrixApplicationId)
        throw EDatenbankFehler(was + Anfuehren(v.Ort()) + " ist keine Datenbank des Auswertungs-Centers.",
                               TDbFehlerArt::Fremd);
    if (version != CQuendrixSchemaVersion)
        throw EDatenbankFehler("Die Datenbank " + Anfuehren(v.Ort()) + " hat die Schemaversion " +
                                   std::to_string(version) + ", dieses Programm erwartet Version " +
                                   std::to_string(CQuendrixSchemaVersion) + ".",
                               TDbFehlerArt::Version);
    const auto vorhanden = v.Tabellen();
    for (const auto& t : QuendrixTabellen())
        if (std::find(vorhanden.begin(), vorhanden.end(), t.Name) == vorhanden.end())
            throw EDatenbankFehler("Die Datenbank " + Anfuehren(v.Ort()) + " ist beschädigt: die Tabelle " +
                                       Anfuehren(t.Name) + " fehlt.",
                                   TDbFehlerArt::Beschaedigt);
}

// --- statements ----------------------------------------------------------------------------

void TRDLDatenbank::Exec(const std::string& ASql) {
    if (!IstSchreibend(ASql)) {
        CursorParken();
        FVerbindung->Ausfuehren(ASql);
        return;
    }
    SchreibenVorbereiten(nullptr, false);
    try {
        FVerbindung->Ausfuehren(ASql);
    } catch (...) {
        SchreibenGescheitert();
        throw;
    }
}

TRDLStatement TRDLDatenbank::Prepare(const std::string& ASql) {
    return TRDLStatement(*this, FVerbindung->Vorbereiten(ASql));
}

std::string TRDLDatenbank::Einstellung(const std::string& AName, const std::string& ADefault) {
    if (!FEinstellungLesen)
        FEinstellungLesen = std::make_unique<TRDLStatement>(Prepare("SELECT wert FROM einstellung WHERE name = ?"));
    auto& st = *FEinstellungLesen;
    st.Reset();
    st.Bind(1, AName);
    std::string r = st.Step() ? st.ColText(0) : ADefault;
    st.Reset();
    return r;
}

void TRDLDatenbank::EinstellungSchreiben(const std::string& AName, const std::string& AWert) {
    auto st = Prepare("INSERT INTO einstellung (name, wert) VALUES (?, ?)"
                      " ON CONFLICT (name) DO UPDATE SET wert = excluded.wert");
    st.Bind(1, AName);
    st.Bind(2, AWert);
    st.Step();
}

namespace {
// The driver's loader; a failure counts as a failed write of the bracket.
class TMassenladen : public IRDLMassenladen {
public:
    TMassenladen(TRDLDatenbank& ADb, std::unique_ptr<IRDLMassenladen> ALader) : FDb(ADb), FLader(std::move(ALader)) {}
    void Int(int64_t v) override { FLader->Int(v); }
    void Double(double v) override { FLader->Double(v); }
    void Text(std::string_view v) override { FLader->Text(v); }
    void ZeileEnde() override { Geschuetzt([&] { FLader->ZeileEnde(); }); }
    void Abschliessen() override { Geschuetzt([&] { FLader->Abschliessen(); }); }

private:
    template <class F>
    void Geschuetzt(F&& AF) {
        try {
            AF();
        } catch (...) {
            FLader.reset(); // the driver ends what it had begun
            FDb.SchreibenGescheitert();
            throw;
        }
    }
    TRDLDatenbank& FDb;
    std::unique_ptr<IRDLMassenladen> FLader;
};
} // namespace

std::unique_ptr<IRDLMassenladen> TRDLDatenbank::Massenladen(const std::string& ATabelle,
                                                           const std::vector<std::string>& ASpalten) {
    if (FBuchungen.empty())
        throw EDatenbankFehler("Massenladen ist nur innerhalb einer Buchung möglich.", TDbFehlerArt::Allgemein, "",
                               "bulk load of " + ATabelle + " outside a booking bracket");
    SchreibenVorbereiten(nullptr, false);
    return std::make_unique<TMassenladen>(*this, FVerbindung->Massenladen(ATabelle, ASpalten));
}

void TRDLDatenbank::NachMassenladen() {
    if (FTx)
        throw EDatenbankFehler("Die Nacharbeit nach dem Massenladen ist erst nach der Buchung möglich.",
                               TDbFehlerArt::Allgemein, "", "NachMassenladen inside a transaction");
    CursorParken();
    FVerbindung->NachMassenladen();
}

// --- write rules ---------------------------------------------------------------------------

void TRDLDatenbank::SchreibenVorbereiten(const void* ADatei, bool ASammeln) {
    // No cursor may hold a read snapshot that the write transaction would have to upgrade.
    CursorParken();
    if (!FBuchungen.empty()) {
        if (FBuchungGescheitert)
            throw EDatenbankFehler("Die Buchung ist an einem Fehler gescheitert und wurde zurückgenommen; "
                                   "weitere Änderungen darin werden nicht gespeichert.");
        if (ASammeln && FTxVonBatch &&
            std::find(FBatchDateien.begin(), FBatchDateien.end(), ADatei) == FBatchDateien.end())
            FBatchDateien.push_back(ADatei);
        return;
    }
    if (ASammeln) {
        if (!FTx) {
            FVerbindung->SchreibenBeginnen();
            FTx = true;
            FTxVonBatch = true;
        }
        if (std::find(FBatchDateien.begin(), FBatchDateien.end(), ADatei) == FBatchDateien.end())
            FBatchDateien.push_back(ADatei);
        return;
    }
    // A plain write is durable on its own: an open batch is committed before it.
    if (FTx) TxBeenden(true);
}

void TRDLDatenbank::SchreibenGescheitert() {
    if (!FBuchungen.empty()) FBuchungGescheitert = true;
    if (FTx) {
        try {
            TxBeenden(false);
        } catch (...) {
        }
    }
}

void TRDLDatenbank::TxBeenden(bool AUebernehmen) {
    FTx = false;
    FTxVonBatch = false;
    FBatchDateien.clear();
    FCommitNachBuchung = false;
    if (AUebernehmen) {
        try {
            FVerbindung->Festschreiben();
        } catch (...) {
            try {
                FVerbindung->Zurueckrollen();
            } catch (...) {
            }
            throw;
        }
    } else {
        FVerbindung->Zurueckrollen();
    }
}

void TRDLDatenbank::Commit() {
    if (!FTx) return;
    if (!FBuchungen.empty()) {
        // Inside a booking bracket the bracket decides; commit when it ends.
        FCommitNachBuchung = true;
        return;
    }
    CursorParken();
    TxBeenden(true);
}

void TRDLDatenbank::BatchVerwerfen(const void* ADatei) {
    if (!FTx || !FTxVonBatch || !FBuchungen.empty()) return;
    if (std::find(FBatchDateien.begin(), FBatchDateien.end(), ADatei) == FBatchDateien.end()) return;
    CursorParken();
    TxBeenden(false);
}

bool TRDLDatenbank::VorBenutzerWarten() {
    CursorParken();
    if (!FTx) return false;
    if (!FBuchungen.empty()) FBuchungGescheitert = true;
    try {
        TxBeenden(false);
    } catch (...) {
    }
    return true;
}

// --- cursors ---------------------------------------------------------------------------------

void TRDLDatenbank::CursorOeffnet(IRDLCursor* ACursor) {
    if (std::find(FCursor.begin(), FCursor.end(), ACursor) != FCursor.end()) return;
    if (FCursor.empty()) FSnapshotSeit = std::chrono::steady_clock::now();
    FCursor.push_back(ACursor);
}

void TRDLDatenbank::CursorSchliesst(IRDLCursor* ACursor) { std::erase(FCursor, ACursor); }

void TRDLDatenbank::CursorParken(IRDLCursor* AAusser) {
    if (FCursor.empty()) return;
    const auto alle = FCursor;
    for (auto* c : alle)
        if (c != AAusser) c->Parken();
}

bool TRDLDatenbank::SnapshotZuAlt() const {
    // Only SQLite outside a transaction keeps a snapshot per open cursor; the server
    // store reads in separate queries.
    if (FTx || FCursor.empty() || FVerbindung->Art() != TRDLSpeicherArt::SQLite) return false;
    return std::chrono::steady_clock::now() - FSnapshotSeit > CSnapshotDauer;
}

void TRDLDatenbank::LogEntlasten() {
    if (FTx || !FCursor.empty() || FVerbindung->Art() != TRDLSpeicherArt::SQLite) return;
    const auto jetzt = std::chrono::steady_clock::now();
    if (jetzt - FEntlastetUm < CSnapshotDauer) return;
    FEntlastetUm = jetzt;
    FVerbindung->LogEntlasten();
}

void TRDLDatenbank::Leerlauf() {
    if (SnapshotZuAlt()) CursorParken();
    LogEntlasten();
}

// --- booking bracket ------------------------------------------------------------------------

void TRDLDatenbank::BuchungBeginnen() {
    CursorParken();
    if (FBuchungen.empty()) FBuchungGescheitert = false;
    if (!FTx) {
        FVerbindung->SchreibenBeginnen();
        FTx = true;
        FTxVonBatch = false;
        FBuchungen.push_back({false});
        return;
    }
    if (FBuchungGescheitert) {
        FBuchungen.push_back({false});
        return;
    }
    FVerbindung->Ausfuehren("SAVEPOINT rdlbuchung");
    FBuchungen.push_back({true});
}

void TRDLDatenbank::BuchungBeenden(bool AUebernehmen) {
    if (FBuchungen.empty()) return;
    CursorParken();
    const TBuchung b = FBuchungen.back();
    FBuchungen.pop_back();
    if (FBuchungGescheitert) {
        // The transaction is gone already; the outermost end clears the mark.
        if (FBuchungen.empty()) FBuchungGescheitert = false;
        if (AUebernehmen)
            throw EDatenbankFehler("Die Buchung ist an einem Fehler gescheitert und wurde zurückgenommen.");
        return;
    }
    if (b.Savepoint) {
        if (!AUebernehmen) FVerbindung->Ausfuehren("ROLLBACK TO SAVEPOINT rdlbuchung");
        FVerbindung->Ausfuehren("RELEASE SAVEPOINT rdlbuchung");
        if (FBuchungen.empty() && FCommitNachBuchung) TxBeenden(true);
        return;
    }
    // The outermost bracket opened the transaction: it ends it.
    TxBeenden(AUebernehmen);
}

// --- TRDLSperre --------------------------------------------------------------------------------

std::unique_ptr<TRDLSperre> TRDLSperre::Nehmen(std::shared_ptr<TRDLDatenbank> ADb, const std::string& AName,
                                               int AWarteMs, const std::function<bool()>& AWeiterWarten) {
    using namespace std::chrono;
    const auto ende = steady_clock::now() + milliseconds(std::max(0, AWarteMs));
    for (;;) {
        const int64_t rest = std::max<int64_t>(0, duration_cast<milliseconds>(ende - steady_clock::now()).count());
        // Slices, so that the caller's window stays alive while it waits.
        const int scheibe = int(AWeiterWarten ? std::min<int64_t>(rest, 100) : rest);
        if (!ADb->FSperren.count(AName)) {
            if (auto s = ADb->FVerbindung->SperreNehmen(AName, scheibe)) {
                ADb->FSperren[AName] = std::move(s);
                return std::unique_ptr<TRDLSperre>(new TRDLSperre(ADb, AName));
            }
        } else {
            // Held by this program: only its holder's end frees it.
            std::this_thread::sleep_for(milliseconds(scheibe));
        }
        if (steady_clock::now() >= ende) return nullptr;
        if (AWeiterWarten && !AWeiterWarten()) return nullptr;
    }
}

TRDLSperre::~TRDLSperre() { FDb->FSperren.erase(FName); }

// --- RDLBuchung -------------------------------------------------------------------------------

RDLBuchung::RDLBuchung(TRDLDatenbank& ADb) : FDb(ADb), FAusnahmen(std::uncaught_exceptions()) {
    FDb.BuchungBeginnen();
}

RDLBuchung::RDLBuchung() : RDLBuchung(RDLProgramm().Datenbank()) {}

RDLBuchung::~RDLBuchung() {
    if (FBeendet) return;
    const bool normal = std::uncaught_exceptions() <= FAusnahmen;
    try {
        FDb.BuchungBeenden(normal);
    } catch (const std::exception& E) {
        RDLInfo().RegisterException("RDLBuchung", E, true);
    } catch (...) {
    }
}

void RDLBuchung::Beenden(bool AUebernehmen) {
    FBeendet = true;
    FDb.BuchungBeenden(AUebernehmen);
}
