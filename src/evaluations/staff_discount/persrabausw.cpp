#include "persrabausw.h"

TKOV_Quendrix_Auswertung_Class TKOV_Quendrix_PersRabattAuswertung::Klasse() {
    static const TKlasse k;
    return &k;
}

std::string TKOV_Quendrix_PersRabattAuswertung::TKlasse::Kurzname() const { return "PersRab"; }

std::string TKOV_Quendrix_PersRabattAuswertung::TKlasse::Bezeichnung() const { return "Personalrabatte"; }

std::string TKOV_Quendrix_PersRabattAuswertung::TKlasse::Beschreibung() const {
    return "Ermöglicht die Auswertung gewährter Personalrabatte über einen definierten Zeitraum. Der Rabatt errechnet sich dabei aus dem zum Zeitpunkt des Kaufes gültigen Kassenverkaufspreises abzüglich des - Istverkaufspreises.";
}

std::string TKOV_Quendrix_PersRabattAuswertung::TKlasse::Schlagworte() const { return "Personalrabatt"; }

TKOV_WPF_Recht TKOV_Quendrix_PersRabattAuswertung::TKlasse::AuswertungsRecht() const { return 0; }

bool TKOV_Quendrix_PersRabattAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
