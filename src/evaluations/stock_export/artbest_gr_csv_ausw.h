#pragma once
// The article stock export as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_ArtBest_CSV_Export : public TKOV_Quendrix_Auswertung {
public:
    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;

protected:
    void Resources_Create() override;
    void Resources_Destroy() override;
};
