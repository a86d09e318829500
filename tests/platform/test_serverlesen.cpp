// Reads left before their last row, on both stores: the rows are right, the connection
// stays usable for the next statements, and the server store cancels nothing on the
// server (a cancel opens a new connection) unless rows are still pending there.
#include "rdldatenbank.h"
#include "rdlspeicher.h"
#include "testumgebung.h"

#include <gtest/gtest.h>
#include <signal.h>

namespace {

std::shared_ptr<TRDLDatenbank> MitZahlen(int ABis) {
    auto db = TestDatenbank();
    db->Exec("CREATE TABLE zahl (n INTEGER NOT NULL)");
    db->Exec("WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < " + std::to_string(ABis) +
             ") INSERT INTO zahl (n) SELECT n FROM r");
    return db;
}

int64_t Anzahl(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare("SELECT COUNT(*) FROM zahl");
    return st.Step() ? st.ColInt(0) : -1;
}

} // namespace

TEST(ServerLesen, VerlasseneLesungenGebenDieRichtigenZeilenUndBrechenNichtsAb) {
    auto db = MitZahlen(5000);
    const int64_t abbrueche = RDLServerAbbrueche();
    {
        // A keyed look-up that takes the first of many rows, another statement in between.
        auto st = db->Prepare("SELECT n FROM zahl WHERE n >= ? ORDER BY n");
        st.Bind(1, int64_t(100));
        ASSERT_TRUE(st.Step());
        EXPECT_EQ(st.ColInt(0), 100);
        EXPECT_EQ(Anzahl(*db), 5000);
        ASSERT_TRUE(st.Step());
        EXPECT_EQ(st.ColInt(0), 101);
    }
    for (int lauf = 0; lauf < 2; ++lauf) {
        // A range read left after a few rows; the second time on the kept statement.
        auto st = db->Prepare("SELECT n FROM zahl WHERE n >= ? ORDER BY n");
        st.Bind(1, int64_t(10 + lauf));
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(st.Step());
        EXPECT_EQ(st.ColInt(0), 12 + lauf);
    }
    {
        // A read left in the middle of a transaction, then a write in the same one.
        RDLBuchung buchung(*db);
        auto st = db->Prepare("SELECT n FROM zahl ORDER BY n");
        ASSERT_TRUE(st.Step());
        db->Exec("DELETE FROM zahl WHERE n > 4000");
        EXPECT_EQ(Anzahl(*db), 4000);
    }
    EXPECT_EQ(Anzahl(*db), 4000);
    EXPECT_EQ(RDLServerAbbrueche(), abbrueche);
}

TEST(ServerLesen, EinStromBrichtNurAbWennAufDemServerNochZeilenWarten) {
    auto db = MitZahlen(5000);
    auto& v = db->Verbindung();
    const int64_t abbrueche = RDLServerAbbrueche();
    {
        // The whole answer has arrived after the first row: nothing to cancel.
        auto st = v.Vorbereiten("SELECT n FROM zahl WHERE n <= 3 ORDER BY n", true);
        ASSERT_TRUE(st->Schritt());
        EXPECT_EQ(st->Int(0), 1);
    }
    EXPECT_EQ(RDLServerAbbrueche(), abbrueche);
    {
        // Left after three of 25 million rows: the rest is cancelled, the connection goes on.
        auto st = v.Vorbereiten("SELECT a.n FROM zahl a CROSS JOIN zahl b", true);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(st->Schritt());
        st->Schliessen();
        EXPECT_EQ(Anzahl(*db), 5000);
    }
    if (v.Art() == TRDLSpeicherArt::SQLite) {
        EXPECT_EQ(RDLServerAbbrueche(), abbrueche);
    }
}

// A server that stops answering (its process frozen, the network gone without a word) is
// given up after the answer time: the statement fails with its German message instead of
// waiting forever, and every later one fails at once.
TEST(ServerLesen, EinStummerServerWirdNachDerAntwortzeitAufgegeben) {
    if (!TestAufPostgres()) GTEST_SKIP() << "the file store has no server";
    auto db = MitZahlen(10);
    int64_t pid = 0;
    {
        auto st = db->Prepare("SELECT pg_backend_pid()");
        ASSERT_TRUE(st.Step());
        pid = st.ColInt(0);
    }
    const int vorher = RDLServerAntwortzeit();
    const int wartezeit = RDLWartezeit();
    RDLServerAntwortzeitSetzen(1000);
    RDLWartezeitSetzen(100);
    ASSERT_EQ(kill(pid_t(pid), SIGSTOP), 0);
    try {
        Anzahl(*db);
        ADD_FAILURE() << "a frozen server answered";
    } catch (const EDatenbankFehler& E) {
        EXPECT_EQ(E.Art(), TDbFehlerArt::Abgebrochen);
        EXPECT_NE(std::string(E.what()).find("antwortet nicht"), std::string::npos) << E.what();
    }
    kill(pid_t(pid), SIGCONT);
    RDLServerAntwortzeitSetzen(vorher);
    RDLWartezeitSetzen(wartezeit);
    EXPECT_TRUE(db->VerbindungVerloren());
    EXPECT_THROW(Anzahl(*db), EDatenbankFehler) << "later statements fail at once";
    EXPECT_TRUE(TestDatenbank()->Verbindung().Art() == TRDLSpeicherArt::PostgreSQL) << "the server itself goes on";
}

// The server keeps the plan it chose for a kept statement after a few runs; chosen while
// a table was empty, it would scan the whole table for every run after the table grew.
// A transaction that wrote much lets the next run plan anew, with the table's size.
TEST(ServerLesen, NachVielenSchreibvorgaengenWirdNeuGeplant) {
    if (!TestAufPostgres()) GTEST_SKIP() << "the file store keeps no plans on a server";
    auto db = MitZahlen(0);
    db->Exec("CREATE INDEX zahl_n ON zahl (n)");
    db->Exec("ANALYZE zahl");
    auto suche = db->Prepare("SELECT n FROM zahl WHERE n = ?");
    for (int i = 0; i < 8; ++i) {
        suche.Bind(1, int64_t(-i));
        EXPECT_FALSE(suche.Step());
    }
    auto plan = [&] {
        std::string name;
        {
            auto st = db->Prepare("SELECT name FROM pg_prepared_statements WHERE statement LIKE '%FROM zahl WHERE n = $1%'");
            EXPECT_TRUE(st.Step());
            name = st.ColText(0);
        }
        std::string text;
        auto st = db->Prepare("EXPLAIN EXECUTE " + name + "(7)");
        while (st.Step()) text += st.ColText(0) + "\n";
        return text;
    };
    EXPECT_NE(plan().find("Seq Scan"), std::string::npos) << "the plan kept while the table was empty";
    {
        RDLBuchung b(*db);
        auto einf = db->Prepare("INSERT INTO zahl (n) VALUES (?)");
        for (int i = 0; i < 250; ++i) {
            einf.Bind(1, int64_t(100000 + i));
            einf.Step();
            einf.Reset();
        }
        db->Exec("INSERT INTO zahl (n) SELECT g FROM generate_series(2, 50000) g");
    }
    const std::string danach = plan();
    EXPECT_NE(danach.find("Index"), std::string::npos) << danach;
    suche.Bind(1, int64_t(7));
    EXPECT_TRUE(suche.Step());
}
