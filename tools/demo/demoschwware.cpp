// Articles, suppliers and the purchase side of the demo installation: orders of the last
// 120 days as dispositions, their goods receipts (mostly checked, the last ones not), the
// suppliers' invoices, credit requests and quick-captured invoices, so that every kind of
// floating goods has rows. A random stream of its own: the other areas stay as they were.
#include "demomodell.h"
#include "demozeile.h"
#include "rdldatum.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>
#include <vector>

namespace {

struct TLieferant {
    int Gep;
    const char* Name;
    const char* Waehrung; // of its prices and documents
};
// One supplier per department and a Swiss one for the sportswear, in francs.
const TLieferant CLieferanten[] = {
    {7001, "Textilwerk Rheinland GmbH", ""}, {7002, "Herrenmode Becker & Sohn KG", ""},
    {7003, "Kinderkleidung Sonnenschein GmbH", ""}, {7004, "Schuhfabrik Pirmasens AG", ""},
    {7005, "Accessoires Lindner e. K.", ""},    {7006, "Alpin Sport AG", "CHF"},
};
const char* const CAbteilungen[] = {"", "Damen", "Herren", "Kinder", "Schuhe", "Accessoires", "Sport"};
const char* const CFarben[] = {"", "schwarz", "weiß", "marine", "grau", "rot"};
const char* const CKleidergroessen[] = {"XS", "S", "M", "L", "XL", "XXL", "3XL", "4XL"};
const char* const CSchuhgroessen[] = {"38", "39", "40", "41", "42", "43", "44", "45"};

constexpr int CTageZurueck = 120;

std::string Trio9(int A, int B, int C) { return TInt32Trio{A, B, C}.ToTextUnformatted(9); }

} // namespace

void DemoSchwimmendeWareSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& O, const TDemoModell& M,
                                  TDemoErgebnis& E) {
    TDemoZufall z(O.Seed, "SCHWIMMENDE_WARE");
    const TDateTime heute = M.LetzterTag + 1;

    // --- suppliers, sizes, articles, phases -----------------------------------------------
    auto sg = ADb.Prepare("INSERT INTO gep (gep_a, gep_b, name1, name2) VALUES (?, 1, ?, '')");
    auto sk = ADb.Prepare("INSERT INTO kuli (gep_a, gep_b, mand_a, mand_b, nummer) VALUES (?, 1, ?, ?, ?)");
    for (const TLieferant& l : CLieferanten) {
        DemoZeile(sg, {DemoI(l.Gep), std::string(l.Name)});
        ++E.Lieferanten;
        // The first client numbers every supplier, the others some.
        for (const TDemoMandant& m : M.Mandanten)
            if (&m == &M.Mandanten.front() || z.Chance(0.5)) DemoZeile(sk, {DemoI(l.Gep), DemoI(m.Id.A), DemoI(m.Id.B), DemoI(l.Gep * 10 + m.Id.A)});
    }
    auto sgr = ADb.Prepare("INSERT INTO groesse (leiste, grind, bezeichnung) VALUES (?, ?, ?)");
    for (int k = 1; k <= 8; ++k) {
        DemoZeile(sgr, {DemoI(1), DemoI(k), std::string(CKleidergroessen[k - 1])});
        DemoZeile(sgr, {DemoI(2), DemoI(k), std::string(CSchuhgroessen[k - 1])});
    }
    auto sa = ADb.Prepare("INSERT INTO artikel (prod_a, prod_b, prod_c, artnr, bezeichnung, farbe, warengruppe, lief_a,"
                          " lief_b, ek, vk, groessenleiste) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?, ?)");
    for (const TDemoArtikel& A : M.Artikel)
        for (int farbe = 1; farbe <= A.Farben; ++farbe) {
            DemoZeile(sa, {DemoI(A.Warengruppe), DemoI(A.Nr), DemoI(farbe), std::to_string(A.Nr),
                       std::string(CAbteilungen[A.Abteilung]) + " " + std::to_string(A.Warengruppe) + "/" +
                           std::to_string(A.Nr),
                       std::string(CFarben[farbe]), DemoI(A.Warengruppe), DemoI(CLieferanten[A.Abteilung - 1].Gep),
                       DemoRunden2(A.Preis * A.EkQuote), A.Preis, DemoI(A.Groessen)});
            ++E.Artikel;
        }
    ADb.Exec("INSERT INTO phase (kuerzel, phase, bezeichnung, mand_sv_seite, nummernformat) VALUES"
             " ('RE', 3, 'Rechnung', 1, 'RE-{Jahr}-{Nr}{Teil}{Storno}'),"
             " ('GA', 7, 'Gutschriftsanforderung', 1, 'GA-{Nr}-{JJ}{MM}'),"
             " ('SR', 4, 'Schnellerfasste Rechnung', 2, 'SR{JJ}{MM}-{Nr}{Storno}')");

    // --- orders as dispositions, their receipts and invoices ----------------------------------
    auto sd = ADb.Prepare("INSERT INTO dispo (dispo_a, dispo_b, dispo_c, prod_a, prod_b, prod_c, status, wedatum,"
                          " lief_a, lief_b, waehrung, preis) VALUES (1, ?, 0, ?, ?, ?, ?, ?, ?, 1, ?, ?)");
    auto sdp = ADb.Prepare("INSERT INTO dispo_preis (dispo_a, dispo_b, dispo_c, grind, preis) VALUES (1, ?, 0, ?, ?)");
    auto sdf = ADb.Prepare("INSERT INTO dispo_filiale (dispo_a, dispo_b, dispo_c, lfdnr, filiale, grind_von, grind_bis)"
                           " VALUES (1, ?, 0, ?, ?, ?, ?)");
    auto sdm = ADb.Prepare("INSERT INTO dispo_menge (dispo_a, dispo_b, dispo_c, lfdnr, grind, menge)"
                           " VALUES (1, ?, 0, ?, ?, ?)");
    auto sw = ADb.Prepare("INSERT INTO arks (vorg_a, vorg_b, vorg_c, art, status) VALUES (1, ?, 0, 'W', ?)");
    auto skopf = ADb.Prepare("INSERT INTO atk (atk_a, atk_b, atk_c, mandnr, phase, stornokz, belegnr, jahr, monat, teilnr,"
                             " datum, gep1_a, gep1_b, gep2_a, gep2_b, belegtyp, wert, waehrung, erledigt)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    auto spos = ADb.Prepare("INSERT INTO atpk (atpk_a, atpk_b, atpk_c, atk_a, atk_b, atk_c, posnr, postyp, prod_a,"
                            " prod_b, prod_c, menge) VALUES (5, ?, 0, ?, ?, 0, ?, ?, ?, ?, ?, ?)");
    auto spd = ADb.Prepare("INSERT INTO atpk_dispo (atpk_a, atpk_b, atpk_c, lfdnr, dispo_a, dispo_b, dispo_c, menge)"
                           " VALUES (5, ?, 0, 1, 1, ?, 0, ?)");
    auto szo = ADb.Prepare("INSERT INTO zo (datei, satz, merkmal, wert) VALUES ('ATK', ?, 'BARCODE', ?)");

    // The branches that order: every branch that sells in a shop or ships.
    std::vector<const TDemoFiliale*> filialen;
    for (const auto& F : M.Filialen) filialen.push_back(&F);
    std::vector<std::vector<size_t>> artikelJeAbteilung(7);
    for (size_t i = 0; i < M.Artikel.size(); ++i) artikelJeAbteilung[size_t(M.Artikel[i].Abteilung)].push_back(i);

    int dispoNr = 0, posNr = 0, rechnungNr = 0, belegNr = 4000;
    bool duplikat = false;
    for (TDateTime tag = heute - CTageZurueck; tag < heute; tag += 1) {
        if (DayOfTheWeek(tag) >= 6) continue; // purchasing orders on workdays
        const int auftraege = z.Zahl(1, 3);
        for (int a = 0; a < auftraege; ++a) {
            const int abteilung = z.Zahl(1, 6);
            const TLieferant& L = CLieferanten[abteilung - 1];
            const std::string waehrung = L.Waehrung;
            const double kurs = waehrung.empty() ? 1.0 : 1.05; // francs per euro of the price
            const TDemoFiliale& F = *filialen[size_t(z.Zahl(0, int(filialen.size()) - 1))];
            const TDateTime eingang = tag + z.Zahl(5, 25);
            // The invoice comes a few days after the order, some before the goods.
            const TDateTime rechnungstag = tag + z.Zahl(2, 12);
            const bool rechnung = rechnungstag < heute;
            const int rechnung_b = rechnung ? ++rechnungNr : 0;
            double rechnungswert = 0;
            const int positionen = z.Zahl(1, 4);
            int pos = 0;
            for (int p = 0; p < positionen; ++p) {
                const auto& liste = artikelJeAbteilung[size_t(abteilung)];
                const TDemoArtikel& A = M.Artikel[liste[size_t(z.Zahl(0, int(liste.size()) - 1))]];
                const int farbe = z.Zahl(1, A.Farben);
                const int d = ++dispoNr;
                const double preis = DemoRunden2(A.Preis * A.EkQuote * kurs);
                const bool eingegangen = eingang < heute;
                const double wedatum = eingegangen ? eingang + EncodeTime(z.Zahl(8, 16), z.Zahl(0, 59)) : 0.0;
                DemoZeile(sd, {DemoI(d), DemoI(A.Warengruppe), DemoI(A.Nr), DemoI(farbe), DemoI(eingegangen ? 2 : 1), wedatum, DemoI(L.Gep), waehrung,
                           preis});
                const int bis = A.Groessen ? 8 : 1;
                // Large sizes cost a little more.
                if (A.Groessen == 1)
                    for (int k = 6; k <= 8; ++k) DemoZeile(sdp, {DemoI(d), DemoI(k), DemoRunden2(preis * 1.1)});
                // The ordering branch, sometimes a second one of the same client.
                int menge = 0;
                int lfd = 0;
                for (const TDemoFiliale* G : {&F, z.Chance(0.3) ? filialen[size_t(z.Zahl(0, int(filialen.size()) - 1))]
                                                                 : nullptr}) {
                    if (!G || (lfd > 0 && (G == &F || G->Mandant != F.Mandant))) continue;
                    ++lfd;
                    const int von = A.Groessen ? z.Zahl(1, 3) : 1, bisGr = A.Groessen ? z.Zahl(4, bis) : 1;
                    DemoZeile(sdf, {DemoI(d), DemoI(lfd), DemoI(G->Nr), DemoI(von), DemoI(bisGr)});
                    for (int k = von; k <= bisGr; ++k) {
                        const int q = A.Groessen ? z.Zahl(0, 4) : z.Zahl(1, 6);
                        if (q == 0) continue;
                        DemoZeile(sdm, {DemoI(d), DemoI(lfd), DemoI(k), DemoI(q)});
                        menge += q;
                        rechnungswert += q * (A.Groessen == 1 && k >= 6 ? DemoRunden2(preis * 1.1) : preis);
                    }
                }
                ++E.Dispositionen;
                if (eingegangen) {
                    // Checked within a few days; the last week's receipts wait.
                    const bool geprueft = eingang < heute - 7 ? !z.Chance(0.05) : z.Chance(0.3);
                    const std::string status = geprueft ? "K" : (z.Chance(0.5) ? "O" : " ");
                    DemoZeile(sw, {DemoI(d), status});
                    // A receipt booked twice by the goods receipt.
                    if (!geprueft && !duplikat) {
                        DemoZeile(sw, {DemoI(d), status});
                        duplikat = true;
                    }
                }
                if (rechnung) {
                    ++posNr;
                    DemoZeile(spos, {DemoI(posNr), DemoI(2), DemoI(rechnung_b), DemoI(++pos), DemoI(1), DemoI(A.Warengruppe), DemoI(A.Nr), DemoI(farbe),
                                 DemoI(menge)});
                    DemoZeile(spd, {DemoI(posNr), DemoI(d), DemoI(menge)});
                }
            }
            if (rechnung) {
                ++posNr; // the freight
                DemoZeile(spos, {DemoI(posNr), DemoI(2), DemoI(rechnung_b), DemoI(++pos), DemoI(2), DemoI(0), DemoI(0), DemoI(0), DemoI(1)});
                int rj, rm, rt;
                DecodeDate(rechnungstag, rj, rm, rt);
                // Settled some weeks after the invoice.
                const std::string erledigt = rechnungstag < heute - 30 && z.Chance(0.8) ? "J" : "N";
                DemoZeile(skopf, {DemoI(2), DemoI(rechnung_b), DemoI(0), DemoI(F.Mandant.A), std::string("RE"), std::string(" "), DemoI(++belegNr),
                              DemoI(rj), DemoI(rm), DemoI(0), rechnungstag, DemoI(L.Gep), DemoI(1), DemoI(F.Mandant.A), DemoI(F.Mandant.B), DemoI(12),
                              DemoRunden2(rechnungswert), waehrung, erledigt});
                ++E.Belege;
                if (z.Chance(0.4)) DemoZeile(szo, {Trio9(2, rechnung_b, 0), "40" + std::to_string(1000000000 + rechnung_b)});
            }
        }
    }

    // --- credit requests: faulty goods sent back ----------------------------------------------
    int gutschrift = 0;
    for (TDateTime tag = heute - CTageZurueck; tag < heute; tag += 1) {
        if (DayOfTheWeek(tag) >= 6 || !z.Chance(0.25)) continue;
        int jahr, monat, t;
        DecodeDate(tag, jahr, monat, t);
        const TLieferant& L = CLieferanten[size_t(z.Zahl(0, 5))];
        const TDemoMandant& m = M.Mandanten[size_t(z.Zahl(0, int(M.Mandanten.size()) - 1))];
        const int b = ++gutschrift;
        // A request for several deliveries is split into parts (the third key number).
        const int teile = z.Chance(0.2) ? 2 : 1;
        for (int c = teile == 1 ? 0 : 1; c <= (teile == 1 ? 0 : teile); ++c) {
            const std::string erledigt = tag < heute - 45 && z.Chance(0.7) ? "J" : "N";
            DemoZeile(skopf, {DemoI(3), DemoI(b), DemoI(c), DemoI(m.Id.A), std::string("GA"), std::string(" "), DemoI(500 + b), DemoI(jahr), DemoI(monat),
                          DemoI(c), tag, DemoI(L.Gep), DemoI(1), DemoI(m.Id.A), DemoI(m.Id.B), DemoI(15),
                          DemoRunden2(z.Bereich(20, 400) * (*L.Waehrung ? 1.05 : 1.0)), std::string(L.Waehrung), erledigt});
            ++E.Belege;
            if (z.Chance(0.3)) DemoZeile(szo, {Trio9(3, b, int16_t(c)), "GA" + std::to_string(100000 + b)});
        }
    }

    // --- quick-captured invoices: value positions of the "SERFASSUNG" record ------------------
    ADb.Exec("INSERT INTO lar (kennung, lar_a, lar_b, lar_c) VALUES ('SERFASSUNG', 9, 1, 0)");
    auto sl = ADb.Prepare("INSERT INTO atpl (lar_a, lar_b, lar_c, wert, atpb_a, atpb_b, atpb_c) VALUES (9, 1, 0, ?, 6, ?, 0)");
    auto sb = ADb.Prepare("INSERT INTO atpb (atpb_a, atpb_b, atpb_c, atpk_a, atpk_b, atpk_c) VALUES (6, ?, 0, 5, ?, 0)");
    int schnell = 0;
    bool unterbrochen = false;
    for (TDateTime tag = heute - CTageZurueck; tag < heute; tag += 1) {
        if (DayOfTheWeek(tag) >= 6 || !z.Chance(0.35)) continue;
        int jahr, monat, t;
        DecodeDate(tag, jahr, monat, t);
        const int b = ++schnell;
        const TLieferant& L = CLieferanten[size_t(z.Zahl(0, 4))];
        const TDemoMandant& m = M.Mandanten[size_t(z.Zahl(0, int(M.Mandanten.size()) - 1))];
        const double wert = DemoRunden2(z.Bereich(50, 2500));
        DemoZeile(sl, {wert, DemoI(b)});
        // One chain lost its link to the document position (a capture broken off).
        if (!unterbrochen && tag > heute - 60) {
            unterbrochen = true;
            continue;
        }
        ++posNr;
        DemoZeile(sb, {DemoI(b), DemoI(posNr)});
        DemoZeile(spos, {DemoI(posNr), DemoI(4), DemoI(b), DemoI(1), DemoI(2), DemoI(0), DemoI(0), DemoI(0), DemoI(1)});
        // This phase names the supplier as the second party (its client side is 2).
        DemoZeile(skopf, {DemoI(4), DemoI(b), DemoI(0), DemoI(m.Id.A), std::string("SR"), std::string(z.Chance(0.05) ? "S" : " "),
                      DemoI(8000 + b), DemoI(jahr), DemoI(monat), DemoI(0), tag, DemoI(m.Id.A), DemoI(m.Id.B), DemoI(L.Gep), DemoI(1), DemoI(12), wert,
                      std::string(), std::string("N")});
        ++E.Belege;
        if (z.Chance(0.5)) DemoZeile(szo, {Trio9(4, b, 0), "SR" + std::to_string(700000 + b)});
    }
}
