// The sales evaluation on the fixture installation with the real statistics engine: the
// window's export compared with the stored files (erwartet/<name>.csv).
#include "qttestapp.h"
#include "szenario.h"

#include "kovzeitraumeingabe.h"
#include "quendrix.h"
#include "quendrixmodule.h"
#include "rdldatum.h"
#include "rdldialog.h"
#include "umsauswmainfrm.h"

#include <sstream>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// The days 01.12. to 10.12.2026 beside one prior year (without sales), exported at
// the given level of the default grouping (day, client).
TSzenarioLauf UmsatzauswertungExport(const char* ALevel, int AFilialanzeige) {
    return [=](TTestDatenbankOrt&, const std::string& ADatei) {
        TQtApp qt;
        rdl_HeuteFestlegen(szenario::CErsterTag + szenario::CTage + 0.5);
        struct TZurueck {
            std::unique_ptr<IRDLDialoge> Alt;
            ~TZurueck() {
                rdl_HeuteFestlegen(0);
                RDLDialoge_Ersetzen(std::move(Alt));
            }
        } zurueck;
        auto dialoge = std::make_unique<TRDLVorgabeDialoge>();
        dialoge->Vorgeben(TRDLDialogAntwort::DateiName(ADatei));
        zurueck.Alt = RDLDialoge_Ersetzen(std::move(dialoge));
        RDLProgramm().OhneDialogeSetzen(true);

        TKOV_UmsatzAuswertFrm f; // the comparison facade of the engine
        f.FormShow();            // the defaults: all origins, the last seven days
        f.edtZeitraum->Zeitraum_Set({szenario::CErsterTag, szenario::CErsterTag + szenario::CTage - 1});
        f.edtAnzahlVorjahre->setText("1");
        f.edtAnzahlVorjahreExit();
        f.cmbFilialAuswahl->setCurrentIndex(2);
        f.cmbAnzeigeFilialen->setCurrentIndex(AFilialanzeige);
        f.btnAuswertenClick();
        f.edtBaumlevel->setText(ALevel);
        f.btnExportierenClick();
        if (!RDLInfo().Registrierte().empty()) throw Exception(RDLInfo().Registrierte().front().Text);
    };
}

// The same selection from the command line, as a script runs it: the result file must
// be what "&Exportieren" writes (erwartet/umsatzauswertung_stapellauf.csv equals
// umsatzauswertung_filialtage.csv byte for byte).
TSzenarioLauf UmsatzauswertungStapellauf() {
    return [](TTestDatenbankOrt& AOrt, const std::string& ADatei) {
        rdl_HeuteFestlegen(szenario::CErsterTag + szenario::CTage + 0.5);
        struct TZurueck {
            ~TZurueck() { rdl_HeuteFestlegen(0); }
        } zurueck;
        QuendrixAuswertungenRegistrieren();
        std::ostringstream aus, fehler;
        const int rc = QuendrixMain({"--db", AOrt.Ort(), "--user", "tester", "-kn", "UMSAUSW", "-autoreport",
                                     "--von", DateToStr(szenario::CErsterTag), "--bis",
                                     DateToStr(szenario::CErsterTag + szenario::CTage - 1), "--vorjahre", "1",
                                     "--filialauswahl", "2", "--anzeige-filialen", "2", "--level=0", "--export",
                                     ADatei},
                                    aus, fehler);
        if (rc != 0) throw Exception("Exitcode " + std::to_string(rc) + ": " + fehler.str());
    };
}

const TSzenario CSzenarien[] = {
    {"umsatzauswertung_stapellauf", UmsatzauswertungStapellauf()},
    {"umsatzauswertung_tag_mandant", UmsatzauswertungExport("2", 0)},
    {"umsatzauswertung_filialtage", UmsatzauswertungExport("0", 2)},
};

class Umsatzauswertung : public ::testing::TestWithParam<TSzenario> {};

} // namespace

TEST_P(Umsatzauswertung, ExportGleichtDerErwartetenDatei) { SzenarioPruefen(GetParam()); }

INSTANTIATE_TEST_SUITE_P(szenarien, Umsatzauswertung, ::testing::ValuesIn(CSzenarien), TSzenarioName());
