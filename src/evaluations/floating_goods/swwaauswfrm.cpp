#include "swwaauswfrm.h"

#include "rdldatum.h"
#include "rdldialog.h"
#include "rdlereignis.h"
#include "rdlergebnisdatei.h"
#include "rdlfernsteuerung.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlwaehrung.h"
#include "vrfensterhelfer.h"
#include "vrgruppierung.h"
#include "vrlisthelfer.h"
#include "vtrdlvrlist.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <chrono>

namespace {
const std::string CName = "TKOV_SchwWarefrm.";

std::string Getrimmt(const QLineEdit* AFeld) { return AFeld->text().trimmed().toStdString(); }

// The columns as vrList_init creates them.
struct TSpalte {
    const char* Caption;
    TVRValueType Typ;
    bool Visible;
};
const TSpalte CSpalten[CSW_AnzahlSpalten] = {
    {"Mandant", TVRValueType::vrvtString, true},      {"", TVRValueType::vrvtIntPair, false},
    {"Typ", TVRValueType::vrvtIntPair, true},          {"Lieferant", TVRValueType::vrvtString, true},
    {"", TVRValueType::vrvtIntPair, false},            {"Filiale", TVRValueType::vrvtString, true},
    {"ArtNr/AGANr", TVRValueType::vrvtString, true},   {"Menge", TVRValueType::vrvtInteger, true},
    {"Wert", TVRValueType::vrvtFloat, true},           {"Währung", TVRValueType::vrvtString, true},
    {"Datum", TVRValueType::vrvtDate, true},           {"Barcode", TVRValueType::vrvtString, true},
    {"VorgID", TVRValueType::vrvtString, true},
};
} // namespace

void TKOV_SW::init() {
    KOV_Geschuetzt("TKOV_SW.init", true, [&] {
        VorgangsID = {};
        ProduktID = {};
        Menge = 0;
        EKWert = 0;
        LiefGePNr = CLeeresIntPair;
        Nummer.clear();
        Mandant = TMandant{};
        Barcode.clear();
        Filialen.clear();
    });
}

// --- window -------------------------------------------------------------------------------------

TKOV_SchwWarefrm::TKOV_SchwWarefrm(QWidget* AEltern) : TRDLForm(AEltern, "TKOV_SchwWarefrm") {
    ControlsErzeugen();
    FormCreate();
}

void TKOV_SchwWarefrm::ControlsErzeugen() {
    setWindowTitle(QStringLiteral("Schwimmende Ware"));
    setMinimumSize(680, 450);
    resize(669, 449);
    auto* haupt = new QVBoxLayout(this);

    auto* zeile = new QHBoxLayout;
    lblZeitraum = new QLabel(QStringLiteral("Auswertungszeitraum:"), this);
    zeile->addWidget(lblZeitraum);
    const auto datumsfeld = [this](QLineEdit*& AFeld, QPushButton*& AKnopf, const char* AName) {
        AFeld = new QLineEdit(this);
        AFeld->setObjectName(QString::fromLatin1(AName));
        AFeld->setMaxLength(10);
        AFeld->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
        AFeld->setFixedWidth(AFeld->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
        AKnopf = new QPushButton(QStringLiteral("..."), this);
        AKnopf->setFixedWidth(28);
        AKnopf->setAutoDefault(false);
        AKnopf->setToolTip(QStringLiteral("Kalender"));
    };
    datumsfeld(edtZeitraumVon, btnZeitraumVon, "edtZeitraumVon");
    datumsfeld(edtZeitraumBis, btnZeitraumBis, "edtZeitraumBis");
    zeile->addWidget(edtZeitraumVon);
    zeile->addWidget(btnZeitraumVon);
    zeile->addWidget(new QLabel(QStringLiteral("bis"), this));
    zeile->addWidget(edtZeitraumBis);
    zeile->addWidget(btnZeitraumBis);
    zeile->addStretch(1);
    btnStart = new QPushButton(QStringLiteral("Start"), this);
    btnStop = new QPushButton(QStringLiteral("Abbrechen"), this);
    zeile->addWidget(btnStart);
    zeile->addWidget(btnStop);
    haupt->addLayout(zeile);

    lblStatusanzeige = new QLabel(this);
    lblStatusanzeige->setObjectName(QStringLiteral("lblStatusanzeige"));
    lblStatusanzeige->setAlignment(Qt::AlignCenter);
    haupt->addWidget(lblStatusanzeige);

    vtSchwWare = new TVTRDLVRList(this);
    vtSchwWare->setObjectName(QStringLiteral("vtSchwWare"));
    vtSchwWare->setAlternatingRowColors(true);
    vtSchwWare->setSelectionBehavior(QAbstractItemView::SelectRows);
    vtSchwWare->VertLines_Set(true);
    haupt->addWidget(vtSchwWare, 1);

    auto* unten = new QHBoxLayout;
    btnGruppieren = new QPushButton(QStringLiteral("Gruppieren"), this);
    btnCSVExport = new QPushButton(QStringLiteral("CSV Export"), this);
    unten->addStretch(1);
    unten->addWidget(btnGruppieren);
    unten->addWidget(btnCSVExport);
    haupt->addLayout(unten);
    for (QPushButton* b : {btnStart, btnStop, btnGruppieren, btnCSVExport}) b->setAutoDefault(false);

    connect(btnZeitraumVon, &QPushButton::clicked, this, [this] { btnZeitraumClick(btnZeitraumVon); });
    connect(btnZeitraumBis, &QPushButton::clicked, this, [this] { btnZeitraumClick(btnZeitraumBis); });
    connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
    connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
    connect(btnGruppieren, &QPushButton::clicked, this, [this] { btnGruppierenClick(); });
    connect(btnCSVExport, &QPushButton::clicked, this, [this] { btnCSVExportClick(); });
}

void TKOV_SchwWarefrm::FormCreate() {
    KOV_Geschuetzt(CName + "FormCreate", true, [&] {
        RDLFormInit("KOV_SchwWarefrm", true);
        // Request 2331, in this program and from others (quendrix-remote).
        RDLFernsteuerungEinrichten(this, [this](const std::string& ADatei) { return Liste_Speichern(ADatei); });
        TRDLDatenbank& db = RDLProgramm().Datenbank();
        FArksfile = std::make_unique<Tarksfile>(2, -1);
        FGepFile = std::make_unique<TGepFile>(2, -1);
        FKuliFile = std::make_unique<Tkulifile>(2, -1);
        FFiliaTab = GlobFilialTabelle_GetInstance();
        FMandListeServer = Glob_BasisDatenFactory_Class::MandListeServer_Get();
        FBKListeServer = Glob_WWSServerFactoryClass::BKListeServer_Get();
        FBeleg = Glob_WWSServerFactoryClass::BelegEditServer_Get();
        FArtvToolsDispoWEMani = std::make_unique<TKOV_ArtvLesenToolsDispoWEMani>(db);
        FArtikelnummern = std::make_unique<TRDLArtikelnummern>(db);
        FPhasen = std::make_unique<TRDLPhasen>(db);
        {
            Tlarfile lar(2, -1);
            lar.SucheInit();
            lar.KeyNr_Set(Tlarfile::KeyKennung);
            lar.Kennung.SetKeyWert("SERFASSUNG");
            FLarfileKeyDefiniert = lar.Get_eq();
            FLarfileKey = FLarfileKeyDefiniert ? lar.LarID.GetWert() : TIntTrio{};
        }
        FATPLFile = std::make_unique<Tatplfile>(2, -1);
        FATPBFile = std::make_unique<Tatpbfile>(2, -1);
        FATPKFile = std::make_unique<Tatpkfile>(2, -1);
        FATKFile = std::make_unique<Tatkfile>(2, -1);
        FAZBFile = std::make_unique<Tazbfile>(2, -1);
        FZOFile = std::make_unique<Tzofile>(2, -1);
        vrList_init();
    });
}

TKOV_SchwWarefrm::~TKOV_SchwWarefrm() {
    const std::string trace = CName + "FormDestroy";
    KOV_Geschuetzt(trace, false, [&] { FArksfile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FGepFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FKuliFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FATPLFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FATPBFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FATPKFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FATKFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FAZBFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FZOFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] {
        if (FFiliaTab) GlobFilialTabelle_ReleaseInstance(FFiliaTab);
    });
    KOV_Geschuetzt(trace, false, [&] {
        if (FMandListeServer) Glob_BasisDatenFactory_Class::MandListeServer_Release(FMandListeServer);
    });
    KOV_Geschuetzt(trace, false, [&] {
        if (FBKListeServer) Glob_WWSServerFactoryClass::BKListeServer_Release(FBKListeServer);
    });
    KOV_Geschuetzt(trace, false, [&] {
        if (FBeleg) Glob_WWSServerFactoryClass::BelegEditServer_Release(FBeleg);
    });
    KOV_Geschuetzt(trace, false, [&] { FArtvToolsDispoWEMani.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FArtikelnummern.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FPhasen.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FWaehrungsrechner.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FVRListNG.reset(); });
    KOV_Geschuetzt(trace, false, [&] { vtSchwWare->List_Set(nullptr); });
    RDLInfo().FehlerTerminate(trace, 0, "", "", 0, 0);
}

// --- period -------------------------------------------------------------------------------------

void TKOV_SchwWarefrm::btnZeitraumClick(QPushButton* ASender) {
    Bewacht("btnZeitraumClick", [&] {
        TDateTime d = rdl_Now();
        if (!RDLDialoge().DatumWaehlen(d)) return;
        (ASender == btnZeitraumBis ? edtZeitraumBis : edtZeitraumVon)->setText(QString::fromStdString(DateToStr(d)));
    });
}

// --- start and cancel ---------------------------------------------------------------------------

std::string TKOV_SchwWarefrm::Fortschrittstext(const char* AAnfang) const {
    return std::string(AAnfang) + std::to_string(FStatusElementeGefunden) + "/" + std::to_string(FStatusElementeGeprueft);
}

void TKOV_SchwWarefrm::NachrichtenZulassen() {
    RDLInfo().RDLInfoProcessMessages(300);
    if (OnNachrichtenZulassen) OnNachrichtenZulassen();
}

void TKOV_SchwWarefrm::FortschrittZeigen(bool AImmer) {
    // A label and a pass through the event loop per item would cost more than the item.
    const int64_t jetzt = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    if (AImmer || jetzt - FLetzteAnzeigeMs >= 50) {
        FLetzteAnzeigeMs = jetzt;
        lblStatusanzeige->setText(QString::fromStdString(Fortschrittstext("Auswertung läuft: ")));
        RDLInfo().RDLInfoProcessMessages(300);
    }
    if (OnNachrichtenZulassen) OnNachrichtenZulassen();
}

void TKOV_SchwWarefrm::btnStartClick() {
    bool signalisieren = false;
    Bewacht("btnStartClick", [&] {
        const std::string von = Getrimmt(edtZeitraumVon), bis = Getrimmt(edtZeitraumBis);
        if (von.empty() || bis.empty()) {
            TextMelden("Bitte definieren Sie einen Zeitraum.");
            return;
        }
        FAbbruch = false;
        TDateTime v = 0, b = 0;
        if (!TryStrToDate(von, v) || !TryStrToDate(bis, b)) {
            TextMelden("Bitte geben Sie einen gültigen Zeitraum an.");
            return;
        }
        FMinDate = DateOf(v);
        FMaxDate = DateOf(b) + EncodeTime(23, 59, 59, 999);

        FSW_WE_Liste.Clear();
        FSW_DI_Liste.Clear();
        FSW_AGA_Liste.Clear();
        FSW_SER_Liste.Clear();
        FWE_Vorgaenge.clear();
        FLieferantenNamen.clear();
        FBarcodes.clear();
        FMandantenNachNr.clear();
        FStatusElementeGefunden = 0;
        FStatusElementeGeprueft = 0;
        FErgebnisVollstaendig = false;
        FLoaderFehler = false;
        FDatenfehler = 0;
        FLaeuft = true;
        struct TEnde {
            bool& Laeuft;
            ~TEnde() { Laeuft = false; }
        } ende{FLaeuft};
        FLetzteAnzeigeMs = -1000;
        FortschrittZeigen(true);

        SW_AGA_laden();
        SW_SER_laden();
        SW_DISPO_laden();
        vrList_fuellen();

        FVRListNG = vtSchwWare->List() ? CreateCopyVRList(*vtSchwWare->List()) : nullptr;
        FVRListGruppiert = false;
        if (!FAbbruch) {
            lblStatusanzeige->setText(QString::fromStdString(Fortschrittstext("Auswertung beendet: ")));
            NachrichtenZulassen();
        }
        FErgebnisVollstaendig = FVRListNG && !FAbbruch && !FLoaderFehler;
        signalisieren = true;
        if (FDatenfehler > 0)
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Die Daten enthalten " + std::to_string(FDatenfehler) +
                                   (FDatenfehler == 1 ? " fehlerhafte Angabe" : " fehlerhafte Angaben") +
                                   "; die betroffenen Einträge wurden übergangen oder nur zum Teil gezählt." +
                                   RDLInfo().LogHinweis()},
                                  mkWarnung);
    });
    // After the work indicator ended: a program driving the window reads the result now.
    if (signalisieren) KOV_SetEvent(CKOV_Event_ErgebnisBereit);
}

void TKOV_SchwWarefrm::btnStopClick() {
    KOV_Geschuetzt(CName + "btnStopClick", true, [&] {
        lblStatusanzeige->setText(QString::fromStdString(Fortschrittstext("Auswertung abgebrochen: ")));
        RDLInfo().RDLInfoProcessMessages(300);
        FAbbruch = true;
    });
}

// --- the grid -----------------------------------------------------------------------------------

void TKOV_SchwWarefrm::vrList_init() {
    KOV_Geschuetzt(CName + "vrList_init", true, [&] {
        auto liste = std::make_unique<TVRList>();
        for (int32_t s = 0; s < CSW_AnzahlSpalten; ++s) {
            TVRColumn& c = liste->ColumnAdd();
            c.Caption = CSpalten[s].Caption;
            c.VRType = CSpalten[s].Typ;
            c.Visible = CSpalten[s].Visible;
            c.BWZ = s == swsMenge || s == swsDatum || s == swsVorgID;
            if (s == swsWert) {
                c.FormatType = TVRFormatType::vrftPattern;
                c.FormatStr = "%.2n";
            }
        }
        vtSchwWare->List_Set(std::move(liste));
    });
}

void TKOV_SchwWarefrm::fuelleTyp(TVRList& AListe, TVRArray& AZeile, const TKOV_List<TKOV_SW>& AListeSW,
                                 const char* ATyp) {
    KOV_Geschuetzt("fuelleTyp", true, [&] {
        for (const TKOV_SW& sw : AListeSW) {
            String2VRItem(sw.Mandant.Name, AZeile, swsMandant);
            IntPair2VRItem(sw.Mandant.Key, AZeile, swsMandantKey);
            String2VRItem(ATyp, AZeile, swsTyp);
            String2VRItem(HerstellerName_4_GEPNr(sw.LiefGePNr), AZeile, swsLieferant);
            IntPair2VRItem(sw.LiefGePNr, AZeile, swsLieferantKey);
            String2VRItem(sw.Filialen, AZeile, swsFiliale);
            String2VRItem(sw.ProduktID.IsEmpty() ? sw.Nummer : ProduktID_2_ArtNr_Formatted(sw.ProduktID, false), AZeile,
                          swsNummer);
            Integer2VRItem(sw.Menge, AZeile, swsMenge);
            Float2VRItem(double(sw.EKWert), AZeile, swsWert);
            String2VRItem(sw.Waehrung, AZeile, swsWaehrung);
            Date2VRItem(sw.Datum, AZeile, swsDatum);
            String2VRItem(sw.Barcode, AZeile, swsBarcode);
            IntTrio2VRItem(sw.VorgangsID, AZeile, swsVorgID);
            AListe.RowAdd(AZeile);
        }
    });
}

void TKOV_SchwWarefrm::vrList_fuellen() {
    KOV_Geschuetzt(CName + "vrList_fuellen", true, [&] {
        if (!vtSchwWare->List()) vrList_init();
        {
            const TVTRDLUpdateGuard pause(*vtSchwWare);
            vtSchwWare->List_Change([&](std::unique_ptr<TVRList>& AListe) {
                AListe->RowsClear();
                const std::pair<const TKOV_List<TKOV_SW>*, const char*> arten[] = {
                    {&FSW_WE_Liste, CSW_Typ_WE},
                    {&FSW_DI_Liste, CSW_Typ_DI},
                    {&FSW_AGA_Liste, CSW_Typ_AGA},
                    {&FSW_SER_Liste, CSW_Typ_SER},
                };
                for (const auto& [liste, typ] : arten) {
                    TVRArray zeile = AListe->VRArray_ForRowAdd_Generate();
                    fuelleTyp(*AListe, zeile, *liste, typ);
                }
            });
            for (int32_t s = 0; s < CSW_AnzahlSpalten; ++s) {
                vtSchwWare->ColumnAlignment_Set(s, (s == swsMenge || s == swsWert) ? Qt::AlignRight | Qt::AlignVCenter
                                                                                   : Qt::AlignLeft | Qt::AlignVCenter);
                if (vtSchwWare->ColumnVisible_Get(s)) vtSchwWare->resizeColumnToContents(s);
            }
        }
        NachrichtenZulassen();
    });
}

// --- grouping -----------------------------------------------------------------------------------

void TKOV_SchwWarefrm::GruppensummenUmrechnen(TVRList& AListe) {
    // Amounts of several items are added in the house currency, each at the rate of its day;
    // a group row names its client and supplier as its first item does.
    GruppensummenInHauswaehrung(AListe, *FWaehrungsrechner, {swsWert}, swsWaehrung, swsDatum, false,
                                [](TVRList& L, int32_t AZeile, int, const TVRRow* AErstes) {
                                    if (!AErstes) return;
                                    L.SetCellValue(AZeile, swsMandant, AErstes->Werte[swsMandant]);
                                    if (!L.GetRow(AZeile).Werte[swsLieferantKey].IsEmpty())
                                        L.SetCellValue(AZeile, swsLieferant, AErstes->Werte[swsLieferant]);
                                });
}

void TKOV_SchwWarefrm::btnGruppierenClick() {
    Bewacht("btnGruppierenClick", [&] {
        if (!FVRListNG || FVRListNG->GetRowCount() == 0) return;
        if (FVRListGruppiert) {
            FVRListGruppiert = false;
            vtSchwWare->List_Set(CreateCopyVRList(*FVRListNG));
        } else {
            TVRGroupOptions optionen;
            for (int32_t s : {swsMandantKey, swsTyp, swsLieferantKey, swsNummer}) {
                auto ebene = std::make_unique<TVRSortList>();
                ebene->Add({s, 0});
                optionen.Levels.Add(ebene.release());
            }
            for (int32_t s = 0; s < CSW_AnzahlSpalten; ++s)
                optionen.Functions.Add(
                    {s, (s == swsMenge || s == swsWert) ? TVRFunctionType::vrfSum : TVRFunctionType::vrfNone});
            // Built beside the grid: a missing rate leaves the grid ungrouped.
            std::unique_ptr<TVRList> gruppiert = CreateCopyVRList(*FVRListNG);
            GroupVRList(gruppiert, optionen);
            FWaehrungsrechner = std::make_unique<TRDLWaehrungsrechner>(RDLProgramm().Datenbank());
            GruppensummenUmrechnen(*gruppiert);
            vtSchwWare->List_Set(std::move(gruppiert));
            FVRListGruppiert = true;
        }
        const TVTRDLUpdateGuard pause(*vtSchwWare);
        vtSchwWare->Refresh();
        for (int32_t s = 0; s < CSW_AnzahlSpalten; ++s)
            vtSchwWare->ColumnAlignment_Set(s, (s == swsMenge || s == swsWert) ? Qt::AlignRight | Qt::AlignVCenter
                                                                               : Qt::AlignLeft | Qt::AlignVCenter);
    });
}

// --- export -------------------------------------------------------------------------------------

void TKOV_SchwWarefrm::btnCSVExportClick() {
    Bewacht("btnCSVExportClick", [&] {
        if (!FVRListNG || FVRListNG->GetRowCount() == 0) {
            TextMelden(CAuswertungDurchfuehren);
            return;
        }
        std::string name;
        if (!RDLDialoge().DateiSpeichern(name, GetDirWwsByName(8), {CSVExportDateiTyp()}, true)) return;
        Liste_Speichern(name, false);
    });
}

bool TKOV_SchwWarefrm::Liste_Speichern(const std::string& AName, bool ANurVollstaendig) {
    return KOV_GeschuetztWert(CName + "Liste_Speichern", true, false, [&] {
        // Nobody outside gets a result that is missing, half built or still being built;
        // the user may export what a cancelled run found.
        if (!FVRListNG || FLaeuft || (ANurVollstaendig && !FErgebnisVollstaendig)) {
            RDLInfo().LogSchreiben(CName + "Liste_Speichern: kein vollständiges Ergebnis für " + AName);
            return false;
        }
        std::vector<std::string> zeilen;
        VRlist2StringList(*FVRListNG, zeilen, ';');
        std::string inhalt;
        for (const auto& z : zeilen) inhalt += z + "\r\n";
        RDLErgebnisDateiSchreiben(CSVDateinameAnpassen(AName, TCSVEndungsRegel::Ersetzen), Utf8_2_Windows1252(inhalt));
        return true;
    });
}

void TKOV_SchwWarefrm::VRlist2StringList(const TVRList& AListe, std::vector<std::string>& AZeilen, char ATrenner) {
    std::vector<int32_t> sichtbar;
    for (int32_t s = 0; s < AListe.GetColumnCount(); ++s)
        if (AListe.GetColumn(s).Visible) sichtbar.push_back(s);
    std::string kopf;
    for (int32_t s : sichtbar) kopf += (kopf.empty() ? "" : std::string(1, ATrenner)) + CSVFeld(AListe.GetColumn(s).Caption, ATrenner);
    AZeilen.push_back(kopf);
    std::function<void(const TVRList&)> zeilen = [&](const TVRList& L) {
        for (int32_t i = 0; i < L.GetRowCount(); ++i) {
            std::string z;
            for (size_t k = 0; k < sichtbar.size(); ++k) {
                if (k > 0) z += ATrenner;
                z += CSVFeld(AListe.FormatVRItem(L.GetCellValue(i, sichtbar[k]), sichtbar[k]), ATrenner);
            }
            AZeilen.push_back(std::move(z));
            if (const TVRList* kinder = L.GetRowChild(i)) zeilen(*kinder);
        }
    };
    zeilen(AListe);
}
