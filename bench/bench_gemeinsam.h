#pragma once
// What the benchmarks share: the deterministic sales lines, the range search over the
// date key that the statistics engine uses, and a sales-window sized value-row list.
#include "kovdbfiles.h"
#include "rdldatum.h"
#include "vrgruppierung.h"
#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

using Uhr = std::chrono::steady_clock;

struct TZeile {
    int mand, rechner, trans, pos, filiale, menge, verknr, grind, herkunft;
    double datum, uhrzeit, betrag, betrag2, ek;
    const char* satzart;
};

// Deterministic lines: 800 days, 12 branches, ascending transactions per computer.
inline std::vector<TZeile> Zeilen(int64_t n) {
    std::mt19937_64 rnd(42);
    std::vector<TZeile> z;
    z.reserve(size_t(n));
    const double start = EncodeDate(2024, 1, 1);
    const int64_t proTag = std::max<int64_t>(1, n / 800);
    int trans[200] = {};
    for (int64_t i = 0; i < n; ++i) {
        const int filiale = 1 + int(rnd() % 12);
        const int rechner = filiale * 10 + int(rnd() % 3);
        const double preis = 5 + double(rnd() % 19500) / 100.0;
        z.push_back({1 + (filiale - 1) / 4, rechner, ++trans[rechner], 1, filiale, 1 + int(rnd() % 3),
                     1000 + int(rnd() % 40), 1 + int(rnd() % 8), int(rnd() % 4),
                     start + double(i / proTag), 0.375 + double(rnd() % 1000) / 2000.0, preis * 0.9, preis,
                     preis * 0.5, (rnd() % 50) ? "VK" : "EB"});
    }
    return z;
}

// One line through the record layer (the same values as the bare inserts bind).
inline void LstEinfuegen(Tlstfile& f, const TZeile& z) {
    f.Mandant.SetWert({z.mand, 1});
    f.Rechner.SetWert(z.rechner);
    f.TransNr.SetWert(z.trans);
    f.PosNr.SetWert(z.pos);
    f.Datum.SetWert(z.datum);
    f.Uhrzeit.SetWert(z.uhrzeit);
    f.Filiale.SetWert(int16_t(z.filiale));
    f.Satzart.SetWert(z.satzart);
    f.ProdId.SetWert({100 + z.grind, z.verknr, 1});
    f.ArtNr.SetWert("4711");
    f.GrInd.SetWert(z.grind);
    f.VerkNr.SetWert(z.verknr);
    f.Menge.SetWert(z.menge);
    f.Betrag.SetWert(z.betrag);
    f.Betrag2.SetWert(z.betrag2);
    f.Waehrung.SetWert("EUR");
    f.EK.SetWert(z.ek);
    f.Herkunft.SetWert(int16_t(z.herkunft));
    f.Insert();
}

inline double Sekunden(Uhr::time_point a) { return std::chrono::duration<double>(Uhr::now() - a).count(); }

// A new search for the lines from von to bis over the date key, read with
// Get_ge_extMode / Get_next_extMode.
inline void DatumsBereichSuchen(Tlstfile& f, double von, double bis) {
    f.SucheInit();
    f.KeyNr_Set(Tlstfile::KeyDatum);
    f.Datum.SetKeyWert(von);
    f.Datum.KeyWertUebernehmen();
    f.ExtendedFilterAdd(f.Datum, fvGroesserGleich, fkUnd);
    f.Datum.SetWert(bis);
    f.ExtendedFilterAdd(f.Datum, fvKleinerGleich, fkEnde);
}

// The range read the benchmarks time: the fields the statistics engine reads, summed
// so that the bare loops can be checked against it.
inline void BereichLesen(Tlstfile& f, double von, double bis, int64_t& AZeilen, double& ASumme) {
    DatumsBereichSuchen(f, von, bis);
    for (bool ok = f.Get_ge_extMode(); ok; ok = f.Get_next_extMode()) {
        const double datum = f.Datum.GetWert();
        if (f.Satzart.GetWert() == "EB") continue;
        ASumme += datum * 0 + f.Uhrzeit.GetWert() + f.Filiale.GetWert() + f.Betrag.GetWert() + f.Betrag2.GetWert() +
                  f.EK.GetWert() + f.Menge.GetWert() + f.Herkunft.GetWert();
        ++AZeilen;
    }
}

// --- a sales-window sized value-row list -----------------------------------------------

inline constexpr int CVRSpalten = 40;
inline constexpr int CVRTag = 5, CVRKunde = 2;

// Columns and values shaped like the sales table: head, client key and name, branch,
// the day five times (pattern and period routines), then figures; 365 days × 12 clients.
inline std::unique_ptr<TVRList> VerkaufsListe(int AZeilen) {
    auto liste = std::make_unique<TVRList>();
    for (int s = 0; s < CVRSpalten; ++s) {
        TVRColumn& c = liste->ColumnAdd();
        c.Caption = "S" + std::to_string(s);
        c.VRType = s >= 10 ? TVRValueType::vrvtFloat : TVRValueType::vrvtString;
        if (s >= 10) c.FormatType = TVRFormatType::vrftPattern, c.FormatStr = "%n";
    }
    liste->GetColumn(CVRTag).CustomOrder = true;
    liste->GetColumn(CVRTag).CompareProc = CompareProc_Date;
    std::mt19937 zufall(42);
    const TDateTime erster = EncodeDate(2025, 1, 1);
    TVRArray puffer = liste->VRArray_ForRowAdd_Generate();
    for (int i = 0; i < AZeilen; ++i) {
        const int kunde = static_cast<int>(zufall() % 12) + 1;
        const TDateTime tag = erster + static_cast<int>(zufall() % 365);
        IntPair2VRItem({kunde, 0}, puffer, 1);
        String2VRItem("Mandant " + std::to_string(kunde), puffer, CVRKunde);
        Integer2VRItem(static_cast<int>(zufall() % 60) + 1, puffer, 4);
        for (int s = 5; s <= 9; ++s) Date2VRItem(tag, puffer, s);
        for (int s = 10; s < CVRSpalten; ++s) Float2VRItem(static_cast<double>(zufall() % 100000) / 100.0, puffer, s);
        liste->RowAdd(puffer);
    }
    return liste;
}

// The sales window's aggregation list: sums, codes 2 and 3.
inline TVRFunctionNFormatList VerkaufsFunktionen() {
    TVRFunctionNFormatList f;
    for (int s = 10; s < CVRSpalten; ++s) {
        const int r = (s - 10) % 11;
        f.Add({s, r <= 5 ? TVRFunctionType::vrfSum : (r <= 9 ? TVRFunctionType::vrfNoneToo : TVRFunctionType::vrfNone)});
    }
    return f;
}
