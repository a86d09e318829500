// The write and read rules of the database beside other programs, on the store under
// test: this program writes through its record files (connection A), another program
// (a till) reads and writes through its own connection (B).
#include "erwarteteausnahmen.h"
#include "kovdbfiles.h"
#include "rdldatum.h"
#include "suitetabellen.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace {

class Schreibregeln : public ::testing::Test {
protected:
    TTestKurzeWartezeit FWarten;
    TTestDatenbankOrt Ort;
    TTestUmgebung U{Ort.DbShared()};
    std::shared_ptr<TRDLDatenbank> B = TRDLDatenbank::Oeffnen(Ort.Ort());
    int FTransNr = 0;

    int64_t ZaehlenB(const std::string& ATabelle) {
        auto st = B->Prepare("SELECT COUNT(*) FROM " + ATabelle);
        st.Step();
        return st.ColInt(0);
    }
    // A sales line as a till writes it, through connection B.
    void KasseSchreibt() {
        TTestUmgebung::TVerkauf v;
        v.TransNr = ++FTransNr;
        v.Datum = EncodeDate(2026, 3, 1);
        TTestUmgebung::Verkauf(*B, v);
    }
    // Lines of 1 March that a new search through A finds.
    int SucheZaehlt() {
        Tlstfile f;
        f.SucheInit();
        f.KeyNr_Set(Tlstfile::KeyDatum);
        f.Datum.SetKeyWert(EncodeDate(2026, 3, 1));
        f.Datum.KeyWertUebernehmen();
        f.ExtendedFilterAdd(f.Datum, fvGleich, fkEnde);
        int n = 0;
        for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) ++n;
        return n;
    }
    static void Statistik(Tumstfile& AF, int ATag) {
        AF.SatzLeeren();
        AF.Kennung.SetWert("UMSAUSW");
        AF.Mandant.SetWert({1, 1});
        AF.OrgeID.SetWert({1, 1});
        AF.Filiale.SetWert(1);
        AF.Datum.SetWert(EncodeDate(2026, 3, ATag));
        AF.Ganztag.SetWert(true);
        AF.Insert();
    }
    static void Stand(Tumsvfile& AF, int ARechner) {
        AF.SatzLeeren();
        AF.Kennung.SetWert("UMSAUSW");
        AF.Rechner.SetWert(ARechner);
        AF.TransNr.SetWert(100 + ARechner);
        AF.Insert();
    }
};

TEST_F(Schreibregeln, ManualCommitBatchesUntilCommitAndIsLostWithoutIt) {
    {
        Tumstfile st;
        st.ManualCommit_Set(true);
        Statistik(st, 1);
        Statistik(st, 2);
        EXPECT_EQ(ZaehlenB("umst"), 0) << "a batch is invisible until Commit";
        st.Commit();
        EXPECT_EQ(ZaehlenB("umst"), 2);
        Statistik(st, 3);
        // destroyed without Commit
    }
    EXPECT_EQ(ZaehlenB("umst"), 2);
    KasseSchreibt(); // no write lock is left behind
}

TEST_F(Schreibregeln, APlainWriteIsDurableAtOnceAndCommitsAnOpenBatchFirst) {
    // The order of the statistics update: rows booked and committed, then the
    // processing state through a plain file, a settings value, then the objects go.
    auto st = std::make_unique<Tumstfile>();
    auto sv = std::make_unique<Tumsvfile>();
    st->ManualCommit_Set(true);
    Statistik(*st, 1);
    st->Commit();
    Stand(*sv, 1);
    TSimpleMask("PEP", "UMSAETZE").WriteGlobal("IGNOREUMSAETZEVOR", "FILKNR=1;IGNOREVOR=01.03.2026");
    st.reset();
    sv.reset();
    EXPECT_EQ(ZaehlenB("umst"), 1);
    EXPECT_EQ(ZaehlenB("umsv"), 1);
    EXPECT_EQ(ZaehlenB("globaldef"), 1);

    // A plain write while another file's batch is open: what the batch held so far is
    // committed first, so a later loss of the batch file takes nothing with it.
    st = std::make_unique<Tumstfile>();
    st->ManualCommit_Set(true);
    Statistik(*st, 2);
    sv = std::make_unique<Tumsvfile>();
    Stand(*sv, 2);
    EXPECT_EQ(ZaehlenB("umsv"), 2) << "durable when the call returns";
    EXPECT_EQ(ZaehlenB("umst"), 2) << "the batch so far went with it";
    Statistik(*st, 3);
    st.reset(); // without Commit: only what came after the plain write is lost
    EXPECT_EQ(ZaehlenB("umst"), 2);
}

TEST_F(Schreibregeln, BookingBracketCommitsOnNormalEndAndRollsBackOnException) {
    Tumsvfile f;
    {
        RDLBuchung b;
        Stand(f, 1);
        EXPECT_EQ(ZaehlenB("umsv"), 0);
    }
    EXPECT_EQ(ZaehlenB("umsv"), 1) << "a normal end commits";
    try {
        RDLBuchung b;
        Stand(f, 2);
        throw Exception("Abbruch");
    } catch (const Exception&) {
    }
    {
        RDLBuchung b;
        Stand(f, 3);
        b.Beenden(false);
    }
    {
        // Nested brackets: the inner rollback takes only its own part.
        RDLBuchung aussen;
        Stand(f, 4);
        {
            RDLBuchung innen;
            Stand(f, 5);
            innen.Beenden(false);
        }
        // A manual-commit file's Commit inside the bracket waits for the bracket.
        Tumstfile st;
        st.ManualCommit_Set(true);
        Statistik(st, 1);
        st.Commit();
        EXPECT_EQ(ZaehlenB("umst"), 0);
    }
    EXPECT_EQ(ZaehlenB("umsv"), 2);
    EXPECT_EQ(ZaehlenB("umst"), 1);
    KasseSchreibt();
}

TEST_F(Schreibregeln, AFailedWriteRollsBackItsBatchOrBracketAndNothingHalfWrittenStays) {
    Tumsvfile f;
    {
        RDLBuchung b;
        Stand(f, 1);
        EXPECT_THROW(Stand(f, 1), EDatenbankFehler) << "the key is unique";
        EXPECT_THROW(Stand(f, 2), EDatenbankFehler) << "the bracket is lost: no more writes in it";
        EXPECT_THROW(b.Beenden(), EDatenbankFehler) << "ending it as done tells the caller";
    }
    EXPECT_EQ(ZaehlenB("umsv"), 0);

    f.ManualCommit_Set(true);
    Stand(f, 1);
    EXPECT_THROW(Stand(f, 1), EDatenbankFehler);
    Stand(f, 2); // a new batch
    f.Commit();
    EXPECT_EQ(ZaehlenB("umsv"), 1) << "the failed batch was rolled back as a whole";
    f.ManualCommit_Set(false);
    Stand(f, 3);
    EXPECT_EQ(ZaehlenB("umsv"), 2);
}

// SQLite answers "busy" once its own wait has run out; a booking tries again for as long
// once more. So a till holding the write lock a little past the wait only delays a
// booking; held far longer, the booking fails with the plain message and writes nothing.
TEST_F(Schreibregeln, AWriteLockHeldPastTheBusyWaitDelaysABookingAndOnlyALongHoldFailsIt) {
    if (TestAufPostgres()) return; // the server has no lock over the whole file
    const int warten = RDLWartezeit(); // the fixture's connections were opened with it
    auto halten = [&](int AMillisekunden) {
        auto gesperrt = std::make_shared<std::promise<void>>();
        auto bereit = gesperrt->get_future();
        std::thread t([this, AMillisekunden, gesperrt] {
            auto v = RDLSqliteVerbinden(Ort.Ort(), TRDLOeffnen::Vorhanden);
            v->Ausfuehren("BEGIN IMMEDIATE");
            gesperrt->set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(AMillisekunden));
            v->Ausfuehren("COMMIT");
        });
        bereit.wait();
        return t;
    };
    Tumsvfile f;
    std::thread till = halten(warten * 3 / 2);
    EXPECT_NO_THROW({
        RDLBuchung b;
        Stand(f, 1);
        b.Beenden();
    });
    till.join();
    EXPECT_EQ(ZaehlenB("umsv"), 1);

    till = halten(warten * 5);
    try {
        RDLBuchung b;
        Stand(f, 2);
        b.Beenden();
        ADD_FAILURE() << "a booking went through a lock held five times the wait";
    } catch (const EDatenbankFehler& E) {
        EXPECT_EQ(E.Art(), TDbFehlerArt::Gesperrt);
        EXPECT_NE(std::string(E.what()).find("durch ein anderes Programm gesperrt"), std::string::npos) << E.what();
    }
    till.join();
    EXPECT_EQ(ZaehlenB("umsv"), 1);
    Stand(f, 3);
    EXPECT_EQ(ZaehlenB("umsv"), 2) << "the file is free again";
}

// A packet whose inserts may travel queued (the server store's pipeline): every record
// arrives, a record's position is there when an update asks for it, reads in between see
// the packet, and a failed insert fails the whole packet at its end at the latest.
TEST_F(Schreibregeln, AQueuedPacketArrivesWholeOrNotAtAll) {
    Tumsvfile f;
    f.EinfuegenSammeln_Set(true);
    {
        RDLBuchung b;
        for (int r = 1; r <= 600; ++r) {
            Stand(f, r);
            if (r == 300) {
                f.TransNr.SetWert(9999);
                f.Update();
            }
        }
        Tumsvfile g;
        g.SucheInit();
        g.Kennung.SetKeyWert("UMSAUSW");
        g.Mandant.SetKeyWert({0, 0});
        g.Rechner.SetKeyWert(5);
        EXPECT_TRUE(g.Get_eq()) << "a read inside the packet sees its queued inserts";
    }
    EXPECT_EQ(ZaehlenB("umsv"), 600);
    {
        auto st = B->Prepare("SELECT transnr FROM umsv WHERE rechner = 300");
        ASSERT_TRUE(st.Step());
        EXPECT_EQ(st.ColInt(0), 9999) << "the update met the queued record";
    }

    // A duplicate key: on the file store at the insert, on the server at the packet's end.
    EXPECT_THROW(
        {
            RDLBuchung b;
            Stand(f, 700);
            Stand(f, 5);
            Stand(f, 701);
            b.Beenden();
        },
        EDatenbankFehler);
    EXPECT_EQ(ZaehlenB("umsv"), 600) << "nothing of the failed packet stays";
    f.EinfuegenSammeln_Set(false);
    Stand(f, 702);
    EXPECT_EQ(ZaehlenB("umsv"), 601) << "the connection goes on";
}

TEST_F(Schreibregeln, NoReadKeepsAnOldSnapshotOrTheWriteLock) {
    for (int i = 0; i < 5; ++i) KasseSchreibt();
    struct TLesart {
        const char* Name;
        std::function<void(Tlstfile&)> Lesen;
    };
    const TLesart arten[] = {
        {"found exact read", [](Tlstfile& f) {
             f.SucheInit();
             f.Mandant.SetKeyWert({1, 1});
             f.Rechner.SetKeyWert(1);
             f.TransNr.SetKeyWert(1);
             f.PosNr.SetKeyWert(1);
             ASSERT_TRUE(f.Get_eq());
         }},
        {"probe of one record", [](Tlstfile& f) {
             f.SucheInit();
             f.KeyNr_Set(Tlstfile::KeyTransaktion);
             f.Mandant.SetKeyWert({1, 1});
             f.Rechner.SetKeyWert(1);
             f.TransNr.SetKeyWert(TIntegerDatenKeyFeld::GroessterWert());
             f.PosNr.SetKeyWert(TIntegerDatenKeyFeld::GroessterWert());
             f.ExtendedMaxReceive_Set(1);
             ASSERT_TRUE(f.Get_le_extMode());
         }},
        {"loop left early", [](Tlstfile& f) {
             f.SucheInit();
             f.KeyNr_Set(Tlstfile::KeyDatum);
             ASSERT_TRUE(f.Get_ge());
             ASSERT_TRUE(f.Get_next());
         }},
    };
    Tlstfile lst;
    Tumsvfile umsv;
    Tumstfile umst;
    umst.ManualCommit_Set(true);
    int rechner = 0;
    for (const auto& art : arten) {
        SCOPED_TRACE(art.Name);
        art.Lesen(lst);
        const int vorher = SucheZaehlt();
        art.Lesen(lst);
        KasseSchreibt(); // reads never take the write lock
        EXPECT_EQ(SucheZaehlt(), vorher + 1) << "the next search sees the till's line";
        art.Lesen(lst);
        KasseSchreibt();
        Stand(umsv, ++rechner); // own writes after a read do not fail
        art.Lesen(lst);
        KasseSchreibt();
        Statistik(umst, rechner);
        umst.Commit();
        RDLBuchung b;
        Stand(umsv, 10 + rechner);
    }
    EXPECT_EQ(ZaehlenB("umsv"), 6);
    EXPECT_EQ(ZaehlenB("umst"), 3);
}

TEST_F(Schreibregeln, WaitingForTheUserHoldsNeitherTheWriteLockNorASnapshot) {
    Tumstfile st;
    st.ManualCommit_Set(true);
    Statistik(st, 1);
    EXPECT_TRUE(U.Db().VorBenutzerWarten());
    KasseSchreibt(); // would wait for the lock and fail on SQLite otherwise
    st.Commit();
    EXPECT_EQ(ZaehlenB("umst"), 0) << "the interrupted batch is rolled back, not half committed";
    {
        TErwarteteAusnahmen erwartet{"RDLBuchung"}; // the bracket that was lost ends with a rollback
        RDLBuchung b;
        Tumsvfile sv;
        Stand(sv, 1);
        EXPECT_TRUE(U.Db().VorBenutzerWarten());
        KasseSchreibt();
        EXPECT_THROW(Stand(sv, 2), EDatenbankFehler) << "the bracket is lost";
    }
    EXPECT_EQ(ZaehlenB("umsv"), 0);
    EXPECT_FALSE(U.Db().VorBenutzerWarten()) << "nothing open";

    // A message box that waits for the user does the same before it shows.
    U.Meldungen().WieEinDialog = true;
    st.Commit();
    Statistik(st, 2);
    RDLInfo().ShowMeldung("STANDARD", 994, {"Bitte prüfen"});
    KasseSchreibt();
    st.Commit();
    EXPECT_EQ(ZaehlenB("umst"), 0);
}

TEST_F(Schreibregeln, PlainReadsStreamNestAndMayBeLeftEarly) {
    for (int i = 0; i < 50; ++i) KasseSchreibt();
    auto aussen = U.Db().Prepare("SELECT transnr FROM lst ORDER BY transnr");
    auto innen = U.Db().Prepare("SELECT COUNT(*) FROM lst WHERE transnr <= ?");
    int n = 0;
    while (aussen.Step()) {
        ++n;
        EXPECT_EQ(aussen.ColInt(0), n);
        innen.Bind(1, int64_t(n));
        ASSERT_TRUE(innen.Step());
        EXPECT_EQ(innen.ColInt(0), n);
        innen.Reset();
        if (n % 10 == 0) U.Db().EinstellungSchreiben("ZAEHLER", std::to_string(n));
    }
    EXPECT_EQ(n, 50);
    EXPECT_EQ(U.Db().Einstellung("ZAEHLER"), "50");
    // Left after three rows: the connection serves the next statement at once.
    ASSERT_TRUE(aussen.Step() && aussen.Step() && aussen.Step());
    aussen.Reset();
    EXPECT_EQ(SucheZaehlt(), 50);
    ASSERT_TRUE(aussen.Step());
    EXPECT_EQ(aussen.ColInt(0), 1) << "a new run starts from the beginning";
}

TEST_F(Schreibregeln, ALoopGoesOnAfterWritesOfOwnAndOtherFilesInKeyOrder) {
    for (int i = 0; i < 30; ++i) KasseSchreibt();
    Tlstfile f;
    Tumsvfile umsv;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyTransaktion);
    std::vector<int> gelesen;
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) {
        gelesen.push_back(f.TransNr.GetWert());
        if (gelesen.size() % 7 == 0) Stand(umsv, int(gelesen.size()));
        if (gelesen.size() % 5 == 0) {
            f.Menge.SetWert(f.Menge.GetWert() + 1);
            f.Update();
        }
    }
    ASSERT_EQ(gelesen.size(), 30u);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(gelesen[size_t(i)], i + 1);
    auto st = B->Prepare("SELECT SUM(menge) FROM lst");
    st.Step();
    EXPECT_EQ(st.ColInt(0), 36);
}

} // namespace
