#include "vrgruppierung.h"

#include "vrtestlisten.h"

#include <gtest/gtest.h>

namespace {

using namespace vrtest;

const std::string CFlach = "|Nord|1|2|10,50|a|April 2025 |Süd|2|1|1,25|b|Januar 2025 |Nord|3|4|2,00|c|Januar 2025 "
                           "|Nord|1|1|1,00|d|Januar 2025 |Süd|2|5|0,50|e|Dezember 2025";

TEST(VRGruppierung, TwoLevelsSumAndCarryTheSharedGroupingValues) {
    const auto quelle = Verkaeufe();
    // Region ascending, branch descending; members keep their order.
    const auto baum = Gruppiert(*quelle, {Region, Filiale}, {0, 1});
    EXPECT_EQ(Baum(*baum),
              "|Nord||7|13,50||{"
              "|Nord|3|4|2,00||{|Nord|3|4|2,00|c|Januar 2025} "
              "|Nord|1|3|11,50||{|Nord|1|2|10,50|a|April 2025 |Nord|1|1|1,00|d|Januar 2025}} "
              "|Süd||6|1,75||{"
              "|Süd|2|6|1,75||{|Süd|2|1|1,25|b|Januar 2025 |Süd|2|5|0,50|e|Dezember 2025}}");
    EXPECT_EQ(Baum(*quelle), CFlach);
}

TEST(VRGruppierung, OneLevelUsesTheColumnsOwnOrderAndGroupsBySamePeriod) {
    const auto quelle = Verkaeufe();
    EXPECT_EQ(Baum(*Gruppiert(*quelle, {Tag}, {1})),
              "|||5|0,50||Dezember 2025{|Süd|2|5|0,50|e|Dezember 2025} "
              "|||2|10,50||April 2025{|Nord|1|2|10,50|a|April 2025} "
              "|||6|4,25||Januar 2025{|Süd|2|1|1,25|b|Januar 2025 |Nord|3|4|2,00|c|Januar 2025 "
              "|Nord|1|1|1,00|d|Januar 2025}");
}

TEST(VRGruppierung, EveryLevelKeySortsAlsoBeyondTheFourth) {
    auto baum = Gruppiert(*Verkaeufe(), {Region, Region, Region, Region, Notiz}, {0, 0, 0, 0, 1});
    UnGroupVRList(*baum, true);
    std::string notizen;
    for (int32_t i = 0; i < baum->GetRowCount(); ++i) notizen += baum->GetCellValueAsFormatedString(i, Notiz);
    EXPECT_EQ(notizen, "dcaeb");
}

TEST(VRGruppierung, AGroupingColumnKeepsItsSharedValueEvenWhenSummed) {
    const auto baum = Gruppiert(*Verkaeufe(), {Menge}, {0});
    // Quantity 1 is shared by rows b and d; its sum would be 2.
    EXPECT_EQ(baum->GetCellValueAsFormatedString(0, Menge), "1");
    EXPECT_EQ(baum->GetCellValueAsFormatedString(0, Betrag), "2,25");
}

TEST(VRGruppierung, EmptyListGivesEmptyListWithTheSameColumns) {
    auto quelle = Verkaeufe();
    quelle->RowsClear();
    const auto baum = Gruppiert(*quelle, {Region, Filiale}, {0, 0});
    EXPECT_EQ(baum->GetRowCount(), 0);
    EXPECT_EQ(baum->GetColumnCount(), quelle->GetColumnCount());
}

TEST(VRGruppierung, UngroupGivesTheLeavesInTreeOrderAndLeavesAFlatListAlone) {
    auto liste = Verkaeufe();
    UnGroupVRList(*liste, true);
    EXPECT_EQ(Baum(*liste), CFlach);

    auto baum = Gruppiert(*liste, {Region, Filiale}, {0, 1});
    UnGroupVRList(*baum, true);
    EXPECT_EQ(Baum(*baum), "|Nord|3|4|2,00|c|Januar 2025 |Nord|1|2|10,50|a|April 2025 |Nord|1|1|1,00|d|Januar 2025 "
                           "|Süd|2|1|1,25|b|Januar 2025 |Süd|2|5|0,50|e|Dezember 2025");
    // Grouping a grouped list starts from its leaves.
    const auto nachMonat = Gruppiert(*liste, {Tag}, {0});
    auto blaetter = CreateCopyVRList(*nachMonat);
    UnGroupVRList(*blaetter, true);
    EXPECT_EQ(Baum(*Gruppiert(*nachMonat, {Region, Filiale}, {0, 1})),
              Baum(*Gruppiert(*blaetter, {Region, Filiale}, {0, 1})));
}

TEST(VRGruppierung, GroupInPlaceMatchesCreateGrouped) {
    auto liste = Verkaeufe();
    const std::string erwartet = Baum(*Gruppiert(*liste, {Region, Filiale}, {0, 0}));
    TVRGroupOptions optionen;
    for (int32_t spalte : {Region, Filiale}) optionen.Levels.Add(new TVRSortList{{spalte, 0}});
    optionen.Functions.AddRange(Funktionen().ToArray());
    GroupVRList(liste, optionen);
    EXPECT_EQ(Baum(*liste), erwartet);
}

TEST(VRGruppierung, CopyIsIndependentDownToTheLeavesAndSharesColumnsWithinItsTree) {
    const auto baum = Gruppiert(*Verkaeufe(), {Region}, {0});
    const std::string vorher = Baum(*baum);
    const auto kopie = CreateCopyVRList(*baum);
    EXPECT_EQ(Baum(*kopie), vorher);
    kopie->GetRowChild(0)->SetCellValue(0, Notiz, TVRItem::String("x"));
    kopie->GetColumn(Betrag).FormatStr = "%.0n"; // the groups' members share their list's columns
    EXPECT_EQ(kopie->GetRowChild(0)->GetCellValueAsFormatedString(1, Betrag), "2");
    kopie->RowsClear();
    EXPECT_EQ(Baum(*baum), vorher);
}

} // namespace
