#pragma once
// What the result windows share beyond the list itself: grouping options, group
// captions and CSV lines. No window code, so all of it is testable headless.
#include "vrlist.h"

#include <functional>
#include <string>

// --- grouping options ---------------------------------------------------------
// An option as column indices, outermost level first.
using TVRGruppierOption = TArray<int32_t>;
bool GruppierSpaltenEqual(const TVRGruppierOption& A, const TVRGruppierOption& B);

inline constexpr const char* CKeineGruppierung = "Keine";

// The grouping column names of a menu caption such as "&Filiale | Verkäufer":
// blanks and "&" removed, trimmed, split at "|". "Keine" gives no names.
TArray<std::string> GruppierspaltenAusMenuText(const std::string& ACaption);
// Index of the option whose text without blanks equals the cleaned caption, else -1.
int32_t OptionstextIndex(const TArray<std::string>& AOptionen, const std::string& ACaption);
// Column index by caption, letter case ignored (umlauts included); -1 when none.
int32_t GetSpaltenOrd4String(const TVRList& AList, const std::string& ACaption);
// Columns of names, -1 for a name that matches no caption.
TVRGruppierOption GruppierspaltenZuIndizes(const TVRList& AList, const TArray<std::string>& ANamen);

// --- group captions -------------------------------------------------------------
// Writes into column 0 of every group row the shown value of the grouping column of
// its depth, read from its first member. Levels with column -1 are skipped. A failure is
// registered under "BezeichnungGruppenkopfSetzen" and ends only the level it happened in.
void BezeichnungGruppenkopfSetzen(TVRList& AList, const TVRGruppierOption& AGruppierspalten, int32_t ATiefe = 0);

// --- CSV -----------------------------------------------------------------------------
// Visible columns in column order; fields quoted when they hold the separator, a
// quote or a line break. Lines carry no line end.
std::string CSVFeld(const std::string& AText, char ATrenner);
std::string Header2String(const TVRList& AList, char ATrenner);
// The rows of one tree depth: 0 the top level, 1 the next, ...; -1 the leaf rows.
TArray<std::string> VRList2CSVZeilen(const TVRList& AList, int32_t ALevel, char ATrenner);

enum class TCSVKodierung { Windows1252, Utf8 };
// The Windows-1252 byte of a code point, 0 when the code page lacks it (and for 0 itself).
char Windows1252Zeichen(char32_t ACodepunkt);
// UTF-8 into Windows-1252; a character it lacks becomes AErsatz's bytes (already
// Windows-1252), without AErsatz "?".
std::string Utf8_2_Windows1252(const std::string& AText,
                               const std::function<std::string(char32_t ACodepunkt)>& AErsatz = nullptr);
// Header and lines, each ending in CR LF, in the wanted encoding.
std::string VRList2CSV(const TVRList& AList, int32_t ALevel, char ATrenner,
                       TCSVKodierung AKodierung = TCSVKodierung::Windows1252);
// False when the file cannot be written.
bool VRList2CSVDatei(const std::string& ADateiname, const TVRList& AList, int32_t ALevel, char ATrenner,
                     TCSVKodierung AKodierung = TCSVKodierung::Windows1252);
