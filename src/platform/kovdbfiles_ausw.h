#pragma once
// Typed record files that one evaluation each reads: floating goods (gep, arks, kuli,
// lar, atpl, atpb, atpk, atk, azb, zo), staff discounts (mita, lfnr, gep), bonuses
// and commissions (pup, gmer, gnum) and staff purchases (srv, gnum).
// docs/schema-evaluations.md describes the tables for the programs that write them.
#include "kovdbclass.h"

// --- business partners ----------------------------------------------------------------

// Business partners (table gep): suppliers, staff members and other persons.
class TGepFile : public TKOV_DBFile {
public:
    static constexpr int KeyGepNr = 0; // GepNr

    explicit TGepFile(int AOpenMode = 2, int AParam = -1);
    explicit TGepFile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, "GepNr"};
    TStringDatenfeld Name1{*this, "Name1"};      // surname or company name
    TStringDatenfeld Name2{*this, "Name2"};      // first name or name addition
};

// Customer and supplier numbers of business partners per client (table kuli).
class Tkulifile : public TKOV_DBFile {
public:
    static constexpr int KeyGepNr = 0; // GepNr, Mandant

    explicit Tkulifile(int AOpenMode = 2, int AParam = -1);
    explicit Tkulifile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, "GepNr"};
    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntegerDatenfeld Nummer{*this, "Nummer"};   // the partner's number at the client
};

// --- goods receipts and documents (floating goods) ------------------------------------

// Check state of goods-receipt processes (table arks).
class Tarksfile : public TKOV_DBFile {
public:
    static constexpr int KeyVorgang = 0; // VorgangsID

    explicit Tarksfile(int AOpenMode = 2, int AParam = -1);
    explicit Tarksfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld VorgangsID{*this, "VorgangsID"};
    TCharDatenfeld Art{*this, "Art"};            // kind: 'W' goods receipt
    TCharDatenfeld Status{*this, "Status"};      // 'O' or blank: not yet checked
};

// Bookkeeping records named by a key text (table lar), e.g. "SERFASSUNG".
class Tlarfile : public TKOV_DBFile {
public:
    static constexpr int KeyKennung = 0; // Kennung

    explicit Tlarfile(int AOpenMode = 2, int AParam = -1);
    explicit Tlarfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, "Kennung"};
    TIntTrioDatenKeyFeld LarID{*this, "LarID"}; // the record's three key numbers
};

// Positions booked on a bookkeeping record (table atpl).
class Tatplfile : public TKOV_DBFile {
public:
    // The key is the trio alone so that Get_eq on it finds the first position.
    static constexpr int KeyLar = 0; // LarID

    explicit Tatplfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatplfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld LarID{*this, "LarID"};
    TFloatDatenfeld Wert{*this, "Wert"};         // value of the position
    TIntTrioDatenKeyFeld AtpbID{*this, "AtpbID"}; // reference into atpb
};

// Links from bookkeeping positions to document positions (table atpb).
class Tatpbfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtpb = 0; // AtpbID

    explicit Tatpbfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatpbfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtpbID{*this, "AtpbID"};
    TIntTrioDatenKeyFeld AtpkID{*this, "AtpkID"}; // reference into atpk
};

// Document positions with their document header (table atpk); their dispositions are in
// atpk_dispo.
class Tatpkfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtpk = 0; // AtpkID
    static constexpr int KeyAtk = 1;  // AtkID, PosNr

    explicit Tatpkfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatpkfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtpkID{*this, "AtpkID"};
    TIntTrioDatenKeyFeld AtkID{*this, "AtkID"};     // reference into atk
    TIntegerDatenKeyFeld PosNr{*this, "PosNr"};      // position within the document
    TIntegerDatenfeld PosTyp{*this, "PosTyp"};       // 1: article position
    TInt32TrioDatenfeld ProduktID{*this, "ProduktID"};
    TIntegerDatenfeld Menge{*this, "Menge"};
};

// Document headers (table atk).
class Tatkfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtk = 0; // AtkID
    static constexpr int KeyTyp = 1; // BelegTyp, Datum

    explicit Tatkfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatkfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtkID{*this, "AtkID"}; // process key; (A, B) is the document
    TIntegerDatenfeld MandNr{*this, "MandNr"};   // client number
    TStringDatenfeld Phase{*this, "Phase"};      // phase abbreviation, e.g. "RE"
    TCharDatenfeld StornoKz{*this, "StornoKz"};  // reversal character
    TIntegerDatenfeld BelegNr{*this, "BelegNr"};
    TIntegerDatenfeld Jahr{*this, "Jahr"};       // year of the document number
    TIntegerDatenfeld Monat{*this, "Monat"};     // month of the document number
    TIntegerDatenfeld TeilNr{*this, "TeilNr"};   // part number, 0 for none
    TDatumDatenfeld Datum{*this, "Datum"};
    TIntPairDatenfeld GepNr1{*this, "GepNr1"}; // first party
    TIntPairDatenfeld GepNr2{*this, "GepNr2"}; // second party
    TIntegerDatenKeyFeld BelegTyp{*this, "BelegTyp"}; // 12 invoice, 15 credit request (rdlbeleg.h)
    TFloatDatenfeld Wert{*this, "Wert"};         // value of the document
    TStringDatenfeld Waehrung{*this, "Waehrung"}; // its currency; empty: the house currency
    TCharDatenfeld Erledigt{*this, "Erledigt"};   // 'J' settled; anything else open
};

// Numbered entries per document header (table azb); opened, not read, by the evaluation.
class Tazbfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtk = 0; // AtkID, LfdNr

    explicit Tazbfile(int AOpenMode = 2, int AParam = -1);
    explicit Tazbfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtkID{*this, "AtkID"};
    TIntegerDatenKeyFeld LfdNr{*this, "LfdNr"};  // running number within the header
};

// Additional texts attached to records of other files (table zo), e.g. barcodes.
class Tzofile : public TKOV_DBFile {
public:
    static constexpr int KeyMerkmal = 0; // Datei, Satz, Merkmal

    explicit Tzofile(int AOpenMode = 2, int AParam = -1);
    explicit Tzofile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Datei{*this, "Datei"};   // file the text belongs to, e.g. "ATK"
    TStringDatenKeyFeld Satz{*this, "Satz"};     // that record's key as text
    TStringDatenKeyFeld Merkmal{*this, "Merkmal"}; // kind of text, e.g. "BARCODE"
    TStringDatenfeld Wert{*this, "Wert"};
};

// --- staff ------------------------------------------------------------------------------

// Staff members per client (table mita).
class Tmitafile : public TKOV_DBFile {
public:
    static constexpr int KeyGepNr = 0; // GepNr, Mandant

    explicit Tmitafile(int AOpenMode = 2, int AParam = -1);
    explicit Tmitafile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, "GepNr"};
    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntegerDatenfeld KurzNr{*this, "KurzNr"};
    TDatumDatenfeld GueltigBis{*this, "GueltigBis"}; // 0: no end
};

// Receipts of a staff member's purchases (table lfnr).
class Tlfnrfile : public TKOV_DBFile {
public:
    static constexpr int KeyMitarbeiter = 0; // Mandant, GepNr, BonNr
    static constexpr int KeyGepNr = 1;       // GepNr, Mandant, BonNr

    explicit Tlfnrfile(int AOpenMode = 2, int AParam = -1);
    explicit Tlfnrfile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntPairDatenKeyFeld GepNr{*this, "GepNr"};
    TIntPairDatenKeyFeld BonNr{*this, "BonNr"};
    TStringDatenfeld Vorfall{*this, "Vorfall"};  // kind of the receipt
    TIntegerDatenfeld Rechner{*this, "Rechner"}; // with TransNr: the receipt's sales lines
    TIntegerDatenfeld TransNr{*this, "TransNr"};
};

// Monthly bonus and commission results per employee and branch (table pup).
class Tpupfile : public TKOV_DBFile {
public:
    // Period first: Get_ge on (Jahr, Monat) gives the lower bound of a period.
    static constexpr int KeyPeriode = 0; // Jahr, Monat, Mandant, Filiale, MitaNr

    explicit Tpupfile(int AOpenMode = 2, int AParam = -1);
    explicit Tpupfile(TRDLDatenbank& ADb);

    TIntegerDatenKeyFeld Jahr{*this, "Jahr"};
    TIntegerDatenKeyFeld Monat{*this, "Monat"};  // 1 to 12
    TIntPairDatenKeyFeld Mandant{*this, "Mandant"};
    TIntegerDatenKeyFeld Filiale{*this, "Filiale"};
    TIntegerDatenKeyFeld MitaNr{*this, "MitaNr"}; // employee (seller) number
    TFloatDatenfeld Stunden{*this, "Stunden"};   // hours worked, decimal
    TFloatDatenfeld HAUmsatz{*this, "HAUmsatz"}; // sales of main articles
    TFloatDatenfeld NAUmsatz{*this, "NAUmsatz"}; // sales of secondary articles
    TFloatDatenfeld HAProv{*this, "HAProv"};     // commission on sales
    TFloatDatenfeld NAProv{*this, "NAProv"};     // commission on secondary articles
    TStringDatenfeld Waehrung{*this, "Waehrung"};
    TStringDatenfeld Art{*this, "Art"};          // kind code of the record
};

// Attribute definitions (table gmer); SatzTyp 'I' defines an employee-number kind.
class Tgmerfile : public TKOV_DBFile {
public:
    static constexpr int KeySatzTyp = 0; // SatzTyp, MerkmalA, MerkmalB

    explicit Tgmerfile(int AOpenMode = 2, int AParam = -1);
    explicit Tgmerfile(TRDLDatenbank& ADb);

    TCharDatenKeyFeld SatzTyp{*this, "SatzTyp"};
    TIntegerDatenKeyFeld MerkmalA{*this, "MerkmalA"}; // attribute (number kind), two parts
    TIntegerDatenKeyFeld MerkmalB{*this, "MerkmalB"};
    TStringDatenfeld Bezeichnung{*this, "Bezeichnung"};
};

// Numbers of a person per attribute (table gnum), e.g. payroll or SLG numbers.
class Tgnumfile : public TKOV_DBFile {
public:
    static constexpr int KeyPerson = 0; // GepNr, MerkmalA, MerkmalB

    explicit Tgnumfile(int AOpenMode = 2, int AParam = -1);
    explicit Tgnumfile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, "GepNr"};
    TIntegerDatenKeyFeld MerkmalA{*this, "MerkmalA"};
    TIntegerDatenKeyFeld MerkmalB{*this, "MerkmalB"};
    TStringDatenfeld Wert{*this, "Wert"};         // the number as text
};

// Open items (table srv), among them staff purchases on invoice.
class Tsrvfile : public TKOV_DBFile {
public:
    // The items of one type in date order.
    static constexpr int KeySRVTyp = 0; // SRVTyp, Datum

    explicit Tsrvfile(int AOpenMode = 2, int AParam = -1);
    explicit Tsrvfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld SRVTyp{*this, "SRVTyp"};  // item type
    TDatumDatenKeyFeld Datum{*this, "Datum"};
    TIntPairDatenfeld GepNr{*this, "GepNr"}; // the employee
    // Sale reference: Mandant, Rechner, TransNr of the sales lines (lst).
    TIntPairDatenfeld Mandant{*this, "Mandant"};
    TIntegerDatenfeld Rechner{*this, "Rechner"};
    TIntegerDatenfeld TransNr{*this, "TransNr"};
    TCharDatenfeld GutschriftKz{*this, "GutschriftKz"}; // 'J': credit
    TStringDatenfeld RechnungsNr{*this, "RechnungsNr"}; // year and number, "YYYYNNNNN"
    TFloatDatenfeld Betrag{*this, "Betrag"};
    TStringDatenfeld Waehrung{*this, "Waehrung"};
    TStringDatenfeld AusgleichKz{*this, "AusgleichKz"}; // not empty: settled
};
