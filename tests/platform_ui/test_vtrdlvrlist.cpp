// The tree grid over the value-row list: model shape, expanding, sorting, columns
// and CSV export in grid order.
#include "gridtestlisten.h"
#include "rdldialog.h"
#include "testdateien.h"
#include "vtrdlvrlist.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

using namespace gridtest;

namespace {

struct TGrid {
    TQtApp App;
    TVTRDLVRList Grid;
    // Qt's tester watches the model through every change; the walk below checks the end state.
    QAbstractItemModelTester Tester{&Grid.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    explicit TGrid(std::unique_ptr<TVRList> AList) { Grid.List_Set(std::move(AList)); }
    ~TGrid() { EXPECT_EQ(ModellPruefen(Grid.Model()), ""); }
};



std::filesystem::path TempDatei(const char* AName) {
    auto p = std::filesystem::temp_directory_path() / ("vtrdl_" + std::to_string(::getpid()) + "_" + AName);
    std::filesystem::remove(p);
    return p;
}

} // namespace

TEST(VRGrid, ModelShowsTheGroupedTreeAndReadsEveryCellFromTheList) {
    TGrid g(RegionMonat());
    const QAbstractItemModel& m = g.Grid.Model();
    EXPECT_EQ(m.columnCount(), 7);
    EXPECT_EQ(Baum(m, {Kopf, Menge, Betrag, Notiz}),
              "Nord|7|13,50|{Januar 2025|5|3,00|{|4|2,00|c |1|1,00|d} April 2025|2|10,50|{|2|10,50|a}} "
              "Süd|6|1,75|{Januar 2025|1|1,25|{|1|1,25|b} Dezember 2025|5|0,50|{|5|0,50|e}}");
    EXPECT_EQ(m.headerData(Betrag, Qt::Horizontal).toString(), "Betrag");
    // Numbers right-aligned, texts left.
    const struct {
        int Spalte;
        Qt::Alignment Ausrichtung;
    } faelle[] = {{Kopf, Qt::AlignLeft}, {Filiale, Qt::AlignRight}, {Menge, Qt::AlignRight}, {Betrag, Qt::AlignRight}};
    for (const auto& f : faelle)
        EXPECT_EQ(m.index(0, f.Spalte).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                  f.Ausrichtung)
            << f.Spalte;
    // A leaf's parent chain leads back to the top level.
    const QModelIndex blatt = m.index(1, Notiz, m.index(0, 0, m.index(0, 0)));
    EXPECT_EQ(blatt.data().toString(), "d");
    EXPECT_EQ(g.Grid.GetNodeLevel(blatt), 2);
    EXPECT_EQ(g.Grid.GetNodeLevel(blatt.parent()), 1);
    EXPECT_EQ(blatt.parent().parent().data().toString(), "Nord");
}

TEST(VRGrid, ExpandTreeShowsTheRowsOfDepthsUpToItsLevel) {
    TGrid g(RegionMonat());
    const char* alle = "Nord|{Januar 2025|{|c |d} April 2025|{|a}} Süd|{Januar 2025|{|b} Dezember 2025|{|e}}";
    const struct {
        int Level;
        const char* Sichtbar;
    } faelle[] = {
        {0, "Nord| Süd|"},
        {1, "Nord|{Januar 2025| April 2025|} Süd|{Januar 2025| Dezember 2025|}"},
        {2, alle},
        {5, alle},
    };
    for (const auto& f : faelle) {
        g.Grid.CollapseAll();
        g.Grid.ExpandTree(f.Level);
        EXPECT_EQ(Baum(g.Grid.Model(), {Kopf, Notiz}, &g.Grid), f.Sichtbar) << f.Level;
    }
    g.Grid.ExpandAll();
    EXPECT_EQ(Baum(g.Grid.Model(), {Kopf, Notiz}, &g.Grid), alle);
    g.Grid.CollapseAll();
    EXPECT_EQ(Baum(g.Grid.Model(), {Kopf, Notiz}, &g.Grid), "Nord| Süd|");
}

TEST(VRGrid, SortIsStableWithinEachLevelAndUsesTheColumnsOwnOrder) {
    const struct {
        int Spalte, Richtung;
        const char* Notizen;
    } faelle[] = {
        {Tag, 0, "b c d a e"},    // by month: January's three keep their order
        {Tag, 1, "e a b c d"},
        {Menge, 0, "b d a c e"},
        {Menge, 1, "e c a b d"},
        {Region, 0, "a c d b e"},
    };
    for (const auto& f : faelle) {
        TGrid g(Verkaeufe());
        g.Grid.SortTree(f.Spalte, f.Richtung);
        EXPECT_EQ(Baum(g.Grid.Model(), {Notiz}), f.Notizen) << f.Spalte << "/" << f.Richtung;
    }

    // In a tree every level is sorted; expanded nodes and the selection follow their rows.
    TGrid g(RegionMonat());
    g.Grid.ExpandAll();
    const QModelIndex d = g.Grid.Model().index(1, 0, g.Grid.Model().index(0, 0, g.Grid.Model().index(0, 0)));
    g.Grid.selectionModel()->select(d, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    g.Grid.SortTree(Menge, 0);
    EXPECT_EQ(Baum(g.Grid.Model(), {Kopf, Notiz}, &g.Grid),
              "Süd|{Januar 2025|{|b} Dezember 2025|{|e}} Nord|{April 2025|{|a} Januar 2025|{|d |c}}");
    const QModelIndex gewaehlt = g.Grid.GetFirstSelected();
    EXPECT_EQ(gewaehlt.siblingAtColumn(Notiz).data().toString(), "d");
    EXPECT_EQ(g.Grid.GetNodeLevel(gewaehlt), 2);
}

TEST(VRGrid, HeaderClicksSortOnlyWhenSwitchedOnAndToggleTheDirection) {
    TGrid g(Verkaeufe());
    emit g.Grid.header()->sectionClicked(Menge);
    EXPECT_EQ(Baum(g.Grid.Model(), {Notiz}), "a b c d e");
    g.Grid.SortOnHeaderClick_Set(true);
    const char* folge[] = {"b d a c e", "e c a b d", "b d a c e"};
    for (const char* notizen : folge) {
        emit g.Grid.header()->sectionClicked(Menge);
        EXPECT_EQ(Baum(g.Grid.Model(), {Notiz}), notizen);
    }
    EXPECT_EQ(g.Grid.SortColumn(), Menge);
    EXPECT_EQ(g.Grid.header()->sortIndicatorSection(), Menge);
    EXPECT_EQ(g.Grid.header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST(VRGrid, CsvWritesTheVisibleColumnsInGridOrder) {
    TGrid g(Verkaeufe());
    for (int s : {Kopf, Filiale, Notiz, Tag}) g.Grid.ColumnVisible_Set(s, false);
    QHeaderView* kopf = g.Grid.header();
    kopf->moveSection(kopf->visualIndex(Betrag), 0);

    EXPECT_TRUE(g.Grid.isColumnHidden(Notiz));
    EXPECT_FALSE(g.Grid.List()->GetColumn(Notiz).Visible);
    EXPECT_EQ(g.Grid.VisibleColumnsInGridOrder(), (std::vector<int>{Betrag, Region, Menge}));
    const struct {
        int Nach, Naechste;
    } naechste[] = {{-1, Betrag}, {Betrag, Region}, {Region, Menge}, {Menge, -1}, {Kopf, Region}};
    for (const auto& f : naechste) EXPECT_EQ(g.Grid.GetNextVisibleColumn(f.Nach), f.Naechste) << f.Nach;

    EXPECT_EQ(g.Grid.Header2String(';'), "Betrag;Region;Menge");
    EXPECT_EQ(g.Grid.Node2String(g.Grid.Model().index(1, Kopf), ' '), "1,25;Süd;1"); // a blank means ";"
    g.Grid.ColumnCaption_Set(Region, "Gebiet; Süd");
    EXPECT_EQ(g.Grid.Model().headerData(Region, Qt::Horizontal).toString(), "Gebiet; Süd");
    EXPECT_EQ(g.Grid.Header2String(';'), "Betrag;\"Gebiet; Süd\";Menge");

    const auto datei = TempDatei("reihenfolge.csv");
    ASSERT_TRUE(g.Grid.Export2CSV_KnownFilename(datei.string(), -1, ';', true, false));
    EXPECT_EQ(DateiLesen(datei), "Betrag;\"Gebiet; S\xFC" "d\";Menge\r\n10,50;Nord;2\r\n1,25;S\xFC"
                                 "d;1\r\n2,00;Nord;4\r\n1,00;Nord;1\r\n0,50;S\xFC"
                                 "d;5\r\n");
    std::filesystem::remove(datei);
}

TEST(VRGrid, ExportWritesTheRowsOfTheChosenLevel) {
    TGrid g(RegionMonat());
    const std::string kopf = ";Region;Filiale;Menge;Betrag;Notiz;Monat\r\n";
    const std::string blaetter = ";Nord;3;4;2,00;c;Januar 2025\r\n;Nord;1;1;1,00;d;Januar 2025\r\n"
                                 ";Nord;1;2;10,50;a;April 2025\r\n;S\xFC"
                                 "d;2;1;1,25;b;Januar 2025\r\n;S\xFC"
                                 "d;2;5;0,50;e;Dezember 2025\r\n";
    const struct {
        int Level;
        std::string Zeilen;
    } faelle[] = {
        {0, "Nord;Nord;;7;13,50;;\r\nS\xFC"
            "d;S\xFC"
            "d;;6;1,75;;\r\n"},
        {1, "Januar 2025;Nord;;5;3,00;;Januar 2025\r\nApril 2025;Nord;;2;10,50;;April 2025\r\n"
            "Januar 2025;S\xFC"
            "d;;1;1,25;;Januar 2025\r\nDezember 2025;S\xFC"
            "d;;5;0,50;;Dezember 2025\r\n"},
        {2, blaetter},
        {-1, blaetter},
        {3, ""},
    };
    const auto datei = TempDatei("ebenen.csv");
    for (const auto& f : faelle) {
        ASSERT_TRUE(g.Grid.Export2CSV_KnownFilename(datei.string(), f.Level, ';', true, false)) << f.Level;
        EXPECT_EQ(DateiLesen(datei), kopf + f.Zeilen) << f.Level;
    }
    // Without the header line and in UTF-8.
    ASSERT_TRUE(g.Grid.Export2CSV_KnownFilename(datei.string(), 0, ';', false, true));
    EXPECT_EQ(DateiLesen(datei), "Nord;Nord;;7;13,50;;\r\nSüd;Süd;;6;1,75;;\r\n");
    std::filesystem::remove(datei);
}

TEST(VRGrid, AFailedOrCancelledExportReturnsFalseAndChangesNothing) {
    TGrid g(RegionMonat());
    g.Grid.ExpandTree(1);
    const std::string vorher = Baum(g.Grid.Model(), {Kopf, Menge}, &g.Grid) + g.Grid.Header2String(';');
    const auto fehlt = std::filesystem::temp_directory_path() / "vtrdl_fehlt_nicht_da" / "x.csv";
    const std::string ziele[] = {fehlt.string(), std::filesystem::temp_directory_path().string(), ""};
    for (const auto& ziel : ziele) {
        EXPECT_FALSE(g.Grid.Export2CSV_KnownFilename(ziel, 0, ';', true, false)) << ziel;
        if (!ziel.empty()) {
            EXPECT_FALSE(std::filesystem::is_regular_file(ziel)) << ziel;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(fehlt.parent_path()));

    // The dialog answers through the hook: empty is cancelled, the name is kept.
    QString vorschlag;
    g.Grid.OnAskSaveFileName = [&](const QString& AVorschlag) {
        vorschlag = AVorschlag;
        return QString();
    };
    std::string name = "vorher.csv";
    EXPECT_FALSE(g.Grid.Export2CSV(name, 0, ' ', true, false));
    EXPECT_EQ(vorschlag, "vorher.csv");
    EXPECT_EQ(name, "vorher.csv");
    g.Grid.OnAskSaveFileName = [&](const QString&) { return QString::fromStdString(fehlt.string()); };
    EXPECT_FALSE(g.Grid.Export2CSV(name, 0, ' ', true, false));
    EXPECT_EQ(Baum(g.Grid.Model(), {Kopf, Menge}, &g.Grid) + g.Grid.Header2String(';'), vorher);

    const auto datei = TempDatei("gewaehlt.csv");
    g.Grid.OnAskSaveFileName = [&](const QString&) { return QString::fromStdString(datei.string()); };
    ASSERT_TRUE(g.Grid.Export2CSV(name, 0, ' ', true, false));
    EXPECT_EQ(name, datei.string());
    EXPECT_EQ(DateiLesen(datei).substr(0, 8), ";Region;");
    std::filesystem::remove(datei);
}

TEST(VRGrid, AListChangedInPlaceIsShownAfterwardsAlsoWhenTheChangeThrows) {
    TGrid g(RegionMonat());
    g.Grid.ExpandAll();
    g.Grid.List_Change([](std::unique_ptr<TVRList>& AList) { UnGroupVRList(*AList, true); });
    EXPECT_EQ(Baum(g.Grid.Model(), {Notiz}, &g.Grid), "c d a b e");
    TVRGroupOptions optionen;
    optionen.Levels.Add(new TVRSortList{{Region, 0}});
    optionen.Functions = Funktionen();
    g.Grid.List_Change([&](std::unique_ptr<TVRList>& AList) { GroupVRList(AList, optionen); });
    g.Grid.ExpandTree(1);
    EXPECT_EQ(Baum(g.Grid.Model(), {Region, Notiz}, &g.Grid), "Nord|{Nord|c Nord|d Nord|a} Süd|{Süd|b Süd|e}");

    EXPECT_THROW(g.Grid.List_Change([](std::unique_ptr<TVRList>& AList) {
        UnGroupVRList(*AList, true);
        throw std::runtime_error("Abbruch");
    }),
                 std::runtime_error);
    EXPECT_EQ(Baum(g.Grid.Model(), {Notiz}), "c d a b e");
    EXPECT_EQ(g.Grid.UpdateCount(), 0);
}

TEST(VRGrid, WithoutAHookTheSuitesSaveDialogAsksForTheName) {
    TGrid g(RegionMonat());
    const auto ordner = TempDatei("exportordner");
    const char* vorher = std::getenv("QUENDRIX_EXPORT");
    const std::string alterOrdner = vorher ? vorher : "";
    ::setenv("QUENDRIX_EXPORT", ordner.c_str(), 1);
    auto vorgabe = std::make_unique<TRDLVorgabeDialoge>();
    TRDLVorgabeDialoge& dialoge = *vorgabe;
    const auto datei = TempDatei("dialog.csv");
    dialoge.Vorgeben(TRDLDialogAntwort::DateiName(datei.string()));
    auto alt = RDLDialoge_Ersetzen(std::move(vorgabe));

    std::string name;
    EXPECT_TRUE(g.Grid.Export2CSV(name, 0, ' ', true, false));
    EXPECT_EQ(name, datei.string());
    EXPECT_TRUE(std::filesystem::is_regular_file(datei));
    EXPECT_FALSE(g.Grid.Export2CSV(name, 0, ' ', true, false)); // no answer left: cancelled
    ASSERT_GE(dialoge.Aufrufe.size(), 1u);
    EXPECT_EQ(dialoge.Aufrufe[0].Dialog, "DateiSpeichern");

    RDLDialoge_Ersetzen(std::move(alt));
    if (vorher) ::setenv("QUENDRIX_EXPORT", alterOrdner.c_str(), 1);
    else ::unsetenv("QUENDRIX_EXPORT");
    std::filesystem::remove(datei);
    std::filesystem::remove_all(ordner);
}

TEST(VRGrid, AnEmptyListGivesAnEmptyTreeAndAHeaderOnlyExport) {
    TGrid g(nullptr);
    EXPECT_EQ(g.Grid.Model().rowCount(), 0);
    EXPECT_EQ(g.Grid.Model().columnCount(), 0);
    g.Grid.ExpandTree(2);
    g.Grid.SortTree(0, 0);
    EXPECT_FALSE(g.Grid.GetFirstSelected().isValid());
    EXPECT_EQ(g.Grid.GetNextVisibleColumn(-1), -1);

    auto leer = Verkaeufe();
    leer->RowsClear();
    g.Grid.List_Set(std::move(leer));
    g.Grid.ExpandAll();
    g.Grid.SortTree(Tag, 1);
    EXPECT_EQ(g.Grid.Model().rowCount(), 0);
    EXPECT_EQ(g.Grid.Model().columnCount(), 7);
    const auto datei = TempDatei("leer.csv");
    ASSERT_TRUE(g.Grid.Export2CSV_KnownFilename(datei.string(), -1, ';', true, false));
    EXPECT_EQ(DateiLesen(datei), ";Region;Filiale;Menge;Betrag;Notiz;Monat\r\n");
    std::filesystem::remove(datei);
}

TEST(VRGrid, PaintingResumesAfterNestedUpdatesAndAfterAnException) {
    TGrid g(Verkaeufe());
    g.Grid.BeginUpdate();
    {
        TVTRDLUpdateGuard innen(g.Grid);
        EXPECT_EQ(g.Grid.UpdateCount(), 2);
        EXPECT_FALSE(g.Grid.updatesEnabled());
    }
    EXPECT_FALSE(g.Grid.updatesEnabled());
    g.Grid.EndUpdate();
    EXPECT_TRUE(g.Grid.updatesEnabled());
    g.Grid.EndUpdate(); // one too many does not count below zero
    EXPECT_EQ(g.Grid.UpdateCount(), 0);

    try {
        TVTRDLUpdateGuard guard(g.Grid);
        throw std::runtime_error("Abbruch");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(g.Grid.UpdateCount(), 0);
    EXPECT_TRUE(g.Grid.updatesEnabled());
}

TEST(VRGrid, CellBackgroundComesFromTheColumnUnlessTheWindowOverridesIt) {
    auto liste = Verkaeufe();
    liste->GetColumn(Menge).BackgroundColor = 0xFFE0C0;
    TGrid g(std::move(liste));
    g.Grid.OnCellBackground = [](const TVRList& AList, int ARow, int ACol, QColor& AFarbe) {
        if (ACol != Betrag || AList.GetCellValueAsDouble(ARow, ACol) < 10) return false;
        AFarbe = Qt::yellow;
        return true;
    };
    const QAbstractItemModel& m = g.Grid.Model();
    EXPECT_EQ(m.index(1, Menge).data(Qt::BackgroundRole).value<QColor>(), QColor(0xFF, 0xE0, 0xC0));
    EXPECT_EQ(m.index(0, Betrag).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
    EXPECT_FALSE(m.index(1, Betrag).data(Qt::BackgroundRole).isValid()); // the style's own colour
}

TEST(VRGrid, TheWindowsMenuOpensAsContextMenuAndLinesCanBeSwitched) {
    TGrid g(Verkaeufe());
    emit g.Grid.customContextMenuRequested(QPoint(5, 5)); // without a menu nothing happens
    QMenu menu;
    menu.addAction("Gruppieren nach");
    g.Grid.PopupMenu_Set(&menu);
    emit g.Grid.customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    EXPECT_FALSE(g.Grid.VertLines_Get());
    g.Grid.VertLines_Set(true, Qt::gray);
    EXPECT_TRUE(g.Grid.VertLines_Get());
    EXPECT_EQ(g.Grid.VertLinesColor(), QColor(Qt::gray));
    g.Grid.resize(400, 200);
    EXPECT_FALSE(g.Grid.grab().isNull()); // paints through the line delegate
}
