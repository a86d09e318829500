#include "swwaausw.h"

#include "rdlinfo.h"
#include "rdlstapellauf.h"

#include <QApplication>

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_SchwWareauswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_SchwWareauswertung>, {
        .Kurzname = "SchwWare",
        .Bezeichnung = "Schwimmende Ware",
        .Beschreibung = "Selektionsmöglichkeit für verschiedenen Typen \"schwimmender Ware\". Dies können beispielsweise nicht kontrollierte Wareneingänge,einer Rechnung zugewiesenen Dispositionen oder offene Gutschriftanforderungen sein.",
        .Schlagworte = "Schwimmende Ware",
        .AuswertungsRecht = 442,
    });
    return &k;
}

bool TKOV_Quendrix_SchwWareauswertung::Execute() {
    // True once the window was shown: a user closing it is no failure of the run.
    return KOV_GeschuetztWert("TKOV_Quendrix_SchwWareauswertung.Execute", true, false, [&] {
        // A window without a widget application would end the process.
        if (!FensterZeigen && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
            RDLInfo().ShowMeldung("STANDARD", 994,
                                  {"Die Auswertung Schwimmende Ware kann ohne Bildschirmanzeige nicht gezeigt werden."});
            return false;
        }
        TKOV_SchwWarefrm fenster;
        if (FensterZeigen)
            FensterZeigen(fenster);
        else
            fenster.exec();
        return true;
    });
}

bool TKOV_Quendrix_SchwWareauswertung::Autoreport() {
    return KOV_GeschuetztWert("TKOV_Quendrix_SchwWareauswertung.Autoreport", true, false, [&] {
        TKOV_SchwWarefrm fenster;
        return RDLStapellauf(fenster);
    });
}
