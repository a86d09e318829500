#pragma once
// Small lists for the value-row tests and a compact text form of a tree.
#include "vrgruppierung.h"

#include "rdldatum.h"

#include <string>

namespace vrtest {

// Cells as shown, joined by "|"; a group's members follow in braces.
inline std::string Baum(const TVRList& AList) {
    std::string r;
    for (int32_t i = 0; i < AList.GetRowCount(); ++i) {
        if (i > 0) r += ' ';
        for (int32_t s = 0; s < AList.GetColumnCount(); ++s) {
            if (s > 0) r += '|';
            r += AList.GetCellValueAsFormatedString(i, s);
        }
        if (const TVRList* kinder = AList.GetRowChild(i)) r += '{' + Baum(*kinder) + '}';
    }
    return r;
}

enum Spalte : int32_t { Kopf = 0, Region, Filiale, Menge, Betrag, Notiz, Tag };

// Head column, region, branch, quantity, amount, note, day.
inline std::unique_ptr<TVRList> Verkaeufe() {
    auto liste = std::make_unique<TVRList>();
    auto spalte = [&](const char* ACaption, TVRValueType ATyp) -> TVRColumn& {
        TVRColumn& s = liste->ColumnAdd();
        s.Caption = ACaption;
        s.VRType = ATyp;
        return s;
    };
    spalte("", TVRValueType::vrvtString);
    spalte("Region", TVRValueType::vrvtString);
    spalte("Filiale", TVRValueType::vrvtInteger);
    spalte("Menge", TVRValueType::vrvtInteger);
    TVRColumn& betrag = spalte("Betrag", TVRValueType::vrvtFloat);
    betrag.FormatType = TVRFormatType::vrftPattern;
    betrag.FormatStr = "%n";
    spalte("Notiz", TVRValueType::vrvtString);
    TVRColumn& monat = spalte("Monat", TVRValueType::vrvtDate);
    monat.FormatType = TVRFormatType::vrftRoutine;
    monat.FormatRoutine = Format_DateVRItem_2_BeschreibungMonat;
    monat.CustomOrder = true;
    monat.CompareProc = CompareProc_Month;
    struct Z {
        const char* Region;
        int Filiale, Menge;
        double Betrag;
        const char* Notiz;
        int Monat, Tag;
    };
    const Z zeilen[] = {
        {"Nord", 1, 2, 10.5, "a", 4, 2},  {"Süd", 2, 1, 1.25, "b", 1, 15}, {"Nord", 3, 4, 2.0, "c", 1, 3},
        {"Nord", 1, 1, 1.0, "d", 1, 20}, {"Süd", 2, 5, 0.5, "e", 12, 1},
    };
    TVRArray puffer = liste->VRArray_ForRowAdd_Generate();
    for (const Z& z : zeilen) {
        String2VRItem(z.Region, puffer, Region);
        Integer2VRItem(z.Filiale, puffer, Filiale);
        Integer2VRItem(z.Menge, puffer, Menge);
        Float2VRItem(z.Betrag, puffer, Betrag);
        String2VRItem(z.Notiz, puffer, Notiz);
        Date2VRItem(EncodeDate(2025, z.Monat, z.Tag), puffer, Tag);
        liste->RowAdd(puffer);
    }
    return liste;
}

// The windows' aggregation list: sums for the figures, 2 and 3 elsewhere.
inline TVRFunctionNFormatList Funktionen() {
    return TVRFunctionNFormatList{{Region, TVRFunctionType::vrfNone},
                                  {Filiale, TVRFunctionType::vrfNoneToo},
                                  {Menge, TVRFunctionType::vrfSum},
                                  {Betrag, TVRFunctionType::vrfSum},
                                  {Notiz, TVRFunctionType::vrfNone},
                                  {Tag, TVRFunctionType::vrfNoneToo}};
}

inline std::unique_ptr<TVRList> Gruppiert(const TVRList& AQuelle, const TArray<int32_t>& ASpalten,
                                          const TArray<int32_t>& ARichtungen) {
    TVRGroupList ebenen;
    VRGroupList_Fill(ebenen, ASpalten, ARichtungen, Funktionen());
    return CreateGroupedVRList(AQuelle, ebenen, false);
}

} // namespace vrtest
