#include "artbest_gr_csv_ausw.h"
#include "artbest_gr_csv_auswfrm.h"

#include "artuebcsvexport.h"
#include "artvseleingdlg.h"
#include "auswertungszeitraumdlg.h"
#include "rdlartikel.h"
#include "rdlartquery.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>


TKOV_Quendrix_Auswertung_Class TKOV_ArtBest_CSV_Export::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_ArtBest_CSV_Export>, {
        .Kurzname = "ARTBESTCSVEXP",
        .Bezeichnung = "Artikelbestandsexport",
        .Beschreibung = "Exportiert eine Artikelselektion in einem festen CSV-Format für den Jahresabschluss",
        .Schlagworte = "Jahresabschluss",
        .AuswertungsRecht = 0,
        .ActiveOnTypes = TRTypen{1, 2, 4, 7},
    });
    return &k;
}

TKOV_ArtBest_CSV_Export::TKOV_ArtBest_CSV_Export() = default;

TKOV_ArtBest_CSV_Export::~TKOV_ArtBest_CSV_Export() {
    // A run without Done still lets go of its objects in the right order.
    if (FForm || FExporter || FQuery || FSeleingDlg || FSeleingHelper || FZeitraumDlg) Resources_Destroy();
}

std::unique_ptr<TKOV_ArtBest_CSV_Export_Frm> TKOV_ArtBest_CSV_Export::FormErzeugen() {
    return std::make_unique<TKOV_ArtBest_CSV_Export_Frm>();
}

// The export keeps its selection objects for the whole run, so they are made here
// rather than in Execute; Resources_Destroy must cope with any that are missing.
void TKOV_ArtBest_CSV_Export::Resources_Create() {
    KOV_Geschuetzt("TKOV_ArtBest_CSV_Export.Resources_Create", true, [&] {
        TKOV_Quendrix_Auswertung::Resources_Create();
        auto query = std::make_shared<TRDL_ArtQueryArtv>();
        query->OLAPDIM_Pos_MFgF_Stufen_Set({TRDL_OLAPDIM_Pos_MFgF_Iterator_Stufe(3)});
        FQuery = query;
        FSeleingDlg = std::make_unique<TArtvSeleingDlg>();
        FSeleingDlg->Query_Set(FQuery);
        FSeleingDlg->OnZeitraum_Set([this] { return ZeitRaumAbfrage(); });
        FSeleingHelper = std::make_unique<TArtvSeleingHelper>(CRDL_CONTEXT_ARTBEST_SELEKTION);
        FSeleingHelper->Query_Set(FQuery);
        FSeleingHelper->SetSegFeldCtrlInfoArray(FQuery->SegFeldCtrlInfoArray());
        FSeleingDlg->Helper_Set(FSeleingHelper.get());
        FSeleingDlg->ExecuteMode_Set(0);
        FZeitraumDlg = std::make_unique<TAuswertungszeitraumDialog>();
        FExporter = std::make_unique<TKOV_ArtUeb_CSV_Export>(
            [this](std::string& AName) { return ExportFileName_Get(AName); },
            [this](const TInt32Trio& AProduktID) { OnProgress(AProduktID); });
        FExporter->Set_Query(FQuery);
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            throw Exception("Das Fenster des Artikelbestandsexports braucht eine Bildschirmanwendung.");
        FForm = FormErzeugen();
        FForm->FOnGo = [this] { return Export_Ausfuehren(); };
        FForm->FOnSpeichern = [this](const std::string& ADatei) { return ExportNach(ADatei); };
    });
}

void TKOV_ArtBest_CSV_Export::Resources_Destroy() {
    KOV_Geschuetzt("TKOV_ArtBest_CSV_Export.Resources_Destroy", true, [&] {
        // Each step on its own: a failure does not keep the later objects.
        const auto schritt = [](const char*, auto&& ABody) {
            KOV_Geschuetzt("TKOV_ArtBest_CSV_Export.Resources_Destroy", false, ABody);
        };
        // The exporter's callbacks reach the window: they go before it does.
        schritt("Callbacks", [&] {
            if (FExporter) FExporter->Callbacks_Loesen();
        });
        schritt("FForm", [&] { FForm.reset(); });
        schritt("OnStopped", [&] {
            if (FExporter) FExporter->OnStopped(FQuery.get());
        });
        schritt("FExporter", [&] { FExporter.reset(); });
        schritt("FZeitraumDlg", [&] { FZeitraumDlg.reset(); });
        schritt("FSeleingHelper", [&] { FSeleingHelper.reset(); });
        schritt("FSeleingDlg", [&] { FSeleingDlg.reset(); });
        schritt("FQuery", [&] { FQuery.reset(); });
        schritt("FArtikelnummern", [&] { FArtikelnummern.reset(); });
        schritt("inherited", [&] { TKOV_Quendrix_Auswertung::Resources_Destroy(); });
    });
}

bool TKOV_ArtBest_CSV_Export::Vollstaendig() const {
    return FQuery && FExporter && FSeleingDlg && FSeleingHelper && FZeitraumDlg && FForm;
}

bool TKOV_ArtBest_CSV_Export::Execute() {
    return KOV_GeschuetztWert("TKOV_ArtBest_CSV_Export.Execute", true, false, [&] {
        // Resources_Create failed (and said so): nothing to show.
        if (!Vollstaendig()) return false;
        if (!ZeitRaumAbfrage() || !FSeleingDlg->Execute()) return false;
        const int ergebnis = FensterZeigen ? FensterZeigen(*FForm) : FForm->exec();
        return ergebnis == 1;
    });
}

bool TKOV_ArtBest_CSV_Export::ZeitRaumAbfrage() {
    return KOV_GeschuetztWert("TKOV_ArtBest_CSV_Export.ZeitRaumAbfrage", true, true, [&] {
        if (!FZeitraumDlg || !FSeleingDlg || !FQuery) return true;
        FZeitraumDlg->Load(CRDL_CONTEXT_ZEITRAUM_LETZTEEINSTELLUNG.MitArbeitsplatz());
        // A fresh workstation whose user cancels still gets a period: the last one stored,
        // else the previous year.
        if (FZeitraumDlg->Execute(FZeitraumDlg->ZeitraumInfos(), nullptr, true) || FQuery->Zeitraum_Get().IsEmpty()) {
            FSeleingDlg->GetAuswertungsZeitraum().AssignFrom(FZeitraumDlg->Zeitraum());
            FQuery->Zeitraum_Set(FZeitraumDlg->Zeitraum());
        }
        return true;
    });
}

bool TKOV_ArtBest_CSV_Export::ExportFileName_Get(std::string& AFileName) {
    return KOV_GeschuetztWert("TKOV_ArtBest_CSV_Export.ExportFileName_Get", true, false, [&] {
        if (!FForm) return false;
        AFileName = FForm->edtFilePath->text().toStdString();
        return IsValidFilePath(AFileName);
    });
}

void TKOV_ArtBest_CSV_Export::OnProgress(const TInt32Trio& AProduktID) {
    KOV_Geschuetzt("TKOV_ArtBest_CSV_Export.OnProgress", true, [&] {
        if (!FForm) return;
        ArtikelnummernLaden();
        FForm->lblDetails->setText(QString::fromStdString(
            "Exportiere Artikel: " + FArtikelnummern->ProduktID_2_ArtNr_Formatted(AProduktID, false)));
    });
}

// Once per evaluation: the numbers only label the progress.
void TKOV_ArtBest_CSV_Export::ArtikelnummernLaden() {
    if (FArtikelnummern) return;
    FArtikelnummern = std::make_unique<TRDLArtikelnummern>(RDLProgramm().Datenbank());
    FArtikelnummern->Vorladen();
}

bool TKOV_ArtBest_CSV_Export::Export_Ausfuehren() {
    return KOV_GeschuetztWert("TKOV_ArtBest_CSV_Export", true, false, [&] {
        if (!FExporter || !FForm) return false;
        // The article numbers are read before the query's rows stream, not between them.
        ArtikelnummernLaden();
        FForm->ToggleAnzeige(true);
        // The running display is painted before the query's first rows, which take a while.
        RDLInfo().RDLInfoProcessMessages(300);
        bool ok = false;
        try {
            ok = FExporter->Execute();
        } catch (...) {
            FForm->ToggleAnzeige(false);
            throw;
        }
        FForm->ToggleAnzeige(false);
        if (!ok) RDLInfo().LogSchreiben("Artikelbestandsexport: " + FExporter->Fehlertext());
        return ok;
    });
}

bool TKOV_ArtBest_CSV_Export::ExportNach(const std::string& ADatei) {
    if (!FForm) return false;
    FForm->edtFilePath->setText(QString::fromStdString(ADatei));
    return Export_Ausfuehren();
}
