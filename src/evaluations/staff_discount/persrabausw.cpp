#include "persrabausw.h"

#include "rdlinfo.h"
#include "rdlstapellauf.h"

#include <QApplication>

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_PersRabattAuswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_PersRabattAuswertung>, {
        .Kurzname = "PersRab",
        .Bezeichnung = "Personalrabatte",
        .Beschreibung = "Ermöglicht die Auswertung gewährter Personalrabatte über einen definierten Zeitraum. Der Rabatt errechnet sich dabei aus dem zum Zeitpunkt des Kaufes gültigen Kassenverkaufspreises abzüglich des - Istverkaufspreises.",
        .Schlagworte = "Personalrabatt",
        .AuswertungsRecht = 0,
    });
    return &k;
}

bool TKOV_Quendrix_PersRabattAuswertung::Execute() {
    // True once the window was shown: a user closing it is no failure of the run.
    return KOV_GeschuetztWert("TKOV_Quendrix_PersRabattAuswertung.Execute", true, false, [&] {
        // A window without a widget application would end the process.
        if (!FensterZeigen && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Die Auswertung Personalrabatte kann ohne Bildschirmanzeige nicht gezeigt werden."});
            return false;
        }
        TKOV_PersRabfrm fenster;
        if (FensterZeigen)
            FensterZeigen(fenster);
        else
            fenster.exec();
        return true;
    });
}

bool TKOV_Quendrix_PersRabattAuswertung::Autoreport() {
    return KOV_GeschuetztWert("TKOV_Quendrix_PersRabattAuswertung.Autoreport", true, false, [&] {
        TKOV_PersRabfrm fenster;
        return RDLStapellauf(fenster);
    });
}
