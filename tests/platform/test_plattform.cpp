// Program and info objects, rights, the message catalogue and the suite tables.
#include "erwarteteausnahmen.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "suitetabellen.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TEST(Rechte, CheckedAgainstTheDatabaseAndMissingOnesAreReported) {
    TTestUmgebung U;
    U.Benutzer("tester", {"441", "441.444"});
    U.Benutzer("chef", {}, true);
    struct Fall { const char* benutzer; std::vector<TKOV_WPF_Recht> pfad; bool erwartet; };
    const Fall faelle[] = {
        {"tester", {441}, true},       {"tester", {441, 444}, true}, {"tester", {441, 443}, false},
        {"tester", {444}, false},      {"chef", {441, 443}, true},   {"fremd", {441}, false},
    };
    for (const auto& f : faelle) {
        U.Meldungen().Meldungen.clear();
        RDLProgramm().BenutzerSetzen(f.benutzer);
        const bool ok = Rechtdialog::UserRechtePruefen(f.pfad, "", TKOV_Rect_FnktType_Erw::ftAusfuehren, false,
                                                       TKOV_Rect_ReaktionKeinRecht::rkMeldung);
        EXPECT_EQ(ok, f.erwartet) << f.benutzer;
        // Exactly one German message when the right is missing, none otherwise.
        ASSERT_EQ(U.Meldungen().Meldungen.size(), f.erwartet ? 0u : 1u) << f.benutzer;
        if (!f.erwartet) {
            EXPECT_NE(U.Meldungen().Meldungen[0].Text.find("hat das Recht"), std::string::npos);
            EXPECT_NE(U.Meldungen().Meldungen[0].Text.find(f.benutzer), std::string::npos);
        }
    }
    // The silent reaction tells nobody.
    U.Meldungen().Meldungen.clear();
    EXPECT_FALSE(RDLProgramm().UserRechtePruefen({441, 443}, "", TKOV_Rect_FnktType_Erw::ftAusfuehren, false,
                                                 TKOV_Rect_ReaktionKeinRecht::rkStill));
    EXPECT_TRUE(U.Meldungen().Meldungen.empty());
}

TEST(Programm, InitReadsTheInstallationSettings) {
    TTestUmgebung U;
    U.Db().EinstellungSchreiben("RTYP", "4");
    U.Db().EinstellungSchreiben("KUNDENKENNUNG", "TAVRIN00");
    U.Db().EinstellungSchreiben("WAEHRUNG", "CHF");
    U.Db().EinstellungSchreiben("MANDANT_ERSTER", "3/1");
    U.Db().EinstellungSchreiben("UNTERNEHMENSGRUPPE", "Muster Gruppe");
    ASSERT_TRUE(RDLProgramm().Init("Quendrix", TEnumProzessTypen::ptAnwendung, TPVR_InstanceCount::icBeliebig, 0, true));
    EXPECT_EQ(RDLProgramm().GetRTyp(), 4);
    EXPECT_EQ(RDLProgramm().GetKundenkennung(), "TAVRIN00");
    EXPECT_EQ(RDLProgramm().GetWaehrung(), "CHF");
    EXPECT_EQ(RDLProgramm().MandantErster(), (TIntPair{3, 1}));
    EXPECT_EQ(RDLProgramm().GetUnternehmensgruppeName(), "Muster Gruppe");
}

// The log beside a database file; a server's database has no folder, its log goes to the
// user's state folder under the database's name.
TEST(Programm, LogFileOfAnInstallation) {
    const std::string state = (std::filesystem::temp_directory_path() / ("qstate" + std::to_string(getpid()))).string();
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    const struct {
        std::string Datenbank, Log;
    } faelle[] = {
        {"demo.db", "demo.log"},
        {"/daten/filialen.v2/kasse", "/daten/filialen.v2/kasse.log"},
        {"postgresql://anna@server:5432/filialen?sslmode=require", state + "/quendrix/filialen.log"},
        {"postgres:///kette", state + "/quendrix/kette.log"},
    };
    for (const auto& f : faelle) EXPECT_EQ(LogDateiZu(f.Datenbank), f.Log) << f.Datenbank;
    EXPECT_TRUE(std::filesystem::is_directory(state + "/quendrix"));
    unsetenv("XDG_STATE_HOME");
    std::filesystem::remove_all(state);
}

TEST(Programm, WorkIndicatorRefusesASecondActionOfTheSameOwner) {
    TTestUmgebung U(false);
    int fenster1 = 0, fenster2 = 0;
    {
        TRDLWorkGuard a(&fenster1, "Start", 5);
        ASSERT_TRUE(a.Gestartet());
        EXPECT_TRUE(RDLProgramm().Working(&fenster1));
        EXPECT_FALSE(RDLProgramm().WorkStartTry(&fenster1, "Beenden", 15));
        TRDLWorkGuard b(&fenster2, "Start", 5);
        EXPECT_TRUE(b.Gestartet()) << "another window is independent";
    }
    EXPECT_FALSE(RDLProgramm().Working(&fenster1));
    EXPECT_TRUE(RDLProgramm().WorkStartTry(&fenster1, "Start", 5));
    RDLProgramm().WorkDone(&fenster1);
}

TEST(Info, CatalogueHasATextForEveryNumberInUse) {
    TTestUmgebung U(false);
    const std::pair<const char*, int> nummern[] = {
        {"STANDARD", 991}, {"STANDARD", 994}, {"STANDARD", 997}, {"STANDARD", 1107}, {"STANDARD", 1108},
        {"PEP", 1705},     {"PEP", 1900},     {"PEP", 1902},     {"PEP", 1903},      {"PEP", 1904},
        {"PEP", 1905},     {"PEP", 1906},     {"QUENDRIX", 1000}};
    for (const auto& [gruppe, nr] : nummern) EXPECT_TRUE(RDLInfo().MeldungBekannt(gruppe, nr)) << gruppe << " " << nr;
    EXPECT_EQ(RDLInfo().MeldungsText("STANDARD", 994, {"Hallo"}), "Hallo");
    EXPECT_EQ(RDLInfo().MeldungsText("PEP", 1906, {"01.03.2026", "12:00", "11:00"}),
              "Ungültiger Zeitraum am 01.03.2026: Beginn 12:00 liegt nach dem Ende 11:00.");
    // Questions return the answer given in advance; without one the answer is no.
    U.Meldungen().AntwortVorgeben(mrYes);
    EXPECT_EQ(RDLInfo().ShowDlgMeldung("PEP", 1705), mrYes);
    EXPECT_EQ(RDLInfo().ShowDlgMeldung("PEP", 1705), mrNo);
}

TEST(Info, FehlerRaiseCarriesTheCatalogueCoordinate) {
    TTestUmgebung U(false);
    try {
        RDLInfo().FehlerRaise("Test.Op", "PEP", 1903);
        FAIL();
    } catch (const EKatalogFehler& e) {
        EXPECT_EQ(e.Gruppe(), "PEP");
        EXPECT_EQ(e.Nummer(), 1903);
        EXPECT_EQ(e.Kontext(), "Test.Op");
    }
}

TEST(Info, ClosingCheckOfADestructorReportsItsFailedSteps) {
    TTestUmgebung U(false);
    TErwarteteAusnahmen erwartet{"TMani.Destroy", "TMani.Destroy.Kontrolle"};
    KOV_DestroyKontrolle("TMani.Destroy");
    EXPECT_TRUE(RDLInfo().Registrierte().empty()) << "a clean destructor passes its check";
    KOV_Geschuetzt("TMani.Destroy", false, [] { throw Exception("Datei schließen"); });
    KOV_Geschuetzt("TMani.Destroy", false, [] { throw Exception("Liste freigeben"); });
    KOV_DestroyKontrolle("TMani.Destroy");
    ASSERT_EQ(RDLInfo().Registrierte().size(), 3u);
    EXPECT_EQ(RDLInfo().Registrierte()[2].TraceName, "TMani.Destroy.Kontrolle");
    EXPECT_NE(RDLInfo().Registrierte()[2].Text.find("2 Fehler"), std::string::npos);
    KOV_DestroyKontrolle("TMani.Destroy");
    EXPECT_EQ(RDLInfo().Registrierte().size(), 3u) << "the check counts from the last one on";
}

TEST(Info, RegisteredExceptionsAreLoggedAndOnlyOrdinaryOnesShown) {
    TTestUmgebung U(false);
    TErwarteteAusnahmen erwartet{"TKlasse.Operation", "TKlasse.Destroy"};
    const std::string log = (std::filesystem::temp_directory_path() /
                             ("qdrx_log_" + std::to_string(::getpid()) + ".log")).string();
    std::filesystem::remove(log);
    RDLInfo().LogDateiSetzen(log);
    const bool ok = KOV_Geschuetzt("TKlasse.Operation", true, [] { throw EListError("Index 5 nicht im Array!"); });
    EXPECT_FALSE(ok);
    const int wert = KOV_GeschuetztWert("TKlasse.Destroy", false, -1, []() -> int { throw EConvertError("x"); });
    EXPECT_EQ(wert, -1);
    // The same failure again (a loop) is logged but not shown a second time.
    KOV_Geschuetzt("TKlasse.Operation", true, [] { throw EListError("Index 5 nicht im Array!"); });
    ASSERT_EQ(RDLInfo().Registrierte().size(), 3u);
    EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "TKlasse.Operation");
    EXPECT_EQ(RDLInfo().Registrierte()[0].Klasse, "EListError");
    EXPECT_FALSE(RDLInfo().Registrierte()[1].Flag);
    ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u) << "destructors stay silent";
    EXPECT_NE(U.Meldungen().Meldungen[0].Text.find("Index 5 nicht im Array!"), std::string::npos);
    std::ifstream in(log);
    std::string zeile1;
    std::getline(in, zeile1);
    EXPECT_NE(zeile1.find("\tTKlasse.Operation\tEListError: Index 5 nicht im Array!"), std::string::npos);
    std::filesystem::remove(log);
}

class SuiteTabellen : public ::testing::Test {
protected:
    TTestUmgebung U;
    void SetUp() override {
        U.Mandant(2, 1, "Zweite GmbH");
        U.Mandant(1, 1, "Erste AG");
        U.Filiale(7, 2, 1, "Bern", "CHF");
        U.Filiale(3, 1, 1, "Köln");
        U.Db().Exec("INSERT INTO verkaeufer (vknr, gep_a, gep_b, nachname, vorname, filiale, praemienberechtigt)"
                    " VALUES (20, 5, 1, 'Meier', 'Anna', 3, 1), (10, 6, 1, 'Huber', 'Jan', 7, 0)");
    }
};

TEST_F(SuiteTabellen, BranchTableIsSharedAndFindsBranches) {
    TFilialTabelle* a = GlobFilialTabelle_GetInstance();
    TFilialTabelle* b = GlobFilialTabelle_GetInstance();
    EXPECT_EQ(a, b);
    const auto& fil = a->Filialen();
    ASSERT_EQ(fil.GetCount(), 2);
    EXPECT_EQ(fil.GetItem(0)->Nr, 3) << "table order is by branch number";
    EXPECT_EQ(fil.GetFilialeByNr(7)->GetWaehrung(), "CHF");
    EXPECT_EQ(fil.GetFilialeByNr(8), nullptr);
    EXPECT_EQ(fil.GetFilialeByGepOrge({2, 1}, {2, 7})->Name, "Bern");
    EXPECT_EQ(fil.GetFilialeByGepOrge({1, 1}, {2, 7}), nullptr);
    EXPECT_THROW(fil.GetItem(2), EArgumentOutOfRangeException);
    GlobFilialTabelle_ReleaseInstance(a);
    EXPECT_EQ(a, nullptr);
    GlobFilialTabelle_ReleaseInstance(b);
}

TEST_F(SuiteTabellen, SellerTableAndClientList) {
    VknTab_Init();
    TVknInfo v;
    ASSERT_TRUE(VknTab_GetEqual(20, v));
    EXPECT_EQ(v.Nachname, "Meier");
    EXPECT_TRUE(v.Praemienberechtigt);
    EXPECT_FALSE(VknTab_GetEqual(21, v));
    ASSERT_TRUE(VknTab_GepGetEqual({6, 1}, v));
    EXPECT_EQ(v.VkNr, 10);
    std::vector<int> alle;
    for (bool ok = VknTab_GetFirst(v); ok; ok = VknTab_GetNext(v)) alle.push_back(v.VkNr);
    EXPECT_EQ(alle, (std::vector<int>{10, 20}));
    VknTab_Done();

    IRDL_MandListeServer* m = Glob_WWSServerFactoryClass::MandListeServer_Get();
    ASSERT_EQ(m->GetCount(), 2);
    EXPECT_EQ(m->GetMandant(0).Name, "Erste AG");
    EXPECT_EQ(m->IndexOf({2, 1}), 1);
    EXPECT_EQ(m->IndexOf({9, 9}), -1);
    EXPECT_EQ(m->GetMandantByKey({2, 1}).Name, "Zweite GmbH");
    Glob_WWSServerFactoryClass::MandListeServer_Release(m);
    EXPECT_EQ(m, nullptr);
}

TEST_F(SuiteTabellen, SettingsMaskKeepsGlobalAndWorkstationValuesApart) {
    setenv("QUENDRIX_TERMINAL", "KASSE7", 1);
    TSimpleMask mask("PEP", "UMSAETZE");
    EXPECT_EQ(mask.ReadGlobalDef("IGNOREUMSAETZEVOR", "leer"), "leer");
    mask.WriteGlobal("IGNOREUMSAETZEVOR", "FILKNR=3;IGNOREVOR=01.03.2026");
    mask.WriteGlobal("IGNOREUMSAETZEVOR", "FILKNR=3;IGNOREVOR=02.03.2026");
    mask.WriteTerminal("IGNOREUMSAETZEVOR", "lokal");
    EXPECT_EQ(mask.ReadGlobalDef("IGNOREUMSAETZEVOR", ""), "FILKNR=3;IGNOREVOR=02.03.2026");
    EXPECT_EQ(mask.ReadTerminalDef("IGNOREUMSAETZEVOR", ""), "lokal");
    EXPECT_EQ(TSimpleMask("PEP", "ANDERS").ReadGlobalDef("IGNOREUMSAETZEVOR", "x"), "x");
    unsetenv("QUENDRIX_TERMINAL");
}

TEST(Datum, CalendarArithmetic) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2019, 7, 1), 43647.0);
    int y, m, d;
    DecodeDate(EncodeDate(2024, 2, 29) + 0.75, y, m, d);
    EXPECT_EQ(std::tie(y, m, d), std::make_tuple(2024, 2, 29));
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2026, 12, 10)), 4); // a Thursday
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 3, 1) + EncodeTime(23, 59, 59, 999)), "02.03.2026 00:00:00");
    TDateTime t;
    EXPECT_TRUE(TryStrToDate("1.3.2026", t));
    EXPECT_DOUBLE_EQ(t, EncodeDate(2026, 3, 1));
    EXPECT_TRUE(TryStrToDate("2026-03-01", t));
    for (const char* falsch : {"31.02.2026", "kein Datum", "", "1.3.", "01.03.226"})
        EXPECT_FALSE(TryStrToDate(falsch, t)) << falsch;
}

} // namespace

// The names of the origins come from the installation; a platform without a row still
// has a name, so a window never shows an empty platform.
TEST(Suitetabellen, PlattformnamenAusDerTabelleSonstNachNummer) {
    TTestUmgebung U;
    U.Db().Exec("INSERT INTO plattform (herkunft, name) VALUES (2, 'Zalando'), (53, '')");
    const auto namen = CRDL_Herkunftskennzeichen_2_string();
    ASSERT_EQ(namen.size(), size_t(CRDL_AnzahlHerkunftskennzeichen));
    EXPECT_EQ(namen[0], "station\u00E4r");
    EXPECT_EQ(namen[1], "Plattform 1");
    EXPECT_EQ(namen[2], "Zalando");
    EXPECT_EQ(namen[53], "Plattform 53");
    EXPECT_EQ(Plattform_2_String(2), "Zalando");
    EXPECT_EQ(Plattform_2_String(54), "Plattform 54");
}
