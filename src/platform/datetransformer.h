#pragma once
// Date transformers: for a day, the comparable days of a target year (the sales
// statistics set a day beside them). docs/benutzerhandbuch.md ("Vergleichstage") states
// the rules for the users.
#include "betriebskalender.h"
#include "rdltyco.h"
#include <memory>
#include <vector>

// ISO 8601 weeks: week 1 holds the year's first Thursday, weeks start on Monday.
struct TIsoWoche {
    int Jahr = 0;   // the week's year (may differ from the day's calendar year)
    int Woche = 0;  // 1..53
    int Tag = 0;    // 1 = Monday ... 7 = Sunday
};
TIsoWoche IsoWocheVon(TDate ADatum);
int IsoWochenImJahr(int AJahr);              // 52 or 53
TDate IsoWocheZuDatum(const TIsoWoche& AWoche); // raises EArgumentOutOfRangeException for a week the year lacks

// The same calendar day in AJahr; 29 February becomes 28 February in a year without it.
TDate GleichesDatumImJahr(TDate ADatum, int AJahr);

class TKOV_DatumsTransformator_Base {
public:
    virtual ~TKOV_DatumsTransformator_Base() = default;
    int Zieljahr = 0;
    // Replaces Ergebnis() by the days of Zieljahr comparable with ADatum (time part
    // ignored). Raises EArgumentOutOfRangeException for a target year outside 1..9998.
    void PassendeDatumswerteFinden(TDate ADatum);
    const std::vector<TDate>& Ergebnis() const { return FErgebnis; }

protected:
    virtual std::vector<TDate> Finden(TDate ADatum) = 0;

private:
    std::vector<TDate> FErgebnis;
};

// The day with the same ISO week number and weekday, in the ISO year shifted by as many
// years as the target year lies from the day's year (so a day of week 1 dated in late
// December stays in week 1); week 53 in a target year of 52 weeks is the week after week 52.
// The result always lies in the target year: a day before it becomes the first same weekday
// of the target year; a day after it the same calendar date, because the same weekday one
// week earlier already stands for the week before.
class TKOV_DatumsTransformatorVergleichstagVorjahre : public TKOV_DatumsTransformator_Base {
protected:
    std::vector<TDate> Finden(TDate ADatum) override;
};

// As the weekday rule, with the calendar of one branch: Christmas Eve and New Year's Eve are
// compared with the same day of the target year; a public holiday or named closing day of
// the branch with the day of the same name in the target year nearest to it in the year
// (when it has one); any other day with the weekday-comparable day unless that is a special
// day (holiday, closed, 24 or 31 December), then with the day one week earlier, else one
// week later (both within the target year), else with the same calendar date when that is
// no special day, else it stays.
class TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge : public TKOV_DatumsTransformatorVergleichstagVorjahre {
public:
    TIntPair Mandant;
    TIntPair OrgeID;
    // The calendar it reads (its cache lives as long as this object).
    TBetriebskalenderMani& Kalender() { return FKalender; }

protected:
    std::vector<TDate> Finden(TDate ADatum) override;

private:
    bool IstBesondererTag(TDate ADatum);
    TBetriebskalenderMani FKalender;
};
