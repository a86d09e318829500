// The suite controls of the selection masks: client check box and period input.
#include "qttestapp.h"

#include "kovmandantencheckcombo.h"
#include "kovzeitraumeingabe.h"
#include "rdldatum.h"

#include <QAbstractItemView>
#include <QDateEdit>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TMandanten : public IRDL_MandListeServer {
public:
    std::vector<TMandant> Liste{{{1, 1}, "Modehaus Nord"}, {{2, 1}, "Modehaus Süd"}, {{3, 1}, "Outlet"}};
    int GetCount() const override { return int(Liste.size()); }
    const TMandant& GetMandant(int AIdx) const override { return Liste.at(size_t(AIdx)); }
    int IndexOf(const TIntPair& AKey) const override {
        for (size_t i = 0; i < Liste.size(); ++i)
            if (Liste[i].Key == AKey) return int(i);
        return -1;
    }
    TMandant GetMandantByKey(const TIntPair& AKey) const override {
        const int i = IndexOf(AKey);
        return i < 0 ? TMandant{AKey, ""} : Liste[size_t(i)];
    }
};

} // namespace

TEST(MandantenCheckCombo, TicksClientsAndShowsWhichAreTicked) {
    TQtApp qt;
    TMandanten server;
    TKOV_MandantenCheckCombo c;
    c.MandantenFuellen(server);
    EXPECT_EQ(c.MandantenAnzahl(), 3);
    EXPECT_TRUE(c.SelectedMandanten_Get().empty());
    EXPECT_EQ(c.Anzeigetext().toStdString(), "Kein Mandant");
    c.SetAll(true);
    EXPECT_EQ(c.SelectedMandanten_Get().size(), 3u);
    EXPECT_EQ(c.Anzeigetext().toStdString(), "Alle Mandanten");
    c.MandantSelected_Set({2, 1}, false);
    EXPECT_FALSE(c.IsMandantSelected({2, 1}));
    EXPECT_TRUE(c.IsMandantSelected({3, 1}));
    EXPECT_FALSE(c.IsMandantSelected({9, 9}));
    EXPECT_EQ(c.SelectedMandanten_Get(), (TArray<TIntPair>{{1, 1}, {3, 1}}));
    EXPECT_EQ(c.Anzeigetext().toStdString(), "Modehaus Nord, Outlet");
    EXPECT_EQ(MandantenIDListe_2_BeschreibendeKuerzel({{1, 1}, {7, 1}}, server), "Modehaus Nord, 7/1");

    // A click in the open list ticks the entry under the mouse.
    c.show();
    c.showPopup();
    QAbstractItemView* liste = c.view();
    const QRect r = liste->visualRect(liste->model()->index(1, 0));
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_TRUE(c.IsMandantSelected({2, 1}));
    c.hidePopup();
}

// The click that opens the list ends over an entry: that release must not tick it.
TEST(MandantenCheckCombo, OpeningTheListChangesNoTick) {
    TQtApp qt;
    TMandanten server;
    TKOV_MandantenCheckCombo c;
    c.MandantenFuellen(server);
    c.SetAll(true);
    c.show();
    QTest::mousePress(&c, Qt::LeftButton, {}, c.rect().center());
    QAbstractItemView* liste = c.view();
    ASSERT_TRUE(liste->isVisible());
    for (int i = 0; i < 3; ++i) {
        const QPoint p = liste->visualRect(liste->model()->index(i, 0)).center();
        QTest::mouseRelease(liste->viewport(), Qt::LeftButton, {}, p);
    }
    EXPECT_EQ(c.SelectedMandanten_Get().size(), 3u);
    // A real click in the open list after that still ticks.
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->visualRect(liste->model()->index(0, 0)).center());
    EXPECT_EQ(c.SelectedMandanten_Get(), (TArray<TIntPair>{{2, 1}, {3, 1}}));
    c.hidePopup();
}

TEST(ZeitraumEingabe, KeepsBothDaysAsSetEvenReversed) {
    TQtApp qt;
    TKOV_ZeitraumEingabe z;
    EXPECT_EQ(z.lblVon->text().toStdString(), "&von Datum:");
    EXPECT_EQ(z.lblBis->text().toStdString(), "&bis Datum:");
    const TKOV_VonBisDatum p{EncodeDate(2026, 12, 9), EncodeDate(2026, 12, 1)};
    z.Zeitraum_Set(p);
    EXPECT_EQ(z.Zeitraum_Get(), p);
    EXPECT_EQ(z.edtVon->date(), QDate(2026, 12, 9));
    EXPECT_EQ(TDate_2_QDate(EncodeDate(2024, 2, 29)), QDate(2024, 2, 29));
    EXPECT_EQ(QDate_2_TDate(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(p.ToString(), "09.12.2026 - 01.12.2026");
}
