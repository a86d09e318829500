#pragma once
// The sales evaluation as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_Umsatzauswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
