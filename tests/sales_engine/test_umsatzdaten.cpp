// The figures of the two evaluations: their arithmetic, their BLOB layout, and the place
// where each kind of sales line counts.
#include "umsatzauswerttyco.h"
#include "kovdbfiles.h"
#include "testumgebung.h"

#include <gtest/gtest.h>

#include <limits>

#include <cstring>

namespace {

using OpU = TKOV_UmsDataOperator_UmsAusw;
using OpV = TKOV_UmsDataOperator_VersFilAusw;

TKOV_Umsatzdaten_UmsAusw Fortlaufend(double AFaktor) {
    TKOV_Umsatzdaten_UmsAusw d;
    for (int i = 0; i < CKOV_UmsAusw_AnzahlWerte; ++i) d.Werte[i] = AFaktor * (i + 1) - 0.125;
    return d;
}

TKOV_Umsatzdaten_Erw_VersFilAusw Plattformen(std::initializer_list<std::pair<int, TKOV_VFUmsatzdaten_Erw>> AWerte,
                                             TKOV_VersFil_Verkaufstyp ATyp = vtVerkauf) {
    TKOV_Umsatzdaten_Erw_VersFilAusw d;
    for (const auto& [p, w] : AWerte) d.Daten(p, ATyp) = w;
    return d;
}

} // namespace

TEST(Umsatzdaten, UmsAuswRechnetWertweise) {
    const auto a = Fortlaufend(1), b = Fortlaufend(2);
    const auto summe = OpU::Add(a, b), halb = OpU::DivideByCount(summe, 2);
    for (int i = 0; i < CKOV_UmsAusw_AnzahlWerte; ++i) {
        EXPECT_EQ(summe.Werte[i], a.Werte[i] + b.Werte[i]);
        EXPECT_EQ(halb.Werte[i], summe.Werte[i] / 2);
    }
    EXPECT_EQ(OpU::DivideByCount(a, 0), OpU::EmptyValue());
    EXPECT_EQ(OpU::DivideByCount(a, -1), OpU::EmptyValue());
    EXPECT_TRUE(OpU::IsEmpty(OpU::EmptyValue()));
    EXPECT_FALSE(OpU::IsEmpty(a));
    TKOV_Umsatzdaten_UmsAusw rest;
    rest.Wert(ugE, ufBruttoSonstige) = (0.1 + 0.2) - 0.3; // a sale and its return
    EXPECT_TRUE(OpU::IsEmpty(rest));
    rest.Wert(ugE, ufBruttoSonstige) = 0.01;
    EXPECT_FALSE(OpU::IsEmpty(rest));
}

TEST(Umsatzdaten, VersFilRechnetJePlattformUndTyp) {
    const auto a = Plattformen({{0, {1, 2, 3, 4}}, {53, {10, 20, 30, 5}}});
    const auto b = Plattformen({{53, {1, 1, 1, 2}}});
    const auto summe = OpV::Add(a, b);
    EXPECT_EQ(summe.Daten(53, vtVerkauf), (TKOV_VFUmsatzdaten_Erw{11, 21, 31, 7}));
    EXPECT_EQ(summe.Daten(0, vtVerkauf), (TKOV_VFUmsatzdaten_Erw{1, 2, 3, 4}));
    EXPECT_TRUE(summe.Daten(53, vtRetoureStorno).IsEmpty());
    EXPECT_EQ(OpV::DivideByCount(summe, 2).Daten(53, vtVerkauf), (TKOV_VFUmsatzdaten_Erw{5.5, 10.5, 15.5, 4}));
    EXPECT_EQ(OpV::DivideByCount(summe, 0), OpV::EmptyValue());
    EXPECT_TRUE(OpV::IsEmpty(OpV::EmptyValue()));
    EXPECT_FALSE(OpV::IsEmpty(Plattformen({{7, {0, 0, 0, 1}}}, vtRetoureStorno))); // a quantity alone counts
}

TEST(Umsatzdaten, UmsAuswBlobHin_UndZurueck) {
    const auto d = Fortlaufend(-3.5);
    const std::string blob = OpU::Daten_2_Blob(d);
    ASSERT_EQ(blob.size(), 200u);
    TKOV_Umsatzdaten_UmsAusw gelesen;
    ASSERT_TRUE(OpU::Blob_2_Daten(blob, gelesen));
    EXPECT_EQ(gelesen, d);

    TKOV_Umsatzdaten_UmsAusw eins;
    eins.Werte[0] = 1.0;
    EXPECT_EQ(OpU::Daten_2_Blob(eins).substr(0, 8), std::string("\0\0\0\0\0\0\xF0\x3F", 8)); // little-endian

    struct {
        size_t Laenge;
        bool Gueltig;
        int Gelesen; // figures taken from the blob, the rest 0
    } const faelle[] = {{200, true, 25}, {16, true, 2}, {0, false, 0}, {208, true, 25}, {13, false, 0}, {199, false, 0}};
    const std::string lang = blob + std::string(8, '\x7F');
    for (const auto& f : faelle) {
        TKOV_Umsatzdaten_UmsAusw ziel = Fortlaufend(9);
        EXPECT_EQ(OpU::Blob_2_Daten(std::string_view(lang).substr(0, f.Laenge), ziel), f.Gueltig) << f.Laenge;
        for (int i = 0; i < CKOV_UmsAusw_AnzahlWerte; ++i)
            EXPECT_EQ(ziel.Werte[i], !f.Gueltig ? Fortlaufend(9).Werte[i] : i < f.Gelesen ? d.Werte[i] : 0.0)
                << f.Laenge << " / " << i;
    }
}

// Not a number, infinite or beyond any amount of a day: damaged, whatever its length.
TEST(Umsatzdaten, BlobMitUnmoeglichenWertenIstBeschaedigt) {
    for (const double w : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 1e300, -1e13}) {
        TKOV_Umsatzdaten_UmsAusw d = Fortlaufend(1);
        d.Werte[7] = w;
        TKOV_Umsatzdaten_UmsAusw ziel;
        EXPECT_FALSE(OpU::Blob_2_Daten(OpU::Daten_2_Blob(d), ziel)) << w;
        const auto v = Plattformen({{2, {1, 2, w, 3}}});
        TKOV_Umsatzdaten_Erw_VersFilAusw vziel;
        EXPECT_FALSE(OpV::Blob_2_Daten(OpV::Daten_2_Blob(v), vziel)) << w;
    }
}

TEST(Umsatzdaten, VersFilBlobEndetNachDerLetztenPlattformMitWerten) {
    struct {
        TKOV_Umsatzdaten_Erw_VersFilAusw Daten;
        size_t Laenge;
    } const faelle[] = {
        {OpV::EmptyValue(), 0},
        {Plattformen({{0, {12.5, 80, 100, 2}}}), 56},
        {Plattformen({{3, {-4, -8, -10, -1}}}, vtRetoureStorno), 4 * 56},
        {Plattformen({{0, {1, 2, 3, 4}}, {53, {0.1, 0.2, 0.3, -2147483647}}}), 54 * 56},
    };
    for (const auto& f : faelle) {
        const std::string blob = OpV::Daten_2_Blob(f.Daten);
        EXPECT_EQ(blob.size(), f.Laenge);
        TKOV_Umsatzdaten_Erw_VersFilAusw gelesen = Plattformen({{9, {1, 1, 1, 1}}});
        ASSERT_TRUE(OpV::Blob_2_Daten(blob, gelesen)) << f.Laenge;
        EXPECT_EQ(gelesen, f.Daten) << f.Laenge;
    }
    // Menge is a little-endian int32 after the three doubles.
    const std::string blob = OpV::Daten_2_Blob(Plattformen({{0, {0, 0, 0, 258}}}));
    EXPECT_EQ(blob.substr(24, 4), std::string("\x02\x01\0\0", 4));

    TKOV_Umsatzdaten_Erw_VersFilAusw ziel = Plattformen({{1, {1, 1, 1, 1}}});
    const auto vorher = ziel;
    EXPECT_FALSE(OpV::Blob_2_Daten(std::string(57, '\0'), ziel));
    EXPECT_EQ(ziel, vorher);
    EXPECT_TRUE(OpV::Blob_2_Daten(std::string(55 * 56, '\0'), ziel)); // a newer layout with more platforms
    EXPECT_TRUE(OpV::IsEmpty(ziel));
}

// --- where one sales line counts -------------------------------------------------

struct TZeilenFall {
    const char* Name;
    TKOV_LstWerte Zeile;
    TKOV_UmsAusw_Platz Umsatz;   // Zaehlt, Gruppe, Artikel
    TKOV_VersFil_Platz Versand;  // Zaehlt, Plattform, Typ
};

TEST(Umsatzdaten, JedeZeileZaehltAnGenauEinemPlatz) {
    const TInt32Trio art{4, 1023, 2};
    const TZeilenFall faelle[] = {
        {"Kasse Artikelverkauf", {"VK", 0, 80, 100, 40, 2, art, "1023"}, {true, ugA, true}, {true, 0, vtVerkauf}},
        {"Kasse Retoure", {"RE", 0, -80, -100, -40, -1, art, "1023"}, {true, ugA, true}, {true, 0, vtRetoureStorno}},
        {"Kasse stornierte Zeile", {"VK", 0, -20, -20, -9, -1, art, "1023"}, {true, ugA, true}, {true, 0, vtRetoureStorno}},
        {"Kasse Gutschein", {"VK", 0, 50, 50, 0, 1, {}, ""}, {true, ugA, false}, {true, 0, vtVerkauf}},
        {"Kasse Dienstleistung ohne Kassenpreis", {"VK", 0, 15, 0, 0, 1, {}, "  "}, {true, ugA, false}, {true, 0, vtVerkauf}},
        {"Kasse Artikel nur mit Nummer", {"VK", 0, 5, 6, 2, 1, {}, "A-17"}, {true, ugA, true}, {true, 0, vtVerkauf}},
        {"Kasse Preiskorrektur ohne Menge", {"VK", 0, -3, -3, 0, 0, art, "1023"}, {true, ugA, true}, {true, 0, vtRetoureStorno}},
        {"Kasse, Satzart klein und aufgefüllt", {" vk ", 0, 1, 1, 0.5, 1, art, ""}, {true, ugA, true}, {true, 0, vtVerkauf}},
        {"unbekannte Herkunft zählt stationär", {"VK", 60, 9, 10, 4, 1, art, ""}, {true, ugA, true}, {true, 0, vtVerkauf}},
        {"Online-Verkauf", {"VK", 7, 90, 100, 45, 1, art, ""}, {true, ugC, true}, {true, 7, vtVerkauf}},
        {"Online-Versandkosten", {"VK", 1, 4.95, 4.95, 0, 1, {}, ""}, {true, ugC, false}, {true, 1, vtVerkauf}},
        {"Online-Retoure", {"RE", 53, -90, -100, -45, -1, art, ""}, {true, ugD, true}, {true, 53, vtRetoureStorno}},
        {"Online-Stornierung", {"VK", 3, -180, -200, -90, -2, art, ""}, {true, ugD, true}, {true, 3, vtRetoureStorno}},
        {"Personalkauf-Korrektur RS", {"RS", 0, 0, 12.5, 0, 0, {}, ""}, {true, ugB, false}, {true, 0, vtVerkauf}},
        {"Personalkauf-Korrektur GS", {"GS", 0, -5, -6, 0, 0, {}, ""}, {true, ugE, false}, {true, 0, vtRetoureStorno}},
        {"unbekannte Satzart online", {"XY", 5, 7, 8, 3, 1, art, ""}, {true, ugB, true}, {true, 5, vtVerkauf}},
        {"unbekannte Satzart negativ", {"", 0, -7, -8, -3, -1, art, ""}, {true, ugE, true}, {true, 0, vtRetoureStorno}},
        {"Anfangsbestand", {"EB", 0, 150, 150, 0, 0, {}, ""}, {false, ugA, true}, {false, 0, vtVerkauf}},
        {"Schublade ohne Verkauf", {"ME", 0, 0, 0, 0, 0, {}, ""}, {false, ugA, true}, {false, 0, vtVerkauf}},
    };
    for (const auto& f : faelle) {
        const TKOV_LstWerte& z = f.Zeile;
        EXPECT_EQ(UmsAuswPlatzAusLstWerten(z), f.Umsatz) << f.Name;
        EXPECT_EQ(VersFilPlatzAusLstWerten(z), f.Versand) << f.Name;

        // Sales evaluation: EK, net and gross in the place's cells, 0 everywhere else.
        TKOV_Umsatzdaten_UmsAusw erwartet;
        if (f.Umsatz.Zaehlt) {
            const auto g = f.Umsatz.Gruppe;
            erwartet.Wert(g, ufEK) = z.EK;
            erwartet.Wert(g, f.Umsatz.Artikel ? ufNettoArtikel : ufNettoSonstige) = z.Betrag;
            erwartet.Wert(g, f.Umsatz.Artikel ? ufBruttoArtikel : ufBruttoSonstige) = z.Betrag2 ? z.Betrag2 : z.Betrag;
        }
        EXPECT_EQ(UmsatzAusLstWerten(z), erwartet) << f.Name;

        // Shipping-branch figures: one platform and kind, the rest empty.
        TKOV_Umsatzdaten_Erw_VersFilAusw erwartetV;
        if (f.Versand.Zaehlt)
            erwartetV.Daten(f.Versand.Plattform, f.Versand.Typ) = {z.EK, z.Betrag, z.Betrag2 ? z.Betrag2 : z.Betrag, z.Menge};
        EXPECT_EQ(UmsatzVersFilAusLstWerten(z), erwartetV) << f.Name;
    }
}

// The fields come from the record the file holds, as the statistics update reads it.
TEST(Umsatzdaten, ZeilenAusDerDateiZaehlenWieIhreWerte) {
    TTestUmgebung umgebung;
    struct {
        const char* Satzart;
        int Herkunft, Menge;
        double Betrag, Betrag2, EK;
        TKOV_UmsAusw_Platz Umsatz;
        TKOV_VersFil_Platz Versand;
    } const faelle[] = {
        {"VK", 12, 2, 90, 100, 40, {true, ugC, false}, {true, 12, vtVerkauf}},
        {"RE", 0, -1, -45, -50, -20, {true, ugA, false}, {true, 0, vtRetoureStorno}},
        {"EB", 0, 0, 150, 150, 0, {false, ugA, true}, {false, 0, vtVerkauf}},
    };
    int pos = 0;
    for (const auto& f : faelle) {
        TTestUmgebung::TVerkauf v;
        v.PosNr = ++pos;
        v.Satzart = f.Satzart;
        v.Herkunft = f.Herkunft;
        v.Menge = f.Menge;
        v.Betrag = f.Betrag, v.Betrag2 = f.Betrag2, v.EK = f.EK;
        umgebung.Verkauf(v);
    }
    Tlstfile lst(umgebung.Db());
    lst.SucheInit();
    lst.KeyNr_Set(Tlstfile::KeyTransaktion);
    size_t i = 0;
    for (bool ok = lst.Get_first(); ok; ok = lst.Get_next(), ++i) {
        ASSERT_LT(i, std::size(faelle));
        const auto& f = faelle[i];
        const TKOV_LstWerte z = LstWerteAusSatz(lst);
        EXPECT_EQ(z.Satzart, f.Satzart);
        EXPECT_EQ(z.Betrag2, f.Betrag2);
        EXPECT_EQ(UmsAuswPlatzAusLstWerten(z), f.Umsatz) << f.Satzart;
        EXPECT_EQ(VersFilPlatzAusLstWerten(z), f.Versand) << f.Satzart;
        EXPECT_EQ(UmsatzAusLstWerten(z).Wert(f.Umsatz.Gruppe, ufEK), f.Umsatz.Zaehlt ? f.EK : 0) << f.Satzart;
        EXPECT_EQ(UmsatzVersFilAusLstWerten(z).Daten(f.Versand.Plattform, f.Versand.Typ).Menge,
                  f.Versand.Zaehlt ? f.Menge : 0) << f.Satzart;
    }
    EXPECT_EQ(i, std::size(faelle));
}
