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
    const bool vorhanden = SatzSuchen(AFiliale.Mandant, AFiliale.OrgeID, ADatum, AGanztag, AVon, ABis);
    Tumstfile& f = *FStatFile;
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
