// Stock of the demo installation, written last, from the sales lines already in the
// database: every stock-keeping branch (all but the shipping ones) gets an opening stock on
// the first day and a goods receipt at the start of each quarter that covers that quarter's
// sales, so the stock at any cut-off lies at a small reserve. A few keys run to zero or
// below, some get an inventory correction or a transfer, and the articles never sold lie in
// two branches. Then the demo workstation's stored selection and period of the stock export.
// A random stream of its own: the other areas stay as they were.
#include "demomodell.h"
#include "rdlartquery.h"
#include "rdldatum.h"
#include "rdlinfo.h"

#include <map>
#include <vector>

namespace {

constexpr int CBlockTage = 91;

struct TSchluessel {
    int64_t A, B, C, GrInd, Filiale;
    auto operator<=>(const TSchluessel&) const = default;
};

} // namespace

void DemoBestandSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& O, const TDemoModell& M, TDemoErgebnis& E) {
    TDemoZufall z(O.Seed, "BESTAND");
    ADb.Exec("UPDATE filiale SET lv_benutzen = CASE WHEN versandfiliale <> 0 THEN 0 ELSE 1 END");
    std::vector<int64_t> lager;
    for (const auto& F : M.Filialen)
        if (!F.Versand) lager.push_back(F.Nr);
    if (lager.empty()) return;

    // Sold pieces per key and quarter, by the stock ledger's rule for sales lines.
    const int bloecke = int((M.LetzterTag - M.ErsterTag) / CBlockTage) + 1;
    std::map<TSchluessel, std::vector<int64_t>> verkauft;
    {
        auto st = ADb.Prepare(
            "SELECT prod_a, prod_b, prod_c, grind, filiale, (CAST(datum AS INTEGER) - ?) / ? AS block,"
            " SUM(CASE WHEN UPPER(TRIM(satzart)) = 'RE' THEN -ABS(menge) ELSE menge END)"
            " FROM lst JOIN filiale USING (filiale) WHERE lv_benutzen <> 0 AND datum >= ?"
            " AND UPPER(TRIM(satzart)) NOT IN ('EB', 'ME') AND NOT (prod_a = 0 AND prod_b = 0 AND prod_c = 0)"
            " GROUP BY prod_a, prod_b, prod_c, grind, filiale, block");
        // Whole days in integers: both stores divide them the same way.
        st.Bind(1, int64_t(M.ErsterTag));
        st.Bind(2, int64_t(CBlockTage));
        st.Bind(3, double(M.ErsterTag));
        while (st.Step()) {
            auto& v = verkauft[{st.ColInt(0), st.ColInt(1), st.ColInt(2), st.ColInt(3), st.ColInt(4)}];
            v.resize(size_t(bloecke));
            const int64_t b = std::clamp<int64_t>(st.ColInt(5), 0, bloecke - 1);
            v[size_t(b)] += st.ColInt(6);
        }
    }

    auto anfang = ADb.Massenladen("bestand_anfang", {"prod_a", "prod_b", "prod_c", "grind", "filiale", "datum", "menge"});
    const auto anfangZeile = [&](const TSchluessel& k, int64_t AMenge) {
        for (int64_t w : {k.A, k.B, k.C, k.GrInd, k.Filiale}) anfang->Int(w);
        anfang->Double(double(M.ErsterTag));
        anfang->Int(AMenge);
        anfang->ZeileEnde();
        ++E.Anfangsbestaende;
    };
    struct TBewegung {
        int64_t Art, Beleg, Pos;
        TSchluessel K;
        double Datum;
        int64_t Menge;
    };
    std::vector<TBewegung> bewegungen;
    int64_t beleg = 0;
    const double mitte = std::floor((M.ErsterTag + M.LetzterTag) / 2);
    for (const auto& [k, v] : verkauft) {
        int64_t reserve = z.Zahl(1, 4);
        const double r = z.Gleich();
        bool kuerzen = false;
        if (r < 0.02) reserve = 0;                      // sold out at the end
        else if (r < 0.04) reserve = 0, kuerzen = true; // oversold: more sold than received
        anfangZeile(k, std::max<int64_t>(0, v[0]) + reserve);
        for (int b = 1; b < bloecke; ++b) {
            int64_t menge = v[size_t(b)];
            if (kuerzen && b == bloecke - 1) menge -= z.Zahl(1, 3);
            if (menge > 0)
                bewegungen.push_back({1, ++beleg, 1, k, M.ErsterTag + double(b) * CBlockTage, menge});
        }
        if (reserve >= 2 && z.Chance(0.04)) bewegungen.push_back({3, ++beleg, 1, k, mitte, -1}); // shrinkage
        if (reserve >= 3 && lager.size() > 1 && z.Chance(0.02)) {
            TSchluessel nach = k;
            nach.Filiale = lager[size_t(z.Zahl(0, int(lager.size()) - 1))];
            if (nach.Filiale != k.Filiale) {
                ++beleg;
                bewegungen.push_back({2, beleg, 1, k, mitte, -2});
                bewegungen.push_back({2, beleg, 2, nach, mitte, 2});
            }
        }
    }
    // Articles never sold lie in the first two stock-keeping branches.
    std::map<TSchluessel, bool> verkaufteArtikel;
    for (const auto& [k, v] : verkauft) verkaufteArtikel[{k.A, k.B, k.C, 0, 0}] = true;
    for (const TDemoArtikel& A : M.Artikel)
        for (int farbe = 1; farbe <= A.Farben; ++farbe) {
            if (verkaufteArtikel.count({A.Warengruppe, A.Nr, farbe, 0, 0})) continue;
            for (size_t f = 0; f < std::min<size_t>(2, lager.size()); ++f)
                for (int g = 1; g <= (A.Groessen ? 8 : 1); ++g) anfangZeile({A.Warengruppe, A.Nr, farbe, g, lager[f]}, z.Zahl(1, 5));
        }
    anfang->Abschliessen();
    anfang.reset();

    auto bew = ADb.Massenladen("bestand_bewegung", {"art", "beleg_a", "beleg_b", "posnr", "prod_a", "prod_b", "prod_c",
                                                    "grind", "filiale", "datum", "menge"});
    for (const TBewegung& b : bewegungen) {
        for (int64_t w : {b.Art, int64_t(1), b.Beleg, b.Pos, b.K.A, b.K.B, b.K.C, b.K.GrInd, b.K.Filiale}) bew->Int(w);
        bew->Double(b.Datum);
        bew->Int(b.Menge);
        bew->ZeileEnde();
        ++E.Bestandsbewegungen;
    }
    bew->Abschliessen();
    bew.reset();

    // The demo workstation (this one) finds a selection and the previous year's period.
    int j = 0, m = 0, t = 0;
    DecodeDate(M.LetzterTag + 1, j, m, t);
    TRDL_ArtSelektion s;
    s.MitNullbestand = true;
    RDLKontextSchreiben(CRDL_CONTEXT_ARTBEST_SELEKTION.MitArbeitsplatz(), s.Werte(), &ADb);
    RDLKontextSchreiben(CRDL_CONTEXT_ZEITRAUM_LETZTEEINSTELLUNG.MitArbeitsplatz(),
                        {{"VON", DateToStr(EncodeDate(j - 1, 1, 1))}, {"BIS", DateToStr(EncodeDate(j - 1, 12, 31))}}, &ADb);
}
