// Remote control of a result window by another program: quendrix-remote, a process of its
// own, asks a window of this test process (which keeps handling its events) for its
// result. Written is only a whole result, with event 3; a request during a selection is
// carried out after it; a failure is answered as such, without event 3.
#include "fernanfrage.h"
#include "qttestapp.h"
#include "testdateien.h"
#include "testumgebung.h"

#include "rdlereignis.h"
#include "rdlergebnisdatei.h"
#include "rdlfernsteuerung.h"
#include "rdlform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

const char* const CFenster = "TTestErgebnisFrm";

// A result window as the evaluations build one: its result is a text it writes as is.
class TErgebnisFenster : public TRDLForm {
public:
    TErgebnisFenster() : TRDLForm(nullptr, CFenster) {
        Fernsteuerung = RDLFernsteuerungEinrichten(
            this,
            [this](const std::string& ADatei) {
                return Ergebnis && RDLErgebnisDateiGeschrieben(ADatei, *Ergebnis, "TTestErgebnisFrm.Liste_Speichern");
            },
            CFenster);
    }
    // A selection that lets events through until AFertig() holds; meanwhile there is no result.
    void Auswerten(const std::function<bool()>& AFertig, const std::string& AErgebnis) {
        Bewacht("btnStartClick", [&] {
            Ergebnis.reset();
            while (!AFertig()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            Ergebnis = AErgebnis;
            KOV_SetEvent(CKOV_Event_ErgebnisBereit);
        });
    }
    std::optional<std::string> Ergebnis;
    TRDLFernsteuerung* Fernsteuerung = nullptr;
};

// quendrix-remote started; it inherits the workstation.
struct TRemote {
    QProcess Prozess;
    explicit TRemote(const QStringList& AArgs) {
        Prozess.start(QCoreApplication::applicationDirPath() + "/quendrix-remote", AArgs);
        EXPECT_TRUE(Prozess.waitForStarted()) << "build/bin/quendrix-remote";
    }
    bool Laeuft() const { return Prozess.state() != QProcess::NotRunning; }
    // Its exit code, after handling this process's events until it ended (it ends by
    // itself at its time limit at the latest).
    int Ende() {
        QEventLoop schleife;
        QObject::connect(&Prozess, &QProcess::finished, &schleife, &QEventLoop::quit);
        if (Laeuft()) schleife.exec();
        Fehlerausgabe = Prozess.readAllStandardError().toStdString();
        return Prozess.exitCode();
    }
    std::string Fehlerausgabe;
};

struct TFernsteuerung : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung{false};
    TEigenerArbeitsplatz Arbeitsplatz;
    QTemporaryDir Ordner;
    const std::string Datei = Ordner.filePath("ergebnis.csv").toStdString();

    QStringList Anfrage(const std::string& ADatei, const char* ASekunden = "30") const {
        return {"--window", CFenster, "--export", QString::fromStdString(ADatei), "--timeout", ASekunden};
    }
};

} // namespace

// --- the answers ---------------------------------------------------------------------------

struct TFall {
    const char* Name;
    std::optional<std::string> Ergebnis; // the window's result; none before any selection
    bool Schreibfehler;                  // the disk fills while the file is written
    int Exit;
    const char* DateiDanach;             // nullptr: no file
    int Ereignisse;                      // event 3 signalled for the request
};

void PrintTo(const TFall& AFall, std::ostream* AOut) { *AOut << AFall.Name; }

class TFernAntwort : public TFernsteuerung, public ::testing::WithParamInterface<TFall> {};

TEST_P(TFernAntwort, NurEinGeschriebenesErgebnisIstErfolgUndBringtEreignis3) {
    const TFall& fall = GetParam();
    TErgebnisFenster f;
    f.Ergebnis = fall.Ergebnis;
    f.show();
    ASSERT_TRUE(f.Fernsteuerung->Lauscht());
    // Only its user reaches the socket.
    const QFileInfo socket(QString::fromStdString(RDLFernsteuerungPfad(CFenster)));
    EXPECT_EQ(socket.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther), 0);
    if (fall.Schreibfehler) std::ofstream(Datei, std::ios::binary) << "alt";
    std::optional<TRDLErgebnisDateiStoerung> stoerung;
    if (fall.Schreibfehler) stoerung.emplace(TRDLErgebnisStoerStelle::Abschluss);

    const int64_t vorher = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    TRemote remote(Anfrage(Datei));
    EXPECT_EQ(remote.Ende(), fall.Exit) << remote.Fehlerausgabe;
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit) - vorher, fall.Ereignisse);
    if (fall.DateiDanach) EXPECT_EQ(DateiLesen(Datei), fall.DateiDanach);
    else EXPECT_FALSE(std::filesystem::exists(Datei));
    // No temporary file stays behind.
    EXPECT_EQ(OrdnerNamen(Ordner.path().toStdString()), fall.DateiDanach ? "ergebnis.csv " : "");
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, TFernAntwort,
    ::testing::Values(TFall{"Geschrieben", "Filiale;Umsatz\r\n2;9,50\r\n", false, 0, "Filiale;Umsatz\r\n2;9,50\r\n", 1},
                      TFall{"VorDerErstenAuswertung", std::nullopt, false, 4, nullptr, 0},
                      TFall{"Schreibfehler", "neu", true, 4, "alt", 0}),
    [](const ::testing::TestParamInfo<TFall>& AInfo) { return std::string(AInfo.param.Name); });

// A request that comes while the window selects waits for the selection and gets its result.
TEST_F(TFernsteuerung, AnfrageWaehrendDerAuswertungWirdDanachBeantwortet) {
    TErgebnisFenster f;
    f.Ergebnis = "alt";
    f.show();
    TRemote remote(Anfrage(Datei));
    f.Auswerten([&] { return f.Fernsteuerung->Wartende() > 0 || !remote.Laeuft(); }, "neu");
    EXPECT_EQ(remote.Ende(), 0) << remote.Fehlerausgabe;
    EXPECT_EQ(DateiLesen(Datei), "neu");
    EXPECT_NE(remote.Fehlerausgabe.find("wertet gerade aus"), std::string::npos) << remote.Fehlerausgabe;
}

// Without an answer in time the caller gives up (exit 5) and its request is withdrawn:
// the window, done later, writes nothing.
TEST_F(TFernsteuerung, OhneAntwortInDerZeitWirdDieAnfrageZurueckgezogen) {
    TErgebnisFenster f;
    f.show();
    const int64_t vorher = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    TRemote remote(Anfrage(Datei, "1"));
    f.Auswerten([&] { return !remote.Laeuft() && f.Fernsteuerung->Wartende() == 0; }, "neu");
    EXPECT_EQ(remote.Ende(), 5) << remote.Fehlerausgabe;
    QCoreApplication::processEvents();
    EXPECT_FALSE(std::filesystem::exists(Datei));
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit) - vorher, 1); // the selection's own
}

// The window listens while it is shown; before and after, nobody answers (exit 3).
TEST_F(TFernsteuerung, NurDasOffeneFensterNimmtAnfragenAn) {
    TErgebnisFenster f;
    f.Ergebnis = "x";
    EXPECT_EQ(TRemote(Anfrage(Datei)).Ende(), 3);
    f.show();
    EXPECT_EQ(TRemote(Anfrage(Datei)).Ende(), 0);
    f.close();
    EXPECT_EQ(TRemote(Anfrage(Datei)).Ende(), 3);
}

// A missing, unknown or unreadable option asks nobody: exit 2 with the usage.
TEST_F(TFernsteuerung, FalscherAufrufEndetMitExitZwei) {
    for (const QStringList& args : {QStringList{"--window", CFenster}, QStringList{"--export", "x.csv"},
                                    Anfrage(Datei, "0"), Anfrage(Datei, "zehn"), Anfrage(Datei + "\nanders.csv"),
                                    QStringList{"--fenster", CFenster}}) {
        TRemote remote(args);
        EXPECT_EQ(remote.Ende(), 2) << args.join(' ').toStdString();
        EXPECT_NE(remote.Fehlerausgabe.find("Aufruf: quendrix-remote"), std::string::npos);
    }
}
