#pragma once
// The typed record files of the suite that this program reads and writes.
// Key numbers are the positions of the keys; docs/schema.md lists the tables.
#include "kovdbclass.h"

// An integer column read as 64 bits. The suite's values are 32 bits wide, and PostgreSQL
// keeps them so; SQLite stores a wider one as written, which must reach the rule check
// whole instead of wrapping into a valid number. The lowest and highest key values stay
// those of 32 bits, which both stores compare with.
class TWeiteGanzzahlDatenKeyFeld : public TDatenfeld_Gen<int64_t> {
public:
    TWeiteGanzzahlDatenKeyFeld(TKOV_DBFile& AOwner, const std::string& AName) : TDatenfeld_Gen(AOwner, AName) {
        SetKeyWert(KleinsterWert());
    }
    static int64_t KleinsterWert() { return std::numeric_limits<int32_t>::min(); }
    static int64_t GroessterWert() { return std::numeric_limits<int32_t>::max(); }
    void Leeren() override {
        TDatenfeld_Gen::Leeren();
        SetKeyWert(KleinsterWert());
    }
};

// Sales lines (table lst), written by the tills and order entry.
class Tlstfile : public TKOV_DBFile {
public:
    static constexpr int KeyTransaktion = 0; // Mandant, Rechner, TransNr, PosNr
    static constexpr int KeyDatum = 1;       // Datum, Filiale

    explicit Tlstfile(int AOpenMode = 2, int AParam = -1);
    explicit Tlstfile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntegerDatenKeyFeld Rechner{*this, "Rechner"};
    // The two numbers the statistics key on come whole: a value out of the rules
    // (docs/schema.md) is told, never counted as another.
    TWeiteGanzzahlDatenKeyFeld TransNr{*this, "TransNr"};
    TIntegerDatenKeyFeld PosNr{*this, "PosNr"};
    TDatumDatenKeyFeld Datum{*this, "Datum"};
    TZeitDatenfeld Uhrzeit{*this, "Uhrzeit"};
    TWeiteGanzzahlDatenKeyFeld Filiale{*this, "Filiale"};
    TStringDatenfeld Satzart{*this, "Satzart"};
    TInt32TrioDatenfeld ProdId{*this, "ProdId"};
    TStringDatenfeld ArtNr{*this, "ArtNr"};
    TIntegerDatenfeld GrInd{*this, "GrInd"};      // size index, 1-based
    TIntegerDatenfeld VerkNr{*this, "VerkNr"};    // seller number
    TIntegerDatenfeld Menge{*this, "Menge"};
    TFloatDatenfeld Betrag{*this, "Betrag"};      // amount actually paid (net price)
    TFloatDatenfeld Betrag2{*this, "Betrag2"};    // second amount (gross / till price)
    TStringDatenfeld Waehrung{*this, "Waehrung"};
    TFloatDatenfeld EK{*this, "EK"};              // purchase value
    TIntegerDatenfeld Herkunft{*this, "Herkunft"}; // origin: 0 till, 1..53 online platforms, else stationary
};

// Aggregated sales statistics (table umst).
class Tumstfile : public TKOV_DBFile {
public:
    static constexpr int KeyStatistik = 0; // Kennung, Mandant, OrgeID, Datum, Ganztag, Von, Bis
    static constexpr int KeyFiliale = 1;   // Kennung, Filiale, Datum
    static constexpr int KeyGanztag = 2;   // Kennung, Mandant, OrgeID, Datum; whole days only

    explicit Tumstfile(int AOpenMode = 2, int AParam = -1);
    explicit Tumstfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, "Kennung"};
    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntPairDatenKeyFeld OrgeID{*this, "OrgeID"};
    TSmallIntDatenKeyFeld Filiale{*this, "Filiale"};
    TDatumDatenKeyFeld Datum{*this, "Datum"};
    TBooleanDatenfeld Ganztag{*this, "Ganztag"};
    TZeitDatenfeld Von{*this, "Von"};
    TZeitDatenfeld Bis{*this, "Bis"};
    TBlobDatenfeld Daten{*this, "Daten"};
};

// Aggregated statistics of the shipping-branch evaluation (table umstvf), laid out as umst:
// a table of its own, so the two statistics are built, read and emptied independently.
class Tumstvffile : public TKOV_DBFile {
public:
    static constexpr int KeyStatistik = 0; // Kennung, Mandant, OrgeID, Datum, Ganztag, Von, Bis
    static constexpr int KeyFiliale = 1;   // Kennung, Filiale, Datum
    static constexpr int KeyGanztag = 2;   // Kennung, Mandant, OrgeID, Datum; whole days only

    explicit Tumstvffile(int AOpenMode = 2, int AParam = -1);
    explicit Tumstvffile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, "Kennung"};
    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntPairDatenKeyFeld OrgeID{*this, "OrgeID"};
    TSmallIntDatenKeyFeld Filiale{*this, "Filiale"};
    TDatumDatenKeyFeld Datum{*this, "Datum"};
    TBooleanDatenfeld Ganztag{*this, "Ganztag"};
    TZeitDatenfeld Von{*this, "Von"};
    TZeitDatenfeld Bis{*this, "Bis"};
    TBlobDatenfeld Daten{*this, "Daten"};
};

// Processing state of the statistics (table umsv).
class Tumsvfile : public TKOV_DBFile {
public:
    static constexpr int KeyStatistik = 0; // Kennung, Mandant, Rechner

    explicit Tumsvfile(int AOpenMode = 2, int AParam = -1);
    explicit Tumsvfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, "Kennung"};
    // Transaction numbers ascend per client and computer, so the state is kept per both.
    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntegerDatenKeyFeld Rechner{*this, "Rechner"};
    // The last transaction booked, also one beyond 32 bits that SQLite took (rejected,
    // but passed).
    TWeiteGanzzahlDatenKeyFeld TransNr{*this, "TransNr"};
};

// Settings records (table mask): language, area, name and two sub-keys; text in a blob.
class Tmaskfile : public TKOV_DBFile {
public:
    static constexpr int KeyMask = 0;

    explicit Tmaskfile(int AOpenMode = 2, int AParam = -1);
    explicit Tmaskfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Sprache{*this, "Sprache"};
    TStringDatenKeyFeld Bereich{*this, "Bereich"};
    TStringDatenKeyFeld Name{*this, "Name"};
    TStringDatenKeyFeld Zusatz{*this, "Zusatz"};
    TStringDatenKeyFeld Nr{*this, "Nr"};
    TBlobDatenfeld Daten{*this, "Daten"};
};

// Group codes of products per group system (table awgs).
class Tawgsfile : public TKOV_DBFile {
public:
    static constexpr int KeyWgs = 0; // System, ProdId, Code

    explicit Tawgsfile(int AOpenMode = 2, int AParam = -1);
    explicit Tawgsfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld System{*this, "System"};
    TInt32TrioDatenKeyFeld ProdId{*this, "ProdId"};
    TStringDatenKeyFeld Code{*this, "Code"};
};
