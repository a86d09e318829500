// The staff discount window on the default demo installation (12 branches, 800 days; an
// SQLite file, or a database of its own on a PostgreSQL server with --db): a year of staff
// purchases read and filled (offscreen, never shown), best of three, with the lines shown;
// then the stores' plans of the two reads that run per staff member and per
// receipt, so that a probe without its index shows.
// Usage: bench_persrab [--db postgresql://...] [branches] [days] [folder]
//        (default 12, 800, /tmp)
// Lines "step NAME SECONDS" are for bench/beide_speicher.sh.
#include "bench_gemeinsam.h"
#include "bench_installation.h"
#include "persrabfrm.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QLineEdit>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const TDate CHeute = EncodeDate(2026, 12, 10);

// The plan of ASql as the store shows it, one line each.
void PlanZeigen(TRDLDatenbank& ADb, const char* AName, const std::string& ASql) {
    const bool server = RDLIstServerAdresse(ADb.Pfad());
    TRDLStatement st = ADb.Prepare((server ? "EXPLAIN " : "EXPLAIN QUERY PLAN ") + ASql);
    std::printf("plan %s:\n", AName);
    while (st.Step()) std::printf("  %s\n", st.ColText(server ? 0 : 3).c_str());
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string server = BenchDbArgument(argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int filialen = argc > 1 ? std::atoi(argv[1]) : 12;
    const int tage = argc > 2 ? std::atoi(argv[2]) : 800;
    const fs::path basis = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    if (filialen < 1 || tage < 366) {
        std::fprintf(stderr, "usage: bench_persrab [--db postgresql://...] [branches] [days >= 366] [folder]\n");
        return 2;
    }
    const std::string pfad = BenchOrtAnlegen(server, basis, "bench_persrab");
    rdl_HeuteFestlegen(CHeute);
    BenchUmgebung(nullptr);
    const TDemoErgebnis e = BenchInstallationErzeugen(pfad, filialen, tage, CHeute, "persrab_installation");
    std::printf("staff: %lld records, %lld receipts, %lld prices\n", (long long)e.Mitarbeiter,
                (long long)e.Personalbelege, (long long)e.Preise);
    auto db = TRDLDatenbank::Oeffnen(pfad);
    BenchUmgebung(db);

    double best = 1e9;
    int32_t zeilen = 0;
    for (int runde = 0; runde < 3; ++runde) {
        TKOV_PersRabfrm f;
        f.edtVon->setText(QString::fromStdString(DateToStr(CHeute - 365)));
        f.edtBis->setText(QString::fromStdString(DateToStr(CHeute - 1)));
        const auto t0 = Uhr::now();
        f.btnStartClick();
        best = std::min(best, Sekunden(t0));
        if (!f.ErgebnisVollstaendig() || !RDLInfo().Registrierte().empty()) {
            std::fprintf(stderr, "the run failed\n");
            db.reset();
            RDLProgramm().DatenbankSetzen(nullptr);
            BenchResteEntfernen();
            return 1;
        }
        zeilen = f.PersRabListe().Count();
    }
    std::printf("a year (%s to %s): %d lines shown, best of 3: %.3f s\nstep persrab_jahr %.3f\n",
                DateToStr(CHeute - 365).c_str(), DateToStr(CHeute - 1).c_str(), int(zeilen), best, best);

    // The reads per staff member, per receipt and per article line, as the record layer
    // and the price reader ask them.
    PlanZeigen(*db, "receipts of a staff member",
               "SELECT id FROM lfnr WHERE gep_a = 1 AND gep_b = 10101 ORDER BY gep_a, gep_b, mand_a, mand_b, bon_a,"
               " bon_b, id");
    PlanZeigen(*db, "lines of a receipt",
               "SELECT id, datum FROM lst WHERE mand_a = 1 AND mand_b = 1 AND rechner = 19 AND transnr = 5 AND"
               " posnr >= 0 ORDER BY mand_a, mand_b, rechner, transnr, posnr, id");
    PlanZeigen(*db, "prices of an article",
               "SELECT filiale, gueltig_ab, preis FROM preis WHERE prod_a = 101 AND prod_b = 10001 AND prod_c = 1 AND"
               " mand_a = 1 AND mand_b = 1 AND filiale IN (0, 1) AND grind = 1 AND waehrung = 'EUR'");
    std::fflush(stdout);
    // The server's database goes while the client library is still whole.
    db.reset();
    RDLProgramm().DatenbankSetzen(nullptr);
    BenchResteEntfernen();
    return 0;
}
