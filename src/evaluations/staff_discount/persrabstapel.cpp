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
    auto optionen = RDLStapelZeitraumOptionen(
        [this](bool AVon, TDate ATag) { (AVon ? edtVon : edtBis)->setText(QString::fromStdString(DateToStr(ATag))); },
        "erster Tag des Auswertungszeitraums (Vorgabe: 1. Januar dieses Jahres)",
        "letzter Tag des Auswertungszeitraums (Vorgabe: heute)");
    optionen.push_back({"--gruppiert", "", "nach Mandant, Mitarbeiter und Monat gruppiert (Export: eine Zeile je Mitarbeiter)",
                        [this](const std::string&) { FStapelGruppiert = true; }});
    return optionen;
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
