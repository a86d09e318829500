#include "betriebskalender.h"
#include "feiertage.h"
#include "rdldatum.h"
#include "rdlprogramm.h"
#include <cmath>
#include <cstdlib>

namespace {

int64_t Tag(TDate ADatum) { return int64_t(std::floor(ADatum)); }

int JahrVon(int64_t ATag) {
    int j, m, d;
    DecodeDate(TDate(ATag), j, m, d);
    return j;
}

void FensterAnhaengen(std::vector<TKOV_Tageszeitraum>& AListe, double AVon, double ABis) {
    const TKOV_Tageszeitraum z{AVon, ABis};
    // Rows without a usable window (the closed marker 0/0) add nothing.
    if (z.KonsistenzCheck()) AListe.push_back(z);
}

} // namespace

TBetriebskalenderMani::TFilialKalender& TBetriebskalenderMani::Filiale(const TIntPair& AMandant,
                                                                       const TIntPair& AOrgeID) {
    const auto schluessel = std::make_pair(AMandant, AOrgeID);
    if (auto it = FFilialen.find(schluessel); it != FFilialen.end()) return it->second;
    TFilialKalender f;
    auto& db = RDLProgramm().Datenbank();
    auto sf = db.Prepare("SELECT filiale, bundesland FROM filiale"
                         " WHERE mand_a = ? AND mand_b = ? AND orge_a = ? AND orge_b = ?");
    sf.Bind(1, int64_t(AMandant.A));
    sf.Bind(2, int64_t(AMandant.B));
    sf.Bind(3, int64_t(AOrgeID.A));
    sf.Bind(4, int64_t(AOrgeID.B));
    if (sf.Step()) {
        f.Bekannt = true;
        f.Nr = int(sf.ColInt(0));
        f.Bundesland = sf.ColText(1);
    }
    sf.Reset();
    if (f.Bekannt) {
        auto sw = db.Prepare("SELECT wochentag, von, bis FROM betriebszeit WHERE filiale = ? ORDER BY wochentag, nr");
        sw.Bind(1, int64_t(f.Nr));
        while (sw.Step()) {
            const int wt = int(sw.ColInt(0));
            if (wt >= 1 && wt <= 7) FensterAnhaengen(f.Woche[size_t(wt)], sw.ColDouble(1), sw.ColDouble(2));
        }
    }
    return FFilialen.emplace(schluessel, std::move(f)).first->second;
}

const TBetriebskalenderMani::TJahr& TBetriebskalenderMani::Jahr(TFilialKalender& F, int AJahr) {
    if (auto it = F.Jahre.find(AJahr); it != F.Jahre.end()) return it->second;
    TJahr j;
    for (const auto& h : GesetzlicheFeiertage(AJahr, F.Bundesland)) j.Feiertage.emplace(Tag(h.Datum), h.Name);
    auto& db = RDLProgramm().Datenbank();
    const double von = EncodeDate(AJahr, 1, 1), bis = EncodeDate(AJahr, 12, 31) + 1;
    // Ordered by branch: the branch's own row of a day replaces the one for all branches.
    auto sh = db.Prepare("SELECT datum, name FROM feiertag WHERE filiale IN (0, ?) AND datum >= ? AND datum < ?"
                         " ORDER BY datum, filiale");
    sh.Bind(1, int64_t(F.Nr));
    sh.Bind(2, von);
    sh.Bind(3, bis);
    while (sh.Step()) j.Feiertage[Tag(sh.ColDouble(0))] = sh.ColText(1);
    auto sa = db.Prepare("SELECT datum, von, bis FROM betriebszeit_ausnahme"
                         " WHERE filiale = ? AND datum >= ? AND datum < ? ORDER BY datum, nr");
    sa.Bind(1, int64_t(F.Nr));
    sa.Bind(2, von);
    sa.Bind(3, bis);
    while (sa.Step()) FensterAnhaengen(j.Ausnahmen[Tag(sa.ColDouble(0))], sa.ColDouble(1), sa.ColDouble(2));
    return F.Jahre.emplace(AJahr, std::move(j)).first->second;
}

const TBetriebskalenderMani::TJahr* TBetriebskalenderMani::JahrZuTag(const TIntPair& AMandant,
                                                                     const TIntPair& AOrgeID, int64_t ATag,
                                                                     TFilialKalender*& AFiliale) {
    AFiliale = &Filiale(AMandant, AOrgeID);
    return AFiliale->Bekannt ? &Jahr(*AFiliale, JahrVon(ATag)) : nullptr;
}

bool TBetriebskalenderMani::BetriebszeitenFuerDatum_Laden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                          TDate ADatum, TKOV_Tagesabschnitte& AZeiten,
                                                          bool& AAusnahme) {
    AZeiten.Clear();
    AZeiten.Datum = DateOf(ADatum);
    AAusnahme = false;
    const int64_t tag = Tag(ADatum);
    TFilialKalender* f = nullptr;
    const TJahr* j = JahrZuTag(AMandant, AOrgeID, tag, f);
    if (!j) return false;
    const std::vector<TKOV_Tageszeitraum>* fenster = &f->Woche[size_t(DayOfTheWeek(ADatum))];
    static const std::vector<TKOV_Tageszeitraum> CKeine;
    if (auto a = j->Ausnahmen.find(tag); a != j->Ausnahmen.end()) {
        fenster = &a->second;
        AAusnahme = true;
    } else if (j->Feiertage.count(tag)) {
        fenster = &CKeine;
        AAusnahme = true;
    }
    for (const auto& z : *fenster) AZeiten.Add(z);
    return AZeiten.Count() > 0;
}

std::optional<std::string> TBetriebskalenderMani::FeiertagDerFiliale(const TIntPair& AMandant,
                                                                     const TIntPair& AOrgeID, TDate ADatum) {
    const int64_t tag = Tag(ADatum);
    TFilialKalender* f = nullptr;
    const TJahr* j = JahrZuTag(AMandant, AOrgeID, tag, f);
    if (!j) return std::nullopt;
    const auto it = j->Feiertage.find(tag);
    if (it == j->Feiertage.end()) return std::nullopt;
    return it->second;
}

bool TBetriebskalenderMani::IstSchliesstag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum) {
    const int64_t tag = Tag(ADatum);
    TFilialKalender* f = nullptr;
    const TJahr* j = JahrZuTag(AMandant, AOrgeID, tag, f);
    if (!j) return false;
    if (auto a = j->Ausnahmen.find(tag); a != j->Ausnahmen.end()) return a->second.empty();
    return j->Feiertage.count(tag) > 0;
}

std::optional<TDate> TBetriebskalenderMani::FeiertagImJahr(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                           int AJahr, const std::string& AName, TDate ABezugstag) {
    auto& f = Filiale(AMandant, AOrgeID);
    if (!f.Bekannt || AName.empty()) return std::nullopt;
    // A name may recur within a year (inventory in January and July): take the one at the same time of year.
    const int64_t bezug = Tag(ABezugstag) - Tag(EncodeDate(JahrVon(Tag(ABezugstag)), 1, 1));
    const int64_t neujahr = Tag(EncodeDate(AJahr, 1, 1));
    std::optional<TDate> bester;
    int64_t besterAbstand = 0;
    for (const auto& [tag, name] : Jahr(f, AJahr).Feiertage) {
        if (name != AName) continue;
        const int64_t abstand = std::abs(tag - neujahr - bezug);
        if (!bester || abstand < besterAbstand) {
            bester = TDate(tag);
            besterAbstand = abstand;
        }
    }
    return bester;
}
