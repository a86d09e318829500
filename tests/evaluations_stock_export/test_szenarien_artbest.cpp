// The article stock export run from the command line: its file on the ledger of
// bestand_daten.h compared with the stored reference (erwartet/<name>.csv), the run
// without a stored selection, and its options.
#include "bestand_daten.h"
#include "erwarteteausnahmen.h"
#include "stapelaufruf.h"
#include "szenario.h"
#include "testdateien.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

int ArtBestStapel(TTestDatenbankOrt& AOrt, const std::vector<std::string>& AOptionen, std::string& AFehler,
                  std::string* AAusgabe = nullptr) {
    std::vector<std::string> args = {"--db", AOrt.Ort(), "--user", "tester", "-kn", "ARTBESTCSVEXP", "-autoreport"};
    args.insert(args.end(), AOptionen.begin(), AOptionen.end());
    return QuendrixStapelAufruf(args, AFehler, AAusgabe);
}

TSzenarioLauf ArtBestLauf(std::vector<std::string> AZeitraum) {
    return [AZeitraum](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        bestand::Anlegen(AOrt.Db());
        bestand::SelektionSpeichern(AOrt.Db());
        std::vector<std::string> optionen = AZeitraum;
        optionen.insert(optionen.end(), {"--export", ADatei});
        std::string fehler;
        const int rc = ArtBestStapel(AOrt, optionen, fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler);
    };
}

const TSzenario CSzenarien[] = {
    {"bestand_dezember", ArtBestLauf({"--von", "01.12.2026", "--bis", "31.12.2026"})},
    // The cut-off before the receipt of 05.12. and the transfer of 10.12.
    {"bestand_stichtag_4_dezember", ArtBestLauf({"--von", "01.11.2026", "--bis", "04.12.2026"})},
};

class ArtikelBestand : public ::testing::TestWithParam<TSzenario> {};

} // namespace

TEST_P(ArtikelBestand, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

INSTANTIATE_TEST_SUITE_P(szenarien, ArtikelBestand, ::testing::ValuesIn(CSzenarien), TSzenarioName());

// Without a stored selection, with bad options or a file that cannot be written the run
// says why, ends non-zero and leaves no file.
TEST(ArtikelBestandStapellauf, OptionenUndExitcodes) {
    TTestDatenbankOrt ort;
    {
        TTestUmgebung umgebung(ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
        bestand::Anlegen(ort.Db());
    }
    const std::string datei = ort.Ordner() + "/bestand.csv";
    std::filesystem::create_directory(ort.Ordner() + "/ordner.csv");
    const struct {
        bool Selektion;
        std::vector<std::string> Optionen;
        int Exitcode;
        std::string Meldung;
    } faelle[] = {
        {false, {"--export", datei}, 2, "keine Artikelselektion gespeichert"},
        {true, {"--von", "01.12.2026", "--bis", "30.11.2026", "--export", datei}, 2, "liegt nach dem letzten"},
        {true, {"--bis", "31.02.2026", "--export", datei}, 2, "ist kein Datum"},
        {true, {"--print", ort.Ordner() + "/b.pdf"}, 2, "kann nicht gedruckt werden"},
        {true, {"--filialen", "1", "--export", datei}, 2, "Unbekannte Option"},
        {true, {"--bis", "31.12.2026", "--export", ort.Ordner() + "/ordner.csv"}, 4, "ordner.csv"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Meldung);
        if (f.Selektion) bestand::SelektionSpeichern(ort.Db());
        std::string fehler;
        EXPECT_EQ(ArtBestStapel(ort, f.Optionen, fehler), f.Exitcode) << fehler;
        EXPECT_NE(fehler.find(f.Meldung), std::string::npos) << fehler;
        EXPECT_FALSE(std::filesystem::exists(datei));
        ort.Db().Exec("DELETE FROM globaldef WHERE bereich = 'CSVEXPRT'");
    }
    std::string fehler, ausgabe;
    EXPECT_EQ(ArtBestStapel(ort, {"--help"}, fehler, &ausgabe), 0) << fehler;
    for (const char* s : {"--export", "--von", "--bis"}) EXPECT_NE(ausgabe.find(s), std::string::npos) << ausgabe;
    EXPECT_EQ(ausgabe.find("--print"), std::string::npos) << ausgabe;
}
