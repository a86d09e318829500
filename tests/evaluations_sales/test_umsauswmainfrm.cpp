// The sales evaluation's window on figures made by hand: the numbers of a row and of a
// group row, the branch choice and display, regrouping, export levels and the print header.
#include "erwarteteausnahmen.h"
#include "fernanfrage.h"
#include "gridspalten.h"
#include "qttestapp.h"
#include "testdateien.h"
#include "testumgebung.h"

#include "kovmandantencheckcombo.h"
#include "exceptions.h"
#include "kovzeitraumeingabe.h"
#include "rdldatum.h"
#include "rdldialog.h"
#include "rdlereignis.h"
#include "umsauswertung.h"
#include "vtrdlvrlist.h"
#include "vorgabedialoge.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using TDaten = TKOV_Umsatzdaten_UmsAusw;
using TMitVJ = TKOV_UmsatzDatenMitVorjahre_UmsAusw;

const TDate CTag1 = EncodeDate(2026, 12, 1);
const TDate CTag2 = EncodeDate(2026, 12, 2);

// Figures of one group: purchase value, net and gross of articles, net and gross of other items.
TDaten Gruppe(TDaten D, TKOV_UmsAusw_Gruppe G, double EK, double NA, double BA, double NS = 0, double BS = 0) {
    D.Wert(G, ufEK) = EK;
    D.Wert(G, ufNettoArtikel) = NA;
    D.Wert(G, ufBruttoArtikel) = BA;
    D.Wert(G, ufNettoSonstige) = NS;
    D.Wert(G, ufBruttoSonstige) = BS;
    return D;
}

struct TAntwort {
    TDaten Real, Durchschnitt;
    std::vector<TDaten> Vorjahre;
    std::vector<TArray<TDate>> Vergleichstage;
};

// Leaf rows of a tree in tree order.
void Blaetter(const TVRList& L, std::vector<std::pair<const TVRList*, int>>& R) {
    for (int i = 0; i < L.GetRowCount(); ++i)
        if (const TVRList* k = L.GetRowChild(i)) Blaetter(*k, R);
        else R.push_back({&L, i});
}

// The PDF's text with blanks and line breaks as one blank, so wrapped remarks are found whole.
std::string PdfTextEinzeilig(const QString& ADatei) {
    const std::string text = PdfText(ADatei.toStdString());
    std::string r;
    for (char c : text) {
        const bool leer = c == ' ' || c == '\n' || c == '\r' || c == '\f';
        if (leer && (r.empty() || r.back() == ' ')) continue;
        r += leer ? ' ' : c;
    }
    return r;
}

struct TUmsatzFenster : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung;
    std::map<std::pair<int, TDate>, TAntwort> Antworten; // by branch number and day
    std::vector<TKOV_UmsAusw_Tagesabfrage> Abfragen;
    TVorgabeDialogeEinsetzen Vorgabe;
    TRDLVorgabeDialoge* Dialoge = Vorgabe.Dialoge;

    TUmsatzFenster() {
        Umgebung.Installation(1, "MUSTER00");
        Umgebung.Mandant(1, 1, "Modehaus Nord");
        Umgebung.Mandant(2, 1, "Modehaus Süd");
        Umgebung.Filiale(10, 1, 1, "Markt");
        Umgebung.Filiale(2, 1, 1, "Bahnhof");
        Umgebung.Filiale(100, 2, 1, "Hafen");
    }

    TKOV_UmsAusw_UmsatzQuelle Quelle() {
        return [this](const TKOV_UmsAusw_Tagesabfrage& A, TMitVJ& E) {
            Abfragen.push_back(A);
            E.Init(A.AnzahlVorjahre);
            const auto it = Antworten.find({A.OrgeID.B, A.Datum});
            if (it == Antworten.end()) return;
            E.FRealerUmsatz = it->second.Real;
            E.FDurchschnitt = it->second.Durchschnitt;
            for (int k = 0; k < A.AnzahlVorjahre && k < int(it->second.Vorjahre.size()); ++k) {
                E.VorjahresUmsatz_Set(k, it->second.Vorjahre[size_t(k)]);
                if (k < int(it->second.Vergleichstage.size())) E.Vergleichstage_Set(k, it->second.Vergleichstage[size_t(k)]);
            }
        };
    }

    std::unique_ptr<TKOV_UmsatzAuswertFrm> Fenster() { return std::make_unique<TKOV_UmsatzAuswertFrm>(nullptr, Quelle()); }

    // Sets the selection in the controls and applies it.
    static void Auswerten(TKOV_UmsatzAuswertFrm& F, TDate AVon, TDate ABis, int AVorjahre, bool ADurchschnitt,
                          int AFilialauswahl, int AAnzeige = 0) {
        F.edtZeitraum->Zeitraum_Set({AVon, ABis});
        F.edtAnzahlVorjahre->setText(QString::number(AVorjahre));
        F.edtAnzahlVorjahreExit();
        F.chbDurchschnittAnzeigen->setChecked(ADurchschnitt);
        F.cmbFilialAuswahl->setCurrentIndex(AFilialauswahl);
        F.cmbAnzeigeFilialen->setCurrentIndex(AAnzeige);
        for (int i = 0; i < F.clbHerkunft->count(); ++i) F.clbHerkunft->item(i)->setCheckState(Qt::Checked);
        F.btnAuswertenClick();
    }

    static std::vector<std::pair<const TVRList*, int>> Zeilen(const TKOV_UmsatzAuswertFrm& F) {
        std::vector<std::pair<const TVRList*, int>> r;
        if (F.vtUmsaetze->List()) Blaetter(*F.vtUmsaetze->List(), r);
        return r;
    }
    // The grid's column with this header.
    static int Spalte(const TKOV_UmsatzAuswertFrm& F, const std::string& AKopf) {
        return GridSpalte(*F.vtUmsaetze, AKopf);
    }
    static std::vector<std::string> Filialen(const TKOV_UmsatzAuswertFrm& F) {
        std::vector<std::string> r;
        for (const auto& [l, z] : Zeilen(F)) r.push_back(l->GetCellValueAsFormatedString(z, umcFiliale));
        return r;
    }

    // Branch 2 on day 1: all three origins, a prior year with sales, one without, and a
    // negative average.
    void EineZeileVorgeben() {
        TAntwort a;
        a.Real = Gruppe({}, ugA, 40, 80, 100, 10, 20);
        a.Real = Gruppe(a.Real, ugC, 5, 10, 12);
        a.Real = Gruppe(a.Real, ugB, 1, 2, 3, 4, 5);
        a.Real = Gruppe(a.Real, ugE, 0.5, 1, 1.5, 7, 9);
        a.Durchschnitt = Gruppe({}, ugA, 0, 0, -10);
        a.Vorjahre = {Gruppe({}, ugA, 20, 40, 50), TDaten{}};
        a.Vergleichstage = {{EncodeDate(2025, 12, 2), EncodeDate(2025, 12, 9)}, {}};
        Antworten[{2, CTag1}] = a;
    }
};

} // namespace

// One row by hand: S0 = 40 + 5 + 1 + 0,5, S1 = 80 + 10 + 2 + 1, S2 = 100 + 12 + 3 + 1,5,
// S3 = 10, S4 = 20 (groups B and E add no other items); gross 136,5; margin (93 + 10) - 46,5.
// Differences use the gross of all groups: 100 + 20 + 12 + 3 + 5 + 1,5 + 9 = 150,5.
TEST_F(TUmsatzFenster, EineZeileMitSpannenUndDifferenzenZuNullUndNegativenVorjahren) {
    EineZeileVorgeben();
    auto f = Fenster();
    QAbstractItemModelTester tester(&f->vtUmsaetze->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    Auswerten(*f, CTag1, CTag1, 2, true, 2);
    const auto zeilen = Zeilen(*f);
    ASSERT_EQ(zeilen.size(), 1u);
    const auto [l, z] = zeilen.front();
    auto wert = [&](const char* AKopf) { return l->GetCellValueAsDouble(z, Spalte(*f, AKopf)); };
    EXPECT_EQ(l->GetColumnCount(), 10 + 4 * 11);
    EXPECT_EQ(l->GetColumn(21).Caption, "D: Umsatz brutto");
    EXPECT_EQ(l->GetColumn(32).Caption, "J-1: Umsatz brutto");
    EXPECT_EQ(l->GetColumn(43).Caption, "J-2: Umsatz brutto");
    EXPECT_EQ(l->GetCellValueAsFormatedString(z, umcDatum), "01.12.2026 (Di)");
    EXPECT_EQ(l->GetCellValue(z, umcFiliale).AsInteger(), 2);
    EXPECT_EQ(l->GetCellValueAsFormatedString(z, umcMandant), "Modehaus Nord");
    EXPECT_NEAR(wert("Umsatz brutto"), 136.5, 1e-9);
    EXPECT_NEAR(wert("Brutto Artikel"), 116.5, 1e-9);
    EXPECT_NEAR(wert("Brutto Sonstiges"), 20, 1e-9);
    EXPECT_NEAR(wert("Netto Artikel"), 93, 1e-9);
    EXPECT_NEAR(wert("Netto Sonstiges"), 10, 1e-9);
    EXPECT_NEAR(wert("Wareneinsatz"), 46.5, 1e-9);
    EXPECT_NEAR(wert("Handelsspanne"), 56.5, 1e-9);
    EXPECT_NEAR(wert("Handelsspanne %"), 56.5 / 136.5 * 100, 1e-9);
    EXPECT_EQ(l->GetCellValueAsFormatedString(z, Spalte(*f, "Handelsspanne %")), "41,39 %");
    // The average of -10: the full actual value as difference, 0 as percentage.
    EXPECT_NEAR(wert("D: Umsatz brutto"), -10, 1e-9);
    EXPECT_NEAR(wert("D: Differenz"), 150.5 + 10, 1e-9);
    EXPECT_NEAR(wert("D: Differenz %"), 0, 1e-9);
    // One year back: gross 50, margin 20 = 40 %.
    EXPECT_NEAR(wert("J-1: Umsatz brutto"), 50, 1e-9);
    EXPECT_NEAR(wert("J-1: Handelsspanne"), 20, 1e-9);
    EXPECT_NEAR(wert("J-1: Handelsspanne %"), 40, 1e-9);
    EXPECT_NEAR(wert("J-1: Differenz"), 100.5, 1e-9);
    EXPECT_NEAR(wert("J-1: Differenz %"), 201, 1e-9);
    EXPECT_EQ(l->GetCellValueAsFormatedString(z, Spalte(*f, "J-1: Vergleichstage")), "02.12.2025, 09.12.2025");
    // Two years back without sales: margin 0 %, the full value as difference, 0 %.
    EXPECT_NEAR(wert("J-2: Umsatz brutto"), 0, 1e-9);
    EXPECT_NEAR(wert("J-2: Handelsspanne %"), 0, 1e-9);
    EXPECT_NEAR(wert("J-2: Differenz"), 150.5, 1e-9);
    EXPECT_NEAR(wert("J-2: Differenz %"), 0, 1e-9);
    // The engine was asked per branch and day with the window's settings.
    ASSERT_EQ(Abfragen.size(), 3u); // branches 2, 10 and 100, one day each
    EXPECT_EQ(Abfragen.front().AnzahlVorjahre, 2);
    EXPECT_EQ(Abfragen.front().WahlmethodeVergleichstag, 1);
    EXPECT_TRUE(Abfragen.front().LeereUmsaetzeIgnorieren);
}

// Only origin 2: S0..S2 from groups B and E, S3 = S4 = 0; differences from 3 + 5 + 1,5 + 9.
TEST_F(TUmsatzFenster, NurHerkunftZweiNimmtGruppenBUndE) {
    EineZeileVorgeben();
    auto f = Fenster();
    f->edtZeitraum->Zeitraum_Set({CTag1, CTag1});
    f->edtAnzahlVorjahre->setText("1");
    f->edtAnzahlVorjahreExit();
    for (int i = 0; i < f->clbHerkunft->count(); ++i)
        f->clbHerkunft->item(i)->setCheckState(i == 2 ? Qt::Checked : Qt::Unchecked);
    f->btnAuswertenClick();
    const auto zeilen = Zeilen(*f);
    ASSERT_EQ(zeilen.size(), 1u);
    const auto [l, z] = zeilen.front();
    auto wert = [&](const char* AKopf) { return l->GetCellValueAsDouble(z, Spalte(*f, AKopf)); };
    EXPECT_NEAR(wert("Wareneinsatz"), 1.5, 1e-9);   // S0
    EXPECT_NEAR(wert("Netto Artikel"), 3, 1e-9);    // S1
    EXPECT_NEAR(wert("Brutto Artikel"), 4.5, 1e-9); // S2
    EXPECT_NEAR(wert("Netto Sonstiges"), 0, 1e-9);  // S3
    EXPECT_NEAR(wert("Brutto Sonstiges"), 0, 1e-9); // S4
    EXPECT_NEAR(wert("Handelsspanne"), 1.5, 1e-9);
    EXPECT_NEAR(wert("Handelsspanne %"), 1.5 / 4.5 * 100, 1e-9);
    EXPECT_NEAR(wert("J-1: Differenz"), 18.5, 1e-9); // prior year without origin-2 sales
    EXPECT_EQ(f->HerkunftAuslesen(), "Korrekturen und sonstige Buchungen");
}

// Group rows by hand (day, client): branch 2 (gross 100 + 20, net 80 + 10, purchase 40;
// a year back 50 / 40 / 20) and branch 10 (30 / 20 / 10; a year back 30 / 20 / 10).
TEST_F(TUmsatzFenster, GruppenzeileMitSpanneUndDifferenzAusDenSummen) {
    TAntwort a, b;
    a.Real = Gruppe({}, ugA, 40, 80, 100, 10, 20);
    a.Vorjahre = {Gruppe({}, ugA, 20, 40, 50)};
    b.Real = Gruppe({}, ugA, 10, 20, 30);
    b.Vorjahre = {Gruppe({}, ugA, 10, 20, 30)};
    Antworten[{2, CTag1}] = a;
    Antworten[{10, CTag1}] = b;
    auto f = Fenster();
    QAbstractItemModelTester tester(&f->vtUmsaetze->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    Auswerten(*f, CTag1, CTag1, 1, false, 2);
    ASSERT_EQ(f->Gruppierspalten(), (TVRGruppierOption{umcDatum, umcMandant}));
    const TVRList& baum = *f->vtUmsaetze->List();
    ASSERT_EQ(baum.GetRowCount(), 1);
    const TVRList& mandanten = *baum.GetRowChild(0);
    ASSERT_EQ(mandanten.GetRowCount(), 1);
    EXPECT_EQ(mandanten.GetCellValueAsFormatedString(0, umcKopf), "Modehaus Nord");
    EXPECT_EQ(baum.GetCellValueAsFormatedString(0, umcKopf), "01.12.2026 (Di)");
    for (const TVRList* l : {&baum, &mandanten}) {
        auto wert = [&](const char* AKopf) { return l->GetCellValueAsDouble(0, Spalte(*f, AKopf)); };
        EXPECT_NEAR(wert("Umsatz brutto"), 150, 1e-9);
        EXPECT_NEAR(wert("Wareneinsatz"), 50, 1e-9);
        EXPECT_NEAR(wert("Handelsspanne"), 60, 1e-9);
        EXPECT_NEAR(wert("Handelsspanne %"), 40, 1e-9);
        EXPECT_NEAR(wert("J-1: Umsatz brutto"), 80, 1e-9);
        EXPECT_NEAR(wert("J-1: Handelsspanne"), 30, 1e-9);
        EXPECT_NEAR(wert("J-1: Handelsspanne %"), 37.5, 1e-9);
        EXPECT_NEAR(wert("J-1: Differenz"), 70, 1e-9);
        EXPECT_NEAR(wert("J-1: Differenz %"), 87.5, 1e-9);
    }
    // Leaves keep their own numbers, sorted by branch.
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"2", "10"}));
    // Shading: the second sibling is darker than its column, deeper levels darker still.
    QColor farbe;
    EXPECT_FALSE(f->vtUmsaetzeBeforeCellPaint(*mandanten.GetRowChild(0), 0, Spalte(*f, "Umsatz brutto"), farbe));
    ASSERT_TRUE(f->vtUmsaetzeBeforeCellPaint(*mandanten.GetRowChild(0), 1, Spalte(*f, "Wareneinsatz"), farbe));
    EXPECT_EQ(farbe, QColor(255 - 40, 255 - 40, 255 - 40));
    // A black line before each block: the last visible column before 21 and before 10.
    EXPECT_TRUE(f->vtUmsaetzeBeforeVGridLinePaint(Spalte(*f, "Differenz %")));
    EXPECT_FALSE(f->vtUmsaetzeBeforeVGridLinePaint(Spalte(*f, "Wareneinsatz")));
    EXPECT_TRUE(f->vtUmsaetzeBeforeVGridLinePaint(umcFiliale));
}

// A zero sum of gross sales in a group shows 0 % as margin.
TEST_F(TUmsatzFenster, GruppeOhneBruttoumsatzHatNullProzentSpanne) {
    TAntwort a, b;
    a.Real = Gruppe({}, ugA, 10, 20, 30);
    b.Real = Gruppe({}, ugA, 0, 5, -30);
    Antworten[{2, CTag1}] = a;
    Antworten[{10, CTag1}] = b;
    auto f = Fenster();
    Auswerten(*f, CTag1, CTag1, 0, false, 2);
    const TVRList& baum = *f->vtUmsaetze->List();
    ASSERT_EQ(baum.GetRowCount(), 1);
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, Spalte(*f, "Umsatz brutto")), 0, 1e-9);
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, Spalte(*f, "Handelsspanne")), 15, 1e-9);
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, Spalte(*f, "Handelsspanne %")), 0, 1e-9);
}

// Branch 2 sells on the day, branch 10 only a year back, branch 100 not at all.
TEST_F(TUmsatzFenster, FilialauswahlNullEinsZwei) {
    TAntwort a, b;
    a.Real = Gruppe({}, ugA, 1, 2, 3);
    b.Vorjahre = {Gruppe({}, ugA, 1, 2, 3)};
    Antworten[{2, CTag1}] = a;
    Antworten[{10, CTag2}] = b;
    auto f = Fenster();
    QAbstractItemModelTester tester(&f->vtUmsaetze->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    Auswerten(*f, CTag1, CTag2, 1, false, 0);
    // Per day, then client (the default grouping), then branch.
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"2", "10", "100", "2", "10", "100"}));
    Auswerten(*f, CTag1, CTag2, 1, false, 1);
    // Shown with all its days, also the one without any sales.
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"2", "10", "2", "10"}));
    Auswerten(*f, CTag1, CTag2, 1, false, 2);
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"2", "2"}));
    // Without a ticked client its branches are not asked for.
    f->cmbMandanten->MandantSelected_Set({1, 1}, false);
    Abfragen.clear();
    Auswerten(*f, CTag1, CTag2, 1, false, 0);
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"100", "100"}));
    EXPECT_EQ(Abfragen.size(), 2u);
}

TEST_F(TUmsatzFenster, FilialanzeigeZweiSortiertNachNummer) {
    for (int nr : {2, 10, 100}) Antworten[{nr, CTag1}].Real = Gruppe({}, ugA, 1, 2, 3);
    auto f = Fenster();
    f->cmbMandanten->SetAll(true);
    f->GruppierungsMenuItemClick(1); // by day alone
    ASSERT_EQ(f->Gruppierspalten(), (TVRGruppierOption{umcDatum}));
    Auswerten(*f, CTag1, CTag1, 0, false, 2, 2);
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"2 - Bahnhof", "10 - Markt", "100 - Hafen"}));
    Auswerten(*f, CTag1, CTag1, 0, false, 2, 1);
    EXPECT_EQ(Filialen(*f), (std::vector<std::string>{"Bahnhof", "Hafen", "Markt"}));
    EXPECT_EQ(FilialeSortieren(TVRItem::String("10 - Markt"), TVRItem::String("2 - Bahnhof")), 8);
    EXPECT_EQ(FilialeSortieren(TVRItem::String("Ohne Nummer"), TVRItem::String("2 - Bahnhof")), -2);
}

TEST_F(TUmsatzFenster, VonNachBisGibtEineLeereTabelle) {
    Antworten[{2, CTag1}].Real = Gruppe({}, ugA, 1, 2, 3);
    auto f = Fenster();
    Auswerten(*f, CTag2, CTag1, 1, false, 0);
    EXPECT_TRUE(Zeilen(*f).empty());
    EXPECT_TRUE(Abfragen.empty());
}

TEST_F(TUmsatzFenster, VoreinstellungenUndSteuerregeln) {
    rdl_HeuteFestlegen(EncodeDate(2026, 12, 10) + 0.5);
    struct TZurueck {
        ~TZurueck() { rdl_HeuteFestlegen(0); }
    } zurueck;
    auto f = Fenster();
    f->FormShow();
    EXPECT_EQ(f->windowTitle().toStdString(), "Umsatzauswertung");
    EXPECT_EQ(f->minimumSize(), QSize(1200, 600));
    // At its smallest the window still has room for every label and control.
    EXPECT_LE(f->layout()->minimumSize().width(), 1200) << f->layout()->minimumSize().width();
    EXPECT_LE(f->layout()->minimumSize().height(), 600);
    EXPECT_EQ(f->cmbFilialAuswahl->currentIndex(), 2);
    EXPECT_EQ(f->cmbWahlmethodeVergleichstag->currentIndex(), 1);
    EXPECT_EQ(f->cmbAnzeigeFilialen->currentIndex(), 0);
    EXPECT_EQ(f->cmbGruppierung->currentText().toStdString(), "Datum / Mandant");
    EXPECT_EQ(f->edtBaumlevel->text(), "2");
    EXPECT_EQ(f->Settings().AnzahlVorjahre, 1);
    EXPECT_EQ(f->Settings().Zeitraum, (TKOV_VonBisDatum{EncodeDate(2026, 12, 3), EncodeDate(2026, 12, 9)}));
    EXPECT_EQ(f->Settings().Herkunft, 0b111);
    EXPECT_EQ(f->Settings().Mandanten.size(), 2u);
    EXPECT_EQ(Abfragen.size(), 3u * 7u); // the window opens with a result
    EXPECT_FALSE(f->chbDurchschnittAnzeigen->isEnabled());
    EXPECT_FALSE(f->chbNullumsaetzeIgnorieren->isVisibleTo(f.get()));
    EXPECT_TRUE(f->chbNullumsaetzeIgnorieren->isChecked());

    // One digit, 0 to 9.
    f->edtAnzahlVorjahre->clear();
    QTest::keyClicks(f->edtAnzahlVorjahre, "12");
    EXPECT_EQ(f->edtAnzahlVorjahre->text(), "1");
    f->edtAnzahlVorjahre->clear();
    QTest::keyClicks(f->edtAnzahlVorjahre, "-x9");
    EXPECT_EQ(f->edtAnzahlVorjahre->text(), "9");
    f->edtAnzahlVorjahreExit();
    EXPECT_TRUE(f->chbDurchschnittAnzeigen->isEnabled());
    f->chbDurchschnittAnzeigen->click();
    EXPECT_TRUE(f->chbNullumsaetzeIgnorieren->isEnabled());
    f->edtAnzahlVorjahre->setText("0");
    f->edtAnzahlVorjahreExit();
    EXPECT_FALSE(f->chbDurchschnittAnzeigen->isChecked());
    EXPECT_FALSE(f->cmbWahlmethodeVergleichstag->isEnabled());
    EXPECT_FALSE(f->chbVergleichsdatumEinblenden->isEnabled());
}

// A program driving the window reads its result when event 3 comes: also the first
// result, which the window builds when it opens.
TEST_F(TUmsatzFenster, Ereignis3NachJedemTabellenaufbau) {
    auto f = Fenster();
    const int64_t vorher = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    f->FormShow();
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), vorher + 1);
    f->btnAuswertenClick();
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), vorher + 2);
}

// Another program asks while the window builds its first table (as it opens): the request
// waits for the table and gets it as "Liste speichern" writes it, with event 3.
TEST_F(TUmsatzFenster, FremdeAnfrageWaehrendDesErstenAufbausWartetAufDieTabelle) {
    const TEigenerArbeitsplatz arbeitsplatz;
    QTemporaryDir ordner;
    const std::string datei = ordner.filePath("fern.csv").toStdString();
    std::unique_ptr<TFremdeAnfrage> anfrage;
    const QObject* fenster = nullptr;
    TKOV_UmsatzAuswertFrm f(nullptr, [&, q = Quelle()](const TKOV_UmsAusw_Tagesabfrage& A, TMitVJ& E) {
        if (!anfrage) {
            anfrage = std::make_unique<TFremdeAnfrage>("TKOV_UmsatzAuswertFrm", datei);
            anfrage->BisZurueckgehalten(*fenster);
        }
        q(A, E);
    });
    fenster = &f;
    const int64_t vorher = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    f.show();
    ASSERT_TRUE(anfrage && anfrage->Verbunden);
    EXPECT_EQ(anfrage->Antwort(), "LAEUFT\nOK " + datei + "\n");
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit) - vorher, 2); // the table's and the file's
    const std::string vergleich = ordner.filePath("vergleich.csv").toStdString();
    ASSERT_TRUE(f.Liste_Speichern(vergleich));
    EXPECT_EQ(DateiLesen(datei), DateiLesen(vergleich));
}

// The click that opens the client box ends over an entry; applying after one look keeps
// every client.
TEST_F(TUmsatzFenster, MandantenboxOeffnenUndAnwendenBehaeltAlleMandanten) {
    auto f = Fenster();
    f->show();
    QTest::mousePress(f->cmbMandanten, Qt::LeftButton, {}, f->cmbMandanten->rect().center());
    QAbstractItemView* liste = f->cmbMandanten->view();
    ASSERT_TRUE(liste->isVisible());
    QTest::mouseRelease(liste->viewport(), Qt::LeftButton, {},
                        liste->visualRect(liste->model()->index(0, 0)).center());
    f->cmbMandanten->hidePopup();
    f->btnAuswertenClick();
    EXPECT_EQ(f->Settings().Mandanten, (TArray<TIntPair>{{1, 1}, {2, 1}}));
}

// --gruppierung takes the number or the name the combo box shows.
TEST_F(TUmsatzFenster, GruppierungsoptionNimmtNummerOderNamen) {
    auto f = Fenster();
    f->StapelVorgaben();
    auto optionen = f->StapelOptionen();
    const auto o = std::find_if(optionen.begin(), optionen.end(), [](const auto& O) { return O.Name == "--gruppierung"; });
    ASSERT_NE(o, optionen.end());
    EXPECT_NE(o->Hilfe.find("Mandant / Filiale"), std::string::npos) << o->Hilfe;
    const struct {
        std::string Wert;
        TVRGruppierOption Erwartet;
    } faelle[] = {
        {"mandant/filiale", {umcMandant, umcFiliale}},
        {"  Filiale / Monat ", {umcFiliale, umcMonat}},
        {"0", {umcDatum, umcMandant}},
        {"3", {umcMandant}},
    };
    for (const auto& fall : faelle) {
        o->Anwenden(fall.Wert);
        EXPECT_EQ(f->Gruppierspalten(), fall.Erwartet) << fall.Wert;
    }
    for (const std::string falsch : {"Mandant / Tag", "99", "-1", ""})
        EXPECT_THROW(o->Anwenden(falsch), EConvertError) << falsch;
}

// A branch in francs: its rows keep francs and say so; group rows add up euros at the
// rate of each day; a day without a rate stops with a message naming currency and day.
TEST_F(TUmsatzFenster, FrankenBleibenInDenZeilenUndWerdenInDenGruppenZumTageskursUmgerechnet) {
    Umgebung.Filiale(7, 2, 1, "Basel", "CHF");
    Umgebung.Wechselkurs("CHF", CTag1, 0.9);
    Umgebung.Wechselkurs("CHF", CTag2, 0.95);
    for (TDate t : {CTag1 - 1, CTag1, CTag2}) {
        Antworten[{100, t}].Real = Gruppe({}, ugA, 4, 8, 10);
        Antworten[{100, t}].Vorjahre = {Gruppe({}, ugA, 2, 4, 5)};
        Antworten[{7, t}].Real = Gruppe({}, ugA, 8, 16, 20);
        Antworten[{7, t}].Vorjahre = {Gruppe({}, ugA, 4, 8, 10)};
    }
    auto f = Fenster();
    f->GruppierungsMenuItemClick(6); // client, branch, day
    ASSERT_EQ(f->Gruppierspalten(), (TVRGruppierOption{umcMandant, umcFiliale, umcDatum}));
    Auswerten(*f, CTag1, CTag2, 1, false, 2);
    EXPECT_TRUE(f->ErgebnisVollstaendig());
    const TVRList& baum = *f->vtUmsaetze->List();
    ASSERT_EQ(baum.GetRowCount(), 1); // Modehaus Süd
    const int brutto = Spalte(*f, "Umsatz brutto");
    // Client: 2 × 10 € + 20 CHF × 0,90 + 20 CHF × 0,95 = 57 €; prior year 10 € + 10 × 1,85 = 28,50 €.
    EXPECT_EQ(baum.GetCellValueAsFormatedString(0, umcWaehrung), "EUR");
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, brutto), 57.0, 1e-9);
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, Spalte(*f, "J-1: Umsatz brutto")), 28.5, 1e-9);
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, Spalte(*f, "J-1: Differenz")), 57.0 - 28.5, 1e-9);
    // Margin: net 2 × 8 + 16 × 1,85 = 45,60 € less purchase 2 × 4 + 8 × 1,85 = 22,80 €.
    EXPECT_NEAR(baum.GetCellValueAsDouble(0, Spalte(*f, "Handelsspanne")), 45.6 - 22.8, 1e-9);
    // The Basel branch and its days: group rows in euros, leaf rows in francs.
    const TVRList* filialen = baum.GetRowChild(0);
    ASSERT_NE(filialen, nullptr);
    ASSERT_EQ(filialen->GetRowCount(), 2);
    const int basel = filialen->GetCellValueAsFormatedString(0, umcKopf) == "7" ? 0 : 1;
    EXPECT_NEAR(filialen->GetCellValueAsDouble(basel, brutto), 37.0, 1e-9);
    const TVRList* tage = filialen->GetRowChild(basel);
    ASSERT_NE(tage, nullptr);
    for (int i = 0; i < tage->GetRowCount(); ++i) {
        const TVRList* blatt = tage->GetRowChild(i);
        ASSERT_NE(blatt, nullptr);
        EXPECT_EQ(blatt->GetCellValueAsFormatedString(0, umcWaehrung), "CHF");
        EXPECT_NEAR(blatt->GetCellValueAsDouble(0, brutto), 20.0, 1e-9);
        EXPECT_EQ(tage->GetCellValueAsFormatedString(i, umcWaehrung), "EUR");
    }

    // The print says so where it shows the rows of single branches.
    RDLProgramm().OhneDialogeSetzen(true);
    QTemporaryDir druckOrdner;
    const QString pdf = druckOrdner.filePath("druck.pdf");
    f->DruckPdfDatei_Set(pdf);
    for (const auto& [level, einzeln] : {std::pair{"9", true}, std::pair{"2", false}}) {
        f->edtBaumlevel->setText(level);
        f->btnPrintClick();
        const std::string text = PdfTextEinzeilig(pdf);
        EXPECT_NE(text.find("Währung: Alle Beträge in EUR"), std::string::npos) << text;
        EXPECT_EQ(text.find("Zeilen einer Filiale in deren Währung") != std::string::npos, einzeln) << level << text;
    }

    // The day before the first rate: told, and the window keeps no result to hand out.
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzAuswertFrm.TabelleFuellen"};
    Umgebung.Meldungen().Meldungen.clear();
    Auswerten(*f, CTag1 - 1, CTag2, 1, false, 2);
    EXPECT_FALSE(f->ErgebnisVollstaendig());
    const std::string text = "Für die Währung CHF ist zum " + DateToStr(CTag1 - 1) +
                             " kein Umrechnungskurs in EUR hinterlegt.";
    bool gemeldet = false;
    for (const auto& m : Umgebung.Meldungen().Meldungen) gemeldet = gemeldet || m.Text.find(text) != std::string::npos;
    EXPECT_TRUE(gemeldet) << text;
    QTemporaryDir ordner;
    EXPECT_FALSE(f->Liste_Speichern(ordner.filePath("x.csv").toStdString()));
}

TEST_F(TUmsatzFenster, GruppierungUeberComboUndPopupOhneErneutesGruppierenDerGleichen) {
    for (int nr : {2, 10, 100}) Antworten[{nr, CTag1}].Real = Gruppe({}, ugA, 1, 2, 3);
    auto f = Fenster();
    QAbstractItemModelTester tester(&f->vtUmsaetze->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    Auswerten(*f, CTag1, CTag1, 0, false, 2);
    // The pop-up: heading, separator, the options, separator, four levels.
    const auto aktionen = f->PopupGruppieren()->actions();
    const size_t n = GetGruppierungsmoeglichkeiten().size();
    ASSERT_EQ(size_t(aktionen.size()), n + 7);
    EXPECT_EQ(aktionen[0]->text().toStdString(), "Gruppieren nach");
    EXPECT_EQ(aktionen.back()->text().toStdString(), "Baum ausklappen - Level 4");
    EXPECT_EQ(f->cmbGruppierung->count(), int(n));

    const TVRList* vorher = f->vtUmsaetze->List();
    f->GruppierungsMenuItemClick(0); // the active option again
    EXPECT_EQ(f->vtUmsaetze->List(), vorher);
    f->GruppierungsMenuItemClick(5); // client, then branch
    ASSERT_EQ(f->Gruppierspalten(), (TVRGruppierOption{umcMandant, umcFiliale}));
    const TVRList& baum = *f->vtUmsaetze->List();
    ASSERT_EQ(baum.GetRowCount(), 2);
    EXPECT_EQ(baum.GetCellValueAsFormatedString(0, umcKopf), "Modehaus Nord");
    EXPECT_EQ(f->vtUmsaetze->ColumnCaption_Get(umcKopf).toStdString(), "Mandant");
    EXPECT_FALSE(f->vtUmsaetze->ColumnVisible_Get(umcMandant));
    EXPECT_FALSE(f->vtUmsaetze->ColumnVisible_Get(umcFiliale));
    EXPECT_TRUE(f->vtUmsaetze->ColumnVisible_Get(umcDatum));
    // A new selection keeps the grouping.
    f->btnAuswertenClick();
    EXPECT_EQ(f->Gruppierspalten(), (TVRGruppierOption{umcMandant, umcFiliale}));
    f->BaumAusklappenMenuItemClick(2);
    const QModelIndex erste = f->vtUmsaetze->Model().index(0, 0);
    EXPECT_TRUE(f->vtUmsaetze->isExpanded(erste));
    EXPECT_FALSE(f->vtUmsaetze->isExpanded(f->vtUmsaetze->Model().index(0, 0, erste)));
}

TEST_F(TUmsatzFenster, VergleichstageNurInDenVorjahresbloecken) {
    Antworten[{2, CTag1}].Real = Gruppe({}, ugA, 1, 2, 3);
    auto f = Fenster();
    Auswerten(*f, CTag1, CTag1, 2, true, 2);
    auto sichtbar = [&] {
        std::vector<std::string> r;
        for (const char* k : {"Vergleichstage", "D: Vergleichstage", "J-1: Vergleichstage", "J-2: Vergleichstage"})
            if (f->vtUmsaetze->ColumnVisible_Get(Spalte(*f, k))) r.push_back(k);
        return r;
    };
    const std::vector<std::string> vorjahre{"J-1: Vergleichstage", "J-2: Vergleichstage"};
    EXPECT_TRUE(sichtbar().empty());
    f->chbVergleichsdatumEinblenden->click();
    EXPECT_EQ(sichtbar(), vorjahre);
    // The layout of the last evaluation counts, not the average box as it is now.
    f->chbDurchschnittAnzeigen->setChecked(false);
    f->chbVergleichsdatumEinblenden->click();
    f->chbVergleichsdatumEinblenden->click();
    EXPECT_EQ(sichtbar(), vorjahre);
}

// The comparison dates are shown later by their box, without a new fill: their columns
// already fit the dates, like the columns shown from the start.
TEST_F(TUmsatzFenster, VergleichstageEingeblendetMitPassenderBreite) {
    EineZeileVorgeben();
    auto f = Fenster();
    Auswerten(*f, CTag1, CTag1, 2, true, 2);
    f->chbVergleichsdatumEinblenden->click();
    const int tage = Spalte(*f, "J-1: Vergleichstage");
    ASSERT_TRUE(f->vtUmsaetze->ColumnVisible_Get(tage));
    const int text = f->vtUmsaetze->fontMetrics().horizontalAdvance(QStringLiteral("02.12.2025, 09.12.2025"));
    EXPECT_GE(f->vtUmsaetze->columnWidth(tage), text);
    EXPECT_GE(f->vtUmsaetze->columnWidth(Spalte(*f, "J-1: Umsatz brutto")),
              f->vtUmsaetze->fontMetrics().horizontalAdvance(QStringLiteral("50,00")));
}

TEST_F(TUmsatzFenster, ExportJeLevel) {
    for (int nr : {2, 10, 100})
        for (TDate t : {CTag1, CTag2}) Antworten[{nr, t}].Real = Gruppe({}, ugA, 1, 2, 3);
    auto f = Fenster();
    Auswerten(*f, CTag1, CTag2, 1, false, 2);
    QTemporaryDir ordner;
    auto exportieren = [&](const char* ALevel) {
        const std::string datei = ordner.filePath(QString("export%1.csv").arg(ALevel)).toStdString();
        f->edtBaumlevel->setText(ALevel);
        Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(datei));
        f->btnExportierenClick();
        return CrLfZeilen(DateiLesen(datei));
    };
    // Level 2: one line per day and client, the client under its caption beside the day.
    auto z = exportieren("2");
    ASSERT_EQ(z.size(), 5u);
    EXPECT_EQ(z[0].rfind("Mandant;Datum;Umsatz brutto;Wareneinsatz;Handelsspanne;Handelsspanne %;J-1: Umsatz brutto", 0),
              0u)
        << z[0];
    EXPECT_EQ(z[1].rfind("Modehaus Nord;01.12.2026 (Di);6,00;2,00;2,00;33,33 %;", 0), 0u) << z[1];
    // The columns are back as before the export.
    EXPECT_FALSE(f->vtUmsaetze->ColumnVisible_Get(umcMandant));
    EXPECT_TRUE(f->vtUmsaetze->ColumnVisible_Get(umcKopf));
    z = exportieren("1");
    ASSERT_EQ(z.size(), 3u);
    EXPECT_EQ(z[1].rfind("01.12.2026 (Di);9,00;", 0), 0u) << z[1];
    // Level 0 and levels beyond the tree: the leaf rows with their main columns.
    for (const char* level : {"0", "3", "9"}) {
        z = exportieren(level);
        ASSERT_EQ(z.size(), 7u) << level;
        EXPECT_EQ(z[0].rfind("Mandant;W\xe4hrung;Filiale;Datum;Umsatz brutto", 0), 0u) << z[0];
        EXPECT_EQ(z[1].rfind("Modehaus Nord;EUR;2;01.12.2026 (Di);3,00;", 0), 0u) << z[1];
    }
}

TEST_F(TUmsatzFenster, DruckkopfMitDerAuswahl) {
    for (int nr : {2, 100}) Antworten[{nr, CTag1}].Real = Gruppe({}, ugA, 1, 2, 3);
    RDLProgramm().OhneDialogeSetzen(true);
    auto f = Fenster();
    Auswerten(*f, CTag1, CTag2, 1, false, 2);
    f->edtAnzahlVorjahre->setText("0"); // not read again until the next evaluation
    QTemporaryDir ordner;
    const QString pdf = ordner.filePath("druck.pdf");
    f->DruckPdfDatei_Set(pdf);
    f->edtBaumlevel->setText("1");
    f->btnPrintClick();
    const std::string text = PdfTextEinzeilig(pdf);
    for (const char* s : {"Umsatzauswertung", "Mandanten: Modehaus Nord, Modehaus Süd", "Zeitraum: 01.12.2026 - 02.12.2026",
                          "einbezogenge Herkünfte: Stationär (Kassen), Online (Verkäufe und Retouren), Korrekturen "
                          "und sonstige Buchungen",
                          "Filialauswahl: Nur Filialen mit Umsatz im gewählten Zeitraum", "Gruppierung: Datum",
                          "Wahl des Vergleichtags: Verglichen wird mit demselben Wochentag derselben Kalenderwoche",
                          "Währung: Alle Beträge in EUR"})
        EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
    EXPECT_EQ(text.find("Durchschnittsberechnung"), std::string::npos);
    // Level 1: only the days, without the main columns; column 0 back to its caption afterwards.
    EXPECT_NE(text.find("Datum Umsatz brutto"), std::string::npos) << text;
    EXPECT_EQ(text.find("Modehaus Nord 3,00"), std::string::npos) << text;
    EXPECT_EQ(f->vtUmsaetze->ColumnCaption_Get(umcKopf).toStdString(), "Datum");
    // Level 9: the whole tree, the leaves with their branch column.
    f->edtBaumlevel->setText("9");
    f->btnPrintClick();
    const std::string alles = PdfTextEinzeilig(pdf);
    EXPECT_NE(alles.find("Gruppierung: Datum / Mandant"), std::string::npos) << alles;
    EXPECT_NE(alles.find("Filiale Umsatz brutto"), std::string::npos) << alles;
    EXPECT_NE(alles.find("Modehaus Nord EUR 3,00"), std::string::npos) << alles;
}

TEST_F(TUmsatzFenster, ExecuteOeffnetDasFensterNurNachDerStatistik) {
    TKOV_Quendrix_Umsatzauswertung a;
    std::vector<int> tage;
    int gezeigt = 0;
    a.StatistikAktualisieren = [&](int ATage, bool ANachfrage) {
        tage.push_back(ATage);
        EXPECT_FALSE(ANachfrage);
        return false;
    };
    a.UmsatzQuelle = Quelle();
    a.FensterZeigen = [&](TKOV_UmsatzAuswertFrm&) { ++gezeigt; };
    EXPECT_FALSE(a.Execute());
    EXPECT_EQ(gezeigt, 0);
    a.StatistikAktualisieren = [&](int ATage, bool) {
        tage.push_back(ATage);
        return true;
    };
    EXPECT_TRUE(a.Execute());
    EXPECT_EQ(gezeigt, 1);
    EXPECT_EQ(tage, (std::vector<int>{731, 731}));

    // A failed update of a built statistics: the old figures only on the user's word,
    // told how far they reach.
    a.StatistikAktualisieren = [](int, bool) { return false; };
    a.StatistikStand = [](TDate& ABis) {
        ABis = CTag2;
        return true;
    };
    for (const int antwort : {mrNo, mrYes}) {
        Umgebung.Meldungen().Meldungen.clear();
        Umgebung.Meldungen().AntwortVorgeben(antwort);
        EXPECT_EQ(a.Execute(), antwort == mrYes);
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Art, mkFrage);
        EXPECT_NE(Umgebung.Meldungen().Meldungen[0].Text.find("bis zum 02.12.2026"), std::string::npos)
            << Umgebung.Meldungen().Meldungen[0].Text;
    }
    EXPECT_EQ(gezeigt, 2);
}
