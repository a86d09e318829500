// The evaluation facades of the sales engine: figures of days, windows and periods, a day
// beside comparable days of earlier years, the day cut into sections with prior years,
// and the productive hours of the staff. One branch ("Mitte", client 1/1) open Monday to
// Saturday 09:00-13:00 and 14:00-18:00; the statistics count as built unless a test says not.
#include "umsatzmani_umsausw.h"
#include "erwarteteausnahmen.h"
#include "testumgebung.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TFassade = TKOV_UmsatzAuswertVerglMani_UmsAusw;
using Op = TKOV_UmsDataOperator_UmsAusw;
using TTag = TFassade::TTagesauswertung;

const TIntPair CMandant{1, 1};
const TIntPair COrge{1, 1};

TDate D(int ATag, int AMonat, int AJahr) { return EncodeDate(AJahr, AMonat, ATag); }
TDateTime U(int AStunde, int AMinute = 0) { return EncodeTime(AStunde, AMinute); }

// The till's lines carry neither product nor article number: net of other items, group A.
double Netto(const TKOV_Umsatzdaten_UmsAusw& AUmsatz) { return AUmsatz.Wert(ugA, ufNettoSonstige); }

// Returns the days it is given, whatever the day asked for.
class TFesteVergleichstage : public TKOV_VergleichstagVorjahreMitFeiertagen_ZuMandantOrge {
public:
    explicit TFesteVergleichstage(std::vector<TDate> ATage) : FTage(std::move(ATage)) {}

protected:
    std::vector<TDate> Finden(TDate) override { return FTage; }

private:
    std::vector<TDate> FTage;
};

class UmsatzauswertVergleich : public ::testing::Test {
protected:
    TTestUmgebung FUmgebung;
    int FTransNr = 0;

    void SetUp() override {
        FUmgebung.Mandant(1, 1, "Handel");
        FUmgebung.Filiale(1, 1, 1, "Mitte");
        FUmgebung.Db().Exec("INSERT INTO rechner (rechner, name, filiale) VALUES (1, 'Kasse 1', 1)");
        for (int wt = 1; wt <= 6; ++wt) {
            Oeffnung(wt, 1, U(9), U(13));
            Oeffnung(wt, 2, U(14), U(18));
        }
        StatistikGebaut();
    }

    void Oeffnung(int AWochentag, int ANr, TDateTime AVon, TDateTime ABis) {
        auto st = FUmgebung.Db().Prepare("INSERT INTO betriebszeit (filiale, wochentag, nr, von, bis) VALUES (1, ?, ?, ?, ?)");
        st.Bind(1, int64_t(AWochentag));
        st.Bind(2, int64_t(ANr));
        st.Bind(3, AVon);
        st.Bind(4, ABis);
        st.Step();
    }

    // What the first build of the statistics leaves: a processing state for its identifier.
    void StatistikGebaut() {
        FUmgebung.Db().Exec("INSERT INTO umsv (kennung, mand_a, mand_b, rechner, transnr) VALUES ('UMSAUSW', 1, 1, 1, 0)");
    }

    void Verkauf(TDate ADatum, double ABetrag, TDateTime AUhrzeit = U(10)) {
        TTestUmgebung::TVerkauf v;
        v.TransNr = ++FTransNr;
        v.Datum = ADatum;
        v.Uhrzeit = AUhrzeit;
        v.Betrag = ABetrag;
        v.Betrag2 = ABetrag;
        FUmgebung.Verkauf(v);
    }

    // Counting windows booked for the day, and the net figure under one of them.
    int GebuchteFenster(TDate ADatum) {
        auto st = FUmgebung.Db().Prepare("SELECT COUNT(*) FROM umst WHERE filiale = 1 AND datum = ? AND ganztag = 0");
        st.Bind(1, ADatum);
        st.Step();
        return int(st.ColInt(0));
    }
    double GebuchtesFenster(TDate ADatum, const TKOV_Tageszeitraum& AFenster) {
        TKOV_UmsatzHelper_UmsAusw helper;
        TKOV_Umsatzdaten_UmsAusw u;
        EXPECT_TRUE(helper.TagesabschnittLaden(CMandant, COrge, u, AFenster, ADatum));
        return Netto(u);
    }

    // The branch's opening hours that day in one section per opening window, counted without gaps.
    TKOV_Tagesabschnitte Oeffnungszeiten(TDate ADatum) {
        TBetriebskalenderMani kalender;
        TKOV_Tagesabschnitte zeiten;
        bool ausnahme = false;
        EXPECT_TRUE(kalender.BetriebszeitenFuerDatum_Laden(CMandant, COrge, ADatum, zeiten, ausnahme));
        return zeiten;
    }
    static TKOV_PEP_UmsatzAnzeigeOptionen Optionen(int AAnzahlVorjahre) {
        TKOV_PEP_UmsatzAnzeigeOptionen o;
        o.AnzahlVorjahre = AAnzahlVorjahre;
        o.Stundenweise = false;
        o.AbschnittMinuten = 240;
        o.Berechnungsmodus = bmLueckenlos;
        return o;
    }

    const std::vector<TRDLRegistrierteException>& Registriert() { return RDLInfo().Registrierte(); }
};

} // namespace

TEST_F(UmsatzauswertVergleich, VorgabenNachDemAnlegen) {
    TFassade f;
    EXPECT_EQ(f.FWahlmethodeVergleichstag, wvWochentagMitFeiertagen);
    EXPECT_TRUE(f.FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren);
}

// --- comparison days -----------------------------------------------------------

struct TVergleichstagFall {
    const char* Name;
    TKOV_UmsAusw_WahlVergleichsdatum Methode;
    TDate Datum;
    int Jahr;
    std::vector<TDate> Erwartet;
};

TEST_F(UmsatzauswertVergleich, VergleichstageJeWahlmethode) {
    TErwarteteAusnahmen erwartet{
        "TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base<...>.VergleichbarerWochentagMitFeiertagen"};
    FUmgebung.Db().Exec("UPDATE filiale SET bundesland = 'BY' WHERE filiale = 1");
    const std::vector<TVergleichstagFall> faelle = {
        {"29. Februar ohne Schalttag", wvGleichesDatum, D(29, 2, 2024), 2023, {D(28, 2, 2023)}},
        {"gleiches Datum mit Uhrzeit", wvGleichesDatum, D(9, 12, 2026) + U(15), 2025, {D(9, 12, 2025)}},
        {"gleicher Wochentag", wvGleicherWochentag, D(9, 12, 2026), 2025, {D(10, 12, 2025)}},
        {"Himmelfahrt im Vorjahr: eine Woche früher", wvWochentagMitFeiertagen, D(28, 5, 2026), 2025, {D(22, 5, 2025)}},
        {"Ostermontag", wvWochentagMitFeiertagen, D(6, 4, 2026), 2025, {D(21, 4, 2025)}},
        {"Neujahr in KW 53: erster Freitag des Zieljahres", wvGleicherWochentag, D(1, 1, 2021), 2020, {D(3, 1, 2020)}},
        {"Donnerstag der KW 53: gleiches Datum", wvGleicherWochentag, D(31, 12, 2026), 2025, {D(31, 12, 2025)}},
        {"Heiligabend ohne Ausnahmetag", wvWochentagMitFeiertagen, D(24, 12, 2026), 2025, {D(24, 12, 2025)}},
        {"Silvester ohne Schließtag", wvWochentagMitFeiertagen, D(31, 12, 2026), 2025, {D(31, 12, 2025)}},
        {"ungültiges Zieljahr", wvGleicherWochentag, D(9, 12, 2026), 0, {}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        TFassade f;
        f.FWahlmethodeVergleichstag = fall.Methode;
        EXPECT_EQ(f.VergleichbarerWochentagMitFeiertagen(fall.Jahr, CMandant, COrge, fall.Datum), fall.Erwartet);
    }
    ASSERT_EQ(Registriert().size(), 1u);
    EXPECT_EQ(Registriert()[0].TraceName,
              "TKOV_UmsatzAuswert_MitVerglVJTagen_Mani_Base<...>.VergleichbarerWochentagMitFeiertagen");
}

TEST_F(UmsatzauswertVergleich, SchliesstageAndererProgrammeZaehlenAbDemNaechstenLauf) {
    auto schliesstag = [&](TDate ATag) {
        auto st = FUmgebung.Db().Prepare("INSERT INTO feiertag (datum, filiale, name) VALUES (?, 1, 'Inventur')");
        st.Bind(1, ATag);
        st.Step();
    };
    auto vergleichstage = [&](TFassade& AFassade, TDate ATag) {
        TFassade::TUmsatzDatenMitVorjahre daten;
        AFassade.GetUmsatzMitVerglVJFuerTag(CMandant, COrge, 1, ATag, daten);
        return daten.Vergleichstage_Get(0);
    };
    TFassade f;
    EXPECT_EQ(vergleichstage(f, D(10, 6, 2026)), std::vector<TDate>{D(11, 6, 2025)});
    schliesstag(D(11, 6, 2025));
    // Asking for the same day again starts a new run: one week earlier now.
    EXPECT_EQ(vergleichstage(f, D(10, 6, 2026)), std::vector<TDate>{D(4, 6, 2025)});
    schliesstag(D(18, 6, 2025));
    f.CollectDataForZeitraum({D(17, 6, 2026), D(17, 6, 2026)}, {D(18, 6, 2025), D(18, 6, 2025)});
    // 18.06.2025 closed, 11.06.2025 as well: one week later.
    EXPECT_EQ(vergleichstage(f, D(17, 6, 2026)), std::vector<TDate>{D(25, 6, 2025)});
    EXPECT_TRUE(Registriert().empty());
}

TEST_F(UmsatzauswertVergleich, SchalttagWirdMitDem28FebruarVerglichen) {
    Verkauf(D(28, 2, 2023), 20);
    Verkauf(D(29, 2, 2024), 50);
    TFassade f;
    f.FWahlmethodeVergleichstag = wvGleichesDatum;
    TFassade::TUmsatzDatenMitVorjahre tag;
    f.GetUmsatzMitVerglVJFuerTag(CMandant, COrge, 1, D(29, 2, 2024), tag);
    ASSERT_EQ(tag.AnzahlVorjahresumsaetze(), 1);
    EXPECT_EQ(tag.Vergleichstage_Get(0), std::vector<TDate>{D(28, 2, 2023)});
    EXPECT_DOUBLE_EQ(Netto(tag.VorjahresUmsatz_Get(0)), 20);
    EXPECT_DOUBLE_EQ(Netto(tag.FRealerUmsatz), 50);
}

// --- a day beside its prior years ----------------------------------------------------

struct TDurchschnittFall {
    const char* Name;
    bool LeereIgnorieren;
    double Durchschnitt;
};

TEST_F(UmsatzauswertVergleich, DurchschnittLaesstLeereVorjahreNurAufWunschAus) {
    Verkauf(D(10, 6, 2026), 100);
    Verkauf(D(10, 6, 2025), 30);
    Verkauf(D(10, 6, 2023), 60); // 2024 without sales
    const std::vector<TDurchschnittFall> faelle = {
        {"leere Jahre ausgelassen", true, 45},
        {"leere Jahre mitgezählt", false, 30},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        TFassade f;
        f.FWahlmethodeVergleichstag = wvGleichesDatum;
        f.FLeereUmsaetzeBeiDurchschnittsbildungIgnorieren = fall.LeereIgnorieren;
        TFassade::TUmsatzDatenMitVorjahre tag;
        f.GetUmsatzMitVerglVJFuerTag(CMandant, COrge, 3, D(10, 6, 2026), tag);
        ASSERT_EQ(tag.AnzahlVorjahresumsaetze(), 3);
        EXPECT_DOUBLE_EQ(Netto(tag.VorjahresUmsatz_Get(0)), 30);
        EXPECT_TRUE(Op::IsEmpty(tag.VorjahresUmsatz_Get(1)));
        EXPECT_DOUBLE_EQ(Netto(tag.VorjahresUmsatz_Get(2)), 60);
        EXPECT_EQ(tag.Vergleichstage_Get(1), std::vector<TDate>{D(10, 6, 2024)});
        EXPECT_DOUBLE_EQ(Netto(tag.FDurchschnitt), fall.Durchschnitt);
        EXPECT_DOUBLE_EQ(Netto(tag.FRealerUmsatz), 100);
    }
    EXPECT_TRUE(Registriert().empty());
}

TEST_F(UmsatzauswertVergleich, OhneVorjahresumsaetzeBleibtDerDurchschnittLeer) {
    Verkauf(D(10, 6, 2026), 100);
    TFassade f;
    f.FWahlmethodeVergleichstag = wvGleichesDatum;
    TFassade::TUmsatzDatenMitVorjahre tag;
    f.GetUmsatzMitVerglVJFuerTag(CMandant, COrge, 2, D(10, 6, 2026), tag);
    EXPECT_TRUE(Op::IsEmpty(tag.VorjahresUmsatz_Get(0)));
    EXPECT_TRUE(Op::IsEmpty(tag.VorjahresUmsatz_Get(1)));
    EXPECT_TRUE(Op::IsEmpty(tag.FDurchschnitt));
    EXPECT_DOUBLE_EQ(Netto(tag.FRealerUmsatz), 100);
}

TEST_F(UmsatzauswertVergleich, NullVorjahreGebenNurDenTagSelbst) {
    Verkauf(D(10, 6, 2026), 100);
    Verkauf(D(10, 6, 2025), 30);
    TFassade f;
    TFassade::TUmsatzDatenMitVorjahre tag;
    f.GetUmsatzMitVerglVJFuerTag(CMandant, COrge, 0, D(10, 6, 2026), tag);
    EXPECT_EQ(tag.AnzahlVorjahresumsaetze(), 0);
    EXPECT_TRUE(tag.FVergleichstage.empty());
    EXPECT_TRUE(Op::IsEmpty(tag.FDurchschnitt));
    EXPECT_DOUBLE_EQ(Netto(tag.FRealerUmsatz), 100);
}

TEST_F(UmsatzauswertVergleich, ZweiVergleichstageErgebenIhrenMittelwert) {
    Verkauf(D(11, 6, 2025), 10);
    Verkauf(D(12, 6, 2025), 40);
    TFassade f;
    f.VergleichstagRechner_Set(std::make_unique<TFesteVergleichstage>(std::vector<TDate>{D(11, 6, 2025), D(12, 6, 2025)}));
    TFassade::TUmsatzDatenMitVorjahre tag;
    f.GetUmsatzMitVerglVJFuerTag(CMandant, COrge, 1, D(10, 6, 2026), tag);
    EXPECT_EQ(tag.Vergleichstage_Get(0), (std::vector<TDate>{D(11, 6, 2025), D(12, 6, 2025)}));
    EXPECT_DOUBLE_EQ(Netto(tag.VorjahresUmsatz_Get(0)), 25);
    EXPECT_DOUBLE_EQ(Netto(tag.FDurchschnitt), 25);
}

TEST_F(UmsatzauswertVergleich, ZeitraumMitVorjahrenHatJedenTagInReihenfolge) {
    for (int t = 1; t <= 3; ++t) Verkauf(D(t, 6, 2026), 10 * t);
    TFassade f;
    f.FWahlmethodeVergleichstag = wvGleichesDatum;
    TFassade::TAuswertungZeitraum zeitraum;
    f.GetUmsatzFuerZeitraum_MitVerglVJ(CMandant, COrge, 1, D(1, 6, 2026) + U(12), D(3, 6, 2026), zeitraum);
    ASSERT_EQ(zeitraum.Count(), 3);
    for (int t = 1; t <= 3; ++t) {
        EXPECT_DOUBLE_EQ(Netto(zeitraum.Items(t - 1)->FRealerUmsatz), 10 * t);
        EXPECT_EQ(zeitraum.Items(t - 1)->Vergleichstage_Get(0), std::vector<TDate>{D(t, 6, 2025)});
    }
    f.GetUmsatzFuerZeitraum_MitVerglVJ(CMandant, COrge, 1, D(3, 6, 2026), D(1, 6, 2026), zeitraum);
    EXPECT_EQ(zeitraum.Count(), 0);
}

// --- days, windows, periods ------------------------------------------------------------

struct TZeitraumFall {
    const char* Name;
    TDate Von;
    TDate Bis;
    double Erwartet;
};

TEST_F(UmsatzauswertVergleich, ZeitraumSummiertSeineTage) {
    for (int t = 1; t <= 3; ++t) Verkauf(D(t, 6, 2026), 10 * t);
    const std::vector<TZeitraumFall> faelle = {
        {"drei Tage", D(1, 6, 2026), D(3, 6, 2026), 60},
        {"ein Tag", D(2, 6, 2026), D(2, 6, 2026), 20},
        {"Uhrzeit zählt nicht", D(2, 6, 2026) + U(20), D(3, 6, 2026) + U(8), 50},
        {"Ende vor dem Beginn", D(3, 6, 2026), D(1, 6, 2026), 0},
    };
    TFassade f;
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        const auto u = f.GetUmsatzFuerZeitraum(CMandant, COrge, fall.Von, fall.Bis);
        EXPECT_DOUBLE_EQ(Netto(u), fall.Erwartet);
        EXPECT_EQ(Op::IsEmpty(u), fall.Erwartet == 0);
    }
}

TEST_F(UmsatzauswertVergleich, EinmalBerechneteTageKommenAusDerStatistik) {
    Verkauf(D(2, 6, 2026), 10, U(10));
    Verkauf(D(2, 6, 2026), 20, U(15));
    const TKOV_Tageszeitraum nachmittag{U(14), U(18)};
    TFassade f;
    EXPECT_DOUBLE_EQ(Netto(f.GetUmsatzFuerTag(CMandant, COrge, D(2, 6, 2026))), 30);
    EXPECT_DOUBLE_EQ(Netto(f.GetUmsatzFuerTagesZeitraum(CMandant, COrge, D(2, 6, 2026), nachmittag)), 20);
    Verkauf(D(2, 6, 2026), 5, U(16)); // booked figures stand until the statistics are updated
    EXPECT_DOUBLE_EQ(Netto(f.GetUmsatzFuerTag(CMandant, COrge, D(2, 6, 2026))), 30);
    EXPECT_DOUBLE_EQ(Netto(f.GetUmsatzFuerTagesZeitraum(CMandant, COrge, D(2, 6, 2026), nachmittag)), 20);
}

TEST_F(UmsatzauswertVergleich, OhneGebauteStatistikWirdNichtsGebucht) {
    FUmgebung.Db().Exec("DELETE FROM umsv");
    Verkauf(D(2, 6, 2026), 10);
    TFassade f;
    EXPECT_DOUBLE_EQ(Netto(f.GetUmsatzFuerTag(CMandant, COrge, D(2, 6, 2026))), 10);
    auto st = FUmgebung.Db().Prepare("SELECT COUNT(*) FROM umst");
    st.Step();
    EXPECT_EQ(st.ColInt(0), 0);
}

TEST_F(UmsatzauswertVergleich, TagNurAlsGanztagInDerStatistikWirdNeuBerechnetUndGanzGebucht) {
    const TDate tag = D(2, 6, 2026);
    Verkauf(tag, 10, U(10));
    Verkauf(tag, 20, U(15));
    TFassade f;
    EXPECT_DOUBLE_EQ(Netto(f.GetUmsatzFuerTag(CMandant, COrge, tag)), 30); // books the whole day only
    ASSERT_EQ(GebuchteFenster(tag), 0);
    Verkauf(tag, 5, U(16));

    TTag daten(Oeffnungszeiten(tag), Optionen(1));
    ASSERT_EQ(daten.Count(), 2);
    f.GetUmsatzDatenFuerTag(CMandant, COrge, tag, daten);
    EXPECT_DOUBLE_EQ(Netto(daten.FGesamtUmsatz), 35); // from the lines, not the booked 30
    EXPECT_DOUBLE_EQ(Netto(daten.Abschnitt(0).Umsatz), 10);
    EXPECT_DOUBLE_EQ(Netto(daten.Abschnitt(1).Umsatz), 25);
    EXPECT_EQ(GebuchteFenster(tag), 2);
    EXPECT_DOUBLE_EQ(GebuchtesFenster(tag, daten.Abschnitt(0).ZeitraumUmsatzberechnung), 10);
    EXPECT_DOUBLE_EQ(GebuchtesFenster(tag, daten.Abschnitt(1).ZeitraumUmsatzberechnung), 25);

    Verkauf(tag, 7, U(11)); // now the day is complete in the statistics and read from there
    TTag nochmal(Oeffnungszeiten(tag), Optionen(1));
    f.GetUmsatzDatenFuerTag(CMandant, COrge, tag, nochmal);
    EXPECT_DOUBLE_EQ(Netto(nochmal.FGesamtUmsatz), 35);
    EXPECT_DOUBLE_EQ(Netto(nochmal.Abschnitt(0).Umsatz), 10);
    EXPECT_TRUE(Registriert().empty());
}

// --- a day in sections beside its prior years ------------------------------------------

TEST_F(UmsatzauswertVergleich, TagesdatenMitVorjahrenJeAbschnitt) {
    const TDate tag = D(10, 6, 2026);
    Verkauf(tag, 100, U(10));
    Verkauf(tag, 200, U(15));
    Verkauf(D(10, 6, 2025), 30, U(10));
    Verkauf(D(10, 6, 2025), 60, U(17));
    Verkauf(D(10, 6, 2023), 90, U(12)); // 2024 without sales
    TFassade f;
    f.FWahlmethodeVergleichstag = wvGleichesDatum;
    TFassade::TTagUndVorjahre daten;
    f.GetUmsatzTagesdatenMitVerglVJTagenFuerFiliale(CMandant, COrge, tag, Oeffnungszeiten(tag), Optionen(3), daten);

    ASSERT_EQ(daten.AnzahlVorjahre(), 3);
    EXPECT_EQ(daten.FRealerUmsatz->FDatum, tag);
    EXPECT_DOUBLE_EQ(Netto(daten.FRealerUmsatz->Abschnitt(0).Umsatz), 100);
    EXPECT_DOUBLE_EQ(Netto(daten.FRealerUmsatz->Abschnitt(1).Umsatz), 200);
    const auto& vj0 = *daten.FVorjahresUmsaetze->Items(0);
    EXPECT_EQ(vj0.FVergleichstage, std::vector<TDate>{D(10, 6, 2025)});
    EXPECT_DOUBLE_EQ(Netto(vj0.Abschnitt(0).Umsatz), 30);
    EXPECT_DOUBLE_EQ(Netto(vj0.Abschnitt(1).Umsatz), 60);
    EXPECT_TRUE(Op::IsEmpty(daten.FVorjahresUmsaetze->Items(1)->FGesamtUmsatz));
    // Average of the two years with sales, section by section.
    ASSERT_EQ(daten.FDurchschnitt->Count(), 2);
    EXPECT_DOUBLE_EQ(Netto(daten.FDurchschnitt->Abschnitt(0).Umsatz), 60);
    EXPECT_DOUBLE_EQ(Netto(daten.FDurchschnitt->Abschnitt(1).Umsatz), 30);
    EXPECT_DOUBLE_EQ(Netto(daten.FDurchschnitt->FGesamtUmsatz), 90);
    // Prior-year days are booked under the day's counting windows.
    EXPECT_EQ(GebuchteFenster(D(10, 6, 2025)), 2);
    EXPECT_DOUBLE_EQ(GebuchtesFenster(D(10, 6, 2023), daten.FRealerUmsatz->Abschnitt(0).ZeitraumUmsatzberechnung), 90);
    EXPECT_TRUE(Registriert().empty());
}

TEST_F(UmsatzauswertVergleich, TagesdatenMittelnZweiVergleichstageJeAbschnitt) {
    Verkauf(D(11, 6, 2025), 10, U(10));
    Verkauf(D(12, 6, 2025), 40, U(10));
    Verkauf(D(12, 6, 2025), 8, U(16));
    TFassade f;
    f.VergleichstagRechner_Set(std::make_unique<TFesteVergleichstage>(std::vector<TDate>{D(11, 6, 2025), D(12, 6, 2025)}));
    TFassade::TTagUndVorjahre daten;
    const TDate tag = D(10, 6, 2026);
    f.GetUmsatzTagesdatenMitVerglVJTagenFuerFiliale(CMandant, COrge, tag, Oeffnungszeiten(tag), Optionen(1), daten);
    const auto& vj = *daten.FVorjahresUmsaetze->Items(0);
    EXPECT_EQ(vj.FVergleichstage, (std::vector<TDate>{D(11, 6, 2025), D(12, 6, 2025)}));
    EXPECT_DOUBLE_EQ(Netto(vj.Abschnitt(0).Umsatz), 25);
    EXPECT_DOUBLE_EQ(Netto(vj.Abschnitt(1).Umsatz), 4);
    EXPECT_DOUBLE_EQ(Netto(vj.FGesamtUmsatz), 29);
}

// --- productive hours -------------------------------------------------------------------

struct TStundenFall {
    const char* Name;
    TKOV_ZeitenAuswahl Auswahl;
    TDateTime Von;
    TDateTime Bis;
    double Stunden;
};

TEST_F(UmsatzauswertVergleich, ProduktiveStundenJeAuswahlUndFenster) {
    const TDate tag = D(2, 6, 2026);
    auto buchung = [&](int AGep, int AArt, TDateTime AVon, TDateTime ABis, double ADauerStd, double AZusatzStd) {
        auto st = FUmgebung.Db().Prepare("INSERT INTO zeitbuchung (filiale, datum, gep_a, gep_b, nr, zeitart, von, bis,"
                                         " dauer, zusatzdauer) VALUES (1, ?, 9, ?, 1, ?, ?, ?, ?, ?)");
        st.Bind(1, tag);
        st.Bind(2, int64_t(AGep));
        st.Bind(3, int64_t(AArt));
        st.Bind(4, AVon);
        st.Bind(5, ABis);
        st.Bind(6, ADauerStd / 24);
        st.Bind(7, AZusatzStd / 24);
        st.Step();
    };
    buchung(1, CKOV_Zeitart_Produktiv, U(9), U(13), 4, 0);
    buchung(2, CKOV_Zeitart_Produktiv, U(14), U(18), 3.5, 0.5);
    buchung(3, CKOV_Zeitart_Sonstige, U(8), U(10), 2, 0);
    const std::vector<TStundenFall> faelle = {
        {"produktiv, ganze Buchungen", zaProduktiv, 0, 0, 7.5},
        {"alle Arbeit", zaArbeit, 0, 0, 9.5},
        {"Fenster 12-15 Uhr", zaProduktiv, U(12), U(15), 1 + (0.5 + 1)},
        {"Fenster ohne Buchung zählt negativ", zaProduktiv, U(10), U(11), 1 + (0.5 - 3)},
        {"unbekannte Auswahl", 9, 0, 0, 0},
    };
    TFassade f;
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        const double h = fall.Von == 0 && fall.Bis == 0
                             ? f.GetProdArbeitstundenFuerTag(CMandant, COrge, tag, fall.Auswahl)
                             : f.GetProdArbeitstundenFuerTagesZeitraum(CMandant, COrge, tag, fall.Von, fall.Bis,
                                                                        fall.Auswahl);
        EXPECT_NEAR(h, fall.Stunden, 1e-9);
    }
    EXPECT_DOUBLE_EQ(f.GetProdArbeitstundenFuerTag(CMandant, {1, 99}, tag, zaArbeit), 0); // unknown branch
}
