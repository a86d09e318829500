#pragma once
// The staff purchases on invoice as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_Quendrix_PersonalkaeufeAuswertung : public TKOV_Quendrix_Auswertung {
public:
    class TKlasse : public TKOV_Quendrix_AuswertungKlasseVon<TKOV_Quendrix_PersonalkaeufeAuswertung> {
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
