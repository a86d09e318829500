// The staff purchases of the demo installation.
#include "qttestapp.h"
#include "testumgebung.h"

#include "demo/demo.h"
#include "persrabfrm.h"
#include "rdldatum.h"

#include <QLineEdit>

#include <gtest/gtest.h>

// The last 60 days: purchases about 30 % below the till's price from the price table, the
// office member whose contract ended a year ago not among them.
TEST(PersonalrabatteDemo, KaeufeLiegenEtwaDreissigProzentUnterDemKassenpreis) {
    TQtApp qt;
    TTestUmgebung umgebung(TestDatenbank());
    TDemoOptionen o;
    o.Filialen = 4;
    o.Tage = 60;
    o.Heute = EncodeDate(2026, 12, 1);
    o.Benutzer = "tester";
    const TDemoErgebnis e = DemoErzeugen(umgebung.Db(), o);
    EXPECT_GT(e.Personalbelege, 0);
    TKOV_PersRabfrm f;
    f.edtVon->setText(QString::fromStdString(DateToStr(o.Heute - 60)));
    f.edtBis->setText(QString::fromStdString(DateToStr(o.Heute - 1)));
    f.btnStartClick();
    ASSERT_TRUE(f.ErgebnisVollstaendig());
    const auto& liste = f.PersRabListe();
    ASSERT_GT(liste.Count(), 10);
    int artikel = 0;
    for (int32_t i = 0; i < liste.Count(); ++i) {
        const TKOV_PersRabPos p = liste[i];
        EXPECT_NE(p.MitaNr, 9001) << "ended a year ago";
        EXPECT_FALSE(p.KeinKassenpreis);
        if (!p.IstArtikel) continue; // rounding and vouchers
        ++artikel;
        EXPECT_GT(p.KVK, 0);
        EXPECT_NEAR(p.Rabatt() / p.KVK, 0.30, 0.025) << p.IVK << " / " << p.KVK;
    }
    EXPECT_GT(artikel, 0);
}
