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

    TIntPairDatenKeyFeld GepNr{*this, {"gep_a", "gep_b"}};
    TStringDatenfeld Name1{*this, {"name1"}};      // surname or company name
    TStringDatenfeld Name2{*this, {"name2"}};      // first name or name addition

private:
    void Keys();
};

// Customer and supplier numbers of business partners per client (table kuli).
class Tkulifile : public TKOV_DBFile {
public:
    static constexpr int KeyGepNr = 0; // GepNr, Mandant

    explicit Tkulifile(int AOpenMode = 2, int AParam = -1);
    explicit Tkulifile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, {"gep_a", "gep_b"}};
    TIntPairDatenKeyFeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntegerDatenfeld Nummer{*this, {"nummer"}};   // the partner's number at the client

private:
    void Keys();
};

// --- goods receipts and documents (floating goods) ------------------------------------

// Check state of goods-receipt processes (table arks).
class Tarksfile : public TKOV_DBFile {
public:
    static constexpr int KeyVorgang = 0; // VorgangsID

    explicit Tarksfile(int AOpenMode = 2, int AParam = -1);
    explicit Tarksfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld VorgangsID{*this, {"vorg_a", "vorg_b", "vorg_c"}};
    TCharDatenfeld Art{*this, {"art"}};            // kind: 'W' goods receipt
    TCharDatenfeld Status{*this, {"status"}};      // 'O' or blank: not yet checked

private:
    void Keys();
};

// Bookkeeping records named by a key text (table lar), e.g. "SERFASSUNG".
class Tlarfile : public TKOV_DBFile {
public:
    static constexpr int KeyKennung = 0; // Kennung

    explicit Tlarfile(int AOpenMode = 2, int AParam = -1);
    explicit Tlarfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Kennung{*this, {"kennung"}};
    TIntTrioDatenKeyFeld LarID{*this, {"lar_a", "lar_b", "lar_c"}}; // the record's three key numbers

private:
    void Keys();
};

// Positions booked on a bookkeeping record (table atpl).
class Tatplfile : public TKOV_DBFile {
public:
    // The key is the trio alone so that Get_eq on it finds the first position.
    static constexpr int KeyLar = 0; // LarID

    explicit Tatplfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatplfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld LarID{*this, {"lar_a", "lar_b", "lar_c"}};
    TFloatDatenfeld Wert{*this, {"wert"}};         // value of the position
    TIntTrioDatenKeyFeld AtpbID{*this, {"atpb_a", "atpb_b", "atpb_c"}}; // reference into atpb

private:
    void Keys();
};

// Links from bookkeeping positions to document positions (table atpb).
class Tatpbfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtpb = 0; // AtpbID

    explicit Tatpbfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatpbfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtpbID{*this, {"atpb_a", "atpb_b", "atpb_c"}};
    TIntTrioDatenKeyFeld AtpkID{*this, {"atpk_a", "atpk_b", "atpk_c"}}; // reference into atpk

private:
    void Keys();
};

// Document positions with their document header (table atpk).
class Tatpkfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtpk = 0; // AtpkID

    explicit Tatpkfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatpkfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtpkID{*this, {"atpk_a", "atpk_b", "atpk_c"}};
    TIntTrioDatenKeyFeld AtkID{*this, {"atk_a", "atk_b", "atk_c"}};     // reference into atk

private:
    void Keys();
};

// Document headers (table atk).
class Tatkfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtk = 0; // AtkID

    explicit Tatkfile(int AOpenMode = 2, int AParam = -1);
    explicit Tatkfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtkID{*this, {"atk_a", "atk_b", "atk_c"}}; // process key; (A, B) is the document
    TIntegerDatenfeld MandNr{*this, {"mandnr"}};   // client number
    TStringDatenfeld Phase{*this, {"phase"}};      // phase abbreviation, e.g. "RE"
    TCharDatenfeld StornoKz{*this, {"stornokz"}};  // reversal character
    TIntegerDatenfeld BelegNr{*this, {"belegnr"}};
    TIntegerDatenfeld Jahr{*this, {"jahr"}};       // year of the document number
    TIntegerDatenfeld Monat{*this, {"monat"}};     // month of the document number
    TIntegerDatenfeld TeilNr{*this, {"teilnr"}};   // part number, 0 for none
    TDatumDatenfeld Datum{*this, {"datum"}};
    TIntPairDatenfeld GepNr1{*this, {"gep1_a", "gep1_b"}}; // first party
    TIntPairDatenfeld GepNr2{*this, {"gep2_a", "gep2_b"}}; // second party

private:
    void Keys();
};

// Numbered entries per document header (table azb); opened, not read, by the evaluation.
class Tazbfile : public TKOV_DBFile {
public:
    static constexpr int KeyAtk = 0; // AtkID, LfdNr

    explicit Tazbfile(int AOpenMode = 2, int AParam = -1);
    explicit Tazbfile(TRDLDatenbank& ADb);

    TIntTrioDatenKeyFeld AtkID{*this, {"atk_a", "atk_b", "atk_c"}};
    TIntegerDatenKeyFeld LfdNr{*this, {"lfdnr"}};  // running number within the header

private:
    void Keys();
};

// Additional texts attached to records of other files (table zo), e.g. barcodes.
class Tzofile : public TKOV_DBFile {
public:
    static constexpr int KeyMerkmal = 0; // Datei, Satz, Merkmal

    explicit Tzofile(int AOpenMode = 2, int AParam = -1);
    explicit Tzofile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld Datei{*this, {"datei"}};   // file the text belongs to, e.g. "ATK"
    TStringDatenKeyFeld Satz{*this, {"satz"}};     // that record's key as text
    TStringDatenKeyFeld Merkmal{*this, {"merkmal"}}; // kind of text, e.g. "BARCODE"
    TStringDatenfeld Wert{*this, {"wert"}};

private:
    void Keys();
};

// --- staff ------------------------------------------------------------------------------

// Staff members per client (table mita).
class Tmitafile : public TKOV_DBFile {
public:
    static constexpr int KeyGepNr = 0; // GepNr, Mandant

    explicit Tmitafile(int AOpenMode = 2, int AParam = -1);
    explicit Tmitafile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, {"gep_a", "gep_b"}};
    TIntPairDatenKeyFeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntegerDatenfeld KurzNr{*this, {"kurznr"}};
    TDatumDatenfeld GueltigBis{*this, {"gueltigbis"}}; // 0: no end

private:
    void Keys();
};

// Receipts of a staff member's purchases (table lfnr).
class Tlfnrfile : public TKOV_DBFile {
public:
    static constexpr int KeyMitarbeiter = 0; // Mandant, GepNr, BonNr

    explicit Tlfnrfile(int AOpenMode = 2, int AParam = -1);
    explicit Tlfnrfile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntPairDatenKeyFeld GepNr{*this, {"gep_a", "gep_b"}};
    TIntPairDatenKeyFeld BonNr{*this, {"bon_a", "bon_b"}};
    TStringDatenfeld Vorfall{*this, {"vorfall"}};  // kind of the receipt
    TIntegerDatenfeld Rechner{*this, {"rechner"}}; // with TransNr: the receipt's sales lines
    TIntegerDatenfeld TransNr{*this, {"transnr"}};

private:
    void Keys();
};

// Monthly bonus and commission results per employee and branch (table pup).
class Tpupfile : public TKOV_DBFile {
public:
    // Period first: Get_ge on (Jahr, Monat) gives the lower bound of a period.
    static constexpr int KeyPeriode = 0; // Jahr, Monat, Mandant, Filiale, MitaNr

    explicit Tpupfile(int AOpenMode = 2, int AParam = -1);
    explicit Tpupfile(TRDLDatenbank& ADb);

    TIntegerDatenKeyFeld Jahr{*this, {"jahr"}};
    TIntegerDatenKeyFeld Monat{*this, {"monat"}};  // 1 to 12
    TIntPairDatenKeyFeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntegerDatenKeyFeld Filiale{*this, {"filiale"}};
    TIntegerDatenKeyFeld MitaNr{*this, {"mitanr"}}; // employee (seller) number
    TFloatDatenfeld Stunden{*this, {"stunden"}};   // hours worked, decimal
    TFloatDatenfeld HAUmsatz{*this, {"haumsatz"}}; // sales of main articles
    TFloatDatenfeld NAUmsatz{*this, {"naumsatz"}}; // sales of secondary articles
    TFloatDatenfeld HAProv{*this, {"haprov"}};     // commission on sales
    TFloatDatenfeld NAProv{*this, {"naprov"}};     // commission on secondary articles
    TStringDatenfeld Waehrung{*this, {"waehrung"}};
    TStringDatenfeld Art{*this, {"art"}};          // kind code of the record

private:
    void Keys();
};

// Attribute definitions (table gmer); SatzTyp 'I' defines an employee-number kind.
class Tgmerfile : public TKOV_DBFile {
public:
    static constexpr int KeySatzTyp = 0; // SatzTyp, MerkmalA, MerkmalB

    explicit Tgmerfile(int AOpenMode = 2, int AParam = -1);
    explicit Tgmerfile(TRDLDatenbank& ADb);

    TCharDatenKeyFeld SatzTyp{*this, {"satztyp"}};
    TIntegerDatenKeyFeld MerkmalA{*this, {"merkmal_a"}}; // attribute (number kind), two parts
    TIntegerDatenKeyFeld MerkmalB{*this, {"merkmal_b"}};
    TStringDatenfeld Bezeichnung{*this, {"bezeichnung"}};

private:
    void Keys();
};

// Numbers of a person per attribute (table gnum), e.g. payroll or SLG numbers.
class Tgnumfile : public TKOV_DBFile {
public:
    static constexpr int KeyPerson = 0; // GepNr, MerkmalA, MerkmalB

    explicit Tgnumfile(int AOpenMode = 2, int AParam = -1);
    explicit Tgnumfile(TRDLDatenbank& ADb);

    TIntPairDatenKeyFeld GepNr{*this, {"gep_a", "gep_b"}};
    TIntegerDatenKeyFeld MerkmalA{*this, {"merkmal_a"}};
    TIntegerDatenKeyFeld MerkmalB{*this, {"merkmal_b"}};
    TStringDatenfeld Wert{*this, {"wert"}};         // the number as text

private:
    void Keys();
};

// Open items (table srv), among them staff purchases on invoice.
class Tsrvfile : public TKOV_DBFile {
public:
    // The items of one type in date order.
    static constexpr int KeySRVTyp = 0; // SRVTyp, Datum

    explicit Tsrvfile(int AOpenMode = 2, int AParam = -1);
    explicit Tsrvfile(TRDLDatenbank& ADb);

    TStringDatenKeyFeld SRVTyp{*this, {"srvtyp"}};  // item type
    TDatumDatenKeyFeld Datum{*this, {"datum"}};
    TIntPairDatenfeld GepNr{*this, {"gep_a", "gep_b"}}; // the employee
    // Sale reference: Mandant, Rechner, TransNr of the sales lines (lst).
    TIntPairDatenfeld Mandant{*this, {"mand_a", "mand_b"}};
    TIntegerDatenfeld Rechner{*this, {"rechner"}};
    TIntegerDatenfeld TransNr{*this, {"transnr"}};
    TCharDatenfeld GutschriftKz{*this, {"gutschriftkz"}}; // 'J': credit
    TStringDatenfeld RechnungsNr{*this, {"rechnungsnr"}}; // year and number, "YYYYNNNNN"
    TFloatDatenfeld Betrag{*this, {"betrag"}};
    TStringDatenfeld Waehrung{*this, {"waehrung"}};
    TStringDatenfeld AusgleichKz{*this, {"ausgleichkz"}}; // not empty: settled

private:
    void Keys();
};
