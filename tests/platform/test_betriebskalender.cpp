// Public holidays per federal state, the business calendar of a branch and the
// comparison days of earlier years.
#include "betriebskalender.h"
#include "datetransformer.h"
#include "feiertage.h"
#include "rdldatum.h"
#include "testumgebung.h"

#include <gtest/gtest.h>

namespace {

TDate D(int AJahr, int AMonat, int ATag) { return EncodeDate(AJahr, AMonat, ATag); }
TDateTime U(int AStunde, int AMinute = 0) { return EncodeTime(AStunde, AMinute); }

bool HatFeiertag(int AJahr, const std::string& ALand, const std::string& AName) {
    for (const auto& f : GesetzlicheFeiertage(AJahr, ALand))
        if (f.Name == AName) return true;
    return false;
}

} // namespace

TEST(Feiertage, OstersonntagNachGauss) {
    EXPECT_EQ(Ostersonntag(2019), D(2019, 4, 21));
    EXPECT_EQ(Ostersonntag(2024), D(2024, 3, 31));
    EXPECT_EQ(Ostersonntag(2025), D(2025, 4, 20));
    EXPECT_EQ(Ostersonntag(2026), D(2026, 4, 5));
}

TEST(Feiertage, HaengenVomBundeslandUndJahrAb) {
    const struct {
        int Jahr;
        const char* Land;
        const char* Name;
        bool Erwartet;
    } faelle[] = {
        {2026, "BY", "Fronleichnam", true},          {2026, "HH", "Fronleichnam", false},
        {2017, "HH", "Reformationstag", true},       {2017, "BY", "Reformationstag", true},
        {2016, "HH", "Reformationstag", false},      {2018, "HH", "Reformationstag", true},
        {2026, "BW", "Reformationstag", false},      {2026, "SN", "Buß- und Bettag", true},
        {2026, "BY", "Buß- und Bettag", false},      {2026, "BE", "Internationaler Frauentag", true},
        {2022, "MV", "Internationaler Frauentag", false}, {2023, "MV", "Internationaler Frauentag", true},
        {2026, "SL", "Mariä Himmelfahrt", true},     {2026, "BY", "Mariä Himmelfahrt", false},
        {2026, "ST", "Heilige Drei Könige", true},   {2026, "TH", "Weltkindertag", true},
        {2026, "NW", "Allerheiligen", true},         {2026, "", "Neujahr", false},
        {2026, "XX", "Neujahr", false},              {2020, "BE", "Tag der Befreiung", true},
        {2025, "BE", "Tag der Befreiung", true},     {2024, "BE", "Tag der Befreiung", false},
        {2025, "BB", "Tag der Befreiung", false},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(HatFeiertag(f.Jahr, f.Land, f.Name), f.Erwartet) << f.Jahr << " " << f.Land << " " << f.Name;

    const auto sn = GesetzlicheFeiertage(2026, "SN");
    ASSERT_EQ(sn.size(), 13u);
    EXPECT_EQ(sn.front(), (TFeiertag{D(2026, 1, 1), "Neujahr"}));
    EXPECT_EQ(sn.back(), (TFeiertag{D(2026, 12, 26), "2. Weihnachtstag"}));
    std::string name;
    ASSERT_TRUE(IstGesetzlicherFeiertag(D(2026, 11, 18) + U(10), "SN", &name));
    EXPECT_EQ(name, "Buß- und Bettag");
    ASSERT_TRUE(IstGesetzlicherFeiertag(D(2026, 5, 14), "HH", &name));
    EXPECT_EQ(name, "Christi Himmelfahrt");
    EXPECT_FALSE(IstGesetzlicherFeiertag(D(2026, 6, 4), "HH"));
    ASSERT_TRUE(IstGesetzlicherFeiertag(D(2025, 5, 8), "BE", &name));
    EXPECT_EQ(name, "Tag der Befreiung");
}

// Branch 1 of client 1/1 in Bavaria: weekdays 9:00-12:30 and 14:00-18:30, Saturdays
// 9:00-14:00; exceptions, closing days and a holiday around it. Branch 2 in Hamburg.
class Betriebskalender : public ::testing::Test {
protected:
    TTestUmgebung U_;
    const TIntPair M{1, 1}, O{1, 1};
    void SetUp() override {
        auto& db = U_.Db();
        U_.Filiale(1, 1, 1, "München");
        U_.Filiale(2, 1, 1, "Hamburg");
        db.Exec("UPDATE filiale SET bundesland = 'BY' WHERE filiale = 1");
        db.Exec("UPDATE filiale SET bundesland = 'HH' WHERE filiale = 2");
        auto sb = db.Prepare("INSERT INTO betriebszeit (filiale, wochentag, nr, von, bis) VALUES (1, ?, ?, ?, ?)");
        auto zeit = [&](int ATag, int ANr, double AVon, double ABis) {
            sb.Bind(1, int64_t(ATag));
            sb.Bind(2, int64_t(ANr));
            sb.Bind(3, AVon);
            sb.Bind(4, ABis);
            sb.Step();
            sb.Reset();
        };
        for (int t = 1; t <= 5; ++t) {
            zeit(t, 1, U(9), U(12, 30));
            zeit(t, 2, U(14), U(18, 30));
        }
        zeit(6, 1, U(9), U(14));
        auto sa = db.Prepare("INSERT INTO betriebszeit_ausnahme (filiale, datum, nr, von, bis) VALUES (1, ?, ?, ?, ?)");
        for (const auto& [datum, nr, von, bis] : std::vector<std::tuple<TDate, int, double, double>>{
                 {D(2026, 12, 19), 1, U(9), U(20)},      // Saturday in Advent: longer
                 {D(2026, 12, 24), 1, U(9), U(12, 30)},  // Christmas Eve: no afternoon
                 {D(2026, 1, 12), 1, 0, 0},              // inventory: closed
                 {D(2025, 6, 12), 1, 0, 0},              // inventory: closed
                 {D(2026, 10, 3), 1, U(10), U(16)}}) {   // open on a holiday
            sa.Bind(1, datum);
            sa.Bind(2, int64_t(nr));
            sa.Bind(3, von);
            sa.Bind(4, bis);
            sa.Step();
            sa.Reset();
        }
        db.Exec("INSERT INTO feiertag (datum, filiale, name) VALUES (" + std::to_string(D(2026, 12, 31)) +
                ", 0, 'Silvester'), (" + std::to_string(D(2025, 12, 31)) + ", 0, 'Silvester'), (" +
                std::to_string(D(2026, 8, 17)) + ", 2, 'Stadtfest')");
    }
};

TEST_F(Betriebskalender, OeffnungszeitenMitAusnahmenFeiertagenUndSchliesstagen) {
    using F = std::vector<TKOV_Tageszeitraum>;
    const F woche = {{U(9), U(12, 30)}, {U(14), U(18, 30)}};
    const struct {
        TDate Datum;
        F Fenster;
        bool Ausnahme;
        const char* Fall;
    } faelle[] = {
        {D(2026, 12, 9), woche, false, "weekday with lunch break"},
        {D(2026, 12, 12), {{U(9), U(14)}}, false, "Saturday"},
        {D(2026, 12, 13), {}, false, "Sunday without hours"},
        {D(2026, 12, 19), {{U(9), U(20)}}, true, "exception: longer Saturday"},
        {D(2026, 12, 24), {{U(9), U(12, 30)}}, true, "exception: afternoon closed"},
        {D(2026, 1, 12), {}, true, "exception: closed"},
        {D(2026, 6, 4), {}, true, "Fronleichnam in BY"},
        {D(2026, 12, 31), {}, true, "closing day for all branches"},
        {D(2026, 10, 3), {{U(10), U(16)}}, true, "exception opens a holiday"},
        {D(2026, 8, 17), woche, false, "another branch's closing day"},
    };
    TBetriebskalenderMani k;
    for (const auto& f : faelle) {
        TKOV_Tagesabschnitte z;
        z.Add(1, 2); // replaced
        bool ausnahme = !f.Ausnahme;
        EXPECT_EQ(k.BetriebszeitenFuerDatum_Laden(M, O, f.Datum + U(11), z, ausnahme), !f.Fenster.empty()) << f.Fall;
        EXPECT_EQ(z.Datum, f.Datum) << f.Fall;
        EXPECT_EQ(ausnahme, f.Ausnahme) << f.Fall;
        F ist;
        for (int i = 0; i < z.Count(); ++i) ist.push_back(z[i]);
        EXPECT_EQ(ist, f.Fenster) << f.Fall;
    }
    TKOV_Tagesabschnitte z;
    bool ausnahme = true;
    EXPECT_FALSE(k.BetriebszeitenFuerDatum_Laden(M, {1, 9}, D(2026, 12, 9), z, ausnahme)) << "unknown branch";
    EXPECT_EQ(z.Count(), 0);
    EXPECT_FALSE(ausnahme);
    // Branch 2 has no hours at all; Fronleichnam does not decide there.
    EXPECT_FALSE(k.BetriebszeitenFuerDatum_Laden(M, {1, 2}, D(2026, 6, 4), z, ausnahme));
    EXPECT_FALSE(ausnahme) << "no Fronleichnam in HH";
}

TEST_F(Betriebskalender, EinNeuesObjektSiehtAenderungenAndererProgramme) {
    TBetriebskalenderMani alt;
    TKOV_Tagesabschnitte z;
    bool ausnahme = false;
    ASSERT_TRUE(alt.BetriebszeitenFuerDatum_Laden(M, O, D(2026, 12, 9), z, ausnahme));
    U_.Db().Exec("INSERT INTO feiertag (datum, filiale, name) VALUES (" + std::to_string(D(2026, 12, 9)) +
                 ", 1, 'Wasserschaden')");
    EXPECT_TRUE(alt.BetriebszeitenFuerDatum_Laden(M, O, D(2026, 12, 9), z, ausnahme)) << "kept for its life";
    TBetriebskalenderMani neu;
    EXPECT_FALSE(neu.BetriebszeitenFuerDatum_Laden(M, O, D(2026, 12, 9), z, ausnahme));
    alt.Neuladen();
    EXPECT_FALSE(alt.BetriebszeitenFuerDatum_Laden(M, O, D(2026, 12, 9), z, ausnahme));
}

TEST_F(Betriebskalender, VergleichstageDerVorjahre) {
    const struct {
        TDate Datum;
        int Zieljahr;
        TDate Wochentag;     // same ISO week and weekday
        TDate MitFeiertagen; // with the branch's holidays and closing days
        const char* Fall;
    } faelle[] = {
        {D(2026, 12, 9), 2025, D(2025, 12, 10), D(2025, 12, 10), "ordinary Wednesday"},
        {D(2026, 12, 29), 2025, D(2025, 12, 30), D(2025, 12, 30), "week 53: the week after week 52"},
        {D(2026, 12, 31), 2025, D(2025, 12, 31), D(2025, 12, 31), "Thursday of week 53: the same date"},
        {D(2026, 4, 6), 2025, D(2025, 4, 7), D(2025, 4, 21), "Ostermontag"},
        {D(2026, 4, 6), 2024, D(2024, 4, 8), D(2024, 4, 1), "Ostermontag two years back"},
        {D(2026, 12, 25), 2025, D(2025, 12, 26), D(2025, 12, 25), "Christmas on a Friday"},
        {D(2026, 10, 3), 2025, D(2025, 10, 4), D(2025, 10, 3), "3 October"},
        {D(2026, 5, 28), 2025, D(2025, 5, 29), D(2025, 5, 22), "comparable day is Ascension: a week earlier"},
        {D(2026, 6, 18), 2025, D(2025, 6, 19), D(2025, 6, 26), "Fronleichnam, the week before closed: a week later"},
        {D(2025, 12, 29), 2024, D(2024, 12, 30), D(2024, 12, 30), "week 1 dated in December"},
    };
    TKOV_DatumsTransformatorVergleichstagVorjahre wochentag;
    TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge feiertage;
    feiertage.Mandant = M;
    feiertage.OrgeID = O;
    for (const auto& f : faelle) {
        wochentag.Zieljahr = feiertage.Zieljahr = f.Zieljahr;
        wochentag.PassendeDatumswerteFinden(f.Datum);
        feiertage.PassendeDatumswerteFinden(f.Datum + U(15));
        EXPECT_EQ(wochentag.Ergebnis(), std::vector<TDate>{f.Wochentag}) << f.Fall;
        EXPECT_EQ(feiertage.Ergebnis(), std::vector<TDate>{f.MitFeiertagen}) << f.Fall;
    }
    EXPECT_EQ(GleichesDatumImJahr(D(2024, 2, 29), 2023), D(2023, 2, 28));
    wochentag.Zieljahr = 0;
    EXPECT_THROW(wochentag.PassendeDatumswerteFinden(D(2026, 1, 1)), EArgumentOutOfRangeException);
    EXPECT_TRUE(wochentag.Ergebnis().empty());
}

// The comparison day lies in the target year, also at the turn of the year; Christmas Eve,
// New Year's Eve, Berlin's one-off holiday and a closing-day name used twice a year.
TEST_F(Betriebskalender, VergleichstageBleibenImZieljahrUndBeachtenBesondereTage) {
    U_.Filiale(3, 1, 1, "Berlin");
    U_.Db().Exec("UPDATE filiale SET bundesland = 'BE' WHERE filiale = 3");
    std::string werte;
    for (const TDate tag : {D(2026, 1, 12), D(2026, 7, 13), D(2025, 1, 7), D(2025, 7, 8)})
        werte += std::string(werte.empty() ? "" : ", ") + "(" + std::to_string(tag) + ", 2, 'Inventur')";
    U_.Db().Exec("INSERT INTO feiertag (datum, filiale, name) VALUES " + werte);

    const struct {
        TDate Datum;
        int Zieljahr;
        int Filiale; // 0: by weekday only, else with the calendar of that branch (1 BY, 2 HH, 3 BE)
        TDate Erwartet;
        const char* Fall;
    } faelle[] = {
        {D(2021, 1, 1), 2020, 0, D(2020, 1, 3), "week 53 of 2020 in January: the first Friday of 2020"},
        {D(2021, 1, 4), 2020, 0, D(2020, 1, 6), "week 1 of 2020 began in December 2019"},
        {D(2027, 1, 1), 2026, 0, D(2026, 1, 2), "week 53 of 2026 in January 2027"},
        {D(2026, 12, 28), 2025, 0, D(2025, 12, 29), "Monday of week 53: the week after week 52"},
        {D(2026, 12, 31), 2025, 0, D(2025, 12, 31), "Thursday of week 53: every Thursday of 2025 taken"},
        {D(2022, 12, 31), 2021, 0, D(2021, 12, 31), "Saturday of week 52 after the end of 2021"},
        {D(2026, 12, 24), 2025, 2, D(2025, 12, 24), "Christmas Eve without an exception"},
        {D(2026, 12, 24), 2025, 1, D(2025, 12, 24), "Christmas Eve, an exception in 2026 only"},
        {D(2026, 12, 23), 2025, 2, D(2025, 12, 17), "comparison day is Christmas Eve: a week earlier"},
        {D(2026, 12, 30), 2025, 2, D(2025, 12, 30), "New Year's Eve, Christmas Eve, 2026: the same date"},
        {D(2025, 5, 8), 2024, 3, D(2024, 5, 2), "Berlin's 8 May, none in 2024; 9 May 2024 Ascension"},
        {D(2025, 5, 8), 2020, 3, D(2020, 5, 8), "Berlin's 8 May of 2020"},
        {D(2026, 5, 7), 2025, 3, D(2025, 5, 15), "8 May 2025 a holiday in Berlin, 1 May too: a week later"},
        {D(2026, 5, 7), 2025, 1, D(2025, 5, 8), "8 May 2025 no holiday in Bavaria"},
        {D(2026, 7, 13), 2025, 2, D(2025, 7, 8), "inventory in July with July's"},
        {D(2026, 1, 12), 2025, 2, D(2025, 1, 7), "inventory in January with January's"},
    };
    TKOV_DatumsTransformatorVergleichstagVorjahre wochentag;
    TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge feiertage;
    feiertage.Mandant = M;
    for (const auto& f : faelle) {
        TKOV_DatumsTransformator_Base& t = f.Filiale == 0 ? static_cast<TKOV_DatumsTransformator_Base&>(wochentag)
                                                          : feiertage;
        feiertage.OrgeID = {1, f.Filiale};
        t.Zieljahr = f.Zieljahr;
        t.PassendeDatumswerteFinden(f.Datum);
        EXPECT_EQ(t.Ergebnis(), std::vector<TDate>{f.Erwartet}) << f.Fall;
    }
}

// By weekday every day of a year finds a day of the target year with its weekday, except
// where the target year has no free one left (the same date then).
TEST(Vergleichstage, NachWochentagImmerImZieljahr) {
    TKOV_DatumsTransformatorVergleichstagVorjahre t;
    for (int jahr = 2015; jahr <= 2030; ++jahr)
        for (int zurueck = 1; zurueck <= 3; ++zurueck) {
            t.Zieljahr = jahr - zurueck;
            for (TDate tag = D(jahr, 1, 1); tag <= D(jahr, 12, 31); tag += 1) {
                t.PassendeDatumswerteFinden(tag);
                ASSERT_EQ(t.Ergebnis().size(), 1u);
                const TDate v = t.Ergebnis().front();
                int j, m, d;
                DecodeDate(v, j, m, d);
                ASSERT_EQ(j, t.Zieljahr) << DateToStr(tag);
                if (DayOfTheWeek(v) != DayOfTheWeek(tag)) {
                    EXPECT_EQ(v, GleichesDatumImJahr(tag, t.Zieljahr)) << DateToStr(tag);
                }
            }
        }
}
