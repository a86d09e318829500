#pragma once
// The staff discount evaluation as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_PersRabattAuswertung : public TKOV_Quendrix_Auswertung {
public:
    class TKlasse : public TKOV_Quendrix_AuswertungKlasseVon<TKOV_Quendrix_PersRabattAuswertung> {
    public:
        std::string Kurzname() const override;
        std::string Bezeichnung() const override;
        std::string Beschreibung() const override;
        std::string Schlagworte() const override;

    protected:
        TKOV_WPF_Recht AuswertungsRecht() const override;
    };

    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;
};
