// The ignore-before setting: its delimited-text rule, bad entries, the round trip through
// the settings mask, and how a change reaches the other engine objects.
#include "exceptions.h"
#include "ignorumsaetze.h"
#include "rdlbroadcast.h"
#include "rdldatum.h"
#include "suitetabellen.h"
#include "testumgebung.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using TDict = TDictionary_FilKnr_2_IgnoriereUmsaetzeVorDatum;

std::vector<TDict::TEintrag> Eintraege(const TDict& ADict) { return {ADict.begin(), ADict.end()}; }

TEST(IgnorUmsaetzeTrennText, ReadingFollowsTheRule) {
    struct Fall { std::string text; std::vector<std::string> erwartet; };
    const Fall faelle[] = {
        {"", {}},
        {" \t ", {}},
        {"a|b", {"a", "b"}},
        {" a | b ", {"a", "b"}},
        {"a b|c", {"a", "b", "c"}},           // a blank outside quotes separates
        {"a\tb", {"a", "b"}},                 // so does a control character
        {"\"a b\"|c", {"a b", "c"}},
        {"\"x|y\"|z", {"x|y", "z"}},          // the delimiter inside quotes is text
        {"\"sag \"\"ja\"\"\"", {"sag \"ja\""}}, // a doubled quote is one quote
        {"\"\"|a", {"", "a"}},
        {"a||b", {"a", "", "b"}},
        {"|a", {"", "a"}},
        {"a|", {"a", ""}},
    };
    for (const auto& f : faelle) EXPECT_EQ(TrennTextLesen(f.text, '|'), f.erwartet) << "[" << f.text << "]";
}

TEST(IgnorUmsaetzeTrennText, WritingQuotesOnlyWhereNeededAndReadsBack) {
    struct Fall { std::vector<std::string> elemente; std::string erwartet; };
    const Fall faelle[] = {
        {{}, ""},
        {{"a", "b"}, "a|b"},
        {{"FILKNR=3;IGNOREVOR=01.03.2026"}, "FILKNR=3;IGNOREVOR=01.03.2026"},
        {{"a b", "c"}, "\"a b\"|c"},
        {{"x|y"}, "\"x|y\""},
        {{"sag \"ja\""}, "\"sag \"\"ja\"\"\""},
        {{"a\tb"}, "\"a\tb\""},
        {{"a;b"}, "a;b"}, // another level's delimiter is plain text here
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(TrennTextSchreiben(f.elemente, '|'), f.erwartet);
        EXPECT_EQ(TrennTextLesen(f.erwartet, '|'), f.elemente) << "[" << f.erwartet << "]";
    }
}

TEST(IgnorUmsaetzeEinstellung, ReadsEntriesInTheirOrder) {
    TDict d;
    IgnorUmsaetzeLesen("FILKNR=3;IGNOREVOR=01.03.2026|FILKNR=1;IGNOREVOR=15.02.2026|"
                       "\"FILKNR=9; IGNOREVOR=02.03.26\"",
                       d);
    const std::vector<TDict::TEintrag> erwartet = {
        {3, EncodeDate(2026, 3, 1)}, {1, EncodeDate(2026, 2, 15)}, {9, EncodeDate(2026, 3, 2)}};
    EXPECT_EQ(Eintraege(d), erwartet);
}

TEST(IgnorUmsaetzeEinstellung, EntriesWithoutBranchOrDateAreLeftOut) {
    TDict d;
    IgnorUmsaetzeLesen("FILKNR=0;IGNOREVOR=01.03.2026|FILKNR=x;IGNOREVOR=01.03.2026|FILKNR=-4;IGNOREVOR=01.03.2026|"
                       "FILKNR=4;IGNOREVOR=31.02.2026|FILKNR=5;IGNOREVOR=morgen|FILKNR=6;IGNOREVOR=|FILKNR=7|"
                       "IGNOREVOR=01.03.2026|FILKNR=8;IGNOREVOR=01.03.2026",
                       d);
    const std::vector<TDict::TEintrag> erwartet = {{8, EncodeDate(2026, 3, 1)}};
    EXPECT_EQ(Eintraege(d), erwartet);
}

TEST(IgnorUmsaetzeEinstellung, ABranchListedTwiceRaisesAfterTheEntriesBeforeIt) {
    TDict d;
    EXPECT_THROW(IgnorUmsaetzeLesen("FILKNR=2;IGNOREVOR=01.03.2026|FILKNR=5;IGNOREVOR=02.03.2026|"
                                    "FILKNR=2;IGNOREVOR=03.03.2026|FILKNR=7;IGNOREVOR=04.03.2026",
                                    d),
                 EListError);
    const std::vector<TDict::TEintrag> erwartet = {{2, EncodeDate(2026, 3, 1)}, {5, EncodeDate(2026, 3, 2)}};
    EXPECT_EQ(Eintraege(d), erwartet);
    EXPECT_THROW(d.Add(5, 1.0), EListError);
}

TEST(IgnorUmsaetzeEinstellung, WritesOneEntryPerBranchInTheDictionarysOrderAndReadsBack) {
    TDict d;
    EXPECT_EQ(IgnorUmsaetzeSchreiben(d), "");
    d.Add(12, EncodeDate(2026, 3, 1));
    d.Add(2, EncodeDate(2025, 12, 31) + 0.75); // a time part is not written
    const std::string text = IgnorUmsaetzeSchreiben(d);
    EXPECT_EQ(text, "FILKNR=12;IGNOREVOR=01.03.2026|FILKNR=2;IGNOREVOR=31.12.2025");
    TDict gelesen;
    IgnorUmsaetzeLesen(text, gelesen);
    const std::vector<TDict::TEintrag> erwartet = {{12, EncodeDate(2026, 3, 1)}, {2, EncodeDate(2025, 12, 31)}};
    EXPECT_EQ(Eintraege(gelesen), erwartet);
}

TEST(IgnorUmsaetzeEinstellung, SalesBeforeTheDayOfTheirBranchAreIgnored) {
    TDict d;
    d.Add(4, EncodeDate(2026, 3, 1));
    EXPECT_TRUE(IgnorUmsaetzeVorDatum(d, 4, EncodeDate(2026, 2, 28) + 0.99));
    EXPECT_FALSE(IgnorUmsaetzeVorDatum(d, 4, EncodeDate(2026, 3, 1)));
    EXPECT_FALSE(IgnorUmsaetzeVorDatum(d, 4, EncodeDate(2026, 3, 1) + 0.5));
    EXPECT_FALSE(IgnorUmsaetzeVorDatum(d, 5, EncodeDate(2026, 2, 28)));
}

// Messages of this test stay among its own processes.
struct TEigenerNachrichtenOrdner {
    std::string Ordner;
    TEigenerNachrichtenOrdner() {
        char muster[] = "/tmp/quendrix-test-XXXXXX";
        Ordner = mkdtemp(muster);
        setenv("QUENDRIX_NACHRICHTENORDNER", Ordner.c_str(), 1);
    }
    ~TEigenerNachrichtenOrdner() {
        unsetenv("QUENDRIX_NACHRICHTENORDNER");
        std::filesystem::remove_all(Ordner);
    }
};

// How an engine object holds the dates: dropped on another object's change, read again on use.
class TEngineObjekt {
public:
    TEngineObjekt()
        : FNachricht(RDLRegisterWindowMessage(CIgnorUmsaetzeNachricht)),
          FFenster([this](uint32_t AMsg, uint64_t AWParam, int64_t) {
              if (AMsg == FNachricht && AWParam != FFenster.Handle()) FDaten.reset();
          }) {}
    const TDict& Get() {
        RDLNachrichtenVerarbeiten();
        if (!FDaten) {
            FDaten = std::make_unique<TDict>();
            IgnorUmsaetzeEinstellungLesen(*FDaten);
        }
        return *FDaten;
    }
    void Set(const TDict& AWert) {
        FDaten = std::make_unique<TDict>(AWert);
        IgnorUmsaetzeEinstellungSchreiben(AWert);
        IgnorUmsaetzeAenderungMelden(FFenster.Handle());
    }
    bool Gelesen() const { return FDaten != nullptr; }

private:
    uint32_t FNachricht;
    TRDLNachrichtenEmpfaenger FFenster;
    std::unique_ptr<TDict> FDaten;
};

TEST(IgnorUmsaetzeEinstellung, AChangeIsWrittenToTheSettingAndOtherEngineObjectsReadItAgain) {
    TTestUmgebung U;
    TEigenerNachrichtenOrdner ordner;
    TEngineObjekt a, b;
    EXPECT_EQ(b.Get().Count(), 0);
    TDict neu;
    neu.Add(3, EncodeDate(2026, 3, 10));
    a.Set(neu);
    EXPECT_EQ(TSimpleMask("PEP", "UMSAETZE").ReadGlobalDef("IGNOREUMSAETZEVOR", ""), "FILKNR=3;IGNOREVOR=10.03.2026");
    EXPECT_TRUE(a.Gelesen()) << "the sender keeps what it wrote";
    EXPECT_FALSE(b.Gelesen()) << "the other object dropped its dates";
    EXPECT_EQ(b.Get(), neu);
    EXPECT_TRUE(U.Meldungen().Meldungen.empty());
}

} // namespace
