// Consistency of the statistics file: random sequences of new sales lines, updates (also
// cancelled or killed midway) and changes of the ignore-before dates. After every step and
// the update that follows it, every figure of the file and the processing state must equal
// what a build from scratch makes of the same lines and settings in a second database.
// Lines out of the writers' rules are mixed in: they count nowhere and each is registered once.
// QUENDRIX_TEST_SEED=<n> repeats the run a failure names.
#include "erwarteteausnahmen.h"
#include "umsatzmani_versfilausw.h"
#include "umsatzstatistik_testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using TUmszMani = TKOV_Umsatz_UmszMani_UmsAusw;
using TIgnorDict = TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum;

const TDate CHeute = EncodeDate(2026, 12, 11);

struct TGroesse {
    int Tage, Folgen, Schritte;
};

// Every read and write is a round trip to the server: fewer days and steps there.
TGroesse Groesse() { return TestAufPostgres() ? TGroesse{10, 2, 6} : TGroesse{40, 3, 15}; }

uint64_t Startwert() {
    if (const char* s = std::getenv("QUENDRIX_TEST_SEED")) return std::strtoull(s, nullptr, 10);
    return std::random_device{}();
}

// Clients 1/1 (branches 1, 2) and 2/1 (branch 3); computer 12 writes for both clients.
void StammdatenAnlegen(TRDLDatenbank& ADb) {
    ADb.Exec("INSERT INTO mandant (mand_a, mand_b, name) VALUES (1, 1, 'Nord'), (2, 1, 'Süd')");
    ADb.Exec("INSERT INTO filiale (filiale, mand_a, mand_b, orge_a, orge_b, name, waehrung) VALUES"
             " (1, 1, 1, 1, 1, 'Hauptstraße', 'EUR'), (2, 1, 1, 1, 2, 'Bahnhof', 'EUR'),"
             " (3, 2, 1, 2, 3, 'Marktplatz', 'EUR')");
    for (auto [r, f] : {std::pair{11, 1}, {12, 1}, {21, 2}, {31, 3}}) RechnerAnlegen(ADb, r, f);
    for (int f = 1; f <= 3; ++f) OeffnungszeitenAnlegen(ADb, f);
}

void EinstellungenUebernehmen(TRDLDatenbank& AVon, TRDLDatenbank& ANach) {
    ANach.Exec("DELETE FROM globaldef");
    auto st = AVon.Prepare("SELECT bereich, sektion, terminal, schluessel, wert FROM globaldef");
    while (st.Step()) {
        auto ein = ANach.Prepare("INSERT INTO globaldef (bereich, sektion, terminal, schluessel, wert) VALUES (?,?,?,?,?)");
        for (int i = 0; i < 5; ++i) ein.Bind(i + 1, st.ColText(i));
        ein.Step();
    }
}

// The rows only one side has, a few of each.
std::string Unterschied(std::vector<std::string> AIst, std::vector<std::string> ASoll) {
    std::sort(AIst.begin(), AIst.end());
    std::sort(ASoll.begin(), ASoll.end());
    std::vector<std::string> nurIst, nurSoll;
    std::set_difference(AIst.begin(), AIst.end(), ASoll.begin(), ASoll.end(), std::back_inserter(nurIst));
    std::set_difference(ASoll.begin(), ASoll.end(), AIst.begin(), AIst.end(), std::back_inserter(nurSoll));
    std::string s = std::to_string(AIst.size()) + " rows updated, " + std::to_string(ASoll.size()) + " fresh";
    auto zeigen = [&](const char* ATitel, const std::vector<std::string>& AZeilen) {
        s += std::string("\n") + ATitel + " (" + std::to_string(AZeilen.size()) + "):";
        for (size_t i = 0; i < std::min<size_t>(AZeilen.size(), 6); ++i) s += "\n  " + AZeilen[i];
    };
    zeigen("only updated", nurIst);
    zeigen("only fresh", nurSoll);
    return s;
}

// One sequence: the installation under test and the second database a fresh build uses.
class TFolge {
public:
    TFolge(uint64_t ASeed, const TGroesse& AGroesse) : FZufall(ASeed), FGroesse(AGroesse), FFrisch(TestDatenbank()) {
        U.Installation(1, "ODRIKS00");
        StammdatenAnlegen(U.Db());
        StammdatenAnlegen(*FFrisch);
        rdl_HeuteFestlegen(CHeute);
    }

    void Ausfuehren() {
        {
            // One transaction per store: the lines before the build are many.
            RDLBuchung a(U.Db()), b(*FFrisch);
            for (int i = 0; i < FGroesse.Tage * 4; ++i) Beleg();
        }
        if (Zufall(0, 1)) IgnorierDatumAendern();
        if (Zufall(0, 1)) ErsterAufbauUnterbrochen();
        Protokoll("first build");
        ASSERT_TRUE(Aktualisieren());
        Vergleichen();
        for (int s = 0; s < FGroesse.Schritte && !::testing::Test::HasFailure(); ++s) {
            Schritt();
            Vergleichen();
        }
    }

private:
    int Zufall(int AVon, int ABis) { return std::uniform_int_distribution<int>(AVon, ABis)(FZufall); }
    void Protokoll(const std::string& A) { FProtokoll += "\n  " + A; }

    void Schritt() {
        const int w = Zufall(0, 99);
        if (w < 35) {
            NeueBelege();
            ASSERT_TRUE(Aktualisieren());
        } else if (w < 45) {
            Protokoll("update");
            ASSERT_TRUE(Aktualisieren());
        } else if (w < 80) {
            NeueBelege();
            UnterbrochenesUpdate(w < 62);
        } else {
            if (Zufall(0, 1)) NeueBelege();
            IgnorierDatumAendern(Zufall(0, 2) == 0);
            ASSERT_TRUE(Aktualisieren());
        }
        EXPECT_TRUE(RDLInfo().Registrierte().empty())
            << RDLInfo().Registrierte().front().TraceName << ": " << RDLInfo().Registrierte().front().Text;
    }

    bool Aktualisieren() {
        TUmszMani m;
        return m.UpdateStatistikfiles(FGroesse.Tage, false);
    }

    // A receipt of a random computer and client, on a day of the statistics' span, into both
    // databases in the same order (sums of doubles depend on it).
    void Beleg() {
        static const int rechner[] = {11, 12, 21, 31};
        static const char* satzarten[] = {"VK", "VK", "VK", "VK", "RE", "RE", "RS", "GS", "ME", " vk", "re ", "XY"};
        static const double uhrzeiten[] = {0, Uhr(8, 0), Uhr(9, 0), Uhr(12, 0), Uhr(13, 0), Uhr(14, 0),
                                           Uhr(18, 0), Uhr(23, 59)};
        const int r = rechner[Zufall(0, 3)];
        const TIntPair mandant = r == 31 || (r == 12 && Zufall(0, 1)) ? CMandant2 : CMandant1;
        const int nr = ++FKassen.Letzte[{mandant, r}];
        const int filiale = Zufall(1, 3);
        const TDate tag = CHeute - Zufall(1, FGroesse.Tage);
        const double uhr = Zufall(0, 2) ? Uhr(Zufall(0, 23), Zufall(0, 59)) : uhrzeiten[Zufall(0, 7)];
        const bool eb = Zufall(0, 24) == 0;
        const int zeilen = eb ? 1 : Zufall(1, 3);
        for (int p = 1; p <= zeilen; ++p) {
            TZeile z;
            z.Mandant = mandant;
            z.Rechner = r;
            z.TransNr = nr;
            z.PosNr = p;
            z.Datum = tag;
            z.Uhrzeit = uhr;
            z.Filiale = filiale;
            z.Satzart = eb ? "EB" : satzarten[Zufall(0, 11)];
            z.Betrag = Zufall(1, 40000) / 100.0 * (Zufall(0, 5) == 0 ? -1 : 1);
            if (Zufall(0, 1)) z.ProdId = {Zufall(1, 40), 0, 0};
            if (Zufall(0, 5) == 0) z.ArtNr = Zufall(0, 1) ? "" : "X-" + std::to_string(Zufall(1, 9));
            if (Zufall(0, 5) == 0) z.Menge = Zufall(-2, 4);
            if (Zufall(0, 5) == 0) z.Betrag2 = Zufall(0, 1) ? 0.0 : z.Betrag * 1.07;
            const int h = Zufall(0, 9);
            z.Herkunft = h < 6 ? 0 : h < 9 ? Zufall(1, 53) : 60;
            ZeileSchreiben(U.Db(), z);
            ZeileSchreiben(*FFrisch, z);
        }
        if (Zufall(0, 7) == 0) RegelwidrigeZeile(mandant, r, nr, zeilen + 1, tag);
    }

    // A line out of the writers' rules beside a receipt, into both databases: a branch
    // outside 1..32767 or a date outside the calendar (on the receipt's number), or a
    // transaction number below 1 (a key and a day of its own). It counts nowhere.
    void RegelwidrigeZeile(const TIntPair& AMandant, int ARechner, int ANr, int APosNr, TDate ATag) {
        static const int filialen[] = {0, -3, 32768, 65537};
        static const double daten[] = {1e300, -1e6, CLstErsterTag - 0.5, CLstLetzterTag + 1};
        TZeile z;
        z.Mandant = AMandant;
        z.Rechner = ARechner;
        z.TransNr = ANr;
        z.PosNr = APosNr;
        z.Datum = ATag;
        z.Uhrzeit = Uhr(Zufall(0, 23), Zufall(0, 59));
        z.Betrag = Zufall(1, 40000) / 100.0;
        const int art = Zufall(0, 2);
        if (art == 0) z.Filiale = filialen[Zufall(0, 3)];
        if (art == 1) z.Datum = daten[Zufall(0, 3)];
        if (art == 2) z.TransNr = -int(FRegelwidrig), z.PosNr = 1, z.Datum = CHeute - Zufall(1, FGroesse.Tage);
        ZeileSchreiben(U.Db(), z);
        ZeileSchreiben(*FFrisch, z);
        ++FRegelwidrig;
    }

    void NeueBelege() {
        const int n = Zufall(1, 6);
        Protokoll(std::to_string(n) + " receipts");
        for (int i = 0; i < n; ++i) Beleg();
    }

    // Cancelled through the dialog or ended by an exception nobody catches, at the n-th
    // handling of messages; the state then is the old one or, when every day was counted
    // before, the new one.
    void UnterbrochenesUpdate(bool AAbbrechen) {
        const int n = Zufall(1, 14);
        Protokoll(std::string(AAbbrechen ? "update cancelled" : "update killed") + " at call " + std::to_string(n));
        const auto vorher = UmsvZeilen(U.Db());
        RDLProgramm().OhneDialogeSetzen(!AAbbrechen);
        bool aktuell = false;
        try {
            TUmszMani m;
            int aufrufe = 0;
            RDLInfo().ProcessMessagesHookSetzen([&](int) {
                if (++aufrufe != n) return;
                if (!AAbbrechen) throw TProzessEnde{};
                m.ProgressDialog_GoC().Abbrechen();
            });
            aktuell = m.UpdateStatistikfiles(FGroesse.Tage, false);
        } catch (const TProzessEnde&) {
        }
        RDLInfo().ProcessMessagesHookSetzen({});
        RDLProgramm().OhneDialogeSetzen(true);
        const auto danach = UmsvZeilen(U.Db());
        ASSERT_TRUE(Aktualisieren());
        EXPECT_TRUE(danach == vorher || danach == UmsvZeilen(U.Db())) << "processing state half written";
        // Up to date is said only of an update that got to its end.
        if (aktuell) {
            EXPECT_EQ(danach, UmsvZeilen(U.Db()));
        }
    }

    // A first build in small packets ended by an exception nobody catches at the n-th
    // handling of messages: some packets are committed, the state is not written.
    // On the server store the connection may be lost instead (the server ends the
    // program's session, as when it is stopped): the build fails, and the rerun on a new
    // connection must equal a fresh build.
    void ErsterAufbauUnterbrochen() {
        const int n = Zufall(1, 3 * FGroesse.Tage), paket = Zufall(1, 4);
        const bool server = TestAufPostgres() && Zufall(0, 1);
        Protokoll(std::string(server ? "server connection lost in the first build" : "first build killed") +
                  " at call " + std::to_string(n) + ", packets of " + std::to_string(paket));
        int64_t sitzung = 0;
        if (server) {
            auto st = U.Db().Prepare("SELECT pg_backend_pid()");
            ASSERT_TRUE(st.Step());
            sitzung = st.ColInt(0);
        }
        TErwarteteAusnahmen erwartet{"*"};
        bool beendet = false; // the build may end before the n-th call
        try {
            TUmszMani m;
            m.PaketTage_Set(paket);
            int aufrufe = 0;
            RDLInfo().ProcessMessagesHookSetzen([&](int) {
                if (++aufrufe != n) return;
                if (!server) throw TProzessEnde{};
                auto st = FFrisch->Prepare("SELECT pg_terminate_backend(" + std::to_string(sitzung) + ")");
                st.Step();
                beendet = true;
            });
            const bool fertig = m.UpdateStatistikfiles(FGroesse.Tage, false);
            if (server && U.Db().VerbindungVerloren()) {
                EXPECT_FALSE(fertig) << "a build that lost its server is not done";
            }
        } catch (const TProzessEnde&) {
        } catch (const EDatenbankFehler&) {
        }
        RDLInfo().ProcessMessagesHookSetzen({});
        RDLInfo().RegistrierteLeeren();
        if (server && beendet) {
            // The server is back: the program connects anew.
            for (int i = 0; i < 500 && !U.Db().VerbindungVerloren(); ++i) {
                try {
                    auto st = U.Db().Prepare("SELECT 1");
                    st.Step();
                } catch (const EDatenbankFehler&) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_TRUE(U.Db().VerbindungVerloren());
            U.Neuverbinden();
        }
    }

    // Sets, moves earlier or later, or removes a branch's day, between shortly before the
    // statistics' first day and today. Killed during the rebooking, nothing of the change
    // stays: neither the setting nor a rebooked day.
    void IgnorierDatumAendern(bool AUnterbrechen = false) {
        const TIgnorDict vorher = FIgnor;
        const int16_t f = int16_t(Zufall(1, 3));
        const TDate frueh = CHeute - FGroesse.Tage - 3;
        TDate alt = 0;
        if (!FIgnor.TryGetValue(f, alt)) {
            FIgnor.Add(f, CHeute - Zufall(0, FGroesse.Tage + 3));
        } else if (const int art = Zufall(0, 2); art == 0) {
            FIgnor.AddOrSetValue(f, std::max(frueh, alt - Zufall(1, 10)));
        } else if (art == 1) {
            FIgnor.AddOrSetValue(f, std::min(CHeute, alt + Zufall(1, 10)));
        } else {
            FIgnor.Remove(f);
        }
        const int n = AUnterbrechen ? Zufall(1, 6) : 0;
        Protokoll("ignore-before dates \"" + IgnorUmsaetzeSchreiben(FIgnor) + "\"" +
                  (n ? ", killed at call " + std::to_string(n) : std::string()));
        bool getoetet = false;
        const bool durchVersand = Zufall(0, 1);
        if (durchVersand) Protokoll("  (through the shipping branches' manager)");
        FVersandPruefen = true;
        try {
            int aufrufe = 0;
            if (n)
                RDLInfo().ProcessMessagesHookSetzen([&](int) {
                    if (++aufrufe == n) throw TProzessEnde{};
                });
            EXPECT_TRUE(IgnorDatenSetzen(durchVersand));
        } catch (const TProzessEnde&) {
            getoetet = true;
            FIgnor = vorher;
        }
        RDLInfo().ProcessMessagesHookSetzen({});
        if (getoetet) Protokoll("  (killed: the old dates stay)");
        EXPECT_EQ(TSimpleMask(CIgnorUmsaetzeBereich, CIgnorUmsaetzeSektion).ReadGlobalDef(CIgnorUmsaetzeSchluessel, ""),
                  IgnorUmsaetzeSchreiben(FIgnor));
    }

    // A first build of the same lines and settings in the second database.
    void Vergleichen() {
        if (::testing::Test::HasFatalFailure()) return;
        EinstellungenUebernehmen(U.Db(), *FFrisch);
        FFrisch->Exec("DELETE FROM umst");
        // The shipping branches' state stays as its last fresh build left it (VersandVergleichen).
        FFrisch->Exec("DELETE FROM umsv WHERE kennung = 'UMSAUSW'");
        struct TZurueck {
            std::shared_ptr<TRDLDatenbank> Db = RDLProgramm().DatenbankShared();
            ~TZurueck() { RDLProgramm().DatenbankSetzen(Db); }
        } zurueck;
        RDLProgramm().DatenbankSetzen(FFrisch);
        ASSERT_TRUE(Aktualisieren());
        RDLProgramm().DatenbankSetzen(zurueck.Db);
        const auto umst = UmstZeilen(U.Db()), umstFrisch = UmstZeilen(*FFrisch);
        ASSERT_TRUE(umst == umstFrisch) << Unterschied(umst, umstFrisch) << "\nsteps:" << FProtokoll;
        const auto umsv = UmsvZeilen(U.Db()), umsvFrisch = UmsvZeilen(*FFrisch);
        ASSERT_TRUE(umsv == umsvFrisch) << Unterschied(umsv, umsvFrisch) << "\nsteps:" << FProtokoll;
        VersandVergleichen();
        AbgelehnteVergleichen();
    }

    // Each line out of the rules is registered once, in the installation as by the fresh
    // build, and the user was told of it.
    void AbgelehnteVergleichen() {
        if (::testing::Test::HasFatalFailure()) return;
        for (TRDLDatenbank* db : {&U.Db(), FFrisch.get()}) {
            auto st = db->Prepare("SELECT COUNT(*), COALESCE(SUM(gemeldet), 0) FROM umsatz_abgelehnt");
            ASSERT_TRUE(st.Step());
            EXPECT_EQ(st.ColInt(0), FRegelwidrig) << (db == FFrisch.get() ? "fresh" : "updated") << "\nsteps:" << FProtokoll;
            EXPECT_EQ(st.ColInt(1), FRegelwidrig) << "told";
        }
    }

    // Either statistics' manager changes the dates for both statistics.
    bool IgnorDatenSetzen(bool ADurchVersand) {
        auto d = std::make_unique<TIgnorDict>(FIgnor);
        if (ADurchVersand) {
            TKOV_UmsatzUmszMani_VersFilAusw m;
            return m.ZuIgnorierendeUmsaetze_Set(std::move(d));
        }
        TUmszMani m;
        return m.ZuIgnorierendeUmsaetze_Set(std::move(d));
    }

    // The shipping branches' statistics, built at the first comparison and brought up to
    // date at those after a change of the dates, must equal its fresh build too: the
    // changes rebooked it.
    void VersandVergleichen() {
        if (!FVersandPruefen) return;
        FVersandPruefen = false;
        auto aktualisieren = [&] {
            TKOV_UmsatzUmszMani_VersFilAusw m;
            return m.UpdateStatistikfiles(FGroesse.Tage, false);
        };
        ASSERT_TRUE(aktualisieren());
        FFrisch->Exec("DELETE FROM umstvf");
        FFrisch->Exec("DELETE FROM umsv WHERE kennung = 'VFAUSW'");
        {
            struct TZurueck {
                std::shared_ptr<TRDLDatenbank> Db = RDLProgramm().DatenbankShared();
                ~TZurueck() { RDLProgramm().DatenbankSetzen(Db); }
            } zurueck;
            RDLProgramm().DatenbankSetzen(FFrisch);
            ASSERT_TRUE(aktualisieren());
        }
        auto zeilen = [](TRDLDatenbank& ADb, const std::string& ASql) {
            std::vector<std::string> z;
            auto st = ADb.Prepare(ASql);
            while (st.Step()) {
                std::string s;
                for (int c = 0; c < 10; ++c) s += st.ColText(c) + " ";
                for (unsigned char b : st.ColBlob(10)) s += "0123456789abcdef"[b >> 4], s += "0123456789abcdef"[b & 15];
                z.push_back(s);
            }
            return z;
        };
        const std::string sql = "SELECT kennung, mand_a, mand_b, orge_a, orge_b, filiale, datum, ganztag, von, bis, daten"
                                " FROM umstvf ORDER BY kennung, mand_a, mand_b, orge_a, orge_b, datum, ganztag, von, bis";
        const auto umstvf = zeilen(U.Db(), sql), umstvfFrisch = zeilen(*FFrisch, sql);
        ASSERT_TRUE(umstvf == umstvfFrisch) << "umstvf: " << Unterschied(umstvf, umstvfFrisch) << "\nsteps:" << FProtokoll;
        const auto umsv = UmsvZeilen(U.Db()), umsvFrisch = UmsvZeilen(*FFrisch);
        ASSERT_TRUE(umsv == umsvFrisch) << Unterschied(umsv, umsvFrisch) << "\nsteps:" << FProtokoll;
    }

    std::mt19937_64 FZufall;
    TGroesse FGroesse;
    TUmgebungMitHeute U;
    std::shared_ptr<TRDLDatenbank> FFrisch;
    TKassen FKassen;
    TIgnorDict FIgnor;
    std::string FProtokoll;
    bool FVersandPruefen = true;
    int64_t FRegelwidrig = 0;
};

} // namespace

TEST(Konsistenz, ZufaelligeFolgenGleichenDemFrischenAufbau) {
    const uint64_t seed = Startwert();
    const TGroesse g = Groesse();
    SCOPED_TRACE("QUENDRIX_TEST_SEED=" + std::to_string(seed));
    for (int f = 0; f < g.Folgen && !HasFailure(); ++f) {
        SCOPED_TRACE("sequence " + std::to_string(f));
        TFolge(seed + uint64_t(f), g).Ausfuehren();
    }
}
