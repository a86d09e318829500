#include "vrlist.h"

#include "exceptions.h"
#include "rdldatum.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

TVRFormatSettings Englisch() {
    TVRFormatSettings f;
    f.DecimalSeparator = ".";
    f.ThousandSeparator = ",";
    f.ShortDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return f;
}

// One cell in a one-column list, shown as the grid would show it.
std::string Gezeigt(const TVRItem& AWert, TVRFormatType ATyp, const std::string& AMuster = {},
                    TVRFormatRoutine ARoutine = {}, const TVRFormatSettings& AFormat = TVRFormatSettings::Deutsch()) {
    TVRList liste(AFormat);
    TVRColumn& s = liste.ColumnAdd();
    s.FormatType = ATyp;
    s.FormatStr = AMuster;
    s.FormatRoutine = std::move(ARoutine);
    liste.RowAdd({AWert});
    return liste.GetCellValueAsFormatedString(0, 0);
}

TEST(VRListFormat, PatternsRoutinesAndLocale) {
    const auto p = TVRFormatType::vrftPattern;
    const auto r = TVRFormatType::vrftRoutine;
    const auto n = TVRFormatType::vrftNone;
    struct Fall {
        TVRItem Wert;
        TVRFormatType Typ;
        std::string Muster;
        TVRFormatRoutine Routine;
        std::string Erwartet;
        TVRFormatSettings Format = TVRFormatSettings::Deutsch();
    };
    const std::vector<Fall> faelle = {
        {TVRItem::Float(1234.56), p, "%.2n", {}, "1.234,56"},
        {TVRItem::Float(1234.5), p, "%n", {}, "1.234,50"},
        {TVRItem::Float(1234.56), p, "%n %%", {}, "1.234,56 %"},
        {TVRItem::Float(1234.567), p, "%2.2n", {}, "1.234,57"},
        {TVRItem::Float(-1234567.891), p, "%n", {}, "-1.234.567,89"},
        {TVRItem::Float(-0.001), p, "%n", {}, "0,00"},
        {TVRItem::Float(999.999), p, "%n", {}, "1.000,00"},
        {TVRItem::Integer(42), p, "%n %%", {}, "42,00 %"},
        {TVRItem::Float(1234.56), p, "%.2n", {}, "1,234.56", Englisch()},
        {TVRItem::Date(EncodeDate(2025, 1, 6)), p, "dd.mm.yyyy (ddd)", {}, "06.01.2025 (Mo)"},
        {TVRItem::Date(EncodeDate(2025, 1, 12)), p, "dd.mm.yyyy (ddd)", {}, "12.01.2025 (So)"},
        {TVRItem::Date(EncodeDate(2025, 1, 12)), p, "dd.mm.yyyy (ddd)", {}, "12.01.2025 (Sun)", Englisch()},
        {TVRItem::Date(EncodeDate(2024, 12, 30)), r, "", Format_DateVRItem_2_BeschreibungKalenderwoche, "KW 01/2025"},
        {TVRItem::Date(EncodeDate(2021, 1, 3)), r, "", Format_DateVRItem_2_BeschreibungKalenderwoche, "KW 53/2020"},
        {TVRItem::Date(EncodeDate(2025, 3, 15)), r, "", Format_DateVRItem_2_BeschreibungMonat, "März 2025"},
        {TVRItem::Date(EncodeDate(2025, 11, 15)), r, "", Format_DateVRItem_2_BeschreibungQuartal, "4. Quartal 2025"},
        {TVRItem::Date(EncodeDate(2025, 1, 8)), r, "", Format_DateVRItem_2_Wochentag, "Mittwoch"},
        {TVRItem::Date(EncodeDate(2025, 1, 8)), n, "", {}, "08.01.2025"},
        {TVRItem::Float(0.5), n, "", {}, "0,5"},
        {TVRItem::IntPair({3, 17}), n, "", {}, TIntPair{3, 17}.ToText()},
        {TVRItem::IntTrio({3, 17, 2}), n, "", {}, "3/17/2"},
        {TVRItem(), p, "%n", {}, ""},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Gezeigt(f.Wert, f.Typ, f.Muster, f.Routine, f.Format), f.Erwartet) << f.Muster << " -> " << f.Erwartet;
}

// Qt sets the C library's locale from the desktop at start-up: numbers shown, written and
// read must come out the same under every one of them (under de_DE printf writes "1234,5").
TEST(VRListFormat, NumbersAreTheSameUnderEveryProcessLocale) {
    const std::string vorher = std::setlocale(LC_ALL, nullptr);
    for (const char* ort : {"C", "C.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, ort), nullptr) << ort << " fehlt (scripts/setup erzeugt es)";
        const auto p = TVRFormatType::vrftPattern;
        EXPECT_EQ(Gezeigt(TVRItem::Float(172861.3), p, "%n"), "172.861,30") << ort;
        EXPECT_EQ(Gezeigt(TVRItem::Float(46.514), p, "%n %%"), "46,51 %") << ort;
        EXPECT_EQ(Gezeigt(TVRItem::Float(-0.5), TVRFormatType::vrftNone), "-0,5") << ort;
        EXPECT_EQ(Gezeigt(TVRItem::Float(1234.56), p, "%.2n", {}, Englisch()), "1,234.56") << ort;
        double d = 0;
        EXPECT_TRUE(TryText2Float("1.234,56", d, TVRFormatSettings::Deutsch())) << ort;
        EXPECT_DOUBLE_EQ(d, 1234.56) << ort;
        EXPECT_TRUE(TryText2Float("+2,5", d, TVRFormatSettings::Deutsch())) << ort;
        EXPECT_DOUBLE_EQ(d, 2.5) << ort;
        EXPECT_FALSE(TryText2Float("1e999", d, TVRFormatSettings::Deutsch())) << ort;
    }
    std::setlocale(LC_ALL, vorher.c_str());
}

// A damaged figure never shows as "nan" or "inf".
TEST(VRListFormat, NonFiniteValuesShowEmpty) {
    for (const double w : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(Gezeigt(TVRItem::Float(w), TVRFormatType::vrftPattern, "%n %%"), "");
        EXPECT_EQ(Gezeigt(TVRItem::Float(w), TVRFormatType::vrftNone), "");
    }
}

TEST(VRListFormat, PeriodOrdersFollowTimeNotText) {
    // Each pair: the earlier period first, whose text sorts after the later one's.
    struct Fall {
        TVRCompareProc Proc;
        TDateTime Frueher, Spaeter, GleicherZeitraum;
    };
    const std::vector<Fall> faelle = {
        {CompareProc_CalendarWeek, EncodeDate(2021, 1, 3), EncodeDate(2021, 1, 4), EncodeDate(2020, 12, 28)},
        {CompareProc_Month, EncodeDate(2025, 1, 31), EncodeDate(2025, 4, 1), EncodeDate(2025, 1, 1)},
        {CompareProc_Quarter, EncodeDate(2024, 12, 1), EncodeDate(2025, 1, 1), EncodeDate(2024, 10, 1)},
        {CompareProc_WeekDay, EncodeDate(2025, 1, 6), EncodeDate(2025, 1, 7), EncodeDate(2025, 1, 13)},
        {CompareProc_Date, EncodeDate(2025, 1, 6), EncodeDate(2025, 1, 7), EncodeDate(2025, 1, 6) + 0.5},
    };
    for (const auto& f : faelle) {
        const auto a = TVRItem::Date(f.Frueher), b = TVRItem::Date(f.Spaeter), c = TVRItem::Date(f.GleicherZeitraum);
        EXPECT_LT(f.Proc(a, b), 0);
        EXPECT_GT(f.Proc(b, a), 0);
        EXPECT_EQ(f.Proc(a, c), 0);
    }
}

TEST(VRList, RowAddCopiesTheBufferAndLaterColumnsReadEmpty) {
    TVRList liste;
    liste.ColumnAdd().VRType = TVRValueType::vrvtInteger;
    liste.ColumnAdd().VRType = TVRValueType::vrvtFloat;
    TVRArray puffer = liste.VRArray_ForRowAdd_Generate();
    ASSERT_EQ(puffer.size(), 2u);
    Integer2VRItem(7, puffer, 0);
    Double2VRItem(2.5, puffer, 1);
    liste.RowAdd(puffer);
    ClearVRArray(puffer);
    Integer2VRItem(8, puffer, 0);
    liste.RowAdd(puffer);

    EXPECT_EQ(liste.GetCellValue(0, 0), TVRItem::Integer(7));
    EXPECT_DOUBLE_EQ(liste.GetCellValueAsDouble(0, 1), 2.5);
    EXPECT_TRUE(liste.GetCellValue(1, 1).IsEmpty());
    liste.ColumnAdd();
    EXPECT_TRUE(liste.GetCellValue(0, 2).IsEmpty());
    EXPECT_THROW(Integer2VRItem(1, puffer, 2), EArgumentOutOfRangeException);
    FreeVRArray(puffer);
    EXPECT_TRUE(puffer.empty());
}

TEST(VRList, SetCellValueReadsTextAsTheColumnType) {
    TVRList liste;
    liste.ColumnAdd().VRType = TVRValueType::vrvtFloat;
    liste.ColumnAdd().VRType = TVRValueType::vrvtInteger;
    liste.ColumnAdd().VRType = TVRValueType::vrvtDate;
    liste.ColumnAdd().VRType = TVRValueType::vrvtString;
    liste.RowAdd({});
    liste.SetCellValue(0, 0, std::string("1.234,5"));
    liste.SetCellValue(0, 1, std::string("12"));
    liste.SetCellValue(0, 2, std::string("06.01.2025"));
    liste.SetCellValue(0, 3, std::string("1.234,5"));
    EXPECT_EQ(liste.GetCellValue(0, 0), TVRItem::Float(1234.5));
    EXPECT_EQ(liste.GetCellValue(0, 1), TVRItem::Integer(12));
    EXPECT_EQ(liste.GetCellValue(0, 2), TVRItem::Date(EncodeDate(2025, 1, 6)));
    EXPECT_EQ(liste.GetCellValue(0, 3), TVRItem::String("1.234,5"));
    EXPECT_DOUBLE_EQ(liste.GetCellValueAsDouble(0, 3), 1234.5);
    EXPECT_THROW(liste.SetCellValue(0, 0, std::string("abc")), EConvertError);
    liste.SetCellValue(0, 1, 2.75);
    EXPECT_EQ(liste.GetCellValueAsFormatedString(0, 1), "2,75");
}

} // namespace
