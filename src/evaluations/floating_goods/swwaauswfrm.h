#pragma once
// The floating-goods window ("Schwimmende Ware"): for a period the unchecked goods
// receipts, the dispositions assigned to an invoice whose goods had not arrived, the open
// credit requests and the quick-captured invoices, grouped on demand and exported as a
// ";"-separated file. The loaders are in swwaauswlader.cpp, the options for runs without
// a user in swwaauswstapel.cpp.
#include "kov_generics_collections.h"
#include "kovdbfiles_ausw.h"
#include "rdlartikel.h"
#include "rdlbeleg.h"
#include "rdlform.h"
#include "rdlstapellauf.h"
#include "suitetabellen.h"
#include "vrlist.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class TVTRDLVRList;
class TRDLWaehrungsrechner;

// One floating-goods item.
struct TKOV_SW {
    TIntTrio VorgangsID;
    TInt32Trio ProduktID;   // empty: no article
    int32_t Menge = 0;
    long double EKWert = 0; // purchase value
    std::string Waehrung;   // empty: the house currency
    TIntPair LiefGePNr;     // supplier
    std::string Nummer;     // document number as shown
    TMandant Mandant;
    TDateTime Datum = 0;
    std::string Barcode;
    std::string Filialen;   // "3, 7"

    // Clears every field but Waehrung and Datum.
    void init();
};

// Items are compared by their process key.
template <>
struct TKOV_DefaultComparer<TKOV_SW> {
    static int Compare(const TKOV_SW& A, const TKOV_SW& B) {
        return A.VorgangsID < B.VorgangsID ? -1 : (B.VorgangsID < A.VorgangsID ? 1 : 0);
    }
};

// The kind texts of column 2, in fill order.
inline constexpr const char* CSW_Typ_WE = "nicht kontrollierter WE";
inline constexpr const char* CSW_Typ_DI = "einer Rechnung zugewiesene Dispo";
inline constexpr const char* CSW_Typ_AGA = "offene Gutschriftsanforderung";
inline constexpr const char* CSW_Typ_SER = "Schnellerfasste Rechnung";

// Columns of the result list.
enum : int32_t {
    swsMandant = 0,
    swsMandantKey = 1,
    swsTyp = 2,
    swsLieferant = 3,
    swsLieferantKey = 4,
    swsFiliale = 5,
    swsNummer = 6,
    swsMenge = 7,
    swsWert = 8,
    swsWaehrung = 9,
    swsDatum = 10,
    swsBarcode = 11,
    swsVorgID = 12,
};
inline constexpr int32_t CSW_AnzahlSpalten = 13;

class TKOV_SchwWarefrm : public TRDLForm, public IRDLStapelFenster {
    Q_OBJECT
public:
    explicit TKOV_SchwWarefrm(QWidget* AEltern = nullptr);
    ~TKOV_SchwWarefrm() override; // FormDestroy

    // Controls.
    QLabel* lblZeitraum;
    QLineEdit* edtZeitraumVon;
    QLineEdit* edtZeitraumBis;
    QPushButton* btnZeitraumVon;
    QPushButton* btnZeitraumBis;
    QLabel* lblStatusanzeige;
    QPushButton* btnStart;
    QPushButton* btnStop;
    QPushButton* btnGruppieren;
    QPushButton* btnCSVExport;
    TVTRDLVRList* vtSchwWare;

    // Handlers, callable like the events that trigger them.
    void btnZeitraumClick(QPushButton* ASender);
    void btnStartClick();
    void btnStopClick();
    void btnGruppierenClick();
    void btnCSVExportClick();

    // Writes the ungrouped result to AName (its extension made ".csv"); true when written.
    // With ANurVollstaendig (an outside request) only a result that was built whole.
    bool Liste_Speichern(const std::string& AName, bool ANurVollstaendig = true);
    // The lines of a list: the visible captions, then per row its visible cells.
    static void VRlist2StringList(const TVRList& AListe, std::vector<std::string>& AZeilen, char ATrenner);

    // State for callers and tests.
    const TVRList* VRListNG() const { return FVRListNG.get(); }
    bool VRListGruppiert() const { return FVRListGruppiert; }
    bool ErgebnisVollstaendig() const { return FErgebnisVollstaendig; }
    bool Laeuft() const { return FLaeuft; }
    int32_t StatusElementeGefunden() const { return FStatusElementeGefunden; }
    int32_t StatusElementeGeprueft() const { return FStatusElementeGeprueft; }
    int32_t DatenfehlerAnzahl() const { return FDatenfehler; }
    // Called at every point where a loader lets messages through (tests cancel or close there).
    std::function<void()> OnNachrichtenZulassen;

    // Runs from the command line.
    QObject& StapelZiel() override { return *this; }
    std::vector<TRDLStapelOption> StapelOptionen() override;
    void StapelVorgaben() override;
    bool StapelPruefen(std::string& AFehler) override;
    bool StapelSelektion() override;
    bool StapelDrucken(const std::string& APdfDatei) override;
    bool StapelKannDrucken() const override { return false; }

private:
    void ControlsErzeugen();
    void FormCreate();
    void vrList_init();
    void vrList_fuellen();
    void fuelleTyp(TVRList& AListe, TVRArray& AZeile, const TKOV_List<TKOV_SW>& AListeSW, const char* ATyp);
    void GruppensummenUmrechnen(TVRList& AListe);

    // Loaders (swwaauswlader.cpp).
    void SW_AGA_laden();
    void SW_SER_laden();
    void SW_DISPO_laden();
    bool StelleATKFileEin(const TIntTrio& AAtpbID);
    void WEHinzufuegen(const TIntTrio& AVorgangsID);
    bool DispoHinzufuegen(const TIntPair& ABelegKey, const TIntTrio& ADispo, TDateTime ADatum);
    bool SW_Detail_setzen(TKOV_SW& ASW, const TKOV_DispoWE_Info& ADetails);
    // A record the suite's other programs wrote wrong (a missing document header, an unknown
    // branch, a size index beyond 1..100): logged under ATraceName, counted, told once at
    // the end of the run. The run goes on with what can be read.
    void Datenfehler(const std::string& ATraceName, const std::string& AText);
    bool SchluesselPasst();
    std::string Barcode_4_Vorgang(const TIntTrio& AVorgangsID);
    std::string HerstellerName_4_GEPNr(const TIntPair& AGepNr);
    TMandant Mandant_4_MandNr(int32_t AMandNr);
    TMandant Mandant_4_Filiale(int16_t AFiliale);
    std::string ProduktID_2_ArtNr_Formatted(const TInt32Trio& AProduktID, bool AMitFarbe);
    std::string Fortschrittstext(const char* AAnfang) const;
    // Shows the progress and lets messages through, at most every 50 ms unless AImmer.
    void FortschrittZeigen(bool AImmer = false);
    void NachrichtenZulassen();

    // Own fields.
    bool FAbbruch = false;
    int32_t FStatusElementeGefunden = 0;
    int32_t FStatusElementeGeprueft = 0;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TKOV_List<TKOV_SW> FSW_WE_Liste;
    TKOV_List<TKOV_SW> FSW_DI_Liste;
    TKOV_List<TKOV_SW> FSW_AGA_Liste;
    TKOV_List<TKOV_SW> FSW_SER_Liste;
    std::unique_ptr<TVRList> FVRListNG;
    bool FVRListGruppiert = false;
    TIntTrio FLarfileKey;
    bool FLarfileKeyDefiniert = false;

    std::unique_ptr<Tarksfile> FArksfile;
    std::unique_ptr<TGepFile> FGepFile;
    std::unique_ptr<Tkulifile> FKuliFile;
    std::unique_ptr<Tatplfile> FATPLFile;
    std::unique_ptr<Tatpbfile> FATPBFile;
    std::unique_ptr<Tatpkfile> FATPKFile;
    std::unique_ptr<Tatkfile> FATKFile;
    std::unique_ptr<Tazbfile> FAZBFile;
    std::unique_ptr<Tzofile> FZOFile;
    TFilialTabelle* FFiliaTab = nullptr;
    IRDL_MandListeServer* FMandListeServer = nullptr;
    IRDL_BKListeServer* FBKListeServer = nullptr;
    IRDL_BelegEditServer* FBeleg = nullptr;
    std::unique_ptr<TKOV_ArtvLesenToolsDispoWEMani> FArtvToolsDispoWEMani;
    std::unique_ptr<TRDLArtikelnummern> FArtikelnummern;
    std::unique_ptr<TRDLPhasen> FPhasen;
    std::unique_ptr<TRDLWaehrungsrechner> FWaehrungsrechner; // the rates of the last grouping

    // Look-ups of one run.
    std::set<TIntTrio> FWE_Vorgaenge;                 // the duplicate check of the goods receipts
    std::map<TIntPair, std::string> FLieferantenNamen;
    std::map<std::string, std::string> FBarcodes;     // by the trio's text
    std::map<int32_t, TMandant> FMandantenNachNr;

    bool FErgebnisVollstaendig = false; // the last run found everything it looked for
    bool FLoaderFehler = false;         // a loader or an item failed in the current run
    int32_t FDatenfehler = 0;
    bool FLaeuft = false;
    int64_t FLetzteAnzeigeMs = -1000;
};
