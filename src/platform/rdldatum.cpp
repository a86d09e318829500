#include "rdldatum.h"
#include "exceptions.h"
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

using namespace std::chrono;

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int tage[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return (m == 2 && IsLeapYear(y)) ? 29 : tage[m - 1];
}

bool TryEncodeDate(int y, int m, int d, TDateTime& out) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    const sys_days sd = year_month_day{year{y}, month{unsigned(m)}, day{unsigned(d)}};
    out = double(sd.time_since_epoch().count() + CUnixTageOffset);
    return true;
}

TDateTime EncodeDate(int y, int m, int d) {
    TDateTime r;
    if (!TryEncodeDate(y, m, d, r)) throw EConvertError("Ungültiges Datum");
    return r;
}

TDateTime EncodeTime(int h, int mi, int s, int ms) {
    return (h * 3600000.0 + mi * 60000.0 + s * 1000.0 + ms) / 86400000.0;
}

void DecodeDate(TDateTime v, int& y, int& m, int& d) {
    const sys_days sd{days{int64_t(std::floor(v)) - CUnixTageOffset}};
    const year_month_day ymd{sd};
    y = int(ymd.year());
    m = int(unsigned(ymd.month()));
    d = int(unsigned(ymd.day()));
}

TDateTime DateOf(TDateTime v) { return std::floor(v); }
TDateTime TimeOf(TDateTime v) { return v - std::floor(v); }

int DayOfTheWeek(TDateTime v) {
    const sys_days sd{days{int64_t(std::floor(v)) - CUnixTageOffset}};
    return int(weekday{sd}.iso_encoding());
}

namespace {
TDateTime& FesterTag() {
    static TDateTime t = 0;
    return t;
}
} // namespace

void rdl_HeuteFestlegen(TDateTime ADatum) { FesterTag() = ADatum; }

TDateTime rdl_Now() {
    if (FesterTag() != 0) return FesterTag();
    const std::time_t t = std::time(nullptr);
    std::tm lt{};
    localtime_r(&t, &lt);
    return EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday) +
           EncodeTime(lt.tm_hour, lt.tm_min, lt.tm_sec);
}

TDateTime rdl_Today() { return DateOf(rdl_Now()); }

std::string DateToStr(TDateTime v) {
    int y, m, d;
    DecodeDate(v, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
    return buf;
}

std::string DateTimeToStr(TDateTime v) {
    // Round to whole seconds so 23:59:59.9996 does not print as 24:00:00.
    long long sek = llround(TimeOf(v) * 86400.0);
    TDateTime tag = DateOf(v);
    if (sek >= 86400) { sek -= 86400; tag += 1; }
    char buf[64];
    std::snprintf(buf, sizeof buf, " %02lld:%02lld:%02lld", sek / 3600, (sek / 60) % 60, sek % 60);
    return DateToStr(tag) + buf;
}

bool TryStrToDate(const std::string& s, TDateTime& out) {
    int a = 0, b = 0, c = 0;
    char rest = 0;
    if (std::sscanf(s.c_str(), "%d-%d-%d%c", &a, &b, &c, &rest) == 3 && s.find('-') == 4)
        return TryEncodeDate(a, b, c, out);
    if (std::sscanf(s.c_str(), "%d.%d.%d%c", &a, &b, &c, &rest) != 3) return false;
    const auto letzterPunkt = s.rfind('.');
    const size_t jahrStellen = s.size() - letzterPunkt - 1;
    if (jahrStellen == 2) c += (c < 50) ? 2000 : 1900;
    else if (jahrStellen != 4) return false;
    return TryEncodeDate(c, b, a, out);
}
