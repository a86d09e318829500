// Staff purchases of the demo installation: a staff record for every seller and for two
// office staff of the first client (one whose contract ended a year ago, one ending last
// month), their names as partners, a price table from the catalogue (the clients' prices in
// euros, a price rise a year ago, the Swiss branch's own prices in francs), and the staff
// members' purchases at a staff till of their branch: about 30 % below the till's price,
// with some rounding (RS) and voucher (GS) lines. A random stream of its own: the other
// areas stay as they were.
#include "demomodell.h"
#include "demozeile.h"
#include "feiertage.h"
#include "rdldatum.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

namespace {

// Swiss prices as the tills have them: a tenth above the euro price, ending in ",90".
double PreisInFranken(double AEuro) { return std::round(AEuro * 1.1) - 0.10; }

const std::vector<std::string> CPreisSpalten = {"prod_a", "prod_b",   "prod_c",     "mand_a", "mand_b",
                                                "filiale", "grind", "waehrung", "gueltig_ab", "preis"};
const std::vector<std::string> CLstSpalten = {
    "mand_a", "mand_b", "rechner", "transnr", "posnr", "datum", "uhrzeit", "filiale", "satzart", "prod_a", "prod_b",
    "prod_c", "artnr", "grind", "verknr", "menge", "betrag", "betrag2", "waehrung", "ek", "herkunft"};

// Staff tills: one per branch, numbered after the branch's own tills.
int Personalkasse(int AFiliale) { return AFiliale * 10 + 9; }

int Groessen(const TDemoArtikel& A) { return A.Groessen ? 8 : 1; }

} // namespace

void DemoPersonalSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& O, const TDemoModell& M, TDemoErgebnis& E) {
    TDemoZufall z(O.Seed, "PERSONAL");
    const TDateTime heute = M.LetzterTag + 1;
    const TIntPair erster = M.Mandanten.front().Id;

    // --- staff and their names ----------------------------------------------------------------
    struct TMita {
        TIntPair Gep, Mandant;
        int KurzNr = 0, Filiale = 0;
        TDateTime GueltigBis = 0;
    };
    std::vector<TMita> staff;
    auto sg = ADb.Prepare("INSERT INTO gep (gep_a, gep_b, name1, name2) VALUES (?, ?, ?, ?)");
    auto sm = ADb.Prepare("INSERT INTO mita (gep_a, gep_b, mand_a, mand_b, kurznr, gueltigbis) VALUES (?, ?, ?, ?, ?, ?)");
    for (const TDemoVerkaeufer& V : M.Verkaeufer) {
        DemoZeile(sg, {DemoI(V.Gep.A), DemoI(V.Gep.B), V.Nachname, V.Vorname});
        staff.push_back({V.Gep, V.Mandant, V.VkNr, V.Filiale, 0});
    }
    int jahr, monat, tag;
    DecodeDate(heute, jahr, monat, tag);
    const TDateTime monatsanfang = EncodeDate(jahr, monat, 1);
    const struct {
        int Nr;
        const char* Nachname;
        const char* Vorname;
        TDateTime Bis;
    } buero[] = {{1, "Hartmann", "Sabine", heute - 365}, {2, "Lorenz", "Michael", monatsanfang - 1}};
    for (const auto& b : buero) {
        const TIntPair gep{erster.A, 9000 + b.Nr};
        DemoZeile(sg, {DemoI(gep.A), DemoI(gep.B), std::string(b.Nachname), std::string(b.Vorname)});
        staff.push_back({gep, erster, 9000 + b.Nr, 0, b.Bis});
    }
    for (const TMita& m : staff) {
        DemoZeile(sm, {DemoI(m.Gep.A), DemoI(m.Gep.B), DemoI(m.Mandant.A), DemoI(m.Mandant.B), DemoI(m.KurzNr), m.GueltigBis});
        ++E.Mitarbeiter;
    }

    // --- prices from the catalogue ---------------------------------------------------------
    // Every client sells at the list price in euros; a fifth of the articles became 5 %
    // dearer a year ago; the Swiss branch has its own prices in francs.
    const TDateTime erhoehung = heute - 365;
    std::vector<bool> teurer(M.Artikel.size());
    for (size_t a = 0; a < M.Artikel.size(); ++a) teurer[a] = z.Chance(0.2) && erhoehung > M.ErsterTag;
    {
        auto L = ADb.Massenladen("preis", CPreisSpalten);
        const auto preis = [&](const TDemoArtikel& A, int AFarbe, int AGrInd, const TIntPair& AMandant, int AFiliale,
                               const std::string& AWaehrung, TDateTime AAb, double APreis) {
            L->Int(A.Warengruppe);
            L->Int(A.Nr);
            L->Int(AFarbe);
            L->Int(AMandant.A);
            L->Int(AMandant.B);
            L->Int(AFiliale);
            L->Int(AGrInd);
            L->Text(AWaehrung);
            L->Double(AAb);
            L->Double(APreis);
            L->ZeileEnde();
            ++E.Preise;
        };
        for (size_t a = 0; a < M.Artikel.size(); ++a) {
            const TDemoArtikel& A = M.Artikel[a];
            for (int farbe = 1; farbe <= A.Farben; ++farbe)
                for (int g = 1; g <= Groessen(A); ++g) {
                    for (const TDemoMandant& m : M.Mandanten) {
                        preis(A, farbe, g, m.Id, 0, "EUR", M.ErsterTag, A.Preis);
                        if (teurer[a])
                            preis(A, farbe, g, m.Id, 0, "EUR", erhoehung, DemoRunden2(A.Preis * 1.05));
                    }
                    for (const TDemoFiliale& F : M.Filialen)
                        if (F.Waehrung == "CHF")
                            preis(A, farbe, g, F.Mandant, F.Nr, "CHF", M.ErsterTag, PreisInFranken(A.Preis));
                }
        }
        L->Abschliessen();
    }

    // --- purchases ----------------------------------------------------------------------------
    // In the shops of the first client: its sellers at their branch, the office at the first.
    std::vector<const TDemoFiliale*> laeden;
    for (const TDemoFiliale& F : M.Filialen)
        if (F.Mandant == erster && !F.Versand) laeden.push_back(&F);
    if (laeden.empty()) return;
    auto sr = ADb.Prepare("INSERT INTO rechner (rechner, name, filiale) VALUES (?, ?, ?)");
    for (const TDemoFiliale* F : laeden) {
        DemoZeile(sr, {DemoI(Personalkasse(F->Nr)), "Personalkasse " + F->Name, DemoI(F->Nr)});
        ++E.Rechner;
    }
    const auto geschlossen = [&](const TDemoFiliale& F, TDateTime t) {
        if (DemoFilialeGeschlossen(M, F, t)) return true;
        for (const auto& x : M.Ausnahmen)
            if (x.Filiale == F.Nr && x.Datum == t) return true; // a day of its own hours: left out
        return false;
    };
    struct TKauf {
        TDateTime Datum;
        double Uhrzeit;
        size_t Mita;
        const TDemoFiliale* Filiale;
    };
    std::vector<TKauf> kaeufe;
    for (size_t i = 0; i < staff.size(); ++i) {
        const TMita& m = staff[i];
        if (m.Mandant != erster) continue;
        const TDemoFiliale* F = laeden.front();
        for (const TDemoFiliale* l : laeden)
            if (l->Nr == m.Filiale) F = l;
        if (m.Filiale != 0 && F->Nr != m.Filiale) continue; // a seller of a shipping branch
        const TDateTime ende = m.GueltigBis > 0 ? std::min(m.GueltigBis, M.LetzterTag) : M.LetzterTag;
        // About two purchases a month.
        for (TDateTime t = M.ErsterTag + z.Zahl(0, 20); t <= ende; t += z.Zahl(5, 25)) {
            if (geschlossen(*F, t)) continue;
            const auto& fenster = F->Oeffnung[size_t(DayOfTheWeek(t))];
            const double uhrzeit = z.Bereich(fenster.front().Von, fenster.back().Bis - 1.0 / 48);
            kaeufe.push_back({t, std::round(uhrzeit * 86400) / 86400, i, F});
        }
    }
    // Transaction numbers ascend with the time of the purchase on each staff till.
    std::stable_sort(kaeufe.begin(), kaeufe.end(), [](const TKauf& a, const TKauf& b) {
        return std::tie(a.Datum, a.Uhrzeit) < std::tie(b.Datum, b.Uhrzeit);
    });
    auto sb = ADb.Prepare("INSERT INTO lfnr (mand_a, mand_b, gep_a, gep_b, bon_a, bon_b, vorfall, rechner, transnr)"
                          " VALUES (?, ?, ?, ?, ?, ?, 'PK', ?, ?)");
    std::map<int, int> transNr;
    struct TBon {
        TIntPair Gep;
        int Rechner, TransNr;
    };
    std::vector<TBon> bons;
    auto L = ADb.Massenladen("lst", CLstSpalten);
    for (const TKauf& k : kaeufe) {
        const TMita& m = staff[k.Mita];
        const TDemoFiliale& F = *k.Filiale;
        const int rechner = Personalkasse(F.Nr);
        const int nr = ++transNr[rechner];
        int j, mo, ta;
        DecodeDate(k.Datum, j, mo, ta);
        // Receipt number: the till and a running number (written after the lines: the bulk
        // loader holds the connection).
        bons.push_back({m.Gep, rechner, nr});
        const bool chf = F.Waehrung == "CHF";
        int pos = 0;
        const auto zeile = [&](const std::string& ASatzart, const TDemoArtikel* A, int AFarbe, int AGrInd, int AMenge,
                               double ABetrag, double ABetrag2, double AEk) {
            L->Int(erster.A);
            L->Int(erster.B);
            L->Int(rechner);
            L->Int(nr);
            L->Int(++pos);
            L->Double(k.Datum);
            L->Double(k.Uhrzeit);
            L->Int(F.Nr);
            L->Text(ASatzart);
            L->Int(A ? A->Warengruppe : 0);
            L->Int(A ? A->Nr : 0);
            L->Int(A ? AFarbe : 0);
            if (A) {
                char t[16];
                L->Text(std::string_view(t, size_t(std::to_chars(t, t + sizeof t, A->Nr).ptr - t)));
            } else {
                L->Text({});
            }
            L->Int(AGrInd);
            L->Int(0); // no seller earns by a staff purchase
            L->Int(AMenge);
            L->Double(ABetrag);
            L->Double(ABetrag2);
            L->Text(F.Waehrung);
            L->Double(AEk);
            L->Int(0);
            L->ZeileEnde();
            ++E.Umsatzzeilen;
        };
        const int artikel = z.Chance(0.7) ? 1 : z.Zahl(2, 3);
        double summe = 0;
        for (int p = 0; p < artikel; ++p) {
            const size_t a = size_t(z.Zahl(0, int(M.Artikel.size()) - 1));
            const TDemoArtikel& A = M.Artikel[a];
            const int farbe = z.Zahl(1, A.Farben);
            const int groesse = z.Zahl(1, Groessen(A));
            const double liste = teurer[a] && k.Datum >= erhoehung ? DemoRunden2(A.Preis * 1.05) : A.Preis;
            const double kasse = chf ? PreisInFranken(liste) : liste;
            const double betrag = DemoRunden2(kasse * z.Bereich(0.68, 0.72));
            zeile("VK", &A, farbe, groesse, 1, betrag, kasse, DemoRunden2(kasse * A.EkQuote));
            summe += betrag;
        }
        // The till rounds some receipts down to the ten cents; some are paid partly by voucher.
        const double rest = DemoRunden2(summe - std::floor(summe * 10) / 10);
        if (rest > 0 && z.Chance(0.1)) zeile("RS", nullptr, 0, 0, 0, 0, -rest, 0);
        if (z.Chance(0.05)) zeile("GS", nullptr, 0, 0, 1, 20.0, 25.0, 0);
    }
    L->Abschliessen();
    for (const TBon& b : bons) {
        DemoZeile(sb, {DemoI(erster.A), DemoI(erster.B), DemoI(b.Gep.A), DemoI(b.Gep.B), DemoI(b.Rechner), DemoI(b.TransNr), DemoI(b.Rechner),
                   DemoI(b.TransNr)});
        ++E.Personalbelege;
    }
}
