#pragma once
// Small text helpers shared by the suite layer and its windows.
#include <string>
#include <vector>

// The parts of a list "a,b; c": separated by "," or ";", blanks dropped, empty parts skipped.
inline std::vector<std::string> RDLListenTeile(const std::string& AText) {
    std::vector<std::string> t;
    std::string teil;
    for (const char c : AText + ",") {
        if (c == ',' || c == ';') {
            if (!teil.empty()) t.push_back(teil);
            teil.clear();
        } else if (c != ' ') {
            teil += c;
        }
    }
    return t;
}
