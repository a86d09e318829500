#pragma once
// The business calendar of the branches: opening hours per weekday (betriebszeit),
// exceptions for single days (betriebszeit_ausnahme), the branches' own closing days
// (feiertag) and the public holidays of their federal state (filiale.bundesland).
// Reads the program's database. What it read is kept per branch and year for the life of
// the object; the tills' programs may change the tables, so a new object (or Neuladen)
// reads them afresh.
#include "kovdateutils.h"
#include "rdltyco.h"
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

class TBetriebskalenderMani {
public:
    // The opening windows of the branch (client and identifier) on ADatum, in order.
    // An exception of that day replaces the weekday's windows; without one a public
    // holiday of the branch's state or a closing day in feiertag closes the branch.
    // AZeiten is cleared and gets Datum = ADatum (time part removed). False when the
    // day has no opening hours (also for an unknown branch). AAusnahme: an exception, a
    // holiday or a closing day decided, not the weekday's hours.
    bool BetriebszeitenFuerDatum_Laden(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum,
                                       TKOV_Tagesabschnitte& AZeiten, bool& AAusnahme);

    // The name of the public holiday or the closing day (feiertag) of the branch on
    // ADatum, also when an exception opens the branch that day; nullopt on other days.
    std::optional<std::string> FeiertagDerFiliale(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum);
    // Whether the branch is closed on ADatum although its weekday has hours or not: a
    // holiday or closing day that no exception opens, or an exception without windows.
    bool IstSchliesstag(const TIntPair& AMandant, const TIntPair& AOrgeID, TDate ADatum);
    // The day of AJahr that carries the holiday or closing-day name AName for the branch,
    // of several the one nearest to ABezugstag by day of the year (the earlier on a tie);
    // nullopt when there is none.
    std::optional<TDate> FeiertagImJahr(const TIntPair& AMandant, const TIntPair& AOrgeID, int AJahr,
                                        const std::string& AName, TDate ABezugstag);

    // Forgets everything read, so that the next question reads the tables again.
    void Neuladen() { FFilialen.clear(); }

private:
    struct TJahr {
        std::map<int64_t, std::string> Feiertage;                       // day -> name (holidays, closing days)
        std::map<int64_t, std::vector<TKOV_Tageszeitraum>> Ausnahmen;   // day -> windows (empty: closed)
    };
    struct TFilialKalender {
        bool Bekannt = false;
        int Nr = 0;
        std::string Bundesland;
        std::array<std::vector<TKOV_Tageszeitraum>, 8> Woche; // by ISO weekday 1..7
        std::map<int, TJahr> Jahre;
    };
    TFilialKalender& Filiale(const TIntPair& AMandant, const TIntPair& AOrgeID);
    const TJahr& Jahr(TFilialKalender& AFiliale, int AJahr);
    const TJahr* JahrZuTag(const TIntPair& AMandant, const TIntPair& AOrgeID, int64_t ATag, TFilialKalender*& AFiliale);

    std::map<std::pair<TIntPair, TIntPair>, TFilialKalender> FFilialen;
};
