// The tree grid over the value-row list: model shape, expanding, sorting, columns
// and CSV export in grid order.
#include "gridtestlisten.h"
#include "vtrdlvrlist.h"

// The Qt tester comes with Qt6::Test; where the test links it, it watches every grid model.
#if __has_include(<QAbstractItemModelTester>)
#include <QAbstractItemModelTester>
#define VRGRID_MIT_QT_TESTER 1
#endif
#include <QHeaderView>
#include <QItemSelectionModel>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

using namespace gridtest;

namespace {

struct TGrid {
    TQtApp App;
    TVTRDLVRList Grid;
#ifdef VRGRID_MIT_QT_TESTER
    QAbstractItemModelTester Tester{&Grid.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
#endif
    explicit TGrid(std::unique_ptr<TVRList> AList) { Grid.List_Set(std::move(AList)); }
    ~TGrid() { EXPECT_EQ(ModellPruefen(Grid.Model()), ""); }
};



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
