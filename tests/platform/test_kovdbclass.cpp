// The record layer: key order, reads under key filters and extended filters,
// record buffer semantics, writes while reading, transactions.
#include "kovdbfiles.h"
#include "rdldatum.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>
#include <unistd.h>

namespace {

class RecordLayer : public ::testing::Test {
protected:
    TTestUmgebung U;
    const double D1 = EncodeDate(2026, 3, 1), D2 = EncodeDate(2026, 3, 2), D3 = EncodeDate(2026, 3, 3);

    // Sales lines in deliberately unsorted insertion order.
    void SetUp() override {
        struct Z { int mand, rechner, trans, pos; double datum; int fil; const char* art; };
        const Z zeilen[] = {
            {1, 2, 7, 1, D2, 3, "VK"}, {1, 1, 5, 2, D1, 2, "VK"}, {1, 1, 5, 1, D1, 1, "EB"},
            {2, 1, 1, 1, D3, 1, "VK"}, {1, 1, 6, 1, D2, 1, "RE"}, {1, 2, 3, 1, D1, 2, "VK"},
            {1, 1, 9, 1, D3, 2, "VK"},
        };
        for (const auto& z : zeilen) {
            TTestUmgebung::TVerkauf v;
            v.MandA = z.mand; v.Rechner = z.rechner; v.TransNr = z.trans; v.PosNr = z.pos;
            v.Datum = z.datum; v.Filiale = z.fil; v.Satzart = z.art;
            v.Betrag = z.trans * 10 + z.pos;
            U.Verkauf(v);
        }
    }

    // (Rechner, TransNr, PosNr) of every record a loop reads.
    template <class First, class Next>
    std::vector<std::tuple<int, int, int>> Lies(Tlstfile& f, First first, Next next) {
        std::vector<std::tuple<int, int, int>> r;
        for (bool ok = first(); ok; ok = next())
            r.emplace_back(f.Rechner.GetWert(), f.TransNr.GetWert(), f.PosNr.GetWert());
        return r;
    }
};

TEST_F(RecordLayer, ReadsFollowTheSelectedKeyNotTheInsertionOrder) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyTransaktion);
    f.Mandant.SetKeyWert({1, 1});
    f.Rechner.SetKeyWert(1);
    f.TransNr.SetKeyWert(0);
    f.PosNr.SetKeyWert(0);
    const auto r = Lies(f, [&] { return f.Get_ge(); }, [&] { return f.Get_next(); });
    // From client 1 computer 1 on, in key order, up to the end of the file (client 2).
    const std::vector<std::tuple<int, int, int>> erwartet = {
        {1, 5, 1}, {1, 5, 2}, {1, 6, 1}, {1, 9, 1}, {2, 3, 1}, {2, 7, 1}, {1, 1, 1}};
    EXPECT_EQ(r, erwartet);
}

TEST_F(RecordLayer, KeyFilterRestrictsGetGeAndNext) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyTransaktion);
    f.Mandant.SetKeyWertAndFilter({1, 1});
    f.Rechner.SetKeyWertAndFilter(1);
    f.TransNr.SetKeyWertAndFilter(5);
    f.PosNr.SetKeyWert(0);
    const auto r = Lies(f, [&] { return f.Get_ge(); }, [&] { return f.Get_next(); });
    EXPECT_EQ(r, (std::vector<std::tuple<int, int, int>>{{1, 5, 1}, {1, 5, 2}}));
    EXPECT_FALSE(f.Found());
}

TEST_F(RecordLayer, ExtendedRangeOverTheDateKey) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.Datum.SetKeyWert(D1);
    f.Datum.KeyWertUebernehmen();
    f.ExtendedFilterAdd(f.Datum, fvGroesserGleich, fkUnd);
    f.Datum.SetWert(D2);
    f.ExtendedFilterAdd(f.Datum, fvKleinerGleich, fkEnde);
    std::vector<std::pair<double, int>> r;
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode())
        r.emplace_back(f.Datum.GetWert(), f.Filiale.GetWert());
    // Date key: day, then branch.
    EXPECT_EQ(r, (std::vector<std::pair<double, int>>{{D1, 1}, {D1, 2}, {D1, 2}, {D2, 1}, {D2, 3}}));
}

TEST_F(RecordLayer, ExtendedFilterIsIgnoredByPlainReads) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.Satzart.SetWert("VK");
    f.ExtendedFilterAdd(f.Satzart, fvGleich, fkEnde);
    int plain = 0, ext = 0;
    for (bool ok = f.Get_first(); ok; ok = f.Get_next()) ++plain;
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) ++ext;
    EXPECT_EQ(plain, 7);
    EXPECT_EQ(ext, 5);
}

TEST_F(RecordLayer, GetLeExtModeFindsTheHighestTransactionOfAComputer) {
    struct Fall { int mand, rechner, erwartet; };
    for (const Fall fall : {Fall{1, 1, 9}, Fall{1, 2, 7}, Fall{2, 1, 1}, Fall{2, 2, 0}, Fall{3, 1, 0}}) {
        Tlstfile f;
        f.SucheInit();
        f.KeyNr_Set(Tlstfile::KeyTransaktion);
        f.Mandant.SetKeyWert({fall.mand, 1});
        f.Rechner.SetKeyWert(fall.rechner);
        f.TransNr.SetKeyWert(f.TransNr.GroessterWert());
        f.PosNr.SetKeyWert(f.PosNr.GroessterWert());
        f.Mandant.KeyWertUebernehmen();
        f.Rechner.KeyWertUebernehmen();
        f.ExtendedFilterAdd(f.Mandant, fvGleich, fkUnd);
        f.ExtendedFilterAdd(f.Rechner, fvGleich, fkEnde);
        f.ExtendedMaxReceive_Set(1);
        const int gefunden = f.Get_le_extMode() ? f.TransNr.GetWert() : 0;
        EXPECT_EQ(gefunden, fall.erwartet) << "Mandant " << fall.mand << " Rechner " << fall.rechner;
        EXPECT_FALSE(f.Get_next_extMode()) << "at most one record";
    }
}

TEST_F(RecordLayer, MaxReceiveLimitsTheWholeSearch) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.ExtendedMaxReceive_Set(3);
    int n = 0;
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) ++n;
    EXPECT_EQ(n, 3);
    f.SucheInit(); // a new search has no limit
    n = 0;
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) ++n;
    EXPECT_EQ(n, 7);
}

TEST_F(RecordLayer, OrLinkedTermsAndAFailedReadKeepsTheBuffer) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.Satzart.SetWert("EB");
    f.ExtendedFilterAdd(f.Satzart, fvGleich, fkOder);
    f.Satzart.SetWert("RE");
    f.ExtendedFilterAdd(f.Satzart, fvGleich, fkEnde);
    std::vector<std::string> arten;
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) arten.push_back(f.Satzart.GetWert());
    EXPECT_EQ(arten, (std::vector<std::string>{"EB", "RE"}));
    // The failed next read left the last record in the buffer, all fields readable.
    EXPECT_EQ(f.Satzart.GetWert(), "RE");
    EXPECT_DOUBLE_EQ(f.Betrag.GetWert(), 61);
    EXPECT_EQ(f.Filiale.GetWert(), 1);
}

TEST_F(RecordLayer, GetEqMissLeavesSetValuesForTheInsertThatFollows) {
    Tumsvfile f;
    for (int runde = 0; runde < 2; ++runde) {
        f.SucheInit();
        f.KeyNr_Set(Tumsvfile::KeyStatistik);
        f.Kennung.SetWert("UMSAUSW");
        f.Mandant.SetWert(TIntPair{1, 1});
        f.Rechner.SetWert(4);
        f.Kennung.FeldwertAlsKey();
        f.Mandant.FeldwertAlsKey();
        f.Rechner.FeldwertAlsKey();
        const bool gefunden = f.Get_eq();
        EXPECT_EQ(gefunden, runde == 1);
        f.TransNr.SetWert(100 + runde);
        if (gefunden) f.Update();
        else f.Insert();
    }
    EXPECT_EQ(f.GetCount(), 1);
    f.SucheInit();
    f.Kennung.SetKeyWertAndFilter("UMSAUSW");
    ASSERT_TRUE(f.Get_ge());
    EXPECT_EQ(f.Rechner.GetWert(), 4);
    EXPECT_EQ(f.TransNr.GetWert(), 101);
}

// A read of a few fields: the others of a found record still come (by its position), an
// update writes them back unchanged, and the read goes on in key order.
TEST_F(RecordLayer, AReadOfFewFieldsStillGivesEveryFieldAndUpdatesKeepThem) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.Datum.SetKeyWert(D1);
    f.LeseFelder_Set({&f.Betrag});
    std::vector<std::tuple<double, int, double, std::string, int>> r;
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) {
        // Key fields and the listed field from the row, the kind and number by position.
        r.emplace_back(f.Datum.GetWert(), f.Filiale.GetWert(), f.Betrag.GetWert(), f.Satzart.GetWert(),
                       f.TransNr.GetWert());
        if (f.TransNr.GetWert() == 6) {
            f.Menge.SetWert(4);
            f.Update();
        }
    }
    const std::vector<std::tuple<double, int, double, std::string, int>> erwartet = {
        {D1, 1, 51, "EB", 5}, {D1, 2, 52, "VK", 5}, {D1, 2, 31, "VK", 3}, {D2, 1, 61, "RE", 6},
        {D2, 3, 71, "VK", 7},  {D3, 1, 11, "VK", 1}, {D3, 2, 91, "VK", 9}};
    EXPECT_EQ(r, erwartet);
    auto st = U.Db().Prepare("SELECT satzart, betrag, menge, rechner, posnr FROM lst WHERE transnr = 6");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColText(0), "RE");
    EXPECT_EQ(st.ColDouble(1), 61);
    EXPECT_EQ(st.ColInt(2), 4);
    EXPECT_EQ(st.ColInt(3), 1);
    EXPECT_EQ(st.ColInt(4), 1);
    // A new search reads every field again.
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    ASSERT_TRUE(f.Get_first());
    EXPECT_EQ(f.Satzart.GetWert(), "EB");
}

TEST_F(RecordLayer, UpdatingTheFileWhileReadingItContinuesAfterTheCurrentRecord) {
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    int gelesen = 0;
    for (bool ok = f.Get_first(); ok; ok = f.Get_next()) {
        f.Menge.SetWert(f.Menge.GetWert() + 1);
        f.Update();
        ++gelesen;
    }
    EXPECT_EQ(gelesen, 7);
    auto st = U.Db().Prepare("SELECT SUM(menge) FROM lst");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColInt(0), 14);
}

TEST_F(RecordLayer, InsertingIntoAnotherFileDoesNotDisturbAReadLoop) {
    Tlstfile lst;
    Tumsvfile umsv;
    lst.SucheInit();
    lst.KeyNr_Set(Tlstfile::KeyTransaktion);
    int n = 0;
    for (bool ok = lst.Get_first(); ok; ok = lst.Get_next()) {
        umsv.SatzLeeren();
        umsv.Kennung.SetWert("X");
        umsv.Rechner.SetWert(++n);
        umsv.Insert();
    }
    EXPECT_EQ(n, 7);
    EXPECT_EQ(umsv.GetCount(), 7);
}

TEST_F(RecordLayer, UncommittedManualCommitLeavesNoTrace) {
    {
        Tumsvfile f;
        f.ManualCommit_Set(true);
        f.Kennung.SetWert("A");
        f.Rechner.SetWert(1);
        f.Insert();
        f.Commit();
        f.Kennung.SetWert("B");
        f.Insert();
        // destroyed without Commit
    }
    Tumsvfile f;
    EXPECT_EQ(f.GetCount(), 1);
    f.SucheInit();
    ASSERT_TRUE(f.Get_first());
    EXPECT_EQ(f.Kennung.GetWert(), "A");
}


TEST_F(RecordLayer, BlobAndUnknownKey) {
    Tmaskfile m;
    m.Sprache.SetWert("DEU");
    m.Bereich.SetWert("VSTAT");
    m.Name.SetWert("PRAEMIEN");
    m.Daten.SetWert({"MANDANT=1/1\nVKPRAEMBER=J"});
    m.Insert();
    m.SucheInit();
    m.Sprache.SetKeyWert("DEU");
    m.Bereich.SetKeyWert("VSTAT");
    m.Name.SetKeyWert("PRAEMIEN");
    m.Zusatz.SetKeyWert("");
    m.Nr.SetKeyWert("");
    ASSERT_TRUE(m.Get_eq());
    auto s = m.CreateBlobStream(m.Daten);
    std::string zeile;
    std::getline(*s, zeile);
    EXPECT_EQ(zeile, "MANDANT=1/1");
    EXPECT_THROW(m.KeyNr_Set(7), EDatenbankFehler);
}

} // namespace

namespace {

// Longer than one query block of the server store: the read continues after the last
// row of each block, forwards and backwards, without losing or repeating a record.
TEST(RecordLayerBlocks, ARangeReadLongerThanAQueryBlockSeesEveryRecordOnceInKeyOrder) {
    TTestUmgebung U;
    constexpr int n = 4500;
    {
        RDLBuchung b(U.Db());
        auto laden = U.Db().Massenladen("lst", {"mand_a", "mand_b", "rechner", "transnr", "posnr", "datum", "filiale"});
        for (int i = 0; i < n; ++i) {
            // Few distinct keys: most rows are ordered by their record position alone.
            for (int64_t v : {1, 1, 1, i, 1}) laden->Int(v);
            laden->Double(EncodeDate(2026, 3, 1 + i % 3));
            laden->Int(1 + i % 2);
            laden->ZeileEnde();
        }
        laden->Abschliessen();
    }
    Tlstfile f;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    std::set<int> gesehen;
    std::tuple<double, int, int> letzter{0, 0, -1};
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) {
        const std::tuple<double, int, int> jetzt{f.Datum.GetWert(), f.Filiale.GetWert(), 0};
        EXPECT_LE(std::get<0>(letzter), std::get<0>(jetzt));
        letzter = jetzt;
        EXPECT_TRUE(gesehen.insert(f.TransNr.GetWert()).second) << "read twice: " << f.TransNr.GetWert();
    }
    EXPECT_EQ(gesehen.size(), size_t(n));
    // The same with only the number read.
    gesehen.clear();
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.LeseFelder_Set({&f.TransNr});
    for (bool ok = f.Get_ge(); ok; ok = f.Get_next()) gesehen.insert(f.TransNr.GetWert());
    EXPECT_EQ(gesehen.size(), size_t(n));
    int rueckwaerts = 0;
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.Datum.SetKeyWert(TDatumDatenKeyFeld::GroessterWert());
    f.Filiale.SetKeyWert(TSmallIntDatenKeyFeld::GroessterWert());
    for (bool ok = f.Get_le(); ok; ok = f.Get_prev()) ++rueckwaerts;
    EXPECT_EQ(rueckwaerts, n);
}

} // namespace
