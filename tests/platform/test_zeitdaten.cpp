// Time records of the staff: what the list service loads for a branch, days and kinds,
// and what the evaluation service adds for a selection of kinds.
#include "zeitdaten.h"
#include "rdldatum.h"
#include "testumgebung.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Zeitdaten : public ::testing::Test {
protected:
    TTestUmgebung FUmgebung;

    void SetUp() override {
        FUmgebung.Mandant(1, 1, "Handel");
        FUmgebung.Filiale(1, 1, 1, "Mitte");
        FUmgebung.Filiale(2, 1, 1, "Süd");
        Buchung(1, Tag(1), 7, 1, CKOV_Zeitart_Produktiv);
        Buchung(1, Tag(1), 7, 2, CKOV_Zeitart_Sonstige);
        Buchung(1, Tag(1), 3, 1, CKOV_Zeitart_Abwesend);
        Buchung(1, Tag(2), 7, 1, CKOV_Zeitart_Produktiv);
        Buchung(1, Tag(3), 7, 1, CKOV_Zeitart_Produktiv);
        Buchung(2, Tag(1), 8, 1, CKOV_Zeitart_Produktiv);
    }
    static TDate Tag(int ATag) { return EncodeDate(2026, 6, ATag); }

    void Buchung(int AFiliale, TDate ADatum, int AGep, int ANr, int AZeitart) {
        auto st = FUmgebung.Db().Prepare("INSERT INTO zeitbuchung (filiale, datum, gep_a, gep_b, nr, zeitart, von, bis,"
                                         " dauer, zusatzdauer) VALUES (?, ?, 9, ?, ?, ?, 0.375, 0.5, 0.125, 0.01)");
        st.Bind(1, int64_t(AFiliale));
        st.Bind(2, ADatum);
        st.Bind(3, int64_t(AGep));
        st.Bind(4, int64_t(ANr));
        st.Bind(5, int64_t(AZeitart));
        st.Step();
    }

    // "day/person/nr/kind" of each loaded record.
    static std::string Kurz(const std::vector<TKOV_Zeitbuchung>& AListe) {
        std::string s;
        for (const auto& b : AListe) {
            int j, m, t;
            DecodeDate(b.Datum, j, m, t);
            s += (s.empty() ? "" : " ") + std::to_string(t) + "/" + std::to_string(b.GepNr.B) + "/" +
                 std::to_string(b.Nr) + "/" + std::to_string(b.Zeitart);
        }
        return s;
    }
};

struct TLadeFall {
    const char* Name;
    TIntPair OrgeID;
    TDate Von, Bis;
    std::vector<int> Zeitarten;
    std::string Erwartet;
};

} // namespace

TEST_F(Zeitdaten, LaedtDieBuchungenDerFilialeTageUndArten) {
    const std::vector<TLadeFall> faelle = {
        {"ein Tag, alle Arten", {1, 1}, Tag(1), Tag(1), {}, "1/3/1/3 1/7/1/1 1/7/2/2"},
        {"Tage einschließlich, Uhrzeit zählt nicht", {1, 1}, Tag(1) + 0.7, Tag(2) + 0.2, {1}, "1/7/1/1 2/7/1/1"},
        {"Arbeit", {1, 1}, Tag(1), Tag(1), ZeitartenFuerAuswahl(zaArbeit), "1/7/1/1 1/7/2/2"},
        {"andere Filiale", {1, 2}, Tag(1), Tag(3), {}, "1/8/1/1"},
        {"unbekannte Filiale", {1, 9}, Tag(1), Tag(3), {}, ""},
    };
    TKOV_ZeitListeServer_DB server;
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        TKOV_ZeitSuchkriterien k;
        k.Mandant = {1, 1};
        k.OrgeID = fall.OrgeID;
        k.VonDatum = fall.Von;
        k.BisDatum = fall.Bis;
        k.Zeitarten = fall.Zeitarten;
        EXPECT_EQ(Kurz(server.ZeitbuchungenLaden(k)), fall.Erwartet);
    }
    TKOV_ZeitSuchkriterien k;
    k.Mandant = {1, 1};
    k.OrgeID = {1, 2};
    k.VonDatum = k.BisDatum = Tag(1);
    const auto liste = server.ZeitbuchungenLaden(k);
    ASSERT_EQ(liste.size(), 1u);
    EXPECT_EQ(liste[0].Filiale, 2);
    EXPECT_EQ(liste[0].GepNr, (TIntPair{9, 8}));
    EXPECT_DOUBLE_EQ(liste[0].Von, 0.375);
    EXPECT_DOUBLE_EQ(liste[0].Bis, 0.5);
    EXPECT_DOUBLE_EQ(liste[0].Dauer, 0.125);
    EXPECT_DOUBLE_EQ(liste[0].Zusatzdauer, 0.01);
}

TEST_F(Zeitdaten, AuswertungAddiertNurDieArtenDerAuswahl) {
    struct TFall {
        TKOV_ZeitenAuswahl Auswahl;
        double Stunden;
    };
    TKOV_AusWertEditServer_Std server;
    TKOV_Zeitbuchung b;
    b.Dauer = 0.25; // 6 hours
    for (const TFall fall : {TFall{zaProduktiv, 6}, TFall{zaArbeit, 12}, TFall{zaBezahlt, 18}, TFall{0, 0}}) {
        SCOPED_TRACE(int(fall.Auswahl));
        TKOV_Zeitsumme summe;
        for (int art : {CKOV_Zeitart_Produktiv, CKOV_Zeitart_Sonstige, CKOV_Zeitart_Abwesend, 4}) {
            b.Zeitart = art;
            server.ZeitbuchungAddieren(summe, b, fall.Auswahl);
        }
        EXPECT_DOUBLE_EQ(summe.Stunden(), fall.Stunden);
    }
}
