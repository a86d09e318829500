#pragma once
// The program unit of the evaluation centre: command line, start-up sequence and
// the invisible main form that runs one evaluation directly or shows the catalogue.
// Argument lists never contain the program name.
#include "hiddenmainform.h"
#include "exceptions.h"
#include "quendrixclass.h"
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

inline const std::string CQuendrixTitel = "Auswertungs-Center";

// Exit codes of the program, for scripts that start evaluations directly.
inline constexpr int CQuendrixExitOk = 0;
inline constexpr int CQuendrixExitStartfehler = 1;       // start-up failed (shown via ShowException)
inline constexpr int CQuendrixExitAufruf = 2;            // wrong options, no usable database, or a
                                                         // database failure during start-up
inline constexpr int CQuendrixExitKeinRecht = 3;         // the user lacks the program right or, on a
                                                         // direct start, the evaluation's own right
inline constexpr int CQuendrixExitAuswertungFehlgeschlagen = 4; // the directly started evaluation failed

// --- the suite's switches "kn" and "autoreport" -------------------------------------

// Value of the first "kn" switch (-kn VALUE, /KN VALUE, -kn:VALUE, -knVALUE); empty
// when the switch is missing or has no value.
std::string QuendrixKnWert(const std::vector<std::string>& AArgs);
// True when one argument is exactly -autoreport or /autoreport (case ignored).
bool QuendrixAutoreportSchalter(const std::vector<std::string>& AArgs);

// What the invisible main form does for a command line.
struct TQuendrixStart {
    TKOV_Quendrix_Auswertung_Class Auswertung = nullptr; // direct start; nullptr: catalogue
    bool Autoreport = false;                             // only with a direct start
    std::string Titel = CQuendrixTitel;                  // application title of the run
};
// Decides from the command line and the registry; checks neither Active nor rights.
TQuendrixStart QuendrixStartBestimmen(const std::vector<std::string>& AArgs);

// Direct start: title, the evaluation's own right (Active is not asked), Create, Init,
// Autoreport or Execute, Done, release. Done and the release also run when the run
// raises; the exception then passes on. Returns the exit code: CQuendrixExitKeinRecht
// without the right, CQuendrixExitAuswertungFehlgeschlagen when the evaluation could
// not be created or its run gave false.
int QuendrixDirektStarten(const TQuendrixStart& AStart);

// A database failure during start-up: its German text to the message output (standard
// error in runs without dialogs), its code and details to the log. Returns CQuendrixExitAufruf.
int QuendrixDatenbankFehlerMelden(const EDatenbankFehler& E);

// The catalogue as text: one line per evaluation the catalogue window lists, in its
// order (by display name): Kurzname, tab, Bezeichnung.
void QuendrixKatalogAusgeben(std::ostream& AOut);

// How the invisible main form shows the catalogue window: modally by default; tests
// drive the window instead. Returns the one replaced.
class TKOV_Quendrix_MainFrm;
using TQuendrixKatalogAnzeige = std::function<void(TKOV_Quendrix_MainFrm&)>;
TQuendrixKatalogAnzeige QuendrixKatalogAnzeige_Ersetzen(TQuendrixKatalogAnzeige ANeu);

// --- our own options ------------------------------------------------------------------

struct TQuendrixOptionen {
    std::string Datenbank; // --db PATH / --db=PATH
    std::string Benutzer;  // --user NAME / --user=NAME
    bool Liste = false;    // --list
    bool Hilfe = false;    // --help
    // What the suite's switches are read from: the arguments as given, our options
    // included (-kn --db x.db names no evaluation), without the values of our options
    // (a path such as /knoten/x.db is no switch).
    std::vector<std::string> SuiteArgumente;
    // What the directly started evaluation reads (its own options, --export, --print):
    // the arguments without our options and without the suite's switches. Options we do
    // not know are refused unless an evaluation runs with -autoreport to read them.
    std::vector<std::string> AuswertungsArgumente;
};
// Reads our options (beginning with "--") from AArgs; they may stand anywhere. False
// with a German message in AFehler for an unknown option or a missing value.
bool QuendrixOptionenLesen(const std::vector<std::string>& AArgs, TQuendrixOptionen& AOptionen,
                           std::string& AFehler);
std::string QuendrixHilfeText();
// --db, else $QUENDRIX_DB, else quendrix.db in the working folder.
std::string QuendrixDatenbankPfad(const TQuendrixOptionen& AOptionen);

// --- start-up -----------------------------------------------------------------------------

// The invisible main form: runs the evaluation named by "kn" or shows the catalogue
// window modally.
class TKOV_HiddenMainForm_Quendrix : public TKOV_HiddenMainForm {
    Q_OBJECT
public:
    explicit TKOV_HiddenMainForm_Quendrix(std::vector<std::string> AArgs, QObject* AParent = nullptr);
    // The program's exit code after Execute.
    int ExitCode() const { return FExitCode; }

protected:
    void Execute() override;

private:
    std::vector<std::string> FArgs;
    int FExitCode = CQuendrixExitOk;
};

// The program start after the database is set: program object, program right, title,
// invisible main form and message loop. Returns the exit code.
int QuendrixProgrammStart(const std::vector<std::string>& AArgs);

// The whole program: options, database, user, Qt where a window may be needed, then
// the program start. AArgs without the program name.
int QuendrixMain(const std::vector<std::string>& AArgs, std::ostream& AOut, std::ostream& AErr);
