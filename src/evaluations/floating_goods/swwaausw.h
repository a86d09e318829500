#pragma once
// The floating goods as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_SchwWareauswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
