// The floating-goods window's options for runs from the command line (-kn SchwWare -autoreport).
#include "swwaauswfrm.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlprogramm.h"

#include <QLineEdit>

#include <algorithm>

void TKOV_SchwWarefrm::StapelVorgaben() {
    // As the window opens: no period.
    edtZeitraumVon->clear();
    edtZeitraumBis->clear();
}

std::vector<TRDLStapelOption> TKOV_SchwWarefrm::StapelOptionen() {
    return {
        {"--von", "TT.MM.JJJJ", "erster Tag des Auswertungszeitraums (Pflicht)",
         [this](const std::string& w) { edtZeitraumVon->setText(QString::fromStdString(DateToStr(RDLStapelDatum(w)))); }},
        {"--bis", "TT.MM.JJJJ", "letzter Tag des Auswertungszeitraums (Pflicht)",
         [this](const std::string& w) { edtZeitraumBis->setText(QString::fromStdString(DateToStr(RDLStapelDatum(w)))); }},
    };
}

bool TKOV_SchwWarefrm::StapelPruefen(std::string& AFehler) {
    // The window has no print: refused before anything is read.
    const auto& args = RDLProgramm().AuswertungsArgumente();
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& a) { return a == "--print" || a.rfind("--print=", 0) == 0; })) {
        AFehler = "Die Auswertung Schwimmende Ware kann nicht gedruckt werden; bitte --export DATEI angeben.";
        return false;
    }
    if (edtZeitraumVon->text().isEmpty() || edtZeitraumBis->text().isEmpty()) {
        AFehler = "Bitte den Auswertungszeitraum mit --von TT.MM.JJJJ und --bis TT.MM.JJJJ angeben.";
        return false;
    }
    return true;
}

bool TKOV_SchwWarefrm::StapelSelektion() {
    btnStartClick();
    return FErgebnisVollstaendig;
}

bool TKOV_SchwWarefrm::StapelDrucken(const std::string&) { return false; }
