// The staff discount window on the records of persrab_daten.h: the line kinds with their
// discount, lines without a till price, the period and the staff members' validity,
// grouping against the flat export, the receipt window, cancelling, the guards and a
// request of another program during a run.
#include "erwarteteausnahmen.h"
#include "fernanfrage.h"
#include "persrab_daten.h"
#include "qttestapp.h"
#include "testdateien.h"
#include "testumgebung.h"

#include "beleginfofrm.h"
#include "persrabausw.h"
#include "rdldialog.h"
#include "rdlereignis.h"
#include "rdlstapellauf.h"
#include "vtrdlvrlist.h"
#include "vorgabedialoge.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr const char* CGetPreis = "TKOV_PersRabfrm.PositionenAuslesen.GetPreis";

struct TPersRabFenster : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung;
    QTemporaryDir Ordner;
    TVorgabeDialogeEinsetzen Vorgabe;
    TRDLVorgabeDialoge* Dialoge = Vorgabe.Dialoge;

    TPersRabFenster() {
        Umgebung.NordUndSued();
        persrab::Anlegen(Umgebung.Db());
    }

    // A run over the period; the line without a size index is registered when it lies in it.
    static void Lauf(TKOV_PersRabfrm& F, const char* AVon, const char* ABis) {
        TErwarteteAusnahmen erwartet{CGetPreis};
        F.edtVon->setText(QString::fromUtf8(AVon));
        F.edtBis->setText(QString::fromUtf8(ABis));
        F.btnStartClick();
    }
    std::string Datei(const char* AName) const { return Ordner.filePath(AName).toStdString(); }
};

// December: every line kind, the validity of the staff records, a receipt reaching beyond
// the period, receipts under the client of their own and the branch's currency.
TEST_F(TPersRabFenster, DezemberZeigtJedeZeilenartMitIhremRabatt) {
    TKOV_PersRabfrm f;
    const int64_t signale = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    Lauf(f, "01.12.2026", "31.12.2026");
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), signale + 1);
    EXPECT_TRUE(f.ErgebnisVollstaendig());
    const struct {
        const char* Mandant;
        int KurzNr;
        const char* Name;
        TIntPair Bon;
        int Menge;
        double IVK, KVK, Rabatt;
        const char* Waehrung;
        bool IstArtikel;
    } erwartet[] = {
        {"Modehaus Nord", 1, "Anna Berger", {1, 101}, 2, 55.92, 75.90, 19.98, "EUR", true}, // branch price
        {"Modehaus Nord", 1, "Anna Berger", {1, 101}, 0, -5.00, 0.00, 5.00, "EUR", false},  // RS
        {"Modehaus Nord", 1, "Anna Berger", {1, 101}, 1, 10.00, 12.50, 2.50, "EUR", false}, // GS
        {"Modehaus Nord", 1, "Anna Berger", {1, 102}, 1, 50.00, 50.00, 0.00, "EUR", true},  // no price; 01.01. ends it
        {"Modehaus Nord", 1, "Anna Berger", {2, 202}, 1, 30.00, 44.90, 14.90, "CHF", true}, // under client 2
        {"Modehaus Süd", 3, "Lea Vogt", {2, 201}, 1, 31.43, 44.90, 13.47, "CHF", true},     // branch's currency
    };
    const auto& liste = f.PersRabListe();
    ASSERT_EQ(liste.Count(), int32_t(std::size(erwartet)));
    for (int32_t i = 0; i < liste.Count(); ++i) {
        SCOPED_TRACE(i);
        const TKOV_PersRabPos p = liste[i];
        const auto& e = erwartet[i];
        EXPECT_EQ(p.Mandant.Name, e.Mandant);
        EXPECT_EQ(p.MitaNr, e.KurzNr);
        EXPECT_EQ(p.Name, e.Name);
        EXPECT_EQ(p.BonNr, e.Bon);
        EXPECT_EQ(p.Menge, e.Menge);
        EXPECT_DOUBLE_EQ(p.IVK, e.IVK);
        EXPECT_DOUBLE_EQ(p.KVK, e.KVK);
        EXPECT_DOUBLE_EQ(p.Rabatt(), e.Rabatt);
        EXPECT_EQ(p.Waehrung, e.Waehrung);
        EXPECT_EQ(p.IstArtikel, e.IstArtikel);
        EXPECT_FALSE(p.KeinKassenpreis);
    }
    // KurzNr and Vorfall right-aligned, Datum left; the grid sorted by KurzNr.
    EXPECT_TRUE(f.vtPersRab->ColumnAlignment_Get(prsKurzNr) & Qt::AlignRight);
    EXPECT_TRUE(f.vtPersRab->ColumnAlignment_Get(prsVorfall) & Qt::AlignRight);
    EXPECT_TRUE(f.vtPersRab->ColumnAlignment_Get(prsDatum) & Qt::AlignLeft);
    EXPECT_EQ(f.vtPersRab->List()->GetCellValueAsFormatedString(0, prsVorfall), "VK 1 - 101");
    EXPECT_EQ(f.vtPersRab->List()->GetCellValueAsFormatedString(0, prsMonat), "Dez 2026");
    EXPECT_TRUE(Umgebung.Meldungen().Meldungen.empty());
}

// November: a line without a size index has no till price: registered, marked, told once,
// its discount 0; a total below half a cent counts as no price either, unmarked.
TEST_F(TPersRabFenster, OhneGroessenindexUndUnterEinemHalbenCentGiltDerIstVK) {
    TKOV_PersRabfrm f;
    {
        TErwarteteAusnahmen erwartet{CGetPreis};
        f.edtVon->setText("01.11.2026");
        f.edtBis->setText("30.11.2026");
        f.btnStartClick();
    }
    const auto& liste = f.PersRabListe();
    ASSERT_EQ(liste.Count(), 2);
    EXPECT_TRUE(liste[0].KeinKassenpreis);
    EXPECT_DOUBLE_EQ(liste[0].KVK, 30.0);
    EXPECT_DOUBLE_EQ(liste[0].Rabatt(), 0.0);
    EXPECT_FALSE(liste[1].KeinKassenpreis);
    EXPECT_DOUBLE_EQ(liste[1].KVK, 1.0);
    EXPECT_DOUBLE_EQ(liste[1].Rabatt(), 0.0);
    EXPECT_EQ(f.OhneKassenpreisAnzahl(), 1);
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Art, mkWarnung);
    EXPECT_NE(Umgebung.Meldungen().Meldungen[0].Text.find("1 Verkaufszeile"), std::string::npos);
    // The grid paints the marked row.
    QColor farbe;
    const TVRList& g = *f.vtPersRab->List();
    int markiert = 0;
    for (int i = 0; i < g.GetRowCount(); ++i)
        if (f.vtPersRab->OnCellBackground(g, i, prsRabatt, farbe)) ++markiert;
    EXPECT_EQ(markiert, 1);
}

// Grouped: client, staff member, month (in the order of time), sums in the house currency;
// the export then writes one line per staff member, ungrouped every line.
TEST_F(TPersRabFenster, GruppiertExportiertJeMitarbeiterEineZeileUngruppiertJedeZeile) {
    TKOV_PersRabfrm f;
    Lauf(f, "01.11.2026", "31.12.2026");
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("flach.txt")));
    f.btnCSVExportClick();
    EXPECT_FALSE(std::filesystem::exists(Datei("flach.txt")));
    const auto flach = CrLfZeilen(DateiLesen(Datei("flach.csv")));
    ASSERT_EQ(flach.size(), 10u); // the header and the 9 lines (Kranz's record ended within the period)
    EXPECT_EQ(flach[0], "Mandant;KurzNr;Name;Monat;Datum;Vorfall;ArtNr;Menge;Ist-VK;Kassen-VK;Rabatt;W\xE4hrung");

    const int64_t signale = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    f.btnGruppierenClick();
    ASSERT_TRUE(f.VRListGruppiert());
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), signale + 1);
    const TVRList& g = *f.vtPersRab->List();
    ASSERT_EQ(g.GetRowCount(), 2); // the clients
    const TVRList* berger = g.GetRowChild(0)->GetRowChild(0);
    ASSERT_NE(berger, nullptr);
    ASSERT_EQ(berger->GetRowCount(), 2);
    EXPECT_EQ(berger->GetCellValueAsFormatedString(0, prsMonat), "Nov 2026");
    EXPECT_EQ(berger->GetCellValueAsFormatedString(1, prsMonat), "Dez 2026");

    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("gruppiert.csv")));
    f.btnCSVExportClick();
    // Berger: 170,42 paid (30,00 CHF at 0,95), 212,06 at the till; Vogt's francs likewise.
    EXPECT_EQ(CrLfZeilen(DateiLesen(Datei("gruppiert.csv"))),
              (std::vector<std::string>{flach[0], "Modehaus Nord;1;Anna Berger;;;;;7;170,42;212,06;41,64;EUR",
                                        "Modehaus Nord;2;Paul Kranz;;;;;1;30,00;37,95;7,95;EUR",
                                        "Modehaus S\xFC" "d;3;Lea Vogt;;;;;1;29,86;42,66;12,80;EUR"}));

    f.btnGruppierenClick();
    EXPECT_FALSE(f.VRListGruppiert());
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), signale + 2);
    EXPECT_EQ(f.vtPersRab->List()->GetRowCount(), 9);
}

TEST_F(TPersRabFenster, DoppelklickAufEineGruppenzeileTutNichtsAufEineZeileZeigtDenBeleg) {
    TKOV_PersRabfrm f;
    Lauf(f, "01.12.2026", "31.12.2026");
    int gezeigt = 0;
    std::string beleg;
    int zeilen = 0;
    f.OnBelegZeigen = [&](TBelegInfoFrm& B) {
        ++gezeigt;
        beleg = B.lblBeleg->text().toStdString();
        zeilen = B.vtPositionen->List()->GetRowCount();
    };
    f.btnGruppierenClick();
    const QModelIndex gruppe = f.vtPersRab->Model().index(0, 0);
    f.vtPersRab->setCurrentIndex(gruppe);
    f.vtPersRabDblClick();
    EXPECT_EQ(gezeigt, 0);

    f.btnGruppierenClick(); // flat: the first row is Berger's first line
    f.vtPersRab->setCurrentIndex(f.vtPersRab->Model().index(0, 0));
    f.vtPersRabDblClick();
    EXPECT_EQ(gezeigt, 1);
    EXPECT_EQ(beleg, "Beleg VK 1 - 101");
    EXPECT_EQ(zeilen, 3);
}

// "Abbrechen" acts between receipts: the lines read so far are shown, the user may
// export them, an outside request gets nothing.
TEST_F(TPersRabFenster, AbbrechenWirktNachDemErstenBeleg) {
    TKOV_PersRabfrm f;
    f.OnNachrichtenZulassen = [&] {
        EXPECT_TRUE(f.btnStop->isEnabled());
        EXPECT_FALSE(f.btnStart->isEnabled());
        f.btnStopClick();
    };
    Lauf(f, "01.12.2026", "31.12.2026");
    EXPECT_EQ(f.PersRabListe().Count(), 3); // receipt 1-101
    EXPECT_FALSE(f.ErgebnisVollstaendig());
    EXPECT_TRUE(f.btnStart->isEnabled());
    EXPECT_FALSE(f.btnStop->isEnabled());
    EXPECT_FALSE(f.Liste_Speichern(Datei("anfrage.csv")));
    EXPECT_FALSE(std::filesystem::exists(Datei("anfrage.csv")));
}

TEST_F(TPersRabFenster, OhneErgebnisMeldenDieKnoepfeUndEinUnschreibbarerExportMeldet1108) {
    TKOV_PersRabfrm f;
    const struct {
        std::function<void()> Klick;
        const char* Text;
    } faelle[] = {
        {[&] { f.btnGruppierenClick(); }, "Bitte starten Sie zunächst die Selektion."},
        {[&] { f.btnCSVExportClick(); }, "Bitte führen Sie zunächst eine Auswertung durch."},
        {[&] { f.btnPrintClick(); }, "Bitte führen Sie zunächst eine Auswertung durch."},
    };
    for (const auto& fall : faelle) {
        Umgebung.Meldungen().Meldungen.clear();
        fall.Klick();
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u) << fall.Text;
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, fall.Text);
    }
    EXPECT_TRUE(Dialoge->Aufrufe.empty());

    Lauf(f, "01.12.2026", "31.12.2026");
    Umgebung.Meldungen().Meldungen.clear();
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("fehlt/export.csv"))); // a folder that is not there
    {
        TErwarteteAusnahmen erwartet{"TVTRDLVRList.Export2CSV_KnownFilename"};
        f.btnCSVExportClick();
    }
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 1108);
}

// Another program asks while a selection runs: the request waits for it and gets the new
// result under the name it gave, followed by event 3.
TEST_F(TPersRabFenster, AnfrageWaehrendEinesLaufsBekommtDasNeueErgebnis) {
    const TEigenerArbeitsplatz arbeitsplatz;
    const std::string datei = Datei("fern.txt");
    TKOV_PersRabfrm f;
    f.show();
    Lauf(f, "01.11.2026", "30.11.2026"); // an earlier result the request must not get
    std::unique_ptr<TFremdeAnfrage> anfrage;
    bool direkt = true;
    f.OnNachrichtenZulassen = [&] {
        if (anfrage) return;
        anfrage = std::make_unique<TFremdeAnfrage>("TKOV_PersRabfrm", datei);
        anfrage->BisZurueckgehalten(f);
        // Message 2331 sent straight to the window meanwhile writes nothing either.
        direkt = RDLTextNachrichtSenden(&f, CRDL_Nachricht_ErgebnisSpeichern, datei);
    };
    const int64_t vorher = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    Lauf(f, "01.12.2026", "31.12.2026");
    f.OnNachrichtenZulassen = nullptr;
    ASSERT_TRUE(anfrage && anfrage->Verbunden);
    EXPECT_FALSE(direkt);
    EXPECT_EQ(anfrage->Antwort(), "LAEUFT\nOK " + datei + "\n");
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit) - vorher, 2); // the selection's and the file's
    EXPECT_EQ(CrLfZeilen(DateiLesen(datei)).size(), 7u);                // December's six lines
    EXPECT_FALSE(std::filesystem::exists(Datei("fern.csv")));
    EXPECT_TRUE(f.close());
}

} // namespace
