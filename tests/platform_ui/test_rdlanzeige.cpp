// How registered failures reach the user and the log: a repeat is shown once until
// the user acts or a pause passes, and a database failure's code and details go to
// the log only.
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "rdlbenutzeraktion.h"
#include "testumgebung.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// The info object's clock, moved by hand.
struct TTestUhr {
    std::chrono::steady_clock::time_point Jetzt{};
    void Einsetzen() {
        RDLInfo().UhrSetzen([this] { return Jetzt; });
    }
};

void Registrieren(const std::string& ATraceName, const std::string& AText, bool AFlag = true) {
    KOV_Geschuetzt(ATraceName, AFlag, [&] { throw EListError(AText); });
}

int Gezeigt(TTestUmgebung& AUmgebung) { return int(AUmgebung.Meldungen().Meldungen.size()); }

} // namespace

TEST(Fehleranzeige, WiederholungNurNachBenutzeraktionOderPauseErneutGezeigt) {
    TTestUmgebung umgebung(false);
    TErwarteteAusnahmen gewollt{"T.Lesen", "T.Schreiben"};
    TTestUhr uhr;
    uhr.Einsetzen();
    const struct {
        std::chrono::milliseconds Nach; // since the step before
        bool Aktion;                    // the user acted before the failure
        const char* Trace;
        bool Flag;
        bool Gezeigt;
    } schritte[] = {
        {0ms, false, "T.Lesen", true, true},
        {1000ms, false, "T.Lesen", true, false},   // a loop failing on every round
        {1500ms, false, "T.Lesen", true, false},   // the pause counts from the last repeat
        {2000ms, false, "T.Lesen", true, true},    // after a pause: news again
        {10ms, true, "T.Lesen", true, true},       // the user retries
        {10ms, false, "T.Lesen", false, false},    // clean-up failures stay silent
        {10ms, false, "T.Lesen", true, false},
        {10ms, false, "T.Schreiben", true, true},  // another failure
        {10ms, false, "T.Lesen", true, true},
    };
    int erwartet = 0;
    int nr = 0;
    for (const auto& s : schritte) {
        SCOPED_TRACE(++nr);
        uhr.Jetzt += s.Nach;
        if (s.Aktion) RDLInfo().BenutzerAktion();
        Registrieren(s.Trace, "Satz gesperrt", s.Flag);
        erwartet += s.Gezeigt ? 1 : 0;
        EXPECT_EQ(Gezeigt(umgebung), erwartet);
    }
    EXPECT_EQ(RDLInfo().Registrierte().size(), std::size(schritte)) << "every failure is registered";
}

// Reading a message takes no pause: the time counts from when it was closed.
TEST(Fehleranzeige, DieZeitZumLesenIstKeinePause) {
    TTestUmgebung umgebung(false);
    TErwarteteAusnahmen gewollt{"T.Lesen"};
    TTestUhr uhr;
    uhr.Einsetzen();
    struct TLangsamLesen : IRDLMeldungsAusgabe {
        TTestUhr& Uhr;
        int Anzahl = 0;
        explicit TLangsamLesen(TTestUhr& AUhr) : Uhr(AUhr) {}
        int Zeigen(const TRDLMeldung&) override {
            ++Anzahl;
            Uhr.Jetzt += 30s;
            return mrOk;
        }
    };
    auto ausgabe = std::make_shared<TLangsamLesen>(uhr);
    RDLInfo().AusgabeSetzen(ausgabe);
    Registrieren("T.Lesen", "Satz gesperrt");
    uhr.Jetzt += 100ms;
    Registrieren("T.Lesen", "Satz gesperrt");
    EXPECT_EQ(ausgabe->Anzahl, 1);
}

TEST(Fehleranzeige, KlickOderTasteAufEinemFensterIstEineBenutzeraktion) {
    TQtApp qt;
    TTestUmgebung umgebung(false);
    TErwarteteAusnahmen gewollt{"T.Lesen"};
    TRDLBenutzerAktionsFilter filter;
    QCoreApplication::instance()->installEventFilter(&filter);
    QWidget fenster;
    QMessageBox box(QMessageBox::Critical, "Test", "Satz gesperrt", QMessageBox::Ok);
    QWidget* knopf = box.button(QMessageBox::Ok);
    ASSERT_NE(knopf, nullptr);
    QObject keinFenster;

    const auto klick = [](QObject* AZiel) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(AZiel, &e);
    };
    const auto taste = [](QObject* AZiel, bool AWiederholt) {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier, QString(), AWiederholt);
        QCoreApplication::sendEvent(AZiel, &e);
    };
    const struct {
        const char* Name;
        std::function<void()> Aktion;
        bool ZeigtErneut;
    } faelle[] = {
        {"Klick ins Fenster", [&] { klick(&fenster); }, true},
        {"Taste im Fenster", [&] { taste(&fenster, false); }, true},
        {"gehaltene Taste", [&] { taste(&fenster, true); }, false},
        {"OK der Meldung", [&] { klick(knopf); }, false},
        {"Taste in der Meldung", [&] { taste(knopf, false); }, false},
        {"kein Widget", [&] { klick(&keinFenster); }, false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Name);
        umgebung.Meldungen().Meldungen.clear();
        Registrieren("T.Lesen", f.Name); // shown: another text than the case before
        f.Aktion();
        Registrieren("T.Lesen", f.Name);
        EXPECT_EQ(Gezeigt(umgebung), f.ZeigtErneut ? 2 : 1);
    }
    QCoreApplication::instance()->removeEventFilter(&filter);
}

TEST(Fehlerprotokoll, DatenbankfehlerProtokolliertCodeUndDetailsZeigtNurDenText) {
    TTestUmgebung umgebung(false);
    TErwarteteAusnahmen gewollt{"T.Buchen"};
    const std::string log = (std::filesystem::temp_directory_path() /
                             ("quendrix_anzeige_" + std::to_string(::getpid()) + ".log"))
                                .string();
    const std::string text = "Die Buchung konnte nicht gespeichert werden.";
    const struct {
        std::string Code, Details;
        std::string Anhang; // after the German text on the log line
    } faelle[] = {
        {"", "", ""},
        {"23505", "", "\tCode 23505"},
        {"", "database is locked", "\tdatabase is locked"},
        {"19", "UNIQUE constraint failed: lst.transnr\nINSERT INTO lst\t(transnr)\r\nVALUES (?)",
         "\tCode 19\tUNIQUE constraint failed: lst.transnr INSERT INTO lst (transnr)  VALUES (?)"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Anhang);
        const EDatenbankFehler fehler(text, TDbFehlerArt::Allgemein, f.Code, f.Details);
        const std::string zeilenende = "\tT.Buchen\tEDatenbankFehler: " + text + f.Anhang;
        std::filesystem::remove(log);
        RDLInfo().LogDateiSetzen(log);
        umgebung.Meldungen().Meldungen.clear();
        RDLInfo().BenutzerAktion();

        // Interactive: the user sees the German text only.
        RDLInfo().BatchBetriebSetzen(false);
        KOV_Geschuetzt("T.Buchen", true, [&] { throw fehler; });
        ASSERT_EQ(umgebung.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(umgebung.Meldungen().Meldungen[0].Text, "Es ist ein Fehler aufgetreten:\n" + text);

        // Batch: standard error gets the German text; trace name, code and SQL stay in the log.
        RDLInfo().BatchBetriebSetzen(true);
        std::ostringstream stderrText;
        std::streambuf* alt = std::cerr.rdbuf(stderrText.rdbuf());
        KOV_Geschuetzt("T.Buchen", true, [&] { throw fehler; });
        std::cerr.rdbuf(alt);

        std::ifstream in(log);
        std::string zeile;
        int zeilen = 0;
        while (std::getline(in, zeile)) {
            ++zeilen;
            EXPECT_TRUE(zeile.ends_with(zeilenende)) << zeile;
        }
        EXPECT_EQ(zeilen, 2);
        EXPECT_EQ(stderrText.str(), text + " (Einzelheiten im Protokoll " + log + ")\n");
    }
    std::filesystem::remove(log);
}
