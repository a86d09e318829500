#include "kovdbclass.h"
#include "rdlprogramm.h"
#include <limits>

TDatenfeld::TDatenfeld(TKOV_DBFile& AOwner, const std::string& AName, size_t ASpaltenZahl)
    : FOwner(AOwner), FName(AName) {
    const TRDLFeldDef& def = FOwner.FeldRegistrieren(this, AName);
    if (def.Spalten.size() != ASpaltenZahl)
        throw EDatenbankFehler("Das Feld \u201E" + AName + "\u201C der Datei \u201E" + FOwner.Tabelle() +
                               "\u201C passt nicht zu seiner Definition.");
    FSpalten = def.Spalten;
}

// --- construction --------------------------------------------------------------------

namespace {
// The program's database; raises when none is open.
std::shared_ptr<TRDLDatenbank> ProgrammDatenbank() {
    RDLProgramm().Datenbank();
    return RDLProgramm().DatenbankShared();
}
} // namespace

TKOV_DBFile::TKOV_DBFile(std::string ATabelle, int AOpenMode, int AParam)
    : TKOV_DBFile(ProgrammDatenbank(), std::move(ATabelle), AOpenMode, AParam) {}

TKOV_DBFile::TKOV_DBFile(std::shared_ptr<TRDLDatenbank> ADb, std::string ATabelle, int AOpenMode, int AParam)
    : TKOV_DBFile(*ADb, std::move(ATabelle), AOpenMode, AParam) {
    FDbHalter = std::move(ADb);
}

TKOV_DBFile::TKOV_DBFile(TRDLDatenbank& ADb, std::string ATabelle, int AOpenMode, int)
    : FDb(ADb), FTabelle(std::move(ATabelle)), FDef(QuendrixTabelle(FTabelle)), FOpenMode(AOpenMode) {
    if (!FDef.IstSatzdatei())
        throw EDatenbankFehler("Die Tabelle \u201E" + FTabelle + "\u201C ist keine Satzdatei.");
    FSpaltenAnzahl = 1; // the record position comes first
    FSpaltenListe = "id";
}

TKOV_DBFile::~TKOV_DBFile() {
    try {
        CursorSchliessen();
        // A manual-commit batch that was not committed leaves no trace.
        if (FManualCommit) FDb.BatchVerwerfen(this);
    } catch (...) {
    }
}

const TRDLFeldDef& TKOV_DBFile::FeldRegistrieren(TDatenfeld* AFeld, const std::string& AName) {
    const TRDLFeldDef* def = FDef.Feld(AName);
    if (!def)
        throw EDatenbankFehler("Das Feld \u201E" + AName + "\u201C ist in der Datei \u201E" + FTabelle +
                               "\u201C nicht definiert.");
    AFeld->FErsteSpalte = FSpaltenAnzahl;
    FSpaltenAnzahl += int(def->Spalten.size());
    for (const auto& s : def->Spalten) FSpaltenListe += ", " + s;
    FFelder.push_back(AFeld);
    return *def;
}

const std::vector<const TDatenfeld*>& TKOV_DBFile::KeyFelder() {
    if (FKeys.empty()) {
        for (const auto& k : FDef.Schluessel) {
            std::vector<const TDatenfeld*> felder;
            for (const auto& name : k.Teile)
                for (auto* f : FFelder)
                    if (f->Name() == name) felder.push_back(f);
            FKeys.push_back(std::move(felder));
        }
    }
    static const std::vector<const TDatenfeld*> leer;
    return (FKeyNr >= 0 && FKeyNr < int(FKeys.size())) ? FKeys[size_t(FKeyNr)] : leer;
}

// --- search set-up ---------------------------------------------------------------------

void TKOV_DBFile::SucheInit() {
    CursorSchliessen();
    FQuelle = TQuelle::Keine;
    for (auto* f : FFelder) f->Leeren();
    FExtTerme.clear();
    FMaxReceive = 0;
    FLeseFelder.clear();
    FKeyNr = 0;
    FGefunden = false;
}

void TKOV_DBFile::KeyNr_Set(int AKeyNr) {
    if (AKeyNr < 0 || AKeyNr >= int(FDef.Schluessel.size()))
        throw EDatenbankFehler("Der Schlüssel " + std::to_string(AKeyNr) + " ist in der Datei \u201E" + FTabelle +
                               "\u201C nicht definiert.");
    if (AKeyNr != FKeyNr) Parken();
    FKeyNr = AKeyNr;
}

void TKOV_DBFile::ExtendedFilterAdd(const TDatenfeld& AFeld, int AVergleich, int AVerknuepfung) {
    if (&AFeld.Owner() != this)
        throw EDatenbankFehler("Filterfeld gehört nicht zur Datei \u201E" + FTabelle + "\u201C.");
    if (AVergleich < fvGleich || AVergleich > fvKleinerGleich)
        throw EDatenbankFehler("Unbekannter Vergleich " + std::to_string(AVergleich) + " im Filter.");
    Parken();
    FExtTerme.push_back(TExtTerm{&AFeld, AVergleich, AVerknuepfung, AFeld.WertSchnappschuss()});
}

void TKOV_DBFile::LeseFelder_Set(std::vector<const TDatenfeld*> AFelder) {
    for (auto* f : AFelder)
        if (&f->Owner() != this)
            throw EDatenbankFehler("Lesefeld gehört nicht zur Datei \u201E" + FTabelle + "\u201C.");
    Parken();
    FLeseFelder = std::move(AFelder);
}

void TKOV_DBFile::ExtendedFilterFinalize() {
    if (!FExtTerme.empty()) FExtTerme.back().Verknuepfung = fkEnde;
}

void TKOV_DBFile::ExtendedMaxReceive_Set(int AAnzahl) {
    Parken();
    FMaxReceive = AAnzahl > 0 ? AAnzahl : 0;
}

// --- reading ---------------------------------------------------------------------------

namespace {

const char* VergleichSql(int v) {
    switch (v) {
    case fvGleich: return " = ";
    case fvGroesser: return " > ";
    case fvKleiner: return " < ";
    case fvUngleich: return " <> ";
    case fvGroesserGleich: return " >= ";
    default: return " <= ";
    }
}

// "(a, b)" or "a" for the columns of several fields, with an optional trailing column.
std::string Tupel(const std::vector<const TDatenfeld*>& AFelder, const char* AZusatz = nullptr) {
    std::vector<std::string> spalten;
    for (auto* f : AFelder)
        for (const auto& s : f->Spalten()) spalten.push_back(s);
    if (AZusatz) spalten.emplace_back(AZusatz);
    if (spalten.size() == 1) return spalten[0];
    std::string r = "(";
    for (size_t i = 0; i < spalten.size(); ++i) r += (i ? ", " : "") + spalten[i];
    return r + ")";
}

std::string Platzhalter(size_t n) {
    if (n == 1) return "?";
    std::string r = "(";
    for (size_t i = 0; i < n; ++i) r += i ? ", ?" : "?";
    return r + ")";
}

size_t SpaltenZahl(const std::vector<const TDatenfeld*>& AFelder) {
    size_t n = 0;
    for (auto* f : AFelder) n += f->Spalten().size();
    return n;
}

} // namespace

IRDLAbfrage& TKOV_DBFile::StatementFuer(const std::string& ASql) {
    auto& st = FStatements[ASql];
    // Reads of a record file are bounded by their LIMIT and come whole per query.
    if (!st) st = FDb.Verbindung().Vorbereiten(ASql, false);
    return *st;
}

void TKOV_DBFile::CursorSchliessen() {
    if (!FCursor) return;
    FCursor->Schliessen();
    FCursor = nullptr;
    FDb.CursorSchliesst(this);
    // Unread fields of the current record are fetched later by its position.
    if (FQuelle == TQuelle::Cursor) FQuelle = TQuelle::RowId;
}

// Keeps the current record in the buffer and gives up the statement: the next read of
// this search re-seeks from the buffer's key and position.
void TKOV_DBFile::Parken() {
    if (!FCursor) return;
    ZeileSichern();
    CursorSchliessen();
}

void TKOV_DBFile::ZeileSichern() {
    if (FQuelle == TQuelle::Cursor && FCursor) {
        bool alle = true;
        for (auto* f : FFelder)
            if (f->FGeladen != FZeilenGen) {
                if (f->FCursorSpalte < 0) {
                    alle = false;
                    continue;
                }
                f->AusZeileLesen(*FCursor, f->FCursorSpalte);
                f->FGeladen = FZeilenGen;
            }
        // Fields the read left out come by the record's position when asked for.
        FQuelle = alle ? TQuelle::Keine : TQuelle::RowId;
    } else if (FQuelle == TQuelle::RowId) {
        SatzNachladen(FAktRowId);
        FQuelle = TQuelle::Keine;
    }
}

void TKOV_DBFile::FeldLaden(TDatenfeld& AFeld) {
    if (FQuelle == TQuelle::Cursor && FCursor) {
        if (AFeld.FCursorSpalte < 0) {
            SatzNachladen(FAktRowId);
            return;
        }
        AFeld.AusZeileLesen(*FCursor, AFeld.FCursorSpalte);
    } else if (FQuelle == TQuelle::RowId) {
        SatzNachladen(FAktRowId);
        FQuelle = TQuelle::Keine;
        return;
    }
    AFeld.FGeladen = FZeilenGen;
}

void TKOV_DBFile::SatzNachladen(int64_t ARowId) {
    if (!FNachladen) FNachladen = FDb.Verbindung().Vorbereiten("SELECT " + FSpaltenListe + " FROM " + FTabelle + " WHERE id = ?", false);
    auto& st = *FNachladen;
    st.BindInt(1, ARowId);
    if (st.Schritt()) {
        for (auto* f : FFelder)
            if (f->FGeladen != FZeilenGen) {
                f->AusZeileLesen(st, f->FErsteSpalte);
                f->FGeladen = FZeilenGen;
            }
    } else {
        for (auto* f : FFelder) f->FGeladen = FZeilenGen; // record is gone; keep what we have
    }
    st.Schliessen();
}

// The select list of a read, and where each field stands in it.
std::string TKOV_DBFile::SpaltenFuerLesen(const std::vector<const TDatenfeld*>& AKey) {
    if (FLeseFelder.empty()) {
        for (auto* f : FFelder) f->FCursorSpalte = f->FErsteSpalte;
        return FSpaltenListe;
    }
    for (auto* f : FFelder) f->FCursorSpalte = -1;
    std::string liste = "id";
    int spalte = 1;
    auto dazu = [&](const TDatenfeld* AFeld) {
        auto* f = const_cast<TDatenfeld*>(AFeld);
        if (f->FCursorSpalte >= 0) return;
        f->FCursorSpalte = spalte;
        for (const auto& s : f->Spalten()) liste += ", " + s, ++spalte;
    };
    // The key's fields always: a read continues from their values.
    for (auto* f : AKey) dazu(f);
    for (auto* f : FLeseFelder) dazu(f);
    return liste;
}

// Builds and opens the cursor for one read; the key, the key filters and (in extended
// mode) the filter terms become the WHERE clause, the key plus the record position the
// order. A read from the current record continues after it (key values and position).
bool TKOV_DBFile::Lesen(TLesart AArt, bool AExtMode) {
    const auto& key = KeyFelder();
    const bool vonAktuell = AArt == TLesart::Naechster || AArt == TLesart::Vorheriger;
    if (vonAktuell && !FGefunden) {
        CursorSchliessen();
        return false;
    }
    const bool vorwaerts = !(AArt == TLesart::Letzter || AArt == TLesart::LE || AArt == TLesart::Vorheriger);
    if (vonAktuell) {
        // Continue on the open cursor when it runs the right way and has not held its
        // snapshot too long.
        // The snapshot's age is looked at every 64th record: the clock costs more than a step.
        if (FCursor && FCursorFortsetzbar && FCursorVorwaerts == vorwaerts && FCursorExt == AExtMode &&
            ((FBlockGeliefert & 63) != 0 || !FDb.SnapshotZuAlt()))
            return Schritt();
        ZeileSichern();
    } else {
        FCursorGeliefert = 0; // the limit counts for the whole search
    }
    CursorSchliessen();
    // A search starting anew sees what other programs committed meanwhile; while no
    // snapshot is held, the write-ahead log may start again.
    FDb.CursorParken(this);
    FDb.LogEntlasten();
    if (FMaxReceive > 0 && FCursorGeliefert >= FMaxReceive) return FGefunden = false;

    std::string sql = "SELECT " + SpaltenFuerLesen(key) + " FROM " + FTabelle;
    std::vector<std::function<void(IRDLAbfrage&, int&)>> binder;
    std::string where;
    auto und = [&](const std::string& bedingung) { where += (where.empty() ? " WHERE " : " AND ") + bedingung; };

    for (auto* f : FFelder)
        if (f->IstKeyFilter()) {
            und(Tupel({f}) + " = " + Platzhalter(f->Spalten().size()));
            binder.push_back([f](IRDLAbfrage& S, int& i) { f->KeyWertBinden(S, i); i += int(f->Spalten().size()); });
        }

    // A key over part of the records reads only those (and so the store takes its index).
    if (FKeyNr >= 0 && FKeyNr < int(FDef.Schluessel.size()) && !FDef.Schluessel[size_t(FKeyNr)].Bedingung.empty())
        und("(" + FDef.Schluessel[size_t(FKeyNr)].Bedingung + ")");

    const char* keyVergleich = nullptr;
    switch (AArt) {
    case TLesart::GE: keyVergleich = " >= "; break;
    case TLesart::LE: keyVergleich = " <= "; break;
    case TLesart::EQ: keyVergleich = " = "; break;
    default: break;
    }
    if (vonAktuell) {
        // From the current record on: the key values of the buffer plus the position.
        und(Tupel(key, "id") + (vorwaerts ? " > " : " < ") + Platzhalter(SpaltenZahl(key) + 1));
        const int64_t rowid = AktRowId();
        binder.push_back([&key, rowid](IRDLAbfrage& S, int& i) {
            for (auto* f : key) { f->WertBinden(S, i); i += int(f->Spalten().size()); }
            S.BindInt(i++, rowid);
        });
    } else if (keyVergleich && !key.empty()) {
        und(Tupel(key) + keyVergleich + Platzhalter(SpaltenZahl(key)));
        binder.push_back([&key](IRDLAbfrage& S, int& i) {
            for (auto* f : key) { f->KeyWertBinden(S, i); i += int(f->Spalten().size()); }
        });
    }

    if (AExtMode && !FExtTerme.empty()) {
        std::string terme;
        for (size_t t = 0; t < FExtTerme.size(); ++t) {
            const auto& term = FExtTerme[t];
            if (t > 0) {
                const int link = FExtTerme[t - 1].Verknuepfung;
                terme = "(" + terme + (link == fkOder ? " OR " : " AND ");
            }
            terme += Tupel({term.Feld}) + VergleichSql(term.Vergleich) + Platzhalter(term.Feld->Spalten().size());
            if (t > 0) terme += ")";
            binder.push_back([&term](IRDLAbfrage& S, int& i) { term.Binden(S, i); i += int(term.Feld->Spalten().size()); });
            if (term.Verknuepfung == fkEnde) break; // the last term ends the list
        }
        und(terme);
    }

    sql += where + " ORDER BY ";
    for (auto* f : key)
        for (const auto& s : f->Spalten()) sql += s + (vorwaerts ? ", " : " DESC, ");
    sql += vorwaerts ? "id" : "id DESC";
    // Each query reads at most a block (the server store) and what the limit leaves.
    int64_t grenze = AArt == TLesart::EQ ? 1 : FDb.Verbindung().LeseBlock();
    if (FMaxReceive > 0) grenze = std::min<int64_t>(grenze, FMaxReceive - FCursorGeliefert);
    sql += " LIMIT ?";

    auto& st = StatementFuer(sql);
    int idx = 1;
    for (auto& b : binder) b(st, idx);
    st.BindInt(idx, grenze);
    FCursor = &st;
    FCursorVorwaerts = vorwaerts;
    FCursorExt = AExtMode;
    FCursorFortsetzbar = AArt != TLesart::EQ;
    FBlockGeliefert = 0;
    FBlockGrenze = grenze;
    return Schritt();
}

bool TKOV_DBFile::Schritt() {
    // A full block means the query ended at its LIMIT: continue after its last row.
    if (FBlockGeliefert >= FBlockGrenze) return Fortsetzen();
    bool zeile;
    try {
        zeile = FCursor->Schritt();
    } catch (...) {
        FCursor = nullptr;
        FDb.CursorSchliesst(this);
        throw;
    }
    if (!zeile) {
        FCursor = nullptr;
        FDb.CursorSchliesst(this);
        if (FQuelle == TQuelle::Cursor) FQuelle = TQuelle::RowId;
        return FGefunden = false;
    }
    ++FZeilenGen;
    ++FCursorGeliefert;
    ++FBlockGeliefert;
    FAktRowId = FCursor->Int(0);
    FIdOffen = false;
    FQuelle = TQuelle::Cursor;
    if (FBlockGeliefert == 1) FDb.CursorOeffnet(this);
    // An exact read or a probe that reached its limit holds no statement open.
    if (!FCursorFortsetzbar || (FMaxReceive > 0 && FCursorGeliefert >= FMaxReceive)) Parken();
    return FGefunden = true;
}

bool TKOV_DBFile::Fortsetzen() {
    const bool ext = FCursorExt;
    const bool vorwaerts = FCursorVorwaerts;
    Parken();
    return Lesen(vorwaerts ? TLesart::Naechster : TLesart::Vorheriger, ext);
}

bool TKOV_DBFile::Get_first() { return Lesen(TLesart::Erster, false); }
int64_t TKOV_DBFile::AktRowId() {
    if (FIdOffen) {
        FIdOffen = false;
        FAktRowId = 0;
        FAktRowId = FDb.Verbindung().EingefuegteId(*FInsert);
    }
    return FAktRowId;
}

bool TKOV_DBFile::Get_last() { return Lesen(TLesart::Letzter, false); }
bool TKOV_DBFile::Get_ge() { return Lesen(TLesart::GE, false); }
bool TKOV_DBFile::Get_le() { return Lesen(TLesart::LE, false); }
bool TKOV_DBFile::Get_eq() { return Lesen(TLesart::EQ, false); }
bool TKOV_DBFile::Get_next() { return Lesen(TLesart::Naechster, false); }
bool TKOV_DBFile::Get_prev() { return Lesen(TLesart::Vorheriger, false); }
bool TKOV_DBFile::Get_ge_extMode() { return Lesen(TLesart::GE, true); }
bool TKOV_DBFile::Get_le_extMode() { return Lesen(TLesart::LE, true); }
bool TKOV_DBFile::Get_next_extMode() { return Lesen(TLesart::Naechster, true); }

// --- writing ---------------------------------------------------------------------------

void TKOV_DBFile::VorSchreiben() {
    if (FOpenMode == -1)
        throw EDatenbankFehler("Die Datei \u201E" + FTabelle + "\u201C ist nur zum Lesen geöffnet.");
    // All fields must hold their values before they are bound.
    for (auto* f : FFelder)
        if (f->FGeladen != FZeilenGen) FeldLaden(*f);
    FQuelle = TQuelle::Keine;
    FDb.SchreibenVorbereiten(this, FManualCommit);
}

template <class F>
void TKOV_DBFile::Schreiben(F&& AAusfuehren) {
    VorSchreiben();
    try {
        AAusfuehren();
    } catch (...) {
        FDb.SchreibenGescheitert();
        throw;
    }
}

void TKOV_DBFile::Insert() {
    Schreiben([&] {
        auto& v = FDb.Verbindung();
        if (!FInsert) {
            std::string spalten, werte;
            for (auto* f : FFelder)
                for (const auto& s : f->Spalten()) {
                    spalten += (spalten.empty() ? "" : ", ") + s;
                    werte += werte.empty() ? "?" : ", ?";
                }
            FInsert = v.Vorbereiten("INSERT INTO " + FTabelle + " (" + spalten + ") VALUES (" + werte + ")" +
                                    v.EinfuegenRueckgabe());
        }
        auto& st = *FInsert;
        int idx = 1;
        for (auto* f : FFelder) {
            f->WertBinden(st, idx);
            idx += int(f->Spalten().size());
        }
        // Inside a transaction the server store queues the insert; its position is asked
        // for only when needed (AktRowId).
        if (FEinfuegenSammeln && st.Einreihen()) {
            FIdOffen = true;
        } else {
            st.Schliessen(); // a queued run's answer may still be current
            st.Schritt();
            FAktRowId = v.EingefuegteId(st);
            FIdOffen = false;
            st.Schliessen();
        }
    });
    FGefunden = true;
    FQuelle = TQuelle::Keine;
    ++FZeilenGen;
    for (auto* f : FFelder) f->FGeladen = FZeilenGen; // the buffer is the new record
}

void TKOV_DBFile::Update() {
    if (!FGefunden || AktRowId() == 0)
        throw EDatenbankFehler("Update ohne aktuellen Satz in der Datei \u201E" + FTabelle + "\u201C.");
    Schreiben([&] {
        if (!FUpdate) {
            std::string set;
            for (auto* f : FFelder)
                for (const auto& s : f->Spalten()) set += (set.empty() ? "" : ", ") + s + " = ?";
            FUpdate = FDb.Verbindung().Vorbereiten("UPDATE " + FTabelle + " SET " + set + " WHERE id = ?");
        }
        auto& st = *FUpdate;
        int idx = 1;
        for (auto* f : FFelder) {
            f->WertBinden(st, idx);
            idx += int(f->Spalten().size());
        }
        st.BindInt(idx, FAktRowId);
        st.Schritt();
    });
}

int64_t TKOV_DBFile::GetCount() {
    FDb.CursorParken(this);
    auto& st = StatementFuer("SELECT COUNT(*) FROM " + FTabelle);
    const int64_t n = st.Schritt() ? st.Int(0) : 0;
    st.Schliessen();
    return n;
}

void TKOV_DBFile::SatzLeeren() {
    // Values only: key values and filters belong to the search.
    for (auto* f : FFelder) f->WertLeeren();
}

void TKOV_DBFile::ManualCommit_Set(bool AWert) {
    if (AWert == FManualCommit) return;
    // Leaving manual-commit mode commits what the file collected.
    if (!AWert) FDb.Commit();
    FManualCommit = AWert;
}

void TKOV_DBFile::Commit() { FDb.Commit(); }

std::unique_ptr<std::istringstream> TKOV_DBFile::CreateBlobStream(const TBlobDatenfeld& AFeld) const {
    return std::make_unique<std::istringstream>(AFeld.GetWert().Bytes);
}
