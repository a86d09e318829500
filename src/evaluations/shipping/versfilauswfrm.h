#pragma once
// The shipping-branch evaluation's window: per selected branch and period the quantities
// and values sold and returned, stationary and per online platform, as a grouped tree,
// exported as CSV. Its options for runs without a user are in versfilauswstapel.cpp, the
// evaluation class in versfilauswmain.h.
#include "rdlform.h"
#include "rdlstapellauf.h"
#include "versfilauswtabelle.h"
#include "vrfensterhelfer.h"

#include <QAction>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;
class TFilialTabelle;
class TKOV_FilialenSelekt_Frame;
class TKOV_PEP_Progress;
class TKOV_ZeitraumEingabe;
class TRDLWaehrungsrechner;
class TVTRDLVRList;

// A pop-up item that carries its grouping option; setting it sets the caption too.
class TMenuItemGrup : public QAction {
    Q_OBJECT
public:
    using QAction::QAction;
    void SetGruppierung(const TVRGruppierOption& AGruppierung);
    const TVRGruppierOption& Gruppierung() const { return FGruppierung; }

private:
    TVRGruppierOption FGruppierung;
};

class TKOV_VersFilAuswertFrm : public TRDLForm, public IRDLStapelFenster {
    Q_OBJECT
public:
    // AUmsatzQuelle: the engine call per branch and period; empty takes the statistics manager.
    explicit TKOV_VersFilAuswertFrm(QWidget* AEltern = nullptr, TVersFil_UmsatzQuelle AUmsatzQuelle = {});
    ~TKOV_VersFilAuswertFrm() override; // FormDestroy

    // Controls.
    QLabel* pnlHeader;
    TKOV_ZeitraumEingabe* edtZeitraum;
    QCheckBox* chbLeereZeilenAusblenden;
    QCheckBox* chbVerkaeufeAnzeigen;
    QCheckBox* chbRetourenAnzeigen;
    QComboBox* cmbGruppierung;
    TKOV_FilialenSelekt_Frame* frmFilialen;
    TVTRDLVRList* vtVersandfilialen;
    QWidget* pnlButtons;
    QPushButton* btnBeenden;
    QPushButton* btnExportieren;
    QPushButton* btnGruppieren;
    QPushButton* btnAuswerten;

    // Handlers, callable like the events that trigger them.
    void FormShow();
    void btnAuswertenClick();
    void btnGrupppierenClick();
    void btnExportierenClick();
    void cmbGruppierungChange();
    void GruppierungClick(int ATag);

    // Operations.
    void TabelleAnzeigen();
    void ListeGruppieren();
    void MaskeEnable(bool AEnabled);

    const TVRGruppierOption& GruppierungAkt() const { return FGruppierungAkt; }
    QMenu* PopUp() const { return FPopUp; }
    // Whether the last table was built whole (a failed step, e.g. a missing rate, leaves
    // the rows built so far).
    bool ErgebnisVollstaendig() const { return FErgebnisVollstaendig; }
    // The leaf rows as "&Exportieren" writes them, into a known file with ";" (the answer
    // to an outside request). True when written.
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
    bool StapelKannDrucken() const override { return false; }

protected:
    void showEvent(QShowEvent* AEvent) override;

private:
    void ControlsErzeugen();
    void FormCreate();
    void VorgabenSetzen(); // the controls as the window opens
    void ComboGruppierungenFuellenUndEinstellen();
    void PopUpAufbauen();
    void VRListeErzeugen(std::unique_ptr<TVRList>& AListe);
    void TabelleFuellen(TVRList& AListe);
    void SortTree();
    TFesteSpalten FesteSpalten() const;
    TKOV_PEP_Progress& Progressshower_GoC();

    TVRArray FVRArray;
    TFilialTabelle* FFiliatab = nullptr;
    TVersFil_UmsatzQuelle FVersandFilAuswertMani;
    std::unique_ptr<TKOV_PEP_Progress> FProgressShower;
    std::unique_ptr<TRDLWaehrungsrechner> FWaehrungsrechner; // the rates of the last selection
    QMenu* FPopUp = nullptr;
    TArray<TVRGruppierOption> FGruppierungen;
    TVRGruppierOption FGruppierungAkt;
    bool FErgebnisVollstaendig = false;
    bool FGezeigt = false;
};

// The shipping-branch statistics manager as the window's call per branch and period.
TVersFil_UmsatzQuelle VersFilUmsatzQuelleErzeugen();
