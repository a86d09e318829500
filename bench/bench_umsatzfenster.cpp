// The sales evaluation window on a generated installation (SQLite file, or a database of
// its own on a PostgreSQL server with --db), in one run:
//  1. filling the window (offscreen, never shown) for every branch and each day of a year
//     beside two prior years with the average block, grouped and with its captions, against
//     the comparison facade asked the same questions in a plain loop;
//  2. opening the window with its defaults (construction and FormShow, the last 7 days).
// The statistics are built first with the engine's update, without dialogs.
// Usage: bench_umsatzfenster [--db postgresql://...] [branches] [days shown] [folder]
//        (default 20, 365, /tmp; --db names the server, the folder is unused)
// Lines "step NAME SECONDS" are for bench/beide_speicher.sh.
#include "bench_gemeinsam.h"
#include "bench_installation.h"
#include "kovmandantencheckcombo.h"
#include "kovzeitraumeingabe.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "umsatzmani_umsausw.h"
#include "umsatzhelper_umsausw.h"
#include "umsatzumszmani_base.h"
#include "umsauswmainfrm.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <unistd.h>

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
using TFassade = TKOV_UmsatzAuswertVerglMani_UmsAusw;

const TDate CHeute = EncodeDate(2026, 12, 10);
constexpr int CVorjahre = 2;

int Registrierte(const char* wo) {
    const auto& r = RDLInfo().Registrierte();
    for (size_t i = 0; i < r.size() && i < 3; ++i)
        std::fprintf(stderr, "%s: registered %s: %s\n", wo, r[i].TraceName.c_str(), r[i].Text.c_str());
    return int(r.size());
}

// Sums that tie the window to the facade: gross of the day, of the average and of the
// first prior year over all shown branch days.
struct TSummen {
    double Tag = 0, Durchschnitt = 0, Vorjahr1 = 0;
    int64_t Zeilen = 0;
};

bool Gleich(const TSummen& a, const TSummen& b) {
    auto g = [](double x, double y) { return std::abs(x - y) < 0.01 + 1e-9 * std::abs(x); };
    return a.Zeilen == b.Zeilen && g(a.Tag, b.Tag) && g(a.Durchschnitt, b.Durchschnitt) && g(a.Vorjahr1, b.Vorjahr1);
}

// The selection of goal 1 in the window's controls.
void Auswahl(TKOV_UmsatzAuswertFrm& F, TDate von, TDate bis) {
    F.edtZeitraum->Zeitraum_Set({von, bis});
    F.edtAnzahlVorjahre->setText(QString::number(CVorjahre));
    F.edtAnzahlVorjahreExit();
    F.chbDurchschnittAnzeigen->setChecked(true);
    F.chbDurchschnittAnzeigenClick();
    F.cmbMandanten->SetAll(true);
    F.cmbFilialAuswahl->setCurrentIndex(0); // every branch
    for (int i = 0; i < F.clbHerkunft->count(); ++i) F.clbHerkunft->item(i)->setCheckState(Qt::Checked);
}

TSummen FensterSummen(const TKOV_UmsatzAuswertFrm& F, bool AZahlen = true) {
    TSummen s;
    const TVRList* l = F.vtUmsaetze->List();
    if (!l) return s;
    const int d = CKOV_UmsatzTree_AnzahlMainColumns + CKOV_UmsatzTree_AnzahlRepColumns;
    const int j1 = BlockstartVorjahr(true, 0);
    std::function<void(const TVRList&)> blaetter = [&](const TVRList& L) {
        for (int32_t i = 0; i < L.GetRowCount(); ++i) {
            if (const TVRList* k = L.GetRowChild(i)) {
                blaetter(*k);
                continue;
            }
            ++s.Zeilen;
            if (!AZahlen) continue;
            s.Tag += L.GetCellValueAsDouble(i, GetColIDxLaufendesJahr(urcUmsatzBrutto));
            s.Durchschnitt += L.GetCellValueAsDouble(i, d + urcUmsatzBrutto);
            s.Vorjahr1 += L.GetCellValueAsDouble(i, j1 + urcUmsatzBrutto);
        }
    };
    blaetter(*l);
    return s;
}

struct TFensterLauf {
    double Sekunden = 0, Quelle = 0; // the whole click, and the part spent in the engine calls
    double Gruppieren = 0, Einladen = 0; // the grouping (with loading into the grid) and the loading alone, again
    int64_t Abfragen = 0;
    TSummen Summen;
};

// A new window (not timed), the selection, then the timed click. With AMessen the engine
// calls go through a wrapper that times them.
TFensterLauf FensterFuellen(TDate von, TDate bis, bool AMessen) {
    TFensterLauf r;
    TKOV_UmsAusw_UmsatzQuelle quelle;
    if (AMessen) {
        quelle = [echt = UmsAuswVergleichsQuelleErzeugen(), &r](const TKOV_UmsAusw_Tagesabfrage& A,
                                                                TKOV_UmsatzDatenMitVorjahre_UmsAusw& E) {
            const auto t = Uhr::now();
            echt(A, E);
            r.Quelle += Sekunden(t);
            ++r.Abfragen;
        };
    }
    TKOV_UmsatzAuswertFrm f(nullptr, quelle);
    Auswahl(f, von, bis);
    const auto t0 = Uhr::now();
    f.btnAuswertenClick();
    r.Sekunden = Sekunden(t0);
    r.Summen = FensterSummen(f);
    if (AMessen) {
        auto t = Uhr::now();
        f.ListeGruppieren();
        r.Gruppieren = Sekunden(t);
        t = Uhr::now();
        f.TabelleEinladen();
        r.Einladen = Sekunden(t);
    }
    return r;
}

// The facade asked for every branch of the window and each day, with the window's settings.
double FassadeFragen(const std::vector<TFiliale>& AFilialen, const std::vector<TIntPair>& AMandanten, TDate von,
                     TDate bis, uint8_t AWahl, bool AIgnorieren, TKOV_UmsAusw_Herkuenfte AHerkunft, TSummen& ASummen) {
    ASummen = {};
    TFassade f;
    f.FWahlmethodeVergleichstag = TKOV_UmsAusw_WahlVergleichsdatum(AWahl);
    f.FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren = AIgnorieren;
    const auto t0 = Uhr::now();
    for (const TFiliale& fil : AFilialen) {
        if (fil.LV_Benutzen_Get()) continue;
        bool gewaehlt = false;
        for (const TIntPair& m : AMandanten) gewaehlt = gewaehlt || m == fil.Mandant;
        if (!gewaehlt) continue;
        for (TDate d = von; d <= bis; d += 1) {
            TKOV_UmsatzDatenMitVorjahre_UmsAusw e;
            f.GetUmsatzMitVerglVJFuerTag(fil.Mandant, fil.OrgeID, CVorjahre, d, e);
            ++ASummen.Zeilen;
            ASummen.Tag += Umsatzdaten_2_VKBrutto(e.FRealerUmsatz, AHerkunft);
            ASummen.Durchschnitt += Umsatzdaten_2_VKBrutto(e.FDurchschnitt, AHerkunft);
            ASummen.Vorjahr1 += Umsatzdaten_2_VKBrutto(e.VorjahresUmsatz_Get(0), AHerkunft);
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
    const int filialen = argc > 1 ? std::atoi(argv[1]) : 20;
    const int anzeige = argc > 2 ? std::atoi(argv[2]) : 365;
    const fs::path basis = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    // The prior years' comparison days lie up to a week before the same day two years back.
    const int tage = anzeige + CVorjahre * 366 + 14;
    const std::string pfad = BenchOrtAnlegen(server, basis, "bench_umsatzfenster");
    rdl_HeuteFestlegen(CHeute);
    const TDate von = CHeute - anzeige, bis = CHeute - 1;

    BenchUmgebung(nullptr);
    BenchInstallationErzeugen(pfad, filialen, tage, CHeute, "window_installation");
    auto db = TRDLDatenbank::Oeffnen(pfad);
    BenchUmgebung(db);
    {
        const auto t0 = Uhr::now();
        TKOV_Umsatz_UmszMani_UmsAusw m;
        if (!m.UpdateStatistikfiles(tage, false) || Registrierte("statistics")) return 1;
        const double s = Sekunden(t0);
        std::printf("statistics over %d days: %.1f s\nstep window_statistics %.3f\n", tage, s, s);
    }
    std::fflush(stdout);

    // The window's branches, clients and settings, read from a window with the selection.
    std::vector<TFiliale> fil;
    std::vector<TIntPair> mandanten;
    uint8_t wahl = 1;
    bool ignorieren = true;
    TKOV_UmsAusw_Herkuenfte herkunft = 0;
    {
        TKOV_UmsatzAuswertFrm f(nullptr, [](const TKOV_UmsAusw_Tagesabfrage&, TKOV_UmsatzDatenMitVorjahre_UmsAusw&) {});
        Auswahl(f, von, bis);
        f.Maske_2_Settings();
        mandanten = f.Settings().Mandanten;
        wahl = f.Settings().WahlmethodeVergleichstag;
        ignorieren = f.Settings().NullumsaetzeIgnorieren;
        herkunft = f.Settings().Herkunft;
        TFilialTabelle* t = GlobFilialTabelle_GetInstance();
        for (int i = 0; i < t->Filialen().GetCount(); ++i) fil.push_back(*t->Filialen().GetItem(i));
        GlobFilialTabelle_ReleaseInstance(t);
    }

    // 1. Window against facade, alternating, best of three.
    double sFenster = 1e9, sFassade = 1e9;
    TSummen sumFenster, sumFassade;
    for (int runde = 0; runde < 3; ++runde) {
        const TFensterLauf w = FensterFuellen(von, bis, false);
        sFenster = std::min(sFenster, w.Sekunden);
        sumFenster = w.Summen;
        const double s = FassadeFragen(fil, mandanten, von, bis, wahl, ignorieren, herkunft, sumFassade);
        sFassade = std::min(sFassade, s);
        std::printf("  round %d: window %.2f s, facade %.2f s\n", runde + 1, w.Sekunden, s);
        std::fflush(stdout);
    }
    if (Registrierte("fill")) return 1;
    if (!Gleich(sumFenster, sumFassade)) {
        std::fprintf(stderr, "window and facade disagree: rows %lld/%lld, day %.2f/%.2f, average %.2f/%.2f, J-1 %.2f/%.2f\n",
                     (long long)sumFenster.Zeilen, (long long)sumFassade.Zeilen, sumFenster.Tag, sumFassade.Tag,
                     sumFenster.Durchschnitt, sumFassade.Durchschnitt, sumFenster.Vorjahr1, sumFassade.Vorjahr1);
        return 1;
    }
    std::printf("check window_equals_facade 0\n");
    // Where the window's time goes: its engine calls timed inside one more fill.
    const TFensterLauf teile = FensterFuellen(von, bis, true);
    std::printf("1. window, %zu branches x %d days x %d prior years with average (%lld rows): %.2f s; facade loop"
                " %.2f s; window / facade %.2f (goal <= 2)\n",
                fil.size(), anzeige, CVorjahre, (long long)sumFenster.Zeilen, sFenster, sFassade, sFenster / sFassade);
    std::printf("   one more fill with its engine calls timed: %.2f s, of it %lld engine calls %.2f s, the rest %.2f s;"
                " afterwards grouping again %.2f s, of it loading into the grid %.2f s\n",
                teile.Sekunden, (long long)teile.Abfragen, teile.Quelle, teile.Sekunden - teile.Quelle, teile.Gruppieren,
                teile.Einladen);
    std::printf("step window_fill %.3f\nstep window_facade %.3f\n", sFenster, sFassade);
    std::fflush(stdout);

    // 2. Opening with the defaults: construction and FormShow.
    double sOeffnen = 1e9, sErstes = 0;
    int64_t zeilen = 0;
    for (int runde = 0; runde < 3; ++runde) {
        const auto t0 = Uhr::now();
        TKOV_UmsatzAuswertFrm f;
        f.FormShow();
        const double s = Sekunden(t0);
        if (runde == 0) sErstes = s;
        sOeffnen = std::min(sOeffnen, s);
        zeilen = FensterSummen(f, false).Zeilen;
    }
    if (Registrierte("open")) return 1;
    std::printf("2. opening with the defaults (construction + FormShow, %lld rows): first %.3f s, best of three %.3f s;"
                " %s\n",
                (long long)zeilen, sErstes, sOeffnen, sErstes < 0.3 ? "interactive" : "not interactive");
    std::printf("step window_open %.3f\nstep window_open_first %.3f\n", sOeffnen, sErstes);

    db.reset();
    RDLProgramm().DatenbankSetzen(nullptr);
    BenchResteEntfernen();
    return 0;
}
