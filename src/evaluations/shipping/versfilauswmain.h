#pragma once
// The shipping-branch evaluation as the catalogue and the command line start it
// ("VFAUSW"): the statistics update, then its window, shown or run from the command
// line's options.
#include "quendrixclass.h"
#include "versfilauswfrm.h"

#include <functional>

class TKOV_Quendrix_VersFilAuswertung : public TKOV_Quendrix_Auswertung {
public:
    TKOV_Quendrix_VersFilAuswertung(); // with the engine's steps
    static TKOV_Quendrix_Auswertung_Class Klasse();

    // Brings the shipping-branch statistics up to date for 365 days without asking, then
    // shows the window modally. True when the window was shown; a failed update is told
    // and the window stays closed.
    bool Execute() override;
    // Without a user: the statistics update, then the window unseen, run from the command
    // line's options, its leaf rows into --export FILE.
    bool Autoreport() override;

    // The steps Execute takes, replaceable so a run can go without the engine or a user.
    std::function<bool(int AAnzahlZurueckliegendeTage, bool ANachfrageOb)> StatistikAktualisieren;
    TVersFil_UmsatzQuelle UmsatzQuelle; // empty: the statistics manager
    std::function<void(TKOV_VersFilAuswertFrm& AFenster)> FensterZeigen;
};
