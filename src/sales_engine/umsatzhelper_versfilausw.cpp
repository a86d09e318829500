#include "umsatzhelper_versfilausw.h"

TKOV_Umsatzdaten_Erw_VersFilAusw TKOV_UmsatzHelper_VersFilAusw::UmsatzAusLstSatz(Tlstfile& ALst, int16_t /*AOrgeKnr*/) {
    return UmsatzVersFilAusLstWerten(LstWerteAusSatz(ALst));
}
