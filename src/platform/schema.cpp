// The database layout. docs/schema.md describes every table for the suite's other
// programs; keep both in step and raise CQuendrixSchemaVersion on every change.
#include "rdldatenbank.h"

// Tables read by one evaluation each (schema_ausw.cpp).
const std::vector<std::string>& QuendrixSchemaDDL_Auswertungen();

const std::vector<std::string>& QuendrixSchemaDDL() {
    static const std::vector<std::string> ddl = [] {
        std::vector<std::string> d = {
        // --- installation, users, rights ---------------------------------------
        "CREATE TABLE einstellung (name TEXT PRIMARY KEY, wert TEXT NOT NULL DEFAULT '')",
        "CREATE TABLE benutzer (name TEXT PRIMARY KEY, voller_name TEXT NOT NULL DEFAULT '',"
        " alle_rechte INTEGER NOT NULL DEFAULT 0)",
        "CREATE TABLE benutzerrecht (benutzer TEXT NOT NULL, recht TEXT NOT NULL,"
        " PRIMARY KEY (benutzer, recht))",
        // Installation-wide and per-workstation values of settings masks.
        "CREATE TABLE globaldef (bereich TEXT NOT NULL, sektion TEXT NOT NULL,"
        " terminal TEXT NOT NULL DEFAULT '', schluessel TEXT NOT NULL, wert TEXT NOT NULL DEFAULT '',"
        " PRIMARY KEY (bereich, sektion, terminal, schluessel))",

        // --- suite tables --------------------------------------------------------
        "CREATE TABLE mandant (mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL,"
        " name TEXT NOT NULL DEFAULT '', PRIMARY KEY (mand_a, mand_b))",
        "CREATE TABLE filiale (filiale INTEGER PRIMARY KEY CHECK (filiale BETWEEN 1 AND 32767),"
        " mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL, orge_a INTEGER NOT NULL, orge_b INTEGER NOT NULL,"
        " name TEXT NOT NULL DEFAULT '', waehrung TEXT NOT NULL DEFAULT 'EUR',"
        " lv_benutzen INTEGER NOT NULL DEFAULT 0, owner_is_gep INTEGER NOT NULL DEFAULT 0,"
        " versandfiliale INTEGER NOT NULL DEFAULT 0,"
        " UNIQUE (mand_a, mand_b, orge_a, orge_b))",
        "CREATE TABLE verkaeufer (vknr INTEGER PRIMARY KEY, gep_a INTEGER NOT NULL DEFAULT 0,"
        " gep_b INTEGER NOT NULL DEFAULT 0, nachname TEXT NOT NULL DEFAULT '', vorname TEXT NOT NULL DEFAULT '',"
        " filiale INTEGER NOT NULL DEFAULT 0, mand_a INTEGER NOT NULL DEFAULT 0, mand_b INTEGER NOT NULL DEFAULT 0,"
        " praemienberechtigt INTEGER NOT NULL DEFAULT 0)",
        "CREATE INDEX verkaeufer_gep ON verkaeufer (gep_a, gep_b)",
        "CREATE TABLE rechner (rechner INTEGER PRIMARY KEY, name TEXT NOT NULL DEFAULT '',"
        " filiale INTEGER NOT NULL DEFAULT 0)",
        // Business calendar: opening windows per branch and ISO weekday (1 = Monday),
        // as fractions of a day; days without opening hours (holidays, filiale 0 = all).
        "CREATE TABLE betriebszeit (filiale INTEGER NOT NULL, wochentag INTEGER NOT NULL"
        " CHECK (wochentag BETWEEN 1 AND 7), nr INTEGER NOT NULL, von REAL NOT NULL, bis REAL NOT NULL,"
        " PRIMARY KEY (filiale, wochentag, nr))",
        "CREATE TABLE feiertag (datum REAL NOT NULL, filiale INTEGER NOT NULL DEFAULT 0,"
        " name TEXT NOT NULL DEFAULT '', PRIMARY KEY (datum, filiale))",

        // --- record files --------------------------------------------------------
        // Sales lines, written by the tills and order entry.
        "CREATE TABLE lst (id INTEGER PRIMARY KEY,"
        " mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL, rechner INTEGER NOT NULL,"
        " transnr INTEGER NOT NULL, posnr INTEGER NOT NULL,"
        " datum REAL NOT NULL, uhrzeit REAL NOT NULL DEFAULT 0, filiale INTEGER NOT NULL,"
        " satzart TEXT NOT NULL DEFAULT '', prod_a INTEGER NOT NULL DEFAULT 0,"
        " prod_b INTEGER NOT NULL DEFAULT 0, prod_c INTEGER NOT NULL DEFAULT 0,"
        " artnr TEXT NOT NULL DEFAULT '', grind INTEGER NOT NULL DEFAULT 0,"
        " verknr INTEGER NOT NULL DEFAULT 0, menge INTEGER NOT NULL DEFAULT 0,"
        " betrag REAL NOT NULL DEFAULT 0, betrag2 REAL NOT NULL DEFAULT 0,"
        " waehrung TEXT NOT NULL DEFAULT '', ek REAL NOT NULL DEFAULT 0,"
        " herkunft INTEGER NOT NULL DEFAULT 0)",
        "CREATE INDEX lst_transaktion ON lst (mand_a, mand_b, rechner, transnr, posnr)",
        "CREATE INDEX lst_datum ON lst (datum, filiale)",
        // Aggregated sales statistics: per statistics, branch and day the whole-day
        // figures (ganztag = 1) and the figures of each counting window.
        "CREATE TABLE umst (id INTEGER PRIMARY KEY, kennung TEXT NOT NULL,"
        " mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL, orge_a INTEGER NOT NULL, orge_b INTEGER NOT NULL,"
        " filiale INTEGER NOT NULL, datum REAL NOT NULL, ganztag INTEGER NOT NULL DEFAULT 1,"
        " von REAL NOT NULL DEFAULT 0, bis REAL NOT NULL DEFAULT 0, daten BLOB)",
        "CREATE UNIQUE INDEX umst_schluessel ON umst (kennung, mand_a, mand_b, orge_a, orge_b, datum, ganztag, von, bis)",
        "CREATE INDEX umst_filiale ON umst (kennung, filiale, datum)",
        // Processing state: last booked transaction per statistics and computer.
        "CREATE TABLE umsv (id INTEGER PRIMARY KEY, kennung TEXT NOT NULL, rechner INTEGER NOT NULL,"
        " transnr INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX umsv_statistik ON umsv (kennung, rechner)",
        // Settings records keyed by language, area, name and two sub-keys, text in a blob.
        "CREATE TABLE mask (id INTEGER PRIMARY KEY, sprache TEXT NOT NULL, bereich TEXT NOT NULL,"
        " name TEXT NOT NULL, zusatz TEXT NOT NULL DEFAULT '', nr TEXT NOT NULL DEFAULT '', daten BLOB)",
        "CREATE UNIQUE INDEX mask_schluessel ON mask (sprache, bereich, name, zusatz, nr)",
        // Group codes of products per group system.
        "CREATE TABLE awgs (id INTEGER PRIMARY KEY, system TEXT NOT NULL, prod_a INTEGER NOT NULL,"
        " prod_b INTEGER NOT NULL, prod_c INTEGER NOT NULL, code TEXT NOT NULL DEFAULT '')",
        "CREATE INDEX awgs_schluessel ON awgs (system, prod_a, prod_b, prod_c, code)",
        };
        const auto& ausw = QuendrixSchemaDDL_Auswertungen();
        d.insert(d.end(), ausw.begin(), ausw.end());
        return d;
    }();
    return ddl;
}
