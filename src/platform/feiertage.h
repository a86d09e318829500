#pragma once
// German public holidays per federal state (Bundesland): the fixed ones and the movable
// feasts that follow Easter. A branch's state is the column filiale.bundesland.
#include "rdltyco.h"
#include <string>
#include <vector>

struct TFeiertag {
    TDate Datum = 0;
    std::string Name;
    bool operator==(const TFeiertag&) const = default;
};

// Easter Sunday of a Gregorian year (anonymous Gregorian algorithm).
TDate Ostersonntag(int AJahr);

// The 16 state codes: BW, BY, BE, BB, HB, HH, HE, MV, NI, NW, RP, SL, SN, ST, SH, TH.
const std::vector<std::string>& Bundeslaender();
bool IstBundesland(const std::string& ACode);

// The public holidays of a year in a state, ascending by day (two holidays on one day,
// e.g. 1 May and Ascension in 2008, are two entries, the fixed one first). An empty or
// unknown code has none. Easter and Whit Sunday count in every state (shops are closed
// on Sundays anyway); the Assumption (15 August) counts in SL only, not in the Catholic
// communities of BY. One-off holidays of a single year (Berlin's 8 May 2020 and 2025) are
// included.
std::vector<TFeiertag> GesetzlicheFeiertage(int AJahr, const std::string& ABundesland);

// Whether ADatum (its day) is a public holiday in the state; AName gets the name of the
// first holiday of that day.
bool IstGesetzlicherFeiertag(TDate ADatum, const std::string& ABundesland, std::string* AName = nullptr);
