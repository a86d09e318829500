#pragma once
// Result windows without a user: the application message that asks a window for its
// result (a file name carried as text), and the run of a result window from the
// command line (-kn KURZNAME -autoreport --export FILE): the window's defaults, the
// options the window names, its selection, then its result into the file.
#include "rdltyco.h"

#include <QEvent>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class TKOV_ZeitraumEingabe;
class QObject;

// Message number of the outside request for a window's current result.
inline constexpr int CRDL_Nachricht_ErgebnisSpeichern = 2331;

// An application message that carries a text.
class TRDLTextNachricht : public QEvent {
public:
    TRDLTextNachricht(int ANummer, QString AText) : QEvent(Typ()), FNummer(ANummer), FText(std::move(AText)) {}
    static QEvent::Type Typ();
    int Nummer() const { return FNummer; }
    const QString& Text() const { return FText; }
    // Set by the window that handled it: whether the request was met.
    bool Erfolg = false;

private:
    int FNummer;
    QString FText;
};

// The text a message carries.
std::string ReceiveStringMessage(const TRDLTextNachricht& ANachricht);
// Delivers the message to AZiel at once; true when the window handled it and met it.
bool RDLTextNachrichtSenden(QObject* AZiel, int ANummer, const std::string& AText);
// For a window's event() (RDLFernsteuerungEinrichten does it for a result window):
// answers message 2331 by writing its result with ASpeichern and, only when the file was
// written, signals event 3. True when AEvent was that message (met or not).
bool RDLErgebnisNachrichtBehandeln(QEvent* AEvent, const std::function<bool(const std::string&)>& ASpeichern);

// One option of a window for runs from the command line.
struct TRDLStapelOption {
    std::string Name;  // "--von"
    std::string Wert;  // what the value looks like, "TT.MM.JJJJ"; empty: a switch without value
    std::string Hilfe; // one German line
    // Applies the value; raises EConvertError with a German text for one it cannot take.
    std::function<void(const std::string& AWert)> Anwenden;
    bool InHilfe = true; // false: taken, but not offered in the list
};

// What a result window offers for runs from the command line.
class IRDLStapelFenster {
public:
    virtual ~IRDLStapelFenster() = default;
    virtual QObject& StapelZiel() = 0;                         // receives message 2331
    virtual std::vector<TRDLStapelOption> StapelOptionen() = 0;
    virtual void StapelVorgaben() = 0;                         // the defaults of the shown window
    // After the options, before the selection: false with a German text when they do not fit together.
    virtual bool StapelPruefen(std::string& AFehler) { (void)AFehler; return true; }
    // What the start button does; false when the result could not be built whole (the
    // user has been told why).
    virtual bool StapelSelektion() = 0;
    virtual bool StapelDrucken(const std::string& APdfDatei) = 0;
    // False for a window without print: --print is not offered (StapelPruefen refuses it).
    virtual bool StapelKannDrucken() const { return true; }
};

// Readers of option values for a window's Anwenden; each raises EConvertError with a
// German text naming the value it cannot take.
int RDLStapelGanzzahl(const std::string& AWert, int AMin, int AMax);
TDate RDLStapelDatum(const std::string& AWert); // TT.MM.JJJJ
// The parts of a list "a,b; c" (RDLListenTeile: blanks dropped, empty parts skipped).
std::vector<std::string> RDLStapelListe(const std::string& AText);
// --von and --bis of a period: ASetzen gets the day read (AVon: the first, else the last),
// the help texts name the defaults.
std::vector<TRDLStapelOption> RDLStapelZeitraumOptionen(std::function<void(bool AVon, TDate ATag)> ASetzen,
                                                        const std::string& AVonHilfe, const std::string& ABisHilfe);
// The same for a window's period input (defaults: the last seven days up to yesterday).
std::vector<TRDLStapelOption> RDLStapelZeitraumOptionen(TKOV_ZeitraumEingabe* AZeitraum);
// Chooses the entry with that number (its item data, else its position).
void RDLStapelComboWaehlen(QComboBox* ACombo, const std::string& AWert);
// "0 text, 1 text" of a combo box, for the help of an option.
std::string RDLStapelAuswahlen(const QComboBox* ACombo);
// A grouping by its number or by its name as the combo box shows it ("Datum / Mandant";
// letter case and blanks do not matter).
int RDLStapelGruppierung(const QComboBox* ACombo, const std::string& AWert);

// The options every result window takes besides its own.
std::vector<TRDLStapelOption> RDLStapelGemeinsameOptionen(std::string& AExport, std::string& APdf);
// Usage lines of a window's options (for the message on a bad option and the guide).
std::string RDLStapelHilfe(const std::vector<TRDLStapelOption>& AOptionen);

// Whether the run's arguments ask for the window's options (--help): RDLStapellauf then
// lists them on standard output and runs nothing; an evaluation skips its preparations.
bool RDLStapelHilfeGewuenscht();

// Runs the window from the arguments RDLProgramm().AuswertungsArgumente(): defaults,
// options (--name VALUE or --name=VALUE), selection, then --export FILE through message
// 2331 or --print FILE.pdf through the tree printer. False with a German message when
// an option is bad or missing (exit code 2 suggested) or the result could not be
// written.
bool RDLStapellauf(IRDLStapelFenster& AFenster);
