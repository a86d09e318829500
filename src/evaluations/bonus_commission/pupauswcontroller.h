#pragma once
// The bonus and commission display as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_PuPAuswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
