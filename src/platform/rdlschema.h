#pragma once
// The tables of an installation, defined once: the DDL of both stores and the column
// lists of the typed record files come from these definitions. docs/schema.md describes
// them for the suite's other programs; raise CQuendrixSchemaVersion on every change.
#include "rdlspeicher.h"
#include <string>
#include <vector>

// Identifies a database of this program ("QDRX").
inline constexpr int32_t CQuendrixApplicationId = 0x51445258;
inline constexpr int CQuendrixSchemaVersion = 8;

struct TRDLSpalte {
    std::string Name;
    TRDLSpaltenTyp Typ;
    std::string Vorgabe;  // SQL literal of the default; empty: a value is required
    std::string Pruefung; // CHECK expression, may be empty
};

// A field of a record file: one value over one or more columns of the same type.
struct TRDLFeldDef {
    std::string Name;
    TRDLSpaltenTyp Typ;
    std::vector<std::string> Spalten;
    bool Pflicht = false; // true: no default, writers must give a value
};

// A key of a record file (over fields) or an index of a table (over columns).
struct TRDLIndexDef {
    std::string Name;
    bool Eindeutig = false;
    std::vector<std::string> Teile;
    // Keys only: the records the key holds (an SQL condition over the table's columns with
    // literals, empty: all), and fields the index carries beside the key so that a read
    // of them needs no table lookup.
    std::string Bedingung;
    std::vector<std::string> Mitgefuehrt;
};

struct TRDLTabellenDef {
    std::string Name;
    std::vector<TRDLSpalte> Spalten;              // plain tables
    std::vector<std::string> Primaerschluessel;   // plain tables
    std::vector<std::vector<std::string>> Eindeutig;
    std::vector<TRDLIndexDef> Indizes;            // plain tables, over columns
    std::vector<TRDLFeldDef> Felder;              // record files (first column "id")
    std::vector<TRDLIndexDef> Schluessel;         // record files: key number = position
    bool IstSatzdatei() const { return !Felder.empty(); }
    const TRDLFeldDef* Feld(const std::string& AName) const;
    // Columns of the table in order (record files: "id" first).
    std::vector<std::string> SpaltenNamen() const;
};

const std::vector<TRDLTabellenDef>& QuendrixTabellen();
// Raises EDatenbankFehler for an unknown table.
const TRDLTabellenDef& QuendrixTabelle(const std::string& AName);
// The DDL of the current schema for a store, in creation order.
std::vector<std::string> QuendrixSchemaDDL(const IRDLVerbindung& AVerbindung);
