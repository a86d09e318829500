#pragma once
// The suite's cash-register prices (table preis): a price per product, size index and
// currency, valid from a day on, set for a whole client or for one of its branches. A
// branch's own price beats its client's; of several, the one with the latest valid-from
// day on or before the asked day counts. Also the article tools' unformatted article
// number and the short month names the evaluations show.
#include "rdlartikel.h"
#include "rdldatenbank.h"
#include "rdltyco.h"
#include "suitetabellen.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

// Short month names, January first.
inline constexpr std::array<const char*, 12> C_Monat_ShortText = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                                                   "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

// The price system's selection: the client and branch a price is asked for.
struct TKOV_Preis_Sys_Mand_Fil {
    TIntPair Mandant; // empty: the branch's owning client, as the reader finds it
    int16_t Filiale = 0;
    static TKOV_Preis_Sys_Mand_Fil Construct(int16_t AFiliale);
};

// Reads cash-register prices; the rows of a product, selection, size and currency are read
// once per object and answered from memory after that.
class TSimplePriceReader {
public:
    explicit TSimplePriceReader(TRDLDatenbank& ADb);

    void SetProdId(const TInt32Trio& AProdId) { FProdId = AProdId; }
    void SetSelekted(const TKOV_Preis_Sys_Mand_Fil& ASelektion) { FSelektion = ASelektion; }
    void SetDatum(TDateTime ADatum) { FDatum = ADatum; }

    // The price of one piece of size AGrInd (counted from 0, so size index AGrInd + 1) in
    // AWaehrung on the set day; 0 when no price is set. An empty currency is the branch's.
    // Raises EArgumentOutOfRangeException for an index outside 0..99 and for a branch the
    // branch table does not hold.
    double KVK_4_Art_Dat_Fil_GrInd(int AGrInd, const std::string& AWaehrung);

private:
    struct TPreis {
        bool Filiale; // the branch's own price
        double Ab;
        double Preis;
    };
    using TSchluessel = std::tuple<TInt32Trio, TIntPair, int16_t, int, std::string>;

    TRDLDatenbank& FDb;
    TFilialen FFilialen;
    TRDLStatement FLesen;
    TInt32Trio FProdId;
    TKOV_Preis_Sys_Mand_Fil FSelektion;
    TDateTime FDatum = 0;
    std::map<TSchluessel, std::vector<TPreis>> FCache;
};

// The article tools of the suite.
class TArtikelTools {
public:
    explicit TArtikelTools(TRDLDatenbank& ADb);
    ~TArtikelTools();
    // The article number as stored, without colour; a product without an article row
    // shows its key "A/B/C", the empty key nothing.
    std::string ProduktID_2_ArtNr_Unformatted(const TInt32Trio& AProduktID);

private:
    std::unique_ptr<TRDLArtikelnummern> FNummern;
};

// Amounts of money: rounded once, to the cent, half away from zero.
double RDLAufCentRunden(double ABetrag);
