#include "quendrixmodule.h"
#include "bonus_commission/pupauswcontroller.h"
#include "floating_goods/swwaausw.h"
#include "quendrixclass.h"
#include "sales/umsauswmainfrm.h"
#include "sales_bonus/vkpraemienfrm.h"
#include "shipping/versfilauswmain.h"
#include "staff_discount/persrabausw.h"
#include "staff_purchase/personalkaeufeauswcontroller.h"
#include "stock_export/artbest_gr_csv_ausw.h"

void QuendrixAuswertungenRegistrieren() {
    // The order is the registration index the catalogue and callers rely on.
    for (TKOV_Quendrix_Auswertung_Class k : {
             TKOV_Quendrix_SchwWareauswertung::Klasse(),
             TKOV_Quendrix_Verkaufspraemien::Klasse(),
             TKOV_ArtBest_CSV_Export::Klasse(),
             TKOV_Quendrix_Umsatzauswertung::Klasse(),
             TKOV_Quendrix_VersFilAuswertung::Klasse(),
             TKOV_Quendrix_PersRabattAuswertung::Klasse(),
             TKOV_Quendrix_PuPAuswertung::Klasse(),
             TKOV_Quendrix_PersonalkaeufeAuswertung::Klasse(),
         })
        TKOV_Glob_Quendrix_Controller::RegisterAuswerter(k);
}
