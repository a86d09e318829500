#include "personalkaeufeauswcontroller.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_PersonalkaeufeAuswertung::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_PersonalkaeufeAuswertung::TKlasse::Kurzname() const { return "PKAUSWERT"; }

std::string TKOV_Quendrix_PersonalkaeufeAuswertung::TKlasse::Bezeichnung() const { return "Auswertung Personalkäufe auf Rechnung"; }

std::string TKOV_Quendrix_PersonalkaeufeAuswertung::TKlasse::Beschreibung() const {
    return "Die Anzeige der Personalkäufe auf Rechnung. Hier können Sie sich einen Überblick über Mandanten, Filialen oder einzelne Mitarbeiter verschaffen und die Daten auf Richtigkeit prüfen, bevor Sie diese exportieren.";
}

std::string TKOV_Quendrix_PersonalkaeufeAuswertung::TKlasse::Schlagworte() const { return "Personalkäufe, Personalkreditkäufe, Rechnung"; }

TKOV_WPF_Recht TKOV_Quendrix_PersonalkaeufeAuswertung::TKlasse::AuswertungsRecht() const { return 443; }

bool TKOV_Quendrix_PersonalkaeufeAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
