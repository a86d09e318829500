#include "versfilauswmain.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_VersFilAuswertung::Klasse() {
    static const TKOV_Quendrix_AuswertungsDeskriptor k(KOV_Erzeugen<TKOV_Quendrix_VersFilAuswertung>, {
        .Kurzname = "VFAUSW",
        .Bezeichnung = "Versandfilialen-Auswertung",
        .Beschreibung = "Auswertung der Versandfilialen getrennt nach Umsatz stationär und online für einen bestimmten Zeitraum.",
        .Schlagworte = "Online, Plattform, Shop, Amazon, eBay, Zalando, ChannelAdvisor",
        .AuswertungsRecht = 0,
    });
    return &k;
}

bool TKOV_Quendrix_VersFilAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
