// Windows within a day: validity, membership of a time, and cutting a span into pieces.
#include "kovdateutils.h"
#include "exceptions.h"
#include "rdldatum.h"

#include <gtest/gtest.h>

namespace {
TDateTime U(int AStunde, int AMinute = 0) { return EncodeTime(AStunde, AMinute); }
std::vector<std::pair<TDateTime, TDateTime>> Stuecke(const TKOV_Tagesabschnitte& A) {
    std::vector<std::pair<TDateTime, TDateTime>> s;
    for (int i = 0; i < A.Count(); ++i) s.emplace_back(A[i].Von, A[i].Bis);
    return s;
}
::testing::AssertionResult Gleich(const std::vector<std::pair<TDateTime, TDateTime>>& A,
                                  const std::vector<std::pair<TDateTime, TDateTime>>& B) {
    if (A.size() != B.size()) return ::testing::AssertionFailure() << A.size() << " statt " << B.size() << " Stücke";
    for (size_t i = 0; i < A.size(); ++i)
        if (std::abs(A[i].first - B[i].first) > 1e-9 || std::abs(A[i].second - B[i].second) > 1e-9)
            return ::testing::AssertionFailure() << "Stück " << i;
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(Tageszeitraum, GueltigkeitUndZugehoerigkeit) {
    EXPECT_TRUE((TKOV_Tageszeitraum{U(9), U(12)}.KonsistenzCheck()));
    EXPECT_TRUE((TKOV_Tageszeitraum{0, 1}.KonsistenzCheck()));
    EXPECT_FALSE((TKOV_Tageszeitraum{U(12), U(9)}.KonsistenzCheck()));
    EXPECT_FALSE((TKOV_Tageszeitraum{U(9), U(9)}.KonsistenzCheck()));
    EXPECT_FALSE((TKOV_Tageszeitraum{-0.1, U(9)}.KonsistenzCheck()));
    EXPECT_FALSE((TKOV_Tageszeitraum{U(9), 1.1}.KonsistenzCheck()));
    const TKOV_Tageszeitraum z{U(9), U(12)};
    EXPECT_TRUE(z.IsInRange(U(9), true, true));
    EXPECT_FALSE(z.IsInRange(U(9), false, true));
    EXPECT_TRUE(z.IsInRange(U(12), true, true));
    EXPECT_FALSE(z.IsInRange(U(12), true, false));
    EXPECT_TRUE(z.IsInRange(46000 + U(10), true, true)); // a date-time counts by its time of day
    EXPECT_TRUE((TKOV_Tageszeitraum{U(18), 1.0}.IsInRange(1.0, true, true)));
}

TEST(Tagesabschnitte, ZerlegenUndPruefen) {
    TKOV_Tagesabschnitte a;
    a.AddAbschnitteStundenweise(U(9, 30), U(12));
    EXPECT_TRUE(Gleich(Stuecke(a), {{U(9, 30), U(10)}, {U(10), U(11)}, {U(11), U(12)}}));
    a.Clear();
    a.AddAbschnitteFuerVonBisZeitraum(U(9), U(10, 40), 30);
    EXPECT_TRUE(Gleich(Stuecke(a), {{U(9), U(9, 30)}, {U(9, 30), U(10)}, {U(10), U(10, 30)}, {U(10, 30), U(10, 40)}}));
    a.Clear();
    a.AddAbschnitteFuerVonBisZeitraum(U(12), U(9), 30);
    a.AddAbschnitteStundenweise(U(12), U(12));
    EXPECT_EQ(a.Count(), 0);
    EXPECT_FALSE(a.KonsistenzUeberPruefen(false, true));
    EXPECT_TRUE(a.KonsistenzUeberPruefen(true, true));
    EXPECT_THROW(a.Items(0), EListError);
    a.Add(U(9), U(12));
    a.Add(U(11), U(14));
    EXPECT_TRUE(a.KonsistenzUeberPruefen(false, false));
    EXPECT_FALSE(a.KonsistenzUeberPruefen(false, true));
}
