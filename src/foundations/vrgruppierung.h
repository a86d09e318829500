#pragma once
// Grouping of a value-row list into a tree of group rows and back.
#include "vrlist.h"

#include <memory>

// How a group row fills a column. Only the sum is defined by its value; the two
// other codes the windows use leave the cell empty.
enum class TVRFunctionType : int32_t { vrfSum = 0, vrfNone = 2, vrfNoneToo = 3 };

// One grouping level: the column whose values form the groups and their order.
struct TVRSortNGroup {
    int32_t Column = 0;
    int32_t Direction = 0; // 0 ascending, 1 descending
    auto operator<=>(const TVRSortNGroup&) const = default;
};
using TVRSortNGroupList = TKOV_List<TVRSortNGroup>;
using TVRSortList = TVRSortNGroupList;

struct TVRFunctionNFormat {
    int32_t Column = 0;
    TVRFunctionType Function = TVRFunctionType::vrfSum;
    auto operator<=>(const TVRFunctionNFormat&) const = default;
};
using TVRFunctionNFormatList = TKOV_List<TVRFunctionNFormat>;
using TVRFunctionsList = TVRFunctionNFormatList;

struct TVRGroupLevel {
    TVRSortNGroupList SortNGroup; // exactly one pair
    TVRFunctionNFormatList Functions;
};
// Outermost level first.
using TVRGroupList = TKOV_ObjectList<TVRGroupLevel>;

struct TVRGroupOptions {
    TKOV_ObjectList<TVRSortList> Levels{true}; // outermost first, one pair each
    TVRFunctionsList Functions;                // for all levels
};

// A new grouped list from the leaf rows of ASource, which stays as it was.
// Groups follow their level's direction (the column's own order where it has one);
// members keep their order. AUnused: every caller passes false.
std::unique_ptr<TVRList> CreateGroupedVRList(const TVRList& ASource, const TVRGroupList& ALevels, bool AUnused = false);
// Back to the leaf rows in tree order, in place; a flat list stays as it is.
void UnGroupVRList(TVRList& AList, bool AUnused = true);
// Replaces AList by the grouped list built from its rows (moved, not copied).
void GroupVRList(std::unique_ptr<TVRList>& AList, const TVRGroupOptions& AOptions);
std::unique_ptr<TVRList> CreateCopyVRList(const TVRList& AList);

// Convenience for the windows: one level per column, all with the same functions.
void VRGroupList_Fill(TVRGroupList& ALevels, const TArray<int32_t>& AColumns, const TArray<int32_t>& ADirections,
                      const TVRFunctionNFormatList& AFunctions);
