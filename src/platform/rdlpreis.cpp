#include "rdlpreis.h"

#include "exceptions.h"
#include "rdldatum.h"

#include <cmath>

TKOV_Preis_Sys_Mand_Fil TKOV_Preis_Sys_Mand_Fil::Construct(int16_t AFiliale) {
    TKOV_Preis_Sys_Mand_Fil s;
    s.Filiale = AFiliale;
    return s;
}

TSimplePriceReader::TSimplePriceReader(TRDLDatenbank& ADb) : FDb(ADb) {
    FFilialen.Laden(ADb);
    // Client prices (filiale 0) and the branch's own; the caller picks among them.
    FLesen = FDb.Prepare("SELECT filiale, gueltig_ab, preis FROM preis WHERE prod_a = ? AND prod_b = ? AND prod_c = ?"
                         " AND mand_a = ? AND mand_b = ? AND filiale IN (0, ?) AND grind = ? AND waehrung = ?");
}

double TSimplePriceReader::KVK_4_Art_Dat_Fil_GrInd(int AGrInd, const std::string& AWaehrung) {
    if (AGrInd < 0 || AGrInd >= CRDL_MaxGrInd)
        throw EArgumentOutOfRangeException("Größenindex " + std::to_string(AGrInd + 1) + " liegt nicht in 1 bis " +
                                           std::to_string(CRDL_MaxGrInd) + ".");
    const TFiliale* f = FFilialen.GetFilialeByNr(FSelektion.Filiale);
    if (!f) throw EArgumentOutOfRangeException("Die Filiale " + std::to_string(FSelektion.Filiale) + " gibt es nicht.");
    const TIntPair mandant = FSelektion.Mandant.IsEmpty() ? f->Mandant : FSelektion.Mandant;
    const std::string waehrung = AWaehrung.empty() ? f->Waehrung : AWaehrung;
    const TSchluessel schluessel{FProdId, mandant, FSelektion.Filiale, AGrInd + 1, waehrung};
    auto it = FCache.find(schluessel);
    if (it == FCache.end()) {
        std::vector<TPreis> preise;
        FLesen.Bind(1, int64_t(FProdId.A));
        FLesen.Bind(2, int64_t(FProdId.B));
        FLesen.Bind(3, int64_t(FProdId.C));
        FLesen.Bind(4, int64_t(mandant.A));
        FLesen.Bind(5, int64_t(mandant.B));
        FLesen.Bind(6, int64_t(FSelektion.Filiale));
        FLesen.Bind(7, int64_t(AGrInd + 1));
        FLesen.Bind(8, waehrung);
        while (FLesen.Step()) preise.push_back({FLesen.ColInt(0) != 0, FLesen.ColDouble(1), FLesen.ColDouble(2)});
        FLesen.Reset();
        it = FCache.emplace(schluessel, std::move(preise)).first;
    }
    // A valid-from day counts from its start; the branch's own price first.
    const double tag = DateOf(FDatum);
    const TPreis* bester = nullptr;
    for (const TPreis& p : it->second) {
        if (DateOf(p.Ab) > tag) continue;
        if (!bester || (p.Filiale && !bester->Filiale) || (p.Filiale == bester->Filiale && p.Ab > bester->Ab))
            bester = &p;
    }
    return bester ? bester->Preis : 0.0;
}

TArtikelTools::TArtikelTools(TRDLDatenbank& ADb) : FNummern(std::make_unique<TRDLArtikelnummern>(ADb)) {}
TArtikelTools::~TArtikelTools() = default;

std::string TArtikelTools::ProduktID_2_ArtNr_Unformatted(const TInt32Trio& AProduktID) {
    if (AProduktID.IsEmpty()) return {}; // a line without an article (a correction)
    return FNummern->ProduktID_2_ArtNr_Formatted(AProduktID, false);
}

double RDLAufCentRunden(double ABetrag) {
    // The product of a price and a quantity lies a hair beside its cent (0,285 as
    // 0,28499999…): a nudge in the last digits before rounding keeps it on the cent it means.
    const double c = ABetrag * 100.0;
    return std::round(c + std::copysign(std::fabs(c) * 1e-12, c)) / 100.0;
}
