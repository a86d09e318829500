#include "persrabfrm.h"

#include "beleginfofrm.h"
#include "kovvirtualtreeprinter.h"
#include "rdldatum.h"
#include "rdldialog.h"
#include "rdlereignis.h"
#include "rdlfernsteuerung.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlwaehrung.h"
#include "vrfensterhelfer.h"
#include "vrgruppierung.h"
#include "vtrdlvrlist.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace {
const std::string CName = "TKOV_PersRabfrm.";

struct TSpalte {
    const char* Caption;
    TVRValueType Typ;
    bool Visible;
    bool BWZ;
    bool Rechts;
};
const TSpalte CSpalten[CPR_AnzahlSpalten] = {
    {"Mandant", TVRValueType::vrvtString, true, false, false},
    {"", TVRValueType::vrvtIntPair, false, false, false},
    {"KurzNr", TVRValueType::vrvtInteger, true, true, true},
    {"Name", TVRValueType::vrvtString, true, false, false},
    {"Monat", TVRValueType::vrvtString, true, false, false},
    {"Datum", TVRValueType::vrvtDate, true, true, false},
    {"Vorfall", TVRValueType::vrvtString, true, false, true},
    {"ArtNr", TVRValueType::vrvtString, true, false, false},
    {"Menge", TVRValueType::vrvtInteger, true, true, true},
    {"Ist-VK", TVRValueType::vrvtFloat, true, false, true},
    {"Kassen-VK", TVRValueType::vrvtFloat, true, false, true},
    {"Rabatt", TVRValueType::vrvtFloat, true, false, true},
    {"Währung", TVRValueType::vrvtString, true, false, false},
    {"", TVRValueType::vrvtInteger, false, false, false},
};

// A marked row: its till price could not be read.
const QColor CMarkiert(0xFF, 0xD8, 0xD0);

std::string Getrimmt(const QLineEdit* AFeld) { return AFeld->text().trimmed().toStdString(); }

// (year, month) of "Mär 2024"; (-1, -1) for a text of another form.
std::pair<int, int> MonatJahr(const TVRItem& AWert) {
    if (AWert.Typ() != TVRValueType::vrvtString) return {-1, -1};
    const std::string& t = AWert.AsString();
    const auto blank = t.rfind(' ');
    if (blank == std::string::npos) return {-1, -1};
    int monat = -1;
    for (size_t m = 0; m < C_Monat_ShortText.size(); ++m)
        if (t.compare(0, blank, C_Monat_ShortText[m]) == 0) monat = int(m) + 1;
    int jahr = 0;
    const char* ende = t.data() + t.size();
    if (monat < 0 || std::from_chars(t.data() + blank + 1, ende, jahr).ptr != ende) return {-1, -1};
    return {jahr, monat};
}
} // namespace

int PersRabMonatVergleichen(const TVRItem& A, const TVRItem& B) {
    const auto a = MonatJahr(A), b = MonatJahr(B);
    return a < b ? -1 : (b < a ? 1 : 0);
}

// --- the purchase line ----------------------------------------------------------------------------

void TKOV_PersRabPos::init() {
    KOV_Geschuetzt("TKOV_PersRabPos.init", true, [&] { *this = TKOV_PersRabPos{}; });
}

double TKOV_PersRabPos::Rabatt() const {
    return KOV_GeschuetztWert("TKOV_PersRabPos.Rabatt", true, 0.0, [&] {
        if (IstArtikel && KVK == 0) return 0.0;
        return RDLAufCentRunden(KVK - IVK);
    });
}

// --- window ---------------------------------------------------------------------------------------

TKOV_PersRabfrm::TKOV_PersRabfrm(QWidget* AEltern) : TRDLForm(AEltern, "TKOV_PersRabfrm") {
    ControlsErzeugen();
    FormCreate();
}

void TKOV_PersRabfrm::ControlsErzeugen() {
    setWindowTitle(QStringLiteral("Personalrabatte"));
    setMinimumSize(661, 300);
    resize(900, 520);
    auto* haupt = new QVBoxLayout(this);

    auto* zeile = new QHBoxLayout;
    zeile->addWidget(new QLabel(QStringLiteral("Auswertungszeitraum:"), this));
    const auto datumsfeld = [this](QLineEdit*& AFeld, QPushButton*& AKnopf, const char* AName) {
        AFeld = new QLineEdit(this);
        AFeld->setObjectName(QString::fromLatin1(AName));
        AFeld->setMaxLength(10);
        AFeld->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
        AFeld->setFixedWidth(AFeld->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
        AKnopf = new QPushButton(QStringLiteral("..."), this);
        AKnopf->setFixedWidth(28);
        AKnopf->setToolTip(QStringLiteral("Kalender"));
    };
    datumsfeld(edtVon, btnVon, "edtVon");
    datumsfeld(edtBis, btnBis, "edtBis");
    zeile->addWidget(edtVon);
    zeile->addWidget(btnVon);
    zeile->addWidget(new QLabel(QStringLiteral("bis"), this));
    zeile->addWidget(edtBis);
    zeile->addWidget(btnBis);
    btnStart = new QPushButton(QStringLiteral("Start"), this);
    btnStop = new QPushButton(QStringLiteral("Abbrechen"), this);
    zeile->addWidget(btnStart);
    zeile->addWidget(btnStop);
    zeile->addStretch(1);
    haupt->addLayout(zeile);

    vtPersRab = new TVTRDLVRList(this);
    vtPersRab->setObjectName(QStringLiteral("vtPersRab"));
    vtPersRab->setAlternatingRowColors(true);
    vtPersRab->setSelectionBehavior(QAbstractItemView::SelectRows);
    vtPersRab->VertLines_Set(true);
    haupt->addWidget(vtPersRab, 1);

    auto* unten = new QHBoxLayout;
    btnGruppieren = new QPushButton(QStringLiteral("Gruppieren"), this);
    btnCSVExport = new QPushButton(QStringLiteral("CSV Export"), this);
    btnPrint = new QPushButton(QStringLiteral("&Drucken"), this);
    btnBeenden = new QPushButton(QStringLiteral("&Beenden"), this);
    unten->addWidget(btnGruppieren);
    unten->addWidget(btnCSVExport);
    unten->addWidget(btnPrint);
    unten->addStretch(1);
    unten->addWidget(btnBeenden);
    haupt->addLayout(unten);
    for (QPushButton* b : {btnVon, btnBis, btnStart, btnStop, btnGruppieren, btnCSVExport, btnPrint, btnBeenden})
        b->setAutoDefault(false);
    btnStop->setEnabled(false);
    auto* f9 = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(f9, &QShortcut::activated, this, [this] { btnPrintClick(); });

    connect(btnVon, &QPushButton::clicked, this, [this] { btnZeitraumClick(btnVon); });
    connect(btnBis, &QPushButton::clicked, this, [this] { btnZeitraumClick(btnBis); });
    connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
    connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
    connect(btnGruppieren, &QPushButton::clicked, this, [this] { btnGruppierenClick(); });
    connect(btnCSVExport, &QPushButton::clicked, this, [this] { btnCSVExportClick(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnBeenden, &QPushButton::clicked, this, [this] { btnBeendenClick(); });
    connect(vtPersRab, &QAbstractItemView::doubleClicked, this, [this] { vtPersRabDblClick(); });
}

void TKOV_PersRabfrm::FormCreate() {
    KOV_Geschuetzt(CName + "FormCreate", true, [&] {
        // Request 2331, in this program and from others (quendrix-remote).
        RDLFernsteuerungEinrichten(this, [this](const std::string& ADatei) { return Liste_Speichern(ADatei); });
        RDLFormInit("KOV_PersRabfrm", true);
        TRDLDatenbank& db = RDLProgramm().Datenbank();
        FMitaFile = std::make_unique<Tmitafile>(2, -1);
        FLstFile = std::make_unique<Tlstfile>(2, -1);
        FGepFile = std::make_unique<TGepFile>(2, -1);
        FLfnrFile = std::make_unique<Tlfnrfile>(2, -1);
        FSimplePreisLeser = std::make_unique<TSimplePriceReader>(db);
        FArtikelTools = std::make_unique<TArtikelTools>(db);
        FMandListeServer = Glob_BasisDatenFactory_Class::MandListeServer_Get();
        FFiliaTab = GlobFilialTabelle_GetInstance();
        vtPersRab->OnCellBackground = [this](const TVRList& L, int ARow, int, QColor& AFarbe) {
            return ZeileMarkiert(L, ARow, AFarbe);
        };
        vrList_init();
    });
}

TKOV_PersRabfrm::~TKOV_PersRabfrm() {
    const std::string trace = CName + "FormDestroy";
    KOV_Geschuetzt(trace, false, [&] { FMitaFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FLstFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FGepFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FLfnrFile.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FSimplePreisLeser.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FArtikelTools.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FBelegInfoFrm.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FWaehrungsrechner.reset(); });
    KOV_Geschuetzt(trace, false, [&] { FVRListFlach.reset(); });
    KOV_Geschuetzt(trace, false, [&] {
        if (FMandListeServer) Glob_BasisDatenFactory_Class::MandListeServer_Release(FMandListeServer);
    });
    KOV_Geschuetzt(trace, false, [&] {
        if (FFiliaTab) GlobFilialTabelle_ReleaseInstance(FFiliaTab);
    });
    KOV_Geschuetzt(trace, false, [&] {
        vtPersRab->OnCellBackground = nullptr;
        vtPersRab->List_Set(nullptr);
    });
    RDLInfo().FehlerTerminate(trace, 0, "", "", 0, 0);
}

void TKOV_PersRabfrm::SetButtons(bool ALaeuft) {
    KOV_Geschuetzt(CName + "SetButtons", true, [&] {
        btnStart->setEnabled(!ALaeuft);
        btnStop->setEnabled(ALaeuft);
    });
}

// --- period, start, cancel --------------------------------------------------------------------------

void TKOV_PersRabfrm::btnZeitraumClick(QPushButton* ASender) {
    Bewacht("btnZeitraumClick", [&] {
        TDateTime d = rdl_Now();
        if (!RDLDialoge().DatumWaehlen(d)) return;
        (ASender == btnBis ? edtBis : edtVon)->setText(QString::fromStdString(DateToStr(d)));
    });
}

bool TKOV_PersRabfrm::DatumInRange(TDateTime ADatum) const {
    return KOV_GeschuetztWert(CName + "DatumInRange", true, false,
                              [&] { return FVonDatum <= ADatum && ADatum <= FBisDatum; });
}

void TKOV_PersRabfrm::btnStartClick() {
    bool signalisieren = false;
    Bewacht("btnStartClick", [&] {
        SetButtons(true);
        struct TEnde {
            TKOV_PersRabfrm& F;
            ~TEnde() {
                F.FLaeuft = false;
                F.SetButtons(false);
            }
        } ende{*this};
        FAbbrechen = false;
        int jahr, monat, tag;
        DecodeDate(rdl_Today(), jahr, monat, tag);
        if (Getrimmt(edtVon).empty()) edtVon->setText(QString::fromStdString(DateToStr(EncodeDate(jahr, 1, 1))));
        if (Getrimmt(edtBis).empty()) edtBis->setText(QString::fromStdString(DateToStr(rdl_Today())));
        TDateTime von = 0, bis = 0;
        if (!TryStrToDate(Getrimmt(edtVon), von) || !TryStrToDate(Getrimmt(edtBis), bis)) {
            TextMelden("Bitte geben Sie einen gültigen Zeitraum an.");
            return;
        }
        FVonDatum = DateOf(von);
        FBisDatum = DateOf(bis) + EncodeTime(23, 59, 59, 999);
        FLaeuft = true;
        FErgebnisVollstaendig = false;
        FLeseFehler = false;
        FOhneKassenpreis = 0;
        if (!FAbbrechen) PositionenAuslesen();
        // A cancelled run shows what it read (the user may export it), never to a request.
        vrList_fuellen();
        FErgebnisVollstaendig = !FAbbrechen && !FLeseFehler && vtPersRab->List();
        signalisieren = true;
        if (FOhneKassenpreis > 0)
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Für " + std::to_string(FOhneKassenpreis) +
                                   (FOhneKassenpreis == 1 ? " Verkaufszeile" : " Verkaufszeilen") +
                                   " ließ sich kein Kassenpreis lesen (etwa ohne Größenindex); als Kassen-VK gilt "
                                   "der Ist-VK, die Zeilen sind markiert." +
                                   RDLInfo().LogHinweis()},
                                  mkWarnung);
    });
    // After the work indicator ended: a program driving the window reads the result now.
    if (signalisieren) KOV_SetEvent(CKOV_Event_ErgebnisBereit);
}

void TKOV_PersRabfrm::btnStopClick() {
    KOV_Geschuetzt(CName + "btnStopClick", true, [&] { FAbbrechen = true; });
}

void TKOV_PersRabfrm::btnBeendenClick() {
    FAbbrechen = true;
    Bewacht("btnBeendenClick", [&] { close(); });
}

void TKOV_PersRabfrm::NachrichtenZulassen() {
    RDLInfo().RDLInfoProcessMessages(300);
    if (OnNachrichtenZulassen) OnNachrichtenZulassen();
}

// --- reading --------------------------------------------------------------------------------------

std::string TKOV_PersRabfrm::GetNameZuGEP(const TIntPair& AGepNr) {
    return KOV_GeschuetztWert(CName + "GetNameZuGEP", true, std::string(), [&] {
        FGepFile->SucheInit();
        FGepFile->KeyNr_Set(TGepFile::KeyGepNr);
        FGepFile->GepNr.SetKeyWert(AGepNr);
        if (!FGepFile->Get_eq() || FGepFile->GepNr.GetWert() != AGepNr) return std::string();
        const std::string nachname = FGepFile->Name1.GetWert(), vorname = FGepFile->Name2.GetWert();
        if (vorname.empty()) return nachname;
        if (nachname.empty()) return vorname;
        return vorname + " " + nachname;
    });
}

void TKOV_PersRabfrm::PositionenAuslesen() {
    const bool ok = KOV_Geschuetzt(CName + "PositionenAuslesen", true, [&] {
        FPersRabListe.Clear();
        struct TMita {
            TIntPair GepNr, Mandant;
            int32_t KurzNr;
            TDateTime GueltigBis;
        };
        // The staff file first, whole: a person's receipts under a client without a staff
        // record of theirs go to their first staff record that is read.
        std::vector<TMita> mitas;
        std::map<TIntPair, std::set<TIntPair>> mandantenJePerson;
        FMitaFile->SucheInit();
        FMitaFile->KeyNr_Set(Tmitafile::KeyGepNr);
        for (bool da = FMitaFile->Get_first(); da; da = FMitaFile->Get_next()) {
            mitas.push_back({FMitaFile->GepNr.GetWert(), FMitaFile->Mandant.GetWert(), FMitaFile->KurzNr.GetWert(),
                             FMitaFile->GueltigBis.GetWert()});
            mandantenJePerson[mitas.back().GepNr].insert(mitas.back().Mandant);
        }
        std::set<TIntPair> gelesen;
        for (const TMita& m : mitas) {
            if (m.GueltigBis > 0 && m.GueltigBis < FVonDatum) continue;
            FMitaNameCache = GetNameZuGEP(m.GepNr);
            FMandCache = FMandListeServer ? FMandListeServer->GetMandantByKey(m.Mandant) : TMandant{m.Mandant, {}};
            const bool erster = gelesen.insert(m.GepNr).second;
            LiesVerkaufspositionenZuMitarbeiter(m.GepNr, m.Mandant, m.KurzNr, erster, mandantenJePerson[m.GepNr]);
            if (FAbbrechen) break;
        }
    });
    if (!ok) FLeseFehler = true;
}

void TKOV_PersRabfrm::LiesVerkaufspositionenZuMitarbeiter(const TIntPair& AGepNr, const TIntPair& AMandant,
                                                         int32_t AKurzNr, bool AFremdeMandanten,
                                                         const std::set<TIntPair>& AEigeneMandanten) {
    const bool ok = KOV_Geschuetzt("TKOV_PersRabfrm.PositionenAuslese.LiesVerkaufspositionenZuMitarbeiter", true, [&] {
        struct TBon {
            TIntPair Mandant, BonNr;
            std::string Vorfall;
            int32_t Rechner, TransNr;
        };
        // The receipts first: the lines' reads and the messages let through in between do
        // not keep the receipts' cursor open.
        std::vector<TBon> bons;
        FLfnrFile->SucheInit();
        FLfnrFile->KeyNr_Set(Tlfnrfile::KeyGepNr);
        FLfnrFile->GepNr.SetKeyWertAndFilter(AGepNr);
        for (bool da = FLfnrFile->Get_ge(); da; da = FLfnrFile->Get_next()) {
            const TIntPair mandant = FLfnrFile->Mandant.GetWert();
            // Under another client only when the person has no staff record there.
            if (mandant != AMandant && !(AFremdeMandanten && !AEigeneMandanten.count(mandant))) continue;
            bons.push_back({mandant, FLfnrFile->BonNr.GetWert(), FLfnrFile->Vorfall.GetWert(),
                            FLfnrFile->Rechner.GetWert(), FLfnrFile->TransNr.GetWert()});
        }
        for (const TBon& bon : bons) {
            Tlstfile& lst = *FLstFile;
            lst.SucheInit();
            lst.KeyNr_Set(Tlstfile::KeyTransaktion);
            lst.Mandant.SetKeyWertAndFilter(bon.Mandant);
            lst.Rechner.SetKeyWertAndFilter(bon.Rechner);
            lst.TransNr.SetKeyWertAndFilter(bon.TransNr);
            lst.PosNr.SetKeyWert(0);
            for (bool da = lst.Get_ge(); da; da = lst.Get_next()) {
                if (!DatumInRange(lst.Datum.GetWert())) break;
                TKOV_PersRabPos p;
                p.init();
                p.Mandant = FMandCache;
                p.GepNr = AGepNr;
                p.MitaNr = AKurzNr;
                p.Name = FMitaNameCache;
                p.BonNr = bon.BonNr;
                p.Vorfall = bon.Vorfall;
                p.BelegMandant = bon.Mandant;
                p.Rechner = bon.Rechner;
                p.TransNr = bon.TransNr;
                PositionBilden(p);
                FPersRabListe.Add(p);
            }
            // Between receipts the user's "Abbrechen" gets through.
            NachrichtenZulassen();
            if (FAbbrechen) return;
        }
    });
    if (!ok) {
        FLeseFehler = true;
        FAbbrechen = true; // the lines read so far stay
    }
}

std::string TKOV_PersRabfrm::Waehrung_4_Filiale(int64_t AFiliale) {
    const TFiliale* f = FFiliaTab ? FFiliaTab->Filialen().GetFilialeByNr(int(AFiliale)) : nullptr;
    return f ? f->GetWaehrung() : RDLProgramm().GetWaehrung();
}

void TKOV_PersRabfrm::PositionBilden(TKOV_PersRabPos& P) {
    Tlstfile& lst = *FLstFile;
    P.ProdId = lst.ProdId.GetWert();
    P.Menge = lst.Menge.GetWert();
    P.Datum = lst.Datum.GetWert();
    const std::string satzart = lst.Satzart.GetWert();
    if (satzart == "RS") {
        P.IVK = RDLAufCentRunden(lst.Betrag2.GetWert());
        P.KVK = 0;
        P.Menge = 0;
        P.IstArtikel = false;
    } else if (satzart == "GS") {
        P.IVK = RDLAufCentRunden(lst.Betrag.GetWert());
        P.KVK = RDLAufCentRunden(lst.Betrag2.GetWert());
        P.IstArtikel = false;
    } else {
        P.IVK = RDLAufCentRunden(lst.Betrag.GetWert());
        bool fehler = false;
        const double kvk = RDLAufCentRunden(GetPreis(fehler) * P.Menge);
        P.KVK = std::fabs(kvk) < 0.005 ? P.IVK : kvk;
        if (fehler) {
            P.KeinKassenpreis = true;
            ++FOhneKassenpreis;
        }
    }
    // An empty currency is the branch's, as the tills write it.
    const std::string w = lst.Waehrung.GetWert();
    P.Waehrung = w.empty() ? Waehrung_4_Filiale(lst.Filiale.GetWert()) : w;
}

double TKOV_PersRabfrm::GetPreis(bool& AFehler) {
    const std::string trace = "TKOV_PersRabfrm.PositionenAuslesen.GetPreis";
    try {
        Tlstfile& lst = *FLstFile;
        FSimplePreisLeser->SetProdId(lst.ProdId.GetWert());
        FSimplePreisLeser->SetSelekted(TKOV_Preis_Sys_Mand_Fil::Construct(int16_t(lst.Filiale.GetWert())));
        FSimplePreisLeser->SetDatum(lst.Datum.GetWert());
        // The reader takes an empty currency as the branch's.
        return FSimplePreisLeser->KVK_4_Art_Dat_Fil_GrInd(lst.GrInd.GetWert() - 1, lst.Waehrung.GetWert());
    } catch (const std::exception& E) {
        // A line the till wrote without a size or for an unknown branch: logged, the row
        // marked, the run goes on.
        RDLInfo().RegisterException(trace, E, false);
        AFehler = true;
        return 0;
    }
}

// --- the grid -------------------------------------------------------------------------------------

void TKOV_PersRabfrm::vrList_init() {
    KOV_Geschuetzt(CName + "vrList_init", true, [&] {
        auto liste = std::make_unique<TVRList>();
        for (int32_t s = 0; s < CPR_AnzahlSpalten; ++s) {
            TVRColumn& c = liste->ColumnAdd();
            c.Caption = CSpalten[s].Caption;
            c.VRType = CSpalten[s].Typ;
            c.Visible = CSpalten[s].Visible;
            c.BWZ = CSpalten[s].BWZ;
            if (s >= prsIstVK && s <= prsRabatt) {
                c.FormatType = TVRFormatType::vrftPattern;
                c.FormatStr = "%.2n";
            }
            if (s == prsMonat) {
                // Months in the order of time, not of their names.
                c.CustomOrder = true;
                c.CompareProc = PersRabMonatVergleichen;
            }
        }
        vtPersRab->List_Set(std::move(liste));
    });
}

void TKOV_PersRabfrm::SpaltenAusrichten() {
    for (int32_t s = 0; s < CPR_AnzahlSpalten; ++s)
        vtPersRab->ColumnAlignment_Set(s, CSpalten[s].Rechts ? Qt::AlignRight | Qt::AlignVCenter
                                                             : Qt::AlignLeft | Qt::AlignVCenter);
}

void TKOV_PersRabfrm::vrList_fuellen() {
    KOV_Geschuetzt(CName + "vrList_fuellen", true, [&] {
        if (!vtPersRab->List()) vrList_init();
        {
            const TVTRDLUpdateGuard pause(*vtPersRab);
            vtPersRab->List_Change([&](std::unique_ptr<TVRList>& AListe) {
                // Back to the flat list's columns before the rows are replaced.
                if (FVRListGruppiert && FVRListFlach) AListe = CreateCopyVRList(*FVRListFlach);
                AListe->RowsClear();
                TVRArray z = AListe->VRArray_ForRowAdd_Generate();
                for (int32_t i = 0; i < FPersRabListe.Count(); ++i) {
                    const TKOV_PersRabPos p = FPersRabListe[i];
                    int jahr, monat, tag;
                    DecodeDate(p.Datum, jahr, monat, tag);
                    std::string j = std::to_string(jahr);
                    if (j.size() < 4) j.insert(0, 4 - j.size(), '0');
                    String2VRItem(p.Mandant.Name, z, prsMandant);
                    IntPair2VRItem(p.GepNr, z, prsGepNr);
                    Integer2VRItem(p.MitaNr, z, prsKurzNr);
                    String2VRItem(p.Name, z, prsName);
                    String2VRItem(std::string(C_Monat_ShortText[size_t(monat - 1)]) + " " + j, z, prsMonat);
                    Date2VRItem(p.Datum, z, prsDatum);
                    String2VRItem(p.Vorfall + " " + std::to_string(p.BonNr.A) + " - " + std::to_string(p.BonNr.B), z,
                                  prsVorfall);
                    String2VRItem(FArtikelTools->ProduktID_2_ArtNr_Unformatted(p.ProdId), z, prsArtNr);
                    Integer2VRItem(p.Menge, z, prsMenge);
                    Float2VRItem(p.IVK, z, prsIstVK);
                    Float2VRItem(p.KVK, z, prsKassenVK);
                    Float2VRItem(p.Rabatt(), z, prsRabatt);
                    String2VRItem(p.Waehrung, z, prsWaehrung);
                    Integer2VRItem(i, z, prsIndex);
                    AListe->RowAdd(z);
                }
            });
            vtPersRab->Refresh();
            SpaltenAusrichten();
            vtPersRab->SortTree(prsKurzNr, 0);
            for (int32_t s = 0; s < CPR_AnzahlSpalten; ++s)
                if (vtPersRab->ColumnVisible_Get(s)) vtPersRab->resizeColumnToContents(s);
        }
        FVRListFlach = vtPersRab->List() ? CreateCopyVRList(*vtPersRab->List()) : nullptr;
        FVRListGruppiert = false;
        RDLInfo().RDLInfoProcessMessages(300);
    });
}

bool TKOV_PersRabfrm::ZeileMarkiert(const TVRList& AListe, int ARow, QColor& AFarbe) const {
    if (ARow < 0 || ARow >= AListe.GetRowCount() || AListe.GetRowChild(ARow)) return false;
    const TVRItem& w = AListe.GetCellValue(ARow, prsIndex);
    if (w.Typ() != TVRValueType::vrvtInteger) return false;
    const int64_t i = w.AsInteger();
    if (i < 0 || i >= FPersRabListe.Count() || !FPersRabListe[int32_t(i)].KeinKassenpreis) return false;
    AFarbe = CMarkiert;
    return true;
}

// --- grouping -------------------------------------------------------------------------------------

void TKOV_PersRabfrm::GruppensummenUmrechnen(TVRList& AListe) {
    // Amounts of several lines are added in the house currency, each at the rate of its day;
    // a staff member's group rows name the person as their first line does.
    GruppensummenInHauswaehrung(AListe, *FWaehrungsrechner, {prsIstVK, prsKassenVK, prsRabatt}, prsWaehrung, prsDatum,
                                true, [](TVRList& L, int32_t AZeile, int ATiefe, const TVRRow* AErstes) {
                                    if (!AErstes || ATiefe < 1) return;
                                    L.SetCellValue(AZeile, prsName, AErstes->Werte[prsName]);
                                    L.SetCellValue(AZeile, prsGepNr, AErstes->Werte[prsGepNr]);
                                });
}

void TKOV_PersRabfrm::btnGruppierenClick() {
    bool signalisieren = false;
    Bewacht("btnGruppierenClick", [&] {
        if (!ListeHatZeilen(*vtPersRab) || !FVRListFlach) return;
        const TVTRDLUpdateGuard pause(*vtPersRab);
        if (FVRListGruppiert) {
            vtPersRab->List_Set(CreateCopyVRList(*FVRListFlach));
            FVRListGruppiert = false;
            vtPersRab->Refresh();
            SpaltenAusrichten();
            vtPersRab->SortTree(prsKurzNr, 0);
        } else {
            TVRGroupOptions optionen;
            for (int32_t s : {prsMandant, prsKurzNr, prsMonat}) {
                auto ebene = std::make_unique<TVRSortList>();
                ebene->Add({s, 0});
                optionen.Levels.Add(ebene.release());
            }
            for (int32_t s = 0; s < CPR_AnzahlSpalten; ++s)
                optionen.Functions.Add({s, (s >= prsMenge && s <= prsRabatt) ? TVRFunctionType::vrfSum
                                                                             : TVRFunctionType::vrfNone});
            // Built beside the grid: a missing rate leaves the grid as it was.
            std::unique_ptr<TVRList> gruppiert = CreateCopyVRList(*FVRListFlach);
            GroupVRList(gruppiert, optionen);
            FWaehrungsrechner = std::make_unique<TRDLWaehrungsrechner>(RDLProgramm().Datenbank());
            GruppensummenUmrechnen(*gruppiert);
            vtPersRab->List_Set(std::move(gruppiert));
            FVRListGruppiert = true;
            vtPersRab->Refresh();
            SpaltenAusrichten();
            vtPersRab->CollapseAll();
            vtPersRab->ExpandTree(1);
        }
        signalisieren = true;
    });
    if (signalisieren) KOV_SetEvent(CKOV_Event_ErgebnisBereit);
}

// --- export and print -------------------------------------------------------------------------------

bool TKOV_PersRabfrm::Export_2_CSV(const std::string& ADateiname) {
    return KOV_GeschuetztWert(CName + "Export_2_CSV", true, false, [&] {
        return vtPersRab->Export2CSV_KnownFilename(ADateiname, FVRListGruppiert ? 1 : 0, ';');
    });
}

void TKOV_PersRabfrm::btnCSVExportClick() {
    Bewacht("btnCSVExportClick", [&] {
        // A file that cannot be written is told (1108).
        CSVExportMitEigenemDialog(*vtPersRab, FVRListGruppiert ? 1 : 0, TCSVEndungsRegel::Ersetzen, false,
                                  CAuswertungDurchfuehren);
    });
}

bool TKOV_PersRabfrm::Liste_Speichern(const std::string& ADateiname) {
    return KOV_GeschuetztWert(CName + "HandleMessage", true, false, [&] {
        // Nobody outside gets a result that is missing, cancelled or still being read.
        if (FLaeuft || !FErgebnisVollstaendig || !vtPersRab->List()) {
            RDLInfo().LogSchreiben(CName + "HandleMessage: kein vollständiges Ergebnis für " + ADateiname);
            return false;
        }
        return Export_2_CSV(ADateiname);
    });
}

bool TKOV_PersRabfrm::Baum_Drucken() {
    return KOV_Geschuetzt(CName + "Baum_Drucken", true, [&] {
        TKOV_VirtualTreePrinter drucker(false);
        drucker.Tree_Set(vtPersRab);
        drucker.Titel_Set(QStringLiteral("Personalrabatte"));
        drucker.BemerkungAdd(QString(), QStringLiteral("Auswertungszeitraum: ") + edtVon->text() +
                                            QStringLiteral(" bis ") + edtBis->text());
        drucker.Options_Get().Drucktiefe = FVRListGruppiert ? 1 : 0;
        if (!FDruckPdfDatei.empty()) drucker.PdfDatei_Set(QString::fromStdString(FDruckPdfDatei));
        drucker.VirtualTreeDrucken();
    });
}

void TKOV_PersRabfrm::btnPrintClick() {
    Bewacht("btnPrintClick", [&] {
        if (!ListeHatZeilen(*vtPersRab, CAuswertungDurchfuehren)) return;
        Baum_Drucken();
    });
}

// --- the receipt ----------------------------------------------------------------------------------

void TKOV_PersRabfrm::vtPersRabDblClick() {
    Bewacht("vtPersRabDblClick", [&] {
        const QModelIndex knoten = vtPersRab->GetFirstSelected();
        if (!knoten.isValid() || vtPersRab->Model().hasChildren(knoten)) return;
        const TVRList* liste = vtPersRab->Model().NodeList(knoten);
        if (!liste || knoten.row() >= liste->GetRowCount()) return;
        const TVRItem& w = liste->GetCellValue(knoten.row(), prsIndex);
        if (w.Typ() != TVRValueType::vrvtInteger) return;
        const int64_t i = w.AsInteger();
        if (i < 0 || i >= FPersRabListe.Count()) return;
        const TKOV_PersRabPos p = FPersRabListe[int32_t(i)];
        if (!FBelegInfoFrm) FBelegInfoFrm = std::make_unique<TBelegInfoFrm>(this);
        FBelegInfoFrm->BelegSetzen(p.Vorfall, p.BonNr.A, p.BonNr.B, p.BelegMandant, p.Rechner, p.TransNr);
        if (OnBelegZeigen) OnBelegZeigen(*FBelegInfoFrm);
        else FBelegInfoFrm->exec();
    });
}
