#pragma once
// Basic value types shared by the suite: key pairs and triples, installation types,
// rights and the ordinals handed to the program object.
#include <cstdint>
#include <string>

// Two 32-bit integers: a client key, a client and its branch, a business partner.
// The empty pair (0, 0) stands for "all".
struct TIntPair {
    int32_t A = 0;
    int32_t B = 0;

    bool IsEmpty() const { return A == 0 && B == 0; }
    auto operator<=>(const TIntPair&) const = default;
    // Text form "A/B"; FromText also accepts "A-B", "A;B", "A,B" and blanks around.
    std::string ToText() const;
    static bool TryFromText(const std::string& s, TIntPair& out);
    static TIntPair FromText(const std::string& s); // raises EConvertError
};
inline constexpr TIntPair CLeeresIntPair{};
inline bool IntPairEqual(const TIntPair& a, const TIntPair& b) { return a == b; }

// Two 32-bit integers and a 16-bit integer: a process or document key.
struct TIntTrio {
    int32_t A = 0;
    int32_t B = 0;
    int16_t C = 0;
    auto operator<=>(const TIntTrio&) const = default;
};

// Three 32-bit integers: an article (product) key.
struct TInt32Trio {
    int32_t A = 0;
    int32_t B = 0;
    int32_t C = 0;
    bool IsEmpty() const { return A == 0 && B == 0 && C == 0; }
    auto operator<=>(const TInt32Trio&) const = default;
    // Fixed-width text form, each part zero-padded to AStellen digits.
    std::string ToTextUnformatted(int AStellen) const;
};

// A user right number; a right is named by a path of them.
using TKOV_WPF_Recht = uint16_t;

// Installation types: a set over at most eight types, ordinals 0 to 7.
class TRTypen {
public:
    constexpr TRTypen() = default;
    constexpr TRTypen(std::initializer_list<int> ordinals) {
        for (int o : ordinals) FBits |= Bit(o);
    }
    static constexpr TRTypen Alle() { TRTypen t; t.FBits = 0xFF; return t; }
    constexpr bool Contains(int ordinal) const { return (FBits & Bit(ordinal)) != 0; }
    constexpr bool operator==(const TRTypen&) const = default;

private:
    static constexpr uint8_t Bit(int o) { return (o >= 0 && o <= 7) ? uint8_t(1u << o) : 0; }
    uint8_t FBits = 0;
};
inline constexpr TRTypen C_RTypen_Alle = TRTypen::Alle();

// Ordinals handed to the program object at start-up and to the rights checks.
enum class TEnumProzessTypen : uint8_t { ptUnbekannt = 0, ptDienst = 1, ptKonsole = 2, ptAnwendung = 3 };
enum class TPVR_InstanceCount : uint8_t { icBeliebig = 0, icEinmalProRechner = 1, icEinmalProBenutzer = 2 };
enum class TKOV_Rect_FnktType_Erw : uint8_t { ftAnzeigen = 0, ftAusfuehren = 1, ftAendern = 2 };
enum class TKOV_Rect_ReaktionKeinRecht : uint8_t { rkMeldung = 0, rkStill = 1, rkException = 2 };

// Business days as TDateTime: days since 30.12.1899, time as fraction of a day.
using TDateTime = double;
using TDate = double;
