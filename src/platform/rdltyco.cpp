#include "rdltyco.h"
#include "exceptions.h"
#include <cstdio>

std::string TIntPair::ToText() const { return std::to_string(A) + "/" + std::to_string(B); }

bool TIntPair::TryFromText(const std::string& s, TIntPair& out) {
    long long a = 0, b = 0;
    int gelesen = 0;
    // Accepts "A/B", "A-B", "A;B", "A,B", blanks around the parts.
    for (const char* fmt : {" %lld / %lld %n", " %lld - %lld %n", " %lld ; %lld %n", " %lld , %lld %n"}) {
        gelesen = 0;
        if (std::sscanf(s.c_str(), fmt, &a, &b, &gelesen) == 2 && size_t(gelesen) == s.size()) {
            if (a < INT32_MIN || a > INT32_MAX || b < INT32_MIN || b > INT32_MAX) return false;
            out = TIntPair{int32_t(a), int32_t(b)};
            return true;
        }
    }
    return false;
}

TIntPair TIntPair::FromText(const std::string& s) {
    TIntPair p;
    if (!TryFromText(s, p)) throw EConvertError("\u201E" + s + "\u201C ist kein gültiges Zahlenpaar.");
    return p;
}

std::string TInt32Trio::ToTextUnformatted(int n) const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0*d%0*d%0*d", n, A, n, B, n, C);
    return buf;
}
