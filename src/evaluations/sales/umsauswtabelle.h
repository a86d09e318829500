#pragma once
// The sales evaluation's table without any window: its columns, and every number of a
// row from the figures of a day beside its prior years. The engine is reached through
// one call per branch and day (TKOV_UmsAusw_UmsatzQuelle), so all of this runs on
// figures made by hand as well.
#include "suitetabellen.h"
#include "umsatzauswerttyco.h"
#include "umsausw_tyco.h"
#include "vrlist.h"

#include <functional>
#include <string>
#include <vector>

using TKOV_UmsatzDatenMitVorjahre_UmsAusw =
    TKOV_UmsatzDatenMitVorjahre<TKOV_Umsatzdaten_UmsAusw, TKOV_UmsDataOperator_UmsAusw>;

// One question to the engine: a branch, a day and how its comparison days are chosen.
struct TKOV_UmsAusw_Tagesabfrage {
    TIntPair Mandant;
    TIntPair OrgeID;
    int AnzahlVorjahre = 0;
    TDate Datum = 0;
    uint8_t WahlmethodeVergleichstag = 1;
    bool LeereUmsaetzeIgnorieren = true;
};
// Fills AErgebnis (new and empty) with the day, its average and its prior years.
using TKOV_UmsAusw_UmsatzQuelle =
    std::function<void(const TKOV_UmsAusw_Tagesabfrage& AAbfrage, TKOV_UmsatzDatenMitVorjahre_UmsAusw& AErgebnis)>;

// Everything the fill reads besides the selection.
struct TKOV_UmsAusw_Quellen {
    std::vector<TFiliale> Filialen; // in the branch table's order
    std::function<std::string(const TIntPair& AMandant)> MandantName;
    TKOV_UmsAusw_UmsatzQuelle Umsatz;
    bool LeereUmsaetzeIgnorieren = true; // the state of "Jahre ohne Umsätze bei D. ignorieren"
    std::function<void(const std::string& ADetail)> Fortschritt; // may be empty
    // Group rows add up amounts in the house currency: a branch in another currency needs
    // the rate of each of its days (raising EWaehrungsFehler when there is none).
    std::string Hauswaehrung = "EUR";
    std::function<double(const std::string& AWaehrung, TDate ADatum)> Kurs;
};

// --- layout -----------------------------------------------------------------------------------
// Column of a block column in the day's own block.
inline int GetColIDxLaufendesJahr(int ARepSpalte) { return CKOV_UmsatzTree_AnzahlMainColumns + ARepSpalte; }
// Start of the block of prior year k (0 one year back).
int BlockstartVorjahr(bool AMitDurchschnitt, int AVorjahr);
// Number of repeated blocks of a list.
int AnzahlBloecke(const TVRList& AListe);

void RepSpaltenEinfuegen(TVRList& AListe, const std::string& APrefix, bool ADifferenzSichtbar);
// Clears rows and columns, then the main columns and the blocks of the selection.
void VRListeErzeugen(TVRList& AListe, const TKOV_UmsatzAuswert_Settings& ASettings);

// --- numbers -----------------------------------------------------------------------------------
// S0..S4 over the groups of the included origins (groups B and E add figures 0 to 2 only).
struct TKOV_UmsAusw_Summen {
    double S[5] = {};
};
TKOV_UmsAusw_Summen Umsatzdaten_2_Summen(const TKOV_Umsatzdaten_UmsAusw& AUmsatz, TKOV_UmsAusw_Herkuenfte AHerkunft);
// Gross sales for differences: figures 2 and 4 of every included group.
double Umsatzdaten_2_VKBrutto(const TKOV_Umsatzdaten_UmsAusw& AUmsatz, TKOV_UmsAusw_Herkuenfte AHerkunft);
double BerechneHandelsspanneAbsolut(double ANetto, double AEK);
double BerechneHandelsspanneNettoInProzent(double ANetto, double AEK, double ABrutto);
double BerechneDifferenzAbsolut(double AReal, double AVergleich);
double BerechneDifferenzProzent(double AReal, double AVergleich);

void Datum_2_VRArray(TDate ADatum, TVRArray& AVRArray);
void Umsatzdaten_2_VRArray(const TKOV_Umsatzdaten_UmsAusw& AUmsatz, TKOV_UmsAusw_Herkuenfte AHerkunft,
                           TVRArray& AVRArray, int ABlockstart);
void Differenzdaten_2_VRArray(const TKOV_Umsatzdaten_UmsAusw& AReal, const TKOV_Umsatzdaten_UmsAusw& AVergleich,
                              TKOV_UmsAusw_Herkuenfte AHerkunft, TVRArray& AVRArray, int ABlockstart);
void Vergleichstag_2_VrArray(const TArray<TDate>& AVergleichstage, TVRArray& AVRArray, int ABlockstart);

// Whether a day lets its branch be shown under the branch choice (0 always, 1 any sales
// beside the day, 2 sales on the day itself). A failure counts as not passed.
bool IstFilialeEinzublenden(const TKOV_UmsatzDatenMitVorjahre_UmsAusw& AUmsatz, uint8_t AFilialauswahl);
// Order of "nr - name" cells by the number in front of the first " - " (0 when none).
int FilialeSortieren(const TVRItem& A, const TVRItem& B);
// The branch cell as the display code says.
void Filiale_2_VRArray(const TFiliale& AFiliale, uint8_t AAnzeigeFilialen, TVRArray& AVRArray);

// One row per shown branch and day into AListe (columns already built); a leaf row keeps
// the amounts in its branch's currency and names it. A failure (also a missing rate of a
// branch's day) stops the fill and gives false; the rows added so far stay.
bool TabelleFuellen(TVRList& AListe, TVRArray& AVRArray, const TKOV_UmsatzAuswert_Settings& ASettings,
                    const TKOV_UmsAusw_Quellen& AQuellen);

// --- group rows ---------------------------------------------------------------------------------
// Whether a leaf row of the tree keeps its amounts in another currency than AHauswaehrung.
bool HatFremdwaehrung(const TVRList& AListe, const std::string& AHauswaehrung);
// The summed columns of the group rows anew, each leaf's amounts converted into the house
// currency at the rate of its day (the prior years' and the average's too: a comparison at
// one rate shows the business, not the exchange rate); group rows name the house currency.
void GruppensummenInHauswaehrung(TVRList& AListe, const std::string& AHauswaehrung,
                                 const std::function<double(const std::string&, TDate)>& AKurs);
// Margins and differences of the group rows from their summed columns, members first.
void SpanneUndDiffZuLJ_Setzen(TVRList& AListe);
