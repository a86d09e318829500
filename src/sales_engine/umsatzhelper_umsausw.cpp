#include "umsatzhelper_umsausw.h"

#include <atomic>
#include <cmath>
#include <fstream>

namespace {

std::atomic<int64_t> GTavrinAufrufe{0};
std::atomic<int64_t> GMosbekAufrufe{0};

void SonderlockeMerken(std::atomic<int64_t>& AZaehler, const char* AName) {
    // Called per sales line: only the first call of the process goes to the log.
    if (AZaehler++ != 0) return;
    const std::string& datei = RDLInfo().LogDatei();
    if (datei.empty()) return;
    std::ofstream log(datei, std::ios::app);
    log << DateTimeToStr(rdl_Now()) << '\t' << AName << "\tkundenspezifische Umsatzzuordnung aktiv\n";
}

} // namespace

void Tavrin_Umsatzstatistiken_Sonderlocke() { SonderlockeMerken(GTavrinAufrufe, "Tavrin_Umsatzstatistiken_Sonderlocke"); }
void Mosbek_Umsatzstatistiken_Sonderlocke() { SonderlockeMerken(GMosbekAufrufe, "Mosbek_Umsatzstatistiken_Sonderlocke"); }
int64_t Tavrin_Umsatzstatistiken_Sonderlocke_Aufrufe() { return GTavrinAufrufe; }
int64_t Mosbek_Umsatzstatistiken_Sonderlocke_Aufrufe() { return GMosbekAufrufe; }

void TKOV_UmsatzHelper_UmsAusw::Gebucht(const TFiliale& AFiliale, TDate ADatum, bool AGanztag) {
    // The day is read exactly again: the booking may still be rolled back.
    if (AGanztag) {
        const int64_t tag = int64_t(DateOf(ADatum));
        const auto it = FTagesPuffer.find({AFiliale.Mandant, AFiliale.OrgeID, tag / CBlockTage});
        if (it != FTagesPuffer.end()) it->second.Tage.erase(tag);
    }
}

TKOV_UmsatzHelper_UmsAusw::TTagesBlock* TKOV_UmsatzHelper_UmsAusw::TagesBlock(const TIntPair& AMandant,
                                                                             const TIntPair& AOrgeID, int64_t ATag) {
    const auto jetzt = std::chrono::steady_clock::now();
    const int64_t block = ATag / CBlockTage;
    TTagesBlock& b = FTagesPuffer[{AMandant, AOrgeID, block}];
    if (b.Gelesen != std::chrono::steady_clock::time_point{} && jetzt - b.Gelesen < CPufferAlter) return &b;
    b.Tage.clear();
    Tumstfile& f = FilialeSuchen(AMandant, AOrgeID);
    // The key of the whole days carries their figures: no table lookup per day.
    f.KeyNr_Set(Tumstfile::KeyGanztag);
    f.Datum.SetKeyWert(TDate(block * CBlockTage));
    // Both bounds as plain terms: the store then seeks the index to the block.
    f.Datum.SetWert(TDate(block * CBlockTage));
    f.ExtendedFilterAdd(f.Datum, fvGroesserGleich, fkUnd);
    f.Datum.SetWert(TDate(block * CBlockTage + CBlockTage - 1));
    f.ExtendedFilterAdd(f.Datum, fvKleinerGleich, fkEnde);
    f.LeseFelder_Set({&f.Datum, &f.Daten});
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) {
        TKOV_Umsatzdaten_UmsAusw u;
        if (TKOV_UmsDataOperator_UmsAusw::Blob_2_Daten(f.Daten.GetWert().Bytes, u))
            b.Tage[int64_t(DateOf(f.Datum.GetWert()))] = u;
    }
    b.Gelesen = jetzt;
    return &b;
}

bool TKOV_UmsatzHelper_UmsAusw::TagLaden(const TIntPair& AMandant, const TIntPair& AOrgeID,
                                         TKOV_Umsatzdaten_UmsAusw& AUmsatz, TDate ADatum) {
    if (FLesepuffer) {
        const int64_t tag = int64_t(DateOf(ADatum));
        const TTagesBlock* b = TagesBlock(AMandant, AOrgeID, tag);
        if (const auto it = b->Tage.find(tag); it != b->Tage.end()) {
            AUmsatz = it->second;
            return true;
        }
    }
    return TKOV_UmsatzHelper_StatFile::TagLaden(AMandant, AOrgeID, AUmsatz, ADatum);
}

TKOV_Umsatzdaten_UmsAusw TKOV_UmsatzHelper_UmsAusw::UmsatzAusLstSatz(Tlstfile& ALst, int16_t /*AOrgeKnr*/) {
    return UmsatzAusLstWerten(LstWerteAusSatz(ALst));
}
