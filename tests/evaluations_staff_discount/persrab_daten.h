#pragma once
// Staff purchases of November and December 2026 on top of an installation with the
// clients 1/1 "Modehaus Nord" (branches 1, 2) and 2/1 "Modehaus Süd" (branch 3, made a
// Swiss branch in francs here), written as the tills and the staff administration write
// them. What each record is for:
//
// Staff (mita), names in gep (surname, first name):
//   KurzNr 1 Anna Berger, client 1/1, no end
//   KurzNr 2 Paul Kranz, client 1/1, ended 30.11.2026 (before December): never read in December
//   KurzNr 3 Lea Vogt, client 2/1, ends 15.12.2026 (within December)
//   KurzNr 4 (partner 20004/1 without a gep row: no name), client 1/1, no receipts
// Receipts (lfnr) and their lines (lst):
//   1-101 Berger, computer 12, 03.12.: VK 2 × 10001 size 2 for 55,92 (branch 1's own price
//         37,95 beats the client's later 38,95 -> 75,90, discount 19,98); RS second amount
//         -5,00 (discount 5,00); GS 10,00 / 12,50 (discount 2,50)
//   1-102 Berger, computer 12, 31.12.: VK 1 × 10201 for 50,00 (no price: discount 0); a line
//         of 01.01.2027 ends the receipt, so the third line of 31.12. is not read
//   1-103 Berger, computer 12, 20.11.: VK 10001 without size index (0: marked, discount 0);
//         VK 1 × product 999/1/1 at 0,004 (below 0,005: discount 0)
//   1-150 Kranz, computer 12, 05.12.: not listed (his record ended)
//   2-201 Vogt under client 2/1, computer 31, 10.12., currency empty (branch 3: CHF):
//         1 × 10001 size 3 for 31,43 (branch 3's 44,90 CHF beats the client's 45,90)
//   2-202 Berger under client 2/1 (she has no staff record there), computer 32, 08.12.,
//         "CHF": 1 × 10001 size 3 for 30,00 -> 44,90, discount 14,90
// Exchange rate CHF 0,95 from 01.01.2026.
#include "rdldatenbank.h"
#include "rdldatum.h"
#include "sqlzeile.h"

#include <initializer_list>
#include <string>
#include <variant>

namespace persrab {

using TWert = TTestWert;

inline void Zeile(TRDLDatenbank& ADb, const std::string& ASql, std::initializer_list<TWert> AWerte) {
    TestZeile(ADb, ASql, AWerte);
}

inline double Tag(int AMonat, int ATag, int AJahr = 2026) { return EncodeDate(AJahr, AMonat, ATag); }

inline void Mitarbeiter(TRDLDatenbank& ADb, int64_t AGep, int64_t AMandA, int64_t AKurzNr, double AGueltigBis,
                        const std::string& ANachname = {}, const std::string& AVorname = {}) {
    Zeile(ADb, "INSERT INTO mita (gep_a, gep_b, mand_a, mand_b, kurznr, gueltigbis) VALUES (?, 1, ?, 1, ?, ?)",
          {AGep, AMandA, AKurzNr, AGueltigBis});
    if (!ANachname.empty())
        Zeile(ADb, "INSERT INTO gep (gep_a, gep_b, name1, name2) VALUES (?, 1, ?, ?)", {AGep, ANachname, AVorname});
}

inline void Bon(TRDLDatenbank& ADb, int64_t AMandA, int64_t AGep, int64_t ABonA, int64_t ABonB, int64_t ARechner,
                int64_t ATransNr, const std::string& AVorfall = "VK") {
    Zeile(ADb,
          "INSERT INTO lfnr (mand_a, mand_b, gep_a, gep_b, bon_a, bon_b, vorfall, rechner, transnr)"
          " VALUES (?, 1, ?, 1, ?, ?, ?, ?, ?)",
          {AMandA, AGep, ABonA, ABonB, AVorfall, ARechner, ATransNr});
}

struct TZeile {
    int64_t MandA = 1, Rechner = 12, TransNr = 0, PosNr = 1;
    double Datum = 0;
    int64_t Filiale = 1;
    std::string Satzart = "VK";
    int64_t ProdA = 0, ProdB = 0, ProdC = 0, GrInd = 1, Menge = 1;
    double Betrag = 0, Betrag2 = 0;
    std::string Waehrung;
};

inline void Position(TRDLDatenbank& ADb, const TZeile& Z) {
    Zeile(ADb,
          "INSERT INTO lst (mand_a, mand_b, rechner, transnr, posnr, datum, uhrzeit, filiale, satzart, prod_a, prod_b,"
          " prod_c, artnr, grind, verknr, menge, betrag, betrag2, waehrung, ek, herkunft)"
          " VALUES (?, 1, ?, ?, ?, ?, 0.5, ?, ?, ?, ?, ?, '', ?, 0, ?, ?, ?, ?, 0, 0)",
          {Z.MandA, Z.Rechner, Z.TransNr, Z.PosNr, Z.Datum, Z.Filiale, Z.Satzart, Z.ProdA, Z.ProdB, Z.ProdC, Z.GrInd,
           Z.Menge, Z.Betrag, Z.Betrag2, Z.Waehrung});
}

inline void Preis(TRDLDatenbank& ADb, int64_t AProdA, int64_t AProdB, int64_t AProdC, int64_t AMandA,
                  int64_t AFiliale, int64_t AGrInd, const std::string& AWaehrung, double AAb, double APreis) {
    Zeile(ADb,
          "INSERT INTO preis (prod_a, prod_b, prod_c, mand_a, mand_b, filiale, grind, waehrung, gueltig_ab, preis)"
          " VALUES (?, ?, ?, ?, 1, ?, ?, ?, ?, ?)",
          {AProdA, AProdB, AProdC, AMandA, AFiliale, AGrInd, AWaehrung, AAb, APreis});
}

inline void Anlegen(TRDLDatenbank& ADb) {
    ADb.Exec("UPDATE filiale SET waehrung = 'CHF' WHERE filiale = 3");
    Zeile(ADb, "INSERT INTO wechselkurs (waehrung, gueltig_ab, kurs) VALUES ('CHF', ?, 0.95)", {Tag(1, 1)});
    Zeile(ADb,
          "INSERT INTO artikel (prod_a, prod_b, prod_c, artnr, bezeichnung, farbe) VALUES"
          " (101, 10001, 1, '10001', 'Strickpullover', 'schwarz'), (401, 10201, 2, '10201', 'Halbschuh', 'braun')",
          {});
    Preis(ADb, 101, 10001, 1, 1, 0, 2, "EUR", Tag(1, 1), 39.95);
    Preis(ADb, 101, 10001, 1, 1, 0, 2, "EUR", Tag(12, 1), 38.95);
    Preis(ADb, 101, 10001, 1, 1, 1, 2, "EUR", Tag(6, 1), 37.95);
    Preis(ADb, 101, 10001, 1, 1, 0, 2, "EUR", Tag(2, 1, 2027), 40.95);
    Preis(ADb, 101, 10001, 1, 2, 3, 3, "CHF", Tag(1, 1), 44.90);
    Preis(ADb, 101, 10001, 1, 2, 0, 3, "CHF", Tag(1, 1), 45.90);
    Preis(ADb, 999, 1, 1, 1, 0, 1, "EUR", Tag(1, 1), 0.004);

    Mitarbeiter(ADb, 20001, 1, 1, 0, "Berger", "Anna");
    Mitarbeiter(ADb, 20002, 1, 2, Tag(11, 30), "Kranz", "Paul");
    Mitarbeiter(ADb, 20003, 2, 3, Tag(12, 15), "Vogt", "Lea");
    Mitarbeiter(ADb, 20004, 1, 4, 0);

    Bon(ADb, 1, 20001, 1, 101, 12, 9001);
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9001, .PosNr = 1, .Datum = Tag(12, 3), .Filiale = 1, .Satzart = "VK", .ProdA = 101, .ProdB = 10001, .ProdC = 1, .GrInd = 2, .Menge = 2, .Betrag = 55.92, .Betrag2 = 79.90, .Waehrung = ""});
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9001, .PosNr = 2, .Datum = Tag(12, 3), .Filiale = 1, .Satzart = "RS", .ProdA = 0, .ProdB = 0, .ProdC = 0, .GrInd = 1, .Menge = 1, .Betrag = 0, .Betrag2 = -5.0, .Waehrung = ""});
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9001, .PosNr = 3, .Datum = Tag(12, 3), .Filiale = 1, .Satzart = "GS", .ProdA = 0, .ProdB = 0, .ProdC = 0, .GrInd = 1, .Menge = 1, .Betrag = 10.0, .Betrag2 = 12.5, .Waehrung = ""});

    Bon(ADb, 1, 20001, 1, 102, 12, 9002);
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9002, .PosNr = 1, .Datum = Tag(12, 31), .Filiale = 1, .Satzart = "VK", .ProdA = 401, .ProdB = 10201, .ProdC = 2, .GrInd = 1, .Menge = 1, .Betrag = 50.0, .Betrag2 = 59.95, .Waehrung = ""});
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9002, .PosNr = 2, .Datum = Tag(1, 1, 2027), .Filiale = 1, .Satzart = "VK", .ProdA = 401, .ProdB = 10201, .ProdC = 2, .GrInd = 1, .Menge = 1, .Betrag = 50.0, .Betrag2 = 59.95, .Waehrung = ""});
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9002, .PosNr = 3, .Datum = Tag(12, 31), .Filiale = 1, .Satzart = "VK", .ProdA = 401, .ProdB = 10201, .ProdC = 2, .GrInd = 1, .Menge = 1, .Betrag = 50.0, .Betrag2 = 59.95, .Waehrung = ""});

    Bon(ADb, 1, 20001, 1, 103, 12, 9003);
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9003, .PosNr = 1, .Datum = Tag(11, 20), .Filiale = 1, .Satzart = "VK", .ProdA = 101, .ProdB = 10001, .ProdC = 1, .GrInd = 0, .Menge = 1, .Betrag = 30.0, .Betrag2 = 39.95, .Waehrung = ""});
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9003, .PosNr = 2, .Datum = Tag(11, 20), .Filiale = 1, .Satzart = "VK", .ProdA = 999, .ProdB = 1, .ProdC = 1, .GrInd = 1, .Menge = 1, .Betrag = 1.0, .Betrag2 = 1.0, .Waehrung = ""});

    Bon(ADb, 1, 20002, 1, 150, 12, 9004);
    Position(ADb, {.MandA = 1, .Rechner = 12, .TransNr = 9004, .PosNr = 1, .Datum = Tag(12, 5), .Filiale = 1, .Satzart = "VK", .ProdA = 101, .ProdB = 10001, .ProdC = 1, .GrInd = 2, .Menge = 1, .Betrag = 30.0, .Betrag2 = 39.95, .Waehrung = ""});

    Bon(ADb, 2, 20003, 2, 201, 31, 9001);
    Position(ADb, {.MandA = 2, .Rechner = 31, .TransNr = 9001, .PosNr = 1, .Datum = Tag(12, 10), .Filiale = 3, .Satzart = "VK", .ProdA = 101, .ProdB = 10001, .ProdC = 1, .GrInd = 3, .Menge = 1, .Betrag = 31.43, .Betrag2 = 44.90, .Waehrung = ""});

    Bon(ADb, 2, 20001, 2, 202, 32, 9001);
    Position(ADb, {.MandA = 2, .Rechner = 32, .TransNr = 9001, .PosNr = 1, .Datum = Tag(12, 8), .Filiale = 3, .Satzart = "VK", .ProdA = 101, .ProdB = 10001, .ProdC = 1, .GrInd = 3, .Menge = 1, .Betrag = 30.0, .Betrag2 = 44.90, .Waehrung = "CHF"});
}

} // namespace persrab
