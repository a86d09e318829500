// The writer of result files: the target is replaced only by a whole new file, a failed
// write (a full disk) leaves the old one and no temporary file, and a target that is no
// regular file is refused and left alone. Also for the grid's CSV export and the tree
// printer's PDF, which write through it.
#include "gridtestlisten.h"
#include "testdateien.h"
#include "testumgebung.h"
#include "kovvirtualtreeprinter.h"
#include "rdlergebnisdatei.h"
#include "vtrdlvrlist.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Anlegen(const fs::path& ADatei, const std::string& AInhalt) {
    std::ofstream(ADatei, std::ios::binary) << AInhalt;
}

// A folder of its own; Namen() lists what it holds, so a temporary file left behind shows.
struct TOrdner {
    QTemporaryDir Temp;
    fs::path Pfad = Temp.path().toStdString();
    std::string Namen() const { return OrdnerNamen(Pfad); }
};

// The German text the writer raised, empty when it wrote.
std::string Fehler(const std::function<void()>& ASchreiben) {
    try {
        ASchreiben();
        return {};
    } catch (const EErgebnisDatei& E) {
        return E.what();
    }
}

// While it lives a process run by root acts as "nobody", for whom permissions count.
struct TOhneRootrechte {
    uid_t Alt = ::geteuid();
    TOhneRootrechte() {
        if (Alt != 0) return;
        const passwd* nobody = ::getpwnam("nobody");
        EXPECT_TRUE(nobody && ::seteuid(nobody->pw_uid) == 0);
    }
    ~TOhneRootrechte() {
        if (Alt == 0) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
};

} // namespace

TEST(ErgebnisDatei, ErsetztDieAlteDateiErstMitDerGanzenNeuenUndBehaeltIhreRechte) {
    TOrdner o;
    const fs::path ziel = o.Pfad / "bericht.csv";
    Anlegen(ziel, "alt");
    fs::permissions(ziel, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        TRDLErgebnisDatei datei(ziel.string());
        datei.Schreiben("neu;1\r\n");
        datei.Schreiben("neu;2\r\n");
        EXPECT_EQ(DateiLesen(ziel), "alt"); // until it is whole
        datei.Abschliessen();
    }
    EXPECT_EQ(DateiLesen(ziel), "neu;1\r\nneu;2\r\n");
    EXPECT_EQ(fs::status(ziel).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(o.Namen(), "bericht.csv ");

    // Dropped without Abschliessen: the old file stays, the temporary one goes.
    {
        TRDLErgebnisDatei datei(ziel.string());
        datei.Schreiben("halb");
    }
    EXPECT_EQ(DateiLesen(ziel), "neu;1\r\nneu;2\r\n");
    EXPECT_EQ(o.Namen(), "bericht.csv ");

    RDLErgebnisDateiSchreiben((o.Pfad / "neu.csv").string(), "x");
    EXPECT_EQ(DateiLesen(o.Pfad / "neu.csv"), "x");
}

// A full disk at a write or when completing, with or without an old file.
TEST(ErgebnisDatei, VollePlatteLaesstDieAlteDateiUndKeineTemporaere) {
    const struct {
        TRDLErgebnisStoerStelle Stelle;
        int Nummer;
    } stoerungen[] = {{TRDLErgebnisStoerStelle::Schreiben, 1},
                      {TRDLErgebnisStoerStelle::Schreiben, 2},
                      {TRDLErgebnisStoerStelle::Abschluss, 1}};
    for (const auto& s : stoerungen) {
        for (const bool alt : {true, false}) {
            SCOPED_TRACE(std::to_string(int(s.Stelle)) + "/" + std::to_string(s.Nummer) + (alt ? " alt" : " neu"));
            TOrdner o;
            const fs::path ziel = o.Pfad / "bericht.csv";
            if (alt) Anlegen(ziel, "alt\r\n");
            TRDLErgebnisDateiStoerung stoerung(s.Stelle, s.Nummer);
            const std::string text = Fehler([&] {
                TRDLErgebnisDatei datei(ziel.string());
                datei.Schreiben("a");
                datei.Schreiben("b");
                datei.Abschliessen();
            });
            EXPECT_TRUE(stoerung.Ausgeloest());
            EXPECT_EQ(text, "Die Datei \u201E" + ziel.string() +
                                "\u201C konnte nicht geschrieben werden: auf dem Datenträger ist kein Platz mehr." +
                                (alt ? " Die bisherige Datei ist unverändert." : ""));
            EXPECT_EQ(o.Namen(), alt ? "bericht.csv " : "");
            if (alt) {
                EXPECT_EQ(DateiLesen(ziel), "alt\r\n");
            }
        }
    }
}

// What stands under the name and is no regular file is refused and stays as it was;
// nothing is opened (a pipe would block).
TEST(ErgebnisDatei, WasKeineGewoehnlicheDateiIstWirdAbgewiesen) {
    TOrdner o;
    fs::create_directory(o.Pfad / "ordner");
    Anlegen(o.Pfad / "ordner" / "drin.txt", "drin");
    Anlegen(o.Pfad / "echt.csv", "echt");
    fs::create_symlink(o.Pfad / "echt.csv", o.Pfad / "link.csv");
    ASSERT_EQ(::mkfifo((o.Pfad / "pipe").c_str(), 0600), 0);
    const std::string vorher = o.Namen();
    const struct {
        fs::path Ziel;
        const char* Grund;
    } faelle[] = {
        {o.Pfad / "ordner", "unter diesem Namen steht ein Ordner"},
        {o.Pfad / "link.csv", "unter diesem Namen steht eine Verknüpfung; bitte die Datei angeben, auf die sie zeigt"},
        {o.Pfad / "pipe", "unter diesem Namen steht eine Pipe, keine Datei"},
        {"/dev/null", "unter diesem Namen steht ein Gerät, keine Datei"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Fehler([&] { RDLErgebnisDateiSchreiben(f.Ziel.string(), "neu"); }),
                  "Die Datei \u201E" + f.Ziel.string() + "\u201C wurde nicht geschrieben: " + f.Grund + ".");
    }
    EXPECT_EQ(o.Namen(), vorher);
    EXPECT_EQ(DateiLesen(o.Pfad / "ordner" / "drin.txt"), "drin");
    EXPECT_EQ(fs::read_symlink(o.Pfad / "link.csv"), o.Pfad / "echt.csv");
    EXPECT_EQ(DateiLesen(o.Pfad / "echt.csv"), "echt");
    EXPECT_TRUE(fs::is_fifo(o.Pfad / "pipe"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(ErgebnisDatei, OhneSchreibrechtScheitertEsEhrlich) {
    TOrdner o;
    fs::permissions(o.Pfad, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path gesperrt = o.Pfad / "gesperrt";
    fs::create_directory(gesperrt);
    Anlegen(gesperrt / "bericht.csv", "alt");
    fs::permissions(gesperrt / "bericht.csv", fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
    Anlegen(o.Pfad / "nurlesen.csv", "alt");
    fs::permissions(o.Pfad / "nurlesen.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(gesperrt, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    {
        TOhneRootrechte nobody;
        EXPECT_EQ(Fehler([&] { RDLErgebnisDateiSchreiben((gesperrt / "bericht.csv").string(), "neu"); }),
                  "Die Datei \u201E" + (gesperrt / "bericht.csv").string() +
                      "\u201C konnte nicht geschrieben werden: keine Berechtigung, im Ordner \u201E" +
                      gesperrt.string() + "\u201C zu schreiben. Die bisherige Datei ist unverändert.");
        EXPECT_EQ(Fehler([&] { RDLErgebnisDateiSchreiben((o.Pfad / "nurlesen.csv").string(), "neu"); }),
                  "Die Datei \u201E" + (o.Pfad / "nurlesen.csv").string() +
                      "\u201C wurde nicht geschrieben: sie ist schreibgeschützt.");
    }
    fs::permissions(gesperrt, fs::perms::owner_all);
    EXPECT_EQ(DateiLesen(gesperrt / "bericht.csv"), "alt");
    EXPECT_EQ(DateiLesen(o.Pfad / "nurlesen.csv"), "alt");
    EXPECT_EQ(o.Namen(), "gesperrt nurlesen.csv ");
}

// The grid's export and the tree printer's PDF: a full disk anywhere leaves last night's
// file byte for byte; without one they replace it.
TEST(ErgebnisDatei, CsvExportUndPdfDruckBehaltenBeiVollerPlatteDieAlteDatei) {
    TQtApp app;
    TVTRDLVRList grid;
    grid.List_Set(gridtest::RegionMonat());
    TKOV_VirtualTreePrinter drucker;
    drucker.Tree_Set(&grid);
    drucker.Titel_Set(QStringLiteral("Bericht"));
    // The CSV goes out in one write, the PDF in many.
    const struct {
        const char* Name;
        std::function<bool(const fs::path&)> Schreiben;
        std::vector<int> Schreibfehler; // at these writes
    } schreiber[] = {
        {"bericht.csv", [&](const fs::path& P) { return grid.Export2CSV_KnownFilename(P.string(), -1, ';', true, false); },
         {1}},
        {"bericht.pdf", [&](const fs::path& P) {
             return Fehler([&] { drucker.PrintToPdf(QString::fromStdString(P.string())); }).empty();
         }, {1, 3}},
    };
    for (const auto& w : schreiber) {
        TOrdner o;
        const fs::path ziel = o.Pfad / w.Name;
        const std::string alt = "die Datei von gestern\r\n";
        Anlegen(ziel, alt);
        std::vector<std::pair<TRDLErgebnisStoerStelle, int>> stoerungen{{TRDLErgebnisStoerStelle::Abschluss, 1}};
        for (int n : w.Schreibfehler) stoerungen.emplace_back(TRDLErgebnisStoerStelle::Schreiben, n);
        for (const auto& [stelle, nummer] : stoerungen) {
            SCOPED_TRACE(std::string(w.Name) + " " + std::to_string(int(stelle)) + "/" + std::to_string(nummer));
            TRDLErgebnisDateiStoerung stoerung(stelle, nummer);
            EXPECT_FALSE(w.Schreiben(ziel));
            EXPECT_TRUE(stoerung.Ausgeloest());
            EXPECT_EQ(DateiLesen(ziel), alt);
            EXPECT_EQ(o.Namen(), std::string(w.Name) + " ");
        }
        ASSERT_TRUE(w.Schreiben(ziel)) << w.Name;
        const std::string neu = DateiLesen(ziel);
        EXPECT_EQ(neu.substr(0, 4), ziel.extension() == ".pdf" ? "%PDF" : ";Reg") << w.Name;
        EXPECT_EQ(o.Namen(), std::string(w.Name) + " ");
    }
}
