#include "persrabausw.h"

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

bool TKOV_Quendrix_PersRabattAuswertung::Execute() { return KOV_AuswertungNochNichtVerfuegbar(); }
