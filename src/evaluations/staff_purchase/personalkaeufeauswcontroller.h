#pragma once
// The staff purchases on invoice as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_PersonalkaeufeAuswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
