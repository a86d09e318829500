// The dialog interface: preset answers (save, overwrite, cancel), the global dialog
// object, the export folder, and the question after an export.
#include "qttestapp.h"
#include "rdldialog.h"
#include "rdldatum.h"
#include "rdlkalender.h"
#include "testumgebung.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace {

// A fresh temporary folder, removed with the object.
struct TTempOrdner {
    fs::path Pfad = fs::temp_directory_path() / ("rdldialog_" + std::to_string(::getpid()));
    TTempOrdner() { fs::remove_all(Pfad); fs::create_directories(Pfad); }
    ~TTempOrdner() { std::error_code ec; fs::remove_all(Pfad, ec); }
};

// Sets an environment variable for the life of the object.
struct TUmgebungsVariable {
    std::string Name;
    std::optional<std::string> Alt;
    TUmgebungsVariable(std::string AName, const char* AWert) : Name(std::move(AName)) {
        if (const char* a = std::getenv(Name.c_str())) Alt = a;
        if (AWert) setenv(Name.c_str(), AWert, 1); else unsetenv(Name.c_str());
    }
    ~TUmgebungsVariable() {
        if (Alt) setenv(Name.c_str(), Alt->c_str(), 1); else unsetenv(Name.c_str());
    }
};

using A = TRDLDialogAntwort;

} // namespace

TEST(VorgabeDialoge, SpeichernFragtVorDemUeberschreibenUndLeereVorgabeBrichtAb) {
    TTempOrdner ordner;
    std::ofstream(ordner.Pfad / "da.csv") << "x";
    const struct {
        const char* Fall;
        std::vector<A> Antworten;
        bool Fragen;
        bool Ok;
        const char* Name;  // expected file name in the folder
        bool Nachgefragt;  // the overwrite question was asked
    } faelle[] = {
        {"neue Datei", {A::DateiName("neu.csv")}, true, true, "neu.csv", false},
        {"keine Vorgabe", {}, true, false, "", false},
        {"abgebrochen", {A::Abbrechen(), A::DateiName("neu.csv")}, true, false, "", false},
        {"falsche Art", {A::OrdnerName("x")}, true, false, "", false},
        {"ueberschreiben ja", {A::DateiName("da.csv"), A::JaAntwort()}, true, true, "da.csv", true},
        {"ueberschreiben nein", {A::DateiName("da.csv"), A::NeinAntwort()}, true, false, "", true},
        {"ueberschreiben ohne Antwort", {A::DateiName("da.csv")}, true, false, "", true},
        {"ohne Nachfrage", {A::DateiName("da.csv")}, false, true, "da.csv", false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Fall);
        TRDLVorgabeDialoge d;
        for (const auto& a : f.Antworten) d.Vorgeben(a);
        std::string name;
        EXPECT_EQ(d.DateiSpeichern(name, ordner.Pfad.string(), {CSVExportDateiTyp()}, f.Fragen), f.Ok);
        EXPECT_EQ(name, f.Ok ? (ordner.Pfad / f.Name).string() : "");
        ASSERT_FALSE(d.Aufrufe.empty());
        EXPECT_EQ(d.Aufrufe[0].Dialog, "DateiSpeichern");
        EXPECT_EQ(d.Aufrufe[0].Text, ordner.Pfad.string());
        ASSERT_EQ(d.Aufrufe[0].Typen.size(), 1u);
        EXPECT_EQ(d.Aufrufe[0].Typen[0].Anzeigename, "CSV-Exportdatei");
        EXPECT_EQ(d.Aufrufe[0].Typen[0].Maske, "*.csv");
        EXPECT_EQ(d.Aufrufe.size() == 2 && d.Aufrufe[1].Dialog == "Ueberschreiben", f.Nachgefragt);
    }
}

TEST(VorgabeDialoge, OrdnerDatumUndFrageNehmenIhreAntwortOderBrechenAb) {
    TRDLVorgabeDialoge d;
    d.Vorgeben(A::OrdnerName("/tmp/export"));
    d.Vorgeben(A::Tag(46000.25));
    d.Vorgeben(A::JaAntwort());
    d.Vorgeben(A::NeinAntwort());
    std::string ordner = "alt";
    TDateTime tag = 1;
    EXPECT_TRUE(d.SelectDirectory("Wählen Sie das Verzeichnis", ordner));
    EXPECT_EQ(ordner, "/tmp/export");
    EXPECT_TRUE(d.DatumWaehlen(tag));
    EXPECT_EQ(tag, 46000.25);
    EXPECT_TRUE(d.JaNein("Weiter?"));
    EXPECT_FALSE(d.JaNein("Weiter?"));
    // The queue is empty now: everything cancels and leaves its value alone.
    EXPECT_FALSE(d.SelectDirectory("Wählen Sie das Verzeichnis", ordner));
    EXPECT_FALSE(d.DatumWaehlen(tag));
    EXPECT_EQ(ordner, "/tmp/export");
    EXPECT_EQ(tag, 46000.25);
    EXPECT_EQ(d.Aufrufe.front().Text, "Wählen Sie das Verzeichnis");
}

TEST(RDLDialoge, ErsetzbarUndOhneDialogeBrichtJederDialogAb) {
    TTestUmgebung umgebung(false);
    TQtApp app;
    // Batch run without a preset object: no window, every dialog cancels.
    std::string ordner;
    EXPECT_FALSE(RDLDialoge().SelectDirectory("Ordner", ordner));
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());

    auto vorgabe = std::make_unique<TRDLVorgabeDialoge>();
    vorgabe->Vorgeben(A::OrdnerName("/daten"));
    auto* roh = vorgabe.get();
    auto alt = RDLDialoge_Ersetzen(std::move(vorgabe));
    EXPECT_EQ(&RDLDialoge(), roh);
    EXPECT_TRUE(RDLDialoge().SelectDirectory("Ordner", ordner));
    EXPECT_EQ(ordner, "/daten");
    RDLDialoge_Ersetzen(std::move(alt));
    EXPECT_NE(&RDLDialoge(), roh);
}

TEST(GetDirWwsByName, ExportOrdnerAusUmgebungSonstDokumente) {
    TTempOrdner ordner;
    const std::string ziel = (ordner.Pfad / "export").string();
    {
        TUmgebungsVariable v("QUENDRIX_EXPORT", ziel.c_str());
        EXPECT_EQ(GetDirWwsByName(8), ziel);
        EXPECT_TRUE(fs::is_directory(ziel)); // created on demand
    }
    TQtApp app;
    TUmgebungsVariable v("QUENDRIX_EXPORT", nullptr);
    EXPECT_EQ(GetDirWwsByName(8),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
}

TEST(ExportErgebnis, FrageNachDemExportOeffnetNurBeiJa) {
    const struct {
        bool Erfolg;
        int Antwort;
        int Nummer;
        int Art;
        bool Geoeffnet;
    } faelle[] = {
        {true, mrYes, 1107, mkFrage, true},
        {true, mrNo, 1107, mkFrage, false},
        {false, mrYes, 1108, mkFehler, false},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Nummer * 10 + f.Antwort);
        TTestUmgebung umgebung(false);
        std::vector<std::string> geoeffnet;
        auto alt = RDLDateiOeffner_Ersetzen([&](const std::string& n) { geoeffnet.push_back(n); return true; });
        umgebung.Meldungen().AntwortVorgeben(f.Antwort);
        EXPECT_EQ(RDLExportErgebnisMelden(f.Erfolg, "/tmp/umsatz.csv"), f.Geoeffnet);
        RDLDateiOeffner_Ersetzen(std::move(alt));
        ASSERT_EQ(umgebung.Meldungen().Meldungen.size(), 1u);
        const auto& m = umgebung.Meldungen().Meldungen[0];
        EXPECT_EQ(m.Gruppe, "STANDARD");
        EXPECT_EQ(m.Nummer, f.Nummer);
        EXPECT_EQ(m.Art, f.Art);
        EXPECT_NE(m.Text.find("/tmp/umsatz.csv"), std::string::npos);
        EXPECT_EQ(geoeffnet, f.Geoeffnet ? std::vector<std::string>{"/tmp/umsatz.csv"} : std::vector<std::string>{});
    }
}

TEST(RDLDialoge, CSVExportDialogOeffnetImExportOrdnerMitDemCSVTyp) {
    TTestUmgebung umgebung(false);
    TTempOrdner ordner;
    TUmgebungsVariable v("QUENDRIX_EXPORT", ordner.Pfad.string().c_str());
    auto vorgabe = std::make_unique<TRDLVorgabeDialoge>();
    vorgabe->Vorgeben(A::DateiName("rabatte.txt"));
    auto* roh = vorgabe.get();
    auto alt = RDLDialoge_Ersetzen(std::move(vorgabe));
    std::string name;
    EXPECT_TRUE(RDLCSVExportDateiWaehlen(name));
    EXPECT_EQ(name, (ordner.Pfad / "rabatte.txt").string()); // the extension is the caller's
    ASSERT_EQ(roh->Aufrufe.size(), 1u);
    EXPECT_EQ(roh->Aufrufe[0].Text, ordner.Pfad.string());
    EXPECT_EQ(roh->Aufrufe[0].Typen[0].Maske, "*.csv");
    EXPECT_FALSE(RDLCSVExportDateiWaehlen(name)); // nothing left: cancelled
    RDLDialoge_Ersetzen(std::move(alt));
}

TEST(CalendarDialog, GewaehlterTagBehaeltDieUhrzeitDerVorgabe) {
    TQtApp app;
    TCalendarDialog d;
    d.DatumSetzen(EncodeDate(2025, 3, 14) + 0.75);
    EXPECT_EQ(d.Kalender()->selectedDate(), QDate(2025, 3, 14));
    d.Kalender()->setSelectedDate(QDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(d.Datum(), EncodeDate(2024, 2, 29) + 0.75);
}
