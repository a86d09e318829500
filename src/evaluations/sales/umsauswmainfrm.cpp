#include "umsauswmainfrm.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_Umsatzauswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_Umsatzauswertung>, {
        .Kurzname = "UMSAUSW",
        .Bezeichnung = "Umsatzauswertung",
        .Beschreibung = "Ein Auswertungstool, dass Ihnen die Umsätze Ihres Unternehmens strukturiert nach Filialen, Zeiträumen etc. anzeigt. Das Ganze kann zusätzlich den Umsatzzahlen aus den Vorjahren gegenübergestellt werden.",
        .Schlagworte = "Umsatzstatistiken",
        .AuswertungsRecht = 444,
    });
    return &k;
}

bool TKOV_Quendrix_Umsatzauswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
