#include "umsatzauswerttyco.h"
#include "kovdbfiles.h"

#include <bit>
#include <cmath>
#include <cctype>
#include <cstring>

namespace {

// Sums of amounts that cancel out leave residues far below a cent.
constexpr double CNullGrenze = 1e-9;
bool IstNull(double AWert) { return std::abs(AWert) <= CNullGrenze; }

// Byte order fixed to little-endian whatever the machine, so a database moves between hosts.
void U64Schreiben(std::string& AZiel, uint64_t AWert) {
    for (int i = 0; i < 8; ++i) AZiel.push_back(char((AWert >> (8 * i)) & 0xFF));
}
uint64_t U64Lesen(const char* AQuelle, int AAnzahl) {
    uint64_t w = 0;
    for (int i = 0; i < AAnzahl; ++i) w |= uint64_t(uint8_t(AQuelle[i])) << (8 * i);
    return w;
}
void DoubleSchreiben(std::string& AZiel, double AWert) { U64Schreiben(AZiel, std::bit_cast<uint64_t>(AWert)); }
double DoubleLesen(const char* AQuelle) { return std::bit_cast<double>(U64Lesen(AQuelle, 8)); }
void Int32Schreiben(std::string& AZiel, int32_t AWert) {
    for (int i = 0; i < 4; ++i) AZiel.push_back(char((uint32_t(AWert) >> (8 * i)) & 0xFF));
}
int32_t Int32Lesen(const char* AQuelle) { return int32_t(uint32_t(U64Lesen(AQuelle, 4))); }

constexpr size_t CEintragBytes = 28;                  // EK, VKNetto, VKBrutto, Menge
constexpr size_t CPlattformBytes = 2 * CEintragBytes; // sales, returns

// Tills may pad or lower-case the record kind. Asked per sales line, so without copies.
bool IstKennung(std::string_view ASatzart, std::string_view AKennung) {
    size_t a = 0, e = ASatzart.size();
    while (a < e && ASatzart[a] == ' ') ++a;
    while (e > a && ASatzart[e - 1] == ' ') --e;
    if (e - a != AKennung.size()) return false;
    for (size_t i = 0; i < AKennung.size(); ++i)
        if ((ASatzart[a + i] & ~0x20) != AKennung[i]) return false; // the kinds are upper-case letters
    return true;
}

// A stored figure that no day of a branch can reach, or not a number: the record is
// damaged (a foreign writer, a broken disk) and its day is counted again.
constexpr double CUnplausibel = 1e12;
bool Plausibel(double AWert) { return std::isfinite(AWert) && std::abs(AWert) < CUnplausibel; }

bool IstOnlinePlattform(int AHerkunft) { return AHerkunft >= 1 && AHerkunft < CKOV_VersFil_AnzahlPlattformen; }

} // namespace

// --- sales evaluation figures ------------------------------------------------

TKOV_Umsatzdaten_UmsAusw TKOV_UmsDataOperator_UmsAusw::DivideByCount(const TKOV_Umsatzdaten_UmsAusw& A, int N) {
    TKOV_Umsatzdaten_UmsAusw r;
    if (N <= 0) return r;
    for (int i = 0; i < CKOV_UmsAusw_AnzahlWerte; ++i) r.Werte[i] = A.Werte[i] / N;
    return r;
}

bool TKOV_UmsDataOperator_UmsAusw::IsEmpty(const TKOV_Umsatzdaten_UmsAusw& A) {
    for (double w : A.Werte)
        if (!IstNull(w)) return false;
    return true;
}

std::string TKOV_UmsDataOperator_UmsAusw::Daten_2_Blob(const TKOV_Umsatzdaten_UmsAusw& A) {
    std::string b;
    b.reserve(8 * CKOV_UmsAusw_AnzahlWerte);
    for (double w : A.Werte) DoubleSchreiben(b, w);
    return b;
}

bool TKOV_UmsDataOperator_UmsAusw::Blob_2_Daten(std::string_view ABlob, TKOV_Umsatzdaten_UmsAusw& AErgebnis) {
    // Every record is written with its figures: an empty one (or NULL) is damaged.
    if (ABlob.empty() || ABlob.size() % 8 != 0) return false;
    TKOV_Umsatzdaten_UmsAusw r;
    const size_t n = std::min<size_t>(ABlob.size() / 8, CKOV_UmsAusw_AnzahlWerte);
    for (size_t i = 0; i < n; ++i) {
        r.Werte[i] = DoubleLesen(ABlob.data() + 8 * i);
        if (!Plausibel(r.Werte[i])) return false;
    }
    AErgebnis = r;
    return true;
}

// --- shipping-branch figures -----------------------------------------------

bool TKOV_VFUmsatzdaten_Erw::IsEmpty() const { return IstNull(EK) && IstNull(VKNetto) && IstNull(VKBrutto) && Menge == 0; }

TKOV_Umsatzdaten_Erw_VersFilAusw TKOV_UmsDataOperator_VersFilAusw::Add(const TKOV_Umsatzdaten_Erw_VersFilAusw& A,
                                                                       const TKOV_Umsatzdaten_Erw_VersFilAusw& B) {
    TKOV_Umsatzdaten_Erw_VersFilAusw r;
    for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
        for (int t = 0; t < 2; ++t) {
            const auto &a = A.Plattformen[p][t], &b = B.Plattformen[p][t];
            r.Plattformen[p][t] = {a.EK + b.EK, a.VKNetto + b.VKNetto, a.VKBrutto + b.VKBrutto, a.Menge + b.Menge};
        }
    return r;
}

TKOV_Umsatzdaten_Erw_VersFilAusw TKOV_UmsDataOperator_VersFilAusw::DivideByCount(
    const TKOV_Umsatzdaten_Erw_VersFilAusw& A, int N) {
    TKOV_Umsatzdaten_Erw_VersFilAusw r;
    if (N <= 0) return r;
    for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
        for (int t = 0; t < 2; ++t) {
            const auto& a = A.Plattformen[p][t];
            r.Plattformen[p][t] = {a.EK / N, a.VKNetto / N, a.VKBrutto / N,
                                   int32_t(std::lround(double(a.Menge) / N))};
        }
    return r;
}

bool TKOV_UmsDataOperator_VersFilAusw::IsEmpty(const TKOV_Umsatzdaten_Erw_VersFilAusw& A) {
    for (const auto& p : A.Plattformen)
        for (const auto& e : p)
            if (!e.IsEmpty()) return false;
    return true;
}

std::string TKOV_UmsDataOperator_VersFilAusw::Daten_2_Blob(const TKOV_Umsatzdaten_Erw_VersFilAusw& A) {
    // Most branches sell on few platforms: stop after the last one holding figures.
    int anzahl = 0;
    for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
        if (!A.Plattformen[p][0].IsEmpty() || !A.Plattformen[p][1].IsEmpty()) anzahl = p + 1;
    std::string b;
    b.reserve(size_t(anzahl) * CPlattformBytes);
    for (int p = 0; p < anzahl; ++p)
        for (const auto& e : A.Plattformen[p]) {
            DoubleSchreiben(b, e.EK);
            DoubleSchreiben(b, e.VKNetto);
            DoubleSchreiben(b, e.VKBrutto);
            Int32Schreiben(b, e.Menge);
        }
    return b;
}

bool TKOV_UmsDataOperator_VersFilAusw::Blob_2_Daten(std::string_view ABlob, TKOV_Umsatzdaten_Erw_VersFilAusw& AErgebnis) {
    if (ABlob.size() % CPlattformBytes != 0) return false;
    TKOV_Umsatzdaten_Erw_VersFilAusw r;
    const size_t n = std::min<size_t>(ABlob.size() / CPlattformBytes, CKOV_VersFil_AnzahlPlattformen);
    for (size_t p = 0; p < n; ++p)
        for (size_t t = 0; t < 2; ++t) {
            const char* q = ABlob.data() + p * CPlattformBytes + t * CEintragBytes;
            r.Plattformen[p][t] = {DoubleLesen(q), DoubleLesen(q + 8), DoubleLesen(q + 16), Int32Lesen(q + 24)};
            const auto& e = r.Plattformen[p][t];
            if (!Plausibel(e.EK) || !Plausibel(e.VKNetto) || !Plausibel(e.VKBrutto)) return false;
        }
    AErgebnis = r;
    return true;
}

// --- how a sales line counts ------------------------------------------------

std::vector<const TDatenfeld*> LstWerteFelder(const Tlstfile& ALst) {
    return {&ALst.Satzart, &ALst.Herkunft, &ALst.Betrag, &ALst.Betrag2, &ALst.EK, &ALst.Menge, &ALst.ProdId, &ALst.ArtNr};
}

TKOV_LstWerte LstWerteAusSatz(const Tlstfile& ALst) {
    return {ALst.Satzart.GetWert(), ALst.Herkunft.GetWert(), ALst.Betrag.GetWert(), ALst.Betrag2.GetWert(),
            ALst.EK.GetWert(),      ALst.Menge.GetWert(),    ALst.ProdId.GetWert(), ALst.ArtNr.GetWert()};
}

bool LstSatzZaehlt(std::string_view ASatzart) { return !IstKennung(ASatzart, "EB") && !IstKennung(ASatzart, "ME"); }

bool LstSatzIstRetoureStorno(const TKOV_LstWerte& ALst) {
    if (IstKennung(ALst.Satzart, "RE")) return true;
    if (ALst.Menge != 0) return ALst.Menge < 0;
    return ALst.Betrag < 0;
}

bool LstSatzIstArtikel(const TKOV_LstWerte& ALst) {
    if (!ALst.ProdId.IsEmpty()) return true;
    return ALst.ArtNr.find_first_not_of(' ') != std::string_view::npos;
}

double LstSatzBrutto(const TKOV_LstWerte& ALst) { return ALst.Betrag2 != 0 ? ALst.Betrag2 : ALst.Betrag; }

TKOV_UmsAusw_Platz UmsAuswPlatzAusLstWerten(const TKOV_LstWerte& ALst) {
    TKOV_UmsAusw_Platz p;
    if (!LstSatzZaehlt(ALst.Satzart)) return p;
    p.Zaehlt = true;
    p.Artikel = LstSatzIstArtikel(ALst);
    const bool retoure = LstSatzIstRetoureStorno(ALst);
    if (!IstKennung(ALst.Satzart, "VK") && !IstKennung(ALst.Satzart, "RE"))
        p.Gruppe = retoure ? ugE : ugB; // corrections and other kinds: origin 2
    else if (IstOnlinePlattform(ALst.Herkunft))
        p.Gruppe = retoure ? ugD : ugC; // online: origin 1
    else
        p.Gruppe = ugA; // the till, sales and returns together: origin 0
    return p;
}

TKOV_Umsatzdaten_UmsAusw UmsatzAusLstWerten(const TKOV_LstWerte& ALst) {
    TKOV_Umsatzdaten_UmsAusw r;
    const TKOV_UmsAusw_Platz p = UmsAuswPlatzAusLstWerten(ALst);
    if (!p.Zaehlt) return r;
    r.Wert(p.Gruppe, ufEK) = ALst.EK;
    r.Wert(p.Gruppe, p.Artikel ? ufNettoArtikel : ufNettoSonstige) = ALst.Betrag;
    r.Wert(p.Gruppe, p.Artikel ? ufBruttoArtikel : ufBruttoSonstige) = LstSatzBrutto(ALst);
    return r;
}

TKOV_VersFil_Platz VersFilPlatzAusLstWerten(const TKOV_LstWerte& ALst) {
    TKOV_VersFil_Platz p;
    if (!LstSatzZaehlt(ALst.Satzart)) return p;
    p.Zaehlt = true;
    p.Plattform = IstOnlinePlattform(ALst.Herkunft) ? ALst.Herkunft : 0;
    p.Typ = LstSatzIstRetoureStorno(ALst) ? vtRetoureStorno : vtVerkauf;
    return p;
}

TKOV_Umsatzdaten_Erw_VersFilAusw UmsatzVersFilAusLstWerten(const TKOV_LstWerte& ALst) {
    TKOV_Umsatzdaten_Erw_VersFilAusw r;
    const TKOV_VersFil_Platz p = VersFilPlatzAusLstWerten(ALst);
    if (!p.Zaehlt) return r;
    r.Daten(p.Plattform, p.Typ) = {ALst.EK, ALst.Betrag, LstSatzBrutto(ALst), ALst.Menge};
    return r;
}
