// The tree printer: what a PDF of a grouped grid holds, read back as text.
#include "gridtestlisten.h"
#include "kovvirtualtreeprinter.h"
#include "exceptions.h"
#include "rdlprogramm.h"
#include "vtrdlvrlist.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

using namespace gridtest;

namespace {

// The PDF's text via poppler's pdftotext; fails the test when the tool is missing.
std::string PdfText(const QString& ADatei) {
    const std::string befehl = "pdftotext -layout '" + ADatei.toStdString() + "' - 2>&1";
    FILE* rohr = popen(befehl.c_str(), "r");
    if (!rohr) {
        ADD_FAILURE() << "popen failed";
        return {};
    }
    std::string text;
    char puffer[4096];
    while (size_t n = fread(puffer, 1, sizeof puffer, rohr)) text.append(puffer, n);
    const int rc = pclose(rohr);
    EXPECT_EQ(rc, 0) << "pdftotext missing or failed (Debian: poppler-utils): " << text;
    return text;
}

std::set<std::string> Woerter(const std::string& AText) {
    std::istringstream in(AText);
    std::set<std::string> r;
    for (std::string w; in >> w;) r.insert(w);
    return r;
}

struct TDruck {
    TQtApp App;
    TVTRDLVRList Grid;
    QTemporaryDir Ordner;
    TKOV_VirtualTreePrinter Printer{false};
    TDruck() {
        Grid.List_Set(RegionMonat());
        Printer.Tree_Set(&Grid);
        Printer.Titel_Set(QStringLiteral("Umsatzauswertung Testdruck"));
        Printer.BemerkungAdd(QStringLiteral("Zeitraum"), QStringLiteral("Januar bis Dezember"));
        Printer.BemerkungAdd(QStringLiteral("Filialauswahl"), QStringLiteral("alle Filialen"));
        Printer.Options_Get().AusgelasseneSpalten = {Filiale};
    }
    std::string Drucken(int ATiefe) {
        Printer.Options_Get().Drucktiefe = ATiefe;
        const QString datei = Ordner.filePath(QStringLiteral("druck%1.pdf").arg(ATiefe + 1));
        Printer.PrintToPdf(datei);
        return PdfText(datei);
    }
};

} // namespace

TEST(TreePrinter, PdfHoldsHeaderAndGroupsDownToTheDepthWithoutLeftOutColumn) {
    TDruck d;
    ASSERT_TRUE(d.Ordner.isValid());
    const std::string text = d.Drucken(1);
    EXPECT_NE(text.find("Umsatzauswertung Testdruck"), std::string::npos) << text;
    EXPECT_NE(text.find("Zeitraum: Januar bis Dezember"), std::string::npos) << text;
    EXPECT_NE(text.find("Filialauswahl: alle Filialen"), std::string::npos) << text;
    // Depth 0 and 1 captions as the grid shows them.
    const TVRList& baum = *d.Grid.List();
    for (int32_t i = 0; i < baum.GetRowCount(); ++i) {
        const std::string region = baum.GetCellValueAsFormatedString(i, Kopf);
        ASSERT_FALSE(region.empty());
        EXPECT_NE(text.find(region), std::string::npos) << region << "\n" << text;
        const TVRList& monate = *baum.GetRowChild(i);
        for (int32_t k = 0; k < monate.GetRowCount(); ++k) {
            const std::string monat = monate.GetCellValueAsFormatedString(k, Kopf);
            ASSERT_FALSE(monat.empty());
            EXPECT_NE(text.find(monat), std::string::npos) << monat << "\n" << text;
        }
    }
    EXPECT_NE(text.find("Menge"), std::string::npos) << text;
    EXPECT_NE(text.find("Notiz"), std::string::npos) << text;
    EXPECT_EQ(text.find("Filiale "), std::string::npos) << text; // the left-out caption ("Filialauswahl" is a remark)
    EXPECT_NE(text.find("Seite 1"), std::string::npos) << text;
    // Leaf rows carry the notes "a".."e"; group rows leave the note empty.
    const auto woerter = Woerter(text);
    for (const char* notiz : {"a", "b", "c", "d", "e"}) EXPECT_EQ(woerter.count(notiz), 0u) << notiz << "\n" << text;

    // With all levels the leaves are printed too.
    const auto alle = Woerter(d.Drucken(-1));
    for (const char* notiz : {"a", "b", "c", "d", "e"}) EXPECT_EQ(alle.count(notiz), 1u) << notiz;
}

TEST(TreePrinter, PrintWithoutDialogsNeedsAPdfFile) {
    TDruck d;
    // Restores the program's flag also when printing raises.
    struct TOhneDialoge {
        bool Vorher = RDLProgramm().OhneDialoge();
        TOhneDialoge() { RDLProgramm().OhneDialogeSetzen(true); }
        ~TOhneDialoge() { RDLProgramm().OhneDialogeSetzen(Vorher); }
    } ohneDialoge;
    EXPECT_THROW(d.Printer.Print(), EKatalogFehler);
    const QString datei = d.Ordner.filePath(QStringLiteral("batch.pdf"));
    d.Printer.PdfDatei_Set(datei);
    d.Printer.Print();
    EXPECT_NE(PdfText(datei).find("Umsatzauswertung Testdruck"), std::string::npos);
}

TEST(TreePrinter, LongListBreaksPagesAndRepeatsTheHeaderRow) {
    TQtApp app;
    auto liste = Verkaeufe();
    TVRArray puffer = liste->VRArray_ForRowAdd_Generate();
    for (int i = 0; i < 150; ++i) {
        String2VRItem("Ost", puffer, Region);
        Integer2VRItem(i, puffer, Menge);
        liste->RowAdd(puffer);
    }
    TVTRDLVRList grid;
    grid.List_Set(std::move(liste));
    TKOV_VirtualTreePrinter printer(false);
    printer.Tree_Set(&grid);
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("lang.pdf"));
    printer.PrintToPdf(datei);
    const std::string text = PdfText(datei);
    EXPECT_NE(text.find("Seite 2"), std::string::npos) << text;
    size_t kopfzeilen = 0;
    for (size_t p = text.find("Betrag"); p != std::string::npos; p = text.find("Betrag", p + 1)) ++kopfzeilen;
    EXPECT_GE(kopfzeilen, 2u) << text;
    EXPECT_EQ(text.find("Seite 2"), text.rfind("Seite 2")); // pages numbered once each
}
