#pragma once
// The catalogue window of the evaluation centre: lists the evaluations of this
// installation, shows the details of the one under the mouse or selected, searches by
// keyword and runs the chosen evaluation while the window is hidden.
#include "quendrixclass.h"
#include "rdlform.h"
#include "vrlist.h"

#include <QModelIndex>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TAutoCompleteDlg;
class TVTRDLVRList;

// Registration indices of the classes the catalogue lists (Active holds), in the
// catalogue's order: by display name, as the list sorts its text column.
std::vector<int> QuendrixKatalogIndizes();

class TKOV_Quendrix_MainFrm : public TRDLForm {
    Q_OBJECT
public:
    // Columns of the list.
    enum TSpalte { spBezeichnung = 0, spBeschreibung, spSchlagworte, spKurzname, spIndex, spAnzahl };

    explicit TKOV_Quendrix_MainFrm(QWidget* AEltern = nullptr); // FormCreate
    ~TKOV_Quendrix_MainFrm() override;                          // FormDestroy

    // Controls, top to bottom.
    QFrame* pnlBackground;
    QLabel* pnlHeader;
    QLabel* lblSuche;
    QLineEdit* edtSuche;
    QPushButton* btnSuche;
    TVTRDLVRList* vtAuswertungen;
    QLabel* lblBezeichnung;
    QPlainTextEdit* memBeschreibung;
    QPlainTextEdit* memSchlagwort;
    QPushButton* btnClose;
    QPushButton* btnAendern;

    // Handlers, callable like the events that trigger them.
    void FormShow();
    void FormResize();
    bool FormCloseQuery() override;
    void btnCloseClick();
    void btnAendernClick();
    void vtAuswertungenDblClick(const QPoint& AViewportPos);
    void vtAuswertungenKeyDown(int AKey);
    void vtAuswertungenSelectNode(const QModelIndex& ANode);
    void vtAuswertungenMouseMove(const QPoint& AViewportPos);
    void edtSucheChange();
    void btnSucheClick();
    // True when the key was a search character and is consumed.
    bool FormKeyPress(const QString& AText);

    // Operations.
    void FillTreeView();
    void StarteAuswertung(const QModelIndex& ANode);
    void TextSearch(const std::string& AStartText);
    void ACDlg_CompleteSelected(TAutoCompleteDlg* ASender);
    void ShowDetails(const QModelIndex& ANode);

protected:
    bool eventFilter(QObject* AObjekt, QEvent* AEvent) override;
    void showEvent(QShowEvent* AEvent) override;
    void resizeEvent(QResizeEvent* AEvent) override;
    void keyPressEvent(QKeyEvent* AEvent) override;

private:
    void VRListInit();
    // The class of a row; nullptr for no row or an index the registry lacks.
    TKOV_Quendrix_Auswertung_Class KlasseDerZeile(const QModelIndex& ANode) const;
    void Auswerter_2_Tabelle(int AIndex);
    void SuchhandlerVerbinden(bool AAn);

    TVRArray FVRArray;
    TAutoCompleteDlg* FACDlg = nullptr; // while a search runs
    QMetaObject::Connection FSucheAenderung, FSucheKlick;
};
