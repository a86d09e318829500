// The sales evaluation on the fixture installation with the real statistics engine: the
// window's export compared with the stored files (erwartet/<name>.csv).
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "szenario.h"
#include "umsatzauswertung_stapellauf.h"

#include "kovzeitraumeingabe.h"
#include "quendrix.h"
#include "quendrixmodule.h"
#include "rdldatum.h"
#include "rdldialog.h"
#include "umsauswmainfrm.h"

#include <filesystem>
#include <iostream>
#include <sstream>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// The days 01.12. to 10.12.2026 beside one prior year, exported at the given level of
// the default grouping (day, client).
TSzenarioLauf UmsatzauswertungExport(const char* ALevel, int AFilialanzeige) {
    return [=](TTestDatenbankOrt&, const std::string& ADatei) {
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

        TKOV_UmsatzAuswertFrm f; // the comparison facade of the engine
        f.FormShow();            // the defaults: all origins, the last seven days
        f.edtZeitraum->Zeitraum_Set({szenario::CErsterTag, szenario::CErsterTag + szenario::CTage - 1});
        f.edtAnzahlVorjahre->setText("1");
        f.edtAnzahlVorjahreExit();
        f.cmbFilialAuswahl->setCurrentIndex(2);
        f.cmbAnzeigeFilialen->setCurrentIndex(AFilialanzeige);
        f.btnAuswertenClick();
        f.edtBaumlevel->setText(ALevel);
        f.btnExportierenClick();
        if (!RDLInfo().Registrierte().empty()) throw Exception(RDLInfo().Registrierte().front().Text);
    };
}

// A run from the command line, as a script runs it, with AOptionen and --export.
TSzenarioLauf UmsatzauswertungStapellauf(std::vector<std::string> AOptionen) {
    return [AOptionen](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        std::vector<std::string> optionen = AOptionen;
        optionen.insert(optionen.end(), {"--export", ADatei});
        std::string fehler;
        const int rc = UmsatzauswertungStapel(AOrt, optionen, fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler);
    };
}

// A branch 4 "Basel" of client 2/1 that keeps francs: one sale of 100 CHF a day, 01.12.
// to 10.12.2026, on its own till 41; rates as given (none: no row).
void BaselAnlegen(TRDLDatenbank& ADb, const std::vector<std::pair<TDateTime, double>>& AKurse) {
    auto st = ADb.Prepare("INSERT INTO filiale (filiale, mand_a, mand_b, orge_a, orge_b, name, waehrung)"
                          " VALUES (4, 2, 1, 2, 4, 'Basel', 'CHF')");
    st.Step();
    auto r = ADb.Prepare("INSERT INTO rechner (rechner, name, filiale) VALUES (41, 'Kasse Basel', 4)");
    r.Step();
    for (int t = 1; t <= szenario::CTage; ++t) {
        TTestUmgebung::TVerkauf v;
        v.MandA = 2;
        v.Filiale = 4;
        v.Rechner = 41;
        v.TransNr = t;
        v.Datum = szenario::CErsterTag + (t - 1);
        v.Betrag = v.Betrag2 = 100.0;
        v.EK = 40.0;
        TTestUmgebung::Verkauf(ADb, v);
    }
    for (const auto& [ab, kurs] : AKurse) TTestUmgebung::Wechselkurs(ADb, "CHF", ab, kurs);
}

// Client totals per day with the Basel branch: its francs at 0,90 up to 04.12. and at
// 0,95 from 05.12.2026 on, beside Marktplatz's euros.
TSzenarioLauf UmsatzauswertungMitFranken() {
    return [](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        BaselAnlegen(AOrt.Db(), {{szenario::CErsterTag - 30, 0.9}, {szenario::CErsterTag + 4, 0.95}});
        std::string fehler;
        const int rc = UmsatzauswertungStapel(AOrt, {"--mandanten", "2/1", "--vorjahre", "0", "--level", "2",
                                                     "--gruppierung", "Datum / Mandant", "--export", ADatei},
                                              fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler);
    };
}

const TSzenario CSzenarien[] = {
    {"umsatzauswertung_franken", UmsatzauswertungMitFranken()},
    // The selection of "filialtage" from the command line: the file must be what
    // "&Exportieren" writes (the two expected files are equal byte for byte).
    {"umsatzauswertung_stapellauf",
     UmsatzauswertungStapellauf({"--vorjahre", "1", "--filialauswahl", "2", "--anzeige-filialen", "2", "--level=0"})},
    // The branches' calendar decides the comparison days, shown beside the figures: the
    // closing days of the fixture (szenario.h) move them a week earlier or later, and
    // Inventur 2026 meets Inventur 2025 on another date and weekday.
    {"umsatzauswertung_feiertage",
     UmsatzauswertungStapellauf({"--vergleichstag", "2", "--vergleichsdatum", "--anzeige-filialen", "2", "--level", "0"})},
    {"umsatzauswertung_tag_mandant", UmsatzauswertungExport("2", 0)},
    {"umsatzauswertung_filialtage", UmsatzauswertungExport("0", 2)},
};

class Umsatzauswertung : public ::testing::TestWithParam<TSzenario> {};

} // namespace

TEST_P(Umsatzauswertung, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

// Another program holds the write lock past the busy wait while new sales wait to be
// booked: the run does not report the old figures as current. Code 4, the German message
// naming the log, no file.
TEST(UmsatzauswertungStapellauf, GesperrteAktualisierungEndetMitCode4OhneDatei) {
    TTestDatenbankOrt ort;
    {
        TTestUmgebung umgebung(ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
    }
    std::string fehler;
    const std::string datei = ort.Ordner() + "/umsatz.csv";
    ASSERT_EQ(UmsatzauswertungStapel(ort, {"--export", datei}, fehler), 0) << fehler; // builds the statistics
    std::filesystem::remove(datei);
    TTestUmgebung::TVerkauf v;
    v.Rechner = 11;
    v.TransNr = 500;
    v.Datum = szenario::CErsterTag + 8;
    TTestUmgebung::Verkauf(ort.Db(), v);
    const TTestKurzeWartezeit kurz;
    TRDLDatenbank& sperrer = ort.Db();
    if (TestAufPostgres()) {
        sperrer.Exec("BEGIN");
        sperrer.Exec("LOCK TABLE umst IN EXCLUSIVE MODE");
    } else {
        sperrer.Exec("BEGIN IMMEDIATE");
    }
    TErwarteteAusnahmen erwartet{
        "TKOV_Umsatz_UmszMani_Base<*>.Update_UmsStatFile_FuerAlleNoetigenFilialeUndTagesdatis"};
    const int rc = UmsatzauswertungStapel(ort, {"--export", datei}, fehler);
    sperrer.Exec("ROLLBACK");
    EXPECT_EQ(rc, 4) << fehler;
    EXPECT_NE(fehler.find("Die Umsatzstatistik konnte nicht aktualisiert werden"), std::string::npos) << fehler;
    EXPECT_NE(fehler.find("Einzelheiten im Protokoll"), std::string::npos) << fehler;
    EXPECT_EQ(fehler.find("TKOV_"), std::string::npos) << fehler;
    EXPECT_EQ(fehler.find("BEGIN"), std::string::npos) << fehler;
    EXPECT_FALSE(std::filesystem::exists(datei));
}

// --help after -kn … -autoreport lists the evaluation's options with the grouping names,
// without first building the statistics.
TEST(UmsatzauswertungStapellauf, HilfeNenntDieOptionenUndDieGruppierungen) {
    TTestDatenbankOrt ort;
    {
        TTestUmgebung umgebung(ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
    }
    std::string fehler, ausgabe;
    EXPECT_EQ(UmsatzauswertungStapel(ort, {"--help"}, fehler, &ausgabe), 0) << fehler;
    for (const char* s : {"--export", "--gruppierung", "Datum / Mandant", "Mandant / Filiale", "--level"})
        EXPECT_NE(ausgabe.find(s), std::string::npos) << s << "\n" << ausgabe;
    auto st = ort.Db().Prepare("SELECT COUNT(*) FROM umst");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColInt(0), 0);
}

// A day of the Basel branch without a rate: the run names currency and day, writes no
// file and ends with exit code 4.
TEST(UmsatzauswertungStapellauf, FehlenderKursEndetMitCode4OhneDatei) {
    TTestDatenbankOrt ort;
    {
        TTestUmgebung umgebung(ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
        BaselAnlegen(ort.Db(), {{szenario::CErsterTag + 2, 0.9}});
    }
    const std::string datei = ort.Ordner() + "/franken.csv";
    std::string fehler;
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzAuswertFrm.TabelleFuellen"};
    EXPECT_EQ(UmsatzauswertungStapel(ort, {"--export", datei}, fehler), 4);
    const std::string text = "Für die Währung CHF ist zum 01.12.2026 kein Umrechnungskurs in EUR hinterlegt.";
    const size_t stelle = fehler.find(text);
    EXPECT_NE(stelle, std::string::npos) << fehler;
    EXPECT_EQ(fehler.find(text, stelle + 1), std::string::npos) << "told once: " << fehler;
    EXPECT_EQ(fehler.find("TKOV_"), std::string::npos) << fehler; // trace names stay in the log
    EXPECT_FALSE(std::filesystem::exists(datei));
}

INSTANTIATE_TEST_SUITE_P(szenarien, Umsatzauswertung, ::testing::ValuesIn(CSzenarien), TSzenarioName());
