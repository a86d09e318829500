#include "vkpraemienfrm.h"
#include "rdlprogramm.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_Verkaufspraemien::Klasse() {
    static const TKlasse k(KOV_Erzeugen<TKOV_Quendrix_Verkaufspraemien>, {
        .Kurzname = "VKPRAEMIEN",
        .Bezeichnung = "Verkaufsprämien",
        .Beschreibung = "Die modernen Verkaufsprämien. Eine Übergangslösung bis zur Fertigstellung der Verkaufskampanien / Prämienlogik. Bitte wenden Sie sich an den Support, um die Einstellungen für diesen Punkt vorzunehmen",
        .Schlagworte = "Verkaufsprämien, Prämie",
        .AuswertungsRecht = 443,
    });
    return &k;
}

bool TKOV_Quendrix_Verkaufspraemien::TKlasse::Active() const {
    const std::string& kennung = RDLProgramm().GetKundenkennung();
    return kennung == "ODRIKS00" || kennung == "URSTAL00";
}

bool TKOV_Quendrix_Verkaufspraemien::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
