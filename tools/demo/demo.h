#pragma once
// The demo installation generator: a deterministic installation with clients, branches,
// opening hours (with federal states and single-day exceptions), closing days, computers,
// sellers, users, years of sales lines, the sellers' time records of those days, the
// exchange rates of the branches' foreign currency, and suppliers, articles and the
// purchase documents of the last 120 days (floating goods).
// Same options and same "today" give the same data.
#include "rdldatenbank.h"
#include "rdltyco.h"
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

struct TDemoOptionen {
    std::string Pfad;                       // database file or "postgresql://" address (command line only)
    uint64_t Seed = 1;
    int Filialen = 12;
    int Tage = 800;                         // days of sales lines, ending yesterday
    int RTyp = 1;
    std::string Kundenkennung = "ODRIKS00"; // offers every evaluation
    bool Ueberschreiben = false;
    TDateTime Heute = 0;                    // 0: the system's today
    std::string Benutzer;                   // empty: the login name
};

// What was written, per table.
struct TDemoErgebnis {
    int64_t Mandanten = 0, Filialen = 0, Rechner = 0, Betriebszeiten = 0, Feiertage = 0, Ausnahmezeiten = 0;
    int64_t Verkaeufer = 0, Benutzer = 0, Rechte = 0;
    int64_t Umsatzzeilen = 0, Transaktionen = 0, Warengruppencodes = 0, Zeitbuchungen = 0, Wechselkurse = 0;
    int64_t Lieferanten = 0, Artikel = 0, Dispositionen = 0, Belege = 0;
    int64_t Mitarbeiter = 0, Personalbelege = 0, Preise = 0;
    int64_t Anfangsbestaende = 0, Bestandsbewegungen = 0;
    TDateTime ErsterTag = 0, LetzterTag = 0;
};

// Progress of the long area: percent of the days done and rows written so far.
// May throw to cancel; the generation then ends with that exception.
using TDemoFortschritt = std::function<void(const std::string& ABereich, int AProzent, int64_t AZeilen)>;

// German text of the first invalid option, empty when all are valid.
std::string DemoOptionenFehler(const TDemoOptionen& AOptionen);

// Writes the demo data into an empty database of the current schema, in one booking
// bracket (nested when the caller holds one); raises EArgumentOutOfRangeException for
// invalid options. Planner statistics (NachMassenladen) are left to the caller, after
// the outermost bracket.
TDemoErgebnis DemoErzeugen(TRDLDatenbank& ADb, const TDemoOptionen& AOptionen,
                           const TDemoFortschritt& AFortschritt = nullptr);

// Removes what killed runs for the target file left beside it: "<target>.entsteht-<pid>"
// with its -wal, -shm and -journal files, when process <pid> no longer runs. Returns the
// number of files removed.
int DemoResteEntfernen(const std::string& AZiel);

// Puts the finished, closed temporary database in place of the target: syncs the file,
// renames it over the target and syncs the folder, so that a power cut leaves either
// the old or the new installation at the target path.
void DemoDateiEinsetzen(const std::string& ATemp, const std::string& AZiel);

// The command-line program: parses the arguments, writes the database file or server
// database and reports. Exit codes: 0 done (or help shown), 1 the target holds an
// installation and --force is missing, or writing failed, 2 invalid arguments or a
// database that cannot be used, 130 cancelled.
int DemoProgramm(const std::vector<std::string>& AArgumente, std::ostream& AOut, std::ostream& AErr,
                 bool AFortschrittAnzeigen);
