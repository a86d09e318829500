#include "umsauswtabelle.h"

#include "rdlinfo.h"
#include "rdlwaehrung.h"

#include <cmath>
#include <cstdlib>

namespace {

// A period column: the day shown as its week, month, quarter or weekday, sorted by time.
void Periode(TVRColumn& c, TVRFormatRoutine ARoutine, TVRCompareProc AOrdnung) {
    c.FormatType = TVRFormatType::vrftRoutine;
    c.FormatRoutine = std::move(ARoutine);
    c.CustomOrder = true;
    c.CompareProc = std::move(AOrdnung);
}

constexpr int CMain = CKOV_UmsatzTree_AnzahlMainColumns;
constexpr int CRep = CKOV_UmsatzTree_AnzahlRepColumns;
constexpr double CNullNaehe = 0.0005;

// The figure groups of each origin.
struct TGruppenVonHerkunft {
    int Herkunft;
    TKOV_UmsAusw_Gruppe Gruppen[2];
    int Anzahl;
    bool MitSonstigen; // figures 3 and 4 count in S3 and S4
};
constexpr TGruppenVonHerkunft CHerkuenfte[] = {
    {0, {ugA, ugA}, 1, true},
    {1, {ugC, ugD}, 2, true},
    {2, {ugB, ugE}, 2, false},
};

} // namespace

int BlockstartVorjahr(bool AMitDurchschnitt, int AVorjahr) {
    return CMain + CRep * (1 + (AMitDurchschnitt ? 1 : 0) + AVorjahr);
}

int AnzahlBloecke(const TVRList& AListe) {
    return AListe.GetColumnCount() <= CMain ? 0 : (AListe.GetColumnCount() - CMain) / CRep;
}

void RepSpaltenEinfuegen(TVRList& AListe, const std::string& APrefix, bool ADifferenzSichtbar) {
    for (int r = 0; r < CRep; ++r) {
        TVRColumn& c = AListe.ColumnAdd();
        c.Caption = APrefix + CKOV_UmsatzTree_RepColumns_2_Bezeichung[r];
        c.VRType = CKOV_UmsatzTree_RepColumns_2_VRType[r];
        c.Visible = CKOV_UmsatzTree_RepColumns_2_Visible[r];
        c.BackgroundColor = CKOV_Stdktoliste_Spalten_2_DefaultBackgroundfarbe[r];
        c.BWZ = true;
        if (r == urcSpanneProzent || r == urcDifferenzProzent) {
            c.FormatType = TVRFormatType::vrftPattern;
            c.FormatStr = "%n %%";
        } else if (r != urcVergleichstage) {
            c.FormatType = TVRFormatType::vrftPattern;
            c.FormatStr = "%n";
        }
        if (r == urcDifferenz || r == urcDifferenzProzent) c.Visible = ADifferenzSichtbar;
    }
}

void VRListeErzeugen(TVRList& AListe, const TKOV_UmsatzAuswert_Settings& ASettings) {
    AListe.RowsClear();
    AListe.ColumnsClear();
    for (int s = 0; s < CMain; ++s) {
        TVRColumn& c = AListe.ColumnAdd();
        c.Caption = CKOV_UmsatzTree_MainColumns_2_Bezeichung[s];
        c.VRType = CKOV_UmsatzTree_MainColumns_2_VRType[s];
        c.Visible = CKOV_UmsatzTree_MainColumns_2_Visible[s];
        c.BWZ = true;
        switch (s) {
        case umcFiliale:
            if (ASettings.AnzeigeFilialen == 0) c.VRType = TVRValueType::vrvtInteger;
            if (ASettings.AnzeigeFilialen == 2) {
                c.CustomOrder = true;
                c.CompareProc = FilialeSortieren;
            }
            break;
        case umcDatum:
            c.FormatType = TVRFormatType::vrftPattern;
            c.FormatStr = "dd.mm.yyyy (ddd)";
            c.CustomOrder = true;
            c.CompareProc = CompareProc_Date;
            break;
        case umcKalenderwoche: Periode(c, Format_DateVRItem_2_BeschreibungKalenderwoche, CompareProc_CalendarWeek); break;
        case umcMonat: Periode(c, Format_DateVRItem_2_BeschreibungMonat, CompareProc_Month); break;
        case umcQuartal: Periode(c, Format_DateVRItem_2_BeschreibungQuartal, CompareProc_Quarter); break;
        case umcWochentag: Periode(c, Format_DateVRItem_2_Wochentag, CompareProc_WeekDay); break;
        default: break;
        }
    }
    RepSpaltenEinfuegen(AListe, "", false);
    if (ASettings.DurchschnittAnzeigen) RepSpaltenEinfuegen(AListe, "D: ", true);
    for (int k = 1; k <= ASettings.AnzahlVorjahre; ++k)
        RepSpaltenEinfuegen(AListe, "J-" + std::to_string(k) + ": ", true);
}

// --- numbers ------------------------------------------------------------------------------------

TKOV_UmsAusw_Summen Umsatzdaten_2_Summen(const TKOV_Umsatzdaten_UmsAusw& AUmsatz,
                                         TKOV_UmsAusw_Herkuenfte AHerkunft) {
    TKOV_UmsAusw_Summen r;
    for (const TGruppenVonHerkunft& h : CHerkuenfte) {
        if (!HerkunftEnthalten(AHerkunft, h.Herkunft)) continue;
        for (int g = 0; g < h.Anzahl; ++g)
            for (int m = 0; m < 5; ++m)
                if (m <= 2 || h.MitSonstigen) r.S[m] += AUmsatz.Wert(h.Gruppen[g], TKOV_UmsAusw_Figur(m));
    }
    return r;
}

double Umsatzdaten_2_VKBrutto(const TKOV_Umsatzdaten_UmsAusw& AUmsatz, TKOV_UmsAusw_Herkuenfte AHerkunft) {
    return KOV_GeschuetztWert("Umsatzdaten_2_VKBrutto", true, 0.0, [&] {
        double r = 0;
        for (const TGruppenVonHerkunft& h : CHerkuenfte) {
            if (!HerkunftEnthalten(AHerkunft, h.Herkunft)) continue;
            for (int g = 0; g < h.Anzahl; ++g)
                r += AUmsatz.Wert(h.Gruppen[g], ufBruttoArtikel) + AUmsatz.Wert(h.Gruppen[g], ufBruttoSonstige);
        }
        return r;
    });
}

double BerechneHandelsspanneAbsolut(double ANetto, double AEK) { return ANetto - AEK; }

double BerechneHandelsspanneNettoInProzent(double ANetto, double AEK, double ABrutto) {
    if (std::fabs(ABrutto) < CNullNaehe) return 0;
    return (ANetto - AEK) / ABrutto * 100.0;
}

double BerechneDifferenzAbsolut(double AReal, double AVergleich) { return AReal - AVergleich; }

double BerechneDifferenzProzent(double AReal, double AVergleich) {
    return AVergleich > 0 ? (AReal - AVergleich) / AVergleich * 100.0 : 0.0;
}

void Datum_2_VRArray(TDate ADatum, TVRArray& AVRArray) {
    KOV_Geschuetzt("Datum_2_VRArray", true, [&] {
        for (int s = umcDatum; s <= umcWochentag; ++s) Date2VRItem(ADatum, AVRArray, s);
    });
}

void Umsatzdaten_2_VRArray(const TKOV_Umsatzdaten_UmsAusw& AUmsatz, TKOV_UmsAusw_Herkuenfte AHerkunft,
                           TVRArray& AVRArray, int b) {
    KOV_Geschuetzt("Umsatzdaten_2_VRArray", true, [&] {
        const TKOV_UmsAusw_Summen s = Umsatzdaten_2_Summen(AUmsatz, AHerkunft);
        const double netto = s.S[1] + s.S[3];
        const double brutto = s.S[2] + s.S[4];
        Float2VRItem(brutto, AVRArray, b + urcUmsatzBrutto);
        Float2VRItem(s.S[2], AVRArray, b + urcBruttoArtikel);
        Float2VRItem(s.S[4], AVRArray, b + urcBruttoSonstige);
        Float2VRItem(s.S[1], AVRArray, b + urcNettoArtikel);
        Float2VRItem(s.S[3], AVRArray, b + urcNettoSonstige);
        Float2VRItem(s.S[0], AVRArray, b + urcEK);
        Float2VRItem(BerechneHandelsspanneAbsolut(netto, s.S[0]), AVRArray, b + urcSpanne);
        Float2VRItem(BerechneHandelsspanneNettoInProzent(netto, s.S[0], brutto), AVRArray, b + urcSpanneProzent);
    });
}

void Differenzdaten_2_VRArray(const TKOV_Umsatzdaten_UmsAusw& AReal, const TKOV_Umsatzdaten_UmsAusw& AVergleich,
                              TKOV_UmsAusw_Herkuenfte AHerkunft, TVRArray& AVRArray, int b) {
    KOV_Geschuetzt("Differenzdaten_2_VRArray", true, [&] {
        const double r = Umsatzdaten_2_VKBrutto(AReal, AHerkunft);
        const double v = Umsatzdaten_2_VKBrutto(AVergleich, AHerkunft);
        Float2VRItem(BerechneDifferenzAbsolut(r, v), AVRArray, b + urcDifferenz);
        Float2VRItem(BerechneDifferenzProzent(r, v), AVRArray, b + urcDifferenzProzent);
    });
}

void Vergleichstag_2_VrArray(const TArray<TDate>& AVergleichstage, TVRArray& AVRArray, int b) {
    KOV_Geschuetzt("Vergleichstag_2_VrArray", true, [&] {
        std::string text;
        for (TDate d : AVergleichstage) {
            if (!text.empty()) text += ", ";
            text += DateToStr(d);
        }
        String2VRItem(text, AVRArray, b + urcVergleichstage);
    });
}

bool IstFilialeEinzublenden(const TKOV_UmsatzDatenMitVorjahre_UmsAusw& AUmsatz, uint8_t AFilialauswahl) {
    return KOV_GeschuetztWert("IstFilialeEinzublenden", true, false, [&] {
        switch (AFilialauswahl) {
        case 0: return true;
        case 1: return !AUmsatz.IsEmpty();
        case 2: return !TKOV_UmsDataOperator_UmsAusw::IsEmpty(AUmsatz.FRealerUmsatz);
        default: return false;
        }
    });
}

namespace {
int FilialNummerVorne(const TVRItem& AWert) {
    if (AWert.IsNumeric()) return int(AWert.AsFloat());
    if (AWert.Typ() != TVRValueType::vrvtString) return 0;
    const std::string& s = AWert.AsString();
    const size_t p = s.find(" - ");
    if (p == std::string::npos || p == 0) return 0;
    char* ende = nullptr;
    const std::string teil = s.substr(0, p);
    const long n = std::strtol(teil.c_str(), &ende, 10);
    return (ende && *ende == '\0') ? int(n) : 0;
}
} // namespace

int FilialeSortieren(const TVRItem& A, const TVRItem& B) {
    return KOV_GeschuetztWert("FilialeSortieren", true, 0, [&] { return FilialNummerVorne(A) - FilialNummerVorne(B); });
}

void Filiale_2_VRArray(const TFiliale& AFiliale, uint8_t AAnzeigeFilialen, TVRArray& AVRArray) {
    switch (AAnzeigeFilialen) {
    case 1: String2VRItem(AFiliale.Name, AVRArray, umcFiliale); break;
    case 2: String2VRItem(std::to_string(AFiliale.Nr) + " - " + AFiliale.Name, AVRArray, umcFiliale); break;
    default: Integer2VRItem(AFiliale.Nr, AVRArray, umcFiliale); break;
    }
}

bool TabelleFuellen(TVRList& AListe, TVRArray& AVRArray, const TKOV_UmsatzAuswert_Settings& S,
                    const TKOV_UmsAusw_Quellen& Q) {
    return KOV_Geschuetzt("TKOV_UmsatzAuswertFrm.TabelleFuellen", true, [&] {
        ClearVRArray(AVRArray);
        const TKOV_UmsAusw_Herkuenfte herkunft = S.Herkunft;
        const TDate von = std::floor(S.Zeitraum.Von), bis = std::floor(S.Zeitraum.Bis);
        struct TTag {
            TDate Datum;
            TKOV_UmsatzDatenMitVorjahre_UmsAusw UmsData;
        };
        std::vector<TTag> tage; // the days of one branch; freed before the next
        for (const TFiliale& f : Q.Filialen) {
            tage.clear();
            if (Q.Fortschritt) Q.Fortschritt("Filiale: " + std::to_string(f.Nr));
            if (f.LV_Benutzen_Get()) continue;
            bool gewaehlt = false;
            for (const TIntPair& m : S.Mandanten) gewaehlt = gewaehlt || m == f.Mandant;
            if (!gewaehlt) continue;
            IntPair2VRItem(f.Mandant, AVRArray, umcMandantID);
            String2VRItem(Q.MandantName ? Q.MandantName(f.Mandant) : std::string(), AVRArray, umcMandant);
            Filiale_2_VRArray(f, S.AnzeigeFilialen, AVRArray);
            const std::string waehrung = f.GetWaehrung().empty() ? Q.Hauswaehrung : f.GetWaehrung();
            String2VRItem(waehrung, AVRArray, umcWaehrung);
            const bool fremd = waehrung != Q.Hauswaehrung;
            if (fremd && !Q.Kurs) throw EWaehrungsFehler(waehrung, von, Q.Hauswaehrung);

            bool zeigen = false;
            for (TDate d = von; d <= bis; d += 1) {
                TTag tag{d, TKOV_UmsatzDatenMitVorjahre_UmsAusw()};
                TKOV_UmsAusw_Tagesabfrage a;
                a.Mandant = f.Mandant;
                a.OrgeID = f.OrgeID;
                a.AnzahlVorjahre = S.AnzahlVorjahre;
                a.Datum = d;
                a.WahlmethodeVergleichstag = S.WahlmethodeVergleichstag;
                a.LeereUmsaetzeIgnorieren = Q.LeereUmsaetzeIgnorieren;
                if (Q.Umsatz) Q.Umsatz(a, tag.UmsData);
                if (!zeigen) zeigen = IstFilialeEinzublenden(tag.UmsData, S.Filialauswahl);
                tage.push_back(std::move(tag));
            }
            if (!zeigen) continue;
            // Every day's rate before its rows: the group rows will add them up converted.
            if (fremd)
                for (const TTag& t : tage) Q.Kurs(waehrung, t.Datum);
            for (const TTag& t : tage) {
                Datum_2_VRArray(t.Datum, AVRArray);
                const auto& u = t.UmsData;
                Umsatzdaten_2_VRArray(u.FRealerUmsatz, herkunft, AVRArray, CMain);
                if (S.DurchschnittAnzeigen) {
                    const int b = CMain + CRep;
                    Umsatzdaten_2_VRArray(u.FDurchschnitt, herkunft, AVRArray, b);
                    Differenzdaten_2_VRArray(u.FRealerUmsatz, u.FDurchschnitt, herkunft, AVRArray, b);
                }
                for (int k = 0; k < S.AnzahlVorjahre; ++k) {
                    const int b = BlockstartVorjahr(S.DurchschnittAnzeigen, k);
                    // An engine answer with fewer prior years leaves the rest empty, not the row.
                    const bool da = k < u.AnzahlVorjahresumsaetze();
                    const TKOV_Umsatzdaten_UmsAusw vj = da ? u.VorjahresUmsatz_Get(k) : TKOV_Umsatzdaten_UmsAusw{};
                    Umsatzdaten_2_VRArray(vj, herkunft, AVRArray, b);
                    Differenzdaten_2_VRArray(u.FRealerUmsatz, vj, herkunft, AVRArray, b);
                    Vergleichstag_2_VrArray(da ? u.Vergleichstage_Get(k) : TArray<TDate>{}, AVRArray, b);
                }
                AListe.RowAdd(AVRArray);
            }
        }
    });
}

// --- group rows ---------------------------------------------------------------------------------

namespace {
// A leaf's currency cell naming another currency than the house's.
bool IstFremd(const TVRItem& AWaehrung, const std::string& AHauswaehrung) {
    return AWaehrung.Typ() == TVRValueType::vrvtString && !AWaehrung.AsString().empty() &&
           AWaehrung.AsString() != AHauswaehrung;
}

void GruppensummenSetzen(TVRList& AListe, const std::string& AHauswaehrung,
                         const std::function<double(const std::string&, TDate)>& AKurs, bool AUmrechnen) {
    const int bloecke = AnzahlBloecke(AListe);
    for (int32_t i = 0; i < AListe.GetRowCount(); ++i) {
        TVRList* kinder = AListe.GetRowChild(i);
        if (!kinder) continue;
        GruppensummenSetzen(*kinder, AHauswaehrung, AKurs, AUmrechnen);
        AListe.SetCellValue(i, umcWaehrung, AHauswaehrung);
        if (!AUmrechnen) continue;
        std::vector<double> faktor(size_t(kinder->GetRowCount()), 1.0);
        for (int32_t k = 0; k < kinder->GetRowCount(); ++k) {
            if (kinder->GetRowChild(k)) continue; // a group row is converted already
            const TVRItem& w = kinder->GetCellValue(k, umcWaehrung);
            if (IstFremd(w, AHauswaehrung))
                faktor[size_t(k)] = AKurs(w.AsString(), DateOf(kinder->GetCellValue(k, umcDatum).AsDate()));
        }
        for (int n = 0; n < bloecke; ++n)
            for (int r = urcUmsatzBrutto; r <= urcEK; ++r) {
                const int c = CMain + CRep * n + r;
                double summe = 0;
                for (int32_t k = 0; k < kinder->GetRowCount(); ++k)
                    summe += kinder->GetCellValueAsDouble(k, c) * faktor[size_t(k)];
                AListe.SetCellValue(i, c, summe);
            }
    }
}
} // namespace

bool HatFremdwaehrung(const TVRList& AListe, const std::string& AHauswaehrung) {
    for (int32_t i = 0; i < AListe.GetRowCount(); ++i) {
        if (const TVRList* kinder = AListe.GetRowChild(i)) {
            if (HatFremdwaehrung(*kinder, AHauswaehrung)) return true;
            continue;
        }
        if (IstFremd(AListe.GetCellValue(i, umcWaehrung), AHauswaehrung)) return true;
    }
    return false;
}

void GruppensummenInHauswaehrung(TVRList& AListe, const std::string& AHauswaehrung,
                                 const std::function<double(const std::string&, TDate)>& AKurs) {
    // Sums of a tree in one currency stay as the grouping added them.
    const bool umrechnen = HatFremdwaehrung(AListe, AHauswaehrung);
    GruppensummenSetzen(AListe, AHauswaehrung, AKurs, umrechnen);
}

void SpanneUndDiffZuLJ_Setzen(TVRList& AListe) {
    KOV_Geschuetzt("SpanneUndDiffZuLJ_Setzen", true, [&] {
        const int bloecke = AnzahlBloecke(AListe);
        for (int32_t i = 0; i < AListe.GetRowCount(); ++i) {
            TVRList* kinder = AListe.GetRowChild(i);
            if (!kinder) continue; // leaf rows keep their own numbers
            SpanneUndDiffZuLJ_Setzen(*kinder);
            auto zelle = [&](int c) { return AListe.GetCellValueAsDouble(i, c); };
            const double t = zelle(GetColIDxLaufendesJahr(urcBruttoArtikel)) +
                             zelle(GetColIDxLaufendesJahr(urcBruttoSonstige));
            for (int n = 0; n < bloecke; ++n) {
                const int b = CMain + CRep * n;
                const double netto = zelle(b + urcNettoArtikel) + zelle(b + urcNettoSonstige);
                const double brutto = zelle(b + urcBruttoArtikel) + zelle(b + urcBruttoSonstige);
                const double ek = zelle(b + urcEK);
                AListe.SetCellValue(i, b + urcSpanneProzent, BerechneHandelsspanneNettoInProzent(netto, ek, brutto));
                AListe.SetCellValue(i, b + urcSpanne, BerechneHandelsspanneAbsolut(netto, ek));
                if (n == 0) continue;
                AListe.SetCellValue(i, b + urcDifferenz, BerechneDifferenzAbsolut(t, brutto));
                AListe.SetCellValue(i, b + urcDifferenzProzent, BerechneDifferenzProzent(t, brutto));
            }
        }
    });
}
