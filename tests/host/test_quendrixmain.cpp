// The catalogue window: its rows, details, search and the start of an evaluation.
#include "erwarteteausnahmen.h"
#include "host_umgebung.h"
#include "qttestapp.h"
#include "testumgebung.h"

#include "quendrix.h"
#include "quendrixmain.h"
#include "quendrixmodule.h"
#include "rdlautocomplete.h"
#include "rdldialog.h"
#include "rdlfarben.h"
#include "vtrdlvrlist.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

struct TKatalog : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung;
    const THostTestKlasse Umsatz{"UMSTEST", "Umsatz im Test", 0};
    const THostTestKlasse Bestand{"BESTTEST", "Bestand im Test", 0};
    THostRegistrierung Registrierung{&Umsatz, &Bestand};
    TRDLVorgabeDialoge* Dialoge = nullptr;
    std::unique_ptr<IRDLDialoge> AlteDialoge;

    TKatalog() {
        THostProtokoll::Leeren();
        Umgebung.Installation(1, "MUSTER00");
        Umgebung.Benutzer("tester", {"441"});
        RDLProgramm().BenutzerSetzen("tester");
        auto d = std::make_unique<TRDLVorgabeDialoge>();
        Dialoge = d.get();
        AlteDialoge = RDLDialoge_Ersetzen(std::move(d));
    }
    ~TKatalog() override {
        RDLDialoge_Ersetzen(std::move(AlteDialoge));
        THostProtokoll::Leeren();
    }

    static std::vector<std::string> Spalte(const TKOV_Quendrix_MainFrm& F, int ACol) {
        std::vector<std::string> z;
        const TVRList* l = F.vtAuswertungen->List();
        for (int r = 0; l && r < l->GetRowCount(); ++r) z.push_back(l->GetCellValueAsFormatedString(r, ACol));
        return z;
    }
    static std::string Gewaehlt(const TKOV_Quendrix_MainFrm& F) {
        const QModelIndex k = F.vtAuswertungen->GetFirstSelected();
        return k.isValid() ? F.vtAuswertungen->List()->GetCellValue(k.row(), TKOV_Quendrix_MainFrm::spKurzname).AsString()
                           : "";
    }
    static QModelIndex Zeile(const TKOV_Quendrix_MainFrm& F, int ARow) {
        return F.vtAuswertungen->Model().index(ARow, 0);
    }
};

} // namespace

// The real evaluations of an installation where all are active: sorted by display name,
// the first one selected with its details; only two columns shown; every second row
// in the suite's alternate colour.
TEST_F(TKatalog, ZeigtDieAuswertungenNachBezeichnungUndDieErsteMitDetails) {
    THostRegistrierung echte;
    QuendrixAuswertungenRegistrieren();
    Umgebung.Installation(1, "ODRIKS00");
    TKOV_Quendrix_MainFrm f;
    QAbstractItemModelTester tester(&f.vtAuswertungen->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(f.windowTitle().toStdString().rfind("Auswertungs-Center - ", 0), 0u);
    const auto namen = Spalte(f, TKOV_Quendrix_MainFrm::spBezeichnung);
    ASSERT_EQ(namen.size(), 8u);
    EXPECT_EQ(namen.front(), "Artikelbestandsexport");
    EXPECT_TRUE(std::is_sorted(namen.begin(), namen.end()));
    EXPECT_EQ(Gewaehlt(f), "ARTBESTCSVEXP");
    EXPECT_EQ(f.lblBezeichnung->text(), "Artikelbestandsexport");
    EXPECT_FALSE(f.memBeschreibung->toPlainText().isEmpty());
    EXPECT_FALSE(f.memSchlagwort->toPlainText().isEmpty());
    std::vector<bool> sichtbar;
    for (int c = 0; c < TKOV_Quendrix_MainFrm::spAnzahl; ++c) sichtbar.push_back(f.vtAuswertungen->ColumnVisible_Get(c));
    EXPECT_EQ(sichtbar, (std::vector<bool>{true, true, false, false, false}));
    const auto& m = f.vtAuswertungen->Model();
    EXPECT_FALSE(m.data(m.index(0, 1), Qt::BackgroundRole).isValid());
    EXPECT_EQ(m.data(m.index(1, 1), Qt::BackgroundRole).value<QColor>(), GetRDLColor(121));
    EXPECT_FALSE(m.data(m.index(2, 0), Qt::BackgroundRole).isValid());
}

TEST_F(TKatalog, OhneAktiveAuswertungBleibtAllesLeerUndDieKnoepfeTunNichts) {
    const THostTestKlasse nirgends("NIRGENDS", "Nirgends aktiv", 0, TRTypen{});
    THostRegistrierung nur({&nirgends});
    TKOV_Quendrix_MainFrm f;
    EXPECT_EQ(f.vtAuswertungen->List()->GetRowCount(), 0);
    f.btnAendernClick();
    f.vtAuswertungenKeyDown(Qt::Key_Return);
    f.vtAuswertungenDblClick(QPoint(5, 5));
    EXPECT_EQ(THostProtokoll::Text(), "");
    EXPECT_TRUE(f.lblBezeichnung->text().isEmpty());
    EXPECT_TRUE(f.memBeschreibung->toPlainText().isEmpty());
}

// The details follow whatever changed last: the mouse or the selection.
TEST_F(TKatalog, DetailsFolgenMausUndAuswahl) {
    TKOV_Quendrix_MainFrm f;
    f.resize(792, 566);
    f.show();
    ASSERT_EQ(Spalte(f, 0), (std::vector<std::string>{"Bestand im Test", "Umsatz im Test"}));
    EXPECT_EQ(f.lblBezeichnung->text(), "Bestand im Test");
    const QRect zweite = f.vtAuswertungen->visualRect(Zeile(f, 1));
    f.vtAuswertungenMouseMove(zweite.center());
    EXPECT_EQ(f.lblBezeichnung->text(), "Umsatz im Test");
    EXPECT_EQ(f.memBeschreibung->toPlainText(), "Test UMSTEST");
    f.vtAuswertungenMouseMove(QPoint(5, f.vtAuswertungen->viewport()->height() - 2)); // empty space
    EXPECT_EQ(f.lblBezeichnung->text(), "Umsatz im Test");
    f.vtAuswertungenMouseMove(f.vtAuswertungen->visualRect(Zeile(f, 0)).center());
    EXPECT_EQ(f.lblBezeichnung->text(), "Bestand im Test");
    f.vtAuswertungen->setCurrentIndex(Zeile(f, 1));
    EXPECT_EQ(f.lblBezeichnung->text(), "Umsatz im Test");
}

// Typing a letter opens the search with it and leaves the field empty; a pick selects
// the row and shows it, but starts nothing.
TEST_F(TKatalog, SucheWaehltEineZeileOhneSieZuStarten) {
    TKOV_Quendrix_MainFrm f;
    f.show();
    Dialoge->Vorgeben(TRDLDialogAntwort::TrefferNr(0, "umsa"));
    QTest::keyClick(f.vtAuswertungen, Qt::Key_U);
    ASSERT_EQ(Dialoge->Aufrufe.size(), 1u);
    EXPECT_EQ(Dialoge->Aufrufe[0].Dialog, "TrefferWaehlen");
    EXPECT_EQ(Dialoge->Aufrufe[0].Text, "u");
    EXPECT_TRUE(f.edtSuche->text().isEmpty());
    EXPECT_EQ(Gewaehlt(f), "UMSTEST");
    EXPECT_EQ(f.lblBezeichnung->text(), "Umsatz im Test");
    EXPECT_EQ(THostProtokoll::Text(), "");

    // The search field: the change starts the search with the field's text; the field
    // is emptied without a second search.
    Dialoge->Aufrufe.clear();
    f.edtSuche->setText("bes");
    ASSERT_EQ(Dialoge->Aufrufe.size(), 1u);
    EXPECT_EQ(Dialoge->Aufrufe[0].Text, "bes");
    EXPECT_TRUE(f.edtSuche->text().isEmpty());
    EXPECT_EQ(Gewaehlt(f), "UMSTEST"); // cancelled: the selection stays

    // Enter starts the chosen one, once.
    QTest::keyClick(f.vtAuswertungen, Qt::Key_Return);
    EXPECT_EQ(THostProtokoll::Text(), "Resources_Create,Resources_AfterCreate,Execute(UMSTEST),"
                                      "Resources_BeforeDestroy,Resources_Destroy,~");
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.isEnabled());
}

// The source searches display name, keywords and short name, letter case ignored,
// anywhere in the text; every word must match.
TEST_F(TKatalog, QuelleFindetBezeichnungSchlagworteUndKurzname) {
    TKOV_Quendrix_MainFrm f;
    const TACSourceVTCustom quelle(f.vtAuswertungen, 0, false, false,
                                   {TKOV_Quendrix_MainFrm::spIndex, TKOV_Quendrix_MainFrm::spKurzname});
    const auto anzeige = [&](const std::string& AText) {
        std::vector<std::string> a;
        for (const auto& t : quelle.Suchen(AText)) a.push_back(t.Anzeige);
        return a;
    };
    const struct {
        const char* Text;
        std::vector<std::string> Treffer;
    } faelle[] = {
        {"SATZ", {"Umsatz im Test (UMSTEST)"}},
        {"besttest", {"Bestand im Test (BESTTEST)"}},
        {"test", {"Bestand im Test (BESTTEST)", "Umsatz im Test (UMSTEST)"}},
        {"im umsatz", {"Umsatz im Test (UMSTEST)"}},
        {"umsatz bestand", {}},
        {"", {}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Text);
        EXPECT_EQ(anzeige(fall.Text), fall.Treffer);
    }
    ASSERT_EQ(quelle.Suchen("umstest").size(), 1u);
    EXPECT_EQ(quelle.Suchen("umstest")[0].Daten[1], "UMSTEST");
}

// The rights check turns the user away; the catalogue is never hidden then.
TEST_F(TKatalog, OhneRechtBleibtDerKatalogStehen) {
    const THostTestKlasse nurGeschuetzt("GESCHTEST", "Geschützt", 444);
    THostRegistrierung nur({&nurGeschuetzt});
    TKOV_Quendrix_MainFrm f;
    f.show();
    int versteckt = 0;
    struct TZaehler : QObject {
        int& N;
        TZaehler(int& AN) : N(AN) {}
        bool eventFilter(QObject*, QEvent* E) override {
            if (E->type() == QEvent::Hide) ++N;
            return false;
        }
    } zaehler(versteckt);
    f.installEventFilter(&zaehler);
    f.btnAendernClick();
    EXPECT_EQ(THostProtokoll::Text(), "~"); // created, asked, released
    EXPECT_EQ(versteckt, 0);
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1200);

    // With the right it runs while the catalogue is hidden, and a failing Execute still
    // brings the catalogue back after Done.
    TErwarteteAusnahmen erwartet{"TKOV_Quendrix_MainFrm.StarteAuswertung"};
    Umgebung.Benutzer("berechtigt", {"441", "441.444"});
    RDLProgramm().BenutzerSetzen("berechtigt");
    THostProtokoll::Leeren();
    THostProtokoll::Fehler = {"Execute"};
    f.btnAendernClick();
    EXPECT_EQ(THostProtokoll::Text(), "Resources_Create,Resources_AfterCreate,Execute(GESCHTEST),"
                                      "Resources_BeforeDestroy,Resources_Destroy,~");
    EXPECT_EQ(versteckt, 1);
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.isEnabled());
}

// While a guarded action runs the guarded handlers do nothing and the window stays open.
TEST_F(TKatalog, WaehrendDerArbeitNichtsStartenUndNichtSchliessen) {
    TKOV_Quendrix_MainFrm f;
    f.show();
    ASSERT_TRUE(RDLProgramm().WorkStartTry(&f, "Test", 5));
    f.btnAendernClick();
    f.btnSucheClick();
    EXPECT_TRUE(f.FormKeyPress("x")); // consumed, but no search
    EXPECT_TRUE(Dialoge->Aufrufe.empty());
    EXPECT_EQ(THostProtokoll::Text(), "");
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible());
    RDLProgramm().WorkDone(&f);
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());
}

// --- the catalogue comes back after an evaluation ---------------------------------------------

namespace {

// How the window of TFensterAuswertung is closed, and what its runs saw.
enum class TSchliessen { Titelleiste, Esc, Beenden };
struct TFensterLauf {
    static inline TSchliessen Art = TSchliessen::Titelleiste;
    static inline int Gezeigt = 0; // windows shown and closed
};

// An evaluation with a window of its own, shown modally until it is closed.
class TFensterAuswertung : public TKOV_Quendrix_Auswertung {
public:
    bool Execute() override {
        TRDLForm fenster;
        auto* beenden = new QPushButton(QStringLiteral("&Beenden"), &fenster);
        QObject::connect(beenden, &QPushButton::clicked, &fenster, &QWidget::close);
        QTimer::singleShot(0, &fenster, [&] {
            ++TFensterLauf::Gezeigt;
            EXPECT_TRUE(fenster.isVisible());
            switch (TFensterLauf::Art) {
            case TSchliessen::Titelleiste: fenster.windowHandle()->close(); break;
            case TSchliessen::Esc: QTest::keyClick(&fenster, Qt::Key_Escape); break;
            case TSchliessen::Beenden: beenden->click(); break;
            }
        });
        fenster.exec();
        return true;
    }
};

// An evaluation that is not built yet: it only says so.
class TPlatzhalterAuswertung : public TKOV_Quendrix_Auswertung {
public:
    bool Execute() override { return KOV_AuswertungNochNichtVerfuegbar(); }
};

} // namespace

// The catalogue runs modally from the program start; an evaluation started from it,
// however its window is closed, brings it back visible, enabled, with the same row
// and its modal loop still running, until the user closes it.
TEST_F(TKatalog, NachDerAuswertungKommtDerKatalogZurueck) {
    const TKOV_Quendrix_AuswertungsDeskriptor fenster(KOV_Erzeugen<TFensterAuswertung>,
                                                      {"FENSTER", "Mit Fenster", "Test", "Test"});
    const TKOV_Quendrix_AuswertungsDeskriptor platzhalter(KOV_Erzeugen<TPlatzhalterAuswertung>,
                                                          {"PLATZ", "Noch nicht gebaut", "Test", "Test"});
    THostRegistrierung nur({&fenster, &platzhalter, &Umsatz});
    const struct {
        const char* Name;
        std::string Kurzname;
        TSchliessen Art;
        int Fenster;
        int Meldungen;
    } faelle[] = {
        {"Titelleiste", "FENSTER", TSchliessen::Titelleiste, 1, 0},
        {"Esc", "FENSTER", TSchliessen::Esc, 1, 0},
        {"&Beenden", "FENSTER", TSchliessen::Beenden, 1, 0},
        {"noch nicht verfügbar", "PLATZ", TSchliessen::Titelleiste, 0, 1},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        TFensterLauf::Art = fall.Art;
        TFensterLauf::Gezeigt = 0;
        Umgebung.Meldungen().Meldungen.clear();
        bool geprueft = false;
        TQuendrixKatalogAnzeige modal; // the program's own: exec
        modal = QuendrixKatalogAnzeige_Ersetzen([&](TKOV_Quendrix_MainFrm& F) {
            QTimer::singleShot(0, &F, [&] {
                // Rows by name: "Mit Fenster", "Noch nicht gebaut", "Umsatz im Test".
                F.vtAuswertungen->setCurrentIndex(Zeile(F, fall.Kurzname == "FENSTER" ? 0 : 1));
                EXPECT_EQ(Gewaehlt(F), fall.Kurzname);
                F.btnAendern->click();
                // Runs only while the catalogue's own loop still runs.
                QTimer::singleShot(0, &F, [&] {
                    geprueft = true;
                    EXPECT_TRUE(F.isVisible());
                    EXPECT_TRUE(F.isEnabled());
                    EXPECT_EQ(QApplication::activeModalWidget(), &F);
                    EXPECT_EQ(Gewaehlt(F), fall.Kurzname);
                    F.btnClose->click();
                });
            });
            modal(F);
        });
        EXPECT_EQ(QuendrixProgrammStart({}), CQuendrixExitOk);
        QuendrixKatalogAnzeige_Ersetzen(modal);
        EXPECT_TRUE(geprueft);
        EXPECT_EQ(TFensterLauf::Gezeigt, fall.Fenster);
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), size_t(fall.Meldungen));
        if (fall.Meldungen) {
            EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, "Diese Auswertung ist noch nicht verfügbar.");
        }
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());

    // Started directly, the program ends when the evaluation's window closes.
    TFensterLauf::Gezeigt = 0;
    bool katalog = false;
    const TQuendrixKatalogAnzeige modal = QuendrixKatalogAnzeige_Ersetzen([&](TKOV_Quendrix_MainFrm&) { katalog = true; });
    EXPECT_EQ(QuendrixProgrammStart({"-kn", "FENSTER"}), CQuendrixExitOk);
    QuendrixKatalogAnzeige_Ersetzen(modal);
    EXPECT_EQ(TFensterLauf::Gezeigt, 1);
    EXPECT_FALSE(katalog);
}

// --- search -------------------------------------------------------------------------------------

// Keys typed faster than the search window opens: the first opens it, the others must
// reach its field, in order, wherever they are still queued: at the catalogue's list,
// or at the catalogue's window, where the window system sends them until it has moved
// the focus to the search window; also while the catalogue runs modally, as in the
// program. Enter then takes the best hit: the evaluation named so, before those that
// only mention it.
TEST_F(TKatalog, SchnellGetippteZeichenErreichenDasSuchfeld) {
    THostRegistrierung echte;
    QuendrixAuswertungenRegistrieren();
    Umgebung.Installation(1, "ODRIKS00");
    auto vorgabe = RDLDialoge_Ersetzen(std::make_unique<TRDLQtDialoge>());
    const struct {
        const char* Name;
        bool UeberDasFenster;
        bool Modal;
    } faelle[] = {
        {"an die Liste", false, false},
        {"über das Fenster", true, false},
        {"über das Fenster des modalen Katalogs", true, true},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        TKOV_Quendrix_MainFrm f;
        std::string feld;
        const auto pruefen = [&] {
            QDialog* suche = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != &f && w->isVisible() && qobject_cast<QDialog*>(w)) suche = static_cast<QDialog*>(w);
            if (!suche) return; // no search window: the test fails below
            auto* edit = suche->findChild<QLineEdit*>();
            feld = edit->text().toStdString();
            QTest::keyClick(edit, Qt::Key_Return);
        };
        const auto tippen = [&] {
            if (fall.UeberDasFenster) {
                QTimer::singleShot(0, &f, [&] {
                    for (const char c : std::string("msatz")) QTest::keyClick(f.windowHandle(), c);
                    pruefen();
                });
                QTest::keyClick(f.windowHandle(), 'u');
            } else {
                for (const char c : std::string("umsatz"))
                    QCoreApplication::postEvent(f.vtAuswertungen,
                                                new QKeyEvent(QEvent::KeyPress, Qt::Key_A + (c - 'a'), Qt::NoModifier,
                                                              QString(QChar(c))));
                QTimer::singleShot(0, &f, pruefen);
                QApplication::processEvents();
            }
        };
        if (fall.Modal) {
            QTimer::singleShot(0, &f, [&] {
                tippen();
                f.btnClose->click();
            });
            f.exec();
        } else {
            f.show();
            tippen();
        }
        EXPECT_EQ(feld, "umsatz");
        EXPECT_TRUE(f.edtSuche->text().isEmpty());
        EXPECT_EQ(Gewaehlt(f), "UMSAUSW");
        EXPECT_EQ(f.lblBezeichnung->text().toStdString(), "Umsatzauswertung");
    }
    RDLDialoge_Ersetzen(std::move(vorgabe));
    EXPECT_EQ(THostProtokoll::Text(), ""); // a pick starts nothing
}

// The eight evaluations: hits of the name first, those beginning with the word before
// the others, then those found in keywords, description or short name; within each
// the catalogue's order.
TEST_F(TKatalog, SucheNenntTrefferDesNamensZuerst) {
    THostRegistrierung echte;
    QuendrixAuswertungenRegistrieren();
    Umgebung.Installation(1, "ODRIKS00");
    TKOV_Quendrix_MainFrm f;
    const TACSourceVTCustom quelle(f.vtAuswertungen, 0, false, false,
                                   {TKOV_Quendrix_MainFrm::spIndex, TKOV_Quendrix_MainFrm::spKurzname});
    const auto kurznamen = [&](const std::string& AText) {
        std::vector<std::string> k;
        for (const auto& t : quelle.Suchen(AText)) k.push_back(t.Daten[1]);
        return k;
    };
    const struct {
        const char* Text;
        std::vector<std::string> Treffer;
    } faelle[] = {
        {"umsatz", {"UMSAUSW", "PUPAUSWERT", "VFAUSW"}},
        {"UMSATZ", {"UMSAUSW", "PUPAUSWERT", "VFAUSW"}},
        {"auswertung", {"PKAUSWERT", "PUPAUSWERT", "UMSAUSW", "VFAUSW", "PersRab"}},
        {"prämie", {"PUPAUSWERT", "VKPRAEMIEN"}},
        {"umsausw", {"UMSAUSW"}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Text);
        EXPECT_EQ(kurznamen(fall.Text), fall.Treffer);
    }
}
