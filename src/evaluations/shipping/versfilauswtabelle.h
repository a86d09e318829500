#pragma once
// The shipping-branch evaluation's table without any window: its column table, the
// grouping options, the rows of a branch's figures per platform and kind, and the group
// rows in the house currency. The engine is reached through one call per branch and
// period (or day, for a branch in another currency), so all of this runs on figures made
// by hand as well.
#include "kovvonbisdatum.h"
#include "suitetabellen.h"
#include "umsatzauswerttyco.h"
#include "vrgruppierung.h"
#include "vrlisthelfer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// --- columns ------------------------------------------------------------------------------
// Columns 0 to 8 as the window has always shown them; 9 names the currency of a row's
// amounts (the branch's on leaf rows, the house currency on group rows); 10 to 12 hold
// the amounts in the house currency, hidden, so that grouping adds up converted amounts.
enum TVRSpalte : int32_t {
    spaGruppenKopf = 0,
    spaFiliale = 1,
    spaStationaerHelper = 2,
    spaPlattform = 3,
    spaVkKz = 4,
    spaMenge = 5,
    spaVkBrutto = 6,
    spaVkNetto = 7,
    spaEK = 8,
    spaWaehrung = 9,
    spaVkBruttoHW = 10,
    spaVkNettoHW = 11,
    spaEKHW = 12,
};
inline constexpr int CVersFil_AnzahlSpalten = 13;

struct TVRColumnEig {
    const char* Caption;
    TVRValueType VRType;
    TVRFormatType FormatType;
    bool Visible;
    TVRFunctionType GrupFunc;
    int32_t SortRicht; // 0 ascending, 1 descending
};
extern const TVRColumnEig CVersFil_Spalten[CVersFil_AnzahlSpalten];

// Clears rows and columns, then adds the columns of the table ("%n" for amounts).
void VersFilSpaltenErzeugen(TVRList& AListe);

// --- texts --------------------------------------------------------------------------------
inline constexpr const char* CVersFil_Stationaer = "stationär";
inline constexpr const char* CVersFil_Online = "online";
inline constexpr const char* CVersFil_Verkaeufe = "Verkäufe";
inline constexpr const char* CVersFil_RetourenStornos = "Retouren/Stornos";
inline constexpr const char* CVersFil_UnbekanntePlattform = "unbekannte Plattform";

// --- grouping options ---------------------------------------------------------------------
// The nine options in the order of the combo box and the pop-up; option 0 is the default.
TArray<TVRGruppierOption> VerfuegbareGruppierungen();
// "Filiale - Stat./Online - Plattform": the captions of the option's columns.
std::string Gruppierung_2_String(const TVRGruppierOption& AGruppierung);
bool GruppierungenEqual(const TVRGruppierOption& A, const TVRGruppierOption& B);
bool IstGruppierSpalte(TVRSpalte ASpalte, const TVRGruppierOption& AGruppierung);

// --- the selection and its sources ----------------------------------------------------------
struct TVersFil_Auswahl {
    TKOV_VonBisDatum Zeitraum;
    std::vector<int16_t> Filialen; // in the frame's order
    bool LeereZeilenAusblenden = false;
    bool VerkaeufeAnzeigen = true;
    bool RetourenAnzeigen = true;
};

// A branch's figures of the days AVon..ABis (one day when both are equal).
using TVersFil_UmsatzQuelle =
    std::function<TKOV_Umsatzdaten_Erw_VersFilAusw(const TFiliale& AFiliale, TDate AVon, TDate ABis)>;

struct TVersFil_Quellen {
    std::function<const TFiliale*(int16_t ANr)> Filiale; // nullptr: unknown number
    TVersFil_UmsatzQuelle Umsatz;
    std::vector<std::string> Plattformnamen; // by platform number, entry 0 unused
    // A branch in another currency is asked day by day: each day's amounts are converted
    // at that day's rate (raising EWaehrungsFehler when there is none).
    std::string Hauswaehrung = "EUR";
    std::function<double(const std::string& AWaehrung, TDate ADatum)> Kurs;
    std::function<void(const std::string& ADetail)> Fortschritt; // may be empty
};

// The name of platform p: "stationär" for 0, else its entry in ANamen. A number the
// table does not hold is registered and named "unbekannte Plattform".
std::string Plattform_2_String(int APlattform, const std::vector<std::string>& ANamen);

// One row from a branch's entry (platform, kind), as the boxes allow; false when skipped.
// AHauswaehrung: the entry's amounts in the house currency.
bool AddNewRow(TVRList& AListe, TVRArray& AVRArray, const TVersFil_Auswahl& AAuswahl, int16_t AFiliale,
               const std::string& AWaehrung, const TKOV_VFUmsatzdaten_Erw& AUmsatz,
               const TKOV_VFUmsatzdaten_Erw& AHauswaehrung, int APlattform, int ATyp,
               const std::vector<std::string>& APlattformnamen);

// The rows of every selected branch into AListe (columns built). A failure (also a
// missing rate) stops the fill and raises; the rows added so far stay.
void VersFilTabelleFuellen(TVRList& AListe, TVRArray& AVRArray, const TVersFil_Auswahl& AAuswahl,
                           const TVersFil_Quellen& AQuellen);

// Group rows show the sums of the hidden house-currency columns and name the house currency.
void GruppensummenInHauswaehrung(TVRList& AListe, const std::string& AHauswaehrung);
