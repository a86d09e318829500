#pragma once
// Periods of days, windows within one day and the list of them a day is cut into
// (opening hours, counting windows of the sales statistics). Times are fractions of a
// day: 0.0 is the midnight at the start, 1.0 the midnight at the end.
#include "rdldatum.h"
#include "rdltyco.h"

#include <string>
#include <vector>

// A period of calendar days, both ends included; the empty period has both ends 0.
struct TKOV_VonBisDatum {
    TDate Von = 0;
    TDate Bis = 0;

    void Init() { *this = {}; }
    static TKOV_VonBisDatum LeererRecord() { return {}; }
    bool IsEmpty() const { return Von == 0 && Bis == 0; }
    // "01.12.2026 - 07.12.2026"
    std::string ToString() const { return DateToStr(Von) + " - " + DateToStr(Bis); }
    bool operator==(const TKOV_VonBisDatum&) const = default;
};

struct TKOV_Tageszeitraum {
    TDateTime Von = 0;
    TDateTime Bis = 0;

    void Clear() { Von = Bis = 0; }
    // Usable: 0 <= Von < Bis <= 1 (a window of no length holds no sale).
    bool KonsistenzCheck() const;
    // Whether ATime (its time of day; a date part is ignored) lies in the window;
    // the flags tell whether Von and Bis themselves count as inside.
    bool IsInRange(TDateTime ATime, bool AVonInklusive, bool ABisInklusive) const;
    bool operator==(const TKOV_Tageszeitraum&) const = default;
};

class TKOV_Tagesabschnitte {
public:
    TDate Datum = 0;

    int Count() const { return int(FItems.size()); }
    // Raise EListError for an index outside 0..Count-1.
    const TKOV_Tageszeitraum& Items(int AIndex) const;
    const TKOV_Tageszeitraum& operator[](int AIndex) const { return Items(AIndex); }
    void Add(const TKOV_Tageszeitraum& AZeitraum) { FItems.push_back(AZeitraum); }
    void Add(TDateTime AVon, TDateTime ABis) { FItems.push_back({AVon, ABis}); }
    void Clear() { FItems.clear(); }

    // Appends AVon..ABis cut at full hours: 09:30-12:00 gives 09:30-10:00, 10:00-11:00,
    // 11:00-12:00. Nothing for an empty or reversed span.
    void AddAbschnitteStundenweise(TDateTime AVon, TDateTime ABis);
    // Appends AVon..ABis cut into pieces of AMinuten from AVon on; the last piece ends at
    // ABis and may be shorter. AMinuten <= 0 appends the span as one piece.
    void AddAbschnitteFuerVonBisZeitraum(TDateTime AVon, TDateTime ABis, int AMinuten);
    // True when every window passes KonsistenzCheck (and, with AUeberschneidungenPruefen,
    // no window begins before the previous one ends); an empty list passes only with
    // ALeerErlaubt. Raises nothing.
    bool KonsistenzUeberPruefen(bool ALeerErlaubt, bool AUeberschneidungenPruefen) const;

private:
    std::vector<TKOV_Tageszeitraum> FItems;
};
