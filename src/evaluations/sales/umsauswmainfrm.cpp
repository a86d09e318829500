#include "umsauswmainfrm.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_Umsatzauswertung::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_Umsatzauswertung::TKlasse::Kurzname() const { return "UMSAUSW"; }

std::string TKOV_Quendrix_Umsatzauswertung::TKlasse::Bezeichnung() const { return "Umsatzauswertung"; }

std::string TKOV_Quendrix_Umsatzauswertung::TKlasse::Beschreibung() const {
    return "Ein Auswertungstool, dass Ihnen die Umsätze Ihres Unternehmens strukturiert nach Filialen, Zeiträumen etc. anzeigt. Das Ganze kann zusätzlich den Umsatzzahlen aus den Vorjahren gegenübergestellt werden.";
}

std::string TKOV_Quendrix_Umsatzauswertung::TKlasse::Schlagworte() const { return "Umsatzstatistiken"; }

TKOV_WPF_Recht TKOV_Quendrix_Umsatzauswertung::TKlasse::AuswertungsRecht() const { return 444; }

bool TKOV_Quendrix_Umsatzauswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
