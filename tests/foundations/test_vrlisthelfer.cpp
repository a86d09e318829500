#include "vrlisthelfer.h"

#include "erwarteteausnahmen.h"
#include "exceptions.h"
#include "rdlinfo.h"
#include "testdateien.h"
#include "testumgebung.h"
#include "vrtestlisten.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace vrtest;
using Namen = TArray<std::string>;

TEST(VROptionen, MenuCaptionsGiveColumnNames) {
    const std::vector<std::pair<std::string, Namen>> faelle = {
        {"Filiale | Verkäufer", {"Filiale", "Verkäufer"}},
        {" &Filiale | Jahr | Mo&nat ", {"Filiale", "Jahr", "Monat"}},
        {"Filiale", {"Filiale"}},
        {"Keine", {}},
        {"&Keine", {}},
        {"", {}},
    };
    for (const auto& [caption, namen] : faelle) EXPECT_EQ(GruppierspaltenAusMenuText(caption), namen) << caption;

    const Namen optionen = {"Keine", "Filiale | Verkäufer", "Filiale | Jahr | Monat"};
    EXPECT_EQ(OptionstextIndex(optionen, "&Filiale | Jahr | Monat"), 2);
    EXPECT_EQ(OptionstextIndex(optionen, "Filiale|Verkäufer"), 1);
    EXPECT_EQ(OptionstextIndex(optionen, "Jahr"), -1);
}

TEST(VROptionen, ArraysAreEqualOnlyWithSameColumnsInSameOrder) {
    EXPECT_TRUE(GruppierSpaltenEqual({5, 2}, {5, 2}));
    EXPECT_FALSE(GruppierSpaltenEqual({5, 2}, {2, 5}));
    EXPECT_FALSE(GruppierSpaltenEqual({5, 2}, {5}));
    EXPECT_TRUE(GruppierSpaltenEqual({}, {}));
}

TEST(VROptionen, CaptionLookupIgnoresLetterCase) {
    const auto liste = Verkaeufe();
    liste->GetColumn(Notiz).Caption = "Verkäufer";
    EXPECT_EQ(GetSpaltenOrd4String(*liste, "filiale"), Filiale);
    EXPECT_EQ(GetSpaltenOrd4String(*liste, "VERKÄUFER"), Notiz);
    EXPECT_EQ(GetSpaltenOrd4String(*liste, "Jahr"), -1);
    EXPECT_EQ(GruppierspaltenZuIndizes(*liste, GruppierspaltenAusMenuText("Region | Jahr")),
              (TVRGruppierOption{Region, -1}));
}

TEST(VRGruppenkopf, CaptionsShowTheValueEveryMemberShares) {
    auto baum = Gruppiert(*Verkaeufe(), {Region, Tag}, {0, 0});
    BezeichnungGruppenkopfSetzen(*baum, {Region, Tag});
    EXPECT_EQ(Baum(*baum),
              "Nord|Nord||7|13,50||{"
              "Januar 2025|Nord||5|3,00||Januar 2025{|Nord|3|4|2,00|c|Januar 2025 |Nord|1|1|1,00|d|Januar 2025} "
              "April 2025|Nord||2|10,50||April 2025{|Nord|1|2|10,50|a|April 2025}} "
              "Süd|Süd||6|1,75||{"
              "Januar 2025|Süd||1|1,25||Januar 2025{|Süd|2|1|1,25|b|Januar 2025} "
              "Dezember 2025|Süd||5|0,50||Dezember 2025{|Süd|2|5|0,50|e|Dezember 2025}}");

    // A name that matched no column leaves its level without captions.
    auto ohne = Gruppiert(*Verkaeufe(), {Region, Filiale}, {0, 0});
    BezeichnungGruppenkopfSetzen(*ohne, {-1, Filiale});
    EXPECT_EQ(ohne->GetCellValueAsFormatedString(0, Kopf), "");
    EXPECT_EQ(ohne->GetRowChild(0)->GetCellValueAsFormatedString(0, Kopf), "1");
}

TEST(VRGruppenkopf, AFailureEndsOnlyItsLevelAndIsRegistered) {
    TTestUmgebung umgebung(false);
    TErwarteteAusnahmen erwartet{"BezeichnungGruppenkopfSetzen"};
    auto baum = Gruppiert(*Verkaeufe(), {Region, Tag}, {0, 0});
    baum->GetColumn(Tag).FormatRoutine = [](const TVRItem& AWert, const TVRFormatSettings& AFormat) {
        const std::string text = Format_DateVRItem_2_BeschreibungMonat(AWert, AFormat);
        if (text == "April 2025") throw EConvertError("kaputt");
        return text;
    };
    BezeichnungGruppenkopfSetzen(*baum, {Region, Tag});
    std::string koepfe;
    for (int32_t i = 0; i < baum->GetRowCount(); ++i) {
        koepfe += baum->GetCellValueAsFormatedString(i, Kopf) + ":";
        for (int32_t k = 0; k < baum->GetRowChild(i)->GetRowCount(); ++k)
            koepfe += baum->GetRowChild(i)->GetCellValueAsFormatedString(k, Kopf) + ",";
    }
    EXPECT_EQ(koepfe, "Nord:Januar 2025,,Süd:Januar 2025,Dezember 2025,");
    ASSERT_EQ(RDLInfo().Registrierte().size(), 1u);
    EXPECT_EQ(RDLInfo().Registrierte()[0].TraceName, "BezeichnungGruppenkopfSetzen");
}

TEST(VRCsv, EachLevelWritesItsRowsWithTheVisibleColumns) {
    auto baum = Gruppiert(*Verkaeufe(), {Region, Filiale}, {0, 0});
    BezeichnungGruppenkopfSetzen(*baum, {Region, Filiale});
    baum->GetColumn(Kopf).Caption = "Region";
    baum->GetColumn(Region).Visible = false;
    baum->GetColumn(Notiz).Visible = false;
    baum->GetColumn(Tag).Visible = false;
    struct Fall {
        int32_t Level;
        std::string Csv;
    };
    const std::vector<Fall> faelle = {
        {0, "Region;Filiale;Menge;Betrag\r\nNord;;7;13,50\r\nSüd;;6;1,75\r\n"},
        {1, "Region;Filiale;Menge;Betrag\r\n1;1;3;11,50\r\n3;3;4;2,00\r\n2;2;6;1,75\r\n"},
        {-1, "Region;Filiale;Menge;Betrag\r\n;1;2;10,50\r\n;1;1;1,00\r\n;3;4;2,00\r\n;2;1;1,25\r\n;2;5;0,50\r\n"},
        {2, "Region;Filiale;Menge;Betrag\r\n;1;2;10,50\r\n;1;1;1,00\r\n;3;4;2,00\r\n;2;1;1,25\r\n;2;5;0,50\r\n"},
        {3, "Region;Filiale;Menge;Betrag\r\n"},
    };
    for (const auto& f : faelle) EXPECT_EQ(VRList2CSV(*baum, f.Level, ';', TCSVKodierung::Utf8), f.Csv) << f.Level;
}

TEST(VRCsv, FieldsAreQuotedAndTheFileIsWindows1252) {
    const std::vector<std::pair<std::string, std::string>> felder = {
        {"ab", "ab"}, {"a;b", "\"a;b\""}, {"sagt \"hi\"", "\"sagt \"\"hi\"\"\""}, {"a\r\nb", "\"a\r\nb\""}, {"a,b", "a,b"}};
    for (const auto& [text, feld] : felder) EXPECT_EQ(CSVFeld(text, ';'), feld);

    EXPECT_EQ(Utf8_2_Windows1252("Süd 5 € – ÄÖÜß → x"), "S\xFC" "d 5 \x80 \x96 \xC4\xD6\xDC\xDF ? x");

    auto liste = Verkaeufe();
    liste->ColumnsClear();
    liste->ColumnAdd().Caption = "Straße";
    liste->RowAdd({TVRItem::String("Größe; groß")});
    const std::string name = ::testing::TempDir() + "vrcsv_test.csv";
    ASSERT_TRUE(VRList2CSVDatei(name, *liste, -1, ';'));
    EXPECT_EQ(DateiLesen(name), "Stra\xDF" "e\r\n\"Gr\xF6\xDF" "e; gro\xDF\"\r\n");
    std::remove(name.c_str());
}

} // namespace
