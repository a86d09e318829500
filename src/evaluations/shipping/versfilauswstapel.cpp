// The shipping-branch window's options for runs from the command line (-kn VFAUSW -autoreport).
#include "versfilauswfrm.h"

#include "exceptions.h"
#include "kovfilialenselektframe.h"
#include "kovzeitraumeingabe.h"
#include "rdlprogramm.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>

void TKOV_VersFilAuswertFrm::StapelVorgaben() {
    FGezeigt = true; // the defaults of the first show, without its table
    VorgabenSetzen();
}

std::vector<TRDLStapelOption> TKOV_VersFilAuswertFrm::StapelOptionen() {
    std::vector<TRDLStapelOption> optionen = RDLStapelZeitraumOptionen(edtZeitraum);
    std::vector<TRDLStapelOption> eigene = {
        {"--filialen", "LISTE", "Filialnummern durch Komma getrennt (Vorgabe: die Versandfilialen)",
         [this](const std::string& w) {
             std::vector<int16_t> nr;
             for (const std::string& t : RDLStapelListe(w)) nr.push_back(int16_t(RDLStapelGanzzahl(t, 1, 32767)));
             if (nr.empty()) throw EConvertError("mindestens eine Filiale angeben.");
             const std::vector<int16_t> alle = frmFilialen->GetAll();
             for (int16_t n : nr)
                 if (std::find(alle.begin(), alle.end(), n) == alle.end())
                     throw EConvertError("die Filiale " + std::to_string(n) + " gibt es nicht.");
             frmFilialen->SetSelected(nr);
         }},
        {"--gruppierung", "N|NAME", "Gruppierung, ihre Nummer oder ihr Name: " + RDLStapelAuswahlen(cmbGruppierung),
         [this](const std::string& w) { cmbGruppierung->setCurrentIndex(RDLStapelGruppierung(cmbGruppierung, w)); }},
        {"--leere-zeilen-ausblenden", "", "Zeilen ohne Umsatz ausblenden",
         [this](const std::string&) { chbLeereZeilenAusblenden->setChecked(true); }},
        {"--ohne-verkaeufe", "", "keine Verkäufe anzeigen", [this](const std::string&) { chbVerkaeufeAnzeigen->setChecked(false); }},
        {"--ohne-retouren", "", "keine Retouren/Stornos anzeigen",
         [this](const std::string&) { chbRetourenAnzeigen->setChecked(false); }},
    };
    for (auto& o : eigene) optionen.push_back(std::move(o));
    return optionen;
}

bool TKOV_VersFilAuswertFrm::StapelPruefen(std::string& AFehler) {
    // The window has no print: refused before anything is read.
    const auto& args = RDLProgramm().AuswertungsArgumente();
    const bool druck = std::any_of(args.begin(), args.end(), [](const std::string& a) {
        return a == "--print" || a.rfind("--print=", 0) == 0;
    });
    if (druck) {
        AFehler = "Die Versandfilialen-Auswertung kann nicht gedruckt werden; bitte --export DATEI angeben.";
        return false;
    }
    return true;
}

bool TKOV_VersFilAuswertFrm::StapelDrucken(const std::string&) { return false; }
