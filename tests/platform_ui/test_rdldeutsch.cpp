// Qt's own texts and formats in German, whatever the process locale is.
#include "qttestapp.h"
#include "rdldeutsch.h"
#include "rdlinfo.h"
#include "testdateien.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>
#include <filesystem>
#include <unistd.h>

namespace {

// A process whose locale is C, as under LC_ALL=C; afterwards the default locale and
// the translators are what they were.
struct TQtDeutsch : ::testing::Test {
    TQtApp Qt;
    QLocale Alt;
    QList<QTranslator*> Vorher = qApp->findChildren<QTranslator*>();
    TQtDeutsch() { QLocale::setDefault(QLocale::c()); }
    ~TQtDeutsch() override {
        for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
            if (Vorher.contains(t)) continue;
            QCoreApplication::removeTranslator(t);
            delete t;
        }
        QLocale::setDefault(Alt);
    }
};

std::string S(const QString& AText) { return AText.toStdString(); }

} // namespace

TEST_F(TQtDeutsch, DialogeKnoepfeUndKalenderSprechenDeutsch) {
    ASSERT_EQ(S(QLocale().monthName(1)), "January");
    ASSERT_TRUE(RDLQtDeutschEinrichten());
    // The buttons of message boxes and button boxes come from the platform theme's texts.
    EXPECT_EQ(S(QCoreApplication::translate("QPlatformTheme", "&Yes")), "&Ja");
    QMessageBox frage(QMessageBox::Question, "Frage", "Weiter?", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(S(frage.button(QMessageBox::Yes)->text()), "&Ja");
    EXPECT_EQ(S(frage.button(QMessageBox::No)->text()), "&Nein");
    QDialogButtonBox knoepfe(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    EXPECT_EQ(S(knoepfe.button(QDialogButtonBox::Save)->text()), "Speichern");
    EXPECT_EQ(S(knoepfe.button(QDialogButtonBox::Cancel)->text()), "Abbrechen");
    QPrintPreviewDialog vorschau;
    EXPECT_EQ(S(vorschau.windowTitle()), "Druckvorschau");
    QCalendarWidget kalender;
    EXPECT_EQ(S(kalender.locale().monthName(1)), "Januar");
    EXPECT_EQ(S(kalender.locale().dayName(1)), "Montag");
    EXPECT_EQ(S(QLocale().toString(1234.5, 'f', 2)), "1.234,50");

    // Once per application.
    const auto anzahl = qApp->findChildren<QTranslator*>().size();
    EXPECT_TRUE(RDLQtDeutschEinrichten());
    EXPECT_EQ(qApp->findChildren<QTranslator*>().size(), anzahl);
}

// Without the translation file the program runs on in Qt's English, and the log says why.
TEST_F(TQtDeutsch, OhneUebersetzungsdateiSagtEsDasLog) {
    namespace fs = std::filesystem;
    const fs::path ordner = fs::temp_directory_path() / ("rdldeutsch_" + std::to_string(getpid()));
    fs::create_directories(ordner);
    const std::string altesLog = RDLInfo().LogDatei();
    RDLInfo().LogDateiSetzen((ordner / "test.log").string());
    EXPECT_FALSE(RDLQtDeutschEinrichten((ordner / "leer").string()));
    RDLInfo().LogDateiSetzen(altesLog);
    const std::string text = DateiLesen(ordner / "test.log");
    EXPECT_NE(text.find("qtbase_de.qm"), std::string::npos) << text;
    EXPECT_EQ(S(QCoreApplication::translate("QPlatformTheme", "&Yes")), "&Yes");
    EXPECT_EQ(S(QLocale().monthName(1)), "Januar");
    fs::remove_all(ordner);
}
