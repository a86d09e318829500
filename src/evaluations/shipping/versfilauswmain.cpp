#include "versfilauswmain.h"

#include "rdlinfo.h"
#include "rdlstapellauf.h"
#include "umsatzmani_versfilausw.h"

#include <QApplication>

namespace {

bool VersFilStatistikAktualisieren(int AAnzahlZurueckliegendeTage, bool ANachfrageOb) {
    TKOV_UmsatzUmszMani_VersFilAusw mani;
    return mani.UpdateStatistikfiles(AAnzahlZurueckliegendeTage, ANachfrageOb);
}

const char* const CNichtAktualisiert =
    "Die Statistik der Versandfilialen konnte nicht auf den neuesten Stand gebracht werden; die Auswertung wird "
    "nicht angezeigt.";

} // namespace

TKOV_Quendrix_VersFilAuswertung::TKOV_Quendrix_VersFilAuswertung()
    : StatistikAktualisieren(VersFilStatistikAktualisieren) {}

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_VersFilAuswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_VersFilAuswertung>, {
        .Kurzname = "VFAUSW",
        .Bezeichnung = "Versandfilialen-Auswertung",
        .Beschreibung = "Auswertung der Versandfilialen getrennt nach Umsatz stationär und online für einen bestimmten Zeitraum.",
        .Schlagworte = "Onlineumsatz, Amazon, Ebay, Plattformen, Shops, Zalando, Tradebyte",
        .AuswertungsRecht = 0,
    });
    return &k;
}

bool TKOV_Quendrix_VersFilAuswertung::Execute() {
    // True once the window was shown: a user closing it is no failure of the run.
    return KOV_GeschuetztWert("TKOV_Quendrix_VersFilAuswertung.Execute", true, false, [&] {
        if (!StatistikAktualisieren || !StatistikAktualisieren(CKOV_VersFil_AnzahlZurueckliegendeTage, false)) {
            RDLInfo().ShowMeldung("STANDARD", 994, {CNichtAktualisiert + RDLInfo().LogHinweis()}, mkFehler);
            return false;
        }
        // A window without a widget application would end the process.
        if (!FensterZeigen && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Die Versandfilialen-Auswertung kann ohne Bildschirmanzeige nicht gezeigt werden."});
            return false;
        }
        TKOV_VersFilAuswertFrm fenster(nullptr, UmsatzQuelle);
        if (FensterZeigen)
            FensterZeigen(fenster);
        else
            fenster.exec();
        return true;
    });
}

bool TKOV_Quendrix_VersFilAuswertung::Autoreport() {
    return KOV_GeschuetztWert("TKOV_Quendrix_VersFilAuswertung.Autoreport", true, false, [&] {
        // Who asks for the options waits for no statistics update.
        if (RDLStapelHilfeGewuenscht()) {
            TKOV_VersFilAuswertFrm fenster(nullptr, UmsatzQuelle);
            return RDLStapellauf(fenster);
        }
        if (!StatistikAktualisieren || !StatistikAktualisieren(CKOV_VersFil_AnzahlZurueckliegendeTage, false)) {
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Die Statistik der Versandfilialen konnte nicht aktualisiert werden; es wird kein "
                                   "Ergebnis geschrieben." + RDLInfo().LogHinweis()},
                                  mkFehler);
            return false;
        }
        TKOV_VersFilAuswertFrm fenster(nullptr, UmsatzQuelle);
        return RDLStapellauf(fenster);
    });
}
