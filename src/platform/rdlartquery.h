#pragma once
// The suite's article query over the stock ledger (tables bestand_anfang, bestand_bewegung
// and the sales lines, docs/schema.md): an article selection, a period whose last day is the
// cut-off, and the levels of the position dimension (client, branch group, branch) it
// iterates. The stock of every key is summed in one grouped statement up to the cut-off and
// the rows are handed on one at a time, never collected.
//
// Also the settings contexts of the suite (TContextSatz) under which dialogs keep their
// values per workstation (table globaldef), and the selection helper that keeps an article
// selection under one.
#include "kovdateutils.h"
#include "rdldatenbank.h"
#include "rdltyco.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// --- settings contexts -------------------------------------------------------------------

// Where a dialog keeps its values: language, area and name with their numbers, and a text
// that receives the workstation identifier before use.
struct TContextSatz {
    std::string Sprache;
    int32_t Nr1 = 0;
    std::string Bereich;
    int32_t Nr2 = 0;
    std::string Name;
    int32_t Wert1 = 0, Wert2 = 0, Wert3 = 0;
    std::string Text;
    // The section in globaldef: "DEU;1;2;VALUES;0;0;0".
    std::string Sektion() const;
    // The context with this workstation (RDLInfoTerminalID) as its text.
    TContextSatz MitArbeitsplatz() const;
};

// The last period setting of the period dialog.
inline const TContextSatz CRDL_CONTEXT_ZEITRAUM_LETZTEEINSTELLUNG{"DEU", 1, "ZEITRAUM", 1, "LETZTEEINSTELLUNG", 0, 0, 0, ""};

// The article selection of the stock export.
inline const TContextSatz CRDL_CONTEXT_ARTBEST_SELEKTION{"DEU", 1, "CSVEXPRT", 2, "VALUES", 0, 0, 0, ""};

// The values stored under a context (its Text names the workstation); empty when none.
// ADb nullptr: the program's database.
std::map<std::string, std::string> RDLKontextLesen(const TContextSatz& AKontext, TRDLDatenbank* ADb = nullptr);
// Replaces them in one transaction.
void RDLKontextSchreiben(const TContextSatz& AKontext, const std::map<std::string, std::string>& AWerte,
                         TRDLDatenbank* ADb = nullptr);

// --- the selection -----------------------------------------------------------------------

enum class TRDL_SegFeldArt { Text, Liste, Schalter };

// One field of a query's selection, as a dialog shows it and a context stores it.
struct TRDL_SegFeldCtrlInfo {
    std::string Name;    // key in the context: "ARTNRVON"
    std::string Anzeige; // caption: "Artikelnummer von"
    TRDL_SegFeldArt Art = TRDL_SegFeldArt::Text;
};
using TRDL_SegFeldCtrlInfoArray = std::vector<TRDL_SegFeldCtrlInfo>;

struct TRDL_ArtSelektion {
    std::string ArtNrVon, ArtNrBis;   // article numbers as printed, compared bytewise; empty: open
    std::vector<int32_t> Warengruppen; // empty: all
    std::vector<TIntPair> Lieferanten; // supplier partner keys; empty: all
    std::vector<int32_t> Filialen;     // branch numbers; empty: every stock-keeping branch
    bool MitNullbestand = false;       // rows whose stock at the cut-off is 0 as well

    // The values by field name (TRDL_ArtQueryArtv's fields) and back; AusWerten raises
    // EConvertError with a German text for a value it cannot read.
    std::map<std::string, std::string> Werte() const;
    static TRDL_ArtSelektion AusWerten(const std::map<std::string, std::string>& AWerte);
    bool operator==(const TRDL_ArtSelektion&) const = default;
};

// --- the query ---------------------------------------------------------------------------

// Levels of the position dimension: the whole installation, a client, a branch group, a branch.
enum TRDL_OLAPDIM_Pos_MFgF_Iterator_Stufe { opsGesamt = 0, opsMandant = 1, opsFilialgruppe = 2, opsFiliale = 3 };
using TRDL_OLAPDIM_Pos_MFgF_Stufen = std::set<TRDL_OLAPDIM_Pos_MFgF_Iterator_Stufe>;

// One row: an article in one colour and size at one position level.
struct TRDL_ArtBestandZeile {
    TRDL_OLAPDIM_Pos_MFgF_Iterator_Stufe Stufe = opsFiliale;
    TInt32Trio ProduktID;
    std::string ArtNr, Bezeichnung, Farbe, Lieferant, Groesse;
    int32_t Warengruppe = 0;
    int32_t GrInd = 0;
    TIntPair Mandant;    // empty at the level opsGesamt
    std::string MandantName;
    int32_t Filiale = 0; // 0 above the level opsFiliale
    // Pieces: before the period (with every opening stock), received, sold, transferred or
    // corrected in it, and at the end of its last day (the cut-off).
    int64_t Anfang = 0, Zugang = 0, Verkauf = 0, Korrektur = 0, Bestand = 0;
    double EK = 0; // purchase price of the article in the house currency
};
// Called per row in order; false stops the run.
using TRDL_QueryZeilenProc = std::function<bool(const TRDL_ArtBestandZeile& AZeile)>;

class IRDL_Query {
public:
    virtual ~IRDL_Query() = default;
    virtual void Selektion_Set(const TRDL_ArtSelektion& ASelektion) = 0;
    virtual const TRDL_ArtSelektion& Selektion_Get() const = 0;
    virtual void Zeitraum_Set(const TKOV_VonBisDatum& AZeitraum) = 0;
    virtual const TKOV_VonBisDatum& Zeitraum_Get() const = 0;
    // The selection fields the query takes.
    virtual TRDL_SegFeldCtrlInfoArray SegFeldCtrlInfoArray() const = 0;
    // Runs the query; returns the rows handed on. Raises EDatenbankFehler, and
    // EArgumentOutOfRangeException for a period without days.
    virtual int64_t Durchlaufen(const TRDL_QueryZeilenProc& AProc) = 0;
};

// The article query on the stock ledger. Rows come ordered by article number, product key
// and size; within one article size each client's branches come before the client's row,
// and the row of the whole comes last.
class TRDL_ArtQueryArtv : public IRDL_Query {
public:
    // ADb nullptr: the program's database.
    explicit TRDL_ArtQueryArtv(TRDLDatenbank* ADb = nullptr) : FDb(ADb) {}

    void Selektion_Set(const TRDL_ArtSelektion& ASelektion) override { FSelektion = ASelektion; }
    const TRDL_ArtSelektion& Selektion_Get() const override { return FSelektion; }
    void Zeitraum_Set(const TKOV_VonBisDatum& AZeitraum) override { FZeitraum = AZeitraum; }
    const TKOV_VonBisDatum& Zeitraum_Get() const override { return FZeitraum; }
    TRDL_SegFeldCtrlInfoArray SegFeldCtrlInfoArray() const override;
    int64_t Durchlaufen(const TRDL_QueryZeilenProc& AProc) override;

    // The levels iterated (default: the branch alone). The installation keeps no branch
    // groups, so opsFilialgruppe gives no rows.
    void OLAPDIM_Pos_MFgF_Stufen_Set(const TRDL_OLAPDIM_Pos_MFgF_Stufen& AStufen) { FStufen = AStufen; }
    const TRDL_OLAPDIM_Pos_MFgF_Stufen& OLAPDIM_Pos_MFgF_Stufen_Get() const { return FStufen; }

private:
    TRDLDatenbank* FDb;
    TRDL_ArtSelektion FSelektion;
    TKOV_VonBisDatum FZeitraum;
    TRDL_OLAPDIM_Pos_MFgF_Stufen FStufen{opsFiliale};
};

// --- the selection helper ------------------------------------------------------------------

// Keeps a query's selection per workstation under a settings context.
class TArtvSeleingHelper {
public:
    explicit TArtvSeleingHelper(TContextSatz AKontext) : FKontext(std::move(AKontext)) {}

    void Query_Set(std::shared_ptr<IRDL_Query> AQuery) { FQuery = std::move(AQuery); }
    void SetSegFeldCtrlInfoArray(TRDL_SegFeldCtrlInfoArray AFelder) { FFelder = std::move(AFelder); }
    const TRDL_SegFeldCtrlInfoArray& SegFeldCtrlInfoArray() const { return FFelder; }

    // The workstation's stored selection into the query; false when none is stored.
    // Raises EConvertError for a stored value that cannot be read.
    bool Laden();
    // Stores ASelektion for the workstation and hands it to the query.
    void Speichern(const TRDL_ArtSelektion& ASelektion);
    // The context with this workstation filled in.
    TContextSatz Kontext() const;

private:
    TContextSatz FKontext;
    std::shared_ptr<IRDL_Query> FQuery;
    TRDL_SegFeldCtrlInfoArray FFelder;
};
