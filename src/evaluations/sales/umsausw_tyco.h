#pragma once
// Tables and routines of the sales evaluation's window that belong to the suite: column
// captions, value types, visibility and colours, the texts of the selection entries with
// their print remarks, the grouping options and the selection record.
#include "kov_generics_collections.h"
#include "kovvonbisdatum.h"
#include "rdltyco.h"
#include "vrlist.h"
#include "vrlisthelfer.h"

#include <cstdint>
#include <string>

// --- columns ------------------------------------------------------------------------------
inline constexpr int CKOV_UmsatzTree_AnzahlMainColumns = 10;
inline constexpr int CKOV_UmsatzTree_AnzahlRepColumns = 11;

// Main columns by number.
enum TKOV_UmsatzTree_MainColumn : int {
    umcKopf = 0,
    umcMandantID = 1,
    umcMandant = 2,
    umcWaehrung = 3, // the currency of the row's amounts: the branch's on leaf rows, the house currency on group rows
    umcFiliale = 4,
    umcDatum = 5,
    umcKalenderwoche = 6,
    umcMonat = 7,
    umcQuartal = 8,
    umcWochentag = 9,
};
// Columns of a repeated block, relative to its start.
enum TKOV_UmsatzTree_RepColumn : int {
    urcUmsatzBrutto = 0,
    urcBruttoArtikel = 1,  // S2
    urcBruttoSonstige = 2, // S4
    urcNettoArtikel = 3,   // S1
    urcNettoSonstige = 4,  // S3
    urcEK = 5,             // S0
    urcSpanne = 6,
    urcSpanneProzent = 7,
    urcDifferenz = 8,
    urcDifferenzProzent = 9,
    urcVergleichstage = 10,
};

extern const char* const CKOV_UmsatzTree_MainColumns_2_Bezeichung[CKOV_UmsatzTree_AnzahlMainColumns];
extern const TVRValueType CKOV_UmsatzTree_MainColumns_2_VRType[CKOV_UmsatzTree_AnzahlMainColumns];
extern const bool CKOV_UmsatzTree_MainColumns_2_Visible[CKOV_UmsatzTree_AnzahlMainColumns];
extern const char* const CKOV_UmsatzTree_RepColumns_2_Bezeichung[CKOV_UmsatzTree_AnzahlRepColumns];
extern const TVRValueType CKOV_UmsatzTree_RepColumns_2_VRType[CKOV_UmsatzTree_AnzahlRepColumns];
extern const bool CKOV_UmsatzTree_RepColumns_2_Visible[CKOV_UmsatzTree_AnzahlRepColumns];
extern const uint32_t CKOV_Stdktoliste_Spalten_2_DefaultBackgroundfarbe[CKOV_UmsatzTree_AnzahlRepColumns]; // RGB

// --- selection entries ----------------------------------------------------------------------
inline constexpr int CKOV_UmsAusw_AnzahlEintraege = 3;
// Branch choice: 0 all branches, 1 with sales in the period or a prior year, 2 with sales in the period.
extern const char* const CKOV_UmsAuswFilialauswahl_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege];
extern const char* const CKOV_UmsAuswFilialauswahl_2_Druckbemerkung[CKOV_UmsAusw_AnzahlEintraege];
// Comparison days: 0 same date, 1 same weekday, 2 same weekday with holidays.
extern const char* const CKOV_UmsAusw_WahlVergleichsdatum_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege];
extern const char* const CKOV_UmsAusw_WahlVergleichsdatum_2_Druckbemerkung[CKOV_UmsAusw_AnzahlEintraege];
// Origins 0 to 2 (figure groups A; C and D; B and E).
extern const char* const CKOV_UmsAusw_UmsHerkunft_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege];
// Branch display: 0 number, 1 name, 2 number " - " name.
extern const char* const CKOV_UmsAusw_AnzeigeFilialen_2_Beschreibung[CKOV_UmsAusw_AnzahlEintraege];

// A table entry by code; an empty text for a code outside the table.
std::string UmsAuswTabellenText(const char* const ATabelle[CKOV_UmsAusw_AnzahlEintraege], int ACode);

// --- grouping options --------------------------------------------------------------------------
// The options in the order of the combo box and the pop-up; (5, 2) is the default.
TArray<TVRGruppierOption> GetGruppierungsmoeglichkeiten();
// "Datum / Mandant": the main-column captions of the columns, outermost first.
std::string UmsatzTree_GruppierSpalten_2_BeschreibenderText(const TVRGruppierOption& AGruppierspalten);
bool IstGruppierSpalte(int32_t ASpalte, const TVRGruppierOption& AGruppierspalten);
// GruppierSpaltenEqual comes from vrlisthelfer.h.

// --- the selection ----------------------------------------------------------------------------
// Origins as a set of codes 0 to 7, one bit each.
using TKOV_UmsAusw_Herkuenfte = uint8_t;
inline bool HerkunftEnthalten(TKOV_UmsAusw_Herkuenfte AMenge, int ACode) {
    return ACode >= 0 && ACode <= 7 && (AMenge >> ACode) & 1u;
}
inline void HerkunftAufnehmen(TKOV_UmsAusw_Herkuenfte& AMenge, int ACode) {
    if (ACode >= 0 && ACode <= 7) AMenge = TKOV_UmsAusw_Herkuenfte(AMenge | (1u << ACode));
}

struct TKOV_UmsatzAuswert_Settings {
    TArray<TIntPair> Mandanten;
    int32_t AnzahlVorjahre = 0; // 0 to 9
    bool DurchschnittAnzeigen = false;
    TKOV_VonBisDatum Zeitraum;
    uint8_t Filialauswahl = 0;            // 0 to 2
    uint8_t WahlmethodeVergleichstag = 1; // 0 same date, 1 same weekday, 2 with holidays
    TKOV_UmsAusw_Herkuenfte Herkunft = 0;
    bool NullumsaetzeIgnorieren = true;
    uint8_t AnzeigeFilialen = 0; // 0 number, 1 name, 2 number " - " name

    void Init() { *this = {}; }
    static TKOV_UmsatzAuswert_Settings LeererRecord() { return {}; }
};
