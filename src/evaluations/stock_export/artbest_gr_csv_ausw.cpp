#include "artbest_gr_csv_ausw.h"

TKOV_Quendrix_Auswertung_Class TKOV_ArtBest_CSV_Export::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_ArtBest_CSV_Export::TKlasse::Kurzname() const { return "ARTBESTCSVEXP"; }

std::string TKOV_ArtBest_CSV_Export::TKlasse::Bezeichnung() const { return "Artikelbestandsexport"; }

std::string TKOV_ArtBest_CSV_Export::TKlasse::Beschreibung() const {
    return "Exportiert eine Artikelselektion in einem festen CSV-Format für den Jahresabschluss";
}

std::string TKOV_ArtBest_CSV_Export::TKlasse::Schlagworte() const { return "Jahresabschluss"; }

TKOV_WPF_Recht TKOV_ArtBest_CSV_Export::TKlasse::AuswertungsRecht() const { return 0; }

bool TKOV_ArtBest_CSV_Export::TKlasse::Active() const { return TKOV_Quendrix_AuswertungKlasse::Active(); }

TRTypen TKOV_ArtBest_CSV_Export::TKlasse::ActiveOnTypes() const { return {1, 2, 4, 7}; }

// The export keeps its selection objects for the whole run, so they are made here
// rather than in Execute; Resources_Destroy must cope with any that are missing.
void TKOV_ArtBest_CSV_Export::Resources_Create() {}

void TKOV_ArtBest_CSV_Export::Resources_Destroy() {}

bool TKOV_ArtBest_CSV_Export::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
