#pragma once
// The value-row list: columns with their display settings, rows of values, and
// per row an optional child list (the members of a group). Free of any window
// code; the grid only reads it.
#include "kov_generics_collections.h"
#include "rdltyco.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>

// Codes as the windows store them in their column tables.
enum class TVRValueType : int32_t {
    vrvtEmpty = 0,
    vrvtInteger = 1,
    vrvtFloat = 5,
    vrvtString = 6,
    vrvtDate = 7,
    vrvtIntPair = 11,
    vrvtIntTrio = 12,
};

enum class TVRFormatType : int32_t { vrftNone = 0, vrftPattern = 1, vrftRoutine = 2 };

// Separators and names used when values are shown. German unless a caller
// injects another record (per list).
struct TVRFormatSettings {
    std::string DecimalSeparator = ",";
    std::string ThousandSeparator = ".";
    std::array<std::string, 7> ShortDayNames{"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"}; // Monday first
    std::array<std::string, 7> LongDayNames{"Montag", "Dienstag", "Mittwoch", "Donnerstag",
                                            "Freitag", "Samstag", "Sonntag"};
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                                "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    std::array<std::string, 12> LongMonthNames{"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                                               "August", "September", "Oktober", "November", "Dezember"};
    std::string KalenderwocheText = "KW";
    std::string QuartalText = "Quartal";

    static const TVRFormatSettings& Deutsch();
};

// One cell value, 40 bytes. Texts stay inline (short ones without any allocation), so
// sorting by a text column reads no second place in memory.
class TVRItem {
public:
    TVRItem() = default;
    static TVRItem Integer(int64_t AWert);
    static TVRItem Float(double AWert);
    static TVRItem String(std::string AWert);
    static TVRItem Date(TDateTime AWert);
    static TVRItem IntPair(TIntPair AWert);
    static TVRItem IntTrio(TIntTrio AWert);

    TVRValueType Typ() const { return CTypen[FWert.index()]; }
    bool IsEmpty() const { return FWert.index() == 0; }
    bool IsNumeric() const { return FWert.index() == 1 || FWert.index() == 2; }
    void Clear() { FWert = std::monostate(); }

    // Raise EConvertError when the value holds another type.
    int64_t AsInteger() const;
    double AsFloat() const; // integer, float and date
    const std::string& AsString() const;
    TDateTime AsDate() const;
    TIntPair AsIntPair() const;
    TIntTrio AsIntTrio() const;

    bool operator==(const TVRItem& A) const;

private:
    struct TDatum {
        TDateTime Wert;
        bool operator==(const TDatum&) const = default;
    };
    template <class W>
    static TVRItem Aus(W AWert) {
        TVRItem i;
        i.FWert = std::move(AWert);
        return i;
    }
    static constexpr TVRValueType CTypen[] = {TVRValueType::vrvtEmpty,   TVRValueType::vrvtInteger,
                                              TVRValueType::vrvtFloat,   TVRValueType::vrvtString,
                                              TVRValueType::vrvtIntPair, TVRValueType::vrvtIntTrio,
                                              TVRValueType::vrvtDate};
    std::variant<std::monostate, int64_t, double, std::string, TIntPair, TIntTrio, TDatum>
        FWert;
};

// Negative, zero or positive. Empty values sort first; numbers of both kinds
// compare by value; otherwise by type code, then by value.
int CompareVRItems(const TVRItem& A, const TVRItem& B);

using TVRFormatRoutine = std::function<std::string(const TVRItem&, const TVRFormatSettings&)>;
using TVRCompareProc = std::function<int(const TVRItem&, const TVRItem&)>;

struct TVRColumn {
    std::string Caption;
    TVRValueType VRType = TVRValueType::vrvtString;
    TVRFormatType FormatType = TVRFormatType::vrftNone;
    std::string FormatStr;
    TVRFormatRoutine FormatRoutine;
    bool CustomOrder = false;
    TVRCompareProc CompareProc;
    bool Visible = true;
    bool BWZ = false;
    uint32_t BackgroundColor = 0xFFFFFF; // RGB

    // The column's order: its routine when it has one, else the value order.
    int Compare(const TVRItem& A, const TVRItem& B) const {
        return (CustomOrder && CompareProc) ? CompareProc(A, B) : CompareVRItems(A, B);
    }
};

using TVRArray = TArray<TVRItem>;

class TVRList;

// Columns and display settings; a list and the child lists of its groups share one set,
// so a column switched by the grid is switched for every level of the tree.
struct TVRSpaltensatz {
    TVRFormatSettings Format;
    TKOV_ObjectList<TVRColumn> Spalten{true};
};

struct TVRRow {
    TVRArray Werte;
    std::unique_ptr<TVRList> Child; // members of the group, none for a leaf row
};

class TVRList {
public:
    TVRList();
    explicit TVRList(const TVRFormatSettings& AFormat);
    ~TVRList();
    TVRList(const TVRList&) = delete;
    TVRList& operator=(const TVRList&) = delete;

    // A list for the members of a group of AEltern: its columns, no rows.
    static std::unique_ptr<TVRList> CreateChildOf(const TVRList& AEltern);

    // --- columns ---------------------------------------------------------
    // On a child list these change the columns of its whole tree.
    TVRColumn& ColumnAdd();
    void ColumnsClear(); // the rows go too: they no longer match
    int32_t GetColumnCount() const { return FSatz->Spalten.Count(); }
    TVRColumn& GetColumn(int32_t AIndex);
    const TVRColumn& GetColumn(int32_t AIndex) const;

    // --- rows ------------------------------------------------------------
    void RowsClear();
    // Copies ARow; missing values stay empty, surplus values are dropped.
    int32_t RowAdd(const TVRArray& ARow);
    int32_t GetRowCount() const { return FZeilen.Count(); }
    TVRList* GetRowChild(int32_t ARow) const;
    TVRRow& GetRow(int32_t ARow);
    const TVRRow& GetRow(int32_t ARow) const;

    // --- cells -----------------------------------------------------------
    const TVRItem& GetCellValue(int32_t ARow, int32_t ACol) const;
    double GetCellValueAsDouble(int32_t ARow, int32_t ACol) const; // 0 when not a number
    std::string GetCellValueAsFormatedString(int32_t ARow, int32_t ACol) const;
    void SetCellValue(int32_t ARow, int32_t ACol, const TVRItem& AWert);
    void SetCellValue(int32_t ARow, int32_t ACol, double AWert);
    // Text is read as the column's value type (number, date) with this list's
    // separators; raises EConvertError when it is none.
    void SetCellValue(int32_t ARow, int32_t ACol, const std::string& AText);
    std::string FormatVRItem(const TVRItem& AWert, int32_t ACol) const;

    TVRArray VRArray_ForRowAdd_Generate() const { return TVRArray(static_cast<size_t>(GetColumnCount())); }

    // For the grouping routines: hand rows over without copying them.
    TArray<std::unique_ptr<TVRRow>> RowsTakeAll();
    void RowAppend(std::unique_ptr<TVRRow> ARow);
    // A copy of the columns and format settings of AVorlage, no rows.
    void ColumnsAssign(const TVRList& AVorlage);

private:
    void CheckCell(int32_t ARow, int32_t ACol) const;

    std::shared_ptr<TVRSpaltensatz> FSatz;
    TKOV_ObjectList<TVRRow> FZeilen;
};

// --- row buffer ------------------------------------------------------------
void Integer2VRItem(int64_t AWert, TVRArray& AArray, int32_t AIndex);
void Float2VRItem(double AWert, TVRArray& AArray, int32_t AIndex);
void Double2VRItem(double AWert, TVRArray& AArray, int32_t AIndex);
void String2VRItem(const std::string& AWert, TVRArray& AArray, int32_t AIndex);
void Date2VRItem(TDateTime AWert, TVRArray& AArray, int32_t AIndex);
void IntPair2VRItem(const TIntPair& AWert, TVRArray& AArray, int32_t AIndex);
void IntTrio2VRItem(const TIntTrio& AWert, TVRArray& AArray, int32_t AIndex);
void ClearVRArray(TVRArray& AArray);
void FreeVRArray(TVRArray& AArray);

// --- formatting ------------------------------------------------------------
// Delphi-style Format for one number: "%.2n", "%n", "%n %%", "%2.2n", "%d", "%f", "%s".
std::string FormatNumber(const std::string& APattern, double AWert, const TVRFormatSettings& AFormat);
// Delphi-style FormatDateTime: d dd ddd dddd m mm mmm mmmm yy yyyy, text in quotes kept.
std::string FormatDate(const std::string& APattern, TDateTime AWert, const TVRFormatSettings& AFormat);
// How a value without pattern or routine is shown.
std::string VRItem2String(const TVRItem& AWert, const TVRFormatSettings& AFormat);
// Reads "1.234,56" (or "1234.56" when the decimal separator is not "."); false on anything else.
bool TryText2Float(const std::string& AText, double& AWert, const TVRFormatSettings& AFormat);

// Date routines of the sales window's period columns and their orders. The orders
// compare the period a day falls into, by time, not by the shown text.
std::string Format_DateVRItem_2_BeschreibungKalenderwoche(const TVRItem& AWert, const TVRFormatSettings& AFormat);
std::string Format_DateVRItem_2_BeschreibungMonat(const TVRItem& AWert, const TVRFormatSettings& AFormat);
std::string Format_DateVRItem_2_BeschreibungQuartal(const TVRItem& AWert, const TVRFormatSettings& AFormat);
std::string Format_DateVRItem_2_Wochentag(const TVRItem& AWert, const TVRFormatSettings& AFormat);
int CompareProc_Date(const TVRItem& A, const TVRItem& B);
int CompareProc_CalendarWeek(const TVRItem& A, const TVRItem& B);
int CompareProc_Month(const TVRItem& A, const TVRItem& B);
int CompareProc_Quarter(const TVRItem& A, const TVRItem& B);
int CompareProc_WeekDay(const TVRItem& A, const TVRItem& B); // Monday first

// ISO 8601 week: the week's year may differ from the calendar year at the turn of the year.
void IsoKalenderwoche(TDateTime ADatum, int& AJahr, int& AWoche);
