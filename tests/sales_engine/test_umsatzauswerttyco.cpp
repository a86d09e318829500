// The engine's values: a day cut into sections and the windows sales count in, counting
// a sale, consistency, averages, days beside prior years and their sum over a period.
#include "umsatzauswerttyco.h"
#include "rdldatum.h"
#include "erwarteteausnahmen.h"
#include "testumgebung.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Op = TKOV_UmsDataOperator_UmsAusw;
using TDaten = TKOV_Umsatzdaten_UmsAusw;
using TTag = TKOV_Umsatz_Tagesauswertung<TDaten, Op>;
using TTagListe = TKOV_Umsatz_TagesauswertungenListe<TDaten, Op>;
using TMitVJ = TKOV_UmsatzDatenMitVorjahre<TDaten, Op>;
using TTagMitVJ = TKOV_Umsatz_TagUndVerglVorjahrestage_Auswertung<TDaten, Op>;
using TZeitraum = TKOV_PEP_UmsatzAuswertungZeitraum<TDaten, Op>;

const TDate CTag = EncodeDate(2026, 12, 7);

TDateTime U(int AStunde, int AMinute = 0) { return EncodeTime(AStunde, AMinute); }

// Figures with one value: the net article sales of group A.
TDaten Umsatz(double ABetrag) {
    TDaten d;
    d.Wert(ugA, ufNettoArtikel) = ABetrag;
    return d;
}
double Netto(const TDaten& D) { return D.Wert(ugA, ufNettoArtikel); }

TKOV_Tagesabschnitte Oeffnung(std::initializer_list<std::pair<TDateTime, TDateTime>> AFenster) {
    TKOV_Tagesabschnitte a;
    a.Datum = CTag;
    for (auto [von, bis] : AFenster) a.Add(von, bis);
    return a;
}

TKOV_PEP_UmsatzAnzeigeOptionen Optionen(TKOV_PEP_Berechnungsmodus AModus, int ARand = 0, int AMinuten = 0) {
    TKOV_PEP_UmsatzAnzeigeOptionen o;
    o.Init();
    o.Berechnungsmodus = AModus;
    o.RandMinuten = ARand;
    o.Stundenweise = AMinuten == 0;
    o.AbschnittMinuten = AMinuten;
    return o;
}

std::string Uhr(TDateTime AZeit) {
    const int m = int(std::lround(AZeit * 1440));
    char t[16];
    std::snprintf(t, sizeof t, "%02d:%02d", m / 60, m % 60);
    return t;
}

// "09:00-10:00/00:00-10:00 ..." : shown window, then counting window, per section.
std::string Abschnitte(const TTag& ATag) {
    std::ostringstream s;
    for (int i = 0; i < ATag.Count(); ++i) {
        const auto& a = ATag.Abschnitt(i);
        if (i) s << ' ';
        s << Uhr(a.ZeitraumAnzeige.Von) << '-' << Uhr(a.ZeitraumAnzeige.Bis) << '/'
          << Uhr(a.ZeitraumUmsatzberechnung.Von) << '-' << Uhr(a.ZeitraumUmsatzberechnung.Bis);
    }
    return s.str();
}

// Sections given as "shown/counting" windows, in the given order.
void Setzen(TTag& ATag, std::initializer_list<std::array<TDateTime, 4>> AAbschnitte) {
    TKOV_Tagesabschnitte a = Oeffnung({});
    for (const auto& f : AAbschnitte) a.Add(f[0], f[1]);
    ATag.BuildFromAbschnitte(a);
    int i = 0;
    for (const auto& f : AAbschnitte) ATag.Abschnitt(i++).ZeitraumUmsatzberechnung = {f[2], f[3]};
}

class Umsatzwerte : public ::testing::Test {
protected:
    TTestUmgebung FUmgebung{false};
    const std::vector<TRDLRegistrierteException>& Registriert() { return RDLInfo().Registrierte(); }
};

} // namespace

// --- sections of a day -------------------------------------------------------

struct TAbschnittsFall {
    const char* Name;
    TKOV_Tagesabschnitte Oeffnungszeiten;
    TKOV_PEP_UmsatzAnzeigeOptionen Optionen;
    std::string Erwartet;
};

TEST_F(Umsatzwerte, AbschnitteZaehlenInDenFensternDesModus) {
    const auto vormNachm = Oeffnung({{U(9), U(12)}, {U(14), U(18)}});
    const TAbschnittsFall faelle[] = {
        {"lückenlos: Rand bis Mitternacht, Lücke an ihrer Mitte geteilt", vormNachm, Optionen(bmLueckenlos, 0, 60),
         "09:00-10:00/00:00-10:00 10:00-11:00/10:00-11:00 11:00-12:00/11:00-13:00 14:00-15:00/13:00-15:00 "
         "15:00-16:00/15:00-16:00 16:00-17:00/16:00-17:00 17:00-18:00/17:00-24:00"},
        {"mit Rand 30", vormNachm, Optionen(bmMitRand, 30),
         "09:00-10:00/08:30-10:00 10:00-11:00/10:00-11:00 11:00-12:00/11:00-12:30 14:00-15:00/13:30-15:00 "
         "15:00-16:00/15:00-16:00 16:00-17:00/16:00-17:00 17:00-18:00/17:00-18:30"},
        {"mit Rand 90: Nachbarn treffen sich an der Mitte", vormNachm, Optionen(bmMitRand, 90),
         "09:00-10:00/07:30-10:00 10:00-11:00/10:00-11:00 11:00-12:00/11:00-13:00 14:00-15:00/13:00-15:00 "
         "15:00-16:00/15:00-16:00 16:00-17:00/16:00-17:00 17:00-18:00/17:00-19:30"},
        {"nur der Abschnitt", vormNachm, Optionen(bmAbschnitt, 0, 120),
         "09:00-11:00/09:00-11:00 11:00-12:00/11:00-12:00 14:00-16:00/14:00-16:00 16:00-18:00/16:00-18:00"},
        {"ein Stück lückenlos: eigenes Ende", Oeffnung({{U(8), U(9)}, {U(14), U(16)}}), Optionen(bmLueckenlos),
         "08:00-09:00/00:00-09:00 14:00-15:00/09:00-15:00 15:00-16:00/15:00-24:00"},
        {"ein Stück mit Rand: eigenes Ende", Oeffnung({{U(8), U(9)}}), Optionen(bmMitRand, 30),
         "08:00-09:00/07:30-09:00"},
        {"ein Stück nur Abschnitt", Oeffnung({{U(8), U(9)}}), Optionen(bmAbschnitt), "08:00-09:00/08:00-09:00"},
        {"Rand über Mitternacht hinaus an beiden Enden", Oeffnung({{U(0, 30), U(1, 30)}, {U(22), U(23, 30)}}),
         Optionen(bmMitRand, 60),
         "00:30-01:00/00:00-01:00 01:00-01:30/01:00-02:30 22:00-23:00/21:00-23:00 23:00-23:30/23:00-24:00"},
        {"unbekannter Modus zählt ab und bis 0", Oeffnung({{U(9), U(11)}}), Optionen(TKOV_PEP_Berechnungsmodus(7)),
         "09:00-10:00/00:00-10:00 10:00-11:00/10:00-00:00"},
        {"keine Öffnungszeiten", Oeffnung({}), Optionen(bmLueckenlos), ""},
    };
    for (const auto& f : faelle) {
        const TTag tag(f.Oeffnungszeiten, f.Optionen);
        EXPECT_EQ(Abschnitte(tag), f.Erwartet) << f.Name;
        EXPECT_EQ(tag.FDatum, CTag) << f.Name;
    }
    // A margin that just reaches midnight ends exactly at 1.0, whatever the rounding.
    for (int stunde = 13; stunde <= 23; ++stunde) {
        const TTag tag(Oeffnung({{U(9), U(stunde)}}), Optionen(bmMitRand, 60 * (24 - stunde)));
        EXPECT_EQ(tag.Abschnitt(tag.Count() - 1).ZeitraumUmsatzberechnung.Bis, 1.0) << stunde;
    }
    const TTag ohneOptionen(vormNachm);
    EXPECT_EQ(Abschnitte(ohneOptionen), "09:00-12:00/09:00-12:00 14:00-18:00/14:00-18:00");
    EXPECT_TRUE(Registriert().empty());
}

TEST_F(Umsatzwerte, EinVerkaufZaehltInJedemPassendenFensterUndImmerImGanzenTag) {
    TTag tag;
    Setzen(tag, {{U(9), U(11), U(9), U(11)}, {U(10), U(12), U(10), U(12)}});
    struct {
        TDateTime Uhrzeit;
        double Betrag, Erst, Zweit;
    } const faelle[] = {
        {U(10, 30), 10, 10, 10},                 // both overlapping windows
        {CTag + U(11), 100, 100, 100},           // a shared bound belongs to both; the date part is ignored
        {U(9), 1000, 1000, 0},                   // a start bound counts
        {U(13), 10000, 0, 0},                    // outside every window: the whole day only
    };
    double gesamt = 0, erst = 0, zweit = 0;
    for (const auto& f : faelle) {
        tag.AddUmsatz(f.Uhrzeit, Umsatz(f.Betrag));
        gesamt += f.Betrag, erst += f.Erst, zweit += f.Zweit;
        EXPECT_EQ(Netto(tag.FGesamtUmsatz), gesamt);
        EXPECT_EQ(Netto(tag.Abschnitt(0).Umsatz), erst);
        EXPECT_EQ(Netto(tag.Abschnitt(1).Umsatz), zweit);
    }
    tag.UmsaetzeClear();
    EXPECT_TRUE(Op::IsEmpty(tag.FGesamtUmsatz));
    EXPECT_TRUE(Op::IsEmpty(tag.Abschnitt(1).Umsatz));
    EXPECT_EQ(tag.Count(), 2);
}

TEST_F(Umsatzwerte, KonsistenzSortiertUndMeldetDenErstenFehler) {
    TErwarteteAusnahmen erwartet{"TKOV_Umsatz_Tagesauswertung.KonsistenzSicherstellen"};
    const std::string datum = DateToStr(CTag);
    struct {
        const char* Name;
        std::initializer_list<std::array<TDateTime, 4>> Abschnitte;
        bool Ueberschneidungen;
        std::string Meldung; // empty: consistent
    } const faelle[] = {
        {"unsortiert, sonst gut", {{U(14), U(15), U(13), U(15)}, {U(9), U(10), U(0), U(10)}}, true, ""},
        {"gezeigte Fenster überschneiden sich, nicht geprüft", {{U(9), U(11), U(9), U(11)}, {U(10), U(12), U(10), U(12)}},
         false, ""},
        {"gezeigte Fenster überschneiden sich", {{U(9), U(11), U(9), U(11)}, {U(10), U(12), U(10), U(12)}}, true,
         RDLInfo().MeldungsText("PEP", 1902, {datum})},
        {"Zählfenster überschneiden sich", {{U(9), U(10), U(8), U(10, 30)}, {U(10), U(11), U(10), U(11)}}, true,
         RDLInfo().MeldungsText("PEP", 1905, {datum})},
        {"gezeigtes Fenster verkehrt", {{U(12), U(9), U(8), U(13)}}, false,
         RDLInfo().MeldungsText("PEP", 1900, {datum, DateTimeToStr(CTag + U(12)), DateTimeToStr(CTag + U(9))})},
        {"Zählfenster verkehrt", {{U(9), U(12), U(13), U(8)}}, false,
         RDLInfo().MeldungsText("PEP", 1904, {datum, DateTimeToStr(CTag + U(13)), DateTimeToStr(CTag + U(8))})},
    };
    for (const auto& f : faelle) {
        RDLInfo().RegistrierteLeeren();
        TTag tag;
        Setzen(tag, f.Abschnitte);
        EXPECT_EQ(tag.KonsistenzSicherstellen(f.Ueberschneidungen), f.Meldung.empty()) << f.Name;
        for (int i = 1; i < tag.Count(); ++i)
            EXPECT_LE(tag.Abschnitt(i - 1).ZeitraumAnzeige.Von, tag.Abschnitt(i).ZeitraumAnzeige.Von) << f.Name;
        if (f.Meldung.empty()) {
            EXPECT_TRUE(Registriert().empty()) << f.Name;
        } else {
            ASSERT_EQ(Registriert().size(), 1u) << f.Name;
            EXPECT_EQ(Registriert()[0].TraceName, "TKOV_Umsatz_Tagesauswertung.KonsistenzSicherstellen");
            EXPECT_EQ(Registriert()[0].Text, f.Meldung) << f.Name;
        }
    }
}

TEST_F(Umsatzwerte, FruehesterBeginnUndSpaetestesEnde) {
    TErwarteteAusnahmen erwartet{"TKOV_Umsatz_Tagesauswertung.GetFruehesteVonZeit",
                                 "TKOV_Umsatz_Tagesauswertung.GetSpaetesteBisZeit"};
    TTag tag;
    EXPECT_EQ(tag.GetFruehesteVonZeit(), 0);
    EXPECT_EQ(tag.GetSpaetesteBisZeit(), 0);
    ASSERT_EQ(Registriert().size(), 2u);
    EXPECT_EQ(Registriert()[0].TraceName, "TKOV_Umsatz_Tagesauswertung.GetFruehesteVonZeit");
    tag.BuildFromAbschnitte(Oeffnung({{U(9), U(12)}, {U(14), U(18)}}), Optionen(bmLueckenlos));
    EXPECT_EQ(tag.GetFruehesteVonZeit(), U(9));
    EXPECT_EQ(tag.GetSpaetesteBisZeit(), U(18));
}

TEST_F(Umsatzwerte, KopieDerAbschnitteLaesstTagUndGesamtumsatz) {
    TTag quelle(Oeffnung({{U(9), U(11)}}), Optionen(bmLueckenlos));
    quelle.AddUmsatz(U(9, 30), Umsatz(5));
    TTag ziel;
    ziel.FDatum = CTag - 365;
    ziel.FGesamtUmsatz = Umsatz(7);
    ziel.FVergleichstage = {CTag - 365};
    ziel.CloneOtherList(quelle);
    EXPECT_EQ(Abschnitte(ziel), Abschnitte(quelle));
    EXPECT_EQ(Netto(ziel.Abschnitt(0).Umsatz), 5);
    EXPECT_EQ(ziel.FDatum, CTag - 365);
    EXPECT_EQ(Netto(ziel.FGesamtUmsatz), 7);
    ziel.ClearAll();
    EXPECT_EQ(ziel.Count(), 0);
    EXPECT_EQ(ziel.FDatum, 0);
    EXPECT_TRUE(Op::IsEmpty(ziel.FGesamtUmsatz));
    EXPECT_TRUE(ziel.FVergleichstage.empty());
    EXPECT_EQ(quelle.Count(), 2); // the copies are the target's own
}

// --- averages ------------------------------------------------------------------

TEST_F(Umsatzwerte, DurchschnittDerTageMitUndOhneLeereTage) {
    TTagListe liste;
    // Three days with the sections 09-10 and 10-11: 100 in the first section, nothing, 50 in the second.
    for (const auto& [zeit, betrag] : std::initializer_list<std::pair<TDateTime, double>>{{U(9, 30), 100}, {0, 0}, {U(10, 30), 50}}) {
        auto tag = std::make_unique<TTag>(Oeffnung({{U(9), U(11)}}), Optionen(bmAbschnitt));
        if (betrag) tag->AddUmsatz(zeit, Umsatz(betrag));
        liste.Add(tag.release());
    }
    struct {
        bool Ignorieren;
        double Gesamt, Erst, Zweit;
    } const faelle[] = {{true, 75, 50, 25}, {false, 50, 100.0 / 3, 50.0 / 3}};
    for (const auto& f : faelle) {
        TTag schnitt;
        schnitt.FVergleichstage = {CTag};
        liste.BildeDurchschnitt(schnitt, f.Ignorieren);
        ASSERT_EQ(schnitt.Count(), 2);
        EXPECT_DOUBLE_EQ(Netto(schnitt.FGesamtUmsatz), f.Gesamt);
        EXPECT_DOUBLE_EQ(Netto(schnitt.Abschnitt(0).Umsatz), f.Erst);
        EXPECT_DOUBLE_EQ(Netto(schnitt.Abschnitt(1).Umsatz), f.Zweit);
        EXPECT_TRUE(schnitt.FVergleichstage.empty());
    }

    TTagListe leer;
    leer.Add(new TTag(Oeffnung({{U(9), U(11)}}), Optionen(bmAbschnitt)));
    TTag schnitt;
    schnitt.FGesamtUmsatz = Umsatz(1);
    leer.BildeDurchschnitt(schnitt, true);
    EXPECT_EQ(schnitt.Count(), 2); // the sections, without figures
    EXPECT_TRUE(Op::IsEmpty(schnitt.FGesamtUmsatz));
    TTagListe().BildeDurchschnitt(schnitt, true); // an empty list changes nothing
    EXPECT_EQ(schnitt.Count(), 2);
    EXPECT_TRUE(Registriert().empty());
}

// --- a day beside its prior years -------------------------------------------------

TEST_F(Umsatzwerte, TagMitVorjahrenZugriffUndLeere) {
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzDatenMitVorjahre.VorjahresUmsatz_Get",
                                 "TKOV_UmsatzDatenMitVorjahre.Vergleichstage_Get"};
    TMitVJ d(2);
    EXPECT_EQ(d.AnzahlVorjahresumsaetze(), 2);
    EXPECT_TRUE(d.IsEmpty());
    d.VorjahresUmsatz_Set(1, Umsatz(3));
    d.Vergleichstage_Set(1, {CTag - 728, CTag - 721});
    EXPECT_FALSE(d.IsEmpty()); // the actual figure is empty, a prior year is not
    EXPECT_EQ(Netto(d.VorjahresUmsatz_Get(1)), 3);
    EXPECT_EQ(d.Vergleichstage_Get(1).size(), 2u);
    EXPECT_TRUE(Op::IsEmpty(d.VorjahresUmsatz_Get(2)));
    EXPECT_TRUE(d.Vergleichstage_Get(-1).empty());
    EXPECT_EQ(Registriert().size(), 2u);
    d.Init(1);
    EXPECT_TRUE(d.IsEmpty());
    EXPECT_TRUE(d.Vergleichstage_Get(0).empty());
    d.FDurchschnitt = Umsatz(1);
    EXPECT_FALSE(d.IsEmpty());
}

TEST_F(Umsatzwerte, SummeEinesZeitraumsLaesstUnpassendeTageAus) {
    TErwarteteAusnahmen erwartet{"TKOV_UmsatzDatenMitVorjahre.Add"};
    TZeitraum zeitraum;
    TMitVJ summe(3);
    summe.FRealerUmsatz = Umsatz(9);
    zeitraum.Summe_Get(summe);
    EXPECT_EQ(summe.AnzahlVorjahresumsaetze(), 0);
    EXPECT_TRUE(summe.IsEmpty());

    for (int vorjahre : {2, 1, 2}) {
        auto tag = std::make_unique<TMitVJ>(vorjahre);
        tag->FRealerUmsatz = Umsatz(10);
        tag->FDurchschnitt = Umsatz(1);
        tag->VorjahresUmsatz_Set(vorjahre - 1, Umsatz(100));
        tag->Vergleichstage_Set(0, {CTag - 364});
        zeitraum.Add(tag.release());
    }
    zeitraum.Summe_Get(summe);
    EXPECT_EQ(summe.AnzahlVorjahresumsaetze(), 2);
    EXPECT_EQ(Netto(summe.FRealerUmsatz), 20);
    EXPECT_EQ(Netto(summe.FDurchschnitt), 2);
    EXPECT_EQ(Netto(summe.VorjahresUmsatz_Get(0)), 0);
    EXPECT_EQ(Netto(summe.VorjahresUmsatz_Get(1)), 200);
    EXPECT_TRUE(summe.Vergleichstage_Get(0).empty()); // comparison days are not summed
    ASSERT_EQ(Registriert().size(), 1u);
    EXPECT_EQ(Registriert()[0].TraceName, "TKOV_UmsatzDatenMitVorjahre.Add");
    EXPECT_EQ(Registriert()[0].Text, RDLInfo().MeldungsText("STANDARD", 991, {"Längen passen nicht"}));
}

TEST_F(Umsatzwerte, TagMitVorjahrenAusOeffnungszeiten) {
    auto optionen = Optionen(bmLueckenlos);
    optionen.AnzahlVorjahre = 2;
    TTagMitVJ d(Oeffnung({{U(9), U(11)}}), optionen);
    ASSERT_EQ(d.AnzahlVorjahre(), 2);
    EXPECT_EQ(Abschnitte(*d.FRealerUmsatz), "09:00-10:00/00:00-10:00 10:00-11:00/10:00-24:00");
    for (int k = 0; k < 2; ++k) EXPECT_EQ(Abschnitte(*d.FVorjahresUmsaetze->Items(k)), Abschnitte(*d.FRealerUmsatz));
    EXPECT_EQ(d.FDurchschnitt->Count(), 0);

    d.FRealerUmsatz->AddUmsatz(U(10, 30), Umsatz(4));
    d.FVorjahresUmsaetze->Items(1)->AddUmsatz(U(10, 30), Umsatz(6));
    d.FVorjahresUmsaetze->Items(1)->FVergleichstage = {CTag - 728};
    TMitVJ abschnitt, gesamt;
    d.UmsaetzeAbschnitt_Get(1, abschnitt); // the average has no sections yet: empty
    d.GesamtUmsaetze_Get(gesamt);
    for (const TMitVJ* m : {&abschnitt, &gesamt}) {
        ASSERT_EQ(m->AnzahlVorjahresumsaetze(), 2);
        EXPECT_EQ(Netto(m->FRealerUmsatz), 4);
        EXPECT_EQ(Netto(m->VorjahresUmsatz_Get(1)), 6);
        EXPECT_TRUE(Op::IsEmpty(m->VorjahresUmsatz_Get(0)));
        EXPECT_TRUE(Op::IsEmpty(m->FDurchschnitt));
        EXPECT_EQ(m->Vergleichstage_Get(1), TArray<TDate>{CTag - 728});
    }
    EXPECT_TRUE(Registriert().empty());

    d.BuildFrom(0);
    EXPECT_EQ(d.AnzahlVorjahre(), 0);
    EXPECT_EQ(d.FRealerUmsatz->Count(), 0);
}
