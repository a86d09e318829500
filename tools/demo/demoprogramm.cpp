// Command line of quendrix-demo: arguments, the database file, progress and summary.
#include "demo.h"
#include "rdldatum.h"
#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const CHilfe =
    "Aufruf: quendrix-demo --db DATEI [Optionen]\n"
    "\n"
    "Schreibt eine Demo-Installation des Auswertungs-Centers in eine neue Datenbankdatei:\n"
    "Mandanten, Filialen mit Öffnungszeiten, Feiertage, Rechner, Verkäufer, Benutzer und\n"
    "die Umsätze der letzten Tage bis gestern. Gleiche Optionen und gleiches Tagesdatum\n"
    "ergeben gleiche Daten.\n"
    "\n"
    "Optionen (auch als --option=wert):\n"
    "  --db DATEI              die Datenbankdatei (Pflicht)\n"
    "  --seed N                Startwert des Zufallsgenerators (Standard 1)\n"
    "  --branches N            Zahl der Filialen, 1 bis 500 (Standard 12)\n"
    "  --days N                Tage mit Umsätzen bis gestern, 1 bis 5000 (Standard 800)\n"
    "  --rtyp N                Installationstyp, 0 bis 7 (Standard 1)\n"
    "  --kundenkennung TEXT    Kundenkennung aus 8 Zeichen (Standard ODRIKS00)\n"
    "  --heute DATUM           Tagesdatum der Erzeugung, TT.MM.JJJJ oder JJJJ-MM-TT\n"
    "                          (Standard: das heutige Datum)\n"
    "  --force                 eine vorhandene Datei überschreiben\n"
    "  --help                  diese Hilfe\n"
    "\n"
    "Rückgabewerte: 0 fertig, 1 Datei vorhanden oder Schreibfehler, 2 ungültige Argumente.\n";

enum class TParse { Ok, Hilfe, Fehler };

template <class T>
bool Zahl(const std::string& AText, T& AWert) {
    const char* ende = AText.data() + AText.size();
    auto [p, ec] = std::from_chars(AText.data(), ende, AWert);
    return ec == std::errc() && p == ende && !AText.empty();
}

TParse Parsen(const std::vector<std::string>& AArgs, TDemoOptionen& O, std::string& AFehler) {
    bool dbGesetzt = false;
    for (size_t i = 0; i < AArgs.size(); ++i) {
        const std::string& arg = AArgs[i];
        if (arg == "--help" || arg == "-h") return TParse::Hilfe;
        if (arg.rfind("--", 0) != 0) {
            AFehler = "Unerwartetes Argument \u201E" + arg + "\u201C.";
            return TParse::Fehler;
        }
        std::string name = arg.substr(2), wert;
        const auto gleich = name.find('=');
        const bool mitGleich = gleich != std::string::npos;
        if (mitGleich) {
            wert = name.substr(gleich + 1);
            name.resize(gleich);
        }
        if (name == "force") {
            if (mitGleich) {
                AFehler = "Die Option \u201E--force\u201C hat keinen Wert.";
                return TParse::Fehler;
            }
            O.Ueberschreiben = true;
            continue;
        }
        static const char* const CMitWert[] = {"db", "seed", "branches", "days", "rtyp", "kundenkennung", "heute"};
        if (std::find(std::begin(CMitWert), std::end(CMitWert), name) == std::end(CMitWert)) {
            AFehler = "Unbekannte Option \u201E" + arg + "\u201C.";
            return TParse::Fehler;
        }
        if (!mitGleich) {
            if (i + 1 >= AArgs.size()) {
                AFehler = "Der Option \u201E--" + name + "\u201C fehlt der Wert.";
                return TParse::Fehler;
            }
            wert = AArgs[++i];
        }
        bool gut = true;
        if (name == "db") {
            gut = !wert.empty();
            O.Pfad = wert;
            dbGesetzt = true;
        } else if (name == "seed") gut = Zahl(wert, O.Seed);
        else if (name == "branches") gut = Zahl(wert, O.Filialen);
        else if (name == "days") gut = Zahl(wert, O.Tage);
        else if (name == "rtyp") gut = Zahl(wert, O.RTyp);
        else if (name == "kundenkennung") O.Kundenkennung = wert;
        else if (name == "heute") gut = TryStrToDate(wert, O.Heute);
        if (!gut) {
            AFehler = "Ungültiger Wert \u201E" + wert + "\u201C für \u201E--" + name + "\u201C.";
            return TParse::Fehler;
        }
    }
    if (!dbGesetzt) {
        AFehler = "Die Datenbankdatei fehlt (--db DATEI).";
        return TParse::Fehler;
    }
    AFehler = DemoOptionenFehler(O);
    return AFehler.empty() ? TParse::Ok : TParse::Fehler;
}

// "1.234.567"
std::string Tausender(int64_t n) {
    std::string s = std::to_string(n < 0 ? -n : n);
    for (int i = int(s.size()) - 3; i > 0; i -= 3) s.insert(size_t(i), ".");
    return n < 0 ? "-" + s : s;
}

volatile std::sig_atomic_t GAbbruch = 0;
extern "C" void AbbruchMelden(int) { GAbbruch = 1; }

struct EAbgebrochen : std::exception {};

void Aufraeumen(const std::string& APfad) {
    std::error_code ec;
    for (const char* endung : {"", "-wal", "-shm", "-journal"}) fs::remove(APfad + endung, ec);
}

} // namespace

int DemoProgramm(const std::vector<std::string>& AArgumente, std::ostream& AOut, std::ostream& AErr,
                 bool AFortschrittAnzeigen) {
    TDemoOptionen O;
    std::string fehler;
    switch (Parsen(AArgumente, O, fehler)) {
    case TParse::Hilfe:
        AOut << CHilfe;
        return 0;
    case TParse::Fehler:
        AErr << "quendrix-demo: " << fehler << "\n(quendrix-demo --help zeigt die Optionen.)\n";
        return 2;
    case TParse::Ok:
        break;
    }

    std::error_code ec;
    const fs::path ziel(O.Pfad);
    if (fs::exists(fs::symlink_status(ziel, ec))) {
        if (fs::is_directory(ziel, ec)) {
            AErr << "quendrix-demo: \u201E" << O.Pfad << "\u201C ist ein Verzeichnis.\n";
            return 1;
        }
        if (!O.Ueberschreiben) {
            AErr << "quendrix-demo: Die Datei \u201E" << O.Pfad
                 << "\u201C gibt es schon; sie bleibt unverändert. Mit --force wird sie überschrieben.\n";
            return 1;
        }
    }
    const fs::path verzeichnis = ziel.parent_path();
    if (!verzeichnis.empty() && !fs::is_directory(verzeichnis, ec)) {
        AErr << "quendrix-demo: Das Verzeichnis \u201E" << verzeichnis.string() << "\u201C gibt es nicht.\n";
        return 1;
    }

    // Written beside the target and renamed at the end: an existing file stays intact
    // until the new one is complete.
    const std::string temp = O.Pfad + ".entsteht-" + std::to_string(::getpid());
    const auto start = std::chrono::steady_clock::now();
    GAbbruch = 0;
    auto alterSigint = std::signal(SIGINT, AbbruchMelden);
    auto alterSigterm = std::signal(SIGTERM, AbbruchMelden);
    struct TSignaleZurueck {
        void (*Int)(int);
        void (*Term)(int);
        ~TSignaleZurueck() { std::signal(SIGINT, Int); std::signal(SIGTERM, Term); }
    } signaleZurueck{alterSigint, alterSigterm};

    size_t zeilenLaenge = 0;
    std::string letzteAnzeige;
    auto fortschritt = [&](const std::string& ABereich, int AProzent, int64_t AZeilen) {
        if (GAbbruch) throw EAbgebrochen();
        if (!AFortschrittAnzeigen) return;
        const std::string text = ABereich + ": " + std::to_string(AProzent) + " % (" + Tausender(AZeilen) + " Zeilen)";
        if (text == letzteAnzeige) return;
        letzteAnzeige = text;
        AErr << '\r' << text << std::string(text.size() < zeilenLaenge ? zeilenLaenge - text.size() : 0, ' ')
             << std::flush;
        zeilenLaenge = text.size();
    };
    auto anzeigeBeenden = [&] {
        if (zeilenLaenge) AErr << '\r' << std::string(zeilenLaenge, ' ') << '\r' << std::flush;
        zeilenLaenge = 0;
    };

    TDemoErgebnis E;
    try {
        {
            auto db = TRDLDatenbank::Anlegen(temp, true);
            E = DemoErzeugen(*db, O, fortschritt);
        }
        // The old file's journal belongs to the old file.
        for (const char* endung : {"-wal", "-shm"}) fs::remove(O.Pfad + endung, ec);
        fs::rename(temp, ziel);
    } catch (const EAbgebrochen&) {
        anzeigeBeenden();
        Aufraeumen(temp);
        AErr << "quendrix-demo: Abgebrochen; \u201E" << O.Pfad << "\u201C bleibt unverändert.\n";
        return 130;
    } catch (const std::exception& ex) {
        anzeigeBeenden();
        Aufraeumen(temp);
        AErr << "quendrix-demo: Fehler: " << ex.what() << "\n";
        return 1;
    }
    anzeigeBeenden();

    const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto groesse = fs::file_size(ziel, ec);
    char zeit[32];
    std::snprintf(zeit, sizeof zeit, "%.1f", sekunden);
    std::string zeitText = zeit;
    std::replace(zeitText.begin(), zeitText.end(), '.', ',');
    auto anzahl = [](int64_t n, const char* AEinzahl, const char* AMehrzahl) {
        return Tausender(n) + " " + (n == 1 ? AEinzahl : AMehrzahl);
    };
    AOut << "Demo-Installation \u201E" << O.Pfad << "\u201C: " << anzahl(E.Mandanten, "Mandant", "Mandanten") << ", "
         << anzahl(E.Filialen, "Filiale", "Filialen") << ", " << anzahl(E.Rechner, "Rechner", "Rechner") << ", "
         << anzahl(E.Verkaeufer, "Verkäufer", "Verkäufer") << ", " << anzahl(E.Benutzer, "Benutzer", "Benutzer")
         << ", " << anzahl(E.Feiertage, "Feiertag", "Feiertage") << ", "
         << anzahl(E.Umsatzzeilen, "Umsatzzeile", "Umsatzzeilen") << " in "
         << anzahl(E.Transaktionen, "Transaktion", "Transaktionen") << " (" << DateToStr(E.ErsterTag) << " bis "
         << DateToStr(E.LetzterTag) << "), " << anzahl(E.Warengruppencodes, "Warengruppencode", "Warengruppencodes")
         << "; "
         << (ec ? std::string("?") : Tausender(int64_t(groesse / (1024 * 1024)))) << " MB in " << zeitText
         << " s.\n";
    return 0;
}
