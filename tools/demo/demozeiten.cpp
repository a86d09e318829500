// Time records of the staff of the demo installation: on every day a branch sells, some
// of its sellers work early or late shifts within the opening hours (kind 1), now and
// then with store-room or cash-up time before opening or after closing (kind 2); holidays
// and sick days are credited as paid absence (kind 3).
#include "demomodell.h"
#include <algorithm>
#include <cmath>

namespace {

constexpr double CStunde = 1.0 / 24, CViertel = CStunde / 4;
constexpr int CProduktiv = 1, CSonstige = 2, CAbwesend = 3;
// The shipping branch is open around the clock; its staff works in the day.
constexpr double CFruehester = 7 * CStunde, CSpaetester = 20 * CStunde;
// Up to this span one shift covers the day; longer days get early and late shifts.
constexpr double CEineSchicht = 8.5 * CStunde;

// Statutory break of a clocked span.
double Pause(double ASpanne) {
    return ASpanne > 9 * CStunde ? 0.75 * CStunde : ASpanne > 6 * CStunde ? 0.5 * CStunde : 0.0;
}

const std::vector<std::string> CSpalten = {"filiale", "datum", "gep_a", "gep_b", "nr",
                                           "zeitart", "von", "bis", "dauer", "zusatzdauer"};

} // namespace

TDemoZeitbuchungen::TDemoZeitbuchungen(const TDemoOptionen& O, const TDemoModell& M) : FM(M) {
    for (const auto& F : M.Filialen) FZufall.emplace_back(O.Seed, "ZEITEN", uint64_t(F.Nr));
    FAbwesend.assign(M.Verkaeufer.size(), 0);
}

void TDemoZeitbuchungen::Tag(size_t AFiliale, TDateTime d, const std::vector<TDemoZeitfenster>& AFenster) {
    const TDemoFiliale& F = FM.Filialen[AFiliale];
    TDemoZufall& z = FZufall[AFiliale];
    if (F.Verkaeufer.empty()) return;

    // Holidays (a week or two) and sick days start only while a colleague stays.
    int anwesend = 0;
    for (size_t v : F.Verkaeufer) anwesend += FAbwesend[v] == 0;
    for (size_t v : F.Verkaeufer) {
        if (FAbwesend[v] != 0) continue;
        const double x = z.Gleich();
        const int dauer = x < 0.007 ? z.Zahl(5, 12) : x < 0.017 ? z.Zahl(1, 4) : 0;
        if (dauer && anwesend >= 2) {
            FAbwesend[v] = dauer;
            --anwesend;
        }
    }
    std::vector<size_t> da;
    for (size_t v : F.Verkaeufer) {
        if (FAbwesend[v] == 0) {
            da.push_back(v);
            continue;
        }
        --FAbwesend[v];
        // Credited with a full day, no clocked span.
        FBuchungen.push_back({F.Nr, d, FM.Verkaeufer[v].Gep, 1, CAbwesend, 0, 0, 8 * CStunde, 0});
    }

    // The branch's own times where they are day times: computed bounds may differ from the
    // stored ones in the last bit, and other work must not overlap the opening hours.
    const double auf = AFenster.front().Von < CFruehester - CStunde ? CFruehester : AFenster.front().Von;
    const double zu = AFenster.back().Bis > CSpaetester + CStunde ? CSpaetester : AFenster.back().Bis;
    const double spanne = zu - auf;
    // Long days need an early and a late shift; the rest of the staff has a day off now and then.
    if (da.empty()) return;
    const size_t mindestens = std::min<size_t>(spanne > CEineSchicht ? 2 : 1, da.size());
    const size_t start = size_t(z.Zahl(0, int(da.size()) - 1));
    int schicht = 0;
    for (size_t i = 0; i < da.size(); ++i) {
        const TDemoVerkaeufer& V = FM.Verkaeufer[da[(start + i) % da.size()]];
        if (i >= mindestens && !z.Chance(0.75)) continue;
        double von = auf, bis = zu;
        if (mindestens > 1) { // a long day with colleagues: early and late shifts in turn
            // 6.5 to 8.5 hours; two shifts of at least 6.5 h cover the longest day (13 h).
            const double laenge = std::min(spanne, z.Zahl(26, 34) * CViertel);
            if (schicht++ % 2 == 0) bis = auf + laenge;
            else von = zu - laenge;
        }
        Arbeit(F, d, V, von, bis, von == auf, bis == zu, AFenster, z);
    }
}

void TDemoZeitbuchungen::Arbeit(const TDemoFiliale& F, TDateTime d, const TDemoVerkaeufer& V, double AVon,
                                double ABis, bool AOeffnet, bool ASchliesst,
                                const std::vector<TDemoZeitfenster>& AFenster, TDemoZufall& z) {
    int nr = 0;
    auto buchen = [&](int AArt, double von, double bis, double AZusatz) {
        FBuchungen.push_back({F.Nr, d, V.Gep, ++nr, AArt, von, bis, bis - von - Pause(bis - von), AZusatz});
    };
    // Store room before opening, cash-up after closing.
    if (AOeffnet && z.Chance(0.3)) buchen(CSonstige, AVon - z.Zahl(1, 3) * CViertel, AVon, 0);
    // Clocked out while the branch closes for lunch; now and then a paid short break beside.
    for (const auto& w : AFenster) {
        const double von = std::max(AVon, w.Von), bis = std::min(ABis, w.Bis);
        if (von < bis) buchen(CProduktiv, von, bis, z.Chance(0.03) ? CViertel : 0.0);
    }
    if (ASchliesst && z.Chance(0.3)) buchen(CSonstige, ABis, ABis + z.Zahl(1, 3) * CViertel, 0);
}

void TDemoZeitbuchungen::Schreiben(TRDLDatenbank& ADb, TDemoErgebnis& E) {
    auto laden = ADb.Massenladen("zeitbuchung", CSpalten);
    for (const auto& b : FBuchungen) {
        laden->Int(b.Filiale);
        laden->Double(b.Datum);
        laden->Int(b.Gep.A);
        laden->Int(b.Gep.B);
        laden->Int(b.Nr);
        laden->Int(b.Zeitart);
        laden->Double(b.Von);
        laden->Double(b.Bis);
        laden->Double(b.Dauer);
        laden->Double(b.Zusatzdauer);
        laden->ZeileEnde();
        ++E.Zeitbuchungen;
    }
    laden->Abschliessen();
    FBuchungen.clear();
}
