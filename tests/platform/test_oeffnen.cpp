// Opening a database that cannot be used: a German message that tells what is wrong,
// the kind for the caller, the driver's text only in the details, and nothing created or
// changed. Each store's run checks its own kinds of location.
#include "rdldatenbank.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Inhalt(const fs::path& AOrdner) {
    // Every file of the folder with its bytes: "nothing changed" means this stays equal.
    std::ostringstream r;
    for (const auto& e : fs::directory_iterator(AOrdner)) {
        r << e.path().filename().string() << ':';
        if (e.is_regular_file()) r << std::ifstream(e.path(), std::ios::binary).rdbuf();
        r << '\n';
    }
    return r.str();
}

struct TFall {
    const char* Name;
    // Prepares the location in AOrdner (or on the server) and returns it.
    std::function<std::string(const fs::path& AOrdner)> Ort;
    TDbFehlerArt Art;
    const char* TextTeil;
};

void Pruefen(const TFall& F, const fs::path& AOrdner) {
    SCOPED_TRACE(F.Name);
    const std::string ort = F.Ort(AOrdner);
    const std::string vorher = Inhalt(AOrdner);
    try {
        TRDLDatenbank::Oeffnen(ort);
        ADD_FAILURE() << "opened";
    } catch (const EDatenbankFehler& E) {
        EXPECT_EQ(int(E.Art()), int(F.Art)) << E.what();
        EXPECT_NE(std::string(E.what()).find(F.TextTeil), std::string::npos) << E.what();
        for (const char* englisch : {"SQLite", "sqlite", "SELECT", "PRAGMA", "libpq", "FATAL", "password"})
            EXPECT_EQ(std::string(E.what()).find(englisch), std::string::npos) << E.what();
    }
    EXPECT_EQ(Inhalt(AOrdner), vorher);
}

class Oeffnen : public ::testing::Test {
protected:
    TTestKurzeWartezeit FWarten;
    fs::path Ordner = fs::temp_directory_path() / ("quendrix_oeffnen_" + std::to_string(getpid()));
    void SetUp() override {
        fs::remove_all(Ordner);
        fs::create_directories(Ordner);
    }
    void TearDown() override { fs::remove_all(Ordner); }
};

// A database of this program at APfad, changed by AAendern through a bare connection.
std::string Installation(const fs::path& APfad, const std::function<void(IRDLVerbindung&)>& AAendern) {
    TRDLDatenbank::Anlegen(APfad.string()).reset();
    auto v = RDLSqliteVerbinden(APfad.string(), TRDLOeffnen::Vorhanden);
    AAendern(*v);
    return APfad.string();
}

TEST_F(Oeffnen, AFileThatCannotBeUsedIsToldApartAndLeftAsItWas) {
    if (TestAufPostgres()) return; // the server run checks server addresses
    std::unique_ptr<IRDLVerbindung> sperre;
    const TFall faelle[] = {
        {"missing", [](const fs::path& o) { return (o / "fehlt.db").string(); }, TDbFehlerArt::NichtGefunden,
         "gibt es nicht"},
        {"folder", [](const fs::path& o) { fs::create_directory(o / "ordner.db"); return (o / "ordner.db").string(); },
         TDbFehlerArt::IstOrdner, "Ordner"},
        {"text file", [](const fs::path& o) { std::ofstream(o / "text.db") << "kein SQLite"; return (o / "text.db").string(); },
         TDbFehlerArt::Fremd, "keine Datenbank des Auswertungs-Centers"},
        {"empty file", [](const fs::path& o) { std::ofstream(o / "leer.db"); return (o / "leer.db").string(); },
         TDbFehlerArt::Fremd, "keine Datenbank des Auswertungs-Centers"},
        {"another program's database (rollback journal, must stay so)",
         [](const fs::path& o) {
             auto v = RDLSqliteVerbinden((o / "fremd.db").string(), TRDLOeffnen::Neu);
             v->Ausfuehren("CREATE TABLE kunde (nr INTEGER)");
             return (o / "fremd.db").string();
         },
         TDbFehlerArt::Fremd, "keine Datenbank des Auswertungs-Centers"},
        {"other schema version",
         [](const fs::path& o) {
             return Installation(o / "alt.db", [](IRDLVerbindung& v) {
                 v.Ausfuehren("PRAGMA journal_mode=DELETE");
                 v.SchemaKennungSchreiben(CQuendrixApplicationId, CQuendrixSchemaVersion + 1);
             });
         },
         TDbFehlerArt::Version, "Schemaversion"},
        {"a table missing",
         [](const fs::path& o) {
             return Installation(o / "ohne.db", [](IRDLVerbindung& v) {
                 v.Ausfuehren("PRAGMA journal_mode=DELETE");
                 v.Ausfuehren("DROP TABLE benutzer");
             });
         },
         TDbFehlerArt::Beschaedigt, "\u201Ebenutzer\u201C fehlt"},
        {"damaged",
         [](const fs::path& o) {
             const auto p = Installation(o / "kaputt.db", [](IRDLVerbindung& v) { v.Ausfuehren("PRAGMA journal_mode=DELETE"); });
             std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(100); // the schema page after the header
             for (int i = 0; i < 400; ++i) f.put(char(0xA5));
             return p;
         },
         TDbFehlerArt::Beschaedigt, "beschädigt"},
        {"locked by another program",
         [&sperre](const fs::path& o) {
             const auto p = Installation(o / "gesperrt.db", [](IRDLVerbindung& v) { v.Ausfuehren("PRAGMA journal_mode=DELETE"); });
             sperre = RDLSqliteVerbinden(p, TRDLOeffnen::Vorhanden);
             sperre->Ausfuehren("BEGIN EXCLUSIVE");
             sperre->Ausfuehren("DELETE FROM einstellung");
             return p;
         },
         TDbFehlerArt::Gesperrt, "gesperrt"},
    };
    for (const auto& f : faelle) Pruefen(f, Ordner);
    sperre.reset();

    if (geteuid() != 0) { // root may write anything
        const auto p = Installation(Ordner / "nurlesen.db", [](IRDLVerbindung& v) { v.Ausfuehren("PRAGMA journal_mode=DELETE"); });
        fs::permissions(p, fs::perms::owner_read | fs::perms::group_read);
        Pruefen({"read-only", [p](const fs::path&) { return p; }, TDbFehlerArt::KeinSchreibrecht, "Berechtigung"}, Ordner);
    }
}

TEST_F(Oeffnen, AServerDatabaseThatCannotBeUsedIsToldApartAndLeftAsItWas) {
    if (!TestAufPostgres()) return; // the file run checks files
    const std::string port = std::getenv("PGPORT") ? std::getenv("PGPORT") : "5432";
    const std::string benutzer = std::getenv("PGUSER") ? std::getenv("PGUSER") : "postgres";
    TTestDatenbankOrt fremd, alt, ohne;
    // Another program's database: tables, but no identification of this program.
    auto vf = RDLPostgresVerbinden(fremd.Ort());
    fremd.Schliessen();
    vf->TabellenEntfernen({"einstellung", "benutzer", "benutzerrecht"});
    vf->Ausfuehren("CREATE TABLE kunde (nr INTEGER)");
    alt.Db().Verbindung().SchemaKennungSchreiben(CQuendrixApplicationId, CQuendrixSchemaVersion + 1);
    ohne.Db().Verbindung().Ausfuehren("DROP TABLE benutzer");
    const auto tabellen = [&](const std::string& AOrt) { return RDLPostgresVerbinden(AOrt)->Tabellen().size(); };
    const size_t fremdVorher = tabellen(fremd.Ort()), ohneVorher = tabellen(ohne.Ort());

    const TFall faelle[] = {
        {"malformed address", [](const fs::path&) { return std::string("postgresql://[::1/quendrix"); },
         TDbFehlerArt::Verbindung, "ungültig"},
        {"malformed port", [](const fs::path&) { return std::string("postgresql://localhost:keinport/x"); },
         TDbFehlerArt::Verbindung, "ungültig"},
        {"server down", [](const fs::path&) { return std::string("postgresql://localhost:1/quendrix"); },
         TDbFehlerArt::Verbindung, "nicht erreichbar"},
        {"wrong password",
         [&](const fs::path&) { return "postgresql://" + benutzer + ":falsch@localhost:" + port + "/postgres"; },
         TDbFehlerArt::Verbindung, "abgelehnt"},
        {"no such database", [](const fs::path&) { return std::string("postgresql:///gibtesnicht_quendrix"); },
         TDbFehlerArt::NichtGefunden, "gibt es auf dem Server nicht"},
        {"another program's database", [&](const fs::path&) { return fremd.Ort(); }, TDbFehlerArt::Fremd,
         "keine Datenbank des Auswertungs-Centers"},
        {"other schema version", [&](const fs::path&) { return alt.Ort(); }, TDbFehlerArt::Version, "Schemaversion"},
        {"a table missing", [&](const fs::path&) { return ohne.Ort(); }, TDbFehlerArt::Beschaedigt,
         "\u201Ebenutzer\u201C fehlt"},
    };
    for (const auto& f : faelle) Pruefen(f, Ordner);
    EXPECT_EQ(tabellen(fremd.Ort()), fremdVorher);
    EXPECT_EQ(tabellen(ohne.Ort()), ohneVorher);
}

TEST_F(Oeffnen, ALostServerConnectionIsReportedAndLeavesNothingHalfWritten) {
    if (!TestAufPostgres()) return;
    TTestDatenbankOrt ort;
    auto db = TRDLDatenbank::Oeffnen(ort.Ort());
    auto pid = db->Prepare("SELECT pg_backend_pid()");
    ASSERT_TRUE(pid.Step());
    const int64_t backend = pid.ColInt(0);
    pid.Reset();
    try {
        RDLBuchung b(*db);
        db->EinstellungSchreiben("HALB", "geschrieben");
        // The server ends this program's session, as a server restart or network loss would.
        auto admin = RDLPostgresVerbinden(ort.Ort());
        admin->Ausfuehren("SELECT pg_terminate_backend(" + std::to_string(backend) + ")");
        db->EinstellungSchreiben("RUEST", "x");
        ADD_FAILURE() << "wrote on a lost connection";
    } catch (const EDatenbankFehler& E) {
        EXPECT_EQ(int(E.Art()), int(TDbFehlerArt::Abgebrochen)) << E.what() << " | " << E.Details();
    }
    EXPECT_EQ(TRDLDatenbank::Oeffnen(ort.Ort())->Einstellung("HALB", "fehlt"), "fehlt");
}

} // namespace
