// Typed files of the single evaluations: every file matches its table and finds a record
// by each key; the key orders that evaluation loops rely on.
#include "kovdbfiles_ausw.h"
#include "rdldatum.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// One fill routine per file serves three purposes: set values, set key values, compare.
enum class TModus { Wert, Key, Pruefen };

template <class T, class V>
void Feld(TDatenfeld_Gen<T>& AFeld, const V& AWert, TModus AModus) {
    const T w = T(AWert);
    switch (AModus) {
    case TModus::Wert: AFeld.SetWert(w); break;
    case TModus::Key: AFeld.SetKeyWert(w); break;
    case TModus::Pruefen: EXPECT_TRUE(AFeld.GetWert() == w) << AFeld.Spalten()[0]; break;
    }
}

// Values grow with n, so record n = 1 lies below record n = 2 in every key.
TIntPair P(int n) { return {n, 10 + n}; }
TIntTrio T3(int n) { return {n, 20 + n, int16_t(n)}; }
std::string S(const char* p, int n) { return p + std::to_string(n); }
double D(int n) { return 46000.0 + n + 0.25; }

void Belegen(TGepFile& f, int n, TModus m) {
    Feld(f.GepNr, P(n), m); Feld(f.Name1, S("Nach", n), m); Feld(f.Name2, S("Vor", n), m);
}
void Belegen(Tkulifile& f, int n, TModus m) {
    Feld(f.GepNr, P(n), m); Feld(f.Mandant, P(n + 1), m); Feld(f.Nummer, 700 + n, m);
}
void Belegen(Tarksfile& f, int n, TModus m) {
    Feld(f.VorgangsID, T3(n), m); Feld(f.Art, 'V' + n, m); Feld(f.Status, 'N' + n, m);
}
void Belegen(Tlarfile& f, int n, TModus m) { Feld(f.Kennung, S("SERFASSUNG", n), m); Feld(f.LarID, T3(n), m); }
void Belegen(Tatplfile& f, int n, TModus m) {
    Feld(f.LarID, T3(n), m); Feld(f.Wert, 1.5 * n, m); Feld(f.AtpbID, T3(n + 1), m);
}
void Belegen(Tatpbfile& f, int n, TModus m) { Feld(f.AtpbID, T3(n), m); Feld(f.AtpkID, T3(n + 2), m); }
void Belegen(Tatpkfile& f, int n, TModus m) {
    Feld(f.AtpkID, T3(n), m); Feld(f.AtkID, T3(n + 3), m); Feld(f.PosNr, n, m); Feld(f.PosTyp, n + 1, m);
    Feld(f.ProduktID, TInt32Trio{100 + n, 10000 + n, n}, m); Feld(f.Menge, 3 * n, m);
}
void Belegen(Tatkfile& f, int n, TModus m) {
    Feld(f.AtkID, T3(n), m); Feld(f.MandNr, n, m); Feld(f.Phase, S("RE", n), m); Feld(f.StornoKz, 'S', m);
    Feld(f.BelegNr, 4711 + n, m); Feld(f.Jahr, 2024 + n, m); Feld(f.Monat, n, m); Feld(f.TeilNr, n + 1, m);
    Feld(f.Datum, D(n), m); Feld(f.GepNr1, P(n + 2), m); Feld(f.GepNr2, P(n + 3), m);
    Feld(f.BelegTyp, 11 + n, m); Feld(f.Wert, 99.5 * n, m); Feld(f.Waehrung, S("CH", n), m); Feld(f.Erledigt, 'I' + n, m);
}
void Belegen(Tazbfile& f, int n, TModus m) { Feld(f.AtkID, T3(n), m); Feld(f.LfdNr, n, m); }
void Belegen(Tzofile& f, int n, TModus m) {
    Feld(f.Datei, S("ATK", n), m); Feld(f.Satz, S("00000000", n), m); Feld(f.Merkmal, S("BARCODE", n), m);
    Feld(f.Wert, S("400", n), m);
}
void Belegen(Tmitafile& f, int n, TModus m) {
    Feld(f.GepNr, P(n), m); Feld(f.Mandant, P(n + 1), m); Feld(f.KurzNr, 30 + n, m); Feld(f.GueltigBis, D(n), m);
}
void Belegen(Tlfnrfile& f, int n, TModus m) {
    Feld(f.Mandant, P(n), m); Feld(f.GepNr, P(n + 1), m); Feld(f.BonNr, P(n + 2), m);
    Feld(f.Vorfall, S("BON", n), m); Feld(f.Rechner, 5 + n, m); Feld(f.TransNr, 900 + n, m);
}
void Belegen(Tpupfile& f, int n, TModus m) {
    Feld(f.Jahr, 2020 + n, m); Feld(f.Monat, n, m); Feld(f.Mandant, P(n), m); Feld(f.Filiale, n + 1, m);
    Feld(f.MitaNr, 100 + n, m); Feld(f.Stunden, 7.5 * n, m); Feld(f.HAUmsatz, 100.0 * n, m);
    Feld(f.NAUmsatz, 10.0 * n, m); Feld(f.HAProv, 2.0 * n, m); Feld(f.NAProv, 0.5 * n, m);
    Feld(f.Waehrung, S("EU", n), m); Feld(f.Art, S("", n), m);
}
void Belegen(Tgmerfile& f, int n, TModus m) {
    Feld(f.SatzTyp, 'H' + n, m); Feld(f.MerkmalA, 9990 + n, m); Feld(f.MerkmalB, n, m);
    Feld(f.Bezeichnung, S("Lohn-Nr ", n), m);
}
void Belegen(Tgnumfile& f, int n, TModus m) {
    Feld(f.GepNr, P(n), m); Feld(f.MerkmalA, 9990 + n, m); Feld(f.MerkmalB, n, m); Feld(f.Wert, S("12", n), m);
}
void Belegen(Tsrvfile& f, int n, TModus m) {
    Feld(f.SRVTyp, S("PK", n), m); Feld(f.Datum, D(n), m); Feld(f.GepNr, P(n), m); Feld(f.Mandant, P(n + 1), m);
    Feld(f.Rechner, n, m); Feld(f.TransNr, 50 + n, m); Feld(f.GutschriftKz, 'J', m);
    Feld(f.RechnungsNr, S("20240000", n), m); Feld(f.Betrag, 19.95 * n, m); Feld(f.Waehrung, "EUR", m);
    Feld(f.AusgleichKz, S("X", n), m);
}

// Stores a lower decoy and the record, then finds the record by each key with Get_ge.
template <class F>
void Rundreise(TRDLDatenbank& ADb, const char* ATabelle, std::vector<int> AKeys) {
    F f(ADb);
    EXPECT_EQ(f.Tabelle(), ATabelle);
    for (int n : {1, 2}) {
        f.SucheInit();
        Belegen(f, n, TModus::Wert);
        f.Insert();
    }
    for (int k : AKeys) {
        SCOPED_TRACE("Schlüssel " + std::to_string(k));
        F g(ADb);
        g.SucheInit();
        g.KeyNr_Set(k);
        Belegen(g, 2, TModus::Key);
        ASSERT_TRUE(g.Get_ge());
        Belegen(g, 2, TModus::Pruefen);
    }
}

TEST(AuswDateien, EveryFileStoresARecordAndFindsItByEachKey) {
    TTestUmgebung U;
    auto& db = U.Db();
    const std::vector<std::pair<const char*, std::function<void()>>> faelle = {
        {"gep", [&] { Rundreise<TGepFile>(db, "gep", {TGepFile::KeyGepNr}); }},
        {"kuli", [&] { Rundreise<Tkulifile>(db, "kuli", {Tkulifile::KeyGepNr}); }},
        {"arks", [&] { Rundreise<Tarksfile>(db, "arks", {Tarksfile::KeyVorgang}); }},
        {"lar", [&] { Rundreise<Tlarfile>(db, "lar", {Tlarfile::KeyKennung}); }},
        {"atpl", [&] { Rundreise<Tatplfile>(db, "atpl", {Tatplfile::KeyLar}); }},
        {"atpb", [&] { Rundreise<Tatpbfile>(db, "atpb", {Tatpbfile::KeyAtpb}); }},
        {"atpk", [&] { Rundreise<Tatpkfile>(db, "atpk", {Tatpkfile::KeyAtpk, Tatpkfile::KeyAtk}); }},
        {"atk", [&] { Rundreise<Tatkfile>(db, "atk", {Tatkfile::KeyAtk, Tatkfile::KeyTyp}); }},
        {"azb", [&] { Rundreise<Tazbfile>(db, "azb", {Tazbfile::KeyAtk}); }},
        {"zo", [&] { Rundreise<Tzofile>(db, "zo", {Tzofile::KeyMerkmal}); }},
        {"mita", [&] { Rundreise<Tmitafile>(db, "mita", {Tmitafile::KeyGepNr}); }},
        {"lfnr", [&] { Rundreise<Tlfnrfile>(db, "lfnr", {Tlfnrfile::KeyMitarbeiter}); }},
        {"pup", [&] { Rundreise<Tpupfile>(db, "pup", {Tpupfile::KeyPeriode}); }},
        {"gmer", [&] { Rundreise<Tgmerfile>(db, "gmer", {Tgmerfile::KeySatzTyp}); }},
        {"gnum", [&] { Rundreise<Tgnumfile>(db, "gnum", {Tgnumfile::KeyPerson}); }},
        {"srv", [&] { Rundreise<Tsrvfile>(db, "srv", {Tsrvfile::KeySRVTyp}); }},
    };
    for (const auto& [name, pruefen] : faelle) {
        SCOPED_TRACE(name);
        pruefen();
    }
}

// Staff purchases: the item-type key as key and filter yields that type only, by date.
TEST(AuswDateien, SrvItemTypeLoopYieldsOnlyThatTypeInDateOrder) {
    TTestUmgebung U;
    const double d1 = EncodeDate(2024, 3, 1), d2 = EncodeDate(2024, 3, 2), d3 = EncodeDate(2024, 3, 3);
    Tsrvfile f(U.Db());
    const std::pair<const char*, double> saetze[] = {{"PK", d3}, {"PL", d1}, {"PK", d1}, {"PA", d2}, {"PK", d2}};
    for (const auto& [typ, datum] : saetze) {
        f.SucheInit();
        f.SRVTyp.SetWert(typ);
        f.Datum.SetWert(datum);
        f.Insert();
    }
    f.SucheInit();
    f.KeyNr_Set(Tsrvfile::KeySRVTyp);
    f.SRVTyp.SetKeyWertAndFilter("PK");
    std::vector<double> daten;
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) {
        EXPECT_EQ(f.SRVTyp.GetWert(), "PK");
        daten.push_back(f.Datum.GetWert());
    }
    EXPECT_EQ(daten, (std::vector<double>{d1, d2, d3}));
}

// Bonus data: the employee-number kinds ('I') come in kind order and end at another type.
TEST(AuswDateien, GmerKindsOfOneRecordTypeInKindOrder) {
    TTestUmgebung U;
    Tgmerfile f(U.Db());
    const std::tuple<char, int, int> saetze[] = {{'I', 2, 1}, {'A', 1, 1}, {'I', 1, 5}, {'K', 0, 0}, {'I', 1, 2}};
    for (const auto& [typ, a, b] : saetze) {
        f.SucheInit();
        f.SatzTyp.SetWert(typ);
        f.MerkmalA.SetWert(a);
        f.MerkmalB.SetWert(b);
        f.Insert();
    }
    f.SucheInit();
    f.KeyNr_Set(Tgmerfile::KeySatzTyp);
    f.SatzTyp.SetKeyWert('I');
    std::vector<std::pair<int, int>> arten;
    for (bool ok = f.Get_ge(); ok && f.SatzTyp.GetWert() == 'I'; ok = f.Get_next())
        arten.emplace_back(f.MerkmalA.GetWert(), f.MerkmalB.GetWert());
    EXPECT_EQ(arten, (std::vector<std::pair<int, int>>{{1, 2}, {1, 5}, {2, 1}}));
}

// Floating goods: the bookkeeping trio alone is the key, so Get_eq on it finds the first
// of its positions and a loop from there reads them all until the trio changes.
TEST(AuswDateien, AtplPositionsOfOneBookkeepingRecordByTheTrioAlone) {
    TTestUmgebung U;
    Tatplfile f(U.Db());
    const std::pair<TIntTrio, double> saetze[] = {
        {{1, 1, 0}, 1.0}, {{1, 2, 0}, 9.0}, {{1, 1, 0}, 2.0}, {{0, 9, 0}, 8.0}, {{1, 1, 0}, 3.0}};
    for (const auto& [lar, wert] : saetze) {
        f.SucheInit();
        f.LarID.SetWert(lar);
        f.Wert.SetWert(wert);
        f.Insert();
    }
    const TIntTrio key{1, 1, 0};
    f.SucheInit();
    f.KeyNr_Set(Tatplfile::KeyLar);
    f.LarID.SetKeyWert(key);
    // An exact read, then next reads in key order while the key still matches.
    std::vector<double> werte;
    for (bool ok = f.Get_eq(); ok && f.LarID.GetWert() == key; ok = f.Get_next()) werte.push_back(f.Wert.GetWert());
    EXPECT_EQ(werte, (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_TRUE(f.Found()) << "the next read went on past the matching records";
    EXPECT_EQ(f.LarID.GetWert(), (TIntTrio{1, 2, 0}));
}

// Bonus data: a period from November to February. The key gives the lower bound,
// the extended filter the upper bound (year first, the month only within the last year).
TEST(AuswDateien, PupPeriodAcrossTheYearEnd) {
    TTestUmgebung U;
    Tpupfile f(U.Db());
    const std::tuple<int, int, int> saetze[] = {{2024, 2, 1}, {2023, 10, 1}, {2024, 3, 1}, {2023, 12, 2},
                                                {2023, 11, 1}, {2024, 1, 1}, {2023, 12, 1}, {2025, 1, 1}};
    for (const auto& [jahr, monat, mand] : saetze) {
        f.SucheInit();
        f.Jahr.SetWert(jahr);
        f.Monat.SetWert(monat);
        f.Mandant.SetWert({mand, 1});
        f.Insert();
    }
    f.SucheInit();
    f.KeyNr_Set(Tpupfile::KeyPeriode);
    f.Jahr.SetKeyWert(2023);
    f.Monat.SetKeyWert(11);
    f.Monat.SetWert(2);
    f.ExtendedFilterAdd(f.Monat, fvKleinerGleich, fkOder);
    f.Jahr.SetWert(2024);
    f.ExtendedFilterAdd(f.Jahr, fvKleiner, fkUnd);
    f.ExtendedFilterAdd(f.Jahr, fvKleinerGleich, fkUnd);
    f.Mandant.SetWert({1, 1});
    f.ExtendedFilterAdd(f.Mandant, fvGleich, fkUnd);
    f.ExtendedFilterFinalize();
    std::vector<std::pair<int, int>> monate;
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode())
        monate.emplace_back(f.Jahr.GetWert(), f.Monat.GetWert());
    EXPECT_EQ(monate, (std::vector<std::pair<int, int>>{{2023, 11}, {2023, 12}, {2024, 1}, {2024, 2}}));
}

} // namespace
