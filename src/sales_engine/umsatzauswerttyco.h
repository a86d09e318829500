#pragma once
// Values and containers of the sales statistics engine: a day cut into sections with the
// sales counted per section, a day beside its prior years, and the days of a period.
// Templates over the figures type and a traits type with its arithmetic:
//   static TUmsatzdaten EmptyValue();
//   static TUmsatzdaten Add(const TUmsatzdaten&, const TUmsatzdaten&);
//   static TUmsatzdaten DivideByCount(const TUmsatzdaten&, int);
//   static bool IsEmpty(const TUmsatzdaten&);
// Every operation registers an exception under its trace name and returns normally
// (functions with their neutral result), as the rest of the suite does.
#include "kov_generics_collections.h"
#include "kovdateutils.h"
#include "rdldatum.h"
#include "rdlinfo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// How the window in which sales are counted is derived from the sections of a day.
enum TKOV_PEP_Berechnungsmodus : uint8_t {
    bmAbschnitt = 0,  // each opening-hours section counts only its own span
    bmLueckenlos = 1, // the whole day is covered; a gap between sections is split at its midpoint
    bmMitRand = 2,    // each section is widened by RandMinuten on both sides, neighbours never overlap
};

struct TKOV_PEP_UmsatzAnzeigeOptionen {
    int AnzahlVorjahre = 1;
    bool Stundenweise = true;
    int AbschnittMinuten = 60;
    TKOV_PEP_Berechnungsmodus Berechnungsmodus = bmLueckenlos;
    int RandMinuten = 30;

    // Defaults: one prior year (what the sales window opens with); hour-long sections at
    // full hours (what a branch manager compares); counting without gaps, so every sale
    // of the day lies in some section even outside the opening hours; a 30-minute margin
    // for bmMitRand (customers served after closing time).
    void Init() { *this = TKOV_PEP_UmsatzAnzeigeOptionen{}; }
    static TKOV_PEP_UmsatzAnzeigeOptionen LeererRecord() { return {}; }
};

namespace kov_umsatz_detail {
// Time-of-day comparisons on a millisecond grid, as the day windows do, so a bound
// computed from minutes equals one read back from the database.
inline long long Ms(TDateTime AZeit) { return std::llround(AZeit * 86400000.0); }
} // namespace kov_umsatz_detail

// ---------------------------------------------------------------------------
// One section of a day with the sales counted in it.
// ---------------------------------------------------------------------------
template <class TUmsatzdaten, class TUmsatzdataOperator>
class TKOV_Umsatz_Tagesabschnittsdaten {
public:
    TKOV_Tageszeitraum ZeitraumAnzeige;
    TKOV_Tageszeitraum ZeitraumUmsatzberechnung; // may be wider than the shown section
    TUmsatzdaten Umsatz = TUmsatzdataOperator::EmptyValue();

    void Clear() {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesabschnittsdaten.Clear", true, [&] {
            ZeitraumAnzeige.Clear();
            ZeitraumUmsatzberechnung.Clear();
            Umsatz = TUmsatzdataOperator::EmptyValue();
        });
    }
};

// ---------------------------------------------------------------------------
// A day split into sections; owns its sections.
// ---------------------------------------------------------------------------
template <class TUmsatzdaten, class TUmsatzdataOperator>
class TKOV_Umsatz_Tagesauswertung
    : public TKOV_ObjectList<TKOV_Umsatz_Tagesabschnittsdaten<TUmsatzdaten, TUmsatzdataOperator>> {
public:
    using TAbschnitt = TKOV_Umsatz_Tagesabschnittsdaten<TUmsatzdaten, TUmsatzdataOperator>;
    using TBasis = TKOV_ObjectList<TAbschnitt>;

    TDate FDatum = 0;
    TUmsatzdaten FGesamtUmsatz = TUmsatzdataOperator::EmptyValue(); // the whole day, whatever the sections
    TArray<TDate> FVergleichstage;                                  // prior-year days this stands for

    TKOV_Umsatz_Tagesauswertung() : TBasis(true) {}
    explicit TKOV_Umsatz_Tagesauswertung(const TKOV_Tagesabschnitte& ATagesAbschnitte) : TBasis(true) {
        BuildFromAbschnitte(ATagesAbschnitte);
    }
    TKOV_Umsatz_Tagesauswertung(const TKOV_Tagesabschnitte& ATagesAbschnitte,
                                const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig)
        : TBasis(true) {
        BuildFromAbschnitte(ATagesAbschnitte, AUmsatzConfig);
    }

    // Raises EArgumentOutOfRangeException for an index outside 0..Count-1.
    TAbschnitt& Abschnitt(int32_t AIndex) { return *this->Items(AIndex); }
    const TAbschnitt& Abschnitt(int32_t AIndex) const { return *this->Items(AIndex); }

    // One section per input section, both windows equal to it.
    void BuildFromAbschnitte(const TKOV_Tagesabschnitte& ATagesAbschnitte) {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.BuildFromAbschnitte", true, [&] {
            this->Clear();
            FDatum = ATagesAbschnitte.Datum;
            for (int j = 0; j < ATagesAbschnitte.Count(); ++j)
                AbschnittAnhaengen(ATagesAbschnitte[j], ATagesAbschnitte[j]);
        });
    }

    // The opening-hours sections of a day cut into sub-sections, each counting in the
    // window the mode of AUmsatzConfig derives from it.
    void BuildFromAbschnitte(const TKOV_Tagesabschnitte& ATagesAbschnitte,
                             const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig) {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.BuildFromAbschnitte", true, [&] {
            this->Clear();
            for (int j = 0; j < ATagesAbschnitte.Count(); ++j) {
                TKOV_Tagesabschnitte teile;
                const TKOV_Tageszeitraum& oeffnung = ATagesAbschnitte[j];
                if (AUmsatzConfig.Stundenweise)
                    teile.AddAbschnitteStundenweise(oeffnung.Von, oeffnung.Bis);
                else
                    teile.AddAbschnitteFuerVonBisZeitraum(oeffnung.Von, oeffnung.Bis, AUmsatzConfig.AbschnittMinuten);
                // Taken before appending: the start depends on the previous section's last piece.
                const TDateTime zaehlBeginn = ZaehlBeginn(ATagesAbschnitte, j, AUmsatzConfig);
                const TDateTime zaehlEnde = ZaehlEnde(ATagesAbschnitte, j, AUmsatzConfig);
                for (int i = 0; i < teile.Count(); ++i) {
                    TKOV_Tageszeitraum zaehlen = teile[i];
                    if (i == 0)
                        zaehlen.Von = zaehlBeginn; // a single piece keeps its own end
                    else if (i == teile.Count() - 1)
                        zaehlen.Bis = zaehlEnde;
                    AbschnittAnhaengen(teile[i], zaehlen);
                }
            }
            FDatum = ATagesAbschnitte.Datum;
        });
    }

    // Copies of the other day's sections; day, whole-day figure and comparison days stay.
    void CloneOtherList(const TKOV_Umsatz_Tagesauswertung& AOtherTagesAuswertung) {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.CloneOtherList", true, [&] {
            if (&AOtherTagesAuswertung == this) return;
            this->Clear();
            for (int32_t i = 0; i < AOtherTagesAuswertung.Count(); ++i) {
                const TAbschnitt& a = AOtherTagesAuswertung.Abschnitt(i);
                AbschnittAnhaengen(a.ZeitraumAnzeige, a.ZeitraumUmsatzberechnung, a.Umsatz);
            }
        });
    }

    // Sorts, then checks every section; the first error found is registered (catalogue
    // "PEP" 1900/1904 for an unusable window, 1902/1905 for overlaps). False when one was.
    bool KonsistenzSicherstellen(bool ACheckUeberschneidungen) {
        static const std::string CTrace = "TKOV_Umsatz_Tagesauswertung.KonsistenzSicherstellen";
        return KOV_Geschuetzt(CTrace, true, [&] {
            SortByVonZeit();
            using kov_umsatz_detail::Ms;
            const std::string tag = DateToStr(FDatum);
            for (int32_t i = 0; i < this->Count(); ++i) {
                const TAbschnitt& a = Abschnitt(i);
                if (!a.ZeitraumAnzeige.KonsistenzCheck())
                    RDLInfo().FehlerRaise(CTrace, "PEP", 1900,
                                          {tag, DateTimeToStr(FDatum + a.ZeitraumAnzeige.Von),
                                           DateTimeToStr(FDatum + a.ZeitraumAnzeige.Bis)});
                if (!a.ZeitraumUmsatzberechnung.KonsistenzCheck())
                    RDLInfo().FehlerRaise(CTrace, "PEP", 1904,
                                          {tag, DateTimeToStr(FDatum + a.ZeitraumUmsatzberechnung.Von),
                                           DateTimeToStr(FDatum + a.ZeitraumUmsatzberechnung.Bis)});
                if (!ACheckUeberschneidungen || i == this->Count() - 1) continue;
                const TAbschnitt& n = Abschnitt(i + 1);
                if (Ms(a.ZeitraumAnzeige.Bis) > Ms(n.ZeitraumAnzeige.Von))
                    RDLInfo().FehlerRaise(CTrace, "PEP", 1902, {tag});
                if (Ms(a.ZeitraumUmsatzberechnung.Bis) > Ms(n.ZeitraumUmsatzberechnung.Von))
                    RDLInfo().FehlerRaise(CTrace, "PEP", 1905, {tag});
            }
        });
    }

    // Counts a sale in the whole day and in every section whose counting window holds
    // the time (bounds inside): overlapping windows both get it.
    // Called per sales line: the windows' bounds on the millisecond grid are kept beside
    // the bounds they came from and taken anew when a window changed.
    void AddUmsatz(TDateTime AUhrZeit, const TUmsatzdaten& AUmsatz) {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.AddUmsatz", true, [&] {
            FGesamtUmsatz = TUmsatzdataOperator::Add(FGesamtUmsatz, AUmsatz);
            const int32_t n = this->Count();
            if (n == 0) return;
            using kov_umsatz_detail::Ms;
            // As TKOV_Tageszeitraum::IsInRange takes the time of day.
            const long long t = (AUhrZeit >= 0 && AUhrZeit <= 1.0) ? Ms(AUhrZeit) : Ms(AUhrZeit - std::floor(AUhrZeit));
            if (FMsFenster.size() != size_t(n)) FMsFenster.assign(size_t(n), TMsFenster{});
            for (int32_t i = 0; i < n; ++i) {
                TAbschnitt& a = *this->Items(i);
                TMsFenster& m = FMsFenster[size_t(i)];
                const TKOV_Tageszeitraum& z = a.ZeitraumUmsatzberechnung;
                if (!m.Gueltig || m.Von != z.Von || m.Bis != z.Bis)
                    m = {true, z.Von, z.Bis, Ms(z.Von), Ms(z.Bis)};
                if (t >= m.VonMs && t <= m.BisMs) a.Umsatz = TUmsatzdataOperator::Add(a.Umsatz, AUmsatz);
            }
        });
    }

    // Clears the figures; sections and windows stay.
    void UmsaetzeClear() {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.UmsaetzeClear", true, [&] {
            FGesamtUmsatz = TUmsatzdataOperator::EmptyValue();
            for (int32_t i = 0; i < this->Count(); ++i) Abschnitt(i).Umsatz = TUmsatzdataOperator::EmptyValue();
        });
    }

    void ClearAll() {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.ClearAll", true, [&] {
            this->Clear();
            FDatum = 0;
            FGesamtUmsatz = TUmsatzdataOperator::EmptyValue();
            FVergleichstage.clear();
        });
    }

    // By the start of the shown window; reordering frees nothing.
    void SortByVonZeit() {
        KOV_Geschuetzt("TKOV_Umsatz_Tagesauswertung.SortByVonZeit", true, [&] {
            this->Sort([](TAbschnitt* const& A, TAbschnitt* const& B) {
                const long long a = kov_umsatz_detail::Ms(A->ZeitraumAnzeige.Von);
                const long long b = kov_umsatz_detail::Ms(B->ZeitraumAnzeige.Von);
                return a < b ? -1 : (a > b ? 1 : 0);
            });
        });
    }

    TDateTime GetFruehesteVonZeit() const {
        return KOV_GeschuetztWert("TKOV_Umsatz_Tagesauswertung.GetFruehesteVonZeit", true, TDateTime(0),
                                  [&] { return Abschnitt(0).ZeitraumAnzeige.Von; });
    }
    TDateTime GetSpaetesteBisZeit() const {
        return KOV_GeschuetztWert("TKOV_Umsatz_Tagesauswertung.GetSpaetesteBisZeit", true, TDateTime(0),
                                  [&] { return Abschnitt(this->Count() - 1).ZeitraumAnzeige.Bis; });
    }

private:
    struct TMsFenster {
        bool Gueltig = false;
        double Von = 0, Bis = 0;
        long long VonMs = 0, BisMs = 0;
    };
    std::vector<TMsFenster> FMsFenster;
    void AbschnittAnhaengen(const TKOV_Tageszeitraum& AAnzeige, const TKOV_Tageszeitraum& AZaehlen,
                            const TUmsatzdaten& AUmsatz = TUmsatzdataOperator::EmptyValue()) {
        auto a = std::make_unique<TAbschnitt>();
        a->ZeitraumAnzeige = AAnzeige;
        a->ZeitraumUmsatzberechnung = AZaehlen;
        a->Umsatz = AUmsatz;
        this->Add(a.get());
        a.release(); // the list owns it now
    }

    // Start of counting for opening-hours section j; the last section appended so far
    // belongs to section j - 1.
    TDateTime ZaehlBeginn(const TKOV_Tagesabschnitte& AOeffnung, int j,
                          const TKOV_PEP_UmsatzAnzeigeOptionen& AConfig) const {
        const TDateTime von = AOeffnung[j].Von;
        const bool leer = this->Count() == 0;
        const TDateTime vorigesEnde = leer ? 0.0 : Abschnitt(this->Count() - 1).ZeitraumUmsatzberechnung.Bis;
        switch (AConfig.Berechnungsmodus) {
        case bmAbschnitt: return von;
        case bmLueckenlos: return leer ? 0.0 : vorigesEnde;
        case bmMitRand: {
            using kov_umsatz_detail::Ms;
            const double d = AConfig.RandMinuten / 1440.0;
            if (leer) return Ms(d) >= Ms(von) ? 0.0 : von - d;
            return Ms(von - d) >= Ms(vorigesEnde) ? von - d : vorigesEnde; // never before the previous counting end
        }
        }
        return 0.0;
    }

    TDateTime ZaehlEnde(const TKOV_Tagesabschnitte& AOeffnung, int j,
                        const TKOV_PEP_UmsatzAnzeigeOptionen& AConfig) const {
        const TDateTime bis = AOeffnung[j].Bis;
        const bool letzter = j == AOeffnung.Count() - 1;
        const TDateTime mitte = letzter ? 1.0 : (bis + AOeffnung[j + 1].Von) / 2.0;
        switch (AConfig.Berechnungsmodus) {
        case bmAbschnitt: return bis;
        case bmLueckenlos: return letzter ? 1.0 : mitte;
        case bmMitRand: {
            using kov_umsatz_detail::Ms;
            const double d = AConfig.RandMinuten / 1440.0;
            if (letzter) return Ms(bis) + Ms(d) >= Ms(1.0) ? 1.0 : bis + d;
            return Ms(bis) + Ms(d) < Ms(AOeffnung[j + 1].Von) - Ms(d) ? bis + d : mitte;
        }
        }
        return 0.0;
    }
};

// ---------------------------------------------------------------------------
// Several day evaluations with the same sections; owns them.
// ---------------------------------------------------------------------------
template <class TUmsatzdaten, class TUmsatzdataOperator>
class TKOV_Umsatz_TagesauswertungenListe
    : public TKOV_ObjectList<TKOV_Umsatz_Tagesauswertung<TUmsatzdaten, TUmsatzdataOperator>> {
public:
    using TTag = TKOV_Umsatz_Tagesauswertung<TUmsatzdaten, TUmsatzdataOperator>;

    TKOV_Umsatz_TagesauswertungenListe() : TKOV_ObjectList<TTag>(true) {}

    // The section-wise mean of the days into ADurchschnitt. With ATageOhneUmsaetzeIgnorieren,
    // days without any sales count neither in the sum nor in the divisor.
    void BildeDurchschnitt(TTag* ADurchschnitt, bool ATageOhneUmsaetzeIgnorieren) const {
        KOV_Geschuetzt("TKOV_Umsatz_TagesauswertungenListe.BildeDurchschnitt", true, [&] {
            using Op = TUmsatzdataOperator;
            if (!ADurchschnitt || this->Count() == 0) return;
            ADurchschnitt->ClearAll();
            ADurchschnitt->CloneOtherList(*this->Items(0));
            ADurchschnitt->UmsaetzeClear();
            int n = 0;
            for (int32_t t = 0; t < this->Count(); ++t)
                if (!ATageOhneUmsaetzeIgnorieren || !Op::IsEmpty(this->Items(t)->FGesamtUmsatz)) ++n;
            if (n == 0) return;
            for (int32_t i = 0; i < ADurchschnitt->Count(); ++i) {
                TUmsatzdaten summe = Op::EmptyValue();
                for (int32_t t = 0; t < this->Count(); ++t) {
                    const TTag& tag = *this->Items(t);
                    if (!Op::IsEmpty(tag.FGesamtUmsatz)) summe = Op::Add(summe, tag.Abschnitt(i).Umsatz);
                }
                ADurchschnitt->Abschnitt(i).Umsatz = Op::DivideByCount(summe, n);
            }
            TUmsatzdaten summe = Op::EmptyValue();
            for (int32_t t = 0; t < this->Count(); ++t)
                if (!Op::IsEmpty(this->Items(t)->FGesamtUmsatz))
                    summe = Op::Add(summe, this->Items(t)->FGesamtUmsatz);
            ADurchschnitt->FGesamtUmsatz = Op::DivideByCount(summe, n);
        });
    }
    void BildeDurchschnitt(TTag& ADurchschnitt, bool ATageOhneUmsaetzeIgnorieren) const {
        BildeDurchschnitt(&ADurchschnitt, ATageOhneUmsaetzeIgnorieren);
    }
};

// ---------------------------------------------------------------------------
// The figures of one day (or section) beside its prior years.
// ---------------------------------------------------------------------------
template <class TUmsatzdaten, class TUmsatzdataOperator>
class TKOV_UmsatzDatenMitVorjahre {
public:
    TArray<TUmsatzdaten> FVorjahresUmsaetze; // index 0 one year back
    TUmsatzdaten FDurchschnitt = TUmsatzdataOperator::EmptyValue();
    TUmsatzdaten FRealerUmsatz = TUmsatzdataOperator::EmptyValue();
    TArray<TArray<TDate>> FVergleichstage; // per prior year, the days summed

    TKOV_UmsatzDatenMitVorjahre() = default;
    explicit TKOV_UmsatzDatenMitVorjahre(int AAnzahlVorjahresumsaetze) { Init(AAnzahlVorjahresumsaetze); }

    void Init(int AAnzahlVorjahresumsaetze) {
        KOV_Geschuetzt("TKOV_UmsatzDatenMitVorjahre.Init", true, [&] {
            const size_t n = size_t(std::max(AAnzahlVorjahresumsaetze, 0));
            FVorjahresUmsaetze.assign(n, TUmsatzdataOperator::EmptyValue());
            FVergleichstage.assign(n, TArray<TDate>());
            FDurchschnitt = TUmsatzdataOperator::EmptyValue();
            FRealerUmsatz = TUmsatzdataOperator::EmptyValue();
        });
    }

    int AnzahlVorjahresumsaetze() const { return int(FVorjahresUmsaetze.size()); }

    TUmsatzdaten VorjahresUmsatz_Get(int AIdx) const {
        return KOV_GeschuetztWert("TKOV_UmsatzDatenMitVorjahre.VorjahresUmsatz_Get", true,
                                  TUmsatzdataOperator::EmptyValue(),
                                  [&] { return FVorjahresUmsaetze[Index(AIdx)]; });
    }
    void VorjahresUmsatz_Set(int AIdx, const TUmsatzdaten& AUmsatz) {
        KOV_Geschuetzt("TKOV_UmsatzDatenMitVorjahre.VorjahresUmsatz_Set", true,
                       [&] { FVorjahresUmsaetze[Index(AIdx)] = AUmsatz; });
    }
    TArray<TDate> Vergleichstage_Get(int AIdx) const {
        return KOV_GeschuetztWert("TKOV_UmsatzDatenMitVorjahre.Vergleichstage_Get", true, TArray<TDate>(),
                                  [&] { return FVergleichstage[Index(AIdx)]; });
    }
    void Vergleichstage_Set(int AIdx, const TArray<TDate>& AVergleichstage) {
        KOV_Geschuetzt("TKOV_UmsatzDatenMitVorjahre.Vergleichstage_Set", true,
                       [&] { FVergleichstage[Index(AIdx)] = AVergleichstage; });
    }

    // Element-wise sum; comparison days stay. Different numbers of prior years are
    // registered (catalogue "STANDARD" 991) and leave the target unchanged. False then.
    bool Add(const TKOV_UmsatzDatenMitVorjahre& AOtherDaten) {
        static const std::string CTrace = "TKOV_UmsatzDatenMitVorjahre.Add";
        return KOV_Geschuetzt(CTrace, true, [&] {
            using Op = TUmsatzdataOperator;
            if (AOtherDaten.FVorjahresUmsaetze.size() != FVorjahresUmsaetze.size())
                RDLInfo().FehlerRaise(CTrace, "STANDARD", 991, {"Längen passen nicht"});
            // Computed aside first, so a failing Add changes nothing.
            TArray<TUmsatzdaten> vorjahre(FVorjahresUmsaetze.size());
            for (size_t k = 0; k < vorjahre.size(); ++k)
                vorjahre[k] = Op::Add(FVorjahresUmsaetze[k], AOtherDaten.FVorjahresUmsaetze[k]);
            TUmsatzdaten durchschnitt = Op::Add(FDurchschnitt, AOtherDaten.FDurchschnitt);
            TUmsatzdaten real = Op::Add(FRealerUmsatz, AOtherDaten.FRealerUmsatz);
            FVorjahresUmsaetze = std::move(vorjahre);
            FDurchschnitt = durchschnitt;
            FRealerUmsatz = real;
        });
    }

    bool IsEmpty() const {
        return KOV_GeschuetztWert("TKOV_UmsatzDatenMitVorjahre.IsEmpty", true, false, [&] {
            using Op = TUmsatzdataOperator;
            return Op::IsEmpty(FRealerUmsatz) && Op::IsEmpty(FDurchschnitt) &&
                   std::all_of(FVorjahresUmsaetze.begin(), FVorjahresUmsaetze.end(),
                               [](const TUmsatzdaten& U) { return Op::IsEmpty(U); });
        });
    }

private:
    size_t Index(int AIdx) const {
        if (AIdx < 0 || size_t(AIdx) >= FVorjahresUmsaetze.size())
            throw EListError("Vorjahresindex außerhalb des gültigen Bereichs (" + std::to_string(AIdx) + ")");
        return size_t(AIdx);
    }
};

// ---------------------------------------------------------------------------
// A day split into sections beside one day evaluation per prior year and their average.
// ---------------------------------------------------------------------------
template <class TUmsatzdaten, class TUmsatzdataOperator>
class TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung {
public:
    using TTag = TKOV_Umsatz_Tagesauswertung<TUmsatzdaten, TUmsatzdataOperator>;
    using TTagListe = TKOV_Umsatz_TagesauswertungenListe<TUmsatzdaten, TUmsatzdataOperator>;
    using TMitVorjahre = TKOV_UmsatzDatenMitVorjahre<TUmsatzdaten, TUmsatzdataOperator>;

    std::unique_ptr<TTagListe> FVorjahresUmsaetze; // index 0 one year back
    std::unique_ptr<TTag> FDurchschnitt;
    std::unique_ptr<TTag> FRealerUmsatz;

    TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung() { BuildFrom(0); }
    explicit TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung(int AAnzahlVorjahresumsaetze) {
        BuildFrom(AAnzahlVorjahresumsaetze);
    }
    TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung(const TKOV_Tagesabschnitte& ATagesAbschnitte,
                                                    const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig) {
        BuildFrom(ATagesAbschnitte, AUmsatzConfig);
    }
    TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung(const TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung&) = delete;
    TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung& operator=(
        const TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung&) = delete;

    // AAnzahlVorjahresumsaetze empty prior-year evaluations; the day and the average emptied.
    void BuildFrom(int AAnzahlVorjahresumsaetze) {
        KOV_Geschuetzt("TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung.BuildFrom", true, [&] {
            if (!FVorjahresUmsaetze) FVorjahresUmsaetze = std::make_unique<TTagListe>();
            FVorjahresUmsaetze->Clear();
            for (int k = 0; k < AAnzahlVorjahresumsaetze; ++k) {
                auto tag = std::make_unique<TTag>();
                FVorjahresUmsaetze->Add(tag.get());
                tag.release();
            }
            if (!FRealerUmsatz) FRealerUmsatz = std::make_unique<TTag>();
            FRealerUmsatz->ClearAll();
            if (!FDurchschnitt) FDurchschnitt = std::make_unique<TTag>();
            FDurchschnitt->ClearAll();
        });
    }

    // The day's sections from its opening hours, checked with overlaps, and the same
    // sections in every prior year; the average gets its sections when it is computed.
    void BuildFrom(const TKOV_Tagesabschnitte& ATagesAbschnitte, const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig) {
        KOV_Geschuetzt("TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung.BuildFrom", true, [&] {
            BuildFrom(AUmsatzConfig.AnzahlVorjahre);
            FRealerUmsatz->BuildFromAbschnitte(ATagesAbschnitte, AUmsatzConfig);
            FRealerUmsatz->KonsistenzSicherstellen(true);
            for (int32_t k = 0; k < FVorjahresUmsaetze->Count(); ++k)
                FVorjahresUmsaetze->Items(k)->CloneOtherList(*FRealerUmsatz);
        });
    }

    int AnzahlVorjahre() const { return FVorjahresUmsaetze ? FVorjahresUmsaetze->Count() : 0; }

    // Section AIndex of the day, of the average and of every prior year (with its
    // comparison days). An average without sections (no prior years yet) counts as empty.
    void UmsaetzeAbschnitt_Get(int AIndex, TMitVorjahre& AUmsaetzeAbschnitt) const {
        KOV_Geschuetzt("TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung.UmsaetzeAbschnitt_Get", true, [&] {
            AUmsaetzeAbschnitt.Init(AnzahlVorjahre());
            for (int k = 0; k < AnzahlVorjahre(); ++k) {
                const TTag& vj = *FVorjahresUmsaetze->Items(k);
                AUmsaetzeAbschnitt.VorjahresUmsatz_Set(k, vj.Abschnitt(AIndex).Umsatz);
                AUmsaetzeAbschnitt.Vergleichstage_Set(k, vj.FVergleichstage);
            }
            if (FDurchschnitt->IndexInRange(AIndex))
                AUmsaetzeAbschnitt.FDurchschnitt = FDurchschnitt->Abschnitt(AIndex).Umsatz;
            AUmsaetzeAbschnitt.FRealerUmsatz = FRealerUmsatz->Abschnitt(AIndex).Umsatz;
        });
    }

    // The same with the whole-day figures.
    void GesamtUmsaetze_Get(TMitVorjahre& AGesamtUmsaetze) const {
        KOV_Geschuetzt("TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung.GesamtUmsaetze_Get", true, [&] {
            AGesamtUmsaetze.Init(AnzahlVorjahre());
            for (int k = 0; k < AnzahlVorjahre(); ++k) {
                const TTag& vj = *FVorjahresUmsaetze->Items(k);
                AGesamtUmsaetze.VorjahresUmsatz_Set(k, vj.FGesamtUmsatz);
                AGesamtUmsaetze.Vergleichstage_Set(k, vj.FVergleichstage);
            }
            AGesamtUmsaetze.FDurchschnitt = FDurchschnitt->FGesamtUmsatz;
            AGesamtUmsaetze.FRealerUmsatz = FRealerUmsatz->FGesamtUmsatz;
        });
    }
};

// ---------------------------------------------------------------------------
// The days of a period in date order, each beside its prior years; owns them.
// ---------------------------------------------------------------------------
template <class TUmsatzdaten, class TUmsatzdataOperator>
class TKOV_PEP_UmsatzAuswertungZeitraum
    : public TKOV_ObjectList<TKOV_UmsatzDatenMitVorjahre<TUmsatzdaten, TUmsatzdataOperator>> {
public:
    using TMitVorjahre = TKOV_UmsatzDatenMitVorjahre<TUmsatzdaten, TUmsatzdataOperator>;

    TKOV_PEP_UmsatzAuswertungZeitraum() : TKOV_ObjectList<TMitVorjahre>(true) {}

    // The sum of all days, shaped like the first day; a day with another number of prior
    // years is registered by Add and left out.
    void Summe_Get(TMitVorjahre& ASumme) const {
        KOV_Geschuetzt("TKOV_PEP_UmsatzAuswertungZeitraum.Summe_Get", true, [&] {
            ASumme.Init(0);
            if (this->Count() > 0) ASumme.Init(this->Items(0)->AnzahlVorjahresumsaetze());
            for (int32_t i = 0; i < this->Count(); ++i) ASumme.Add(*this->Items(i));
        });
    }
};

// ===========================================================================
// The figures of the two evaluations that use the engine, and how one sales line
// (table lst) yields them. docs/schema.md ("How a sales line counts in the statistics")
// has the rule as a table, and the BLOB layouts under umst.
// ===========================================================================

// Sales figures of the sales evaluation: five groups of five. Within a group: 0 purchase
// value, 1 and 2 net and gross of articles, 3 and 4 net and gross of other items
// (services, vouchers, fees). Groups by origin of the selection: A origin 0 (stationary),
// C and D origin 1 (online sales, online returns), B and E origin 2 (corrections and
// other record kinds: sales, returns).
enum TKOV_UmsAusw_Gruppe : int { ugA = 0, ugB = 1, ugC = 2, ugD = 3, ugE = 4 };
enum TKOV_UmsAusw_Figur : int { ufEK = 0, ufNettoArtikel = 1, ufBruttoArtikel = 2, ufNettoSonstige = 3, ufBruttoSonstige = 4 };
inline constexpr int CKOV_UmsAusw_AnzahlGruppen = 5;
inline constexpr int CKOV_UmsAusw_AnzahlWerte = 25;

struct TKOV_Umsatzdaten_UmsAusw {
    double Werte[CKOV_UmsAusw_AnzahlWerte] = {};

    double& Wert(TKOV_UmsAusw_Gruppe AGruppe, TKOV_UmsAusw_Figur AFigur) { return Werte[AGruppe * 5 + AFigur]; }
    double Wert(TKOV_UmsAusw_Gruppe AGruppe, TKOV_UmsAusw_Figur AFigur) const { return Werte[AGruppe * 5 + AFigur]; }
    void Init() { *this = {}; }
    static TKOV_Umsatzdaten_UmsAusw LeererRecord() { return {}; }
    bool operator==(const TKOV_Umsatzdaten_UmsAusw&) const = default;
};
static_assert(sizeof(TKOV_Umsatzdaten_UmsAusw) == 200);

struct TKOV_UmsDataOperator_UmsAusw {
    static TKOV_Umsatzdaten_UmsAusw EmptyValue() { return {}; }
    // Inline: added per sales line and window.
    static TKOV_Umsatzdaten_UmsAusw Add(const TKOV_Umsatzdaten_UmsAusw& A, const TKOV_Umsatzdaten_UmsAusw& B) {
        TKOV_Umsatzdaten_UmsAusw r;
        for (int i = 0; i < CKOV_UmsAusw_AnzahlWerte; ++i) r.Werte[i] = A.Werte[i] + B.Werte[i];
        return r;
    }
    // N <= 0 (a prior year without comparison day) gives the empty value.
    static TKOV_Umsatzdaten_UmsAusw DivideByCount(const TKOV_Umsatzdaten_UmsAusw& A, int N);
    // No figure differs from 0 by more than a rounding residue (1e-9).
    static bool IsEmpty(const TKOV_Umsatzdaten_UmsAusw& A);
    // The BLOB column umst.daten: 25 little-endian IEEE doubles, 200 bytes. A shorter
    // multiple of 8 (an older layout) leaves the missing figures 0; a longer one (a newer
    // layout) gives its first 25. False for anything else (target untouched).
    static std::string Daten_2_Blob(const TKOV_Umsatzdaten_UmsAusw& A);
    static bool Blob_2_Daten(std::string_view ABlob, TKOV_Umsatzdaten_UmsAusw& AErgebnis);
};

// Figures of one platform and kind in the shipping-branch evaluation.
struct TKOV_VFUmsatzdaten_Erw {
    double EK = 0;
    double VKNetto = 0;
    double VKBrutto = 0;
    int32_t Menge = 0;

    void Init() { *this = {}; }
    static TKOV_VFUmsatzdaten_Erw LeererRecord() { return {}; }
    bool IsEmpty() const;
    bool operator==(const TKOV_VFUmsatzdaten_Erw&) const = default;
};

// Platform 0 stationary, 1 to 53 the online platforms (lst.herkunft); kind 0 sales,
// 1 returns and cancellations.
inline constexpr int CKOV_VersFil_AnzahlPlattformen = 54;
enum TKOV_VersFil_Verkaufstyp : int { vtVerkauf = 0, vtRetoureStorno = 1 };

struct TKOV_Umsatzdaten_Erw_VersFilAusw {
    TKOV_VFUmsatzdaten_Erw Plattformen[CKOV_VersFil_AnzahlPlattformen][2] = {};

    TKOV_VFUmsatzdaten_Erw& Daten(int APlattform, TKOV_VersFil_Verkaufstyp ATyp) { return Plattformen[APlattform][ATyp]; }
    const TKOV_VFUmsatzdaten_Erw& Daten(int APlattform, TKOV_VersFil_Verkaufstyp ATyp) const {
        return Plattformen[APlattform][ATyp];
    }
    void Init() { *this = {}; }
    static TKOV_Umsatzdaten_Erw_VersFilAusw LeererRecord() { return {}; }
    bool operator==(const TKOV_Umsatzdaten_Erw_VersFilAusw&) const = default;
};

struct TKOV_UmsDataOperator_VersFilAusw {
    static TKOV_Umsatzdaten_Erw_VersFilAusw EmptyValue() { return {}; }
    static TKOV_Umsatzdaten_Erw_VersFilAusw Add(const TKOV_Umsatzdaten_Erw_VersFilAusw& A,
                                                const TKOV_Umsatzdaten_Erw_VersFilAusw& B);
    // Values and quantities divided by N (quantities rounded to the nearest whole);
    // N <= 0 gives the empty value.
    static TKOV_Umsatzdaten_Erw_VersFilAusw DivideByCount(const TKOV_Umsatzdaten_Erw_VersFilAusw& A, int N);
    static bool IsEmpty(const TKOV_Umsatzdaten_Erw_VersFilAusw& A);
    // The BLOB column umstvf.daten: per platform in order, sales then returns, each entry
    // EK, VKNetto, VKBrutto as little-endian doubles and Menge as little-endian int32
    // (28 bytes, 56 per platform). Written only up to the last platform holding figures
    // (empty figures: 0 bytes); a shorter blob leaves the later platforms empty, a longer
    // one (more platforms in a newer layout) gives its first 54. False for a length that
    // is not a multiple of 56 (target untouched).
    static std::string Daten_2_Blob(const TKOV_Umsatzdaten_Erw_VersFilAusw& A);
    static bool Blob_2_Daten(std::string_view ABlob, TKOV_Umsatzdaten_Erw_VersFilAusw& AErgebnis);
};

// The fields of one sales line that decide its figures.
struct TKOV_LstWerte {
    std::string_view Satzart;
    int Herkunft = 0;
    double Betrag = 0;  // paid (net)
    double Betrag2 = 0; // till price (gross)
    double EK = 0;
    int32_t Menge = 0;
    TInt32Trio ProdId;
    std::string_view ArtNr;
};

class Tlstfile;
class TDatenfeld;
// The fields of the sales line the file holds now; the texts are views into the file's
// buffer, valid until it reads the next record.
TKOV_LstWerte LstWerteAusSatz(const Tlstfile& ALst);
// The fields LstWerteAusSatz reads, for a read that fetches only those.
std::vector<const TDatenfeld*> LstWerteFelder(const Tlstfile& ALst);

// False for record kinds that count nowhere: "EB" opening balances, "ME" no-sale records.
bool LstSatzZaehlt(std::string_view ASatzart);
// Returns and cancellations: "RE", or any counting line with a negative quantity (a voided
// line), or without quantity and with a negative amount.
bool LstSatzIstRetoureStorno(const TKOV_LstWerte& ALst);
// An article line has a product key or an article number; other lines are services,
// vouchers or fees.
bool LstSatzIstArtikel(const TKOV_LstWerte& ALst);
// The gross value: Betrag2, or Betrag for a line without till price.
double LstSatzBrutto(const TKOV_LstWerte& ALst);

// Where a line counts in the sales evaluation's figures.
struct TKOV_UmsAusw_Platz {
    bool Zaehlt = false;
    TKOV_UmsAusw_Gruppe Gruppe = ugA;
    bool Artikel = true; // figures 1 and 2, else 3 and 4
    bool operator==(const TKOV_UmsAusw_Platz&) const = default;
};
TKOV_UmsAusw_Platz UmsAuswPlatzAusLstWerten(const TKOV_LstWerte& ALst);
// The figures of one line: EK, Betrag and the gross value into its group and part.
TKOV_Umsatzdaten_UmsAusw UmsatzAusLstWerten(const TKOV_LstWerte& ALst);

// Where a line counts in the shipping-branch figures.
struct TKOV_VersFil_Platz {
    bool Zaehlt = false;
    int Plattform = 0;
    TKOV_VersFil_Verkaufstyp Typ = vtVerkauf;
    bool operator==(const TKOV_VersFil_Platz&) const = default;
};
TKOV_VersFil_Platz VersFilPlatzAusLstWerten(const TKOV_LstWerte& ALst);
TKOV_Umsatzdaten_Erw_VersFilAusw UmsatzVersFilAusLstWerten(const TKOV_LstWerte& ALst);
