#pragma once
// The suite's currency calculator: converts amounts of a branch's currency into the
// house currency at the rate valid on their day (table wechselkurs).
#include "exceptions.h"
#include "rdltyco.h"
#include <map>
#include <string>
#include <vector>

class TRDLDatenbank;

// No usable rate for a currency on a day. what() is the German text for the user.
class EWaehrungsFehler : public Exception {
public:
    EWaehrungsFehler(std::string AWaehrung, TDate ADatum, const std::string& AHauswaehrung);
    const char* ClassName() const noexcept override { return "EWaehrungsFehler"; }
    const std::string& Waehrung() const noexcept { return FWaehrung; }
    TDate Datum() const noexcept { return FDatum; }

private:
    std::string FWaehrung;
    TDate FDatum;
};

// Rates of one currency apply from their gueltig_ab to the day before its next row; the
// house currency needs none (always 1). A day before a currency's first row, or a row
// whose rate is 0, negative or not a number, has no rate: the calculator never answers
// 0 or 1:1 for it.
//
// Each currency's rows are read once, on its first question, and answered from memory
// after that: an evaluation asks per branch and day, thousands of times, and its figures
// must all use the same rates. Rates written later are seen by a new calculator object,
// not by this one. The read runs to its end, so it pins no snapshot.
class TRDLWaehrungsrechner {
public:
    // The house currency of the program's installation (RDLProgramm().GetWaehrung()).
    explicit TRDLWaehrungsrechner(TRDLDatenbank& ADb);
    TRDLWaehrungsrechner(TRDLDatenbank& ADb, std::string AHauswaehrung);

    // Currency codes are compared without blanks around them; an empty code is the house
    // currency. ADatum's time part is ignored. A failed read raises EDatenbankFehler.

    // The house-currency amount of one unit of AWaehrung on the day; raises
    // EWaehrungsFehler when there is no rate.
    double Kurs(const std::string& AWaehrung, TDate ADatum);
    // Whether Kurs would answer, without raising for a missing rate.
    bool KursVorhanden(const std::string& AWaehrung, TDate ADatum);
    // ABetrag in the house currency (not rounded); raises EWaehrungsFehler like Kurs.
    double InHauswaehrung(double ABetrag, const std::string& AWaehrung, TDate ADatum);
    const std::string& Hauswaehrung() const { return FHauswaehrung; }

private:
    struct TKurs {
        double Ab;   // first day
        double Wert; // NaN: no usable rate from that day on
    };
    // The rate on the day, or NaN; AWaehrung without blanks around it.
    double Suchen(const std::string& AWaehrung, TDate ADatum);
    const std::vector<TKurs>& Kurse(const std::string& AWaehrung);

    TRDLDatenbank& FDb;
    std::string FHauswaehrung;
    std::map<std::string, std::vector<TKurs>, std::less<>> FKurse; // by currency, ascending by day
};
