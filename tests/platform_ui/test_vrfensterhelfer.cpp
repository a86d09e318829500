// The window helpers: grouping by levels, the grouping menus, the column switch around an
// export and the three CSV forms, checked through what the grid shows and the files hold.
#include "gridtestlisten.h"
#include "rdldialog.h"
#include "testdateien.h"
#include "testumgebung.h"
#include "vrfensterhelfer.h"
#include "vtrdlvrlist.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>

using namespace gridtest;
namespace fs = std::filesystem;
using A = TRDLDialogAntwort;

namespace {

// Notiz is hidden by the table; Menge and Betrag stand for a window's non-fixed columns.
const TFesteSpalten CFeste{{Kopf, true}, {Region, true}, {Filiale, true}, {Notiz, false}, {Tag, true}};
const TFesteSpalten CAlleFest{{Kopf, true},   {Region, true}, {Filiale, true}, {Menge, true},
                              {Betrag, true}, {Notiz, false}, {Tag, true}};

// A window's surroundings: recorded messages, preset dialogs, an export folder, the grid.
struct TFenster {
    TTestUmgebung Umgebung{false};
    TQtApp App;
    QTemporaryDir Temp;
    fs::path Ordner = Temp.path().toStdString();
    std::optional<std::string> AltesExport;
    TRDLVorgabeDialoge* Dialoge = nullptr;
    std::unique_ptr<IRDLDialoge> AlteDialoge;
    QWidget Fenster;
    TVTRDLVRList* Grid = new TVTRDLVRList(&Fenster);

    explicit TFenster(std::unique_ptr<TVRList> AList = Verkaeufe()) {
        if (const char* e = std::getenv("QUENDRIX_EXPORT")) AltesExport = e;
        setenv("QUENDRIX_EXPORT", Ordner.c_str(), 1);
        auto d = std::make_unique<TRDLVorgabeDialoge>();
        Dialoge = d.get();
        AlteDialoge = RDLDialoge_Ersetzen(std::move(d));
        Grid->List_Set(std::move(AList));
        Grid->ColumnVisible_Set(Notiz, false);
    }
    ~TFenster() {
        EXPECT_TRUE(RDLInfo().Registrierte().empty()) << RDLInfo().Registrierte().front().TraceName;
        EXPECT_EQ(Grid->UpdateCount(), 0);
        RDLDialoge_Ersetzen(std::move(AlteDialoge));
        if (AltesExport) setenv("QUENDRIX_EXPORT", AltesExport->c_str(), 1); else unsetenv("QUENDRIX_EXPORT");
    }
    // Messages as "number: text".
    std::vector<std::string> Meldungen() {
        std::vector<std::string> r;
        for (const auto& m : Umgebung.Meldungen().Meldungen) r.push_back(std::to_string(m.Nummer) + ": " + m.Text);
        return r;
    }
    std::vector<int> Sichtbar() const { return Grid->VisibleColumnsInGridOrder(); }
    std::string Zeigt() const { return Baum(Grid->Model(), {Kopf, Notiz}); }
};

// File lines without their CR LF, read back from Windows-1252.
std::vector<std::string> Zeilen(const fs::path& ADatei) {
    const std::string roh = DateiLesen(ADatei);
    return CrLfZeilen(QString::fromLatin1(roh.data(), qsizetype(roh.size())).toStdString());
}

const char* CRegionMonat = "Nord|{Januar 2025|{|c |d} April 2025|{|a}} Süd|{Januar 2025|{|b} Dezember 2025|{|e}}";
const char* CFlach = "|a |c |d |b |e"; // leaves in the order of the earlier grouping by region

} // namespace

TEST(GruppierenNachEbenen, BautDenBaumAusDenFlachenZeilenUndBlendetNurDieAktivenGruppierspaltenAus) {
    using TAufruf = std::function<void(TVTRDLVRList&, const TGruppierAbschluss&)>;
    const struct {
        const char* Fall;
        TAufruf Gruppieren;
        const char* Baum;
        TVRGruppierOption Spalten; // handed to the finish
        std::vector<int> Sichtbar;
    } faelle[] = {
        {"Indizes",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) { GruppierenNachEbenen(G, {Region, Tag}, {0, 0}, Funktionen(), CAlleFest, F); },
         CRegionMonat, {Region, Tag}, {Kopf, Filiale, Menge, Betrag}},
        {"absteigend, -1 uebergangen",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) { GruppierenNachEbenen(G, {Region, -1, Tag}, {1, 0, 0}, Funktionen(), CAlleFest, F); },
         "Süd|{Januar 2025|{|b} Dezember 2025|{|e}} Nord|{Januar 2025|{|c |d} April 2025|{|a}}",
         {Region, Tag}, {Kopf, Filiale, Menge, Betrag}},
        {"Namen ohne Beachtung der Schreibweise, unbekannter Name uebergangen",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) { GruppierenNachSpaltennamen(G, {"region", "Unbekannt", "MONAT"}, Funktionen(), CAlleFest, F); },
         CRegionMonat, {Region, Tag}, {Kopf, Filiale, Menge, Betrag}},
        {"Menuetext mit Kaufmanns-Und",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) {
             EXPECT_EQ(GruppierspaltenEinstellen(G, "&Region | Monat", Funktionen(), CAlleFest, F),
                       (TArray<std::string>{"Region", "Monat"}));
         },
         CRegionMonat, {Region, Tag}, {Kopf, Filiale, Menge, Betrag}},
        {"nur unbekannte Namen",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) { GruppierenNachSpaltennamen(G, {"Unbekannt"}, Funktionen(), CAlleFest, F); },
         CFlach, {}, {Kopf, Region, Filiale, Menge, Betrag, Tag}},
        {"Keine",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) { EXPECT_TRUE(GruppierspaltenEinstellen(G, "Keine", Funktionen(), CAlleFest, F).empty()); },
         CFlach, {}, {Kopf, Region, Filiale, Menge, Betrag, Tag}},
        {"Keine vor weiteren Namen",
         [](TVTRDLVRList& G, const TGruppierAbschluss& F) { GruppierenNachSpaltennamen(G, {"Keine", "Region"}, Funktionen(), CAlleFest, F); },
         CFlach, {}, {Kopf, Region, Filiale, Menge, Betrag, Tag}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Fall);
        TFenster w;
        // An earlier grouping: regrouping starts from the flat rows and shows its column again.
        GruppierenNachEbenen(*w.Grid, {Region}, {}, Funktionen(), CAlleFest);
        ASSERT_FALSE(w.Grid->ColumnVisible_Get(Region));
        std::optional<TVRGruppierOption> abschluss;
        f.Gruppieren(*w.Grid, [&](TVTRDLVRList& G, const TVRGruppierOption& S) {
            EXPECT_GT(G.UpdateCount(), 0); // still inside the suspension
            abschluss = S;
        });
        EXPECT_EQ(w.Zeigt(), f.Baum);
        ASSERT_TRUE(abschluss.has_value());
        EXPECT_EQ(*abschluss, f.Spalten);
        EXPECT_EQ(w.Sichtbar(), f.Sichtbar);
        EXPECT_FALSE(w.Grid->isExpanded(w.Grid->Model().index(0, 0)));
    }
}

TEST(GruppierenNachEbenen, EineLeereOderFehlendeListeBleibtLeer) {
    auto leer = Verkaeufe();
    leer->RowsClear();
    TFenster w(std::move(leer));
    EXPECT_EQ(GruppierenNachEbenen(*w.Grid, {Region, Tag}, {}, Funktionen(), CAlleFest), (TVRGruppierOption{Region, Tag}));
    EXPECT_EQ(w.Grid->Model().rowCount(), 0);
    EXPECT_EQ(w.Grid->TreeDepth(), 0);

    w.Grid->List_Set(nullptr);
    EXPECT_TRUE(GruppierenNachSpaltennamen(*w.Grid, {"Region"}, Funktionen()).empty());
    EXPECT_EQ(w.Grid->Model().rowCount(), 0);
    EXPECT_FALSE(ListeHatZeilen(*w.Grid));
    EXPECT_EQ(w.Meldungen(), std::vector<std::string>{"994: Bitte starten Sie zunächst die Selektion."});
}

TEST(GruppierenNachEbenen, EineAusnahmeImAbschlussGehtAnDasFensterUndDieMalpauseEndet) {
    TFenster w;
    EXPECT_THROW(GruppierenNachEbenen(*w.Grid, {Region}, {}, Funktionen(), CAlleFest,
                                      [](TVTRDLVRList&, const TVRGruppierOption&) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_EQ(w.Grid->UpdateCount(), 0);
    EXPECT_TRUE(w.Grid->updatesEnabled());
    EXPECT_EQ(w.Grid->Model().rowCount(), 2); // the grouped list stays the grid's
}

TEST(GruppierMenue, OptionstexteGruppierenUeberDenMenuetext) {
    TFenster w;
    QMenu* menu = GruppierMenuErzeugen(&w.Fenster, {"Keine", "Region | Monat"}, [&](const std::string& ACaption) {
        GruppierspaltenEinstellen(*w.Grid, ACaption, Funktionen(), CAlleFest);
    });
    EXPECT_EQ(menu->parent(), &w.Fenster);
    const QList<QAction*> e = menu->actions();
    ASSERT_EQ(e.size(), 4);
    EXPECT_EQ(e[0]->text(), "Gruppieren nach");
    EXPECT_FALSE(e[0]->isEnabled());
    EXPECT_TRUE(e[1]->isSeparator());
    EXPECT_EQ(e[2]->text(), "Keine");
    e[3]->trigger();
    EXPECT_EQ(w.Zeigt(), CRegionMonat);
    e[2]->trigger();
    EXPECT_EQ(w.Zeigt(), "|c |d |a |b |e");
    EXPECT_EQ(w.Sichtbar(), (std::vector<int>{Kopf, Region, Filiale, Menge, Betrag, Tag}));
}

TEST(GruppierMenue, OptionsfelderMeldenIhrenIndexUndKlappenDenBaumAufEinLevelAus) {
    TFenster w;
    GruppierenNachEbenen(*w.Grid, {Region, Tag}, {}, Funktionen());
    std::vector<int32_t> gewaehlt;
    QMenu* menu = GruppierMenuMitOptionenErzeugen(
        &w.Fenster, {{"Region", {Region}}, {"Region / Monat", {Region, Tag}}}, *w.Grid,
        [&](int32_t AIndex) { gewaehlt.push_back(AIndex); });
    const QList<QAction*> e = menu->actions();
    QStringList texte;
    for (QAction* a : e) texte << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texte, (QStringList{"Gruppieren nach", "-", "Region", "Region / Monat", "-", "Baum ausklappen - Level 1",
                                  "Baum ausklappen - Level 2", "Baum ausklappen - Level 3", "Baum ausklappen - Level 4"}));
    EXPECT_FALSE(e[0]->isEnabled());
    EXPECT_EQ(e[3]->data().toInt(), 1);
    EXPECT_EQ(e[3]->property("Gruppierspalten").toList(), (QVariantList{Region, Tag}));
    e[3]->trigger();
    e[2]->trigger();
    EXPECT_EQ(gewaehlt, (std::vector<int32_t>{1, 0}));

    const char* sichtbar[] = {"Nord| Süd|", "Nord|{Januar 2025| April 2025|} Süd|{Januar 2025| Dezember 2025|}",
                              CRegionMonat, CRegionMonat};
    for (int level : {3, 1, 4, 2}) { // each starts collapsed, whatever was open before
        e[4 + level]->trigger();
        EXPECT_EQ(Baum(w.Grid->Model(), {Kopf, Notiz}, w.Grid), sichtbar[level - 1]) << level;
    }
}

TEST(CSVExportMitGridDialog, SchreibtJedeEbeneMitPassendenSpaltenUndStelltSieWiederHer) {
    const std::vector<std::string> blaetter{"Region;Filiale;Menge;Betrag;Monat",
                                            "Nord;3;4;2,00;Januar 2025", "Nord;1;1;1,00;Januar 2025",
                                            "Nord;1;2;10,50;April 2025", "Süd;2;1;1,25;Januar 2025",
                                            "Süd;2;5;0,50;Dezember 2025"};
    const struct {
        TVRGruppierOption Gruppierung;
        int Level;
        std::vector<std::string> Datei;
        const char* Kopfspalte; // caption of column 0 afterwards
    } faelle[] = {
        {{Region, Tag}, 0, {"Region;Menge;Betrag", "Nord;7;13,50", "Süd;6;1,75"}, "Region"},
        {{Region, Tag}, 1,
         {"Monat;Region;Menge;Betrag", "Januar 2025;Nord;5;3,00", "April 2025;Nord;2;10,50", "Januar 2025;Süd;1;1,25",
          "Dezember 2025;Süd;5;0,50"},
         "Monat"},
        {{Region, Tag}, 2, blaetter, ""},
        {{Region, Tag}, -1, blaetter, ""},
        {{}, 0, {"Region;Filiale;Menge;Betrag;Monat", "Nord;1;2;10,50;April 2025", "Süd;2;1;1,25;Januar 2025",
                 "Nord;3;4;2,00;Januar 2025", "Nord;1;1;1,00;Januar 2025", "Süd;2;5;0,50;Dezember 2025"},
         ""},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Level);
        TFenster w;
        GruppierenNachEbenen(*w.Grid, f.Gruppierung, {}, Funktionen(), CFeste);
        const auto vorher = w.Sichtbar();
        const fs::path datei = w.Ordner / "umsatz.csv";
        w.Dialoge->Vorgeben(A::DateiName(datei.string()));
        EXPECT_TRUE(CSVExportMitGridDialog(*w.Grid, CFeste, f.Gruppierung, f.Level));
        EXPECT_EQ(Zeilen(datei), f.Datei);
        EXPECT_EQ(w.Sichtbar(), vorher);
        EXPECT_EQ(w.Grid->ColumnCaption_Get(Kopf).toStdString(), f.Kopfspalte);
        ASSERT_EQ(w.Umgebung.Meldungen().Meldungen.size(), 1u);
        EXPECT_EQ(w.Umgebung.Meldungen().Meldungen[0].Nummer, 1107);
    }
}

TEST(CSVExportMitGridDialog, AbbruchFehlerUndAusnahmeLassenDieSpaltenWieSieWaren) {
    TFenster w;
    GruppierenNachEbenen(*w.Grid, {Region, Tag}, {}, Funktionen(), CFeste);
    const auto vorher = w.Sichtbar();
    const std::string fehlt = (w.Ordner / "fehlt" / "umsatz.csv").string();

    EXPECT_FALSE(CSVExportMitGridDialog(*w.Grid, CFeste, {Region, Tag}, 0)); // no answer: cancelled
    EXPECT_TRUE(w.Meldungen().empty());
    EXPECT_EQ(w.Sichtbar(), vorher);

    w.Dialoge->Vorgeben(A::DateiName(fehlt));
    EXPECT_FALSE(CSVExportMitGridDialog(*w.Grid, CFeste, {Region, Tag}, 1));
    EXPECT_EQ(w.Meldungen(), std::vector<std::string>{"1108: Die Datei \u201E" + fehlt + "\u201C konnte nicht geschrieben werden."});
    EXPECT_EQ(w.Sichtbar(), vorher);
    EXPECT_FALSE(fs::exists(w.Ordner / "fehlt"));

    w.Grid->OnAskSaveFileName = [](const QString&) -> QString { throw std::runtime_error("Dialog kaputt"); };
    EXPECT_THROW(CSVExportMitGridDialog(*w.Grid, CFeste, {Region, Tag}, 0), std::runtime_error);
    EXPECT_EQ(w.Sichtbar(), vorher);
    EXPECT_EQ(w.Grid->UpdateCount(), 0);
}

TEST(CSVDateinameAnpassen, ErsetzenOderAnhaengen) {
    const struct {
        const char* Name;
        TCSVEndungsRegel Regel;
        const char* Ergebnis;
    } faelle[] = {
        {"/x/rabatte.txt", TCSVEndungsRegel::Ersetzen, "/x/rabatte.csv"},
        {"/x/rabatte", TCSVEndungsRegel::Ersetzen, "/x/rabatte.csv"},
        {"/x/boni.txt", TCSVEndungsRegel::Anhaengen, "/x/boni.txt.csv"},
        {"/x/boni.CSV", TCSVEndungsRegel::Anhaengen, "/x/boni.CSV"},
        {"/x/boni.Csv", TCSVEndungsRegel::Anhaengen, "/x/boni.Csv"},
        {"/x/boni", TCSVEndungsRegel::Anhaengen, "/x/boni.csv"},
    };
    for (const auto& f : faelle) EXPECT_EQ(CSVDateinameAnpassen(f.Name, f.Regel), f.Ergebnis) << f.Name;
}

TEST(CSVExportMitEigenemDialog, WaehltSchreibtUndMeldetJeNachVariante) {
    const char* erfolg = "994: Die Datei wurde erfolgreich gespeichert.";
    const struct {
        const char* Fall;
        bool Leer;
        std::optional<std::string> Antwort; // none: cancelled
        TCSVEndungsRegel Regel;
        bool Melden;
        const char* Datei; // expected file, empty when none
        std::vector<std::string> Meldungen;
    } faelle[] = {
        {"Personalrabatte", false, "rabatte.txt", TCSVEndungsRegel::Ersetzen, false, "rabatte.csv", {}},
        {"Boni", false, "boni.txt", TCSVEndungsRegel::Anhaengen, true, "boni.txt.csv", {erfolg}},
        {"Boni, Endung gross", false, "BONI.CSV", TCSVEndungsRegel::Anhaengen, true, "BONI.CSV", {erfolg}},
        {"abgebrochen", false, std::nullopt, TCSVEndungsRegel::Anhaengen, true, "", {}},
        {"leere Liste", true, "boni.csv", TCSVEndungsRegel::Anhaengen, true, "",
         {"994: Bitte starten Sie zunächst die Selektion."}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.Fall);
        TFenster w;
        if (f.Leer) {
            w.Grid->List()->RowsClear();
            w.Grid->Refresh();
        }
        if (f.Antwort) w.Dialoge->Vorgeben(A::DateiName(*f.Antwort));
        EXPECT_EQ(CSVExportMitEigenemDialog(*w.Grid, -1, f.Regel, f.Melden), *f.Datei != 0);
        EXPECT_EQ(w.Meldungen(), f.Meldungen);
        std::vector<std::string> dateien;
        for (const auto& d : fs::directory_iterator(w.Ordner)) dateien.push_back(d.path().filename().string());
        EXPECT_EQ(dateien, *f.Datei ? std::vector<std::string>{f.Datei} : std::vector<std::string>{});
        if (*f.Datei) {
            EXPECT_EQ(Zeilen(w.Ordner / f.Datei).size(), 6u); // header and the five rows
        }
        EXPECT_EQ(w.Dialoge->Aufrufe.size(), f.Leer ? 0u : 1u);
    }
    // A folder that cannot be written: the failure message, no confirmation.
    TFenster w;
    const std::string fehlt = (w.Ordner / "fehlt" / "boni.csv").string();
    w.Dialoge->Vorgeben(A::DateiName(fehlt));
    EXPECT_FALSE(CSVExportMitEigenemDialog(*w.Grid, -1, TCSVEndungsRegel::Anhaengen, true));
    ASSERT_EQ(w.Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(w.Umgebung.Meldungen().Meldungen[0].Nummer, 1108);
}

TEST(CSVExportJeFiliale, EineDateiJeFilialeMitKinderzeilenUndKeineFuerEineOhne) {
    TFenster w;
    GruppierenNachEbenen(*w.Grid, {Filiale}, {}, Funktionen(), CFeste);
    // A top-level row without members.
    TVRArray z = w.Grid->List()->VRArray_ForRowAdd_Generate();
    Integer2VRItem(9, z, Filiale);
    w.Grid->List()->RowAdd(z);
    w.Grid->Refresh();
    auto name = [&](int32_t AZeile) {
        return "Boni_2025_Fil_" + w.Grid->List()->GetCellValueAsFormatedString(AZeile, Filiale) + ".csv";
    };

    w.Dialoge->Vorgeben(A::OrdnerName(w.Ordner.string()));
    EXPECT_TRUE(CSVExportJeFiliale(*w.Grid, name));
    ASSERT_EQ(w.Dialoge->Aufrufe.size(), 1u);
    EXPECT_EQ(w.Dialoge->Aufrufe[0].Text,
              "Wählen Sie das Verzeichnis, in dem CSV-Dateien für alle Filialen abgelegt werden sollen");
    const struct {
        const char* Datei;
        std::vector<std::string> Zeilen;
    } dateien[] = {
        {"Boni_2025_Fil_1.csv", {";Region;Menge;Betrag;Monat", ";Nord;2;10,50;April 2025", ";Nord;1;1,00;Januar 2025"}},
        {"Boni_2025_Fil_2.csv", {";Region;Menge;Betrag;Monat", ";Süd;1;1,25;Januar 2025", ";Süd;5;0,50;Dezember 2025"}},
        {"Boni_2025_Fil_3.csv", {";Region;Menge;Betrag;Monat", ";Nord;4;2,00;Januar 2025"}},
    };
    for (const auto& d : dateien) EXPECT_EQ(Zeilen(w.Ordner / d.Datei), d.Zeilen) << d.Datei;
    EXPECT_FALSE(fs::exists(w.Ordner / "Boni_2025_Fil_9.csv"));
    EXPECT_EQ(w.Meldungen(), std::vector<std::string>{"994: Die Dateien wurden erfolgreich gespeichert."});

    // Cancelled: nothing; a folder that cannot be written: the failure message only.
    w.Umgebung.Meldungen().Meldungen.clear();
    EXPECT_FALSE(CSVExportJeFiliale(*w.Grid, name));
    EXPECT_TRUE(w.Meldungen().empty());
    w.Dialoge->Vorgeben(A::OrdnerName((w.Ordner / "fehlt").string()));
    EXPECT_FALSE(CSVExportJeFiliale(*w.Grid, name));
    ASSERT_EQ(w.Umgebung.Meldungen().Meldungen.size(), 1u);
    EXPECT_EQ(w.Umgebung.Meldungen().Meldungen[0].Nummer, 1108);
    EXPECT_FALSE(fs::exists(w.Ordner / "fehlt"));
}
