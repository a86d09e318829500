#include "rdlartikel.h"

#include <algorithm>

namespace {

void IndexPruefen(int AIndex, const char* AWas) {
    if (AIndex < 1 || AIndex > CRDL_MaxGrInd)
        throw EArgumentOutOfRangeException(std::string(AWas) + ": der Größenindex " + std::to_string(AIndex) +
                                           " liegt außerhalb von 1 bis " + std::to_string(CRDL_MaxGrInd) + ".");
}

int8_t AufInt8(int64_t AWert) { return int8_t(std::clamp<int64_t>(AWert, INT8_MIN, INT8_MAX)); }

void TrioBinden(TRDLStatement& S, const TIntTrio& T) {
    S.Bind(1, int64_t(T.A));
    S.Bind(2, int64_t(T.B));
    S.Bind(3, int64_t(T.C));
}

} // namespace

double TRDL_Intv100_Preis::Preis_4_Index(int AIndex) const {
    IndexPruefen(AIndex, "Preis");
    return Preise[size_t(AIndex - 1)];
}

int32_t TKOV_DispoWE_Filiale::Menge_4_Index(int AIndex) const {
    IndexPruefen(AIndex, "Menge");
    return Mengen[size_t(AIndex - 1)];
}

TKOV_ArtvLesenToolsDispoWEMani::TKOV_ArtvLesenToolsDispoWEMani(TRDLDatenbank& ADb)
    : FDb(ADb),
      FKopf(ADb.Prepare("SELECT prod_a, prod_b, prod_c, status, wedatum, lief_a, lief_b, waehrung, preis FROM dispo"
                        " WHERE dispo_a = ? AND dispo_b = ? AND dispo_c = ?")),
      FPreise(ADb.Prepare("SELECT grind, preis FROM dispo_preis WHERE dispo_a = ? AND dispo_b = ? AND dispo_c = ?")),
      // Entries with their quantities in one read; an entry without quantities comes once.
      FFilialen(ADb.Prepare(
          "SELECT f.lfdnr, f.filiale, f.grind_von, f.grind_bis, m.grind, m.menge, b.mand_a, b.mand_b"
          " FROM dispo_filiale f"
          " LEFT JOIN dispo_menge m ON m.dispo_a = f.dispo_a AND m.dispo_b = f.dispo_b AND m.dispo_c = f.dispo_c"
          " AND m.lfdnr = f.lfdnr"
          " LEFT JOIN filiale b ON b.filiale = f.filiale"
          " WHERE f.dispo_a = ? AND f.dispo_b = ? AND f.dispo_c = ? ORDER BY f.lfdnr, m.grind")) {}

bool TKOV_ArtvLesenToolsDispoWEMani::Lese_DispoWE_Details(const TIntTrio& ADispo, const TIntPair& AMandant,
                                                          bool ANurMitMengen, TKOV_DispoWE_Info& AInfo) {
    AInfo = TKOV_DispoWE_Info{};
    // Each read runs to its end (or is reset), so none keeps a snapshot.
    TrioBinden(FKopf, ADispo);
    if (!FKopf.Step()) {
        FKopf.Reset();
        return false;
    }
    AInfo.ProduktID = {int32_t(FKopf.ColInt(0)), int32_t(FKopf.ColInt(1)), int32_t(FKopf.ColInt(2))};
    AInfo.Status = int32_t(FKopf.ColInt(3));
    AInfo.WEDatum = FKopf.ColDouble(4);
    AInfo.LiefGePNr = {int32_t(FKopf.ColInt(5)), int32_t(FKopf.ColInt(6))};
    AInfo.Preis.Waehrung = FKopf.ColText(7);
    AInfo.Preis.Preise.fill(FKopf.ColDouble(8));
    FKopf.Reset();

    TrioBinden(FPreise, ADispo);
    while (FPreise.Step()) {
        const int64_t k = FPreise.ColInt(0);
        if (k >= 1 && k <= CRDL_MaxGrInd) AInfo.Preis.Preise[size_t(k - 1)] = FPreise.ColDouble(1);
    }
    FPreise.Reset();

    TrioBinden(FFilialen, ADispo);
    int64_t lfdnr = INT64_MIN;
    bool verworfen = false; // the current entry belongs to another client
    while (FFilialen.Step()) {
        if (FFilialen.ColInt(0) != lfdnr) {
            lfdnr = FFilialen.ColInt(0);
            const TIntPair mandant = {int32_t(FFilialen.ColInt(6)), int32_t(FFilialen.ColInt(7))};
            verworfen = !AMandant.IsEmpty() && mandant != AMandant;
            if (!verworfen) {
                TKOV_DispoWE_Filiale f;
                f.Filiale = int16_t(std::clamp<int64_t>(FFilialen.ColInt(1), INT16_MIN, INT16_MAX));
                f.GrIndVon = AufInt8(FFilialen.ColInt(2));
                f.GrIndBis = AufInt8(FFilialen.ColInt(3));
                AInfo.Filialen.push_back(f);
            }
        }
        if (verworfen || FFilialen.ColIsNull(4)) continue;
        const int64_t k = FFilialen.ColInt(4);
        if (k >= 1 && k <= CRDL_MaxGrInd) AInfo.Filialen.back().Mengen[size_t(k - 1)] = int32_t(FFilialen.ColInt(5));
    }
    FFilialen.Reset();
    if (ANurMitMengen)
        std::erase_if(AInfo.Filialen, [](const TKOV_DispoWE_Filiale& F) {
            return std::all_of(F.Mengen.begin(), F.Mengen.end(), [](int32_t m) { return m == 0; });
        });
    return true;
}

TRDLArtikelnummern::TRDLArtikelnummern(TRDLDatenbank& ADb)
    : FDb(ADb), FLesen(ADb.Prepare("SELECT artnr, farbe FROM artikel WHERE prod_a = ? AND prod_b = ? AND prod_c = ?")) {}

std::string TRDLArtikelnummern::ProduktID_2_ArtNr_Formatted(const TInt32Trio& P, bool AMitFarbe) {
    auto it = FCache.find(P);
    if (it == FCache.end()) {
        TEintrag e;
        FLesen.Bind(1, int64_t(P.A));
        FLesen.Bind(2, int64_t(P.B));
        FLesen.Bind(3, int64_t(P.C));
        if (FLesen.Step()) {
            e.Gefunden = true;
            e.ArtNr = FLesen.ColText(0);
            e.Farbe = FLesen.ColText(1);
        }
        FLesen.Reset();
        it = FCache.emplace(P, std::move(e)).first;
    }
    const TEintrag& e = it->second;
    if (!e.Gefunden) return std::to_string(P.A) + "/" + std::to_string(P.B) + "/" + std::to_string(P.C);
    return AMitFarbe && !e.Farbe.empty() ? e.ArtNr + " " + e.Farbe : e.ArtNr;
}

void TRDLArtikelnummern::Vorladen() {
    auto st = FDb.Prepare("SELECT prod_a, prod_b, prod_c, artnr, farbe FROM artikel");
    while (st.Step())
        FCache[TInt32Trio{int32_t(st.ColInt(0)), int32_t(st.ColInt(1)), int32_t(st.ColInt(2))}] = {st.ColText(3),
                                                                                                   st.ColText(4), true};
}
