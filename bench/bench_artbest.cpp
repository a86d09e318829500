// The article stock export on the demo installation: the suite's exporter with the demo
// workstation's stored selection, every row of every stock-keeping branch, for a cut-off at
// the end of the previous year and one on the last day of sales. Three runs each.
//
//     bench_artbest [--db postgresql://...] [branches] [days] [folder]
#include "bench_installation.h"

#include "artuebcsvexport.h"
#include "rdlartquery.h"

#include <QApplication>

#include <clocale>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
const TDate CHeute = EncodeDate(2026, 12, 10);
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string server = BenchDbArgument(argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int filialen = argc > 1 ? std::atoi(argv[1]) : 12; // the demo's defaults
    const int tage = argc > 2 ? std::atoi(argv[2]) : 800;
    const fs::path basis = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    if (filialen < 1 || tage < 1) {
        std::fprintf(stderr, "usage: bench_artbest [--db postgresql://...] [branches] [days] [folder]\n");
        return 2;
    }
    const std::string pfad = BenchOrtAnlegen(server, basis, "bench_artbest");
    rdl_HeuteFestlegen(CHeute);
    BenchUmgebung(nullptr);
    BenchInstallationErzeugen(pfad, filialen, tage, CHeute, "stock_installation");
    auto db = TRDLDatenbank::Oeffnen(pfad);
    BenchUmgebung(db);
    {
        TRDLStatement st = db->Prepare("SELECT (SELECT COUNT(*) FROM bestand_anfang), (SELECT COUNT(*) FROM bestand_bewegung)");
        st.Step();
        std::printf("stock ledger: %lld openings, %lld movements\n", (long long)st.ColInt(0), (long long)st.ColInt(1));
    }
    const std::string datei = (RDLIstServerAdresse(pfad) ? basis / ("bench_artbest_" + std::to_string(getpid()) + ".csv")
                                                        : fs::path(pfad).parent_path() / "bestand.csv")
                                  .string();
    int j = 0, m = 0, t = 0;
    DecodeDate(CHeute, j, m, t);
    const struct {
        const char* Name;
        TKOV_VonBisDatum Zeitraum;
    } laeufe[] = {
        {"previous_year", {EncodeDate(j - 1, 1, 1), EncodeDate(j - 1, 12, 31)}},
        {"last_day", {EncodeDate(j, 1, 1), CHeute - 1}},
    };
    for (const auto& l : laeufe)
        for (int runde = 1; runde <= 3; ++runde) {
            auto query = std::make_shared<TRDL_ArtQueryArtv>();
            TArtvSeleingHelper helper(CRDL_CONTEXT_ARTBEST_SELEKTION);
            helper.Query_Set(query);
            if (!helper.Laden()) {
                std::fprintf(stderr, "the demo workstation has no stored selection\n");
                return 1;
            }
            query->Zeitraum_Set(l.Zeitraum);
            int64_t artikel = 0;
            TKOV_ArtUeb_CSV_Export exporter(
                [&](std::string& AName) {
                    AName = datei;
                    return true;
                },
                [&](const TInt32Trio&) { ++artikel; });
            exporter.Set_Query(query);
            const auto t0 = Uhr::now();
            if (!exporter.Execute()) {
                std::fprintf(stderr, "export failed: %s\n", exporter.Fehlertext().c_str());
                return 1;
            }
            const double s = Sekunden(t0);
            std::printf("export cut-off %s (%s): %lld rows, %lld articles, %lld KB, %.2f s\nstep export_%s %.3f\n",
                        DateToStr(l.Zeitraum.Bis).c_str(), l.Name, (long long)exporter.Zeilen(), (long long)artikel,
                        (long long)(fs::file_size(datei) >> 10), s, l.Name, s);
            std::fflush(stdout);
        }
    std::error_code ec;
    if (RDLIstServerAdresse(pfad)) fs::remove(datei, ec);
    return 0;
}
