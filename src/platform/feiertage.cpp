#include "feiertage.h"
#include "rdldatum.h"
#include <algorithm>
#include <cmath>

namespace {

bool In(const std::string& ACode, std::initializer_list<const char*> ALaender) {
    for (const char* l : ALaender)
        if (ACode == l) return true;
    return false;
}

// Public holidays decreed for a single year; the next one is a line here.
struct TEinmaligerFeiertag {
    int Jahr, Monat, Tag;
    const char* Land;
    const char* Name;
};
constexpr TEinmaligerFeiertag CEinmaligeFeiertage[] = {
    {2020, 5, 8, "BE", "Tag der Befreiung"}, // 75 years since the end of the war
    {2025, 5, 8, "BE", "Tag der Befreiung"}, // 80 years
};

} // namespace

TDate Ostersonntag(int J) {
    const int a = J % 19, b = J / 100, c = J % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return EncodeDate(J, n / 31, n % 31 + 1);
}

const std::vector<std::string>& Bundeslaender() {
    static const std::vector<std::string> l = {"BW", "BY", "BE", "BB", "HB", "HH", "HE", "MV",
                                               "NI", "NW", "RP", "SL", "SN", "ST", "SH", "TH"};
    return l;
}

bool IstBundesland(const std::string& ACode) {
    const auto& l = Bundeslaender();
    return std::find(l.begin(), l.end(), ACode) != l.end();
}

std::vector<TFeiertag> GesetzlicheFeiertage(int J, const std::string& L) {
    std::vector<TFeiertag> r;
    if (!IstBundesland(L)) return r;
    auto fest = [&](int AMonat, int ATag, const char* AName) { r.push_back({EncodeDate(J, AMonat, ATag), AName}); };
    const TDate ostern = Ostersonntag(J);
    auto beweglich = [&](int AAbstand, const char* AName) { r.push_back({ostern + AAbstand, AName}); };

    fest(1, 1, "Neujahr");
    if (In(L, {"BW", "BY", "ST"})) fest(1, 6, "Heilige Drei Könige");
    if ((L == "BE" && J >= 2019) || (L == "MV" && J >= 2023)) fest(3, 8, "Internationaler Frauentag");
    fest(5, 1, "Tag der Arbeit");
    if (L == "SL") fest(8, 15, "Mariä Himmelfahrt");
    if (L == "TH" && J >= 2019) fest(9, 20, "Weltkindertag");
    if (J >= 1990) fest(10, 3, "Tag der Deutschen Einheit");
    if (In(L, {"BB", "MV", "SN", "ST", "TH"}) || (J >= 2018 && In(L, {"HB", "HH", "NI", "SH"})) || J == 2017)
        fest(10, 31, "Reformationstag");
    if (In(L, {"BW", "BY", "NW", "RP", "SL"})) fest(11, 1, "Allerheiligen");
    if (L == "SN") {
        // The Wednesday before 23 November.
        const TDate t = EncodeDate(J, 11, 22);
        r.push_back({t - ((DayOfTheWeek(t) - 3 + 7) % 7), "Buß- und Bettag"});
    }
    fest(12, 25, "1. Weihnachtstag");
    fest(12, 26, "2. Weihnachtstag");
    for (const auto& e : CEinmaligeFeiertage)
        if (e.Jahr == J && L == e.Land) fest(e.Monat, e.Tag, e.Name);

    beweglich(-2, "Karfreitag");
    beweglich(0, "Ostersonntag");
    beweglich(1, "Ostermontag");
    beweglich(39, "Christi Himmelfahrt");
    beweglich(49, "Pfingstsonntag");
    beweglich(50, "Pfingstmontag");
    if (In(L, {"BW", "BY", "HE", "NW", "RP", "SL"})) beweglich(60, "Fronleichnam");

    // Fixed ones were added first: on a shared day they stay in front.
    std::stable_sort(r.begin(), r.end(), [](const TFeiertag& a, const TFeiertag& b) { return a.Datum < b.Datum; });
    return r;
}

bool IstGesetzlicherFeiertag(TDate ADatum, const std::string& ABundesland, std::string* AName) {
    if (!IstBundesland(ABundesland)) return false;
    const TDate tag = std::floor(ADatum);
    int j, m, d;
    DecodeDate(tag, j, m, d);
    for (const auto& f : GesetzlicheFeiertage(j, ABundesland))
        if (f.Datum == tag) {
            if (AName) *AName = f.Name;
            return true;
        }
    return false;
}
