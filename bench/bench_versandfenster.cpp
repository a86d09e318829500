// The shipping-branch evaluation's window on a generated installation (SQLite file, or a
// database of its own on a PostgreSQL server with --db): filling the window (offscreen,
// never shown) for every shipping branch over the last days, against the statistics
// manager asked exactly what the window's fill asks it, in a plain loop. The shipping
// statistics are built first with the engine's update, without dialogs.
// Usage: bench_versandfenster [--db postgresql://...] [branches] [days] [folder]
//        (default 5, 365, /tmp; from 4 branches on the demo has two shipping branches;
//        --db names the server, the folder is unused)
// Lines "step NAME SECONDS" and "check NAME DIFFERENCES" are for bench/beide_speicher.sh.
#include "bench_gemeinsam.h"
#include "bench_installation.h"
#include "kovfilialenselektframe.h"
#include "kovzeitraumeingabe.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlwaehrung.h"
#include "suitetabellen.h"
#include "umsatzmani_versfilausw.h"
#include "versfilauswfrm.h"
#include "vtrdlvrlist.h"

#include <QApplication>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using TDaten = TKOV_Umsatzdaten_Erw_VersFilAusw;

const TDate CHeute = EncodeDate(2026, 12, 10);

int Registrierte(const char* wo) {
    const auto& r = RDLInfo().Registrierte();
    for (size_t i = 0; i < r.size() && i < 3; ++i)
        std::fprintf(stderr, "%s: registered %s: %s\n", wo, r[i].TraceName.c_str(), r[i].Text.c_str());
    return int(r.size());
}

// Gross of every platform and kind, in the branch's currency (what the leaf rows show).
double Brutto(const TDaten& A) {
    double s = 0;
    for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
        for (int t = 0; t < 2; ++t) s += A.Plattformen[p][t].VKBrutto;
    return s;
}

bool CentGleich(double a, double b) { return std::abs(a - b) < 0.01 + 1e-9 * std::abs(a); }

struct TFensterLauf {
    double Sekunden = 0, Quelle = 0; // the whole click, and the part spent in the manager's calls
    int64_t Abfragen = 0, Blaetter = 0;
    double Brutto = 0; // of the leaf rows
    bool Vollstaendig = false;
};

double BlaetterBrutto(const TVRList& L, int64_t& AZeilen) {
    double s = 0;
    for (int32_t i = 0; i < L.GetRowCount(); ++i) {
        if (const TVRList* k = L.GetRowChild(i)) {
            s += BlaetterBrutto(*k, AZeilen);
            continue;
        }
        ++AZeilen;
        s += L.GetCellValueAsDouble(i, spaVkBrutto);
    }
    return s;
}

// A new window (not timed) with the shipping branches and the period, defaults otherwise,
// then the timed click. With AMessen the manager's calls go through a wrapper that times them.
TFensterLauf FensterFuellen(const std::vector<int16_t>& AFilialen, TDate von, TDate bis, bool AMessen) {
    TFensterLauf r;
    TVersFil_UmsatzQuelle quelle;
    if (AMessen) {
        quelle = [echt = VersFilUmsatzQuelleErzeugen(), &r](const TFiliale& F, TDate AVon, TDate ABis) {
            const auto t = Uhr::now();
            TDaten d = echt(F, AVon, ABis);
            r.Quelle += Sekunden(t);
            ++r.Abfragen;
            return d;
        };
    }
    TKOV_VersFilAuswertFrm f(nullptr, quelle);
    f.edtZeitraum->Zeitraum_Set({von, bis});
    if (!f.frmFilialen->SetSelected(AFilialen)) {
        std::fprintf(stderr, "the window lacks a shipping branch\n");
        std::exit(1);
    }
    const auto t0 = Uhr::now();
    f.btnAuswertenClick();
    r.Sekunden = Sekunden(t0);
    r.Vollstaendig = f.ErgebnisVollstaendig();
    if (const TVRList* l = f.vtVersandfilialen->List()) r.Brutto = BlaetterBrutto(*l, r.Blaetter);
    return r;
}

// The manager's calls of the window's fill (VersFilTabelleFuellen through
// VersFilUmsatzQuelleErzeugen): a branch in the house currency one period, another one
// day by day; one manager, made before the clock starts, as the window makes it.
double MaschineFragen(const std::vector<TFiliale>& AFilialen, const std::string& AHauswaehrung, TDate von, TDate bis,
                      double& ABrutto, int64_t& AAbfragen) {
    ABrutto = 0;
    AAbfragen = 0;
    TKOV_UmsatzAuswertMani_VersFilAusw m;
    const auto t0 = Uhr::now();
    for (const TFiliale& f : AFilialen) {
        const std::string waehrung = f.GetWaehrung().empty() ? AHauswaehrung : f.GetWaehrung();
        if (waehrung == AHauswaehrung) {
            ABrutto += Brutto(von == bis ? m.GetUmsatzFuerTag(f.Mandant, f.OrgeID, von)
                                         : m.GetUmsatzFuerZeitraum(f.Mandant, f.OrgeID, von, bis));
            ++AAbfragen;
        } else {
            for (TDate d = von; d <= bis; d += 1, ++AAbfragen) ABrutto += Brutto(m.GetUmsatzFuerTag(f.Mandant, f.OrgeID, d));
        }
    }
    return Sekunden(t0);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string server = BenchDbArgument(argc, argv);
    QApplication app(argc, argv);
    // Qt took the environment's locale; the figures are printed with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    const int filialen = argc > 1 ? std::atoi(argv[1]) : 5;
    const int tage = argc > 2 ? std::atoi(argv[2]) : 365;
    const fs::path basis = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    if (filialen < 2 || tage < 1) {
        std::fprintf(stderr, "usage: bench_versandfenster [--db postgresql://...] [branches >= 2] [days] [folder]\n");
        return 2;
    }
    const std::string pfad = BenchOrtAnlegen(server, basis, "bench_versandfenster");
    rdl_HeuteFestlegen(CHeute);
    const TDate von = CHeute - tage, bis = CHeute - 1;

    BenchUmgebung(nullptr);
    BenchInstallationErzeugen(pfad, filialen, tage, CHeute, "shipping_installation");
    auto db = TRDLDatenbank::Oeffnen(pfad);
    BenchUmgebung(db);
    {
        const auto t0 = Uhr::now();
        TKOV_UmsatzUmszMani_VersFilAusw m;
        if (!m.UpdateStatistikfiles(tage, false) || Registrierte("statistics")) return 1;
        const double s = Sekunden(t0);
        std::printf("shipping statistics over %d days (not timed below): %.2f s\nstep shipping_statistics %.3f\n", tage, s,
                    s);
    }
    std::fflush(stdout);

    // The shipping branches in the table's order, and the house currency as the window takes it.
    std::vector<TFiliale> versand;
    std::vector<int16_t> nummern;
    {
        TFilialTabelle* t = GlobFilialTabelle_GetInstance();
        for (int i = 0; i < t->Filialen().GetCount(); ++i)
            if (const TFiliale* f = t->Filialen().GetItem(i); f->Versandfiliale) {
                versand.push_back(*f);
                nummern.push_back(f->Nr);
            }
        GlobFilialTabelle_ReleaseInstance(t);
    }
    const std::string haus = TRDLWaehrungsrechner(*db).Hauswaehrung();
    if (versand.empty()) {
        std::fprintf(stderr, "the installation has no shipping branch\n");
        return 1;
    }
    std::string liste;
    for (const TFiliale& f : versand)
        liste += (liste.empty() ? "" : ", ") + std::to_string(f.Nr) + " (" + (f.Waehrung.empty() ? haus : f.Waehrung) + ")";
    std::printf("shipping branches: %s; house currency %s; %s to %s\n", liste.c_str(), haus.c_str(),
                DateToStr(von).c_str(), DateToStr(bis).c_str());

    // Window against the engine's own answers, alternating, best of three.
    double sFenster = 1e9, sMaschine = 1e9, bruttoMaschine = 0;
    int64_t abfragen = 0;
    TFensterLauf w;
    for (int runde = 0; runde < 3; ++runde) {
        w = FensterFuellen(nummern, von, bis, false);
        sFenster = std::min(sFenster, w.Sekunden);
        const double s = MaschineFragen(versand, haus, von, bis, bruttoMaschine, abfragen);
        sMaschine = std::min(sMaschine, s);
        std::printf("  round %d: window %.3f s, engine %.3f s\n", runde + 1, w.Sekunden, s);
        std::fflush(stdout);
        if (!w.Vollstaendig) {
            std::fprintf(stderr, "the window's table is not whole\n");
            return 1;
        }
    }
    if (Registrierte("fill")) return 1;
    if (!CentGleich(w.Brutto, bruttoMaschine)) {
        std::fprintf(stderr, "window and engine disagree: gross of the %lld leaf rows %.2f, of the engine's answers %.2f\n",
                     (long long)w.Blaetter, w.Brutto, bruttoMaschine);
        return 1;
    }
    std::printf("check shipping_window_equals_engine 0\n");

    // Where the window's time goes: its manager calls timed inside one more fill.
    const TFensterLauf teile = FensterFuellen(nummern, von, bis, true);
    std::printf("shipping window, %zu branches x %d days (%lld leaf rows, gross %.2f): %.3f s; engine's answers"
                " (%lld calls) %.3f s; window / engine %.2f (goal <= 2)\n",
                versand.size(), tage, (long long)w.Blaetter, w.Brutto, sFenster, (long long)abfragen, sMaschine,
                sFenster / sMaschine);
    std::printf("   one more fill with its manager calls timed: %.3f s, of it %lld calls %.3f s, the rest %.3f s\n",
                teile.Sekunden, (long long)teile.Abfragen, teile.Quelle, teile.Sekunden - teile.Quelle);
    std::printf("step shipping_fill %.3f\nstep shipping_engine %.3f\n", sFenster, sMaschine);

    db.reset();
    RDLProgramm().DatenbankSetzen(nullptr);
    BenchResteEntfernen();
    return 0;
}
