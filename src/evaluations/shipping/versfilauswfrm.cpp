#include "versfilauswfrm.h"

#include "exceptions.h"
#include "kovfilialenselektframe.h"
#include "kovzeitraumeingabe.h"
#include "rdldatum.h"
#include "rdlereignis.h"
#include "rdlfernsteuerung.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlprogress.h"
#include "rdlwaehrung.h"
#include "suitetabellen.h"
#include "umsatzmani_versfilausw.h"
#include "vtrdlvrlist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const std::string CName = "TKOV_VersFilAuswertFrm.";
// The pop-up opens this far above the mouse per item, so it does not cover the button row.
constexpr int CMenuZeilenHoehe = 23;
} // namespace

// --- the engine -------------------------------------------------------------------------------

TVersFil_UmsatzQuelle VersFilUmsatzQuelleErzeugen() {
    // One manager for the window's lifetime.
    auto mani = std::make_shared<TKOV_UmsatzAuswertMani_VersFilAusw>();
    return [mani](const TFiliale& F, TDate AVon, TDate ABis) {
        // The manager registers its failures and answers what it has: a figure read in
        // part is no figure.
        const size_t vorher = RDLInfo().Registrierte().size();
        const TKOV_Umsatzdaten_Erw_VersFilAusw r = AVon == ABis ? mani->GetUmsatzFuerTag(F.Mandant, F.OrgeID, AVon)
                                                                 : mani->GetUmsatzFuerZeitraum(F.Mandant, F.OrgeID, AVon, ABis);
        if (RDLInfo().Registrierte().size() != vorher)
            throw Exception("Die Umsätze der Filiale " + std::to_string(F.Nr) + " konnten nicht gelesen werden." +
                            RDLInfo().LogHinweis());
        return r;
    };
}

// --- pop-up item ----------------------------------------------------------------------------

void TMenuItemGrup::SetGruppierung(const TVRGruppierOption& AGruppierung) {
    KOV_Geschuetzt("TMenuItemGrup.SetGruppierung", true, [&] {
        FGruppierung = AGruppierung;
        setText(QString::fromStdString(Gruppierung_2_String(AGruppierung)));
    });
}

// --- window -------------------------------------------------------------------------------------

TKOV_VersFilAuswertFrm::TKOV_VersFilAuswertFrm(QWidget* AEltern, TVersFil_UmsatzQuelle AUmsatzQuelle)
    : TRDLForm(AEltern, "TKOV_VersFilAuswertFrm"), FVersandFilAuswertMani(std::move(AUmsatzQuelle)) {
    ControlsErzeugen();
    FormCreate();
}

void TKOV_VersFilAuswertFrm::ControlsErzeugen() {
    setWindowTitle(QStringLiteral("Auswertung der Versandfilialen"));
    setMinimumSize(770, 500);
    resize(1000, 680);
    auto* haupt = new QVBoxLayout(this);
    pnlHeader = KopfPanelErzeugen(QStringLiteral("Auswertung der Versandfilialen getrennt nach stationär und online"), this);
    haupt->addWidget(pnlHeader);

    auto* auswahl = new QHBoxLayout;
    auto* links = new QGridLayout;
    edtZeitraum = new TKOV_ZeitraumEingabe(this);
    chbLeereZeilenAusblenden = new QCheckBox(QStringLiteral("Leere Zeilen ausblenden"), this);
    chbVerkaeufeAnzeigen = new QCheckBox(QStringLiteral("Verkäufe anzeigen"), this);
    chbRetourenAnzeigen = new QCheckBox(QStringLiteral("Retouren/Stornos anzeigen"), this);
    auto* lblGruppierung = new QLabel(QStringLiteral("Gruppierung:"), this);
    cmbGruppierung = new QComboBox(this);
    cmbGruppierung->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbGruppierung->setMinimumContentsLength(20);
    lblGruppierung->setBuddy(cmbGruppierung);
    links->addWidget(edtZeitraum, 0, 0, 1, 2);
    links->addWidget(chbLeereZeilenAusblenden, 1, 0, 1, 2);
    links->addWidget(chbVerkaeufeAnzeigen, 2, 0, 1, 2);
    links->addWidget(chbRetourenAnzeigen, 3, 0, 1, 2);
    links->addWidget(lblGruppierung, 4, 0);
    links->addWidget(cmbGruppierung, 4, 1);
    links->setColumnStretch(1, 1);
    links->setRowStretch(5, 1);
    auswahl->addLayout(links, 3);
    frmFilialen = new TKOV_FilialenSelekt_Frame(this);
    frmFilialen->setMaximumHeight(170);
    auswahl->addWidget(frmFilialen, 2);
    haupt->addLayout(auswahl);

    vtVersandfilialen = new TVTRDLVRList(this);
    vtVersandfilialen->setObjectName(QStringLiteral("vtVersandfilialen"));
    vtVersandfilialen->setSelectionBehavior(QAbstractItemView::SelectRows);
    vtVersandfilialen->VertLines_Set(true);
    haupt->addWidget(vtVersandfilialen, 1);

    pnlButtons = new QWidget(this);
    auto* knoepfe = new QHBoxLayout(pnlButtons);
    knoepfe->setContentsMargins(0, 0, 0, 0);
    btnBeenden = new QPushButton(QStringLiteral("&Beenden"), pnlButtons);
    btnExportieren = new QPushButton(QStringLiteral("&Exportieren"), pnlButtons);
    btnGruppieren = new QPushButton(QStringLiteral("Gruppierung ändern"), pnlButtons);
    btnAuswerten = new QPushButton(QStringLiteral("&Selektionskriterien anwenden"), pnlButtons);
    for (QPushButton* b : {btnBeenden, btnExportieren, btnGruppieren, btnAuswerten}) b->setAutoDefault(false);
    knoepfe->addWidget(btnBeenden);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnExportieren);
    knoepfe->addWidget(btnGruppieren);
    knoepfe->addWidget(btnAuswerten);
    haupt->addWidget(pnlButtons);

    // Esc closes through reject() as "&Beenden" does.
    const std::pair<Qt::Key, QPushButton*> tasten[] = {
        {Qt::Key_F4, btnExportieren}, {Qt::Key_F7, btnGruppieren}, {Qt::Key_F6, btnAuswerten}};
    for (const auto& [taste, knopf] : tasten)
        connect(new QShortcut(QKeySequence(taste), this), &QShortcut::activated, knopf, &QPushButton::click);

    connect(btnBeenden, &QPushButton::clicked, this, [this] { close(); });
    connect(btnAuswerten, &QPushButton::clicked, this, [this] { btnAuswertenClick(); });
    connect(btnExportieren, &QPushButton::clicked, this, [this] { btnExportierenClick(); });
    connect(btnGruppieren, &QPushButton::clicked, this, [this] { btnGrupppierenClick(); });
    connect(cmbGruppierung, &QComboBox::currentIndexChanged, this, [this] { cmbGruppierungChange(); });
}

void TKOV_VersFilAuswertFrm::FormCreate() {
    KOV_Geschuetzt(CName + "FormCreate", true, [&] {
        SetRDLFormPosStoreMode(fpsPositionUndGroesse);
        RDLFormInit("KOV_VersFilAuswertFrm", true);
        RDLFernsteuerungEinrichten(this, [this](const std::string& ADatei) { return Liste_Speichern(ADatei); });
        FFiliatab = GlobFilialTabelle_GetInstance();
        if (!FVersandFilAuswertMani) FVersandFilAuswertMani = VersFilUmsatzQuelleErzeugen();
        FGruppierungen = VerfuegbareGruppierungen();
        FGruppierungAkt = FGruppierungen.empty() ? TVRGruppierOption{} : FGruppierungen.front();
        PopUpAufbauen();
        ComboGruppierungenFuellenUndEinstellen();
        // Every branch; the shipping branches ticked.
        if (FFiliatab)
            frmFilialen->Fuellen(FFiliatab->Filialen(), [](int16_t ANr, const TFilialen& AFilialen) {
                const TFiliale* f = AFilialen.GetFilialeByNr(ANr);
                return f && f->Versandfiliale;
            });
        chbLeereZeilenAusblenden->setChecked(false);
        chbVerkaeufeAnzeigen->setChecked(true);
        chbRetourenAnzeigen->setChecked(true);
    });
}

TKOV_VersFilAuswertFrm::~TKOV_VersFilAuswertFrm() {
    const std::string trace = CName + "FormDestroy";
    KOV_Geschuetzt(trace, false, [&] { FProgressShower.reset(); });
    KOV_Geschuetzt(trace, false, [&] {
        vtVersandfilialen->PopupMenu_Set(nullptr);
        delete FPopUp;
        FPopUp = nullptr;
    });
    KOV_Geschuetzt(trace, false, [&] { FreeVRArray(FVRArray); });
    KOV_Geschuetzt(trace, false, [&] { FVersandFilAuswertMani = nullptr; });
    KOV_Geschuetzt(trace, false, [&] {
        if (FFiliatab) GlobFilialTabelle_ReleaseInstance(FFiliatab);
    });
    RDLInfo().FehlerTerminate(trace, 0, "", "", 0, 0);
}

void TKOV_VersFilAuswertFrm::VorgabenSetzen() {
    KOV_Geschuetzt(CName + "VorgabenSetzen", true, [&] {
        const TDate heute = DateOf(rdl_Today());
        edtZeitraum->Zeitraum_Set({heute - 7, heute - 1});
    });
}

void TKOV_VersFilAuswertFrm::FormShow() {
    Bewacht("FormShow", [&] {
        VorgabenSetzen();
        MaskeEnable(false);
        struct TWieder {
            TKOV_VersFilAuswertFrm* F;
            ~TWieder() { F->MaskeEnable(true); }
        } wieder{this};
        TabelleAnzeigen();
    });
}

void TKOV_VersFilAuswertFrm::showEvent(QShowEvent* AEvent) {
    TRDLForm::showEvent(AEvent);
    // Only the first time: a window shown again keeps the user's selection and result.
    if (!AEvent->spontaneous() && !FGezeigt) {
        FGezeigt = true;
        FormShow();
    }
}

void TKOV_VersFilAuswertFrm::btnAuswertenClick() {
    // The engine lets window messages through while it reads: the work guard keeps every
    // other handler of the window out and the window open until the table stands.
    Bewacht("btnAuswertenClick", [&] {
        MaskeEnable(false);
        struct TWieder {
            TKOV_VersFilAuswertFrm* F;
            ~TWieder() { F->MaskeEnable(true); }
        } wieder{this};
        TabelleAnzeigen();
    });
}

void TKOV_VersFilAuswertFrm::MaskeEnable(bool AEnabled) {
    KOV_Geschuetzt("MaskeEnable", true, [&] {
        for (QWidget* w : std::initializer_list<QWidget*>{btnAuswerten, btnBeenden, btnGruppieren, btnExportieren,
                                                          cmbGruppierung, edtZeitraum, frmFilialen,
                                                          chbLeereZeilenAusblenden, chbVerkaeufeAnzeigen,
                                                          chbRetourenAnzeigen})
            w->setEnabled(AEnabled);
        if (FPopUp) FPopUp->setEnabled(AEnabled);
        vtVersandfilialen->PopupMenu_Set(AEnabled ? FPopUp : nullptr);
    });
}

TKOV_PEP_Progress& TKOV_VersFilAuswertFrm::Progressshower_GoC() {
    if (!FProgressShower) FProgressShower = std::make_unique<TKOV_PEP_Progress>(this);
    return *FProgressShower;
}

// --- the table ----------------------------------------------------------------------------------

TFesteSpalten TKOV_VersFilAuswertFrm::FesteSpalten() const {
    TFesteSpalten r;
    for (int s = 0; s < CVersFil_AnzahlSpalten; ++s) r.push_back({s, CVersFil_Spalten[s].Visible});
    return r;
}

void TKOV_VersFilAuswertFrm::TabelleAnzeigen() {
    FErgebnisVollstaendig = false;
    KOV_Geschuetzt(CName + "TabelleAnzeigen", true, [&] {
        const TVTRDLUpdateGuard pause(*vtVersandfilialen);
        bool ok = false;
        vtVersandfilialen->List_Change([&](std::unique_ptr<TVRList>& AListe) {
            VRListeErzeugen(AListe);
            if (!AListe) return;
            ok = KOV_Geschuetzt(CName + "TabelleFuellen", true, [&] { TabelleFuellen(*AListe); });
        });
        ListeGruppieren();
        FErgebnisVollstaendig = ok;
    });
    // After every build: a program driving this window reads the result now.
    KOV_SetEvent(CKOV_Event_ErgebnisBereit);
}

void TKOV_VersFilAuswertFrm::VRListeErzeugen(std::unique_ptr<TVRList>& AListe) {
    KOV_Geschuetzt(CName + "VRListeErzeugen", true, [&] {
        if (!AListe) AListe = std::make_unique<TVRList>();
        VersFilSpaltenErzeugen(*AListe);
        FreeVRArray(FVRArray);
        FVRArray = AListe->VRArray_ForRowAdd_Generate();
    });
}

void TKOV_VersFilAuswertFrm::TabelleFuellen(TVRList& AListe) {
    TKOV_PEP_Progress& fortschritt = Progressshower_GoC();
    fortschritt.SetCaption("Umsätze werden geladen!");
    fortschritt.SetDetail("");
    fortschritt.Show();
    struct TVerbergen {
        TKOV_PEP_Progress& P;
        ~TVerbergen() { P.Hide(); }
    } verbergen{fortschritt};

    TVersFil_Auswahl a;
    a.Zeitraum = edtZeitraum->Zeitraum_Get();
    a.Filialen = frmFilialen->GetSelected();
    a.LeereZeilenAusblenden = chbLeereZeilenAusblenden->isChecked();
    a.VerkaeufeAnzeigen = chbVerkaeufeAnzeigen->isChecked();
    a.RetourenAnzeigen = chbRetourenAnzeigen->isChecked();
    TVersFil_Quellen q;
    q.Filiale = [this](int16_t ANr) { return FFiliatab ? FFiliatab->Filialen().GetFilialeByNr(ANr) : nullptr; };
    q.Umsatz = FVersandFilAuswertMani;
    q.Plattformnamen = CRDL_Herkunftskennzeichen_2_string();
    // A new calculator per selection: rates entered since the last one count.
    FWaehrungsrechner = std::make_unique<TRDLWaehrungsrechner>(RDLProgramm().Datenbank());
    q.Hauswaehrung = FWaehrungsrechner->Hauswaehrung();
    q.Kurs = [this](const std::string& AWaehrung, TDate ADatum) { return FWaehrungsrechner->Kurs(AWaehrung, ADatum); };
    q.Fortschritt = [&](const std::string& ADetail) {
        fortschritt.SetDetail(ADetail);
        RDLInfo().RDLInfoProcessMessages(300);
    };
    VersFilTabelleFuellen(AListe, FVRArray, a, q);
}

// --- grouping -----------------------------------------------------------------------------------

void TKOV_VersFilAuswertFrm::ComboGruppierungenFuellenUndEinstellen() {
    KOV_Geschuetzt(CName + "ComboGruppierungenFuellenUndEinstellen", true, [&] {
        const QSignalBlocker block(cmbGruppierung);
        cmbGruppierung->clear();
        int gewaehlt = -1;
        for (size_t i = 0; i < FGruppierungen.size(); ++i) {
            cmbGruppierung->addItem(QString::fromStdString(Gruppierung_2_String(FGruppierungen[i])), int(i));
            if (gewaehlt < 0 && GruppierungenEqual(FGruppierungen[i], FGruppierungAkt)) gewaehlt = int(i);
        }
        cmbGruppierung->setCurrentIndex(gewaehlt);
    });
}

void TKOV_VersFilAuswertFrm::cmbGruppierungChange() {
    Bewacht("cmbGruppierungChange", [&] {
        const int i = cmbGruppierung->currentIndex();
        if (i < 0) return;
        const size_t o = size_t(cmbGruppierung->itemData(i).toInt());
        if (o >= FGruppierungen.size() || GruppierungenEqual(FGruppierungen[o], FGruppierungAkt)) return;
        FGruppierungAkt = FGruppierungen[o];
        ListeGruppieren();
    });
    // A change refused while the window works leaves the active option shown.
    if (cmbGruppierung->currentIndex() >= 0 &&
        !GruppierungenEqual(FGruppierungen[size_t(cmbGruppierung->currentData().toInt())], FGruppierungAkt))
        ComboGruppierungenFuellenUndEinstellen();
}

void TKOV_VersFilAuswertFrm::PopUpAufbauen() {
    KOV_Geschuetzt(CName + "PopUpAufbauen", true, [&] {
        if (!FPopUp) FPopUp = new QMenu(this);
        if (!FPopUp->actions().isEmpty()) return;
        QAction* kopf = FPopUp->addAction(QStringLiteral("Gruppieren nach:"));
        kopf->setEnabled(false);
        for (size_t i = 0; i < FGruppierungen.size(); ++i) {
            auto* item = new TMenuItemGrup(FPopUp);
            item->SetGruppierung(FGruppierungen[i]);
            item->setData(int(i));
            FPopUp->addAction(item);
            connect(item, &QAction::triggered, this, [this, i] { GruppierungClick(int(i)); });
        }
        vtVersandfilialen->PopupMenu_Set(FPopUp);
    });
}

void TKOV_VersFilAuswertFrm::GruppierungClick(int ATag) {
    // The combo box's change applies it, so both ways regroup alike (and not again).
    KOV_Geschuetzt(CName + "GruppierungClick", true, [&] {
        const int i = cmbGruppierung->findData(ATag);
        if (i >= 0) cmbGruppierung->setCurrentIndex(i);
    });
}

void TKOV_VersFilAuswertFrm::btnGrupppierenClick() {
    Bewacht("btnGrupppierenClick", [&] {
        if (FPopUp)
            FPopUp->popup(QCursor::pos() - QPoint(0, CMenuZeilenHoehe * (int(FGruppierungen.size()) + 1)));
    });
}

void TKOV_VersFilAuswertFrm::ListeGruppieren() {
    KOV_Geschuetzt(CName + "ListeGruppieren", true, [&] {
        if (!vtVersandfilialen->List()) return;
        TVRFunctionNFormatList funktionen;
        const auto AddGroupFunction_4_Column = [&](int32_t ASpalte) {
            KOV_Geschuetzt(CName + "AddGroupFunction_4_Column", true,
                           [&] { funktionen.Add({ASpalte, CVersFil_Spalten[ASpalte].GrupFunc}); });
        };
        AddGroupFunction_4_Column(spaGruppenKopf);
        for (int32_t c = 1; c < CVersFil_AnzahlSpalten; ++c)
            if (!IstGruppierSpalte(TVRSpalte(c), FGruppierungAkt)) AddGroupFunction_4_Column(c);
        TArray<int32_t> richtungen;
        for (int32_t s : FGruppierungAkt) richtungen.push_back(CVersFil_Spalten[s].SortRicht);
        GruppierenNachEbenen(
            *vtVersandfilialen, FGruppierungAkt, richtungen, funktionen, FesteSpalten(),
            [this](TVTRDLVRList& AGrid, const TVRGruppierOption& AGruppierung) {
                if (AGrid.List()) GruppensummenInHauswaehrung(*AGrid.List(), FWaehrungsrechner
                                                                                  ? FWaehrungsrechner->Hauswaehrung()
                                                                                  : RDLProgramm().GetWaehrung());
                AGrid.Refresh();
                if (!AGruppierung.empty())
                    AGrid.ColumnCaption_Set(0, QString::fromStdString(Gruppierung_2_String(AGruppierung)));
                AGrid.ExpandAll();
                for (int c = 0; c < CVersFil_AnzahlSpalten; ++c)
                    if (!AGrid.isColumnHidden(c)) {
                        AGrid.resizeColumnToContents(c);
                        if (AGrid.ColumnWidth_Get(c) > 320) AGrid.ColumnWidth_Set(c, 320);
                    }
                AGrid.CollapseAll();
                SortTree();
            });
    });
}

void TKOV_VersFilAuswertFrm::SortTree() {
    KOV_Geschuetzt("SortTree", true, [&] {
        // The first visible column among 1 to 8 orders the rows, if it is not summed.
        for (int c = spaFiliale; c <= spaEK; ++c) {
            if (!vtVersandfilialen->ColumnVisible_Get(c)) continue;
            if (CVersFil_Spalten[c].GrupFunc == TVRFunctionType::vrfNoneToo)
                vtVersandfilialen->SortTree(c, CVersFil_Spalten[c].SortRicht);
            return;
        }
    });
}

// --- export -------------------------------------------------------------------------------------

void TKOV_VersFilAuswertFrm::btnExportierenClick() {
    // The leaf rows; a cancelled dialog is no failure, a failed write is told (1108).
    Bewacht("btnExportierenClick",
            [&] { CSVExportMitGridDialog(*vtVersandfilialen, FesteSpalten(), FGruppierungAkt, -1); });
}

bool TKOV_VersFilAuswertFrm::Liste_Speichern(const std::string& ADateiname) {
    return KOV_GeschuetztWert(CName + "Liste_Speichern", true, false, [&] {
        // An outside program gets no result that the window could not build whole.
        if (!FErgebnisVollstaendig) return false;
        return CSVExportMitSpaltenSchaltung(*vtVersandfilialen, FesteSpalten(), FGruppierungAkt, -1, ADateiname);
    });
}

