#include "vkpraemienfrm.h"
#include "rdlprogramm.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_Verkaufspraemien::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_Verkaufspraemien::TKlasse::Kurzname() const { return "VKPRAEMIEN"; }

std::string TKOV_Quendrix_Verkaufspraemien::TKlasse::Bezeichnung() const { return "Verkaufsprämien"; }

std::string TKOV_Quendrix_Verkaufspraemien::TKlasse::Beschreibung() const {
    return "Die modernen Verkaufsprämien. Eine Übergangslösung bis zur Fertigstellung der Verkaufskampanien / Prämienlogik. Bitte wenden Sie sich an den Support, um die Einstellungen für diesen Punkt vorzunehmen";
}

std::string TKOV_Quendrix_Verkaufspraemien::TKlasse::Schlagworte() const { return "Verkaufsprämien, Prämie"; }

TKOV_WPF_Recht TKOV_Quendrix_Verkaufspraemien::TKlasse::AuswertungsRecht() const { return 443; }

bool TKOV_Quendrix_Verkaufspraemien::TKlasse::Active() const {
    const std::string& kennung = RDLProgramm().GetKundenkennung();
    return kennung == "ODRIKS00" || kennung == "URSTAL00";
}

bool TKOV_Quendrix_Verkaufspraemien::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
