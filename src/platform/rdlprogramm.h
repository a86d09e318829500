#pragma once
// The suite's program object: start-up, rights, title, installation settings and
// the work indicator.
#include "rdldatenbank.h"
#include "rdltyco.h"
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct TSuiteTabellen;

// Rights: the program as a whole and the evaluations' own rights below it.
inline constexpr TKOV_WPF_Recht CRecht_Quendrix = 441;

class TRDLProgramm {
public:
    TRDLProgramm();
    ~TRDLProgramm();
    TRDLProgramm(const TRDLProgramm&) = delete;
    TRDLProgramm& operator=(const TRDLProgramm&) = delete;

    // The database must be set before Init; Init reads the installation settings.
    void DatenbankSetzen(std::shared_ptr<TRDLDatenbank> ADb);
    bool HatDatenbank() const { return FDb != nullptr; }
    TRDLDatenbank& Datenbank() const; // raises EDatenbankFehler when none is open
    std::shared_ptr<TRDLDatenbank> DatenbankShared() const { return FDb; }

    // The user whose rights are checked (default: the login name).
    void BenutzerSetzen(std::string AName) { FBenutzer = std::move(AName); }

    bool Init(const std::string& AProgrammKennung, TEnumProzessTypen AProzessTyp,
              TPVR_InstanceCount AInstanceCount, int AParam, bool AFlag);
    const std::string& ProgrammKennung() const { return FProgrammKennung; }

    // True when the user holds the right named by APfad (e.g. {441} or {441, 444}).
    // A missing right is reported to the user unless the reaction says otherwise.
    bool UserRechtePruefen(const std::vector<TKOV_WPF_Recht>& APfad, const std::string& AText,
                           TKOV_Rect_FnktType_Erw AFunktion, bool AFlag,
                           TKOV_Rect_ReaktionKeinRecht AReaktion);
    // Without asking anybody: does the user hold the right?
    bool HatRecht(const std::vector<TKOV_WPF_Recht>& APfad) const;

    void ShowException(const std::exception& E, bool AFlag);

    void SetTitle(const std::string& ATitel);
    const std::string& Title() const { return FTitel; }
    std::function<void(const std::string&)> OnTitleChanged;

    // Installation settings, read from the database by Init.
    int GetRTyp() const { return FRTyp; }
    const std::string& GetKundenkennung() const { return FKundenkennung; }
    const std::string& GetUnternehmensgruppeName() const { return FUnternehmensgruppe; }
    const std::string& GetWaehrung() const { return FWaehrung; }
    TIntPair MandantErster() const { return FMandantErster; }
    // Sets the installation settings directly (tests and tools without a database).
    void InstallationSetzen(int ARTyp, std::string AKundenkennung, std::string AWaehrung = "EUR",
                            TIntPair AMandantErster = {1, 1}, std::string AGruppe = "");

    // Work indicator: a guarded action of an owner runs only when no other one of the
    // same owner runs. AModus (5 or 15) is kept for the log; both refuse alike.
    bool WorkStartTry(const void* AOwner, const std::string& ATraceName, int AModus);
    void WorkDone(const void* AOwner);
    bool Working(const void* AOwner) const;

    // The shared branch and seller tables of this program object.
    TSuiteTabellen& SuiteTabellen() { return *FSuiteTabellen; }

    // Runs without dialogs (batch, autoreport, tests): no progress windows, no questions.
    bool OhneDialoge() const { return FOhneDialoge; }
    // The exit code a failed run without dialogs should end with instead of the general
    // one (e.g. 2 for options it could not read); 0: none. The host reads it.
    int LaufExitCode() const { return FLaufExitCode; }
    void LaufExitCodeSetzen(int ACode) { FLaufExitCode = ACode; }
    // The command-line arguments meant for the evaluation of a run (not the host's own).
    const std::vector<std::string>& AuswertungsArgumente() const { return FAuswertungsArgumente; }
    void AuswertungsArgumenteSetzen(std::vector<std::string> AArgs) { FAuswertungsArgumente = std::move(AArgs); }
    void OhneDialogeSetzen(bool AWert) { FOhneDialoge = AWert; }

private:
    std::shared_ptr<TRDLDatenbank> FDb;
    std::unique_ptr<TSuiteTabellen> FSuiteTabellen;
    std::string FBenutzer;
    std::string FProgrammKennung;
    std::string FTitel;
    int FRTyp = 0;
    std::string FKundenkennung;
    std::string FUnternehmensgruppe;
    std::string FWaehrung = "EUR";
    TIntPair FMandantErster{1, 1};
    bool FOhneDialoge = false;
    int FLaufExitCode = 0;
    std::vector<std::string> FAuswertungsArgumente;
    struct TWork { std::string TraceName; int Modus = 0; };
    std::map<const void*, TWork> FWork;
};

TRDLProgramm& RDLProgramm();
// The log of an installation: beside a database file ("demo.log" for "demo.db"); for a
// server's database in the user's state folder ($XDG_STATE_HOME or ~/.local/state,
// "quendrix/<name>.log").
std::string LogDateiZu(const std::string& ADatenbank);
std::unique_ptr<TRDLProgramm> RDLProgramm_Ersetzen(std::unique_ptr<TRDLProgramm> ANeu);

// Scope guard for the work indicator; Gestartet() tells whether the action may run.
class TRDLWorkGuard {
public:
    TRDLWorkGuard(const void* AOwner, const std::string& ATraceName, int AModus)
        : FOwner(AOwner), FGestartet(RDLProgramm().WorkStartTry(AOwner, ATraceName, AModus)) {}
    ~TRDLWorkGuard() { if (FGestartet) RDLProgramm().WorkDone(FOwner); }
    bool Gestartet() const { return FGestartet; }
    TRDLWorkGuard(const TRDLWorkGuard&) = delete;
    TRDLWorkGuard& operator=(const TRDLWorkGuard&) = delete;

private:
    const void* FOwner;
    bool FGestartet;
};

// The suite's rights dialog function, used for the evaluations' own rights.
namespace Rechtdialog {
bool UserRechtePruefen(const std::vector<TKOV_WPF_Recht>& APfad, const std::string& AText,
                       TKOV_Rect_FnktType_Erw AFunktion, bool AFlag,
                       TKOV_Rect_ReaktionKeinRecht AReaktion);
}

// Login name of the user running the program ($USER, else the system's record).
std::string LoginName();
