// The article stock export as the user runs it: period and selection dialogs, the window's
// checks and its running display, the exporter's failures, the query's rule and levels.
#include "bestand_daten.h"
#include "erwarteteausnahmen.h"
#include "qttestapp.h"
#include "testdateien.h"
#include "testumgebung.h"

#include "artbest_gr_csv_ausw.h"
#include "artbest_gr_csv_auswfrm.h"
#include "artuebcsvexport.h"
#include "artvseleingdlg.h"
#include "auswertungszeitraumdlg.h"
#include "demo/demo.h"
#include "rdlartquery.h"
#include "rdldialog.h"
#include "rdlergebnisdatei.h"
#include "vorgabedialoge.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace {

void DateiSchreiben(const std::string& AName, const std::string& AInhalt) {
    std::ofstream(AName, std::ios::binary) << AInhalt;
}

struct TArtBest : ::testing::Test {
    TQtApp Qt;
    TTestUmgebung Umgebung;
    QTemporaryDir Ordner;
    TVorgabeDialogeEinsetzen Vorgabe;
    TRDLVorgabeDialoge* Dialoge = Vorgabe.Dialoge;

    TArtBest() {
        Umgebung.NordUndSued();
        bestand::Anlegen(Umgebung.Db());
    }
    std::string Datei(const char* AName) const { return Ordner.filePath(AName).toStdString(); }
    // December 2026 confirmed in the period dialog, the selection taken.
    void Dezember() {
        Dialoge->Vorgeben(TRDLDialogAntwort::Tag(EncodeDate(2026, 12, 1)));
        Dialoge->Vorgeben(TRDLDialogAntwort::Tag(EncodeDate(2026, 12, 31)));
        Dialoge->Vorgeben(TRDLDialogAntwort::JaAntwort());
    }
};

// A window that cannot be made: Resources_Create fails.
class TOhneFenster : public TKOV_ArtBest_CSV_Export {
protected:
    std::unique_ptr<TKOV_ArtBest_CSV_Export_Frm> FormErzeugen() override { throw Exception("kein Fenster"); }
};

int Meldungen(TTestUmgebung& U, const std::string& AGruppe, int ANummer) {
    int n = 0;
    for (const auto& m : U.Meldungen().Meldungen) n += m.Gruppe == AGruppe && m.Nummer == ANummer;
    return n;
}

} // namespace

// The window's checks before and after the exporter, as a table of what the user does.
TEST_F(TArtBest, DasFensterPrueftDenDateinamenUndMeldetFehlschlaegeDesExporters) {
    const std::string vorhanden = Datei("alt.csv");
    DateiSchreiben(vorhanden, "alt");
    const struct {
        std::string Name;
        std::vector<TRDLDialogAntwort> Antworten; // after the period and selection
        bool Stoerung;
        int Ergebnis;         // the window's result
        int Meldung1000, Meldung1108;
        std::string Inhalt;   // of the file afterwards; "-": none
    } faelle[] = {
        {"", {}, false, 0, 1, 0, "-"},
        {Datei("fehlt/b.csv"), {}, false, 0, 1, 0, "-"},
        {Ordner.path().toStdString(), {}, false, 0, 1, 0, "-"},
        {vorhanden, {TRDLDialogAntwort::NeinAntwort()}, false, 0, 0, 0, "alt"},
        {vorhanden, {TRDLDialogAntwort::JaAntwort()}, true, 0, 0, 1, "alt"},
        {vorhanden, {TRDLDialogAntwort::JaAntwort()}, false, 1, 0, 0, "neu"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Name);
        Umgebung.Meldungen().Meldungen.clear();
        TKOV_ArtBest_CSV_Export a;
        a.Init();
        Dezember();
        for (const auto& antwort : f.Antworten) Dialoge->Vorgeben(antwort);
        int ergebnis = -1;
        a.FensterZeigen = [&](TKOV_ArtBest_CSV_Export_Frm& F) {
            F.edtFilePath->setText(QString::fromStdString(f.Name));
            std::optional<TRDLErgebnisDateiStoerung> stoerung;
            std::optional<TErwarteteAusnahmen> erwartet;
            if (f.Stoerung) {
                stoerung.emplace(TRDLErgebnisStoerStelle::Abschluss);
                erwartet.emplace(std::initializer_list<std::string>{"TKOV_ArtUeb_CSV_Export.Execute"});
            }
            F.btnAuswertenClick();
            ergebnis = F.result();
            // Back to the input display, whatever happened.
            EXPECT_TRUE(F.btnAuswerten->isEnabled());
            EXPECT_FALSE(F.pgbProgress->isVisibleTo(&F));
            return ergebnis;
        };
        EXPECT_EQ(a.Execute(), f.Ergebnis == 1);
        a.Done();
        EXPECT_EQ(ergebnis, f.Ergebnis);
        EXPECT_EQ(Meldungen(Umgebung, "QUENDRIX", 1000), f.Meldung1000);
        EXPECT_EQ(Meldungen(Umgebung, "STANDARD", 1108), f.Meldung1108);
        if (f.Inhalt == "neu") EXPECT_EQ(DateiLesen(vorhanden).substr(0, 9), "Stichtag;");
        else if (f.Inhalt == "alt") EXPECT_EQ(DateiLesen(vorhanden), "alt");
        else EXPECT_FALSE(std::filesystem::is_regular_file(f.Name));
        if (f.Inhalt == "neu") DateiSchreiben(vorhanden, "alt");
    }
}

// While the exporter writes, the window shows it runs, names the article, and neither Esc
// nor the close box ends it.
TEST_F(TArtBest, WaehrendDesExportsLaeuftDieAnzeigeUndDasFensterBleibtOffen) {
    TKOV_ArtBest_CSV_Export a;
    a.Init();
    Dezember();
    // The real export: the window is looked at whenever it lets messages through.
    int angesehen = 0;
    a.FensterZeigen = [&](TKOV_ArtBest_CSV_Export_Frm& F) {
        F.show();
        F.edtFilePath->setText(QString::fromStdString(Datei("b.csv")));
        RDLInfo().ProcessMessagesHookSetzen([&](int) {
            ++angesehen;
            EXPECT_FALSE(F.edtFilePath->isEnabled());
            EXPECT_FALSE(F.btnBeenden->isEnabled());
            EXPECT_FALSE(F.btnAuswerten->isEnabled());
            EXPECT_TRUE(F.pgbProgress->isVisible());
            EXPECT_EQ(F.pgbProgress->maximum(), 0); // running light
            F.close();
            QTest::keyClick(&F, Qt::Key_Escape);
            EXPECT_TRUE(F.isVisible());
        });
        F.btnAuswertenClick();
        RDLInfo().ProcessMessagesHookSetzen({});
        return F.result();
    };
    EXPECT_TRUE(a.Execute());
    EXPECT_GT(angesehen, 0);
    EXPECT_TRUE(std::filesystem::exists(Datei("b.csv")));
    a.OnProgress({101, 1, 1});
    EXPECT_EQ(a.Form()->lblDetails->text().toStdString(), "Exportiere Artikel: 1001");
    a.Done();
    EXPECT_EQ(a.Form(), nullptr);
}

// Cancelling: the period dialog on a fresh workstation still opens the selection with the
// previous year; the selection cancelled ends without the window; Beenden gives false.
TEST_F(TArtBest, AbbrechenUndBeenden) {
    {
        TKOV_ArtBest_CSV_Export a;
        a.Init();
        Dialoge->Vorgeben(TRDLDialogAntwort::Abbrechen()); // period
        Dialoge->Vorgeben(TRDLDialogAntwort::NeinAntwort()); // selection
        bool gezeigt = false;
        a.FensterZeigen = [&](TKOV_ArtBest_CSV_Export_Frm&) { return gezeigt = true, 1; };
        EXPECT_FALSE(a.Execute());
        EXPECT_FALSE(gezeigt);
        EXPECT_EQ(a.Query()->Zeitraum_Get().ToString(), TAuswertungszeitraumDialog::Vorgabezeitraum().ToString());
        a.Done();
    }
    TKOV_ArtBest_CSV_Export a;
    a.Init();
    Dezember();
    a.FensterZeigen = [&](TKOV_ArtBest_CSV_Export_Frm& F) {
        F.btnBeendenClick();
        return F.result();
    };
    EXPECT_FALSE(a.Execute());
    EXPECT_EQ(a.Query()->Zeitraum_Get().ToString(), "01.12.2026 - 31.12.2026");
    a.Done();
    // The period and the selection were kept for this workstation.
    TAuswertungszeitraumDialog z;
    TContextSatz k = CRDL_CONTEXT_ZEITRAUM_LETZTEEINSTELLUNG;
    k.Text = RDLInfo().RDLInfoTerminalID();
    z.Load(k);
    EXPECT_TRUE(z.Gespeichert());
    EXPECT_EQ(z.Zeitraum().ToString(), "01.12.2026 - 31.12.2026");
}

// A failed Resources_Create: Execute returns false without touching the missing objects.
TEST_F(TArtBest, OhneIhreObjekteGibtExecuteFalse) {
    TOhneFenster a;
    {
        TErwarteteAusnahmen erwartet{"TKOV_ArtBest_CSV_Export.Resources_Create"};
        a.Init();
    }
    EXPECT_FALSE(a.Execute());
    EXPECT_FALSE(a.Autoreport());
    a.Done();
}

// The file dialog's name gets the extension ".csv".
TEST_F(TArtBest, DerDateidialogSetztDieEndungCsv) {
    TKOV_ArtBest_CSV_Export_Frm f;
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("liste.txt")));
    f.btnChoseFileClick();
    EXPECT_EQ(f.edtFilePath->text().toStdString(), Datei("liste.csv"));
    ASSERT_FALSE(Dialoge->Aufrufe.empty());
    EXPECT_EQ(Dialoge->Aufrufe[0].Typen.at(0).Maske, "*.csv");
    // An existing file the dialog asked about is not asked about again at the start.
    DateiSchreiben(Datei("alt.csv"), "alt");
    Dialoge->Vorgeben(TRDLDialogAntwort::DateiName(Datei("alt.csv")));
    Dialoge->Vorgeben(TRDLDialogAntwort::JaAntwort());
    f.btnChoseFileClick();
    bool gestartet = false;
    f.FOnGo = [&] { return gestartet = true; };
    f.btnAuswertenClick();
    EXPECT_TRUE(gestartet);
    EXPECT_EQ(f.result(), 1);
}

// The query: rows without stock only on request, and the client and total levels.
TEST_F(TArtBest, DieAbfrageLiefertStufenUndNullbestandNurAufWunsch) {
    TRDL_ArtQueryArtv q;
    q.Zeitraum_Set({EncodeDate(2026, 12, 1), EncodeDate(2026, 12, 31)});
    const auto zeilen = [&q] {
        std::vector<std::string> r;
        q.Durchlaufen([&](const TRDL_ArtBestandZeile& Z) {
            r.push_back(std::to_string(int(Z.Stufe)) + " " + Z.ArtNr + "/" + std::to_string(Z.GrInd) + " " +
                        std::to_string(Z.Filiale) + ": " + std::to_string(Z.Bestand));
            return true;
        });
        return r;
    };
    EXPECT_EQ(zeilen(), (std::vector<std::string>{"3 1001/1 1: 10", "3 1001/2 1: 3", "3 1001/2 3: 2", "3 1003/1 3: -2",
                                                  "3 1004/1 3: 4"}));
    TRDL_ArtSelektion s;
    s.MitNullbestand = true;
    s.ArtNrVon = "1001";
    s.ArtNrBis = "1002";
    q.Selektion_Set(s);
    q.OLAPDIM_Pos_MFgF_Stufen_Set({opsGesamt, opsMandant, opsFiliale});
    EXPECT_EQ(zeilen(), (std::vector<std::string>{"3 1001/1 1: 10", "1 1001/1 0: 10", "0 1001/1 0: 10",
                                                  "3 1001/2 1: 3", "1 1001/2 0: 3", "3 1001/2 3: 2", "1 1001/2 0: 2",
                                                  "0 1001/2 0: 5", "3 1002/1 1: 0", "1 1002/1 0: 0", "0 1002/1 0: 0"}));
}

// A stored selection that cannot be read does not lock the workstation out: the dialog
// opens empty, and OK stores a readable one.
TEST_F(TArtBest, EineUnlesbareGespeicherteSelektionOeffnetDenDialogLeer) {
    RDLKontextSchreiben(CRDL_CONTEXT_ARTBEST_SELEKTION.MitArbeitsplatz(), {{"WARENGRUPPEN", "1a"}});
    TErwarteteAusnahmen erwartet{"TArtvSeleingDlg.Execute"};
    auto query = std::make_shared<TRDL_ArtQueryArtv>();
    TArtvSeleingHelper helper(CRDL_CONTEXT_ARTBEST_SELEKTION);
    helper.Query_Set(query);
    TArtvSeleingDlg dlg;
    dlg.Query_Set(query);
    dlg.Helper_Set(&helper);
    std::optional<TRDL_ArtSelektion> gezeigt;
    dlg.Zeigen = [&](TArtvSeleingDlg& D) {
        gezeigt = D.Selektion;
        D.Selektion.Warengruppen = {101};
        return true;
    };
    ASSERT_TRUE(dlg.Execute());
    ASSERT_TRUE(gezeigt);
    EXPECT_EQ(*gezeigt, TRDL_ArtSelektion{});
    ASSERT_TRUE(helper.Laden());
    EXPECT_EQ(query->Selektion_Get().Warengruppen, std::vector<int32_t>{101});
}

// Characters outside Windows-1252 become their base letter, else "?".
TEST(ArtUebWindows1252, ZeichenAusserhalbDerCodeseite) {
    EXPECT_EQ(ArtUeb_Windows1252("Łódź ☃ € ﬁ"), "L\xF3" "dz ? \x80 fi");
}

// The demo installation: stock rows, some at zero or below, and articles never sold.
TEST(ArtikelBestandDemo, DemoHatBestandNullNegativUndUnverkaufteArtikel) {
    TTestUmgebung umgebung(TestDatenbank());
    TDemoOptionen o;
    o.Filialen = 4;
    o.Tage = 120;
    o.Heute = EncodeDate(2026, 12, 1);
    o.Benutzer = "tester";
    DemoErzeugen(umgebung.Db(), o);
    TArtvSeleingHelper h(CRDL_CONTEXT_ARTBEST_SELEKTION);
    auto qp = std::make_shared<TRDL_ArtQueryArtv>();
    h.Query_Set(qp);
    ASSERT_TRUE(h.Laden());
    qp->Zeitraum_Set({EncodeDate(2026, 9, 1), EncodeDate(2026, 11, 30)});
    int positiv = 0, null = 0, negativ = 0, unverkauft = 0;
    qp->Durchlaufen([&](const TRDL_ArtBestandZeile& Z) {
        (Z.Bestand > 0 ? positiv : Z.Bestand == 0 ? null : negativ) += 1;
        unverkauft += Z.Verkauf == 0 && Z.Zugang == 0 && Z.Anfang > 0;
        return true;
    });
    EXPECT_GT(positiv, 100);
    EXPECT_GT(null, 0);
    EXPECT_GT(negativ, 0);
    EXPECT_GT(unverkauft, 0);
}
