// The shipping-branch window on figures made by hand: texts and defaults, the rows per
// platform and kind, the groupings, group rows in the house currency, the work guard
// around a fill, and the export of the leaf rows.
#include "erwarteteausnahmen.h"
#include "fernanfrage.h"
#include "gridspalten.h"
#include "qttestapp.h"
#include "testdateien.h"
#include "testumgebung.h"

#include "kovfilialenselektframe.h"
#include "kovzeitraumeingabe.h"
#include "rdldatum.h"
#include "rdldialog.h"
#include "rdlereignis.h"
#include "versfilauswmain.h"
#include "vtrdlvrlist.h"
#include "vorgabedialoge.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

using TDaten = TKOV_Umsatzdaten_Erw_VersFilAusw;

const TDate CTag1 = EncodeDate(2026, 12, 1);
const TDate CTag2 = EncodeDate(2026, 12, 2);

// The tree as text: one line per row, indented by depth; group rows show their caption
// and sums, leaf rows branch, platform, kind and their figures.
void Baum(const TVRList& L, int ATiefe, std::string& AText) {
    for (int i = 0; i < L.GetRowCount(); ++i) {
        std::string z(size_t(2 * ATiefe), ' ');
        const TVRList* k = L.GetRowChild(i);
        if (k)
            z += "[" + L.GetCellValueAsFormatedString(i, spaGruppenKopf) + "]";
        else
            z += L.GetCellValueAsFormatedString(i, spaFiliale) + " " + L.GetCellValueAsFormatedString(i, spaPlattform) +
                 " " + L.GetCellValueAsFormatedString(i, spaVkKz);
        for (int c : {spaMenge, spaVkBrutto, spaVkNetto, spaEK, spaWaehrung})
            z += " " + L.GetCellValueAsFormatedString(i, c);
        AText += z + "\n";
        if (k) Baum(*k, ATiefe + 1, AText);
    }
}

struct TVersandFenster : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung;
    std::map<std::pair<int, TDate>, TDaten> Tage; // by branch number and day
    std::vector<std::tuple<int, TDate, TDate>> Abfragen;
    TVorgabeDialogeEinsetzen Vorgabe;
    TRDLVorgabeDialoge* Dialoge = Vorgabe.Dialoge;
    std::function<void()> BeiAbfrage; // runs inside the engine's answer

    TVersandFenster() {
        Umgebung.Installation(1, "MUSTER00");
        Umgebung.Mandant(1, 1, "Modehaus Nord");
        Umgebung.Mandant(2, 1, "Modehaus Süd");
        Umgebung.Filiale(5, 1, 1, "Versand Nord");
        Umgebung.Filiale(7, 1, 1, "Markt");
        Umgebung.Filiale(9, 2, 1, "Versand Süd");
        Umgebung.Db().Exec("UPDATE filiale SET versandfiliale = 1 WHERE filiale IN (5, 9)");
        Umgebung.Db().Exec("INSERT INTO plattform (herkunft, name) VALUES (1, 'Amazon'), (2, 'Ebay')");
    }

    void Eintrag(int AFiliale, TDate ATag, int APlattform, TKOV_VersFil_Verkaufstyp ATyp, TKOV_VFUmsatzdaten_Erw AWerte) {
        Tage[{AFiliale, ATag}].Daten(APlattform, ATyp) = AWerte;
    }

    TVersFil_UmsatzQuelle Quelle() {
        return [this](const TFiliale& F, TDate AVon, TDate ABis) {
            Abfragen.emplace_back(F.Nr, AVon, ABis);
            if (BeiAbfrage) BeiAbfrage();
            TDaten r;
            for (TDate d = AVon; d <= ABis; d += 1)
                if (auto it = Tage.find({F.Nr, d}); it != Tage.end()) r = TKOV_UmsDataOperator_VersFilAusw::Add(r, it->second);
            return r;
        };
    }
    std::unique_ptr<TKOV_VersFilAuswertFrm> Fenster() {
        return std::make_unique<TKOV_VersFilAuswertFrm>(nullptr, Quelle());
    }

    // Sets the selection in the controls and applies it.
    static void Auswerten(TKOV_VersFilAuswertFrm& F, TDate AVon, TDate ABis, std::vector<int16_t> AFilialen,
                          bool AVerkaeufe = true, bool ARetouren = true, bool ALeerAusblenden = false) {
        F.edtZeitraum->Zeitraum_Set({AVon, ABis});
        F.frmFilialen->SetSelected(AFilialen);
        F.chbVerkaeufeAnzeigen->setChecked(AVerkaeufe);
        F.chbRetourenAnzeigen->setChecked(ARetouren);
        F.chbLeereZeilenAusblenden->setChecked(ALeerAusblenden);
        F.btnAuswertenClick();
    }
    static std::string Text(const TKOV_VersFilAuswertFrm& F) {
        std::string t;
        if (F.vtVersandfilialen->List()) Baum(*F.vtVersandfilialen->List(), 0, t);
        return t;
    }

    // Branch 5 sells stationary and on Amazon, with returns on Amazon; branch 7 only at the counter.
    void ZweiFilialenVorgeben() {
        Eintrag(5, CTag1, 0, vtVerkauf, {10, 20, 24, 2});
        Eintrag(5, CTag1, 1, vtVerkauf, {30, 50, 60, 3});
        Eintrag(5, CTag2, 1, vtVerkauf, {5, 10, 12, 1});
        Eintrag(5, CTag2, 1, vtRetoureStorno, {-5, -10, -12, -1});
        Eintrag(7, CTag1, 0, vtVerkauf, {4, 8, 9.5, 1});
        Eintrag(7, CTag2, 0, vtRetoureStorno, {-1, -2, -2.5, -1});
    }
};

} // namespace

TEST_F(TVersandFenster, VoreinstellungenTexteUndSpalten) {
    rdl_HeuteFestlegen(EncodeDate(2026, 12, 10) + 0.5);
    struct TZurueck {
        ~TZurueck() { rdl_HeuteFestlegen(0); }
    } zurueck;
    auto f = Fenster();
    f->FormShow();
    EXPECT_EQ(f->windowTitle().toStdString(), "Auswertung der Versandfilialen");
    EXPECT_EQ(f->pnlHeader->text().toStdString(), "Auswertung der Versandfilialen getrennt nach stationär und online");
    EXPECT_EQ(f->minimumSize(), QSize(770, 500));
    EXPECT_FALSE(f->chbLeereZeilenAusblenden->isChecked());
    EXPECT_TRUE(f->chbVerkaeufeAnzeigen->isChecked());
    EXPECT_TRUE(f->chbRetourenAnzeigen->isChecked());
    EXPECT_EQ(f->edtZeitraum->Zeitraum_Get(), (TKOV_VonBisDatum{EncodeDate(2026, 12, 3), EncodeDate(2026, 12, 9)}));
    // Every branch offered, the shipping branches ticked; the window opens with their table.
    EXPECT_EQ(f->frmFilialen->GetAll(), (std::vector<int16_t>{5, 7, 9}));
    EXPECT_EQ(f->frmFilialen->GetSelected(), (std::vector<int16_t>{5, 9}));
    EXPECT_EQ(Abfragen.size(), 2u);
    EXPECT_EQ(Abfragen.front(), std::make_tuple(5, EncodeDate(2026, 12, 3), EncodeDate(2026, 12, 9)));

    const std::vector<std::string> optionen = {
        "Filiale - Stat./Online - Plattform",  "Filiale - Stat./Online - Verkaufstyp",
        "Filiale - Verkaufstyp - Stat./Online", "Filiale - Verkaufstyp",
        "Filiale - Plattform",                  "Plattform - Verkaufstyp",
        "Plattform - Filiale",                  "Stat./Online - Plattform - Verkaufstyp",
        "Stat./Online - Verkaufstyp - Filiale",
    };
    ASSERT_EQ(f->cmbGruppierung->count(), int(optionen.size()));
    const auto menu = f->PopUp()->actions();
    ASSERT_EQ(menu.size(), qsizetype(optionen.size() + 1));
    EXPECT_EQ(menu[0]->text().toStdString(), "Gruppieren nach:");
    EXPECT_FALSE(menu[0]->isEnabled());
    for (size_t i = 0; i < optionen.size(); ++i) {
        EXPECT_EQ(f->cmbGruppierung->itemText(int(i)).toStdString(), optionen[i]);
        auto* item = qobject_cast<TMenuItemGrup*>(menu[qsizetype(i + 1)]);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text().toStdString(), optionen[i]);
        EXPECT_EQ(item->Gruppierung(), VerfuegbareGruppierungen()[i]);
    }
    EXPECT_EQ(f->cmbGruppierung->currentIndex(), 0);

    // Columns: captions, and what the grid shows under option 0.
    const std::vector<std::pair<std::string, bool>> spalten = {
        {"Filiale - Stat./Online - Plattform", true}, {"Filiale", false}, {"Stat./Online", false},
        {"Plattform", false}, {"Verkaufstyp", true}, {"Menge", true}, {"VK (brutto)", true}, {"VK (netto)", true},
        {"EK", true}, {"Währung", true}};
    for (size_t c = 0; c < spalten.size(); ++c) {
        EXPECT_EQ(f->vtVersandfilialen->ColumnCaption_Get(int(c)).toStdString(), spalten[c].first) << c;
        EXPECT_EQ(f->vtVersandfilialen->ColumnVisible_Get(int(c)), spalten[c].second) << c;
    }
    for (int c = spaVkBruttoHW; c <= spaEKHW; ++c) EXPECT_FALSE(f->vtVersandfilialen->ColumnVisible_Get(c));
}

// What the boxes let through: a branch without online sales, empty branches, no kind at all.
TEST_F(TVersandFenster, ZeilenJePlattformUndVerkaufstypNachDenHaekchen) {
    ZweiFilialenVorgeben();
    auto f = Fenster();
    QAbstractItemModelTester tester(&f->vtVersandfilialen->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    f->GruppierungClick(3); // branch, kind: every row one line below its kind
    const struct {
        const char* Name;
        std::vector<int16_t> Filialen;
        bool Verkaeufe, Retouren, LeerAusblenden;
        std::string Erwartet;
    } faelle[] = {
        {"nur stationär", {7}, true, true, false,
         "[7]\n  [Verkäufe]\n    7 stationär Verkäufe 1 9,50 8,00 4,00 EUR\n"
         "  [Retouren/Stornos]\n    7 stationär Retouren/Stornos -1 -2,50 -2,00 -1,00 EUR\n"},
        {"ohne Umsatz: je Typ eine stationäre Zeile", {9}, true, true, false,
         "[9]\n  [Verkäufe]\n    9 stationär Verkäufe 0 0,00 0,00 0,00 EUR\n"
         "  [Retouren/Stornos]\n    9 stationär Retouren/Stornos 0 0,00 0,00 0,00 EUR\n"},
        {"leere Zeilen ausgeblendet", {9, 7}, true, false, true,
         "[7]\n  [Verkäufe]\n    7 stationär Verkäufe 1 9,50 8,00 4,00 EUR\n"},
        {"weder Verkäufe noch Retouren", {5, 7}, false, false, false, ""},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        Auswerten(*f, CTag1, CTag2, fall.Filialen, fall.Verkaeufe, fall.Retouren, fall.LeerAusblenden);
        // Groups (not sums) of branch 7 and 9 read like their leaves.
        std::string t = Text(*f);
        std::string gruppen;
        for (size_t a = 0; a < t.size();) {
            const size_t e = t.find('\n', a);
            std::string z = t.substr(a, e - a);
            if (z.find('[') != std::string::npos) z = z.substr(0, z.find(']') + 1);
            gruppen += z + "\n";
            a = e + 1;
        }
        EXPECT_EQ(gruppen, fall.Erwartet);
        EXPECT_EQ(f->vtVersandfilialen->List()->GetColumnCount(), CVersFil_AnzahlSpalten);
        EXPECT_EQ(f->GruppierungAkt(), (TVRGruppierOption{spaFiliale, spaVkKz}));
        EXPECT_TRUE(f->ErgebnisVollstaendig());
    }
}

// Option 0: stationary before online, sales before returns; option 5 adds up the branches
// per platform and kind and keeps the leaves in branch order; the same selection twice
// gives the same tree.
TEST_F(TVersandFenster, GruppierungenOrdnenUndSummieren) {
    ZweiFilialenVorgeben();
    Eintrag(9, CTag1, 1, vtVerkauf, {1, 2, 3, 1});
    Eintrag(9, CTag1, 2, vtVerkauf, {7, 14, 16, 2});
    auto f = Fenster();
    QAbstractItemModelTester tester(&f->vtVersandfilialen->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    Auswerten(*f, CTag1, CTag2, {9, 5});
    EXPECT_EQ(Text(*f), "[5] 5 84,00 70,00 40,00 EUR\n"
                        "  [stationär] 2 24,00 20,00 10,00 EUR\n"
                        "    [stationär] 2 24,00 20,00 10,00 EUR\n"
                        "      5 stationär Verkäufe 2 24,00 20,00 10,00 EUR\n"
                        "      5 stationär Retouren/Stornos 0 0,00 0,00 0,00 EUR\n"
                        "  [online] 3 60,00 50,00 30,00 EUR\n"
                        "    [Amazon] 3 60,00 50,00 30,00 EUR\n"
                        "      5 Amazon Verkäufe 4 72,00 60,00 35,00 EUR\n"
                        "      5 Amazon Retouren/Stornos -1 -12,00 -10,00 -5,00 EUR\n"
                        "[9] 3 19,00 16,00 8,00 EUR\n"
                        "  [stationär] 0 0,00 0,00 0,00 EUR\n"
                        "    [stationär] 0 0,00 0,00 0,00 EUR\n"
                        "      9 stationär Verkäufe 0 0,00 0,00 0,00 EUR\n"
                        "      9 stationär Retouren/Stornos 0 0,00 0,00 0,00 EUR\n"
                        "  [online] 3 19,00 16,00 8,00 EUR\n"
                        "    [Amazon] 1 3,00 2,00 1,00 EUR\n"
                        "      9 Amazon Verkäufe 1 3,00 2,00 1,00 EUR\n"
                        "    [Ebay] 2 16,00 14,00 7,00 EUR\n"
                        "      9 Ebay Verkäufe 2 16,00 14,00 7,00 EUR\n");
    const std::string vorher = Text(*f);
    f->btnAuswertenClick();
    EXPECT_EQ(Text(*f), vorher);

    f->GruppierungClick(5); // platform, kind
    EXPECT_EQ(Text(*f), "[Amazon] 4 63,00 52,00 31,00 EUR\n"
                        "  [Verkäufe] 5 75,00 62,00 36,00 EUR\n"
                        "    5 Amazon Verkäufe 4 72,00 60,00 35,00 EUR\n"
                        "    9 Amazon Verkäufe 1 3,00 2,00 1,00 EUR\n"
                        "  [Retouren/Stornos] -1 -12,00 -10,00 -5,00 EUR\n"
                        "    5 Amazon Retouren/Stornos -1 -12,00 -10,00 -5,00 EUR\n"
                        "[Ebay] 2 16,00 14,00 7,00 EUR\n"
                        "  [Verkäufe] 2 16,00 14,00 7,00 EUR\n"
                        "    9 Ebay Verkäufe 2 16,00 14,00 7,00 EUR\n"
                        "[stationär] 2 24,00 20,00 10,00 EUR\n"
                        "  [Verkäufe] 2 24,00 20,00 10,00 EUR\n"
                        "    5 stationär Verkäufe 2 24,00 20,00 10,00 EUR\n"
                        "    9 stationär Verkäufe 0 0,00 0,00 0,00 EUR\n"
                        "  [Retouren/Stornos] 0 0,00 0,00 0,00 EUR\n"
                        "    5 stationär Retouren/Stornos 0 0,00 0,00 0,00 EUR\n"
                        "    9 stationär Retouren/Stornos 0 0,00 0,00 0,00 EUR\n");
    EXPECT_TRUE(f->vtVersandfilialen->ColumnVisible_Get(spaFiliale));
    EXPECT_EQ(f->vtVersandfilialen->ColumnCaption_Get(0).toStdString(), "Plattform - Verkaufstyp");
    EXPECT_EQ(f->cmbGruppierung->currentIndex(), 5);
    // The active option survives a new selection.
    const TVRList* liste = f->vtVersandfilialen->List();
    f->GruppierungClick(5);
    EXPECT_EQ(f->vtVersandfilialen->List(), liste);
    f->btnAuswertenClick();
    EXPECT_EQ(f->GruppierungAkt(), (TVRGruppierOption{spaPlattform, spaVkKz}));
}

// A branch in francs: its leaves keep francs; group rows add up euros at the rate of each
// day; a day with sales but no rate stops the fill with a message naming currency and day.
TEST_F(TVersandFenster, FrankenBleibenInDenZeilenGruppenInEuroZumTageskurs) {
    Umgebung.Filiale(4, 2, 1, "Basel", "CHF");
    Umgebung.Db().Exec("UPDATE filiale SET versandfiliale = 1 WHERE filiale = 4");
    Umgebung.Wechselkurs("CHF", CTag1, 0.9);
    Umgebung.Wechselkurs("CHF", CTag2, 0.95);
    Eintrag(4, CTag1, 1, vtVerkauf, {10, 20, 20, 1});
    Eintrag(4, CTag2, 1, vtVerkauf, {10, 20, 20, 1});
    Eintrag(9, CTag1, 1, vtVerkauf, {5, 10, 10, 1});
    auto f = Fenster();
    f->GruppierungClick(5); // platform, kind: both branches in one group
    Auswerten(*f, CTag1, CTag2, {4, 9}, true, false, true);
    EXPECT_TRUE(f->ErgebnisVollstaendig());
    // 20 CHF × 0,90 + 20 CHF × 0,95 + 10 € = 47 €; purchase 9 + 9,5 + 5 = 23,50 €.
    EXPECT_EQ(Text(*f), "[Amazon] 3 47,00 47,00 23,50 EUR\n"
                        "  [Verkäufe] 3 47,00 47,00 23,50 EUR\n"
                        "    4 Amazon Verkäufe 2 40,00 40,00 20,00 CHF\n"
                        "    9 Amazon Verkäufe 1 10,00 10,00 5,00 EUR\n");
    // Branch 4 asked day by day (each day's rate), branch 9 once for the period.
    EXPECT_EQ(std::count_if(Abfragen.begin(), Abfragen.end(), [](const auto& A) { return std::get<0>(A) == 4; }), 2);

    TErwarteteAusnahmen erwartet{"TKOV_VersFilAuswertFrm.TabelleFuellen"};
    Umgebung.Meldungen().Meldungen.clear();
    Eintrag(4, CTag1 - 1, 1, vtVerkauf, {1, 1, 1, 1});
    Auswerten(*f, CTag1 - 1, CTag2, {4, 9}, true, false, true);
    EXPECT_FALSE(f->ErgebnisVollstaendig());
    const std::string text = "Für die Währung CHF ist zum " + DateToStr(CTag1 - 1) + " kein Umrechnungskurs in EUR hinterlegt.";
    bool gemeldet = false;
    for (const auto& m : Umgebung.Meldungen().Meldungen) gemeldet = gemeldet || m.Text.find(text) != std::string::npos;
    EXPECT_TRUE(gemeldet) << text;
    QTemporaryDir ordner;
    EXPECT_FALSE(f->Liste_Speichern(ordner.filePath("x.csv").toStdString()));
}

// A platform number past the name table is named "unbekannte Plattform", registered,
// and never read out of bounds.
TEST_F(TVersandFenster, UnbekanntePlattformWirdGezaehltUndRegistriert) {
    TErwarteteAusnahmen erwartet{"Plattform_2_String"};
    const std::vector<std::string> namen = CRDL_Herkunftskennzeichen_2_string();
    ASSERT_EQ(namen.size(), 54u);
    EXPECT_EQ(Plattform_2_String(1, namen), "Amazon");
    EXPECT_EQ(Plattform_2_String(53, namen), "Plattform 53");
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
    TVRList liste;
    VersFilSpaltenErzeugen(liste);
    TVRArray zeile = liste.VRArray_ForRowAdd_Generate();
    TVersFil_Auswahl auswahl;
    for (int p : {54, 99})
        EXPECT_TRUE(AddNewRow(liste, zeile, auswahl, 5, "EUR", {1, 2, 3, 1}, {1, 2, 3, 1}, p, vtVerkauf, namen));
    ASSERT_EQ(liste.GetRowCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(liste.GetCellValueAsFormatedString(i, spaPlattform), "unbekannte Plattform");
        EXPECT_EQ(liste.GetCellValueAsFormatedString(i, spaStationaerHelper), "online");
    }
    ASSERT_EQ(RDLInfo().Registrierte().size(), 2u);
    EXPECT_NE(RDLInfo().Registrierte()[0].Text.find("54"), std::string::npos);
    EXPECT_FALSE(RDLInfo().Registrierte()[0].Flag); // logged; the user sees the row
}

// The engine lets window messages through while it reads: meanwhile regrouping, the
// pop-up, the export and closing are refused, and the controls are disabled.
TEST_F(TVersandFenster, WaehrendDesFuellensRuhenGruppierungExportUndSchliessen) {
    ZweiFilialenVorgeben();
    auto f = Fenster();
    f->show();
    bool geprueft = false;
    BeiAbfrage = [&] {
        if (geprueft) return;
        geprueft = true;
        EXPECT_FALSE(f->btnExportieren->isEnabled());
        EXPECT_FALSE(f->cmbGruppierung->isEnabled());
        EXPECT_FALSE(f->btnAuswerten->isEnabled());
        EXPECT_FALSE(f->PopUp()->isEnabled());
        f->GruppierungClick(5);
        f->btnExportierenClick();
        f->btnGrupppierenClick();
        EXPECT_FALSE(f->close());
    };
    Auswerten(*f, CTag1, CTag2, {5, 7});
    EXPECT_TRUE(geprueft);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(Dialoge->Aufrufe.empty()); // no export dialog
    EXPECT_FALSE(f->PopUp()->isVisible());
    EXPECT_EQ(f->GruppierungAkt(), VerfuegbareGruppierungen()[0]);
    EXPECT_EQ(f->cmbGruppierung->currentIndex(), 0);
    EXPECT_TRUE(f->btnExportieren->isEnabled());
    EXPECT_TRUE(f->PopUp()->isEnabled());
    BeiAbfrage = nullptr;
    EXPECT_TRUE(f->close());
}

// Another program asks while the window builds its first table (as it opens): the request
// waits for the table and gets the leaf rows as "Liste speichern" writes them, with event 3.
TEST_F(TVersandFenster, FremdeAnfrageWaehrendDesErstenAufbausWartetAufDieTabelle) {
    const TEigenerArbeitsplatz arbeitsplatz;
    QTemporaryDir ordner;
    const std::string datei = ordner.filePath("fern.csv").toStdString();
    auto f = Fenster();
    std::unique_ptr<TFremdeAnfrage> anfrage;
    BeiAbfrage = [&] {
        if (anfrage) return;
        anfrage = std::make_unique<TFremdeAnfrage>("TKOV_VersFilAuswertFrm", datei);
        anfrage->BisZurueckgehalten(*f);
    };
    const int64_t vorher = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    f->show();
    BeiAbfrage = nullptr;
    ASSERT_TRUE(anfrage && anfrage->Verbunden);
    EXPECT_EQ(anfrage->Antwort(), "LAEUFT\nOK " + datei + "\n");
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit) - vorher, 2); // the table's and the file's
    const std::string vergleich = ordner.filePath("vergleich.csv").toStdString();
    ASSERT_TRUE(f->Liste_Speichern(vergleich));
    EXPECT_EQ(DateiLesen(datei), DateiLesen(vergleich));
}

// The leaf rows with every column of the table but the head column; a cancelled dialog
// tells nothing; a file that cannot be written is told (1108) and an earlier one stays.
TEST_F(TVersandFenster, ExportSchreibtDieBlattzeilen) {
    ZweiFilialenVorgeben();
    auto f = Fenster();
    Auswerten(*f, CTag1, CTag2, {7});
    QTemporaryDir ordner;
    const std::string datei = ordner.filePath("versand.csv").toStdString();
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(datei));
    Umgebung.Meldungen().AntwortVorgeben(mrNo);
    f->btnExportierenClick();
    EXPECT_EQ(DateiLesen(datei), "Filiale;Plattform;Verkaufstyp;Menge;VK (brutto);VK (netto);EK;W\xE4hrung\r\n"
                                 "7;station\xE4r;Verk\xE4ufe;1;9,50;8,00;4,00;EUR\r\n"
                                 "7;station\xE4r;Retouren/Stornos;-1;-2,50;-2,00;-1,00;EUR\r\n");
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1107);
    // The grid shows the grouping again.
    EXPECT_FALSE(f->vtVersandfilialen->ColumnVisible_Get(spaFiliale));
    EXPECT_TRUE(f->vtVersandfilialen->ColumnVisible_Get(spaGruppenKopf));

    Umgebung.Meldungen().Meldungen.clear();
    Dialoge->Vorgeben(TRDLDialogAntwort::Abbrechen());
    f->btnExportierenClick();
    EXPECT_TRUE(Umgebung.Meldungen().Meldungen.empty());

    // A folder in the file's place: refused, told, nothing else touched.
    const std::string alt = DateiLesen(datei);
    std::filesystem::create_directory(ordner.filePath("ordner.csv").toStdString());
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(ordner.filePath("ordner.csv").toStdString()));
    Dialoge->Vorgeben(TRDLDialogAntwort::JaAntwort()); // overwrite
    f->btnExportierenClick();
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1108);
    EXPECT_EQ(DateiLesen(datei), alt);
    EXPECT_TRUE(std::filesystem::is_directory(ordner.filePath("ordner.csv").toStdString()));
}

// Execute: a failed statistics update is told and opens no window; else the window shows.
TEST_F(TVersandFenster, ExecuteZeigtDasFensterNurNachDerAktualisierung) {
    for (const bool aktuell : {false, true}) {
        SCOPED_TRACE(aktuell);
        Umgebung.Meldungen().Meldungen.clear();
        TKOV_Quendrix_VersFilAuswertung a;
        int tage = 0, gezeigt = 0;
        a.StatistikAktualisieren = [&](int ATage, bool AFrage) {
            tage = ATage;
            EXPECT_FALSE(AFrage);
            return aktuell;
        };
        a.UmsatzQuelle = Quelle();
        a.FensterZeigen = [&](TKOV_VersFilAuswertFrm&) { ++gezeigt; };
        EXPECT_EQ(a.Execute(), aktuell);
        EXPECT_EQ(tage, 365);
        EXPECT_EQ(gezeigt, aktuell ? 1 : 0);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen.size(), aktuell ? 0u : 1u);
    }
}
