// Command line of quendrix-demo: arguments, the target (a file or a server database),
// progress and summary.
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
    "Aufruf: quendrix-demo --db DATEI|ADRESSE [Optionen]\n"
    "\n"
    "Schreibt eine Demo-Installation des Auswertungs-Centers in eine neue Datenbankdatei\n"
    "oder in eine Datenbank auf einem PostgreSQL-Server: Mandanten, Filialen mit\n"
    "Bundesland, Öffnungszeiten und Ausnahmetagen, Schließtage, Rechner, Verkäufer,\n"
    "Benutzer, die Umsätze der letzten Tage bis gestern, die Zeitbuchungen der\n"
    "Verkäufer an diesen Tagen, die Wechselkurse der Schweizer Filiale sowie Lieferanten,\n"
    "Artikel und die Einkaufsbelege der letzten 120 Tage (schwimmende Ware). Gleiche\n"
    "Optionen und gleiches Tagesdatum ergeben gleiche Daten.\n"
    "\n"
    "Optionen (auch als --option=wert):\n"
    "  --db DATEI|ADRESSE      die Datenbankdatei oder die Serverdatenbank (Pflicht),\n"
    "                          z. B. postgresql://benutzer@rechner:5432/name (Passwort\n"
    "                          aus PGPASSWORD oder ~/.pgpass); die Serverdatenbank muss\n"
    "                          es geben und leer sein oder eine Installation enthalten,\n"
    "                          die --force ersetzt\n"
    "  --seed N                Startwert des Zufallsgenerators (Standard 1)\n"
    "  --branches N            Zahl der Filialen, 1 bis 500 (Standard 12)\n"
    "  --days N                Tage mit Umsätzen bis gestern, 1 bis 5000 (Standard 800)\n"
    "  --rtyp N                Installationstyp, 0 bis 7 (Standard 1)\n"
    "  --kundenkennung TEXT    Kundenkennung aus 8 Zeichen (Standard ODRIKS00)\n"
    "  --heute DATUM           Tagesdatum der Erzeugung, TT.MM.JJJJ oder JJJJ-MM-TT\n"
    "                          (Standard: das heutige Datum)\n"
    "  --force                 eine vorhandene Datei oder Installation ersetzen\n"
    "  --help                  diese Hilfe\n"
    "\n"
    "Rückgabewerte: 0 fertig, 1 Datei oder Installation vorhanden (ohne --force) oder\n"
    "Schreibfehler, 2 ungültige Argumente oder unbrauchbare Datenbank, 130 abgebrochen.\n";

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
        AFehler = "Die Datenbank fehlt (--db DATEI oder --db postgresql://...).";
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

std::string Anfuehren(const std::string& AText) { return "\u201E" + AText + "\u201C"; }

volatile std::sig_atomic_t GAbbruch = 0;
extern "C" void AbbruchMelden(int) { GAbbruch = 1; }

struct EAbgebrochen : std::exception {};

// One run: Ctrl-C and SIGTERM cancel it, progress goes to a terminal, messages to stderr.
class TLauf {
public:
    TLauf(const TDemoOptionen& O, std::ostream& AOut, std::ostream& AErr, bool AAnzeigen)
        : FO(O), FOut(AOut), FErr(AErr), FAnzeigen(AAnzeigen), FStart(std::chrono::steady_clock::now()) {
        GAbbruch = 0;
        FAltInt = std::signal(SIGINT, AbbruchMelden);
        FAltTerm = std::signal(SIGTERM, AbbruchMelden);
    }
    ~TLauf() {
        AnzeigeBeenden();
        std::signal(SIGINT, FAltInt);
        std::signal(SIGTERM, FAltTerm);
    }
    TLauf(const TLauf&) = delete;
    TLauf& operator=(const TLauf&) = delete;

    // Cancels with EAbgebrochen once a signal came.
    void Fortschritt(const std::string& ABereich, int AProzent, int64_t AZeilen) {
        if (GAbbruch) throw EAbgebrochen();
        Anzeigen(ABereich, AProzent, AZeilen);
    }
    void Anzeigen(const std::string& ABereich, int AProzent, int64_t AZeilen) {
        if (!FAnzeigen) return;
        const std::string text = ABereich + ": " + std::to_string(AProzent) + " % (" + Tausender(AZeilen) + " Zeilen)";
        if (text == FLetzte) return;
        FLetzte = text;
        FErr << '\r' << text << std::string(text.size() < FLaenge ? FLaenge - text.size() : 0, ' ') << std::flush;
        FLaenge = text.size();
    }
    void Fehler(const std::string& AText) {
        AnzeigeBeenden();
        FErr << "quendrix-demo: " << AText << "\n";
    }

    // The installation in one booking bracket, replacing this program's tables in it.
    TDemoErgebnis Schreiben(TRDLDatenbank& ADb) {
        RDLBuchung alles(ADb);
        ADb.SchemaErneuern();
        auto E = DemoErzeugen(ADb, FO, [this](const std::string& B, int P, int64_t Z) { Fortschritt(B, P, Z); });
        alles.Beenden();
        return E;
    }

    void Zusammenfassung(const std::string& AOrt, const TDemoErgebnis& E, const std::string& AGroesse) {
        AnzeigeBeenden();
        const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
        char zeit[32];
        std::snprintf(zeit, sizeof zeit, "%.1f", sekunden);
        std::string zeitText = zeit;
        std::replace(zeitText.begin(), zeitText.end(), '.', ',');
        auto anzahl = [](int64_t n, const char* AEinzahl, const char* AMehrzahl) {
            return Tausender(n) + " " + (n == 1 ? AEinzahl : AMehrzahl);
        };
        FOut << "Demo-Installation " << Anfuehren(AOrt) << ": " << anzahl(E.Mandanten, "Mandant", "Mandanten") << ", "
             << anzahl(E.Filialen, "Filiale", "Filialen") << ", " << anzahl(E.Rechner, "Rechner", "Rechner") << ", "
             << anzahl(E.Verkaeufer, "Verkäufer", "Verkäufer") << ", " << anzahl(E.Benutzer, "Benutzer", "Benutzer")
             << ", " << anzahl(E.Feiertage, "Schließtag", "Schließtage") << ", "
             << anzahl(E.Ausnahmezeiten, "Ausnahmezeit", "Ausnahmezeiten") << ", "
             << anzahl(E.Umsatzzeilen, "Umsatzzeile", "Umsatzzeilen") << " in "
             << anzahl(E.Transaktionen, "Transaktion", "Transaktionen") << " (" << DateToStr(E.ErsterTag) << " bis "
             << DateToStr(E.LetzterTag) << "), "
             << anzahl(E.Warengruppencodes, "Warengruppencode", "Warengruppencodes") << ", "
             << anzahl(E.Zeitbuchungen, "Zeitbuchung", "Zeitbuchungen") << ", "
             << anzahl(E.Wechselkurse, "Wechselkurs", "Wechselkurse") << ", "
             << anzahl(E.Artikel, "Artikel", "Artikel") << ", " << anzahl(E.Dispositionen, "Disposition", "Dispositionen")
             << ", " << anzahl(E.Belege, "Beleg", "Belege") << ", "
             << anzahl(E.Mitarbeiter, "Mitarbeiter", "Mitarbeiter") << " mit "
             << anzahl(E.Personalbelege, "Personalbeleg", "Personalbelegen") << ", "
             << anzahl(E.Preise, "Preis", "Preise") << ", "
             << anzahl(E.Anfangsbestaende, "Anfangsbestand", "Anfangsbestände") << ", "
             << anzahl(E.Bestandsbewegungen, "Bestandsbewegung", "Bestandsbewegungen") << "; "
             << (AGroesse.empty() ? "" : AGroesse + " in ") << zeitText << " s.\n";
    }

private:
    void AnzeigeBeenden() {
        if (FLaenge) FErr << '\r' << std::string(FLaenge, ' ') << '\r' << std::flush;
        FLaenge = 0;
    }

    const TDemoOptionen& FO;
    std::ostream& FOut;
    std::ostream& FErr;
    bool FAnzeigen;
    std::chrono::steady_clock::time_point FStart;
    void (*FAltInt)(int) = nullptr;
    void (*FAltTerm)(int) = nullptr;
    size_t FLaenge = 0;
    std::string FLetzte;
};

void Aufraeumen(const std::string& APfad) {
    std::error_code ec;
    for (const char* endung : {"", "-wal", "-shm", "-journal"}) fs::remove(APfad + endung, ec);
}

// A new file beside the target, renamed over it when complete: an existing file stays
// intact until then.
int DateiSchreiben(const TDemoOptionen& O, TLauf& L) {
    std::error_code ec;
    const fs::path ziel(O.Pfad);
    if (fs::exists(fs::symlink_status(ziel, ec))) {
        if (fs::is_directory(ziel, ec)) {
            L.Fehler(Anfuehren(O.Pfad) + " ist ein Verzeichnis.");
            return 1;
        }
        if (!O.Ueberschreiben) {
            L.Fehler("Die Datei " + Anfuehren(O.Pfad) +
                     " gibt es schon; sie bleibt unverändert. Mit --force wird sie überschrieben.");
            return 1;
        }
    }
    const fs::path verzeichnis = ziel.parent_path();
    if (!verzeichnis.empty() && !fs::is_directory(verzeichnis, ec)) {
        L.Fehler("Das Verzeichnis " + Anfuehren(verzeichnis.string()) + " gibt es nicht.");
        return 1;
    }

    DemoResteEntfernen(O.Pfad);
    const std::string temp = O.Pfad + ".entsteht-" + std::to_string(::getpid());
    TDemoErgebnis E;
    try {
        {
            auto db = TRDLDatenbank::Anlegen(temp, true);
            E = L.Schreiben(*db);
            // Planner statistics; the layer also empties the log into the file.
            L.Fortschritt("Abschluss", 0, E.Umsatzzeilen);
            db->NachMassenladen();
        }
        L.Fortschritt("Abschluss", 100, E.Umsatzzeilen);
        DemoDateiEinsetzen(temp, O.Pfad);
    } catch (const EAbgebrochen&) {
        Aufraeumen(temp);
        L.Fehler("Abgebrochen; " + Anfuehren(O.Pfad) + " bleibt unverändert.");
        return 130;
    } catch (const std::exception& ex) {
        Aufraeumen(temp);
        L.Fehler(std::string("Fehler: ") + ex.what());
        return 1;
    }
    const auto groesse = fs::file_size(ziel, ec);
    L.Zusammenfassung(O.Pfad, E, ec ? std::string("?") + " MB" : Tausender(int64_t(groesse / (1024 * 1024))) + " MB");
    return 0;
}

// An installation without a single row: what an interrupted first run leaves.
// The server database must exist. It must be empty, or hold an installation that --force
// replaces; another program's tables are never touched. The schema is replaced in the
// transaction that writes the new installation, so a failure or Ctrl-C leaves the
// database as it was.
int ServerSchreiben(const TDemoOptionen& O, TLauf& L) {
    std::shared_ptr<TRDLDatenbank> db;
    try {
        db = TRDLDatenbank::Verbinden(O.Pfad);
        switch (db->Inhalt()) {
        case TRDLDatenbank::TInhalt::Leer:
            break;
        case TRDLDatenbank::TInhalt::Fremde:
            L.Fehler("Die Datenbank " + Anfuehren(db->Pfad()) +
                     " enthält Tabellen eines anderen Programms; sie bleibt unverändert.");
            return 2;
        case TRDLDatenbank::TInhalt::Eigene:
            if (!O.Ueberschreiben) {
                L.Fehler("Die Datenbank " + Anfuehren(db->Pfad()) +
                         " enthält schon eine Installation; sie bleibt unverändert. Mit --force wird sie ersetzt.");
                return 1;
            }
            break;
        }
    } catch (const EDatenbankFehler& e) {
        L.Fehler(e.what());
        return 2;
    }

    TDemoErgebnis E;
    try {
        E = L.Schreiben(*db);
    } catch (const EAbgebrochen&) {
        L.Fehler("Abgebrochen; " + Anfuehren(db->Pfad()) + " bleibt unverändert.");
        return 130;
    } catch (const std::exception& ex) {
        L.Fehler(std::string("Fehler: ") + ex.what());
        return 1;
    }
    // Committed: from here on a signal no longer cancels.
    L.Anzeigen("Abschluss", 0, E.Umsatzzeilen);
    try {
        db->NachMassenladen();
    } catch (const std::exception& ex) {
        L.Fehler(std::string("Die Installation ist vollständig; die Planerstatistik fehlt: ") + ex.what());
    }
    L.Zusammenfassung(db->Pfad(), E, "");
    return 0;
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
    TLauf lauf(O, AOut, AErr, AFortschrittAnzeigen);
    return RDLIstServerAdresse(O.Pfad) ? ServerSchreiben(O, lauf) : DateiSchreiben(O, lauf);
}
