#pragma once
// The sales of a branch for a day set beside comparable days of earlier years: one figure
// per prior year (the mean of its comparison days) and the average over the years; also
// with the day cut into sections. docs/benutzerhandbuch.md ("Vergleichstage") states the
// three ways of choosing comparison days.
#include "datetransformer.h"
#include "umsatzauswertmani_base.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

enum TKOV_UmsAusw_WahlVergleichsdatum : uint8_t {
    wvGleichesDatum = 0,          // the same calendar day
    wvGleicherWochentag = 1,      // same ISO week and weekday
    wvWochentagMitFeiertagen = 2, // as the weekday, with the branch's holidays and closing days
};

template <class TUmsatzDaten, class TUmsDataOp, class TUmsStatFile, class THelper>
class TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base
    : public TKOV_UmsatzAuswertMani_Base<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper> {
public:
    using TBasis = TKOV_UmsatzAuswertMani_Base<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper>;
    using TTagesauswertung = TKOV_Umsatz_Tagesauswertung<TUmsatzDaten, TUmsDataOp>;
    using TTagesauswertungenListe = TKOV_Umsatz_TagesauswertungenListe<TUmsatzDaten, TUmsDataOp>;
    using TUmsatzDatenMitVorjahre = TKOV_UmsatzDatenMitVorjahre<TUmsatzDaten, TUmsDataOp>;
    using TTagUndVorjahre = TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung<TUmsatzDaten, TUmsDataOp>;
    using TAuswertungZeitraum = TKOV_PEP_UmsatzAuswertungZeitraum<TUmsatzDaten, TUmsDataOp>;

    // Set by the owner before each call.
    TKOV_UmsAusw_WahlVergleichsdatum FWahlmethodeVergleichstag = wvWochentagMitFeiertagen;
    bool FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren = true;

    // A run asks for every day of a period and its prior-year days: read in blocks.
    TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base() { this->FUmsatzGetMani->Helper().LesepufferNutzen(true); }
    ~TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base() {
        KOV_Geschuetzt(Trace("Destroy.VergleichstagRechner"), false, [&] { FVergleichstagRechner.reset(); });
        KOV_Geschuetzt(Trace("Destroy.VergleichstagRechner_Simple"), false,
                       [&] { FVergleichstagRechner_Simple.reset(); });
    }

    // Start of a run: besides the retrieval's preparation, the holiday calendar is read
    // afresh, so closing days entered meanwhile by other programs count.
    void CollectDataForZeitraum(const TKOV_VonBisDatum& AVonBisDatum, const TKOV_VonBisDatum& AVJ_VonBisDatum) {
        KalenderNeuladen();
        TBasis::CollectDataForZeitraum(AVonBisDatum, AVJ_VonBisDatum);
    }

    // The day's figure, one figure per prior year (the mean over its comparison days) and
    // their average; with FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren, years without
    // sales stay out of the average.
    void GetUmsatzMitVerglVJFuerTag(const TIntPair& AMandant, const TIntPair& AOrgeID, int AAnzahlVorjahresUmsetze,
                                    TDate ADatum, TUmsatzDatenMitVorjahre& AUmsatzDatenMitVJ) {
        KOV_Geschuetzt(Trace("GetUmsatzMitVerglVJFuerTag"), true, [&] {
            AUmsatzDatenMitVJ.Init(AAnzahlVorjahresUmsetze);
            FolgeBeginnPruefen(AMandant, AOrgeID, ADatum);
            const int jahr = JahrVon(ADatum);
            for (int k = 0; k < AAnzahlVorjahresUmsetze; ++k) {
                const TArray<TDate> tage = VergleichbarerWochentagMitFeiertagen(jahr - k - 1, AMandant, AOrgeID, ADatum);
                TUmsatzDaten summe = TUmsDataOp::EmptyValue();
                for (TDate tag : tage) summe = TUmsDataOp::Add(summe, this->GetUmsatzFuerTag(AMandant, AOrgeID, tag));
                AUmsatzDatenMitVJ.VorjahresUmsatz_Set(k, TUmsDataOp::DivideByCount(summe, int(tage.size())));
                AUmsatzDatenMitVJ.Vergleichstage_Set(k, tage);
            }
            TUmsatzDaten summe = TUmsDataOp::EmptyValue();
            int anzahl = 0;
            for (int k = 0; k < AAnzahlVorjahresUmsetze; ++k) {
                const TUmsatzDaten vj = AUmsatzDatenMitVJ.VorjahresUmsatz_Get(k);
                if (FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren && TUmsDataOp::IsEmpty(vj)) continue;
                summe = TUmsDataOp::Add(summe, vj);
                ++anzahl;
            }
            if (anzahl > 0) AUmsatzDatenMitVJ.FDurchschnitt = TUmsDataOp::DivideByCount(summe, anzahl);
            AUmsatzDatenMitVJ.FRealerUmsatz = this->GetUmsatzFuerTag(AMandant, AOrgeID, ADatum);
        });
    }

    // Every day of AVonDatum..ABisDatum with its prior years, in date order.
    void GetUmsatzFuerZeitraum_MitVerglVJ(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                          int AAnzahlVorjahresUmsetze, TDate AVonDatum, TDate ABisDatum,
                                          TAuswertungZeitraum& AAuswertungZeitraum) {
        KOV_Geschuetzt(Trace("GetUmsatzFuerZeitraum_MitVerglVJ"), true, [&] {
            KalenderNeuladen();
            AAuswertungZeitraum.Clear();
            for (TDate d = DateOf(AVonDatum); d <= DateOf(ABisDatum); d += 1) {
                auto tag = std::make_unique<TUmsatzDatenMitVorjahre>();
                GetUmsatzMitVerglVJFuerTag(AMandant, AOrgeID, AAnzahlVorjahresUmsetze, d, *tag);
                AAuswertungZeitraum.Add(tag.get());
                tag.release(); // the period owns it now
            }
        });
    }

    // The day cut into sections from its opening hours, each prior year as the
    // section-wise mean of its comparison days read under the day's counting windows,
    // and the average over the years.
    void GetUmsatzTagesdatenMitVerglVJTagenFuerFiliale(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                       TDate ADatum, const TKOV_Tagesabschnitte& AOeffnungszeiten,
                                                       const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig,
                                                       TTagUndVorjahre& ADaten) {
        KOV_Geschuetzt(Trace("GetUmsatzTagesdatenMitVerglVJTagenFuerFiliale"), true, [&] {
            ADaten.BuildFrom(AOeffnungszeiten, AUmsatzConfig);
            FolgeBeginnPruefen(AMandant, AOrgeID, ADatum);
            const int jahr = JahrVon(ADatum);
            for (int32_t k = 0; k < ADaten.FVorjahresUmsaetze->Count(); ++k) {
                const TArray<TDate> tage = VergleichbarerWochentagMitFeiertagen(jahr - k - 1, AMandant, AOrgeID, ADatum);
                TTagesauswertungenListe liste;
                for (TDate tag : tage) {
                    auto t = std::make_unique<TTagesauswertung>();
                    t->CloneOtherList(*ADaten.FRealerUmsatz);
                    t->FDatum = tag;
                    this->GetUmsatzDatenFuerTag(AMandant, AOrgeID, tag, *t);
                    liste.Add(t.get());
                    t.release(); // the list owns it now
                }
                TTagesauswertung& vorjahr = *ADaten.FVorjahresUmsaetze->Items(k);
                liste.BildeDurchschnitt(vorjahr, FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren);
                vorjahr.FVergleichstage = tage;
            }
            ADaten.FVorjahresUmsaetze->BildeDurchschnitt(*ADaten.FDurchschnitt,
                                                         FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren);
            ADaten.FRealerUmsatz->FDatum = ADatum;
            this->GetUmsatzDatenFuerTag(AMandant, AOrgeID, ADatum, *ADaten.FRealerUmsatz);
        });
    }

    // The days of AJahr comparable with ADatum by FWahlmethodeVergleichstag; none on error.
    TArray<TDate> VergleichbarerWochentagMitFeiertagen(int AJahr, const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                      TDate ADatum) {
        return KOV_GeschuetztWert(Trace("VergleichbarerWochentagMitFeiertagen"), true, TArray<TDate>(), [&] {
            switch (FWahlmethodeVergleichstag) {
            case wvWochentagMitFeiertagen: {
                auto& r = VergleichstagRechner_GoC();
                r.Mandant = AMandant;
                r.OrgeID = AOrgeID;
                r.Zieljahr = AJahr;
                r.PassendeDatumswerteFinden(ADatum);
                return TArray<TDate>(r.Ergebnis().begin(), r.Ergebnis().end());
            }
            case wvGleicherWochentag: {
                auto& r = VergleichstagRechner_Simple_GoC();
                r.Zieljahr = AJahr;
                r.PassendeDatumswerteFinden(ADatum);
                return TArray<TDate>(r.Ergebnis().begin(), r.Ergebnis().end());
            }
            case wvGleichesDatum: return TArray<TDate>{GleichesDatumImJahr(DateOf(ADatum), AJahr)};
            }
            return TArray<TDate>();
        });
    }

    // Replace the transformers (created on first use otherwise), e.g. by one that knows
    // other comparison days; the facade owns them.
    void VergleichstagRechner_Set(std::unique_ptr<TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge> ARechner) {
        FVergleichstagRechner = std::move(ARechner);
    }
    void VergleichstagRechner_Simple_Set(std::unique_ptr<TKOV_DatumsTransformatorVergleichstagVorjahre> ARechner) {
        FVergleichstagRechner_Simple = std::move(ARechner);
    }

private:
    static std::string Trace(const char* AOperation) {
        return std::string("TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base<...>.") + AOperation;
    }
    static int JahrVon(TDate ADatum) {
        int j, m, t;
        DecodeDate(ADatum, j, m, t);
        return j;
    }

    TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge& VergleichstagRechner_GoC() {
        if (!FVergleichstagRechner)
            FVergleichstagRechner = std::make_unique<TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge>();
        return *FVergleichstagRechner;
    }
    TKOV_DatumsTransformatorVergleichstagVorjahre& VergleichstagRechner_Simple_GoC() {
        if (!FVergleichstagRechner_Simple)
            FVergleichstagRechner_Simple = std::make_unique<TKOV_DatumsTransformatorVergleichstagVorjahre>();
        return *FVergleichstagRechner_Simple;
    }
    // Cheap: only forgets what was read; the next question reads the tables again.
    void KalenderNeuladen() {
        if (FVergleichstagRechner) FVergleichstagRechner->Kalender().Neuladen();
        this->FUmsatzGetMani->Helper().LesepufferVerwerfen();
        FLetzterTag.clear();
    }
    // The window asks day by day without announcing a run: a day not after the last one
    // asked for the branch starts a new run, so the calendar is read afresh once per run
    // and branch instead of for every day.
    void FolgeBeginnPruefen(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum) {
        const auto schluessel = std::make_pair(AMandant, AOrgeID);
        const TDate tag = DateOf(ADatum);
        if (auto it = FLetzterTag.find(schluessel); it != FLetzterTag.end() && tag <= it->second) KalenderNeuladen();
        FLetzterTag[schluessel] = tag;
    }

    std::unique_ptr<TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge> FVergleichstagRechner;
    std::unique_ptr<TKOV_DatumsTransformatorVergleichstagVorjahre> FVergleichstagRechner_Simple;
    std::map<std::pair<TIntPair, TIntPair>, TDate> FLetzterTag; // per branch, the last day asked in this run
};
