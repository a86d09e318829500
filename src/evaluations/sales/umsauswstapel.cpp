// The sales window's options for runs from the command line (-kn UMSAUSW -autoreport).
#include "umsauswmainfrm.h"

#include "exceptions.h"
#include "kovmandantencheckcombo.h"
#include "kovzeitraumeingabe.h"
#include "suitetabellen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace {
const std::string CName = "TKOV_UmsatzAuswertFrm.";
} // namespace

void TKOV_UmsatzAuswertFrm::StapelVorgaben() {
    FGezeigt = true; // the defaults of the first show, without showing
    FStapelDurchschnitt = false;
    // Without the first show's table: the selection of the options builds the only one.
    VorgabenSetzen();
}

std::vector<TRDLStapelOption> TKOV_UmsatzAuswertFrm::StapelOptionen() {
    std::vector<TRDLStapelOption> optionen = RDLStapelZeitraumOptionen(edtZeitraum);
    std::vector<TRDLStapelOption> eigene = {
        {"--mandanten", "LISTE", "Mandanten als A/B, durch Komma getrennt (Vorgabe: alle)",
         [this](const std::string& w) {
             std::vector<TIntPair> gewaehlt;
             for (const std::string& t : RDLStapelListe(w)) {
                 const auto s = t.find('/');
                 const int a = RDLStapelGanzzahl(t.substr(0, s), 0, 2147483647);
                 const int b = s == std::string::npos ? 1 : RDLStapelGanzzahl(t.substr(s + 1), 0, 2147483647);
                 if (!FMandListeServer || FMandListeServer->IndexOf({a, b}) < 0)
                     throw EConvertError("den Mandanten " + std::to_string(a) + "/" + std::to_string(b) +
                                         " gibt es nicht.");
                 gewaehlt.push_back({a, b});
             }
             cmbMandanten->SetAll(false);
             for (const TIntPair& m : gewaehlt) cmbMandanten->MandantSelected_Set(m, true);
         }},
        {"--vorjahre", "N", "Anzahl angezeigte Vorjahre, 0 bis 9 (Vorgabe 1)",
         [this](const std::string& w) {
             edtAnzahlVorjahre->setText(QString::number(RDLStapelGanzzahl(w, 0, 9)));
             edtAnzahlVorjahreExit();
         }},
        {"--durchschnitt", "", "Durchschnitt der angezeigten Vorjahre einblenden (ab 2 Vorjahren)",
         [this](const std::string&) { FStapelDurchschnitt = true; }},
        {"--vergleichsdatum", "", "Datum des Vergleichstags einblenden",
         [this](const std::string&) { chbVergleichsdatumEinblenden->setChecked(true); }},
        {"--vergleichstag", "N", "Vergleichstag: " + RDLStapelAuswahlen(cmbWahlmethodeVergleichstag),
         [this](const std::string& w) { RDLStapelComboWaehlen(cmbWahlmethodeVergleichstag, w); }},
        {"--filialauswahl", "N", "Filialauswahl: " + RDLStapelAuswahlen(cmbFilialAuswahl),
         [this](const std::string& w) { RDLStapelComboWaehlen(cmbFilialAuswahl, w); }},
        {"--herkunft", "LISTE", "Herkünfte durch Komma getrennt: " + [this] {
             std::string t;
             for (int i = 0; i < clbHerkunft->count(); ++i)
                 t += (t.empty() ? "" : ", ") + std::to_string(i) + " " + clbHerkunft->item(i)->text().toStdString();
             return t;
         }(),
         [this](const std::string& w) {
             std::vector<int> nr;
             for (const std::string& t : RDLStapelListe(w)) nr.push_back(RDLStapelGanzzahl(t, 0, clbHerkunft->count() - 1));
             if (nr.empty()) throw EConvertError("mindestens eine Herkunft angeben.");
             for (int i = 0; i < clbHerkunft->count(); ++i) clbHerkunft->item(i)->setCheckState(Qt::Unchecked);
             for (int i : nr) clbHerkunft->item(i)->setCheckState(Qt::Checked);
         }},
        {"--anzeige-filialen", "N", "Filialen: " + RDLStapelAuswahlen(cmbAnzeigeFilialen),
         [this](const std::string& w) { RDLStapelComboWaehlen(cmbAnzeigeFilialen, w); }},
        {"--gruppierung", "N|NAME", "Gruppierung, ihre Nummer oder ihr Name: " + RDLStapelAuswahlen(cmbGruppierung),
         [this](const std::string& w) { cmbGruppierung->setCurrentIndex(RDLStapelGruppierung(cmbGruppierung, w)); }},
        {"--level", "N", "Baumlevel für Druck und Export, 0 bis 9 (Vorgabe 2)",
         [this](const std::string& w) { edtBaumlevel->setText(QString::number(RDLStapelGanzzahl(w, 0, 9))); }},
    };
    for (auto& o : eigene) optionen.push_back(std::move(o));
    return optionen;
}

bool TKOV_UmsatzAuswertFrm::StapelPruefen(std::string& AFehler) {
    // A period that begins after its end gives an empty table, as in the window.
    if (FStapelDurchschnitt) {
        if (AnzahlVorjahre() < 2) {
            AFehler = "--durchschnitt braucht mindestens 2 Vorjahre (--vorjahre 2 bis 9).";
            return false;
        }
        chbDurchschnittAnzeigen->setChecked(true);
        chbDurchschnittAnzeigenClick();
    }
    if (cmbMandanten->SelectedMandanten_Get().empty()) {
        AFehler = "Es ist kein Mandant gewählt.";
        return false;
    }
    return true;
}

bool TKOV_UmsatzAuswertFrm::StapelDrucken(const std::string& APdfDatei) {
    return KOV_GeschuetztWert(CName + "StapelDrucken", true, false, [&] {
        // The printer raises when its PDF writer refused the target or could not write it
        // whole: the print is done when it reported no failure.
        DruckPdfDatei_Set(QString::fromStdString(APdfDatei));
        return BaumDrucken();
    });
}

