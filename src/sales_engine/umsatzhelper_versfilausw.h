#pragma once
// The statistics engine's helper for the shipping-branch evaluation: its figures per
// platform and kind in the table umstvf under the identifier "VFAUSW". It reads the
// sales lines as the sales helper does; only the figures and their file differ.
#include "umsatzhelper_umsausw.h"

class TKOV_UmsatzHelper_VersFilAusw
    : public TKOV_UmsatzHelper_StatFile<TKOV_Umsatzdaten_Erw_VersFilAusw, Tumstvffile,
                                        TKOV_UmsDataOperator_VersFilAusw> {
public:
    static constexpr const char* CStatistikKennung = "VFAUSW";

    TKOV_UmsatzHelper_VersFilAusw() : TKOV_UmsatzHelper_StatFile(CStatistikKennung) {}

    TKOV_Umsatzdaten_Erw_VersFilAusw UmsatzAusLstSatz(Tlstfile& ALst, int16_t AOrgeKnr) override;
    // Nothing to prepare: every day is one keyed read of the file.
    void CollectDataForZeitraum(const TKOV_VonBisDatum& /*AVonBisDatum*/,
                                const TKOV_VonBisDatum& /*AVJ_VonBisDatum*/) override {}
};
