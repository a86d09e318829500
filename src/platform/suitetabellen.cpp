#include "suitetabellen.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include <algorithm>

// --- branches ------------------------------------------------------------------------

void TFilialen::Laden(TRDLDatenbank& ADb) {
    FListe.clear();
    auto st = ADb.Prepare("SELECT filiale, mand_a, mand_b, orge_a, orge_b, name, waehrung, lv_benutzen,"
                          " owner_is_gep, versandfiliale FROM filiale ORDER BY filiale");
    while (st.Step()) {
        TFiliale f;
        f.Nr = int16_t(st.ColInt(0));
        f.Mandant = {int32_t(st.ColInt(1)), int32_t(st.ColInt(2))};
        f.OrgeID = {int32_t(st.ColInt(3)), int32_t(st.ColInt(4))};
        f.Name = st.ColText(5);
        f.Waehrung = st.ColText(6);
        f.LVBenutzen = st.ColInt(7) != 0;
        f.OwnerGep = st.ColInt(8) != 0;
        f.Versandfiliale = st.ColInt(9) != 0;
        FListe.push_back(std::move(f));
    }
}

const TFiliale* TFilialen::GetItem(int AIdx) const {
    if (AIdx < 0 || AIdx >= GetCount())
        throw EArgumentOutOfRangeException("Filialindex " + std::to_string(AIdx) + " außerhalb des Bereichs");
    return &FListe[size_t(AIdx)];
}

const TFiliale* TFilialen::GetFilialeByNr(int ANr) const {
    const auto it = std::lower_bound(FListe.begin(), FListe.end(), ANr,
                                     [](const TFiliale& f, int n) { return f.Nr < n; });
    return (it != FListe.end() && it->Nr == ANr) ? &*it : nullptr;
}

const TFiliale* TFilialen::GetFilialeByGepOrge(const TIntPair& AMandant, const TIntPair& AOrgeID) const {
    for (const auto& f : FListe)
        if (f.Mandant == AMandant && f.OrgeID == AOrgeID) return &f;
    return nullptr;
}

namespace {
TGeteilteFilialTabelle& GeteilteFilialTabelle() { return RDLProgramm().SuiteTabellen().Filialen; }
} // namespace

TFilialTabelle* GlobFilialTabelle_GetInstance() {
    auto& g = GeteilteFilialTabelle();
    TRDLDatenbank& db = RDLProgramm().Datenbank();
    if (g.Instanz && g.Db != &db) {
        if (g.Nutzer > 0)
            throw Exception("Die Filialtabelle einer anderen Datenbank ist noch in Gebrauch.");
        g.Instanz.reset();
    }
    if (!g.Instanz) {
        g.Instanz = std::make_unique<TFilialTabelle>(db);
        g.Db = &db;
    }
    ++g.Nutzer;
    return g.Instanz.get();
}

void GlobFilialTabelle_ReleaseInstance(TFilialTabelle*& AInstanz) {
    auto& g = GeteilteFilialTabelle();
    if (!AInstanz) return;
    AInstanz = nullptr;
    if (g.Nutzer > 0 && --g.Nutzer == 0) {
        g.Instanz.reset();
        g.Db = nullptr;
    }
}

// --- sellers -------------------------------------------------------------------------

namespace {
TVknTabelle& VknTabelle() { return RDLProgramm().SuiteTabellen().Verkaeufer; }
} // namespace

void VknTab_Init() {
    auto& t = VknTabelle();
    if (t.Nutzer++ > 0) return;
    t.Liste.clear();
    auto st = RDLProgramm().Datenbank().Prepare(
        "SELECT vknr, gep_a, gep_b, nachname, vorname, filiale, mand_a, mand_b, praemienberechtigt"
        " FROM verkaeufer ORDER BY vknr");
    while (st.Step()) {
        TVknInfo v;
        v.VkNr = int32_t(st.ColInt(0));
        v.GepNr = {int32_t(st.ColInt(1)), int32_t(st.ColInt(2))};
        v.Nachname = st.ColText(3);
        v.Vorname = st.ColText(4);
        v.Filiale = int16_t(st.ColInt(5));
        v.Mandant = {int32_t(st.ColInt(6)), int32_t(st.ColInt(7))};
        v.Praemienberechtigt = st.ColInt(8) != 0;
        t.Liste.push_back(std::move(v));
    }
}

void VknTab_Done() {
    auto& t = VknTabelle();
    if (t.Nutzer > 0 && --t.Nutzer == 0) t.Liste.clear();
}

bool VknTab_GetEqual(int32_t AVkNr, TVknInfo& AInfo) {
    const auto& l = VknTabelle().Liste;
    const auto it = std::lower_bound(l.begin(), l.end(), AVkNr,
                                     [](const TVknInfo& v, int32_t n) { return v.VkNr < n; });
    if (it == l.end() || it->VkNr != AVkNr) return false;
    AInfo.AssignFrom(*it);
    return true;
}

bool VknTab_GepGetEqual(const TIntPair& AGepNr, TVknInfo& AInfo) {
    for (const auto& v : VknTabelle().Liste)
        if (v.GepNr == AGepNr) {
            AInfo.AssignFrom(v);
            return true;
        }
    return false;
}

bool VknTab_GetFirst(TVknInfo& AInfo) {
    auto& t = VknTabelle();
    t.Position = 0;
    return VknTab_GetNext(AInfo);
}

bool VknTab_GetNext(TVknInfo& AInfo) {
    auto& t = VknTabelle();
    if (t.Position >= t.Liste.size()) return false;
    AInfo.AssignFrom(t.Liste[t.Position++]);
    return true;
}

// --- clients -------------------------------------------------------------------------

namespace {
class TMandListeServer : public IRDL_MandListeServer {
public:
    explicit TMandListeServer(TRDLDatenbank& ADb) {
        auto st = ADb.Prepare("SELECT mand_a, mand_b, name FROM mandant ORDER BY mand_a, mand_b");
        while (st.Step())
            FListe.push_back({{int32_t(st.ColInt(0)), int32_t(st.ColInt(1))}, st.ColText(2)});
    }
    int GetCount() const override { return int(FListe.size()); }
    const TMandant& GetMandant(int AIdx) const override {
        if (AIdx < 0 || AIdx >= GetCount())
            throw EArgumentOutOfRangeException("Mandantenindex " + std::to_string(AIdx) + " außerhalb des Bereichs");
        return FListe[size_t(AIdx)];
    }
    int IndexOf(const TIntPair& AKey) const override {
        for (size_t i = 0; i < FListe.size(); ++i)
            if (FListe[i].Key == AKey) return int(i);
        return -1;
    }
    TMandant GetMandantByKey(const TIntPair& AKey) const override {
        const int i = IndexOf(AKey);
        return i >= 0 ? FListe[size_t(i)] : TMandant{AKey, ""};
    }

private:
    std::vector<TMandant> FListe;
};
} // namespace

IRDL_MandListeServer* TRDLServerFactory::MandListeServer_Get() {
    return new TMandListeServer(RDLProgramm().Datenbank());
}

void TRDLServerFactory::MandListeServer_Release(IRDL_MandListeServer*& AServer) {
    delete AServer;
    AServer = nullptr;
}

// --- network computers ---------------------------------------------------------------

int TRVRTab::GetUmfangCount() {
    auto st = RDLProgramm().Datenbank().Prepare("SELECT COUNT(*) FROM rechner");
    return st.Step() ? int(st.ColInt(0)) : 0;
}

TRVRInfoUmfang TRVRTab::GetUmfang(int AIdx) {
    auto st = RDLProgramm().Datenbank().Prepare(
        "SELECT rechner, name, filiale FROM rechner ORDER BY rechner LIMIT 1 OFFSET ?");
    st.Bind(1, int64_t(AIdx));
    if (AIdx < 0 || !st.Step())
        throw EArgumentOutOfRangeException("Rechnerindex " + std::to_string(AIdx) + " außerhalb des Bereichs");
    return {int32_t(st.ColInt(0)), st.ColText(1), int16_t(st.ColInt(2))};
}

std::vector<TRVRInfoUmfang> TRVRTab::Alle() {
    std::vector<TRVRInfoUmfang> r;
    auto st = RDLProgramm().Datenbank().Prepare("SELECT rechner, name, filiale FROM rechner ORDER BY rechner");
    while (st.Step()) r.push_back({int32_t(st.ColInt(0)), st.ColText(1), int16_t(st.ColInt(2))});
    return r;
}

// --- origins of sales lines ----------------------------------------------------------

namespace {
std::string PlattformErsatzname(int AHerkunft) { return "Plattform " + std::to_string(AHerkunft); }
} // namespace

std::vector<std::string> CRDL_Herkunftskennzeichen_2_string() {
    std::vector<std::string> namen(CRDL_AnzahlHerkunftskennzeichen);
    namen[0] = "station\u00E4r";
    for (int p = 1; p < CRDL_AnzahlHerkunftskennzeichen; ++p) namen[size_t(p)] = PlattformErsatzname(p);
    auto st = RDLProgramm().Datenbank().Prepare("SELECT herkunft, name FROM plattform ORDER BY herkunft");
    while (st.Step()) {
        const int64_t p = st.ColInt(0);
        const std::string name = st.ColText(1);
        if (p >= 1 && p < CRDL_AnzahlHerkunftskennzeichen && !name.empty()) namen[size_t(p)] = name;
    }
    return namen;
}

std::string Plattform_2_String(int AHerkunft) {
    if (AHerkunft < 0 || AHerkunft >= CRDL_AnzahlHerkunftskennzeichen) return PlattformErsatzname(AHerkunft);
    return CRDL_Herkunftskennzeichen_2_string()[size_t(AHerkunft)];
}

// --- settings masks ------------------------------------------------------------------

std::string TSimpleMask::Lesen(const std::string& ATerminal, const std::string& AKey,
                               const std::string& ADefault) const {
    auto st = RDLProgramm().Datenbank().Prepare(
        "SELECT wert FROM globaldef WHERE bereich = ? AND sektion = ? AND terminal = ? AND schluessel = ?");
    st.Bind(1, FBereich);
    st.Bind(2, FSektion);
    st.Bind(3, ATerminal);
    st.Bind(4, AKey);
    return st.Step() ? st.ColText(0) : ADefault;
}

void TSimpleMask::Schreiben(const std::string& ATerminal, const std::string& AKey, const std::string& AWert) const {
    auto& db = RDLProgramm().Datenbank();
    auto st = db.Prepare("INSERT INTO globaldef (bereich, sektion, terminal, schluessel, wert) VALUES (?, ?, ?, ?, ?)"
                         " ON CONFLICT (bereich, sektion, terminal, schluessel) DO UPDATE SET wert = excluded.wert");
    st.Bind(1, FBereich);
    st.Bind(2, FSektion);
    st.Bind(3, ATerminal);
    st.Bind(4, AKey);
    st.Bind(5, AWert);
    st.Step();
}

std::string TSimpleMask::ReadGlobalDef(const std::string& AKey, const std::string& ADefault) const {
    return Lesen("", AKey, ADefault);
}
void TSimpleMask::WriteGlobal(const std::string& AKey, const std::string& AWert) const { Schreiben("", AKey, AWert); }
std::string TSimpleMask::ReadTerminalDef(const std::string& AKey, const std::string& ADefault) const {
    return Lesen(RDLInfo().RDLInfoTerminalID(), AKey, ADefault);
}
void TSimpleMask::WriteTerminal(const std::string& AKey, const std::string& AWert) const {
    Schreiben(RDLInfo().RDLInfoTerminalID(), AKey, AWert);
}
