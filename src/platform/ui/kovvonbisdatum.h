#pragma once
// A period of calendar days, both ends included; the empty period has both ends 0.
#include "rdldatum.h"
#include "rdltyco.h"

#include <string>

struct TKOV_VonBisDatum {
    TDate Von = 0;
    TDate Bis = 0;

    void Init() { *this = {}; }
    static TKOV_VonBisDatum LeererRecord() { return {}; }
    bool IsEmpty() const { return Von == 0 && Bis == 0; }
    // "01.12.2026 - 07.12.2026"
    std::string ToString() const { return DateToStr(Von) + " - " + DateToStr(Bis); }
    bool operator==(const TKOV_VonBisDatum&) const = default;
};
