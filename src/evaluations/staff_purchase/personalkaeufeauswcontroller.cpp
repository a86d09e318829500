#include "personalkaeufeauswcontroller.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_PersonalkaeufeAuswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_PersonalkaeufeAuswertung>, {
        .Kurzname = "PKAUSWERT",
        .Bezeichnung = "Auswertung Personalkäufe auf Rechnung",
        .Beschreibung = "Die Anzeige der Personalkäufe auf Rechnung. Hier können Sie sich einen Überblick über Mandanten, Filialen oder einzelne Mitarbeiter verschaffen und die Daten auf Richtigkeit prüfen, bevor Sie diese exportieren.",
        .Schlagworte = "Personalkäufe, Personalkreditkäufe, Rechnung",
        .AuswertungsRecht = 443,
    });
    return &k;
}

bool TKOV_Quendrix_PersonalkaeufeAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
