// The tree printer: what a PDF of a grouped grid holds, read back as text.
#include "gridtestlisten.h"
#include "kovvirtualtreeprinter.h"
#include "exceptions.h"
#include "rdlprogramm.h"
#include "testdateien.h"
#include "vtrdlvrlist.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace gridtest;

namespace {

std::set<std::string> Woerter(const std::string& AText) {
    std::istringstream in(AText);
    std::set<std::string> r;
    for (std::string w; in >> w;) r.insert(w);
    return r;
}

std::vector<std::string> Seiten(const std::string& AText) {
    std::vector<std::string> r;
    for (size_t von = 0, bis; (bis = AText.find('\f', von)) != std::string::npos; von = bis + 1)
        r.push_back(AText.substr(von, bis - von));
    return r;
}

size_t Vorkommen(const std::string& AText, const std::string& AWort) {
    size_t n = 0;
    for (const std::string& w : Seiten(AText)) {
        std::istringstream in(w);
        for (std::string x; in >> x;) n += x == AWort;
    }
    return n;
}

struct TWort {
    int Seite;
    std::string Text;
    double Links, Oben, Rechts, Unten;
    double Hoehe() const { return Unten - Oben; }
    double Breite() const { return Rechts - Links; }
};

// The words of a PDF with their boxes (points), pages counted from 0.
std::vector<TWort> WortBoxen(const QString& ADatei) {
    const std::string xhtml = PdfText(ADatei.toStdString(), "-bbox");
    static const std::regex wort(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<TWort> r;
    int seite = -1;
    for (size_t von = 0; von < xhtml.size();) {
        size_t bis = xhtml.find('\n', von);
        if (bis == std::string::npos) bis = xhtml.size();
        const std::string zeile = xhtml.substr(von, bis - von);
        von = bis + 1;
        if (zeile.find("<page ") != std::string::npos) ++seite;
        // pdftotext writes its numbers with a point whatever the locale.
        const auto zahl = [](const std::string& A) {
            double x = 0;
            std::from_chars(A.data(), A.data() + A.size(), x);
            return x;
        };
        if (std::smatch m; std::regex_search(zeile, m, wort))
            r.push_back({seite, m[5], zahl(m[1]), zahl(m[2]), zahl(m[3]), zahl(m[4])});
    }
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
        return PdfText(datei.toStdString());
    }
};

} // namespace

TEST(TreePrinter, PdfHoldsHeaderAndGroupsDownToTheDepthWithoutLeftOutColumn) {
    TDruck d;
    ASSERT_TRUE(d.Ordner.isValid());
    d.Printer.BemerkungAdd(QStringLiteral("Vorgehen:"), QStringLiteral("Summen je Monat"));
    d.Printer.BemerkungAdd({}, QStringLiteral("Stand vom Vortag"));
    const std::string text = d.Drucken(1);
    EXPECT_NE(text.find("Umsatzauswertung Testdruck"), std::string::npos) << text;
    EXPECT_NE(text.find("Zeitraum: Januar bis Dezember"), std::string::npos) << text;
    EXPECT_NE(text.find("Filialauswahl: alle Filialen"), std::string::npos) << text;
    // A label's own colon is not doubled; a line without label is its value alone.
    EXPECT_NE(text.find("Vorgehen: Summen je Monat"), std::string::npos) << text;
    EXPECT_NE(text.find("\nStand vom Vortag"), std::string::npos) << text;
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
    EXPECT_NE(PdfText(datei.toStdString()).find("Umsatzauswertung Testdruck"), std::string::npos);
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
    const std::string text = PdfText(datei.toStdString());
    EXPECT_NE(text.find("Seite 2"), std::string::npos) << text;
    size_t kopfzeilen = 0;
    for (size_t p = text.find("Betrag"); p != std::string::npos; p = text.find("Betrag", p + 1)) ++kopfzeilen;
    EXPECT_GE(kopfzeilen, 2u) << text;
    EXPECT_EQ(text.find("Seite 2"), text.rfind("Seite 2")); // pages numbered once each
}

namespace {

// A head column, many figures and a note wider than a page: three groups of 25 articles.
// A group carries the figures of its first article, so the same text stands once bold and
// once normal.
std::unique_ptr<TVRList> BreiteListe(int ASpalten) {
    auto liste = std::make_unique<TVRList>();
    liste->ColumnAdd().Caption = "Warengruppe";
    for (int s = 1; s <= ASpalten; ++s) {
        TVRColumn& c = liste->ColumnAdd();
        c.Caption = "Wert" + std::string(s < 10 ? "00" : s < 100 ? "0" : "") + std::to_string(s);
        c.VRType = TVRValueType::vrvtFloat;
        c.FormatType = TVRFormatType::vrftPattern;
        c.FormatStr = "%.2n";
    }
    liste->ColumnAdd().Caption = "Bemerkung";
    std::string lang = "Anfang";
    for (int i = 0; i < 100; ++i) lang += " und weiter";
    lang += " Ende";
    for (int g = 1; g <= 3; ++g) {
        auto artikel = TVRList::CreateChildOf(*liste);
        TVRArray puffer = liste->VRArray_ForRowAdd_Generate();
        for (int i = 1; i <= 25; ++i) {
            String2VRItem("A" + std::to_string(g) + "-" + std::to_string(100 + i).substr(1), puffer, 0);
            for (int s = 1; s <= ASpalten; ++s) Float2VRItem(g * 100000 + i * 1000 + s + 0.25, puffer, s);
            String2VRItem(g == 1 && i == 1 ? lang : "", puffer, ASpalten + 1);
            artikel->RowAdd(puffer);
        }
        String2VRItem("Gruppe-" + std::to_string(g), puffer, 0);
        for (int s = 1; s <= ASpalten; ++s) puffer[s] = artikel->GetCellValue(0, s);
        liste->GetRow(liste->RowAdd(puffer)).Child = std::move(artikel);
    }
    return liste;
}

} // namespace

TEST(TreePrinter, WideTreeContinuesInColumnBandsAtReadableSizeWithHeadColumnAndFooterOnEveryPage) {
    TQtApp app;
    struct THeute {
        THeute() { rdl_HeuteFestlegen(EncodeDate(2026, 3, 15)); }
        ~THeute() { rdl_HeuteFestlegen(0); }
    } heute;
    QTemporaryDir ordner;
    ASSERT_TRUE(ordner.isValid());
    constexpr int CSpalten = 120;
    TVTRDLVRList grid;
    grid.List_Set(BreiteListe(CSpalten));
    TKOV_VirtualTreePrinter printer(false);
    printer.Tree_Set(&grid);
    printer.Titel_Set(QStringLiteral("Breiter Testdruck"));
    printer.BemerkungAdd(QStringLiteral("Zeitraum"), QStringLiteral("01.03.2026 - 15.03.2026"));
    const QString breit = ordner.filePath(QStringLiteral("breit.pdf"));
    const QString schmal = ordner.filePath(QStringLiteral("schmal.pdf"));
    printer.PrintToPdf(breit);
    for (int s = 4; s <= CSpalten + 1; ++s) printer.Options_Get().AusgelasseneSpalten.push_back(s);
    printer.PrintToPdf(schmal);

    // What a word printed at the smallest readable size measures in pdftotext's boxes.
    const QString referenz = ordner.filePath(QStringLiteral("referenz.pdf"));
    {
        QPdfWriter pdf(referenz);
        pdf.setResolution(300);
        QPainter p(&pdf);
        QFont f;
        f.setPointSize(CKOV_MindestSchriftgroesse);
        p.setFont(f);
        p.drawText(QPointF(100, 100), QStringLiteral("Referenz"));
    }
    const auto ref = WortBoxen(referenz);
    ASSERT_EQ(ref.size(), 1u);
    const double mindesthoehe = ref[0].Hoehe() * 6.5 / CKOV_MindestSchriftgroesse;

    const auto woerter = WortBoxen(breit);
    ASSERT_FALSE(woerter.empty());
    const TWort& kleinstes = *std::min_element(woerter.begin(), woerter.end(),
                                               [](const TWort& A, const TWort& B) { return A.Hoehe() < B.Hoehe(); });
    EXPECT_GE(kleinstes.Hoehe(), mindesthoehe) << kleinstes.Text << " on page " << kleinstes.Seite + 1;

    const std::string text = PdfText(breit.toStdString());
    const auto seiten = Seiten(text);
    const size_t n = seiten.size();
    EXPECT_GT(n, Seiten(PdfText(schmal.toStdString())).size());
    const std::string von = " von " + std::to_string(n);
    // A band: a run of pages that show the same figure columns.
    std::vector<std::set<std::string>> baender;
    std::vector<size_t> seitenJeBand;
    for (size_t i = 0; i < n; ++i) {
        EXPECT_NE(seiten[i].find("Warengruppe"), std::string::npos) << "page " << i + 1;
        EXPECT_NE(seiten[i].find("Seite " + std::to_string(i + 1) + von), std::string::npos) << seiten[i];
        EXPECT_NE(seiten[i].find("Gedruckt am 15.03.2026"), std::string::npos) << seiten[i];
        std::set<std::string> spalten;
        for (const std::string& w : Woerter(seiten[i]))
            if (w.rfind("Wert", 0) == 0) spalten.insert(w);
        if (baender.empty() || baender.back() != spalten) {
            baender.push_back(spalten);
            seitenJeBand.push_back(0);
        }
        ++seitenJeBand.back();
    }
    // Down, then across: each column in one band only, the first band's row pages first,
    // every row in every band, title and remarks on the first page only.
    std::set<std::string> alle;
    size_t summe = 0;
    for (const auto& band : baender) {
        alle.insert(band.begin(), band.end());
        summe += band.size();
    }
    EXPECT_EQ(alle.size(), size_t(CSpalten));
    EXPECT_EQ(summe, size_t(CSpalten));
    ASSERT_GE(baender.size(), 2u);
    EXPECT_GE(seitenJeBand[0], 2u);
    for (const char* zeile : {"Gruppe-1", "A1-01", "Gruppe-3", "A3-25"})
        EXPECT_EQ(Vorkommen(text, zeile), baender.size()) << zeile;
    EXPECT_EQ(Vorkommen(text, "Breiter"), 1u);
    EXPECT_EQ(Vorkommen(text, "Zeitraum:"), 1u);
    // The note wider than a page is cut short, not shrunk.
    const size_t anfang = text.find("Anfang und weiter");
    ASSERT_NE(anfang, std::string::npos);
    EXPECT_LT(text.find("\u2026", anfang), text.find('\n', anfang));
    EXPECT_EQ(Vorkommen(text, "Ende"), 0u);

    // Group rows bold, articles normal: the same figure is wider in its group's row.
    const std::string zahl = grid.List()->GetCellValueAsFormatedString(0, 1);
    std::vector<TWort> gleiche;
    for (const TWort& w : woerter)
        if (w.Seite == 0 && w.Text == zahl) gleiche.push_back(w);
    ASSERT_EQ(gleiche.size(), 2u) << zahl;
    if (gleiche[0].Oben > gleiche[1].Oben) std::swap(gleiche[0], gleiche[1]);
    EXPECT_GT(gleiche[0].Breite(), gleiche[1].Breite() * 1.04) << zahl;
    // Above the print depth a group is a row like any other.
    printer.Options_Get().Drucktiefe = 0;
    printer.PrintToPdf(schmal);
    const auto gruppen = WortBoxen(schmal);
    const auto gruppe = std::find_if(gruppen.begin(), gruppen.end(), [&](const TWort& A) { return A.Text == zahl; });
    ASSERT_NE(gruppe, gruppen.end()) << zahl;
    EXPECT_NEAR(gruppe->Breite(), gleiche[1].Breite(), gleiche[1].Breite() * 0.01) << zahl;
}
