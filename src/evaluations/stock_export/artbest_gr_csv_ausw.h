#pragma once
// The article stock export as an evaluation of the evaluation centre ("ARTBESTCSVEXP"):
// a period and an article selection asked with the suite's dialogs, the file chosen in its
// own small window, the suite's exporter writing the stock file. Unlike the other
// evaluations it keeps all its objects from Init to Done.
#include "quendrixclass.h"
#include "rdltyco.h"

#include <functional>
#include <memory>
#include <string>

class IRDL_Query;
class TKOV_ArtUeb_CSV_Export;
class TArtvSeleingDlg;
class TArtvSeleingHelper;
class TAuswertungszeitraumDialog;
class TKOV_ArtBest_CSV_Export_Frm;
class TRDLArtikelnummern;

class TKOV_ArtBest_CSV_Export : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();
    TKOV_ArtBest_CSV_Export();
    ~TKOV_ArtBest_CSV_Export() override;

    // Period dialog, selection dialog, then the window; true when it closed with 1 (the
    // file was written).
    bool Execute() override;
    // Without a user: the workstation's stored selection, the period of --von/--bis (else
    // its last one), the file of --export.
    bool Autoreport() override;

    // Asks for the period; a confirmed one goes to the selection dialog and the query.
    bool ZeitRaumAbfrage();
    // The exporter's file-name source: the window's field; false when it names no valid file.
    bool ExportFileName_Get(std::string& AFileName);
    // The exporter's progress: the article's number in the window.
    void OnProgress(const TInt32Trio& AProduktID);
    // Runs the exporter with the running display; its result.
    bool Export_Ausfuehren();

    // How Execute shows the window (replaceable so that a run goes without a user); the
    // window's result (1 confirmed, 2 ended).
    std::function<int(TKOV_ArtBest_CSV_Export_Frm& AFenster)> FensterZeigen;

    // The objects of a run (nullptr before Init, after Done, or when Resources_Create failed).
    TKOV_ArtBest_CSV_Export_Frm* Form() const { return FForm.get(); }
    TArtvSeleingDlg* SeleingDlg() const { return FSeleingDlg.get(); }
    TAuswertungszeitraumDialog* ZeitraumDlg() const { return FZeitraumDlg.get(); }
    TKOV_ArtUeb_CSV_Export* Exporter() const { return FExporter.get(); }
    IRDL_Query* Query() const { return FQuery.get(); }

protected:
    void Resources_Create() override;
    void Resources_Destroy() override;
    // Makes the window (a test puts a failing one here).
    virtual std::unique_ptr<TKOV_ArtBest_CSV_Export_Frm> FormErzeugen();

private:
    class TStapel;
    bool Vollstaendig() const;
    // The export into ADatei without asking (message 2331, batch runs).
    bool ExportNach(const std::string& ADatei);
    void ArtikelnummernLaden();

    std::shared_ptr<IRDL_Query> FQuery;
    std::unique_ptr<TKOV_ArtUeb_CSV_Export> FExporter;
    std::unique_ptr<TArtvSeleingDlg> FSeleingDlg;
    std::unique_ptr<TArtvSeleingHelper> FSeleingHelper;
    std::unique_ptr<TAuswertungszeitraumDialog> FZeitraumDlg;
    std::unique_ptr<TKOV_ArtBest_CSV_Export_Frm> FForm;
    std::unique_ptr<TRDLArtikelnummern> FArtikelnummern;
};
