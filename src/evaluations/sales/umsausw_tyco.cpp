#include "umsausw_tyco.h"

#include <algorithm>

const char* const CKOV_UmsatzTree_MainColumns_2_Bezeichung[CKOV_UmsatzTree_AnzahlMainColumns] = {
    "Bezeichnung", "Mandant-ID", "Mandant", "Währung", "Filiale",
    "Datum",       "Kalenderwoche", "Monat", "Quartal", "Wochentag",
};
const TVRValueType CKOV_UmsatzTree_MainColumns_2_VRType[CKOV_UmsatzTree_AnzahlMainColumns] = {
    TVRValueType::vrvtString, TVRValueType::vrvtIntPair, TVRValueType::vrvtString, TVRValueType::vrvtString,
    TVRValueType::vrvtString, TVRValueType::vrvtDate,    TVRValueType::vrvtDate,   TVRValueType::vrvtDate,
    TVRValueType::vrvtDate,   TVRValueType::vrvtDate,
};
// The period columns only serve as grouping levels; the day itself is shown.
const bool CKOV_UmsatzTree_MainColumns_2_Visible[CKOV_UmsatzTree_AnzahlMainColumns] = {
    true, false, true, true, true, true, false, false, false, false,
};

const char* const CKOV_UmsatzTree_RepColumns_2_Bezeichung[CKOV_UmsatzTree_AnzahlRepColumns] = {
    "Umsatz brutto", "Brutto Artikel",   "Brutto Sonstiges", "Netto Artikel", "Netto Sonstiges", "Wareneinsatz",
    "Handelsspanne", "Handelsspanne %", "Differenz",        "Differenz %",   "Vergleichstage",
};
const TVRValueType CKOV_UmsatzTree_RepColumns_2_VRType[CKOV_UmsatzTree_AnzahlRepColumns] = {
    TVRValueType::vrvtFloat, TVRValueType::vrvtFloat, TVRValueType::vrvtFloat, TVRValueType::vrvtFloat,
    TVRValueType::vrvtFloat, TVRValueType::vrvtFloat, TVRValueType::vrvtFloat, TVRValueType::vrvtFloat,
    TVRValueType::vrvtFloat, TVRValueType::vrvtFloat, TVRValueType::vrvtString,
};
// The parts of the sales value stay in the data (group margins need them) but out of sight.
const bool CKOV_UmsatzTree_RepColumns_2_Visible[CKOV_UmsatzTree_AnzahlRepColumns] = {
    true, false, false, false, false, true, true, true, true, true, false,
};
const uint32_t CKOV_Stdktoliste_Spalten_2_DefaultBackgroundfarbe[CKOV_UmsatzTree_AnzahlRepColumns] = {
    0xFFF8DC, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xEAF6EA, 0xEAF6EA, 0xE8F0FA, 0xE8F0FA, 0xFFFFFF,
};

const char* const CKOV_UmsAuswFilialauswahl_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege] = {
    "Alle Filialen der Mandanten",
    "Filialen mit Umsatz im Zeitraum oder in den Vorjahren",
    "Nur Filialen mit Umsatz im Zeitraum",
};
const char* const CKOV_UmsAuswFilialauswahl_2_Druckbemerkung[CKOV_UmsAusw_AnzahlEintraege] = {
    "Alle Filialen der gewählten Mandanten, auch ohne Umsatz",
    "Filialen mit Umsatz im Zeitraum oder in einem der Vorjahre",
    "Nur Filialen mit Umsatz im gewählten Zeitraum",
};
const char* const CKOV_UmsAusw_WahlVergleichsdatum_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege] = {
    "Gleiches Datum",
    "Gleicher Wochentag",
    "Gleicher Wochentag mit Feiertagen",
};
const char* const CKOV_UmsAusw_WahlVergleichsdatum_2_Druckbemerkung[CKOV_UmsAusw_AnzahlEintraege] = {
    "Verglichen wird mit demselben Kalenderdatum der Vorjahre",
    "Verglichen wird mit demselben Wochentag derselben Kalenderwoche der Vorjahre",
    "Verglichen wird mit demselben Wochentag der Vorjahre, Feiertage mit demselben Feiertag",
};
const char* const CKOV_UmsAusw_UmsHerkunft_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege] = {
    "Stationär (Kassen)",
    "Online (Verkäufe und Retouren)",
    "Korrekturen und sonstige Buchungen",
};
const char* const CKOV_UmsAusw_AnzeigeFilialen_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege] = {
    "Nummer",
    "Name",
    "Nummer - Name",
};

std::string UmsAuswTabellenText(const char* const ATabelle[CKOV_UmsAusw_AnzahlEintraege], int ACode) {
    return ACode >= 0 && ACode < CKOV_UmsAusw_AnzahlEintraege ? ATabelle[ACode] : "";
}

TArray<TVRGruppierOption> GetGruppierungsmoeglichkeiten() {
    return {
        {umcDatum, umcMandant},
        {umcDatum},
        {umcDatum, umcFiliale},
        {umcMandant},
        {umcMandant, umcDatum},
        {umcMandant, umcFiliale},
        {umcMandant, umcFiliale, umcDatum},
        {umcFiliale},
        {umcFiliale, umcDatum},
        {umcFiliale, umcKalenderwoche},
        {umcFiliale, umcMonat},
        {umcKalenderwoche},
        {umcKalenderwoche, umcMandant},
        {umcKalenderwoche, umcFiliale},
        {umcMonat},
        {umcMonat, umcMandant},
        {umcMonat, umcFiliale},
        {umcQuartal},
        {umcQuartal, umcMandant},
        {umcQuartal, umcFiliale},
        {umcQuartal, umcMonat, umcFiliale},
        {umcWochentag},
        {umcWochentag, umcFiliale},
        {umcMandant, umcMonat, umcFiliale},
    };
}

std::string UmsatzTree_GruppierSpalten_2_BeschreibenderText(const TVRGruppierOption& AGruppierspalten) {
    std::string r;
    for (int32_t s : AGruppierspalten) {
        if (s < 0 || s >= CKOV_UmsatzTree_AnzahlMainColumns) continue;
        if (!r.empty()) r += " / ";
        r += CKOV_UmsatzTree_MainColumns_2_Bezeichung[s];
    }
    return r;
}

bool IstGruppierSpalte(int32_t ASpalte, const TVRGruppierOption& AGruppierspalten) {
    return std::find(AGruppierspalten.begin(), AGruppierspalten.end(), ASpalte) != AGruppierspalten.end();
}
