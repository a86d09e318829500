// The statistics engine's data access and its statistics file on a small installation:
// retrieval from the sales lines and from the file, the customers' attributions, the
// ignore-before dates, and build and update, also cancelled, interrupted or beside a till.
#include "umsatzgetmani_base.h"
#include "umsatzauswertmani_base.h"
#include "erwarteteausnahmen.h"
#include "umsatzstatistik_testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using TGetMani = TKOV_UmsatzGet_Mani_UmsAusw;
using TUmszMani = TKOV_Umsatz_UmszMani_UmsAusw;
using TDaten = TKOV_Umsatzdaten_UmsAusw;

const TDate CTag1 = EncodeDate(2026, 12, 1); // a Tuesday
constexpr int CTage = 10;

// Clients 1/1 (branches 1 and 2) and 2/1 (branch 3); computers 11 and 12 in branch 1,
// 21 in branch 2, 31 in branch 3; computer 12 also writes for client 2. Ten days of
// receipts at times inside, between and after the opening hours, returns, online lines
// and opening balances; today is the day after the tenth.
void InstallationAnlegen(TTestUmgebung& U, TKassen& K, const std::string& AKunde = "ODRIKS00") {
    U.Installation(1, AKunde);
    U.Mandant(1, 1, "Nord");
    U.Mandant(2, 1, "Süd");
    U.Filiale(1, 1, 1, "Hauptstraße");
    U.Filiale(2, 1, 1, "Bahnhof");
    U.Filiale(3, 2, 1, "Marktplatz");
    for (auto [r, f] : {std::pair{11, 1}, {12, 1}, {21, 2}, {31, 3}}) RechnerAnlegen(U.Db(), r, f);
    for (int f = 1; f <= 3; ++f) OeffnungszeitenAnlegen(U.Db(), f);
    rdl_HeuteFestlegen(CTag1 + CTage);
    TRDLDatenbank& db = U.Db();
    for (int t = 0; t < CTage; ++t) {
        const TDate d = CTag1 + t;
        K.Beleg(db, CMandant1, 11, 1, d, Uhr(9, 30), {10.0 + t, 5.5});
        K.Beleg(db, CMandant1, 12, 1, d, Uhr(13, 0), {20.0 + t});
        K.Beleg(db, CMandant1, 21, 2, d, Uhr(17, 59), {30.0 + t, -4.0, 8.25});
        K.Beleg(db, CMandant2, 31, 3, d, Uhr(19, 0), {40.0 + t});
        if (t % 3 == 0) K.Beleg(db, CMandant2, 12, 3, d, Uhr(12, 0), {7.0 + t});
        if (t == 0) K.Beleg(db, CMandant1, 11, 1, d, Uhr(8, 0), {500.0}, "EB");
    }
}

// New receipts after the build: on three computers, for both clients (client 2 on
// computer 12 has lower numbers than client 1 there), on days spread over the period.
void NeueBelege(TRDLDatenbank& ADb, TKassen& K, int ARunde) {
    K.Beleg(ADb, CMandant1, 11, 1, CTag1 + (2 + ARunde) % CTage, Uhr(10, 15), {3.0 + ARunde});
    K.Beleg(ADb, CMandant2, 12, 3, CTag1 + (4 + ARunde) % CTage, Uhr(15, 0), {11.0, -2.0});
    K.Beleg(ADb, CMandant1, 21, 2, CTag1 + (7 + ARunde) % CTage, Uhr(16, 45), {-6.5});
    K.Beleg(ADb, CMandant2, 31, 3, CTag1 + (2 + ARunde) % CTage, Uhr(11, 0), {1.25});
}

bool Bauen() {
    TUmszMani m;
    return m.UpdateStatistikfiles(CTage, false);
}

// The file an uninterrupted first build makes of the sales lines as they are now.
std::vector<std::string> FrischGebaut(TTestUmgebung& U) {
    U.Db().Exec("DELETE FROM umst");
    U.Db().Exec("DELETE FROM umsv");
    EXPECT_TRUE(Bauen());
    return UmstZeilen(U.Db());
}

double Netto(const TDaten& A) {
    double s = 0;
    for (int g = 0; g < CKOV_UmsAusw_AnzahlGruppen; ++g)
        s += A.Wert(TKOV_UmsAusw_Gruppe(g), ufNettoArtikel) + A.Wert(TKOV_UmsAusw_Gruppe(g), ufNettoSonstige);
    return s;
}

// The sum of the lines a day search finds.
int TrefferZaehlen(TGetMani& AGet, const std::function<void()>& AInit) {
    AInit();
    int n = 0;
    for (bool ok = AGet.LstSuche_GetFirst(); ok; ok = AGet.LstSuche_GetNext()) ++n;
    return n;
}

} // namespace

TEST(Umsatzabruf, AusDenZeilenGerechnetUndNachDemAufbauAusDerDateiGelesen) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    const TDate tag = CTag1 + 3;
    {
        TGetMani get;
        TDaten gelesen;
        EXPECT_FALSE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, CMandant1, tag, gelesen));
        EXPECT_EQ(get.LstSuche_ProgressCounter(), 0) << "no read counted without a file";
        // Branch 1: receipts of computers 11 and 12; the opening balance never counts.
        EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, tag)), 13.0 + 5.5 + 23.0);
        EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1)), 10.0 + 5.5 + 20.0);
        EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant2, {2, 3}, tag)), 43.0 + 10.0);
        EXPECT_TRUE(TDaten{} == get.UmsatzBerechnen_FuerTag(CMandant1, {1, 9}, tag)) << "unknown branch";
        EXPECT_TRUE(UmstZeilen(U.Db()).empty()) << "nothing is booked before the file is built";
    }
    ASSERT_TRUE(Bauen());
    EXPECT_EQ(UmsvZeilen(U.Db()), (std::vector<std::string>{"UMSAUSW 1/1 11 11", "UMSAUSW 1/1 12 10",
                                                            "UMSAUSW 1/1 21 10", "UMSAUSW 2/1 12 4",
                                                            "UMSAUSW 2/1 31 10"}));
    TGetMani get;
    TDaten gelesen;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 1}, tag, gelesen));
    EXPECT_TRUE(gelesen == get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, tag));
    // The windows the build counted in: 13:00 lies between the two openings and counts
    // in the later half of the gap (without gaps: the gap is split at its midpoint).
    const TKOV_Tageszeitraum mittag{Uhr(13, 0), Uhr(15, 0)};
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(CMandant1, {1, 1}, tag, mittag, gelesen));
    EXPECT_DOUBLE_EQ(Netto(gelesen), 23.0);
    // A window the file does not hold is computed once and booked.
    const TKOV_Tageszeitraum vormittag{Uhr(9, 0), Uhr(10, 0)};
    EXPECT_FALSE(get.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(CMandant1, {1, 1}, tag, vormittag, gelesen));
    EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTagesZeitraum(CMandant1, {1, 1}, tag, vormittag)), 13.0 + 5.5);
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(CMandant1, {1, 1}, tag, vormittag, gelesen));
    EXPECT_DOUBLE_EQ(Netto(gelesen), 13.0 + 5.5);
    // Today is not in the file: the first computation books it, the next request reads it.
    K.Beleg(U.Db(), CMandant1, 11, 1, CTag1 + CTage, Uhr(10, 0), {99.0});
    EXPECT_FALSE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 1}, CTag1 + CTage, gelesen));
    const TDaten heute = get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1 + CTage);
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 1}, CTag1 + CTage, gelesen));
    EXPECT_TRUE(gelesen == heute);
    EXPECT_DOUBLE_EQ(Netto(gelesen), 99.0);
    // A day evaluation from the lines books the whole day and every section.
    TKOV_Umsatz_Tagesauswertung<TDaten, TKOV_UmsDataOperator_UmsAusw> auswertung;
    TKOV_PEP_UmsatzAnzeigeOptionen o;
    ASSERT_TRUE(get.CreateUmsatzTagesAuswertungFuerFiliale(tag, 2, o, auswertung));
    get.BerechneUmsaetzeFuerTagUndFiliale(CMandant1, {1, 2}, auswertung);
    EXPECT_DOUBLE_EQ(Netto(auswertung.FGesamtUmsatz), 33.0 - 4.0 + 8.25);
    EXPECT_TRUE(U.Meldungen().Meldungen.empty());
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

TEST(Umsatzabruf, EinTagMitUhrzeitFindetDieZeilenDesTages) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    TGetMani get;
    const TDate tag = CTag1 + 5;
    struct TFall {
        TDate Datum;
        TKOV_Tageszeitraum Fenster; // Von = Bis = 0: the whole day
        int Treffer;
    };
    const TFall faelle[] = {
        {tag, {}, 2},
        {tag + Uhr(18, 30), {}, 2},
        {tag + 0.999, {}, 2},
        {tag + Uhr(8, 0), {Uhr(9, 0), Uhr(10, 0)}, 2},  // computer 11's receipt at 9:30
        {tag + Uhr(23, 0), {Uhr(9, 30), Uhr(13, 0)}, 3}, // bounds inside
        {tag + Uhr(23, 0), {Uhr(13, 1), Uhr(18, 0)}, 0},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(DateTimeToStr(f.Datum) + " " + Zahl(f.Fenster.Von));
        const bool ganz = f.Fenster.Bis == 0;
        EXPECT_EQ(TrefferZaehlen(get,
                                 [&] {
                                     if (ganz)
                                         get.LstSuche_FuerFilialeUndDatum_Init(1, f.Datum);
                                     else
                                         get.LstSuche_FuerFilialeDatumUndZeit_Init(1, f.Fenster, f.Datum);
                                 }),
                  f.Treffer + (ganz ? 1 : 0)); // the whole day also has computer 12's receipt
        const TDaten d = ganz ? get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, f.Datum)
                              : get.UmsatzBerechnen_FuerTagesZeitraum(CMandant1, {1, 1}, f.Datum, f.Fenster);
        EXPECT_EQ(Netto(d) != 0, f.Treffer > 0);
    }
    EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, tag + 0.75)),
                     Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, tag)));
    // A reversed window loads nothing and is reported.
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzGet_Mani<*>.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum"};
    TDaten d;
    EXPECT_FALSE(get.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(CMandant1, {1, 1}, tag, {Uhr(12, 0), Uhr(9, 0)}, d));
    ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
}

TEST(Umsatzabruf, DerFortschrittLaeuftBeiJedemDreissigstenLesen) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    for (int i = 0; i < 70; ++i) K.Beleg(U.Db(), CMandant1, 11, 1, CTag1, Uhr(10, 0), {1.0});
    TGetMani get;
    int aufrufe = 0;
    get.FOnDataProcessedSimple = [&](void* ASender) {
        EXPECT_EQ(ASender, &get);
        ++aufrufe;
    };
    get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1); // 70 + 3 lines and the opening balance
    EXPECT_EQ(get.LstSuche_ProgressCounter(), 74);
    EXPECT_EQ(aufrufe, 3); // reads 0, 30, 60
}

TEST(Umsatzabruf, UmsaetzeVorDemIgnorierDatumZaehlenNicht) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    TSimpleMask("PEP", "UMSAETZE").WriteGlobal("IGNOREUMSAETZEVOR", "FILKNR=1;IGNOREVOR=03.12.2026|FILKNR=0;IGNOREVOR=01.12.2026");
    TGetMani get;
    EXPECT_TRUE(TDaten{} == get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1 + 1));
    EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1 + 2)), 12.0 + 5.5 + 22.0);
    EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 2}, CTag1)), 30.0 - 4.0 + 8.25);

    // Moving the date through the build manager rebooks exactly the days that change
    // and tells the other engine objects, which read the setting again.
    ASSERT_TRUE(Bauen());
    TUmszMani m;
    auto neu = std::make_unique<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum>();
    neu->Add(1, CTag1 + 1);
    neu->Add(3, CTag1 + 4);
    m.ZuIgnorierendeUmsaetze_Set(std::move(neu));
    EXPECT_EQ(TSimpleMask("PEP", "UMSAETZE").ReadGlobalDef("IGNOREUMSAETZEVOR", ""),
              "FILKNR=1;IGNOREVOR=02.12.2026|FILKNR=3;IGNOREVOR=05.12.2026");
    EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1 + 1)), 11.0 + 5.5 + 21.0);
    EXPECT_TRUE(TDaten{} == get.UmsatzBerechnen_FuerTag(CMandant2, {2, 3}, CTag1 + 3));
    const auto nachAenderung = UmstZeilen(U.Db());
    EXPECT_EQ(nachAenderung, FrischGebaut(U));
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

namespace {
// This test program run again as another process, only the test AFilter, with its order
// (fields split by tabs) in the environment variable AVariable.
pid_t TestProzessStarten(const char* AVariable, const std::string& AAuftrag, const char* AFilter) {
    const pid_t kind = fork();
    if (kind == 0) {
        setenv(AVariable, AAuftrag.c_str(), 1);
        const std::string filter = std::string("--gtest_filter=") + AFilter;
        execl("/proc/self/exe", AFilter, filter.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return kind;
}

// The fields of the order in AVariable; empty in the ordinary test run.
std::vector<std::string> TestAuftrag(const char* AVariable) {
    std::vector<std::string> felder;
    const char* auftrag = std::getenv(AVariable);
    if (!auftrag) return felder;
    std::istringstream in(auftrag);
    for (std::string f; std::getline(in, f, '\t');) felder.push_back(f);
    return felder;
}
} // namespace

// Another program's engine object on the same database: a changed ignore-before date
// reaches it by the broadcast, and its next retrieval counts with the new date.
TEST(Umsatzabruf, EinAnderesProgrammRechnetNachDerAenderungMitDenNeuenIgnorierDaten) {
    TTestDatenbankOrt ort;
    TUmgebungMitHeute U(ort.DbShared());
    TKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(Bauen());
    int hin[2], zurueck[2];
    ASSERT_EQ(pipe(hin), 0);
    ASSERT_EQ(pipe(zurueck), 0);
    const std::string auftrag = ort.Ort() + "\t" + std::to_string(hin[0]) + "\t" + std::to_string(zurueck[1]);
    const pid_t kind =
        TestProzessStarten("QUENDRIX_TEST_ZWEITES_PROGRAMM", auftrag, "ZweitesProgramm.RuftDenTagZweimalAb");
    ASSERT_GE(kind, 0);
    close(hin[0]);
    close(zurueck[1]);
    const double tag2 = 11.0 + 5.5 + 21.0; // branch 1 on the second day (see above)
    EXPECT_EQ(PipeZeileLesen(zurueck[0]), Zahl(tag2)) << "before the change";
    {
        TUmszMani m;
        auto neu = std::make_unique<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum>();
        neu->Add(1, CTag1 + 2);
        m.ZuIgnorierendeUmsaetze_Set(std::move(neu));
    }
    PipeZeileSchreiben(hin[1], "weiter");
    EXPECT_EQ(PipeZeileLesen(zurueck[0]), Zahl(0)) << "after the change";
    int status = 0;
    EXPECT_EQ(waitpid(kind, &status, 0), kind);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(hin[1]);
    close(zurueck[0]);
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// The other program of the test above, run as a process of its own: it asks for the
// day's figures, waits for the change, and asks again.
TEST(ZweitesProgramm, RuftDenTagZweimalAb) {
    const auto auftrag = TestAuftrag("QUENDRIX_TEST_ZWEITES_PROGRAMM");
    if (auftrag.size() != 3) return; // only as the other process
    const int hin = std::stoi(auftrag[1]), zurueck = std::stoi(auftrag[2]);
    TUmgebungMitHeute U(TRDLDatenbank::Oeffnen(auftrag[0]));
    rdl_HeuteFestlegen(CTag1 + CTage);
    TGetMani get;
    // Read from the lines each time; the setting is read with the first retrieval.
    PipeZeileSchreiben(zurueck, Zahl(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1 + 1))));
    PipeZeileLesen(hin);
    PipeZeileSchreiben(zurueck, Zahl(Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, CTag1 + 1))));
}

TEST(Umsatzabruf, KundenOrdnenUmsaetzeAndererFilialenZu) {
    struct TFall {
        std::string Kunde;
        TDate Heute;
        // (branch, day offset from Heute - 3, expected net of the day)
        std::vector<std::tuple<int, int, double>> Erwartet;
    };
    const TDate mosbekStichtag = EncodeDate(2019, 7, 1);
    const TFall faelle[] = {
        // Branch 15's lines: product 1 (group 7...) counts for 16, product 2 (group 3...) for 15.
        {"TAVRIN00", CTag1 + 3, {{15, 0, 2.0}, {16, 0, 1.0}, {15, 1, 20.0}, {16, 1, 10.0}}},
        // Branch 2's lines count for 33 as well until 30.06.2019; from 01.07.2019 33 has its own.
        // (days 29.06., 30.06., 01.07.2019)
        {"MOSBEK00", mosbekStichtag + 1, {{2, 0, 3.0}, {33, 0, 3.0}, {2, 1, 30.0}, {33, 1, 30.0}, {2, 2, 3.0}, {33, 2, 5.0}}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Kunde);
        TUmgebungMitHeute U;
        U.Installation(1, f.Kunde);
        U.Mandant(1, 1, "Eins");
        for (int fil : {2, 15, 16, 33}) {
            U.Filiale(fil, 1, 1, "Filiale " + std::to_string(fil));
            OeffnungszeitenAnlegen(U.Db(), fil);
        }
        RechnerAnlegen(U.Db(), 1, 2);
        U.Db().Exec("INSERT INTO awgs (system, prod_a, prod_b, prod_c, code) VALUES ('EIGEN', 1, 0, 0, '70101'),"
                    " ('EIGEN', 2, 0, 0, '30101'), ('EIGEN', 2, 0, 0, '9')");
        rdl_HeuteFestlegen(f.Heute);
        const TDate erster = f.Heute - 3;
        int nr = 0;
        for (int t = 0; t < 3; ++t) {
            const double faktor = t == 1 ? 10 : 1;
            auto zeile = [&](int AFil, int AProd, double ABetrag) {
                TZeile z;
                z.Rechner = 1;
                z.TransNr = ++nr;
                z.Datum = erster + t;
                z.Uhrzeit = Uhr(10, 0);
                z.Filiale = AFil;
                z.ProdId = {AProd, 0, 0};
                z.Betrag = ABetrag * faktor;
                ZeileSchreiben(U.Db(), z);
            };
            if (f.Kunde == "TAVRIN00") {
                zeile(15, 1, 1.0);
                zeile(15, 2, 2.0);
            } else {
                zeile(2, 0, 3.0);
                if (erster + t >= mosbekStichtag) zeile(33, 0, 5.0);
            }
        }
        const auto tavrinVorher = Tavrin_Umsatzstatistiken_Sonderlocke_Aufrufe();
        const auto mosbekVorher = Mosbek_Umsatzstatistiken_Sonderlocke_Aufrufe();
        // Retrieval from the lines, then the build, must agree figure by figure.
        std::map<std::pair<int, int>, TDaten> abgerufen;
        {
            TGetMani get;
            for (const auto& [fil, t, netto] : f.Erwartet) {
                const TDaten d = get.UmsatzBerechnen_FuerTag(CMandant1, {1, fil}, erster + t);
                EXPECT_DOUBLE_EQ(Netto(d), netto) << "branch " << fil << " day " << t;
                abgerufen[{fil, t}] = d;
            }
        }
        ASSERT_TRUE(Bauen());
        TGetMani get;
        for (const auto& [fil, t, netto] : f.Erwartet) {
            TDaten d;
            ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, fil}, erster + t, d));
            EXPECT_TRUE((d == abgerufen[std::pair{fil, t}])) << "branch " << fil << " day " << t;
        }
        // A new line of the attributed branch marks the other branch's day for the update.
        {
            TZeile z;
            z.Rechner = 1;
            z.TransNr = ++nr;
            z.Datum = erster;
            z.Filiale = f.Kunde == "TAVRIN00" ? 15 : 2;
            z.ProdId = {1, 0, 0};
            z.Betrag = 100;
            ZeileSchreiben(U.Db(), z);
            TUmszMani m;
            ASSERT_TRUE(m.UpdateStatistikfiles(3, false));
            TDaten d;
            const int anderer = f.Kunde == "TAVRIN00" ? 16 : 33;
            ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, anderer}, erster, d));
            EXPECT_DOUBLE_EQ(Netto(d), 100.0 + (f.Kunde == "TAVRIN00" ? 1.0 : 3.0));
        }
        if (f.Kunde == "TAVRIN00")
            EXPECT_GT(Tavrin_Umsatzstatistiken_Sonderlocke_Aufrufe(), tavrinVorher);
        else
            EXPECT_GT(Mosbek_Umsatzstatistiken_Sonderlocke_Aufrufe(), mosbekVorher);
        EXPECT_TRUE(RDLInfo().Registrierte().empty());
    }
}

TEST(Umsatzstatistik, UpdateNachNeuenBelegenGleichtEinemFrischenAufbau) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(Bauen());
    const auto gebaut = UmstZeilen(U.Db());
    // Per branch: the whole day and 7 hour sections on working days, the whole day on the Sunday.
    EXPECT_EQ(gebaut.size(), size_t((CTage - 1) * 3 * 8 + 3));
    for (int runde = 0; runde < 2; ++runde) {
        NeueBelege(U.Db(), K, runde);
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        const auto aktualisiert = UmstZeilen(U.Db());
        EXPECT_NE(aktualisiert, gebaut);
        const auto stand = UmsvZeilen(U.Db());
        EXPECT_EQ(aktualisiert, FrischGebaut(U));
        EXPECT_EQ(stand, UmsvZeilen(U.Db()));
    }
    // Nothing new: the update changes nothing.
    const auto vorher = UmstZeilen(U.Db());
    TUmszMani m;
    ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
    EXPECT_EQ(UmstZeilen(U.Db()), vorher);
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// The update is cancelled at the n-th time it lets messages be handled (collecting or
// rebooking): the processing state stays, and the next update reaches the figures of a
// fresh build.
TEST(Umsatzstatistik, AbgebrochenesUpdateVerbuchtNichtsAlsVerarbeitet) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    RDLProgramm().OhneDialogeSetzen(false);
    ASSERT_TRUE(Bauen());
    int runde = 0;
    for (int n : {1, 2, 4, 7}) {
        SCOPED_TRACE(n);
        NeueBelege(U.Db(), K, runde++);
        const auto stand = UmsvZeilen(U.Db());
        {
            TUmszMani m;
            int aufrufe = 0;
            RDLInfo().ProcessMessagesHookSetzen([&](int) {
                if (++aufrufe == n) m.ProgressDialog_GoC().Abbrechen();
            });
            U.Meldungen().Meldungen.clear();
            EXPECT_FALSE(m.UpdateStatistikfiles(CTage, false)) << "a cancelled update is not up to date";
            RDLInfo().ProcessMessagesHookSetzen({});
            ASSERT_TRUE(m.ProgressDialog_GoC().Cancelled());
            EXPECT_FALSE(m.ProgressDialog_GoC().Showing());
            // The user learns that nothing was lost.
            ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u);
            EXPECT_NE(U.Meldungen().Meldungen[0].Text.find("nichts verloren"), std::string::npos);
        }
        EXPECT_EQ(UmsvZeilen(U.Db()), stand);
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        EXPECT_EQ(UmstZeilen(U.Db()), FrischGebaut(U));
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// A damaged record (NULL, empty, not numbers, beyond any amount) is counted again from the
// lines and booked anew, and registered; none of its figures is ever returned.
TEST(Umsatzabruf, BeschaedigterSatzWirdAusDenZeilenNeuGezaehlt) {
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzHelper_StatFile.Laden"};
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(Bauen());
    const auto richtig = UmstZeilen(U.Db());
    const TDate tag = CTag1 + 3;
    auto mit = [](double AWert) {
        TDaten d;
        d.Werte[2] = AWert;
        return std::optional<std::string>(TKOV_UmsDataOperator_UmsAusw::Daten_2_Blob(d));
    };
    const std::optional<std::string> blobs[] = {std::nullopt, std::string(), mit(std::nan("")),
                                                mit(-std::numeric_limits<double>::infinity()), mit(1e300)};
    for (const auto& blob : blobs) {
        SCOPED_TRACE(blob ? blob->size() : -1);
        RDLInfo().RegistrierteLeeren();
        auto st = U.Db().Prepare("UPDATE umst SET daten = ? WHERE kennung = 'UMSAUSW' AND filiale = 1 AND datum = ?"
                                 " AND ganztag <> 0");
        if (blob)
            st.BindBlob(1, *blob);
        else
            st.BindNull(1);
        st.Bind(2, double(tag));
        st.Step();
        TKOV_UmsatzAuswertMani_Base<TDaten, TKOV_UmsDataOperator_UmsAusw, Tumstfile, TKOV_UmsatzHelper_UmsAusw> m;
        EXPECT_DOUBLE_EQ(Netto(m.GetUmsatzFuerTag(CMandant1, {1, 1}, tag)), 13.0 + 5.5 + 23.0);
        EXPECT_EQ(UmstZeilen(U.Db()), richtig) << "booked anew";
        ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
        EXPECT_NE(RDLInfo().Registrierte()[0].Text.find("war beschädigt"), std::string::npos);
    }
}

// The first build's window says what it builds for which period and the day at work; a
// cancel says that the statistics were not built and nothing was lost.
TEST(Umsatzstatistik, ErsterAufbauZeigtZeitraumUndTagUndMeldetDenAbbruch) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    RDLProgramm().OhneDialogeSetzen(false);
    TUmszMani m;
    std::vector<std::string> texte;
    int aufrufe = 0;
    RDLInfo().ProcessMessagesHookSetzen([&](int) {
        texte.push_back(m.ProgressDialog_GoC().Bar("barTage")->Caption());
        if (++aufrufe == 3) m.ProgressDialog_GoC().Abbrechen();
    });
    EXPECT_FALSE(m.UpdateStatistikfiles(CTage, false));
    RDLInfo().ProcessMessagesHookSetzen({});
    const TDate heute = DateOf(rdl_Now());
    ASSERT_FALSE(texte.empty());
    const std::string was = "Die aggregierten Umsatzdaten vom " + DateToStr(heute - CTage) + " bis " +
                            DateToStr(heute - 1) + " werden erstellt.";
    EXPECT_EQ(texte.front(), was);
    EXPECT_NE(std::find(texte.begin(), texte.end(), was + "\nTag " + DateToStr(heute - CTage)), texte.end());
    EXPECT_EQ(m.ProgressDialog_GoC().Caption(), "Berechne aggregierte Umsatzdaten");
    ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u);
    EXPECT_NE(U.Meldungen().Meldungen[0].Text.find("wurde nicht erstellt; es ist nichts verloren gegangen"),
              std::string::npos)
        << U.Meldungen().Meldungen[0].Text;
    EXPECT_TRUE(UmsvZeilen(U.Db()).empty());
}

TEST(Umsatzstatistik, ErsterAufbauNurNachZustimmungWennGefragtWird) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    for (const int antwort : {mrNo, mrYes}) {
        SCOPED_TRACE(antwort);
        U.Meldungen().AntwortVorgeben(antwort);
        TUmszMani m;
        EXPECT_EQ(m.UpdateStatistikfiles(CTage, true), antwort == mrYes);
        ASSERT_FALSE(U.Meldungen().Meldungen.empty());
        EXPECT_EQ(U.Meldungen().Meldungen.back().Nummer, 1705);
        EXPECT_EQ(UmsvZeilen(U.Db()).empty(), antwort == mrNo);
    }
    // Built: the next call updates without asking.
    const size_t gefragt = U.Meldungen().Meldungen.size();
    TUmszMani m;
    EXPECT_TRUE(m.UpdateStatistikfiles(CTage, true));
    EXPECT_EQ(U.Meldungen().Meldungen.size(), gefragt);
}

// Without dialogs nothing can cancel: a click on the (hidden) dialog changes nothing.
TEST(Umsatzstatistik, OhneDialogeWirdNichtsAbgebrochen) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    TUmszMani m;
    RDLInfo().ProcessMessagesHookSetzen([&](int) { m.ProgressDialog_GoC().Abbrechen(); });
    ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
    EXPECT_FALSE(m.ProgressDialog_GoC().Showing());
    EXPECT_EQ(UmsvZeilen(U.Db()).size(), 5u);
    EXPECT_TRUE(U.Meldungen().Meldungen.empty()) << "no success message in runs without dialogs";
}

// The run ends abruptly at the n-th handling of messages, in the first build or in an
// update; the next run reaches exactly the figures of an uninterrupted one.
TEST(Umsatzstatistik, UnterbrochenerLaufWirdBeimNaechstenVollendet) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    auto unterbrechen = [&](int n) {
        int aufrufe = 0;
        RDLInfo().ProcessMessagesHookSetzen([&aufrufe, n](int) {
            if (++aufrufe == n) throw TProzessEnde{};
        });
        bool beendet = false;
        try {
            TUmszMani m;
            // Small packets: an interrupted first build leaves some of its days committed.
            m.PaketTage_Set(3);
            m.UpdateStatistikfiles(CTage, false);
        } catch (const TProzessEnde&) {
            beendet = true;
        }
        RDLInfo().ProcessMessagesHookSetzen({});
        return beendet;
    };
    // Over old figures: the file still holds earlier counts (a line changed since); a
    // first build that was interrupted and runs again replaces them, never adds to them.
    const struct {
        int Stopp;
        bool UeberAlten;
    } erstaufbau[] = {{1, false}, {6, false}, {15, false}, {4, true}, {9, true}};
    for (const auto& fall : erstaufbau) {
        SCOPED_TRACE(std::string(fall.UeberAlten ? "first build over old figures" : "first build") + ", stop " +
                     std::to_string(fall.Stopp));
        if (fall.UeberAlten)
            U.Db().Exec("UPDATE lst SET betrag = betrag + 1 WHERE id = (SELECT MIN(id) FROM lst WHERE satzart = 'VK')");
        else
            U.Db().Exec("DELETE FROM umst");
        U.Db().Exec("DELETE FROM umsv");
        ASSERT_TRUE(unterbrechen(fall.Stopp));
        EXPECT_TRUE(UmsvZeilen(U.Db()).empty()) << "not built yet";
        ASSERT_TRUE(Bauen());
        const auto fortgesetzt = UmstZeilen(U.Db());
        EXPECT_EQ(fortgesetzt, FrischGebaut(U));
    }
    int runde = 0;
    for (int n : {1, 3, 6, 9}) {
        SCOPED_TRACE("update, stop " + std::to_string(n));
        NeueBelege(U.Db(), K, runde++);
        const auto stand = UmsvZeilen(U.Db());
        ASSERT_TRUE(unterbrechen(n));
        EXPECT_EQ(UmsvZeilen(U.Db()), stand);
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        const auto fortgesetzt = UmstZeilen(U.Db());
        EXPECT_EQ(fortgesetzt, FrischGebaut(U));
    }
}

// A till in another process writes receipts while the update collects and while it
// rebooks: nothing is lost or counted twice once the next update has run.
TEST(Umsatzstatistik, BelegeEinerKasseWaehrendDesUpdatesGehenNichtVerlorenUndZaehlenEinmal) {
    TTestDatenbankOrt ort;
    TUmgebungMitHeute U(ort.DbShared());
    TKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(Bauen());
    int runde = 0;
    for (int n : {1, 5}) {
        SCOPED_TRACE(n);
        NeueBelege(U.Db(), K, runde++);
        const int vorKasse = K.Letzte[{CMandant1, 11}];
        {
            TUmszMani m;
            int aufrufe = 0;
            RDLInfo().ProcessMessagesHookSetzen([&](int) {
                if (++aufrufe != n) return;
                // Two receipts of computer 11: one on a day being rebooked, one on another.
                for (int tag : {(2 + runde - 1) % CTage, 8}) {
                    const int nr = ++K.Letzte[{CMandant1, 11}];
                    const std::string auftrag = ort.Ort() + "\t" + std::to_string(nr) + "\t" + Zahl(CTag1 + tag);
                    const pid_t kind =
                        TestProzessStarten("QUENDRIX_TEST_KASSE", auftrag, "Kasse.SchreibtEinenBelegWennGerufen");
                    int status = 0;
                    waitpid(kind, &status, 0);
                    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                }
            });
            ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
            RDLInfo().ProcessMessagesHookSetzen({});
        }
        ASSERT_EQ((K.Letzte[{CMandant1, 11}]), vorKasse + 2) << "the till wrote";
        // The state ends at the numbers taken before collecting.
        const auto stand = UmsvZeilen(U.Db());
        EXPECT_NE(std::find(stand.begin(), stand.end(), "UMSAUSW 1/1 11 " + std::to_string(vorKasse)), stand.end());
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        const auto aktualisiert = UmstZeilen(U.Db());
        EXPECT_EQ(aktualisiert, FrischGebaut(U));
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// The till of the test above, run as a process of its own.
TEST(Kasse, SchreibtEinenBelegWennGerufen) {
    const auto auftrag = TestAuftrag("QUENDRIX_TEST_KASSE");
    if (auftrag.size() != 3) return; // only as the other process
    auto db = TRDLDatenbank::Oeffnen(auftrag[0]);
    TZeile z;
    z.Rechner = 11;
    z.TransNr = std::stoi(auftrag[1]);
    z.Datum = std::stod(auftrag[2]);
    z.Uhrzeit = Uhr(11, 11);
    z.Betrag = 77.0;
    ZeileSchreiben(*db, z);
    z.PosNr = 2;
    z.Betrag = -7.0;
    ZeileSchreiben(*db, z);
}

namespace {
// The register of rejected lines, in key order: "client computer transaction/position
// branch: reason".
std::vector<std::string> AbgelehnteZeilen(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare("SELECT mand_a, mand_b, rechner, transnr, posnr, filiale, grund FROM umsatz_abgelehnt"
                          " ORDER BY mand_a, mand_b, rechner, transnr, posnr");
    std::vector<std::string> z;
    while (st.Step())
        z.push_back(std::to_string(st.ColInt(0)) + "/" + std::to_string(st.ColInt(1)) + " " +
                    std::to_string(st.ColInt(2)) + " " + std::to_string(st.ColInt(3)) + "/" +
                    std::to_string(st.ColInt(4)) + " " + std::to_string(st.ColInt(5)) + ": " + st.ColText(6));
    return z;
}
} // namespace

// A line whose date carries a time counts on its day: in the first build, in the update
// and in the retrieval from the lines.
TEST(Umsatzstatistik, ZeileMitUhrzeitImDatumZaehltAnIhremTag) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    const TDate tag1 = CTag1 + 3, tag2 = CTag1 + 5;
    K.BelegMit(U.Db(), CMandant1, 21, 2, tag1 + 0.75, Uhr(10, 0), 1, [](TZeile& z, size_t) { z.Betrag = 50.0; });
    ASSERT_TRUE(Bauen());
    TGetMani get;
    TDaten d;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 2}, tag1, d));
    EXPECT_DOUBLE_EQ(Netto(d), 33.0 - 4.0 + 8.25 + 50.0);
    EXPECT_TRUE(d == get.UmsatzBerechnen_FuerTag(CMandant1, {1, 2}, tag1));
    EXPECT_EQ(TrefferZaehlen(get, [&] { get.LstSuche_FuerFilialeUndDatum_Init(2, tag1); }), 4);
    EXPECT_DOUBLE_EQ(Netto(get.UmsatzBerechnen_FuerTagesZeitraum(CMandant1, {1, 2}, tag1, {Uhr(9, 30), Uhr(10, 30)})),
                     50.0);
    K.BelegMit(U.Db(), CMandant2, 31, 3, tag2 + 0.2, Uhr(10, 0), 1, [](TZeile& z, size_t) { z.Betrag = 7.5; });
    {
        TUmszMani m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
    }
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant2, {2, 3}, tag2, d));
    EXPECT_DOUBLE_EQ(Netto(d), 45.0 + 7.5);
    EXPECT_EQ(UmstZeilen(U.Db()), FrischGebaut(U));
    EXPECT_TRUE(AbgelehnteZeilen(U.Db()).empty());
    EXPECT_TRUE(U.Meldungen().Meldungen.empty());
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// Lines that break the writers' rules count nowhere, neither under another branch nor on
// a day outside the calendar: each is registered once with its reason, the user is told
// their count once, the processing state passes them, and a fresh build makes the same
// figures and finds the same lines. A transaction number beyond 32 bits is held by SQLite
// only; the server refuses to store it.
TEST(Umsatzstatistik, ZeilenAusserhalbDerRegelnWerdenGemeldetUndNirgendsGezaehlt) {
    TUmgebungMitHeute U;
    TKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(Bauen());
    const TDate tag = CTag1 + 4, letzterTag = EncodeDate(9999, 12, 31);
    ASSERT_EQ(EncodeDate(1, 1, 1), CLstErsterTag);
    ASSERT_EQ(letzterTag, CLstLetzterTag);
    TGetMani get;
    const double vorher = Netto(get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, tag));
    const int64_t zweiHoch31 = int64_t(1) << 31;
    struct TFall {
        const char* Name;
        std::optional<int64_t> TransNr; // none: the computer's next number
        int64_t Filiale;
        double Datum;
        bool Abgelehnt;
    };
    // Numbers ascend: the last two are the computer's highest.
    const TFall faelle[] = {
        {"branch 65537", {}, 65537, tag, true},
        {"branch 0", {}, 0, tag, true},
        {"transaction 0", 0, 1, tag, true},
        {"date 1e300", {}, 1, 1e300, true},
        {"date -1e6", {}, 1, -1e6, true},
        {"date 1e9", {}, 1, 1e9, true},
        {"31.12.9999 with a time", {}, 1, letzterTag + 0.5, false},
        {"a time in the date", {}, 1, tag + 0.4, false},
        {"transaction 2^31 - 1", zweiHoch31 - 1, 1, tag, false},
        {"transaction 2^31", zweiHoch31, 1, tag, true},
    };
    int abgelehnt = 0;
    double amTag = 0;
    int64_t nr65537 = 0;
    // Within the rules: an origin beyond the platforms, also beyond 16 bits, is stationary.
    {
        TTestUmgebung::TVerkaufWeit w;
        w.V.Rechner = 11;
        w.V.Datum = tag;
        w.V.Betrag = 0.75;
        w.V.Herkunft = 65537;
        w.TransNr = ++K.Letzte[{CMandant1, 11}];
        TTestUmgebung::Verkauf(U.Db(), w);
        amTag += w.V.Betrag;
    }
    for (size_t i = 0; i < std::size(faelle); ++i) {
        const TFall& f = faelle[i];
        SCOPED_TRACE(f.Name);
        TTestUmgebung::TVerkaufWeit w;
        w.V.Rechner = 11;
        w.V.Datum = f.Datum;
        w.V.Uhrzeit = Uhr(10, 0);
        w.V.Betrag = 1000.0 + double(i);
        w.TransNr = f.TransNr.value_or(++K.Letzte[{CMandant1, 11}]);
        w.Filiale = f.Filiale;
        if (f.Filiale == 65537) nr65537 = w.TransNr;
        if (w.TransNr > CLstHoechsteTransNr && TestAufPostgres()) {
            EXPECT_ANY_THROW(TTestUmgebung::Verkauf(U.Db(), w)) << "an INTEGER column of the server";
            continue;
        }
        TTestUmgebung::Verkauf(U.Db(), w);
        abgelehnt += f.Abgelehnt;
        if (!f.Abgelehnt && DateOf(f.Datum) == tag) amTag += w.V.Betrag;
    }
    const int64_t hoechste = TestAufPostgres() ? zweiHoch31 - 1 : zweiHoch31;
    auto aktualisieren = [&] {
        U.Meldungen().Meldungen.clear();
        TUmszMani m;
        EXPECT_TRUE(m.UpdateStatistikfiles(CTage, false));
    };
    aktualisieren();
    const auto register_ = AbgelehnteZeilen(U.Db());
    ASSERT_EQ(register_.size(), size_t(abgelehnt));
    EXPECT_EQ(register_[0], "1/1 11 0/1 1: Die Transaktionsnummer liegt außerhalb von 1 bis 2147483647.");
    EXPECT_EQ(register_[1], "1/1 11 " + std::to_string(nr65537) +
                                "/1 65537: Die Filialnummer liegt außerhalb von 1 bis 32767.");
    ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(U.Meldungen().Meldungen[0].Text,
              std::to_string(abgelehnt) + " Umsatzzeilen verletzen die Regeln und wurden nicht gezählt, siehe Tabelle "
                                          "\u201Eumsatz_abgelehnt\u201C der Datenbank.");
    EXPECT_EQ(U.Meldungen().Meldungen[0].Art, mkWarnung);
    // Only the lines that keep the rules count, on their days.
    TDaten d;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 1}, tag, d));
    EXPECT_DOUBLE_EQ(Netto(d), vorher + amTag);
    EXPECT_DOUBLE_EQ(d.Wert(ugC, ufNettoSonstige), 0.0) << "no online sale";
    EXPECT_TRUE(d == get.UmsatzBerechnen_FuerTag(CMandant1, {1, 1}, tag));
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 1}, letzterTag, d));
    EXPECT_DOUBLE_EQ(Netto(d), 1006.0);
    auto st = U.Db().Prepare("SELECT COUNT(*) FROM umst WHERE datum < ? OR datum > ?");
    st.Bind(1, CLstErsterTag);
    st.Bind(2, CLstLetzterTag);
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColInt(0), 0);
    st.Reset();
    const auto stand = UmsvZeilen(U.Db());
    EXPECT_NE(std::find(stand.begin(), stand.end(), "UMSAUSW 1/1 11 " + std::to_string(hoechste)), stand.end());

    // Again: nothing new is registered or told, nothing changes.
    const auto gebucht = UmstZeilen(U.Db());
    aktualisieren();
    EXPECT_EQ(AbgelehnteZeilen(U.Db()), register_);
    EXPECT_TRUE(U.Meldungen().Meldungen.empty());
    EXPECT_EQ(UmstZeilen(U.Db()), gebucht);
    EXPECT_EQ(UmsvZeilen(U.Db()), stand);

    // A fresh build of the span finds the same lines (the days it counts, the dates
    // outside the calendar) and makes the same figures but the far day's.
    U.Db().Exec("DELETE FROM umsatz_abgelehnt");
    auto loeschen = U.Db().Prepare("DELETE FROM umst WHERE datum >= ?");
    loeschen.Bind(1, letzterTag);
    loeschen.Step();
    U.Meldungen().Meldungen.clear();
    EXPECT_EQ(UmstZeilen(U.Db()), FrischGebaut(U));
    EXPECT_EQ(AbgelehnteZeilen(U.Db()), register_);
    ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(U.Meldungen().Meldungen[0].Text, UmsatzAbgelehntText(abgelehnt));
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}
