#pragma once
// The floating goods as an evaluation of the evaluation centre ("SchwWare"): its window,
// shown or run from the command line's options.
#include "quendrixclass.h"
#include "swwaauswfrm.h"

#include <functional>

class TKOV_Quendrix_SchwWareauswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    // Shows the window modally; true when it was shown.
    bool Execute() override;
    // Without a user: the window unseen, run from the command line's options (--von, --bis),
    // its result into --export FILE.
    bool Autoreport() override;

    // How Execute shows the window, replaceable so a run can go without a user.
    std::function<void(TKOV_SchwWarefrm& AFenster)> FensterZeigen;
};
