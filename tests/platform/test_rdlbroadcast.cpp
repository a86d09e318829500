// Broadcast window messages: within this process at once, to another process through its
// socket, past the socket of a dead process, and without a usable folder; on a server
// database to another workstation through its notifications, once, also from the suite's
// other programs and after the listening connection was lost.
#include "erwarteteausnahmen.h"
#include "ignorumsaetze.h"
#include "rdlbroadcast.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

using TEmpfangen = std::vector<std::tuple<uint32_t, uint64_t, int64_t>>;

class Broadcast : public ::testing::Test {
protected:
    void SetUp() override {
        // Messages of this test stay among its own processes.
        char muster[] = "/tmp/quendrix-test-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        FOrdner = muster;
        setenv("QUENDRIX_NACHRICHTENORDNER", FOrdner.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("QUENDRIX_NACHRICHTENORDNER");
        std::filesystem::remove_all(FOrdner);
    }
    std::string FOrdner;
    TTestUmgebung U{false};
};

TRDLNachrichtenEmpfaenger::THandler Aufzeichnen(TEmpfangen& AListe) {
    return [&AListe](uint32_t AMsg, uint64_t AWParam, int64_t ALParam) { AListe.emplace_back(AMsg, AWParam, ALParam); };
}

// Waits a few seconds at most for a line from the pipe.
std::string ZeileLesen(int AFd) {
    std::string zeile;
    char c;
    while (true) {
        pollfd p{AFd, POLLIN, 0};
        if (poll(&p, 1, 5000) <= 0 || read(AFd, &c, 1) != 1 || c == '\n') return zeile;
        zeile += c;
    }
}

void ZeileSchreiben(int AFd, const std::string& AZeile) {
    const std::string s = AZeile + "\n";
    [[maybe_unused]] auto n = write(AFd, s.data(), s.size());
}

int BroadcastMeldungen() {
    int n = 0;
    for (const auto& r : RDLInfo().Registrierte()) n += r.TraceName == "RDLBroadcastSystemMessage";
    return n;
}

TEST_F(Broadcast, ANameGivesTheSameNumberEachTime) {
    const uint32_t a = RDLRegisterWindowMessage("Broadcast.Name.A");
    EXPECT_EQ(RDLRegisterWindowMessage("Broadcast.Name.A"), a);
    EXPECT_NE(RDLRegisterWindowMessage("Broadcast.Name.B"), a);
    EXPECT_GE(a, 0xC000u);
}

TEST_F(Broadcast, EveryReceiverOfThisProcessGetsItAtOnceTheSenderCanTellItsOwn) {
    const uint32_t msg = RDLRegisterWindowMessage("Broadcast.InProzess");
    TEmpfangen e1, e2, e3;
    TRDLNachrichtenEmpfaenger r1(Aufzeichnen(e1)), r2(Aufzeichnen(e2));
    {
        TRDLNachrichtenEmpfaenger r3(Aufzeichnen(e3));
        EXPECT_NE(r1.Handle(), r3.Handle());
        EXPECT_EQ(r3.Handle() >> 32, uint64_t(getpid()));
    }
    RDLBroadcastSystemMessage(msg, r1.Handle(), 7);
    const TEmpfangen erwartet{{msg, r1.Handle(), 7}};
    EXPECT_EQ(e1, erwartet) << "the sender's own receiver sees its handle as first parameter";
    EXPECT_EQ(e2, erwartet);
    EXPECT_TRUE(e3.empty()) << "a destroyed receiver gets nothing";
    EXPECT_EQ(RDLNachrichtenVerarbeiten(), 0) << "nothing comes back through the socket";
    EXPECT_EQ(e2.size(), 1u);
    EXPECT_EQ(BroadcastMeldungen(), 0);
}

TEST_F(Broadcast, AFailingReceiverDoesNotKeepTheMessageFromTheOthers) {
    const uint32_t msg = RDLRegisterWindowMessage("Broadcast.Fehler");
    TErwarteteAusnahmen erwartet{"TRDLNachrichtenEmpfaenger.Handler"};
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r1([](uint32_t, uint64_t, int64_t) { throw EListError("kaputt"); });
    TRDLNachrichtenEmpfaenger r2(Aufzeichnen(e));
    RDLBroadcastSystemMessage(msg, 0, 0);
    EXPECT_EQ(e.size(), 1u);
    ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
    EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "TRDLNachrichtenEmpfaenger.Handler");
}

// The other process: a receiver, ready with its handle, then after "los" its report
// of what it received, and an answer to the parent.
int ZweiterProzess(int ABereit, int ALos) {
    // Registered in another order, so the numbers differ from the parent's.
    RDLRegisterWindowMessage("Zweiprozess.Fueller");
    const uint32_t msg = RDLRegisterWindowMessage("Zweiprozess.Nachricht");
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r(Aufzeichnen(e));
    ZeileSchreiben(ABereit, std::to_string(r.Handle()));
    ZeileLesen(ALos);
    std::string bericht = std::to_string(RDLNachrichtenVerarbeiten());
    for (const auto& [m, w, l] : e)
        bericht += " " + std::string(m == msg ? "Nachricht" : "fremd") + "/" + std::to_string(w) + "/" + std::to_string(l);
    RDLBroadcastSystemMessage(RDLRegisterWindowMessage("Zweiprozess.Antwort"), r.Handle(), -5);
    ZeileSchreiben(ABereit, bericht);
    return 0;
}

TEST_F(Broadcast, AnotherProcessGetsTheMessageByNameAndAnswers) {
    int bereit[2], los[2];
    ASSERT_EQ(pipe(bereit), 0);
    ASSERT_EQ(pipe(los), 0);
    const pid_t kind = fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) _exit(ZweiterProzess(bereit[1], los[0]));
    close(bereit[1]);
    close(los[0]);
    const uint32_t msg = RDLRegisterWindowMessage("Zweiprozess.Nachricht");
    const uint32_t antwort = RDLRegisterWindowMessage("Zweiprozess.Antwort");
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r(Aufzeichnen(e));
    const std::string kindHandle = ZeileLesen(bereit[0]);
    ASSERT_FALSE(kindHandle.empty()) << "the child did not get ready";
    EXPECT_EQ(std::stoull(kindHandle) >> 32, uint64_t(kind));

    RDLBroadcastSystemMessage(msg, r.Handle(), 42);
    ZeileSchreiben(los[1], "los");
    EXPECT_EQ(ZeileLesen(bereit[0]), "1 Nachricht/" + std::to_string(r.Handle()) + "/42");

    e.clear();
    EXPECT_EQ(RDLNachrichtenVerarbeiten(), 1);
    const TEmpfangen erwartet{{antwort, std::stoull(kindHandle), -5}};
    EXPECT_EQ(e, erwartet);
    int status = 0;
    EXPECT_EQ(waitpid(kind, &status, 0), kind);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(bereit[0]);
    close(los[1]);
    EXPECT_EQ(BroadcastMeldungen(), 0);
    EXPECT_FALSE(std::filesystem::exists(FOrdner + "/" + std::to_string(kind))) << "the child's socket went with it";
}

TEST_F(Broadcast, TheSocketOfADeadProcessIsRemovedAndDoesNotStopSending) {
    int bereit[2];
    ASSERT_EQ(pipe(bereit), 0);
    const pid_t kind = fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        // Ends without destroying its receiver: its socket stays behind.
        new TRDLNachrichtenEmpfaenger([](uint32_t, uint64_t, int64_t) {});
        ZeileSchreiben(bereit[1], "bereit");
        _exit(0);
    }
    close(bereit[1]);
    EXPECT_EQ(ZeileLesen(bereit[0]), "bereit");
    close(bereit[0]);
    ASSERT_EQ(waitpid(kind, nullptr, 0), kind);
    const std::string verwaist = FOrdner + "/" + std::to_string(kind);
    ASSERT_TRUE(std::filesystem::exists(verwaist));

    const uint32_t msg = RDLRegisterWindowMessage("Broadcast.Verwaist");
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r(Aufzeichnen(e));
    RDLBroadcastSystemMessage(msg, 1, 2);
    EXPECT_EQ(e.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(verwaist));
    EXPECT_EQ(BroadcastMeldungen(), 0);
}

TEST_F(Broadcast, WithoutAUsableFolderMessagesStayInThisProcess) {
    const std::string datei = FOrdner + "/keinordner";
    { FILE* f = fopen(datei.c_str(), "w"); ASSERT_NE(f, nullptr); fclose(f); }
    setenv("QUENDRIX_NACHRICHTENORDNER", (datei + "/quendrix").c_str(), 1);
    const uint32_t msg = RDLRegisterWindowMessage("Broadcast.OhneOrdner");
    TErwarteteAusnahmen erwartet{"RDLBroadcastSystemMessage"};
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r1(Aufzeichnen(e)), r2(Aufzeichnen(e));
    RDLBroadcastSystemMessage(msg, r1.Handle(), 0);
    RDLBroadcastSystemMessage(msg, r2.Handle(), 0);
    EXPECT_EQ(e.size(), 4u);
    EXPECT_EQ(RDLNachrichtenVerarbeiten(), 0);
    EXPECT_EQ(BroadcastMeldungen(), 1) << "said once per process";
}

// --- between workstations, through the server database ------------------------------------

constexpr const char* CAuftrag = "QUENDRIX_TEST_ANDERER_ARBEITSPLATZ";

// Looks for messages until ABis holds, for ten seconds at most.
bool Abwarten(const std::function<bool()>& ABis) {
    const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        RDLNachrichtenVerarbeiten();
        if (ABis()) return true;
        if (std::chrono::steady_clock::now() > ende) return false;
        usleep(5000);
    }
}

// How a statistics engine holds the ignore-before dates: dropped when another one changed them.
class TEngineObjekt {
public:
    TEngineObjekt()
        : FNachricht(RDLRegisterWindowMessage(CIgnorUmsaetzeNachricht)),
          FFenster([this](uint32_t AMsg, uint64_t AWParam, int64_t) {
              if (AMsg == FNachricht && AWParam != FFenster.Handle()) FDaten.reset();
          }) {}
    const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& Get() {
        if (!FDaten) {
            FDaten = std::make_unique<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum>();
            IgnorUmsaetzeEinstellungLesen(*FDaten);
        }
        return *FDaten;
    }
    void Set(const TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum& AWert) {
        IgnorUmsaetzeEinstellungSchreiben(AWert);
        FDaten = std::make_unique<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum>(AWert);
        IgnorUmsaetzeAenderungMelden(FFenster.Handle());
    }
    bool Gelesen() const { return FDaten != nullptr; }
    uint64_t Handle() const { return FFenster.Handle(); }

private:
    uint32_t FNachricht;
    TRDLNachrichtenEmpfaenger FFenster;
    std::unique_ptr<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum> FDaten;
};

TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum NeueDaten() {
    TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum d;
    d.Add(3, EncodeDate(2026, 3, 10));
    return d;
}

// The other workstation, run as a process of its own with a socket folder of its own: it
// changes the ignore-before dates; then it sends one message into the first one's folder
// as well (from the same machine, so it comes both ways) and a last one.
TEST(AndererArbeitsplatz, AendertUndMeldet) {
    const char* auftrag = std::getenv(CAuftrag);
    if (!auftrag) return; // only as the other process
    std::vector<std::string> felder;
    std::istringstream in(auftrag);
    for (std::string f; std::getline(in, f, '\t');) felder.push_back(f);
    ASSERT_EQ(felder.size(), 3u);
    char muster[] = "/tmp/quendrix-test-XXXXXX";
    ASSERT_NE(mkdtemp(muster), nullptr);
    const std::string eigenerOrdner = muster;
    setenv("QUENDRIX_NACHRICHTENORDNER", eigenerOrdner.c_str(), 1);
    {
        TTestUmgebung U(TRDLDatenbank::Oeffnen(felder[0]));
        TEngineObjekt b;
        b.Set(NeueDaten());
        setenv("QUENDRIX_NACHRICHTENORDNER", felder[1].c_str(), 1);
        RDLBroadcastSystemMessage(RDLRegisterWindowMessage("Arbeitsplatz.Doppelt"), 7, -7);
        setenv("QUENDRIX_NACHRICHTENORDNER", eigenerOrdner.c_str(), 1);
        RDLBroadcastSystemMessage(RDLRegisterWindowMessage("Arbeitsplatz.Ende"), std::numeric_limits<uint64_t>::max(),
                                  std::numeric_limits<int64_t>::min());
        EXPECT_EQ(BroadcastMeldungen(), 0);
        ZeileSchreiben(std::stoi(felder[2]), std::to_string(b.Handle()));
    }
    std::filesystem::remove_all(eigenerOrdner);
}

TEST_F(Broadcast, AnotherWorkstationHearsAChangeThroughTheServerDatabaseOnce) {
    if (!TestAufPostgres()) GTEST_SKIP() << "messages between workstations travel over a server database";
    TTestDatenbankOrt ort;
    TTestUmgebung A(ort.DbShared());
    const uint32_t eigene = RDLRegisterWindowMessage("Arbeitsplatz.Eigene");
    const uint32_t refresh = RDLRegisterWindowMessage(CIgnorUmsaetzeNachricht);
    const uint32_t doppelt = RDLRegisterWindowMessage("Arbeitsplatz.Doppelt");
    const uint32_t ende = RDLRegisterWindowMessage("Arbeitsplatz.Ende");
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r(Aufzeichnen(e));
    TEngineObjekt a;
    EXPECT_EQ(a.Get().Count(), 0);
    ASSERT_TRUE(Abwarten(RDLNachrichtenUeberServer)) << "the listening connection did not come up";
    // Its own message comes back from the server too, and is not handed over again.
    RDLBroadcastSystemMessage(eigene, r.Handle(), 1);

    int zurueck[2];
    ASSERT_EQ(pipe(zurueck), 0);
    const pid_t kind = fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        setenv(CAuftrag, (ort.Ort() + "\t" + FOrdner + "\t" + std::to_string(zurueck[1])).c_str(), 1);
        execl("/proc/self/exe", "test_platform", "--gtest_filter=AndererArbeitsplatz.AendertUndMeldet",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(zurueck[1]);
    const std::string handleB = ZeileLesen(zurueck[0]);
    close(zurueck[0]);
    int status = 0;
    EXPECT_EQ(waitpid(kind, &status, 0), kind);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_FALSE(handleB.empty()) << "the other workstation did not get through";

    EXPECT_TRUE(Abwarten([&] { return std::any_of(e.begin(), e.end(), [&](auto& m) { return std::get<0>(m) == ende; }); }));
    // The datagram comes before the notifications: compared in order of the numbers.
    TEmpfangen erwartet{{eigene, r.Handle(), 1},
                        {refresh, std::stoull(handleB), 0},
                        {doppelt, 7, -7},
                        {ende, std::numeric_limits<uint64_t>::max(), std::numeric_limits<int64_t>::min()}};
    std::sort(erwartet.begin(), erwartet.end());
    std::sort(e.begin(), e.end());
    EXPECT_EQ(e, erwartet);
    EXPECT_FALSE(a.Gelesen()) << "the engine dropped its dates";
    EXPECT_EQ(a.Get(), NeueDaten());
    EXPECT_EQ(BroadcastMeldungen(), 0);
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// The suite's other programs send the text of docs/schema.md; a text of another form is
// passed over (and said once). A lost listening connection is said and made again at once.
TEST_F(Broadcast, NotificationsOfOtherProgramsAndALostListeningConnection) {
    if (!TestAufPostgres()) GTEST_SKIP() << "messages between workstations travel over a server database";
    TTestDatenbankOrt ort;
    TTestUmgebung A(ort.DbShared());
    const uint32_t fremd = RDLRegisterWindowMessage("Fremd.Nachricht");
    const uint32_t leer = RDLRegisterWindowMessage("Fremd mit Leerzeichen");
    TEmpfangen e;
    TRDLNachrichtenEmpfaenger r(Aufzeichnen(e));
    ASSERT_TRUE(Abwarten(RDLNachrichtenUeberServer));
    // A sender of its own per run: the process remembers the messages it handed over.
    static int lauf = 0;
    const std::string von = "QXN1 kasse-" + std::to_string(++lauf) + " ";
    const auto senden = [&](const std::string& AText) {
        auto st = A.Db().Prepare("SELECT pg_notify('quendrix_nachricht', ?)");
        st.Bind(1, AText);
        st.Step();
        st.Reset();
    };
    const auto angekommen = [&](size_t AAnzahl) { return Abwarten([&] { return e.size() >= AAnzahl; }); };
    TErwarteteAusnahmen erwartet{"RDLNachrichtenVerarbeiten"};

    // Handed over: the first and the last.
    for (const std::string& text : {
             von + "1 0 -3 Fremd.Nachricht",
             von + "1 0 -3 Fremd.Nachricht",   // the same message again
             von + "2 5 0 Niemand.Kennt.Mich", // no receiver knows the name
             std::string("hallo"),             // another form
             von + "3 x 0 Fremd.Nachricht",    // no number
             von + "4 18446744073709551615 9 Fremd mit Leerzeichen",
         })
        senden(text);
    ASSERT_TRUE(angekommen(2));
    const TEmpfangen zugestellt{{fremd, 0, -3}, {leer, std::numeric_limits<uint64_t>::max(), 9}};
    EXPECT_EQ(e, zugestellt);
    EXPECT_EQ(RDLInfo().Registrierte().size(), 1u) << "another form is said once";

    A.Db().Exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                " WHERE application_name = 'quendrix-nachrichten' AND datname = current_database()");
    ASSERT_TRUE(Abwarten([] { return !RDLNachrichtenUeberServer(); }));
    ASSERT_TRUE(Abwarten(RDLNachrichtenUeberServer)) << "made again at once";
    EXPECT_EQ(RDLInfo().Registrierte().size(), 2u) << "the loss is said";
    senden(von + "5 1 2 Fremd.Nachricht");
    ASSERT_TRUE(angekommen(3));
    EXPECT_EQ(e.back(), std::make_tuple(fremd, uint64_t(1), int64_t(2)));
}

} // namespace
