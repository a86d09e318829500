// Tables of the record files that a single evaluation reads. Columns and keys mirror
// kovdbfiles_ausw.h; docs/schema-evaluations.md describes them for the writing programs.
#include <string>
#include <vector>

const std::vector<std::string>& QuendrixSchemaDDL_Auswertungen() {
    static const std::vector<std::string> ddl = {
        // --- business partners -----------------------------------------------------
        "CREATE TABLE gep (id INTEGER PRIMARY KEY, gep_a INTEGER NOT NULL, gep_b INTEGER NOT NULL,"
        " name1 TEXT NOT NULL DEFAULT '', name2 TEXT NOT NULL DEFAULT '')",
        "CREATE UNIQUE INDEX gep_gepnr ON gep (gep_a, gep_b)",
        "CREATE TABLE kuli (id INTEGER PRIMARY KEY, gep_a INTEGER NOT NULL, gep_b INTEGER NOT NULL,"
        " mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL, nummer INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX kuli_gepnr ON kuli (gep_a, gep_b, mand_a, mand_b)",

        // --- goods receipts and documents (floating goods) -------------------------
        "CREATE TABLE arks (id INTEGER PRIMARY KEY, vorg_a INTEGER NOT NULL, vorg_b INTEGER NOT NULL,"
        " vorg_c INTEGER NOT NULL, art TEXT NOT NULL DEFAULT '', status TEXT NOT NULL DEFAULT '')",
        "CREATE INDEX arks_vorgang ON arks (vorg_a, vorg_b, vorg_c)",
        "CREATE TABLE lar (id INTEGER PRIMARY KEY, kennung TEXT NOT NULL,"
        " lar_a INTEGER NOT NULL DEFAULT 0, lar_b INTEGER NOT NULL DEFAULT 0, lar_c INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX lar_kennung ON lar (kennung)",
        "CREATE TABLE atpl (id INTEGER PRIMARY KEY, lar_a INTEGER NOT NULL, lar_b INTEGER NOT NULL,"
        " lar_c INTEGER NOT NULL, wert REAL NOT NULL DEFAULT 0, atpb_a INTEGER NOT NULL DEFAULT 0,"
        " atpb_b INTEGER NOT NULL DEFAULT 0, atpb_c INTEGER NOT NULL DEFAULT 0)",
        "CREATE INDEX atpl_lar ON atpl (lar_a, lar_b, lar_c)",
        "CREATE TABLE atpb (id INTEGER PRIMARY KEY, atpb_a INTEGER NOT NULL, atpb_b INTEGER NOT NULL,"
        " atpb_c INTEGER NOT NULL, atpk_a INTEGER NOT NULL DEFAULT 0, atpk_b INTEGER NOT NULL DEFAULT 0,"
        " atpk_c INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX atpb_atpb ON atpb (atpb_a, atpb_b, atpb_c)",
        "CREATE TABLE atpk (id INTEGER PRIMARY KEY, atpk_a INTEGER NOT NULL, atpk_b INTEGER NOT NULL,"
        " atpk_c INTEGER NOT NULL, atk_a INTEGER NOT NULL DEFAULT 0, atk_b INTEGER NOT NULL DEFAULT 0,"
        " atk_c INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX atpk_atpk ON atpk (atpk_a, atpk_b, atpk_c)",
        "CREATE TABLE atk (id INTEGER PRIMARY KEY, atk_a INTEGER NOT NULL, atk_b INTEGER NOT NULL,"
        " atk_c INTEGER NOT NULL, mandnr INTEGER NOT NULL DEFAULT 0, phase TEXT NOT NULL DEFAULT '',"
        " stornokz TEXT NOT NULL DEFAULT '', belegnr INTEGER NOT NULL DEFAULT 0,"
        " jahr INTEGER NOT NULL DEFAULT 0, monat INTEGER NOT NULL DEFAULT 0, teilnr INTEGER NOT NULL DEFAULT 0,"
        " datum REAL NOT NULL DEFAULT 0, gep1_a INTEGER NOT NULL DEFAULT 0, gep1_b INTEGER NOT NULL DEFAULT 0,"
        " gep2_a INTEGER NOT NULL DEFAULT 0, gep2_b INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX atk_atk ON atk (atk_a, atk_b, atk_c)",
        "CREATE TABLE azb (id INTEGER PRIMARY KEY, atk_a INTEGER NOT NULL, atk_b INTEGER NOT NULL,"
        " atk_c INTEGER NOT NULL, lfdnr INTEGER NOT NULL)",
        "CREATE UNIQUE INDEX azb_atk ON azb (atk_a, atk_b, atk_c, lfdnr)",
        "CREATE TABLE zo (id INTEGER PRIMARY KEY, datei TEXT NOT NULL, satz TEXT NOT NULL,"
        " merkmal TEXT NOT NULL, wert TEXT NOT NULL DEFAULT '')",
        "CREATE UNIQUE INDEX zo_merkmal ON zo (datei, satz, merkmal)",

        // --- staff -----------------------------------------------------------------
        "CREATE TABLE mita (id INTEGER PRIMARY KEY, gep_a INTEGER NOT NULL, gep_b INTEGER NOT NULL,"
        " mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL, kurznr INTEGER NOT NULL DEFAULT 0,"
        " gueltigbis REAL NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX mita_gepnr ON mita (gep_a, gep_b, mand_a, mand_b)",
        "CREATE TABLE lfnr (id INTEGER PRIMARY KEY, mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL,"
        " gep_a INTEGER NOT NULL, gep_b INTEGER NOT NULL, bon_a INTEGER NOT NULL, bon_b INTEGER NOT NULL,"
        " vorfall TEXT NOT NULL DEFAULT '', rechner INTEGER NOT NULL DEFAULT 0, transnr INTEGER NOT NULL DEFAULT 0)",
        "CREATE INDEX lfnr_mitarbeiter ON lfnr (mand_a, mand_b, gep_a, gep_b, bon_a, bon_b)",
        "CREATE TABLE pup (id INTEGER PRIMARY KEY, jahr INTEGER NOT NULL, monat INTEGER NOT NULL,"
        " mand_a INTEGER NOT NULL, mand_b INTEGER NOT NULL,"
        " filiale INTEGER NOT NULL, mitanr INTEGER NOT NULL, stunden REAL NOT NULL DEFAULT 0,"
        " haumsatz REAL NOT NULL DEFAULT 0, naumsatz REAL NOT NULL DEFAULT 0, haprov REAL NOT NULL DEFAULT 0,"
        " naprov REAL NOT NULL DEFAULT 0, waehrung TEXT NOT NULL DEFAULT '', art TEXT NOT NULL DEFAULT '')",
        "CREATE UNIQUE INDEX pup_periode ON pup (jahr, monat, mand_a, mand_b, filiale, mitanr)",
        "CREATE TABLE gmer (id INTEGER PRIMARY KEY, satztyp TEXT NOT NULL, merkmal_a INTEGER NOT NULL,"
        " merkmal_b INTEGER NOT NULL, bezeichnung TEXT NOT NULL DEFAULT '')",
        "CREATE UNIQUE INDEX gmer_satztyp ON gmer (satztyp, merkmal_a, merkmal_b)",
        "CREATE TABLE gnum (id INTEGER PRIMARY KEY, gep_a INTEGER NOT NULL, gep_b INTEGER NOT NULL,"
        " merkmal_a INTEGER NOT NULL, merkmal_b INTEGER NOT NULL, wert TEXT NOT NULL DEFAULT '')",
        "CREATE UNIQUE INDEX gnum_person ON gnum (gep_a, gep_b, merkmal_a, merkmal_b)",
        "CREATE TABLE srv (id INTEGER PRIMARY KEY, srvtyp TEXT NOT NULL, datum REAL NOT NULL,"
        " gep_a INTEGER NOT NULL DEFAULT 0, gep_b INTEGER NOT NULL DEFAULT 0,"
        " mand_a INTEGER NOT NULL DEFAULT 0, mand_b INTEGER NOT NULL DEFAULT 0,"
        " rechner INTEGER NOT NULL DEFAULT 0, transnr INTEGER NOT NULL DEFAULT 0,"
        " gutschriftkz TEXT NOT NULL DEFAULT '', rechnungsnr TEXT NOT NULL DEFAULT '',"
        " betrag REAL NOT NULL DEFAULT 0, waehrung TEXT NOT NULL DEFAULT '', ausgleichkz TEXT NOT NULL DEFAULT '')",
        "CREATE INDEX srv_srvtyp ON srv (srvtyp, datum)",
    };
    return ddl;
}
