// The statistics engine for the shipping-branch evaluation: its file umstvf built and
// brought up to date from the sales lines (online platforms, returns, other items), the
// figures of a day per platform and kind, and its independence from the sales
// evaluation's statistics on the same database.
#include "umsatzmani_versfilausw.h"
#include "umsatzstatistik_testhilfen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TVFDaten = TKOV_Umsatzdaten_Erw_VersFilAusw;
using TUmszVF = TKOV_UmsatzUmszMani_VersFilAusw;
using TUmszUmsAusw = TKOV_Umsatz_UmszMani_UmsAusw;

const TDate CTag1 = EncodeDate(2026, 12, 1); // a Tuesday
constexpr int CTage = 10;
const TIntPair CVersand{1, 2}; // branch 2 of client 1: the shipping branch

// One position of a receipt.
struct TPos {
    std::string Satzart = "VK";
    int Herkunft = 0;
    int Menge = 1;
    double Betrag = 0, Betrag2 = 0, EK = 0;
    bool Artikel = true; // else a service, voucher or fee: no product, no article number
};

// The tills, with receipts of whole positions.
struct TVersandKassen : TKassen {
    void Beleg(TRDLDatenbank& ADb, TIntPair AMandant, int ARechner, int AFiliale, TDate ATag, double AUhr,
               const std::vector<TPos>& APositionen) {
        BelegMit(ADb, AMandant, ARechner, AFiliale, ATag, AUhr, APositionen.size(), [&](TZeile& z, size_t p) {
            const TPos& pos = APositionen[p];
            z.Satzart = pos.Satzart;
            z.Betrag = pos.Betrag;
            z.ProdId = {pos.Artikel ? 100 + int(p) : 0, 0, 0};
            z.Herkunft = pos.Herkunft;
            z.Menge = pos.Menge;
            z.Betrag2 = pos.Betrag2;
            z.ArtNr = pos.Artikel ? "A-" + std::to_string(p) : "";
            z.EK = pos.EK;
        });
    }
};

// The receipts of the shipping branch on day t: online sales on platforms 7 and 53 with
// a shipping fee, stationary sales, and after closing a return, a voided online line and
// a price correction; on the first day also an opening balance, a no-sale record and an
// origin outside the platforms.
void VersandBelege(TRDLDatenbank& ADb, TVersandKassen& K, int t) {
    const TDate d = CTag1 + t;
    K.Beleg(ADb, CMandant1, 21, 2, d, Uhr(10, 15),
            {{"VK", 7, 2, 40.0 + t, 47.0 + t, 18}, {"VK", 7, 1, 4.9, 0, 0, false}});
    K.Beleg(ADb, CMandant1, 21, 2, d, Uhr(15, 40), {{"VK", 53, 1, 25, 29.75, 11}, {"VK", 0, 3, 30, 35.7, 12}});
    K.Beleg(ADb, CMandant1, 21, 2, d, Uhr(19, 30),
            {{"RE", 7, -1, -20, -23.8, -9}, {"VK", 53, -1, -25, -29.75, -11}, {"VK", 0, 0, -3, 0, 0, false}});
    if (t == 0)
        K.Beleg(ADb, CMandant1, 21, 2, d, Uhr(8, 0),
                {{"EB", 0, 5, 500, 500, 250}, {"ME", 7, 0, 0, 0, 0}, {"VK", 60, 1, 9, 10.71, 4}});
}

// Clients 1/1 (branch 1, and the shipping branch 2) and 2/1 (branch 3); computers 11 and
// 12 in branch 1 (12 also writes for client 2), 21 in branch 2, 31 in branch 3. Today is
// the day after the tenth day of receipts.
void InstallationAnlegen(TTestUmgebung& U, TVersandKassen& K) {
    U.Installation(1, "ODRIKS00");
    U.Mandant(1, 1, "Nord");
    U.Mandant(2, 1, "Süd");
    U.Filiale(1, 1, 1, "Hauptstraße");
    U.Filiale(2, 1, 1, "Versand Online");
    U.Filiale(3, 2, 1, "Marktplatz");
    U.Db().Exec("UPDATE filiale SET versandfiliale = 1 WHERE filiale = 2");
    U.Db().Exec("INSERT INTO rechner (rechner, name, filiale) VALUES (11, 'Kasse 11', 1), (12, 'Kasse 12', 1),"
                " (21, 'Versand', 2), (31, 'Kasse 31', 3)");
    for (int f = 1; f <= 3; ++f) OeffnungszeitenAnlegen(U.Db(), f);
    rdl_HeuteFestlegen(CTag1 + CTage);
    TRDLDatenbank& db = U.Db();
    for (int t = 0; t < CTage; ++t) {
        const TDate d = CTag1 + t;
        K.Beleg(db, CMandant1, 11, 1, d, Uhr(9, 30), {{"VK", 0, 1, 10.0 + t, 11.9 + t, 5}, {"VK", 0, 1, 2.5, 2.5, 0, false}});
        K.Beleg(db, CMandant1, 12, 1, d, Uhr(13, 0), {{"RE", 0, -1, -6, -7.14, -3}});
        VersandBelege(db, K, t);
        K.Beleg(db, CMandant2, 31, 3, d, Uhr(17, 0), {{"VK", 0, 1, 15.0 + t, 17.85 + t, 7}});
        if (t % 3 == 0) K.Beleg(db, CMandant2, 12, 3, d, Uhr(11, 0), {{"VK", 12, 1, 8, 9.52, 3}});
    }
}

// New lines after a build, spread over days, computers and both clients: online sales on
// a new platform, online returns, other items, and an online line of client 2.
void NeueZeilen(TRDLDatenbank& ADb, TVersandKassen& K, int ARunde) {
    K.Beleg(ADb, CMandant1, 21, 2, CTag1 + (2 + ARunde) % CTage, Uhr(11, 5),
            {{"VK", 31, 1, 19.9, 23.68, 8}, {"VK", 31, 1, 3.5, 3.5, 0, false}});
    K.Beleg(ADb, CMandant1, 21, 2, CTag1 + (5 + ARunde) % CTage, Uhr(16, 0), {{"RE", 53, -2, -50, -59.5, -22}});
    K.Beleg(ADb, CMandant1, 11, 1, CTag1 + (7 + ARunde) % CTage, Uhr(10, 0), {{"VK", 0, 1, 12, 12, 0, false}});
    K.Beleg(ADb, CMandant2, 12, 3, CTag1 + (3 + ARunde) % CTage, Uhr(14, 30), {{"VK", 5, 1, 30, 35.7, 14}});
}

// The key of a statistics row without its identifier: both files hold the same keys.
const char* const CSchluesselSpalten = "mand_a, mand_b, orge_a, orge_b, filiale, ganztag, datum, von, bis";

std::string Schluessel(TRDLStatement& st, int AErste) {
    std::string s;
    for (int c = AErste; c < AErste + 6; ++c) s += (s.empty() ? "" : " ") + std::to_string(st.ColInt(c));
    for (int c = AErste + 6; c < AErste + 9; ++c) s += " " + Zahl(st.ColDouble(c));
    return s;
}

// Every row of umstvf in key order, with its figures per platform and kind.
std::vector<std::string> UmstvfZeilen(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare(std::string("SELECT kennung, ") + CSchluesselSpalten + ", daten FROM umstvf ORDER BY kennung, " +
                          CSchluesselSpalten);
    std::vector<std::string> z;
    while (st.Step()) {
        std::string s = st.ColText(0) + " " + Schluessel(st, 1);
        TVFDaten d;
        EXPECT_TRUE(TKOV_UmsDataOperator_VersFilAusw::Blob_2_Daten(st.ColBlob(10), d));
        for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
            for (int t = 0; t < 2; ++t) {
                const TKOV_VFUmsatzdaten_Erw& e = d.Plattformen[p][t];
                if (!e.IsEmpty())
                    s += " | " + std::to_string(p) + "/" + std::to_string(t) + ": " + Zahl(e.EK) + " " +
                         Zahl(e.VKNetto) + " " + Zahl(e.VKBrutto) + " " + std::to_string(e.Menge);
            }
        z.push_back(s);
    }
    return z;
}

// Every row of umst in key order, with its blob as stored.
std::vector<std::string> UmstRohZeilen(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare(std::string("SELECT kennung, ") + CSchluesselSpalten + ", daten FROM umst ORDER BY kennung, " +
                          CSchluesselSpalten);
    std::vector<std::string> z;
    while (st.Step()) {
        std::string s = st.ColText(0) + " " + Schluessel(st, 1) + " ";
        static const char* const hex = "0123456789abcdef";
        for (unsigned char c : st.ColBlob(10)) {
            s += hex[c >> 4];
            s += hex[c & 15];
        }
        z.push_back(s);
    }
    return z;
}

std::vector<std::string> SchluesselListe(TRDLDatenbank& ADb, const std::string& ATabelle) {
    auto st = ADb.Prepare(std::string("SELECT kennung, ") + CSchluesselSpalten + " FROM " + ATabelle +
                          " ORDER BY " + CSchluesselSpalten);
    std::vector<std::string> z;
    while (st.Step()) z.push_back(Schluessel(st, 1));
    return z;
}

std::vector<std::string> UmsvZeilen(TRDLDatenbank& ADb, const std::string& AKennung) {
    auto st = ADb.Prepare("SELECT mand_a, mand_b, rechner, transnr FROM umsv WHERE kennung = ?"
                          " ORDER BY mand_a, mand_b, rechner");
    st.Bind(1, AKennung);
    std::vector<std::string> z;
    while (st.Step())
        z.push_back(std::to_string(st.ColInt(0)) + "/" + std::to_string(st.ColInt(1)) + " " +
                    std::to_string(st.ColInt(2)) + " " + std::to_string(st.ColInt(3)));
    return z;
}

bool VFBauen() {
    TUmszVF m;
    return m.UpdateStatistikfiles(CTage, false);
}
bool UmsAuswBauen() {
    TUmszUmsAusw m;
    return m.UpdateStatistikfiles(CTage, false);
}

// What an uninterrupted first build makes of the sales lines as they are now; the other
// statistics stays as it is.
std::vector<std::string> VFFrischGebaut(TTestUmgebung& U) {
    U.Db().Exec("DELETE FROM umstvf");
    U.Db().Exec("DELETE FROM umsv WHERE kennung = 'VFAUSW'");
    EXPECT_TRUE(VFBauen());
    return UmstvfZeilen(U.Db());
}
std::vector<std::string> UmsAuswFrischGebaut(TTestUmgebung& U) {
    U.Db().Exec("DELETE FROM umst");
    U.Db().Exec("DELETE FROM umsv WHERE kennung = 'UMSAUSW'");
    EXPECT_TRUE(UmsAuswBauen());
    return UmstRohZeilen(U.Db());
}

void ErwarteEintrag(const TVFDaten& AD, int APlattform, TKOV_VersFil_Verkaufstyp ATyp, double AEK, double ANetto,
                    double ABrutto, int AMenge) {
    SCOPED_TRACE("platform " + std::to_string(APlattform) + " kind " + std::to_string(ATyp));
    const TKOV_VFUmsatzdaten_Erw& e = AD.Daten(APlattform, ATyp);
    EXPECT_NEAR(e.EK, AEK, 1e-9);
    EXPECT_NEAR(e.VKNetto, ANetto, 1e-9);
    EXPECT_NEAR(e.VKBrutto, ABrutto, 1e-9);
    EXPECT_EQ(e.Menge, AMenge);
}

int BelegteEintraege(const TVFDaten& AD) {
    int n = 0;
    for (const auto& p : AD.Plattformen)
        for (const auto& e : p) n += e.IsEmpty() ? 0 : 1;
    return n;
}

} // namespace

// Built as the evaluation does it (a year back); the shipping branch's day from the
// file, from the sales lines and through the facade agree with the figures by hand.
TEST(Versandstatistik, TageszahlenJePlattformUndArtWieVonHandGerechnet) {
    TUmgebungMitHeute U;
    TVersandKassen K;
    InstallationAnlegen(U, K);
    {
        TUmszVF m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CKOV_VersFil_AnzahlZurueckliegendeTage, false));
    }
    auto tage = U.Db().Prepare("SELECT MIN(datum), MAX(datum), COUNT(*) FROM umstvf WHERE ganztag = 1");
    ASSERT_TRUE(tage.Step());
    EXPECT_EQ(tage.ColDouble(0), CTag1 + CTage - CKOV_VersFil_AnzahlZurueckliegendeTage);
    EXPECT_EQ(tage.ColDouble(1), CTag1 + CTage - 1);
    EXPECT_EQ(tage.ColInt(2), 3 * CKOV_VersFil_AnzahlZurueckliegendeTage);

    // Friday, 04.12.: computer 21's three receipts.
    const TDate freitag = CTag1 + 3;
    TKOV_UmsatzGet_Mani_VersFilAusw get;
    TVFDaten ausDatei;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, CVersand, freitag, ausDatei));
    ErwarteEintrag(ausDatei, 0, vtVerkauf, 12, 30, 35.7, 3);
    ErwarteEintrag(ausDatei, 0, vtRetoureStorno, 0, -3, -3, 0);      // price correction; gross falls back to net
    ErwarteEintrag(ausDatei, 7, vtVerkauf, 18, 43 + 4.9, 50 + 4.9, 3); // the fee without till price as well
    ErwarteEintrag(ausDatei, 7, vtRetoureStorno, -9, -20, -23.8, -1);
    ErwarteEintrag(ausDatei, 53, vtVerkauf, 11, 25, 29.75, 1);
    ErwarteEintrag(ausDatei, 53, vtRetoureStorno, -11, -25, -29.75, -1); // the voided line
    EXPECT_EQ(BelegteEintraege(ausDatei), 6);
    EXPECT_TRUE(ausDatei == get.UmsatzBerechnen_FuerTag(CMandant1, CVersand, freitag));

    // The window 10-11 holds only the morning's online receipt; 17-24 the evening's.
    TVFDaten fenster;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(CMandant1, CVersand, freitag, {Uhr(10, 0), Uhr(11, 0)},
                                                                fenster));
    ErwarteEintrag(fenster, 7, vtVerkauf, 18, 47.9, 54.9, 3);
    EXPECT_EQ(BelegteEintraege(fenster), 1);
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTagesZeitraum(CMandant1, CVersand, freitag, {Uhr(17, 0), 1.0},
                                                                fenster));
    EXPECT_EQ(BelegteEintraege(fenster), 3);
    ErwarteEintrag(fenster, 7, vtRetoureStorno, -9, -20, -23.8, -1);

    // First day: the opening balance and the no-sale record count nowhere; origin 60 is
    // no platform and counts as stationary.
    TVFDaten ersterTag;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, CVersand, CTag1, ersterTag));
    ErwarteEintrag(ersterTag, 0, vtVerkauf, 16, 39, 46.41, 4);
    ErwarteEintrag(ersterTag, 7, vtVerkauf, 18, 44.9, 51.9, 3);
    EXPECT_EQ(BelegteEintraege(ersterTag), 6);

    // Branch 3's online line of client 2 on computer 12, a stationary branch's return.
    TVFDaten d;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant2, {2, 3}, freitag, d));
    ErwarteEintrag(d, 0, vtVerkauf, 7, 18, 20.85, 1);
    ErwarteEintrag(d, 12, vtVerkauf, 3, 8, 9.52, 1);
    EXPECT_EQ(BelegteEintraege(d), 2);
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, {1, 1}, freitag, d));
    ErwarteEintrag(d, 0, vtVerkauf, 5, 15.5, 17.4, 2);
    ErwarteEintrag(d, 0, vtRetoureStorno, -3, -6, -7.14, -1);
    EXPECT_EQ(BelegteEintraege(d), 2);

    // The window's query: a period is the sum of its days.
    TKOV_UmsatzAuswertMani_VersFilAusw fassade;
    const TVFDaten zeitraum = fassade.GetUmsatzFuerZeitraum(CMandant1, CVersand, freitag, freitag + 1);
    ErwarteEintrag(zeitraum, 7, vtVerkauf, 36, 43 + 44 + 2 * 4.9, 50 + 51 + 2 * 4.9, 6);
    ErwarteEintrag(zeitraum, 53, vtRetoureStorno, -22, -50, -59.5, -2);
    EXPECT_TRUE(TKOV_UmsDataOperator_VersFilAusw::IsEmpty(
        fassade.GetUmsatzFuerZeitraum(CMandant1, CVersand, freitag + 1, freitag)));
    EXPECT_TRUE(U.Meldungen().Meldungen.empty());
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

TEST(Versandstatistik, UpdateNachNeuenZeilenGleichtEinemFrischenAufbau) {
    TUmgebungMitHeute U;
    TVersandKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(VFBauen());
    const auto gebaut = UmstvfZeilen(U.Db());
    // Per branch: the whole day and 7 hour sections on working days, the whole day on the Sunday.
    EXPECT_EQ(gebaut.size(), size_t((CTage - 1) * 3 * 8 + 3));
    EXPECT_EQ(UmsvZeilen(U.Db(), "VFAUSW"),
              (std::vector<std::string>{"1/1 11 10", "1/1 12 10", "1/1 21 31", "2/1 12 4", "2/1 31 10"}));
    for (int runde = 0; runde < 2; ++runde) {
        SCOPED_TRACE(runde);
        NeueZeilen(U.Db(), K, runde);
        TUmszVF m;
        ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        const auto aktualisiert = UmstvfZeilen(U.Db());
        EXPECT_NE(aktualisiert, gebaut);
        const auto stand = UmsvZeilen(U.Db(), "VFAUSW");
        EXPECT_EQ(aktualisiert, VFFrischGebaut(U));
        EXPECT_EQ(stand, UmsvZeilen(U.Db(), "VFAUSW"));
    }
    // The new platform's line reached its day.
    TKOV_UmsatzGet_Mani_VersFilAusw get;
    TVFDaten d;
    ASSERT_TRUE(get.UmsatzAusUmsStatFileLaden_FuerTag(CMandant1, CVersand, CTag1 + 2, d));
    ErwarteEintrag(d, 31, vtVerkauf, 8, 23.4, 27.18, 2);
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

// Both statistics on one database: each has its own file and its own processing state,
// neither counts as built by the other, and updating one leaves the other as it was.
TEST(Versandstatistik, StoertDieUmsatzstatistikNichtUndUmgekehrt) {
    TUmgebungMitHeute U;
    TVersandKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(UmsAuswBauen());
    {
        U.Meldungen().AntwortVorgeben(mrNo);
        TUmszVF m;
        EXPECT_FALSE(m.UpdateStatistikfiles(CTage, true)) << "not built: the first build is offered";
        ASSERT_EQ(U.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(U.Meldungen().Meldungen.back().Nummer, 1705);
    }
    EXPECT_TRUE(UmstvfZeilen(U.Db()).empty());
    EXPECT_TRUE(UmsvZeilen(U.Db(), "VFAUSW").empty());
    ASSERT_TRUE(VFBauen());

    auto kennungen = [&](const std::string& ATabelle) {
        std::vector<std::string> k;
        auto st = U.Db().Prepare("SELECT DISTINCT kennung FROM " + ATabelle + " ORDER BY kennung");
        while (st.Step()) k.push_back(st.ColText(0));
        return k;
    };
    EXPECT_EQ(kennungen("umst"), std::vector<std::string>{"UMSAUSW"});
    EXPECT_EQ(kennungen("umstvf"), std::vector<std::string>{"VFAUSW"});
    EXPECT_EQ(kennungen("umsv"), (std::vector<std::string>{"UMSAUSW", "VFAUSW"}));
    // Same days, branches and windows; the same transactions processed.
    EXPECT_EQ(SchluesselListe(U.Db(), "umst"), SchluesselListe(U.Db(), "umstvf"));
    EXPECT_EQ(UmsvZeilen(U.Db(), "UMSAUSW"), UmsvZeilen(U.Db(), "VFAUSW"));

    for (int runde = 0; runde < 2; ++runde) {
        SCOPED_TRACE(runde);
        NeueZeilen(U.Db(), K, runde);
        const auto umst = UmstRohZeilen(U.Db());
        const auto umsvUmsAusw = UmsvZeilen(U.Db(), "UMSAUSW");
        {
            TUmszVF m;
            ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        }
        EXPECT_EQ(UmstRohZeilen(U.Db()), umst);
        EXPECT_EQ(UmsvZeilen(U.Db(), "UMSAUSW"), umsvUmsAusw);
        EXPECT_NE(UmsvZeilen(U.Db(), "VFAUSW"), umsvUmsAusw);
        const auto umstvf = UmstvfZeilen(U.Db());
        EXPECT_EQ(umstvf, VFFrischGebaut(U));

        // The sales statistics catches up on its own and leaves umstvf alone.
        {
            TUmszUmsAusw m;
            ASSERT_TRUE(m.UpdateStatistikfiles(CTage, false));
        }
        EXPECT_EQ(UmstvfZeilen(U.Db()), umstvf);
        EXPECT_EQ(UmstRohZeilen(U.Db()), UmsAuswFrischGebaut(U));
        EXPECT_EQ(UmsvZeilen(U.Db(), "UMSAUSW"), UmsvZeilen(U.Db(), "VFAUSW"));
        EXPECT_EQ(SchluesselListe(U.Db(), "umst"), SchluesselListe(U.Db(), "umstvf"));
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}

namespace {
std::string Einstellung() {
    return TSimpleMask(CIgnorUmsaetzeBereich, CIgnorUmsaetzeSektion).ReadGlobalDef(CIgnorUmsaetzeSchluessel, "");
}
} // namespace

// The ignore-before dates count in both statistics: a change through either manager
// rebooks both, each then equals a fresh build with the new dates. The change is one
// booking with the setting: killed at any point, neither statistics nor the setting changed.
TEST(Versandstatistik, IgnorierDatenAendernBuchtBeideStatistikenUm) {
    TUmgebungMitHeute U;
    TVersandKassen K;
    InstallationAnlegen(U, K);
    ASSERT_TRUE(UmsAuswBauen());
    ASSERT_TRUE(VFBauen());
    struct TSchritt {
        const char* Was;
        bool DurchVersand; // the change through the shipping branches' manager
        std::vector<std::pair<int16_t, int>> Daten; // branch, day offset from the first day
        bool Toeten;       // killed at every point in turn before it is made whole
    };
    const TSchritt schritte[] = {
        {"set, killed", false, {{2, 1}}, true},
        {"set", false, {{2, 4}, {1, 2}}, false},
        {"moved and removed", true, {{2, 7}}, false},
        {"moved earlier, killed", true, {{2, 6}}, true},
        {"all removed", false, {}, false},
    };
    for (const TSchritt& s : schritte) {
        SCOPED_TRACE(s.Was);
        TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum neu;
        for (auto [f, t] : s.Daten) neu.Add(f, CTag1 + t);
        const std::string einstellungVorher = Einstellung();
        const auto umstvfVorher = UmstvfZeilen(U.Db()), umstVorher = UmstRohZeilen(U.Db());
        auto aendern = [&] {
            auto d = std::make_unique<TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum>(neu);
            if (s.DurchVersand) {
                TUmszVF m;
                return m.ZuIgnorierendeUmsaetze_Set(std::move(d));
            }
            TUmszUmsAusw m;
            return m.ZuIgnorierendeUmsaetze_Set(std::move(d));
        };
        int getoetet = 0;
        for (int n = 1; s.Toeten; ++n) {
            int aufrufe = 0;
            RDLInfo().ProcessMessagesHookSetzen([&](int) {
                if (++aufrufe == n) throw TProzessEnde{};
            });
            try {
                EXPECT_TRUE(aendern());
            } catch (const TProzessEnde&) {
                ++getoetet;
                EXPECT_EQ(Einstellung(), einstellungVorher);
                EXPECT_TRUE(UmstvfZeilen(U.Db()) == umstvfVorher) << "umstvf changed by a killed change, call " << n;
                EXPECT_TRUE(UmstRohZeilen(U.Db()) == umstVorher) << "umst changed by a killed change, call " << n;
                continue;
            }
            break;
        }
        RDLInfo().ProcessMessagesHookSetzen({});
        if (s.Toeten) {
            // One day in each statistics, two looks at the messages each: killed in both.
            EXPECT_GE(getoetet, 4);
        } else {
            EXPECT_TRUE(aendern());
        }
        EXPECT_EQ(Einstellung(), IgnorUmsaetzeSchreiben(neu));
        const auto umstvf = UmstvfZeilen(U.Db()), umst = UmstRohZeilen(U.Db());
        EXPECT_TRUE(umstvf != umstvfVorher) << "umstvf not rebooked";
        EXPECT_TRUE(umst != umstVorher) << "umst not rebooked";
        EXPECT_TRUE(umstvf == VFFrischGebaut(U)) << "umstvf differs from a fresh build";
        EXPECT_TRUE(umst == UmsAuswFrischGebaut(U)) << "umst differs from a fresh build";
    }
    EXPECT_TRUE(RDLInfo().Registrierte().empty());
}
