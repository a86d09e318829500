#include "versfilauswtabelle.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlinfo.h"

#include <algorithm>

namespace {
using enum TVRValueType;
using enum TVRFormatType;
using enum TVRFunctionType;

// The branch's amounts at a rate.
TKOV_VFUmsatzdaten_Erw Umgerechnet(const TKOV_VFUmsatzdaten_Erw& A, double AKurs) {
    return {A.EK * AKurs, A.VKNetto * AKurs, A.VKBrutto * AKurs, A.Menge};
}

void Addieren(TKOV_VFUmsatzdaten_Erw& AZiel, const TKOV_VFUmsatzdaten_Erw& A) {
    AZiel = {AZiel.EK + A.EK, AZiel.VKNetto + A.VKNetto, AZiel.VKBrutto + A.VKBrutto, AZiel.Menge + A.Menge};
}
} // namespace

const TVRColumnEig CVersFil_Spalten[CVersFil_AnzahlSpalten] = {
    {"", vrvtString, vrftNone, true, vrfNoneToo, 0},
    {"Filiale", vrvtInteger, vrftNone, true, vrfNoneToo, 0},
    {"Stat./Online", vrvtString, vrftNone, false, vrfNoneToo, 1},
    {"Plattform", vrvtString, vrftNone, true, vrfNoneToo, 0},
    {"Verkaufstyp", vrvtString, vrftNone, true, vrfNoneToo, 1},
    {"Menge", vrvtInteger, vrftNone, true, vrfSum, 0},
    {"VK (brutto)", vrvtFloat, vrftPattern, true, vrfSum, 0},
    {"VK (netto)", vrvtFloat, vrftPattern, true, vrfSum, 0},
    {"EK", vrvtFloat, vrftPattern, true, vrfSum, 0},
    {"Währung", vrvtString, vrftNone, true, vrfNoneToo, 0},
    {"VK (brutto) Hauswährung", vrvtFloat, vrftPattern, false, vrfSum, 0},
    {"VK (netto) Hauswährung", vrvtFloat, vrftPattern, false, vrfSum, 0},
    {"EK Hauswährung", vrvtFloat, vrftPattern, false, vrfSum, 0},
};

void VersFilSpaltenErzeugen(TVRList& AListe) {
    AListe.RowsClear();
    AListe.ColumnsClear();
    for (const TVRColumnEig& e : CVersFil_Spalten) {
        TVRColumn& c = AListe.ColumnAdd();
        c.Caption = e.Caption;
        c.VRType = e.VRType;
        c.FormatType = e.FormatType;
        if (e.FormatType == vrftPattern) c.FormatStr = "%n";
        c.Visible = e.Visible;
        c.BWZ = true;
    }
}

// --- grouping options ---------------------------------------------------------------------

TArray<TVRGruppierOption> VerfuegbareGruppierungen() {
    return KOV_GeschuetztWert("VerfuegbareGruppierungen", true, TArray<TVRGruppierOption>{}, [] {
        return TArray<TVRGruppierOption>{
            {spaFiliale, spaStationaerHelper, spaPlattform},
            {spaFiliale, spaStationaerHelper, spaVkKz},
            {spaFiliale, spaVkKz, spaStationaerHelper},
            {spaFiliale, spaVkKz},
            {spaFiliale, spaPlattform},
            {spaPlattform, spaVkKz},
            {spaPlattform, spaFiliale},
            {spaStationaerHelper, spaPlattform, spaVkKz},
            {spaStationaerHelper, spaVkKz, spaFiliale},
        };
    });
}

std::string Gruppierung_2_String(const TVRGruppierOption& AGruppierung) {
    return KOV_GeschuetztWert("Gruppierung_2_String", true, std::string(), [&] {
        std::string r;
        for (int32_t s : AGruppierung) {
            if (s < 0 || s >= CVersFil_AnzahlSpalten) throw EListError("Spalte " + std::to_string(s) + " gibt es nicht.");
            r += (r.empty() ? "" : " - ") + std::string(CVersFil_Spalten[s].Caption);
        }
        return r;
    });
}

bool GruppierungenEqual(const TVRGruppierOption& A, const TVRGruppierOption& B) {
    return KOV_GeschuetztWert("GruppierungenEqual", true, false, [&] { return A == B; });
}

bool IstGruppierSpalte(TVRSpalte ASpalte, const TVRGruppierOption& AGruppierung) {
    return KOV_GeschuetztWert("IstGruppierSpalte", true, false, [&] {
        return std::find(AGruppierung.begin(), AGruppierung.end(), int32_t(ASpalte)) != AGruppierung.end();
    });
}

// --- rows ---------------------------------------------------------------------------------

std::string Plattform_2_String(int APlattform, const std::vector<std::string>& ANamen) {
    if (APlattform == 0) return CVersFil_Stationaer;
    if (APlattform > 0 && size_t(APlattform) < ANamen.size()) return ANamen[size_t(APlattform)];
    // Never read past the table: the figures of a newer layout name more platforms.
    RDLInfo().RegisterException(
        "Plattform_2_String", EListError("Die Plattform " + std::to_string(APlattform) + " ist nicht bekannt."), false);
    return CVersFil_UnbekanntePlattform;
}

bool AddNewRow(TVRList& AListe, TVRArray& AVRArray, const TVersFil_Auswahl& AAuswahl, int16_t AFiliale,
               const std::string& AWaehrung, const TKOV_VFUmsatzdaten_Erw& AUmsatz,
               const TKOV_VFUmsatzdaten_Erw& AHauswaehrung, int APlattform, int ATyp,
               const std::vector<std::string>& APlattformnamen) {
    // An empty entry: a stationary row unless empty rows are hidden, an online one never.
    if (AUmsatz.IsEmpty() && (AAuswahl.LeereZeilenAusblenden || APlattform != 0)) return false;
    ClearVRArray(AVRArray);
    AVRArray[spaFiliale] = TVRItem::Integer(AFiliale);
    AVRArray[spaStationaerHelper] = TVRItem::String(APlattform == 0 ? CVersFil_Stationaer : CVersFil_Online);
    AVRArray[spaPlattform] = TVRItem::String(Plattform_2_String(APlattform, APlattformnamen));
    AVRArray[spaVkKz] = TVRItem::String(ATyp == vtVerkauf ? CVersFil_Verkaeufe : CVersFil_RetourenStornos);
    AVRArray[spaMenge] = TVRItem::Integer(AUmsatz.Menge);
    AVRArray[spaVkBrutto] = TVRItem::Float(AUmsatz.VKBrutto);
    AVRArray[spaVkNetto] = TVRItem::Float(AUmsatz.VKNetto);
    AVRArray[spaEK] = TVRItem::Float(AUmsatz.EK);
    AVRArray[spaWaehrung] = TVRItem::String(AWaehrung);
    AVRArray[spaVkBruttoHW] = TVRItem::Float(AHauswaehrung.VKBrutto);
    AVRArray[spaVkNettoHW] = TVRItem::Float(AHauswaehrung.VKNetto);
    AVRArray[spaEKHW] = TVRItem::Float(AHauswaehrung.EK);
    AListe.RowAdd(AVRArray);
    return true;
}

void VersFilTabelleFuellen(TVRList& AListe, TVRArray& AVRArray, const TVersFil_Auswahl& AAuswahl,
                           const TVersFil_Quellen& Q) {
    using TDaten = TKOV_Umsatzdaten_Erw_VersFilAusw;
    const TDate von = DateOf(AAuswahl.Zeitraum.Von), bis = DateOf(AAuswahl.Zeitraum.Bis);
    for (const int16_t nr : AAuswahl.Filialen) {
        const TFiliale* f = Q.Filiale ? Q.Filiale(nr) : nullptr;
        if (!f) continue;
        if (Q.Fortschritt) Q.Fortschritt("Filiale: " + std::to_string(nr));
        const std::string waehrung = f->GetWaehrung().empty() ? Q.Hauswaehrung : f->GetWaehrung();
        TDaten umsatz, haus;
        if (waehrung == Q.Hauswaehrung) {
            if (Q.Umsatz) umsatz = Q.Umsatz(*f, von, bis);
            haus = umsatz;
        } else {
            // Day by day: each day's amounts at that day's rate.
            for (TDate d = von; d <= bis; d += 1) {
                const TDaten tag = Q.Umsatz ? Q.Umsatz(*f, d, d) : TDaten{};
                if (TKOV_UmsDataOperator_VersFilAusw::IsEmpty(tag)) continue;
                const double kurs = Q.Kurs(waehrung, d);
                for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
                    for (int t = 0; t < 2; ++t) {
                        Addieren(umsatz.Plattformen[p][t], tag.Plattformen[p][t]);
                        Addieren(haus.Plattformen[p][t], Umgerechnet(tag.Plattformen[p][t], kurs));
                    }
            }
        }
        for (int t = 0; t < 2; ++t) {
            if (!(t == vtVerkauf ? AAuswahl.VerkaeufeAnzeigen : AAuswahl.RetourenAnzeigen)) continue;
            for (int p = 0; p < CKOV_VersFil_AnzahlPlattformen; ++p)
                AddNewRow(AListe, AVRArray, AAuswahl, nr, waehrung, umsatz.Plattformen[p][t], haus.Plattformen[p][t], p,
                          t, Q.Plattformnamen);
        }
    }
}

void GruppensummenInHauswaehrung(TVRList& AListe, const std::string& AHauswaehrung) {
    for (int32_t i = 0; i < AListe.GetRowCount(); ++i) {
        TVRList* kinder = AListe.GetRowChild(i);
        if (!kinder) continue;
        GruppensummenInHauswaehrung(*kinder, AHauswaehrung);
        AListe.SetCellValue(i, spaVkBrutto, AListe.GetCellValueAsDouble(i, spaVkBruttoHW));
        AListe.SetCellValue(i, spaVkNetto, AListe.GetCellValueAsDouble(i, spaVkNettoHW));
        AListe.SetCellValue(i, spaEK, AListe.GetCellValueAsDouble(i, spaEKHW));
        AListe.SetCellValue(i, spaWaehrung, AHauswaehrung);
    }
}
