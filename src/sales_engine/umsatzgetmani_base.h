#pragma once
// Retrieval of sales: the figures of a branch for a day, a window of a day, or a day cut
// into sections, read from the statistics file or summed from the sales lines (and then
// booked at once, so that the next request finds them).
#include "umsatzbasemani_base.h"

#include <functional>

template <class TUmsatzDaten, class TUmsDataOp, class TUmsStatFile, class THelper>
class TKOV_UmsatzGet_Mani : public TKOV_UmsatzBaseMani_Base<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper> {
public:
    using TBasis = TKOV_UmsatzBaseMani_Base<TUmsatzDaten, TUmsDataOp, TUmsStatFile, THelper>;
    using typename TBasis::TTagesauswertung;
    using TNotifyEvent = std::function<void(void* ASender)>;

    // Called every 30th read of the sales lines; by default lets the user interface breathe.
    TNotifyEvent FOnDataProcessedSimple;

    TKOV_UmsatzGet_Mani() {
        FOnDataProcessedSimple = [](void*) { RDLInfo().RDLInfoProcessMessages(300); };
    }
    ~TKOV_UmsatzGet_Mani() override { KOV_DestroyKontrolle(Trace("Destroy")); }

    // The base rule, then TAVRIN00's split of branch 15 by merchandise group.
    bool IstUmsatzZuIgnorieren(int16_t AOrgeKnr, TDate ADatum) override {
        return KOV_GeschuetztWert(Trace("IstUmsatzZuIgnorieren"), true, false, [&] {
            if (TBasis::IstUmsatzZuIgnorieren(AOrgeKnr, ADatum)) return true;
            if (!TBasis::Kunde(CKundeTavrin)) return false;
            Tavrin_Umsatzstatistiken_Sonderlocke();
            if (!this->FLstFile || this->FLstFile->Filiale.GetWert() != 15) return false;
            return this->GetRichtigeFilialeFuerVerkaufInFiliale15(this->FLstFile->ProdId.GetWert()) != AOrgeKnr;
        });
    }

    // The sales lines of a branch and day (a time part of ADatum is ignored).
    void LstSuche_FuerFilialeUndDatum_Init(int16_t AOrgeKnr, TDate ADatum) {
        KOV_Geschuetzt(Trace("LstSuche_FuerFilialeUndDatum_Init"), true, [&] {
            Tlstfile& lst = SucheBeginnen(AOrgeKnr, ADatum, false, {});
            lst.ExtendedFilterFinalize();
        });
    }

    // The sales lines of a branch and day whose time lies in the window (bounds inside).
    // The day is matched without its time part and the times apart from it, so a date
    // given with a time still finds the day's lines.
    void LstSuche_FuerFilialeDatumUndZeit_Init(int16_t AOrgeKnr, const TKOV_Tageszeitraum& ATageszeitraum,
                                               TDate ADatum) {
        KOV_Geschuetzt(Trace("LstSuche_FuerFilialeDatumUndZeit_Init"), true,
                       [&] { SucheBeginnen(AOrgeKnr, ADatum, true, ATageszeitraum); });
    }

    bool LstSuche_GetFirst() {
        return KOV_GeschuetztWert(Trace("LstSuche_GetFirst"), true, false, [&] {
            if (FLstSuche_ImTag) SucheAufsetzen(false);
            Tlstfile& lst = *this->FLstFile;
            lst.Get_ge_extMode();
            Fortschritt();
            return ZaehlenderSatz();
        });
    }
    bool LstSuche_GetNext() {
        return KOV_GeschuetztWert(Trace("LstSuche_GetNext"), true, false, [&] {
            if (this->FLstFile->Get_next_extMode()) Fortschritt();
            return ZaehlenderSatz();
        });
    }

    bool UmsatzAusUmsStatFileLaden_FuerTag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                           TUmsatzDaten& AUmsatz) {
        return KOV_GeschuetztWert(Trace("UmsatzAusUmsStatFileLaden_FuerTag"), true, false, [&] {
            AUmsatz = TUmsDataOp::EmptyValue();
            if (!this->UmsStatFileGeneriert()) return false;
            const bool gefunden = this->FHelper->TagLaden(AMandant, AOrgeID, AUmsatz, ADatum);
            Fortschritt();
            return gefunden;
        });
    }

    bool UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                                     const TKOV_Tageszeitraum& ATageszeitraum, TUmsatzDaten& AUmsatz) {
        const std::string t = Trace("UmsatzAusUmsStatFileLaden_FuerTagesZeitraum");
        return KOV_GeschuetztWert(t, true, false, [&] {
            AUmsatz = TUmsDataOp::EmptyValue();
            FensterPruefen(t, ATageszeitraum, ADatum);
            if (!this->UmsStatFileGeneriert()) return false;
            const bool gefunden = this->FHelper->TagesabschnittLaden(AMandant, AOrgeID, AUmsatz, ATageszeitraum, ADatum);
            Fortschritt();
            return gefunden;
        });
    }

    TUmsatzDaten UmsatzBerechnen_FuerTag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum) {
        TUmsatzDaten ergebnis = TUmsDataOp::EmptyValue();
        KOV_Geschuetzt(Trace("UmsatzBerechnen_FuerTag"), true, [&] {
            const TFiliale* f = this->FilialTabelle_GoC().Filialen().GetFilialeByGepOrge(AMandant, AOrgeID);
            if (!f) return;
            LstSuche_FuerFilialeUndDatum_Init(f->Nr, ADatum);
            for (bool ok = LstSuche_GetFirst(); ok; ok = LstSuche_GetNext())
                ergebnis = TUmsDataOp::Add(ergebnis, this->FHelper->UmsatzAusLstSatz(*this->FLstFile, f->Nr));
            if (this->UmsStatFileGeneriert()) this->UmsatzInUmsStatFileBuchen_FuerTag(f->Nr, ergebnis, ADatum);
        });
        return ergebnis;
    }

    TUmsatzDaten UmsatzBerechnen_FuerTagesZeitraum(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                                   const TKOV_Tageszeitraum& ATageszeitraum) {
        TUmsatzDaten ergebnis = TUmsDataOp::EmptyValue();
        KOV_Geschuetzt(Trace("UmsatzBerechnen_FuerTagesZeitraum"), true, [&] {
            const TFiliale* f = this->FilialTabelle_GoC().Filialen().GetFilialeByGepOrge(AMandant, AOrgeID);
            if (!f) return;
            LstSuche_FuerFilialeDatumUndZeit_Init(f->Nr, ATageszeitraum, ADatum);
            for (bool ok = LstSuche_GetFirst(); ok; ok = LstSuche_GetNext())
                ergebnis = TUmsDataOp::Add(ergebnis, this->FHelper->UmsatzAusLstSatz(*this->FLstFile, f->Nr));
            if (this->UmsStatFileGeneriert())
                this->UmsatzInUmsStatFileBuchen_FuerTagesZeitraum(f->Nr, ATageszeitraum, ergebnis, ADatum);
        });
        return ergebnis;
    }

    // Adds the day's lines of the branch to the evaluation (the caller clears it first
    // for a fresh sum) and books it when the statistics file exists.
    void BerechneUmsaetzeFuerTagUndFiliale(int AOrgeKnr, TTagesauswertung& AUmsatzDaten) {
        KOV_Geschuetzt(Trace("BerechneUmsaetzeFuerTagUndFiliale"), true, [&] {
            const int16_t nr = int16_t(AOrgeKnr);
            LstSuche_FuerFilialeUndDatum_Init(nr, AUmsatzDaten.FDatum);
            for (bool ok = LstSuche_GetFirst(); ok; ok = LstSuche_GetNext())
                AUmsatzDaten.AddUmsatz(this->FLstFile->Uhrzeit.GetWert(),
                                       this->FHelper->UmsatzAusLstSatz(*this->FLstFile, nr));
            if (this->UmsStatFileGeneriert()) this->BucheDatenInsUmsStatFile(nr, AUmsatzDaten, AUmsatzDaten.FDatum);
        });
    }
    void BerechneUmsaetzeFuerTagUndFiliale(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                           TTagesauswertung& AUmsatzDaten) {
        KOV_Geschuetzt(Trace("BerechneUmsaetzeFuerTagUndFiliale"), true, [&] {
            if (const TFiliale* f = this->FilialTabelle_GoC().Filialen().GetFilialeByGepOrge(AMandant, AOrgeID))
                BerechneUmsaetzeFuerTagUndFiliale(f->Nr, AUmsatzDaten);
        });
    }

    void CollectDataForZeitraum(const TKOV_VonBisDatum& AVonBisDatum, const TKOV_VonBisDatum& AVJ_VonBisDatum) {
        KOV_Geschuetzt(Trace("CollectDataForZeitraum"), true,
                       [&] { this->FHelper->CollectDataForZeitraum(AVonBisDatum, AVJ_VonBisDatum); });
    }

    int LstSuche_ProgressCounter() const { return FLstSuche_ProgressCounter; }

private:
    static std::string Trace(const char* AOperation) {
        return std::string("TKOV_UmsatzGet_Mani<  TUmsatzDaten; TUmsDataOp; TUmsStatFile; THelper>.") + AOperation;
    }

    static void FensterPruefen(const std::string& ATrace, const TKOV_Tageszeitraum& AZeitraum, TDate ADatum) {
        if (!AZeitraum.KonsistenzCheck())
            RDLInfo().FehlerRaise(ATrace, "PEP", 1906,
                                  {DateToStr(ADatum), DateTimeToStr(DateOf(ADatum) + AZeitraum.Von),
                                   DateTimeToStr(DateOf(ADatum) + AZeitraum.Bis)});
    }

    // The branch whose lines hold a branch's sales: the customers' attributions.
    int16_t SuchFiliale(int16_t AOrgeKnr, TDate ADatum) const {
        if (TBasis::Kunde(CKundeTavrin) && AOrgeKnr == 16) {
            Tavrin_Umsatzstatistiken_Sonderlocke();
            return 15;
        }
        if (TBasis::Kunde(CKundeMosbek) && AOrgeKnr == 33 && ADatum < CMosbekFiliale33Ab) {
            Mosbek_Umsatzstatistiken_Sonderlocke();
            return 2;
        }
        return AOrgeKnr;
    }

    Tlstfile& SucheBeginnen(int16_t AOrgeKnr, TDate ADatum, bool AMitZeit, const TKOV_Tageszeitraum& AZeitraum) {
        const TDate tag = DateOf(ADatum);
        // Once per search: a changed ignore-before setting of another process counts from here.
        RDLNachrichtenVerarbeiten();
        FLstSuche_OrgeKnr = AOrgeKnr;
        FLstSuche_Datum = tag;
        FLstSuche_MitZeit = AMitZeit;
        FLstSuche_Zeitraum = AZeitraum;
        return SucheAufsetzen(false);
    }

    // A day's lines of the branch in two reads, in the order of the day's read of all
    // branches (date, branch, position): first those dated the day itself, one seek of
    // the date key; then those whose date carries a time, which count on their day too
    // (none: one more seek). One range over the day would pass every other branch's lines.
    Tlstfile& SucheAufsetzen(bool AImTag) {
        FLstSuche_ImTag = AImTag;
        const TDate tag = FLstSuche_Datum;
        Tlstfile& lst = this->Lstfile_Get();
        lst.SucheInit();
        lst.KeyNr_Set(Tlstfile::KeyDatum);
        if (!AImTag) {
            lst.Datum.SetKeyWert(tag);
            lst.Datum.KeyWertUebernehmen();
            lst.ExtendedFilterAdd(lst.Datum, fvGleich, fkUnd);
        } else {
            lst.Datum.SetKeyWert(std::nextafter(tag, std::numeric_limits<double>::infinity()));
            lst.Datum.SetWert(tag);
            lst.ExtendedFilterAdd(lst.Datum, fvGroesser, fkUnd);
            lst.Datum.SetWert(tag + 1);
            lst.ExtendedFilterAdd(lst.Datum, fvKleiner, fkUnd);
        }
        lst.LeseFelder_Set(this->FHelper->LstLeseFelder(lst));
        if (this->FHelper->LstSucheNachFiliale()) {
            const int16_t fil = SuchFiliale(FLstSuche_OrgeKnr, tag);
            if (!AImTag) lst.Filiale.SetKeyWert(fil);
            lst.Filiale.SetWert(fil);
            lst.ExtendedFilterAdd(lst.Filiale, fvGleich, fkUnd);
        }
        if (FLstSuche_MitZeit) {
            // Half a millisecond of slack: the window's bounds are compared on the
            // millisecond grid (ZaehlenderSatz), as the day sections count them.
            constexpr double CSpiel = 0.5 / 86400000.0;
            lst.Uhrzeit.SetWert(FLstSuche_Zeitraum.Von - CSpiel);
            lst.ExtendedFilterAdd(lst.Uhrzeit, fvGroesserGleich, fkUnd);
            lst.Uhrzeit.SetWert(FLstSuche_Zeitraum.Bis + CSpiel);
            lst.ExtendedFilterAdd(lst.Uhrzeit, fvKleinerGleich, fkEnde);
        }
        lst.ExtendedFilterFinalize();
        return lst;
    }

    void Fortschritt() {
        if (FLstSuche_ProgressCounter % 30 == 0 && FOnDataProcessedSimple) FOnDataProcessedSimple(this);
        ++FLstSuche_ProgressCounter;
    }

    // Skips the lines that do not count for the searched branch; true on one that does.
    // After the lines of the day itself come those whose date carries a time.
    bool ZaehlenderSatz() {
        Tlstfile& lst = *this->FLstFile;
        for (;;) {
            while (lst.Found()) {
                const bool zaehlt =
                    !this->IstUmsatzZuIgnorieren(FLstSuche_OrgeKnr, FLstSuche_Datum) &&
                    !this->FHelper->LstSatzIgnorieren(lst, FLstSuche_OrgeKnr) &&
                    (!FLstSuche_MitZeit || FLstSuche_Zeitraum.IsInRange(lst.Uhrzeit.GetWert(), true, true));
                if (zaehlt) return true;
                if (!lst.Get_next_extMode()) break;
                Fortschritt();
            }
            if (FLstSuche_ImTag) return false;
            SucheAufsetzen(true);
            if (!lst.Get_ge_extMode()) return false;
            Fortschritt();
        }
    }

    int FLstSuche_ProgressCounter = 0;
    int16_t FLstSuche_OrgeKnr = 0;
    TDate FLstSuche_Datum = 0;
    bool FLstSuche_MitZeit = false;
    TKOV_Tageszeitraum FLstSuche_Zeitraum;
    bool FLstSuche_ImTag = false; // reading the lines whose date carries a time
};

using TKOV_UmsatzGet_Mani_UmsAusw = TKOV_UmsatzGet_Mani<TKOV_Umsatzdaten_UmsAusw, TKOV_UmsDataOperator_UmsAusw, Tumstfile,
                                                        TKOV_UmsatzHelper_UmsAusw>;
