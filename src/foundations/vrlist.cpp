#include "vrlist.h"

#include "exceptions.h"
#include "rdldatum.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

const TVRFormatSettings& TVRFormatSettings::Deutsch() {
    static const TVRFormatSettings deutsch;
    return deutsch;
}

// --- TVRItem -----------------------------------------------------------------
static_assert(sizeof(TVRItem) <= 40, "a list holds millions of them");

TVRItem TVRItem::Integer(int64_t AWert) { return Aus(AWert); }
TVRItem TVRItem::Float(double AWert) { return Aus(AWert); }
TVRItem TVRItem::String(std::string AWert) { return Aus(std::move(AWert)); }
TVRItem TVRItem::Date(TDateTime AWert) { return Aus(TDatum{AWert}); }
TVRItem TVRItem::IntPair(TIntPair AWert) { return Aus(AWert); }
TVRItem TVRItem::IntTrio(TIntTrio AWert) { return Aus(AWert); }

namespace {
[[noreturn]] void FalscherTyp() { throw EConvertError("Der Wert hat einen anderen Typ"); }
} // namespace

int64_t TVRItem::AsInteger() const {
    if (const auto* w = std::get_if<int64_t>(&FWert)) return *w;
    FalscherTyp();
}
double TVRItem::AsFloat() const {
    if (const auto* w = std::get_if<double>(&FWert)) return *w;
    if (const auto* w = std::get_if<int64_t>(&FWert)) return static_cast<double>(*w);
    if (const auto* w = std::get_if<TDatum>(&FWert)) return w->Wert;
    FalscherTyp();
}
const std::string& TVRItem::AsString() const {
    if (const auto* w = std::get_if<std::string>(&FWert)) return *w;
    FalscherTyp();
}
TDateTime TVRItem::AsDate() const {
    if (const auto* w = std::get_if<TDatum>(&FWert)) return w->Wert;
    FalscherTyp();
}
TIntPair TVRItem::AsIntPair() const {
    if (const auto* w = std::get_if<TIntPair>(&FWert)) return *w;
    FalscherTyp();
}
TIntTrio TVRItem::AsIntTrio() const {
    if (const auto* w = std::get_if<TIntTrio>(&FWert)) return *w;
    FalscherTyp();
}

bool TVRItem::operator==(const TVRItem& A) const { return FWert == A.FWert; }

namespace {
template <class T>
int Vergleich(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
} // namespace

int CompareVRItems(const TVRItem& A, const TVRItem& B) {
    if (A.IsNumeric() && B.IsNumeric()) {
        if (A.Typ() == TVRValueType::vrvtInteger && B.Typ() == TVRValueType::vrvtInteger)
            return Vergleich(A.AsInteger(), B.AsInteger());
        return Vergleich(A.AsFloat(), B.AsFloat());
    }
    if (A.Typ() != B.Typ()) return Vergleich(static_cast<int>(A.Typ()), static_cast<int>(B.Typ()));
    switch (A.Typ()) {
    case TVRValueType::vrvtString: {
        const int c = A.AsString().compare(B.AsString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case TVRValueType::vrvtDate: return Vergleich(A.AsDate(), B.AsDate());
    case TVRValueType::vrvtIntPair: return Vergleich(A.AsIntPair(), B.AsIntPair());
    case TVRValueType::vrvtIntTrio: return Vergleich(A.AsIntTrio(), B.AsIntTrio());
    default: return 0;
    }
}

// --- TVRList -----------------------------------------------------------------
TVRList::TVRList() : TVRList(TVRFormatSettings::Deutsch()) {}
TVRList::TVRList(const TVRFormatSettings& AFormat) : FSatz(std::make_shared<TVRSpaltensatz>()), FZeilen(true) {
    FSatz->Format = AFormat;
}

std::unique_ptr<TVRList> TVRList::CreateChildOf(const TVRList& AEltern) {
    auto kind = std::make_unique<TVRList>();
    kind->FSatz = AEltern.FSatz;
    return kind;
}
TVRList::~TVRList() = default;

TVRColumn& TVRList::ColumnAdd() {
    auto* spalte = new TVRColumn();
    FSatz->Spalten.Add(spalte);
    return *spalte;
}

void TVRList::ColumnsClear() {
    RowsClear();
    FSatz->Spalten.Clear();
}

TVRColumn& TVRList::GetColumn(int32_t AIndex) { return *FSatz->Spalten.GetItem(AIndex); }
const TVRColumn& TVRList::GetColumn(int32_t AIndex) const { return *FSatz->Spalten.GetItem(AIndex); }

void TVRList::RowsClear() { FZeilen.Clear(); }

int32_t TVRList::RowAdd(const TVRArray& ARow) {
    auto zeile = std::make_unique<TVRRow>();
    const auto n = static_cast<size_t>(GetColumnCount());
    zeile->Werte.reserve(n);
    zeile->Werte.assign(ARow.begin(), ARow.begin() + static_cast<std::ptrdiff_t>(std::min(n, ARow.size())));
    zeile->Werte.resize(n);
    RowAppend(std::move(zeile));
    return GetRowCount() - 1;
}

TVRRow& TVRList::GetRow(int32_t ARow) { return *FZeilen.GetItem(ARow); }
const TVRRow& TVRList::GetRow(int32_t ARow) const { return *FZeilen.GetItem(ARow); }
TVRList* TVRList::GetRowChild(int32_t ARow) const { return GetRow(ARow).Child.get(); }

void TVRList::CheckCell(int32_t ARow, int32_t ACol) const {
    if (ARow < 0 || ARow >= GetRowCount() || ACol < 0 || ACol >= GetColumnCount())
        throw EArgumentOutOfRangeException("Argument außerhalb des gültigen Bereichs");
}

const TVRItem& TVRList::GetCellValue(int32_t ARow, int32_t ACol) const {
    CheckCell(ARow, ACol);
    static const TVRItem leer;
    const TVRArray& werte = GetRow(ARow).Werte;
    return static_cast<size_t>(ACol) < werte.size() ? werte[static_cast<size_t>(ACol)] : leer; // column added later
}

double TVRList::GetCellValueAsDouble(int32_t ARow, int32_t ACol) const {
    const TVRItem& w = GetCellValue(ARow, ACol);
    if (w.IsNumeric() || w.Typ() == TVRValueType::vrvtDate) return w.AsFloat();
    double d = 0;
    if (w.Typ() == TVRValueType::vrvtString && TryText2Float(w.AsString(), d, FSatz->Format)) return d;
    return 0;
}

std::string TVRList::FormatVRItem(const TVRItem& AWert, int32_t ACol) const {
    const TVRColumn& spalte = GetColumn(ACol);
    if (AWert.IsEmpty()) return {};
    if (spalte.FormatType == TVRFormatType::vrftRoutine && spalte.FormatRoutine)
        return spalte.FormatRoutine(AWert, FSatz->Format);
    if (spalte.FormatType == TVRFormatType::vrftPattern && !spalte.FormatStr.empty()) {
        if (AWert.Typ() == TVRValueType::vrvtDate) return FormatDate(spalte.FormatStr, AWert.AsDate(), FSatz->Format);
        if (AWert.IsNumeric()) return FormatNumber(spalte.FormatStr, AWert.AsFloat(), FSatz->Format);
    }
    return VRItem2String(AWert, FSatz->Format);
}

std::string TVRList::GetCellValueAsFormatedString(int32_t ARow, int32_t ACol) const {
    return FormatVRItem(GetCellValue(ARow, ACol), ACol);
}

void TVRList::SetCellValue(int32_t ARow, int32_t ACol, const TVRItem& AWert) {
    CheckCell(ARow, ACol);
    TVRArray& werte = GetRow(ARow).Werte;
    if (werte.size() < static_cast<size_t>(GetColumnCount())) werte.resize(static_cast<size_t>(GetColumnCount()));
    werte[static_cast<size_t>(ACol)] = AWert;
}

void TVRList::SetCellValue(int32_t ARow, int32_t ACol, double AWert) {
    SetCellValue(ARow, ACol, TVRItem::Float(AWert));
}

void TVRList::SetCellValue(int32_t ARow, int32_t ACol, const std::string& AText) {
    CheckCell(ARow, ACol);
    TVRItem wert;
    double d = 0;
    TDateTime datum = 0;
    TIntPair paar;
    switch (GetColumn(ACol).VRType) {
    case TVRValueType::vrvtInteger:
        if (!TryText2Float(AText, d, FSatz->Format) || d != std::trunc(d))
            throw EConvertError("'" + AText + "' ist kein gültiger Integerwert");
        wert = TVRItem::Integer(static_cast<int64_t>(d));
        break;
    case TVRValueType::vrvtFloat:
        if (!TryText2Float(AText, d, FSatz->Format)) throw EConvertError("'" + AText + "' ist kein gültiger Gleitkommawert");
        wert = TVRItem::Float(d);
        break;
    case TVRValueType::vrvtDate:
        if (!TryStrToDate(AText, datum)) throw EConvertError("'" + AText + "' ist kein gültiges Datum");
        wert = TVRItem::Date(datum);
        break;
    case TVRValueType::vrvtIntPair:
        if (!TIntPair::TryFromText(AText, paar)) throw EConvertError("'" + AText + "' ist kein gültiger Schlüssel");
        wert = TVRItem::IntPair(paar);
        break;
    default: wert = TVRItem::String(AText); break;
    }
    SetCellValue(ARow, ACol, wert);
}

TArray<std::unique_ptr<TVRRow>> TVRList::RowsTakeAll() {
    TArray<std::unique_ptr<TVRRow>> ergebnis;
    ergebnis.reserve(static_cast<size_t>(GetRowCount()));
    for (int32_t i = 0; i < GetRowCount(); ++i) ergebnis.emplace_back(FZeilen.GetItem(i));
    FZeilen.SetOwnsObjects(false); // the rows belong to the caller now
    FZeilen.Clear();
    FZeilen.SetOwnsObjects(true);
    return ergebnis;
}

void TVRList::RowAppend(std::unique_ptr<TVRRow> ARow) {
    FZeilen.Add(ARow.get());
    ARow.release();
}

void TVRList::ColumnsAssign(const TVRList& AVorlage) {
    const std::shared_ptr<TVRSpaltensatz> vorlage = AVorlage.FSatz; // AVorlage may be this list
    RowsClear();
    FSatz = std::make_shared<TVRSpaltensatz>(); // never the set of the list copied from
    FSatz->Format = vorlage->Format;
    for (int32_t i = 0; i < vorlage->Spalten.Count(); ++i) ColumnAdd() = *vorlage->Spalten.GetItem(i);
}

// --- row buffer --------------------------------------------------------------
namespace {
TVRItem& Slot(TVRArray& AArray, int32_t AIndex) {
    if (AIndex < 0 || static_cast<size_t>(AIndex) >= AArray.size())
        throw EArgumentOutOfRangeException("Argument außerhalb des gültigen Bereichs");
    return AArray[static_cast<size_t>(AIndex)];
}
} // namespace

void Integer2VRItem(int64_t AWert, TVRArray& AArray, int32_t AIndex) { Slot(AArray, AIndex) = TVRItem::Integer(AWert); }
void Float2VRItem(double AWert, TVRArray& AArray, int32_t AIndex) { Slot(AArray, AIndex) = TVRItem::Float(AWert); }
void Double2VRItem(double AWert, TVRArray& AArray, int32_t AIndex) { Float2VRItem(AWert, AArray, AIndex); }
void String2VRItem(const std::string& AWert, TVRArray& AArray, int32_t AIndex) {
    Slot(AArray, AIndex) = TVRItem::String(AWert);
}
void Date2VRItem(TDateTime AWert, TVRArray& AArray, int32_t AIndex) { Slot(AArray, AIndex) = TVRItem::Date(AWert); }
void IntPair2VRItem(const TIntPair& AWert, TVRArray& AArray, int32_t AIndex) {
    Slot(AArray, AIndex) = TVRItem::IntPair(AWert);
}
void IntTrio2VRItem(const TIntTrio& AWert, TVRArray& AArray, int32_t AIndex) {
    Slot(AArray, AIndex) = TVRItem::IntTrio(AWert);
}
void ClearVRArray(TVRArray& AArray) {
    for (auto& w : AArray) w.Clear();
}
void FreeVRArray(TVRArray& AArray) { TVRArray().swap(AArray); }

// --- formatting --------------------------------------------------------------
namespace {
// ASCII only: the C library's classification follows the process locale.
char KleinAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool IstZiffer(char c) { return c >= '0' && c <= '9'; }

// A number in the "C" form ("1234.5"); to_chars never follows the process locale, which
// Qt sets from the desktop at start-up (printf would write "1234,5" under de_DE).
std::string CText(double AWert, std::chars_format AForm, int AGenauigkeit) {
    char puffer[400];
    const auto [ende, fehler] = std::to_chars(puffer, puffer + sizeof puffer, AWert, AForm, AGenauigkeit);
    if (fehler != std::errc()) throw EConvertError("Zahl zu groß für die Anzeige");
    return std::string(puffer, ende);
}

// Digits with thousands grouping and the given number of decimals.
std::string ZahlText(double AWert, int ADezimalen, bool AGruppieren, const TVRFormatSettings& AFormat) {
    if (!std::isfinite(AWert)) return {}; // never "nan" or "inf" in a window, file or print
    std::string s = CText(std::fabs(AWert), std::chars_format::fixed, std::clamp(ADezimalen, 0, 30));
    const auto punkt = s.find('.');
    std::string ganz = s.substr(0, punkt);
    std::string rest = punkt == std::string::npos ? std::string() : s.substr(punkt + 1);
    std::string ergebnis;
    const bool negativ = std::signbit(AWert) && s.find_first_not_of("0.") != std::string::npos;
    if (negativ) ergebnis += '-';
    for (size_t i = 0; i < ganz.size(); ++i) {
        if (AGruppieren && i > 0 && (ganz.size() - i) % 3 == 0) ergebnis += AFormat.ThousandSeparator;
        ergebnis += ganz[i];
    }
    if (!rest.empty()) ergebnis += AFormat.DecimalSeparator + rest;
    return ergebnis;
}
} // namespace

std::string FormatNumber(const std::string& APattern, double AWert, const TVRFormatSettings& AFormat) {
    if (!std::isfinite(AWert)) return {}; // no "nan %" either
    std::string ergebnis;
    for (size_t i = 0; i < APattern.size(); ++i) {
        if (APattern[i] != '%') {
            ergebnis += APattern[i];
            continue;
        }
        size_t j = i + 1;
        if (j < APattern.size() && APattern[j] == '%') {
            ergebnis += '%';
            i = j;
            continue;
        }
        int breite = 0, genauigkeit = -1;
        bool links = false;
        if (j < APattern.size() && APattern[j] == '-') links = true, ++j;
        while (j < APattern.size() && IstZiffer(APattern[j]))
            breite = breite * 10 + (APattern[j++] - '0');
        if (j < APattern.size() && APattern[j] == '.') {
            genauigkeit = 0;
            ++j;
            while (j < APattern.size() && IstZiffer(APattern[j]))
                genauigkeit = genauigkeit * 10 + (APattern[j++] - '0');
        }
        if (j >= APattern.size()) throw EConvertError("Ungültiges Format: " + APattern);
        std::string feld;
        switch (KleinAscii(APattern[j])) {
        case 'n': feld = ZahlText(AWert, genauigkeit < 0 ? 2 : genauigkeit, true, AFormat); break;
        case 'f': feld = ZahlText(AWert, genauigkeit < 0 ? 2 : genauigkeit, false, AFormat); break;
        case 'd': feld = ZahlText(std::trunc(AWert), 0, false, AFormat); break;
        case 's': feld = VRItem2String(TVRItem::Float(AWert), AFormat); break;
        default: throw EConvertError("Ungültiges Format: " + APattern);
        }
        if (static_cast<int>(feld.size()) < breite) {
            const std::string fuell(static_cast<size_t>(breite) - feld.size(), ' ');
            feld = links ? feld + fuell : fuell + feld;
        }
        ergebnis += feld;
        i = j;
    }
    return ergebnis;
}

std::string FormatDate(const std::string& APattern, TDateTime AWert, const TVRFormatSettings& AFormat) {
    int jahr = 0, monat = 0, tag = 0;
    DecodeDate(AWert, jahr, monat, tag);
    const int wochentag = DayOfTheWeek(AWert); // 1 = Monday
    auto zweistellig = [](int z) {
        std::string p = std::to_string(z);
        return p.size() < 2 ? "0" + p : p;
    };
    std::string ergebnis;
    size_t i = 0;
    while (i < APattern.size()) {
        const char c = APattern[i];
        const char k = KleinAscii(c);
        if (c == '"' || c == '\'') {
            const auto ende = APattern.find(c, i + 1);
            ergebnis += APattern.substr(i + 1, ende == std::string::npos ? std::string::npos : ende - i - 1);
            i = ende == std::string::npos ? APattern.size() : ende + 1;
            continue;
        }
        size_t n = 1;
        if (k == 'd' || k == 'm' || k == 'y')
            while (i + n < APattern.size() && KleinAscii(APattern[i + n]) == k) ++n;
        if (k == 'd') {
            if (n == 1) ergebnis += std::to_string(tag);
            else if (n == 2) ergebnis += zweistellig(tag);
            else if (n == 3) ergebnis += AFormat.ShortDayNames[static_cast<size_t>(wochentag - 1)];
            else ergebnis += AFormat.LongDayNames[static_cast<size_t>(wochentag - 1)];
        } else if (k == 'm') {
            if (n == 1) ergebnis += std::to_string(monat);
            else if (n == 2) ergebnis += zweistellig(monat);
            else if (n == 3) ergebnis += AFormat.ShortMonthNames[static_cast<size_t>(monat - 1)];
            else ergebnis += AFormat.LongMonthNames[static_cast<size_t>(monat - 1)];
        } else if (k == 'y') {
            ergebnis += n <= 2 ? zweistellig(jahr % 100) : std::to_string(jahr);
        } else {
            ergebnis += c;
        }
        i += n;
    }
    return ergebnis;
}

std::string VRItem2String(const TVRItem& AWert, const TVRFormatSettings& AFormat) {
    switch (AWert.Typ()) {
    case TVRValueType::vrvtInteger: return std::to_string(AWert.AsInteger());
    case TVRValueType::vrvtFloat: {
        // Like FloatToStr: up to 15 significant digits, no grouping.
        if (!std::isfinite(AWert.AsFloat())) return ZahlText(AWert.AsFloat(), 0, false, AFormat);
        std::string s = CText(AWert.AsFloat(), std::chars_format::general, 15);
        const auto punkt = s.find('.');
        if (punkt != std::string::npos) s.replace(punkt, 1, AFormat.DecimalSeparator);
        return s;
    }
    case TVRValueType::vrvtString: return AWert.AsString();
    case TVRValueType::vrvtDate: return FormatDate("dd.mm.yyyy", AWert.AsDate(), AFormat);
    case TVRValueType::vrvtIntPair: return AWert.AsIntPair().ToText();
    case TVRValueType::vrvtIntTrio: {
        const TIntTrio t = AWert.AsIntTrio();
        return std::to_string(t.A) + "/" + std::to_string(t.B) + "/" + std::to_string(t.C);
    }
    default: return {};
    }
}

bool TryText2Float(const std::string& AText, double& AWert, const TVRFormatSettings& AFormat) {
    std::string s;
    const auto anfang = AText.find_first_not_of(' ');
    if (anfang == std::string::npos) return false;
    const auto ende = AText.find_last_not_of(' ');
    std::string t = AText.substr(anfang, ende - anfang + 1);
    for (size_t i = 0; i < t.size();) {
        if (!AFormat.ThousandSeparator.empty() && AFormat.ThousandSeparator != AFormat.DecimalSeparator &&
            t.compare(i, AFormat.ThousandSeparator.size(), AFormat.ThousandSeparator) == 0) {
            i += AFormat.ThousandSeparator.size();
        } else if (t.compare(i, AFormat.DecimalSeparator.size(), AFormat.DecimalSeparator) == 0) {
            s += '.';
            i += AFormat.DecimalSeparator.size();
        } else {
            s += t[i++];
        }
    }
    if (s.empty() || s.find_first_not_of("+-0123456789.eE") != std::string::npos) return false;
    // from_chars reads the "C" form whatever the process locale; it takes no "+".
    const char* anfang_p = s.data() + (s[0] == '+' && s.size() > 1 && s[1] != '-' ? 1 : 0);
    double d = 0;
    const auto [ende_p, fehler] = std::from_chars(anfang_p, s.data() + s.size(), d);
    if (fehler != std::errc() || ende_p != s.data() + s.size() || !std::isfinite(d)) return false;
    AWert = d;
    return true;
}

// --- date routines -----------------------------------------------------------
void IsoKalenderwoche(TDateTime ADatum, int& AJahr, int& AWoche) {
    // The week belongs to the year of its Thursday.
    const double donnerstag = std::floor(ADatum) - DayOfTheWeek(ADatum) + 4;
    int monat = 0, tag = 0;
    DecodeDate(donnerstag, AJahr, monat, tag);
    AWoche = static_cast<int>((donnerstag - EncodeDate(AJahr, 1, 1)) / 7) + 1;
}

namespace {
// The period key a routine sorts by; only dates have one.
bool DatumVon(const TVRItem& AWert, TDateTime& ADatum) {
    if (AWert.Typ() != TVRValueType::vrvtDate) return false;
    ADatum = AWert.AsDate();
    return true;
}

template <class Schluessel>
int NachSchluessel(const TVRItem& A, const TVRItem& B, Schluessel AKey) {
    TDateTime a = 0, b = 0;
    const bool hatA = DatumVon(A, a), hatB = DatumVon(B, b);
    if (!hatA || !hatB) return Vergleich(hatA, hatB); // values without a date first
    return Vergleich(AKey(a), AKey(b));
}

int KwSchluessel(TDateTime d) {
    int j = 0, w = 0;
    IsoKalenderwoche(d, j, w);
    return j * 100 + w;
}
int MonatSchluessel(TDateTime d) {
    int j = 0, m = 0, t = 0;
    DecodeDate(d, j, m, t);
    return j * 100 + m;
}
int QuartalSchluessel(TDateTime d) {
    int j = 0, m = 0, t = 0;
    DecodeDate(d, j, m, t);
    return j * 10 + (m - 1) / 3 + 1;
}
} // namespace

std::string Format_DateVRItem_2_BeschreibungKalenderwoche(const TVRItem& AWert, const TVRFormatSettings& AFormat) {
    TDateTime d = 0;
    if (!DatumVon(AWert, d)) return VRItem2String(AWert, AFormat);
    const int k = KwSchluessel(d);
    char p[64];
    std::snprintf(p, sizeof p, " %02d/%d", k % 100, k / 100);
    return AFormat.KalenderwocheText + p;
}

std::string Format_DateVRItem_2_BeschreibungMonat(const TVRItem& AWert, const TVRFormatSettings& AFormat) {
    TDateTime d = 0;
    if (!DatumVon(AWert, d)) return VRItem2String(AWert, AFormat);
    const int k = MonatSchluessel(d);
    return AFormat.LongMonthNames[static_cast<size_t>(k % 100 - 1)] + " " + std::to_string(k / 100);
}

std::string Format_DateVRItem_2_BeschreibungQuartal(const TVRItem& AWert, const TVRFormatSettings& AFormat) {
    TDateTime d = 0;
    if (!DatumVon(AWert, d)) return VRItem2String(AWert, AFormat);
    const int k = QuartalSchluessel(d);
    return std::to_string(k % 10) + ". " + AFormat.QuartalText + " " + std::to_string(k / 10);
}

std::string Format_DateVRItem_2_Wochentag(const TVRItem& AWert, const TVRFormatSettings& AFormat) {
    TDateTime d = 0;
    if (!DatumVon(AWert, d)) return VRItem2String(AWert, AFormat);
    return AFormat.LongDayNames[static_cast<size_t>(DayOfTheWeek(d) - 1)];
}

int CompareProc_Date(const TVRItem& A, const TVRItem& B) {
    return NachSchluessel(A, B, [](TDateTime d) { return std::floor(d); });
}
int CompareProc_CalendarWeek(const TVRItem& A, const TVRItem& B) { return NachSchluessel(A, B, KwSchluessel); }
int CompareProc_Month(const TVRItem& A, const TVRItem& B) { return NachSchluessel(A, B, MonatSchluessel); }
int CompareProc_Quarter(const TVRItem& A, const TVRItem& B) { return NachSchluessel(A, B, QuartalSchluessel); }
int CompareProc_WeekDay(const TVRItem& A, const TVRItem& B) {
    return NachSchluessel(A, B, [](TDateTime d) { return DayOfTheWeek(d); });
}
