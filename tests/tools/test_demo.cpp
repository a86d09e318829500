// The demo installation generator on tiny installations.
#include "demo/demo.h"
#include "betriebskalender.h"
#include "demo/demomodell.h"
#include "rdldatum.h"
#include "rdlprogramm.h"
#include "rdlwaehrung.h"
#include "testdateien.h"
#include "testumgebung.h"
#include "zeitdaten.h"
#include <gtest/gtest.h>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

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

// Every row of the tables the generator writes, values as the layer reads them (doubles
// in shortest round-trip form), so that two stores can be compared.
std::vector<std::string> Inhalt(TRDLDatenbank& ADb) {
    std::vector<std::string> r;
    for (const char* name : {"einstellung", "mandant", "filiale", "rechner", "betriebszeit", "betriebszeit_ausnahme",
                             "feiertag", "plattform", "verkaeufer", "benutzer", "benutzerrecht", "lst", "awgs", "zeitbuchung",
                             "wechselkurs", "gep", "kuli", "artikel", "groesse", "phase", "dispo", "dispo_preis",
                             "dispo_filiale", "dispo_menge", "arks", "atk", "atpk", "atpk_dispo", "atpb", "atpl", "lar",
                             "zo"}) {
        const auto& t = QuendrixTabelle(name);
        std::vector<std::pair<std::string, TRDLSpaltenTyp>> spalten;
        if (t.IstSatzdatei()) {
            spalten.emplace_back("id", TRDLSpaltenTyp::Id);
            for (const auto& f : t.Felder)
                for (const auto& s : f.Spalten) spalten.emplace_back(s, f.Typ);
        } else {
            for (const auto& s : t.Spalten) spalten.emplace_back(s.Name, s.Typ);
        }
        std::string sql, ordnung;
        for (const auto& [s, typ] : spalten) {
            sql += (sql.empty() ? "" : ", ") + s;
            ordnung += (ordnung.empty() ? "" : ", ") + s;
        }
        auto st = ADb.Prepare("SELECT " + sql + " FROM " + t.Name + " ORDER BY " + ordnung);
        while (st.Step()) {
            std::string zeile = t.Name;
            for (int c = 0; c < int(spalten.size()); ++c) {
                zeile += '|';
                if (spalten[size_t(c)].second == TRDLSpaltenTyp::Gleitkomma) {
                    char b[32];
                    zeile.append(b, size_t(std::to_chars(b, b + sizeof b, st.ColDouble(c)).ptr - b));
                } else if (spalten[size_t(c)].second == TRDLSpaltenTyp::Text) {
                    zeile += st.ColText(c);
                } else {
                    zeile += std::to_string(st.ColInt(c));
                }
            }
            r.push_back(std::move(zeile));
        }
    }
    return r;
}


} // namespace

TEST(DemoErzeugen, SameSeedGivesTheSameRowsOnEitherStoreAnotherSeedOtherData) {
    // The store under test against SQLite in memory: in the server run, across stores.
    auto a = TestDatenbank(), b = TRDLDatenbank::InMemory(), c = TestDatenbank();
    const auto ea = DemoErzeugen(*a, Klein());
    DemoErzeugen(*b, Klein());
    DemoErzeugen(*c, Klein(8));
    const auto [anzahl, summe] = AnzahlUndSumme(*a);
    EXPECT_GT(anzahl, 500);
    EXPECT_EQ(anzahl, ea.Umsatzzeilen);
    const auto inhaltA = Inhalt(*a), inhaltB = Inhalt(*b);
    EXPECT_GT(inhaltA.size(), size_t(anzahl));
    EXPECT_TRUE(inhaltA == inhaltB) << "first difference at row "
                                    << std::mismatch(inhaltA.begin(), inhaltA.end(), inhaltB.begin(), inhaltB.end())
                                               .first - inhaltA.begin();
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

TEST(DemoErzeugen, SalesAndTimeRecordsFollowTheBusinessCalendarOfStatesExceptionsAndClosingDays) {
    // Mon 14.12.2026 to Tue 12.01.2027: Advent, Christmas, New Year, Epiphany in Bavaria,
    // inventory; branches Köln (NW), München (BY), Basel (no state), shipping.
    TTestUmgebung env;
    TDemoOptionen o = Klein();
    o.Filialen = 4;
    o.Tage = 30;
    o.Heute = EncodeDate(2027, 1, 13);
    const auto ergebnis = DemoErzeugen(env.Db(), o);
    std::map<std::pair<int64_t, int64_t>, std::vector<double>> zeiten; // (branch, day) -> times of sale
    auto st = env.Db().Prepare("SELECT filiale, datum, uhrzeit FROM lst");
    while (st.Step()) zeiten[{st.ColInt(0), int64_t(st.ColDouble(1))}].push_back(st.ColDouble(2));
    auto sf = env.Db().Prepare(
        "SELECT filiale, mand_a, mand_b, orge_a, orge_b, bundesland, versandfiliale FROM filiale ORDER BY filiale");
    std::vector<std::string> laender;
    TBetriebskalenderMani kalender;
    TKOV_ZeitListeServer_DB liste;
    TKOV_AusWertEditServer_Std auswert;
    int ausnahmen = 0;
    int64_t buchungen = 0;
    std::map<int, int> arten;
    while (sf.Step()) {
        laender.push_back(sf.ColText(5));
        const TIntPair m{int32_t(sf.ColInt(1)), int32_t(sf.ColInt(2))};
        const TIntPair orge{int32_t(sf.ColInt(3)), int32_t(sf.ColInt(4))};
        for (TDateTime d = o.Heute - o.Tage; d < o.Heute; ++d) {
            TKOV_Tagesabschnitte fenster;
            bool ausnahme = false;
            const bool offen = kalender.BetriebszeitenFuerDatum_Laden(m, orge, d, fenster, ausnahme);
            ausnahmen += ausnahme;
            const auto it = zeiten.find({sf.ColInt(0), int64_t(d)});
            ASSERT_EQ(it != zeiten.end(), offen) << "Filiale " << sf.ColInt(0) << " am " << DateToStr(d);
            // The staff's time records, as the sales engine reads them: only on days with sales.
            const auto zb = liste.ZeitbuchungenLaden({m, orge, d, d, {}});
            buchungen += int64_t(zb.size());
            ASSERT_EQ(!zb.empty(), offen) << "Filiale " << sf.ColInt(0) << " am " << DateToStr(d);
            if (!offen) continue;
            for (double u : it->second) {
                bool drin = false;
                for (int i = 0; i < fenster.Count(); ++i) drin = drin || fenster[i].IsInRange(u, true, true);
                ASSERT_TRUE(drin) << "Filiale " << sf.ColInt(0) << " am " << DateToStr(d) << " um " << u;
            }
            // Selling time within the opening windows, other work before or after them, absence
            // without a clocked span; breaks deducted from long shifts only.
            double offenStunden = 0;
            for (int i = 0; i < fenster.Count(); ++i) offenStunden += (fenster[i].Bis - fenster[i].Von) * 24;
            const bool versand = sf.ColInt(6) != 0;
            TKOV_Zeitsumme produktiv, arbeit, bezahlt;
            for (const auto& b : zb) {
                const std::string wo = "Filiale " + std::to_string(b.Filiale) + " am " + DateToStr(d) + ", " +
                                       b.GepNr.ToText() + " Nr. " + std::to_string(b.Nr);
                ++arten[b.Zeitart];
                bool drin = false, ueberschneidet = false;
                for (int i = 0; i < fenster.Count(); ++i) {
                    drin = drin || (fenster[i].Von <= b.Von && b.Bis <= fenster[i].Bis);
                    ueberschneidet = ueberschneidet || (b.Von < fenster[i].Bis && fenster[i].Von < b.Bis);
                }
                if (b.Zeitart == CKOV_Zeitart_Abwesend) {
                    EXPECT_TRUE(b.Von == 0 && b.Bis == 0 && b.Nr == 1) << wo;
                    EXPECT_DOUBLE_EQ(b.Dauer, 8.0 / 24) << wo;
                } else {
                    ASSERT_TRUE(b.Zeitart == CKOV_Zeitart_Produktiv || b.Zeitart == CKOV_Zeitart_Sonstige) << wo;
                    EXPECT_TRUE(b.Zeitart == CKOV_Zeitart_Produktiv ? drin : versand || !ueberschneidet) << wo;
                    EXPECT_LE(b.Dauer, b.Bis - b.Von) << wo;
                    EXPECT_GE(b.Dauer, b.Bis - b.Von - 0.75 / 24) << wo;
                }
                auswert.ZeitbuchungAddieren(produktiv, b, zaProduktiv);
                auswert.ZeitbuchungAddieren(arbeit, b, zaArbeit);
                auswert.ZeitbuchungAddieren(bezahlt, b, zaBezahlt);
            }
            // Someone sells whenever the branch is open, a day's break per shift aside.
            if (!versand) {
                EXPECT_GE(produktiv.Stunden(), offenStunden - 1.5) << sf.ColInt(0) << " " << DateToStr(d);
            }
            EXPECT_LE(produktiv.Stunden(), 4 * 10.0);
            EXPECT_LE(produktiv.Dauer, arbeit.Dauer);
            EXPECT_LE(arbeit.Dauer, bezahlt.Dauer);
        }
    }
    EXPECT_EQ(laender, (std::vector<std::string>{"NW", "BY", "", "", ""})); // and the outlet
    EXPECT_GT(ausnahmen, 10);
    EXPECT_EQ(buchungen, ergebnis.Zeitbuchungen);
    EXPECT_GT(arten[CKOV_Zeitart_Produktiv], arten[CKOV_Zeitart_Sonstige]);
    EXPECT_GT(arten[CKOV_Zeitart_Sonstige], arten[CKOV_Zeitart_Abwesend]);
    EXPECT_GT(arten[CKOV_Zeitart_Abwesend], 0);
    EXPECT_EQ(arten.size(), 3u);
}

TEST(DemoErzeugen, TheSwissBranchHasAMonthlyRateForEveryDayWithSalesLinesTheSameOnEitherStore) {
    // 04.12.2026 to 12.01.2027, branch 3 in CHF; rates from January nine years before.
    TDemoOptionen o = Klein();
    o.Filialen = 4;
    o.Tage = 40;
    o.Heute = EncodeDate(2027, 1, 13);
    auto db = TestDatenbank(), vergleich = TRDLDatenbank::InMemory();
    const auto ergebnis = DemoErzeugen(*db, o);
    DemoErzeugen(*vergleich, o);

    std::vector<std::pair<TDateTime, double>> kurse;
    auto sk = db->Prepare("SELECT waehrung, gueltig_ab, kurs FROM wechselkurs ORDER BY gueltig_ab");
    while (sk.Step()) {
        EXPECT_EQ(sk.ColText(0), "CHF");
        kurse.emplace_back(sk.ColDouble(1), sk.ColDouble(2));
    }
    ASSERT_EQ(int64_t(kurse.size()), ergebnis.Wechselkurse);
    ASSERT_EQ(kurse.size(), size_t(10 * 12 + 1));
    EXPECT_EQ(kurse.front().first, EncodeDate(2017, 1, 1));
    EXPECT_EQ(kurse.back().first, EncodeDate(2027, 1, 1));
    std::set<double> werte;
    for (const auto& [ab, kurs] : kurse) {
        int j, m, t;
        DecodeDate(ab, j, m, t);
        EXPECT_EQ(t, 1) << DateToStr(ab);
        EXPECT_TRUE(kurs >= 0.93 && kurs <= 0.96) << DateToStr(ab) << ": " << kurs;
        werte.insert(kurs);
    }
    EXPECT_GT(werte.size(), 10u);

    TRDLWaehrungsrechner rechner(*db, "EUR");
    auto st = db->Prepare("SELECT DISTINCT l.datum FROM lst l JOIN filiale f ON f.filiale = l.filiale"
                          " WHERE f.waehrung = 'CHF' ORDER BY l.datum");
    int tage = 0;
    while (st.Step()) {
        const TDateTime d = st.ColDouble(0);
        ++tage;
        EXPECT_TRUE(rechner.KursVorhanden("CHF", d)) << DateToStr(d);
    }
    EXPECT_GT(tage, 20);

    auto nurKurse = [](const std::vector<std::string>& AZeilen) {
        std::vector<std::string> r;
        for (const auto& z : AZeilen)
            if (z.rfind("wechselkurs|", 0) == 0) r.push_back(z);
        return r;
    };
    EXPECT_EQ(nurKurse(Inhalt(*db)), nurKurse(Inhalt(*vergleich)));
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
    EXPECT_EQ(DateiLesen(pfad), "alter Inhalt");
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

TEST(DemoProgramm, RemovesLeftoversOfKilledRunsOnlyWhenTheirProcessIsGone) {
    const fs::path dir = fs::temp_directory_path() / ("quendrix-demo-reste-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    // A process that has ended and been reaped: its pid runs no more.
    const pid_t tot = ::fork();
    if (tot == 0) ::_exit(0);
    ASSERT_GT(tot, 0);
    ::waitpid(tot, nullptr, 0);
    const std::string toter = "demo.db.entsteht-" + std::to_string(tot);
    const std::string lebender = "demo.db.entsteht-" + std::to_string(::getpid());
    const std::set<std::string> bleiben = {lebender, lebender + "-wal", "anders.db.entsteht-" + std::to_string(tot),
                                           "demo.db"};
    for (const auto& n : bleiben) std::ofstream(dir / n) << "x";
    for (const char* endung : {"", "-wal", "-shm", "-journal"}) std::ofstream(dir / (toter + endung)) << "x";

    EXPECT_EQ(DemoResteEntfernen((dir / "demo.db").string()), 4);
    std::set<std::string> da;
    for (const auto& e : fs::directory_iterator(dir)) da.insert(e.path().filename().string());
    EXPECT_EQ(da, bleiben);
    fs::remove_all(dir);
}

// The server database: empty or another program's, and where the program finds it.
class DemoServer : public ::testing::Test {
protected:
    static std::string Name(const std::string& AOrt) { return AOrt.substr(AOrt.rfind('/') + 1); }
    static std::vector<std::string> Tabellen(const std::string& AOrt) {
        auto t = RDLPostgresVerbinden(AOrt)->Tabellen();
        std::sort(t.begin(), t.end());
        return t;
    }
    // Drops the fixture's schema: an empty database.
    static void Leeren(TTestDatenbankOrt& AOrt) {
        AOrt.Schliessen();
        std::vector<std::string> alle;
        for (const auto& t : QuendrixTabellen()) alle.push_back(t.Name);
        RDLPostgresVerbinden(AOrt.Ort())->TabellenEntfernen(alle);
    }
    static int Aufruf(std::vector<std::string> AArgs, std::string* AErr = nullptr) {
        std::ostringstream out, err;
        const int rc = DemoProgramm(AArgs, out, err, false);
        if (AErr) *AErr = err.str();
        return rc;
    }
};

TEST_F(DemoServer, UnusableTargetsExitWithTwoAndChangeNothing) {
    if (!TestAufPostgres()) return; // the file run has no server
    const std::string port = std::getenv("PGPORT") ? std::getenv("PGPORT") : "5432";
    const std::string benutzer = std::getenv("PGUSER") ? std::getenv("PGUSER") : "postgres";
    TTestDatenbankOrt leer, fremd;
    Leeren(leer);
    Leeren(fremd);
    auto vf = RDLPostgresVerbinden(fremd.Ort());
    vf->Ausfuehren("CREATE TABLE kunde (nr INTEGER)");
    vf->Ausfuehren("INSERT INTO kunde VALUES (42)");
    const std::string db = Name(leer.Ort());

    const struct {
        const char* Fall;
        std::string Ort;
        std::vector<std::string> Zusatz;
    } faelle[] = {
        {"malformed address", "postgresql://localhost:keinport/" + db, {}},
        {"server down", "postgresql://localhost:1/" + db, {}},
        {"wrong password", "postgresql://" + benutzer + ":falsch@localhost:" + port + "/" + db, {}},
        {"no such database", "postgresql:///gibtesnicht_quendrix_demo", {}},
        {"another program's database", fremd.Ort(), {}},
        {"another program's database, --force", fremd.Ort(), {"--force"}},
    };
    for (const auto& f : faelle) {
        std::vector<std::string> args = {"--db", f.Ort, "--branches=1", "--days=1"};
        args.insert(args.end(), f.Zusatz.begin(), f.Zusatz.end());
        std::string err;
        EXPECT_EQ(Aufruf(args, &err), 2) << f.Fall << ": " << err;
        EXPECT_NE(err.find("Datenbank"), std::string::npos) << f.Fall << ": " << err;
        EXPECT_EQ(err.find("falsch@"), std::string::npos) << f.Fall << ": the password shows: " << err;
    }
    EXPECT_TRUE(Tabellen(leer.Ort()).empty());
    EXPECT_EQ(Tabellen(fremd.Ort()), std::vector<std::string>{"kunde"});
    auto st = vf->Vorbereiten("SELECT nr FROM kunde");
    ASSERT_TRUE(st->Schritt());
    EXPECT_EQ(st->Int(0), 42);
    EXPECT_FALSE(st->Schritt());
    EXPECT_FALSE(fs::exists("postgresql:"));
}

TEST_F(DemoServer, AnInstallationIsReplacedOnlyWithForceAndWholeOrNotAtAll) {
    if (!TestAufPostgres()) return; // the file run replaces files (RefusesExistingFile...)
    TTestDatenbankOrt ort;
    Leeren(ort);
    const std::vector<std::string> args = {"--db", ort.Ort(), "--branches=1", "--days=2", "--heute=13.05.2024"};
    auto stand = [&] { return AnzahlUndSumme(*TRDLDatenbank::Oeffnen(ort.Ort())); };

    ASSERT_EQ(Aufruf(args), 0);
    const auto erster = stand();
    EXPECT_GT(erster.first, 100);

    std::string err;
    EXPECT_EQ(Aufruf(args, &err), 1);
    EXPECT_NE(err.find("--force"), std::string::npos) << err;

    auto neu = args;
    neu.insert(neu.end(), {"--force", "--seed=2"});
    {
        // A reader holds the sales table: the replacement fails on its lock and is rolled back whole.
        auto leser = RDLPostgresVerbinden(ort.Ort());
        leser->SchreibenBeginnen();
        leser->Ausfuehren("SELECT COUNT(*) FROM lst");
        const int wartezeit = RDLWartezeit();
        RDLWartezeitSetzen(200);
        EXPECT_EQ(Aufruf(neu, &err), 1);
        RDLWartezeitSetzen(wartezeit);
        EXPECT_NE(err.find("gesperrt"), std::string::npos) << err;
    }
    EXPECT_EQ(stand(), erster);

    EXPECT_EQ(Aufruf(neu, &err), 0) << err;
    EXPECT_NE(stand().second, erster.second);
}
