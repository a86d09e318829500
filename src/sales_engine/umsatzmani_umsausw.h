#pragma once
// The statistics engine instantiated for the sales evaluation: figures per branch and day
// with comparable days of earlier years, the file umst, the helper "UMSAUSW". Window,
// tests and benchmarks name these types instead of spelling out the four arguments.
#include "kovdateutils.h"
#include "umsatzauswertvergleichmani_base.h"
#include "umsatzhelper_umsausw.h"
#include "umsatzumszmani_base.h"

// Builds and updates umst (TKOV_Umsatz_UmszMani_UmsAusw, declared beside the rebooking
// of ignore-before dates) and answers a day beside its comparable days of earlier years.
using TKOV_UmsatzAuswertVerglMani_UmsAusw =
    TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base<TKOV_Umsatzdaten_UmsAusw, TKOV_UmsDataOperator_UmsAusw, Tumstfile,
                                                 TKOV_UmsatzHelper_UmsAusw>;

// The last day the sales statistics hold; false when they are not built (or empty).
bool UmsAuswStatistikStand(TDate& ABis);
