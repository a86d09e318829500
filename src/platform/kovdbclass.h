#pragma once
// Keyed record files over the storage interface. A typed file is a table, each of its
// keys an index, each record field a field object with a value and a key value; the
// columns and keys come from the table's definition (rdlschema.h). Reads step a prepared
// statement; field values are decoded from the current row only when asked for.
#include "rdldatenbank.h"
#include "rdltyco.h"
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

class TKOV_DBFile;

// Comparison codes of extended filter terms.
enum : int {
    fvGleich = 1,
    fvGroesser = 2,
    fvKleiner = 3,
    fvUngleich = 4,
    fvGroesserGleich = 5,
    fvKleinerGleich = 6,
};
// Link codes: a term joined to the next one; 0 marks the last term.
enum : int { fkEnde = 0, fkUnd = 1, fkOder = 2 };

// --- fields ----------------------------------------------------------------------

class TDatenfeld {
public:
    // The field AName of the owner's table definition.
    TDatenfeld(TKOV_DBFile& AOwner, const std::string& AName, size_t ASpaltenZahl);
    virtual ~TDatenfeld() = default;
    TDatenfeld(const TDatenfeld&) = delete;
    TDatenfeld& operator=(const TDatenfeld&) = delete;

    const std::string& Name() const { return FName; }
    const std::vector<std::string>& Spalten() const { return FSpalten; }
    TKOV_DBFile& Owner() const { return FOwner; }
    bool IstKeyFilter() const { return FKeyFilter; }

    // Internal to the record layer.
    virtual void WertBinden(IRDLAbfrage& AStmt, int AErsterIndex) const = 0;
    virtual void KeyWertBinden(IRDLAbfrage& AStmt, int AErsterIndex) const = 0;
    virtual void AusZeileLesen(const IRDLAbfrage& AStmt, int AErsteSpalte) = 0;
    virtual void Leeren() = 0;      // value empty, key value lowest, no key filter
    virtual void WertLeeren() = 0;
    virtual std::function<void(IRDLAbfrage&, int)> WertSchnappschuss() const = 0;
    int FErsteSpalte = 0;           // position in the file's select list
    int FCursorSpalte = 0;          // position in the open read's select list, -1: not read
    uint64_t FGeladen = 0;          // row generation the value belongs to

protected:
    void Laden() const;             // decode from the current row when stale
    void Gesetzt();                 // the value was set by the caller
    TKOV_DBFile& FOwner;
    std::string FName;
    std::vector<std::string> FSpalten;
    bool FKeyFilter = false;
};

// How a value type maps onto columns.
template <class T> struct TFeldCodec;

template <class T>
class TDatenfeld_Gen : public TDatenfeld {
public:
    using Codec = TFeldCodec<T>;
    TDatenfeld_Gen(TKOV_DBFile& AOwner, const std::string& AName)
        : TDatenfeld(AOwner, AName, Codec::Spalten), FWert(Codec::Leer()), FKeyWert(Codec::Kleinster()) {}

    const T& GetWert() const { Laden(); return FWert; }
    void SetWert(const T& AWert) { FWert = AWert; Gesetzt(); }
    void SetKeyWert(const T& AWert) { FKeyWert = AWert; }
    // Sets the key part and restricts every read of the search to it.
    void SetKeyWertAndFilter(const T& AWert) { FKeyWert = AWert; FKeyFilter = true; }
    void KeyWertUebernehmen() { SetWert(FKeyWert); }
    void FeldwertAlsKey() { FKeyWert = GetWert(); }
    static T GroessterWert() { return Codec::Groesster(); }

    void WertBinden(IRDLAbfrage& S, int i) const override { Codec::Binden(S, i, GetWert()); }
    void KeyWertBinden(IRDLAbfrage& S, int i) const override { Codec::Binden(S, i, FKeyWert); }
    void AusZeileLesen(const IRDLAbfrage& S, int c) override { Codec::Lesen(S, c, FWert); }
    void Leeren() override { FWert = Codec::Leer(); FKeyWert = Codec::Kleinster(); FKeyFilter = false; Gesetzt(); }
    void WertLeeren() override { FWert = Codec::Leer(); Gesetzt(); }
    std::function<void(IRDLAbfrage&, int)> WertSchnappschuss() const override {
        return [w = GetWert()](IRDLAbfrage& S, int i) { Codec::Binden(S, i, w); };
    }

private:
    mutable T FWert;
    T FKeyWert;
};

// A blob's bytes; kept apart from std::string so that it binds as a blob.
struct TBlobDaten {
    std::string Bytes;
    bool operator==(const TBlobDaten&) const = default;
};

// Field classes by value type. Every field can take part in a key.
using TIntegerDatenfeld = TDatenfeld_Gen<int32_t>;
using TIntegerDatenKeyFeld = TDatenfeld_Gen<int32_t>;
using TSmallIntDatenKeyFeld = TDatenfeld_Gen<int16_t>;
using TFloatDatenfeld = TDatenfeld_Gen<double>;
using TDatumDatenfeld = TDatenfeld_Gen<double>;      // TDateTime
using TDatumDatenKeyFeld = TDatenfeld_Gen<double>;
using TZeitDatenfeld = TDatenfeld_Gen<double>;       // fraction of a day
using TBooleanDatenfeld = TDatenfeld_Gen<bool>;
using TStringDatenfeld = TDatenfeld_Gen<std::string>;
using TStringDatenKeyFeld = TDatenfeld_Gen<std::string>;
using TCharDatenfeld = TDatenfeld_Gen<char>;
using TCharDatenKeyFeld = TDatenfeld_Gen<char>;
using TIntPairDatenfeld = TDatenfeld_Gen<TIntPair>;
using TIntPairDatenKeyFeld = TDatenfeld_Gen<TIntPair>;
using TIntTrioDatenKeyFeld = TDatenfeld_Gen<TIntTrio>;
using TInt32TrioDatenfeld = TDatenfeld_Gen<TInt32Trio>;
using TInt32TrioDatenKeyFeld = TDatenfeld_Gen<TInt32Trio>;
using TBlobDatenfeld = TDatenfeld_Gen<TBlobDaten>;

// --- the record file ---------------------------------------------------------------

class TKOV_DBFile : private IRDLCursor {
public:
    // AOpenMode and AParam are the suite's open arguments (2, -1: read and write).
    TKOV_DBFile(std::string ATabelle, int AOpenMode = 2, int AParam = -1);
    TKOV_DBFile(TRDLDatenbank& ADb, std::string ATabelle, int AOpenMode = 2, int AParam = -1);
    TKOV_DBFile(std::shared_ptr<TRDLDatenbank> ADb, std::string ATabelle, int AOpenMode, int AParam);
    virtual ~TKOV_DBFile();
    TKOV_DBFile(const TKOV_DBFile&) = delete;
    TKOV_DBFile& operator=(const TKOV_DBFile&) = delete;

    const std::string& Tabelle() const { return FTabelle; }
    TRDLDatenbank& Datenbank() const { return FDb; }

    // Search set-up.
    void SucheInit();
    void KeyNr_Set(int AKeyNr);
    void ExtendedFilterAdd(const TDatenfeld& AFeld, int AVergleich, int AVerknuepfung);
    void ExtendedFilterFinalize();
    void ExtendedMaxReceive_Set(int AAnzahl);
    // For the reads of this search only these fields (and the key's) come with each
    // record; another field of a found record is fetched by its position when asked for.
    // A long read of few fields saves the store decoding the others.
    void LeseFelder_Set(std::vector<const TDatenfeld*> AFelder);

    // Reads: true when a record became current. Key filters apply to every read,
    // the extended filter to the _extMode reads.
    bool Get_first();
    bool Get_last();
    bool Get_ge();
    bool Get_le();
    bool Get_eq();
    bool Get_next();
    bool Get_prev();
    bool Get_ge_extMode();
    bool Get_le_extMode();
    bool Get_next_extMode();
    bool Found() const { return FGefunden; }

    // Writes: Insert stores the record buffer as a new record, which becomes current;
    // Update works on the current record.
    void Insert();
    void Update();
    int64_t GetCount();
    // Clears the record buffer (values empty).
    void SatzLeeren();

    void ManualCommit_Set(bool AWert);
    void Commit();
    // Inserts inside a transaction may travel queued on the server store, so that a packet
    // costs no round trip per record. A failed insert (a duplicate key) then surfaces with
    // a later statement or the commit at the latest, and the whole transaction is lost: for
    // packets that fail as a whole anyway.
    void EinfuegenSammeln_Set(bool AWert) { FEinfuegenSammeln = AWert; }

    // The blob's bytes as a stream (read); write by SetWert on the field.
    std::unique_ptr<std::istringstream> CreateBlobStream(const TBlobDatenfeld& AFeld) const;

    // Internal to the record layer.
    uint64_t ZeilenGeneration() const { return FZeilenGen; }
    void FeldLaden(TDatenfeld& AFeld);
    const TRDLFeldDef& FeldRegistrieren(TDatenfeld* AFeld, const std::string& AName);

private:
    enum class TLesart { Erster, Letzter, GE, LE, EQ, Naechster, Vorheriger };
    void Parken() override;
    void ZeileSichern();
    bool Lesen(TLesart AArt, bool AExtMode);
    bool Schritt();
    bool Fortsetzen();
    void CursorSchliessen();
    IRDLAbfrage& StatementFuer(const std::string& ASql);
    std::string SpaltenFuerLesen(const std::vector<const TDatenfeld*>& AKey);
    const std::vector<const TDatenfeld*>& KeyFelder();
    void SatzNachladen(int64_t ARowId);
    int64_t AktRowId();
    void VorSchreiben();
    template <class F> void Schreiben(F&& AAusfuehren);

    std::shared_ptr<TRDLDatenbank> FDbHalter; // keeps the program's database alive
    TRDLDatenbank& FDb;
    std::string FTabelle;
    const TRDLTabellenDef& FDef;
    std::vector<TDatenfeld*> FFelder;
    std::vector<std::vector<const TDatenfeld*>> FKeys; // resolved from the definition on first use
    int FKeyNr = 0;
    int FSpaltenAnzahl = 0;
    std::string FSpaltenListe; // "id, col, ..." in field order

    // Extended filter: each term binds a snapshot of the field's value at add time.
    struct TExtTerm {
        const TDatenfeld* Feld;
        int Vergleich;
        int Verknuepfung;
        std::function<void(IRDLAbfrage&, int)> Binden;
    };
    std::vector<TExtTerm> FExtTerme;
    int FMaxReceive = 0;
    std::vector<const TDatenfeld*> FLeseFelder; // empty: every field

    // Current record and cursor.
    bool FGefunden = false;
    int64_t FAktRowId = 0;
    bool FIdOffen = false; // the current record's insert is queued; AktRowId asks for it
    bool FEinfuegenSammeln = false;
    uint64_t FZeilenGen = 1;
    IRDLAbfrage* FCursor = nullptr;
    bool FCursorVorwaerts = true;
    bool FCursorExt = false;
    bool FCursorFortsetzbar = true; // false for exact reads: the next read re-seeks
    int FCursorGeliefert = 0;       // rows of the whole search
    int64_t FBlockGeliefert = 0;    // rows of the current query
    int64_t FBlockGrenze = 0;       // its LIMIT
    // Where stale fields of the current record come from.
    enum class TQuelle { Keine, Cursor, RowId } FQuelle = TQuelle::Keine;

    std::unordered_map<std::string, std::unique_ptr<IRDLAbfrage>> FStatements;
    std::unique_ptr<IRDLAbfrage> FInsert, FUpdate, FNachladen;
    bool FManualCommit = false;
    int FOpenMode;
};

inline void TDatenfeld::Laden() const {
    if (FGeladen != FOwner.ZeilenGeneration()) FOwner.FeldLaden(const_cast<TDatenfeld&>(*this));
}
inline void TDatenfeld::Gesetzt() { FGeladen = FOwner.ZeilenGeneration(); }

// The two constructors of a typed file over the table ATabelle (in its .cpp).
#define KOV_TYPED_FILE_CTORS(Klasse, ATabelle)                                                \
    Klasse::Klasse(int AOpenMode, int AParam) : TKOV_DBFile(ATabelle, AOpenMode, AParam) {} \
    Klasse::Klasse(TRDLDatenbank& ADb) : TKOV_DBFile(ADb, ATabelle) {}

// Suite helpers for file variables.
template <class F>
bool BtrFile_CreateOpenWN_Clear(std::unique_ptr<F>& AVar, bool /*AExklusiv*/, int AOpenMode, int AParam) {
    if (AVar) {
        AVar->SucheInit();
        return true;
    }
    AVar = std::make_unique<F>(AOpenMode, AParam);
    return true;
}
template <class F>
void BtrFile_CloseFreeAndNil(std::unique_ptr<F>& AVar) { AVar.reset(); }

#include "kovdbcodec.h"
