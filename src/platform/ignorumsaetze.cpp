#include "ignorumsaetze.h"
#include "exceptions.h"
#include "rdlbroadcast.h"
#include "rdldatum.h"
#include "suitetabellen.h"
#include <algorithm>
#include <cctype>
#include <cstdint>

// --- the dictionary ----------------------------------------------------------------------

void TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum::Add(int16_t AFilKnr, TDate ADatum) {
    if (ContainsKey(AFilKnr))
        throw EListError("Doppelte Einträge sind nicht zulässig: Filiale " + std::to_string(AFilKnr));
    FEintraege.emplace_back(AFilKnr, ADatum);
}

void TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum::AddOrSetValue(int16_t AFilKnr, TDate ADatum) {
    for (auto& e : FEintraege)
        if (e.first == AFilKnr) {
            e.second = ADatum;
            return;
        }
    FEintraege.emplace_back(AFilKnr, ADatum);
}

bool TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum::Remove(int16_t AFilKnr) {
    auto it = std::find_if(FEintraege.begin(), FEintraege.end(), [&](const TEintrag& e) { return e.first == AFilKnr; });
    if (it == FEintraege.end()) return false;
    FEintraege.erase(it);
    return true;
}

bool TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum::TryGetValue(int16_t AFilKnr, TDate& ADatum) const {
    for (const auto& e : FEintraege)
        if (e.first == AFilKnr) {
            ADatum = e.second;
            return true;
        }
    return false;
}

bool TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum::ContainsKey(int16_t AFilKnr) const {
    TDate d;
    return TryGetValue(AFilKnr, d);
}

// --- the delimited-text rule -------------------------------------------------------------

namespace {

// Blanks and control characters, as the suite's string lists treat them.
bool IstLeer(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::string TrennTextSchreiben(const std::vector<std::string>& AElemente, char ADelimiter) {
    std::string text;
    for (size_t i = 0; i < AElemente.size(); ++i) {
        const std::string& s = AElemente[i];
        if (i > 0) text += ADelimiter;
        const bool quoten = std::any_of(s.begin(), s.end(), [&](char c) { return IstLeer(c) || c == '"' || c == ADelimiter; });
        if (!quoten) {
            text += s;
            continue;
        }
        text += '"';
        for (char c : s) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

std::vector<std::string> TrennTextLesen(const std::string& AText, char ADelimiter) {
    std::vector<std::string> elemente;
    const size_t n = AText.size();
    size_t p = 0;
    auto leereUeberspringen = [&] { while (p < n && IstLeer(AText[p])) ++p; };
    leereUeberspringen();
    while (p < n) {
        std::string s;
        if (AText[p] == '"') {
            // Up to the closing quote; a doubled quote is one quote, an unclosed one runs to the end.
            ++p;
            while (p < n) {
                if (AText[p] == '"') {
                    if (p + 1 < n && AText[p + 1] == '"') {
                        s += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += AText[p++];
            }
        } else {
            const size_t anfang = p;
            while (p < n && !IstLeer(AText[p]) && AText[p] != ADelimiter) ++p;
            s = AText.substr(anfang, p - anfang);
        }
        elemente.push_back(std::move(s));
        leereUeberspringen();
        if (p < n && AText[p] == ADelimiter) {
            // A delimiter at the very end still closes an (empty) item.
            if (p + 1 == n) elemente.emplace_back();
            ++p;
            leereUeberspringen();
        }
    }
    return elemente;
}

// --- the setting -------------------------------------------------------------------------

namespace {

// The value of the first "Name=Value" item with the name (case-insensitive, as the suite's lists).
std::string WertVon(const std::vector<std::string>& APaare, const std::string& AName) {
    for (const std::string& p : APaare) {
        const size_t gleich = p.find('=');
        if (gleich != AName.size()) continue;
        if (std::equal(AName.begin(), AName.end(), p.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return p.substr(gleich + 1);
    }
    return "";
}

// A decimal SmallInt; anything else is 0.
int16_t FilKnrVon(const std::string& AText) {
    size_t i = (!AText.empty() && (AText[0] == '-' || AText[0] == '+')) ? 1 : 0;
    if (i == AText.size() || AText.size() - i > 6) return 0;
    long wert = 0;
    for (size_t k = i; k < AText.size(); ++k) {
        if (AText[k] < '0' || AText[k] > '9') return 0;
        wert = wert * 10 + (AText[k] - '0');
    }
    if (AText[0] == '-') wert = -wert;
    return (wert < INT16_MIN || wert > INT16_MAX) ? 0 : int16_t(wert);
}

} // namespace

void IgnorUmsaetzeLesen(const std::string& ATextDerEinstellung, TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict) {
    for (const std::string& eintrag : TrennTextLesen(ATextDerEinstellung, '|')) {
        const auto paare = TrennTextLesen(eintrag, ';');
        const int16_t filKnr = FilKnrVon(WertVon(paare, "FILKNR"));
        TDateTime datum = 0;
        if (!TryStrToDate(WertVon(paare, "IGNOREVOR"), datum)) datum = 0;
        if (filKnr > 0 && datum > 0) ADict.Add(filKnr, datum);
    }
}

std::string IgnorUmsaetzeSchreiben(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict) {
    std::vector<std::string> eintraege;
    for (const auto& [filKnr, datum] : ADict)
        eintraege.push_back(TrennTextSchreiben({"FILKNR=" + std::to_string(filKnr), "IGNOREVOR=" + DateToStr(datum)}, ';'));
    return TrennTextSchreiben(eintraege, '|');
}

void IgnorUmsaetzeEinstellungLesen(TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict) {
    IgnorUmsaetzeLesen(TSimpleMask(CIgnorUmsaetzeBereich, CIgnorUmsaetzeSektion).ReadGlobalDef(CIgnorUmsaetzeSchluessel, ""),
                       ADict);
}

void IgnorUmsaetzeEinstellungSchreiben(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict) {
    TSimpleMask(CIgnorUmsaetzeBereich, CIgnorUmsaetzeSektion).WriteGlobal(CIgnorUmsaetzeSchluessel, IgnorUmsaetzeSchreiben(ADict));
}

void IgnorUmsaetzeAenderungMelden(uint64_t AEigenesHandle) {
    RDLBroadcastSystemMessage(RDLRegisterWindowMessage(CIgnorUmsaetzeNachricht), AEigenesHandle, 0);
}

bool IgnorUmsaetzeVorDatum(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& ADict, int16_t AFilKnr, TDate ADatum) {
    TDate vor;
    return ADict.TryGetValue(AFilKnr, vor) && DateOf(ADatum) < DateOf(vor);
}
