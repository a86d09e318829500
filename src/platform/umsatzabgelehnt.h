#pragma once
// Sales lines that break the rules for their writers (docs/schema.md, "lst"): the check,
// decided by the line alone, and the register of such lines, the table umsatz_abgelehnt.
// A rejected line counts in no statistics; it is registered once, and a statistics run
// tells the user once how many lines were registered since the last one told.
#include "kovdbfiles.h"
#include "rdldatenbank.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// The calendar of the suite's dates: 01.01.0001 to 31.12.9999, a time part allowed.
inline constexpr double CLstErsterTag = -693593;
inline constexpr double CLstLetzterTag = 2958465;
inline constexpr int64_t CLstHoechsteFiliale = 32767;
inline constexpr int64_t CLstHoechsteTransNr = std::numeric_limits<int32_t>::max();

inline bool LstDatumImKalender(double ADatum) { return ADatum >= CLstErsterTag && ADatum < CLstLetzterTag + 1; }

// Per line, so inline; NaN fails the date comparison.
inline bool LstRegelnEingehalten(double ADatum, int64_t AFiliale, int64_t ATransNr) {
    return LstDatumImKalender(ADatum) && AFiliale >= 1 && AFiliale <= CLstHoechsteFiliale && ATransNr >= 1 &&
           ATransNr <= CLstHoechsteTransNr;
}
inline bool LstRegelnEingehalten(const Tlstfile& ALst) {
    return LstRegelnEingehalten(ALst.Datum.GetWert(), ALst.Filiale.GetWert(), ALst.TransNr.GetWert());
}

// Why a line breaks the rules, in German; empty when it keeps them.
std::string LstRegelverstoss(double ADatum, int64_t AFiliale, int64_t ATransNr);

// "3 Umsatzzeilen verletzen die Regeln und wurden nicht gezählt, siehe …"
std::string UmsatzAbgelehntText(int64_t AAnzahl);

// Notes the rule-breaking lines a statistics run meets and writes them to the register.
class TUmsatzAbgelehnt {
public:
    // True when the current line of ALst breaks the rules; it is noted then. Reads the
    // line's date, branch and transaction number, its other key fields only when noted.
    bool Pruefen(const Tlstfile& ALst) {
        if (LstRegelnEingehalten(ALst)) return false;
        Vormerken(ALst);
        return true;
    }
    // The lines whose date lies outside the calendar: no day ever reads them.
    void AusserhalbDesKalendersSuchen(Tlstfile& ALst);
    // The lines of a client and computer with a transaction number below 1: no update
    // reaches them by number.
    void OhneTransaktionsnummerSuchen(Tlstfile& ALst, const TIntPair& AMandant, int32_t ARechner);

    // Writes the noted lines into ADb's register, in one transaction (a bracket open
    // around it takes them in); a line registered before keeps its row.
    void Schreiben(TRDLDatenbank& ADb);
    size_t Vorgemerkt() const { return FNeu.size(); }

    // The lines registered and not told yet: marked told, their count shown once
    // (a warning; in runs without dialogs on standard error). Returns the count.
    static int64_t Melden(TRDLDatenbank& ADb);

private:
    struct TZeile {
        TIntPair Mandant;
        int32_t Rechner = 0;
        int64_t TransNr = 0;
        int32_t PosNr = 0;
        double Datum = 0;
        int64_t Filiale = 0;
    };
    void Vormerken(const Tlstfile& ALst);

    std::vector<TZeile> FNeu;
};
