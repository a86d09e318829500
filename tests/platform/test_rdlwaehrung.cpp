// The currency calculator over the exchange-rate table.
#include "rdldatum.h"
#include "rdlprogramm.h"
#include "rdlwaehrung.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

constexpr double CFehlt = std::numeric_limits<double>::quiet_NaN();

// What a calculator answers for a currency and day: the rate, or NaN with the message.
struct TAntwort {
    double Kurs = CFehlt;
    std::string Meldung;
};

TAntwort Fragen(TRDLWaehrungsrechner& R, const std::string& AWaehrung, TDate ADatum) {
    TAntwort a;
    const bool vorhanden = R.KursVorhanden(AWaehrung, ADatum);
    try {
        a.Kurs = R.Kurs(AWaehrung, ADatum);
        EXPECT_DOUBLE_EQ(R.InHauswaehrung(-250.5, AWaehrung, ADatum), -250.5 * a.Kurs);
    } catch (const EWaehrungsFehler& e) {
        a.Meldung = e.what();
        EXPECT_EQ(e.Waehrung(), AWaehrung);
        EXPECT_EQ(e.Datum(), ADatum);
        EXPECT_THROW(R.InHauswaehrung(1, AWaehrung, ADatum), EWaehrungsFehler);
    }
    EXPECT_EQ(vorhanden, !std::isnan(a.Kurs)) << AWaehrung << " " << DateToStr(ADatum);
    return a;
}

TDate Tag(int ATag, int AMonat, int AJahr = 2026) { return EncodeDate(AJahr, AMonat, ATag); }

} // namespace

TEST(Waehrungsrechner, RateOfADayIsThatOfTheLatestRowOnOrBeforeItAndABareDayRaises) {
    TTestUmgebung U;
    U.Wechselkurs("CHF", Tag(1, 12), 0.95);
    U.Wechselkurs("CHF", Tag(10, 12), 0.94);
    U.Wechselkurs("CHF", Tag(1, 1, 2027), 0.96);
    U.Wechselkurs("USD", Tag(3, 12), 0.9);
    TRDLWaehrungsrechner R(U.Db(), "EUR");
    EXPECT_EQ(R.Hauswaehrung(), "EUR");

    const struct {
        const char* Fall;
        std::string Waehrung;
        TDate Datum;
        double Kurs;
        std::string Meldung;
    } faelle[] = {
        {"house currency", "EUR", Tag(30, 11), 1, ""},
        {"empty currency text", "", Tag(30, 11), 1, ""},
        {"before the first row", "CHF", Tag(30, 11), CFehlt,
         "F\u00FCr die W\u00E4hrung CHF ist zum 30.11.2026 kein Umrechnungskurs in EUR hinterlegt."},
        {"the valid-from day", "CHF", Tag(1, 12), 0.95, ""},
        {"a time on the valid-from day", "CHF", Tag(1, 12) + 0.75, 0.95, ""},
        {"the day before the next row", "CHF", Tag(9, 12), 0.95, ""},
        {"the next row's day", "CHF", Tag(10, 12), 0.94, ""},
        {"between rows, across the year", "CHF", Tag(31, 12), 0.94, ""},
        {"after the last row", "CHF", Tag(15, 3, 2030), 0.96, ""},
        {"blanks around the code", " CHF ", Tag(10, 12), 0.94, ""},
        {"another currency's own rows", "USD", Tag(5, 12), 0.9, ""},
        {"another currency before its first row", "USD", Tag(2, 12), CFehlt,
         "F\u00FCr die W\u00E4hrung USD ist zum 02.12.2026 kein Umrechnungskurs in EUR hinterlegt."},
        {"a currency without rows", "GBP", Tag(5, 12), CFehlt,
         "F\u00FCr die W\u00E4hrung GBP ist zum 05.12.2026 kein Umrechnungskurs in EUR hinterlegt."},
        {"codes are case-sensitive", "chf", Tag(5, 12), CFehlt,
         "F\u00FCr die W\u00E4hrung chf ist zum 05.12.2026 kein Umrechnungskurs in EUR hinterlegt."},
    };
    for (const auto& f : faelle) {
        const auto a = Fragen(R, f.Waehrung, f.Datum);
        if (std::isnan(f.Kurs)) {
            EXPECT_TRUE(std::isnan(a.Kurs)) << f.Fall << ": " << a.Kurs;
        } else {
            EXPECT_DOUBLE_EQ(a.Kurs, f.Kurs) << f.Fall << ": " << a.Meldung;
        }
        EXPECT_EQ(a.Meldung, f.Meldung) << f.Fall;
    }
}

TEST(Waehrungsrechner, HouseCurrencyComesFromTheInstallationAndNeedsNoRows) {
    TTestUmgebung U;
    U.Wechselkurs("EUR", Tag(1, 12), 1.05);
    RDLProgramm().InstallationSetzen(0, "", "CHF");
    TRDLWaehrungsrechner R(U.Db());
    EXPECT_EQ(R.Hauswaehrung(), "CHF");
    EXPECT_EQ(Fragen(R, "CHF", Tag(1, 1, 1990)).Kurs, 1.0);
    EXPECT_EQ(Fragen(R, "EUR", Tag(30, 11)).Meldung,
              "F\u00FCr die W\u00E4hrung EUR ist zum 30.11.2026 kein Umrechnungskurs in CHF hinterlegt.");
    EXPECT_DOUBLE_EQ(Fragen(R, "EUR", Tag(2, 12)).Kurs, 1.05);
}

TEST(Waehrungsrechner, TheTableRefusesRatesOfZeroOrBelowAndSuchRowsWrittenAnywayCountAsMissing) {
    TTestUmgebung U;
    U.Wechselkurs("CHF", Tag(1, 1), 0.95);
    EXPECT_THROW(U.Wechselkurs("CHF", Tag(1, 2), 0), EDatenbankFehler);
    EXPECT_THROW(U.Wechselkurs("CHF", Tag(1, 3), -0.5), EDatenbankFehler);

    // Another program without the check: its rows end the previous rate without a new one.
    // Infinity (both stores) and NaN (the server's floating-point type) pass the check.
    if (TestAufPostgres())
        U.Db().Verbindung().Ausfuehren("ALTER TABLE wechselkurs DROP CONSTRAINT wechselkurs_kurs_check");
    else
        U.Db().Verbindung().Ausfuehren("PRAGMA ignore_check_constraints = ON");
    U.Wechselkurs("CHF", Tag(1, 2), 0);
    U.Wechselkurs("CHF", Tag(1, 3), -0.5);
    U.Wechselkurs("CHF", Tag(1, 4), std::numeric_limits<double>::infinity());
    U.Wechselkurs("CHF", Tag(1, 5), 0.97);
    if (TestAufPostgres()) U.Wechselkurs("CHF", Tag(1, 6), CFehlt);

    TRDLWaehrungsrechner R(U.Db(), "EUR");
    EXPECT_DOUBLE_EQ(Fragen(R, "CHF", Tag(31, 1)).Kurs, 0.95);
    for (int monat : {2, 3, 4}) {
        const auto a = Fragen(R, "CHF", Tag(15, monat));
        EXPECT_TRUE(std::isnan(a.Kurs)) << monat << ": " << a.Kurs;
        EXPECT_NE(a.Meldung.find("zum 15.0" + std::to_string(monat) + ".2026"), std::string::npos) << a.Meldung;
    }
    EXPECT_DOUBLE_EQ(Fragen(R, "CHF", Tag(15, 5)).Kurs, 0.97);
    if (TestAufPostgres()) {
        EXPECT_TRUE(std::isnan(Fragen(R, "CHF", Tag(15, 6)).Kurs));
    }
}

TEST(Waehrungsrechner, ReadsACurrencyOnceWithoutPinningASnapshotANewCalculatorSeesLaterRates) {
    TTestUmgebung U(false);
    TTestDatenbankOrt ort;
    auto andere = TRDLDatenbank::Oeffnen(ort.Ort()); // another program that keeps the rates
    TTestUmgebung::Wechselkurs(*andere, "CHF", Tag(1, 12), 0.95);

    TRDLWaehrungsrechner R(ort.Db(), "EUR");
    EXPECT_DOUBLE_EQ(R.Kurs("CHF", Tag(5, 12)), 0.95);
    EXPECT_FALSE(R.KursVorhanden("USD", Tag(5, 12)));
    TTestUmgebung::Wechselkurs(*andere, "CHF", Tag(3, 12), 0.9);
    TTestUmgebung::Wechselkurs(*andere, "USD", Tag(1, 12), 0.92);

    // The same object answers from what it read: one evaluation, one set of rates.
    EXPECT_DOUBLE_EQ(R.Kurs("CHF", Tag(5, 12)), 0.95);
    EXPECT_FALSE(R.KursVorhanden("USD", Tag(5, 12)));
    // A new one on the same connection sees what the other program committed meanwhile.
    TRDLWaehrungsrechner neu(ort.Db(), "EUR");
    EXPECT_DOUBLE_EQ(neu.Kurs("CHF", Tag(5, 12)), 0.9);
    EXPECT_DOUBLE_EQ(neu.Kurs("CHF", Tag(2, 12)), 0.95);
    EXPECT_DOUBLE_EQ(neu.Kurs("USD", Tag(5, 12)), 0.92);
}
