// The result grid over a sales-window sized grouped list (day, then client): setting the
// list, expanding the first level, and painting the viewport, with the model's data()
// calls counted during each paint.
// Usage: bench_grid [rows]
#include "bench_gemeinsam.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

namespace {

// Rows and columns that lie in the viewport, as the view lays them out.
void Sichtbar(const TVTRDLVRList& AGrid, int& AZeilen, int& ASpalten) {
    AZeilen = 0;
    const int hoehe = AGrid.viewport()->height();
    for (QModelIndex i = AGrid.indexAt(QPoint(1, 1)); i.isValid() && AGrid.visualRect(i).top() < hoehe;
         i = AGrid.indexBelow(i))
        ++AZeilen;
    ASpalten = 0;
    const QHeaderView* kopf = AGrid.header();
    for (int s = 0; s < kopf->count(); ++s) {
        const int x = kopf->sectionViewportPosition(s);
        if (!kopf->isSectionHidden(s) && x + kopf->sectionSize(s) > 0 && x < AGrid.viewport()->width()) ++ASpalten;
    }
}

struct TMalen {
    double Sekunden = 1e9;
    uint64_t Aufrufe = 0;
};

// One paint of the viewport (its layout included when a change left one pending).
TMalen Malen(TVTRDLVRList& AGrid) {
    TMalen m;
    const uint64_t vorher = AGrid.Model().DataAufrufe();
    const auto t = Uhr::now();
    const QPixmap bild = AGrid.viewport()->grab();
    m.Sekunden = Sekunden(t);
    m.Aufrufe = AGrid.Model().DataAufrufe() - vorher;
    if (bild.isNull()) std::fprintf(stderr, "Das Bild des Rasters ist leer.\n");
    return m;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int zeilen = argc > 1 ? std::atoi(argv[1]) : 200000;
    const auto quelle = VerkaufsListe(zeilen);
    TVRGroupList ebenen;
    VRGroupList_Fill(ebenen, {CVRTag, CVRKunde}, {0, 0}, VerkaufsFunktionen());

    double bestSetzen = 1e9, bestRefresh = 1e9, bestAufklappen = 1e9, bestAlle = 1e9;
    TMalen zu, offen, alle;
    int gruppen = 0, sichtbareZeilen = 0, sichtbareSpalten = 0;
    for (int lauf = 0; lauf < 3; ++lauf) {
        auto baum = CreateGroupedVRList(*quelle, ebenen, false);
        gruppen = baum->GetRowCount();
        TVTRDLVRList grid;
        grid.resize(1280, 800);
        grid.show();
        QApplication::processEvents();

        auto t = Uhr::now();
        grid.List_Set(std::move(baum)); // refreshes
        bestSetzen = std::min(bestSetzen, Sekunden(t));
        t = Uhr::now();
        grid.Refresh();
        bestRefresh = std::min(bestRefresh, Sekunden(t));
        const TMalen m0 = Malen(grid);
        if (m0.Sekunden < zu.Sekunden) zu = m0;

        t = Uhr::now();
        grid.ExpandTree(1);
        bestAufklappen = std::min(bestAufklappen, Sekunden(t));
        const TMalen m1 = Malen(grid);
        if (m1.Sekunden < offen.Sekunden) offen = m1;
        Sichtbar(grid, sichtbareZeilen, sichtbareSpalten);

        t = Uhr::now();
        grid.ExpandAll();
        bestAlle = std::min(bestAlle, Sekunden(t));
        const TMalen m2 = Malen(grid);
        if (m2.Sekunden < alle.Sekunden) alle = m2;
    }
    const double zellen = double(sichtbareZeilen) * sichtbareSpalten;
    std::printf("rows %d, columns %d, top groups %d; viewport shows %d rows x %d columns\n", zeilen, CVRSpalten,
                gruppen, sichtbareZeilen, sichtbareSpalten);
    std::printf("List_Set (with Refresh)   %8.1f ms\n", bestSetzen * 1000);
    std::printf("Refresh                   %8.1f ms\n", bestRefresh * 1000);
    std::printf("paint, collapsed          %8.1f ms  data() calls %6llu (%.1f per visible cell)\n", zu.Sekunden * 1000,
                static_cast<unsigned long long>(zu.Aufrufe), zu.Aufrufe / zellen);
    std::printf("ExpandTree(1)             %8.1f ms\n", bestAufklappen * 1000);
    std::printf("paint, first level open   %8.1f ms  data() calls %6llu (%.1f per visible cell)\n",
                offen.Sekunden * 1000, static_cast<unsigned long long>(offen.Aufrufe), offen.Aufrufe / zellen);
    std::printf("ExpandAll                 %8.1f ms\n", bestAlle * 1000);
    std::printf("paint, all open           %8.1f ms  data() calls %6llu (%.1f per visible cell)\n", alle.Sekunden * 1000,
                static_cast<unsigned long long>(alle.Aufrufe), alle.Aufrufe / zellen);
    return 0;
}
