#pragma once
// What every result window does with its grid: grouping by levels, the grouping pop-up
// menu, expanding to a level, the column switch around an export and the CSV exports.
// The window keeps its own state (active grouping, column table); these only act on it.
// Failures propagate to the window, which registers them under its own trace name;
// painting is resumed and columns restored on every path.
#include "vrgruppierung.h"
#include "vrlisthelfer.h"
#include "vtrdlvrlist.h"

#include <functional>
#include <string>
#include <vector>

class QMenu;
class QWidget;
class TRDLWaehrungsrechner;

// --- fixed columns --------------------------------------------------------------------
// A column of the window's fixed set with its visibility from the column table.
struct TFesteSpalte {
    int32_t Spalte = 0;
    bool Sichtbar = true;
};
using TFesteSpalten = std::vector<TFesteSpalte>;

// --- grouping with a level list ---------------------------------------------------------
// Called last, still inside the painting suspension, with the grouping columns in effect.
using TGruppierAbschluss = std::function<void(TVTRDLVRList& AGrid, const TVRGruppierOption& AGruppierspalten)>;

// Regroups the grid's list from its flat rows: one level per column (entries -1 are
// skipped), direction per level (missing ones ascending), the same aggregation list for
// all levels, group captions in column 0. No column gives the flat list. Fixed columns
// get their table visibility back before the grouping columns are hidden, so the columns
// of an earlier grouping reappear. Returns the grouping columns in effect.
TVRGruppierOption GruppierenNachEbenen(TVTRDLVRList& AGrid, const TVRGruppierOption& ASpalten,
                                       const TArray<int32_t>& ARichtungen, const TVRFunctionNFormatList& AFunktionen,
                                       const TFesteSpalten& AFesteSpalten = {},
                                       const TGruppierAbschluss& AAbschluss = {});
// The same with column captions (letter case ignored), all levels ascending. An empty list,
// or "Keine" as first name, gives the flat list; a name matching no caption is skipped.
TVRGruppierOption GruppierenNachSpaltennamen(TVTRDLVRList& AGrid, const TArray<std::string>& ASpaltennamen,
                                             const TVRFunctionNFormatList& AFunktionen,
                                             const TFesteSpalten& AFesteSpalten = {},
                                             const TGruppierAbschluss& AAbschluss = {});
// From a menu caption such as "&Filiale | Verkäufer": blanks and "&" removed, split at "|",
// then grouped by those names. Returns the names (the window's active grouping).
TArray<std::string> GruppierspaltenEinstellen(TVTRDLVRList& AGrid, const std::string& AMenuText,
                                              const TVRFunctionNFormatList& AFunktionen,
                                              const TFesteSpalten& AFesteSpalten = {},
                                              const TGruppierAbschluss& AAbschluss = {});

// --- group sums in the house currency ----------------------------------------------------
// A group row of a grouped list: its row, its depth (0 the top level) and its first leaf row
// (nullptr for a group without leaves).
using TGruppenzeileProc = std::function<void(TVRList& AListe, int32_t AZeile, int ATiefe, const TVRRow* AErstes)>;

// Sets the amount columns of every group row to the sum of its leaves in the house currency,
// each leaf amount converted at the rate of its day (ADatumsspalte) from its currency
// (AWaehrungsspalte, empty: the house currency), and the group's currency to the house
// currency; ACentRunden rounds each group's sum to the cent. AGruppenzeile then completes
// each group row. Raises what the calculator raises for a missing rate.
void GruppensummenInHauswaehrung(TVRList& AListe, TRDLWaehrungsrechner& ARechner,
                                 const std::vector<int32_t>& ABetragsspalten, int32_t AWaehrungsspalte,
                                 int32_t ADatumsspalte, bool ACentRunden,
                                 const TGruppenzeileProc& AGruppenzeile = nullptr);

// --- pop-up menu ------------------------------------------------------------------------
inline constexpr const char* CGruppierenNach = "Gruppieren nach";
inline constexpr const char* CBaumAusklappenLevel = "Baum ausklappen - Level ";
inline constexpr int CAusklappLevels = 4;

// Appends "Gruppieren nach" (no action), a separator and one item per option text; a click
// hands the item's caption to AOnGruppierung.
void GruppierungInMenuHaengen(QMenu& AMenu, const TArray<std::string>& AOptionstexte,
                              const std::function<void(const std::string& ACaption)>& AOnGruppierung);
// A new menu owned by AEltern with the items above.
QMenu* GruppierMenuErzeugen(QWidget* AEltern, const TArray<std::string>& AOptionstexte,
                            const std::function<void(const std::string& ACaption)>& AOnGruppierung);

// A grouping option of the option-array form.
struct TGruppierOptionEintrag {
    std::string Beschreibung;
    TVRGruppierOption Spalten; // outermost first
};
// A new menu owned by AEltern: "Gruppieren nach", separator, one item per option (its data
// the option's index, its property "Gruppierspalten" the columns), separator, then
// "Baum ausklappen - Level 1" to "4" acting on AGrid. A click on an option hands its index
// to AOnOption (the window selects it in its combo box).
QMenu* GruppierMenuMitOptionenErzeugen(QWidget* AEltern, const std::vector<TGruppierOptionEintrag>& AOptionen,
                                       TVTRDLVRList& AGrid, const std::function<void(int32_t AIndex)>& AOnOption);

// Rows of the top ALevel levels visible (1: only the top level).
void AufLevelAusklappen(TVTRDLVRList& AGrid, int ALevel);

// --- guards -----------------------------------------------------------------------------
inline constexpr const char* CSelektionStarten = "Bitte starten Sie zunächst die Selektion.";
inline constexpr const char* CAuswertungDurchfuehren = "Bitte führen Sie zunächst eine Auswertung durch.";

// A plain text as the suite shows it (catalogue "STANDARD" 994).
void TextMelden(const std::string& AText);
// True when the grid's list has rows; otherwise shows AText and returns false.
bool ListeHatZeilen(const TVTRDLVRList& AGrid, const std::string& AText = CSelektionStarten);

// --- column visibility around an export ------------------------------------------------
// Arranges the fixed columns so that every row written at ALevel describes itself: for
// leaf rows (ALevel -1 or below the last grouping level) the table visibility without
// column 0; for the group rows of depth k column 0 under the caption of the depth-k
// grouping column, beside the grouping columns of the enclosing depths.
void SpaltensichtbarkeitPassendSchalten(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                                        const TVRGruppierOption& AGruppierspalten, int ALevel);
// Table visibility back, then the active grouping columns hidden. Column 0 keeps its caption.
void SpaltenSichtbarkeitWiederherstellen(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                                         const TVRGruppierOption& AGruppierspalten);

// --- CSV export ---------------------------------------------------------------------------
// The grid's own dialog: columns arranged for ALevel, the grid asks for the name and writes;
// then the question to open the file (1107) or the failure (1108). A cancelled dialog shows
// nothing. Returns true when written.
bool CSVExportMitGridDialog(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                            const TVRGruppierOption& AGruppierspalten, int ALevel);
// The same columns and lines into a known file, with ";" and without any question or
// message (an outside request for the window's result). True when written.
bool CSVExportMitSpaltenSchaltung(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                                  const TVRGruppierOption& AGruppierspalten, int ALevel,
                                  const std::string& ADateiname);

// How a chosen name gets its ".csv": replace any extension, or append unless it already
// is ".csv" in any letter case.
enum class TCSVEndungsRegel { Ersetzen, Anhaengen };
std::string CSVDateinameAnpassen(const std::string& AName, TCSVEndungsRegel ARegel);

// The suite's save dialog, then ";"-separated at ALevel. Cancel does nothing; a list without
// rows shows AHinweis instead; a failed write shows 1108. With AErfolgMelden a written file
// is confirmed. Returns true when written.
bool CSVExportMitEigenemDialog(TVTRDLVRList& AGrid, int ALevel, TCSVEndungsRegel ARegel, bool AErfolgMelden,
                               const std::string& AHinweis = CSelektionStarten);

inline constexpr const char* CFilialOrdnerPrompt =
    "Wählen Sie das Verzeichnis, in dem CSV-Dateien für alle Filialen abgelegt werden sollen";

// One file per top-level node (the branch) in a folder the user chooses: the header line and
// one line per child node. ADateiname gives the file name (without folder) for a top-level
// row, ending in "_Fil_<nr>.csv". A branch without children gets no file. Stops at the first
// file that cannot be written (1108). Returns true when all were written.
bool CSVExportJeFiliale(TVTRDLVRList& AGrid, const std::function<std::string(int32_t AZeile)>& ADateiname,
                        const std::string& AHinweis = CSelektionStarten);
