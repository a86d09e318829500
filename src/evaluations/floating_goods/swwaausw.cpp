#include "swwaausw.h"

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

bool TKOV_Quendrix_SchwWareauswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
