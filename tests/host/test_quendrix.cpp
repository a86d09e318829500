// The program unit: the suite's switches, our own options, the start-up sequence and
// the direct start of an evaluation.
#include "host_umgebung.h"
#include "testumgebung.h"

#include "quendrix.h"
#include "quendrixmodule.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using TArgs = std::vector<std::string>;

std::string Zeilen(std::initializer_list<const char*> AZeilen) {
    std::string t;
    for (const char* z : AZeilen) t += std::string(z) + "\n";
    return t;
}

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

TEST(Kommandozeile, EigeneOptionenWerdenHerausgenommen) {
    const struct {
        TArgs Args;
        std::string Fehler;
        std::string Db, Benutzer;
        bool Liste, Hilfe;
        TArgs Rest;
    } faelle[] = {
        {{"--db", "/knx.db"}, "", "/knx.db", "", false, false, {}},
        {{"--db", "/knx.db", "-kn", "UMSAUSW"}, "", "/knx.db", "", false, false, {"-kn", "UMSAUSW"}},
        {{"--db=/a.db", "--user=anna", "--list"}, "", "/a.db", "anna", true, false, {}},
        {{"--user", "-kn", "-knVFAUSW", "-autoreport"}, "", "", "-kn", false, false, {"-knVFAUSW", "-autoreport"}},
        {{"/kn", "X", "--help"}, "", "", "", false, true, {"/kn", "X"}},
        {{"--foo"}, "Unbekannte Option \u201E--foo\u201C. Aufruf: quendrix --help", "", "", false, false, {}},
        {{"--list=1"}, "Unbekannte Option \u201E--list=1\u201C. Aufruf: quendrix --help", "", "", false, false, {}},
        {{"--db"}, "Die Option \u201E--db\u201C braucht einen Wert. Aufruf: quendrix --help", "", "", false, false, {}},
        {{"--db", "--list"}, "Die Option \u201E--db\u201C braucht einen Wert. Aufruf: quendrix --help", "", "", false,
         false, {}},
        {{"--user="}, "Die Option \u201E--user\u201C braucht einen Wert. Aufruf: quendrix --help", "", "", false,
         false, {}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Args.empty() ? "" : f.Args[0]);
        TQuendrixOptionen o;
        std::string fehler;
        EXPECT_EQ(QuendrixOptionenLesen(f.Args, o, fehler), f.Fehler.empty());
        EXPECT_EQ(fehler, f.Fehler);
        if (!f.Fehler.empty()) continue;
        EXPECT_EQ(o.Datenbank, f.Db);
        EXPECT_EQ(o.Benutzer, f.Benutzer);
        EXPECT_EQ(o.Liste, f.Liste);
        EXPECT_EQ(o.Hilfe, f.Hilfe);
        EXPECT_EQ(o.Rest, f.Rest);
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
// without a right, one offered nowhere and guarded by right 444.
struct TStart : ::testing::Test {
    TTestUmgebung Umgebung;
    const THostTestKlasse Aktiv{"AKTIV", "Aktive Auswertung"};
    const THostTestKlasse Versteckt{"VERSTECKT", "Versteckte Auswertung", 444, TRTypen{}};
    THostRegistrierung Registrierung{&Aktiv, &Versteckt};
    std::ostringstream Out;

    TStart() {
        THostProtokoll::Leeren();
        Umgebung.Installation(1, "MUSTER00");
        Umgebung.Benutzer("tester", {"441"});
    }
    ~TStart() override { THostProtokoll::Leeren(); }
};

} // namespace

TEST_F(TStart, DirektstartFragtWederActiveNochRecht) {
    const struct {
        TArgs Args;
        std::string Schritte;
        std::string Titel;
        std::string Katalog;
    } faelle[] = {
        {{"-kn", "versteckt"},
         "Resources_Create,Resources_AfterCreate,Execute(VERSTECKT),Resources_BeforeDestroy,Resources_Destroy,~",
         "Versteckte Auswertung", ""},
        {{"-knAKTIV", "-autoreport"},
         "Resources_Create,Resources_AfterCreate,Autoreport(AKTIV),Execute(AKTIV),Resources_BeforeDestroy,"
         "Resources_Destroy,~",
         "Aktive Auswertung", ""},
        // No direct start: the catalogue, with the active classes only.
        {{"-kn", "XYZ"}, "", "Auswertungs-Center", "AKTIV\tAktive Auswertung\n"},
        {{}, "", "Auswertungs-Center", "AKTIV\tAktive Auswertung\n"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Titel);
        THostProtokoll::Leeren();
        Out.str("");
        EXPECT_EQ(QuendrixProgrammStart(f.Args, Out), CQuendrixExitOk);
        EXPECT_EQ(THostProtokoll::Text(), f.Schritte);
        EXPECT_EQ(RDLProgramm().Title(), f.Titel);
        EXPECT_EQ(Out.str(), f.Katalog);
        EXPECT_EQ(RDLProgramm().ProgrammKennung(), "Quendrix");
    }
    EXPECT_TRUE(Umgebung.Meldungen().Meldungen.empty());
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

TEST_F(TStart, FehlerDesLaufsWirdRegistriertUndDoneLaeuftTrotzdem) {
    THostProtokoll::Fehler = {"Execute"};
    EXPECT_EQ(QuendrixProgrammStart({"-kn", "AKTIV"}, Out), CQuendrixExitOk);
    EXPECT_EQ(THostProtokoll::Text(),
              "Resources_Create,Resources_AfterCreate,Execute(AKTIV),Resources_BeforeDestroy,Resources_Destroy,~");
    ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
    EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "TKOV_HiddenMainForm_Quendrix.Execute");
    EXPECT_TRUE(RDLInfo().Registrierte()[0].Flag);
}

TEST_F(TStart, OhneProgrammrechtLaeuftNichts) {
    RDLProgramm().BenutzerSetzen("gast");
    EXPECT_EQ(QuendrixProgrammStart({"-kn", "AKTIV"}, Out), CQuendrixExitKeinRecht);
    EXPECT_EQ(QuendrixProgrammStart({}, Out), CQuendrixExitKeinRecht);
    EXPECT_EQ(THostProtokoll::Text(), "");
    EXPECT_EQ(Out.str(), "");
    EXPECT_EQ(RDLProgramm().Title(), "");
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 2u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1200);
}

TEST_F(TStart, FehlerBeimStartWirdGezeigtUndBeendet) {
    RDLProgramm().OnTitleChanged = [](const std::string&) { throw EConvertError("Titel kaputt"); };
    EXPECT_EQ(QuendrixProgrammStart({"-kn", "AKTIV"}, Out), CQuendrixExitStartfehler);
    EXPECT_EQ(THostProtokoll::Text(), "");
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 991);
    EXPECT_NE(Umgebung.Meldungen().Meldungen[0].Text.find("Titel kaputt"), std::string::npos);
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
         Zeilen({"SchwWare\tSchwimmende Ware", "VKPRAEMIEN\tVerkaufsprämien", "ARTBESTCSVEXP\tArtikelbestandsexport",
                 "UMSAUSW\tUmsatzauswertung", "VFAUSW\tVersandfilialen-Auswertung", "PersRab\tPersonalrabatte",
                 "PUPAUSWERT\tAuswertung Prämien und Provisionen",
                 "PKAUSWERT\tAuswertung Personalkäufe auf Rechnung"})},
        {0, "MUSTER00",
         Zeilen({"SchwWare\tSchwimmende Ware", "UMSAUSW\tUmsatzauswertung", "VFAUSW\tVersandfilialen-Auswertung",
                 "PersRab\tPersonalrabatte", "PUPAUSWERT\tAuswertung Prämien und Provisionen",
                 "PKAUSWERT\tAuswertung Personalkäufe auf Rechnung"})},
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

TEST_F(TProgramm, OhneKnWirdDerKatalogAusgegeben) {
    THostInstallationsDatei db(0, "URSTAL00");
    db.Benutzer("anna", {"441"});
    EXPECT_EQ(Main({"--db", db.Pfad(), "--user", "anna", "-kn", "XYZ"}), CQuendrixExitOk);
    EXPECT_EQ(Out.str(), Zeilen({"SchwWare\tSchwimmende Ware", "VKPRAEMIEN\tVerkaufsprämien",
                                 "UMSAUSW\tUmsatzauswertung", "VFAUSW\tVersandfilialen-Auswertung",
                                 "PersRab\tPersonalrabatte", "PUPAUSWERT\tAuswertung Prämien und Provisionen",
                                 "PKAUSWERT\tAuswertung Personalkäufe auf Rechnung"}));
    EXPECT_EQ(RDLProgramm().Title(), "Auswertungs-Center");
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

// A direct start brings up Qt (offscreen in tests) and runs the evaluation.
TEST_F(TProgramm, DirektstartLaeuftMitQt) {
    const THostTestKlasse versteckt("VERSTECKT", "Versteckte Auswertung", 444, TRTypen{});
    THostRegistrierung nurTest({&versteckt});
    THostInstallationsDatei db(1, "MUSTER00");
    db.Benutzer("anna", {"441"});
    THostProtokoll::Leeren();
    EXPECT_EQ(Main({"--db", db.Pfad(), "--user", "anna", "/KN:versteckt", "-autoreport"}), CQuendrixExitOk);
    EXPECT_EQ(THostProtokoll::Text(),
              "Resources_Create,Resources_AfterCreate,Autoreport(VERSTECKT),Execute(VERSTECKT),"
              "Resources_BeforeDestroy,Resources_Destroy,~");
    EXPECT_EQ(RDLProgramm().Title(), "Versteckte Auswertung");
    EXPECT_TRUE(RDLProgramm().OhneDialoge());
    EXPECT_EQ(Out.str(), "");
    EXPECT_TRUE(Umgebung.Meldungen().Meldungen.empty());
    THostProtokoll::Leeren();
}
