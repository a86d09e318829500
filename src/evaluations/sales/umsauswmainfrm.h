#pragma once
// The sales evaluation's window: the sales of the chosen clients' branches day by day
// beside comparable days of earlier years, grouped into a tree, printed and exported.
// Its options for runs without a user are in umsauswstapel.cpp, the evaluation class in
// umsauswertung.h.
#include "rdlform.h"
#include "rdlstapellauf.h"
#include "umsausw_tyco.h"
#include "umsauswtabelle.h"
#include "vrfensterhelfer.h"

#include <QColor>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QWidget;
class IRDL_MandListeServer;
class TFilialTabelle;
class TKOV_MandantenCheckCombo;
class TKOV_PEP_Progress;
class TKOV_VirtualTreePrinter;
class TRDLWaehrungsrechner;
class TKOV_ZeitraumEingabe;
class TVTRDLVRList;

class TKOV_UmsatzAuswertFrm : public TRDLForm, public IRDLStapelFenster {
    Q_OBJECT
public:
    // AUmsatzQuelle: the engine call per branch and day; empty takes the comparison facade.
    explicit TKOV_UmsatzAuswertFrm(QWidget* AEltern = nullptr, TKOV_UmsAusw_UmsatzQuelle AUmsatzQuelle = {});
    ~TKOV_UmsatzAuswertFrm() override; // FormDestroy

    // Controls.
    QLabel* pnlHeader;
    TKOV_MandantenCheckCombo* cmbMandanten;
    QComboBox* cmbFilialAuswahl;
    TKOV_ZeitraumEingabe* edtZeitraum;
    QComboBox* cmbGruppierung;
    QGroupBox* grpHerkunft;
    QListWidget* clbHerkunft;
    QGroupBox* grpVergleichswerte;
    QLineEdit* edtAnzahlVorjahre;
    QComboBox* cmbWahlmethodeVergleichstag;
    QCheckBox* chbVergleichsdatumEinblenden;
    QCheckBox* chbDurchschnittAnzeigen;
    QCheckBox* chbNullumsaetzeIgnorieren;
    QGroupBox* grpDruckoptionen;
    QLineEdit* edtBaumlevel;
    QGroupBox* grpAnzeigeoptionen;
    QComboBox* cmbAnzeigeFilialen;
    TVTRDLVRList* vtUmsaetze;
    QWidget* pnlButtons;
    QPushButton* btnBeenden;
    QPushButton* btnExportieren;
    QPushButton* btnDrucken;
    QPushButton* btnGruppieren;
    QPushButton* btnAuswerten;

    // Handlers, callable like the events that trigger them.
    void FormShow();
    void btnAuswertenClick();
    void btnAbbrechenClick();
    void edtAnzahlVorjahreExit();
    void chbDurchschnittAnzeigenClick();
    void cmbGruppierungChange();
    void GruppierungsMenuItemClick(int AIndex);
    void BaumAusklappenMenuItemClick(int ALevel);
    void btnGrupppierenClick();
    void chbVergleichsdatumEinblendenClick();
    void btnExportierenClick();
    void btnPrintClick();
    // Painting: a shaded cell (true with its colour), and whether the vertical line right
    // of a column is black (a block starts after it).
    bool vtUmsaetzeBeforeCellPaint(const TVRList& AListe, int ARow, int ACol, QColor& AFarbe) const;
    bool vtUmsaetzeBeforeVGridLinePaint(int ACol) const;

    // Operations.
    void Maske_2_Settings();
    void TabelleAnzeigen();
    void ListeGruppieren();
    void TabelleEinladen();
    bool BaumDrucken(); // false when the print failed (registered)
    std::string HerkunftAuslesen() const;

    // Readers of the controls.
    uint8_t GetFilialAuswahl() const;
    uint8_t GetAnzeigeFilialen() const;
    uint8_t GetWahlmethodeVergleichstag() const;
    TKOV_UmsAusw_Herkuenfte GetHerkunftsauswahl() const;

    const TKOV_UmsatzAuswert_Settings& Settings() const { return FSettings; }
    // Whether the last table was built whole (a failed step, e.g. a missing rate, leaves
    // the rows built so far).
    bool ErgebnisVollstaendig() const { return FErgebnisVollstaendig; }
    const TVRGruppierOption& Gruppierspalten() const { return FGruppierspalten; }
    QMenu* PopupGruppieren() const { return FPOPUPGruppieren; }
    // Where a print goes in runs without dialogs (a PDF file).
    void DruckPdfDatei_Set(const QString& APfad) { FDruckPdfDatei = APfad; }

    // The result as "&Exportieren" writes it at the print and export level, into a
    // known file with ";" (the answer to an outside request). True when written.
    bool Liste_Speichern(const std::string& ADateiname);

    // Runs from the command line.
    QObject& StapelZiel() override { return *this; }
    std::vector<TRDLStapelOption> StapelOptionen() override;
    void StapelVorgaben() override;
    bool StapelPruefen(std::string& AFehler) override;
    bool StapelSelektion() override {
        btnAuswertenClick();
        return FErgebnisVollstaendig;
    }
    bool StapelDrucken(const std::string& APdfDatei) override;

protected:
    void showEvent(QShowEvent* AEvent) override;

private:
    void ControlsErzeugen();
    void VorgabenSetzen(); // the controls as the window opens
    void FormCreate();
    void ComboFilialAuswahlFuellen();
    void ComboAnzeigeFilialenFuellen();
    void ComboWahlmethodeVergleichstagFuellen();
    void ChecklistHerkunftFuellen();
    void GruppierComboFuellen();
    void PopupAufbauen();
    TFesteSpalten FesteSpalten() const;
    void TiefenMerken();
    void GruppenInHauswaehrung(TVRList& AListe);
    int Baumlevel() const;
    int AnzahlVorjahre() const;
    void DruckBemerkungenSetzen(TKOV_VirtualTreePrinter& ADrucker, const TVRGruppierOption& AGruppierung) const;
    void AlleMainspaltenBisAufGruppenkopfAusblenden(TKOV_VirtualTreePrinter& ADrucker) const;
    TKOV_PEP_Progress& Progressshower_GoC();

    TKOV_UmsatzAuswert_Settings FSettings;
    TVRArray FVRArray;
    TFilialTabelle* FFiliatab = nullptr;
    IRDL_MandListeServer* FMandListeServer = nullptr;
    TKOV_UmsAusw_UmsatzQuelle FUmsatzAuswertVerglMani;
    std::unique_ptr<TKOV_PEP_Progress> FProgressShower;
    QMenu* FPOPUPGruppieren = nullptr;
    int FAnzahlRepeatedColumns = CKOV_UmsatzTree_AnzahlRepColumns;
    int FAnzahlMainColumns = CKOV_UmsatzTree_AnzahlMainColumns;
    TVRGruppierOption FGruppierspalten;
    TArray<TVRGruppierOption> FGruppierungsmoeglichkeiten;
    QHash<const TVRList*, int> FTiefen; // depth of each list of the tree, for the shading
    QString FDruckPdfDatei;
    std::unique_ptr<TRDLWaehrungsrechner> FWaehrungsrechner; // the rates of the last selection
    bool FErgebnisVollstaendig = false; // the last table was built whole
    bool FDruckMitEinzelzeilen = false;  // the print at work shows the leaf rows
    bool FGezeigt = false;
    bool FStapelDurchschnitt = false; // --durchschnitt, checked after all options
};

// The comparison facade of the engine as the window's call per branch and day.
TKOV_UmsAusw_UmsatzQuelle UmsAuswVergleichsQuelleErzeugen();
