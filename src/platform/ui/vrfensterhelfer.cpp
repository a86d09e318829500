#include "vrfensterhelfer.h"

#include "rdldialog.h"
#include "rdlpreis.h"
#include "rdlwaehrung.h"
#include "rdlergebnisdatei.h"
#include "rdlinfo.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QVariant>

#include <algorithm>
#include <cctype>
#include <filesystem>

// --- grouping ---------------------------------------------------------------------------

TVRGruppierOption GruppierenNachEbenen(TVTRDLVRList& AGrid, const TVRGruppierOption& ASpalten,
                                       const TArray<int32_t>& ARichtungen, const TVRFunctionNFormatList& AFunktionen,
                                       const TFesteSpalten& AFesteSpalten, const TGruppierAbschluss& AAbschluss) {
    TVTRDLUpdateGuard guard(AGrid);
    TVRGruppierOption spalten;
    TArray<int32_t> richtungen;
    for (size_t i = 0; i < ASpalten.size(); ++i) {
        if (ASpalten[i] < 0) continue;
        spalten.push_back(ASpalten[i]);
        richtungen.push_back(i < ARichtungen.size() ? ARichtungen[i] : 0);
    }
    AGrid.List_Change([&](std::unique_ptr<TVRList>& AListe) {
        if (!AListe) return;
        UnGroupVRList(*AListe, true); // grouping always starts from the flat rows
        if (spalten.empty()) return;
        TVRGroupList ebenen;
        VRGroupList_Fill(ebenen, spalten, richtungen, AFunktionen);
        auto baum = CreateGroupedVRList(*AListe, ebenen, false);
        BezeichnungGruppenkopfSetzen(*baum, spalten);
        AListe = std::move(baum); // frees the flat list
    });
    // List_Change has rebuilt columns and nodes; a new tree starts collapsed.
    AGrid.CollapseAll();
    SpaltenSichtbarkeitWiederherstellen(AGrid, AFesteSpalten, spalten);
    if (AAbschluss) AAbschluss(AGrid, spalten);
    return spalten;
}

TVRGruppierOption GruppierenNachSpaltennamen(TVTRDLVRList& AGrid, const TArray<std::string>& ASpaltennamen,
                                             const TVRFunctionNFormatList& AFunktionen,
                                             const TFesteSpalten& AFesteSpalten, const TGruppierAbschluss& AAbschluss) {
    TVRGruppierOption spalten;
    if (AGrid.List() && !ASpaltennamen.empty() && ASpaltennamen.front() != CKeineGruppierung)
        spalten = GruppierspaltenZuIndizes(*AGrid.List(), ASpaltennamen);
    return GruppierenNachEbenen(AGrid, spalten, {}, AFunktionen, AFesteSpalten, AAbschluss);
}

TArray<std::string> GruppierspaltenEinstellen(TVTRDLVRList& AGrid, const std::string& AMenuText,
                                              const TVRFunctionNFormatList& AFunktionen,
                                              const TFesteSpalten& AFesteSpalten, const TGruppierAbschluss& AAbschluss) {
    TArray<std::string> namen = GruppierspaltenAusMenuText(AMenuText);
    GruppierenNachSpaltennamen(AGrid, namen, AFunktionen, AFesteSpalten, AAbschluss);
    return namen;
}

// --- pop-up menu ------------------------------------------------------------------------

namespace {
void KopfEintrag(QMenu& AMenu) {
    QAction* kopf = AMenu.addAction(QString::fromUtf8(CGruppierenNach));
    kopf->setEnabled(false);
    AMenu.addSeparator();
}
} // namespace

void GruppierungInMenuHaengen(QMenu& AMenu, const TArray<std::string>& AOptionstexte,
                              const std::function<void(const std::string& ACaption)>& AOnGruppierung) {
    KOV_Geschuetzt("GruppierungInMenuHaengen", true, [&] {
        KopfEintrag(AMenu);
        for (const std::string& text : AOptionstexte) {
            QAction* eintrag = AMenu.addAction(QString::fromStdString(text));
            QObject::connect(eintrag, &QAction::triggered, &AMenu, [eintrag, AOnGruppierung] {
                if (AOnGruppierung) AOnGruppierung(eintrag->text().toStdString());
            });
        }
    });
}

QMenu* GruppierMenuErzeugen(QWidget* AEltern, const TArray<std::string>& AOptionstexte,
                            const std::function<void(const std::string& ACaption)>& AOnGruppierung) {
    auto* menu = new QMenu(AEltern);
    GruppierungInMenuHaengen(*menu, AOptionstexte, AOnGruppierung);
    return menu;
}

QMenu* GruppierMenuMitOptionenErzeugen(QWidget* AEltern, const std::vector<TGruppierOptionEintrag>& AOptionen,
                                       TVTRDLVRList& AGrid, const std::function<void(int32_t AIndex)>& AOnOption) {
    auto* menu = new QMenu(AEltern);
    KopfEintrag(*menu);
    for (size_t i = 0; i < AOptionen.size(); ++i) {
        QAction* eintrag = menu->addAction(QString::fromStdString(AOptionen[i].Beschreibung));
        eintrag->setData(static_cast<int>(i));
        QVariantList spalten;
        for (int32_t s : AOptionen[i].Spalten) spalten << s;
        eintrag->setProperty("Gruppierspalten", spalten);
        QObject::connect(eintrag, &QAction::triggered, menu, [i, AOnOption] {
            if (AOnOption) AOnOption(static_cast<int32_t>(i));
        });
    }
    menu->addSeparator();
    // The grid may go before the menu when both belong to one window.
    QPointer<TVTRDLVRList> grid(&AGrid);
    for (int level = 1; level <= CAusklappLevels; ++level) {
        QAction* eintrag = menu->addAction(QString::fromUtf8(CBaumAusklappenLevel) + QString::number(level));
        QObject::connect(eintrag, &QAction::triggered, menu, [grid, level] {
            if (grid) AufLevelAusklappen(*grid, level);
        });
    }
    return menu;
}

void AufLevelAusklappen(TVTRDLVRList& AGrid, int ALevel) {
    TVTRDLUpdateGuard guard(AGrid);
    AGrid.CollapseAll();
    AGrid.ExpandTree(ALevel - 1);
}

// --- guards -----------------------------------------------------------------------------

void TextMelden(const std::string& AText) { RDLInfo().ShowMeldung("STANDARD", 994, {AText}); }

bool ListeHatZeilen(const TVTRDLVRList& AGrid, const std::string& AText) {
    if (AGrid.List() && AGrid.List()->GetRowCount() > 0) return true;
    TextMelden(AText);
    return false;
}

// --- column visibility ------------------------------------------------------------------

namespace {
void TabellenSichtbarkeit(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten) {
    for (const TFesteSpalte& s : AFesteSpalten) AGrid.ColumnVisible_Set(s.Spalte, s.Sichtbar);
}
} // namespace

void SpaltensichtbarkeitPassendSchalten(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                                        const TVRGruppierOption& AGruppierspalten, int ALevel) {
    KOV_Geschuetzt("SpaltensichtbarkeitPassendSchalten", true, [&] {
        TVTRDLUpdateGuard guard(AGrid);
        const bool blaetter = ALevel < 0 || static_cast<size_t>(ALevel) >= AGruppierspalten.size();
        if (blaetter) {
            TabellenSichtbarkeit(AGrid, AFesteSpalten);
            AGrid.ColumnVisible_Set(0, false); // leaf rows carry no caption
            return;
        }
        const size_t k = static_cast<size_t>(ALevel);
        AGrid.ColumnCaption_Set(0, AGrid.ColumnCaption_Get(AGruppierspalten[k]));
        for (const TFesteSpalte& s : AFesteSpalten) AGrid.ColumnVisible_Set(s.Spalte, false);
        AGrid.ColumnVisible_Set(0, true);
        for (size_t d = 0; d < k; ++d) AGrid.ColumnVisible_Set(AGruppierspalten[d], true);
    });
}

void SpaltenSichtbarkeitWiederherstellen(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                                         const TVRGruppierOption& AGruppierspalten) {
    KOV_Geschuetzt("SpaltenSichtbarkeitWiederherstellen", true, [&] {
        TVTRDLUpdateGuard guard(AGrid);
        TabellenSichtbarkeit(AGrid, AFesteSpalten);
        for (int32_t s : AGruppierspalten) AGrid.ColumnVisible_Set(s, false);
    });
}

// --- CSV export ---------------------------------------------------------------------------

namespace {

// Exports with the columns arranged for ALevel; an empty AName asks for one through the
// grid's dialog.
bool Geschaltet(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten, const TVRGruppierOption& AGruppierspalten,
                int ALevel, std::string& AName) {
    TVTRDLUpdateGuard guard(AGrid);
    // Restores on every way out, also when the export raises.
    struct TZurueck {
        TVTRDLVRList& Grid;
        const TFesteSpalten& Feste;
        const TVRGruppierOption& Gruppe;
        ~TZurueck() { SpaltenSichtbarkeitWiederherstellen(Grid, Feste, Gruppe); }
    } zurueck{AGrid, AFesteSpalten, AGruppierspalten};
    SpaltensichtbarkeitPassendSchalten(AGrid, AFesteSpalten, AGruppierspalten, ALevel);
    return AName.empty() ? AGrid.Export2CSV(AName, ALevel, ' ', true, false)
                         : AGrid.Export2CSV_KnownFilename(AName, ALevel, ';', true, false);
}

} // namespace

bool CSVExportMitGridDialog(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                            const TVRGruppierOption& AGruppierspalten, int ALevel) {
    std::string name;
    const bool ok = Geschaltet(AGrid, AFesteSpalten, AGruppierspalten, ALevel, name);
    // The grid leaves the name empty when the user cancelled: nothing failed then.
    if (ok || !name.empty()) RDLExportErgebnisMelden(ok, name);
    return ok;
}

bool CSVExportMitSpaltenSchaltung(TVTRDLVRList& AGrid, const TFesteSpalten& AFesteSpalten,
                                  const TVRGruppierOption& AGruppierspalten, int ALevel,
                                  const std::string& ADateiname) {
    if (ADateiname.empty()) return false;
    std::string name = ADateiname;
    return Geschaltet(AGrid, AFesteSpalten, AGruppierspalten, ALevel, name);
}

std::string CSVDateinameAnpassen(const std::string& AName, TCSVEndungsRegel ARegel) {
    std::filesystem::path p(AName);
    if (ARegel == TCSVEndungsRegel::Ersetzen) return p.replace_extension(".csv").string();
    std::string endung = p.extension().string();
    std::transform(endung.begin(), endung.end(), endung.begin(), [](unsigned char c) { return std::toupper(c); });
    return endung == ".CSV" ? AName : AName + ".csv";
}

bool CSVExportMitEigenemDialog(TVTRDLVRList& AGrid, int ALevel, TCSVEndungsRegel ARegel, bool AErfolgMelden,
                               const std::string& AHinweis) {
    if (!ListeHatZeilen(AGrid, AHinweis)) return false;
    std::string name;
    if (!RDLCSVExportDateiWaehlen(name)) return false;
    name = CSVDateinameAnpassen(name, ARegel);
    if (!AGrid.Export2CSV_KnownFilename(name, ALevel, ';', true, false)) {
        RDLExportErgebnisMelden(false, name);
        return false;
    }
    if (AErfolgMelden) TextMelden("Die Datei wurde erfolgreich gespeichert.");
    return true;
}

namespace {
// Windows-1252 with CR LF like the grid's own export; the old file stays unless the new one is whole.
bool ZeilenSchreiben(const std::string& ADateiname, const std::vector<std::string>& AZeilen) {
    std::string inhalt;
    for (const std::string& z : AZeilen) inhalt += z + "\r\n";
    return RDLErgebnisDateiGeschrieben(ADateiname, Utf8_2_Windows1252(inhalt), "CSVExportJeFiliale");
}
} // namespace

bool CSVExportJeFiliale(TVTRDLVRList& AGrid, const std::function<std::string(int32_t AZeile)>& ADateiname,
                        const std::string& AHinweis) {
    if (!ListeHatZeilen(AGrid, AHinweis)) return false;
    std::string ordner;
    if (!RDLDialoge().SelectDirectory(CFilialOrdnerPrompt, ordner)) return false;
    const QAbstractItemModel& modell = AGrid.Model();
    const std::string kopf = AGrid.Header2String(';', true);
    for (int i = 0; i < modell.rowCount(); ++i) {
        const QModelIndex filiale = modell.index(i, 0);
        const int kinder = modell.rowCount(filiale);
        if (kinder == 0) continue;
        std::vector<std::string> zeilen{kopf};
        for (int k = 0; k < kinder; ++k) zeilen.push_back(AGrid.Node2String(modell.index(k, 0, filiale), ';'));
        const std::string datei = (std::filesystem::path(ordner) / ADateiname(i)).string();
        if (!ZeilenSchreiben(datei, zeilen)) {
            RDLExportErgebnisMelden(false, datei);
            return false;
        }
    }
    TextMelden("Die Dateien wurden erfolgreich gespeichert.");
    return true;
}

// --- group sums in the house currency ----------------------------------------------------

namespace {

std::vector<double> Gruppensummen(TVRList& L, int ATiefe, const TVRRow*& AErstes, TRDLWaehrungsrechner& ARechner,
                                  const std::vector<int32_t>& ABetrag, int32_t AWaehrung, int32_t ADatum,
                                  bool ACentRunden, const TGruppenzeileProc& AGruppenzeile) {
    std::vector<double> s(ABetrag.size(), 0.0);
    for (int32_t i = 0; i < L.GetRowCount(); ++i) {
        TVRRow& zeile = L.GetRow(i);
        if (zeile.Child) {
            const TVRRow* erstes = nullptr;
            const std::vector<double> g = Gruppensummen(*zeile.Child, ATiefe + 1, erstes, ARechner, ABetrag, AWaehrung,
                                                        ADatum, ACentRunden, AGruppenzeile);
            for (size_t k = 0; k < ABetrag.size(); ++k) {
                L.SetCellValue(i, ABetrag[k], ACentRunden ? RDLAufCentRunden(g[k]) : g[k]);
                s[k] += g[k];
            }
            L.SetCellValue(i, AWaehrung, TVRItem::String(ARechner.Hauswaehrung()));
            if (AGruppenzeile) AGruppenzeile(L, i, ATiefe, erstes);
            if (!AErstes) AErstes = erstes;
        } else {
            const std::string waehrung = zeile.Werte[AWaehrung].IsEmpty() ? std::string() : zeile.Werte[AWaehrung].AsString();
            const TDateTime tag = zeile.Werte[ADatum].AsDate();
            for (size_t k = 0; k < ABetrag.size(); ++k)
                s[k] += ARechner.InHauswaehrung(L.GetCellValueAsDouble(i, ABetrag[k]), waehrung, tag);
            if (!AErstes) AErstes = &zeile;
        }
    }
    return s;
}

} // namespace

void GruppensummenInHauswaehrung(TVRList& AListe, TRDLWaehrungsrechner& ARechner,
                                 const std::vector<int32_t>& ABetragsspalten, int32_t AWaehrungsspalte,
                                 int32_t ADatumsspalte, bool ACentRunden, const TGruppenzeileProc& AGruppenzeile) {
    const TVRRow* erstes = nullptr;
    Gruppensummen(AListe, 0, erstes, ARechner, ABetragsspalten, AWaehrungsspalte, ADatumsspalte, ACentRunden,
                  AGruppenzeile);
}
