// The staff discount window's options for runs from the command line (-kn PersRab -autoreport).
#include "persrabfrm.h"

#include "rdldatum.h"
#include "rdlinfo.h"
#include "vtrdlvrlist.h"

#include <QLineEdit>

void TKOV_PersRabfrm::StapelVorgaben() {
    // As the window opens: empty fields, 1 January to today.
    edtVon->clear();
    edtBis->clear();
}

std::vector<TRDLStapelOption> TKOV_PersRabfrm::StapelOptionen() {
    return {
        {"--von", "TT.MM.JJJJ", "erster Tag des Auswertungszeitraums (Vorgabe: 1. Januar dieses Jahres)",
         [this](const std::string& w) { edtVon->setText(QString::fromStdString(DateToStr(RDLStapelDatum(w)))); }},
        {"--bis", "TT.MM.JJJJ", "letzter Tag des Auswertungszeitraums (Vorgabe: heute)",
         [this](const std::string& w) { edtBis->setText(QString::fromStdString(DateToStr(RDLStapelDatum(w)))); }},
        {"--gruppiert", "", "nach Mandant, Mitarbeiter und Monat gruppiert (Export: eine Zeile je Mitarbeiter)",
         [this](const std::string&) { FStapelGruppiert = true; }},
    };
}

bool TKOV_PersRabfrm::StapelSelektion() {
    btnStartClick();
    if (!FErgebnisVollstaendig) return false;
    if (FStapelGruppiert && !FVRListGruppiert && vtPersRab->List() && vtPersRab->List()->GetRowCount() > 0) {
        btnGruppierenClick();
        if (!FVRListGruppiert) return false; // told why (a missing rate)
    }
    return true;
}

bool TKOV_PersRabfrm::StapelDrucken(const std::string& APdfDatei) {
    return KOV_GeschuetztWert("TKOV_PersRabfrm.StapelDrucken", true, false, [&] {
        // The printer raises when its PDF could not be written whole.
        DruckPdfDatei_Set(APdfDatei);
        return Baum_Drucken();
    });
}
