#pragma once
// The demo installation as plain data, built from the options before anything is
// written: clients, branches with opening hours, computers, sellers, holidays and the
// article catalogue. The writers of each area only turn it into rows.
#include "demo.h"
#include "demozufall.h"
#include "feiertage.h"
#include <array>
#include <string>
#include <vector>

struct TDemoZeitfenster {
    double Von = 0, Bis = 0; // fractions of a day
};

struct TDemoMandant {
    TIntPair Id;
    std::string Name;
};

struct TDemoRechner {
    int Nr = 0;
    std::string Name;
    int Filiale = 0;       // 0: not a till of a branch
    bool Bargeld = true;   // writes an opening-balance record per open day
    int TransNr = 0;       // last transaction number written (per client and computer)
};

struct TDemoVerkaeufer {
    int VkNr = 0;
    TIntPair Gep;
    std::string Nachname, Vorname;
    int Filiale = 0;
    TIntPair Mandant;
    bool Praemienberechtigt = false;
    double Anteil = 1;     // relative share of the branch's receipts
};

struct TDemoFiliale {
    int Nr = 0;
    TIntPair Mandant, OrgeId;
    std::string Name, Waehrung;
    bool Versand = false;
    double StornoQuote = 0;   // online orders cancelled the same day (lines with negative quantities)
    int AuslaufPlattform = 0; // an online platform sold on only until a year before the last day
    std::string Bundesland; // empty: no public holidays (abroad, shipping)
    double Groesse = 1;    // relative customer traffic
    std::array<std::vector<TDemoZeitfenster>, 8> Oeffnung; // by ISO weekday 1..7
    std::vector<size_t> Rechner;    // indices into TDemoModell::Rechner
    std::vector<size_t> Verkaeufer; // indices into TDemoModell::Verkaeufer
};

struct TDemoFeiertag {
    TDateTime Datum = 0;
    int Filiale = 0;       // 0: all branches
    std::string Name;
};

// One window of a day with its own opening hours; Von = Bis = 0: closed that day.
struct TDemoAusnahme {
    int Filiale = 0;
    TDateTime Datum = 0;
    int Nr = 1;
    double Von = 0, Bis = 0;
};

struct TDemoArtikel {
    int Abteilung = 0;     // department 1..6
    int Warengruppe = 0;   // ProdId.A
    int Nr = 0;            // ProdId.B, also the article number text
    int Farben = 1;        // colours, ProdId.C 1..Farben
    double Preis = 0;      // list price in EUR
    double EkQuote = 0.5;  // purchase value / list price
    double Beliebtheit = 1;
    int Saison = 0;        // 0 all year, 1 winter, 2 summer
    int Groessen = 0;      // 0 one size, 1 clothing, 2 shoes
    std::string Code;      // group code of the "EIGEN" system
};

// A row of the exchange-rate table: valid from Ab until the currency's next row.
struct TDemoWechselkurs {
    std::string Waehrung;
    TDateTime Ab = 0;
    double Kurs = 1;       // EUR per unit of Waehrung
};

struct TDemoModell {
    std::string Unternehmensgruppe;
    std::vector<TDemoMandant> Mandanten;
    std::vector<TDemoFiliale> Filialen;
    std::vector<TDemoRechner> Rechner;
    std::vector<TDemoVerkaeufer> Verkaeufer;
    std::vector<TDemoFeiertag> Feiertage; // the branches' own closing days, ascending by day
    std::vector<TDemoAusnahme> Ausnahmen; // by branch, day and window
    std::vector<TDemoArtikel> Artikel;
    std::vector<TDemoWechselkurs> Wechselkurse; // by currency and day
    TDateTime ErsterTag = 0, LetzterTag = 0; // sales lines, both included
};

TDemoModell DemoModellBilden(const TDemoOptionen& AOptionen, TDateTime AHeute);
// True when the branch is closed that day by its weekly hours, a public holiday of its state
// or a closing day of the model (the days of their own hours not counted).
bool DemoFilialeGeschlossen(const TDemoModell& AModell, const TDemoFiliale& AFiliale, TDateTime ATag);


// Area writers, in the order DemoErzeugen calls them.
void DemoStammdatenSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& AOptionen, const TDemoModell& AModell,
                             TDemoErgebnis& AErgebnis);
void DemoKalenderSchreiben(TRDLDatenbank& ADb, const TDemoModell& AModell, TDemoErgebnis& AErgebnis);
void DemoVerkaeuferSchreiben(TRDLDatenbank& ADb, const TDemoModell& AModell, TDemoErgebnis& AErgebnis);
void DemoBenutzerSchreiben(TRDLDatenbank& ADb, const std::string& ALoginName, TDemoErgebnis& AErgebnis);
// Sales lines with the bulk loader, then the staff's time records of the days with sales and
// the group codes of the products sold; inside the caller's booking bracket.
void DemoUmsaetzeSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& AOptionen, TDemoModell& AModell,
                           TDemoErgebnis& AErgebnis, const TDemoFortschritt& AFortschritt);

// Suppliers, articles with their sizes, document phases, and the purchase documents of
// the last 120 days (dispositions, goods receipts, invoices, credit requests, quick-captured
// invoices) from a random stream of their own.
void DemoSchwimmendeWareSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& AOptionen, const TDemoModell& AModell,
                                  TDemoErgebnis& AErgebnis);

// Staff records of the sellers and of two office staff, their names, the price table of the
// catalogue and the staff purchases at a staff till of each shop of the first client, from
// a random stream of their own.
void DemoPersonalSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& AOptionen, const TDemoModell& AModell,
                           TDemoErgebnis& AErgebnis);

// Stock of the stock-keeping branches from the sales lines written before (last of all),
// and the demo workstation's stored selection and period of the stock export.
void DemoBestandSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& AOptionen, const TDemoModell& AModell,
                          TDemoErgebnis& AErgebnis);

// Time records of the staff (table zeitbuchung), collected per open day while the sales
// lines are written (that writer knows each day's opening windows) and appended after them
// with the bulk loader: one loader at a time per connection.
class TDemoZeitbuchungen {
public:
    TDemoZeitbuchungen(const TDemoOptionen& AOptionen, const TDemoModell& AModell);
    // A day the branch is open, with its opening windows (ascending, not empty).
    void Tag(size_t AFiliale, TDateTime ADatum, const std::vector<TDemoZeitfenster>& AFenster);
    void Schreiben(TRDLDatenbank& ADb, TDemoErgebnis& AErgebnis);

private:
    struct TBuchung {
        int Filiale = 0;
        TDateTime Datum = 0;
        TIntPair Gep;
        int Nr = 0, Zeitart = 0;
        double Von = 0, Bis = 0, Dauer = 0, Zusatzdauer = 0;
    };
    void Arbeit(const TDemoFiliale& F, TDateTime ADatum, const TDemoVerkaeufer& V, double AVon, double ABis,
                bool AOeffnet, bool ASchliesst, const std::vector<TDemoZeitfenster>& AFenster, TDemoZufall& z);

    const TDemoModell& FM;
    std::vector<TDemoZufall> FZufall; // one stream per branch, apart from the sales lines'
    std::vector<int> FAbwesend;       // per seller: open days of absence still to come
    std::vector<TBuchung> FBuchungen;
};
