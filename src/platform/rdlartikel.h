#pragma once
// The suite's article tools: the article number of a product key (table artikel) and the
// details of a disposition (tables dispo, dispo_preis, dispo_filiale, dispo_menge): its
// article, state, goods receipt, price per size index and quantities per branch and size.
#include "rdldatenbank.h"
#include "rdltyco.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Size indices run from 1 to 100.
inline constexpr int CRDL_MaxGrInd = 100;

// Disposition states.
inline constexpr int32_t CDispoStatus_Zugewiesen = 1;  // assigned to an invoice, goods not received
inline constexpr int32_t CDispoStatus_Eingegangen = 2; // goods received on the receipt date

// A price per size index 1..100 in one currency.
struct TRDL_Intv100_Preis {
    std::string Waehrung; // empty: the house currency
    std::array<double, CRDL_MaxGrInd> Preise{};
    // Raises EArgumentOutOfRangeException for an index outside 1..100.
    double Preis_4_Index(int AIndex) const;
};

// One branch entry of a disposition: its size range and a quantity per size index.
struct TKOV_DispoWE_Filiale {
    int16_t Filiale = 0;
    int8_t GrIndVon = 1;
    int8_t GrIndBis = 0; // below GrIndVon: no sizes
    std::array<int32_t, CRDL_MaxGrInd> Mengen{};
    // Raises EArgumentOutOfRangeException for an index outside 1..100.
    int32_t Menge_4_Index(int AIndex) const;
};

struct TKOV_DispoWE_Info {
    TInt32Trio ProduktID;
    int32_t Status = 0;
    TDateTime WEDatum = 0; // 0: no goods receipt
    TRDL_Intv100_Preis Preis;
    TIntPair LiefGePNr;
    std::vector<TKOV_DispoWE_Filiale> Filialen; // in entry order
};

// Reads dispositions with three prepared statements, kept for the object's lifetime.
class TKOV_ArtvLesenToolsDispoWEMani {
public:
    explicit TKOV_ArtvLesenToolsDispoWEMani(TRDLDatenbank& ADb);

    // The details of ADispo: the branch entries of branches of AMandant only (the empty
    // pair: all), and with ANurMitMengen only entries holding a quantity. False when there
    // is no such disposition (AInfo then empty). A branch entry's size bounds are kept as
    // the suite's signed 8-bit values (a stored value beyond them is cut to -128 or 127); a
    // quantity row outside 1..100 has no place and is left out.
    bool Lese_DispoWE_Details(const TIntTrio& ADispo, const TIntPair& AMandant, bool ANurMitMengen,
                              TKOV_DispoWE_Info& AInfo);

private:
    TRDLDatenbank& FDb;
    TRDLStatement FKopf, FPreise, FFilialen;
};

// Article numbers of product keys, each read once per object.
class TRDLArtikelnummern {
public:
    explicit TRDLArtikelnummern(TRDLDatenbank& ADb);
    // The article number as printed; with AMitFarbe followed by a blank and the colour's
    // name where the article has one. A product without a row in artikel shows its key
    // "A/B/C".
    std::string ProduktID_2_ArtNr_Formatted(const TInt32Trio& AProduktID, bool AMitFarbe);
    // Reads every article at once (one statement), so that a caller inside another
    // statement's rows asks the database no more.
    void Vorladen();

private:
    struct TEintrag {
        std::string ArtNr, Farbe;
        bool Gefunden = false;
    };
    TRDLDatenbank& FDb;
    TRDLStatement FLesen;
    std::map<TInt32Trio, TEintrag> FCache;
};
