// The highest merchandise-group number of a product from the group codes (awgs).
#include "wgnmani.h"
#include "testumgebung.h"

#include <gtest/gtest.h>

TEST(WGNMani, HoechsteWarengruppeJeProduktUndSystem) {
    TTestUmgebung U;
    U.Db().Exec("INSERT INTO awgs (system, prod_a, prod_b, prod_c, code) VALUES"
                " ('EIGEN', 1, 2, 3, '9'), ('EIGEN', 1, 2, 3, '10101'), ('EIGEN', 1, 2, 3, '70101'),"
                " ('EIGEN', 1, 2, 4, '30102'), ('LIEFERANT', 1, 2, 3, '99999')");
    TWGNMani* w = GlobWGNMani_GetInstance();
    EXPECT_EQ(GlobWGNMani_GetInstance(), w) << "shared";
    EXPECT_EQ(w->Get_MaxWGN4ProdId({1, 2, 3}, ""), "70101") << "by value, not by text";
    EXPECT_EQ(w->Get_MaxWGN4ProdId({1, 2, 3}, "LIEFERANT"), "99999");
    EXPECT_EQ(w->Get_MaxWGN4ProdId({1, 2, 9}), "");

    // Without the option every question reads the table; with it answers are kept.
    U.Db().Exec("UPDATE awgs SET code = '80102' WHERE prod_c = 4");
    w->Optionen = TWGNMani::CWGNOpt_Merken;
    EXPECT_EQ(w->Get_MaxWGN4ProdId({1, 2, 4}), "80102");
    U.Db().Exec("UPDATE awgs SET code = '20102' WHERE prod_c = 4");
    EXPECT_EQ(w->Get_MaxWGN4ProdId({1, 2, 4}), "80102");
    w->Optionen = 0;
    EXPECT_EQ(w->Get_MaxWGN4ProdId({1, 2, 4}), "20102");

    TWGNMani* w2 = w;
    GlobWGNMani_ReleaseInstance(w);
    EXPECT_EQ(w, nullptr);
    GlobWGNMani_ReleaseInstance(w2);
}
