// Grouping a sales-window sized value-row list into two levels (day, then client)
// against a plain std::stable_sort of the same rows by the same two keys.
// Usage: bench_gruppierung [rows]
#include "bench_gemeinsam.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int zeilen = argc > 1 ? std::atoi(argv[1]) : 200000;
    const auto quelle = VerkaufsListe(zeilen);
    TVRGroupList ebenen;
    VRGroupList_Fill(ebenen, {CVRTag, CVRKunde}, {0, 0}, VerkaufsFunktionen());
    TVRGroupOptions optionen;
    for (int s : {CVRTag, CVRKunde}) optionen.Levels.Add(new TVRSortList{{s, 0}});
    optionen.Functions.AddRange(VerkaufsFunktionen().ToArray());

    double bestSort = 1e9, bestNeu = 1e9, bestOrt = 1e9;
    int gruppen = 0;
    for (int lauf = 0; lauf < 3; ++lauf) {
        // The reference: the same rows as plain arrays, sorted by the same keys.
        std::vector<TVRArray> roh;
        roh.reserve(static_cast<size_t>(zeilen));
        for (int i = 0; i < quelle->GetRowCount(); ++i) roh.push_back(quelle->GetRow(i).Werte);
        const TVRColumn& tag = quelle->GetColumn(CVRTag);
        auto t = Uhr::now();
        std::stable_sort(roh.begin(), roh.end(), [&](const TVRArray& a, const TVRArray& b) {
            const int c = tag.Compare(a[CVRTag], b[CVRTag]);
            if (c != 0) return c < 0;
            return CompareVRItems(a[CVRKunde], b[CVRKunde]) < 0;
        });
        bestSort = std::min(bestSort, Sekunden(t));

        t = Uhr::now();
        auto baum = CreateGroupedVRList(*quelle, ebenen, false);
        bestNeu = std::min(bestNeu, Sekunden(t));
        gruppen = baum->GetRowCount();

        auto ort = CreateCopyVRList(*quelle);
        t = Uhr::now();
        GroupVRList(ort, optionen);
        bestOrt = std::min(bestOrt, Sekunden(t));
    }
    std::printf("rows %d, columns %d, top groups %d\n", zeilen, CVRSpalten, gruppen);
    std::printf("std::stable_sort            %8.1f ms\n", bestSort * 1000);
    std::printf("CreateGroupedVRList (copy)  %8.1f ms  ratio %.2f\n", bestNeu * 1000, bestNeu / bestSort);
    std::printf("GroupVRList (in place)      %8.1f ms  ratio %.2f\n", bestOrt * 1000, bestOrt / bestSort);
    return 0;
}
