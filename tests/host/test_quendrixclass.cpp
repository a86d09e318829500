// The evaluation base class, its class references, the registry and the eight
// evaluation classes.
#include "erwarteteausnahmen.h"
#include "host_umgebung.h"
#include "testumgebung.h"

#include "artbest_gr_csv_ausw.h"
#include "personalkaeufeauswcontroller.h"
#include "persrabausw.h"
#include "pupauswcontroller.h"
#include "quendrixmodule.h"
#include "swwaausw.h"
#include "umsauswertung.h"
#include "versfilauswmain.h"
#include "vkpraemienfrm.h"

#include <gtest/gtest.h>

namespace {

using Register = TKOV_Glob_Quendrix_Controller;

std::vector<std::pair<std::string, bool>> Traces() {
    std::vector<std::pair<std::string, bool>> t;
    for (const auto& r : RDLInfo().Registrierte()) t.emplace_back(r.TraceName, r.Flag);
    return t;
}

struct TDieAcht : ::testing::Test {
    TTestUmgebung Umgebung;
    THostRegistrierung Registrierung;
    TDieAcht() { QuendrixAuswertungenRegistrieren(); }
};

// A sentinel that is not nullptr, to see that the out parameter is reset.
const THostTestKlasse CVorbelegt("VORBELEGT", "Vorbelegt");

} // namespace

// --- the eight evaluations ------------------------------------------------------------------

struct TKlassenZeile {
    TKOV_Quendrix_Auswertung_Class Klasse;
    const char* Kurzname;
    const char* Bezeichnung;
    TKOV_WPF_Recht Recht;
    const char* Schlagworte;
    TRTypen Typen;
};

const TKlassenZeile CDieAcht[] = {
    {TKOV_Quendrix_SchwWareauswertung::Klasse(), "SchwWare", "Schwimmende Ware", 442, "Schwimmende Ware",
     C_RTypen_Alle},
    {TKOV_Quendrix_Verkaufspraemien::Klasse(), "VKPRAEMIEN", "Verkaufsprämien", 443, "Verkaufsprämien, Prämie",
     C_RTypen_Alle},
    {TKOV_ArtBest_CSV_Export::Klasse(), "ARTBESTCSVEXP", "Artikelbestandsexport", 0, "Jahresabschluss",
     TRTypen{1, 2, 4, 7}},
    {TKOV_Quendrix_Umsatzauswertung::Klasse(), "UMSAUSW", "Umsatzauswertung", 444, "Umsatzstatistiken",
     C_RTypen_Alle},
    {TKOV_Quendrix_VersFilAuswertung::Klasse(), "VFAUSW", "Versandfilialen-Auswertung", 0,
     "Onlineumsatz, Amazon, Ebay, Plattformen, Shops, Zalando, Tradebyte", C_RTypen_Alle},
    {TKOV_Quendrix_PersRabattAuswertung::Klasse(), "PersRab", "Personalrabatte", 0, "Personalrabatt",
     C_RTypen_Alle},
    {TKOV_Quendrix_PuPAuswertung::Klasse(), "PUPAUSWERT", "Auswertung Prämien und Provisionen", 443,
     "Verkaufsprämien, Prämie, Provision, Umsatzprämie, Umsatzprovision", C_RTypen_Alle},
    {TKOV_Quendrix_PersonalkaeufeAuswertung::Klasse(), "PKAUSWERT", "Auswertung Personalkäufe auf Rechnung", 443,
     "Personalkäufe, Personalkreditkäufe, Rechnung", C_RTypen_Alle},
};

TEST_F(TDieAcht, SindInFesterReihenfolgeMitIhrenKlassenfunktionenRegistriert) {
    std::vector<int> indizes;
    Register::EnumQuendrixAuswerter([&](TKOV_Quendrix_Auswertung_Class k, int i) {
        ASSERT_LT(i, 8);
        const TKlassenZeile& z = CDieAcht[i];
        SCOPED_TRACE(z.Kurzname);
        EXPECT_EQ(k, z.Klasse);
        EXPECT_EQ(k->Kurzname(), z.Kurzname);
        EXPECT_EQ(k->Bezeichnung(), z.Bezeichnung);
        EXPECT_EQ(k->Schlagworte(), z.Schlagworte);
        EXPECT_EQ(k->ActiveOnTypes(), z.Typen);
        indizes.push_back(i);
    });
    EXPECT_EQ(indizes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(TDieAcht, BeschreibungenSindWoertlich) {
    EXPECT_EQ(TKOV_Quendrix_SchwWareauswertung::Klasse()->Beschreibung(),
              "Selektionsmöglichkeit für verschiedenen Typen \"schwimmender Ware\". Dies können beispielsweise "
              "nicht kontrollierte Wareneingänge,einer Rechnung zugewiesenen Dispositionen oder offene "
              "Gutschriftanforderungen sein.");
    EXPECT_EQ(TKOV_Quendrix_Verkaufspraemien::Klasse()->Beschreibung(),
              "Die modernen Verkaufsprämien. Eine Übergangslösung bis zur Fertigstellung der Verkaufskampanien / "
              "Prämienlogik. Bitte wenden Sie sich an den Support, um die Einstellungen für diesen Punkt "
              "vorzunehmen");
    EXPECT_EQ(TKOV_Quendrix_PersRabattAuswertung::Klasse()->Beschreibung(),
              "Ermöglicht die Auswertung gewährter Personalrabatte über einen definierten Zeitraum. Der Rabatt "
              "errechnet sich dabei aus dem zum Zeitpunkt des Kaufes gültigen Kassenverkaufspreises abzüglich "
              "des - Istverkaufspreises.");
    for (const auto& z : CDieAcht) EXPECT_FALSE(z.Klasse->Beschreibung().empty()) << z.Kurzname;
}

// The right is protected; it shows in what the rights check lets through.
TEST_F(TDieAcht, EigenesRechtEntscheidetUeberRechtFuerAuswertungVorhanden) {
    for (const auto& z : CDieAcht) {
        SCOPED_TRACE(z.Kurzname);
        const std::string mit = std::string("mit_") + z.Kurzname;
        Umgebung.Benutzer(mit, {"441." + std::to_string(z.Recht)});
        RDLProgramm().BenutzerSetzen(mit);
        EXPECT_TRUE(z.Klasse->RechtFuerAuswertungVorhanden());

        RDLProgramm().BenutzerSetzen("niemand");
        Umgebung.Meldungen().Meldungen.clear();
        EXPECT_EQ(z.Klasse->RechtFuerAuswertungVorhanden(), z.Recht == 0);
        const auto& m = Umgebung.Meldungen().Meldungen;
        ASSERT_EQ(m.size(), z.Recht == 0 ? 0u : 1u);
        if (z.Recht != 0) {
            EXPECT_NE(m[0].Text.find("441." + std::to_string(z.Recht)), std::string::npos);
        }
    }
}

TEST(Auswertungsrecht, NullFragtKeineRechtepruefung) {
    // Without any database every rights query would fail and report it.
    TTestUmgebung umgebung(false);
    EXPECT_TRUE(TKOV_Quendrix_VersFilAuswertung::Klasse()->RechtFuerAuswertungVorhanden());
    EXPECT_TRUE(umgebung.Meldungen().Meldungen.empty());
    EXPECT_FALSE(TKOV_Quendrix_Umsatzauswertung::Klasse()->RechtFuerAuswertungVorhanden());
    EXPECT_EQ(umgebung.Meldungen().Meldungen.size(), 1u);
}

TEST_F(TDieAcht, ActiveNachInstallationstypUndKundenkennung) {
    // One character per registration index: 1 = offered.
    const struct {
        int RTyp;
        const char* Kennung;
        const char* Aktiv;
    } faelle[] = {
        {0, "MUSTER00", "10011111"}, {1, "MUSTER00", "10111111"}, {2, "", "10111111"},
        {3, "MUSTER00", "10011111"}, {4, "MUSTER00", "10111111"}, {5, "URSTAL00", "11011111"},
        {6, "MUSTER00", "10011111"}, {7, "MUSTER00", "10111111"}, {1, "ODRIKS00", "11111111"},
        {4, "odriks00", "10111111"}, {0, "ODRIKS00 ", "10011111"}, {8, "ODRIKS00", "01000000"},
        {255, "URSTAL00", "01000000"},
    };
    for (const auto& f : faelle) {
        RDLProgramm().InstallationSetzen(f.RTyp, f.Kennung);
        std::string aktiv;
        Register::EnumQuendrixAuswerter(
            [&](TKOV_Quendrix_Auswertung_Class k, int) { aktiv += k->Active() ? '1' : '0'; });
        EXPECT_EQ(aktiv, f.Aktiv) << "Typ " << f.RTyp << ", Kennung \"" << f.Kennung << "\"";
    }
}

TEST_F(TDieAcht, ExecuteMeldetNochNichtVerfuegbar) {
    for (const auto& z : CDieAcht) {
        // Built: tests/evaluations_sales, tests/evaluations_shipping, tests/evaluations_floating_goods,
        // tests/evaluations_staff_discount, tests/evaluations_stock_export.
        if (std::string(z.Kurzname) == "UMSAUSW" || std::string(z.Kurzname) == "VFAUSW" ||
            std::string(z.Kurzname) == "SchwWare" || std::string(z.Kurzname) == "PersRab" ||
            std::string(z.Kurzname) == "ARTBESTCSVEXP")
            continue;
        SCOPED_TRACE(z.Kurzname);
        Umgebung.Meldungen().Meldungen.clear();
        auto a = z.Klasse->Create();
        ASSERT_TRUE(a);
        EXPECT_EQ(a->ClassType(), z.Klasse);
        a->Init();
        EXPECT_FALSE(a->Execute());
        a->Done();
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
        const TRDLMeldung& m = Umgebung.Meldungen().Meldungen[0];
        EXPECT_EQ(m.Gruppe, "STANDARD");
        EXPECT_EQ(m.Nummer, 994);
        EXPECT_EQ(m.Text, "Diese Auswertung ist noch nicht verfügbar.");
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// --- registry ---------------------------------------------------------------------------------

TEST_F(TDieAcht, GetAuswerterByIdxNurInnerhalbDerGrenzen) {
    const struct {
        int Idx;
        TKOV_Quendrix_Auswertung_Class Erwartet;
    } faelle[] = {
        {-1, nullptr}, {0, CDieAcht[0].Klasse}, {7, CDieAcht[7].Klasse}, {8, nullptr}, {1000, nullptr},
    };
    for (const auto& f : faelle) {
        TKOV_Quendrix_Auswertung_Class k = &CVorbelegt;
        EXPECT_EQ(Register::GetAuswerterByIdx(f.Idx, k), f.Erwartet != nullptr) << f.Idx;
        EXPECT_EQ(k, f.Erwartet) << f.Idx;
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

TEST_F(TDieAcht, GetAuswerterByKurznameOhneGrossKleinOhneTrimmen) {
    const struct {
        const char* Name;
        TKOV_Quendrix_Auswertung_Class Erwartet;
    } faelle[] = {
        {"UMSAUSW", CDieAcht[3].Klasse},  {"umsausw", CDieAcht[3].Klasse},  {"UmsAusw", CDieAcht[3].Klasse},
        {"schwware", CDieAcht[0].Klasse}, {"PERSRAB", CDieAcht[5].Klasse},  {"pkauswert", CDieAcht[7].Klasse},
        {" UMSAUSW", nullptr},            {"UMSAUSW ", nullptr},            {"UMSAUS", nullptr},
        {"", nullptr},                    {"XYZ", nullptr},
    };
    for (const auto& f : faelle) {
        TKOV_Quendrix_Auswertung_Class k = &CVorbelegt;
        EXPECT_EQ(Register::GetAuswerterByKurzname(f.Name, k), f.Erwartet != nullptr) << f.Name;
        EXPECT_EQ(k, f.Erwartet) << f.Name;
    }
}

TEST(Auswertungsregister, ErsterTrefferGewinntUndAnhaengenPrueftKeineDoppelten) {
    TTestUmgebung umgebung;
    const THostTestKlasse gross("DOPPELT", "Erste"), klein("doppelt", "Zweite");
    THostRegistrierung registrierung({&gross, &klein, &gross});
    EXPECT_EQ(Register::Anzahl(), 3);
    TKOV_Quendrix_Auswertung_Class k = nullptr;
    ASSERT_TRUE(Register::GetAuswerterByKurzname("Doppelt", k));
    EXPECT_EQ(k, &gross);
}

TEST(Auswertungsregister, EnumerationLiestDieAnzahlEinmal) {
    TTestUmgebung umgebung;
    const THostTestKlasse a("A", "A"), b("B", "B"), spaet("SPAET", "Spät");
    THostRegistrierung registrierung({&a, &b});
    std::vector<std::pair<TKOV_Quendrix_Auswertung_Class, int>> aufrufe;
    Register::EnumQuendrixAuswerter([&](TKOV_Quendrix_Auswertung_Class k, int i) {
        aufrufe.emplace_back(k, i);
        Register::RegisterAuswerter(&spaet);
    });
    EXPECT_EQ(aufrufe, (std::vector<std::pair<TKOV_Quendrix_Auswertung_Class, int>>{{&a, 0}, {&b, 1}}));
    EXPECT_EQ(Register::Anzahl(), 4);
}

TEST(Auswertungsregister, EnumerationLaesstFehlerDesRueckrufsDurch) {
    TTestUmgebung umgebung;
    const THostTestKlasse a("A", "A");
    THostRegistrierung registrierung({&a});
    EXPECT_THROW(Register::EnumQuendrixAuswerter([](TKOV_Quendrix_Auswertung_Class, int) {
                     throw EListError("Abbruch");
                 }),
                 EListError);
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// --- base class and life cycle ------------------------------------------------------------------

namespace {
class TLeereAuswertung : public TKOV_Quendrix_Auswertung {};
const TKOV_Quendrix_AuswertungKlasseVon<TLeereAuswertung> CLeereKlasse;

class TWerfendeAuswertung : public TKOV_Quendrix_Auswertung {
public:
    TWerfendeAuswertung() { throw EOutOfMemory("kein Speicher"); }
};
const TKOV_Quendrix_AuswertungKlasseVon<TWerfendeAuswertung> CWerfendeKlasse;
} // namespace

TEST(Auswertungsbasis, AbstrakteMitgliederWerfenEAbstractError) {
    TTestUmgebung umgebung;
    TErwarteteAusnahmen erwartet{"TKOV_Quendrix_Auswertung.Autoreport"};
    EXPECT_THROW(CLeereKlasse.Kurzname(), EAbstractError);
    EXPECT_THROW(CLeereKlasse.Bezeichnung(), EAbstractError);
    EXPECT_THROW(CLeereKlasse.Beschreibung(), EAbstractError);
    EXPECT_THROW(CLeereKlasse.Schlagworte(), EAbstractError);
    EXPECT_THROW(CLeereKlasse.RechtFuerAuswertungVorhanden(), EAbstractError);
    EXPECT_EQ(CLeereKlasse.ActiveOnTypes(), C_RTypen_Alle);

    auto a = CLeereKlasse.Create();
    ASSERT_TRUE(a);
    EXPECT_THROW(a->Execute(), EAbstractError);
    EXPECT_FALSE(a->Autoreport());
    ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
    EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "TKOV_Quendrix_Auswertung.Autoreport");
    EXPECT_EQ(RDLInfo().Registrierte()[0].Klasse, "EAbstractError");
    EXPECT_TRUE(RDLInfo().Registrierte()[0].Flag);
}

TEST(Auswertungsbasis, KurznameOhneUeberschreibungWirdBeiDerSucheRegistriert) {
    TTestUmgebung umgebung;
    TErwarteteAusnahmen erwartet{"TKOV_Glob_Quendrix_Controller.GetAuswerterByKurzname"};
    const THostTestKlasse gut("GUT", "Gut");
    THostRegistrierung registrierung({&CLeereKlasse, &gut});
    TKOV_Quendrix_Auswertung_Class k = &CVorbelegt;
    EXPECT_FALSE(Register::GetAuswerterByKurzname("GUT", k));
    EXPECT_EQ(k, nullptr);
    EXPECT_EQ(Traces(), (std::vector<std::pair<std::string, bool>>{
                            {"TKOV_Glob_Quendrix_Controller.GetAuswerterByKurzname", true}}));
}

TEST(Auswertungsbasis, CreateRegistriertFehlerDesKonstruktors) {
    TTestUmgebung umgebung;
    TErwarteteAusnahmen erwartet{"TKOV_Quendrix_Auswertung.Create"};
    EXPECT_EQ(CWerfendeKlasse.Create(), nullptr);
    EXPECT_EQ(Traces(), (std::vector<std::pair<std::string, bool>>{{"TKOV_Quendrix_Auswertung.Create", true}}));
}

TEST(Auswertungsbasis, LebenszyklusMitFehlernInDenSchritten) {
    TErwarteteAusnahmen erwartet{"TKOV_Quendrix_Auswertung.Init",
                                 "TKOV_Quendrix_Auswertung.Done",
                                 "TKOV_Quendrix_Auswertung.Autoreport",
                                 "TKOV_Quendrix_Auswertung.Destroy"};
    using TTraces = std::vector<std::pair<std::string, bool>>;
    const TTraces keine;
    const TTraces init{{"TKOV_Quendrix_Auswertung.Init", true}};
    const TTraces done{{"TKOV_Quendrix_Auswertung.Done", false}};
    const TTraces done2{{"TKOV_Quendrix_Auswertung.Done", false}, {"TKOV_Quendrix_Auswertung.Done", false}};
    const TTraces autoreport{{"TKOV_Quendrix_Auswertung.Autoreport", true}};
    const TTraces destroy{{"TKOV_Quendrix_Auswertung.Destroy", false}};
    const std::string vorne = "Resources_Create,Resources_AfterCreate,";
    const std::string hinten = ",Resources_BeforeDestroy,Resources_Destroy,~";
    const struct {
        std::set<std::string> Fehler;
        bool Autoreport;
        std::string Schritte;
        TTraces Registriert;
        bool Ergebnis;
    } faelle[] = {
        {{}, false, vorne + "Execute(T)" + hinten, keine, true},
        {{"Resources_Create"}, false, "Resources_Create,Execute(T)" + hinten, init, true},
        {{"Resources_AfterCreate"}, false, vorne + "Execute(T)" + hinten, init, true},
        {{"Resources_BeforeDestroy"}, false, vorne + "Execute(T)" + hinten, done, true},
        {{"Resources_BeforeDestroy", "Resources_Destroy"}, false, vorne + "Execute(T)" + hinten, done2, true},
        {{}, true, vorne + "Autoreport(T),Execute(T)" + hinten, keine, true},
        {{"Execute"}, true, vorne + "Autoreport(T),Execute(T)" + hinten, autoreport, false},
        // A destructor that throws is registered when the instance is released.
        {{"~"}, false, vorne + "Execute(T)" + hinten, destroy, true},
    };
    const THostTestKlasse klasse("T", "Test");
    for (const auto& f : faelle) {
        TTestUmgebung umgebung;
        THostProtokoll::Leeren();
        THostProtokoll::Fehler = f.Fehler;
        {
            auto a = klasse.Create();
            ASSERT_TRUE(a);
            a->Init();
            EXPECT_EQ(f.Autoreport ? a->Autoreport() : a->Execute(), f.Ergebnis) << f.Schritte;
            a->Done();
        }
        EXPECT_EQ(THostProtokoll::Text(), f.Schritte);
        EXPECT_EQ(Traces(), f.Registriert) << f.Schritte;
    }
    THostProtokoll::Leeren();
}
