// Two workstations start the statistics update at once: the second waits while the first
// holds the statistics' lock (and shows it), then finds the work done; a first that is
// killed leaves the lock to the second, which builds the statistics itself. A lock that
// stays taken ends an update or a change of the ignore-before dates with a message and
// changes nothing.
#include "umsatzstatistik_testhilfen.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using TUmszMani = TKOV_Umsatz_UmszMani_UmsAusw;

const TDate CTag1 = EncodeDate(2026, 12, 1);
constexpr int CTage = 6;
constexpr const char* CAuftrag = "QUENDRIX_TEST_ERSTER_ARBEITSPLATZ";

// Two branches of one client with a computer each; three receipts a day. Today is the day
// after the last.
void InstallationAnlegen(TTestUmgebung& U, TKassen& K) {
    U.Installation(1, "ODRIKS00");
    U.Mandant(1, 1, "Nord");
    U.Filiale(1, 1, 1, "Hauptstraße");
    U.Filiale(2, 1, 1, "Bahnhof");
    RechnerAnlegen(U.Db(), 11, 1);
    RechnerAnlegen(U.Db(), 21, 2);
    for (int f = 1; f <= 2; ++f) OeffnungszeitenAnlegen(U.Db(), f);
    rdl_HeuteFestlegen(CTag1 + CTage);
    for (int t = 0; t < CTage; ++t) {
        K.Beleg(U.Db(), CMandant1, 11, 1, CTag1 + t, Uhr(10, 0), {10.0 + t, 2.5});
        K.Beleg(U.Db(), CMandant1, 21, 2, CTag1 + t, Uhr(15, 0), {20.0, -4.0, 7.5});
        K.Beleg(U.Db(), CMandant1, 11, 1, CTag1 + t, Uhr(17, 30), {-6.0}, "RE");
    }
}

std::string Einstellung() {
    return TSimpleMask(CIgnorUmsaetzeBereich, CIgnorUmsaetzeSektion).ReadGlobalDef(CIgnorUmsaetzeSchluessel, "");
}

} // namespace

TEST(Statistiksperre, ZweiAktualisierungenZugleichLaufenNacheinander) {
    for (const bool getoetet : {false, true}) {
        SCOPED_TRACE(getoetet ? "the first is killed" : "the first ends");
        TTestDatenbankOrt ort;
        TUmgebungMitHeute U(ort.DbShared());
        TKassen K;
        InstallationAnlegen(U, K);
        // The first workstation: this program again, stopped in its first build.
        int hin[2], zurueck[2];
        ASSERT_EQ(pipe(hin), 0);
        ASSERT_EQ(pipe(zurueck), 0);
        const pid_t kind = fork();
        ASSERT_GE(kind, 0);
        if (kind == 0) {
            setenv(CAuftrag, (ort.Ort() + "\t" + std::to_string(hin[0]) + "\t" + std::to_string(zurueck[1])).c_str(), 1);
            execl("/proc/self/exe", "test_sales_engine", "--gtest_filter=ErsterArbeitsplatz.BautBisZumZeichen",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(hin[0]);
        close(zurueck[1]);
        ASSERT_EQ(PipeZeileLesen(zurueck[0]), "mitten");

        // The second: its first look at the messages is while it waits, which it shows.
        std::string wartet, ersterSagt;
        bool gewartet = false;
        int danach = 0;
        bool ok = false;
        {
            TUmszMani m;
            RDLInfo().ProcessMessagesHookSetzen([&](int) {
                if (gewartet) {
                    ++danach;
                    return;
                }
                gewartet = true;
                wartet = m.ProgressDialog_GoC().Bar("barTage")->Caption();
                if (getoetet) {
                    kill(kind, SIGKILL);
                } else {
                    PipeZeileSchreiben(hin[1], "weiter");
                    ersterSagt = PipeZeileLesen(zurueck[0]);
                }
            });
            ok = m.UpdateStatistikfiles(CTage, false);
            RDLInfo().ProcessMessagesHookSetzen({});
        }
        int status = 0;
        EXPECT_EQ(waitpid(kind, &status, 0), kind);
        close(hin[1]);
        close(zurueck[0]);
        EXPECT_TRUE(ok);
        EXPECT_NE(wartet.find("anderen Arbeitsplatz"), std::string::npos) << wartet;
        if (getoetet) {
            EXPECT_TRUE(WIFSIGNALED(status));
            EXPECT_GT(danach, 0) << "the second builds it itself";
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_EQ(ersterSagt, "fertig");
            EXPECT_EQ(danach, 0) << "the second finds the work done";
        }
        // Either way the statistics is what one build makes of the lines.
        const auto umst = UmstZeilen(U.Db()), umsv = UmsvZeilen(U.Db());
        EXPECT_EQ(umsv.size(), 2u);
        U.Db().Exec("DELETE FROM umst");
        U.Db().Exec("DELETE FROM umsv");
        {
            TUmszMani m;
            ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        }
        EXPECT_EQ(UmstZeilen(U.Db()), umst);
        EXPECT_EQ(UmsvZeilen(U.Db()), umsv);
        EXPECT_TRUE(RDLInfo().Registrierte().empty());
    }
}

// The first workstation of the test above, run as a process of its own: it starts the
// update and stops at its first look at the messages, holding the lock, until told.
TEST(ErsterArbeitsplatz, BautBisZumZeichen) {
    const char* auftrag = std::getenv(CAuftrag);
    if (!auftrag) return; // only as the other process
    std::vector<std::string> felder;
    std::istringstream in(auftrag);
    for (std::string f; std::getline(in, f, '\t');) felder.push_back(f);
    ASSERT_EQ(felder.size(), 3u);
    const int hin = std::stoi(felder[1]), zurueck = std::stoi(felder[2]);
    TUmgebungMitHeute U(TRDLDatenbank::Oeffnen(felder[0]));
    rdl_HeuteFestlegen(CTag1 + CTage);
    bool ok = false;
    {
        TUmszMani m;
        int aufrufe = 0;
        RDLInfo().ProcessMessagesHookSetzen([&](int) {
            if (++aufrufe != 1) return;
            PipeZeileSchreiben(zurueck, "mitten");
            PipeZeileLesen(hin);
        });
        ok = m.UpdateStatistikfiles(CTage, false);
    }
    PipeZeileSchreiben(zurueck, ok ? "fertig" : "gescheitert");
}

// Per statistics: while another holds the sales statistics, its update and every change
// of the dates wait and give up, told and without a change; while another holds the
// shipping branches' statistics, the sales statistics is updated, but the dates (which
// both count with) stay.
TEST(Statistiksperre, BleibtSieBelegtAendertSichNichtsUndDerBenutzerErfaehrtEs) {
    TTestKurzeWartezeit kurz;
    TTestDatenbankOrt ort;
    TUmgebungMitHeute U(ort.DbShared());
    TKassen K;
    InstallationAnlegen(U, K);
    {
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
    }
    const auto andere = TRDLDatenbank::Oeffnen(ort.Ort());
    for (const std::string kennung : {"UMSAUSW", "VFAUSW"}) {
        SCOPED_TRACE(kennung);
        K.Beleg(U.Db(), CMandant1, 21, 2, CTag1 + 2, Uhr(11, 0), {99.0});
        const auto umst = UmstZeilen(U.Db()), umsv = UmsvZeilen(U.Db());
        auto halter = TRDLSperre::Nehmen(andere, kennung, 0);
        ASSERT_TRUE(halter);
        U.Meldungen().Meldungen.clear();
        bool aktualisiert = false;
        {
            TUmszMani m;
            aktualisiert = m.UpdateStatistikfiles(CTage, false);
            auto neu = std::make_unique<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum>();
            neu->Add(1, CTag1 + 3);
            EXPECT_FALSE(m.ZuIgnorierendeUmsaetze_Set(std::move(neu)));
        }
        EXPECT_EQ(Einstellung(), "");
        if (kennung == "UMSAUSW") {
            EXPECT_FALSE(aktualisiert);
            EXPECT_EQ(UmstZeilen(U.Db()), umst);
            EXPECT_EQ(UmsvZeilen(U.Db()), umsv);
            ASSERT_EQ(U.Meldungen().Meldungen.size(), 2u);
        } else {
            EXPECT_TRUE(aktualisiert);
            EXPECT_NE(UmsvZeilen(U.Db()), umsv);
            ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u);
        }
        for (const TRDLMeldung& meldung : U.Meldungen().Meldungen) {
            EXPECT_EQ(meldung.Art, mkWarnung);
            EXPECT_NE(meldung.Text.find("an einem anderen Arbeitsplatz aktualisiert"), std::string::npos) << meldung.Text;
            EXPECT_NE(meldung.Text.find("nichts geändert"), std::string::npos) << meldung.Text;
        }
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// The user reads the build's messages (done, rejected lines) after the lock is let go: no
// other workstation waits for his click.
TEST(Statistiksperre, MeldungenErscheinenErstNachDerFreigabe) {
    TTestDatenbankOrt ort;
    TUmgebungMitHeute U(ort.DbShared());
    TKassen K;
    InstallationAnlegen(U, K);
    RDLProgramm().OhneDialogeSetzen(false);
    const auto andere = TRDLDatenbank::Oeffnen(ort.Ort());
    struct TPruefendeAusgabe : IRDLMeldungsAusgabe {
        std::shared_ptr<TRDLDatenbank> Andere;
        std::vector<std::pair<std::string, bool>> Gezeigt; // text, lock free then
        int Zeigen(const TRDLMeldung& AMeldung) override {
            Gezeigt.emplace_back(AMeldung.Text, TRDLSperre::Nehmen(Andere, "UMSAUSW", 0) != nullptr);
            return mrOk;
        }
    };
    auto ausgabe = std::make_shared<TPruefendeAusgabe>();
    ausgabe->Andere = andere;
    RDLInfo().AusgabeSetzen(ausgabe);
    {
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
    }
    RDLInfo().AusgabeSetzen(std::make_shared<TRDLTerminalAusgabe>());
    ASSERT_FALSE(ausgabe->Gezeigt.empty());
    for (const auto& [text, frei] : ausgabe->Gezeigt) EXPECT_TRUE(frei) << text;
}
