#pragma once
// The article stock export as an evaluation of the evaluation centre.
#include "quendrixclass.h"

class TKOV_ArtBest_CSV_Export : public TKOV_Quendrix_Auswertung {
public:
    class TKlasse : public TKOV_Quendrix_AuswertungKlasseVon<TKOV_ArtBest_CSV_Export> {
    public:
        std::string Kurzname() const override;
        std::string Bezeichnung() const override;
        std::string Beschreibung() const override;
        std::string Schlagworte() const override;
        bool Active() const override;
        TRTypen ActiveOnTypes() const override;

    protected:
        TKOV_WPF_Recht AuswertungsRecht() const override;
    };

    static TKOV_Quendrix_Auswertung_Class Klasse();

    bool Execute() override;

protected:
    void Resources_Create() override;
    void Resources_Destroy() override;
};
