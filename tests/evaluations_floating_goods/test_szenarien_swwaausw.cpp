// The floating-goods evaluation run from the command line: its export on the records of
// schwware_daten.h compared with the stored file (erwartet/<name>.csv), its options and
// exit codes.
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "schwware_daten.h"
#include "stapelaufruf.h"
#include "szenario.h"
#include "testdateien.h"

#include "quendrix.h"
#include "quendrixmodule.h"
#include "swwaausw.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

// quendrix --db … --user tester -kn SchwWare -autoreport AOptionen; the exit code.
// AFehler gets what the run told on standard error, AAusgabe what it printed.
int SchwWareStapel(TTestDatenbankOrt& AOrt, const std::vector<std::string>& AOptionen, std::string& AFehler,
                   std::string* AAusgabe = nullptr) {
    std::vector<std::string> args = {"--db", AOrt.Ort(), "--user", "tester", "-kn", "SchwWare", "-autoreport"};
    args.insert(args.end(), AOptionen.begin(), AOptionen.end());
    return QuendrixStapelAufruf(args, AFehler, AAusgabe);
}

// March 2026 as the batch run writes it.
TSzenarioLauf SchwWareStapellauf() {
    return [](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        schwware::Anlegen(AOrt.Db());
        TErwarteteAusnahmen erwartet{"TKOV_SchwWarefrm.SW_DISPO_laden.SW_Detail_setzen", "TKOV_SchwWarefrm.SW_SER_laden"};
        std::string fehler;
        const int rc = SchwWareStapel(AOrt, {"--von", "01.03.2026", "--bis", "31.03.2026", "--export", ADatei}, fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler);
    };
}

const TSzenario CSzenarien[] = {
    {"schwimmende_ware_maerz", SchwWareStapellauf()},
};

class SchwimmendeWare : public ::testing::TestWithParam<TSzenario> {};

} // namespace

TEST_P(SchwimmendeWare, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

INSTANTIATE_TEST_SUITE_P(szenarien, SchwimmendeWare, ::testing::ValuesIn(CSzenarien), TSzenarioName());

// Wrong options end with code 2 and say why, a file that cannot be written with code 4;
// neither leaves a file.
TEST(SchwimmendeWareStapellauf, OptionenUndExitcodes) {
    TTestDatenbankOrt ort;
    {
        TTestUmgebung umgebung(ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
    }
    const std::string datei = ort.Ordner() + "/schwware.csv";
    const struct {
        std::vector<std::string> Optionen;
        int Exitcode;
        std::string Meldung;
    } faelle[] = {
        {{"--von", "01.03.2026", "--bis", "31.03.2026", "--print", ort.Ordner() + "/s.pdf"}, 2,
         "kann nicht gedruckt werden"},
        {{"--von", "01.03.2026", "--export", datei}, 2, "--bis TT.MM.JJJJ"},
        {{"--export", datei}, 2, "--von TT.MM.JJJJ"},
        {{"--von", "31.02.2026", "--bis", "31.03.2026", "--export", datei}, 2, "ist kein Datum"},
        {{"--von", "01.03.2026", "--bis", "31.03.2026", "--filialen", "1", "--export", datei}, 2, "Unbekannte Option"},
        // A folder is no file; its name keeps its ending ".csv".
        {{"--von", "01.03.2026", "--bis", "31.03.2026", "--export", ort.Ordner() + "/ordner.csv"}, 4, "ordner.csv"},
    };
    std::filesystem::create_directory(ort.Ordner() + "/ordner.csv");
    TErwarteteAusnahmen erwartet{"TKOV_SchwWarefrm.Liste_Speichern"}; // the folder given as the file
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Optionen.back());
        std::string fehler;
        EXPECT_EQ(SchwWareStapel(ort, f.Optionen, fehler), f.Exitcode) << fehler;
        EXPECT_NE(fehler.find(f.Meldung), std::string::npos) << fehler;
        EXPECT_EQ(fehler.find("TKOV_"), std::string::npos) << fehler; // trace names stay in the log
        EXPECT_FALSE(std::filesystem::exists(datei));
        EXPECT_FALSE(std::filesystem::exists(ort.Ordner() + "/s.pdf"));
    }
    // A period without items: the header line alone, exit code 0.
    std::string fehler, ausgabe;
    ASSERT_EQ(SchwWareStapel(ort, {"--von", "01.03.2026", "--bis", "31.03.2026", "--export", datei}, fehler), 0)
        << fehler;
    EXPECT_EQ(DateiLesen(datei), "Mandant;Typ;Lieferant;Filiale;ArtNr/AGANr;Menge;Wert;W\xE4hrung;Datum;Barcode;VorgID\r\n");
    EXPECT_EQ(SchwWareStapel(ort, {"--help"}, fehler, &ausgabe), 0) << fehler;
    for (const char* s : {"--export", "--von", "--bis"}) EXPECT_NE(ausgabe.find(s), std::string::npos) << ausgabe;
}
