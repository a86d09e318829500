#pragma once
// The statistics engine's helper for the shipping-branch evaluation: its figures per
// platform and kind in the table umstvf under the identifier "VFAUSW". It reads the
// sales lines as the sales helper does; only the figures and their file differ.
#include "umsatzhelper_umsausw.h"

class TKOV_UmsatzHelper_VersFilAusw
    : public TKOV_UmsatzHelper_Klasse<TKOV_Umsatzdaten_Erw_VersFilAusw, Tumstvffile> {
public:
    static constexpr const char* CStatistikKennung = "VFAUSW";

    void BucheTag(const TFiliale& AFiliale, const TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz, TDate ADatum) override;
    void BucheTagesabschnitt(const TFiliale& AFiliale, const TKOV_Tageszeitraum& ATageszeitraum,
                             const TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz, TDate ADatum) override;
    std::string StatistikKennung() const override { return CStatistikKennung; }
    bool ErsterStatistikTag(const TFiliale& AFiliale, TDate& ATag) override;
    bool TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID, TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz,
                  TDate ADatum) override;
    bool TagesabschnittLaden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                             TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz, const TKOV_Tageszeitraum& ATageszeitraum,
                             TDate ADatum) override;
    void TagesabschnitteLaden(const TFiliale& AFiliale, TKOV_Tagesabschnitte& AAbschnitte, TDate ADatum) override;
    TKOV_Umsatzdaten_Erw_VersFilAusw UmsatzAusLstSatz(Tlstfile& ALst, int16_t AOrgeKnr) override;
    // Nothing to prepare: every day is one keyed read of the file.
    void CollectDataForZeitraum(const TKOV_VonBisDatum& /*AVonBisDatum*/,
                                const TKOV_VonBisDatum& /*AVJ_VonBisDatum*/) override {}
    int16_t FilialeAusLstSatz(Tlstfile& ALst) override;
    bool LstSucheNachFiliale() const override { return true; }
    // "EB" and "ME" lines count nowhere.
    bool LstSatzIgnorieren(Tlstfile& ALst, int16_t AOrgeKnr) override;

private:
    // Positions the file on the record of the key; true when it exists.
    bool SatzSuchen(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum, bool AGanztag, TDateTime AVon,
                    TDateTime ABis);
    void Buchen(const TFiliale& AFiliale, TDate ADatum, bool AGanztag, TDateTime AVon, TDateTime ABis,
                const TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz);
    bool Laden(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum, bool AGanztag, TDateTime AVon,
               TDateTime ABis, TKOV_Umsatzdaten_Erw_VersFilAusw& AUmsatz);
};
