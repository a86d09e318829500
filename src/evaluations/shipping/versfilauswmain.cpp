#include "versfilauswmain.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_VersFilAuswertung::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_VersFilAuswertung::TKlasse::Kurzname() const { return "VFAUSW"; }

std::string TKOV_Quendrix_VersFilAuswertung::TKlasse::Bezeichnung() const { return "Versandfilialen-Auswertung"; }

std::string TKOV_Quendrix_VersFilAuswertung::TKlasse::Beschreibung() const {
    return "Auswertung der Versandfilialen getrennt nach Umsatz stationär und online für einen bestimmten Zeitraum.";
}

std::string TKOV_Quendrix_VersFilAuswertung::TKlasse::Schlagworte() const { return "Online, Plattform, Shop, Amazon, eBay, Zalando, ChannelAdvisor"; }

TKOV_WPF_Recht TKOV_Quendrix_VersFilAuswertung::TKlasse::AuswertungsRecht() const { return 0; }

bool TKOV_Quendrix_VersFilAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
