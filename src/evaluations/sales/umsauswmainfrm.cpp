#include "umsauswmainfrm.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlereignis.h"
#include "rdlfernsteuerung.h"
#include "kovmandantencheckcombo.h"
#include "kovvirtualtreeprinter.h"
#include "kovzeitraumeingabe.h"
#include "rdlfarben.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlprogress.h"
#include "rdlwaehrung.h"
#include "suitetabellen.h"
#include "umsatzmani_umsausw.h"
#include "vrfensterhelfer.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const std::string CName = "TKOV_UmsatzAuswertFrm.";
constexpr int CMain = CKOV_UmsatzTree_AnzahlMainColumns;
constexpr int CRep = CKOV_UmsatzTree_AnzahlRepColumns;

// Draws the grid's usual lines and, where a block starts, a black one.
class TBlockLinienDelegate : public QStyledItemDelegate {
public:
    explicit TBlockLinienDelegate(TKOV_UmsatzAuswertFrm& AFrm, TVTRDLVRList& AGrid)
        : QStyledItemDelegate(&AGrid), FFrm(AFrm), FGrid(AGrid) {}
    void paint(QPainter* APainter, const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const override {
        QStyledItemDelegate::paint(APainter, AOption, AIndex);
        const bool schwarz = FFrm.vtUmsaetzeBeforeVGridLinePaint(AIndex.column());
        if (!schwarz && !FGrid.VertLines_Get()) return;
        APainter->save();
        APainter->setPen(QPen(schwarz ? QColor(Qt::black) : FGrid.VertLinesColor(), 1, Qt::SolidLine));
        APainter->drawLine(AOption.rect.topRight(), AOption.rect.bottomRight());
        APainter->restore();
    }

private:
    TKOV_UmsatzAuswertFrm& FFrm;
    TVTRDLVRList& FGrid;
};

QLineEdit* ZiffernfeldErzeugen(QWidget* AEltern) {
    auto* e = new QLineEdit(AEltern);
    e->setMaxLength(1);
    e->setValidator(new QIntValidator(0, 9, e));
    e->setFixedWidth(32);
    return e;
}

int Ziffer(const QLineEdit* AFeld) {
    bool ok = false;
    const int n = AFeld->text().trimmed().toInt(&ok);
    return ok ? std::clamp(n, 0, 9) : 0;
}

uint8_t CodeDerAuswahl(const QComboBox* ACombo, uint8_t AOhneAuswahl) {
    return ACombo->currentIndex() < 0 ? AOhneAuswahl : uint8_t(ACombo->currentData().toInt());
}

void ComboFuellen(QComboBox* ACombo, const char* const ATabelle[CKOV_UmsAusw_AnzahlEintraege], int AAuswahl) {
    const QSignalBlocker block(ACombo);
    ACombo->clear();
    for (int i = 0; i < CKOV_UmsAusw_AnzahlEintraege; ++i) ACombo->addItem(QString::fromUtf8(ATabelle[i]), i);
    ACombo->setCurrentIndex(AAuswahl);
}

} // namespace

// --- the engine -------------------------------------------------------------------------------

TKOV_UmsAusw_UmsatzQuelle UmsAuswVergleichsQuelleErzeugen() {
    // One facade for the window's lifetime; its comparison-day calculators are reused.
    auto mani = std::make_shared<TKOV_UmsatzAuswertVerglMani_UmsAusw>();
    return [mani](const TKOV_UmsAusw_Tagesabfrage& A, TKOV_UmsatzDatenMitVorjahre_UmsAusw& AErgebnis) {
        mani->FWahlmethodeVergleichstag = TKOV_UmsAusw_WahlVergleichsdatum(A.WahlmethodeVergleichstag);
        mani->FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren = A.LeereUmsaetzeIgnorieren;
        mani->GetUmsatzMitVerglVJFuerTag(A.Mandant, A.OrgeID, A.AnzahlVorjahre, A.Datum, AErgebnis);
    };
}

// --- window -------------------------------------------------------------------------------------

TKOV_UmsatzAuswertFrm::TKOV_UmsatzAuswertFrm(QWidget* AEltern, TKOV_UmsAusw_UmsatzQuelle AUmsatzQuelle)
    : TRDLForm(AEltern, "TKOV_UmsatzAuswertFrm"), FUmsatzAuswertVerglMani(std::move(AUmsatzQuelle)) {
    ControlsErzeugen();
    FormCreate();
}

void TKOV_UmsatzAuswertFrm::ControlsErzeugen() {
    setWindowTitle(QStringLiteral("Umsatzauswertung"));
    setMinimumSize(1200, 600);
    // As large as the screen allows up to 1440 × 900: on 1366 × 768 the day and one prior
    // year's block fit beside each other.
    const QRect frei = screen() ? screen()->availableGeometry() : QRect(0, 0, 1366, 728);
    resize(std::clamp(frei.width() - 16, 1200, 1440), std::clamp(frei.height() - 40, 600, 900));
    auto* haupt = new QVBoxLayout(this);

    pnlHeader = KopfPanelErzeugen(QStringLiteral("Umsatzauswertung"), this);
    haupt->addWidget(pnlHeader);

    auto* auswahl = new QHBoxLayout;
    // Clients, branch choice, period and grouping.
    auto* links = new QGridLayout;
    auto* lblMandanten = new QLabel(QStringLiteral("Mandanten:"), this);
    cmbMandanten = new TKOV_MandantenCheckCombo(this);
    cmbMandanten->setMinimumWidth(200);
    lblMandanten->setBuddy(cmbMandanten);
    auto* lblFilialauswahl = new QLabel(QStringLiteral("Filialauswahl:"), this);
    cmbFilialAuswahl = new QComboBox(this);
    lblFilialauswahl->setBuddy(cmbFilialAuswahl);
    edtZeitraum = new TKOV_ZeitraumEingabe(this);
    auto* lblGruppierung = new QLabel(QStringLiteral("Gruppierung:"), this);
    cmbGruppierung = new QComboBox(this);
    lblGruppierung->setBuddy(cmbGruppierung);
    links->addWidget(lblMandanten, 0, 0);
    links->addWidget(cmbMandanten, 0, 1);
    links->addWidget(lblFilialauswahl, 1, 0);
    links->addWidget(cmbFilialAuswahl, 1, 1);
    links->addWidget(edtZeitraum, 2, 0, 1, 2);
    links->addWidget(lblGruppierung, 3, 0);
    links->addWidget(cmbGruppierung, 3, 1);
    links->setColumnStretch(1, 1);
    // The room beyond the smallest size goes to the boxes, so their entries show whole.
    auswahl->addLayout(links, 3);

    grpHerkunft = new QGroupBox(QStringLiteral(" Herkunft "), this);
    auto* herkunft = new QVBoxLayout(grpHerkunft);
    clbHerkunft = new QListWidget(grpHerkunft);
    clbHerkunft->setMaximumHeight(80);
    clbHerkunft->setMinimumWidth(170);
    herkunft->addWidget(clbHerkunft);
    auswahl->addWidget(grpHerkunft, 2);

    grpVergleichswerte = new QGroupBox(QStringLiteral("Vergleichswerte"), this);
    auto* vergleich = new QGridLayout(grpVergleichswerte);
    auto* lblAnzahlVorjahre = new QLabel(QStringLiteral("Anzahl angezeigte Vorjahre:"), grpVergleichswerte);
    edtAnzahlVorjahre = ZiffernfeldErzeugen(grpVergleichswerte);
    edtAnzahlVorjahre->setObjectName(QStringLiteral("edtAnzahlVorjahre"));
    lblAnzahlVorjahre->setBuddy(edtAnzahlVorjahre);
    auto* lblVergleichstag = new QLabel(QStringLiteral("Vergleichstag:"), grpVergleichswerte);
    cmbWahlmethodeVergleichstag = new QComboBox(grpVergleichswerte);
    lblVergleichstag->setBuddy(cmbWahlmethodeVergleichstag);
    chbVergleichsdatumEinblenden = new QCheckBox(QStringLiteral("Datum Vergleichstag einblenden?"), grpVergleichswerte);
    chbDurchschnittAnzeigen =
        new QCheckBox(QStringLiteral("Durchschnitt der angez. Vorjahre einblenden?"), grpVergleichswerte);
    chbNullumsaetzeIgnorieren =
        new QCheckBox(QStringLiteral("Jahre ohne Umsätze bei D. ignorieren"), grpVergleichswerte);
    vergleich->addWidget(lblAnzahlVorjahre, 0, 0);
    vergleich->addWidget(edtAnzahlVorjahre, 0, 1);
    vergleich->addWidget(lblVergleichstag, 1, 0);
    vergleich->addWidget(cmbWahlmethodeVergleichstag, 1, 1);
    vergleich->addWidget(chbVergleichsdatumEinblenden, 2, 0, 1, 2);
    vergleich->addWidget(chbDurchschnittAnzeigen, 3, 0, 1, 2);
    vergleich->addWidget(chbNullumsaetzeIgnorieren, 4, 0, 1, 2);
    vergleich->setColumnStretch(1, 1);
    auswahl->addWidget(grpVergleichswerte, 3);

    auto* rechts = new QVBoxLayout;
    grpDruckoptionen = new QGroupBox(QStringLiteral("Druckoptionen"), this);
    auto* druck = new QHBoxLayout(grpDruckoptionen);
    auto* lblBaumlevel = new QLabel(QStringLiteral("Baumlevel für Druck/Export:"), grpDruckoptionen);
    edtBaumlevel = ZiffernfeldErzeugen(grpDruckoptionen);
    edtBaumlevel->setObjectName(QStringLiteral("edtBaumlevel"));
    lblBaumlevel->setBuddy(edtBaumlevel);
    druck->addWidget(lblBaumlevel);
    druck->addWidget(edtBaumlevel);
    rechts->addWidget(grpDruckoptionen);
    grpAnzeigeoptionen = new QGroupBox(QStringLiteral("Anzeigeoptionen"), this);
    auto* anzeige = new QHBoxLayout(grpAnzeigeoptionen);
    auto* lblAnzeigeFilialen = new QLabel(QStringLiteral("Filialen:"), grpAnzeigeoptionen);
    cmbAnzeigeFilialen = new QComboBox(grpAnzeigeoptionen);
    lblAnzeigeFilialen->setBuddy(cmbAnzeigeFilialen);
    anzeige->addWidget(lblAnzeigeFilialen);
    anzeige->addWidget(cmbAnzeigeFilialen, 1);
    rechts->addWidget(grpAnzeigeoptionen);
    rechts->addStretch(1);
    auswahl->addLayout(rechts, 2);
    haupt->addLayout(auswahl);

    vtUmsaetze = new TVTRDLVRList(this);
    vtUmsaetze->setObjectName(QStringLiteral("vtUmsaetze"));
    vtUmsaetze->setSelectionBehavior(QAbstractItemView::SelectRows);
    vtUmsaetze->VertLines_Set(true);
    vtUmsaetze->KopfUmbrechen_Set(true);
    vtUmsaetze->setItemDelegate(new TBlockLinienDelegate(*this, *vtUmsaetze));
    vtUmsaetze->OnCellBackground = [this](const TVRList& L, int R, int C, QColor& F) {
        return vtUmsaetzeBeforeCellPaint(L, R, C, F);
    };
    haupt->addWidget(vtUmsaetze, 1);

    pnlButtons = new QWidget(this);
    auto* knoepfe = new QHBoxLayout(pnlButtons);
    knoepfe->setContentsMargins(0, 0, 0, 0);
    btnBeenden = new QPushButton(QStringLiteral("&Beenden"), pnlButtons);
    btnExportieren = new QPushButton(QStringLiteral("&Exportieren"), pnlButtons);
    btnDrucken = new QPushButton(QStringLiteral("&Drucken"), pnlButtons);
    btnGruppieren = new QPushButton(QStringLiteral("Gruppierung ändern"), pnlButtons);
    btnAuswerten = new QPushButton(QStringLiteral("&Selektionskriterien anwenden"), pnlButtons);
    for (QPushButton* b : {btnBeenden, btnExportieren, btnDrucken, btnGruppieren, btnAuswerten}) b->setAutoDefault(false);
    knoepfe->addWidget(btnBeenden);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnExportieren);
    knoepfe->addWidget(btnDrucken);
    knoepfe->addWidget(btnGruppieren);
    knoepfe->addWidget(btnAuswerten);
    haupt->addWidget(pnlButtons);

    // Function keys beside the buttons' mnemonics; Esc closes through reject().
    const std::pair<Qt::Key, QPushButton*> tasten[] = {
        {Qt::Key_F4, btnExportieren}, {Qt::Key_F9, btnDrucken}, {Qt::Key_F7, btnGruppieren}, {Qt::Key_F6, btnAuswerten}};
    for (const auto& [taste, knopf] : tasten)
        connect(new QShortcut(QKeySequence(taste), this), &QShortcut::activated, knopf, &QPushButton::click);

    // Combo boxes as wide as the layout gives them, not as their longest entry: at its
    // smallest size the window keeps room for every label (the list shows entries whole).
    for (QComboBox* c : {static_cast<QComboBox*>(cmbMandanten), cmbFilialAuswahl, cmbGruppierung,
                         cmbWahlmethodeVergleichstag, cmbAnzeigeFilialen}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(10);
    }
    cmbWahlmethodeVergleichstag->setMinimumContentsLength(15); // "Gleicher Wochentag", the default, whole

    connect(btnBeenden, &QPushButton::clicked, this, [this] { btnAbbrechenClick(); });
    connect(btnAuswerten, &QPushButton::clicked, this, [this] { btnAuswertenClick(); });
    connect(btnExportieren, &QPushButton::clicked, this, [this] { btnExportierenClick(); });
    connect(btnDrucken, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnGruppieren, &QPushButton::clicked, this, [this] { btnGrupppierenClick(); });
    connect(edtAnzahlVorjahre, &QLineEdit::editingFinished, this, [this] { edtAnzahlVorjahreExit(); });
    connect(chbDurchschnittAnzeigen, &QCheckBox::clicked, this, [this] { chbDurchschnittAnzeigenClick(); });
    connect(chbVergleichsdatumEinblenden, &QCheckBox::clicked, this, [this] { chbVergleichsdatumEinblendenClick(); });
    connect(cmbGruppierung, &QComboBox::currentIndexChanged, this, [this] { cmbGruppierungChange(); });
}

void TKOV_UmsatzAuswertFrm::FormCreate() {
    KOV_Geschuetzt(CName + "FormCreate", true, [&] {
        SetRDLFormPosStoreMode(fpsPositionUndGroesse);
        RDLFormInit("KOV_UmsatzAuswertFrm", true);
        RDLFernsteuerungEinrichten(this, [this](const std::string& ADatei) { return Liste_Speichern(ADatei); });
        FFiliatab = GlobFilialTabelle_GetInstance();
        FMandListeServer = Glob_WWSServerFactoryClass::MandListeServer_Get();
        if (!FUmsatzAuswertVerglMani) FUmsatzAuswertVerglMani = UmsAuswVergleichsQuelleErzeugen();
        FGruppierungsmoeglichkeiten = GetGruppierungsmoeglichkeiten();
        PopupAufbauen();
        FGruppierspalten = {umcDatum, umcMandant};
        GruppierComboFuellen();
        FAnzahlMainColumns = CMain;
        FAnzahlRepeatedColumns = CRep;
        ComboFilialAuswahlFuellen();
        ComboWahlmethodeVergleichstagFuellen();
        ChecklistHerkunftFuellen();
        ComboAnzeigeFilialenFuellen();
        if (FMandListeServer) cmbMandanten->MandantenFuellen(*FMandListeServer);
        cmbMandanten->SetAll(true);
        // The open lists show their entries whole, however narrow the boxes are.
        for (QComboBox* c : {static_cast<QComboBox*>(cmbMandanten), cmbFilialAuswahl, cmbGruppierung,
                             cmbWahlmethodeVergleichstag, cmbAnzeigeFilialen})
            c->view()->setMinimumWidth(c->view()->sizeHintForColumn(0) + 24);
        // The ignore box follows the average box; it is not offered on its own.
        chbNullumsaetzeIgnorieren->setChecked(true);
        chbNullumsaetzeIgnorieren->setEnabled(false);
        chbNullumsaetzeIgnorieren->setVisible(false);
    });
}

TKOV_UmsatzAuswertFrm::~TKOV_UmsatzAuswertFrm() {
    const std::string trace = CName + "FormDestroy";
    KOV_Geschuetzt(trace, false, [&] { FProgressShower.reset(); });
    KOV_Geschuetzt(trace, false, [&] {
        vtUmsaetze->PopupMenu_Set(nullptr);
        delete FPOPUPGruppieren;
        FPOPUPGruppieren = nullptr;
    });
    KOV_Geschuetzt(trace, false, [&] { FreeVRArray(FVRArray); });
    KOV_Geschuetzt(trace, false, [&] { FUmsatzAuswertVerglMani = nullptr; });
    KOV_Geschuetzt(trace, false, [&] {
        if (FFiliatab) GlobFilialTabelle_ReleaseInstance(FFiliatab);
    });
    KOV_Geschuetzt(trace, false, [&] {
        if (FMandListeServer) Glob_WWSServerFactoryClass::MandListeServer_Release(FMandListeServer);
    });
    RDLInfo().FehlerTerminate(trace, 0, "", "", 0, 0);
}

// --- controls -----------------------------------------------------------------------------------

void TKOV_UmsatzAuswertFrm::ComboFilialAuswahlFuellen() {
    KOV_Geschuetzt(CName + "ComboFilialAuswahlFuellen", true,
                   [&] { ComboFuellen(cmbFilialAuswahl, CKOV_UmsAuswFilialauswahl_2_Beschreibung, 2); });
}

void TKOV_UmsatzAuswertFrm::ComboWahlmethodeVergleichstagFuellen() {
    KOV_Geschuetzt(CName + "ComboWahlmethodeVergleichstagFuellen", true, [&] {
        ComboFuellen(cmbWahlmethodeVergleichstag, CKOV_UmsAusw_WahlVergleichsdatum_2_Beschreibung, 1);
    });
}

void TKOV_UmsatzAuswertFrm::ComboAnzeigeFilialenFuellen() {
    KOV_Geschuetzt(CName + "ComboAnzeigeFilialenFuellen", true,
                   [&] { ComboFuellen(cmbAnzeigeFilialen, CKOV_UmsAusw_AnzeigeFilialen_2_Beschreibung, 0); });
}

void TKOV_UmsatzAuswertFrm::ChecklistHerkunftFuellen() {
    KOV_Geschuetzt(CName + "ChecklistHerkunftFuellen", true, [&] {
        clbHerkunft->clear();
        for (int i = 0; i < CKOV_UmsAusw_AnzahlEintraege; ++i) {
            auto* e = new QListWidgetItem(QString::fromUtf8(CKOV_UmsAusw_UmsHerkunft_2_Beschreibung[i]), clbHerkunft);
            e->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            e->setCheckState(Qt::Unchecked);
            e->setData(Qt::UserRole, i);
        }
    });
}

uint8_t TKOV_UmsatzAuswertFrm::GetFilialAuswahl() const {
    return KOV_GeschuetztWert(CName + "GetFilialAuswahl", true, uint8_t(0),
                              [&] { return CodeDerAuswahl(cmbFilialAuswahl, 0); });
}

uint8_t TKOV_UmsatzAuswertFrm::GetAnzeigeFilialen() const {
    return KOV_GeschuetztWert(CName + "GetAnzeigeFilialen", true, uint8_t(0),
                              [&] { return CodeDerAuswahl(cmbAnzeigeFilialen, 0); });
}

uint8_t TKOV_UmsatzAuswertFrm::GetWahlmethodeVergleichstag() const {
    return KOV_GeschuetztWert(CName + "GetWahlmethodeVergleichstag", true, uint8_t(1),
                              [&] { return CodeDerAuswahl(cmbWahlmethodeVergleichstag, 1); });
}

TKOV_UmsAusw_Herkuenfte TKOV_UmsatzAuswertFrm::GetHerkunftsauswahl() const {
    return KOV_GeschuetztWert(CName + "GetHerkunftsauswahl", true, TKOV_UmsAusw_Herkuenfte(0), [&] {
        TKOV_UmsAusw_Herkuenfte r = 0;
        for (int i = 0; i < clbHerkunft->count(); ++i)
            if (clbHerkunft->item(i)->checkState() == Qt::Checked)
                HerkunftAufnehmen(r, clbHerkunft->item(i)->data(Qt::UserRole).toInt());
        return r;
    });
}

int TKOV_UmsatzAuswertFrm::Baumlevel() const { return Ziffer(edtBaumlevel); }
int TKOV_UmsatzAuswertFrm::AnzahlVorjahre() const { return Ziffer(edtAnzahlVorjahre); }

void TKOV_UmsatzAuswertFrm::FormShow() {
    // Guarded work like every selection: closing and outside requests wait for the table.
    Bewacht("FormShow", [&] {
        VorgabenSetzen();
        Maske_2_Settings();
        TabelleAnzeigen();
    });
}

void TKOV_UmsatzAuswertFrm::VorgabenSetzen() {
    KOV_Geschuetzt(CName + "VorgabenSetzen", true, [&] {
        edtAnzahlVorjahre->setText(QStringLiteral("1"));
        chbDurchschnittAnzeigen->setChecked(false);
        chbDurchschnittAnzeigen->setEnabled(false);
        edtAnzahlVorjahreExit();
        const TDate heute = DateOf(rdl_Today());
        edtZeitraum->Zeitraum_Set({heute - 7, heute - 1});
        edtBaumlevel->setText(QStringLiteral("2"));
        for (int i = 0; i < clbHerkunft->count(); ++i) clbHerkunft->item(i)->setCheckState(Qt::Checked);
    });
}

void TKOV_UmsatzAuswertFrm::edtAnzahlVorjahreExit() {
    KOV_Geschuetzt(CName + "edtAnzahlVorjahreExit", true, [&] {
        const int n = AnzahlVorjahre();
        if (n < 2) {
            chbDurchschnittAnzeigen->setChecked(false);
            chbDurchschnittAnzeigen->setEnabled(false);
            chbDurchschnittAnzeigenClick();
        } else {
            chbDurchschnittAnzeigen->setEnabled(true);
        }
        cmbWahlmethodeVergleichstag->setEnabled(n > 0);
        chbVergleichsdatumEinblenden->setEnabled(n > 0);
    });
}

void TKOV_UmsatzAuswertFrm::chbDurchschnittAnzeigenClick() {
    // The ignore box only matters for an average: usable exactly while one is shown.
    KOV_Geschuetzt(CName + "chbDurchschnittAnzeigenClick", true,
                   [&] { chbNullumsaetzeIgnorieren->setEnabled(chbDurchschnittAnzeigen->isChecked()); });
}

void TKOV_UmsatzAuswertFrm::btnAuswertenClick() {
    Bewacht("btnAuswertenClick", [&] {
        Maske_2_Settings();
        TabelleAnzeigen();
    });
}

void TKOV_UmsatzAuswertFrm::btnAbbrechenClick() {
    KOV_Geschuetzt(CName + "btnAbbrechenClick", true, [&] { close(); });
}

void TKOV_UmsatzAuswertFrm::Maske_2_Settings() {
    KOV_Geschuetzt(CName + "Maske_2_Settings", true, [&] {
        FSettings.AnzahlVorjahre = AnzahlVorjahre();
        FSettings.DurchschnittAnzeigen = chbDurchschnittAnzeigen->isChecked();
        FSettings.Zeitraum = edtZeitraum->Zeitraum_Get();
        FSettings.Mandanten = cmbMandanten->SelectedMandanten_Get();
        FSettings.Filialauswahl = GetFilialAuswahl();
        FSettings.WahlmethodeVergleichstag = GetWahlmethodeVergleichstag();
        FSettings.AnzeigeFilialen = GetAnzeigeFilialen();
        FSettings.Herkunft = GetHerkunftsauswahl();
        FSettings.NullumsaetzeIgnorieren = chbNullumsaetzeIgnorieren->isChecked();
    });
}

TKOV_PEP_Progress& TKOV_UmsatzAuswertFrm::Progressshower_GoC() {
    if (!FProgressShower) FProgressShower = std::make_unique<TKOV_PEP_Progress>(this);
    return *FProgressShower;
}

// --- the table ----------------------------------------------------------------------------------

void TKOV_UmsatzAuswertFrm::TabelleAnzeigen() {
    FErgebnisVollstaendig = false;
    KOV_Geschuetzt(CName + "TabelleAnzeigen", true, [&] {
        const TVTRDLUpdateGuard pause(*vtUmsaetze);
        TKOV_UmsAusw_Quellen q;
        if (FFiliatab)
            for (int i = 0; i < FFiliatab->Filialen().GetCount(); ++i) q.Filialen.push_back(*FFiliatab->Filialen().GetItem(i));
        q.MandantName = [this](const TIntPair& M) {
            return FMandListeServer ? FMandListeServer->GetMandantByKey(M).Name : std::string();
        };
        q.Umsatz = FUmsatzAuswertVerglMani;
        q.LeereUmsaetzeIgnorieren = chbNullumsaetzeIgnorieren->isChecked();
        // A new calculator per selection: rates entered since the last one count.
        FWaehrungsrechner = std::make_unique<TRDLWaehrungsrechner>(RDLProgramm().Datenbank());
        q.Hauswaehrung = FWaehrungsrechner->Hauswaehrung();
        q.Kurs = [this](const std::string& AWaehrung, TDate ADatum) { return FWaehrungsrechner->Kurs(AWaehrung, ADatum); };
        TKOV_PEP_Progress& fortschritt = Progressshower_GoC();
        q.Fortschritt = [&](const std::string& ADetail) {
            fortschritt.SetDetail(ADetail);
            RDLInfo().RDLInfoProcessMessages(300);
        };
        vtUmsaetze->List_Change([&](std::unique_ptr<TVRList>& AListe) {
            KOV_Geschuetzt(CName + "VRListeErzeugen", true, [&] {
                if (!AListe) AListe = std::make_unique<TVRList>();
                VRListeErzeugen(*AListe, FSettings);
                FreeVRArray(FVRArray);
                FVRArray = AListe->VRArray_ForRowAdd_Generate();
            });
            if (!AListe) return;
            fortschritt.SetCaption("Umsätze werden geladen!");
            fortschritt.SetDetail("");
            fortschritt.Show();
            struct TVerbergen {
                TKOV_PEP_Progress& P;
                ~TVerbergen() { P.Hide(); }
            } verbergen{fortschritt};
            FErgebnisVollstaendig = TabelleFuellen(*AListe, FVRArray, FSettings, q);
        });
        ListeGruppieren();
    });
    // After every build, the first one when the window opens too: a program driving this
    // window reads the result now.
    KOV_SetEvent(CKOV_Event_ErgebnisBereit);
}

TFesteSpalten TKOV_UmsatzAuswertFrm::FesteSpalten() const {
    TFesteSpalten r;
    for (int s = 0; s < CMain; ++s) r.push_back({s, CKOV_UmsatzTree_MainColumns_2_Visible[s]});
    return r;
}

// --- grouping -----------------------------------------------------------------------------------

void TKOV_UmsatzAuswertFrm::GruppierComboFuellen() {
    KOV_Geschuetzt(CName + "GruppierComboFuellen", true, [&] {
        const QSignalBlocker block(cmbGruppierung);
        cmbGruppierung->clear();
        int gewaehlt = -1;
        for (size_t i = 0; i < FGruppierungsmoeglichkeiten.size(); ++i) {
            const TVRGruppierOption& o = FGruppierungsmoeglichkeiten[i];
            cmbGruppierung->addItem(QString::fromStdString(UmsatzTree_GruppierSpalten_2_BeschreibenderText(o)));
            if (gewaehlt < 0 && GruppierSpaltenEqual(o, FGruppierspalten)) gewaehlt = int(i);
        }
        cmbGruppierung->setCurrentIndex(gewaehlt);
    });
}

void TKOV_UmsatzAuswertFrm::cmbGruppierungChange() {
    KOV_Geschuetzt(CName + "cmbGruppierungChange", true, [&] {
        const int i = cmbGruppierung->currentIndex();
        if (i < 0 || size_t(i) >= FGruppierungsmoeglichkeiten.size()) return;
        if (GruppierSpaltenEqual(FGruppierungsmoeglichkeiten[size_t(i)], FGruppierspalten)) return;
        FGruppierspalten = FGruppierungsmoeglichkeiten[size_t(i)];
        ListeGruppieren();
    });
}

void TKOV_UmsatzAuswertFrm::PopupAufbauen() {
    KOV_Geschuetzt(CName + "PopupAufbauen", true, [&] {
        std::vector<TGruppierOptionEintrag> optionen;
        for (const TVRGruppierOption& o : FGruppierungsmoeglichkeiten)
            optionen.push_back({UmsatzTree_GruppierSpalten_2_BeschreibenderText(o), o});
        FPOPUPGruppieren = GruppierMenuMitOptionenErzeugen(this, optionen, *vtUmsaetze,
                                                           [this](int32_t AIndex) { GruppierungsMenuItemClick(AIndex); });
        vtUmsaetze->PopupMenu_Set(FPOPUPGruppieren);
    });
}

void TKOV_UmsatzAuswertFrm::GruppierungsMenuItemClick(int AIndex) {
    // The combo box's change applies it, so both ways regroup alike (and not again).
    KOV_Geschuetzt(CName + "GruppierungsMenuItemClick", true, [&] { cmbGruppierung->setCurrentIndex(AIndex); });
}

void TKOV_UmsatzAuswertFrm::BaumAusklappenMenuItemClick(int ALevel) {
    KOV_Geschuetzt(CName + "BaumAusklappenMenuItemClick", true, [&] { AufLevelAusklappen(*vtUmsaetze, ALevel); });
}

void TKOV_UmsatzAuswertFrm::btnGrupppierenClick() {
    // Opens above the button row, so the menu does not hide the button it came from.
    KOV_Geschuetzt(CName + "btnGrupppierenClick", true, [&] {
        if (FPOPUPGruppieren) FPOPUPGruppieren->popup(QCursor::pos() - QPoint(0, pnlButtons->height()));
    });
}

void TKOV_UmsatzAuswertFrm::ListeGruppieren() {
    KOV_Geschuetzt(CName + "ListeGruppieren", true, [&] {
        if (!vtUmsaetze->List()) return;
        TVRFunctionNFormatList funktionen;
        for (int c = CMain; c < vtUmsaetze->List()->GetColumnCount(); ++c) {
            const int r = (c - CMain) % CRep;
            const TVRFunctionType f = r <= urcEK ? TVRFunctionType::vrfSum
                                      : r < urcVergleichstage ? TVRFunctionType::vrfNoneToo
                                                              : TVRFunctionType::vrfNone;
            funktionen.Add({c, f});
        }
        GruppierenNachEbenen(*vtUmsaetze, FGruppierspalten, {}, funktionen, FesteSpalten(),
                             [this](TVTRDLVRList& AGrid, const TVRGruppierOption&) {
                                 if (AGrid.List()) {
                                     GruppenInHauswaehrung(*AGrid.List());
                                     SpanneUndDiffZuLJ_Setzen(*AGrid.List());
                                 }
                                 TabelleEinladen();
                             });
    });
}

void TKOV_UmsatzAuswertFrm::GruppenInHauswaehrung(TVRList& AListe) {
    const bool ok = KOV_Geschuetzt("GruppensummenInHauswaehrung", true, [&] {
        const std::string haus = FWaehrungsrechner ? FWaehrungsrechner->Hauswaehrung() : RDLProgramm().GetWaehrung();
        GruppensummenInHauswaehrung(AListe, haus, [this](const std::string& AWaehrung, TDate ADatum) {
            if (!FWaehrungsrechner) throw EWaehrungsFehler(AWaehrung, ADatum, RDLProgramm().GetWaehrung());
            return FWaehrungsrechner->Kurs(AWaehrung, ADatum);
        });
    });
    if (!ok) FErgebnisVollstaendig = false;
}

void TKOV_UmsatzAuswertFrm::TiefenMerken() {
    FTiefen.clear();
    std::function<void(const TVRList&, int)> merken = [&](const TVRList& L, int ATiefe) {
        FTiefen.insert(&L, ATiefe);
        for (int32_t i = 0; i < L.GetRowCount(); ++i)
            if (const TVRList* k = L.GetRowChild(i)) merken(*k, ATiefe + 1);
    };
    if (vtUmsaetze->List()) merken(*vtUmsaetze->List(), 0);
}

void TKOV_UmsatzAuswertFrm::TabelleEinladen() {
    KOV_Geschuetzt(CName + "TabelleEinladen", true, [&] {
        const TVTRDLUpdateGuard pause(*vtUmsaetze);
        if (!vtUmsaetze->List()) return;
        vtUmsaetze->Refresh();
        SpaltenSichtbarkeitWiederherstellen(*vtUmsaetze, FesteSpalten(), FGruppierspalten);
        vtUmsaetze->ExpandAll();
        // Widths measured while every row is open, so the leaves count too. Measuring is
        // the costly part of a fill: only the shown columns and the comparison dates, which
        // their box shows without a new fill (regrouping measures again).
        const int start = CMain + CRep * (FSettings.DurchschnittAnzeigen ? 2 : 1);
        for (int c = 0; c < vtUmsaetze->List()->GetColumnCount(); ++c)
            if (!vtUmsaetze->isColumnHidden(c) || (c >= start && (c - start) % CRep == urcVergleichstage)) {
                vtUmsaetze->resizeColumnToContents(c);
                // Within reason: a long name is cut rather than pushing the blocks away.
                const int hoechstens = c == umcKopf ? 320 : 240;
                if (vtUmsaetze->ColumnWidth_Get(c) > hoechstens) vtUmsaetze->ColumnWidth_Set(c, hoechstens);
            }
        vtUmsaetze->CollapseAll();
        TiefenMerken();
        vtUmsaetze->ColumnCaption_Set(
            0, QString::fromUtf8(CKOV_UmsatzTree_MainColumns_2_Bezeichung[FGruppierspalten.empty()
                                                                            ? umcKopf
                                                                            : FGruppierspalten.front()]));
        chbVergleichsdatumEinblendenClick();
        if (!IstGruppierSpalte(umcFiliale, FGruppierspalten)) vtUmsaetze->SortTree(umcFiliale, 0);
        if (!IstGruppierSpalte(umcDatum, FGruppierspalten)) vtUmsaetze->SortTree(umcDatum, 0);
    });
}

void TKOV_UmsatzAuswertFrm::chbVergleichsdatumEinblendenClick() {
    KOV_Geschuetzt(CName + "chbVergleichsdatumEinblendenClick", true, [&] {
        const TVRList* l = vtUmsaetze->List();
        if (!l) return;
        // The layout of the last evaluation, not the average box as it is now.
        const int start = CMain + CRep * (FSettings.DurchschnittAnzeigen ? 2 : 1);
        const bool zeigen = chbVergleichsdatumEinblenden->isChecked();
        for (int c = start; c < l->GetColumnCount(); ++c)
            if ((c - start) % CRep == urcVergleichstage) vtUmsaetze->ColumnVisible_Set(c, zeigen);
    });
}

// --- painting -----------------------------------------------------------------------------------

bool TKOV_UmsatzAuswertFrm::vtUmsaetzeBeforeCellPaint(const TVRList& AListe, int ARow, int ACol,
                                                      QColor& AFarbe) const {
    return KOV_GeschuetztWert(CName + "vtUmsaetzeBeforeCellPaint", true, false, [&] {
        if (ARow % 2 == 0) return false;
        const TVRList* wurzel = vtUmsaetze->List();
        if (!wurzel || ACol < 0 || ACol >= wurzel->GetColumnCount()) return false;
        const int tiefe = FTiefen.value(&AListe, 0);
        const uint32_t rgb = wurzel->GetColumn(ACol).BackgroundColor;
        AFarbe = ModifyColor(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF), -(tiefe * 10 + 20));
        return true;
    });
}

bool TKOV_UmsatzAuswertFrm::vtUmsaetzeBeforeVGridLinePaint(int ACol) const {
    return KOV_GeschuetztWert(CName + "vtUmsaetzeBeforeVGridLinePaint", true, false, [&] {
        const int naechste = vtUmsaetze->GetNextVisibleColumn(ACol);
        return naechste >= CMain && (naechste - CMain) % CRep == 0;
    });
}

// --- export and print ---------------------------------------------------------------------------

void TKOV_UmsatzAuswertFrm::btnExportierenClick() {
    Bewacht("btnExportierenClick", [&] {
        const int ebenen = int(FGruppierspalten.size());
        int a = Baumlevel();
        if (a == 0 || a > ebenen + 1) a = ebenen + 1;
        CSVExportMitGridDialog(*vtUmsaetze, FesteSpalten(), FGruppierspalten, a - 1);
    });
}

void TKOV_UmsatzAuswertFrm::btnPrintClick() {
    Bewacht("btnPrintClick", [&] { BaumDrucken(); });
}

std::string TKOV_UmsatzAuswertFrm::HerkunftAuslesen() const {
    return KOV_GeschuetztWert("HerkunftAuslesen", true, std::string(), [&] {
        std::string r;
        for (int h = 0; h < CKOV_UmsAusw_AnzahlEintraege; ++h) {
            if (!HerkunftEnthalten(FSettings.Herkunft, h)) continue;
            if (!r.empty()) r += ", ";
            r += CKOV_UmsAusw_UmsHerkunft_2_Beschreibung[h];
        }
        return r;
    });
}

void TKOV_UmsatzAuswertFrm::AlleMainspaltenBisAufGruppenkopfAusblenden(TKOV_VirtualTreePrinter& ADrucker) const {
    KOV_Geschuetzt("AlleMainspaltenBisAufGruppenkopfAusblenden", true, [&] {
        for (int s = 1; s < CMain; ++s) ADrucker.Options_Get().AusgelasseneSpalten.push_back(s);
    });
}

void TKOV_UmsatzAuswertFrm::DruckBemerkungenSetzen(TKOV_VirtualTreePrinter& D, const TVRGruppierOption& P) const {
    KOV_Geschuetzt("DruckBemerkungenSetzen", true, [&] {
        auto q = [](const std::string& s) { return QString::fromStdString(s); };
        D.Titel_Set(QStringLiteral("Umsatzauswertung"));
        D.BemerkungenClear();
        D.BemerkungAdd(QStringLiteral("Mandanten"),
                       FMandListeServer ? q(MandantenIDListe_2_BeschreibendeKuerzel(FSettings.Mandanten, *FMandListeServer))
                                        : QString());
        if (!FSettings.Zeitraum.IsEmpty()) D.BemerkungAdd(QStringLiteral("Zeitraum"), q(FSettings.Zeitraum.ToString()));
        D.BemerkungAdd(QStringLiteral("einbezogenge Herkünfte"), q(HerkunftAuslesen()));
        D.BemerkungAdd(QStringLiteral("Filialauswahl"),
                       q(UmsAuswTabellenText(CKOV_UmsAuswFilialauswahl_2_Druckbemerkung, FSettings.Filialauswahl)));
        D.BemerkungAdd(QStringLiteral("Gruppierung"), q(UmsatzTree_GruppierSpalten_2_BeschreibenderText(P)));
        if (FSettings.AnzahlVorjahre > 0)
            D.BemerkungAdd(QStringLiteral("Wahl des Vergleichtags"),
                           q(UmsAuswTabellenText(CKOV_UmsAusw_WahlVergleichsdatum_2_Druckbemerkung,
                                                 FSettings.WahlmethodeVergleichstag)));
        const std::string haus = RDLProgramm().GetWaehrung();
        // Only where rows of single branches are printed do they keep another currency.
        const bool fremd = P.size() == FGruppierspalten.size() && FDruckMitEinzelzeilen && vtUmsaetze->List() &&
                           HatFremdwaehrung(*vtUmsaetze->List(), haus);
        D.BemerkungAdd(QStringLiteral("Währung"),
                       q("Alle Beträge in " + haus +
                         (fremd ? "; Zeilen einer Filiale in deren Währung (Spalte \u201EWährung\u201C), Summen zum "
                                  "Kurs des jeweiligen Tages umgerechnet"
                                : "")));
        if (FSettings.DurchschnittAnzeigen)
            D.BemerkungAdd(QStringLiteral("Vorgehen Durchschnittsberechnung:"),
                           FSettings.NullumsaetzeIgnorieren
                               ? QStringLiteral("Bei der Durchschnittsbildung werden Vorjahrestage ohne jeglichen "
                                                "Umsatz ignoriert")
                               : QStringLiteral("Bei der Durchschnittsbildung werden Vorjahrestage ohne jeglichen "
                                                "Umsatz berücksichtigt"));
    });
}

bool TKOV_UmsatzAuswertFrm::BaumDrucken() {
    return KOV_Geschuetzt(CName + "BaumDrucken", true, [&] {
        struct TFertig {
            TKOV_UmsatzAuswertFrm* F;
            ~TFertig() {
                const TVTRDLUpdateGuard pause(*F->vtUmsaetze);
                F->TabelleEinladen(); // gives column 0 its caption back
            }
        } fertig{this};
        TKOV_VirtualTreePrinter drucker(false);
        drucker.Tree_Set(vtUmsaetze);
        const int ebenen = int(FGruppierspalten.size());
        const int tiefe = Baumlevel() - 1;
        // Level 0 prints the whole tree, leaves included, so they keep their main columns.
        const int n = tiefe < 0 ? ebenen + 1 : tiefe + 1;
        drucker.Options_Get().Drucktiefe = tiefe;
        FDruckMitEinzelzeilen = n > ebenen;
        if (n <= ebenen) AlleMainspaltenBisAufGruppenkopfAusblenden(drucker);
        const TVRGruppierOption p(FGruppierspalten.begin(), FGruppierspalten.begin() + std::min(n, ebenen));
        vtUmsaetze->ColumnCaption_Set(0, QString::fromStdString(UmsatzTree_GruppierSpalten_2_BeschreibenderText(p)));
        DruckBemerkungenSetzen(drucker, p);
        drucker.Options_Get().Querformat = true; // a table of blocks is wide
        if (!FDruckPdfDatei.isEmpty()) drucker.PdfDatei_Set(FDruckPdfDatei);
        drucker.VirtualTreeDrucken();
    });
}

// --- window events ------------------------------------------------------------------------------

void TKOV_UmsatzAuswertFrm::showEvent(QShowEvent* AEvent) {
    TRDLForm::showEvent(AEvent);
    // Only the first time: a window shown again keeps the user's selection and result.
    if (!AEvent->spontaneous() && !FGezeigt) {
        FGezeigt = true;
        FormShow();
    }
}

// --- the result for an outside program ------------------------------------------------------------

bool TKOV_UmsatzAuswertFrm::Liste_Speichern(const std::string& ADateiname) {
    return KOV_GeschuetztWert(CName + "Liste_Speichern", true, false, [&] {
        // An outside program gets no result that the window could not build whole.
        if (!FErgebnisVollstaendig) return false;
        const int ebenen = int(FGruppierspalten.size());
        int a = Baumlevel();
        if (a == 0 || a > ebenen + 1) a = ebenen + 1;
        return CSVExportMitSpaltenSchaltung(*vtUmsaetze, FesteSpalten(), FGruppierspalten, a - 1, ADateiname);
    });
}


