// The floating goods of the demo installation.
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "testumgebung.h"

#include "demo/demo.h"
#include "rdldatum.h"
#include "swwaausw.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <map>
#include <set>

// The demo installation shows rows of every kind for the last 90 days.
TEST(SchwimmendeWareDemo, JedeArtHatZeilenInDenLetzten90Tagen) {
    TQtApp qt;
    TTestUmgebung umgebung(TestDatenbank());
    TDemoOptionen o;
    o.Filialen = 4;
    o.Tage = 21;
    o.Heute = EncodeDate(2026, 12, 1);
    o.Benutzer = "tester";
    DemoErzeugen(umgebung.Db(), o);
    TKOV_SchwWarefrm f;
    f.edtZeitraumVon->setText(QString::fromStdString(DateToStr(o.Heute - 90)));
    f.edtZeitraumBis->setText(QString::fromStdString(DateToStr(o.Heute - 1)));
    {
        // The demo's broken quick-capture chain is registered.
        TErwarteteAusnahmen erwartet{"TKOV_SchwWarefrm.SW_SER_laden"};
        f.btnStartClick();
    }
    ASSERT_NE(f.VRListNG(), nullptr);
    EXPECT_TRUE(f.ErgebnisVollstaendig());
    std::map<std::string, int> jeTyp;
    std::set<std::string> waehrungen;
    for (int i = 0; i < f.VRListNG()->GetRowCount(); ++i) {
        ++jeTyp[f.VRListNG()->GetCellValueAsFormatedString(i, swsTyp)];
        waehrungen.insert(f.VRListNG()->GetCellValueAsFormatedString(i, swsWaehrung));
    }
    for (const char* typ : {CSW_Typ_WE, CSW_Typ_DI, CSW_Typ_AGA, CSW_Typ_SER}) EXPECT_GT(jeTyp[typ], 0) << typ;
    EXPECT_GT(waehrungen.size(), 1u) << "eine Fremdwährung";
    f.btnGruppierenClick();
    EXPECT_TRUE(f.VRListGruppiert());
}
