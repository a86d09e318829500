// The demo installation generator on tiny installations.
#include "demo/demo.h"
#include "demo/demomodell.h"
#include "rdldatum.h"
#include "rdlprogramm.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

// Two branches (the second ships) over Wed 8 to Sun 12 May 2024; Thursday is Ascension.
TDemoOptionen Klein(uint64_t ASeed = 7) {
    TDemoOptionen o;
    o.Seed = ASeed;
    o.Filialen = 2;
    o.Tage = 5;
    o.Heute = EncodeDate(2024, 5, 13);
    o.Benutzer = "tester";
    return o;
}

std::pair<int64_t, double> AnzahlUndSumme(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare("SELECT COUNT(*), COALESCE(SUM(betrag), 0) FROM lst");
    st.Step();
    return {st.ColInt(0), st.ColDouble(1)};
}

std::string Lesen(const std::filesystem::path& APfad) {
    std::ifstream f(APfad, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace

TEST(DemoErzeugen, SameSeedGivesSameDataAndAnotherSeedOtherData) {
    auto a = TestDatenbank(), b = TestDatenbank(), c = TestDatenbank();
    const auto ea = DemoErzeugen(*a, Klein());
    DemoErzeugen(*b, Klein());
    DemoErzeugen(*c, Klein(8));
    const auto [anzahl, summe] = AnzahlUndSumme(*a);
    EXPECT_GT(anzahl, 500);
    EXPECT_EQ(anzahl, ea.Umsatzzeilen);
    EXPECT_EQ(AnzahlUndSumme(*b), AnzahlUndSumme(*a));
    EXPECT_NE(AnzahlUndSumme(*c).second, summe);
}

TEST(DemoErzeugen, TransactionNumbersAscendPerClientAndComputerInInsertionOrder) {
    auto db = TestDatenbank();
    DemoErzeugen(*db, Klein());
    auto st = db->Prepare("SELECT mand_a, mand_b, rechner, transnr, posnr FROM lst ORDER BY id");
    std::map<std::tuple<int64_t, int64_t, int64_t>, std::pair<int64_t, int64_t>> letzte;
    while (st.Step()) {
        const auto schluessel = std::make_tuple(st.ColInt(0), st.ColInt(1), st.ColInt(2));
        const int64_t trans = st.ColInt(3), pos = st.ColInt(4);
        auto it = letzte.find(schluessel);
        if (it == letzte.end()) {
            EXPECT_EQ(pos, 1);
        } else {
            const auto [t0, p0] = it->second;
            // Either the next position of the same receipt or the first of a later one.
            EXPECT_TRUE((trans == t0 && pos == p0 + 1) || (trans > t0 && pos == 1))
                << "Rechner " << std::get<2>(schluessel) << ": " << t0 << "/" << p0 << " dann " << trans << "/" << pos;
        }
        letzte[schluessel] = {trans, pos};
    }
    EXPECT_GE(letzte.size(), 4u); // several tills of both branches
}

TEST(DemoErzeugen, NormalBranchesSellOnlyOnOpenDaysShippingBranchEveryDay) {
    auto db = TestDatenbank();
    DemoErzeugen(*db, Klein());
    std::map<int64_t, std::set<TDateTime>> tage; // branch -> days with sales lines
    auto st = db->Prepare("SELECT DISTINCT filiale, datum FROM lst");
    while (st.Step()) tage[st.ColInt(0)].insert(st.ColDouble(1));
    auto versand = db->Prepare("SELECT filiale FROM filiale WHERE versandfiliale = 1");
    ASSERT_TRUE(versand.Step());
    EXPECT_EQ(versand.ColInt(0), 2);

    const TDateTime mi = EncodeDate(2024, 5, 8);
    EXPECT_EQ(tage[1], (std::set<TDateTime>{mi, mi + 2, mi + 3})); // not Ascension, not Sunday
    EXPECT_EQ(tage[2], (std::set<TDateTime>{mi, mi + 1, mi + 2, mi + 3, mi + 4}));
    EXPECT_EQ(DayOfTheWeek(mi + 4), 7);
    EXPECT_EQ(Ostersonntag(2024), EncodeDate(2024, 3, 31));
    EXPECT_EQ(Ostersonntag(2025), EncodeDate(2025, 4, 20));
}

TEST(DemoErzeugen, LoginUserAndDemoUserHoldTheFourRights) {
    TTestUmgebung env;
    DemoErzeugen(env.Db(), Klein());
    for (const char* benutzer : {"tester", "demo"}) {
        RDLProgramm().BenutzerSetzen(benutzer);
        for (TKOV_WPF_Recht r : {442, 443, 444}) EXPECT_TRUE(RDLProgramm().HatRecht({441, r})) << benutzer << " " << r;
        EXPECT_TRUE(RDLProgramm().HatRecht({441}));
        EXPECT_FALSE(RDLProgramm().HatRecht({441, 445}));
    }
    auto st = env.Db().Prepare("SELECT COUNT(*) FROM benutzerrecht");
    st.Step();
    EXPECT_EQ(st.ColInt(0), 8);
}

TEST(DemoProgramm, RefusesExistingFileWithoutForceAndLeavesItUnchanged) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quendrix-demo-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path pfad = dir / "vorhanden.db";
    std::ofstream(pfad, std::ios::binary) << "alter Inhalt";
    std::ostringstream out, err;
    const std::vector<std::string> args = {"--db", pfad.string(), "--branches=1", "--days", "1"};

    EXPECT_EQ(DemoProgramm(args, out, err, false), 1);
    EXPECT_EQ(Lesen(pfad), "alter Inhalt");
    EXPECT_NE(err.str().find("--force"), std::string::npos);

    auto mitForce = args;
    mitForce.push_back("--force");
    EXPECT_EQ(DemoProgramm(mitForce, out, err, false), 0) << err.str();
    EXPECT_EQ(TRDLDatenbank::Oeffnen(pfad.string())->Einstellung("KUNDENKENNUNG"), "ODRIKS00");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1); // no leftovers
    fs::remove_all(dir);
}

TEST(DemoProgramm, InvalidArgumentsExitWithTwo) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {}, {"--db"}, {"--db", "x.db", "--days", "0"}, {"--db", "x.db", "--seed", "eins"},
             {"--db", "x.db", "--kundenkennung", "KURZ"}, {"--db", "x.db", "--unbekannt"}, {"x.db"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(DemoProgramm(args, out, err, false), 2) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(err.str().empty());
    }
    EXPECT_FALSE(std::filesystem::exists("x.db"));
}
