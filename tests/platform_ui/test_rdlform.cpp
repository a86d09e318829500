// The form base: a form's place is stored per form name and workstation when it is
// closed and restored by the next instance, as far as its store mode says.
#include "qttestapp.h"
#include "rdlform.h"
#include "erwarteteausnahmen.h"
#include "rdlinfo.h"
#include "testumgebung.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

// The workstation identifier for the life of the object.
struct TTerminal {
    std::optional<std::string> Alt;
    explicit TTerminal(const char* AId) {
        if (const char* a = std::getenv("QUENDRIX_TERMINAL")) Alt = a;
        setenv("QUENDRIX_TERMINAL", AId, 1);
    }
    ~TTerminal() {
        if (Alt) setenv("QUENDRIX_TERMINAL", Alt->c_str(), 1); else unsetenv("QUENDRIX_TERMINAL");
    }
};

const QRect CStandard(10, 20, 200, 150); // where a form opens before anything is stored

// Opens a form as a window's create handler does, then moves it and closes it.
QRect OeffnenVerschiebenSchliessen(const char* AName, int AModus, const QRect& ANeu) {
    TRDLForm f;
    f.setGeometry(CStandard);
    if (AModus >= 0) f.SetRDLFormPosStoreMode(AModus);
    f.RDLFormInit(AName, true);
    f.show();
    const QRect geoeffnet = f.geometry();
    f.setGeometry(ANeu);
    f.close();
    return geoeffnet;
}

} // namespace

TEST(RDLForm, PlatzWirdBeimSchliessenGespeichertUndVonDerNaechstenInstanzGeladen) {
    const QRect neu(120, 90, 420, 310);
    const struct {
        const char* Fall;
        int Modus; // -1: not set (position only)
        QRect Erwartet;
    } faelle[] = {
        {"Position und Groesse", fpsPositionUndGroesse, neu},
        {"nur Position", -1, QRect(neu.topLeft(), CStandard.size())},
        {"nichts", fpsKeine, CStandard},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Fall);
        TTestUmgebung umgebung;
        TQtApp app;
        TTerminal kasse("KASSE1");
        EXPECT_EQ(OeffnenVerschiebenSchliessen("TKOV_TestFrm", f.Modus, neu), CStandard);
        EXPECT_EQ(OeffnenVerschiebenSchliessen("TKOV_TestFrm", f.Modus, CStandard), f.Erwartet);
        EXPECT_TRUE(umgebung.Meldungen().Meldungen.empty());
    }
}

TEST(RDLForm, PlatzGiltJeFormnameUndArbeitsplatz) {
    TTestUmgebung umgebung;
    TQtApp app;
    const QRect neu(120, 90, 420, 310);
    {
        TTerminal kasse("KASSE1");
        OeffnenVerschiebenSchliessen("TKOV_AFrm", fpsPositionUndGroesse, neu);
        EXPECT_EQ(OeffnenVerschiebenSchliessen("TKOV_BFrm", fpsPositionUndGroesse, CStandard), CStandard);
    }
    {
        TTerminal buero("BUERO");
        EXPECT_EQ(OeffnenVerschiebenSchliessen("TKOV_AFrm", fpsPositionUndGroesse, CStandard), CStandard);
    }
    TTerminal kasse("KASSE1");
    EXPECT_EQ(OeffnenVerschiebenSchliessen("TKOV_AFrm", fpsPositionUndGroesse, CStandard), neu);
    TRDLForm f;
    f.RDLFormInit("TKOV_AFrm", false); // without restoring
    EXPECT_EQ(f.objectName(), "TKOV_AFrm");
    EXPECT_NE(f.pos(), neu.topLeft());
}

namespace {

// A window's handlers as the form base runs them.
class TBewachtesFenster : public TRDLForm {
public:
    TBewachtesFenster() : TRDLForm(nullptr, "TKOV_TestFrm") {}
    template <class F>
    void Handler(const char* AName, F&& ABody) { Bewacht(AName, std::forward<F>(ABody)); }
};

} // namespace

TEST(RDLForm, BewachtMeldetFehlerUnterDemTracenamenUndLaesstWaehrendDerArbeitNichtsAnderesZu) {
    TTestUmgebung umgebung;
    TQtApp app;
    TErwarteteAusnahmen erwartet{"TKOV_TestFrm.btnStartClick"};
    TBewachtesFenster f;
    f.show();
    int innen = 0;
    bool offenWaehrendDerArbeit = false;
    f.Handler("btnStartClick", [&] {
        f.Handler("btnExportClick", [&] { ++innen; }); // a second handler waits for no one: it is dropped
        f.close();                                     // refused while working
        offenWaehrendDerArbeit = f.isVisible();
        throw EConvertError("kaputt");
    });
    EXPECT_EQ(innen, 0);
    EXPECT_TRUE(offenWaehrendDerArbeit);
    ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
    EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "TKOV_TestFrm.btnStartClick");
    f.Handler("btnExportClick", [&] { ++innen; }); // the failed handler released the window
    EXPECT_EQ(innen, 1);
    f.close();
    EXPECT_FALSE(f.isVisible());
}
