#include "quendrixmain.h"

#include "quendrixclass.h"
#include "rdlautocomplete.h"
#include "rdlfarben.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "vtrdlvrlist.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const std::string CName = "TKOV_Quendrix_MainFrm.";

struct TSpaltenDef {
    const char* Caption;
    TVRValueType Typ;
    bool Sichtbar;
};
const TSpaltenDef CSpalten[TKOV_Quendrix_MainFrm::spAnzahl] = {
    {"Bezeichnung", TVRValueType::vrvtString, true},
    {"Beschreibung", TVRValueType::vrvtString, true},
    {"Schlagworte", TVRValueType::vrvtString, false},
    {"Kurzname", TVRValueType::vrvtString, false},
    {"", TVRValueType::vrvtInteger, false},
};

bool IstSuchzeichen(const QString& AText) {
    if (AText.size() != 1) return false;
    const QChar c = AText[0];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

std::vector<int> QuendrixKatalogIndizes() {
    struct TEintrag {
        TVRItem Bezeichnung;
        int Index;
    };
    std::vector<TEintrag> eintraege;
    TKOV_Glob_Quendrix_Controller::EnumQuendrixAuswerter([&](TKOV_Quendrix_Auswertung_Class AKlasse, int AIndex) {
        if (AKlasse->Active()) eintraege.push_back({TVRItem::String(AKlasse->Bezeichnung()), AIndex});
    });
    // The list's own order of a text column, so window and listing agree.
    std::stable_sort(eintraege.begin(), eintraege.end(), [](const TEintrag& A, const TEintrag& B) {
        return CompareVRItems(A.Bezeichnung, B.Bezeichnung) < 0;
    });
    std::vector<int> indizes;
    for (const auto& e : eintraege) indizes.push_back(e.Index);
    return indizes;
}

TKOV_Quendrix_MainFrm::TKOV_Quendrix_MainFrm(QWidget* AEltern) : TRDLForm(AEltern, "TKOV_Quendrix_MainFrm") {
    setWindowTitle(QStringLiteral("Auswertungs-Center"));
    setMinimumSize(700, 480);
    resize(792, 566);

    pnlBackground = new QFrame(this);
    auto* layout = new QVBoxLayout(pnlBackground);
    layout->setContentsMargins(0, 0, 0, 0);

    pnlHeader = KopfPanelErzeugen(QString(), pnlBackground);
    layout->addWidget(pnlHeader);

    lblSuche = new QLabel(QStringLiteral("Welche Auswertung möchten Sie vornehmen? Geben Sie ein Stichwort ein."),
                          pnlBackground);
    layout->addWidget(lblSuche);
    auto* suchzeile = new QHBoxLayout;
    edtSuche = new QLineEdit(pnlBackground);
    edtSuche->setObjectName(QStringLiteral("edtSuche"));
    edtSuche->setMaxLength(100);
    lblSuche->setBuddy(edtSuche);
    // The suite's edit offers its input help on F2 and in its context menu.
    auto* eingabehilfe = new QAction(QStringLiteral("Eingabe&hilfe"), edtSuche);
    eingabehilfe->setShortcut(Qt::Key_F2);
    eingabehilfe->setShortcutContext(Qt::WidgetShortcut);
    edtSuche->addAction(eingabehilfe);
    connect(eingabehilfe, &QAction::triggered, this, [this] { btnSucheClick(); });
    edtSuche->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edtSuche, &QWidget::customContextMenuRequested, this, [this, eingabehilfe](const QPoint& APos) {
        std::unique_ptr<QMenu> menu(edtSuche->createStandardContextMenu());
        menu->addSeparator();
        menu->addAction(eingabehilfe);
        menu->exec(edtSuche->mapToGlobal(APos));
    });
    btnSuche = new QPushButton(QStringLiteral("Suchen"), pnlBackground);
    btnSuche->setShortcut(Qt::Key_F3);
    btnSuche->setFocusPolicy(Qt::ClickFocus); // not on the tab chain
    btnSuche->setAutoDefault(false);
    suchzeile->addWidget(edtSuche, 1);
    suchzeile->addWidget(btnSuche);
    layout->addLayout(suchzeile);

    vtAuswertungen = new TVTRDLVRList(pnlBackground);
    vtAuswertungen->setObjectName(QStringLiteral("vtAuswertungen"));
    vtAuswertungen->setSelectionBehavior(QAbstractItemView::SelectRows);
    vtAuswertungen->setSelectionMode(QAbstractItemView::SingleSelection);
    vtAuswertungen->setRootIsDecorated(false);
    vtAuswertungen->setMouseTracking(true);
    vtAuswertungen->installEventFilter(this);
    vtAuswertungen->viewport()->installEventFilter(this);
    vtAuswertungen->OnCellBackground = [](const TVRList&, int ARow, int, QColor& AFarbe) {
        if (ARow % 2 == 0) return false;
        AFarbe = GetRDLColor(CRDLFarbeZeileAlternierend);
        return true;
    };
    layout->addWidget(vtAuswertungen, 1);

    lblBezeichnung = new QLabel(pnlBackground);
    QFont fett = lblBezeichnung->font();
    fett.setBold(true);
    lblBezeichnung->setFont(fett);
    layout->addWidget(lblBezeichnung);
    auto* details = new QHBoxLayout;
    memBeschreibung = new QPlainTextEdit(pnlBackground);
    memSchlagwort = new QPlainTextEdit(pnlBackground);
    for (QPlainTextEdit* m : {memBeschreibung, memSchlagwort}) {
        m->setReadOnly(true);
        m->setFixedHeight(72);
    }
    details->addWidget(memBeschreibung, 3);
    details->addWidget(memSchlagwort, 2);
    layout->addLayout(details);

    auto* knoepfe = new QHBoxLayout;
    btnClose = new QPushButton(QStringLiteral("Schließen"), pnlBackground);
    btnClose->setAutoDefault(false);
    btnAendern = new QPushButton(QStringLiteral("Auswertung ausführen"), pnlBackground);
    btnAendern->setDefault(true); // Enter
    knoepfe->addWidget(btnClose);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnAendern);
    layout->addLayout(knoepfe);

    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    connect(btnAendern, &QPushButton::clicked, this, [this] { btnAendernClick(); });
    connect(vtAuswertungen->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& ANeu) { vtAuswertungenSelectNode(ANeu); });
    SuchhandlerVerbinden(true);
    setTabOrder(edtSuche, vtAuswertungen);
    setTabOrder(vtAuswertungen, btnAendern);
    setTabOrder(btnAendern, btnClose);

    // FormCreate
    KOV_Geschuetzt(CName + "FormCreate", true, [&] {
        SetRDLFormPosStoreMode(fpsPositionUndGroesse);
        RDLFormInit("KOV_Quendrix_MainFrm", true);
        RDLProgramm().SetTitle("Auswertungs-Center");
        setWindowTitle(QString::fromStdString("Auswertungs-Center - " + RDLProgramm().GetUnternehmensgruppeName()));
        pnlHeader->setText(QStringLiteral("Auswertungs-Center"));
        lblBezeichnung->clear();
        memBeschreibung->clear();
        memSchlagwort->clear();
        FillTreeView();
    });
    FormResize();
}

TKOV_Quendrix_MainFrm::~TKOV_Quendrix_MainFrm() {
    KOV_Geschuetzt(CName + "FormDestroy", false, [&] { FreeVRArray(FVRArray); });
    RDLInfo().FehlerTerminate(CName + "FormDestroy", 0, "", "", 0, 0);
}

void TKOV_Quendrix_MainFrm::SuchhandlerVerbinden(bool AAn) {
    if (AAn) {
        FSucheAenderung = connect(edtSuche, &QLineEdit::textChanged, this, [this] { edtSucheChange(); });
        FSucheKlick = connect(btnSuche, &QPushButton::clicked, this, [this] { btnSucheClick(); });
    } else {
        disconnect(FSucheAenderung);
        disconnect(FSucheKlick);
    }
}

// --- filling ---------------------------------------------------------------------------------

void TKOV_Quendrix_MainFrm::VRListInit() {
    KOV_Geschuetzt("VRListInit", true, [&] {
        if (!vtAuswertungen->List()) {
            auto liste = std::make_unique<TVRList>();
            for (const TSpaltenDef& d : CSpalten) {
                TVRColumn& c = liste->ColumnAdd();
                c.Caption = d.Caption;
                c.VRType = d.Typ;
                c.Visible = d.Sichtbar;
            }
            vtAuswertungen->ListRef() = std::move(liste);
        }
        vtAuswertungen->List()->RowsClear();
    });
}

void TKOV_Quendrix_MainFrm::Auswerter_2_Tabelle(int AIndex) {
    KOV_Geschuetzt(CName + "Auswerter_2_Tabelle", true, [&] {
        TKOV_Quendrix_Auswertung_Class klasse = nullptr;
        if (!TKOV_Glob_Quendrix_Controller::GetAuswerterByIdx(AIndex, klasse) || !klasse->Active()) return;
        ClearVRArray(FVRArray);
        String2VRItem(klasse->Bezeichnung(), FVRArray, spBezeichnung);
        String2VRItem(klasse->Beschreibung(), FVRArray, spBeschreibung);
        String2VRItem(klasse->Schlagworte(), FVRArray, spSchlagworte);
        String2VRItem(klasse->Kurzname(), FVRArray, spKurzname);
        Integer2VRItem(AIndex, FVRArray, spIndex);
        vtAuswertungen->List()->RowAdd(FVRArray);
    });
}

void TKOV_Quendrix_MainFrm::FillTreeView() {
    KOV_Geschuetzt(CName + "FillTreeView", true, [&] {
        const TVTRDLUpdateGuard pause(*vtAuswertungen);
        VRListInit();
        if (!vtAuswertungen->List()) return;
        FVRArray = vtAuswertungen->List()->VRArray_ForRowAdd_Generate();
        TKOV_Glob_Quendrix_Controller::EnumQuendrixAuswerter(
            [&](TKOV_Quendrix_Auswertung_Class, int AIndex) { Auswerter_2_Tabelle(AIndex); });
        vtAuswertungen->Refresh();
        vtAuswertungen->header()->setSortIndicator(spBezeichnung, Qt::AscendingOrder);
        vtAuswertungen->SortTree(spBezeichnung, 0);
        vtAuswertungen->header()->setSectionResizeMode(spBezeichnung, QHeaderView::Interactive);
        vtAuswertungen->setColumnWidth(spBezeichnung, 260);
        const QModelIndex erste = vtAuswertungen->Model().index(0, 0);
        if (erste.isValid()) {
            vtAuswertungen->clearSelection();
            vtAuswertungen->setCurrentIndex(erste); // selects it and shows its details
        }
    });
}

// --- details ---------------------------------------------------------------------------------

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_MainFrm::KlasseDerZeile(const QModelIndex& ANode) const {
    // Column 4 is the only link from a row back to its class.
    const TVRList* liste = vtAuswertungen->Model().NodeList(ANode);
    TKOV_Quendrix_Auswertung_Class klasse = nullptr;
    if (liste)
        TKOV_Glob_Quendrix_Controller::GetAuswerterByIdx(int(liste->GetCellValue(ANode.row(), spIndex).AsInteger()),
                                                         klasse);
    return klasse;
}

void TKOV_Quendrix_MainFrm::ShowDetails(const QModelIndex& ANode) {
    KOV_Geschuetzt(CName + "ShowDetails", true, [&] {
        const TKOV_Quendrix_Auswertung_Class klasse = KlasseDerZeile(ANode);
        if (!klasse) return;
        lblBezeichnung->setText(QString::fromStdString(klasse->Bezeichnung()));
        memBeschreibung->setPlainText(QString::fromStdString(klasse->Beschreibung()));
        memSchlagwort->setPlainText(QString::fromStdString(klasse->Schlagworte()));
    });
}

void TKOV_Quendrix_MainFrm::vtAuswertungenSelectNode(const QModelIndex& ANode) {
    KOV_Geschuetzt(CName + "vtAuswertungenSelectNode", true, [&] { ShowDetails(ANode); });
}

void TKOV_Quendrix_MainFrm::vtAuswertungenMouseMove(const QPoint& AViewportPos) {
    KOV_Geschuetzt(CName + "vtAuswertungenMouseMove", true, [&] {
        const QModelIndex k = vtAuswertungen->indexAt(AViewportPos);
        if (k.isValid()) ShowDetails(k.siblingAtColumn(0));
    });
}

// --- starting ---------------------------------------------------------------------------------

void TKOV_Quendrix_MainFrm::StarteAuswertung(const QModelIndex& ANode) {
    KOV_Geschuetzt(CName + "StarteAuswertung", true, [&] {
        const TKOV_Quendrix_Auswertung_Class klasse = KlasseDerZeile(ANode);
        if (!klasse) return;
        TKOV_Quendrix_AuswertungPtr auswertung = klasse->Create();
        if (!auswertung) return;
        if (!klasse->RechtFuerAuswertungVorhanden()) return; // the rights check told the user
        setEnabled(false);
        // QDialog's hide() would end the modal loop the catalogue runs in, and with it
        // the program once the evaluation returns: hide only the window.
        QWidget::setVisible(false);
        struct TWiederZeigen {
            TKOV_Quendrix_MainFrm* F;
            ~TWiederZeigen() {
                F->setEnabled(true);
                F->show();
                F->activateWindow();
            }
        } wiederZeigen{this};
        auswertung->Init();
        try {
            auswertung->Execute();
        } catch (...) {
            auswertung->Done();
            throw;
        }
        auswertung->Done();
    });
}

void TKOV_Quendrix_MainFrm::btnAendernClick() {
    Bewacht("btnAendernClick", [&] { StarteAuswertung(vtAuswertungen->GetFirstSelected()); });
}

void TKOV_Quendrix_MainFrm::vtAuswertungenDblClick(const QPoint& AViewportPos) {
    Bewacht("vtAuswertungenDblClick", [&] {
        const QModelIndex k = vtAuswertungen->indexAt(AViewportPos);
        if (k.isValid()) StarteAuswertung(k.siblingAtColumn(0));
    });
}

void TKOV_Quendrix_MainFrm::vtAuswertungenKeyDown(int AKey) {
    KOV_Geschuetzt(CName + "vtAuswertungenKeyDown", true, [&] {
        if (AKey == Qt::Key_Return || AKey == Qt::Key_Enter) StarteAuswertung(vtAuswertungen->GetFirstSelected());
    });
}

// --- search -----------------------------------------------------------------------------------

void TKOV_Quendrix_MainFrm::edtSucheChange() {
    Bewacht("edtSucheChange", [&] { TextSearch(edtSuche->text().toStdString()); });
}

void TKOV_Quendrix_MainFrm::btnSucheClick() {
    Bewacht("btnSucheClick", [&] { TextSearch(edtSuche->text().toStdString()); });
}

bool TKOV_Quendrix_MainFrm::FormKeyPress(const QString& AText) {
    if (!IstSuchzeichen(AText)) return false;
    Bewacht("FormKeyPress", [&] { TextSearch(AText.toStdString()); });
    return true;
}

void TKOV_Quendrix_MainFrm::TextSearch(const std::string& AStartText) {
    KOV_Geschuetzt(CName + "TextSearch", true, [&] {
        SuchhandlerVerbinden(false);
        struct TWiederVerbinden {
            TKOV_Quendrix_MainFrm* F;
            ~TWiederVerbinden() {
                F->FACDlg = nullptr;
                F->SuchhandlerVerbinden(true);
            }
        } wiederVerbinden{this};
        edtSuche->clear();
        TAutoCompleteDlg dlg;
        const TACSourceVTCustom quelle(vtAuswertungen, 0, false, false, {spIndex, spKurzname});
        dlg.Source_Set(&quelle);
        dlg.OnCompleteSelected = [this](TAutoCompleteDlg* ASender) { ACDlg_CompleteSelected(ASender); };
        FACDlg = &dlg;
        dlg.Execute({AStartText, 128}, {-1, -1, 350, 350, -1}, false, false, false);
    });
}

void TKOV_Quendrix_MainFrm::ACDlg_CompleteSelected(TAutoCompleteDlg* ASender) {
    KOV_Geschuetzt(CName + "ACDlg_CompleteSelected", true, [&] {
        if (!ASender || ASender != FACDlg || ASender->SelectedData().empty()) return;
        const QModelIndex k = ASender->SelectedData().front().Knoten;
        if (!k.isValid()) return;
        vtAuswertungen->clearSelection();
        vtAuswertungen->setCurrentIndex(k); // selects it and shows its details
    });
}

// --- window -------------------------------------------------------------------------------------

void TKOV_Quendrix_MainFrm::FormShow() {
    KOV_Geschuetzt(CName + "FormShow", true, [&] {
        if (vtAuswertungen->isEnabled() && vtAuswertungen->focusPolicy() != Qt::NoFocus) vtAuswertungen->setFocus();
    });
}

void TKOV_Quendrix_MainFrm::FormResize() {
    KOV_Geschuetzt(CName + "FormResize", true,
                   [&] { pnlBackground->setGeometry(4, 4, width() - 8, height() - 8); });
}

bool TKOV_Quendrix_MainFrm::FormCloseQuery() {
    return KOV_GeschuetztWert(CName + "FormCloseQuery", true, false,
                              [&] { return !RDLProgramm().Working(this); });
}

void TKOV_Quendrix_MainFrm::btnCloseClick() {
    KOV_Geschuetzt(CName + "btnCloseClick", true, [&] { close(); });
}

void TKOV_Quendrix_MainFrm::showEvent(QShowEvent* AEvent) {
    TRDLForm::showEvent(AEvent);
    FormShow();
}

void TKOV_Quendrix_MainFrm::resizeEvent(QResizeEvent* AEvent) {
    TRDLForm::resizeEvent(AEvent);
    FormResize();
}

void TKOV_Quendrix_MainFrm::keyPressEvent(QKeyEvent* AEvent) {
    if (FormKeyPress(AEvent->text())) return;
    TRDLForm::keyPressEvent(AEvent);
}

bool TKOV_Quendrix_MainFrm::eventFilter(QObject* AObjekt, QEvent* AEvent) {
    if (AObjekt == vtAuswertungen && AEvent->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(AEvent);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            // The list starts the evaluation itself; the default button must not as well.
            vtAuswertungenKeyDown(k->key());
            return true;
        }
        // Letters go to the search instead of the list's own type-ahead.
        if (k->modifiers() == Qt::NoModifier || k->modifiers() == Qt::ShiftModifier)
            if (FormKeyPress(k->text())) return true;
    } else if (AObjekt == vtAuswertungen->viewport()) {
        if (AEvent->type() == QEvent::MouseMove)
            vtAuswertungenMouseMove(static_cast<QMouseEvent*>(AEvent)->position().toPoint());
        else if (AEvent->type() == QEvent::MouseButtonDblClick) {
            vtAuswertungenDblClick(static_cast<QMouseEvent*>(AEvent)->position().toPoint());
            return true;
        }
    }
    return TRDLForm::eventFilter(AObjekt, AEvent);
}
