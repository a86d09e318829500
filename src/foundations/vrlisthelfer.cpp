#include "vrlisthelfer.h"

#include "rdlergebnisdatei.h"
#include "rdlinfo.h"

#include <cctype>

bool GruppierSpaltenEqual(const TVRGruppierOption& A, const TVRGruppierOption& B) { return A == B; }

namespace {
std::string Trimmen(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

std::string OhneBlanks(const std::string& s, bool AuchKaufmannsUnd) {
    std::string r;
    for (char c : s)
        if (c != ' ' && !(AuchKaufmannsUnd && c == '&')) r += c;
    return r;
}

// Lower case for ASCII and the German capitals in UTF-8, enough for captions.
std::string Klein(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0xC3 && i + 1 < s.size()) {
            auto n = static_cast<unsigned char>(s[i + 1]);
            if (n == 0x84 || n == 0x96 || n == 0x9C) n = static_cast<unsigned char>(n + 0x20); // Ä Ö Ü
            r += static_cast<char>(c);
            r += static_cast<char>(n);
            ++i;
        } else {
            r += static_cast<char>(std::tolower(c));
        }
    }
    return r;
}
} // namespace

TArray<std::string> GruppierspaltenAusMenuText(const std::string& ACaption) {
    const std::string text = Trimmen(OhneBlanks(ACaption, true));
    TArray<std::string> namen;
    size_t anfang = 0;
    while (!text.empty()) {
        const auto strich = text.find('|', anfang);
        namen.push_back(text.substr(anfang, strich == std::string::npos ? std::string::npos : strich - anfang));
        if (strich == std::string::npos) break;
        anfang = strich + 1;
    }
    if (namen.empty() || namen.front() == CKeineGruppierung) return {};
    return namen;
}

int32_t OptionstextIndex(const TArray<std::string>& AOptionen, const std::string& ACaption) {
    const std::string gesucht = Trimmen(OhneBlanks(ACaption, true));
    for (size_t i = 0; i < AOptionen.size(); ++i)
        if (OhneBlanks(AOptionen[i], false) == gesucht) return static_cast<int32_t>(i);
    return -1;
}

int32_t GetSpaltenOrd4String(const TVRList& AList, const std::string& ACaption) {
    const std::string gesucht = Klein(ACaption);
    for (int32_t i = 0; i < AList.GetColumnCount(); ++i)
        if (Klein(AList.GetColumn(i).Caption) == gesucht) return i;
    return -1;
}

TVRGruppierOption GruppierspaltenZuIndizes(const TVRList& AList, const TArray<std::string>& ANamen) {
    TVRGruppierOption r;
    for (const auto& n : ANamen) r.push_back(GetSpaltenOrd4String(AList, n));
    return r;
}

void BezeichnungGruppenkopfSetzen(TVRList& AList, const TVRGruppierOption& AGruppierspalten, int32_t ATiefe) {
    // A failure stops only this level; the captions written so far stay.
    KOV_Geschuetzt("BezeichnungGruppenkopfSetzen", true, [&] {
        if (ATiefe < 0 || static_cast<size_t>(ATiefe) >= AGruppierspalten.size() || AList.GetColumnCount() == 0)
            return;
        const int32_t spalte = AGruppierspalten[static_cast<size_t>(ATiefe)];
        for (int32_t i = 0; i < AList.GetRowCount(); ++i) {
            TVRList* kinder = AList.GetRowChild(i);
            if (!kinder) continue;
            if (static_cast<size_t>(ATiefe) + 1 < AGruppierspalten.size())
                BezeichnungGruppenkopfSetzen(*kinder, AGruppierspalten, ATiefe + 1);
            if (spalte < 0 || spalte >= kinder->GetColumnCount() || kinder->GetRowCount() == 0) continue;
            AList.SetCellValue(i, 0, TVRItem::String(kinder->GetCellValueAsFormatedString(0, spalte)));
        }
    });
}

std::string CSVFeld(const std::string& AText, char ATrenner) {
    if (AText.find_first_of(std::string{ATrenner, '"', '\r', '\n'}) == std::string::npos) return AText;
    std::string r = "\"";
    for (char c : AText) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

std::string Header2String(const TVRList& AList, char ATrenner) {
    std::string r;
    bool erstes = true;
    for (int32_t s = 0; s < AList.GetColumnCount(); ++s) {
        if (!AList.GetColumn(s).Visible) continue;
        if (!erstes) r += ATrenner;
        r += CSVFeld(AList.GetColumn(s).Caption, ATrenner);
        erstes = false;
    }
    return r;
}

namespace {
// Child lists carry their own copy of the columns; the top list's columns (the
// grid's) decide what is written, so rows are formatted against AKopf.
void ZeilenSammeln(const TVRList& AKopf, const TVRList& AList, int32_t ATiefe, int32_t ALevel, char ATrenner,
                   TArray<std::string>& AZeilen) {
    for (int32_t i = 0; i < AList.GetRowCount(); ++i) {
        const TVRList* kinder = AList.GetRowChild(i);
        const bool schreiben = ALevel < 0 ? kinder == nullptr : ATiefe == ALevel;
        if (schreiben) {
            std::string r;
            bool erstes = true;
            for (int32_t s = 0; s < AKopf.GetColumnCount(); ++s) {
                if (!AKopf.GetColumn(s).Visible) continue;
                if (!erstes) r += ATrenner;
                r += CSVFeld(AKopf.FormatVRItem(AList.GetCellValue(i, s), s), ATrenner);
                erstes = false;
            }
            AZeilen.push_back(std::move(r));
        } else if (kinder && (ALevel < 0 || ATiefe < ALevel)) {
            ZeilenSammeln(AKopf, *kinder, ATiefe + 1, ALevel, ATrenner, AZeilen);
        }
    }
}
} // namespace

TArray<std::string> VRList2CSVZeilen(const TVRList& AList, int32_t ALevel, char ATrenner) {
    TArray<std::string> zeilen;
    ZeilenSammeln(AList, AList, 0, ALevel, ATrenner, zeilen);
    return zeilen;
}

char Windows1252Zeichen(char32_t ACp) {
    if (ACp < 0x80 || (ACp >= 0xA0 && ACp <= 0xFF)) return static_cast<char>(ACp);
    // Code points 0x80..0x9F of Windows-1252, the rest of 0xA0..0xFF is Latin-1.
    static const char32_t C1[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int k = 0; k < 32; ++k)
        if (C1[k] != 0 && C1[k] == ACp) return static_cast<char>(0x80 + k);
    return 0;
}

std::string Utf8_2_Windows1252(const std::string& AText, const std::function<std::string(char32_t)>& AErsatz) {
    std::string r;
    r.reserve(AText.size());
    for (size_t i = 0; i < AText.size();) {
        const auto c = static_cast<unsigned char>(AText[i]);
        char32_t cp = 0;
        size_t n = 1;
        if (c < 0x80) cp = c;
        else if ((c & 0xE0) == 0xC0) cp = c & 0x1F, n = 2;
        else if ((c & 0xF0) == 0xE0) cp = c & 0x0F, n = 3;
        else if ((c & 0xF8) == 0xF0) cp = c & 0x07, n = 4;
        else cp = 0xFFFD;
        if (i + n > AText.size()) n = AText.size() - i, cp = 0xFFFD;
        for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(AText[i + k]) & 0x3F);
        i += n;
        if (const char b = Windows1252Zeichen(cp); b != 0 || cp == 0) r += b;
        else r += AErsatz ? AErsatz(cp) : std::string("?");
    }
    return r;
}

std::string VRList2CSV(const TVRList& AList, int32_t ALevel, char ATrenner, TCSVKodierung AKodierung) {
    std::string r = Header2String(AList, ATrenner) + "\r\n";
    for (const auto& z : VRList2CSVZeilen(AList, ALevel, ATrenner)) r += z + "\r\n";
    return AKodierung == TCSVKodierung::Windows1252 ? Utf8_2_Windows1252(r) : r;
}

bool VRList2CSVDatei(const std::string& ADateiname, const TVRList& AList, int32_t ALevel, char ATrenner,
                     TCSVKodierung AKodierung) {
    return RDLErgebnisDateiGeschrieben(ADateiname, VRList2CSV(AList, ALevel, ATrenner, AKodierung), "VRList2CSVDatei");
}
