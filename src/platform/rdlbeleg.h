#pragma once
// Documents of the suite (tables atk, atpk, atpk_dispo, phase): the phases with their
// client side and number format, the document-header list server (the headers of one
// type and period) and the document server (a document with its positions and the
// dispositions they are assigned to). The server factory hands both out (suitetabellen.h).
#include "rdldatenbank.h"
#include "rdltyco.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Document types (atk.belegtyp).
inline constexpr int32_t CRDL_BelegTyp_Rechnung = 12;
inline constexpr int32_t CRDL_BelegTyp_Gutschriftsanforderung = 15;
// Position types (atpk.postyp).
inline constexpr int32_t CRDL_PosTyp_Artikel = 1;

// --- phases -------------------------------------------------------------------------------

struct TRDL_Phase {
    std::string Kuerzel;       // "RE"
    int32_t Phase = 0;         // the general phase number
    std::string Bezeichnung;
    int32_t MandSVSeite = 1;   // the phase's client side: 2 makes the second party the supplier
    std::string Nummernformat; // see Formatiere_Belegnummer; empty: the default
};

// The phase table, read once per object.
class TRDLPhasen {
public:
    explicit TRDLPhasen(TRDLDatenbank& ADb);
    // nullptr for an abbreviation the table does not hold.
    const TRDL_Phase* PhasenKuerzel_2_AllgPhasPhase(const std::string& AKuerzel) const;

private:
    std::map<std::string, TRDL_Phase, std::less<>> FPhasen;
};

// The client's side of a phase: 1 or 2 (1 for an unknown phase).
int32_t CMand_SV_Seite(const TRDL_Phase* APhase);

enum class TBelegStornoKz { Keins, Storno };
// 'S' marks a reversal document; every other character none.
TBelegStornoKz Char_2_BelegStornoKz(char AZeichen);

// The document number as the phase writes it. The format's fields: {Nr} the number
// (padded with zeros to AStellen digits, 0: as it is), {Jahr} the year, {JJ} its last two
// digits (the year modulo 100), {MM} the month in two digits, {Teil} "/" and the part
// number when it is above 0, {Storno} "S" for a reversal; other text stays as written.
// Without a phase or format: "{Nr}-{JJ}{MM}{Teil}". AZusatz follows after a blank.
std::string Formatiere_Belegnummer(const TRDL_Phase* APhase, TBelegStornoKz AStornoKz, int32_t ABelegNr,
                                   int32_t AJahr, int32_t AMonat, int32_t ATeilNr, const std::string& AZusatz,
                                   int AStellen);

// --- document-header list server ----------------------------------------------------------

// The headers of one type within a period (both bounds included).
struct TRDL_BKSelektion {
    int32_t BelegTyp = 0;
    TDateTime Von = 0;
    TDateTime Bis = 0;
    char Erledigt = 0; // 'N': open ones only, 'J': settled ones only, 0: all
};

// One header as the list gives it.
struct TRDL_BelegKopfZeile {
    TIntTrio VorgangsID;     // the header's key (atk)
    TDateTime Datum = 0;
    TIntPair Lieferant;      // the second party when the phase's client side is 2, else the first
    int32_t MandNr = 0;      // client number
    double Wert = 0;
    std::string Waehrung;    // empty: the house currency
    int32_t BelegNr = 0, Jahr = 0, Monat = 0;
};

class IRDL_BKListeServer {
public:
    virtual ~IRDL_BKListeServer() = default;
    virtual void Selektion_Setzen(const TRDL_BKSelektion& ASelektion) = 0;
    // Reads the headers of the selection, by date and key; raises EDatenbankFehler.
    virtual void Laden() = 0;
    virtual const std::vector<TRDL_BelegKopfZeile>& Zeilen() const = 0;
};

// --- document server ----------------------------------------------------------------------

struct TKOVBelegLaden_Options {
    bool MitDispos = false; // the dispositions of the article positions
    static TKOVBelegLaden_Options None() { return {}; }
};

// A position's assignment to a disposition (the suite's 20-byte entry).
struct TRDL_BelegPosDispo {
    TIntTrio DispoID;
    int32_t Menge = 0;
};

class TRDL_BelegPos {
public:
    virtual ~TRDL_BelegPos() = default;
    TIntTrio AtpkID;
    int32_t PosNr = 0;
    int32_t PosTyp = 0;
};

class TRDL_BelegPosArtikel : public TRDL_BelegPos {
public:
    TInt32Trio ProduktID;
    int32_t Menge = 0;
    std::vector<TRDL_BelegPosDispo> Dispos; // with TKOVBelegLaden_Options::MitDispos
};

struct TRDL_BelegKopf {
    TIntTrio AtkID;
    TIntPair Key() const { return {AtkID.A, AtkID.B}; } // the document's own key
    TDateTime Datum = 0;
    int32_t MandNr = 0;
    int32_t BelegTyp = 0;
    std::string Phase;
};

struct TRDL_Beleg {
    TRDL_BelegKopf Kopf;
    std::vector<std::shared_ptr<const TRDL_BelegPos>> Positionen; // by position number
};

// Walks a document's positions.
class TBelegPosIterator {
public:
    explicit TBelegPosIterator(const TRDL_Beleg& ABeleg) : FBeleg(ABeleg) {}
    void Move_First() { FIndex = 0; }
    void Move_Next() { ++FIndex; }
    bool Eof() const { return FIndex >= FBeleg.Positionen.size(); }
    const TRDL_BelegPos* Current() const { return Eof() ? nullptr : FBeleg.Positionen[FIndex].get(); }

private:
    const TRDL_Beleg& FBeleg;
    size_t FIndex = 0;
};

class IRDL_BelegEditServer {
public:
    virtual ~IRDL_BelegEditServer() = default;
    // Loads the document with header key AVorgangsID; false when there is none (Beleg()
    // then empty). Raises EDatenbankFehler.
    virtual bool Laden(const TIntTrio& AVorgangsID, const TKOVBelegLaden_Options& AOptionen) = 0;
    virtual const TRDL_Beleg& Beleg() const = 0;
    // Reads every document of the selection with its positions in one pass; Laden of one
    // of them then reads nothing more. Kept until the next Vorladen.
    virtual void Vorladen(const TRDL_BKSelektion& ASelektion, const TKOVBelegLaden_Options& AOptionen) = 0;
};
