// The invisible main form base: Execute runs once, inside the message loop when an
// application object exists, and an exception reaches the caller after the loop.
#include "hiddenmainform.h"
#include "exceptions.h"

#include <QApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TZaehlForm : public TKOV_HiddenMainForm {
public:
    int Aufrufe = 0;
    bool InSchleife = false;
    bool Werfen = false;

protected:
    void Execute() override {
        ++Aufrufe;
        InSchleife = QCoreApplication::instance() && QCoreApplication::instance()->thread()->loopLevel() > 0;
        if (Werfen) throw EConvertError("Execute gescheitert");
    }
};

} // namespace

TEST(HiddenMainForm, ExecuteLaeuftEinmalUndFehlerKommenZumAufrufer) {
    for (const bool mitQt : {false, true}) {
        SCOPED_TRACE(mitQt ? "mit Qt" : "ohne Qt");
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        std::unique_ptr<QApplication> app;
        if (mitQt && !QCoreApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
        const bool schleife = QCoreApplication::instance() != nullptr;

        TZaehlForm form;
        form.Ausfuehren();
        form.Ausfuehren();
        EXPECT_EQ(form.Aufrufe, 1);
        EXPECT_EQ(form.InSchleife, schleife);

        TZaehlForm werfend;
        werfend.Werfen = true;
        EXPECT_THROW(werfend.Ausfuehren(), EConvertError);
        EXPECT_EQ(werfend.Aufrufe, 1);
    }
}
