#pragma once
// The ignore-before dates of the sales statistics: per branch the day before which its
// sales do not count, kept in the global value "IGNOREUMSAETZEVOR" of the settings mask
// "PEP" / "UMSAETZE" as "FILKNR=<n>;IGNOREVOR=<dd.mm.yyyy>" entries joined with "|".
#include "rdltyco.h"
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline constexpr const char* CIgnorUmsaetzeBereich = "PEP";
inline constexpr const char* CIgnorUmsaetzeSektion = "UMSAETZE";
inline constexpr const char* CIgnorUmsaetzeSchluessel = "IGNOREUMSAETZEVOR";
// The window message that tells other engine objects the setting changed; its first
// parameter is the sender's handle, so that the sender can ignore its own broadcast.
inline constexpr const char* CIgnorUmsaetzeNachricht = "RefreshIgnorUmsaetze";

// Branch number to day, in the order of insertion.
class TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum {
public:
    using TEintrag = std::pair<int16_t, TDate>;
    // Raises EListError when the branch is already there.
    void Add(int16_t AFilKnr, TDate ADatum);
    void AddOrSetValue(int16_t AFilKnr, TDate ADatum);
    bool Remove(int16_t AFilKnr);
    bool TryGetValue(int16_t AFilKnr, TDate& ADatum) const;
    bool ContainsKey(int16_t AFilKnr) const;
    int Count() const { return int(FEintraege.size()); }
    auto begin() const { return FEintraege.begin(); }
    auto end() const { return FEintraege.end(); }
    bool operator==(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum&) const = default;

private:
    std::vector<TEintrag> FEintraege; // few branches: a search is cheaper than an index
};

// The delimited-text rule of the setting. Writing: items joined with ADelimiter, an item
// with a blank, a control character, a double quote or the delimiter in double quotes
// (inner quotes doubled). Reading: blanks and control characters outside quotes also
// separate items; an empty text has no items.
std::string TrennTextSchreiben(const std::vector<std::string>& AElemente, char ADelimiter);
std::vector<std::string> TrennTextLesen(const std::string& AText, char ADelimiter);

// Adds the entries of the setting's text to ADict. A FILKNR that is no number reads as 0,
// an IGNOREVOR that is no date as 0; an entry counts only when both are above 0. A branch
// listed twice raises EListError, after the entries before it were added.
void IgnorUmsaetzeLesen(const std::string& ATextDerEinstellung,
                        TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict);
// One entry per branch in the dictionary's order, the day in the short date format.
std::string IgnorUmsaetzeSchreiben(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict);

// Through the settings mask (the program object's database).
void IgnorUmsaetzeEinstellungLesen(TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict);
void IgnorUmsaetzeEinstellungSchreiben(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict);

// Broadcasts CIgnorUmsaetzeNachricht with the sender's handle and 0.
void IgnorUmsaetzeAenderungMelden(uint64_t AEigenesHandle);

// True when the branch has a day and ADatum lies before it (days compared, not times).
bool IgnorUmsaetzeVorDatum(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict, int16_t AFilKnr,
                           TDate ADatum);
