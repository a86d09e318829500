// The form base: a form's place is stored per form name and workstation when it is
// closed and restored by the next instance, as far as its store mode says.
#include "qttestapp.h"
#include "rdlform.h"
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
