#pragma once
// Generic containers of the suite: TKOV_List<T> (a notifying list with a
// comparer), TKOV_ObjectList<T> (a list of object pointers that may own them)
// and TKOV_ArrayMani<T> (static helpers on plain dynamic arrays).
//
// Lists keep their elements inline in one contiguous array whose length is the
// capacity; slots at Count and above always hold the empty value T{}, so a
// grown Count exposes empty elements without initialising anything.
#include "exceptions.h"

#include <algorithm>
#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <ranges>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Other headers of the suite may declare the same alias; the guard keeps one.
#ifndef KOV_TARRAY_DEFINED
#define KOV_TARRAY_DEFINED
template <class T>
using TArray = std::vector<T>;
#endif

// Ordinals as in the Delphi runtime; lists send only cnAdded, cnExtracted and
// cnRemoved, the others exist so the values match stored/compared ordinals.
enum class TCollectionNotification : int {
    cnAdding = 0,
    cnAdded = 1,
    cnExtracting = 2,
    cnExtracted = 3,
    cnDeleting = 4,
    cnRemoved = 5,
};

// Negative, zero or positive like Delphi's IComparer<T>.Compare.
template <class T>
using TKOV_Comparer = std::function<int(const T&, const T&)>;

template <class T>
class TKOV_List;

template <class T>
using TKOV_CollectionNotifyEvent =
    std::function<void(TKOV_List<T>& ASender, const T& AItem, TCollectionNotification AAction)>;

// The comparer used when a list gets none. Specialise it for types whose
// natural order is not given by <=> or <.
template <class T>
struct TKOV_DefaultComparer {
    static int Compare(const T& A, const T& B) {
        if constexpr (std::three_way_comparable<T>) {
            const auto c = A <=> B;
            return c < 0 ? -1 : (c > 0 ? 1 : 0); // unordered (NaN) counts as equal
        } else if constexpr (std::equality_comparable<T>) {
            return A < B ? -1 : (A == B ? 0 : 1);
        } else {
            return A < B ? -1 : (B < A ? 1 : 0);
        }
    }
};

// Anything range-for can walk whose elements convert to T ("enumerable").
template <class R, class T>
concept KOV_EnumerableOf =
    std::ranges::input_range<const R> && std::convertible_to<std::ranges::range_reference_t<const R>, T>;

// ---------------------------------------------------------------------------
// TKOV_List<T>
// ---------------------------------------------------------------------------
template <class T>
class TKOV_List {
public:
    using TComparer = TKOV_Comparer<T>;
    using TNotifyEvent = TKOV_CollectionNotifyEvent<T>;

    // Delphi-style enumerator. Works by index and rereads Count on every step,
    // so changing the list while enumerating is defined (if not always useful).
    class TEnumerator {
    public:
        explicit TEnumerator(const TKOV_List& AList) : FItems(&AList) {}
        bool MoveNext() {
            if (FIndex >= FItems->Count()) return false;
            ++FIndex;
            return FIndex < FItems->Count();
        }
        T Current() const { return FItems->GetItem(FIndex); }

    private:
        const TKOV_List* FItems;
        int32_t FIndex = -1;
    };

    // Iterator for range-for and std algorithms; same index semantics as
    // TEnumerator. Dereferencing yields a copy through GetItem.
    class TIterator {
    public:
        using iterator_concept = std::forward_iterator_tag;
        using iterator_category = std::input_iterator_tag; // yields values, not references
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = T;
        using pointer = void;

        TIterator() = default;
        T operator*() const { return FList->GetItem(FIndex); }
        TIterator& operator++() {
            ++FIndex;
            return *this;
        }
        TIterator operator++(int) {
            TIterator alt = *this;
            ++FIndex;
            return alt;
        }
        friend bool operator==(const TIterator& A, const TIterator& B) {
            if (A.FEnd && B.FEnd) return true;
            if (A.FEnd) return B.AtEnd();
            if (B.FEnd) return A.AtEnd();
            return A.FIndex == B.FIndex;
        }

    private:
        friend class TKOV_List;
        TIterator(const TKOV_List* AList, int32_t AIndex, bool AEnd)
            : FList(AList), FIndex(AIndex), FEnd(AEnd) {}
        bool AtEnd() const { return FIndex >= FList->Count(); }

        const TKOV_List* FList = nullptr;
        int32_t FIndex = 0;
        bool FEnd = false; // the end iterator follows the current Count
    };

    // --- construction ------------------------------------------------------
    TKOV_List() : FComparer(DefaultComparer()) {}
    // An empty std::function means "use the default comparer".
    explicit TKOV_List(TComparer AComparer)
        : FComparer(AComparer ? std::move(AComparer) : DefaultComparer()) {}
    // Not from another list: that would be a silent copy (use Clone/AssignFrom).
    template <KOV_EnumerableOf<T> R>
        requires(!std::is_base_of_v<TKOV_List, R>)
    explicit TKOV_List(const R& ACollection) : TKOV_List() {
        InsertRange(0, ACollection);
    }
    TKOV_List(std::initializer_list<T> AValues) : TKOV_List() {
        InsertRange(0, AValues);
    }

    // New list with the default comparer (not AMother's) and copies of its elements.
    static TKOV_List Clone(const TKOV_List& AMother) {
        TKOV_List neu;
        neu.AddRange(AMother.Elements());
        return neu;
    }

    // Lists notify and may own their elements, so copying is explicit
    // (Clone / AssignFrom). Moving hands everything over, including OnNotify;
    // the source is left empty without notifications.
    TKOV_List(const TKOV_List&) = delete;
    TKOV_List& operator=(const TKOV_List&) = delete;
    TKOV_List(TKOV_List&& AOther) noexcept
        : FItems(std::exchange(AOther.FItems, TArray<T>())),
          FOnNotify(std::exchange(AOther.FOnNotify, nullptr)),
          FCount(std::exchange(AOther.FCount, 0)),
          FComparer(std::exchange(AOther.FComparer, DefaultComparer())) {}
    // The target's old elements are removed (and notified) first.
    TKOV_List& operator=(TKOV_List&& AOther) {
        if (this != &AOther) {
            Clear();
            FItems = std::exchange(AOther.FItems, TArray<T>());
            FCount = std::exchange(AOther.FCount, 0);
            FComparer = std::exchange(AOther.FComparer, DefaultComparer());
            FOnNotify = std::exchange(AOther.FOnNotify, nullptr);
        }
        return *this;
    }

    // Removes every element with cnRemoved. A destructor cannot throw, so an
    // exception from a notification handler here is swallowed.
    virtual ~TKOV_List() {
        try {
            SetCapacity(0);
        } catch (...) {
        }
    }

    // --- properties --------------------------------------------------------
    int32_t Count() const { return FCount; }
    int32_t Capacity() const { return GetCapacity(); }
    const TNotifyEvent& OnNotify() const { return FOnNotify; }
    void SetOnNotify(TNotifyEvent AOnNotify) { FOnNotify = std::move(AOnNotify); }

    T Items(int32_t Index) const { return GetItem(Index); }
    T operator[](int32_t Index) const { return GetItem(Index); }

    // --- element access ----------------------------------------------------
    virtual T GetItem(int32_t Index) const {
        CheckIndex(Index);
        return FItems[static_cast<size_t>(Index)];
    }

    // Stores Value, then notifies the old element removed and the new one added.
    virtual void SetItem(int32_t Index, const T& Value) {
        CheckIndex(Index);
        if (InStorage(&Value)) { // Value would be moved out from under us
            const T kopie(Value);
            TKOV_List::SetItem(Index, kopie);
            return;
        }
        T& slot = FItems[static_cast<size_t>(Index)];
        T alt = std::move(slot);
        slot = Value;
        Items_Notify(alt, TCollectionNotification::cnRemoved);
        Items_Notify(Value, TCollectionNotification::cnAdded);
    }

    // Address of the slot; invalid after the capacity changes.
    virtual T* GetItem_Ptr(int32_t Index) {
        CheckIndex(Index);
        return &FItems[static_cast<size_t>(Index)];
    }

    virtual void SetCount(int32_t ACount) {
        if (ACount < 0) RaiseArgumentOutOfRange();
        if (ACount > GetCapacity()) SetCapacity(ACount);
        if (ACount < FCount) DeleteRange(ACount, FCount - ACount);
        FCount = ACount; // growing exposes empty slots, nobody is notified
    }

    virtual int32_t GetCapacity() const { return static_cast<int32_t>(FItems.size()); }

    virtual void SetCapacity(int32_t ACapacity) {
        if (ACapacity < FCount) SetCount(ACapacity); // raises for a negative capacity
        ResizeItems(ACapacity);
    }

    virtual TArray<T> ToArray() const {
        const auto e = Elements();
        return TArray<T>(e.begin(), e.end());
    }

    // --- adding ------------------------------------------------------------
    virtual int32_t Add(const T& Value) {
        if (InStorage(&Value)) {
            const T kopie(Value);
            return TKOV_List::Add(kopie);
        }
        Items_EnsureCapacity(AnzahlPlus(FCount, 1));
        FItems[static_cast<size_t>(FCount)] = Value;
        ++FCount;
        Items_Notify(Value, TCollectionNotification::cnAdded);
        return FCount - 1;
    }

    virtual void Insert(int32_t Index, const T& Value) {
        if (Index < 0 || Index > FCount) RaiseArgumentOutOfRange();
        if (InStorage(&Value)) {
            const T kopie(Value);
            TKOV_List::Insert(Index, kopie);
            return;
        }
        Items_EnsureCapacity(AnzahlPlus(FCount, 1));
        auto b = FItems.begin();
        if (Index < FCount) std::move_backward(b + Index, b + FCount, b + FCount + 1);
        FItems[static_cast<size_t>(Index)] = Value;
        ++FCount;
        Items_Notify(Value, TCollectionNotification::cnAdded);
    }

    // Open-array form: the block is copied in first, then each value is
    // notified in order.
    virtual void InsertRange(int32_t Index, std::span<const T> Values) {
        if (Index < 0 || Index > FCount) RaiseArgumentOutOfRange();
        if (Values.empty()) return;
        if (InStorage(Values.data())) { // e.g. AddRange of our own elements
            const TArray<T> kopie(Values.begin(), Values.end());
            TKOV_List::InsertRange(Index, std::span<const T>(kopie));
            return;
        }
        const int32_t n = AnzahlPlus(0, Values.size());
        Items_EnsureCapacity(AnzahlPlus(FCount, Values.size()));
        auto b = FItems.begin();
        if (Index < FCount) std::move_backward(b + Index, b + FCount, b + FCount + n);
        std::copy(Values.begin(), Values.end(), b + Index);
        FCount += n;
        for (const T& v : Values) Items_Notify(v, TCollectionNotification::cnAdded);
    }
    void InsertRange(int32_t Index, std::initializer_list<T> Values) {
        InsertRange(Index, std::span<const T>(Values.begin(), Values.size()));
    }
    // Enumerable form: one Insert per element at Index, Index + 1, ...
    // Contiguous arrays of T (std::vector, std::array) count as open arrays.
    template <KOV_EnumerableOf<T> R>
    void InsertRange(int32_t Index, const R& ACollection) {
        if constexpr (std::ranges::contiguous_range<const R> && std::ranges::sized_range<const R> &&
                      std::same_as<std::ranges::range_value_t<const R>, T>) {
            InsertRange(Index, std::span<const T>(std::ranges::data(ACollection), std::ranges::size(ACollection)));
        } else {
            if constexpr (std::is_base_of_v<TKOV_List, R>) {
                if (static_cast<const void*>(&ACollection) == static_cast<const void*>(this)) {
                    const TArray<T> kopie = ToArray(); // we would chase our own tail
                    for (const T& v : kopie) Insert(Index++, v);
                    return;
                }
            }
            for (auto&& v : ACollection) Insert(Index++, v);
        }
    }

    void AddRange(std::span<const T> Values) { InsertRange(FCount, Values); }
    void AddRange(std::initializer_list<T> Values) { InsertRange(FCount, Values); }
    template <KOV_EnumerableOf<T> R>
    void AddRange(const R& ACollection) {
        InsertRange(FCount, ACollection);
    }

    // Appends Value unless it is contained; returns its index either way.
    int32_t AddIfNotContained(const T& Value) {
        const int32_t i = IndexOf(Value);
        return i >= 0 ? i : Add(Value);
    }

    int32_t AddToSortedList_IfNotContained(const T& AItem) {
        return AddToSortedList_IfNotContained(AItem, FComparer);
    }
    // Returns the position of the existing or the newly inserted element.
    int32_t AddToSortedList_IfNotContained(const T& AItem, const TComparer& AComparer) {
        int32_t i = 0;
        if (!BinarySearch(AItem, i, AComparer)) Insert(i, AItem);
        return i;
    }

    // --- removing ----------------------------------------------------------
    void Delete(int32_t Index) { Items_DeleteAt(Index, TCollectionNotification::cnRemoved); }

    // Deletes the first equal element; returns its former index or -1.
    int32_t Remove(const T& Value) {
        const int32_t i = IndexOf(Value);
        if (i >= 0) Delete(i);
        return i;
    }

    // Takes the first equal element out with cnExtracted (an owning list does
    // not free it); T{} and no change when there is none.
    virtual T Extract(const T& Value) {
        const int32_t i = IndexOf(Value);
        if (i < 0) return T{};
        T ergebnis = FItems[static_cast<size_t>(i)];
        Items_DeleteAt(i, TCollectionNotification::cnExtracted);
        return ergebnis;
    }

    // The removed elements are notified only after the list is consistent again.
    virtual void DeleteRange(int32_t AIndex, int32_t ACount) {
        if (AIndex < 0 || ACount < 0 || AIndex > FCount - ACount) RaiseArgumentOutOfRange();
        if (ACount == 0) return;
        auto b = FItems.begin();
        TArray<T> weg(std::make_move_iterator(b + AIndex), std::make_move_iterator(b + AIndex + ACount));
        std::move(b + AIndex + ACount, b + FCount, b + AIndex);
        std::fill(b + (FCount - ACount), b + FCount, T{});
        FCount -= ACount;
        for (const T& v : weg) Items_Notify(v, TCollectionNotification::cnRemoved);
    }

    // Removes every element (notified), then releases the storage.
    virtual void Clear() {
        SetCount(0);
        SetCapacity(0);
    }

    // --- reordering (never notifies) ---------------------------------------
    virtual void Exchange(int32_t Index1, int32_t Index2) {
        CheckIndex(Index1);
        CheckIndex(Index2);
        using std::swap;
        swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
    }

    virtual void Move(int32_t CurIndex, int32_t NewIndex) {
        if (CurIndex == NewIndex) return;
        CheckIndex(NewIndex);
        CheckIndex(CurIndex);
        auto b = FItems.begin();
        if (CurIndex < NewIndex)
            std::rotate(b + CurIndex, b + CurIndex + 1, b + NewIndex + 1);
        else
            std::rotate(b + NewIndex, b + CurIndex, b + CurIndex + 1);
    }

    virtual void Reverse() { std::reverse(FItems.begin(), FItems.begin() + FCount); }

    virtual void Sort() { Sort(FComparer); }
    // An empty comparer falls back to the list's own.
    virtual void Sort(const TComparer& AComparer) {
        const TComparer& cmp = AComparer ? AComparer : FComparer;
        std::sort(FItems.begin(), FItems.begin() + FCount,
                  [&cmp](const T& A, const T& B) { return cmp(A, B) < 0; });
    }

    // --- searching ---------------------------------------------------------
    T First() const { return GetItem(0); }
    T Last() const { return GetItem(FCount - 1); }

    bool Contains(const T& Value) const { return IndexOf(Value) >= 0; }

    int32_t IndexOf(const T& Value) const {
        for (int32_t i = 0; i < FCount; ++i)
            if (FComparer(FItems[static_cast<size_t>(i)], Value) == 0) return i;
        return -1;
    }

    int32_t LastIndexOf(const T& Value) const {
        for (int32_t i = FCount - 1; i >= 0; --i)
            if (FComparer(FItems[static_cast<size_t>(i)], Value) == 0) return i;
        return -1;
    }

    virtual bool BinarySearch(const T& Item) const {
        int32_t i = 0;
        return BinarySearch(Item, i, FComparer);
    }
    virtual bool BinarySearch(const T& Item, int32_t& Index) const { return BinarySearch(Item, Index, FComparer); }
    // The list must be sorted by AComparer. Index receives the first equal
    // position when found, otherwise the position where Item belongs.
    virtual bool BinarySearch(const T& Item, int32_t& Index, const TComparer& AComparer) const {
        const TComparer& cmp = AComparer ? AComparer : FComparer;
        int32_t lo = 0;
        int32_t hi = FCount - 1;
        bool gefunden = false;
        while (lo <= hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            const int c = cmp(FItems[static_cast<size_t>(mid)], Item);
            if (c < 0) {
                lo = mid + 1;
            } else {
                hi = mid - 1;
                if (c == 0) gefunden = true;
            }
        }
        Index = lo;
        return gefunden;
    }

    // --- misc --------------------------------------------------------------
    bool IsEmpty() const { return FCount < 1; }
    bool IndexInRange(int32_t AIndex) const { return AIndex >= 0 && AIndex < FCount; }
    void TrimExcess() { SetCapacity(FCount); }

    TEnumerator GetEnumerator() const { return TEnumerator(*this); }
    TIterator begin() const { return TIterator(this, 0, false); }
    TIterator end() const { return TIterator(this, 0, true); }

    // Clear, then append AOther's elements in order. Assigning a list to
    // itself changes nothing.
    void AssignFrom(const TKOV_List& AOther) {
        if (&AOther == this) return;
        Clear();
        AddRange(AOther.Elements());
    }

    // Replaces the content by the merge of AOtherArray (non-null lists, not
    // this one): one list is copied as is; several give their sorted union,
    // or with AInAllenAnderen their sorted intersection. The intersection
    // sorts every source it visits in place.
    void MergeFrom(const TArray<TKOV_List*>& AOtherArray, bool AInAllenAnderen) {
        Clear();
        if (AOtherArray.empty()) return;
        if (AOtherArray.size() == 1) {
            AssignFrom(*AOtherArray[0]);
            return;
        }
        if (!AInAllenAnderen) {
            for (TKOV_List* quelle : AOtherArray)
                for (int32_t i = 0; i < quelle->Count(); ++i) AddToSortedList_IfNotContained(quelle->GetItem(i));
            return;
        }
        size_t kleinste = 0;
        for (size_t k = 0; k < AOtherArray.size(); ++k) {
            AOtherArray[k]->Sort(); // each with its own comparer; BinarySearch below relies on it
            if (AOtherArray[k]->Count() <= AOtherArray[kleinste]->Count()) kleinste = k;
            if (AOtherArray[kleinste]->Count() == 0) return; // nothing can be in all of them
        }
        const TKOV_List& basis = *AOtherArray[kleinste];
        for (int32_t i = 0; i < basis.Count(); ++i) {
            const T item = basis.GetItem(i);
            bool inAllen = true;
            for (size_t k = 0; k < AOtherArray.size() && inAllen; ++k)
                if (k != kleinste) inAllen = AOtherArray[k]->BinarySearch(item);
            if (inAllen) AddToSortedList_IfNotContained(item);
        }
    }

    // Capacity for ACount elements starting from AAlt: ACount when there is
    // none yet, otherwise AAlt doubled until it suffices. Raises EOutOfMemory
    // when a doubling leaves the signed 32-bit range.
    static int32_t NeueKapazitaet(int32_t AAlt, int32_t ACount) {
        if (AAlt <= 0) return ACount;
        int64_t neu = AAlt;
        do {
            neu *= 2;
            if (neu > std::numeric_limits<int32_t>::max()) RaiseOutOfMemory();
        } while (neu < ACount);
        return static_cast<int32_t>(neu);
    }

protected:
    virtual void Items_Grow(int32_t ACount) { SetCapacity(NeueKapazitaet(GetCapacity(), ACount)); }

    virtual void Items_EnsureCapacity(int32_t ACount) {
        if (ACount > GetCapacity())
            Items_Grow(ACount);
        else if (ACount < 0)
            RaiseOutOfMemory(); // an overflowed count
    }

    // The notification comes last, when the list is already consistent.
    virtual void Items_DeleteAt(int32_t Index, TCollectionNotification Action) {
        CheckIndex(Index);
        auto b = FItems.begin();
        T alt = std::move(b[Index]);
        b[Index] = T{};
        --FCount;
        if (Index != FCount) {
            std::move(b + Index + 1, b + FCount + 1, b + Index);
            b[FCount] = T{};
        }
        Items_Notify(alt, Action);
    }

    virtual void Items_Notify(const T& Item, TCollectionNotification Action) {
        if (FOnNotify) FOnNotify(*this, Item, Action);
    }

    void CheckIndex(int32_t Index) const {
        if (Index < 0 || Index >= FCount) RaiseArgumentOutOfRange();
    }

    [[noreturn]] static void RaiseArgumentOutOfRange() {
        throw EArgumentOutOfRangeException("Argument außerhalb des gültigen Bereichs");
    }
    [[noreturn]] static void RaiseOutOfMemory() { throw EOutOfMemory("Zu wenig Arbeitsspeicher"); }

    static TComparer DefaultComparer() { return &TKOV_DefaultComparer<T>::Compare; }

    // FItems.size() is the capacity; slots from FCount on hold T{}.
    TArray<T> FItems;
    TNotifyEvent FOnNotify;
    int32_t FCount = 0;
    TComparer FComparer;

private:
    std::span<const T> Elements() const { return std::span<const T>(FItems.data(), static_cast<size_t>(FCount)); }

    bool InStorage(const T* p) const {
        if (FItems.empty()) return false;
        const std::less<const T*> kleiner;
        return !kleiner(p, FItems.data()) && kleiner(p, FItems.data() + FItems.size());
    }

    static int32_t AnzahlPlus(int32_t ACount, size_t ADazu) {
        if (ADazu > static_cast<size_t>(std::numeric_limits<int32_t>::max() - ACount)) RaiseOutOfMemory();
        return ACount + static_cast<int32_t>(ADazu);
    }

    // Sets the length to exactly ACapacity and gives freed memory back.
    void ResizeItems(int32_t ACapacity) {
        const auto neu = static_cast<size_t>(ACapacity);
        if (neu == FItems.size()) return;
        try {
            if (neu == 0) {
                TArray<T>().swap(FItems);
            } else if (neu > FItems.size()) {
                FItems.reserve(neu); // exactly, not the vector's own growth
                FItems.resize(neu);
            } else {
                FItems.resize(neu);
                FItems.shrink_to_fit();
            }
        } catch (const std::bad_alloc&) {
            RaiseOutOfMemory();
        } catch (const std::length_error&) {
            RaiseOutOfMemory();
        }
    }
};

// ---------------------------------------------------------------------------
// TKOV_ObjectList<T>: a list of T*; when it owns its objects, every object it
// loses with cnRemoved (Delete, Remove, SetItem, DeleteRange, Clear, SetCount,
// destruction) is deleted. Extracted objects are handed back, never deleted.
// Objects are deleted as T*, so T needs a virtual destructor when the list
// holds objects of derived classes.
// ---------------------------------------------------------------------------
template <class T>
class TKOV_ObjectList : public TKOV_List<T*> {
    using TBasis = TKOV_List<T*>;

public:
    using typename TBasis::TComparer;

    explicit TKOV_ObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    TKOV_ObjectList(TComparer AComparer, bool AOwnsObjects = true)
        : TBasis(std::move(AComparer)), FOwnsObjects(AOwnsObjects) {}
    template <KOV_EnumerableOf<T*> R>
        requires(!std::is_base_of_v<TBasis, R>)
    explicit TKOV_ObjectList(const R& ACollection, bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {
        this->InsertRange(0, ACollection);
    }

    TKOV_ObjectList(TKOV_ObjectList&& AOther) noexcept
        : TBasis(static_cast<TBasis&&>(AOther)), FOwnsObjects(AOther.FOwnsObjects) {}
    TKOV_ObjectList& operator=(TKOV_ObjectList&& AOther) {
        TBasis::operator=(static_cast<TBasis&&>(AOther)); // our old objects go with our old ownership
        FOwnsObjects = AOther.FOwnsObjects;
        return *this;
    }

    // The base destructor would only reach the base Items_Notify, so the
    // objects are released here while this class is still alive.
    ~TKOV_ObjectList() override {
        try {
            this->SetCapacity(0);
        } catch (...) {
        }
    }

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool AOwnsObjects) { FOwnsObjects = AOwnsObjects; }

protected:
    // Handlers see the object before it is deleted.
    void Items_Notify(T* const& Item, TCollectionNotification Action) override {
        TBasis::Items_Notify(Item, Action);
        if (FOwnsObjects && Action == TCollectionNotification::cnRemoved) delete Item;
    }

private:
    bool FOwnsObjects = false;
};

// ---------------------------------------------------------------------------
// TKOV_ArrayMani<T, Hooks>: static operations on TArray<T>. Hooks supplies
//   static void Element_Release(T&)                  for each element that leaves
//   static void Element_Init(T&)                     for each new empty element
//   static void Element_Clone(const T&, bool, T&)    copy; bool = the slot is new
// Derive a hooks type from TKOV_ArrayMani_DefaultHooks<T> to replace only some.
// ---------------------------------------------------------------------------
template <class T>
using TKOV_ArrayMani_Match_Func = std::function<bool(const T&)>;

template <class T>
using TKOV_ToString_Func = std::string (*)(const T&);

template <class T>
struct TKOV_ArrayMani_DefaultHooks {
    static void Element_Release(T& /*AElement*/) {}
    static void Element_Init(T& /*AElement*/) {}
    static void Element_Clone(const T& ASource, bool /*AIsNew*/, T& ADest) { ADest = ASource; }
};

template <class T, class Hooks = TKOV_ArrayMani_DefaultHooks<T>>
class TKOV_ArrayMani {
public:
    TKOV_ArrayMani() = delete;

    // Appends AElement (cloned with AIsNew = true when AUseClone); returns its index.
    static int32_t Add(const T& AElement, TArray<T>& AArray, bool AUseClone = false) {
        const auto ergebnis = static_cast<int32_t>(AArray.size());
        if (AUseClone) {
            T neu{}; // cloned before growing: AElement may live in AArray
            Hooks::Element_Clone(AElement, true, neu);
            AArray.push_back(std::move(neu));
        } else {
            AArray.push_back(AElement);
        }
        return ergebnis;
    }

    static void AddRange(const TArray<T>& ASource, TArray<T>& AArray, bool AUseClone = false) {
        const size_t n = ASource.size(); // by index: ASource may be AArray itself
        AArray.reserve(AArray.size() + n);
        for (size_t i = 0; i < n; ++i) Add(ASource[i], AArray, AUseClone);
    }
    static void AddRange(std::initializer_list<T> ASource, TArray<T>& AArray, bool AUseClone = false) {
        AArray.reserve(AArray.size() + ASource.size());
        for (const T& e : ASource) Add(e, AArray, AUseClone);
    }

    // Appends AAnz empty elements, each passed to Element_Init; returns the former length.
    static int32_t AddEmpty(TArray<T>& AArray, int32_t AAnz) {
        if (AAnz < 0) RaiseArgumentOutOfRange();
        const auto ergebnis = static_cast<int32_t>(AArray.size());
        AArray.resize(AArray.size() + static_cast<size_t>(AAnz));
        for (size_t i = static_cast<size_t>(ergebnis); i < AArray.size(); ++i) Hooks::Element_Init(AArray[i]);
        return ergebnis;
    }

    // Releases from last to first; the array ends up empty even if a release raises.
    static void Clear(TArray<T>& AArray) {
        try {
            for (size_t i = AArray.size(); i-- > 0;) Hooks::Element_Release(AArray[i]);
        } catch (...) {
            TArray<T>().swap(AArray);
            throw;
        }
        TArray<T>().swap(AArray);
    }

    static bool IsEmpty(const TArray<T>& AArray) { return AArray.size() < 1; }

    static bool IndexInRange(int32_t AIndex, const TArray<T>& ASrc) {
        return AIndex >= 0 && static_cast<size_t>(AIndex) < ASrc.size();
    }

    // First index from AStartInd on whose element AMatchFunc accepts, else -1.
    static int32_t FirstMatchOf(const TArray<T>& ASrc, const TKOV_ArrayMani_Match_Func<T>& AMatchFunc,
                                int32_t AStartInd = 0) {
        for (size_t i = static_cast<size_t>(std::max(AStartInd, 0)); i < ASrc.size(); ++i)
            if (AMatchFunc(ASrc[i])) return static_cast<int32_t>(i);
        return -1;
    }

    // Releases the element at AInd and closes the gap: by moving the tail down
    // (AKeepSorting) or by moving the last element into it.
    static void Remove(int32_t AInd, TArray<T>& AArray, bool AKeepSorting, bool AUseCloneForCopy = false) {
        if (!IndexInRange(AInd, AArray)) throw EListError("Index " + std::to_string(AInd) + " nicht im Array!");
        const auto ind = static_cast<size_t>(AInd);
        const size_t letzter = AArray.size() - 1;
        Hooks::Element_Release(AArray[ind]);
        if (ind < letzter) {
            if (AKeepSorting) {
                for (size_t i = ind; i < letzter; ++i) Kopieren(AArray[i + 1], AArray[i], AUseCloneForCopy);
            } else {
                Kopieren(AArray[letzter], AArray[ind], AUseCloneForCopy);
            }
        }
        AArray.pop_back();
    }

    // Releases the last AAnz elements (ascending) and shortens the array.
    static void Remove_Last(TArray<T>& AArray, int32_t AAnz = 1) {
        if (AAnz == 0) return;
        if (AAnz < 0) RaiseArgumentOutOfRange();
        if (static_cast<size_t>(AAnz) > AArray.size())
            throw EListError("Anzahl Remove " + std::to_string(AAnz) + " > Länge " + std::to_string(AArray.size()) +
                             "!");
        const size_t neu = AArray.size() - static_cast<size_t>(AAnz);
        for (size_t i = neu; i < AArray.size(); ++i) Hooks::Element_Release(AArray[i]);
        AArray.resize(neu);
    }

    static void SetLength(int32_t ALength, TArray<T>& AArray) {
        const auto laenge = static_cast<int64_t>(AArray.size());
        if (ALength > laenge)
            AddEmpty(AArray, static_cast<int32_t>(ALength - laenge));
        else if (ALength < laenge)
            Remove_Last(AArray, static_cast<int32_t>(laenge - ALength));
    }

    // Clones of ASrc[AStartInd..AEndInd], both inclusive.
    static TArray<T> SubArray_ExtractCloned(const TArray<T>& ASrc, int32_t AStartInd, int32_t AEndInd) {
        TArray<T> ergebnis;
        SubArray_ExtractCloned_Add(ASrc, AStartInd, AEndInd, ergebnis);
        return ergebnis;
    }

    static void SubArray_ExtractCloned_Add(const TArray<T>& ASrc, int32_t AStartInd, int32_t AEndInd,
                                           TArray<T>& AArrayToAddTo) {
        if (!IndexInRange(AStartInd, ASrc))
            throw EListError("StartIndex " + std::to_string(AStartInd) + " nicht im Array!");
        if (!IndexInRange(AEndInd, ASrc)) throw EListError("EndIndex " + std::to_string(AEndInd) + " nicht im Array!");
        if (AEndInd < AStartInd)
            throw EListError("StartInd " + std::to_string(AStartInd) + " > EndIndex " + std::to_string(AEndInd) +
                             "!");
        AArrayToAddTo.reserve(AArrayToAddTo.size() + static_cast<size_t>(AEndInd - AStartInd + 1));
        // By index: ASrc may be AArrayToAddTo itself.
        for (int32_t i = AStartInd; i <= AEndInd; ++i) Add(ASrc[static_cast<size_t>(i)], AArrayToAddTo, true);
    }

    // Converted elements joined by ASeperator; a separator is only put after
    // non-empty text, so leading empty conversions leave no separators.
    template <class F>
        requires std::is_invocable_r_v<std::string, F&, const T&>
    static std::string ToSeperatedString(const TArray<T>& AArray, F&& AToStringFunc, const std::string& ASeperator) {
        std::string ergebnis;
        for (const T& e : AArray) {
            if (!ergebnis.empty()) ergebnis += ASeperator;
            ergebnis += AToStringFunc(e);
        }
        return ergebnis;
    }

    static TArray<T> DeclareArray(std::initializer_list<T> ASrc) {
        TArray<T> ergebnis;
        AddRange(ASrc, ergebnis, true);
        return ergebnis;
    }

private:
    static void Kopieren(T& ASource, T& ADest, bool AUseClone) {
        if (AUseClone)
            Hooks::Element_Clone(ASource, false, ADest);
        else
            ADest = std::move(ASource); // the source slot is discarded or overwritten next
    }

    [[noreturn]] static void RaiseArgumentOutOfRange() {
        throw EArgumentOutOfRangeException("Argument außerhalb des gültigen Bereichs");
    }
};
