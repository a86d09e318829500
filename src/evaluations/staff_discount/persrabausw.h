#pragma once
// The staff discount evaluation as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_PersRabattAuswertung : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
