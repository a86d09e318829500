#include "kovdbclass.h"
#include "rdlprogramm.h"

TDatenfeld::TDatenfeld(TKOV_DBFile& AOwner, std::vector<std::string> ASpalten)
    : FOwner(AOwner), FSpalten(std::move(ASpalten)) {
    FOwner.FeldRegistrieren(this);
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
    : FDb(ADb), FTabelle(std::move(ATabelle)), FOpenMode(AOpenMode) {
    FSpaltenAnzahl = 1; // the rowid comes first
    FTabZaehler = FDb.TabellenZaehler(FTabelle);
}

TKOV_DBFile::~TKOV_DBFile() {
    try {
        CursorSchliessen(false);
        // A manual-commit transaction that was not committed leaves no trace.
        if (FManualCommit) FDb.ManualCommitAbmelden(false);
    } catch (...) {
    }
}

void TKOV_DBFile::FeldRegistrieren(TDatenfeld* AFeld) {
    AFeld->FErsteSpalte = FSpaltenAnzahl;
    FSpaltenAnzahl += int(AFeld->Spalten().size());
    FFelder.push_back(AFeld);
}

void TKOV_DBFile::KeyDefinieren(int AKeyNr, std::vector<const TDatenfeld*> AFelder) {
    if (int(FKeys.size()) <= AKeyNr) FKeys.resize(size_t(AKeyNr) + 1);
    FKeys[size_t(AKeyNr)] = std::move(AFelder);
}

const std::vector<const TDatenfeld*>& TKOV_DBFile::KeyFelder() const {
    static const std::vector<const TDatenfeld*> leer;
    return (FKeyNr >= 0 && FKeyNr < int(FKeys.size())) ? FKeys[size_t(FKeyNr)] : leer;
}

// --- search set-up ---------------------------------------------------------------------

void TKOV_DBFile::SucheInit() {
    CursorSchliessen(false);
    FQuelle = TQuelle::Keine;
    for (auto* f : FFelder) f->Leeren();
    FExtTerme.clear();
    FMaxReceive = 0;
    FKeyNr = 0;
    FGefunden = false;
}

void TKOV_DBFile::KeyNr_Set(int AKeyNr) {
    if (AKeyNr < 0 || AKeyNr >= int(FKeys.size()) || FKeys[size_t(AKeyNr)].empty())
        throw EDatenbankFehler("Der Schlüssel " + std::to_string(AKeyNr) + " ist in der Datei \u201E" +
                               FTabelle + "\u201C nicht definiert.");
    if (AKeyNr != FKeyNr) CursorSchliessen(true);
    FKeyNr = AKeyNr;
}

void TKOV_DBFile::ExtendedFilterAdd(const TDatenfeld& AFeld, int AVergleich, int AVerknuepfung) {
    if (&AFeld.Owner() != this)
        throw EDatenbankFehler("Filterfeld gehört nicht zur Datei \u201E" + FTabelle + "\u201C.");
    if (AVergleich < fvGleich || AVergleich > fvKleinerGleich)
        throw EDatenbankFehler("Unbekannter Vergleich " + std::to_string(AVergleich) + " im Filter.");
    CursorSchliessen(true);
    FExtTerme.push_back(TExtTerm{&AFeld, AVergleich, AVerknuepfung, AFeld.WertSchnappschuss()});
}

void TKOV_DBFile::ExtendedFilterFinalize() {
    if (!FExtTerme.empty()) FExtTerme.back().Verknuepfung = fkEnde;
}

void TKOV_DBFile::ExtendedMaxReceive_Set(int AAnzahl) {
    CursorSchliessen(true);
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

TRDLStatement& TKOV_DBFile::StatementFuer(const std::string& ASql) {
    auto& st = FStatements[ASql];
    if (!st) st = std::make_unique<TRDLStatement>(FDb.Prepare(ASql));
    return *st;
}

void TKOV_DBFile::CursorSchliessen(bool ASichern) {
    if (!FCursor) return;
    if (FQuelle == TQuelle::Cursor) {
        if (ASichern) ZeileSichern();
        else FQuelle = TQuelle::RowId; // unread fields come from the rowid when asked for
    }
    FCursor->Reset();
    FCursor = nullptr;
    FDb.CursorAbmelden(FTabelle, this);
}

// Decodes every field that is still stale, so the buffer no longer needs its source.
void TKOV_DBFile::ZeileSichern() {
    if (FQuelle == TQuelle::Cursor) {
        for (auto* f : FFelder)
            if (f->FGeladen != FZeilenGen) {
                f->AusZeileLesen(FCursor->Handle(), f->FErsteSpalte);
                f->FGeladen = FZeilenGen;
            }
    } else if (FQuelle == TQuelle::RowId) {
        SatzNachladen(FAktRowId);
    }
    FQuelle = TQuelle::Keine;
}

void TKOV_DBFile::FeldLaden(TDatenfeld& AFeld) {
    if (FQuelle == TQuelle::Cursor) {
        AFeld.AusZeileLesen(FCursor->Handle(), AFeld.FErsteSpalte);
    } else if (FQuelle == TQuelle::RowId) {
        SatzNachladen(FAktRowId);
        FQuelle = TQuelle::Keine;
        return;
    }
    AFeld.FGeladen = FZeilenGen;
}

void TKOV_DBFile::SatzNachladen(int64_t ARowId) {
    if (!FNachladen) {
        std::string sql = "SELECT id";
        for (auto* f : FFelder)
            for (const auto& s : f->Spalten()) sql += ", " + s;
        sql += " FROM " + FTabelle + " WHERE id = ?";
        FNachladen = std::make_unique<TRDLStatement>(FDb.Prepare(sql));
    }
    auto& st = *FNachladen;
    st.Reset();
    st.Bind(1, ARowId);
    if (st.Step()) {
        for (auto* f : FFelder)
            if (f->FGeladen != FZeilenGen) {
                f->AusZeileLesen(st.Handle(), f->FErsteSpalte);
                f->FGeladen = FZeilenGen;
            }
    } else {
        for (auto* f : FFelder) f->FGeladen = FZeilenGen; // record is gone; keep what we have
    }
    st.Reset();
}

// Builds and opens the cursor for one read; the key, the key filters and (in extended
// mode) the filter terms become the WHERE clause, the key plus the rowid the order.
bool TKOV_DBFile::Lesen(TLesart AArt, bool AExtMode) {
    const auto& key = KeyFelder();
    const bool vonAktuell = AArt == TLesart::Naechster || AArt == TLesart::Vorheriger;
    if (vonAktuell && !FGefunden) {
        CursorSchliessen(false);
        return false;
    }
    if (vonAktuell) {
        // Continue on the open cursor when it runs the right way and nothing was written.
        const bool vorwaerts = AArt == TLesart::Naechster;
        if (FCursor && FCursorFortsetzbar && FCursorVorwaerts == vorwaerts && FCursorExt == AExtMode &&
            FCursorSchreibGen == *FTabZaehler)
            return Schritt();
        ZeileSichern();
    }
    CursorSchliessen(false);

    const bool vorwaerts = !(AArt == TLesart::Letzter || AArt == TLesart::LE || AArt == TLesart::LT ||
                             AArt == TLesart::Vorheriger);
    std::string sql = "SELECT id";
    for (auto* f : FFelder)
        for (const auto& s : f->Spalten()) sql += ", " + s;
    sql += " FROM " + FTabelle;

    std::vector<std::function<void(TRDLStatement&, int&)>> binder;
    std::string where;
    auto und = [&](const std::string& bedingung) { where += (where.empty() ? " WHERE " : " AND ") + bedingung; };

    for (auto* f : FFelder)
        if (f->IstKeyFilter()) {
            und(Tupel({f}) + " = " + Platzhalter(f->Spalten().size()));
            binder.push_back([f](TRDLStatement& S, int& i) { f->KeyWertBinden(S, i); i += int(f->Spalten().size()); });
        }

    const char* keyVergleich = nullptr;
    switch (AArt) {
    case TLesart::GE: keyVergleich = " >= "; break;
    case TLesart::GT: keyVergleich = " > "; break;
    case TLesart::LE: keyVergleich = " <= "; break;
    case TLesart::LT: keyVergleich = " < "; break;
    case TLesart::EQ: keyVergleich = " = "; break;
    default: break;
    }
    if (keyVergleich && !key.empty()) {
        und(Tupel(key) + keyVergleich + Platzhalter(SpaltenZahl(key)));
        binder.push_back([&key](TRDLStatement& S, int& i) {
            for (auto* f : key) { f->KeyWertBinden(S, i); i += int(f->Spalten().size()); }
        });
    } else if (vonAktuell) {
        // From the current record on: the key values of the buffer plus the rowid.
        und(Tupel(key, "id") + (vorwaerts ? " > " : " < ") + Platzhalter(SpaltenZahl(key) + 1));
        const int64_t rowid = FAktRowId;
        binder.push_back([&key, rowid](TRDLStatement& S, int& i) {
            for (auto* f : key) { f->WertBinden(S, i); i += int(f->Spalten().size()); }
            S.Bind(i++, rowid);
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
            binder.push_back([&term](TRDLStatement& S, int& i) { term.Binden(S, i); i += int(term.Feld->Spalten().size()); });
            if (term.Verknuepfung == fkEnde) break; // the last term ends the list
        }
        und(terme);
    }

    sql += where + " ORDER BY ";
    for (auto* f : key)
        for (const auto& s : f->Spalten()) sql += s + (vorwaerts ? ", " : " DESC, ");
    sql += vorwaerts ? "id" : "id DESC";
    if (AArt == TLesart::EQ) sql += " LIMIT 1";

    auto& st = StatementFuer(sql);
    int idx = 1;
    for (auto& b : binder) b(st, idx);
    FCursor = &st;
    FCursorVorwaerts = vorwaerts;
    FCursorExt = AExtMode;
    FCursorFortsetzbar = AArt != TLesart::EQ;
    if (!vonAktuell) FCursorGeliefert = 0; // the limit counts for the whole search
    FCursorSchreibGen = *FTabZaehler;
    FDb.CursorAnmelden(FTabelle, this);
    return Schritt();
}

bool TKOV_DBFile::Schritt() {
    if (FMaxReceive > 0 && FCursorGeliefert >= FMaxReceive) {
        CursorSchliessen(false);
        return FGefunden = false;
    }
    if (FCursor->Step()) {
        ++FZeilenGen;
        ++FCursorGeliefert;
        FAktRowId = FCursor->ColInt(0);
        FQuelle = TQuelle::Cursor;
        return FGefunden = true;
    }
    // The previous record's unread fields are fetched later from its rowid if needed.
    CursorSchliessen(false);
    return FGefunden = false;
}

bool TKOV_DBFile::Get_first() { return Lesen(TLesart::Erster, false); }
bool TKOV_DBFile::Get_last() { return Lesen(TLesart::Letzter, false); }
bool TKOV_DBFile::Get_ge() { return Lesen(TLesart::GE, false); }
bool TKOV_DBFile::Get_gt() { return Lesen(TLesart::GT, false); }
bool TKOV_DBFile::Get_le() { return Lesen(TLesart::LE, false); }
bool TKOV_DBFile::Get_lt() { return Lesen(TLesart::LT, false); }
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
    FDb.VorSchreiben(FTabelle);
}

void TKOV_DBFile::Insert() {
    VorSchreiben();
    if (!FInsert) {
        std::string spalten, werte;
        for (auto* f : FFelder)
            for (const auto& s : f->Spalten()) {
                spalten += (spalten.empty() ? "" : ", ") + s;
                werte += werte.empty() ? "?" : ", ?";
            }
        FInsert = std::make_unique<TRDLStatement>(
            FDb.Prepare("INSERT INTO " + FTabelle + " (" + spalten + ") VALUES (" + werte + ")"));
    }
    auto& st = *FInsert;
    int idx = 1;
    for (auto* f : FFelder) {
        f->WertBinden(st, idx);
        idx += int(f->Spalten().size());
    }
    st.Step();
    st.Reset();
    FAktRowId = FDb.LetzteRowId();
    FGefunden = true;
    FQuelle = TQuelle::Keine;
    ++FZeilenGen;
    for (auto* f : FFelder) f->FGeladen = FZeilenGen; // the buffer is the new record
}

void TKOV_DBFile::Update() {
    if (!FGefunden || FAktRowId == 0)
        throw EDatenbankFehler("Update ohne aktuellen Satz in der Datei \u201E" + FTabelle + "\u201C.");
    VorSchreiben();
    if (!FUpdate) {
        std::string set;
        for (auto* f : FFelder)
            for (const auto& s : f->Spalten()) set += (set.empty() ? "" : ", ") + s + " = ?";
        FUpdate = std::make_unique<TRDLStatement>(FDb.Prepare("UPDATE " + FTabelle + " SET " + set + " WHERE id = ?"));
    }
    auto& st = *FUpdate;
    int idx = 1;
    for (auto* f : FFelder) {
        f->WertBinden(st, idx);
        idx += int(f->Spalten().size());
    }
    st.Bind(idx, FAktRowId);
    st.Step();
    st.Reset();
}

void TKOV_DBFile::Delete() {
    if (!FGefunden || FAktRowId == 0)
        throw EDatenbankFehler("Löschen ohne aktuellen Satz in der Datei \u201E" + FTabelle + "\u201C.");
    VorSchreiben();
    if (!FDelete) FDelete = std::make_unique<TRDLStatement>(FDb.Prepare("DELETE FROM " + FTabelle + " WHERE id = ?"));
    FDelete->Bind(1, FAktRowId);
    FDelete->Step();
    FDelete->Reset();
}

int64_t TKOV_DBFile::GetCount() {
    auto& st = StatementFuer("SELECT COUNT(*) FROM " + FTabelle);
    const int64_t n = st.Step() ? st.ColInt(0) : 0;
    st.Reset();
    return n;
}

void TKOV_DBFile::SatzLeeren() {
    // Values only: key values and filters belong to the search.
    for (auto* f : FFelder) f->WertLeeren();
}

void TKOV_DBFile::ManualCommit_Set(bool AWert) {
    if (AWert == FManualCommit) return;
    FManualCommit = AWert;
    if (AWert) FDb.ManualCommitAnmelden();
    else FDb.ManualCommitAbmelden(true);
}

void TKOV_DBFile::Commit() { FDb.Commit(); }

std::unique_ptr<std::istringstream> TKOV_DBFile::CreateBlobStream(const TBlobDatenfeld& AFeld) const {
    return std::make_unique<std::istringstream>(AFeld.GetWert().Bytes);
}
