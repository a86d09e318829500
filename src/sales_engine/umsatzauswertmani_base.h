#pragma once
// The evaluations' entry to the sales engine: the sales of a branch for a day, a window
// of a day or a period, taken from the statistics file or, where it has no entry, summed
// from the sales lines (which books them, so the next request finds them); and the
// productive working hours of the branch's staff from the time records.
#include "umsatzauswerttyco.h"
#include "umsatzgetmani_base.h"
#include "zeitdaten.h"

#include <algorithm>
#include <memory>
#include <utility>

template <class TUmsatzDaten, class TUmsDataOp, class TUmsStatFile, class THelper>
class TKOV_UmsatzAuswertMani_Base {
public:
    using TUmsatzGetMani = TKOV_UmsatzGet_Mani<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper>;
    using TTagesauswertung = TKOV_Umsatz_Tagesauswertung<TUmsatzDaten, TUmsDataOp>;

    TKOV_UmsatzAuswertMani_Base() : FUmsatzGetMani(std::make_unique<TUmsatzGetMani>()) {}
    ~TKOV_UmsatzAuswertMani_Base() {
        KOV_Geschuetzt(Trace("Destroy"), false, [&] { FUmsatzGetMani.reset(); });
    }
    TKOV_UmsatzAuswertMani_Base(const TKOV_UmsatzAuswertMani_Base&) = delete;
    TKOV_UmsatzAuswertMani_Base& operator=(const TKOV_UmsatzAuswertMani_Base&) = delete;

    // From the statistics file, else summed from the sales lines and booked.
    TUmsatzDaten GetUmsatzFuerTag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum) {
        TUmsatzDaten r = TUmsDataOp::EmptyValue();
        KOV_Geschuetzt(Trace("GetUmsatzFuerTag"), true, [&] {
            if (!FUmsatzGetMani->UmsatzAusUmsStatFileLaden_FuerTag(AMandant, AOrgeID, ADatum, r))
                r = FUmsatzGetMani->UmsatzBerechnen_FuerTag(AMandant, AOrgeID, ADatum);
        });
        return r;
    }

    TUmsatzDaten GetUmsatzFuerTagesZeitraum(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                            const TKOV_Tageszeitraum& ATageszeitraum) {
        TUmsatzDaten r = TUmsDataOp::EmptyValue();
        KOV_Geschuetzt(Trace("GetUmsatzFuerTagesZeitraum"), true, [&] {
            if (!FUmsatzGetMani->UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(AMandant, AOrgeID, ADatum, ATageszeitraum, r))
                r = FUmsatzGetMani->UmsatzBerechnen_FuerTagesZeitraum(AMandant, AOrgeID, ADatum, ATageszeitraum);
        });
        return r;
    }

    // The sum of the days AVonDatum..ABisDatum (dates compared without time); empty when
    // ABisDatum lies before AVonDatum.
    TUmsatzDaten GetUmsatzFuerZeitraum(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate AVonDatum,
                                       TDate ABisDatum) {
        TUmsatzDaten r = TUmsDataOp::EmptyValue();
        KOV_Geschuetzt(Trace("GetUmsatzFuerZeitraum"), true, [&] {
            for (TDate d = AVonDatum; DateOf(d) <= DateOf(ABisDatum); d += 1)
                r = TUmsDataOp::Add(r, GetUmsatzFuerTag(AMandant, AOrgeID, d));
        });
        return r;
    }

    // Fills a day evaluation whose sections are built and whose FDatum is ADatum. Taken
    // from the statistics file only when the whole day and every counting window are
    // there; otherwise the whole day is summed afresh from the sales lines and booked.
    void GetUmsatzDatenFuerTag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                               TTagesauswertung& ADaten) {
        KOV_Geschuetzt(Trace("GetUmsatzDatenFuerTag"), true, [&] {
            bool ok = true;
            TUmsatzDaten u = TUmsDataOp::EmptyValue();
            if (FUmsatzGetMani->UmsatzAusUmsStatFileLaden_FuerTag(AMandant, AOrgeID, ADatum, u))
                ADaten.FGesamtUmsatz = u;
            else
                ok = false;
            for (int32_t i = 0; ok && i < ADaten.Count(); ++i) {
                auto& abschnitt = ADaten.Abschnitt(i);
                if (FUmsatzGetMani->UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(
                        AMandant, AOrgeID, ADatum, abschnitt.ZeitraumUmsatzberechnung, u))
                    abschnitt.Umsatz = u;
                else
                    ok = false;
            }
            if (!ok) {
                ADaten.UmsaetzeClear();
                FUmsatzGetMani->BerechneUmsaetzeFuerTagUndFiliale(AMandant, AOrgeID, ADaten);
            }
        });
    }

    // Productive working hours of the branch's staff on ADatum: the credited time of the
    // time records of the kinds in AAusgewaehlteZeiten. 0 on any error.
    double GetProdArbeitstundenFuerTag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                       TKOV_ZeitenAuswahl AAusgewaehlteZeiten) {
        return ProdArbeitstunden(Trace("GetProdArbeitstundenFuerTag"), AMandant, AOrgeID, ADatum, 0, 0,
                                 AAusgewaehlteZeiten);
    }

    // The same within AVonZeit..ABisZeit: a record then counts its additional duration
    // plus its span cut to the window (not limited at 0). Both 0: whole records.
    double GetProdArbeitstundenFuerTagesZeitraum(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                                 TDateTime AVonZeit, TDateTime ABisZeit,
                                                 TKOV_ZeitenAuswahl AAusgewaehlteZeiten) {
        return ProdArbeitstunden(Trace("GetProdArbeitstundenFuerTagesZeitraum"), AMandant, AOrgeID, ADatum, AVonZeit,
                                 ABisZeit, AAusgewaehlteZeiten);
    }

    // Lets the retrieval prepare for a run over a period and its prior-year period.
    void CollectDataForZeitraum(const TKOV_VonBisDatum& AVonBisDatum, const TKOV_VonBisDatum& AVJ_VonBisDatum) {
        KOV_Geschuetzt(Trace("CollectDataForZeitraum"), true,
                       [&] { FUmsatzGetMani->CollectDataForZeitraum(AVonBisDatum, AVJ_VonBisDatum); });
    }

    // Replaces the retrieval's progress callback (called with the retrieval as sender).
    void OnDataProcessedSimple_Set(typename TUmsatzGetMani::TNotifyEvent AEvent) {
        KOV_Geschuetzt(Trace("OnDataProcessedSimple_Set"), true,
                       [&] { FUmsatzGetMani->FOnDataProcessedSimple = std::move(AEvent); });
    }

    // The time-record services; the program's database (table zeitbuchung) unless set.
    void ZeitListeServer_Set(std::shared_ptr<IKOV_ZeitListeServer> AServer) { FZeitListeServer = std::move(AServer); }
    void AusWertEditServer_Set(std::shared_ptr<IKOV_AusWertEditServer> AServer) {
        FAusWertEditServer = std::move(AServer);
    }

protected:
    static std::string Trace(const char* AOperation) {
        return std::string("TKOV_UmsatzAuswertMani_Base<...>.") + AOperation;
    }

    std::unique_ptr<TUmsatzGetMani> FUmsatzGetMani;
    std::shared_ptr<IKOV_ZeitListeServer> FZeitListeServer;
    std::shared_ptr<IKOV_AusWertEditServer> FAusWertEditServer;

private:
    double ProdArbeitstunden(const std::string& ATrace, const TIntPair& AMandant, const TIntPair& AOrgeID,
                             TDate ADatum, TDateTime AVonZeit, TDateTime ABisZeit,
                             TKOV_ZeitenAuswahl AAusgewaehlteZeiten) {
        return KOV_GeschuetztWert(ATrace, true, 0.0, [&] {
            if (!FZeitListeServer) FZeitListeServer = std::make_shared<TKOV_ZeitListeServer_DB>();
            if (!FAusWertEditServer) FAusWertEditServer = std::make_shared<TKOV_AusWertEditServer_Std>();
            TKOV_ZeitSuchkriterien k;
            k.Mandant = AMandant;
            k.OrgeID = AOrgeID;
            k.VonDatum = ADatum;
            k.BisDatum = ADatum;
            k.Zeitarten = ZeitartenFuerAuswahl(AAusgewaehlteZeiten);
            TKOV_Zeitsumme summe;
            for (TKOV_Zeitbuchung b : FZeitListeServer->ZeitbuchungenLaden(k)) {
                if (AVonZeit != 0 || ABisZeit != 0)
                    b.Dauer = b.Zusatzdauer + (std::min(ABisZeit, b.Bis) - std::max(AVonZeit, b.Von));
                FAusWertEditServer->ZeitbuchungAddieren(summe, b, AAusgewaehlteZeiten);
            }
            return summe.Stunden();
        });
    }
};
