#pragma once
// The typed record files of the suite that this program reads and writes.
// Key numbers are the positions of the keys; docs/schema.md lists the tables.
#include "kovdbclass.h"

// Sales lines (table lst), written by the tills and order entry.
class Tlstfile : public TKOV_DBFile {
public:
    static constexpr int KeyTransaktion = 0; // Mandant, Rechner, TransNr, PosNr
    static constexpr int KeyDatum = 1;       // Datum, Filiale

    explicit Tlstfile(int AOpenMode = 2, int AParam = -1);
    explicit Tlstfile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntegerDatenKeyFeld Rechner{*this, {"rechner"}};
    TIntegerDatenKeyFeld TransNr{*this, {"transnr"}};
    TIntegerDatenKeyFeld PosNr{*this, {"posnr"}};
    TDatumDatenKeyFeld Datum{*this, {"datum"}};
    TZeitDatenfeld Uhrzeit{*this, {"uhrzeit"}};
    TSmallIntDatenKeyFeld Filiale{*this, {"filiale"}};
    TStringDatenfeld Satzart{*this, {"satzart"}};
    TInt32TrioDatenfeld ProdId{*this, {"prod_a", "prod_b", "prod_c"}};
    TStringDatenfeld ArtNr{*this, {"artnr"}};
    TIntegerDatenfeld GrInd{*this, {"grind"}};      // size index, 1-based
    TIntegerDatenfeld VerkNr{*this, {"verknr"}};    // seller number
    TIntegerDatenfeld Menge{*this, {"menge"}};
    TFloatDatenfeld Betrag{*this, {"betrag"}};      // amount actually paid (net price)
    TFloatDatenfeld Betrag2{*this, {"betrag2"}};    // second amount (gross / till price)
    TStringDatenfeld Waehrung{*this, {"waehrung"}};
    TFloatDatenfeld EK{*this, {"ek"}};              // purchase value
    TSmallIntDatenfeld Herkunft{*this, {"herkunft"}}; // origin: 0 till, 1..53 online platforms

private:
    void Keys();
};

// Aggregated sales statistics (table umst).
class Tumstfile : public TKOV_DBFile {
public:
    static constexpr int KeyStatistik = 0; // Kennung, Mandant, OrgeID, Datum, Ganztag, Von, Bis
    static constexpr int KeyFiliale = 1;   // Kennung, Filiale, Datum

    explicit Tumstfile(int AOpenMode = 2, int AParam = -1);
    explicit Tumstfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, {"kennung"}};
    TIntPairDatenKeyFeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntPairDatenKeyFeld OrgeID{*this, {"orge_a", "orge_b"}};
    TSmallIntDatenKeyFeld Filiale{*this, {"filiale"}};
    TDatumDatenKeyFeld Datum{*this, {"datum"}};
    TBooleanDatenfeld Ganztag{*this, {"ganztag"}};
    TZeitDatenfeld Von{*this, {"von"}};
    TZeitDatenfeld Bis{*this, {"bis"}};
    TBlobDatenfeld Daten{*this, {"daten"}};

private:
    void Keys();
};

// Processing state of the statistics (table umsv).
class Tumsvfile : public TKOV_DBFile {
public:
    static constexpr int KeyStatistik = 0; // Kennung, Rechner

    explicit Tumsvfile(int AOpenMode = 2, int AParam = -1);
    explicit Tumsvfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, {"kennung"}};
    TIntegerDatenKeyFeld Rechner{*this, {"rechner"}};
    TIntegerDatenfeld TransNr{*this, {"transnr"}};

private:
    void Keys();
};

// Settings records (table mask): language, area, name and two sub-keys; text in a blob.
class Tmaskfile : public TKOV_DBFile {
public:
    static constexpr int KeyMask = 0;

    explicit Tmaskfile(int AOpenMode = 2, int AParam = -1);
    explicit Tmaskfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Sprache{*this, {"sprache"}};
    TStringDatenKeyFeld Bereich{*this, {"bereich"}};
    TStringDatenKeyFeld Name{*this, {"name"}};
    TStringDatenKeyFeld Zusatz{*this, {"zusatz"}};
    TStringDatenKeyFeld Nr{*this, {"nr"}};
    TBlobDatenfeld Daten{*this, {"daten"}};

private:
    void Keys();
};

// Group codes of products per group system (table awgs).
class Tawgsfile : public TKOV_DBFile {
public:
    static constexpr int KeyWgs = 0; // System, ProdId, Code

    explicit Tawgsfile(int AOpenMode = 2, int AParam = -1);
    explicit Tawgsfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld System{*this, {"system"}};
    TInt32TrioDatenKeyFeld ProdId{*this, {"prod_a", "prod_b", "prod_c"}};
    TStringDatenKeyFeld Code{*this, {"code"}};

private:
    void Keys();
};
