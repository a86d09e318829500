// The staff discount evaluation run from the command line: its export of November and
// December 2026 (persrab_daten.h on the scenario installation) compared with the stored
// file (erwartet/<name>.csv), its grouped print read back from the PDF, its options and
// exit codes.
#include "erwarteteausnahmen.h"
#include "persrab_daten.h"
#include "qttestapp.h"
#include "stapelaufruf.h"
#include "szenario.h"
#include "testdateien.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr const char* CGetPreis = "TKOV_PersRabfrm.PositionenAuslesen.GetPreis";

// quendrix --db … --user tester -kn PersRab -autoreport AOptionen; the exit code.
int PersRabStapel(TTestDatenbankOrt& AOrt, const std::vector<std::string>& AOptionen, std::string& AFehler,
                  std::string* AAusgabe = nullptr) {
    std::vector<std::string> args = {"--db", AOrt.Ort(), "--user", "tester", "-kn", "PersRab", "-autoreport"};
    args.insert(args.end(), AOptionen.begin(), AOptionen.end());
    return QuendrixStapelAufruf(args, AFehler, AAusgabe);
}

TSzenarioLauf PersRabStapellauf(std::vector<std::string> AOptionen) {
    return [AOptionen](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        persrab::Anlegen(AOrt.Db());
        TErwarteteAusnahmen erwartet{CGetPreis}; // the line without a size index
        std::vector<std::string> o = {"--von", "01.11.2026", "--bis", "31.12.2026"};
        o.insert(o.end(), AOptionen.begin(), AOptionen.end());
        o.insert(o.end(), {"--export", ADatei});
        std::string fehler;
        const int rc = PersRabStapel(AOrt, o, fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler);
    };
}

const TSzenario CSzenarien[] = {
    {"personalrabatte_nov_dez", PersRabStapellauf({})},
};

class Personalrabatte : public ::testing::TestWithParam<TSzenario> {};

// An installation of the scenario with the staff purchases.
struct TInstallation {
    TTestDatenbankOrt Ort;
    TInstallation() {
        TTestUmgebung umgebung(Ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
        persrab::Anlegen(Ort.Db());
    }
};

} // namespace

TEST_P(Personalrabatte, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

INSTANTIATE_TEST_SUITE_P(szenarien, Personalrabatte, ::testing::ValuesIn(CSzenarien), TSzenarioName());

// The grouped print: title, period, one line per client and staff member with the sums in
// the house currency.
TEST(PersonalrabatteStapellauf, GruppierterDruckZeigtJeMitarbeiterDieSummen) {
    TQtApp qt;
    TInstallation inst;
    const std::string pdf = inst.Ort.Ordner() + "/personalrabatte.pdf";
    std::string fehler;
    {
        TErwarteteAusnahmen erwartet{CGetPreis};
        ASSERT_EQ(PersRabStapel(inst.Ort, {"--von", "01.11.2026", "--bis", "31.12.2026", "--gruppiert", "--print", pdf},
                                fehler),
                  0)
            << fehler;
    }
    const std::string text = PdfText(pdf);
    for (const char* s : {"Personalrabatte", "Auswertungszeitraum: 01.11.2026 bis 31.12.2026", "Modehaus Nord",
                          "Anna Berger", "170,42", "212,06", "41,64", "Paul Kranz", "Lea Vogt", "29,86"})
        EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
    // Depth 1: no single line of a receipt.
    EXPECT_EQ(text.find("VK 1 - 101"), std::string::npos) << text;
}

// Wrong options end with code 2 and say why, a file that cannot be written with code 4;
// neither leaves a file. --help lists the options.
TEST(PersonalrabatteStapellauf, OptionenUndExitcodes) {
    TInstallation inst;
    const std::string datei = inst.Ort.Ordner() + "/persrab.csv";
    std::filesystem::create_directory(inst.Ort.Ordner() + "/ordner.csv");
    const struct {
        std::vector<std::string> Optionen;
        int Exitcode;
        std::string Meldung;
    } faelle[] = {
        {{"--von", "31.02.2026", "--export", datei}, 2, "ist kein Datum"},
        {{"--filialen", "1", "--export", datei}, 2, "Unbekannte Option"},
        {{"--von", "01.12.2026", "--bis", "31.12.2026", "--export", inst.Ort.Ordner() + "/ordner.csv"}, 4, "ordner.csv"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Optionen.front());
        TErwarteteAusnahmen erwartet{"TVTRDLVRList.Export2CSV_KnownFilename", "TKOV_PersRabfrm.HandleMessage",
                                     "TKOV_PersRabfrm.Export_2_CSV"};
        std::string fehler;
        EXPECT_EQ(PersRabStapel(inst.Ort, f.Optionen, fehler), f.Exitcode) << fehler;
        EXPECT_NE(fehler.find(f.Meldung), std::string::npos) << fehler;
        EXPECT_EQ(fehler.find("TKOV_"), std::string::npos) << fehler; // trace names stay in the log
        EXPECT_FALSE(std::filesystem::exists(datei));
    }
    std::string fehler, ausgabe;
    EXPECT_EQ(PersRabStapel(inst.Ort, {"--help"}, fehler, &ausgabe), 0) << fehler;
    for (const char* s : {"--von", "--bis", "--gruppiert", "--export", "--print"})
        EXPECT_NE(ausgabe.find(s), std::string::npos) << ausgabe;
}
