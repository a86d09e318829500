#pragma once
// The staff discounts as an evaluation of the evaluation centre ("PersRab"): its window,
// shown or run from the command line's options.
#include "persrabfrm.h"
#include "quendrixclass.h"

#include <functional>

class TKOV_Quendrix_PersRabattAuswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    // Shows the window modally; true when it was shown.
    bool Execute() override;
    // Without a user: the window unseen, run from the command line's options (--von,
    // --bis, --gruppiert), its result into --export FILE or --print FILE.pdf.
    bool Autoreport() override;

    // How Execute shows the window, replaceable so a run can go without a user.
    std::function<void(TKOV_PersRabfrm& AFenster)> FensterZeigen;
};
