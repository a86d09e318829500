#pragma once
// Small helpers of the demo's writers: one row of a prepared insert, money to the cent.
#include "rdldatenbank.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

using TDemoWert = std::variant<int64_t, double, std::string>;

// Binds the values in order, runs the statement once and resets it for the next row.
inline void DemoZeile(TRDLStatement& S, std::initializer_list<TDemoWert> AWerte) {
    int i = 1;
    for (const TDemoWert& w : AWerte) {
        if (const auto* g = std::get_if<int64_t>(&w)) S.Bind(i, *g);
        else if (const auto* d = std::get_if<double>(&w)) S.Bind(i, *d);
        else S.Bind(i, std::get<std::string>(w));
        ++i;
    }
    S.Step();
    S.Reset();
}

inline int64_t DemoI(int v) { return v; }
inline double DemoRunden2(double x) { return std::round(x * 100.0) / 100.0; }
