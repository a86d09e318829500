#pragma once
// The suite's dialogs (save file, folder, calendar, yes/no) behind one interface: real
// Qt dialogs in the GUI, answers given in advance for tests and batch runs.
#include "rdltyco.h"
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TRDLDateiTyp {
    std::string Anzeigename; // "CSV-Exportdatei"
    std::string Maske;       // "*.csv"
};

struct TRDLTrefferSuche;

class IRDLDialoge {
public:
    virtual ~IRDLDialoge() = default;
    // Save dialog opening in AOrdner with AName preset; true with the chosen name in
    // AName. With AUeberschreibenFragen an existing file needs a yes first.
    virtual bool DateiSpeichern(std::string& AName, const std::string& AOrdner,
                                const std::vector<TRDLDateiTyp>& ATypen, bool AUeberschreibenFragen,
                                const std::string& ATitel = {}) = 0;
    // Folder dialog with a prompt; true with the chosen folder in AOrdner.
    virtual bool SelectDirectory(const std::string& APrompt, std::string& AOrdner) = 0;
    // Calendar dialog preset to ADatum; true with the chosen day (time part kept).
    virtual bool DatumWaehlen(TDateTime& ADatum, const std::string& ATitel = {}) = 0;
    // A yes/no question outside the message catalogue.
    virtual bool JaNein(const std::string& AText) = 0;
    // The auto-complete dialog: the user refines the text and picks one of the hits
    // that ASuche.Treffer gives for it; true with the hit's index in AAuswahl and the
    // final text in ASuche.Text.
    virtual bool TrefferWaehlen(TRDLTrefferSuche& ASuche, int& AAuswahl) = 0;
};

// What the auto-complete dialog shows and how.
struct TRDLTrefferSuche {
    std::string Text;     // start text
    int MaxLaenge = 128;  // of the text
    int Links = -1, Oben = -1; // -1: centred over the active window
    int Breite = 350, Hoehe = 350;
    std::string Titel;
    // Display lines of the hits for a text.
    std::function<std::vector<std::string>(const std::string&)> Treffer;
};

// One answer given in advance.
struct TRDLDialogAntwort {
    enum TArt { Abbruch, Datei, Ordner, Datum, Ja, Nein, Treffer };
    TArt Art = Abbruch;
    std::string Text; // file or folder; for a hit the text typed first (empty: keep)
    TDateTime Wert = 0; // for a hit its index

    static TRDLDialogAntwort Abbrechen() { return {}; }
    static TRDLDialogAntwort DateiName(std::string AName) { return {Datei, std::move(AName), 0}; }
    static TRDLDialogAntwort OrdnerName(std::string AName) { return {Ordner, std::move(AName), 0}; }
    static TRDLDialogAntwort Tag(TDateTime AWert) { return {Datum, {}, AWert}; }
    static TRDLDialogAntwort JaAntwort() { return {Ja, {}, 0}; }
    static TRDLDialogAntwort NeinAntwort() { return {Nein, {}, 0}; }
    static TRDLDialogAntwort TrefferNr(int AIndex, std::string AText = {}) {
        return {Treffer, std::move(AText), double(AIndex)};
    }
};

// What a dialog was asked to show (for tests to check the folder, types and prompt).
struct TRDLDialogAufruf {
    std::string Dialog; // "DateiSpeichern", "SelectDirectory", "DatumWaehlen", "JaNein", "Ueberschreiben",
                        // "TrefferWaehlen"
    std::string Text;   // folder, prompt, title, question or start text
    std::vector<TRDLDateiTyp> Typen;
};

// Answers from a queue; an empty queue, or an answer of the wrong kind, cancels. The
// overwrite question of the save dialog takes the next answer (Ja / Nein).
class TRDLVorgabeDialoge : public IRDLDialoge {
public:
    void Vorgeben(TRDLDialogAntwort AAntwort) { FAntworten.push_back(std::move(AAntwort)); }
    bool DateiSpeichern(std::string& AName, const std::string& AOrdner, const std::vector<TRDLDateiTyp>& ATypen,
                        bool AUeberschreibenFragen, const std::string& ATitel = {}) override;
    bool SelectDirectory(const std::string& APrompt, std::string& AOrdner) override;
    bool DatumWaehlen(TDateTime& ADatum, const std::string& ATitel = {}) override;
    bool JaNein(const std::string& AText) override;
    // A hit answer picks that index among the hits of its text; one out of range cancels.
    bool TrefferWaehlen(TRDLTrefferSuche& ASuche, int& AAuswahl) override;
    std::vector<TRDLDialogAufruf> Aufrufe;

private:
    TRDLDialogAntwort Naechste();
    std::deque<TRDLDialogAntwort> FAntworten;
};

// The Qt dialogs, parented to the active window.
class TRDLQtDialoge : public IRDLDialoge {
public:
    bool DateiSpeichern(std::string& AName, const std::string& AOrdner, const std::vector<TRDLDateiTyp>& ATypen,
                        bool AUeberschreibenFragen, const std::string& ATitel = {}) override;
    bool SelectDirectory(const std::string& APrompt, std::string& AOrdner) override;
    bool DatumWaehlen(TDateTime& ADatum, const std::string& ATitel = {}) override;
    bool JaNein(const std::string& AText) override;
    bool TrefferWaehlen(TRDLTrefferSuche& ASuche, int& AAuswahl) override; // rdlautocomplete.cpp
};

// The one dialog object. Until one is set: the Qt dialogs when an application object
// exists and the program runs with dialogs, else preset answers with an empty queue
// (every dialog cancels). Replaceable per test; returns the one replaced.
IRDLDialoge& RDLDialoge();
std::unique_ptr<IRDLDialoge> RDLDialoge_Ersetzen(std::unique_ptr<IRDLDialoge> ANeu);

// Suite folders by number. 8: the export folder, $QUENDRIX_EXPORT when set, else the
// user's documents folder. 18 (PDF exports) is the same folder. Other numbers: the
// current folder. The folder is created when missing.
std::string GetDirWwsByName(int ANummer);

// The CSV file type of the exports.
inline TRDLDateiTyp CSVExportDateiTyp() { return {"CSV-Exportdatei", "*.csv"}; }

// The save dialog of the CSV exports: folder 8, type "CSV-Exportdatei" ("*.csv"),
// asking before overwriting. The name's extension is the caller's rule.
bool RDLCSVExportDateiWaehlen(std::string& AName);

// Opens a file with the desktop's default program; replaceable for tests (returns the
// one replaced). Returns false when nothing could open it.
using TRDLDateiOeffner = std::function<bool(const std::string&)>;
TRDLDateiOeffner RDLDateiOeffner_Ersetzen(TRDLDateiOeffner ANeu);

// After an export: on success ask (catalogue "STANDARD" 1107, the file name) and open
// the file on yes; on failure report it (1108). Returns true when the file was opened.
bool RDLExportErgebnisMelden(bool AErfolg, const std::string& ADateiName);
