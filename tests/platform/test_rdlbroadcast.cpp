// Broadcast window messages: within this process at once, to another process through its
// socket, past the socket of a dead process, and without a usable folder.
#include "erwarteteausnahmen.h"
#include "rdlbroadcast.h"
#include "rdlinfo.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
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

} // namespace
