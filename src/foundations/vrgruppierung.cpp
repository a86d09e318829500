#include "vrgruppierung.h"

#include "exceptions.h"

#include <algorithm>
#include <array>

namespace {

using TZeile = std::unique_ptr<TVRRow>;
using TZeilen = TArray<TZeile>;

struct TEbene {
    int32_t Spalte;
    bool Absteigend;
    const TVRColumn* Definition;
};

// Rows of AQuelle with their members into AZiel, whose columns the copies share.
void ZeilenKopieren(const TVRList& AQuelle, TVRList& AZiel) {
    for (int32_t i = 0; i < AQuelle.GetRowCount(); ++i) {
        const TVRRow& zeile = AQuelle.GetRow(i);
        auto neu = std::make_unique<TVRRow>();
        neu->Werte = zeile.Werte;
        if (zeile.Child) {
            neu->Child = TVRList::CreateChildOf(AZiel);
            ZeilenKopieren(*zeile.Child, *neu->Child);
        }
        AZiel.RowAppend(std::move(neu));
    }
}

void BlaetterSammeln(TZeilen& AZeilen, TZeilen& AZiel) {
    for (auto& z : AZeilen) {
        if (z->Child) {
            TZeilen kinder = z->Child->RowsTakeAll();
            BlaetterSammeln(kinder, AZiel);
        } else {
            AZiel.push_back(std::move(z));
        }
    }
}

const TVRItem& Wert(const TVRRow& AZeile, int32_t ASpalte) {
    static const TVRItem leer;
    return static_cast<size_t>(ASpalte) < AZeile.Werte.size() ? AZeile.Werte[static_cast<size_t>(ASpalte)] : leer;
}

// Group rows of the levels from AEbene on, built over AMitglieder[von, bis),
// which are sorted by all level keys already.
void EbeneAufbauen(TZeilen& AMitglieder, size_t von, size_t bis, const TArray<TEbene>& AEbenen, size_t AEbene,
                   const TArray<TVRFunctionNFormat>& AFunktionen, const TVRList& AVorlage, TVRList& AZiel) {
    const TEbene& e = AEbenen[AEbene];
    const size_t spaltenAnzahl = static_cast<size_t>(AVorlage.GetColumnCount());
    size_t anfang = von;
    while (anfang < bis) {
        size_t ende = anfang + 1;
        const TVRItem& schluessel = Wert(*AMitglieder[anfang], e.Spalte);
        while (ende < bis && e.Definition->Compare(schluessel, Wert(*AMitglieder[ende], e.Spalte)) == 0) ++ende;

        auto gruppe = std::make_unique<TVRRow>();
        gruppe->Werte.resize(spaltenAnzahl);
        gruppe->Child = TVRList::CreateChildOf(AVorlage);
        // Read before the members move into the group.
        const TVRRow& erstes = *AMitglieder[anfang];
        TVRArray geteilt;
        for (size_t k = 0; k <= AEbene; ++k) geteilt.push_back(Wert(erstes, AEbenen[k].Spalte));

        if (AEbene + 1 < AEbenen.size()) {
            EbeneAufbauen(AMitglieder, anfang, ende, AEbenen, AEbene + 1, AFunktionen, AVorlage, *gruppe->Child);
        } else {
            for (size_t i = anfang; i < ende; ++i) gruppe->Child->RowAppend(std::move(AMitglieder[i]));
        }

        const TVRList& kinder = *gruppe->Child;
        for (const auto& f : AFunktionen) {
            if (f.Function != TVRFunctionType::vrfSum) continue;
            if (f.Column < 0 || static_cast<size_t>(f.Column) >= spaltenAnzahl) continue;
            bool alleGanz = true, gefunden = false;
            int64_t ganz = 0;
            double summe = 0;
            for (int32_t i = 0; i < kinder.GetRowCount(); ++i) {
                const TVRItem& w = Wert(kinder.GetRow(i), f.Column);
                if (!w.IsNumeric()) continue;
                gefunden = true;
                if (w.Typ() == TVRValueType::vrvtInteger) ganz += w.AsInteger();
                else alleGanz = false;
                summe += w.AsFloat();
            }
            // An integer column stays integer; nothing to sum stays empty.
            if (gefunden)
                gruppe->Werte[static_cast<size_t>(f.Column)] = alleGanz ? TVRItem::Integer(ganz) : TVRItem::Float(summe);
        }
        // The shared values of this level's and all enclosing grouping columns win over
        // any aggregation: captions and exports read them there.
        for (size_t k = 0; k <= AEbene; ++k)
            gruppe->Werte[static_cast<size_t>(AEbenen[k].Spalte)] = std::move(geteilt[k]);
        AZiel.RowAppend(std::move(gruppe));
        anfang = ende;
    }
}

void Gruppieren(TZeilen& ABlaetter, const TArray<TEbene>& AEbenen, const TArray<TVRFunctionNFormat>& AFunktionen,
                TVRList& AZiel) {
    if (AEbenen.empty()) {
        for (auto& z : ABlaetter) AZiel.RowAppend(std::move(z));
        return;
    }
    // One stable sort by all level keys: members keep their order within a group.
    // The sort moves small entries that point at the keys, not the rows.
    struct TEintrag {
        std::array<const TVRItem*, 4> Schluessel;
        uint32_t Index;
    };
    const size_t direkt = std::min<size_t>(AEbenen.size(), 4);
    TArray<TEintrag> eintraege(ABlaetter.size());
    for (size_t i = 0; i < ABlaetter.size(); ++i) {
        eintraege[i].Index = static_cast<uint32_t>(i);
        for (size_t k = 0; k < direkt; ++k) eintraege[i].Schluessel[k] = &Wert(*ABlaetter[i], AEbenen[k].Spalte);
    }
    std::stable_sort(eintraege.begin(), eintraege.end(), [&](const TEintrag& a, const TEintrag& b) {
        for (size_t k = 0; k < AEbenen.size(); ++k) {
            const TEbene& e = AEbenen[k];
            const int c = k < direkt ? e.Definition->Compare(*a.Schluessel[k], *b.Schluessel[k])
                                     : e.Definition->Compare(Wert(*ABlaetter[a.Index], e.Spalte),
                                                             Wert(*ABlaetter[b.Index], e.Spalte));
            if (c != 0) return e.Absteigend ? c > 0 : c < 0;
        }
        return false;
    });
    TZeilen sortiert;
    sortiert.reserve(ABlaetter.size());
    for (const TEintrag& e : eintraege) sortiert.push_back(std::move(ABlaetter[e.Index]));
    ABlaetter.swap(sortiert);
    EbeneAufbauen(ABlaetter, 0, ABlaetter.size(), AEbenen, 0, AFunktionen, AZiel, AZiel);
}

TArray<TEbene> EbenenPruefen(const TVRList& AListe, const TArray<TVRSortNGroup>& APaare) {
    TArray<TEbene> ebenen;
    for (const auto& p : APaare) {
        if (p.Column < 0 || p.Column >= AListe.GetColumnCount())
            throw EArgumentOutOfRangeException("Gruppierspalte außerhalb des gültigen Bereichs");
        ebenen.push_back({p.Column, p.Direction == 1, &AListe.GetColumn(p.Column)});
    }
    return ebenen;
}

} // namespace

std::unique_ptr<TVRList> CreateCopyVRList(const TVRList& AList) {
    auto kopie = std::make_unique<TVRList>();
    kopie->ColumnsAssign(AList);
    ZeilenKopieren(AList, *kopie);
    return kopie;
}

std::unique_ptr<TVRList> CreateGroupedVRList(const TVRList& ASource, const TVRGroupList& ALevels, bool) {
    TArray<TVRSortNGroup> paare;
    TArray<TVRFunctionNFormat> funktionen;
    for (int32_t i = 0; i < ALevels.Count(); ++i) {
        const TVRGroupLevel& ebene = *ALevels.GetItem(i);
        if (ebene.SortNGroup.Count() != 1) throw EListError("Eine Gruppierebene braucht genau eine Spalte");
        paare.push_back(ebene.SortNGroup.GetItem(0));
        funktionen = ebene.Functions.ToArray(); // every level carries the same list
    }
    auto ergebnis = std::make_unique<TVRList>();
    ergebnis->ColumnsAssign(ASource);
    const TArray<TEbene> ebenen = EbenenPruefen(*ergebnis, paare);
    ZeilenKopieren(ASource, *ergebnis);
    TZeilen kopien = ergebnis->RowsTakeAll();
    TZeilen blaetter;
    blaetter.reserve(kopien.size());
    BlaetterSammeln(kopien, blaetter);
    Gruppieren(blaetter, ebenen, funktionen, *ergebnis);
    return ergebnis;
}

void UnGroupVRList(TVRList& AList, bool) {
    bool gruppiert = false;
    for (int32_t i = 0; i < AList.GetRowCount() && !gruppiert; ++i) gruppiert = AList.GetRowChild(i) != nullptr;
    if (!gruppiert) return;
    TZeilen zeilen = AList.RowsTakeAll();
    TZeilen blaetter;
    BlaetterSammeln(zeilen, blaetter);
    for (auto& z : blaetter) AList.RowAppend(std::move(z));
}

void GroupVRList(std::unique_ptr<TVRList>& AList, const TVRGroupOptions& AOptions) {
    if (!AList) return;
    TArray<TVRSortNGroup> paare;
    for (int32_t i = 0; i < AOptions.Levels.Count(); ++i) {
        const TVRSortList& ebene = *AOptions.Levels.GetItem(i);
        if (ebene.Count() != 1) throw EListError("Eine Gruppierebene braucht genau eine Spalte");
        paare.push_back(ebene.GetItem(0));
    }
    auto ergebnis = std::make_unique<TVRList>();
    ergebnis->ColumnsAssign(*AList);
    const TArray<TEbene> ebenen = EbenenPruefen(*ergebnis, paare);
    TZeilen zeilen = AList->RowsTakeAll();
    TZeilen blaetter;
    blaetter.reserve(zeilen.size());
    BlaetterSammeln(zeilen, blaetter);
    Gruppieren(blaetter, ebenen, AOptions.Functions.ToArray(), *ergebnis);
    AList = std::move(ergebnis);
}

void VRGroupList_Fill(TVRGroupList& ALevels, const TArray<int32_t>& AColumns, const TArray<int32_t>& ADirections,
                      const TVRFunctionNFormatList& AFunctions) {
    ALevels.Clear();
    for (size_t i = 0; i < AColumns.size(); ++i) {
        auto ebene = std::make_unique<TVRGroupLevel>();
        ebene->SortNGroup.Add({AColumns[i], i < ADirections.size() ? ADirections[i] : 0});
        ebene->Functions.AddRange(AFunctions.ToArray());
        ALevels.Add(ebene.release());
    }
}
