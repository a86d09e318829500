#include "kovdateutils.h"
#include "exceptions.h"

#include <algorithm>
#include <cmath>

namespace {

// Times are compared on a millisecond grid, so 9:00 read back from a REAL column equals
// 9:00 computed from hours and minutes.
constexpr double CMillisekunden = 86400000.0;
long long Ms(TDateTime AZeit) { return std::llround(AZeit * CMillisekunden); }
TDateTime AusMs(long long AMs) { return double(AMs) / CMillisekunden; }
double Tageszeit(TDateTime AWert) { return AWert - std::floor(AWert); }

} // namespace

bool TKOV_Tageszeitraum::KonsistenzCheck() const {
    return Ms(Von) >= 0 && Ms(Bis) <= Ms(1.0) && Ms(Von) < Ms(Bis);
}

bool TKOV_Tageszeitraum::IsInRange(TDateTime ATime, bool AVonInklusive, bool ABisInklusive) const {
    // A plain time of day 0..1 is taken as it is (1.0, the midnight at the end, too);
    // a date-time value gives its time of day.
    const long long t = (ATime >= 0 && ATime <= 1.0) ? Ms(ATime) : Ms(Tageszeit(ATime));
    const long long v = Ms(Von), b = Ms(Bis);
    return (AVonInklusive ? t >= v : t > v) && (ABisInklusive ? t <= b : t < b);
}

const TKOV_Tageszeitraum& TKOV_Tagesabschnitte::Items(int AIndex) const {
    if (AIndex < 0 || AIndex >= Count())
        throw EListError("Listenindex überschreitet das Maximum (" + std::to_string(AIndex) + ")");
    return FItems[size_t(AIndex)];
}

void TKOV_Tagesabschnitte::AddAbschnitteStundenweise(TDateTime AVon, TDateTime ABis) {
    const long long v = Ms(AVon), b = Ms(ABis), stunde = 3600000;
    for (long long a = v; a < b;) {
        const long long e = std::min(b, (a / stunde + 1) * stunde);
        Add(AusMs(a), AusMs(e));
        a = e;
    }
}

void TKOV_Tagesabschnitte::AddAbschnitteFuerVonBisZeitraum(TDateTime AVon, TDateTime ABis, int AMinuten) {
    const long long v = Ms(AVon), b = Ms(ABis);
    if (v >= b) return;
    if (AMinuten <= 0) {
        Add(AVon, ABis);
        return;
    }
    const long long schritt = 60000LL * AMinuten;
    for (long long a = v; a < b;) {
        const long long e = std::min(b, a + schritt);
        Add(AusMs(a), AusMs(e));
        a = e;
    }
}

bool TKOV_Tagesabschnitte::KonsistenzUeberPruefen(bool ALeerErlaubt, bool AUeberschneidungenPruefen) const {
    if (FItems.empty()) return ALeerErlaubt;
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (!FItems[i].KonsistenzCheck()) return false;
        if (AUeberschneidungenPruefen && i > 0 && Ms(FItems[i].Von) < Ms(FItems[i - 1].Bis)) return false;
    }
    return true;
}
