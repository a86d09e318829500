// The till prices as the staff discounts ask for them, the rounding of money to the cent
// and the order of the month column.
#include "persrab_daten.h"
#include "testumgebung.h"

#include "exceptions.h"
#include "persrabfrm.h"
#include "rdlpreis.h"

#include <gtest/gtest.h>

namespace {

struct TPreise : ::testing::Test {
    TTestUmgebung Umgebung;
    TPreise() {
        Umgebung.Mandant(1, 1, "Modehaus Nord");
        Umgebung.Mandant(2, 1, "Modehaus Süd");
        Umgebung.Filiale(1, 1, 1, "Hauptstraße");
        Umgebung.Filiale(2, 1, 1, "Bahnhof");
        Umgebung.Filiale(3, 2, 1, "Basel", "CHF");
        TRDLDatenbank& db = Umgebung.Db();
        persrab::Preis(db, 1, 2, 3, 1, 0, 1, "EUR", persrab::Tag(1, 1), 10.00);
        persrab::Preis(db, 1, 2, 3, 1, 0, 1, "EUR", persrab::Tag(6, 1), 11.00);
        persrab::Preis(db, 1, 2, 3, 1, 2, 1, "EUR", persrab::Tag(9, 1), 9.00);
        persrab::Preis(db, 1, 2, 3, 1, 0, 2, "EUR", persrab::Tag(1, 1), 12.00);
        persrab::Preis(db, 1, 2, 3, 2, 3, 1, "CHF", persrab::Tag(1, 1), 15.90);
    }
};

TEST_F(TPreise, FilialpreisVorMandantenpreisUndDerSpaetesteGueltigeZaehlt) {
    const struct {
        int16_t Filiale;
        TDateTime Datum;
        int GrInd; // from 0
        const char* Waehrung;
        double Preis;
    } faelle[] = {
        {1, persrab::Tag(3, 15), 0, "EUR", 10.00},
        {1, persrab::Tag(6, 1) + 0.5, 0, "EUR", 11.00}, // the valid-from day counts from its start
        {2, persrab::Tag(8, 31), 0, "EUR", 11.00},      // the branch's own price not yet
        {2, persrab::Tag(9, 1), 0, "EUR", 9.00},        // then it beats the client's
        {1, persrab::Tag(3, 15), 1, "EUR", 12.00},      // size index 2
        {1, persrab::Tag(12, 31, 2025), 0, "EUR", 0},   // before every price
        {1, persrab::Tag(3, 15), 0, "CHF", 0},          // no price in francs
        {3, persrab::Tag(3, 15), 0, "", 15.90},         // empty: the branch's currency
        {3, persrab::Tag(3, 15), 0, "EUR", 0},
    };
    TSimplePriceReader leser(Umgebung.Db());
    leser.SetProdId({1, 2, 3});
    for (const auto& f : faelle) {
        SCOPED_TRACE(std::to_string(f.Filiale) + " " + DateToStr(f.Datum) + " " + f.Waehrung);
        leser.SetSelekted(TKOV_Preis_Sys_Mand_Fil::Construct(f.Filiale));
        leser.SetDatum(f.Datum);
        EXPECT_DOUBLE_EQ(leser.KVK_4_Art_Dat_Fil_GrInd(f.GrInd, f.Waehrung), f.Preis);
    }
    // No size (index 0 of the line, -1 here) and an unknown branch have no price.
    leser.SetSelekted(TKOV_Preis_Sys_Mand_Fil::Construct(1));
    EXPECT_THROW(leser.KVK_4_Art_Dat_Fil_GrInd(-1, "EUR"), EArgumentOutOfRangeException);
    leser.SetSelekted(TKOV_Preis_Sys_Mand_Fil::Construct(99));
    EXPECT_THROW(leser.KVK_4_Art_Dat_Fil_GrInd(0, "EUR"), EArgumentOutOfRangeException);
}

TEST(Geld, EinmalAufDenCentGerundet) {
    const struct {
        double Betrag, Cent;
    } faelle[] = {{0.285, 0.29}, {-0.285, -0.29}, {1.005, 1.01}, {2 * 37.95, 75.90}, {44.90 - 31.43, 13.47},
                  {0.004, 0.0}};
    for (const auto& f : faelle) EXPECT_DOUBLE_EQ(RDLAufCentRunden(f.Betrag), f.Cent) << f.Betrag;
}

TEST(Monat, SpalteSortiertNachDerZeit) {
    const auto m = [](const char* t) { return TVRItem::String(t); };
    EXPECT_LT(PersRabMonatVergleichen(m("Dez 2023"), m("Apr 2024")), 0);
    EXPECT_LT(PersRabMonatVergleichen(m("Mär 2024"), m("Apr 2024")), 0);
    EXPECT_GT(PersRabMonatVergleichen(m("Nov 2026"), m("Feb 2026")), 0);
    EXPECT_EQ(PersRabMonatVergleichen(m("Mai 2025"), m("Mai 2025")), 0);
    EXPECT_LT(PersRabMonatVergleichen(TVRItem(), m("Jan 0001")), 0); // an empty cell first
}

} // namespace
