// The article stock export from the command line (-kn ARTBESTCSVEXP -autoreport): the
// workstation's stored selection, the period of --von/--bis, the file of --export.
#include "artbest_gr_csv_ausw.h"
#include "artbest_gr_csv_auswfrm.h"

#include "artvseleingdlg.h"
#include "auswertungszeitraumdlg.h"
#include "rdlartquery.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlstapellauf.h"

#include <algorithm>

class TKOV_ArtBest_CSV_Export::TStapel : public IRDLStapelFenster {
public:
    explicit TStapel(TKOV_ArtBest_CSV_Export& AAuswertung) : A(AAuswertung) {}

    QObject& StapelZiel() override { return *A.FForm; }
    bool StapelKannDrucken() const override { return false; }
    bool StapelDrucken(const std::string&) override { return false; }

    void StapelVorgaben() override {
        // The workstation's last period, else the previous year.
        A.FZeitraumDlg->Load(CRDL_CONTEXT_ZEITRAUM_LETZTEEINSTELLUNG.MitArbeitsplatz());
        FZeitraum = A.FZeitraumDlg->Zeitraum();
    }

    std::vector<TRDLStapelOption> StapelOptionen() override {
        return RDLStapelZeitraumOptionen([this](bool AVon, TDate ATag) { (AVon ? FZeitraum.Von : FZeitraum.Bis) = ATag; },
                                         "erster Tag des Zeitraums (Vorgabe: der zuletzt gewählte, sonst das Vorjahr)",
                                         "letzter Tag des Zeitraums: der Stichtag des Bestands");
    }

    bool StapelPruefen(std::string& AFehler) override {
        const auto& args = RDLProgramm().AuswertungsArgumente();
        if (std::any_of(args.begin(), args.end(),
                        [](const std::string& a) { return a == "--print" || a.rfind("--print=", 0) == 0; })) {
            AFehler = "Der Artikelbestandsexport kann nicht gedruckt werden; bitte --export DATEI angeben.";
            return false;
        }
        if (FZeitraum.Bis < FZeitraum.Von) {
            AFehler = "Der erste Tag (--von) liegt nach dem letzten (--bis).";
            return false;
        }
        bool gespeichert = false;
        try {
            gespeichert = A.FSeleingHelper->Laden();
        } catch (const std::exception& E) {
            AFehler = std::string("Die gespeicherte Artikelselektion dieses Arbeitsplatzes ist nicht lesbar: ") + E.what();
            return false;
        }
        if (!gespeichert) {
            AFehler = "Für diesen Arbeitsplatz (\u201E" + RDLInfo().RDLInfoTerminalID() +
                      "\u201C) ist keine Artikelselektion gespeichert. Bitte den Artikelbestandsexport einmal am "
                      "Arbeitsplatz aufrufen und die Selektion mit OK bestätigen.";
            return false;
        }
        return true;
    }

    bool StapelSelektion() override {
        A.FQuery->Zeitraum_Set(FZeitraum);
        A.FSeleingDlg->GetAuswertungsZeitraum().AssignFrom(FZeitraum);
        return true;
    }

private:
    TKOV_ArtBest_CSV_Export& A;
    TKOV_VonBisDatum FZeitraum;
};

bool TKOV_ArtBest_CSV_Export::Autoreport() {
    return KOV_GeschuetztWert("TKOV_ArtBest_CSV_Export.Autoreport", true, false, [&] {
        if (!Vollstaendig()) return false;
        TStapel stapel(*this);
        return RDLStapellauf(stapel);
    });
}
