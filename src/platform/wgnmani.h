#pragma once
// Merchandise groups of products: the group codes of the table awgs.
#include "rdltyco.h"
#include <cstdint>
#include <map>
#include <string>

class TWGNMani {
public:
    // Option flags (one byte).
    // Remember answers per product and system for the life of the object (long runs over
    // the same products); without it every question reads the table, so that codes other
    // programs change count at once.
    static constexpr uint8_t CWGNOpt_Merken = 0x01;
    uint8_t Optionen = 0;

    // The highest group number (code, digits) of the product in the group system ASystem
    // (empty: "EIGEN", the installation's own); numbers compare by value, so "10101" is
    // above "9". Empty when the product has no code in that system.
    std::string Get_MaxWGN4ProdId(const TInt32Trio& AProdId, const std::string& ASystem = "");

private:
    std::map<std::pair<std::string, TInt32Trio>, std::string> FGemerkt;
};

// The shared instance: every taker releases once; the last release frees it. A taker on
// another database than the instance's gets a new one once the old is released.
TWGNMani* GlobWGNMani_GetInstance();
void GlobWGNMani_ReleaseInstance(TWGNMani*& AInstanz);
