#pragma once
// The common base of the statistics engine's managers: the files and services it reads,
// the ignore-before dates with their refresh message, the customer-specific attribution
// of sales between branches, and the booking of figures into the statistics file.
#include "betriebskalender.h"
#include "ignorumsaetze.h"
#include "kovdbfiles.h"
#include "rdlbroadcast.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "suitetabellen.h"
#include "umsatzauswerttyco.h"
#include "umsatzhelper_umsausw.h"
#include "wgnmani.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

inline constexpr const char* CKundeTavrin = "TAVRIN00";
inline constexpr const char* CKundeMosbek = "MOSBEK00";
// MOSBEK00 counted the sales of branch 33 under branch 2 until this day.
inline const TDate CMosbekFiliale33Ab = EncodeDate(2019, 7, 1);

template <class TUmsatzDaten, class TUmsDataOp, class TUmsStatFile, class THelper>
class TKOV_UmsatzBaseMani_Base {
public:
    using TTagesauswertung = TKOV_Umsatz_Tagesauswertung<TUmsatzDaten, TUmsDataOp>;
    using TIgnorDict = TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum;

    TKOV_UmsatzBaseMani_Base()
        : FWMRefreshIgnoreUmsaetze(RDLRegisterWindowMessage(CIgnorUmsaetzeNachricht)),
          FOwnHandle(std::make_unique<TRDLNachrichtenEmpfaenger>(
              [this](uint32_t AMsg, uint64_t AWParam, int64_t ALParam) {
                  RefreshZuIgnorierendeUmsaetze(AMsg, AWParam, ALParam);
              })),
          FHelper(std::make_unique<THelper>()) {}

    virtual ~TKOV_UmsatzBaseMani_Base() {
        const std::string t = "TKOV_UmsatzBaseMani_Base.Destroy";
        KOV_Geschuetzt(t, false, [&] { FUmsvFile.reset(); });
        KOV_Geschuetzt(t, false, [&] {
            if (FFiliaTab) GlobFilialTabelle_ReleaseInstance(FFiliaTab);
        });
        KOV_Geschuetzt(t, false, [&] {
            if (FMandlisteServer) Glob_WWSServerFactoryClass::MandListeServer_Release(FMandlisteServer);
        });
        KOV_Geschuetzt(t, false, [&] { BtrFile_CloseFreeAndNil(FLstFile); });
        KOV_Geschuetzt(t, false, [&] { FBkalMani.reset(); });
        KOV_Geschuetzt(t, false, [&] { FSimplemask.reset(); });
        KOV_Geschuetzt(t, false, [&] { FZuIgnorierendeUmsaetze.reset(); });
        KOV_Geschuetzt(t, false, [&] { FOwnHandle.reset(); });
        KOV_Geschuetzt(t, false, [&] {
            if (FWGNMani) GlobWGNMani_ReleaseInstance(FWGNMani);
        });
        KOV_Geschuetzt(t, false, [&] { FHelper.reset(); });
    }
    TKOV_UmsatzBaseMani_Base(const TKOV_UmsatzBaseMani_Base&) = delete;
    TKOV_UmsatzBaseMani_Base& operator=(const TKOV_UmsatzBaseMani_Base&) = delete;

    // True when the branch has an ignore-before day and ADatum lies before it.
    virtual bool IstUmsatzZuIgnorieren(int16_t AOrgeKnr, TDate ADatum) {
        return KOV_GeschuetztWert("TKOV_UmsatzBaseMani_Base.IstUmsatzZuIgnorieren", true, false, [&] {
            const TIgnorDict* d = ZuIgnorierendeUmsaetze_Cache();
            return d && IgnorUmsaetzeVorDatum(*d, AOrgeKnr, ADatum);
        });
    }

    // The ignore-before dates, read from the setting on first use and again after
    // another engine object (of any process) changed them.
    TIgnorDict* ZuIgnorierendeUmsaetze_Get() {
        return KOV_GeschuetztWert<TIgnorDict*>("TKOV_UmsatzBaseMani_Base.ZuIgnorierendeUmsaetze_Get", true, nullptr,
                                               [&]() -> TIgnorDict* {
                                                   // Other processes' change messages arrive only when drained.
                                                   RDLNachrichtenVerarbeiten();
                                                   return ZuIgnorierendeUmsaetze_Cache();
                                               });
    }

    // The hidden window's handler: another object's change drops the cached dates.
    void RefreshZuIgnorierendeUmsaetze(uint32_t AMsg, uint64_t AWParam, int64_t /*ALParam*/) {
        KOV_Geschuetzt("TKOV_UmsatzBaseMani_Base.RefreshZuIgnorierendeUmsaetze", true, [&] {
            if (AMsg == FWMRefreshIgnoreUmsaetze && FOwnHandle && AWParam != FOwnHandle->Handle())
                FZuIgnorierendeUmsaetze.reset();
        });
    }

    uint64_t OwnHandle() const { return FOwnHandle ? FOwnHandle->Handle() : 0; }

    // TAVRIN00: a sale recorded in branch 15 belongs to branch 16 when the product's
    // highest merchandise group starts with 7, 8 or 9.
    int GetRichtigeFilialeFuerVerkaufInFiliale15(const TInt32Trio& AProdId) {
        return KOV_GeschuetztWert("TKOV_UmsatzBaseMani_Base.GetRichtigeFilialeFuerVerkaufInFiliale15", true, 15, [&] {
            Tavrin_Umsatzstatistiken_Sonderlocke();
            if (!FWGNMani) FWGNMani = GlobWGNMani_GetInstance();
            FWGNMani->Optionen = 0;
            const std::string wgn = FWGNMani->Get_MaxWGN4ProdId(AProdId, "");
            return !wgn.empty() && (wgn[0] == '7' || wgn[0] == '8' || wgn[0] == '9') ? 16 : 15;
        });
    }

    bool CreateUmsatzTagesAuswertungFuerFiliale(TDate ADatum, int AOrgeKnr,
                                                const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig,
                                                TTagesauswertung& AUmsatzTagesAuswertung) {
        return KOV_GeschuetztWert("TKOV_UmsatzBaseMani_Base.CreateUmsatzTagesAuswertungFuerFiliale", true, false, [&] {
            AUmsatzTagesAuswertung.Clear();
            const TFiliale* f = FilialTabelle_GoC().Filialen().GetFilialeByNr(AOrgeKnr);
            return f && CreateUmsatzTagesAuswertungFuerFiliale(ADatum, f->Mandant, f->OrgeID, AUmsatzConfig,
                                                               AUmsatzTagesAuswertung);
        });
    }

    // False when the branch has no opening hours that day (the evaluation stays without sections).
    bool CreateUmsatzTagesAuswertungFuerFiliale(TDate ADatum, const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                const TKOV_PEP_UmsatzAnzeigeOptionen& AUmsatzConfig,
                                                TTagesauswertung& AUmsatzTagesAuswertung) {
        return KOV_GeschuetztWert("TKOV_UmsatzBaseMani_Base.CreateUmsatzTagesAuswertungFuerFiliale", true, false, [&] {
            AUmsatzTagesAuswertung.Clear();
            TKOV_Tagesabschnitte zeiten;
            bool ausnahme = false;
            if (!BkalMani_GoC().BetriebszeitenFuerDatum_Laden(AMandant, AOrgeID, ADatum, zeiten, ausnahme))
                return false;
            AUmsatzTagesAuswertung.BuildFromAbschnitte(zeiten, AUmsatzConfig);
            return true;
        });
    }

    // Built once the processing state holds a record for this statistics.
    bool UmsStatFileGeneriert() {
        return KOV_GeschuetztWert("TKOV_UmsatzBaseMani_Base.UmsStatFileGeneriert", true, false, [&] {
            if (!FUmsStatFileGeneriert) {
                Tumsvfile& v = Umsvfile_GoC();
                bool ergebnis = v.GetCount() > 0;
                if (ergebnis) {
                    v.SucheInit();
                    v.KeyNr_Set(Tumsvfile::KeyStatistik);
                    v.Kennung.SetKeyWertAndFilter(FHelper->StatistikKennung());
                    v.ExtendedMaxReceive_Set(1);
                    ergebnis = v.Get_ge();
                }
                FUmsStatFileGeneriert = ergebnis;
            }
            return *FUmsStatFileGeneriert;
        });
    }

    void UmsatzInUmsStatFileBuchen_FuerTag(int16_t AOrgeKnr, const TUmsatzDaten& AUmsatz, TDate ADatum) {
        KOV_Geschuetzt("TKOV_UmsatzBaseMani_Base.UmsatzInUmsStatFileBuchen_FuerTag", true,
                       [&] { FHelper->BucheUmsatzDataInStatFile_FuerTag(AOrgeKnr, AUmsatz, ADatum); });
    }
    void UmsatzInUmsStatFileBuchen_FuerTagesZeitraum(int16_t AOrgeKnr, const TKOV_Tageszeitraum& ATageszeitraum,
                                                     const TUmsatzDaten& AUmsatz, TDate ADatum) {
        KOV_Geschuetzt("TKOV_UmsatzBaseMani_Base.UmsatzInUmsStatFileBuchen_FuerTagesZeitraum", true, [&] {
            FHelper->BucheUmsatzDataInStatFile_FuerTagesZeitraum(AOrgeKnr, ATageszeitraum, AUmsatz, ADatum);
        });
    }

    // The whole day, then every section under its counting window. Raises (for the
    // caller's bracket) instead of registering, so a failed day is not taken as booked.
    void BucheDatenInsUmsStatFile(int16_t AOrgeKnr, const TTagesauswertung& ADaten, TDate ADatum) {
        FHelper->BucheUmsatzDataInStatFile_FuerTag(AOrgeKnr, ADaten.FGesamtUmsatz, ADatum);
        for (int32_t i = 0; i < ADaten.Count(); ++i) {
            const auto& a = ADaten.Abschnitt(i);
            FHelper->BucheUmsatzDataInStatFile_FuerTagesZeitraum(AOrgeKnr, a.ZeitraumUmsatzberechnung, a.Umsatz,
                                                                 ADatum);
        }
    }

    THelper& Helper() { return *FHelper; }

protected:
    TSimpleMask& SimpleMask_GoC() {
        if (!FSimplemask) FSimplemask = std::make_unique<TSimpleMask>(CIgnorUmsaetzeBereich, CIgnorUmsaetzeSektion);
        return *FSimplemask;
    }
    Tlstfile& Lstfile_Get() {
        BtrFile_CreateOpenWN_Clear(FLstFile, false, 2, -1);
        return *FLstFile;
    }
    Tumsvfile& Umsvfile_GoC() {
        if (!FUmsvFile) BtrFile_CreateOpenWN_Clear(FUmsvFile, false, 2, -1);
        return *FUmsvFile;
    }
    IRDL_MandListeServer& FMandlisteServer_Get() {
        if (!FMandlisteServer) FMandlisteServer = Glob_WWSServerFactoryClass::MandListeServer_Get();
        return *FMandlisteServer;
    }
    TFilialTabelle& FilialTabelle_GoC() {
        if (!FFiliaTab) FFiliaTab = GlobFilialTabelle_GetInstance();
        return *FFiliaTab;
    }
    TBetriebskalenderMani& BkalMani_GoC() {
        if (!FBkalMani) FBkalMani = std::make_unique<TBetriebskalenderMani>();
        return *FBkalMani;
    }
    // The dates without draining the messages first: the per-line checks of a search or
    // a day, which drain once at their start (a drain per line would cost a system call each).
    TIgnorDict* ZuIgnorierendeUmsaetze_Cache() {
        if (!FZuIgnorierendeUmsaetze) {
            auto d = std::make_unique<TIgnorDict>();
            // A branch listed twice raises after the entries before it; those are kept.
            try {
                IgnorUmsaetzeEinstellungLesen(*d);
            } catch (...) {
                FZuIgnorierendeUmsaetze = std::move(d);
                throw;
            }
            FZuIgnorierendeUmsaetze = std::move(d);
        }
        return FZuIgnorierendeUmsaetze.get();
    }
    static bool Kunde(const char* AKennung) { return RDLProgramm().GetKundenkennung() == AKennung; }

    std::unique_ptr<TSimpleMask> FSimplemask;
    uint32_t FWMRefreshIgnoreUmsaetze;
    std::unique_ptr<TRDLNachrichtenEmpfaenger> FOwnHandle;
    std::unique_ptr<Tlstfile> FLstFile;
    std::unique_ptr<Tumsvfile> FUmsvFile;
    IRDL_MandListeServer* FMandlisteServer = nullptr;
    TFilialTabelle* FFiliaTab = nullptr;
    std::unique_ptr<TBetriebskalenderMani> FBkalMani;
    std::optional<bool> FUmsStatFileGeneriert;
    TWGNMani* FWGNMani = nullptr;
    std::unique_ptr<TIgnorDict> FZuIgnorierendeUmsaetze;
    std::unique_ptr<THelper> FHelper;
};
