#pragma once
// The suite's info object: exception registration, the German message catalogue,
// message output, message processing and the workstation identifier.
#include "exceptions.h"
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Answers of message boxes (Windows numbering, which callers compare with).
inline constexpr int mrOk = 1;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// Message kinds: 0 informs, 1 error, 2 warning, 4 asks yes/no.
inline constexpr int mkInfo = 0;
inline constexpr int mkFehler = 1;
inline constexpr int mkWarnung = 2;
inline constexpr int mkFrage = 4;

struct TRDLMeldung {
    std::string Gruppe;
    int Nummer = 0;
    int Art = mkInfo;
    std::string Text;
};

// Where messages go: a message box in the GUI, the terminal in batch runs, a
// recorder in tests. Returns mrOk, mrYes or mrNo.
class IRDLMeldungsAusgabe {
public:
    virtual ~IRDLMeldungsAusgabe() = default;
    virtual int Zeigen(const TRDLMeldung& AMeldung) = 0;
    // True when showing a message waits for the user (a message box).
    virtual bool WartetAufBenutzer() const { return false; }
};

// Writes messages to standard error; questions get the preset answer (default no),
// since a batch run has nobody to ask.
class TRDLTerminalAusgabe : public IRDLMeldungsAusgabe {
public:
    explicit TRDLTerminalAusgabe(int AAntwortAufFragen = mrNo) : FAntwort(AAntwortAufFragen) {}
    int Zeigen(const TRDLMeldung& AMeldung) override;

private:
    int FAntwort;
};

// Records messages and answers questions from a queue given in advance (default no).
class TRDLMeldungsRekorder : public IRDLMeldungsAusgabe {
public:
    int Zeigen(const TRDLMeldung& AMeldung) override;
    void AntwortVorgeben(int AAntwort) { FAntworten.push_back(AAntwort); }
    bool WartetAufBenutzer() const override { return WieEinDialog; }
    std::vector<TRDLMeldung> Meldungen;
    bool WieEinDialog = false; // behaves like a message box that waits for the user

private:
    std::vector<int> FAntworten;
};

struct TRDLRegistrierteException {
    std::string Zeit;
    std::string TraceName;
    std::string Klasse;
    std::string Text;
    bool Flag = true;
};

class TRDLInfo {
public:
    using TUhr = std::function<std::chrono::steady_clock::time_point()>;
    // A failure that repeats the one shown last within this pause, with no user action
    // in between, is not shown again (a loop failing on every round).
    static constexpr std::chrono::seconds CWiederholungsPause{2};

    TRDLInfo();

    // Registers an exception: log file line (time, trace name, message; for a database
    // failure also the driver's code and details), standard error in batch runs, and
    // with AFlag the user is told (catalogue "STANDARD" 991, the message text only).
    void RegisterException(std::string_view ATraceName, const std::exception& E, bool AFlag);
    const std::vector<TRDLRegistrierteException>& Registrierte() const { return FRegistriert; }
    void RegistrierteLeeren() { FRegistriert.clear(); }

    // Catalogue text of (group, number) with "%s" / "%d" placeholders filled in order.
    std::string MeldungsText(const std::string& AGruppe, int ANummer,
                             const std::vector<std::string>& AArgs = {}) const;
    bool MeldungBekannt(const std::string& AGruppe, int ANummer) const;

    int ShowMeldung(const std::string& AGruppe, int ANummer,
                    const std::vector<std::string>& AArgs = {}, int AArt = mkInfo);
    // The dialog form: same as ShowMeldung, for questions (kind 4 returns mrYes for yes).
    int ShowDlgMeldung(const std::string& AGruppe, int ANummer,
                       const std::vector<std::string>& AArgs = {}, int AArt = mkFrage) {
        return ShowMeldung(AGruppe, ANummer, AArgs, AArt);
    }

    // Raises an error under a trace name, with or without a catalogue message.
    [[noreturn]] void FehlerRaise(const std::string& ATraceName);
    [[noreturn]] void FehlerRaise(const std::string& ATraceName, const std::string& AGruppe,
                                  int ANummer, const std::vector<std::string>& AArgs = {});
    // Closing check of a destructor: raises (catalogue "STANDARD" 1211) when failures
    // were registered under ATraceName since the last check of that name.
    void FehlerKontrolle(const std::string& ATraceName);
    // Last step of destructors and form-destroy handlers: a non-zero code or a text
    // means the object ended in an inconsistent state, which is registered.
    void FehlerTerminate(const std::string& ATraceName, int ACode, const std::string& AText1,
                         const std::string& AText2, int AWert1, int AWert2);

    // Lets queued window messages be handled for up to AMillisekunden (cancel, repaint).
    void RDLInfoProcessMessages(int AMillisekunden);
    void ProcessMessagesHookSetzen(std::function<void(int)> AHook) { FProcessMessages = std::move(AHook); }

    // Identifier of this workstation: $QUENDRIX_TERMINAL, else the host name.
    std::string RDLInfoTerminalID() const;

    void AusgabeSetzen(std::shared_ptr<IRDLMeldungsAusgabe> AAusgabe) { FAusgabe = std::move(AAusgabe); }
    IRDLMeldungsAusgabe& Ausgabe() const { return *FAusgabe; }
    void LogDateiSetzen(std::string APfad) { FLogDatei = std::move(APfad); }
    const std::string& LogDatei() const { return FLogDatei; }
    // " (Einzelheiten im Protokoll PATH)" for a message whose details went to the log;
    // empty without a log file.
    std::string LogHinweis() const;
    // One line into the log file (with time stamp), for notes no user needs to read.
    void LogSchreiben(const std::string& AZeile) const;
    // Batch runs also write registered exceptions to standard error.
    void BatchBetriebSetzen(bool AWert) { FBatch = AWert; }

    // The user did something (a click, a key): the next failure is shown even when it
    // repeats the last one, since the user may be retrying.
    void BenutzerAktion() { FZuletztGezeigt.clear(); }
    // The clock of CWiederholungsPause (tests set their own).
    void UhrSetzen(TUhr AUhr) { FUhr = std::move(AUhr); }

private:
    std::shared_ptr<IRDLMeldungsAusgabe> FAusgabe;
    std::function<void(int)> FProcessMessages;
    std::vector<TRDLRegistrierteException> FRegistriert;
    std::string FLogDatei;
    std::string FZuletztGezeigt;
    std::chrono::steady_clock::time_point FZuletztGezeigtUm;
    TUhr FUhr = [] { return std::chrono::steady_clock::now(); };
    std::map<std::string, int, std::less<>> FOffeneFehler;
    bool FBatch = false;
};

// The one info object. Replaceable, so each test runs on a fresh one.
TRDLInfo& RDLInfo();
std::unique_ptr<TRDLInfo> RDLInfo_Ersetzen(std::unique_ptr<TRDLInfo> ANeu);

// --- for tests ------------------------------------------------------------------------
// Hears every exception registered by any info object (the tests' own objects come and
// go), so a test run can fail on the ones a test did not expect. Returns the previous one.
using TRDLRegistrierungsBeobachter = std::function<void(const TRDLRegistrierteException&)>;
TRDLRegistrierungsBeobachter RDLRegistrierungsBeobachterSetzen(TRDLRegistrierungsBeobachter ABeobachter);

// The registration convention: run ABody; an exception derived from std::exception is
// registered under ATraceName and AFlag. Returns false when one was caught.
template <class F>
bool KOV_Geschuetzt(std::string_view ATraceName, bool AFlag, F&& ABody) {
    try {
        ABody();
        return true;
    } catch (const std::exception& E) {
        RDLInfo().RegisterException(ATraceName, E, AFlag);
        return false;
    }
}

// The same for a body with a result: AFehlerwert is returned after a registered exception.
template <class R, class F>
R KOV_GeschuetztWert(std::string_view ATraceName, bool AFlag, R AFehlerwert, F&& ABody) {
    try {
        return ABody();
    } catch (const std::exception& E) {
        RDLInfo().RegisterException(ATraceName, E, AFlag);
        return AFehlerwert;
    }
}

// The end of a destructor: the closing check of ATraceName, registered under
// ATraceName + ".Kontrolle" with flag True when it fails.
inline void KOV_DestroyKontrolle(const std::string& ATraceName) {
    KOV_Geschuetzt(ATraceName + ".Kontrolle", true, [&] { RDLInfo().FehlerKontrolle(ATraceName); });
}
