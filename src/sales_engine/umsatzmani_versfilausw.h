#pragma once
// The statistics engine instantiated for the shipping-branch evaluation: figures per
// platform and kind, the file umstvf, the helper "VFAUSW". Its processing state lies in
// umsv beside the sales evaluation's, under its own identifier, so the two statistics
// are built and brought up to date independently on the same sales lines.
#include "umsatzauswertmani_base.h"
#include "umsatzhelper_versfilausw.h"
#include "umsatzumszmani_base.h"

// The shipping-branch evaluation keeps a year of days.
inline constexpr int CKOV_VersFil_AnzahlZurueckliegendeTage = 365;

// Builds and updates umstvf: UpdateStatistikfiles(CKOV_VersFil_AnzahlZurueckliegendeTage, false).
class TKOV_UmsatzUmszMani_VersFilAusw
    : public TKOV_Umsatz_UmszMani_Base<TKOV_Umsatzdaten_Erw_VersFilAusw, TKOV_UmsDataOperator_VersFilAusw,
                                       Tumstvffile, TKOV_UmsatzHelper_VersFilAusw> {};

// The window's entry: a branch's figures of a day or a period (GetUmsatzFuerZeitraum).
class TKOV_UmsatzAuswertMani_VersFilAusw
    : public TKOV_UmsatzAuswertMani_Base<TKOV_Umsatzdaten_Erw_VersFilAusw, TKOV_UmsDataOperator_VersFilAusw,
                                         Tumstvffile, TKOV_UmsatzHelper_VersFilAusw> {};

using TKOV_UmsatzGet_Mani_VersFilAusw = TKOV_UmsatzGet_Mani<TKOV_Umsatzdaten_Erw_VersFilAusw,
                                                            TKOV_UmsDataOperator_VersFilAusw, Tumstvffile,
                                                            TKOV_UmsatzHelper_VersFilAusw>;
