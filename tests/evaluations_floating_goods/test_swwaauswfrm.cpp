// The floating-goods window on the records of schwware_daten.h: the period checks, what a
// run lists and counts, cancelling, closing while a loader runs, grouping with sums in the
// house currency, and the export of the ungrouped list.
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "schwware_daten.h"
#include "testdateien.h"
#include "testumgebung.h"

#include "rdldialog.h"
#include "rdlereignis.h"
#include "rdlstapellauf.h"
#include "swwaausw.h"
#include "vtrdlvrlist.h"
#include "vorgabedialoge.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

const char* const CLeserFehler[] = {"TKOV_SchwWarefrm.SW_DISPO_laden.SW_Detail_setzen", "TKOV_SchwWarefrm.SW_SER_laden"};

struct TSchwWareFenster : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung;
    QTemporaryDir Ordner;
    TVorgabeDialogeEinsetzen Vorgabe;
    TRDLVorgabeDialoge* Dialoge = Vorgabe.Dialoge;

    TSchwWareFenster() {
        Umgebung.NordUndSued();
        schwware::Anlegen(Umgebung.Db());
    }

    static void Zeitraum(TKOV_SchwWarefrm& F, const char* AVon = "01.03.2026", const char* ABis = "31.03.2026") {
        F.edtZeitraumVon->setText(QString::fromUtf8(AVon));
        F.edtZeitraumBis->setText(QString::fromUtf8(ABis));
    }
    // A run over March, its registered data faults declared.
    static void Lauf(TKOV_SchwWarefrm& F) {
        TErwarteteAusnahmen erwartet{CLeserFehler[0], CLeserFehler[1]};
        Zeitraum(F);
        F.btnStartClick();
    }
    std::string Datei(const char* AName) const { return Ordner.filePath(AName).toStdString(); }
};

// Rows per kind text of a flat list.
std::map<std::string, int> ZeilenJeTyp(const TVRList& L) {
    std::map<std::string, int> r;
    for (int i = 0; i < L.GetRowCount(); ++i) ++r[L.GetCellValueAsFormatedString(i, swsTyp)];
    return r;
}

TEST_F(TSchwWareFenster, OhneGueltigenZeitraumMeldetDasFensterUndSignalisiertNichts) {
    const struct {
        const char* Von;
        const char* Bis;
        const char* Meldung;
    } faelle[] = {
        {"   ", "31.03.2026", "Bitte definieren Sie einen Zeitraum."},
        {"01.03.2026", "", "Bitte definieren Sie einen Zeitraum."},
        {"32.03.2026", "31.03.2026", "Bitte geben Sie einen gültigen Zeitraum an."},
        {"01.03.2026", "März", "Bitte geben Sie einen gültigen Zeitraum an."},
    };
    TKOV_SchwWarefrm f;
    for (const auto& fall : faelle) {
        SCOPED_TRACE(std::string(fall.Von) + " - " + fall.Bis);
        Umgebung.Meldungen().Meldungen.clear();
        const int64_t signale = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
        Zeitraum(f, fall.Von, fall.Bis);
        f.btnStartClick();
        ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Nummer, 994);
        EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, fall.Meldung);
        EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), signale);
        EXPECT_EQ(f.VRListNG(), nullptr);
    }
}

TEST_F(TSchwWareFenster, OhneErgebnisTutGruppierenNichtsUndExportUndAnfrageSchreibenNichts) {
    TKOV_SchwWarefrm f;
    f.btnGruppierenClick();
    EXPECT_TRUE(Umgebung.Meldungen().Meldungen.empty());
    f.btnCSVExportClick();
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Text, "Bitte führen Sie zunächst eine Auswertung durch.");
    EXPECT_TRUE(Dialoge->Aufrufe.empty());
    // An outside request before any run gets no file.
    EXPECT_FALSE(RDLTextNachrichtSenden(&f, CRDL_Nachricht_ErgebnisSpeichern, Datei("anfrage.csv")));
    EXPECT_EQ(OrdnerNamen(Ordner.path().toStdString()), "");
}

// The period's items of the four kinds, each counted as the progress shows it; the data
// faults are registered and told once.
TEST_F(TSchwWareFenster, EinLaufListetDieVierArtenUndZaehltGefundeneUndGepruefte) {
    TKOV_SchwWarefrm f;
    const int64_t signale = KOV_EventZaehler(CKOV_Event_ErgebnisBereit);
    Lauf(f);
    ASSERT_NE(f.VRListNG(), nullptr);
    EXPECT_EQ(ZeilenJeTyp(*f.VRListNG()), (std::map<std::string, int>{{CSW_Typ_WE, 2},
                                                                        {CSW_Typ_DI, 2},
                                                                        {CSW_Typ_AGA, 2},
                                                                        {CSW_Typ_SER, 2}}));
    // Credit requests 2/2, quick capture +2/+3 (one link missing), goods receipts +2/+3
    // (the duplicate read once, the checked one not), the invoice +1/+1 and its three
    // dispositions +2/+3.
    EXPECT_EQ(f.lblStatusanzeige->text().toStdString(), "Auswertung beendet: 9/12");
    EXPECT_TRUE(f.ErgebnisVollstaendig());
    EXPECT_EQ(f.DatenfehlerAnzahl(), 3);
    EXPECT_EQ(KOV_EventZaehler(CKOV_Event_ErgebnisBereit), signale + 1);
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(Umgebung.Meldungen().Meldungen[0].Art, mkWarnung);
    EXPECT_NE(Umgebung.Meldungen().Meldungen[0].Text.find("3 fehlerhafte Angaben"), std::string::npos)
        << Umgebung.Meldungen().Meldungen[0].Text;
    // The grid shows the list; Menge and Wert right-aligned, the others left.
    ASSERT_NE(f.vtSchwWare->List(), nullptr);
    EXPECT_EQ(f.vtSchwWare->List()->GetRowCount(), 8);
    EXPECT_TRUE(f.vtSchwWare->ColumnAlignment_Get(swsWert) & Qt::AlignRight);
    EXPECT_TRUE(f.vtSchwWare->ColumnAlignment_Get(swsDatum) & Qt::AlignLeft);
    EXPECT_FALSE(f.vtSchwWare->ColumnVisible_Get(swsMandantKey));
}

TEST_F(TSchwWareFenster, AbbruchImWareneingangFuelltDasGitterMitDemBisherGefundenen) {
    TKOV_SchwWarefrm f;
    // Credit requests and quick capture have checked 5 items when the receipts begin.
    f.OnNachrichtenZulassen = [&] {
        if (f.StatusElementeGeprueft() >= 5) f.btnStopClick();
    };
    Lauf(f);
    ASSERT_NE(f.VRListNG(), nullptr);
    auto jeTyp = ZeilenJeTyp(*f.VRListNG());
    EXPECT_EQ(jeTyp[CSW_Typ_AGA], 2);
    EXPECT_EQ(jeTyp[CSW_Typ_SER], 2);
    EXPECT_LE(jeTyp[CSW_Typ_WE], 1); // the first record is read before the loop looks
    EXPECT_EQ(jeTyp[CSW_Typ_DI], 0);
    EXPECT_EQ(f.lblStatusanzeige->text().toStdString().rfind("Auswertung abgebrochen: ", 0), 0u);
    // What a cancelled run found goes to the user's export, never to an outside request.
    EXPECT_FALSE(f.ErgebnisVollstaendig());
    EXPECT_FALSE(f.Liste_Speichern(Datei("anfrage.csv")));
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("abgebrochen.csv")));
    f.btnCSVExportClick();
    EXPECT_EQ(CrLfZeilen(DateiLesen(Datei("abgebrochen.csv"))).size(), size_t(1 + f.VRListNG()->GetRowCount()));
}

TEST_F(TSchwWareFenster, DasFensterSchliesstNichtWaehrendEinLaderLaeuft) {
    TKOV_SchwWarefrm f;
    f.show();
    int versuche = 0;
    bool geschlossen = false;
    f.OnNachrichtenZulassen = [&] {
        if (!f.Laeuft()) return;
        ++versuche;
        geschlossen = geschlossen || f.close();
    };
    Lauf(f);
    EXPECT_GT(versuche, 0);
    EXPECT_FALSE(geschlossen);
    EXPECT_TRUE(f.isVisible());
    f.OnNachrichtenZulassen = nullptr;
    EXPECT_TRUE(f.close());
}

// Group rows add up the values in the house currency at each item's day; the toggle goes
// back to the flat list, and the export writes the flat list whatever the grid shows.
TEST_F(TSchwWareFenster, GruppierenSummiertInHauswaehrungUndExportiertDieUngruppierteListe) {
    TKOV_SchwWarefrm f;
    Lauf(f);
    f.btnGruppierenClick();
    ASSERT_TRUE(f.VRListGruppiert());
    const TVRList& g = *f.vtSchwWare->List();
    EXPECT_EQ(f.vtSchwWare->TreeDepth(), 5); // client, kind, supplier, article or number, items
    // Clients in key order: none (the receipt with the unknown branch), Nord, Süd.
    ASSERT_EQ(g.GetRowCount(), 3);
    EXPECT_EQ(g.GetCellValueAsFormatedString(0, swsMandant), "");
    EXPECT_EQ(g.GetCellValueAsFormatedString(1, swsMandant), "Modehaus Nord");
    EXPECT_EQ(g.GetCellValueAsFormatedString(2, swsMandant), "Modehaus Süd");
    // Süd: the disposition of branch 3 (40,00 EUR), the credit request of 99,50 CHF at 0,95
    // and the quick-captured reversal (45,50 EUR).
    EXPECT_NEAR(g.GetCellValueAsDouble(2, swsWert), 40.0 + 99.5 * 0.95 + 45.5, 1e-9);
    EXPECT_EQ(g.GetCellValueAsFormatedString(2, swsWaehrung), "EUR");
    EXPECT_EQ(g.GetCellValueAsFormatedString(2, swsMenge), "2");

    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("liste.txt")));
    f.btnCSVExportClick();
    EXPECT_FALSE(std::filesystem::exists(Datei("liste.txt")));
    const auto zeilen = CrLfZeilen(DateiLesen(Datei("liste.csv")));
    ASSERT_EQ(zeilen.size(), 9u);
    EXPECT_EQ(zeilen[0], "Mandant;Typ;Lieferant;Filiale;ArtNr/AGANr;Menge;Wert;W\xE4hrung;Datum;Barcode;VorgID");

    f.btnGruppierenClick();
    EXPECT_FALSE(f.VRListGruppiert());
    EXPECT_EQ(f.vtSchwWare->TreeDepth(), 1);
    EXPECT_EQ(f.vtSchwWare->List()->GetRowCount(), 8);
}

TEST_F(TSchwWareFenster, OhneKursBleibtDieListeUngruppiertUndDerBenutzerErfaehrtWarum) {
    TKOV_SchwWarefrm f;
    Lauf(f);
    Umgebung.Db().Exec("DELETE FROM wechselkurs");
    Umgebung.Meldungen().Meldungen.clear();
    {
        TErwarteteAusnahmen erwartet{"TKOV_SchwWarefrm.btnGruppierenClick"};
        f.btnGruppierenClick();
    }
    EXPECT_FALSE(f.VRListGruppiert());
    EXPECT_EQ(f.vtSchwWare->TreeDepth(), 1);
    ASSERT_EQ(Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_NE(Umgebung.Meldungen().Meldungen[0].Text.find("Für die Währung CHF ist zum "),
              std::string::npos)
        << Umgebung.Meldungen().Meldungen[0].Text;
}

} // namespace
