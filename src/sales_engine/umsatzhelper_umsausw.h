#pragma once
// The helper of the statistics engine: what it knows of the layouts of the sales lines
// (lst) and of the statistics file (umst). TKOV_UmsatzHelper_Klasse is the contract the
// engine calls, with the booking operations built on it; TKOV_UmsatzHelper_UmsAusw fills
// its slots for the sales evaluation's figures.
#include "kovdateutils.h"
#include "kovdbfiles.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "suitetabellen.h"
#include "umsatzabgelehnt.h"
#include "umsatzauswerttyco.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>

// Markers of the customer-specific attributions of sales between branches. They change
// nothing; they count their calls and note the first one in the log, so that an
// installation can be seen to take the special path.
void Tavrin_Umsatzstatistiken_Sonderlocke();
void Mosbek_Umsatzstatistiken_Sonderlocke();
int64_t Tavrin_Umsatzstatistiken_Sonderlocke_Aufrufe();
int64_t Mosbek_Umsatzstatistiken_Sonderlocke_Aufrufe();

template <class TUmsatzDaten, class TUmsStatFile>
class TKOV_UmsatzHelper_Klasse {
public:
    TKOV_UmsatzHelper_Klasse() = default;
    virtual ~TKOV_UmsatzHelper_Klasse() {
        KOV_Geschuetzt("TKOV_UmsatzHelper_Klasse.Destroy.StatFile", false, [&] { FStatFile.reset(); });
        KOV_Geschuetzt("TKOV_UmsatzHelper_Klasse.Destroy.FilialTabelle", false, [&] {
            if (FFiliaTab) GlobFilialTabelle_ReleaseInstance(FFiliaTab);
        });
    }
    TKOV_UmsatzHelper_Klasse(const TKOV_UmsatzHelper_Klasse&) = delete;
    TKOV_UmsatzHelper_Klasse& operator=(const TKOV_UmsatzHelper_Klasse&) = delete;

    // --- the slots ---
    // Write (replace) the figures of the branch's whole day / of one window of the day.
    virtual void BucheTag(const TFiliale& AFiliale, const TUmsatzDaten& AUmsatz, TDate ADatum) = 0;
    virtual void BucheTagesabschnitt(const TFiliale& AFiliale, const TKOV_Tageszeitraum& ATageszeitraum,
                                     const TUmsatzDaten& AUmsatz, TDate ADatum) = 0;
    virtual std::string StatistikKennung() const = 0;
    // The first day the file holds figures of the branch for; false when none.
    virtual bool ErsterStatistikTag(const TFiliale& AFiliale, TDate& ATag) = 0;
    virtual bool TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID, TUmsatzDaten& AUmsatz, TDate ADatum) = 0;
    virtual bool TagesabschnittLaden(const TIntPair& AMandant, const TIntPair& AOrgeID, TUmsatzDaten& AUmsatz,
                                     const TKOV_Tageszeitraum& ATageszeitraum, TDate ADatum) = 0;
    // The windows the file holds figures under for the branch and day, in key order.
    virtual void TagesabschnitteLaden(const TFiliale& AFiliale, TKOV_Tagesabschnitte& AAbschnitte, TDate ADatum) = 0;
    virtual TUmsatzDaten UmsatzAusLstSatz(Tlstfile& ALst, int16_t AOrgeKnr) = 0;
    virtual void CollectDataForZeitraum(const TKOV_VonBisDatum& /*AVonBisDatum*/,
                                        const TKOV_VonBisDatum& /*AVJ_VonBisDatum*/) {}
    // Whole-day figures may be answered from a short-lived read buffer (a reader of many
    // days, such as the comparison facade); a new run of requests drops the buffer.
    virtual void LesepufferNutzen(bool /*AWert*/) {}
    virtual void LesepufferVerwerfen() {}
    // Around the bookings of the days AVon..ABis inside their booking bracket: a helper
    // may read the existing records of the days once instead of searching each key.
    virtual void TagesbuchungBeginnen(TDate /*AVon*/, TDate /*ABis*/) {}
    virtual void TagesbuchungBeenden() {}
    // Asked for lines that keep the rules only (their branch lies in 1..32767).
    virtual int16_t FilialeAusLstSatz(Tlstfile& ALst) = 0;
    virtual bool LstSucheNachFiliale() const = 0;
    virtual bool LstSatzIgnorieren(Tlstfile& ALst, int16_t AOrgeKnr) = 0;
    // The fields of a sales line the three above read; none: every field.
    virtual std::vector<const TDatenfeld*> LstLeseFelder(Tlstfile& /*ALst*/) { return {}; }

    // --- the engine's operations ---
    void BucheUmsatzDataInStatFile_FuerTag(int16_t AOrgeKnr, const TUmsatzDaten& AUmsatz, TDate ADatum) {
        if (const TFiliale* f = FilialTabelle_GoC().Filialen().GetFilialeByNr(AOrgeKnr)) BucheTag(*f, AUmsatz, ADatum);
    }
    void BucheUmsatzDataInStatFile_FuerTagesZeitraum(int16_t AOrgeKnr, const TKOV_Tageszeitraum& ATageszeitraum,
                                                     const TUmsatzDaten& AUmsatz, TDate ADatum) {
        const TFiliale* f = FilialTabelle_GoC().Filialen().GetFilialeByNr(AOrgeKnr);
        if (!f) return;
        if (!ATageszeitraum.KonsistenzCheck())
            RDLInfo().FehlerRaise("TKOV_UmsatzHelper_Klasse.BucheUmsatzDataInStatFile_FuerTagesZeitraum", "PEP", 1906,
                                  {DateToStr(ADatum), DateTimeToStr(DateOf(ADatum) + ATageszeitraum.Von),
                                   DateTimeToStr(DateOf(ADatum) + ATageszeitraum.Bis)});
        BucheTagesabschnitt(*f, ATageszeitraum, AUmsatz, ADatum);
    }
    void ManualCommitStatfile_Set(bool AValue) {
        if (FStatFile) FStatFile->ManualCommit_Set(AValue);
        FManualCommitStatfile = AValue;
    }
    bool ManualCommitStatfile() const { return FManualCommitStatfile; }
    void CommitStatfile() {
        if (FStatFile) FStatFile->Commit();
    }
    // See TKOV_DBFile::EinfuegenSammeln_Set: for the packets of a first build.
    void EinfuegenSammelnStatfile_Set(bool AValue) { StatFile_GoC().EinfuegenSammeln_Set(AValue); }

    TFilialTabelle& FilialTabelle_GoC() {
        if (!FFiliaTab) FFiliaTab = GlobFilialTabelle_GetInstance();
        return *FFiliaTab;
    }

    // The rule-breaking lines the engine met while counting, until it writes them.
    TUmsatzAbgelehnt& Abgelehnt() { return FAbgelehnt; }

protected:
    // Opened on first use, in the commit mode asked for meanwhile.
    TUmsStatFile& StatFile_GoC() {
        if (!FStatFile) {
            BtrFile_CreateOpenWN_Clear(FStatFile, false, 2, -1);
            FStatFile->ManualCommit_Set(FManualCommitStatfile);
        }
        return *FStatFile;
    }

    std::unique_ptr<TUmsStatFile> FStatFile;
    TFilialTabelle* FFiliaTab = nullptr;
    bool FManualCommitStatfile = false;
    TUmsatzAbgelehnt FAbgelehnt;
};

// The figures of one identifier in a statistics file of the umst layout, held as blobs
// written and read by TDatenOperator: the record lookup, booking and loading of both
// helpers, and the reading of the sales lines they share.
template <class TUmsatzDaten, class TUmsStatFile, class TDatenOperator>
class TKOV_UmsatzHelper_StatFile : public TKOV_UmsatzHelper_Klasse<TUmsatzDaten, TUmsStatFile> {
public:
    explicit TKOV_UmsatzHelper_StatFile(const char* AKennung) : FKennung(AKennung) {}

    void BucheTag(const TFiliale& AFiliale, const TUmsatzDaten& AUmsatz, TDate ADatum) override {
        Buchen(AFiliale, ADatum, true, 0, 0, AUmsatz);
    }
    void BucheTagesabschnitt(const TFiliale& AFiliale, const TKOV_Tageszeitraum& ATageszeitraum,
                             const TUmsatzDaten& AUmsatz, TDate ADatum) override {
        Buchen(AFiliale, ADatum, false, ATageszeitraum.Von, ATageszeitraum.Bis, AUmsatz);
    }
    std::string StatistikKennung() const override { return FKennung; }
    void TagesbuchungBeginnen(TDate AVon, TDate ABis) override {
        FTagesbuchung = true, FVorhandene.clear();
        FBuchungVon = int64_t(DateOf(AVon)), FBuchungBis = int64_t(DateOf(ABis));
    }
    void TagesbuchungBeenden() override { FTagesbuchung = false, FVorhandene.clear(); }
    bool ErsterStatistikTag(const TFiliale& AFiliale, TDate& ATag) override {
        TUmsStatFile& f = this->StatFile_GoC();
        f.SucheInit();
        f.KeyNr_Set(TUmsStatFile::KeyFiliale);
        f.Kennung.SetKeyWertAndFilter(FKennung);
        f.Filiale.SetKeyWertAndFilter(AFiliale.Nr);
        f.ExtendedMaxReceive_Set(1);
        if (!f.Get_ge()) return false;
        ATag = f.Datum.GetWert();
        return true;
    }
    bool TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID, TUmsatzDaten& AUmsatz, TDate ADatum) override {
        return Laden(AMandant, AOrgeID, ADatum, true, 0, 0, AUmsatz);
    }
    bool TagesabschnittLaden(const TIntPair& AMandant, const TIntPair& AOrgeID, TUmsatzDaten& AUmsatz,
                             const TKOV_Tageszeitraum& ATageszeitraum, TDate ADatum) override {
        return Laden(AMandant, AOrgeID, ADatum, false, ATageszeitraum.Von, ATageszeitraum.Bis, AUmsatz);
    }
    void TagesabschnitteLaden(const TFiliale& AFiliale, TKOV_Tagesabschnitte& AAbschnitte, TDate ADatum) override {
        TUmsStatFile& f = TagSuchen(AFiliale.Mandant, AFiliale.OrgeID, ADatum);
        f.Ganztag.SetKeyWertAndFilter(false);
        for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) AAbschnitte.Add(f.Von.GetWert(), f.Bis.GetWert());
    }
    int16_t FilialeAusLstSatz(Tlstfile& ALst) override { return int16_t(ALst.Filiale.GetWert()); }
    bool LstSucheNachFiliale() const override { return true; }
    // "EB" and "ME" lines count nowhere, nor does a line that breaks the writers' rules.
    bool LstSatzIgnorieren(Tlstfile& ALst, int16_t /*AOrgeKnr*/) override {
        return !LstSatzZaehlt(ALst.Satzart.GetWert()) || !LstRegelnEingehalten(ALst);
    }
    std::vector<const TDatenfeld*> LstLeseFelder(Tlstfile& ALst) override {
        std::vector<const TDatenfeld*> f = LstWerteFelder(ALst);
        f.insert(f.end(), {&ALst.Datum, &ALst.Uhrzeit, &ALst.Filiale, &ALst.TransNr});
        return f;
    }

protected:
    // Window bounds on the millisecond grid: a bound computed another way (a midpoint, a
    // margin) finds the record booked under it.
    static TDateTime Raster(TDateTime A) { return double(std::llround(A * 86400000.0)) / 86400000.0; }

    // A search by the statistics key over the branch's records of the identifier.
    TUmsStatFile& FilialeSuchen(const TIntPair& AMandant, const TIntPair& AOrgeID) {
        TUmsStatFile& f = this->StatFile_GoC();
        f.SucheInit();
        f.KeyNr_Set(TUmsStatFile::KeyStatistik);
        f.Kennung.SetKeyWertAndFilter(FKennung);
        f.Mandant.SetKeyWertAndFilter(AMandant);
        f.OrgeID.SetKeyWertAndFilter(AOrgeID);
        return f;
    }
    // The same over the branch's records of one day.
    TUmsStatFile& TagSuchen(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum) {
        TUmsStatFile& f = FilialeSuchen(AMandant, AOrgeID);
        f.Datum.SetKeyWertAndFilter(DateOf(ADatum));
        return f;
    }

    // Positions the file on the record of the key; true when it exists.
    bool SatzSuchen(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum, bool AGanztag, TDateTime AVon,
                    TDateTime ABis) {
        TUmsStatFile& f = this->StatFile_GoC();
        f.SucheInit();
        f.KeyNr_Set(TUmsStatFile::KeyStatistik);
        f.Kennung.SetKeyWert(FKennung);
        f.Mandant.SetKeyWert(AMandant);
        f.OrgeID.SetKeyWert(AOrgeID);
        f.Datum.SetKeyWert(DateOf(ADatum)); // a day key never carries a time
        f.Ganztag.SetKeyWert(AGanztag);
        f.Von.SetKeyWert(AGanztag ? 0.0 : Raster(AVon));
        f.Bis.SetKeyWert(AGanztag ? 0.0 : Raster(ABis));
        return f.Get_eq();
    }

    // False when the record of the key is known not to exist (no search needed). Inside
    // a bracket of days the branch's keys for the days are read once, with its first
    // booking; outside (or for a day outside its span) every key is searched.
    bool Vorhanden(const TFiliale& AFiliale, TDate ADatum, bool AGanztag, TDateTime AVon, TDateTime ABis) {
        const int64_t tag = int64_t(DateOf(ADatum));
        if (!FTagesbuchung || tag < FBuchungVon || tag > FBuchungBis) return true;
        const auto schluessel = std::make_pair(AFiliale.Mandant, AFiliale.OrgeID);
        auto it = FVorhandene.find(schluessel);
        if (it == FVorhandene.end()) {
            std::set<TSatzSchluessel> s;
            TUmsStatFile& f = FilialeSuchen(AFiliale.Mandant, AFiliale.OrgeID);
            f.Datum.SetKeyWert(TDate(FBuchungVon));
            f.Datum.SetWert(TDate(FBuchungVon));
            f.ExtendedFilterAdd(f.Datum, fvGroesserGleich, fkUnd);
            f.Datum.SetWert(TDate(FBuchungBis));
            f.ExtendedFilterAdd(f.Datum, fvKleinerGleich, fkEnde);
            f.LeseFelder_Set({&f.Datum, &f.Ganztag, &f.Von, &f.Bis});
            for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode())
                s.insert({int64_t(DateOf(f.Datum.GetWert())), f.Ganztag.GetWert(),
                          std::llround(f.Von.GetWert() * 86400000.0), std::llround(f.Bis.GetWert() * 86400000.0)});
            it = FVorhandene.emplace(schluessel, std::move(s)).first;
        }
        const TSatzSchluessel k{tag, AGanztag, AGanztag ? 0 : std::llround(Raster(AVon) * 86400000.0),
                                AGanztag ? 0 : std::llround(Raster(ABis) * 86400000.0)};
        // Booked now, it is there for a second booking of the same key in this bracket.
        return !it->second.insert(k).second;
    }
    // After a record was written.
    virtual void Gebucht(const TFiliale& /*AFiliale*/, TDate /*ADatum*/, bool /*AGanztag*/) {}

    void Buchen(const TFiliale& AFiliale, TDate ADatum, bool AGanztag, TDateTime AVon, TDateTime ABis,
                const TUmsatzDaten& AUmsatz) {
        // The figures of a key are replaced, never added to: a day booked again (a rerun
        // after an interruption, a rebooking) ends with the figures of its last count.
        const bool vorhanden = Vorhanden(AFiliale, ADatum, AGanztag, AVon, ABis) &&
                               SatzSuchen(AFiliale.Mandant, AFiliale.OrgeID, ADatum, AGanztag, AVon, ABis);
        TUmsStatFile& f = this->StatFile_GoC();
        f.Kennung.SetWert(FKennung);
        f.Mandant.SetWert(AFiliale.Mandant);
        f.OrgeID.SetWert(AFiliale.OrgeID);
        f.Filiale.SetWert(AFiliale.Nr);
        f.Datum.SetWert(DateOf(ADatum));
        f.Ganztag.SetWert(AGanztag);
        f.Von.SetWert(AGanztag ? 0.0 : Raster(AVon));
        f.Bis.SetWert(AGanztag ? 0.0 : Raster(ABis));
        f.Daten.SetWert(TBlobDaten{TDatenOperator::Daten_2_Blob(AUmsatz)});
        if (vorhanden)
            f.Update();
        else
            f.Insert();
        Gebucht(AFiliale, ADatum, AGanztag);
    }
    bool Laden(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum, bool AGanztag, TDateTime AVon,
               TDateTime ABis, TUmsatzDaten& AUmsatz) {
        if (!SatzSuchen(AMandant, AOrgeID, ADatum, AGanztag, AVon, ABis)) return false;
        if (TDatenOperator::Blob_2_Daten(this->FStatFile->Daten.GetWert().Bytes, AUmsatz)) return true;
        // Damaged (empty, not numbers, beyond any amount): counts as missing, so the caller
        // counts the day again from its sales lines and books it anew. Logged for whoever
        // looks after the database; no figure of it is shown.
        RDLInfo().RegisterException(
            "TKOV_UmsatzHelper_StatFile.Laden",
            Exception("Ein Satz der Umsatzstatistik " + std::string(FKennung) + " (Filiale " + AOrgeID.ToText() +
                      ", " + DateToStr(ADatum) + ") war beschädigt; der Tag wurde aus den Verkäufen neu gezählt."),
            false);
        AUmsatz = TUmsatzDaten{};
        return false;
    }

    const char* FKennung;
    using TSatzSchluessel = std::tuple<int64_t, bool, long long, long long>;
    bool FTagesbuchung = false;
    int64_t FBuchungVon = 0, FBuchungBis = 0;
    std::map<std::pair<TIntPair, TIntPair>, std::set<TSatzSchluessel>> FVorhandene;
};

// The sales evaluation's figures in umst under the identifier "UMSAUSW".
class TKOV_UmsatzHelper_UmsAusw
    : public TKOV_UmsatzHelper_StatFile<TKOV_Umsatzdaten_UmsAusw, Tumstfile, TKOV_UmsDataOperator_UmsAusw> {
public:
    static constexpr const char* CStatistikKennung = "UMSAUSW";

    TKOV_UmsatzHelper_UmsAusw() : TKOV_UmsatzHelper_StatFile(CStatistikKennung) {}

    bool TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID, TKOV_Umsatzdaten_UmsAusw& AUmsatz,
                  TDate ADatum) override;
    TKOV_Umsatzdaten_UmsAusw UmsatzAusLstSatz(Tlstfile& ALst, int16_t AOrgeKnr) override;
    void CollectDataForZeitraum(const TKOV_VonBisDatum&, const TKOV_VonBisDatum&) override { LesepufferVerwerfen(); }
    void LesepufferNutzen(bool AWert) override { FLesepuffer = AWert, FTagesPuffer.clear(); }
    void LesepufferVerwerfen() override { FTagesPuffer.clear(); }

protected:
    void Gebucht(const TFiliale& AFiliale, TDate ADatum, bool AGanztag) override;

private:
    // Whole-day figures of a branch for a block of days, read in one range search: a run
    // over days and their prior-year days asks for neighbouring days of the same branch.
    // Only records found are kept (a day without one is searched exactly, a day booked
    // here is dropped), and a block is read again after CPufferAlter, so a figure others
    // changed is seen at most that much later.
    struct TTagesBlock {
        std::chrono::steady_clock::time_point Gelesen;
        std::unordered_map<int64_t, TKOV_Umsatzdaten_UmsAusw> Tage;
    };
    using TBlockSchluessel = std::tuple<TIntPair, TIntPair, int64_t>;
    static constexpr int64_t CBlockTage = 64;
    static constexpr std::chrono::milliseconds CPufferAlter{1000};
    TTagesBlock* TagesBlock(const TIntPair& AMandant, const TIntPair& AOrgeID, int64_t ATag);
    bool FLesepuffer = false;
    std::map<TBlockSchluessel, TTagesBlock> FTagesPuffer;
};
