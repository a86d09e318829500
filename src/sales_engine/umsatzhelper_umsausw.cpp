#include "umsatzhelper_umsausw.h"

#include <atomic>
#include <cmath>
#include <fstream>

namespace {

// Window bounds on the millisecond grid: a bound computed another way (a midpoint, a
// margin) finds the record booked under it.
TDateTime Raster(TDateTime A) { return double(std::llround(A * 86400000.0)) / 86400000.0; }

std::atomic<int64_t> GTavrinAufrufe{0};
std::atomic<int64_t> GMosbekAufrufe{0};

void SonderlockeMerken(std::atomic<int64_t>& AZaehler, const char* AName) {
    // Called per sales line: only the first call of the process goes to the log.
    if (AZaehler++ != 0) return;
    const std::string& datei = RDLInfo().LogDatei();
    if (datei.empty()) return;
    std::ofstream log(datei, std::ios::app);
    log << DateTimeToStr(rdl_Now()) << '\t' << AName << "\tkundenspezifische Umsatzzuordnung aktiv\n";
}

} // namespace

void Tavrin_Umsatzstatistiken_Sonderlocke() { SonderlockeMerken(GTavrinAufrufe, "Tavrin_Umsatzstatistiken_Sonderlocke"); }
void Mosbek_Umsatzstatistiken_Sonderlocke() { SonderlockeMerken(GMosbekAufrufe, "Mosbek_Umsatzstatistiken_Sonderlocke"); }
int64_t Tavrin_Umsatzstatistiken_Sonderlocke_Aufrufe() { return GTavrinAufrufe; }
int64_t Mosbek_Umsatzstatistiken_Sonderlocke_Aufrufe() { return GMosbekAufrufe; }

bool TKOV_UmsatzHelper_UmsAusw::SatzSuchen(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                           bool AGanztag, TDateTime AVon, TDateTime ABis) {
    Tumstfile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstfile::KeyStatistik);
    f.Kennung.SetKeyWert(CStatistikKennung);
    f.Mandant.SetKeyWert(AMandant);
    f.OrgeID.SetKeyWert(AOrgeID);
    f.Datum.SetKeyWert(DateOf(ADatum)); // a day key never carries a time
    f.Ganztag.SetKeyWert(AGanztag);
    f.Von.SetKeyWert(AGanztag ? 0.0 : Raster(AVon));
    f.Bis.SetKeyWert(AGanztag ? 0.0 : Raster(ABis));
    return f.Get_eq();
}

void TKOV_UmsatzHelper_UmsAusw::Buchen(const TFiliale& AFiliale, TDate ADatum, bool AGanztag, TDateTime AVon,
                                       TDateTime ABis, const TKOV_Umsatzdaten_UmsAusw& AUmsatz) {
    // The figures of a key are replaced, never added to: a day booked again (a rerun
    // after an interruption, a rebooking) ends with the figures of its last count.
    const bool vorhanden = Vorhanden(AFiliale, ADatum, AGanztag, AVon, ABis) &&
                           SatzSuchen(AFiliale.Mandant, AFiliale.OrgeID, ADatum, AGanztag, AVon, ABis);
    Tumstfile& f = StatFile_GoC();
    f.Kennung.SetWert(CStatistikKennung);
    f.Mandant.SetWert(AFiliale.Mandant);
    f.OrgeID.SetWert(AFiliale.OrgeID);
    f.Filiale.SetWert(AFiliale.Nr);
    f.Datum.SetWert(DateOf(ADatum));
    f.Ganztag.SetWert(AGanztag);
    f.Von.SetWert(AGanztag ? 0.0 : Raster(AVon));
    f.Bis.SetWert(AGanztag ? 0.0 : Raster(ABis));
    f.Daten.SetWert(TBlobDaten{TKOV_UmsDataOperator_UmsAusw::Daten_2_Blob(AUmsatz)});
    if (vorhanden)
        f.Update();
    else
        f.Insert();
    // The day is read exactly again: the booking may still be rolled back.
    if (AGanztag) {
        const int64_t tag = int64_t(DateOf(ADatum));
        const auto it = FTagesPuffer.find({AFiliale.Mandant, AFiliale.OrgeID, tag / CBlockTage});
        if (it != FTagesPuffer.end()) it->second.Tage.erase(tag);
    }
}

TKOV_UmsatzHelper_UmsAusw::TTagesBlock* TKOV_UmsatzHelper_UmsAusw::TagesBlock(const TIntPair& AMandant,
                                                                             const TIntPair& AOrgeID, int64_t ATag) {
    const auto jetzt = std::chrono::steady_clock::now();
    const int64_t block = ATag / CBlockTage;
    TTagesBlock& b = FTagesPuffer[{AMandant, AOrgeID, block}];
    if (b.Gelesen != std::chrono::steady_clock::time_point{} && jetzt - b.Gelesen < CPufferAlter) return &b;
    b.Tage.clear();
    Tumstfile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstfile::KeyStatistik);
    f.Kennung.SetKeyWertAndFilter(CStatistikKennung);
    f.Mandant.SetKeyWertAndFilter(AMandant);
    f.OrgeID.SetKeyWertAndFilter(AOrgeID);
    f.Datum.SetKeyWert(TDate(block * CBlockTage));
    f.Ganztag.SetKeyWert(true);
    // Both bounds as plain terms: the store then seeks the index to the block.
    f.Datum.SetWert(TDate(block * CBlockTage));
    f.ExtendedFilterAdd(f.Datum, fvGroesserGleich, fkUnd);
    f.Datum.SetWert(TDate(block * CBlockTage + CBlockTage - 1));
    f.ExtendedFilterAdd(f.Datum, fvKleinerGleich, fkUnd);
    f.Ganztag.SetWert(true);
    f.ExtendedFilterAdd(f.Ganztag, fvGleich, fkEnde);
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) {
        TKOV_Umsatzdaten_UmsAusw u;
        if (TKOV_UmsDataOperator_UmsAusw::Blob_2_Daten(f.Daten.GetWert().Bytes, u))
            b.Tage[int64_t(DateOf(f.Datum.GetWert()))] = u;
    }
    b.Gelesen = jetzt;
    return &b;
}

bool TKOV_UmsatzHelper_UmsAusw::Vorhanden(const TFiliale& AFiliale, TDate ADatum, bool AGanztag, TDateTime AVon,
                                          TDateTime ABis) {
    if (!FTagesbuchung) return true; // outside a day's bracket every key is searched
    const auto schluessel = std::make_pair(AFiliale.Mandant, AFiliale.OrgeID);
    auto it = FVorhandene.find(schluessel);
    if (it == FVorhandene.end()) {
        std::set<TSatzSchluessel> s;
        Tumstfile& f = StatFile_GoC();
        f.SucheInit();
        f.KeyNr_Set(Tumstfile::KeyStatistik);
        f.Kennung.SetKeyWertAndFilter(CStatistikKennung);
        f.Mandant.SetKeyWertAndFilter(AFiliale.Mandant);
        f.OrgeID.SetKeyWertAndFilter(AFiliale.OrgeID);
        f.Datum.SetKeyWertAndFilter(DateOf(ADatum));
        for (bool ok = f.Get_ge(); ok; ok = f.Get_next())
            s.insert({f.Ganztag.GetWert(), std::llround(f.Von.GetWert() * 86400000.0),
                      std::llround(f.Bis.GetWert() * 86400000.0)});
        it = FVorhandene.emplace(schluessel, std::move(s)).first;
    }
    const TSatzSchluessel k{AGanztag, AGanztag ? 0 : std::llround(Raster(AVon) * 86400000.0),
                            AGanztag ? 0 : std::llround(Raster(ABis) * 86400000.0)};
    // Booked now, it is there for a second booking of the same key in this bracket.
    return !it->second.insert(k).second;
}

bool TKOV_UmsatzHelper_UmsAusw::Laden(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum, bool AGanztag,
                                      TDateTime AVon, TDateTime ABis, TKOV_Umsatzdaten_UmsAusw& AUmsatz) {
    if (!SatzSuchen(AMandant, AOrgeID, ADatum, AGanztag, AVon, ABis)) return false;
    return TKOV_UmsDataOperator_UmsAusw::Blob_2_Daten(FStatFile->Daten.GetWert().Bytes, AUmsatz);
}

void TKOV_UmsatzHelper_UmsAusw::BucheTag(const TFiliale& AFiliale, const TKOV_Umsatzdaten_UmsAusw& AUmsatz,
                                         TDate ADatum) {
    Buchen(AFiliale, ADatum, true, 0, 0, AUmsatz);
}

void TKOV_UmsatzHelper_UmsAusw::BucheTagesabschnitt(const TFiliale& AFiliale, const TKOV_Tageszeitraum& ATageszeitraum,
                                                    const TKOV_Umsatzdaten_UmsAusw& AUmsatz, TDate ADatum) {
    Buchen(AFiliale, ADatum, false, ATageszeitraum.Von, ATageszeitraum.Bis, AUmsatz);
}

bool TKOV_UmsatzHelper_UmsAusw::ErsterStatistikTag(const TFiliale& AFiliale, TDate& ATag) {
    Tumstfile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstfile::KeyFiliale);
    f.Kennung.SetKeyWertAndFilter(CStatistikKennung);
    f.Filiale.SetKeyWertAndFilter(AFiliale.Nr);
    f.ExtendedMaxReceive_Set(1);
    if (!f.Get_ge()) return false;
    ATag = f.Datum.GetWert();
    return true;
}

bool TKOV_UmsatzHelper_UmsAusw::TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                         TKOV_Umsatzdaten_UmsAusw& AUmsatz, TDate ADatum) {
    if (FLesepuffer) {
        const int64_t tag = int64_t(DateOf(ADatum));
        const TTagesBlock* b = TagesBlock(AMandant, AOrgeID, tag);
        if (const auto it = b->Tage.find(tag); it != b->Tage.end()) {
            AUmsatz = it->second;
            return true;
        }
    }
    return Laden(AMandant, AOrgeID, ADatum, true, 0, 0, AUmsatz);
}

bool TKOV_UmsatzHelper_UmsAusw::TagesabschnittLaden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                    TKOV_Umsatzdaten_UmsAusw& AUmsatz,
                                                    const TKOV_Tageszeitraum& ATageszeitraum, TDate ADatum) {
    return Laden(AMandant, AOrgeID, ADatum, false, ATageszeitraum.Von, ATageszeitraum.Bis, AUmsatz);
}

void TKOV_UmsatzHelper_UmsAusw::TagesabschnitteLaden(const TFiliale& AFiliale, TKOV_Tagesabschnitte& AAbschnitte,
                                                     TDate ADatum) {
    Tumstfile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstfile::KeyStatistik);
    f.Kennung.SetKeyWertAndFilter(CStatistikKennung);
    f.Mandant.SetKeyWertAndFilter(AFiliale.Mandant);
    f.OrgeID.SetKeyWertAndFilter(AFiliale.OrgeID);
    f.Datum.SetKeyWertAndFilter(DateOf(ADatum));
    f.Ganztag.SetKeyWertAndFilter(false);
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) AAbschnitte.Add(f.Von.GetWert(), f.Bis.GetWert());
}

TKOV_Umsatzdaten_UmsAusw TKOV_UmsatzHelper_UmsAusw::UmsatzAusLstSatz(Tlstfile& ALst, int16_t /*AOrgeKnr*/) {
    return UmsatzAusLstWerten(LstWerteAusSatz(ALst));
}

int16_t TKOV_UmsatzHelper_UmsAusw::FilialeAusLstSatz(Tlstfile& ALst) { return ALst.Filiale.GetWert(); }

bool TKOV_UmsatzHelper_UmsAusw::LstSatzIgnorieren(Tlstfile& ALst, int16_t /*AOrgeKnr*/) {
    return !LstSatzZaehlt(ALst.Satzart.GetWert());
}
