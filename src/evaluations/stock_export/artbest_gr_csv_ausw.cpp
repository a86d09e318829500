#include "artbest_gr_csv_ausw.h"

TKOV_Quendrix_Auswertung_Class TKOV_ArtBest_CSV_Export::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_ArtBest_CSV_Export>, {
        .Kurzname = "ARTBESTCSVEXP",
        .Bezeichnung = "Artikelbestandsexport",
        .Beschreibung = "Exportiert eine Artikelselektion in einem festen CSV-Format für den Jahresabschluss",
        .Schlagworte = "Jahresabschluss",
        .AuswertungsRecht = 0,
        .ActiveOnTypes = TRTypen{1, 2, 4, 7},
    });
    return &k;
}

// The export keeps its selection objects for the whole run, so they are made here
// rather than in Execute; Resources_Destroy must cope with any that are missing.
void TKOV_ArtBest_CSV_Export::Resources_Create() {}

void TKOV_ArtBest_CSV_Export::Resources_Destroy() {}

bool TKOV_ArtBest_CSV_Export::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
