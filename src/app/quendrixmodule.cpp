#include "quendrixmodule.h"
#include "artbest_gr_csv_ausw.h"
#include "personalkaeufeauswcontroller.h"
#include "persrabausw.h"
#include "pupauswcontroller.h"
#include "quendrixclass.h"
#include "swwaausw.h"
#include "umsauswertung.h"
#include "versfilauswmain.h"
#include "vkpraemienfrm.h"

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
