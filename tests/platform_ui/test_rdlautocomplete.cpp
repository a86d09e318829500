// The suite's auto-complete dialog in Qt: keys typed ahead reach its field, and the
// windows below it stay out of reach while it runs.
#include "qttestapp.h"
#include "rdlautocomplete.h"
#include "rdldialog.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(AutoCompleteFenster, TastenVonUntenInsFeldUndSonstKeineEingabeDort) {
    TQtApp qt;
    QWidget darunter;
    auto* knopf = new QPushButton(QStringLiteral("Los"), &darunter);
    auto* eingabe = new QLineEdit(&darunter);
    eingabe->move(0, 40);
    int geklickt = 0;
    QObject::connect(knopf, &QPushButton::clicked, [&] { ++geklickt; });
    darunter.show();
    eingabe->setFocus();

    TRDLTrefferSuche suche;
    suche.Text = "a";
    suche.Treffer = [](const std::string& AText) { return std::vector<std::string>{"Treffer " + AText}; };
    std::string feld;
    bool offen = false;
    QTimer::singleShot(0, &darunter, [&] {
        QTest::mouseClick(knopf, Qt::LeftButton);
        darunter.close();
        offen = darunter.isVisible();
        // The window system sends keys to the window below until the dialog has the focus.
        QTest::keyClick(darunter.windowHandle(), 'b');
        QTest::keyClick(eingabe, 'c');
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w == &darunter || !w->isVisible() || !qobject_cast<QDialog*>(w)) continue;
            auto* edit = w->findChild<QLineEdit*>();
            feld = edit->text().toStdString();
            QTest::keyClick(edit, Qt::Key_Return);
        }
    });
    TRDLQtDialoge dialoge;
    int auswahl = -1;
    EXPECT_TRUE(dialoge.TrefferWaehlen(suche, auswahl));
    EXPECT_EQ(feld, "abc");
    EXPECT_EQ(auswahl, 0);
    EXPECT_EQ(suche.Text, "abc");
    EXPECT_EQ(geklickt, 0);
    EXPECT_TRUE(offen);
    EXPECT_TRUE(eingabe->text().isEmpty());

    // Once the dialog is closed, the window below takes input again.
    QTest::mouseClick(knopf, Qt::LeftButton);
    QTest::keyClick(eingabe, 'd');
    EXPECT_EQ(geklickt, 1);
    EXPECT_EQ(eingabe->text().toStdString(), "d");
}
