#include "umsatzhelper_versfilausw.h"

#include <cmath>

namespace {

// Window bounds on the millisecond grid, as the sales helper books them: a bound computed
// another way (a midpoint, a margin) finds the record booked under it.
TDateTime Raster(TDateTime A) { return double(std::llround(A * 86400000.0)) / 86400000.0; }

} // namespace

bool TKOV_UmsatzHelper_VersFilAusw::SatzSuchen(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                               bool AGanztag, TDateTime AVon, TDateTime ABis) {
    Tumstvffile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstvffile::KeyStatistik);
    f.Kennung.SetKeyWert(CStatistikKennung);
    f.Mandant.SetKeyWert(AMandant);
    f.OrgeID.SetKeyWert(AOrgeID);
    f.Datum.SetKeyWert(DateOf(ADatum)); // a day key never carries a time
    f.Ganztag.SetKeyWert(AGanztag);
    f.Von.SetKeyWert(AGanztag ? 0.0 : Raster(AVon));
    f.Bis.SetKeyWert(AGanztag ? 0.0 : Raster(ABis));
    return f.Get_eq();
}

void TKOV_UmsatzHelper_VersFilAusw::Buchen(const TFiliale& AFiliale, TDate ADatum, bool AGanztag, TDateTime AVon,
                                           TDateTime ABis, const TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz) {
    // Replaced, never added to: a day counted again ends with the figures of its last count.
    const bool vorhanden = SatzSuchen(AFiliale.Mandant, AFiliale.OrgeID, ADatum, AGanztag, AVon, ABis);
    Tumstvffile& f = *FStatFile;
    f.Kennung.SetWert(CStatistikKennung);
    f.Mandant.SetWert(AFiliale.Mandant);
    f.OrgeID.SetWert(AFiliale.OrgeID);
    f.Filiale.SetWert(AFiliale.Nr);
    f.Datum.SetWert(DateOf(ADatum));
    f.Ganztag.SetWert(AGanztag);
    f.Von.SetWert(AGanztag ? 0.0 : Raster(AVon));
    f.Bis.SetWert(AGanztag ? 0.0 : Raster(ABis));
    f.Daten.SetWert(TBlobDaten{TKOV_UmsDataOperator_VersFilAusw::Daten_2_Blob(AUmsatz)});
    if (vorhanden)
        f.Update();
    else
        f.Insert();
}

bool TKOV_UmsatzHelper_VersFilAusw::Laden(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                          bool AGanztag, TDateTime AVon, TDateTime ABis,
                                          TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz) {
    if (!SatzSuchen(AMandant, AOrgeID, ADatum, AGanztag, AVon, ABis)) return false;
    return TKOV_UmsDataOperator_VersFilAusw::Blob_2_Daten(FStatFile->Daten.GetWert().Bytes, AUmsatz);
}

void TKOV_UmsatzHelper_VersFilAusw::BucheTag(const TFiliale& AFiliale, const TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz,
                                             TDate ADatum) {
    Buchen(AFiliale, ADatum, true, 0, 0, AUmsatz);
}

void TKOV_UmsatzHelper_VersFilAusw::BucheTagesabschnitt(const TFiliale& AFiliale,
                                                        const TKOV_Tageszeitraum& ATageszeitraum,
                                                        const TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz, TDate ADatum) {
    Buchen(AFiliale, ADatum, false, ATageszeitraum.Von, ATageszeitraum.Bis, AUmsatz);
}

bool TKOV_UmsatzHelper_VersFilAusw::ErsterStatistikTag(const TFiliale& AFiliale, TDate& ATag) {
    Tumstvffile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstvffile::KeyFiliale);
    f.Kennung.SetKeyWertAndFilter(CStatistikKennung);
    f.Filiale.SetKeyWertAndFilter(AFiliale.Nr);
    f.ExtendedMaxReceive_Set(1);
    if (!f.Get_ge()) return false;
    ATag = f.Datum.GetWert();
    return true;
}

bool TKOV_UmsatzHelper_VersFilAusw::TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                             TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz, TDate ADatum) {
    return Laden(AMandant, AOrgeID, ADatum, true, 0, 0, AUmsatz);
}

bool TKOV_UmsatzHelper_VersFilAusw::TagesabschnittLaden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                                        TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz,
                                                        const TKOV_Tageszeitraum& ATageszeitraum, TDate ADatum) {
    return Laden(AMandant, AOrgeID, ADatum, false, ATageszeitraum.Von, ATageszeitraum.Bis, AUmsatz);
}

void TKOV_UmsatzHelper_VersFilAusw::TagesabschnitteLaden(const TFiliale& AFiliale, TKOV_Tagesabschnitte& AAbschnitte,
                                                         TDate ADatum) {
    Tumstvffile& f = StatFile_GoC();
    f.SucheInit();
    f.KeyNr_Set(Tumstvffile::KeyStatistik);
    f.Kennung.SetKeyWertAndFilter(CStatistikKennung);
    f.Mandant.SetKeyWertAndFilter(AFiliale.Mandant);
    f.OrgeID.SetKeyWertAndFilter(AFiliale.OrgeID);
    f.Datum.SetKeyWertAndFilter(DateOf(ADatum));
    f.Ganztag.SetKeyWertAndFilter(false);
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) AAbschnitte.Add(f.Von.GetWert(), f.Bis.GetWert());
}

TKOV_Umsatzdaten_Erw_VersFilAusw TKOV_UmsatzHelper_VersFilAusw::UmsatzAusLstSatz(Tlstfile& ALst, int16_t /*AOrgeKnr*/) {
    return UmsatzVersFilAusLstWerten(LstWerteAusSatz(ALst));
}

int16_t TKOV_UmsatzHelper_VersFilAusw::FilialeAusLstSatz(Tlstfile& ALst) { return ALst.Filiale.GetWert(); }

bool TKOV_UmsatzHelper_VersFilAusw::LstSatzIgnorieren(Tlstfile& ALst, int16_t /*AOrgeKnr*/) {
    return !LstSatzZaehlt(ALst.Satzart.GetWert());
}
