#pragma once
// The sales bonuses as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_Verkaufspraemien : public TKOV_Quendrix_Auswertung {
public:
    // The descriptor: offered only to the customers that use the bonus evaluation.
    class TKlasse : public TKOV_Quendrix_AuswertungsDeskriptor {
    public:
        using TKOV_Quendrix_AuswertungsDeskriptor::TKOV_Quendrix_AuswertungsDeskriptor;
        bool Active() const override;
    };

    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
