#pragma once
// Deterministic random numbers for the demo installation. std::mt19937_64 is fixed by
// the C++ standard, its distributions are not; the few draws needed are written out here
// so that the same seed gives the same data with every standard library.
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

class TDemoZufall {
public:
    // One independent stream per area (and number), so that adding data of a new area
    // later leaves the data of the existing areas unchanged.
    TDemoZufall(uint64_t ASeed, std::string_view AStrom, uint64_t ANr = 0) {
        uint64_t h = 1469598103934665603ull; // FNV-1a of the stream name
        for (unsigned char c : AStrom) h = (h ^ c) * 1099511628211ull;
        FGen.seed(Mischen(Mischen(ASeed) ^ h ^ Mischen(ANr + 0x9E3779B97F4A7C15ull)));
    }

    // In [0, 1).
    double Gleich() { return double(FGen() >> 11) * 0x1.0p-53; }
    double Bereich(double AVon, double ABis) { return AVon + (ABis - AVon) * Gleich(); }
    // In [AVon, ABis], both included.
    int Zahl(int AVon, int ABis) {
        const uint64_t n = uint64_t(int64_t(ABis) - AVon + 1);
        return int(int64_t(AVon) + int64_t(FGen() % n)); // bias below 1e-15 for small n
    }
    bool Chance(double AWahrscheinlichkeit) { return Gleich() < AWahrscheinlichkeit; }
    // Index into ascending cumulative weights (last element = total).
    size_t Gewichtet(const std::vector<double>& AKumuliert) {
        const double x = Gleich() * AKumuliert.back();
        size_t lo = 0, hi = AKumuliert.size() - 1;
        while (lo < hi) {
            const size_t mitte = (lo + hi) / 2;
            if (x < AKumuliert[mitte]) hi = mitte;
            else lo = mitte + 1;
        }
        return lo;
    }
    template <class T, size_t N>
    const T& Element(const T (&AListe)[N]) { return AListe[size_t(Zahl(0, int(N) - 1))]; }

private:
    // splitmix64 finaliser: spreads neighbouring seeds over the whole state.
    static uint64_t Mischen(uint64_t x) {
        x += 0x9E3779B97F4A7C15ull;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }
    std::mt19937_64 FGen;
};

// Cumulative sums of weights, for TDemoZufall::Gewichtet.
inline std::vector<double> DemoKumuliert(const std::vector<double>& AGewichte) {
    std::vector<double> r;
    r.reserve(AGewichte.size());
    double s = 0;
    for (double g : AGewichte) r.push_back(s += g);
    return r;
}
