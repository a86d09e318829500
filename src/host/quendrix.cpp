#include "quendrix.h"
#include "quendrixmain.h"
#include "rdlbenutzeraktion.h"
#include "rdlbroadcast.h"
#include "rdldatenbank.h"
#include "rdldeutsch.h"
#include "rdlinfo.h"
#include "rdlmeldungsbox.h"
#include "rdlprogramm.h"
#include "rdlprogressfenster.h"
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <ostream>

namespace {

bool IstSchalterZeichen(char c) { return c == '-' || c == '/'; }

char KleinAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool IstSchalter(const std::string& AArg) { return !AArg.empty() && IstSchalterZeichen(AArg[0]); }

// Steps 2 and 3 of the start: program object and program right.
bool ProgrammAnmelden() {
    RDLProgramm().Init("Quendrix", TEnumProzessTypen::ptAnwendung, TPVR_InstanceCount::icBeliebig, 0, true);
    return RDLProgramm().UserRechtePruefen({CRecht_Quendrix}, "", TKOV_Rect_FnktType_Erw::ftAusfuehren, false,
                                           TKOV_Rect_ReaktionKeinRecht::rkMeldung);
}

// Qt aborts the process when it finds no display; tell the user instead.
bool HatBildschirm() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int QuendrixListe(std::ostream& AOut) {
    try {
        if (!ProgrammAnmelden()) return CQuendrixExitKeinRecht;
        QuendrixKatalogAusgeben(AOut);
        return CQuendrixExitOk;
    } catch (const EDatenbankFehler& E) {
        return QuendrixDatenbankFehlerMelden(E);
    } catch (const std::exception& E) {
        RDLProgramm().ShowException(E, false);
        return CQuendrixExitStartfehler;
    }
}

// Qt for a run that may open windows: the application object, message boxes (not in
// runs without dialogs), message processing and the title. Undone at the end, since
// the info and program objects may outlive the application (tests).
class TQtLauf {
public:
    explicit TQtLauf(bool AAutoreport) {
        // An autoreport shows no window: it runs on servers and in cron jobs without a
        // display (printing to PDF still works offscreen).
        if (AAutoreport && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // Scripts read standard error: Qt's own notes belong in the log there.
        if (AAutoreport) FAlterHandler = qInstallMessageHandler(QtMeldungInsLog);
        if (!QCoreApplication::instance()) FApp = std::make_unique<QApplication>(FArgc, FArgv);
        // Qt's own dialogs and widgets speak German, whatever the process locale is.
        RDLQtDeutschEinrichten();
        // Progress displays of the layers below Qt show their windows through it.
        RDLProgressFenster_Installieren();
        if (AAutoreport) {
            // Nobody watches an autoreport: no questions, failures to the terminal.
            RDLProgramm().OhneDialogeSetzen(true);
            RDLInfo().BatchBetriebSetzen(true);
        } else if (!RDLProgramm().OhneDialoge()) {
            RDLInfo().AusgabeSetzen(std::make_shared<TRDLMeldungsBox>());
            FMeldungsbox = true;
            // A user who retries after a failure is to see it again.
            FAktionen = std::make_unique<TRDLBenutzerAktionsFilter>();
            QCoreApplication::instance()->installEventFilter(FAktionen.get());
        }
        RDLInfo().ProcessMessagesHookSetzen(
            [](int AMillisekunden) { QCoreApplication::processEvents(QEventLoop::AllEvents, AMillisekunden); });
        // The program's title names its message boxes. It is not Qt's display name, which X11
        // would append to every window's own title ("Auswertungs-Center - … — Auswertungs-Center").
        // While a window waits for the user, no cursor keeps its snapshot (a loop left
        // early) and a write-ahead log grown beside the tills may restart.
        FLeerlauf = std::make_unique<QTimer>();
        QObject::connect(FLeerlauf.get(), &QTimer::timeout, [] {
            // Other processes' broadcasts reach this one's receivers only when it drains them.
            KOV_Geschuetzt("TQtLauf.Nachrichten", false, [] { RDLNachrichtenVerarbeiten(); });
            KOV_Geschuetzt("TQtLauf.Leerlauf", false, [] {
                if (RDLProgramm().HatDatenbank()) RDLProgramm().Datenbank().Leerlauf();
            });
        });
        FLeerlauf->start(500);
    }
    ~TQtLauf() {
        FLeerlauf.reset();
        FAktionen.reset();
        RDLInfo().ProcessMessagesHookSetzen(nullptr);
        if (FMeldungsbox) RDLInfo().AusgabeSetzen(std::make_shared<TRDLTerminalAusgabe>());
        FApp.reset();
        QLocale::setDefault(FAlteLocale);
        if (FAlterHandler) qInstallMessageHandler(FAlterHandler);
    }
    TQtLauf(const TQtLauf&) = delete;
    TQtLauf& operator=(const TQtLauf&) = delete;

private:
    // QApplication keeps references to its arguments; Qt's own switches are not
    // passed (QT_QPA_PLATFORM and the like still work).
    static inline int FArgc = 1;
    static inline char FName[] = "quendrix";
    static inline char* FArgv[] = {FName, nullptr};
    std::unique_ptr<QApplication> FApp;
    std::unique_ptr<TRDLBenutzerAktionsFilter> FAktionen;
    std::unique_ptr<QTimer> FLeerlauf;
    bool FMeldungsbox = false;
    QtMessageHandler FAlterHandler = nullptr;
    QLocale FAlteLocale; // the default before the run, given back at its end

    static void QtMeldungInsLog(QtMsgType ATyp, const QMessageLogContext&, const QString& AText) {
        RDLInfo().LogSchreiben("Qt" + std::string(ATyp == QtWarningMsg ? " (Warnung)" : "") + ": " +
                               AText.toStdString());
    }
};

} // namespace

// --- the suite's switches ---------------------------------------------------------------

std::string QuendrixKnWert(const std::vector<std::string>& AArgs) {
    for (size_t i = 0; i < AArgs.size(); ++i) {
        const std::string& a = AArgs[i];
        if (a.size() < 3 || !IstSchalterZeichen(a[0]) || KleinAscii(a[1]) != 'k' || KleinAscii(a[2]) != 'n')
            continue;
        // The first kn argument decides, whether it carries a value or not.
        if (a.size() == 3) {
            if (i + 1 < AArgs.size() && !IstSchalter(AArgs[i + 1])) return AArgs[i + 1];
            return "";
        }
        std::string wert = a.substr(3);
        if (wert[0] == ':') wert.erase(0, 1);
        return wert;
    }
    return "";
}

bool QuendrixAutoreportSchalter(const std::vector<std::string>& AArgs) {
    static const std::string name = "autoreport";
    for (const std::string& a : AArgs) {
        if (a.size() != name.size() + 1 || !IstSchalterZeichen(a[0])) continue;
        bool gleich = true;
        for (size_t i = 0; i < name.size() && gleich; ++i) gleich = KleinAscii(a[i + 1]) == name[i];
        if (gleich) return true;
    }
    return false;
}

TQuendrixStart QuendrixStartBestimmen(const std::vector<std::string>& AArgs) {
    TQuendrixStart start;
    const std::string kn = QuendrixKnWert(AArgs);
    TKOV_Quendrix_Auswertung_Class klasse = nullptr;
    // An empty value names nothing, even if some class had an empty short name.
    if (kn.empty() || !TKOV_Glob_Quendrix_Controller::GetAuswerterByKurzname(kn, klasse)) return start;
    start.Auswertung = klasse;
    start.Autoreport = QuendrixAutoreportSchalter(AArgs);
    start.Titel = klasse->Bezeichnung();
    return start;
}

int QuendrixDirektStarten(const TQuendrixStart& AStart) {
    RDLProgramm().SetTitle(AStart.Titel);
    // The program right alone does not open an evaluation guarded by a right of its own.
    bool recht = false;
    try {
        recht = AStart.Auswertung->RechtFuerAuswertungVorhanden();
    } catch (const EDatenbankFehler& E) {
        return QuendrixDatenbankFehlerMelden(E);
    }
    if (!recht) return CQuendrixExitKeinRecht; // the rights check told the user
    const TKOV_Quendrix_AuswertungPtr auswertung = AStart.Auswertung->Create();
    if (!auswertung) return CQuendrixExitAuswertungFehlgeschlagen;
    auswertung->Init();
    bool ergebnis = false;
    try {
        ergebnis = AStart.Autoreport ? auswertung->Autoreport() : auswertung->Execute();
    } catch (...) {
        auswertung->Done();
        throw;
    }
    auswertung->Done();
    if (ergebnis) return CQuendrixExitOk;
    // A run that could not read its options says so by its own code.
    return RDLProgramm().LaufExitCode() != 0 ? RDLProgramm().LaufExitCode() : CQuendrixExitAuswertungFehlgeschlagen;
}

int QuendrixDatenbankFehlerMelden(const EDatenbankFehler& E) {
    // The user reads the German text; the driver's code and details belong in the log.
    RDLInfo().RegisterException("Quendrix.Start", E, false);
    RDLInfo().ShowMeldung("STANDARD", 997, {E.what()}, mkFehler);
    return CQuendrixExitAufruf;
}

void QuendrixKatalogAusgeben(std::ostream& AOut) {
    for (const int i : QuendrixKatalogIndizes()) {
        TKOV_Quendrix_Auswertung_Class klasse = nullptr;
        if (TKOV_Glob_Quendrix_Controller::GetAuswerterByIdx(i, klasse))
            AOut << klasse->Kurzname() << '\t' << klasse->Bezeichnung() << '\n';
    }
    AOut.flush();
}

namespace {
TQuendrixKatalogAnzeige& KatalogAnzeige() {
    static TQuendrixKatalogAnzeige a = [](TKOV_Quendrix_MainFrm& AFenster) { AFenster.exec(); };
    return a;
}
} // namespace

TQuendrixKatalogAnzeige QuendrixKatalogAnzeige_Ersetzen(TQuendrixKatalogAnzeige ANeu) {
    auto alt = std::move(KatalogAnzeige());
    KatalogAnzeige() = std::move(ANeu);
    return alt;
}

// --- our own options ----------------------------------------------------------------------

bool QuendrixOptionenLesen(const std::vector<std::string>& AArgs, TQuendrixOptionen& AOptionen,
                           std::string& AFehler) {
    AOptionen = {};
    AFehler.clear();
    // A run without dialogs hands the options we do not know to its evaluation.
    const bool auswertungLiest = !QuendrixKnWert(AArgs).empty() && QuendrixAutoreportSchalter(AArgs);
    for (size_t i = 0; i < AArgs.size(); ++i) {
        const std::string& a = AArgs[i];
        AOptionen.SuiteArgumente.push_back(a);
        if (a.rfind("--", 0) != 0) {
            AOptionen.AuswertungsArgumente.push_back(a);
            continue;
        }
        const auto gleich = a.find('=');
        const std::string name = a.substr(0, gleich);
        if (name == "--db" || name == "--user") {
            std::string wert;
            if (gleich != std::string::npos)
                wert = a.substr(gleich + 1);
            else if (i + 1 < AArgs.size() && AArgs[i + 1].rfind("--", 0) != 0)
                wert = AArgs[++i];
            if (wert.empty()) {
                AFehler = "Die Option \u201E" + name + "\u201C braucht einen Wert. Aufruf: quendrix --help";
                return false;
            }
            (name == "--db" ? AOptionen.Datenbank : AOptionen.Benutzer) = wert;
        } else if (a == "--list") {
            AOptionen.Liste = true;
        } else if (a == "--help") {
            // With -kn and -autoreport: the options of that evaluation.
            if (auswertungLiest)
                AOptionen.AuswertungsArgumente.push_back(a);
            else
                AOptionen.Hilfe = true;
        } else if (auswertungLiest) {
            AOptionen.AuswertungsArgumente.push_back(a);
        } else {
            AFehler = "Unbekannte Option \u201E" + a + "\u201C. Aufruf: quendrix --help";
            return false;
        }
    }
    // The suite's switches are the host's: -kn with its value, -autoreport.
    auto& rest = AOptionen.AuswertungsArgumente;
    for (size_t i = 0; i < rest.size();) {
        const std::string& a = rest[i];
        if (QuendrixAutoreportSchalter({a})) {
            rest.erase(rest.begin() + long(i));
        } else if (!QuendrixKnWert({a, "x"}).empty() && (a[0] == '-' || a[0] == '/')) {
            // "-kn" alone takes the next argument as its value, unless that is a switch.
            const bool mitWert = a.size() == 3 && i + 1 < rest.size() && !IstSchalter(rest[i + 1]);
            rest.erase(rest.begin() + long(i), rest.begin() + long(i + (mitWert ? 2 : 1)));
        } else {
            ++i;
        }
    }
    return true;
}

std::string QuendrixHilfeText() {
    return "Aufruf: quendrix [Optionen] [-kn KURZNAME [-autoreport]]\n"
           "\n"
           "Startet das Auswertungs-Center. Ohne -kn wird der Katalog der Auswertungen gezeigt.\n"
           "\n"
           "Optionen:\n"
           "  --db PFAD      Datenbank der Installation: eine SQLite-Datei oder ein\n"
           "                 PostgreSQL-Server (postgresql://BENUTZER@HOST:PORT/NAME);\n"
           "                 sonst $QUENDRIX_DB, sonst quendrix.db im Arbeitsordner\n"
           "  --user NAME    Benutzer, dessen Rechte gelten (sonst der Anmeldename)\n"
           "  --list         Listet die Auswertungen dieser Installation auf:\n"
           "                 Kurzname, Tabulator, Bezeichnung\n"
           "  --help         Zeigt diese Hilfe; mit -kn KURZNAME -autoreport die Optionen\n"
           "                 dieser Auswertung (z. B. die Namen ihrer Gruppierungen)\n"
           "  -kn KURZNAME   Startet die Auswertung mit diesem Kurznamen direkt\n"
           "                 (auch /kn KURZNAME, -kn:KURZNAME, -knKURZNAME)\n"
           "  -autoreport    Führt die direkt gestartete Auswertung ohne Fenster und ohne\n"
           "                 Rückfragen aus; ihr Ergebnis geht in eine Datei:\n"
           "  --export DATEI    das Ergebnis als CSV-Datei (\u201E;\u201C, Windows-1252)\n"
           "  --print DATEI.pdf das Ergebnis gedruckt in eine PDF-Datei\n"
           "                 Dazu die Optionen der Auswertung (z. B. --von TT.MM.JJJJ);\n"
           "                 eine falsche Option nennt sie alle. Siehe docs/benutzerhandbuch.md.\n"
           "\n"
           "Rückgabewerte:\n"
           "  0  ausgeführt\n"
           "  1  Fehler beim Start\n"
           "  2  falscher Aufruf (auch eine Option der Auswertung), keine passende\n"
           "     Datenbank oder Datenbankfehler beim Start\n"
           "  3  Recht auf das Auswertungs-Center oder auf die direkt gestartete\n"
           "     Auswertung fehlt\n"
           "  4  Auswertung fehlgeschlagen: die direkt gestartete Auswertung ist nicht\n"
           "     gelaufen oder hat einen Fehler gemeldet\n";
}

std::string QuendrixDatenbankPfad(const TQuendrixOptionen& AOptionen) {
    if (!AOptionen.Datenbank.empty()) return AOptionen.Datenbank;
    if (const char* db = std::getenv("QUENDRIX_DB"); db && *db) return db;
    return "quendrix.db";
}

// --- start-up -------------------------------------------------------------------------------

TKOV_HiddenMainForm_Quendrix::TKOV_HiddenMainForm_Quendrix(std::vector<std::string> AArgs, QObject* AParent)
    : TKOV_HiddenMainForm(AParent), FArgs(std::move(AArgs)) {}

void TKOV_HiddenMainForm_Quendrix::Execute() {
    bool direkt = false;
    const bool ok = KOV_Geschuetzt("TKOV_HiddenMainForm_Quendrix.Execute", true, [&] {
        const TQuendrixStart start = QuendrixStartBestimmen(FArgs);
        direkt = start.Auswertung != nullptr;
        if (direkt) {
            FExitCode = QuendrixDirektStarten(start);
            return;
        }
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            throw Exception("Das Auswertungs-Center kann ohne Fensterumgebung keinen Katalog zeigen.");
        TKOV_Quendrix_MainFrm katalog;
        if (const auto& anzeige = KatalogAnzeige()) anzeige(katalog);
    });
    if (!ok) FExitCode = direkt ? CQuendrixExitAuswertungFehlgeschlagen : CQuendrixExitStartfehler;
}

int QuendrixProgrammStart(const std::vector<std::string>& AArgs) {
    std::unique_ptr<TKOV_HiddenMainForm_Quendrix> form;
    try {
        if (!ProgrammAnmelden()) return CQuendrixExitKeinRecht; // the rights check told the user
        RDLProgramm().SetTitle(CQuendrixTitel);
        form = std::make_unique<TKOV_HiddenMainForm_Quendrix>(AArgs);
    } catch (const EDatenbankFehler& E) {
        // Not a start-up fault of the program: the installation's database needs care.
        return QuendrixDatenbankFehlerMelden(E);
    } catch (const std::exception& E) {
        RDLProgramm().ShowException(E, false);
    }
    // Without a main form the message loop has nothing to run.
    if (!form) return CQuendrixExitStartfehler;
    form->Ausfuehren();
    return form->ExitCode();
}

int QuendrixMain(const std::vector<std::string>& AArgs, std::ostream& AOut, std::ostream& AErr) {
    TQuendrixOptionen optionen;
    std::string fehler;
    if (!QuendrixOptionenLesen(AArgs, optionen, fehler)) {
        AErr << fehler << std::endl;
        return CQuendrixExitAufruf;
    }
    if (optionen.Hilfe) {
        AOut << QuendrixHilfeText() << std::flush;
        return CQuendrixExitOk;
    }
    try {
        RDLProgramm().DatenbankSetzen(TRDLDatenbank::Oeffnen(QuendrixDatenbankPfad(optionen)));
    } catch (const std::exception& E) {
        AErr << E.what() << std::endl;
        return CQuendrixExitAufruf;
    }
    RDLProgramm().BenutzerSetzen(optionen.Benutzer.empty() ? LoginName() : optionen.Benutzer);
    if (optionen.Liste) return QuendrixListe(AOut);

    const std::vector<std::string>& args = optionen.SuiteArgumente;
    const std::string kn = QuendrixKnWert(args);
    const bool autoreport = QuendrixAutoreportSchalter(args);
    TKOV_Quendrix_Auswertung_Class klasse = nullptr;
    const bool bekannt = !kn.empty() && TKOV_Glob_Quendrix_Controller::GetAuswerterByKurzname(kn, klasse);
    // An autoreport has nobody to pick from the catalogue.
    if (autoreport && !bekannt) {
        AErr << (kn.empty() ? std::string("Die Option -autoreport braucht -kn KURZNAME. Aufruf: quendrix --help")
                            : "Es gibt keine Auswertung mit dem Kurznamen \u201E" + kn +
                                  "\u201C. Die Kurznamen zeigt: quendrix --list")
             << std::endl;
        return CQuendrixExitAufruf;
    }
    if (!autoreport && !HatBildschirm()) {
        AErr << "Das Auswertungs-Center braucht eine Bildschirmsitzung. Ohne Bildschirm laufen "
                "\u201Equendrix --list\u201C und \u201Equendrix -kn KURZNAME -autoreport\u201C."
             << std::endl;
        return CQuendrixExitStartfehler;
    }
    TQtLauf qt(autoreport);
    RDLProgramm().AuswertungsArgumenteSetzen(optionen.AuswertungsArgumente);
    RDLProgramm().LaufExitCodeSetzen(0);
    const int code = QuendrixProgrammStart(args);
    // A lost server fails the run whatever the steps after the loss made of it (a failed
    // read looks like an empty list to some of them).
    if (RDLProgramm().Datenbank().VerbindungVerloren()) {
        RDLInfo().ShowMeldung("STANDARD", 997,
                              {"Der Datenbankserver \u201E" + RDLProgramm().Datenbank().Pfad() +
                               "\u201C ist nicht erreichbar: die Verbindung ist abgebrochen oder er antwortet nicht. "
                               "Die Auswertung wurde beendet; was nicht abgeschlossen war, wurde nicht gespeichert."},
                              mkFehler);
        return CQuendrixExitAuswertungFehlgeschlagen;
    }
    return code;
}
