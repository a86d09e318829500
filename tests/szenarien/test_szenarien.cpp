// Scenario tests of the shared parts: the fixture installation in, a small sales list (per
// client, branch and day) exported through the result grid, compared with the files in
// erwartet/. Each evaluation's own scenarios (its export from the command line) sit
// beside its tests, e.g. tests/evaluations_sales/test_szenarien_umsatzauswertung.cpp.
#include "qttestapp.h"
#include "szenario.h"

#include "kovdbfiles.h"
#include "suitetabellen.h"
#include "vrgruppierung.h"
#include "vrlisthelfer.h"
#include "vtrdlvrlist.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

namespace {

enum Spalte : int32_t { Kopf = 0, Mandant, Filiale, Name, Tag, Wochentag, Bons, Menge, Umsatz, Rohertrag };

// Sums of the counted sales lines (not the opening balances) of the fixture's current
// days per client, branch and day, read through the record layer in date-key order.
std::unique_ptr<TVRList> UmsatzJeTag(TRDLDatenbank& ADb) {
    struct TSumme {
        std::set<std::pair<int, int>> Bons; // computer, transaction
        int64_t Menge = 0;
        double Umsatz = 0, Rohertrag = 0;
    };
    std::map<std::tuple<TIntPair, int, TDateTime>, TSumme> summen;
    Tlstfile lst(ADb);
    lst.SucheInit();
    lst.KeyNr_Set(Tlstfile::KeyDatum);
    for (bool ok = lst.Get_first(); ok; ok = lst.Get_next()) {
        if (lst.Satzart.GetWert() == "EB" || lst.Datum.GetWert() < szenario::CErsterTag) continue;
        TSumme& s = summen[{lst.Mandant.GetWert(), lst.Filiale.GetWert(), lst.Datum.GetWert()}];
        s.Bons.insert({lst.Rechner.GetWert(), lst.TransNr.GetWert()});
        s.Menge += lst.Menge.GetWert();
        s.Umsatz += lst.Betrag.GetWert();
        s.Rohertrag += lst.Betrag.GetWert() - lst.EK.GetWert();
    }

    auto liste = std::make_unique<TVRList>();
    auto spalte = [&](const char* ACaption, TVRValueType ATyp, const char* AMuster = "") -> TVRColumn& {
        TVRColumn& c = liste->ColumnAdd();
        c.Caption = ACaption;
        c.VRType = ATyp;
        if (*AMuster) c.FormatType = TVRFormatType::vrftPattern, c.FormatStr = AMuster;
        return c;
    };
    spalte("", TVRValueType::vrvtString);
    spalte("Mandant", TVRValueType::vrvtString);
    spalte("Filiale", TVRValueType::vrvtInteger);
    spalte("Name", TVRValueType::vrvtString);
    spalte("Tag", TVRValueType::vrvtDate, "dd.mm.yyyy");
    TVRColumn& wochentag = spalte("Wochentag", TVRValueType::vrvtDate);
    wochentag.FormatType = TVRFormatType::vrftRoutine;
    wochentag.FormatRoutine = Format_DateVRItem_2_Wochentag;
    spalte("Bons", TVRValueType::vrvtInteger, "%.0n");
    spalte("Menge", TVRValueType::vrvtInteger, "%.0n");
    spalte("Umsatz", TVRValueType::vrvtFloat, "%.2n");
    spalte("Rohertrag", TVRValueType::vrvtFloat, "%.2n");

    IRDL_MandListeServer* mandanten = TRDLServerFactory::MandListeServer_Get();
    TFilialTabelle filialen(ADb);
    TVRArray puffer = liste->VRArray_ForRowAdd_Generate();
    for (const auto& [schluessel, s] : summen) {
        const auto& [mandant, filiale, tag] = schluessel;
        const TFiliale* f = filialen.Filialen().GetFilialeByNr(filiale);
        String2VRItem(mandanten->GetMandantByKey(mandant).Name, puffer, Mandant);
        Integer2VRItem(filiale, puffer, Filiale);
        String2VRItem(f ? f->Name : "", puffer, Name);
        Date2VRItem(tag, puffer, Tag);
        Date2VRItem(tag, puffer, Wochentag);
        Integer2VRItem(int64_t(s.Bons.size()), puffer, Bons);
        Integer2VRItem(s.Menge, puffer, Menge);
        Float2VRItem(s.Umsatz, puffer, Umsatz);
        Float2VRItem(s.Rohertrag, puffer, Rohertrag);
        liste->RowAdd(puffer);
    }
    TRDLServerFactory::MandListeServer_Release(mandanten);
    return liste;
}

// Grouped by client, then branch, captions from the client and branch names; the
// grid exports the rows of one depth.
TSzenarioLauf GridExport(int AEbene) {
    return [AEbene](TTestDatenbankOrt& AInstallation, const std::string& ADatei) {
        TQtApp app;
        TVTRDLVRList grid;
        QAbstractItemModelTester tester(&grid.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        TVRGroupList ebenen;
        VRGroupList_Fill(ebenen, {Mandant, Filiale}, {0, 0},
                         {{Mandant, TVRFunctionType::vrfNone},
                          {Filiale, TVRFunctionType::vrfNoneToo},
                          {Name, TVRFunctionType::vrfNone},
                          {Tag, TVRFunctionType::vrfNoneToo},
                          {Wochentag, TVRFunctionType::vrfNoneToo},
                          {Bons, TVRFunctionType::vrfSum},
                          {Menge, TVRFunctionType::vrfSum},
                          {Umsatz, TVRFunctionType::vrfSum},
                          {Rohertrag, TVRFunctionType::vrfSum}});
        auto baum = CreateGroupedVRList(*UmsatzJeTag(AInstallation.Db()), ebenen, false);
        BezeichnungGruppenkopfSetzen(*baum, {Mandant, Name});
        grid.List_Set(std::move(baum));
        grid.ExpandAll();
        ASSERT_TRUE(grid.Export2CSV_KnownFilename(ADatei, AEbene, ';'));
    };
}

const TSzenario CSzenarien[] = {
    {"umsatz_je_mandant", GridExport(0)},
    {"umsatz_je_filiale", GridExport(1)},
    {"umsatz_je_tag", GridExport(-1)},
};

class Umsatzliste : public ::testing::TestWithParam<TSzenario> {};

} // namespace

TEST_P(Umsatzliste, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

// Lower-case prefix: the area's tests all begin with "szenarien".
INSTANTIATE_TEST_SUITE_P(szenarien, Umsatzliste, ::testing::ValuesIn(CSzenarien), TSzenarioName());

TEST(szenarien, UnterschiedNenntZeilenMitNummernErwartetUndErhalten) {
    EXPECT_EQ(SzenarioUnterschied("a;1\r\n", "a;1\r\n"), "");
    const std::string u = SzenarioUnterschied("K\xFC"
                                              "che;1\r\nb;2\r\nc;3\r\n",
                                              "K\xFC"
                                              "che;1\r\nb;5\r\nc;3\r\nd;4\n");
    EXPECT_EQ(u, "erwartet 3 Zeilen, erhalten 4 Zeilen\n"
                 "  Zeile 2 erwartet: \"b;2\"\n"
                 "  Zeile 2 erhalten: \"b;5\"\n"
                 "  Zeile 4 erhalten: \"d;4\" [LF statt CR LF]\n");
    // A missing row shows as that row only; Windows-1252 is shown readable.
    EXPECT_EQ(SzenarioUnterschied("K\xFC"
                                  "che;1\r\nb;2\r\n",
                                  "b;2\r\n"),
              "erwartet 2 Zeilen, erhalten 1 Zeilen\n"
              "  Zeile 1 erwartet: \"Küche;1\"\n");
}
