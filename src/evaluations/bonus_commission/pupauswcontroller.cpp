#include "pupauswcontroller.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_PuPAuswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_PuPAuswertung>, {
        .Kurzname = "PUPAUSWERT",
        .Bezeichnung = "Auswertung Prämien und Provisionen",
        .Beschreibung = "Die Anzeige der Daten, die vom Programm Prämien und Provisionen berechnet wurden. Hier können Sie sich einen Überblick über Mandanten, Filialen oder einzelne Mitarbeiter verschaffen und die Daten auf Richtigkeit prüfen, bevor Sie diese exportieren.",
        .Schlagworte = "Verkaufsprämien, Prämie, Provision, Umsatzprämie, Umsatzprovision",
        .AuswertungsRecht = 443,
    });
    return &k;
}

bool TKOV_Quendrix_PuPAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
