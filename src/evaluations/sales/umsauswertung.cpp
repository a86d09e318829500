#include "umsauswertung.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlstapellauf.h"
#include "umsatzmani_umsausw.h"

#include <QApplication>

namespace {

bool UmsAuswStatistikAktualisieren(int AAnzahlZurueckliegendeTage, bool ANachfrageOb) {
    TKOV_Umsatz_UmszMani_UmsAusw mani;
    return mani.UpdateStatistikfiles(AAnzahlZurueckliegendeTage, ANachfrageOb);
}

} // namespace

TKOV_Quendrix_Umsatzauswertung::TKOV_Quendrix_Umsatzauswertung()
    : StatistikAktualisieren(UmsAuswStatistikAktualisieren), StatistikStand(UmsAuswStatistikStand) {}

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_Umsatzauswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_Umsatzauswertung>, {
        .Kurzname = "UMSAUSW",
        .Bezeichnung = "Umsatzauswertung",
        .Beschreibung = "Ein Auswertungstool, dass Ihnen die Umsätze Ihres Unternehmens strukturiert nach Filialen, Zeiträumen etc. anzeigt. Das Ganze kann zusätzlich den Umsatzzahlen aus den Vorjahren gegenübergestellt werden.",
        .Schlagworte = "Umsatzstatistiken",
        .AuswertungsRecht = 444,
    });
    return &k;
}

bool TKOV_Quendrix_Umsatzauswertung::Execute() {
    // True once the window was shown: a user closing it is no failure of the run.
    return KOV_GeschuetztWert("TKOV_Quendrix_Umsatzauswertung.Execute", true, false, [&] {
        if (!StatistikAktualisieren || !StatistikAktualisieren(731, false)) {
            // Not up to date (failed or cancelled): the last state only when the user wants it
            // and knows how far it reaches; never the old figures as if they were current.
            TDate bis = 0;
            if (!StatistikStand || !StatistikStand(bis)) return false;
            const std::string frage =
                "Die Umsatzstatistik konnte nicht auf den neuesten Stand gebracht werden." + RDLInfo().LogHinweis() +
                "\nSie enthält Umsätze bis zum " + DateToStr(bis) +
                "; neuere und nachträglich gebuchte Verkäufe fehlen darin.\n\nMöchten Sie trotzdem den letzten "
                "Stand anzeigen?";
            if (RDLInfo().ShowDlgMeldung("STANDARD", 994, {frage}, mkFrage) != mrYes) return false;
        }
        // A window without a widget application would end the process.
        if (!FensterZeigen && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
            RDLInfo().ShowMeldung("STANDARD", 994, {"Die Umsatzauswertung kann ohne Bildschirmanzeige nicht gezeigt werden."});
            return false;
        }
        TKOV_UmsatzAuswertFrm fenster(nullptr, UmsatzQuelle);
        if (FensterZeigen)
            FensterZeigen(fenster);
        else
            fenster.exec();
        return true;
    });
}

bool TKOV_Quendrix_Umsatzauswertung::Autoreport() {
    return KOV_GeschuetztWert("TKOV_Quendrix_Umsatzauswertung.Autoreport", true, false, [&] {
        // Who asks for the options waits for no statistics update.
        if (RDLStapelHilfeGewuenscht()) {
            TKOV_UmsatzAuswertFrm fenster(nullptr, UmsatzQuelle);
            return RDLStapellauf(fenster);
        }
        if (!StatistikAktualisieren || !StatistikAktualisieren(731, false)) {
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Die Umsatzstatistik konnte nicht aktualisiert werden; es wird kein Ergebnis "
                                   "geschrieben." + RDLInfo().LogHinweis()},
                                  mkFehler);
            return false;
        }
        TKOV_UmsatzAuswertFrm fenster(nullptr, UmsatzQuelle);
        return RDLStapellauf(fenster);
    });
}
