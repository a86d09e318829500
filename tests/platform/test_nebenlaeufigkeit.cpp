// A till in another process writes receipts steadily while this program searches,
// probes, leaves loops early and books statistics rows, on the store under test. The
// program's named locks over processes: one holder at a time, freed by its end.
#include "kovdbfiles.h"
#include "rdldatum.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <set>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int CKasse = 7;
constexpr int CBons = 600;

struct TGeteilt {
    std::atomic<int> Festgeschrieben{0}; // receipts the till has committed
    std::atomic<int> Fehler{0};
    std::atomic<bool> Ende{false};
};

// The till: receipts of two lines each, one transaction per receipt, plain SQL.
[[noreturn]] void Kasse(const std::string& AOrt, TGeteilt& G) {
    int rc = 0;
    try {
        // A short busy wait: a write lock held too long by the program fails the till.
        RDLWartezeitSetzen(2000);
        auto db = TRDLDatenbank::Oeffnen(AOrt);
        for (int bon = 1; bon <= CBons && !G.Ende; ++bon) {
            try {
                RDLBuchung b(*db);
                for (int pos = 1; pos <= 2; ++pos) {
                    TTestUmgebung::TVerkauf v;
                    v.Rechner = CKasse;
                    v.TransNr = bon;
                    v.PosNr = pos;
                    v.Datum = EncodeDate(2026, 3, 1 + bon % 3);
                    TTestUmgebung::Verkauf(*db, v);
                }
                b.Beenden();
                G.Festgeschrieben = bon;
            } catch (const std::exception& E) {
                ++G.Fehler;
                std::fprintf(stderr, "Kasse: %s\n", E.what());
            }
            std::this_thread::sleep_for(std::chrono::microseconds(2000));
        }
    } catch (const std::exception& E) {
        std::fprintf(stderr, "Kasse: %s\n", E.what());
        rc = 2;
    }
    // No destructors of the parent's objects in the child.
    std::fflush(stderr);
    _exit(rc ? rc : (G.Fehler ? 1 : 0));
}

int LinienDerKasse(Tlstfile& f) {
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyTransaktion);
    f.Mandant.SetKeyWertAndFilter({1, 1});
    f.Rechner.SetKeyWertAndFilter(CKasse);
    int n = 0;
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) ++n;
    return n;
}

int HoechsterBon(Tlstfile& f) {
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyTransaktion);
    f.Mandant.SetKeyWert({1, 1});
    f.Rechner.SetKeyWert(CKasse);
    f.TransNr.SetKeyWert(TIntegerDatenKeyFeld::GroessterWert());
    f.PosNr.SetKeyWert(TIntegerDatenKeyFeld::GroessterWert());
    f.Rechner.SetWert(CKasse);
    f.ExtendedFilterAdd(f.Rechner, fvGleich, fkEnde);
    f.ExtendedMaxReceive_Set(1);
    return f.Get_le_extMode() ? f.TransNr.GetWert() : 0;
}

// Books the day's "figures" as the statistics update does: exact read, update or insert.
void Buchen(Tumstfile& f, int ATag, double AWert) {
    f.SucheInit();
    f.Kennung.SetKeyWert("TEST");
    f.Mandant.SetKeyWert({1, 1});
    f.OrgeID.SetKeyWert({1, 1});
    f.Datum.SetKeyWert(EncodeDate(2026, 3, ATag));
    f.Ganztag.SetKeyWert(true);
    f.Von.SetKeyWert(0);
    f.Bis.SetKeyWert(0);
    const bool da = f.Get_eq();
    f.Kennung.SetWert("TEST");
    f.Mandant.SetWert({1, 1});
    f.OrgeID.SetWert({1, 1});
    f.Filiale.SetWert(1);
    f.Datum.SetWert(EncodeDate(2026, 3, ATag));
    f.Ganztag.SetWert(true);
    f.Daten.SetWert({std::to_string(AWert)});
    if (da) f.Update();
    else f.Insert();
}

TEST(Nebenlaeufigkeit, ATillWritesWhileTheProgramReadsAndBooksAndNothingIsLostOrFails) {
    TTestDatenbankOrt ort;
    TTestUmgebung U{ort.DbShared()};
    auto* G = static_cast<TGeteilt*>(
        mmap(nullptr, sizeof(TGeteilt), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(G, MAP_FAILED);
    new (G) TGeteilt();
    const pid_t kind = fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) Kasse(ort.Ort(), *G);

    int fehler = 0, suchen = 0, zuWenig = 0, halbeBons = 0;
    int status = 0;
    bool kindLaeuft = true;
    {
        Tlstfile lst, sonde, kurz;
        Tumstfile umst;
        Tumsvfile umsv;
        umst.ManualCommit_Set(true);
        while ((kindLaeuft = waitpid(kind, &status, WNOHANG) == 0)) {
            try {
                // Every search sees every receipt committed before it began, and whole ones.
                const int vorher = G->Festgeschrieben;
                const int n = LinienDerKasse(lst);
                ++suchen;
                if (n < 2 * vorher) ++zuWenig;
                if (n % 2) ++halbeBons;
                if (HoechsterBon(sonde) < vorher) ++zuWenig;
                // A loop left early.
                kurz.SucheInit();
                kurz.KeyNr_Set(Tlstfile::KeyDatum);
                for (int i = 0; i < 3 && (i ? kurz.Get_next() : kurz.Get_ge()); ++i) {
                }
                // Statistics rows in a manual-commit batch, the processing state in a bracket.
                for (int tag = 1; tag <= 3; ++tag) Buchen(umst, tag, n);
                umst.Commit();
                {
                    RDLBuchung b;
                    umsv.SucheInit();
                    umsv.Kennung.SetKeyWert("TEST");
                    umsv.Mandant.SetKeyWert(TIntPair{1, 1});
                    umsv.Rechner.SetKeyWert(CKasse);
                    const bool da = umsv.Get_eq();
                    umsv.Kennung.SetWert("TEST");
                    umsv.Mandant.SetWert(TIntPair{1, 1});
                    umsv.Rechner.SetWert(CKasse);
                    umsv.TransNr.SetWert(vorher);
                    if (da) umsv.Update();
                    else umsv.Insert();
                }
            } catch (const std::exception& E) {
                ++fehler;
                ADD_FAILURE() << "Programm: " << E.what();
                if (fehler > 5) break;
            }
        }
    }
    G->Ende = true;
    if (kindLaeuft) waitpid(kind, &status, 0);
    const int bons = G->Festgeschrieben;
    const int kassenFehler = G->Fehler;
    munmap(G, sizeof(TGeteilt));

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the till failed " << kassenFehler << " times";
    EXPECT_EQ(fehler, 0);
    EXPECT_GT(suchen, 10);
    EXPECT_EQ(zuWenig, 0) << "a search missed lines committed before it began";
    EXPECT_EQ(halbeBons, 0) << "a search saw half a receipt";
    EXPECT_EQ(bons, CBons);
    auto st = U.Db().Prepare("SELECT COUNT(*), COUNT(DISTINCT transnr * 10 + posnr) FROM lst WHERE rechner = ?");
    st.Bind(1, int64_t(CKasse));
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColInt(0), 2 * CBons) << "no line lost";
    EXPECT_EQ(st.ColInt(1), 2 * CBons) << "no line twice";
    st.Reset();
    auto sv = U.Db().Prepare("SELECT COUNT(*) FROM umst WHERE kennung = 'TEST'");
    sv.Step();
    EXPECT_EQ(sv.ColInt(0), 3);
}

// A lock is held by one holder at a time, also against a second request of the holder's
// own connection, and per name; a waiter gets it once the holder lets go, and a holder
// that is killed cannot keep it.
TEST(Nebenlaeufigkeit, EineSperreHatEinenHalterUndSeinEndeGibtSieFrei) {
    TTestDatenbankOrt ort;
    TTestUmgebung U{ort.DbShared()};
    const std::string name = "UMSAUSW";
    const std::shared_ptr<TRDLDatenbank> a = ort.DbShared();
    for (const bool getoetet : {false, true}) {
        SCOPED_TRACE(getoetet ? "holder killed" : "holder lets go");
        std::unique_ptr<TRDLSperre> halter;
        const std::shared_ptr<TRDLDatenbank> b = TRDLDatenbank::Oeffnen(ort.Ort());
        pid_t kind = -1;
        if (!getoetet) {
            halter = TRDLSperre::Nehmen(b, name, 0);
            ASSERT_TRUE(halter);
            EXPECT_FALSE(TRDLSperre::Nehmen(b, name, 0)) << "not twice on one connection";
        } else {
            // Another process takes it, says so and waits to be killed.
            int p[2];
            ASSERT_EQ(pipe(p), 0);
            kind = fork();
            ASSERT_GE(kind, 0);
            if (kind == 0) {
                close(p[0]);
                auto db = TRDLDatenbank::Oeffnen(ort.Ort());
                auto s = TRDLSperre::Nehmen(db, name, 0);
                const char c = s ? '1' : '0';
                if (write(p[1], &c, 1) != 1) _exit(3);
                for (;;) pause();
            }
            close(p[1]);
            char c = 0;
            ASSERT_EQ(read(p[0], &c, 1), 1);
            close(p[0]);
            ASSERT_EQ(c, '1');
        }
        EXPECT_FALSE(TRDLSperre::Nehmen(a, name, 0)) << "taken";
        EXPECT_TRUE(TRDLSperre::Nehmen(a, "VFAUSW", 0)) << "another name is free";
        if (!TestAufPostgres()) {
            EXPECT_TRUE(std::filesystem::exists(ort.Ort() + "." + name + ".sperre"));
        }
        // The waiter's callback runs while it waits; there the holder ends.
        int aufrufe = 0;
        auto s = TRDLSperre::Nehmen(a, name, RDLWartezeit(), [&] {
            if (++aufrufe == 1) {
                if (getoetet) {
                    kill(kind, SIGKILL);
                    waitpid(kind, nullptr, 0);
                } else {
                    halter.reset();
                }
            }
            return true;
        });
        EXPECT_TRUE(s) << "the holder's end frees it";
        EXPECT_GE(aufrufe, 1);
        EXPECT_FALSE(TRDLSperre::Nehmen(b, name, 0)) << "now the waiter holds it";
    }
    // A waiter that gives up has none.
    auto halter = TRDLSperre::Nehmen(a, name, 0);
    ASSERT_TRUE(halter);
    int aufrufe = 0;
    EXPECT_FALSE(TRDLSperre::Nehmen(TRDLDatenbank::Oeffnen(ort.Ort()), name, RDLWartezeit(), [&] { return ++aufrufe < 2; }));
    EXPECT_EQ(aufrufe, 2);
}

} // namespace
