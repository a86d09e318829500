// Result files of the sales evaluation's runs without a window: exit code 0 only for a
// file written whole; a target that is no file, or a write that fails, ends with code 4
// and leaves what was there.
#include "erwarteteausnahmen.h"
#include "szenario.h"
#include "testdateien.h"
#include "umsatzauswertung_stapellauf.h"

#include "quendrix.h"
#include "quendrixmodule.h"
#include "rdldatum.h"
#include "rdlergebnisdatei.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

TEST(Ergebnisdateien, StapellaufMeldetNurGanzGeschriebeneDateienAlsErfolg) {
    TTestDatenbankOrt ort;
    {
        TTestUmgebung umgebung(ort.DbShared());
        SzenarioInstallationAnlegen(umgebung);
    }
    const fs::path ordner = fs::path(ort.Ordner()) / "ergebnisse";
    fs::create_directory(ordner);
    fs::create_directory(ordner / "leer");
    std::ofstream(ordner / "alt.pdf", std::ios::binary) << "%PDF die Datei von gestern";
    const std::string vorher = OrdnerNamen(ordner);
    const std::string nichtGeschrieben = "\u201C konnte nicht geschrieben werden.";
    const struct {
        const char* Option;
        const char* Ziel;
        std::optional<TRDLErgebnisStoerStelle> Stoerung;
        int Exitcode;
        std::string Meldung; // on standard error
    } faelle[] = {
        {"--print", "leer", {}, 4, "\u201C wurde nicht geschrieben: unter diesem Namen steht ein Ordner."},
        {"--export", "leer", {}, 4, nichtGeschrieben},
        {"--print", "alt.pdf", TRDLErgebnisStoerStelle::Abschluss, 4, "auf dem Datenträger ist kein Platz mehr"},
        {"--print", "alt.pdf", TRDLErgebnisStoerStelle::Schreiben, 4, nichtGeschrieben},
        {"--print", "neu.pdf", {}, 0, ""},
    };
    // The print's failures are registered; the export's go to the log.
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzAuswertFrm.BaumDrucken"};
    for (const auto& f : faelle) {
        const std::string ziel = (ordner / f.Ziel).string();
        SCOPED_TRACE(std::string(f.Option) + " " + ziel);
        std::optional<TRDLErgebnisDateiStoerung> stoerung;
        if (f.Stoerung) stoerung.emplace(*f.Stoerung, *f.Stoerung == TRDLErgebnisStoerStelle::Schreiben ? 5 : 1);
        std::string fehler;
        EXPECT_EQ(UmsatzauswertungStapel(ort, {f.Option, ziel}, fehler), f.Exitcode) << fehler;
        EXPECT_NE(fehler.find(f.Meldung), std::string::npos) << fehler;
        if (stoerung) {
            EXPECT_TRUE(stoerung->Ausgeloest());
        }
        if (f.Exitcode != 0) {
            EXPECT_EQ(OrdnerNamen(ordner), vorher);
        }
    }
    EXPECT_TRUE(fs::is_directory(ordner / "leer") && fs::is_empty(ordner / "leer"));
    EXPECT_EQ(DateiLesen(ordner / "alt.pdf"), "%PDF die Datei von gestern");
    EXPECT_EQ(DateiLesen(ordner / "neu.pdf").substr(0, 5), "%PDF-");
}
