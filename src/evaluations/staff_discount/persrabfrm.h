#pragma once
// The staff discount window ("Personalrabatte"): for a period every purchase that staff
// members made at the tills, with what they paid, the till's price of that day and the
// discount between them; grouped by client, staff member and month on demand, printed,
// exported, and a receipt's lines on double click. The options for runs without a user
// are in persrabstapel.cpp.
#include "kov_generics_collections.h"
#include "kovdbfiles.h"
#include "kovdbfiles_ausw.h"
#include "rdlform.h"
#include "rdlpreis.h"
#include "rdlstapellauf.h"
#include "suitetabellen.h"
#include "vrlist.h"

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class TVTRDLVRList;
class TBelegInfoFrm;
class TRDLWaehrungsrechner;

// One purchase line.
struct TKOV_PersRabPos {
    TMandant Mandant;        // the staff member's client
    TIntPair GepNr;
    int32_t MitaNr = 0;
    std::string Name;
    TDateTime Datum = 0;
    std::string Vorfall;
    TIntPair BonNr;
    TInt32Trio ProdId;
    int32_t Menge = 0;
    double IVK = 0;          // paid, to the cent
    double KVK = 0;          // the till's price of the line, to the cent
    std::string Waehrung;    // never empty: the line's, else its branch's
    bool IstArtikel = true;
    // Where the receipt's lines are (for the receipt window).
    TIntPair BelegMandant;
    int32_t Rechner = 0;
    int32_t TransNr = 0;
    // The line's till price could not be read (no size index, an unknown branch): the
    // fault is registered and the row marked.
    bool KeinKassenpreis = false;

    void init();
    double Rabatt() const;
};

// Lines have no order of their own: a list keeps them in reading order.
template <>
struct TKOV_DefaultComparer<TKOV_PersRabPos> {
    static int Compare(const TKOV_PersRabPos& A, const TKOV_PersRabPos& B) {
        return A.Datum < B.Datum ? -1 : (B.Datum < A.Datum ? 1 : 0);
    }
};

// Columns of the result list.
enum : int32_t {
    prsMandant = 0,
    prsGepNr = 1,
    prsKurzNr = 2,
    prsName = 3,
    prsMonat = 4,
    prsDatum = 5,
    prsVorfall = 6,
    prsArtNr = 7,
    prsMenge = 8,
    prsIstVK = 9,
    prsKassenVK = 10,
    prsRabatt = 11,
    prsWaehrung = 12,
    prsIndex = 13,
};
inline constexpr int32_t CPR_AnzahlSpalten = 14;

// "Apr 2024" and "Dez 2023" in the order of time; a text that is no month comes first.
int PersRabMonatVergleichen(const TVRItem& A, const TVRItem& B);

class TKOV_PersRabfrm : public TRDLForm, public IRDLStapelFenster {
    Q_OBJECT
public:
    explicit TKOV_PersRabfrm(QWidget* AEltern = nullptr);
    ~TKOV_PersRabfrm() override; // FormDestroy

    // Controls.
    QLineEdit* edtVon;
    QLineEdit* edtBis;
    QPushButton* btnVon;
    QPushButton* btnBis;
    QPushButton* btnStart;
    QPushButton* btnStop;
    QPushButton* btnGruppieren;
    QPushButton* btnCSVExport;
    QPushButton* btnPrint;
    QPushButton* btnBeenden;
    TVTRDLVRList* vtPersRab;

    // Handlers, callable like the events that trigger them.
    void btnStartClick();
    void btnStopClick();
    void btnBeendenClick();
    void btnZeitraumClick(QPushButton* ASender);
    void btnGruppierenClick();
    void btnCSVExportClick();
    void btnPrintClick();
    void vtPersRabDblClick();

    // Message 2331: the current result as "CSV Export" writes it into ADateiname (the
    // name kept as given); false while a selection runs or without a whole result.
    bool Liste_Speichern(const std::string& ADateiname);

    // State for callers and tests.
    const TKOV_List<TKOV_PersRabPos>& PersRabListe() const { return FPersRabListe; }
    bool VRListGruppiert() const { return FVRListGruppiert; }
    bool ErgebnisVollstaendig() const { return FErgebnisVollstaendig; }
    bool Laeuft() const { return FLaeuft; }
    int32_t OhneKassenpreisAnzahl() const { return FOhneKassenpreis; }
    // Called after each receipt, where the reading lets messages through.
    std::function<void()> OnNachrichtenZulassen;
    // How the receipt window is shown (modally unless replaced).
    std::function<void(TBelegInfoFrm& AFenster)> OnBelegZeigen;
    // Target of the next print without dialogs (batch runs).
    void DruckPdfDatei_Set(const std::string& APfad) { FDruckPdfDatei = APfad; }

    // Runs from the command line.
    QObject& StapelZiel() override { return *this; }
    std::vector<TRDLStapelOption> StapelOptionen() override;
    void StapelVorgaben() override;
    bool StapelSelektion() override;
    bool StapelDrucken(const std::string& APdfDatei) override;

private:
    void ControlsErzeugen();
    void FormCreate();
    void SetButtons(bool ALaeuft);
    bool DatumInRange(TDateTime ADatum) const;
    std::string GetNameZuGEP(const TIntPair& AGepNr);
    void PositionenAuslesen();
    // AFremdeMandanten: also the receipts under clients the person has no staff record of.
    void LiesVerkaufspositionenZuMitarbeiter(const TIntPair& AGepNr, const TIntPair& AMandant, int32_t AKurzNr,
                                             bool AFremdeMandanten, const std::set<TIntPair>& AEigeneMandanten);
    void PositionBilden(TKOV_PersRabPos& APos);
    void NachrichtenZulassen();
    double GetPreis(bool& AFehler);
    std::string Waehrung_4_Filiale(int64_t AFiliale);
    void vrList_init();
    void vrList_fuellen();
    void GruppensummenUmrechnen(TVRList& AListe);
    void SpaltenAusrichten();
    bool Export_2_CSV(const std::string& ADateiname);
    bool Baum_Drucken();
    bool ZeileMarkiert(const TVRList& AListe, int ARow, QColor& AFarbe) const;

    TDateTime FVonDatum = 0;
    TDateTime FBisDatum = 0;
    std::unique_ptr<Tmitafile> FMitaFile;
    std::unique_ptr<Tlstfile> FLstFile;
    std::unique_ptr<TGepFile> FGepFile;
    std::unique_ptr<Tlfnrfile> FLfnrFile;
    std::unique_ptr<TSimplePriceReader> FSimplePreisLeser;
    std::unique_ptr<TArtikelTools> FArtikelTools;
    TKOV_List<TKOV_PersRabPos> FPersRabListe;
    IRDL_MandListeServer* FMandListeServer = nullptr;
    TFilialTabelle* FFiliaTab = nullptr;
    bool FVRListGruppiert = false;
    std::unique_ptr<TVRList> FVRListFlach; // the rows of the last fill, for ungrouping
    std::string FMitaNameCache;
    TMandant FMandCache;
    bool FAbbrechen = false;
    std::unique_ptr<TBelegInfoFrm> FBelegInfoFrm;
    std::unique_ptr<TRDLWaehrungsrechner> FWaehrungsrechner;

    bool FLaeuft = false;
    bool FErgebnisVollstaendig = false;
    bool FLeseFehler = false;
    int32_t FOhneKassenpreis = 0;
    std::string FDruckPdfDatei;
    bool FStapelGruppiert = false;
};
