// Progress and wait displays: one redrawn terminal line in runs without dialogs (never
// a window), a window otherwise, and cancelling polled by loops.
#include "qttestapp.h"
#include "rdlprogress.h"
#include "rdlwartemaske.h"
#include "testumgebung.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace {

// The batch form's terminal for the life of the object.
struct TTestTerminal {
    std::ostringstream Strom;
    TRDLFortschrittsTerminal Alt;
    explicit TTestTerminal(bool ATerminal) : Alt(RDLFortschrittsTerminal_Setzen({&Strom, ATerminal})) {}
    ~TTestTerminal() { RDLFortschrittsTerminal_Setzen(Alt); }
};

bool KeinFensterSichtbar() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return false;
    return true;
}

// The statistics build's dialog.
void TageDialogAufbauen(TRDLStdProgressDialog& D, int ATage) {
    D.SetHeight(200);
    D.SetWidth(300);
    D.SetCaption("Berechne aggregierte Umsatzdaten");
    auto& bar = D.AddBar("barTage", "Tage");
    bar.SetDisplayOption(pdoPositionVonGesamt);
    bar.SetTotal(ATage);
    D.SetAllowCancel(true);
}

} // namespace

TEST(FortschrittOhneDialoge, EineZeileAufDemTerminalNurWennEsEinTerminalIst) {
    TTestUmgebung umgebung(false); // runs without dialogs
    TQtApp app;
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal);
        TTestTerminal t(terminal);
        {
            TRDLStdProgressDialog d;
            TageDialogAufbauen(d, 3);
            d.Show();
            for (int tag : {1, 2, 2, 3}) d.Bar("barTage")->SetPosition(tag); // the repeat is not redrawn
            d.Hide();
            EXPECT_FALSE(d.MitFenster());
        }
        const std::string k = "\rBerechne aggregierte Umsatzdaten - Tage: ";
        EXPECT_EQ(t.Strom.str(), terminal ? k + "0 / 3" + k + "1 / 3" + k + "2 / 3" + k + "3 / 3\n" : "");
        EXPECT_TRUE(KeinFensterSichtbar());
    }
}

TEST(FortschrittOhneDialoge, KuerzererTextUeberschreibtDenLaengerenGanz) {
    TTestUmgebung umgebung(false);
    TTestTerminal t(true);
    {
        TKOV_PEP_Progress p;
        p.SetCaption("Umsätze");
        p.SetDetail("Filiale 12");
        p.Show();
        p.SetDetail("Fil. 3");
        p.Hide();
        TfrmWartemaske w;
        w.Set_Text("Daten werden geladen");
        EXPECT_FALSE(p.MitFenster() || w.MitFenster());
    } // the wait display ends its line when it goes
    EXPECT_EQ(t.Strom.str(), "\rUmsätze: Filiale 12\rUmsätze: Fil. 3    \n\rDaten werden geladen\n");
}

TEST(FortschrittOhneDialoge, SchleifeFragtAbbruchNachDemVerarbeitenDerNachrichtenAb) {
    TTestUmgebung umgebung(false);
    TTestTerminal t(false);
    for (const bool erlaubt : {true, false}) {
        SCOPED_TRACE(erlaubt);
        TRDLStdProgressDialog d;
        TageDialogAufbauen(d, 10);
        d.SetAllowCancel(erlaubt);
        d.Show();
        // The user's click arrives while the loop lets messages be handled in round 3.
        int runde = 0;
        RDLInfo().ProcessMessagesHookSetzen([&](int) { if (runde == 3) d.Abbrechen(); });
        int verarbeitet = 0;
        for (runde = 1; runde <= 10; ++runde) {
            RDLInfo().RDLInfoProcessMessages(300);
            if (d.Cancelled()) break;
            d.Bar("barTage")->StepIt();
            ++verarbeitet;
        }
        RDLInfo().ProcessMessagesHookSetzen({});
        EXPECT_EQ(verarbeitet, erlaubt ? 2 : 10);
        EXPECT_EQ(d.Cancelled(), erlaubt);
    }
}

TEST(FortschrittMitDialogen, FensterZeigtBalkenUndDerKnopfBrichtAb) {
    TTestUmgebung umgebung(false);
    RDLProgramm().OhneDialogeSetzen(false);
    TQtApp app;
    TTestTerminal t(true);
    TRDLStdProgressDialog d;
    TageDialogAufbauen(d, 5);
    d.Show();
    d.Bar("barTage")->SetPosition(2);
    ASSERT_TRUE(d.MitFenster());
    QWidget* f = d.Fenster();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), "Berechne aggregierte Umsatzdaten");
    auto* bar = f->findChild<QProgressBar*>("barTage");
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->value(), 2);
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->text(), "2 / 5");
    EXPECT_FALSE(d.Cancelled());
    f->findChild<QPushButton*>("btnAbbrechen")->click();
    EXPECT_TRUE(d.Cancelled());
    d.Hide();
    EXPECT_FALSE(f->isVisible());

    TfrmWartemaske w;
    w.Set_Text("Daten werden geladen");
    ASSERT_TRUE(w.MitFenster());
    EXPECT_TRUE(w.Fenster()->isVisible());
    EXPECT_EQ(w.Fenster()->findChild<QLabel*>("lblText")->text(), "Daten werden geladen");
    w.Hide();
    EXPECT_EQ(t.Strom.str(), ""); // windows only, no terminal line
}
