#pragma once
// The sales evaluation as the catalogue and the command line start it ("UMSAUSW"): the
// statistics update, then its window, shown or run from the command line's options.
#include "quendrixclass.h"
#include "umsauswmainfrm.h"

#include <functional>

class TKOV_Quendrix_Umsatzauswertung : public TKOV_Quendrix_Auswertung {
public:
    TKOV_Quendrix_Umsatzauswertung(); // with the engine's steps
    static TKOV_Quendrix_Auswertung_Class Klasse();

    // Brings the statistics up to date for 731 days without asking, then shows the window
    // modally. True when the window was shown.
    bool Execute() override;
    // Without a user: the statistics update, then the window unseen, run from the command
    // line's options, its result into --export FILE or --print FILE.pdf.
    bool Autoreport() override;

    // The steps Execute takes, replaceable so a run can go without the engine or a user.
    std::function<bool(int AAnzahlZurueckliegendeTage, bool ANachfrageOb)> StatistikAktualisieren;
    std::function<bool(TDate& ABis)> StatistikStand;
    TKOV_UmsAusw_UmsatzQuelle UmsatzQuelle; // empty: the comparison facade
    std::function<void(TKOV_UmsatzAuswertFrm& AFenster)> FensterZeigen;
};
