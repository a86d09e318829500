// The shipping-branch evaluation with the real statistics engine: its export on the
// fixture installation with online sales compared with the stored files
// (erwartet/<name>.csv), runs from the command line with their exit codes, and the
// figures beside the sales evaluation's on the demo installation.
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "stapelaufruf.h"
#include "szenario.h"
#include "testdateien.h"

#include "demo/demo.h"
#include "kovzeitraumeingabe.h"
#include "quendrix.h"
#include "quendrixmodule.h"
#include "rdldatum.h"
#include "rdldialog.h"
#include "suitetabellen.h"
#include "umsatzmani_umsausw.h"
#include "umsatzmani_versfilausw.h"
#include "versfilauswfrm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

// quendrix --db … --user tester -kn VFAUSW -autoreport --von <first day> --bis <last day>
// AOptionen; the exit code. AFehler gets what the run told on standard error.
int VersandStapel(TTestDatenbankOrt& AOrt, const std::vector<std::string>& AOptionen, std::string& AFehler,
                  std::string* AAusgabe = nullptr) {
    rdl_HeuteFestlegen(szenario::CErsterTag + szenario::CTage + 0.5);
    struct TZurueck {
        ~TZurueck() { rdl_HeuteFestlegen(0); }
    } zurueck;
    std::vector<std::string> args = {"--db", AOrt.Ort(), "--user", "tester", "-kn", "VFAUSW", "-autoreport",
                                     "--von", DateToStr(szenario::CErsterTag), "--bis",
                                     DateToStr(szenario::CErsterTag + szenario::CTage - 1)};
    args.insert(args.end(), AOptionen.begin(), AOptionen.end());
    return QuendrixStapelAufruf(args, AFehler, AAusgabe);
}

// The fixture's branches 2 "Bahnhof" and 3 "Marktplatz" also sell online: branch 2 on
// Amazon (1) every open day and on Zalando (7) on even days, with Ebay (2) returns on days 4
// and 8; branch 3 on Zalando every other day, with a cancelled order (a voided line) on
// day 5. Branch 1 stays stationary. A branch "Basel" in francs ships too, when asked.
void VersandAnlegen(TRDLDatenbank& ADb) {
    ADb.Exec("UPDATE filiale SET versandfiliale = 1 WHERE filiale IN (2, 3)");
    ADb.Exec("INSERT INTO plattform (herkunft, name) VALUES (1, 'Amazon'), (2, 'Ebay'), (7, 'Zalando')");
    int trans = 1000;
    for (int t = 1; t <= szenario::CTage; ++t) {
        const TDate tag = szenario::CErsterTag + (t - 1);
        auto zeile = [&](int AFiliale, int AMandA, int AHerkunft, const char* ASatzart, int AMenge, double ABetrag,
                         double AEK) {
            TTestUmgebung::TVerkauf v;
            v.MandA = AMandA;
            v.Filiale = AFiliale;
            v.Rechner = AFiliale * 10 + 1;
            v.TransNr = ++trans;
            v.Datum = tag;
            v.Uhrzeit = 0.8;
            v.Satzart = ASatzart;
            v.Menge = AMenge;
            v.Betrag = ABetrag;
            v.Betrag2 = ABetrag * 1.19;
            v.EK = AEK;
            v.Herkunft = AHerkunft;
            TTestUmgebung::Verkauf(ADb, v);
        };
        zeile(2, 1, 1, "VK", 1, 20.0 + t, 9.0);
        if (t % 2 == 0) zeile(2, 1, 7, "VK", 2, 60.0, 26.0);
        if (t == 4 || t == 8) zeile(2, 1, 2, "RE", -1, -15.0, -7.0);
        if (t % 2 == 1) zeile(3, 2, 7, "VK", 1, 35.5, 15.0);
        if (t == 5) zeile(3, 2, 7, "VK", -1, -35.5, -15.0);
    }
}

// The window as the user works it: all ten days, the shipping branches, option AOption,
// "&Exportieren" into ADatei.
TSzenarioLauf VersandFensterExport(int AOption) {
    return [=](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        VersandAnlegen(AOrt.Db());
        TQtApp qt;
        rdl_HeuteFestlegen(szenario::CErsterTag + szenario::CTage + 0.5);
        struct TZurueck {
            std::unique_ptr<IRDLDialoge> Alt;
            ~TZurueck() {
                rdl_HeuteFestlegen(0);
                RDLDialoge_Ersetzen(std::move(Alt));
            }
        } zurueck;
        auto dialoge = std::make_unique<TRDLVorgabeDialoge>();
        dialoge->Vorgeben(TRDLDialogAntwort::DateiName(ADatei));
        zurueck.Alt = RDLDialoge_Ersetzen(std::move(dialoge));
        RDLProgramm().OhneDialogeSetzen(true);
        TKOV_UmsatzUmszMani_VersFilAusw umsz;
        if (!umsz.UpdateStatistikfiles(CKOV_VersFil_AnzahlZurueckliegendeTage, false))
            throw Exception("Statistik nicht aktualisiert");
        TKOV_VersFilAuswertFrm f; // the statistics manager of the engine
        f.FormShow();
        f.edtZeitraum->Zeitraum_Set({szenario::CErsterTag, szenario::CErsterTag + szenario::CTage - 1});
        f.GruppierungClick(AOption);
        f.btnAuswertenClick();
        f.btnExportierenClick();
        if (!RDLInfo().Registrierte().empty()) throw Exception(RDLInfo().Registrierte().front().Text);
    };
}

TSzenarioLauf VersandStapellauf(std::vector<std::string> AOptionen) {
    return [AOptionen](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        VersandAnlegen(AOrt.Db());
        std::vector<std::string> optionen = AOptionen;
        optionen.insert(optionen.end(), {"--export", ADatei});
        std::string fehler;
        const int rc = VersandStapel(AOrt, optionen, fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler);
    };
}

const TSzenario CSzenarien[] = {
    {"versandfilialen_filiale_plattform", VersandFensterExport(0)},
    {"versandfilialen_plattform_filiale", VersandFensterExport(6)},
    // Every branch, without empty rows, the returns alone by kind, then branch.
    {"versandfilialen_retouren_stapellauf",
     VersandStapellauf({"--filialen", "1,2,3", "--leere-zeilen-ausblenden", "--ohne-verkaeufe", "--gruppierung",
                        "Stat./Online - Verkaufstyp - Filiale"})},
};

class Versandfilialen : public ::testing::TestWithParam<TSzenario> {};

TTestDatenbankOrt& InstallationMitVersand(TTestDatenbankOrt& AOrt) {
    {
        TTestUmgebung umgebung(AOrt.DbShared());
        SzenarioInstallationAnlegen(umgebung);
    }
    VersandAnlegen(AOrt.Db());
    return AOrt;
}

} // namespace

TEST_P(Versandfilialen, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

INSTANTIATE_TEST_SUITE_P(szenarien, Versandfilialen, ::testing::ValuesIn(CSzenarien), TSzenarioName());

// Wrong options end with code 2 and say why; an evaluation that cannot build its result
// whole (a day without a rate) ends with code 4; neither writes a file.
TEST(VersandfilialenStapellauf, OptionenUndExitcodes) {
    TTestDatenbankOrt ort;
    InstallationMitVersand(ort);
    const std::string datei = ort.Ordner() + "/versand.csv";
    const struct {
        std::vector<std::string> Optionen;
        int Exitcode;
        std::string Meldung;
    } faelle[] = {
        {{"--print", ort.Ordner() + "/versand.pdf"}, 2, "kann nicht gedruckt werden"},
        {{"--filialen", "2,99", "--export", datei}, 2, "die Filiale 99 gibt es nicht"},
        {{"--gruppierung", "Filiale - Datum", "--export", datei}, 2, "ist keine Gruppierung"},
        {{"--von", "32.12.2026", "--export", datei}, 2, "ist kein Datum"},
        {{"--ohne-verkauf", "--export", datei}, 2, "Unbekannte Option"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Optionen.front());
        std::string fehler;
        EXPECT_EQ(VersandStapel(ort, f.Optionen, fehler), f.Exitcode) << fehler;
        EXPECT_NE(fehler.find(f.Meldung), std::string::npos) << fehler;
        EXPECT_FALSE(std::filesystem::exists(datei));
        EXPECT_FALSE(std::filesystem::exists(ort.Ordner() + "/versand.pdf"));
    }
    // Neither kind: the header alone.
    std::string fehler;
    ASSERT_EQ(VersandStapel(ort, {"--ohne-verkaeufe", "--ohne-retouren", "--export", datei}, fehler), 0) << fehler;
    EXPECT_EQ(DateiLesen(datei), "Filiale;Plattform;Verkaufstyp;Menge;VK (brutto);VK (netto);EK;W\xE4hrung\r\n");
    std::filesystem::remove(datei);

    // A shipping branch in francs with rates only from the 3rd on.
    ort.Db().Exec("INSERT INTO filiale (filiale, mand_a, mand_b, orge_a, orge_b, name, waehrung, versandfiliale)"
                  " VALUES (4, 2, 1, 2, 4, 'Basel', 'CHF', 1)");
    ort.Db().Exec("INSERT INTO rechner (rechner, name, filiale) VALUES (41, 'Kasse Basel', 4)");
    for (int t = 1; t <= szenario::CTage; ++t) {
        TTestUmgebung::TVerkauf v;
        v.MandA = 2;
        v.Filiale = 4;
        v.Rechner = 41;
        v.TransNr = t;
        v.Datum = szenario::CErsterTag + (t - 1);
        v.Herkunft = 1;
        TTestUmgebung::Verkauf(ort.Db(), v);
    }
    TTestUmgebung::Wechselkurs(ort.Db(), "CHF", szenario::CErsterTag + 2, 0.9);
    TErwarteteAusnahmen erwartet{"TKOV_VersFilAuswertFrm.TabelleFuellen"};
    EXPECT_EQ(VersandStapel(ort, {"--export", datei}, fehler), 4);
    EXPECT_NE(fehler.find("Für die Währung CHF ist zum 01.12.2026 kein Umrechnungskurs in EUR hinterlegt."),
              std::string::npos)
        << fehler;
    EXPECT_EQ(fehler.find("TKOV_"), std::string::npos) << fehler; // trace names stay in the log
    EXPECT_FALSE(std::filesystem::exists(datei));
}

// --help lists the options with the groupings (not --print, which it refuses), without building
// the statistics first.
TEST(VersandfilialenStapellauf, HilfeNenntDieOptionen) {
    TTestDatenbankOrt ort;
    InstallationMitVersand(ort);
    std::string fehler, ausgabe;
    EXPECT_EQ(VersandStapel(ort, {"--help"}, fehler, &ausgabe), 0) << fehler;
    for (const char* s : {"--export", "--von", "--bis", "--filialen", "--gruppierung", "Plattform - Verkaufstyp",
                          "--leere-zeilen-ausblenden", "--ohne-verkaeufe", "--ohne-retouren"})
        EXPECT_NE(ausgabe.find(s), std::string::npos) << s << "\n" << ausgabe;
    EXPECT_EQ(ausgabe.find("--print"), std::string::npos) << "the window has no print\n" << ausgabe;
    auto st = ort.Db().Prepare("SELECT COUNT(*) FROM umstvf");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColInt(0), 0);
}

// The same sales lines in both statistics: per branch and day the shipping figures
// (stationary and every platform, sales and returns) add up to the sales evaluation's
// groups; stationary is group A with the till's corrections B and E (the rounding and
// voucher lines of the demo's staff purchases), online groups C and D.
TEST(VersandfilialenKonsistenz, StationaerUndOnlineGleichenDenGruppenDerUmsatzauswertung) {
    TTestUmgebung umgebung(TestDatenbank());
    TDemoOptionen o;
    o.Filialen = 4; // one of them a shipping branch, one in francs; a second shipping branch besides
    o.Tage = 21;
    o.Heute = EncodeDate(2026, 12, 1);
    o.Benutzer = "tester";
    const TDemoErgebnis e = DemoErzeugen(umgebung.Db(), o);
    rdl_HeuteFestlegen(o.Heute + 0.5);
    struct TZurueck {
        ~TZurueck() { rdl_HeuteFestlegen(0); }
    } zurueck;
    {
        TKOV_UmsatzUmszMani_VersFilAusw vf;
        ASSERT_TRUE(vf.UpdateStatistikfiles(CKOV_VersFil_AnzahlZurueckliegendeTage, false));
        TKOV_Umsatz_UmszMani_UmsAusw ua;
        ASSERT_TRUE(ua.UpdateStatistikfiles(731, false));
    }
    TKOV_UmsatzAuswertMani_VersFilAusw vf;
    TKOV_UmsatzAuswertMani_Base<TKOV_Umsatzdaten_UmsAusw, TKOV_UmsDataOperator_UmsAusw, Tumstfile,
                                TKOV_UmsatzHelper_UmsAusw>
        ua;
    TFilialTabelle* tabelle = GlobFilialTabelle_GetInstance();
    struct TFrei {
        TFilialTabelle*& T;
        ~TFrei() { GlobFilialTabelle_ReleaseInstance(T); }
    } frei{tabelle};
    ASSERT_EQ(tabelle->Filialen().GetCount(), o.Filialen + 1); // and the outlet
    int online = 0, retouren = 0, korrekturen = 0;
    for (int i = 0; i < tabelle->Filialen().GetCount(); ++i) {
        const TFiliale& f = *tabelle->Filialen().GetItem(i);
        for (TDate d = e.ErsterTag; d <= e.LetzterTag; d += 1) {
            SCOPED_TRACE("Filiale " + std::to_string(f.Nr) + " am " + DateToStr(d));
            const TKOV_Umsatzdaten_Erw_VersFilAusw v = vf.GetUmsatzFuerTag(f.Mandant, f.OrgeID, d);
            const TKOV_Umsatzdaten_UmsAusw u = ua.GetUmsatzFuerTag(f.Mandant, f.OrgeID, d);
            struct TSumme {
                double EK = 0, Netto = 0, Brutto = 0;
            } stationaer, onl, a, cd;
            for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
                for (int t = 0; t < 2; ++t) {
                    const TKOV_VFUmsatzdaten_Erw& x = v.Plattformen[p][t];
                    TSumme& s = p == 0 ? stationaer : onl;
                    s.EK += x.EK;
                    s.Netto += x.VKNetto;
                    s.Brutto += x.VKBrutto;
                    if (p > 0 && !x.IsEmpty()) (t == 0 ? online : retouren) += 1;
                }
            const auto gruppe = [&](TKOV_UmsAusw_Gruppe G, TSumme& S) {
                S.EK += u.Wert(G, ufEK);
                S.Netto += u.Wert(G, ufNettoArtikel) + u.Wert(G, ufNettoSonstige);
                S.Brutto += u.Wert(G, ufBruttoArtikel) + u.Wert(G, ufBruttoSonstige);
            };
            gruppe(ugA, a);
            gruppe(ugB, a);
            gruppe(ugE, a);
            gruppe(ugC, cd);
            gruppe(ugD, cd);
            for (TKOV_UmsAusw_Gruppe g : {ugB, ugE})
                if (u.Wert(g, ufBruttoSonstige) != 0) ++korrekturen;
            EXPECT_NEAR(stationaer.EK, a.EK, 1e-6);
            EXPECT_NEAR(stationaer.Netto, a.Netto, 1e-6);
            EXPECT_NEAR(stationaer.Brutto, a.Brutto, 1e-6);
            EXPECT_NEAR(onl.EK, cd.EK, 1e-6);
            EXPECT_NEAR(onl.Netto, cd.Netto, 1e-6);
            EXPECT_NEAR(onl.Brutto, cd.Brutto, 1e-6);
        }
    }
    // The demo's shipping branches sell and take back on several platforms.
    EXPECT_GT(online, 5);
    EXPECT_GT(retouren, 2);
    EXPECT_GT(korrekturen, 0);
}
