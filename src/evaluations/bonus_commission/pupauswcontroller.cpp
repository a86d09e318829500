#include "pupauswcontroller.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_PuPAuswertung::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_PuPAuswertung::TKlasse::Kurzname() const { return "PUPAUSWERT"; }

std::string TKOV_Quendrix_PuPAuswertung::TKlasse::Bezeichnung() const { return "Auswertung Prämien und Provisionen"; }

std::string TKOV_Quendrix_PuPAuswertung::TKlasse::Beschreibung() const {
    return "Die Anzeige der Daten, die vom Programm Prämien und Provisionen berechnet wurden. Hier können Sie sich einen Überblick über Mandanten, Filialen oder einzelne Mitarbeiter verschaffen und die Daten auf Richtigkeit prüfen, bevor Sie diese exportieren.";
}

std::string TKOV_Quendrix_PuPAuswertung::TKlasse::Schlagworte() const { return "Verkaufsprämien, Prämie, Provision, Umsatzprämie, Umsatzprovision"; }

TKOV_WPF_Recht TKOV_Quendrix_PuPAuswertung::TKlasse::AuswertungsRecht() const { return 443; }

bool TKOV_Quendrix_PuPAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
