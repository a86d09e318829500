// Sales lines of the demo installation: receipts per branch and day with weekly and
// seasonal variation, appended with the bulk loader (COPY on the server).
#include "demomodell.h"
#include "demozufall.h"
#include "rdldatum.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

// Receipts of a branch of size 1 on an average day: a few hundred lines.
constexpr double CBonsProTag = 115;
constexpr int CPlattformen = 53;

// Columns of lst in the order Position() sends them; the record position comes from the
// store in insertion order.
const std::vector<std::string> CLstSpalten = {
    "mand_a", "mand_b", "rechner", "transnr", "posnr", "datum", "uhrzeit", "filiale", "satzart", "prod_a", "prod_b",
    "prod_c", "artnr", "grind", "verknr", "menge", "betrag", "betrag2", "waehrung", "ek", "herkunft"};

// By ISO weekday; stationary trade peaks on Saturday, online on Sunday and Monday.
const double CWochentagStationaer[8] = {0, 0.85, 0.85, 0.9, 1.0, 1.15, 1.5, 0};
const double CWochentagOnline[8] = {0, 1.15, 1.0, 0.95, 0.95, 0.9, 0.85, 1.2};
const double CMonat[13] = {0, 0.8, 0.75, 0.9, 0.95, 1.0, 0.95, 0.9, 0.85, 0.95, 1.0, 1.1, 1.4};
const double CSaisonWinter[13] = {0, 1.6, 1.3, 0.9, 0.6, 0.4, 0.3, 0.3, 0.5, 0.9, 1.3, 1.6, 1.8};
const double CSaisonSommer[13] = {0, 0.4, 0.5, 0.9, 1.2, 1.5, 1.7, 1.6, 1.3, 0.8, 0.5, 0.4, 0.5};
// Online orders by hour of the day: quiet nights, busy evenings.
const std::vector<double> COnlineStunden = {2, 1, 1, 1, 1, 1, 2, 3, 4, 5, 5, 6, 6, 6, 5, 5, 6, 7, 8, 9, 10, 9, 6, 4};

const std::string CSatzartVK = "VK", CSatzartRE = "RE", CSatzartME = "ME", CSatzartEB = "EB";

double Runden2(double x) { return std::round(x * 100.0) / 100.0; }

// Swiss prices: a tenth above the euro price, ending in ",90".
double PreisInWaehrung(double AEuro, bool AChf) { return AChf ? std::round(AEuro * 1.1) - 0.10 : AEuro; }

struct TBon {
    int Sekunde;
    size_t Kasse;   // index into the branch's computers
    int Herkunft;
    int Nr;         // draw order, makes the sort order total
};

class TUmsatzErzeuger {
public:
    TUmsatzErzeuger(TRDLDatenbank& ADb, const TDemoOptionen& O, TDemoModell& M, TDemoErgebnis& E,
                    TDemoZeitbuchungen& AZeiten)
        : FDb(ADb), FM(M), FE(E), FZeiten(AZeiten) {
        for (const auto& h : M.Feiertage) FFeiertage.insert({int64_t(h.Datum), h.Filiale});
        int jahrVon, jahrBis, mo, ta;
        DecodeDate(M.ErsterTag, jahrVon, mo, ta);
        DecodeDate(M.LetzterTag, jahrBis, mo, ta);
        for (const auto& F : M.Filialen)
            for (int j = jahrVon; j <= jahrBis; ++j)
                for (const auto& h : GesetzlicheFeiertage(j, F.Bundesland)) FFeiertage.insert({int64_t(h.Datum), F.Nr});
        for (const auto& a : M.Ausnahmen) {
            auto& fenster = FAusnahmen[{int64_t(a.Datum), a.Filiale}];
            if (a.Von < a.Bis) fenster.push_back({a.Von, a.Bis});
        }
        // Article choice per month: popularity times season.
        for (int monat = 1; monat <= 12; ++monat) {
            std::vector<double> g;
            for (const auto& A : M.Artikel)
                g.push_back(A.Beliebtheit *
                            (A.Saison == 1 ? CSaisonWinter[monat] : A.Saison == 2 ? CSaisonSommer[monat] : 1.0));
            FArtikelKum[size_t(monat)] = DemoKumuliert(g);
        }
        FGroessenKum[1] = DemoKumuliert({4, 10, 18, 22, 20, 14, 8, 4});  // XS .. 4XL
        FGroessenKum[2] = DemoKumuliert({5, 10, 15, 20, 20, 15, 10, 5}); // shoe sizes
        std::vector<double> plattform;
        for (int p = 1; p <= CPlattformen; ++p) plattform.push_back(1.0 / std::pow(p, 1.3)); // few big ones
        FPlattformKum = DemoKumuliert(plattform);
        FOnlineStundenKum = DemoKumuliert(COnlineStunden);
        FPositionenKum = DemoKumuliert({40, 25, 15, 10, 6, 4});
        FPositionenOnlineKum = DemoKumuliert({55, 25, 10, 5, 3, 2});
        FMengeKum = DemoKumuliert({85, 12, 3});
        FRabattKum = DemoKumuliert({30, 35, 20, 15});
        for (const auto& F : M.Filialen) {
            FZufall.emplace_back(O.Seed, "UMSAETZE", uint64_t(F.Nr));
            std::vector<double> anteile;
            for (size_t v : F.Verkaeufer) anteile.push_back(M.Verkaeufer[v].Anteil);
            FVerkaeuferKum.push_back(anteile.empty() ? std::vector<double>{} : DemoKumuliert(anteile));
        }
        FVerkauft.assign(M.Artikel.size() * 5, false);
    }

    // Inside the caller's booking bracket: the rows count when it commits.
    void Schreiben(const TDemoFortschritt& AFortschritt) {
        FLaden = FDb.Massenladen("lst", CLstSpalten);
        const int tage = int(FM.LetzterTag - FM.ErsterTag) + 1;
        for (int t = 0; t < tage; ++t) {
            const TDateTime d = FM.ErsterTag + t;
            for (size_t f = 0; f < FM.Filialen.size(); ++f) Tag(d, f);
            if (AFortschritt) AFortschritt("Umsätze", (t + 1) * 100 / tage, FE.Umsatzzeilen);
        }
        FLaden->Abschliessen();
        FLaden.reset();
    }

    // Products sold, in catalogue order.
    template <class Fn>
    void VerkaufteProdukte(Fn AFn) const {
        for (size_t i = 0; i < FVerkauft.size(); ++i)
            if (FVerkauft[i]) AFn(FM.Artikel[i / 5], int(i % 5) + 1);
    }

private:
    std::vector<TDemoZeitfenster> Fenster(const TDemoFiliale& F, TDateTime d) const {
        // The business calendar's order: exception, holiday or closing day, weekday.
        if (auto a = FAusnahmen.find({int64_t(d), F.Nr}); a != FAusnahmen.end()) return a->second;
        if (FFeiertage.count({int64_t(d), 0}) || FFeiertage.count({int64_t(d), F.Nr})) return {};
        return F.Oeffnung[size_t(DayOfTheWeek(d))];
    }

    double Tagesfaktor(const TDemoFiliale& F, TDateTime d, int AMonat, int ATag, TDemoZufall& z) const {
        const int wt = DayOfTheWeek(d);
        double m = CMonat[AMonat];
        if (AMonat == 12) {
            if (ATag <= 23) m = 1.15 + 0.5 * ATag / 23.0; // the run-up to Christmas
            else if (ATag == 24 || ATag == 31) m = 0.7;
            else m = 1.1;                                 // vouchers between the holidays
        }
        const double trend = 1.0 + 0.04 * (d - FM.ErsterTag) / 365.25;
        double rauschen = z.Bereich(0.85, 1.15);
        if (z.Chance(0.03)) rauschen *= z.Bereich(0.5, 0.8); // rain, road works
        return F.Groesse * (F.Versand ? CWochentagOnline[wt] : CWochentagStationaer[wt]) * m * trend * rauschen;
    }

    // A time in the opening windows, bell-shaped with a slightly later peak.
    int Sekunde(const std::vector<TDemoZeitfenster>& AFenster, double AGesamt, TDemoZufall& z) {
        const double t = std::pow((z.Gleich() + z.Gleich() + z.Gleich()) / 3.0, 0.85);
        double pos = t * AGesamt;
        for (const auto& f : AFenster) {
            const double laenge = f.Bis - f.Von;
            if (pos < laenge || &f == &AFenster.back()) {
                const int von = int(std::lround(f.Von * 86400)), bis = int(std::lround(f.Bis * 86400));
                return std::clamp(von + int(pos * 86400), von, bis - 1);
            }
            pos -= laenge;
        }
        return 0;
    }

    void Tag(TDateTime d, size_t AFiliale) {
        TDemoFiliale& F = FM.Filialen[AFiliale];
        TDemoZufall& z = FZufall[AFiliale];
        int jahr, monat, tag;
        DecodeDate(d, jahr, monat, tag);
        const auto fenster = Fenster(F, d);
        if (fenster.empty()) return; // closed: Sunday, holiday
        FZeiten.Tag(AFiliale, d, fenster);
        double gesamt = 0;
        for (const auto& f : fenster) gesamt += f.Bis - f.Von;

        const int anzahl = int(std::lround(CBonsProTag * Tagesfaktor(F, d, monat, tag, z)));
        std::vector<TBon> bons;
        bons.reserve(size_t(anzahl));
        for (int i = 0; i < anzahl; ++i) {
            TBon b{0, 0, 0, i};
            if (F.Versand) {
                if (z.Chance(0.1)) { // pick-up counter of the shipping branch
                    b.Kasse = 1;
                    b.Sekunde = z.Zahl(10 * 3600, 18 * 3600 - 1);
                } else {
                    b.Herkunft = int(z.Gewichtet(FPlattformKum)) + 1;
                    // Its orders from that platform go to the own web shop in the last year.
                    if (b.Herkunft == F.AuslaufPlattform && d > FM.LetzterTag - 365) b.Herkunft = 1;
                    b.Sekunde = int(z.Gewichtet(FOnlineStundenKum)) * 3600 + z.Zahl(0, 3599);
                }
            } else {
                static const std::vector<double> CKassen[] = {{}, {1}, {5, 3}, {5, 3, 2}};
                b.Kasse = z.Gewichtet(CKassen[std::min<size_t>(F.Rechner.size(), 3)]);
                b.Sekunde = Sekunde(fenster, gesamt, z);
            }
            bons.push_back(b);
        }
        std::sort(bons.begin(), bons.end(), [](const TBon& a, const TBon& b) {
            return std::tie(a.Sekunde, a.Kasse, a.Nr) < std::tie(b.Sekunde, b.Kasse, b.Nr);
        });

        FZ.Datum = d;
        FZ.Filiale = F.Nr;
        FZ.Mandant = F.Mandant;
        FZ.Waehrung = F.Waehrung;
        // Opening balance of every cash till at opening time.
        const int oeffnung = int(std::lround(fenster.front().Von * 86400));
        for (size_t k : F.Rechner) {
            TDemoRechner& R = FM.Rechner[k];
            if (!R.Bargeld) continue;
            Kopf(R, oeffnung, 0, 0);
            Position(1, CSatzartEB, nullptr, 0, 0, 0, 150.0, 150.0, 0.0);
        }
        const bool chf = F.Waehrung == "CHF";
        const double rabattQuote = (monat == 1 || monat == 7) ? 0.35 : monat == 12 ? 0.06 : 0.12;
        const double retourenQuote = (F.Versand ? 0.10 : 0.03) * (monat == 1 ? 2.0 : 1.0);
        for (const TBon& b : bons) {
            TDemoRechner& R = FM.Rechner[F.Rechner[b.Kasse]];
            const int verkaeufer = (b.Herkunft == 0 && !F.Verkaeufer.empty())
                ? FM.Verkaeufer[F.Verkaeufer[z.Gewichtet(FVerkaeuferKum[AFiliale])]].VkNr
                : 0; // online orders have no seller
            Kopf(R, b.Sekunde, verkaeufer, b.Herkunft);
            if (!F.Versand && z.Chance(0.01)) { // drawer opened without a sale
                Position(1, CSatzartME, nullptr, 0, 0, 0, 0, 0, 0);
                continue;
            }
            const bool retoure = z.Chance(retourenQuote);
            // A cancelled order: its lines once more with negative quantities and amounts.
            const bool storno = !retoure && b.Herkunft && F.StornoQuote > 0 && z.Chance(F.StornoQuote);
            struct TStorno {
                const TDemoArtikel* A;
                int Farbe, Groesse, Menge;
                double Betrag, Betrag2, Ek;
            };
            std::vector<TStorno> stornos;
            const int positionen = retoure ? (z.Chance(0.8) ? 1 : 2)
                                           : int(z.Gewichtet(b.Herkunft ? FPositionenOnlineKum : FPositionenKum)) + 1;
            for (int p = 1; p <= positionen; ++p) {
                const size_t a = z.Gewichtet(FArtikelKum[size_t(monat)]);
                const TDemoArtikel& A = FM.Artikel[a];
                const int farbe = z.Zahl(1, A.Farben);
                const int groesse = A.Groessen ? int(z.Gewichtet(FGroessenKum[size_t(A.Groessen)])) + 1 : 1;
                const int menge = retoure ? 1 : int(z.Gewichtet(FMengeKum)) + 1;
                static const double CRabatte[] = {0.1, 0.2, 0.3, 0.5};
                const double rabatt = z.Chance(rabattQuote) ? CRabatte[z.Gewichtet(FRabattKum)] : 0.0;
                const double betrag2 = Runden2(menge * PreisInWaehrung(A.Preis, chf));
                const double betrag = Runden2(betrag2 * (1 - rabatt));
                const double ek = Runden2(betrag2 * A.EkQuote);
                const double v = retoure ? -1 : 1;
                FVerkauft[a * 5 + size_t(farbe - 1)] = true;
                Position(p, retoure ? CSatzartRE : CSatzartVK, &A, farbe, groesse, int(v) * menge, v * betrag,
                         v * betrag2, v * ek);
                if (storno) stornos.push_back({&A, farbe, groesse, menge, betrag, betrag2, ek});
            }
            for (size_t i = 0; i < stornos.size(); ++i) {
                const TStorno& s = stornos[i];
                Position(positionen + int(i) + 1, CSatzartVK, s.A, s.Farbe, s.Groesse, -s.Menge, -s.Betrag, -s.Betrag2,
                         -s.Ek);
            }
        }
    }

    // Starts a transaction of a computer: the next number of its (client, computer) counter.
    // A computer belongs to one branch and so to one client.
    void Kopf(TDemoRechner& R, int ASekunde, int AVerkaeufer, int AHerkunft) {
        FZ.Rechner = R.Nr;
        FZ.TransNr = ++R.TransNr;
        FZ.Uhrzeit = ASekunde / 86400.0;
        FZ.VerkNr = AVerkaeufer;
        FZ.Herkunft = AHerkunft;
        ++FE.Transaktionen;
    }

    void Position(int APosNr, const std::string& ASatzart, const TDemoArtikel* A, int AFarbe, int AGroesse,
                  int AMenge, double ABetrag, double ABetrag2, double AEk) {
        auto& L = *FLaden;
        L.Int(FZ.Mandant.A);
        L.Int(FZ.Mandant.B);
        L.Int(FZ.Rechner);
        L.Int(FZ.TransNr);
        L.Int(APosNr);
        L.Double(FZ.Datum);
        L.Double(FZ.Uhrzeit);
        L.Int(FZ.Filiale);
        L.Text(ASatzart);
        L.Int(A ? A->Warengruppe : 0);
        L.Int(A ? A->Nr : 0);
        L.Int(A ? AFarbe : 0);
        if (A) {
            char nr[16];
            L.Text(std::string_view(nr, size_t(std::to_chars(nr, nr + sizeof nr, A->Nr).ptr - nr)));
        } else {
            L.Text({});
        }
        L.Int(AGroesse);
        L.Int(FZ.VerkNr);
        L.Int(AMenge);
        L.Double(ABetrag);
        L.Double(ABetrag2);
        L.Text(FZ.Waehrung);
        L.Double(AEk);
        L.Int(FZ.Herkunft);
        L.ZeileEnde();
        ++FE.Umsatzzeilen;
    }

    // The values shared by the lines of a day and of a transaction.
    struct TZeile {
        TIntPair Mandant;
        int Filiale = 0, Rechner = 0, TransNr = 0, VerkNr = 0, Herkunft = 0;
        TDateTime Datum = 0;
        double Uhrzeit = 0;
        std::string Waehrung;
    };

    TRDLDatenbank& FDb;
    std::unique_ptr<IRDLMassenladen> FLaden;
    TZeile FZ;
    TDemoModell& FM;
    TDemoErgebnis& FE;
    TDemoZeitbuchungen& FZeiten;
    std::set<std::pair<int64_t, int>> FFeiertage; // (day, branch); branch 0 = all
    std::map<std::pair<int64_t, int>, std::vector<TDemoZeitfenster>> FAusnahmen; // (day, branch); empty: closed
    std::vector<TDemoZufall> FZufall;             // one stream per branch
    std::array<std::vector<double>, 13> FArtikelKum;
    std::array<std::vector<double>, 3> FGroessenKum;
    std::vector<double> FPlattformKum, FOnlineStundenKum, FPositionenKum, FPositionenOnlineKum, FMengeKum, FRabattKum;
    std::vector<std::vector<double>> FVerkaeuferKum;
    std::vector<bool> FVerkauft; // per article and colour
};

} // namespace

void DemoUmsaetzeSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& O, TDemoModell& M, TDemoErgebnis& E,
                           const TDemoFortschritt& AFortschritt) {
    TDemoZeitbuchungen zeiten(O, M);
    TUmsatzErzeuger erzeuger(ADb, O, M, E, zeiten);
    erzeuger.Schreiben(AFortschritt);
    zeiten.Schreiben(ADb, E);

    // Group codes of the "EIGEN" system for every product sold (bonus definitions use them).
    auto st = ADb.Prepare("INSERT INTO awgs (system, prod_a, prod_b, prod_c, code) VALUES ('EIGEN', ?, ?, ?, ?)");
    erzeuger.VerkaufteProdukte([&](const TDemoArtikel& A, int AFarbe) {
        st.Bind(1, int64_t(A.Warengruppe));
        st.Bind(2, int64_t(A.Nr));
        st.Bind(3, int64_t(AFarbe));
        st.Bind(4, A.Code);
        st.Step();
        st.Reset();
        ++E.Warengruppencodes;
    });
}
