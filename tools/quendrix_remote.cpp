// quendrix-remote: asks an open result window of this user on this workstation for its
// current result in a file, and waits for the answer (docs/benutzerhandbuch.md,
// "Fernsteuerung der Ergebnisfenster").
#include "rdlfernsteuerung.h"

#include <QCoreApplication>

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int CExitGeschrieben = 0;
constexpr int CExitAufruf = 2;
constexpr int CExitKeinFenster = 3;
constexpr int CExitFehler = 4;
constexpr int CExitZeitablauf = 5;
constexpr int CZeitStandard = 60;
constexpr int CZeitMax = 86400;

const char* const CAufruf =
    "Aufruf: quendrix-remote --window FENSTER --export DATEI [--timeout SEKUNDEN]\n"
    "  --window FENSTER     das Ergebnisfenster, z. B. TKOV_UmsatzAuswertFrm (Gro\u00DF-/Kleinschreibung egal)\n"
    "  --export DATEI       wohin das Fenster sein Ergebnis schreibt (CSV wie \u201EExportieren\u201C)\n"
    "  --timeout SEKUNDEN   wie lange auf die Antwort gewartet wird, 1 bis 86400 (Vorgabe 60)\n"
    "Exit-Codes: 0 geschrieben, 2 falscher Aufruf, 3 kein solches Fenster offen, 4 das Fenster meldet\n"
    "einen Fehler, 5 keine Antwort in der Zeit.\n";

int Aufruffehler(const std::string& AText) {
    std::cerr << "quendrix-remote: " << AText << "\n" << CAufruf;
    return CExitAufruf;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string fenster, datei;
    int sekunden = CZeitStandard;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << CAufruf;
            return CExitGeschrieben;
        }
        if (a != "--window" && a != "--export" && a != "--timeout")
            return Aufruffehler("Unbekannte Angabe \u201E" + a + "\u201C.");
        if (i + 1 >= args.size() || args[i + 1].empty())
            return Aufruffehler("Die Option \u201E" + a + "\u201C braucht einen Wert.");
        const std::string& wert = args[++i];
        if (a == "--window") {
            fenster = wert;
        } else if (a == "--export") {
            datei = wert;
        } else {
            const auto r = std::from_chars(wert.data(), wert.data() + wert.size(), sekunden);
            if (r.ec != std::errc() || r.ptr != wert.data() + wert.size() || sekunden < 1 || sekunden > CZeitMax)
                return Aufruffehler("\u201E" + wert + "\u201C ist keine Zahl von 1 bis 86400 (Sekunden).");
        }
    }
    if (fenster.empty() || datei.empty()) return Aufruffehler("Bitte --window und --export angeben.");
    if (datei.find_first_of("\n\r") != std::string::npos)
        return Aufruffehler("Der Dateiname darf keinen Zeilenumbruch enthalten.");

    QCoreApplication app(argc, argv);
    const TRDLFernAntwort antwort = RDLFernErgebnisAnfordern(fenster, datei, sekunden, [] {
        std::cerr << "Das Fenster wertet gerade aus; es antwortet, sobald die Auswertung fertig ist.\n" << std::flush;
    });
    switch (antwort.Ergebnis) {
    case TRDLFernErgebnis::Geschrieben:
        std::cout << antwort.Text << "\n";
        return CExitGeschrieben;
    case TRDLFernErgebnis::KeinFenster:
        std::cerr << "quendrix-remote: " << antwort.Text << "\n";
        return CExitKeinFenster;
    case TRDLFernErgebnis::Zeitablauf:
        std::cerr << "quendrix-remote: " << antwort.Text << "\n";
        return CExitZeitablauf;
    case TRDLFernErgebnis::Fehler:
        break;
    }
    std::cerr << "quendrix-remote: " << antwort.Text << "\n";
    return CExitFehler;
}
