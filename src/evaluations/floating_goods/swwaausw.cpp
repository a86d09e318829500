#include "swwaausw.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_SchwWareauswertung::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_SchwWareauswertung::TKlasse::Kurzname() const { return "SchwWare"; }

std::string TKOV_Quendrix_SchwWareauswertung::TKlasse::Bezeichnung() const { return "Schwimmende Ware"; }

std::string TKOV_Quendrix_SchwWareauswertung::TKlasse::Beschreibung() const {
    return "Selektionsmöglichkeit für verschiedenen Typen \"schwimmender Ware\". Dies können beispielsweise nicht kontrollierte Wareneingänge,einer Rechnung zugewiesenen Dispositionen oder offene Gutschriftanforderungen sein.";
}

std::string TKOV_Quendrix_SchwWareauswertung::TKlasse::Schlagworte() const { return "Schwimmende Ware"; }

TKOV_WPF_Recht TKOV_Quendrix_SchwWareauswertung::TKlasse::AuswertungsRecht() const { return 442; }

bool TKOV_Quendrix_SchwWareauswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
