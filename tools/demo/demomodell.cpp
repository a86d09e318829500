#include "demomodell.h"
#include "demozufall.h"
#include "rdldatum.h"
#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace {

// Towns of the branches with their federal state, a mix of states from the first on.
const struct {
    const char* Name;
    const char* Land;
} COrte[] = {
    {"Köln", "NW"},       {"München", "BY"},   {"Berlin", "BE"},     {"Leipzig", "SN"},   {"Hamburg", "HH"},
    {"Stuttgart", "BW"},  {"Frankfurt", "HE"}, {"Hannover", "NI"},   {"Dresden", "SN"},   {"Düsseldorf", "NW"},
    {"Erfurt", "TH"},     {"Mainz", "RP"},     {"Saarbrücken", "SL"}, {"Rostock", "MV"},  {"Potsdam", "BB"},
    {"Magdeburg", "ST"},  {"Kiel", "SH"},      {"Bremen", "HB"},     {"Nürnberg", "BY"},  {"Dortmund", "NW"},
    {"Augsburg", "BY"},   {"Freiburg", "BW"},  {"Kassel", "HE"},     {"Osnabrück", "NI"}, {"Bonn", "NW"},
    {"Aachen", "NW"},     {"Münster", "NW"},   {"Bielefeld", "NW"},  {"Essen", "NW"},     {"Regensburg", "BY"},
    {"Würzburg", "BY"},   {"Heidelberg", "BW"}, {"Mannheim", "BW"},  {"Karlsruhe", "BW"}, {"Ulm", "BW"},
    {"Trier", "RP"},      {"Wiesbaden", "HE"}, {"Lübeck", "SH"},     {"Göttingen", "NI"}, {"Konstanz", "BW"},
};
constexpr int COrtAnzahl = int(sizeof COrte / sizeof COrte[0]);

const char* const CVornamenW[] = {"Anna", "Julia", "Katrin", "Sabine", "Laura", "Lena", "Sandra", "Jana",
                                  "Monika", "Petra", "Birgit", "Claudia", "Nicole", "Stefanie", "Miriam",
                                  "Melanie", "Franziska", "Jessica", "Sophie", "Ute"};
const char* const CVornamenM[] = {"Thomas", "Michael", "Andreas", "Stefan", "Jan", "Markus", "Tobias",
                                  "Christian", "Lukas", "Felix", "Jürgen", "Uwe", "Sebastian", "Florian",
                                  "Matthias", "Daniel", "Kai", "Jörg", "Timo", "Niklas"};
const char* const CNachnamen[] = {
    "Müller",  "Schmidt", "Schneider", "Fischer", "Weber",   "Meyer",    "Wagner",   "Becker",  "Schulz",
    "Hoffmann", "Schäfer", "Koch",     "Bauer",   "Richter", "Klein",    "Wolf",     "Schröder", "Neumann",
    "Schwarz", "Zimmermann", "Braun",  "Krüger",  "Hofmann", "Hartmann", "Lange",    "Schmitt", "Werner",
    "Krause",  "Meier",   "Lehmann",   "Köhler",  "Huber",   "Kaiser",   "Fuchs",    "Peters",  "Lang",
    "Scholz",  "Möller",  "Weiß",      "Jung",    "Hahn",    "Vogel",    "Friedrich", "Keller", "Günther",
};

const TDemoMandant CMandanten[] = {
    {{1, 1}, "Modehaus Rheinland GmbH"},
    {{2, 1}, "Westfalia Textil GmbH & Co. KG"},
    {{3, 1}, "Südmode Handels-AG"},
};

// Article groups: group, department, articles, price range (EUR), season, sizes.
struct TWarengruppe {
    int Nr, Abteilung, Anzahl;
    double MinPreis, MaxPreis;
    int Saison, Groessen;
};
const TWarengruppe CWarengruppen[] = {
    {101, 1, 30, 14.95, 69.95, 0, 1},  {102, 1, 25, 29.95, 149.95, 2, 1}, {103, 1, 30, 29.95, 119.95, 0, 1},
    {104, 1, 20, 29.95, 99.95, 1, 1},  {105, 1, 20, 59.95, 199.95, 1, 1}, {201, 2, 30, 24.95, 79.95, 0, 1},
    {202, 2, 25, 39.95, 129.95, 0, 1}, {203, 2, 15, 79.95, 199.95, 0, 1}, {204, 2, 20, 29.95, 89.95, 1, 1},
    {205, 2, 20, 69.95, 199.95, 1, 1}, {301, 3, 25, 7.95, 29.95, 0, 1},   {302, 3, 20, 12.95, 39.95, 0, 1},
    {303, 3, 12, 24.95, 79.95, 1, 1},  {401, 4, 20, 39.95, 159.95, 0, 2}, {402, 4, 15, 49.95, 179.95, 0, 2},
    {403, 4, 12, 24.95, 69.95, 0, 2},  {501, 5, 15, 19.95, 129.95, 0, 0}, {502, 5, 10, 14.95, 49.95, 0, 0},
    {503, 5, 15, 9.95, 39.95, 1, 0},   {504, 5, 20, 4.95, 29.95, 0, 0},   {601, 6, 20, 14.95, 89.95, 2, 1},
    {602, 6, 12, 49.95, 159.95, 0, 2},
};

TDemoZeitfenster Fenster(int h1, int m1, int h2, int m2) {
    return {EncodeTime(h1, m1), h2 == 24 ? 1.0 : EncodeTime(h2, m2)};
}

// Opening hours by branch profile.
void OeffnungSetzen(TDemoFiliale& F, int AProfil) {
    for (auto& tag : F.Oeffnung) tag.clear();
    switch (AProfil) {
    case 0: // city centre
        for (int t = 1; t <= 5; ++t) F.Oeffnung[size_t(t)] = {Fenster(9, 30, 19, 0)};
        F.Oeffnung[6] = {Fenster(9, 30, 18, 0)};
        break;
    case 1: // shopping centre
        for (int t = 1; t <= 6; ++t) F.Oeffnung[size_t(t)] = {Fenster(10, 0, 20, 0)};
        break;
    case 2: // small town with a lunch break
        for (int t = 1; t <= 5; ++t) F.Oeffnung[size_t(t)] = {Fenster(9, 0, 12, 30), Fenster(14, 0, 18, 30)};
        F.Oeffnung[6] = {Fenster(9, 0, 14, 0)};
        break;
    case 3: // Switzerland: long Thursday
        for (int t = 1; t <= 5; ++t) F.Oeffnung[size_t(t)] = {Fenster(9, 0, t == 4 ? 20 : 18, t == 4 ? 0 : 30)};
        F.Oeffnung[6] = {Fenster(9, 0, 17, 0)};
        break;
    default: // shipping: around the clock
        for (int t = 1; t <= 7; ++t) F.Oeffnung[size_t(t)] = {Fenster(0, 0, 24, 0)};
        break;
    }
}

} // namespace

bool DemoFilialeGeschlossen(const TDemoModell& M, const TDemoFiliale& F, TDateTime t) {
    if (IstGesetzlicherFeiertag(t, F.Bundesland)) return true;
    for (const auto& h : M.Feiertage)
        if (h.Datum == t && (h.Filiale == 0 || h.Filiale == F.Nr)) return true;
    return F.Oeffnung[size_t(DayOfTheWeek(t))].empty();
}

TDemoModell DemoModellBilden(const TDemoOptionen& O, TDateTime AHeute) {
    TDemoModell M;
    M.Unternehmensgruppe = "Brenninger & Söhne Handelsgruppe";
    M.Mandanten.assign(std::begin(CMandanten), std::end(CMandanten));
    M.LetzterTag = AHeute - 1;
    M.ErsterTag = AHeute - O.Tage;

    // --- branches, computers ------------------------------------------------------
    TDemoZufall zs(O.Seed, "STAMMDATEN");
    const int n = O.Filialen;
    const int versandNr = n >= 2 ? n : 0;
    const int schweizNr = n >= 4 ? n - 1 : 0;
    // One computer without a till: the engine must cope with computers that never sell.
    M.Rechner.push_back({1, "Server Zentrale", 0, false, 0});
    for (int nr = 1; nr <= n; ++nr) {
        TDemoFiliale F;
        F.Nr = nr;
        F.Mandant = M.Mandanten[size_t((nr - 1) * 3 / n)].Id;
        F.OrgeId = {F.Mandant.A, nr};
        F.Waehrung = "EUR";
        int profil;
        if (nr == versandNr) {
            F.Versand = true;
            F.Name = "Versand Online";
            F.Groesse = 1.3;
            profil = 4;
        } else if (nr == schweizNr) {
            F.Name = "Filiale Basel";
            F.Waehrung = "CHF";
            F.Groesse = zs.Bereich(0.8, 1.1);
            profil = 3;
        } else {
            const int ort = nr - 1;
            F.Name = std::string("Filiale ") + COrte[ort % COrtAnzahl].Name;
            F.Bundesland = COrte[ort % COrtAnzahl].Land;
            if (ort >= COrtAnzahl) F.Name += " " + std::to_string(ort / COrtAnzahl + 1);
            profil = nr % 4 == 0 ? 2 : (nr % 4 == 3 ? 1 : 0);
            F.Groesse = profil == 2 ? zs.Bereich(0.6, 0.8) : profil == 1 ? zs.Bereich(1.1, 1.5) : zs.Bereich(0.8, 1.3);
        }
        OeffnungSetzen(F, profil);
        const int kassen = F.Versand ? 2 : (F.Groesse >= 1.1 ? 3 : 2);
        for (int k = 1; k <= kassen; ++k) {
            F.Rechner.push_back(M.Rechner.size());
            // The shipping branch's first computer takes the online orders: no cash.
            M.Rechner.push_back({nr * 10 + k, "Kasse " + std::to_string(k) + " " + F.Name, nr,
                                 !(F.Versand && k == 1), 0});
        }
        M.Filialen.push_back(std::move(F));
    }
    // From four branches on, a second shipping branch of the first client: an outlet that
    // cancels orders and left one platform a year ago. Numbered after the others, with a
    // stream of its own, so the other branches' data stay as they were.
    if (n >= 4) {
        TDemoZufall zo(O.Seed, "VERSAND_OUTLET");
        TDemoFiliale F;
        F.Nr = n + 1;
        F.Mandant = M.Mandanten.front().Id;
        F.OrgeId = {F.Mandant.A, F.Nr};
        F.Waehrung = "EUR";
        F.Versand = true;
        F.Name = "Versand Outlet";
        F.Groesse = zo.Bereich(0.5, 0.7);
        F.StornoQuote = 0.04;
        F.AuslaufPlattform = 4;
        OeffnungSetzen(F, 4);
        for (int k = 1; k <= 2; ++k) {
            F.Rechner.push_back(M.Rechner.size());
            M.Rechner.push_back({F.Nr * 10 + k, "Kasse " + std::to_string(k) + " " + F.Name, F.Nr, k != 1, 0});
        }
        M.Filialen.push_back(std::move(F));
    }

    // --- sellers ----------------------------------------------------------------------
    TDemoZufall zv(O.Seed, "VERKAEUFER");
    std::set<std::string> namen;
    for (auto& F : M.Filialen) {
        const int anzahl = F.Versand ? 2 : 2 + int(std::lround(1.6 * F.Groesse));
        for (int k = 1; k <= anzahl; ++k) {
            TDemoVerkaeufer V;
            V.VkNr = F.Nr * 100 + k;
            V.Gep = {F.Mandant.A, 10000 + V.VkNr};
            V.Filiale = F.Nr;
            V.Mandant = F.Mandant;
            // Distinct names while the lists allow it (large installations repeat some).
            for (int versuch = 0; versuch < 20; ++versuch) {
                V.Vorname = zv.Chance(0.65) ? zv.Element(CVornamenW) : zv.Element(CVornamenM);
                V.Nachname = zv.Element(CNachnamen);
                if (namen.insert(V.Vorname + " " + V.Nachname).second) break;
            }
            V.Praemienberechtigt = zv.Chance(0.75);
            V.Anteil = zv.Bereich(0.5, 1.5);
            F.Verkaeufer.push_back(M.Verkaeufer.size());
            M.Verkaeufer.push_back(std::move(V));
        }
    }

    // --- closing days and exceptions ---------------------------------------------------
    // German branches close on the public holidays of their state (computed, not stored);
    // the Swiss branch has no state and lists the holidays of Basel as its closing days.
    int jahrVon, jahrBis, m, d;
    DecodeDate(M.ErsterTag, jahrVon, m, d);
    DecodeDate(AHeute, jahrBis, m, d);
    for (int j = jahrVon; j <= jahrBis; ++j) {
        if (schweizNr) {
            const TDateTime ostern = Ostersonntag(j);
            for (const auto& [tag, name] : std::vector<std::pair<TDateTime, const char*>>{
                     {EncodeDate(j, 1, 1), "Neujahr"}, {ostern - 2, "Karfreitag"}, {ostern + 1, "Ostermontag"},
                     {EncodeDate(j, 5, 1), "Tag der Arbeit"}, {ostern + 39, "Auffahrt"},
                     {ostern + 50, "Pfingstmontag"}, {EncodeDate(j, 8, 1), "Bundesfeier"},
                     {EncodeDate(j, 12, 25), "Weihnachten"}, {EncodeDate(j, 12, 26), "Stephanstag"}})
                M.Feiertage.push_back({tag, schweizNr, name});
        }
        for (const auto& F : M.Filialen) {
            if (F.Versand) continue;
            auto geschlossen = [&](TDateTime t) { return DemoFilialeGeschlossen(M, F, t); };
            // Inventory: every third branch closes on the second Monday of January.
            if (F.Nr % 3 == 1) {
                const TDateTime jan8 = EncodeDate(j, 1, 8);
                M.Ausnahmen.push_back({F.Nr, jan8 + (8 - DayOfTheWeek(jan8)) % 7, 1, 0, 0});
            }
            // Saturdays of Advent: open until eight.
            const TDateTime heiligabend = EncodeDate(j, 12, 24);
            const TDateTime advent4 = heiligabend - (DayOfTheWeek(heiligabend) % 7);
            for (int w = 2; w >= 0; --w) {
                const TDateTime samstag = advent4 - 7 * w - 1;
                if (geschlossen(samstag)) continue;
                M.Ausnahmen.push_back({F.Nr, samstag, 1, F.Oeffnung[6].front().Von, EncodeTime(20, 0)});
            }
            // Christmas Eve and New Year's Eve: the afternoon is closed.
            for (const TDateTime t : {heiligabend, EncodeDate(j, 12, 31)}) {
                if (geschlossen(t)) continue;
                const double schluss = EncodeTime(14, 0);
                int nr = 0;
                for (const auto& z : F.Oeffnung[size_t(DayOfTheWeek(t))])
                    if (z.Von < schluss) M.Ausnahmen.push_back({F.Nr, t, ++nr, z.Von, std::min(z.Bis, schluss)});
            }
        }
    }
    std::stable_sort(M.Feiertage.begin(), M.Feiertage.end(),
                     [](const auto& x, const auto& y) { return x.Datum < y.Datum; });
    std::stable_sort(M.Ausnahmen.begin(), M.Ausnahmen.end(), [](const auto& x, const auto& y) {
        return std::tie(x.Filiale, x.Datum, x.Nr) < std::tie(y.Filiale, y.Datum, y.Nr);
    });

    // --- article catalogue ------------------------------------------------------------
    TDemoZufall za(O.Seed, "ARTIKEL");
    int artNr = 10001;
    for (const auto& W : CWarengruppen) {
        const size_t erster = M.Artikel.size();
        for (int i = 0; i < W.Anzahl; ++i) {
            TDemoArtikel A;
            A.Abteilung = W.Abteilung;
            A.Warengruppe = W.Nr;
            A.Nr = artNr++;
            A.Farben = za.Zahl(1, 5);
            // Log-uniform prices with the usual ",95" ending.
            const double p = std::exp(za.Bereich(std::log(W.MinPreis), std::log(W.MaxPreis)));
            A.Preis = std::min(W.MaxPreis, std::floor(p) + 0.95);
            A.EkQuote = za.Bereich(0.45, 0.60);
            A.Beliebtheit = 0.3 + 10 * std::pow(za.Gleich(), 3); // a few bestsellers
            A.Saison = W.Saison;
            A.Groessen = W.Groessen;
            M.Artikel.push_back(A);
        }
        // Group code: department, group, price class within the group (01 low .. 03 high).
        std::vector<double> preise;
        for (size_t i = erster; i < M.Artikel.size(); ++i) preise.push_back(M.Artikel[i].Preis);
        std::sort(preise.begin(), preise.end());
        for (size_t i = erster; i < M.Artikel.size(); ++i) {
            auto& A = M.Artikel[i];
            const size_t rang = size_t(std::lower_bound(preise.begin(), preise.end(), A.Preis) - preise.begin());
            const int klasse = 1 + int(rang * 3 / preise.size());
            char code[16];
            std::snprintf(code, sizeof code, "%d%02d%02d", A.Abteilung, A.Warengruppe % 100, klasse);
            A.Code = code;
        }
    }

    // --- exchange rates ---------------------------------------------------------------
    // The Swiss branch's amounts count in euros at the rate of their day: one rate per
    // month, from the first year of sales lines and the nine prior years the sales
    // evaluation may compare with, up to this month. A stream of its own, so that the
    // data of the other areas stay as they were.
    if (schweizNr) {
        TDemoZufall zw(O.Seed, "WECHSELKURSE");
        constexpr int CVorjahre = 9;
        double kurs = zw.Bereich(0.935, 0.955);
        int monatBis;
        DecodeDate(AHeute, jahrBis, monatBis, d);
        for (int j = jahrVon - CVorjahre; j <= jahrBis; ++j)
            for (int mo = 1; mo <= (j == jahrBis ? monatBis : 12); ++mo) {
                // A wander that drifts back to the middle of its band.
                kurs = std::clamp(kurs + 0.2 * (0.945 - kurs) + zw.Bereich(-0.005, 0.005), 0.93, 0.96);
                M.Wechselkurse.push_back({"CHF", EncodeDate(j, mo, 1), std::round(kurs * 10000) / 10000});
            }
    }
    return M;
}
