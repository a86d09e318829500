// Grouping a sales-window sized value-row list into two levels (day, then client)
// against a plain std::stable_sort of the same rows by the same two keys.
// Usage: bench_gruppierung [rows]
#include "rdldatum.h"
#include "vrgruppierung.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int CSpalten = 40;
constexpr int CTag = 5, CKunde = 2;

double Sekunden(std::chrono::steady_clock::time_point a) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

// Columns and values shaped like the sales table: head, client key and name, branch,
// the day five times (pattern and period routines), then figures.
std::unique_ptr<TVRList> Liste(int AZeilen) {
    auto liste = std::make_unique<TVRList>();
    for (int s = 0; s < CSpalten; ++s) {
        TVRColumn& c = liste->ColumnAdd();
        c.Caption = "S" + std::to_string(s);
        c.VRType = s >= 10 ? TVRValueType::vrvtFloat : TVRValueType::vrvtString;
        if (s >= 10) c.FormatType = TVRFormatType::vrftPattern, c.FormatStr = "%n";
    }
    liste->GetColumn(CTag).CustomOrder = true;
    liste->GetColumn(CTag).CompareProc = CompareProc_Date;
    std::mt19937 zufall(42);
    const TDateTime erster = EncodeDate(2025, 1, 1);
    TVRArray puffer = liste->VRArray_ForRowAdd_Generate();
    for (int i = 0; i < AZeilen; ++i) {
        const int kunde = static_cast<int>(zufall() % 12) + 1;
        const TDateTime tag = erster + static_cast<int>(zufall() % 365);
        IntPair2VRItem({kunde, 0}, puffer, 1);
        String2VRItem("Mandant " + std::to_string(kunde), puffer, CKunde);
        Integer2VRItem(static_cast<int>(zufall() % 60) + 1, puffer, 4);
        for (int s = 5; s <= 9; ++s) Date2VRItem(tag, puffer, s);
        for (int s = 10; s < CSpalten; ++s) Float2VRItem(static_cast<double>(zufall() % 100000) / 100.0, puffer, s);
        liste->RowAdd(puffer);
    }
    return liste;
}

TVRFunctionNFormatList Funktionen() {
    TVRFunctionNFormatList f;
    for (int s = 10; s < CSpalten; ++s) {
        const int r = (s - 10) % 11;
        f.Add({s, r <= 5 ? TVRFunctionType::vrfSum : (r <= 9 ? TVRFunctionType::vrfNoneToo : TVRFunctionType::vrfNone)});
    }
    return f;
}

} // namespace

int main(int argc, char** argv) {
    const int zeilen = argc > 1 ? std::atoi(argv[1]) : 200000;
    const auto quelle = Liste(zeilen);
    TVRGroupList ebenen;
    VRGroupList_Fill(ebenen, {CTag, CKunde}, {0, 0}, Funktionen());
    TVRGroupOptions optionen;
    for (int s : {CTag, CKunde}) optionen.Levels.Add(new TVRSortList{{s, 0}});
    optionen.Functions.AddRange(Funktionen().ToArray());

    double bestSort = 1e9, bestNeu = 1e9, bestOrt = 1e9;
    int gruppen = 0;
    for (int lauf = 0; lauf < 3; ++lauf) {
        // The reference: the same rows as plain arrays, sorted by the same keys.
        std::vector<TVRArray> roh;
        roh.reserve(static_cast<size_t>(zeilen));
        for (int i = 0; i < quelle->GetRowCount(); ++i) roh.push_back(quelle->GetRow(i).Werte);
        const TVRColumn& tag = quelle->GetColumn(CTag);
        auto t = std::chrono::steady_clock::now();
        std::stable_sort(roh.begin(), roh.end(), [&](const TVRArray& a, const TVRArray& b) {
            const int c = tag.Compare(a[CTag], b[CTag]);
            if (c != 0) return c < 0;
            return CompareVRItems(a[CKunde], b[CKunde]) < 0;
        });
        bestSort = std::min(bestSort, Sekunden(t));

        t = std::chrono::steady_clock::now();
        auto baum = CreateGroupedVRList(*quelle, ebenen, false);
        bestNeu = std::min(bestNeu, Sekunden(t));
        gruppen = baum->GetRowCount();

        auto ort = CreateCopyVRList(*quelle);
        t = std::chrono::steady_clock::now();
        GroupVRList(ort, optionen);
        bestOrt = std::min(bestOrt, Sekunden(t));
    }
    std::printf("rows %d, columns %d, top groups %d\n", zeilen, CSpalten, gruppen);
    std::printf("std::stable_sort            %8.1f ms\n", bestSort * 1000);
    std::printf("CreateGroupedVRList (copy)  %8.1f ms  ratio %.2f\n", bestNeu * 1000, bestNeu / bestSort);
    std::printf("GroupVRList (in place)      %8.1f ms  ratio %.2f\n", bestOrt * 1000, bestOrt / bestSort);
    return 0;
}
