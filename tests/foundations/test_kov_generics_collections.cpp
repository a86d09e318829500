#include "kov_generics_collections.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <list>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;
using CN = TCollectionNotification;

static_assert(static_cast<int>(CN::cnAdded) == 1);
static_assert(static_cast<int>(CN::cnExtracted) == 3);
static_assert(static_cast<int>(CN::cnRemoved) == 5);
static_assert(std::ranges::forward_range<TKOV_List<int>>);
static_assert(!std::is_copy_constructible_v<TKOV_List<int>>);
static_assert(std::is_nothrow_move_constructible_v<TKOV_ObjectList<int>>);
// Another list is no "collection": that would be a silent copy.
static_assert(!std::is_constructible_v<TKOV_List<int*>, const TKOV_ObjectList<int>&>);

// Exposes the protected internals the public API cannot show.
template <class T>
class TProbeList : public TKOV_List<T> {
public:
    using TKOV_List<T>::TKOV_List;
    using TKOV_List<T>::Items_EnsureCapacity;
    const TArray<T>& Slots() const { return this->FItems; }
};

TKOV_List<std::string> Abcd() { return TKOV_List<std::string>{"a", "b", "c", "d"}; }

// --- capacity --------------------------------------------------------------

TEST(KovList, CapacityDoublesFromFirstNeedAndTrimExcessCutsToCount) {
    TKOV_List<int> l;
    const Ints erwartet = {1, 2, 4, 4, 8};
    for (int i = 0; i < 5; ++i) {
        l.Add(i);
        EXPECT_EQ(l.Capacity(), erwartet[static_cast<size_t>(i)]) << "after add " << i + 1;
    }

    TKOV_List<int> drei;
    for (int i = 0; i < 3; ++i) drei.Add(i);
    drei.TrimExcess();
    EXPECT_EQ(drei.Capacity(), 3);
    drei.Add(9);
    EXPECT_EQ(drei.Capacity(), 6);
    drei.Delete(0); // removals never shrink
    EXPECT_EQ(drei.Capacity(), 6);
    drei.Clear();
    EXPECT_EQ(drei.Capacity(), 0);

    TKOV_List<int> block; // a first block insert takes exactly what it needs
    block.AddRange({1, 2, 3, 4, 5});
    EXPECT_EQ(block.Capacity(), 5);
}

TEST(KovList, NeueKapazitaetRaisesOutOfMemoryWhenDoublingLeavesInt32) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    struct Fall {
        int32_t alt, n, erwartet;
    };
    for (const Fall& f : {Fall{0, 5, 5}, Fall{1, 2, 2}, Fall{3, 4, 6}, Fall{4, 17, 32}, Fall{0, kMax, kMax},
                          Fall{1 << 29, 1 << 30, 1 << 30}}) {
        EXPECT_EQ(TKOV_List<int>::NeueKapazitaet(f.alt, f.n), f.erwartet) << f.alt << " -> " << f.n;
    }
    EXPECT_THROW(TKOV_List<int>::NeueKapazitaet(1 << 30, (1 << 30) + 1), EOutOfMemory);
    EXPECT_THROW(TKOV_List<int>::NeueKapazitaet(1, kMax), EOutOfMemory);
    EXPECT_THROW(TKOV_List<int>::NeueKapazitaet(3 << 28, kMax), EOutOfMemory);

    TProbeList<int> l;
    l.Add(1);
    EXPECT_THROW(l.Items_EnsureCapacity(-1), EOutOfMemory); // an overflowed count
    EXPECT_NO_THROW(l.Items_EnsureCapacity(1));
    EXPECT_EQ(l.Capacity(), 1);
}

TEST(KovList, SlotsAboveCountHoldTheEmptyValue) {
    // ints keep their value when moved from, so a missed reset would show.
    struct Fall {
        const char* name;
        std::function<void(TKOV_List<int>&)> op;
        Ints slots;
    };
    const std::vector<Fall> faelle = {
        {"Delete first", [](auto& l) { l.Delete(0); }, {2, 3, 4, 0}},
        {"Delete last", [](auto& l) { l.Delete(3); }, {1, 2, 3, 0}},
        {"Remove", [](auto& l) { l.Remove(2); }, {1, 3, 4, 0}},
        {"Extract", [](auto& l) { l.Extract(3); }, {1, 2, 4, 0}},
        {"DeleteRange", [](auto& l) { l.DeleteRange(1, 2); }, {1, 4, 0, 0}},
        {"SetCount shrink", [](auto& l) { l.SetCount(1); }, {1, 0, 0, 0}},
        {"SetCount 2 then 4", [](auto& l) { l.SetCount(2); l.SetCount(4); }, {1, 2, 0, 0}},
        {"SetCapacity 2", [](auto& l) { l.SetCapacity(2); }, {1, 2}},
        {"SetCapacity 6", [](auto& l) { l.SetCapacity(6); }, {1, 2, 3, 4, 0, 0}},
    };
    for (const Fall& f : faelle) {
        TProbeList<int> l;
        l.AddRange({1, 2, 3, 4});
        f.op(l);
        EXPECT_EQ(l.Slots(), f.slots) << f.name;
    }
}

// --- range checks ----------------------------------------------------------

TEST(KovList, RangeErrorsRaiseAndChangeNothing) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    struct Fall {
        const char* name;
        std::function<void(TKOV_List<std::string>&)> op;
    };
    const std::vector<Fall> faelle = {
        {"GetItem -1", [](auto& l) { l.GetItem(-1); }},
        {"GetItem Count", [](auto& l) { l.GetItem(4); }},
        {"operator[] Count", [](auto& l) { (void)l[4]; }},
        {"GetItem_Ptr Count", [](auto& l) { l.GetItem_Ptr(4); }},
        {"SetItem Count", [](auto& l) { l.SetItem(4, "x"); }},
        {"Insert -1", [](auto& l) { l.Insert(-1, "x"); }},
        {"Insert Count+1", [](auto& l) { l.Insert(5, "x"); }},
        {"InsertRange Count+1", [](auto& l) { l.InsertRange(5, {"x"}); }},
        {"Delete Count", [](auto& l) { l.Delete(4); }},
        {"DeleteRange past end", [](auto& l) { l.DeleteRange(3, 2); }},
        {"DeleteRange negative index", [](auto& l) { l.DeleteRange(-1, 1); }},
        {"DeleteRange negative count", [](auto& l) { l.DeleteRange(0, -1); }},
        {"DeleteRange overflowing sum", [kMax](auto& l) { l.DeleteRange(1, kMax); }},
        {"Exchange", [](auto& l) { l.Exchange(0, 4); }},
        {"Move to Count", [](auto& l) { l.Move(0, 4); }},
        {"Move from Count", [](auto& l) { l.Move(4, 0); }},
        {"SetCount -1", [](auto& l) { l.SetCount(-1); }},
        {"SetCapacity -1", [](auto& l) { l.SetCapacity(-1); }},
    };
    for (const Fall& f : faelle) {
        auto l = Abcd();
        const int32_t kapazitaet = l.Capacity();
        EXPECT_THROW(f.op(l), EArgumentOutOfRangeException) << f.name;
        EXPECT_EQ(l.ToArray(), (Strings{"a", "b", "c", "d"})) << f.name;
        EXPECT_EQ(l.Capacity(), kapazitaet) << f.name;
    }

    TKOV_List<int> leer;
    EXPECT_THROW(leer.First(), EArgumentOutOfRangeException);
    EXPECT_THROW(leer.Last(), EArgumentOutOfRangeException);
    try {
        leer.GetItem(0);
    } catch (const EArgumentOutOfRangeException& e) {
        EXPECT_STREQ(e.what(), "Argument außerhalb des gültigen Bereichs");
    }
}

// --- content changes -------------------------------------------------------

TEST(KovList, OperationsProduceExpectedContent) {
    struct Fall {
        const char* name;
        std::function<void(TKOV_List<std::string>&)> op;
        Strings inhalt;
    };
    const std::vector<Fall> faelle = {
        {"Add", [](auto& l) { EXPECT_EQ(l.Add("e"), 4); }, {"a", "b", "c", "d", "e"}},
        {"Add own element", [](auto& l) { l.TrimExcess(); l.Add(*l.GetItem_Ptr(0)); }, {"a", "b", "c", "d", "a"}},
        {"Insert at Count appends", [](auto& l) { l.Insert(4, "e"); }, {"a", "b", "c", "d", "e"}},
        {"Insert at 0", [](auto& l) { l.Insert(0, "x"); }, {"x", "a", "b", "c", "d"}},
        {"Insert own element", [](auto& l) { l.TrimExcess(); l.Insert(1, *l.GetItem_Ptr(3)); }, {"a", "d", "b", "c", "d"}},
        {"InsertRange open array", [](auto& l) { l.InsertRange(1, {"x", "y"}); }, {"a", "x", "y", "b", "c", "d"}},
        {"InsertRange std::list", [](auto& l) { l.InsertRange(2, std::list<std::string>{"x", "y"}); },
         {"a", "b", "x", "y", "c", "d"}},
        {"AddRange vector", [](auto& l) { l.AddRange(Strings{"x", "y"}); }, {"a", "b", "c", "d", "x", "y"}},
        {"AddRange itself", [](auto& l) { l.AddRange(l); }, {"a", "b", "c", "d", "a", "b", "c", "d"}},
        {"InsertRange itself", [](auto& l) { l.InsertRange(1, l); }, {"a", "a", "b", "c", "d", "b", "c", "d"}},
        {"SetItem", [](auto& l) { l.SetItem(1, "x"); }, {"a", "x", "c", "d"}},
        {"SetItem own element", [](auto& l) { l.SetItem(1, *l.GetItem_Ptr(1)); }, {"a", "b", "c", "d"}},
        {"GetItem_Ptr writes through", [](auto& l) { *l.GetItem_Ptr(2) = "x"; }, {"a", "b", "x", "d"}},
        {"Delete", [](auto& l) { l.Delete(1); }, {"a", "c", "d"}},
        {"Remove present", [](auto& l) { EXPECT_EQ(l.Remove("c"), 2); }, {"a", "b", "d"}},
        {"Remove absent", [](auto& l) { EXPECT_EQ(l.Remove("x"), -1); }, {"a", "b", "c", "d"}},
        {"Extract present", [](auto& l) { EXPECT_EQ(l.Extract("b"), "b"); }, {"a", "c", "d"}},
        {"Extract absent", [](auto& l) { EXPECT_EQ(l.Extract("x"), ""); }, {"a", "b", "c", "d"}},
        {"DeleteRange middle", [](auto& l) { l.DeleteRange(1, 2); }, {"a", "d"}},
        {"DeleteRange count 0 at end", [](auto& l) { l.DeleteRange(4, 0); }, {"a", "b", "c", "d"}},
        {"Exchange", [](auto& l) { l.Exchange(0, 3); }, {"d", "b", "c", "a"}},
        {"Move forward", [](auto& l) { l.Move(0, 3); }, {"b", "c", "d", "a"}},
        {"Move backward", [](auto& l) { l.Move(3, 0); }, {"d", "a", "b", "c"}},
        {"Move to itself out of range", [](auto& l) { l.Move(9, 9); }, {"a", "b", "c", "d"}},
        {"Reverse", [](auto& l) { l.Reverse(); }, {"d", "c", "b", "a"}},
        {"SetCount grow", [](auto& l) { l.SetCount(5); }, {"a", "b", "c", "d", ""}},
        {"AddIfNotContained absent", [](auto& l) { EXPECT_EQ(l.AddIfNotContained("e"), 4); }, {"a", "b", "c", "d", "e"}},
        {"AddIfNotContained present", [](auto& l) { EXPECT_EQ(l.AddIfNotContained("c"), 2); }, {"a", "b", "c", "d"}},
        {"AssignFrom", [](auto& l) { l.AssignFrom(TKOV_List<std::string>{"x", "x"}); }, {"x", "x"}},
        {"AssignFrom itself", [](auto& l) { l.AssignFrom(l); }, {"a", "b", "c", "d"}},
        {"Clear", [](auto& l) { l.Clear(); }, {}},
    };
    for (const Fall& f : faelle) {
        auto l = Abcd();
        f.op(l);
        EXPECT_EQ(l.ToArray(), f.inhalt) << f.name;
        EXPECT_EQ(l.Count(), static_cast<int32_t>(f.inhalt.size())) << f.name;
    }

    TKOV_List<int> zwei{1, 2}; // no-op range delete on a short list
    zwei.DeleteRange(2, 0);
    EXPECT_EQ(zwei.ToArray(), (Ints{1, 2}));
    EXPECT_THROW(zwei.DeleteRange(1, 2), EArgumentOutOfRangeException);
}

TEST(KovList, QueriesAndIteration) {
    TKOV_List<int> l{5, 7, 5, 9};
    EXPECT_EQ(l.First(), 5);
    EXPECT_EQ(l.Last(), 9);
    EXPECT_EQ(l.IndexOf(5), 0);
    EXPECT_EQ(l.LastIndexOf(5), 2);
    EXPECT_EQ(l.IndexOf(6), -1);
    EXPECT_EQ(l.LastIndexOf(6), -1);
    EXPECT_TRUE(l.Contains(9));
    EXPECT_FALSE(l.Contains(6));
    EXPECT_FALSE(l.IsEmpty());
    EXPECT_TRUE(TKOV_List<int>().IsEmpty());
    for (const auto& [index, drin] : std::vector<std::pair<int32_t, bool>>{{-1, false}, {0, true}, {3, true}, {4, false}})
        EXPECT_EQ(l.IndexInRange(index), drin) << index;

    Ints gesehen;
    auto e = l.GetEnumerator();
    while (e.MoveNext()) gesehen.push_back(e.Current());
    EXPECT_FALSE(e.MoveNext());
    EXPECT_EQ(gesehen, (Ints{5, 7, 5, 9}));

    gesehen.clear();
    for (int x : l) gesehen.push_back(x);
    EXPECT_EQ(gesehen, (Ints{5, 7, 5, 9}));

    // Index-based iteration follows a shrinking list instead of running off its end.
    gesehen.clear();
    for (int x : l) {
        gesehen.push_back(x);
        if (l.Count() > 2) l.Delete(l.Count() - 1);
    }
    EXPECT_EQ(gesehen, (Ints{5, 7}));

    auto kopie = l.ToArray();
    kopie[0] = 99;
    EXPECT_EQ(l[0], 5); // ToArray hands out copies
}

TEST(KovList, ConstructionCloneAndMove) {
    const TKOV_List<int> ausListe(std::list<int>{3, 1, 2});
    EXPECT_EQ(ausListe.ToArray(), (Ints{3, 1, 2}));

    // Comparer treating numbers equal by their last digit.
    const TKOV_Comparer<int> endziffer = [](const int& a, const int& b) { return a % 10 - b % 10; };
    TKOV_List<int> mutter(endziffer);
    mutter.AddRange({11, 22});
    EXPECT_TRUE(mutter.Contains(31));

    auto klon = TKOV_List<int>::Clone(mutter); // default comparer, not the mother's
    EXPECT_EQ(klon.ToArray(), (Ints{11, 22}));
    EXPECT_FALSE(klon.Contains(31));
    TKOV_List<int> leerVergleich{TKOV_Comparer<int>()}; // empty comparer: default
    leerVergleich.Add(31);
    EXPECT_FALSE(leerVergleich.Contains(11));

    Ints events;
    klon.SetOnNotify([&](TKOV_List<int>&, const int& item, CN) { events.push_back(item); });
    TKOV_List<int> ziel(std::move(klon));
    EXPECT_EQ(klon.Count(), 0);
    EXPECT_EQ(klon.Capacity(), 0);
    EXPECT_EQ(ziel.ToArray(), (Ints{11, 22}));
    ziel.Add(3); // OnNotify moved along
    EXPECT_EQ(events, (Ints{3}));
}

// --- notifications ---------------------------------------------------------

struct Ereignis {
    CN aktion;
    int item;
    Ints inhalt; // the list as the handler saw it
    bool operator==(const Ereignis&) const = default;
};

void PrintTo(const Ereignis& e, std::ostream* os) {
    *os << "{" << static_cast<int>(e.aktion) << "," << e.item << ",[";
    for (int x : e.inhalt) *os << x << " ";
    *os << "]}";
}

TEST(KovList, NotificationsComeAfterTheListIsConsistent) {
    constexpr CN A = CN::cnAdded, E = CN::cnExtracted, R = CN::cnRemoved;
    struct Fall {
        const char* name;
        std::function<void(TKOV_List<int>&)> op;
        std::vector<Ereignis> ereignisse;
    };
    const std::vector<Fall> faelle = {
        {"Add", [](auto& l) { l.Add(7); }, {{A, 7, {1, 2, 3, 7}}}},
        {"Insert", [](auto& l) { l.Insert(1, 7); }, {{A, 7, {1, 7, 2, 3}}}},
        {"InsertRange open array", [](auto& l) { l.InsertRange(0, {7, 8}); },
         {{A, 7, {7, 8, 1, 2, 3}}, {A, 8, {7, 8, 1, 2, 3}}}},
        {"InsertRange enumerable", [](auto& l) { l.InsertRange(0, std::list<int>{7, 8}); },
         {{A, 7, {7, 1, 2, 3}}, {A, 8, {7, 8, 1, 2, 3}}}},
        {"SetItem", [](auto& l) { l.SetItem(0, 7); }, {{R, 1, {7, 2, 3}}, {A, 7, {7, 2, 3}}}},
        {"Delete", [](auto& l) { l.Delete(0); }, {{R, 1, {2, 3}}}},
        {"Remove", [](auto& l) { l.Remove(2); }, {{R, 2, {1, 3}}}},
        {"Extract present", [](auto& l) { l.Extract(2); }, {{E, 2, {1, 3}}}},
        {"Extract absent", [](auto& l) { l.Extract(9); }, {}},
        {"DeleteRange", [](auto& l) { l.DeleteRange(0, 2); }, {{R, 1, {3}}, {R, 2, {3}}}},
        {"SetCount shrink", [](auto& l) { l.SetCount(1); }, {{R, 2, {1}}, {R, 3, {1}}}},
        {"SetCount grow", [](auto& l) { l.SetCount(5); }, {}},
        {"SetCapacity below Count", [](auto& l) { l.SetCapacity(2); }, {{R, 3, {1, 2}}}},
        {"Clear", [](auto& l) { l.Clear(); }, {{R, 1, {}}, {R, 2, {}}, {R, 3, {}}}},
        {"reordering is silent",
         [](auto& l) {
             l.Exchange(0, 1);
             l.Move(0, 2);
             l.Reverse();
             l.Sort();
         },
         {}},
    };
    for (const Fall& f : faelle) {
        std::vector<Ereignis> gesehen; // outlives l, whose destruction notifies too
        TKOV_List<int> l{1, 2, 3};
        l.SetOnNotify([&](TKOV_List<int>& sender, const int& item, CN aktion) {
            EXPECT_EQ(&sender, &l);
            gesehen.push_back({aktion, item, sender.ToArray()});
        });
        f.op(l);
        EXPECT_EQ(gesehen, f.ereignisse) << f.name;
    }

    std::vector<Ereignis> gesehen;
    {
        TKOV_List<int> l{1, 2};
        l.SetOnNotify([&](TKOV_List<int>& s, const int& item, CN a) { gesehen.push_back({a, item, s.ToArray()}); });
    }
    EXPECT_EQ(gesehen, (std::vector<Ereignis>{{R, 1, {}}, {R, 2, {}}})) << "destruction";
}

// --- comparer, sorting, searching ------------------------------------------

TEST(KovList, ComparerDrivesSearchSortAndRemoval) {
    const TKOV_Comparer<int> absteigend = [](const int& a, const int& b) { return b - a; };
    const TKOV_Comparer<int> endziffer = [](const int& a, const int& b) { return a % 10 - b % 10; };

    TKOV_List<int> l(endziffer);
    l.AddRange({13, 21, 33, 42});
    EXPECT_EQ(l.IndexOf(3), 0);
    EXPECT_EQ(l.LastIndexOf(3), 2);
    EXPECT_EQ(l.Extract(1), 21);
    EXPECT_EQ(l.Remove(2), 2);
    EXPECT_EQ(l.ToArray(), (Ints{13, 33}));

    TKOV_List<int> s{3, 1, 2};
    s.Sort();
    EXPECT_EQ(s.ToArray(), (Ints{1, 2, 3}));
    s.Sort(absteigend);
    EXPECT_EQ(s.ToArray(), (Ints{3, 2, 1}));
    s.Sort(TKOV_Comparer<int>()); // empty comparer: the list's own
    EXPECT_EQ(s.ToArray(), (Ints{1, 2, 3}));

    TKOV_List<std::string> w{"b", "c", "a"};
    w.SetCapacity(10);
    w.Sort(); // only the first Count elements; the empty tail stays behind
    EXPECT_EQ(w.ToArray(), (Strings{"a", "b", "c"}));
}

TEST(KovList, BinarySearchFindsFirstEqualOrInsertionPoint) {
    const TKOV_List<int> l{1, 3, 3, 3, 5};
    struct Fall {
        int item;
        bool gefunden;
        int32_t index;
    };
    for (const Fall& f : {Fall{3, true, 1}, Fall{1, true, 0}, Fall{5, true, 4}, Fall{0, false, 0}, Fall{4, false, 4},
                          Fall{6, false, 5}}) {
        int32_t index = -1;
        EXPECT_EQ(l.BinarySearch(f.item, index), f.gefunden) << f.item;
        EXPECT_EQ(index, f.index) << f.item;
        EXPECT_EQ(l.BinarySearch(f.item), f.gefunden) << f.item;
    }

    int32_t index = -1;
    EXPECT_FALSE(TKOV_List<int>().BinarySearch(7, index));
    EXPECT_EQ(index, 0);

    const TKOV_Comparer<int> absteigend = [](const int& a, const int& b) { return b - a; };
    const TKOV_List<int> ab{9, 7, 7, 2};
    EXPECT_TRUE(ab.BinarySearch(7, index, absteigend));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(ab.BinarySearch(8, index, absteigend));
    EXPECT_EQ(index, 1);
}

TEST(KovList, AddToSortedListInsertsAtTheSearchedPosition) {
    TKOV_List<int> l{1, 3, 3, 3, 5};
    EXPECT_EQ(l.AddToSortedList_IfNotContained(4), 4);
    EXPECT_EQ(l.AddToSortedList_IfNotContained(3), 1);
    EXPECT_EQ(l.AddToSortedList_IfNotContained(0), 0);
    EXPECT_EQ(l.AddToSortedList_IfNotContained(9), 7);
    EXPECT_EQ(l.ToArray(), (Ints{0, 1, 3, 3, 3, 4, 5, 9}));

    const TKOV_Comparer<int> absteigend = [](const int& a, const int& b) { return b - a; };
    TKOV_List<int> ab{9, 5};
    EXPECT_EQ(ab.AddToSortedList_IfNotContained(7, absteigend), 1);
    EXPECT_EQ(ab.AddToSortedList_IfNotContained(9, absteigend), 0);
    EXPECT_EQ(ab.ToArray(), (Ints{9, 7, 5}));
}

TEST(KovList, MergeFromUnionIntersectionAndCopy) {
    struct Fall {
        const char* name;
        std::vector<Ints> quellen;
        bool inAllen;
        Ints ergebnis;
        std::vector<Ints> quellenDanach;
    };
    const std::vector<Fall> faelle = {
        {"no sources", {}, true, {}, {}},
        {"one source copied as is", {{3, 1, 3}}, true, {3, 1, 3}, {{3, 1, 3}}},
        {"union", {{3, 1, 2, 2}, {5, 2}}, false, {1, 2, 3, 5}, {{3, 1, 2, 2}, {5, 2}}},
        {"intersection", {{3, 1, 2, 2}, {2, 3}}, true, {2, 3}, {{1, 2, 2, 3}, {2, 3}}},
        {"intersection of three", {{4, 3, 1, 2}, {2, 3, 9, 4, 8}, {4, 2}}, true, {2, 4},
         {{1, 2, 3, 4}, {2, 3, 4, 8, 9}, {2, 4}}},
        {"intersection stops at an empty source", {{3, 1}, {}, {5, 4}}, true, {}, {{1, 3}, {}, {5, 4}}},
        {"intersection, disjoint", {{1, 2}, {3, 4}}, true, {}, {{1, 2}, {3, 4}}},
    };
    for (const Fall& f : faelle) {
        std::vector<TKOV_List<int>> listen;
        listen.reserve(f.quellen.size());
        TArray<TKOV_List<int>*> zeiger;
        for (const Ints& q : f.quellen) {
            listen.emplace_back(q);
            zeiger.push_back(&listen.back());
        }
        TKOV_List<int> ziel{42}; // old content goes
        ziel.MergeFrom(zeiger, f.inAllen);
        EXPECT_EQ(ziel.ToArray(), f.ergebnis) << f.name;
        for (size_t i = 0; i < listen.size(); ++i) EXPECT_EQ(listen[i].ToArray(), f.quellenDanach[i]) << f.name << i;
    }
}

// --- object list -----------------------------------------------------------

struct TZaehler {
    static inline int Lebend = 0;
    int Wert;
    explicit TZaehler(int AWert) : Wert(AWert) { ++Lebend; }
    ~TZaehler() { --Lebend; }
};

class KovObjectList : public ::testing::Test {
protected:
    void SetUp() override { TZaehler::Lebend = 0; }
};

TEST_F(KovObjectList, OwningListFreesWhatItLosesByRemoval) {
    struct Fall {
        const char* name;
        std::function<void(TKOV_ObjectList<TZaehler>&)> op;
        int lebendMitBesitz; // of 3 objects (+1 for SetItem)
        int32_t count;
    };
    const std::vector<Fall> faelle = {
        {"Delete", [](auto& l) { l.Delete(0); }, 2, 2},
        {"Remove", [](auto& l) { l.Remove(l[1]); }, 2, 2},
        {"SetItem frees the replaced", [](auto& l) { l.SetItem(0, new TZaehler(9)); }, 3, 3},
        {"DeleteRange", [](auto& l) { l.DeleteRange(1, 2); }, 1, 1},
        {"SetCount", [](auto& l) { l.SetCount(1); }, 1, 1},
        {"SetCapacity", [](auto& l) { l.SetCapacity(2); }, 2, 2},
        {"Clear", [](auto& l) { l.Clear(); }, 0, 0},
        {"Move and Exchange keep all", [](auto& l) { l.Move(0, 2); l.Exchange(0, 1); }, 3, 3},
    };
    for (const bool besitz : {true, false}) {
        for (const Fall& f : faelle) {
            TZaehler::Lebend = 0;
            std::vector<TZaehler*> alle = {new TZaehler(1), new TZaehler(2), new TZaehler(3)};
            {
                TKOV_ObjectList<TZaehler> l(alle, besitz);
                l.SetOnNotify([&alle](auto&, TZaehler* const& o, CN a) {
                    if (a == CN::cnAdded) alle.push_back(o);
                });
                f.op(l);
                EXPECT_EQ(l.Count(), f.count) << f.name;
                EXPECT_EQ(TZaehler::Lebend, besitz ? f.lebendMitBesitz : static_cast<int>(alle.size()))
                    << f.name << " owning " << besitz;
            }
            if (!besitz)
                for (TZaehler* o : alle) delete o;
            EXPECT_EQ(TZaehler::Lebend, 0) << f.name << " owning " << besitz; // destruction freed the rest
        }
    }
}

TEST_F(KovObjectList, ExtractHandsBackAndDestructionFreesTheRest) {
    TZaehler* behalten = nullptr;
    int lebendImHandler = -1;
    {
        std::vector<int> aktionen; // outlives l, whose destruction notifies too
        TKOV_ObjectList<TZaehler> l; // owns by default
        EXPECT_TRUE(l.OwnsObjects());
        auto* a = new TZaehler(1);
        l.AddRange({a, new TZaehler(2), new TZaehler(3)});
        l.SetOnNotify([&](auto&, TZaehler* const& o, CN aktion) {
            aktionen.push_back(static_cast<int>(aktion));
            if (aktion == CN::cnRemoved && o->Wert == 2) lebendImHandler = TZaehler::Lebend;
        });
        behalten = l.Extract(a);
        EXPECT_EQ(behalten, a);
        EXPECT_EQ(aktionen, (std::vector<int>{3}));
        EXPECT_EQ(TZaehler::Lebend, 3);
        EXPECT_EQ(l.Extract(a), nullptr); // absent now
        EXPECT_EQ(l.Count(), 2);
    }
    EXPECT_EQ(lebendImHandler, 3); // handler ran before the object was freed
    EXPECT_EQ(TZaehler::Lebend, 1);
    EXPECT_EQ(behalten->Wert, 1);
    delete behalten;

    {
        TKOV_ObjectList<TZaehler> nichtBesitzend(false);
        TZaehler x(5);
        nichtBesitzend.Add(&x);
        nichtBesitzend.Clear();
        nichtBesitzend.Add(&x);
    }
    EXPECT_EQ(TZaehler::Lebend, 0);

    {
        auto nachWert = [](TZaehler* const& a, TZaehler* const& b) { return a->Wert - b->Wert; };
        TKOV_ObjectList<TZaehler> sortiert(nachWert, true);
        sortiert.AddRange({new TZaehler(3), new TZaehler(1), new TZaehler(2)});
        sortiert.Sort();
        EXPECT_EQ(sortiert.First()->Wert, 1);
        TKOV_ObjectList<TZaehler> bewegt(std::move(sortiert));
        EXPECT_EQ(sortiert.Count(), 0);
        EXPECT_EQ(TZaehler::Lebend, 3);
        TKOV_ObjectList<TZaehler> ziel(true);
        ziel.Add(new TZaehler(7));
        ziel = std::move(bewegt); // the old object of ziel is freed
        EXPECT_EQ(TZaehler::Lebend, 3);
        EXPECT_EQ(ziel.Count(), 3);
    }
    EXPECT_EQ(TZaehler::Lebend, 0);
}

// --- array helpers ---------------------------------------------------------

// Records every hook call; clones are marked with '*' so they show in results.
struct TProtokollHooks : TKOV_ArrayMani_DefaultHooks<std::string> {
    static inline Strings Log;
    static inline std::string WirftBei; // Element_Release raises for this element
    static void Element_Release(std::string& e) {
        Log.push_back("release " + e);
        if (e == WirftBei) throw Exception("release failed");
    }
    static void Element_Init(std::string& e) {
        Log.push_back("init");
        e = "neu";
    }
    static void Element_Clone(const std::string& quelle, bool istNeu, std::string& ziel) {
        Log.push_back(std::string(istNeu ? "clone new " : "clone over ") + quelle);
        ziel = quelle + "*";
    }
};

using Mani = TKOV_ArrayMani<std::string, TProtokollHooks>;
using PlainMani = TKOV_ArrayMani<int>;

class KovArrayMani : public ::testing::Test {
protected:
    void SetUp() override {
        TProtokollHooks::Log.clear();
        TProtokollHooks::WirftBei.clear();
    }
};

TEST_F(KovArrayMani, RemoveKeepsOrderOrFillsTheGapFromTheEnd) {
    struct Fall {
        int32_t ind;
        bool sortiert, klonen;
        Strings ergebnis, log;
    };
    const std::vector<Fall> faelle = {
        {1, true, false, {"a", "c", "d"}, {"release b"}},
        {1, false, false, {"a", "d", "c"}, {"release b"}},
        {3, false, false, {"a", "b", "c"}, {"release d"}},
        {1, true, true, {"a", "c*", "d*"}, {"release b", "clone over c", "clone over d"}},
        {0, false, true, {"d*", "b", "c"}, {"release a", "clone over d"}},
    };
    for (const Fall& f : faelle) {
        TProtokollHooks::Log.clear();
        Strings a = {"a", "b", "c", "d"};
        Mani::Remove(f.ind, a, f.sortiert, f.klonen);
        EXPECT_EQ(a, f.ergebnis) << f.ind << f.sortiert << f.klonen;
        EXPECT_EQ(TProtokollHooks::Log, f.log) << f.ind << f.sortiert << f.klonen;
    }
}

TEST_F(KovArrayMani, ErrorsCarryTheirMessagesAndChangeNothing) {
    struct Fall {
        std::function<void(Strings&)> op;
        const char* meldung;
    };
    const std::vector<Fall> faelle = {
        {[](Strings& a) { Mani::Remove(3, a, true); }, "Index 3 nicht im Array!"},
        {[](Strings& a) { Mani::Remove(-1, a, false); }, "Index -1 nicht im Array!"},
        {[](Strings& a) { Mani::Remove_Last(a, 5); }, "Anzahl Remove 5 > Länge 3!"},
        {[](Strings& a) { Mani::SetLength(-1, a); }, "Anzahl Remove 4 > Länge 3!"},
        {[](Strings& a) { Mani::SubArray_ExtractCloned(a, -1, 1); }, "StartIndex -1 nicht im Array!"},
        {[](Strings& a) { Mani::SubArray_ExtractCloned(a, 3, 1); }, "StartIndex 3 nicht im Array!"},
        {[](Strings& a) { Mani::SubArray_ExtractCloned(a, 0, 3); }, "EndIndex 3 nicht im Array!"},
        {[](Strings& a) { Mani::SubArray_ExtractCloned_Add(a, 2, 1, a); }, "StartInd 2 > EndIndex 1!"},
    };
    for (const Fall& f : faelle) {
        Strings a = {"a", "b", "c"};
        try {
            f.op(a);
            ADD_FAILURE() << "no error for " << f.meldung;
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), f.meldung);
        }
        EXPECT_EQ(a, (Strings{"a", "b", "c"})) << f.meldung;
    }
    EXPECT_TRUE(TProtokollHooks::Log.empty());
}

TEST_F(KovArrayMani, HooksSeeEveryElementThatComesOrGoes) {
    Strings a;
    EXPECT_EQ(Mani::Add("x", a), 0);
    EXPECT_EQ(Mani::Add("y", a, true), 1);
    Mani::AddRange({"p", "q"}, a, true);
    Mani::AddRange(Strings{"r"}, a);
    EXPECT_EQ(a, (Strings{"x", "y*", "p*", "q*", "r"}));
    EXPECT_EQ(TProtokollHooks::Log, (Strings{"clone new y", "clone new p", "clone new q"}));

    TProtokollHooks::Log.clear();
    EXPECT_EQ(Mani::AddEmpty(a, 2), 5);
    Mani::Remove_Last(a, 3);
    Mani::Remove_Last(a, 0);
    EXPECT_EQ(a, (Strings{"x", "y*", "p*", "q*"}));
    EXPECT_EQ(TProtokollHooks::Log, (Strings{"init", "init", "release r", "release neu", "release neu"}));

    TProtokollHooks::Log.clear();
    Mani::SetLength(5, a);
    Mani::SetLength(2, a);
    EXPECT_EQ(a, (Strings{"x", "y*"}));
    EXPECT_EQ(TProtokollHooks::Log, (Strings{"init", "release p*", "release q*", "release neu"}));

    TProtokollHooks::Log.clear();
    Mani::AddRange(a, a, true); // appending an array to itself
    EXPECT_EQ(a, (Strings{"x", "y*", "x*", "y**"}));
    Mani::Clear(a);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(TProtokollHooks::Log,
              (Strings{"clone new x", "clone new y*", "release y**", "release x*", "release y*", "release x"}));

    TProtokollHooks::Log.clear();
    EXPECT_EQ(Mani::DeclareArray({"m", "n"}), (Strings{"m*", "n*"}));
    EXPECT_EQ(TProtokollHooks::Log, (Strings{"clone new m", "clone new n"}));
}

TEST_F(KovArrayMani, ClearEmptiesEvenWhenAReleaseRaises) {
    Strings a = {"a", "b", "c"};
    TProtokollHooks::WirftBei = "b";
    EXPECT_THROW(Mani::Clear(a), Exception);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(TProtokollHooks::Log, (Strings{"release c", "release b"}));
}

TEST_F(KovArrayMani, SubArraysAreClonedInclusive) {
    const Strings quelle = {"a", "b", "c", "d"};
    EXPECT_EQ(Mani::SubArray_ExtractCloned(quelle, 1, 2), (Strings{"b*", "c*"}));
    EXPECT_EQ(Mani::SubArray_ExtractCloned(quelle, 3, 3), (Strings{"d*"}));
    Strings ziel = {"z"};
    Mani::SubArray_ExtractCloned_Add(quelle, 0, 1, ziel);
    EXPECT_EQ(ziel, (Strings{"z", "a*", "b*"}));
    EXPECT_EQ(TProtokollHooks::Log, (Strings{"clone new b", "clone new c", "clone new d", "clone new a", "clone new b"}));

    Ints eigen = {1, 2, 3}; // default hooks: plain copies
    PlainMani::SubArray_ExtractCloned_Add(eigen, 0, 2, eigen);
    EXPECT_EQ(eigen, (Ints{1, 2, 3, 1, 2, 3}));
}

TEST(KovArrayManiQueries, FirstMatchIsEmptyIndexInRange) {
    const Ints a = {4, 7, 4, 9};
    auto ist4 = [](const int& x) { return x == 4; };
    struct Fall {
        int32_t start, erwartet;
    };
    for (const Fall& f : {Fall{0, 0}, Fall{1, 2}, Fall{3, -1}, Fall{4, -1}, Fall{99, -1}, Fall{-5, 0}})
        EXPECT_EQ(PlainMani::FirstMatchOf(a, ist4, f.start), f.erwartet) << f.start;
    EXPECT_EQ(PlainMani::FirstMatchOf(a, [](const int& x) { return x > 8; }), 3);

    for (const auto& [index, drin] : std::vector<std::pair<int32_t, bool>>{{-1, false}, {0, true}, {3, true}, {4, false}})
        EXPECT_EQ(PlainMani::IndexInRange(index, a), drin) << index;
    EXPECT_FALSE(PlainMani::IsEmpty(a));
    EXPECT_TRUE(PlainMani::IsEmpty(Ints{}));
}

std::string AlsText(const int& x) { return std::to_string(x); }

TEST(KovArrayManiQueries, ToSeperatedStringSkipsSeparatorsWhileTextIsEmpty) {
    EXPECT_EQ(PlainMani::ToSeperatedString({1, 2, 3}, &AlsText, ", "), "1, 2, 3");
    EXPECT_EQ(PlainMani::ToSeperatedString({}, &AlsText, ", "), "");
    const TKOV_ToString_Func<std::string> identisch = [](const std::string& s) { return s; };
    EXPECT_EQ(TKOV_ArrayMani<std::string>::ToSeperatedString({"", "", "x", "", "y"}, identisch, "; "), "x; ; y");
    EXPECT_EQ(PlainMani::ToSeperatedString({0, 5}, [](const int& x) { return x ? std::to_string(x) : ""; }, "-"),
              "5");
}

} // namespace
