#pragma once
// Time records of the staff (table zeitbuchung) and the sum of their hours: the list
// service loads the records of a branch and day range, the evaluation service adds a
// record to a total for a selection of time kinds. The sales engine reads productive
// hours through these two interfaces, so tests and other stores can supply their own.
#include "rdltyco.h"
#include <cstdint>
#include <memory>
#include <vector>

// Kinds of time (zeitbuchung.zeitart).
inline constexpr int CKOV_Zeitart_Produktiv = 1; // sales floor
inline constexpr int CKOV_Zeitart_Sonstige = 2;  // store room, office, training
inline constexpr int CKOV_Zeitart_Abwesend = 3;  // paid absence

// A selection of time kinds, as the time accounts offer it (values from 1).
using TKOV_ZeitenAuswahl = uint8_t;
inline constexpr TKOV_ZeitenAuswahl zaProduktiv = 1; // kind 1
inline constexpr TKOV_ZeitenAuswahl zaArbeit = 2;    // kinds 1, 2
inline constexpr TKOV_ZeitenAuswahl zaBezahlt = 3;   // kinds 1 to 3

// The kinds a selection covers; none for an unknown selection.
std::vector<int> ZeitartenFuerAuswahl(TKOV_ZeitenAuswahl AAuswahl);

struct TKOV_Zeitbuchung {
    int Filiale = 0;
    TDate Datum = 0;
    TIntPair GepNr;
    int Nr = 1;
    int Zeitart = CKOV_Zeitart_Produktiv;
    TDateTime Von = 0; // clocked span, fractions of a day
    TDateTime Bis = 0;
    double Dauer = 0;       // credited time, fraction of a day
    double Zusatzdauer = 0; // credited beside the clocked span
};

struct TKOV_ZeitSuchkriterien {
    TIntPair Mandant;
    TIntPair OrgeID;
    TDate VonDatum = 0; // both days included
    TDate BisDatum = 0;
    std::vector<int> Zeitarten; // empty: every kind
};

// A total of credited time, as a fraction of a day.
struct TKOV_Zeitsumme {
    double Dauer = 0;
    double Stunden() const { return Dauer * 24.0; }
};

class IKOV_ZeitListeServer {
public:
    virtual ~IKOV_ZeitListeServer() = default;
    // The matching records in day, person and number order; none for an unknown branch.
    virtual std::vector<TKOV_Zeitbuchung> ZeitbuchungenLaden(const TKOV_ZeitSuchkriterien& AKriterien) = 0;
};

class IKOV_AusWertEditServer {
public:
    virtual ~IKOV_AusWertEditServer() = default;
    // Adds the record's Dauer to ASumme when its kind belongs to AAuswahl.
    virtual void ZeitbuchungAddieren(TKOV_Zeitsumme& ASumme, const TKOV_Zeitbuchung& ABuchung,
                                     TKOV_ZeitenAuswahl AAuswahl) = 0;
};

// The table zeitbuchung of the program's database.
class TKOV_ZeitListeServer_DB : public IKOV_ZeitListeServer {
public:
    std::vector<TKOV_Zeitbuchung> ZeitbuchungenLaden(const TKOV_ZeitSuchkriterien& AKriterien) override;
};

class TKOV_AusWertEditServer_Std : public IKOV_AusWertEditServer {
public:
    void ZeitbuchungAddieren(TKOV_Zeitsumme& ASumme, const TKOV_Zeitbuchung& ABuchung,
                             TKOV_ZeitenAuswahl AAuswahl) override;
};
