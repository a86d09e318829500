// The program unit: the suite's switches, our own options, the start-up sequence and
// the direct start of an evaluation.
#include "erwarteteausnahmen.h"
#include "host_umgebung.h"
#include "testumgebung.h"

#include "qttestapp.h"
#include "quendrix.h"
#include "quendrixmain.h"
#include "quendrixmodule.h"
#include "vtrdlvrlist.h"

#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

namespace {

using TArgs = std::vector<std::string>;

std::string Zeilen(std::initializer_list<const char*> AZeilen) {
    std::string t;
    for (const char* z : AZeilen) t += std::string(z) + "\n";
    return t;
}

// While it lives, the catalogue window is not shown modally: its rows are written to
// Text as "Kurzname<tab>Bezeichnung" lines, in the window's order.
struct TKatalogMitschnitt {
    std::string Text;
    TQuendrixKatalogAnzeige Alt;
    TKatalogMitschnitt() {
        Alt = QuendrixKatalogAnzeige_Ersetzen([this](TKOV_Quendrix_MainFrm& AFenster) {
            const TVRList* l = AFenster.vtAuswertungen->List();
            for (int r = 0; l && r < l->GetRowCount(); ++r)
                Text += l->GetCellValue(r, TKOV_Quendrix_MainFrm::spKurzname).AsString() + "\t" +
                        l->GetCellValue(r, TKOV_Quendrix_MainFrm::spBezeichnung).AsString() + "\n";
        });
    }
    ~TKatalogMitschnitt() { QuendrixKatalogAnzeige_Ersetzen(std::move(Alt)); }
};

} // namespace

// --- "kn" and "autoreport" ----------------------------------------------------------------------

TEST(Kommandozeile, KnUndAutoreportEntscheidenDenStart) {
    TTestUmgebung umgebung;
    THostRegistrierung registrierung;
    QuendrixAuswertungenRegistrieren();
    const struct {
        TArgs Args;
        std::string Kn;          // value of the switch
        std::string Auswertung;  // Kurzname of the direct start, empty: catalogue
        bool Autoreport;
    } faelle[] = {
        {{"-kn", "umsausw"}, "umsausw", "UMSAUSW", false},
        {{"/KN", "UMSAUSW"}, "UMSAUSW", "UMSAUSW", false},
        {{"-kn:UMSAUSW"}, "UMSAUSW", "UMSAUSW", false},
        {{"-knUMSAUSW"}, "UMSAUSW", "UMSAUSW", false},
        {{"/Kn:persrab"}, "persrab", "PersRab", false},
        {{"x.txt", "-kn", "VFAUSW"}, "VFAUSW", "VFAUSW", false},
        {{"-kn", "UMSAUSW", "-autoreport"}, "UMSAUSW", "UMSAUSW", true},
        {{"/AUTOREPORT", "-kn", "pkauswert"}, "pkauswert", "PKAUSWERT", true},
        {{"-kn", "UMSAUSW", "-autoreport=1"}, "UMSAUSW", "UMSAUSW", false},
        {{"-kn", "UMSAUSW", "-autoreports"}, "UMSAUSW", "UMSAUSW", false},
        {{"-kn", "UMSAUSW", "autoreport"}, "UMSAUSW", "UMSAUSW", false},
        {{"-kn", "VFAUSW", "-kn", "UMSAUSW"}, "VFAUSW", "VFAUSW", false},
        // Without a value the switch names nothing: the catalogue.
        {{"-kn", "-autoreport"}, "", "", false},
        {{"-kn", "/autoreport"}, "", "", false},
        {{"-kn"}, "", "", false},
        {{"-kn:"}, "", "", false},
        {{"-kn", "-x", "-kn", "UMSAUSW"}, "", "", false},
        {{"-kn", "XYZ", "-autoreport"}, "XYZ", "", false},
        {{"-autoreport"}, "", "", false},
        {{"kn", "UMSAUSW"}, "", "", false},
        {{"-k", "UMSAUSW"}, "", "", false},
        {{}, "", "", false},
    };
    for (const auto& f : faelle) {
        std::string zeile;
        for (const auto& a : f.Args) zeile += a + " ";
        SCOPED_TRACE(zeile);
        EXPECT_EQ(QuendrixKnWert(f.Args), f.Kn);
        const TQuendrixStart start = QuendrixStartBestimmen(f.Args);
        EXPECT_EQ(start.Auswertung ? start.Auswertung->Kurzname() : "", f.Auswertung);
        EXPECT_EQ(start.Autoreport, f.Autoreport);
        EXPECT_EQ(start.Titel, start.Auswertung ? start.Auswertung->Bezeichnung() : "Auswertungs-Center");
    }
    EXPECT_TRUE(umgebung.Meldungen().Meldungen.empty());
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// --- our own options ----------------------------------------------------------------------------

// Our options may stand anywhere. The suite's switches see the arguments as given,
// our options included, but never the value of one of ours as a switch.
TEST(Kommandozeile, EigeneOptionenUndDieSchalterDerSuite) {
    const struct {
        TArgs Args;
        std::string Fehler;
        std::string Db, Benutzer;
        bool Liste, Hilfe;
        TArgs SuiteArgumente;
        std::string Kn;
    } faelle[] = {
        {{"--db", "/knx.db"}, "", "/knx.db", "", false, false, {"--db"}, ""},
        {{"--db", "/knx.db", "-kn", "UMSAUSW"}, "", "/knx.db", "", false, false, {"--db", "-kn", "UMSAUSW"}, "UMSAUSW"},
        {{"-kn", "--db", "d.db", "UMSAUSW", "-autoreport"}, "", "d.db", "", false, false,
         {"-kn", "--db", "UMSAUSW", "-autoreport"}, ""},
        {{"-kn", "--list", "UMSAUSW"}, "", "", "", true, false, {"-kn", "--list", "UMSAUSW"}, ""},
        {{"-kn", "--db=d.db", "UMSAUSW"}, "", "d.db", "", false, false, {"-kn", "--db=d.db", "UMSAUSW"}, ""},
        {{"-kn", "UMSAUSW", "--db", "d.db"}, "", "d.db", "", false, false, {"-kn", "UMSAUSW", "--db"}, "UMSAUSW"},
        {{"--db=/a.db", "--user=anna", "--list"}, "", "/a.db", "anna", true, false,
         {"--db=/a.db", "--user=anna", "--list"}, ""},
        {{"--user", "-kn", "-knVFAUSW", "-autoreport"}, "", "", "-kn", false, false,
         {"--user", "-knVFAUSW", "-autoreport"}, "VFAUSW"},
        {{"/kn", "X", "--help"}, "", "", "", false, true, {"/kn", "X", "--help"}, "X"},
        {{"--foo"}, "Unbekannte Option \u201E--foo\u201C. Aufruf: quendrix --help", "", "", false, false, {}, ""},
        {{"--list=1"}, "Unbekannte Option \u201E--list=1\u201C. Aufruf: quendrix --help", "", "", false, false, {}, ""},
        {{"--db"}, "Die Option \u201E--db\u201C braucht einen Wert. Aufruf: quendrix --help", "", "", false, false, {},
         ""},
        {{"--db", "--list"}, "Die Option \u201E--db\u201C braucht einen Wert. Aufruf: quendrix --help", "", "", false,
         false, {}, ""},
        {{"--user="}, "Die Option \u201E--user\u201C braucht einen Wert. Aufruf: quendrix --help", "", "", false,
         false, {}, ""},
    };
    for (const auto& f : faelle) {
        std::string zeile;
        for (const auto& a : f.Args) zeile += a + " ";
        SCOPED_TRACE(zeile);
        TQuendrixOptionen o;
        std::string fehler;
        EXPECT_EQ(QuendrixOptionenLesen(f.Args, o, fehler), f.Fehler.empty());
        EXPECT_EQ(fehler, f.Fehler);
        if (!f.Fehler.empty()) continue;
        EXPECT_EQ(o.Datenbank, f.Db);
        EXPECT_EQ(o.Benutzer, f.Benutzer);
        EXPECT_EQ(o.Liste, f.Liste);
        EXPECT_EQ(o.Hilfe, f.Hilfe);
        EXPECT_EQ(o.SuiteArgumente, f.SuiteArgumente);
        EXPECT_EQ(QuendrixKnWert(o.SuiteArgumente), f.Kn);
    }
}

// A run without dialogs hands what we do not know to its evaluation, without our
// options and the suite's switches; an interactive run refuses it.
TEST(Kommandozeile, OptionenDerAuswertungNurImAutoreport) {
    const struct {
        TArgs Args;
        bool Ok;
        TArgs Auswertung;
    } faelle[] = {
        {{"--db", "d.db", "-kn", "UMSAUSW", "-autoreport", "--von", "01.12.2026", "--export", "/tmp/x.csv"}, true,
         {"--von", "01.12.2026", "--export", "/tmp/x.csv"}},
        {{"/KN:umsausw", "--durchschnitt", "/autoreport", "--user", "anna", "--level=2"}, true,
         {"--durchschnitt", "--level=2"}},
        {{"--export", "x.csv", "-knUMSAUSW", "-AUTOREPORT"}, true, {"--export", "x.csv"}},
        {{"-kn", "UMSAUSW", "--von", "01.12.2026"}, false, {}},
        {{"-autoreport", "--von", "01.12.2026"}, false, {}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Args[0] + " " + f.Args[1]);
        TQuendrixOptionen o;
        std::string fehler;
        EXPECT_EQ(QuendrixOptionenLesen(f.Args, o, fehler), f.Ok) << fehler;
        if (f.Ok) {
            EXPECT_EQ(o.AuswertungsArgumente, f.Auswertung);
        }
    }
}

TEST(Kommandozeile, DatenbankAusOptionSonstUmgebungSonstArbeitsordner) {
    const char* alt = std::getenv("QUENDRIX_DB");
    const std::string gesichert = alt ? alt : "";
    TQuendrixOptionen mit, ohne;
    mit.Datenbank = "/opt/a.db";
    setenv("QUENDRIX_DB", "/env/b.db", 1);
    EXPECT_EQ(QuendrixDatenbankPfad(mit), "/opt/a.db");
    EXPECT_EQ(QuendrixDatenbankPfad(ohne), "/env/b.db");
    unsetenv("QUENDRIX_DB");
    EXPECT_EQ(QuendrixDatenbankPfad(ohne), "quendrix.db");
    if (alt) setenv("QUENDRIX_DB", gesichert.c_str(), 1);
}

// --- start-up and direct start ------------------------------------------------------------------

namespace {

// The installation of the fixture with test evaluations: one offered everywhere
// without a right, one offered nowhere and guarded by right 444. "tester" holds the
// program right only, "berechtigt" also 444.
struct TStart : ::testing::Test {
    TTestUmgebung Umgebung;
    const THostTestKlasse Aktiv{"AKTIV", "Aktive Auswertung"};
    const THostTestKlasse Versteckt{"VERSTECKT", "Versteckte Auswertung", 444, TRTypen{}};
    THostRegistrierung Registrierung{&Aktiv, &Versteckt};
    TQtApp Qt;
    TKatalogMitschnitt Katalog;

    TStart() {
        THostProtokoll::Leeren();
        Umgebung.Installation(1, "MUSTER00");
        Umgebung.Benutzer("tester", {"441"});
        Umgebung.Benutzer("berechtigt", {"441", "441.444"});
    }
    ~TStart() override { THostProtokoll::Leeren(); }
};

using TTraces = std::vector<std::pair<std::string, bool>>;

TTraces Traces() {
    TTraces t;
    for (const auto& r : RDLInfo().Registrierte()) t.emplace_back(r.TraceName, r.Flag);
    return t;
}

const std::string CLauf = "Resources_Create,Resources_AfterCreate,";
const std::string CEnde = ",Resources_BeforeDestroy,Resources_Destroy,~";

} // namespace

TEST_F(TStart, DirektstartFragtNichtActiveAberDasRecht) {
    const struct {
        const char* Benutzer;
        TArgs Args;
        int Exit;
        std::string Schritte;
        std::string Titel;
        std::string Katalog;
        std::string FehlendesRecht; // in the message of the rights check
    } faelle[] = {
        {"berechtigt", {"-kn", "versteckt"}, CQuendrixExitOk, CLauf + "Execute(VERSTECKT)" + CEnde,
         "Versteckte Auswertung", "", ""},
        {"tester", {"-kn", "versteckt"}, CQuendrixExitKeinRecht, "", "Versteckte Auswertung", "", "441.444"},
        {"tester", {"-knVERSTECKT", "-autoreport"}, CQuendrixExitKeinRecht, "", "Versteckte Auswertung", "",
         "441.444"},
        {"tester", {"-knAKTIV", "-autoreport"}, CQuendrixExitOk, CLauf + "Autoreport(AKTIV),Execute(AKTIV)" + CEnde,
         "Aktive Auswertung", "", ""},
        // No direct start: the catalogue, with the active classes only.
        {"tester", {"-kn", "XYZ"}, CQuendrixExitOk, "", "Auswertungs-Center", "AKTIV\tAktive Auswertung\n", ""},
        {"tester", {}, CQuendrixExitOk, "", "Auswertungs-Center", "AKTIV\tAktive Auswertung\n", ""},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Benutzer + std::string(" ") + (f.Args.empty() ? "" : f.Args[0]));
        RDLProgramm().BenutzerSetzen(f.Benutzer);
        THostProtokoll::Leeren();
        Umgebung.Meldungen().Meldungen.clear();
        Katalog.Text.clear();
        EXPECT_EQ(QuendrixProgrammStart(f.Args), f.Exit);
        EXPECT_EQ(THostProtokoll::Text(), f.Schritte);
        EXPECT_EQ(RDLProgramm().Title(), f.Titel);
        EXPECT_EQ(Katalog.Text, f.Katalog);
        EXPECT_EQ(RDLProgramm().ProgrammKennung(), "Quendrix");
        const auto& m = Umgebung.Meldungen().Meldungen;
        if (f.FehlendesRecht.empty()) {
            EXPECT_TRUE(m.empty());
        } else {
            ASSERT_EQ(m.size(), 1u);
            EXPECT_EQ(m[0].Nummer, 1200);
            EXPECT_NE(m[0].Text.find(f.FehlendesRecht), std::string::npos) << m[0].Text;
        }
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// Scripts read the outcome of a direct start from the exit code. Done and the
// release run whatever happens, and a failing destructor ends nothing.
TEST_F(TStart, ErgebnisDesLaufsGibtDenExitcodeUndDoneLaeuftImmer) {
    TErwarteteAusnahmen erwartet{"TKOV_HiddenMainForm_Quendrix.Execute",
                                 "TKOV_Quendrix_Auswertung.Autoreport",
                                 "TKOV_Quendrix_Auswertung.Destroy",
                                 "TKOV_Quendrix_Auswertung.Init"};
    const struct {
        std::set<std::string> Fehler;
        bool ExecuteErgebnis;
        bool Autoreport;
        int Exit;
        std::string Schritte;
        TTraces Registriert;
    } faelle[] = {
        {{}, false, false, CQuendrixExitAuswertungFehlgeschlagen, CLauf + "Execute(AKTIV)" + CEnde, {}},
        {{}, false, true, CQuendrixExitAuswertungFehlgeschlagen, CLauf + "Autoreport(AKTIV),Execute(AKTIV)" + CEnde,
         {}},
        {{"Execute"}, true, false, CQuendrixExitAuswertungFehlgeschlagen, CLauf + "Execute(AKTIV)" + CEnde,
         {{"TKOV_HiddenMainForm_Quendrix.Execute", true}}},
        {{"Execute"}, true, true, CQuendrixExitAuswertungFehlgeschlagen,
         CLauf + "Autoreport(AKTIV),Execute(AKTIV)" + CEnde, {{"TKOV_Quendrix_Auswertung.Autoreport", true}}},
        {{"~"}, true, false, CQuendrixExitOk, CLauf + "Execute(AKTIV)" + CEnde,
         {{"TKOV_Quendrix_Auswertung.Destroy", false}}},
        {{"Execute", "~"}, true, false, CQuendrixExitAuswertungFehlgeschlagen, CLauf + "Execute(AKTIV)" + CEnde,
         {{"TKOV_Quendrix_Auswertung.Destroy", false}, {"TKOV_HiddenMainForm_Quendrix.Execute", true}}},
        {{"Resources_Create"}, true, false, CQuendrixExitOk, "Resources_Create,Execute(AKTIV)" + CEnde,
         {{"TKOV_Quendrix_Auswertung.Init", true}}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Schritte);
        THostProtokoll::Leeren();
        THostProtokoll::Fehler = f.Fehler;
        THostProtokoll::ExecuteErgebnis = f.ExecuteErgebnis;
        RDLInfo().RegistrierteLeeren();
        TArgs args{"-kn", "AKTIV"};
        if (f.Autoreport) args.push_back("-autoreport");
        EXPECT_EQ(QuendrixProgrammStart(args), f.Exit);
        EXPECT_EQ(THostProtokoll::Text(), f.Schritte);
        EXPECT_EQ(Traces(), f.Registriert);
    }
}

TEST_F(TStart, OhneProgrammrechtLaeuftNichts) {
    RDLProgramm().BenutzerSetzen("gast");
    EXPECT_EQ(QuendrixProgrammStart({"-kn", "AKTIV"}), CQuendrixExitKeinRecht);
    EXPECT_EQ(QuendrixProgrammStart({}), CQuendrixExitKeinRecht);
    EXPECT_EQ(THostProtokoll::Text(), "");
    EXPECT_EQ(Katalog.Text, "");
    EXPECT_EQ(RDLProgramm().Title(), "");
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 2u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1200);
}

// A database failure is no start-up fault of the program: its own exit code, and the
// user reads just its German text (code and details go to the log).
TEST_F(TStart, FehlerBeimStartWirdGezeigtUndBeendet) {
    TErwarteteAusnahmen erwartet{"Quendrix.Start"};
    const struct {
        std::function<void()> Werfen;
        int Exit;
        int Nummer;
        std::string Text;
        TTraces Registriert;
    } faelle[] = {
        {[] { throw EConvertError("Titel kaputt"); }, CQuendrixExitStartfehler, 991,
         "Es ist ein Fehler aufgetreten:\nTitel kaputt", {}},
        {[] {
             throw EDatenbankFehler("Die Tabelle der Einstellungen fehlt in der Datenbank.", TDbFehlerArt::Beschaedigt,
                                    "1", "no such table: einstellung");
         },
         CQuendrixExitAufruf, 997, "Die Tabelle der Einstellungen fehlt in der Datenbank.", {{"Quendrix.Start", false}}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Text);
        Umgebung.Meldungen().Meldungen.clear();
        RDLInfo().RegistrierteLeeren();
        RDLProgramm().OnTitleChanged = [&](const std::string&) { f.Werfen(); };
        EXPECT_EQ(QuendrixProgrammStart({"-kn", "AKTIV"}), f.Exit);
        EXPECT_EQ(THostProtokoll::Text(), "");
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, f.Nummer);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Art, mkFehler);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, f.Text);
        EXPECT_EQ(Traces(), f.Registriert);
    }
}

// A damaged database is no missing right: the German text of the failure, exit code 2.
TEST_F(TStart, DatenbankfehlerBeimPruefenDerRechteEndetMitCode2) {
    TErwarteteAusnahmen erwartet{"Quendrix.Start"};
    struct TDefekteKlasse : THostTestKlasse {
        using THostTestKlasse::THostTestKlasse;

    protected:
        TKOV_WPF_Recht AuswertungsRecht() const override {
            throw EDatenbankFehler("Die Rechte konnten nicht gelesen werden.", TDbFehlerArt::Verbindung, "08006",
                                   "server closed the connection unexpectedly");
        }
    };
    const TDefekteKlasse defekt("DEFEKT", "Defekte Rechte");
    const auto pruefen = [&](const TArgs& AArgs) {
        Umgebung.Meldungen().Meldungen.clear();
        RDLInfo().RegistrierteLeeren();
        EXPECT_EQ(QuendrixProgrammStart(AArgs), CQuendrixExitAufruf);
        EXPECT_EQ(THostProtokoll::Text(), "");
        EXPECT_EQ(Katalog.Text, "");
        ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
        EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "Quendrix.Start");
        EXPECT_EQ(RDLInfo().Registrierte()[0].Klasse, "EDatenbankFehler");
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, RDLInfo().Registrierte()[0].Text);
    };
    {
        SCOPED_TRACE("the evaluation's own right");
        THostRegistrierung nurDefekt({&defekt});
        pruefen({"-kn", "DEFEKT"});
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, "Die Rechte konnten nicht gelesen werden.");
    }
    {
        SCOPED_TRACE("the program right");
        Umgebung.Db().Exec("DROP TABLE benutzerrecht");
        pruefen({"-kn", "AKTIV"});
    }
}

// --- the whole program ---------------------------------------------------------------------------

namespace {

struct TProgramm : ::testing::Test {
    TTestUmgebung Umgebung{false};
    THostRegistrierung Registrierung;
    std::ostringstream Out, Err;

    TProgramm() { QuendrixAuswertungenRegistrieren(); }
    int Main(const TArgs& AArgs) { return QuendrixMain(AArgs, Out, Err); }
};

} // namespace

TEST_F(TProgramm, ListeZeigtDieAktivenAuswertungenDerInstallation) {
    const struct {
        int RTyp;
        const char* Kennung;
        std::string Liste;
    } faelle[] = {
        {1, "ODRIKS00",
         Zeilen({"ARTBESTCSVEXP\tArtikelbestandsexport", "PKAUSWERT\tAuswertung Personalkäufe auf Rechnung",
                 "PUPAUSWERT\tAuswertung Prämien und Provisionen", "PersRab\tPersonalrabatte",
                 "SchwWare\tSchwimmende Ware", "UMSAUSW\tUmsatzauswertung", "VKPRAEMIEN\tVerkaufsprämien",
                 "VFAUSW\tVersandfilialen-Auswertung"})},
        {0, "MUSTER00",
         Zeilen({"PKAUSWERT\tAuswertung Personalkäufe auf Rechnung", "PUPAUSWERT\tAuswertung Prämien und Provisionen",
                 "PersRab\tPersonalrabatte", "SchwWare\tSchwimmende Ware", "UMSAUSW\tUmsatzauswertung",
                 "VFAUSW\tVersandfilialen-Auswertung"})},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Kennung);
        THostInstallationsDatei db(f.RTyp, f.Kennung);
        db.Benutzer("anna", {"441"});
        Out.str("");
        EXPECT_EQ(Main({"--db", db.Pfad(), "--user", "anna", "--list"}), CQuendrixExitOk);
        EXPECT_EQ(Out.str(), f.Liste);
        EXPECT_EQ(Err.str(), "");
    }
}

TEST_F(TProgramm, ListeVerlangtDasProgrammrecht) {
    THostInstallationsDatei db(1, "ODRIKS00");
    EXPECT_EQ(Main({"--db=" + db.Pfad(), "--user=gast", "--list"}), CQuendrixExitKeinRecht);
    EXPECT_EQ(Out.str(), "");
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1200);
}

// Without a known short name the catalogue window opens, with the rows --list prints.
TEST_F(TProgramm, OhneKnOeffnetDasKatalogfensterMitDenZeilenDerListe) {
    THostInstallationsDatei db(0, "URSTAL00");
    db.Benutzer("anna", {"441"});
    TKatalogMitschnitt katalog;
    EXPECT_EQ(Main({"--db", db.Pfad(), "--user", "anna", "-kn", "XYZ"}), CQuendrixExitOk);
    EXPECT_EQ(Out.str(), "");
    EXPECT_EQ(RDLProgramm().Title(), "Auswertungs-Center");
    EXPECT_EQ(Main({"--db", db.Pfad(), "--user", "anna", "--list"}), CQuendrixExitOk);
    EXPECT_EQ(katalog.Text, Out.str());
    EXPECT_EQ(Out.str(), Zeilen({"PKAUSWERT\tAuswertung Personalkäufe auf Rechnung",
                                 "PUPAUSWERT\tAuswertung Prämien und Provisionen", "PersRab\tPersonalrabatte",
                                 "SchwWare\tSchwimmende Ware", "UMSAUSW\tUmsatzauswertung",
                                 "VKPRAEMIEN\tVerkaufsprämien", "VFAUSW\tVersandfilialen-Auswertung"}));
}

// A run without dialogs has nobody to choose from the catalogue.
TEST_F(TProgramm, AutoreportOhneBekanntenKurznamenEndetMitCode2) {
    THostInstallationsDatei db(1, "MUSTER00");
    db.Benutzer("anna", {"441"});
    const struct {
        TArgs Args;
        std::string Meldung;
    } faelle[] = {
        {{"-autoreport"}, "Die Option -autoreport braucht -kn KURZNAME. Aufruf: quendrix --help\n"},
        {{"-kn", "GIBTESNICHT", "-autoreport"},
         "Es gibt keine Auswertung mit dem Kurznamen \u201EGIBTESNICHT\u201C. Die Kurznamen zeigt: quendrix --list\n"},
    };
    TKatalogMitschnitt katalog;
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Meldung);
        Err.str("");
        TArgs args{"--db", db.Pfad(), "--user", "anna"};
        args.insert(args.end(), f.Args.begin(), f.Args.end());
        EXPECT_EQ(Main(args), CQuendrixExitAufruf);
        EXPECT_EQ(Err.str(), f.Meldung);
    }
    EXPECT_EQ(katalog.Text, "");
}

TEST_F(TProgramm, FalscherAufrufOderFehlendeDatenbankEndenMitCode2) {
    const auto ordner = std::filesystem::temp_directory_path() / ("quendrix_aufruf_" + std::to_string(getpid()));
    std::filesystem::create_directories(ordner);
    const std::string fehlt = (ordner / "fehlt.db").string();
    const std::string fremd = (ordner / "fremd.db").string();
    std::ofstream(fremd) << "Kein SQLite, nur Text.\n";
    const struct {
        TArgs Args;
        std::string Meldung;
    } faelle[] = {
        {{"--foo"}, "Unbekannte Option \u201E--foo\u201C. Aufruf: quendrix --help\n"},
        {{"--db", fehlt, "--list"}, "Die Datenbank \u201E" + fehlt + "\u201C gibt es nicht.\n"},
        {{"--db", fehlt, "-kn", "UMSAUSW"}, "Die Datenbank \u201E" + fehlt + "\u201C gibt es nicht.\n"},
        {{"--db", fremd}, "Die Datei \u201E" + fremd + "\u201C ist keine Datenbank des Auswertungs-Centers.\n"},
        {{"--db", "postgresql://[::1/quendrix", "--list"},
         "Die Datenbankadresse \u201Epostgresql://[::1/quendrix\u201C ist ung\u00FCltig.\n"},
        {{"--db", "postgresql://localhost:1/quendrix", "-kn", "UMSAUSW"},
         "Der Datenbankserver \u201Epostgresql://localhost:1/quendrix\u201C ist nicht erreichbar.\n"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Meldung);
        Err.str("");
        EXPECT_EQ(Main(f.Args), CQuendrixExitAufruf);
        EXPECT_EQ(Err.str(), f.Meldung);
        EXPECT_EQ(Out.str(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(fehlt));
    std::filesystem::remove_all(ordner);
}

TEST_F(TProgramm, HilfeBrauchtKeineDatenbank) {
    EXPECT_EQ(Main({"--db", "/gibt/es/nicht.db", "--help"}), CQuendrixExitOk);
    EXPECT_EQ(Out.str().rfind("Aufruf: quendrix", 0), 0u);
    EXPECT_NE(Out.str().find("--list"), std::string::npos);
    EXPECT_EQ(Err.str(), "");
}

// A direct start brings up Qt (offscreen in tests) and runs the evaluation. The kn
// switch sees the arguments as given: our own options stand anywhere, but one of them
// after -kn leaves the switch without a value.
TEST_F(TProgramm, DirektstartLaeuftMitQtUndKnSiehtDieArgumenteWieGegeben) {
    const THostTestKlasse aktiv("AKTIV", "Aktive Auswertung");
    const THostTestKlasse versteckt("VERSTECKT", "Versteckte Auswertung", 444, TRTypen{});
    THostRegistrierung nurTest({&aktiv, &versteckt});
    THostInstallationsDatei db(1, "MUSTER00");
    db.Benutzer("anna", {"441", "441.444"});
    const std::string direkt = "Resources_Create,Resources_AfterCreate,Autoreport(VERSTECKT),Execute(VERSTECKT),"
                               "Resources_BeforeDestroy,Resources_Destroy,~";
    const struct {
        TArgs Args;
        std::string Schritte;
        std::string Titel;
        std::string Katalog;
    } faelle[] = {
        {{"--db", db.Pfad(), "--user", "anna", "/KN:versteckt", "-autoreport"}, direkt, "Versteckte Auswertung", ""},
        {{"-kn", "VERSTECKT", "--db", db.Pfad(), "-autoreport", "--user=anna"}, direkt, "Versteckte Auswertung", ""},
        {{"--user", "anna", "-kn", "--db=" + db.Pfad(), "VERSTECKT"}, "", "Auswertungs-Center",
         "AKTIV\tAktive Auswertung\n"},
    };
    TKatalogMitschnitt katalog;
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Args[0] + " " + f.Args[1]);
        THostProtokoll::Leeren();
        katalog.Text.clear();
        EXPECT_EQ(Main(f.Args), CQuendrixExitOk);
        EXPECT_EQ(THostProtokoll::Text(), f.Schritte);
        EXPECT_EQ(RDLProgramm().Title(), f.Titel);
        EXPECT_EQ(katalog.Text, f.Katalog);
        EXPECT_EQ(Out.str(), "");
        EXPECT_EQ(Err.str(), "");
    }
    EXPECT_TRUE(RDLProgramm().OhneDialoge());
    EXPECT_TRUE(Umgebung.Meldungen().Meldungen.empty());
    THostProtokoll::Leeren();
}

// Runs without dialogs tell of a missing right on standard error; the exit code says it.
TEST_F(TProgramm, DirektstartOhneRechtDerAuswertungEndetMitCode3) {
    THostInstallationsDatei db(1, "ODRIKS00");
    db.Benutzer("anna", {"441"});
    RDLInfo().AusgabeSetzen(std::make_shared<TRDLTerminalAusgabe>());
    const struct {
        const char* Kurzname;
        const char* Recht;
    } faelle[] = {{"PUPAUSWERT", "441.443"}, {"UMSAUSW", "441.444"}, {"SchwWare", "441.442"}};
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Kurzname);
        std::ostringstream stderrText;
        std::streambuf* alt = std::cerr.rdbuf(stderrText.rdbuf());
        const int exit = Main({"--db", db.Pfad(), "--user", "anna", "-kn", f.Kurzname, "-autoreport"});
        std::cerr.rdbuf(alt);
        EXPECT_EQ(exit, CQuendrixExitKeinRecht);
        EXPECT_EQ(stderrText.str(), "Der Benutzer \u201Eanna\u201C hat das Recht " + std::string(f.Recht) +
                                        " nicht.\nBitte wenden Sie sich an Ihren Administrator.\n");
        EXPECT_EQ(Out.str(), "");
    }
}

namespace {

// What Qt says while an evaluation runs: the "Yes" of its message boxes and the first month.
class TQtTexteAuswertung : public TKOV_Quendrix_Auswertung {
public:
    static inline std::string Ja, Monat;
    bool Execute() override {
        Ja = QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString();
        Monat = QLocale().monthName(1).toStdString();
        return true;
    }
};

} // namespace

// Every run with Qt brings up its German texts and formats, also in a process whose
// locale is C.
TEST_F(TProgramm, QtSprichtDeutschAuchUnterLocaleC) {
    const TKOV_Quendrix_AuswertungsDeskriptor texte(KOV_Erzeugen<TQtTexteAuswertung>,
                                                    {"QTTEXTE", "Qt-Texte", "Test", "Test"});
    THostRegistrierung nurTest({&texte});
    THostInstallationsDatei db(1, "MUSTER00");
    db.Benutzer("anna", {"441"});
    const QLocale alt;
    QLocale::setDefault(QLocale::c());
    TQtTexteAuswertung::Ja.clear();
    TQtTexteAuswertung::Monat.clear();
    EXPECT_EQ(Main({"--db", db.Pfad(), "--user", "anna", "-kn", "QTTEXTE", "-autoreport"}), CQuendrixExitOk);
    EXPECT_EQ(QLocale().monthName(1).toStdString(), "January"); // the run leaves the default as it found it
    QLocale::setDefault(alt);
    EXPECT_EQ(TQtTexteAuswertung::Ja, "&Ja");
    EXPECT_EQ(TQtTexteAuswertung::Monat, "Januar");
}
