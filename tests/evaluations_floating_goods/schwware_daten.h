#pragma once
// Floating goods of March 2026 on top of the scenario installation (clients 1/1 "Modehaus
// Nord" with branches 1, 2 and 2/1 "Modehaus Süd" with branch 3), written as the suite's
// other programs write them. What each record is for:
//
// Goods receipts (arks, dispositions of state 2):
//   1/1/0 received 10.03. 14:24, reached twice from arks: listed once; sizes 1..3 of branch 1
//         with 2, 0, 1 pieces at 10,00 (size 3: 12,00) -> 3 pieces, 32,00
//   1/2/0 received at the very start of 01.03. (no time): not listed
//   1/3/0 checked ('K'): not listed
//   1/4/0 received 15.03.; branch 99 (unknown) with sizes 0..101 (4 pieces of size 1), and
//         branch 3 with 1 piece of size 2, at 15,00 -> 5 pieces, 75,00, "99, 3", no client
// Invoices (atk type 12) with their article positions' dispositions:
//   20/1/0 of 05.03., open: 2/1/0 (state 1: branch 2 with sizes 2..1, branch 3 with 1 piece
//          each of sizes 1, 2 at 20,00 -> 2 pieces, 40,00, "2, 3", client of branch 3),
//          2/2/0 (received 31.03. 18:00: not listed), 2/3/0 (received 01.04.: listed, CHF);
//          a fee position assigned to 2/1/0 counts for nothing
//   20/2/0 of 01.04. and the settled 20/3/0: not read
// Credit requests (atk type 15):
//   40/1/2 of 12.03. in CHF, number 4711 of 03/2024 -> "4711-2403/2", a supplier with quotes
//   40/2/0 of 20.03., number 4712 of 11/0000 (year 0) -> "4712-0011", a supplier with ";"
//   40/3/0 settled, 40/4/0 of 28.02.: not listed
// Quick-captured invoices (lar "SERFASSUNG" 60/1/0, atpl -> atpb -> atpk -> atk):
//   150,25 -> header 63/1/0 of 20.03. "RE-2026-9001"; 80,00 -> a link that is missing
//   (skipped and registered); 45,50 -> header 63/2/0 dated 01.03. 00:00, a reversal part 1
//   "RE-2026-9002/1S" (listed: the quick-capture bounds include the start of the day)
#include "rdldatenbank.h"
#include "rdldatum.h"
#include "sqlzeile.h"

#include <initializer_list>
#include <string>
#include <variant>

namespace schwware {

inline const TDateTime CVon = EncodeDate(2026, 3, 1);
inline const TDateTime CBis = EncodeDate(2026, 3, 31);

using TWert = TTestWert;

inline void Zeile(TRDLDatenbank& ADb, const std::string& ASql, std::initializer_list<TWert> AWerte) {
    TestZeile(ADb, ASql, AWerte);
}

inline void Dispo(TRDLDatenbank& ADb, int64_t A, int64_t B, int64_t AStatus, double AWEDatum, int64_t AProdA,
                  int64_t AProdB, int64_t AProdC, int64_t ALiefA, const std::string& AWaehrung, double APreis) {
    Zeile(ADb,
          "INSERT INTO dispo (dispo_a, dispo_b, dispo_c, prod_a, prod_b, prod_c, status, wedatum, lief_a, lief_b,"
          " waehrung, preis) VALUES (?, ?, 0, ?, ?, ?, ?, ?, ?, 1, ?, ?)",
          {A, B, AProdA, AProdB, AProdC, AStatus, AWEDatum, ALiefA, AWaehrung, APreis});
}

inline void DispoFiliale(TRDLDatenbank& ADb, int64_t A, int64_t B, int64_t ALfdNr, int64_t AFiliale, int64_t AVon,
                         int64_t ABis, std::initializer_list<std::pair<int64_t, int64_t>> AMengen) {
    Zeile(ADb,
          "INSERT INTO dispo_filiale (dispo_a, dispo_b, dispo_c, lfdnr, filiale, grind_von, grind_bis)"
          " VALUES (?, ?, 0, ?, ?, ?, ?)",
          {A, B, ALfdNr, AFiliale, AVon, ABis});
    for (const auto& [grind, menge] : AMengen)
        Zeile(ADb, "INSERT INTO dispo_menge (dispo_a, dispo_b, dispo_c, lfdnr, grind, menge) VALUES (?, ?, 0, ?, ?, ?)",
              {A, B, ALfdNr, grind, menge});
}

inline void Kopf(TRDLDatenbank& ADb, int64_t A, int64_t B, int64_t C, int64_t ATyp, double ADatum, int64_t AMandNr,
                 int64_t ABelegNr, int64_t AJahr, int64_t AMonat, int64_t AGepA, double AWert,
                 const std::string& AWaehrung, const std::string& AErledigt, const std::string& AStorno = " ",
                 int64_t ATeilNr = 0) {
    Zeile(ADb,
          "INSERT INTO atk (atk_a, atk_b, atk_c, mandnr, phase, stornokz, belegnr, jahr, monat, teilnr, datum, gep1_a,"
          " gep1_b, gep2_a, gep2_b, belegtyp, wert, waehrung, erledigt)"
          " VALUES (?, ?, ?, ?, 'RE', ?, ?, ?, ?, ?, ?, ?, 1, 900, 1, ?, ?, ?, ?)",
          {A, B, C, AMandNr, AStorno, ABelegNr, AJahr, AMonat, ATeilNr, ADatum, AGepA, ATyp, AWert, AWaehrung,
           AErledigt});
}

inline void Barcode(TRDLDatenbank& ADb, const std::string& ASatz, const std::string& ABarcode) {
    Zeile(ADb, "INSERT INTO zo (datei, satz, merkmal, wert) VALUES ('ATK', ?, 'BARCODE', ?)", {ASatz, ABarcode});
}

inline void Anlegen(TRDLDatenbank& ADb) {
    const double tag = CVon - 1; // tag + n is the n-th of March
    // Suppliers, one with a number at the client.
    for (const auto& [a, name] : {std::pair<int64_t, const char*>{500, "Strickwaren; Söhne GmbH"},
                                  {501, "Schuhfabrik Lind"}, {502, "Lederwaren \"Kron\""}})
        Zeile(ADb, "INSERT INTO gep (gep_a, gep_b, name1) VALUES (?, 1, ?)", {a, std::string(name)});
    Zeile(ADb, "INSERT INTO kuli (gep_a, gep_b, mand_a, mand_b, nummer) VALUES (500, 1, 1, 1, 70001)", {});
    Zeile(ADb,
          "INSERT INTO artikel (prod_a, prod_b, prod_c, artnr, bezeichnung, farbe, warengruppe, lief_a, lief_b, ek, vk,"
          " groessenleiste) VALUES (101, 10001, 1, '10001', 'Strickpullover', 'schwarz', 101, 500, 1, 10, 39.95, 1),"
          " (401, 10201, 2, '10201', 'Halbschuh', 'braun', 401, 501, 1, 15, 79.95, 2)",
          {});
    Zeile(ADb,
          "INSERT INTO phase (kuerzel, phase, bezeichnung, mand_sv_seite, nummernformat)"
          " VALUES ('RE', 3, 'Rechnung', 1, 'RE-{Jahr}-{Nr}{Teil}{Storno}')",
          {});
    Zeile(ADb, "INSERT INTO wechselkurs (waehrung, gueltig_ab, kurs) VALUES ('CHF', ?, 0.95)", {EncodeDate(2026, 1, 1)});

    // Goods receipts.
    Dispo(ADb, 1, 1, 2, tag + 10 + 0.6, 101, 10001, 1, 500, "", 10.0);
    Zeile(ADb, "INSERT INTO dispo_preis (dispo_a, dispo_b, dispo_c, grind, preis) VALUES (1, 1, 0, 3, 12.0)", {});
    DispoFiliale(ADb, 1, 1, 1, 1, 1, 3, {{1, 2}, {3, 1}});
    Dispo(ADb, 1, 2, 2, CVon, 401, 10201, 2, 501, "", 15.0);
    DispoFiliale(ADb, 1, 2, 1, 2, 1, 1, {{1, 1}});
    Dispo(ADb, 1, 3, 2, tag + 5, 401, 10201, 2, 501, "", 15.0);
    DispoFiliale(ADb, 1, 3, 1, 2, 1, 1, {{1, 1}});
    Dispo(ADb, 1, 4, 2, tag + 15, 401, 10201, 2, 501, "", 15.0);
    DispoFiliale(ADb, 1, 4, 1, 99, 0, 101, {{1, 4}});
    DispoFiliale(ADb, 1, 4, 2, 3, 2, 2, {{2, 1}});
    for (const auto& [b, status] : {std::pair<int64_t, const char*>{1, "O"}, {1, "O"}, {2, " "}, {3, "K"}, {4, "O"}})
        Zeile(ADb, "INSERT INTO arks (vorg_a, vorg_b, vorg_c, art, status) VALUES (1, ?, 0, 'W', ?)",
              {b, std::string(status)});
    Zeile(ADb, "INSERT INTO arks (vorg_a, vorg_b, vorg_c, art, status) VALUES (1, 5, 0, 'X', 'O')", {});

    // Invoices with their dispositions.
    Kopf(ADb, 20, 1, 0, 12, tag + 5, 1, 815, 2026, 3, 500, 500.0, "", "N");
    Kopf(ADb, 20, 2, 0, 12, CBis + 1, 1, 816, 2026, 4, 500, 80.0, "", "N");
    Kopf(ADb, 20, 3, 0, 12, tag + 6, 1, 817, 2026, 3, 500, 90.0, "", "J");
    Zeile(ADb,
          "INSERT INTO atpk (atpk_a, atpk_b, atpk_c, atk_a, atk_b, atk_c, posnr, postyp, prod_a, prod_b, prod_c, menge)"
          " VALUES (30, 1, 0, 20, 1, 0, 1, 1, 101, 10001, 1, 4), (30, 2, 0, 20, 1, 0, 2, 2, 0, 0, 0, 1),"
          " (30, 3, 0, 20, 2, 0, 1, 1, 101, 10001, 1, 1), (30, 4, 0, 20, 3, 0, 1, 1, 101, 10001, 1, 1)",
          {});
    Zeile(ADb,
          "INSERT INTO atpk_dispo (atpk_a, atpk_b, atpk_c, lfdnr, dispo_a, dispo_b, dispo_c, menge)"
          " VALUES (30, 1, 0, 1, 2, 1, 0, 2), (30, 1, 0, 2, 2, 2, 0, 1), (30, 1, 0, 3, 2, 3, 0, 3),"
          " (30, 2, 0, 1, 2, 1, 0, 1), (30, 3, 0, 1, 2, 1, 0, 1), (30, 4, 0, 1, 2, 1, 0, 1)",
          {});
    Dispo(ADb, 2, 1, 1, 0, 101, 10001, 1, 500, "", 20.0);
    DispoFiliale(ADb, 2, 1, 1, 2, 2, 1, {{2, 5}});
    DispoFiliale(ADb, 2, 1, 2, 3, 1, 2, {{1, 1}, {2, 1}});
    Dispo(ADb, 2, 2, 2, CBis + 0.75, 101, 10001, 1, 500, "", 20.0);
    DispoFiliale(ADb, 2, 2, 1, 1, 1, 1, {{1, 1}});
    Dispo(ADb, 2, 3, 2, CBis + 1, 101, 10001, 1, 502, "CHF", 7.5);
    DispoFiliale(ADb, 2, 3, 1, 1, 1, 1, {{1, 3}});
    Barcode(ADb, "000000020000000001000000000", "4012345000019");

    // Credit requests.
    Kopf(ADb, 40, 1, 2, 15, tag + 12, 2, 4711, 2024, 3, 502, 99.5, "CHF", "N");
    Kopf(ADb, 40, 2, 0, 15, tag + 20, 1, 4712, 0, 11, 500, 12.3, "", "N");
    Kopf(ADb, 40, 3, 0, 15, tag + 13, 1, 4713, 2026, 3, 500, 5.0, "", "J");
    Kopf(ADb, 40, 4, 0, 15, CVon - 1, 1, 4714, 2026, 2, 500, 6.0, "", "N");
    Barcode(ADb, "000000040000000002000000000", "AGA4712");

    // Quick-captured invoices.
    Zeile(ADb, "INSERT INTO lar (kennung, lar_a, lar_b, lar_c) VALUES ('SERFASSUNG', 60, 1, 0), ('ANDERE', 60, 2, 0)", {});
    Zeile(ADb,
          "INSERT INTO atpl (lar_a, lar_b, lar_c, wert, atpb_a, atpb_b, atpb_c) VALUES (60, 1, 0, 150.25, 61, 1, 0),"
          " (60, 1, 0, 80.0, 61, 2, 0), (60, 1, 0, 45.5, 61, 3, 0), (60, 2, 0, 33.0, 61, 1, 0)",
          {});
    Zeile(ADb, "INSERT INTO atpb (atpb_a, atpb_b, atpb_c, atpk_a, atpk_b, atpk_c) VALUES (61, 1, 0, 62, 1, 0),"
               " (61, 3, 0, 62, 3, 0)",
          {});
    Zeile(ADb, "INSERT INTO atpk (atpk_a, atpk_b, atpk_c, atk_a, atk_b, atk_c) VALUES (62, 1, 0, 63, 1, 0),"
               " (62, 3, 0, 63, 2, 0)",
          {});
    Kopf(ADb, 63, 1, 0, 12, tag + 20, 1, 9001, 2026, 3, 501, 150.25, "", "J");
    Kopf(ADb, 63, 2, 0, 12, CVon, 2, 9002, 2026, 3, 501, 45.5, "", "J", "S", 1);
    Barcode(ADb, "000000063000000001000000000", "SER9001");
}

} // namespace schwware
