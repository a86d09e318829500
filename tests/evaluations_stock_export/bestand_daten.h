#pragma once
// A small stock ledger on branches 1 (stock-keeping), 2 (not) and 3 (stock-keeping), cut-off
// 31.12.2026, period December 2026:
//   1001 S, branch 1: opening 10 (01.11.), sold 3 (20.11.), received 4 (05.12.), sold 2, a
//        return "RE" of +1 and a voided line of -1 (04.12.), an "EB" line of 50 (never
//        counted), one more sold at 18:00 on the cut-off day; after it a receipt of 100 and a
//        sale of 5 (not counted): 7 / 4 / 1 / 0 / 10.
//   1001 M: opening 5 at branch 1, 2 transferred to branch 3 on 10.12.
//   1002 ("Jacke \"Łódź\""): 2 at branch 1 sold out on 02.12. (stock 0); at branch 2, not
//        stock-keeping, 7 and a sale (never exported).
//   1003 ("Schal ☃"): 3 at branch 3, corrected by -1 (15.11.), sold 4: stock -2.
//   1004: 4 at branch 3, never sold; an opening at branch 1 dated after the cut-off.
// Text with ";" and quotes; "Ł", "ź" and "☃" lie outside Windows-1252.
#include "rdldatenbank.h"
#include "rdldatum.h"
#include "rdlinfo.h"

#include <string>

namespace bestand {

inline void Anlegen(TRDLDatenbank& Db) {
    Db.Exec("UPDATE filiale SET lv_benutzen = CASE WHEN filiale IN (1, 3) THEN 1 ELSE 0 END");
    Db.Exec("INSERT INTO gep (gep_a, gep_b, name1, name2) VALUES (7001, 1, 'Textil & Co; GmbH', '')");
    Db.Exec("INSERT INTO groesse (leiste, grind, bezeichnung) VALUES (1, 1, 'S'), (1, 2, 'M')");
    Db.Exec("INSERT INTO artikel (prod_a, prod_b, prod_c, artnr, bezeichnung, farbe, warengruppe, lief_a, lief_b, ek,"
            " vk, groessenleiste) VALUES"
            " (101, 1, 1, '1001', 'Hemd; kariert', 'blau', 101, 7001, 1, 10.5, 29.9, 1),"
            " (101, 2, 1, '1002', 'Jacke \"Łódź\"', 'grün', 101, 7001, 1, 20, 59, 0),"
            " (102, 3, 1, '1003', 'Schal ☃', 'rot', 102, 0, 0, 5, 12, 0),"
            " (102, 4, 2, '1004', 'Mütze', 'weiß', 102, 0, 0, 4.25, 9.99, 0)");
    const auto d = [](int J, int M, int T) { return std::to_string(int(EncodeDate(J, M, T))); };
    Db.Exec("INSERT INTO bestand_anfang (prod_a, prod_b, prod_c, grind, filiale, datum, menge) VALUES"
            " (101, 1, 1, 1, 1, " + d(2026, 11, 1) + ", 10), (101, 1, 1, 2, 1, " + d(2026, 11, 1) + ", 5),"
            " (101, 2, 1, 1, 1, " + d(2026, 11, 1) + ", 2), (101, 2, 1, 1, 2, " + d(2026, 11, 1) + ", 7),"
            " (102, 3, 1, 1, 3, " + d(2026, 11, 1) + ", 3), (102, 4, 2, 1, 3, " + d(2026, 11, 1) + ", 4),"
            " (102, 4, 2, 1, 1, " + d(2027, 1, 1) + ", 9)");
    Db.Exec("INSERT INTO bestand_bewegung (art, beleg_a, beleg_b, posnr, prod_a, prod_b, prod_c, grind, filiale, datum,"
            " menge) VALUES"
            " (1, 1, 1, 1, 101, 1, 1, 1, 1, " + d(2026, 12, 5) + ", 4),"
            " (1, 1, 2, 1, 101, 1, 1, 1, 1, " + d(2027, 1, 5) + ", 100),"
            " (2, 1, 3, 1, 101, 1, 1, 2, 1, " + d(2026, 12, 10) + ", -2),"
            " (2, 1, 3, 2, 101, 1, 1, 2, 3, " + d(2026, 12, 10) + ", 2),"
            " (3, 1, 4, 1, 102, 3, 1, 1, 3, " + d(2026, 11, 15) + ", -1)");
    int transnr = 1000;
    const auto verkauf = [&](const std::string& ADatum, int AFiliale, const char* ASatzart, int A, int B, int C,
                             int AGrInd, int AMenge) {
        ++transnr;
        Db.Exec("INSERT INTO lst (mand_a, mand_b, rechner, transnr, posnr, datum, uhrzeit, filiale, satzart, prod_a,"
                " prod_b, prod_c, artnr, grind, verknr, menge, betrag, betrag2, waehrung, ek, herkunft) VALUES (1, 1,"
                " 99, " + std::to_string(transnr) + ", 1, " + ADatum + ", 0.5, " + std::to_string(AFiliale) + ", '" +
                ASatzart + "', " + std::to_string(A) + ", " + std::to_string(B) + ", " + std::to_string(C) +
                ", '', " + std::to_string(AGrInd) + ", 0, " + std::to_string(AMenge) + ", 10, 10, '', 5, 0)");
    };
    verkauf(d(2026, 11, 20), 1, "VK", 101, 1, 1, 1, 3);
    verkauf(d(2026, 12, 3), 1, "VK", 101, 1, 1, 1, 2);
    verkauf(d(2026, 12, 4), 1, " re", 101, 1, 1, 1, 1);
    verkauf(d(2026, 12, 4), 1, "VK", 101, 1, 1, 1, -1);
    verkauf(d(2026, 12, 5), 1, "EB", 101, 1, 1, 1, 50);
    verkauf(d(2026, 12, 31) + ".75", 1, "VK", 101, 1, 1, 1, 1);
    verkauf(d(2027, 1, 1), 1, "VK", 101, 1, 1, 1, 5);
    verkauf(d(2026, 12, 2), 1, "VK", 101, 2, 1, 1, 2);
    verkauf(d(2026, 12, 2), 2, "VK", 101, 2, 1, 1, 1);
    verkauf(d(2026, 12, 6), 3, "VK", 102, 3, 1, 1, 4);
}

// The workstation's stored selection (every article, rows without stock too).
inline void SelektionSpeichern(TRDLDatenbank& Db, bool AMitNullbestand = true) {
    const std::string t = RDLInfo().RDLInfoTerminalID();
    for (const char* s : {"ARTNRVON", "ARTNRBIS", "WARENGRUPPEN", "LIEFERANTEN", "FILIALEN"})
        Db.Exec("INSERT INTO globaldef (bereich, sektion, terminal, schluessel, wert) VALUES ('CSVEXPRT',"
                " 'DEU;1;2;VALUES;0;0;0', '" + t + "', '" + s + "', '')");
    Db.Exec("INSERT INTO globaldef (bereich, sektion, terminal, schluessel, wert) VALUES ('CSVEXPRT',"
            " 'DEU;1;2;VALUES;0;0;0', '" + t + "', 'NULLBESTAND', '" + (AMitNullbestand ? "1" : "0") + "')");
}

} // namespace bestand
