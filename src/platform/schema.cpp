// The table definitions of an installation and the DDL made from them.
// docs/schema.md and docs/schema-evaluations.md describe every table for the suite's
// other programs; keep them in step.
#include "rdlschema.h"

namespace {

constexpr auto G = TRDLSpaltenTyp::Ganzzahl;
constexpr auto R = TRDLSpaltenTyp::Gleitkomma;
constexpr auto T = TRDLSpaltenTyp::Text;
constexpr auto B = TRDLSpaltenTyp::Blob;
constexpr bool P = true; // field without a default

TRDLTabellenDef Tabelle(std::string AName, std::vector<TRDLSpalte> ASpalten, std::vector<std::string> APrimaer,
                        std::vector<std::vector<std::string>> AEindeutig = {}, std::vector<TRDLIndexDef> AIndizes = {}) {
    TRDLTabellenDef t;
    t.Name = std::move(AName);
    t.Spalten = std::move(ASpalten);
    t.Primaerschluessel = std::move(APrimaer);
    t.Eindeutig = std::move(AEindeutig);
    t.Indizes = std::move(AIndizes);
    return t;
}

TRDLTabellenDef Satzdatei(std::string AName, std::vector<TRDLFeldDef> AFelder, std::vector<TRDLIndexDef> ASchluessel) {
    TRDLTabellenDef t;
    t.Name = std::move(AName);
    t.Felder = std::move(AFelder);
    t.Schluessel = std::move(ASchluessel);
    return t;
}

// A key or index; condition and carried fields only where given.
TRDLIndexDef Index(std::string AName, bool AEindeutig, std::vector<std::string> ATeile, std::string ABedingung = {},
                   std::vector<std::string> AMitgefuehrt = {}) {
    return {std::move(AName), AEindeutig, std::move(ATeile), std::move(ABedingung), std::move(AMitgefuehrt)};
}

// An aggregated sales statistics: one layout for every statistics the engine keeps.
TRDLTabellenDef Statistikdatei(const std::string& AName) {
    return Satzdatei(AName,
          {
            {"Kennung", T, {"kennung"}, P},
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"OrgeID", G, {"orge_a", "orge_b"}, P},
            {"Filiale", G, {"filiale"}, P},
            {"Datum", R, {"datum"}, P},
            {"Ganztag", G, {"ganztag"}},
            {"Von", R, {"von"}},
            {"Bis", R, {"bis"}},
            {"Daten", B, {"daten"}},
          },
          {
            Index(AName + "_schluessel", true, {"Kennung", "Mandant", "OrgeID", "Datum", "Ganztag", "Von", "Bis"}),
            Index(AName + "_filiale", false, {"Kennung", "Filiale", "Datum"}),
            // The whole days of a branch side by side with their figures: a reader of
            // many days (the comparison facade) finds them without the window records.
            Index(AName + "_ganztag", false, {"Kennung", "Mandant", "OrgeID", "Datum"}, "ganztag <> 0",
                  {"Ganztag", "Daten"}),
          });
}

std::vector<TRDLTabellenDef> Definitionen() {
    return {
        // --- installation, users, rights ----------------------------------------------
        Tabelle("einstellung", {{"name", T, "", ""}, {"wert", T, "''", ""}}, {"name"}),
        Tabelle("benutzer", {{"name", T, "", ""}, {"voller_name", T, "''", ""}, {"alle_rechte", G, "0", ""}}, {"name"}),
        Tabelle("benutzerrecht", {{"benutzer", T, "", ""}, {"recht", T, "", ""}}, {"benutzer", "recht"}),
        // Installation-wide and per-workstation values of settings masks.
        Tabelle("globaldef",
                {{"bereich", T, "", ""}, {"sektion", T, "", ""}, {"terminal", T, "''", ""}, {"schluessel", T, "", ""},
                 {"wert", T, "''", ""}},
                {"bereich", "sektion", "terminal", "schluessel"}),

        // --- suite tables --------------------------------------------------------------
        Tabelle("mandant", {{"mand_a", G, "", ""}, {"mand_b", G, "", ""}, {"name", T, "''", ""}}, {"mand_a", "mand_b"}),
        Tabelle("filiale",
                {{"filiale", G, "", "filiale BETWEEN 1 AND 32767"}, {"mand_a", G, "", ""}, {"mand_b", G, "", ""},
                 {"orge_a", G, "", ""}, {"orge_b", G, "", ""}, {"name", T, "''", ""}, {"waehrung", T, "'EUR'", ""},
                 {"lv_benutzen", G, "0", ""}, {"owner_is_gep", G, "0", ""}, {"versandfiliale", G, "0", ""},
                 // Federal state whose public holidays close the branch; empty: none.
                 {"bundesland", T, "''",
                  "bundesland IN ('', 'BW', 'BY', 'BE', 'BB', 'HB', 'HH', 'HE', 'MV', 'NI', 'NW', 'RP', 'SL', 'SN',"
                  " 'ST', 'SH', 'TH')"}},
                {"filiale"}, {{"mand_a", "mand_b", "orge_a", "orge_b"}}),
        Tabelle("verkaeufer",
                {{"vknr", G, "", ""}, {"gep_a", G, "0", ""}, {"gep_b", G, "0", ""}, {"nachname", T, "''", ""},
                 {"vorname", T, "''", ""}, {"filiale", G, "0", ""}, {"mand_a", G, "0", ""}, {"mand_b", G, "0", ""},
                 {"praemienberechtigt", G, "0", ""}},
                {"vknr"}, {}, {Index("verkaeufer_gep", false, {"gep_a", "gep_b"})}),
        Tabelle("rechner", {{"rechner", G, "", ""}, {"name", T, "''", ""}, {"filiale", G, "0", ""}}, {"rechner"}),
        // Business calendar: opening windows per branch and ISO weekday (1 = Monday), as
        // fractions of a day; closing days (filiale 0 = all).
        Tabelle("betriebszeit",
                {{"filiale", G, "", ""}, {"wochentag", G, "", "wochentag BETWEEN 1 AND 7"}, {"nr", G, "", ""},
                 {"von", R, "", ""}, {"bis", R, "", ""}},
                {"filiale", "wochentag", "nr"}),
        // Opening windows of single days, replacing the weekday's; a day whose rows hold no
        // window (von = bis = 0) is closed.
        Tabelle("betriebszeit_ausnahme",
                {{"filiale", G, "", ""}, {"datum", R, "", ""}, {"nr", G, "", ""}, {"von", R, "0", ""},
                 {"bis", R, "0", ""}},
                {"filiale", "datum", "nr"}),
        // The branches' own closing days; public holidays follow filiale.bundesland.
        Tabelle("feiertag", {{"datum", R, "", ""}, {"filiale", G, "0", ""}, {"name", T, "''", ""}}, {"datum", "filiale"}),
        // Names of the online platforms a sales line's herkunft 1..53 stands for.
        Tabelle("plattform", {{"herkunft", G, "", "herkunft BETWEEN 1 AND 53"}, {"name", T, "''", ""}}, {"herkunft"}),
        // Time records of the staff per branch and day (written by the time recording);
        // times and durations as fractions of a day.
        Tabelle("zeitbuchung",
                {{"filiale", G, "", ""}, {"datum", R, "", ""}, {"gep_a", G, "0", ""}, {"gep_b", G, "0", ""},
                 {"nr", G, "1", ""}, {"zeitart", G, "1", "zeitart >= 1"}, {"von", R, "0", ""}, {"bis", R, "0", ""},
                 {"dauer", R, "0", ""}, {"zusatzdauer", R, "0", ""}},
                {"filiale", "datum", "gep_a", "gep_b", "nr"}),
        // Exchange rates: the house-currency amount of one unit of waehrung, valid from
        // gueltig_ab (a day) until the currency's next row.
        Tabelle("wechselkurs", {{"waehrung", T, "", ""}, {"gueltig_ab", R, "", ""}, {"kurs", R, "", "kurs > 0"}},
                {"waehrung", "gueltig_ab"}),
        // Sales lines that break the writers' rules and count in no statistics: one row per
        // line key, with the reason; gemeldet 1 once a statistics run told the user.
        Tabelle("umsatz_abgelehnt",
                {{"mand_a", G, "", ""}, {"mand_b", G, "", ""}, {"rechner", G, "", ""}, {"transnr", G, "", ""},
                 {"posnr", G, "", ""}, {"datum", R, "0", ""}, {"filiale", G, "0", ""}, {"grund", T, "''", ""},
                 {"gefunden", R, "0", ""}, {"gemeldet", G, "0", "gemeldet IN (0, 1)"}},
                {"mand_a", "mand_b", "rechner", "transnr", "posnr"}),

        // --- articles, phases and dispositions (rdlartikel.h, rdlbeleg.h) ------------------
        // One row per product (article and colour); later stock and price tables refer to
        // its key (and a size index of its size range).
        Tabelle("artikel",
                {{"prod_a", G, "", ""}, {"prod_b", G, "", ""}, {"prod_c", G, "", ""}, {"artnr", T, "''", ""},
                 {"bezeichnung", T, "''", ""}, {"farbe", T, "''", ""}, {"warengruppe", G, "0", ""},
                 {"lief_a", G, "0", ""}, {"lief_b", G, "0", ""}, {"ek", R, "0", ""}, {"vk", R, "0", ""},
                 {"groessenleiste", G, "0", ""}},
                {"prod_a", "prod_b", "prod_c"}, {}, {Index("artikel_artnr", false, {"artnr"})}),
        // Size labels of a size range by size index.
        Tabelle("groesse",
                {{"leiste", G, "", ""}, {"grind", G, "", "grind BETWEEN 1 AND 100"}, {"bezeichnung", T, "''", ""}},
                {"leiste", "grind"}),
        // Document phases: which party is the client and how their numbers read.
        Tabelle("phase",
                {{"kuerzel", T, "", ""}, {"phase", G, "0", ""}, {"bezeichnung", T, "''", ""},
                 {"mand_sv_seite", G, "1", "mand_sv_seite IN (1, 2)"}, {"nummernformat", T, "''", ""}},
                {"kuerzel"}),
        // Dispositions: ordered goods of an article, their price per size and their branches.
        Tabelle("dispo",
                {{"dispo_a", G, "", ""}, {"dispo_b", G, "", ""}, {"dispo_c", G, "", ""}, {"prod_a", G, "0", ""},
                 {"prod_b", G, "0", ""}, {"prod_c", G, "0", ""}, {"status", G, "0", ""}, {"wedatum", R, "0", ""},
                 {"lief_a", G, "0", ""}, {"lief_b", G, "0", ""}, {"waehrung", T, "''", ""}, {"preis", R, "0", ""}},
                {"dispo_a", "dispo_b", "dispo_c"}),
        Tabelle("dispo_preis",
                {{"dispo_a", G, "", ""}, {"dispo_b", G, "", ""}, {"dispo_c", G, "", ""}, {"grind", G, "", ""},
                 {"preis", R, "0", ""}},
                {"dispo_a", "dispo_b", "dispo_c", "grind"}),
        Tabelle("dispo_filiale",
                {{"dispo_a", G, "", ""}, {"dispo_b", G, "", ""}, {"dispo_c", G, "", ""}, {"lfdnr", G, "", ""},
                 {"filiale", G, "0", ""}, {"grind_von", G, "1", ""}, {"grind_bis", G, "0", ""}},
                {"dispo_a", "dispo_b", "dispo_c", "lfdnr"}),
        Tabelle("dispo_menge",
                {{"dispo_a", G, "", ""}, {"dispo_b", G, "", ""}, {"dispo_c", G, "", ""}, {"lfdnr", G, "", ""},
                 {"grind", G, "", ""}, {"menge", G, "0", ""}},
                {"dispo_a", "dispo_b", "dispo_c", "lfdnr", "grind"}),
        // The dispositions an article position of a document is assigned to.
        Tabelle("atpk_dispo",
                {{"atpk_a", G, "", ""}, {"atpk_b", G, "", ""}, {"atpk_c", G, "", ""}, {"lfdnr", G, "", ""},
                 {"dispo_a", G, "", ""}, {"dispo_b", G, "", ""}, {"dispo_c", G, "", ""}, {"menge", G, "0", ""}},
                {"atpk_a", "atpk_b", "atpk_c", "lfdnr"}),

        // --- stock (rdlartquery.h): written by stock keeping, goods receipt, transfers, inventory ---
        // Opening stock per article, size and branch; one row per key, so a writer replaces it.
        Tabelle("bestand_anfang",
                {{"prod_a", G, "", ""}, {"prod_b", G, "", ""}, {"prod_c", G, "", ""}, {"grind", G, "", ""},
                 {"filiale", G, "", ""}, {"datum", R, "", ""}, {"menge", G, "0", ""}},
                {"prod_a", "prod_b", "prod_c", "grind", "filiale"}),
        // Movements; the writing program's document and line make a row unique, so a writer
        // that repeats a document after a lost answer cannot book it twice.
        Tabelle("bestand_bewegung",
                {{"art", G, "", "art BETWEEN 1 AND 3"}, {"beleg_a", G, "", ""}, {"beleg_b", G, "", ""},
                 {"posnr", G, "", ""}, {"prod_a", G, "", ""}, {"prod_b", G, "", ""}, {"prod_c", G, "", ""},
                 {"grind", G, "", ""}, {"filiale", G, "", ""}, {"datum", R, "", ""}, {"menge", G, "0", ""}},
                {"art", "beleg_a", "beleg_b", "posnr"}, {},
                {Index("bestand_bewegung_artikel", false, {"prod_a", "prod_b", "prod_c", "grind", "filiale", "datum"}),
                 Index("bestand_bewegung_datum", false, {"datum"})}),

        // --- prices (rdlpreis.h): written by price maintenance -----------------------------
        // Cash-register prices per product, size index and currency from a day on; filiale 0
        // sets the client's price, a branch number that branch's own.
        Tabelle("preis",
                {{"prod_a", G, "", ""}, {"prod_b", G, "", ""}, {"prod_c", G, "", ""}, {"mand_a", G, "", ""},
                 {"mand_b", G, "", ""}, {"filiale", G, "0", "filiale BETWEEN 0 AND 32767"},
                 {"grind", G, "", "grind BETWEEN 1 AND 100"}, {"waehrung", T, "", "waehrung <> ''"},
                 {"gueltig_ab", R, "", ""}, {"preis", R, "0", ""}},
                {"prod_a", "prod_b", "prod_c", "mand_a", "mand_b", "filiale", "grind", "waehrung", "gueltig_ab"}),

        // --- record files (kovdbfiles.h, kovdbfiles_ausw.h) ---------------------------------
        Satzdatei("lst",
          {
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"Rechner", G, {"rechner"}, P},
            {"TransNr", G, {"transnr"}, P},
            {"PosNr", G, {"posnr"}, P},
            {"Datum", R, {"datum"}, P},
            {"Uhrzeit", R, {"uhrzeit"}},
            {"Filiale", G, {"filiale"}, P},
            {"Satzart", T, {"satzart"}},
            {"ProdId", G, {"prod_a", "prod_b", "prod_c"}},
            {"ArtNr", T, {"artnr"}},
            {"GrInd", G, {"grind"}},
            {"VerkNr", G, {"verknr"}},
            {"Menge", G, {"menge"}},
            {"Betrag", R, {"betrag"}},
            {"Betrag2", R, {"betrag2"}},
            {"Waehrung", T, {"waehrung"}},
            {"EK", R, {"ek"}},
            {"Herkunft", G, {"herkunft"}},
          },
          {
            Index("lst_transaktion", false, {"Mandant", "Rechner", "TransNr", "PosNr"}),
            Index("lst_datum", false, {"Datum", "Filiale"}),
          }),
        Statistikdatei("umst"),
        Statistikdatei("umstvf"),
        Satzdatei("umsv",
          {
            {"Kennung", T, {"kennung"}, P},
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"Rechner", G, {"rechner"}, P},
            {"TransNr", G, {"transnr"}},
          },
          {
            Index("umsv_statistik", true, {"Kennung", "Mandant", "Rechner"}),
          }),
        Satzdatei("mask",
          {
            {"Sprache", T, {"sprache"}, P},
            {"Bereich", T, {"bereich"}, P},
            {"Name", T, {"name"}, P},
            {"Zusatz", T, {"zusatz"}},
            {"Nr", T, {"nr"}},
            {"Daten", B, {"daten"}},
          },
          {
            Index("mask_schluessel", true, {"Sprache", "Bereich", "Name", "Zusatz", "Nr"}),
          }),
        Satzdatei("awgs",
          {
            {"System", T, {"system"}, P},
            {"ProdId", G, {"prod_a", "prod_b", "prod_c"}, P},
            {"Code", T, {"code"}},
          },
          {
            Index("awgs_schluessel", false, {"System", "ProdId", "Code"}),
          }),
        Satzdatei("gep",
          {
            {"GepNr", G, {"gep_a", "gep_b"}, P},
            {"Name1", T, {"name1"}},
            {"Name2", T, {"name2"}},
          },
          {
            Index("gep_gepnr", true, {"GepNr"}),
          }),
        Satzdatei("kuli",
          {
            {"GepNr", G, {"gep_a", "gep_b"}, P},
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"Nummer", G, {"nummer"}},
          },
          {
            Index("kuli_gepnr", true, {"GepNr", "Mandant"}),
          }),
        Satzdatei("arks",
          {
            {"VorgangsID", G, {"vorg_a", "vorg_b", "vorg_c"}, P},
            {"Art", T, {"art"}},
            {"Status", T, {"status"}},
          },
          {
            Index("arks_vorgang", false, {"VorgangsID"}),
          }),
        Satzdatei("lar",
          {
            {"Kennung", T, {"kennung"}, P},
            {"LarID", G, {"lar_a", "lar_b", "lar_c"}},
          },
          {
            Index("lar_kennung", true, {"Kennung"}),
          }),
        Satzdatei("atpl",
          {
            {"LarID", G, {"lar_a", "lar_b", "lar_c"}, P},
            {"Wert", R, {"wert"}},
            {"AtpbID", G, {"atpb_a", "atpb_b", "atpb_c"}},
          },
          {
            Index("atpl_lar", false, {"LarID"}),
          }),
        Satzdatei("atpb",
          {
            {"AtpbID", G, {"atpb_a", "atpb_b", "atpb_c"}, P},
            {"AtpkID", G, {"atpk_a", "atpk_b", "atpk_c"}},
          },
          {
            Index("atpb_atpb", true, {"AtpbID"}),
          }),
        Satzdatei("atpk",
          {
            {"AtpkID", G, {"atpk_a", "atpk_b", "atpk_c"}, P},
            {"AtkID", G, {"atk_a", "atk_b", "atk_c"}},
            {"PosNr", G, {"posnr"}},
            {"PosTyp", G, {"postyp"}},
            {"ProduktID", G, {"prod_a", "prod_b", "prod_c"}},
            {"Menge", G, {"menge"}},
          },
          {
            Index("atpk_atpk", true, {"AtpkID"}),
            Index("atpk_atk", false, {"AtkID", "PosNr"}),
          }),
        Satzdatei("atk",
          {
            {"AtkID", G, {"atk_a", "atk_b", "atk_c"}, P},
            {"MandNr", G, {"mandnr"}},
            {"Phase", T, {"phase"}},
            {"StornoKz", T, {"stornokz"}},
            {"BelegNr", G, {"belegnr"}},
            {"Jahr", G, {"jahr"}},
            {"Monat", G, {"monat"}},
            {"TeilNr", G, {"teilnr"}},
            {"Datum", R, {"datum"}},
            {"GepNr1", G, {"gep1_a", "gep1_b"}},
            {"GepNr2", G, {"gep2_a", "gep2_b"}},
            {"BelegTyp", G, {"belegtyp"}},
            {"Wert", R, {"wert"}},
            {"Waehrung", T, {"waehrung"}},
            {"Erledigt", T, {"erledigt"}},
          },
          {
            Index("atk_atk", true, {"AtkID"}),
            Index("atk_typ", false, {"BelegTyp", "Datum"}),
          }),
        Satzdatei("azb",
          {
            {"AtkID", G, {"atk_a", "atk_b", "atk_c"}, P},
            {"LfdNr", G, {"lfdnr"}, P},
          },
          {
            Index("azb_atk", true, {"AtkID", "LfdNr"}),
          }),
        Satzdatei("zo",
          {
            {"Datei", T, {"datei"}, P},
            {"Satz", T, {"satz"}, P},
            {"Merkmal", T, {"merkmal"}, P},
            {"Wert", T, {"wert"}},
          },
          {
            Index("zo_merkmal", true, {"Datei", "Satz", "Merkmal"}),
          }),
        Satzdatei("mita",
          {
            {"GepNr", G, {"gep_a", "gep_b"}, P},
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"KurzNr", G, {"kurznr"}},
            {"GueltigBis", R, {"gueltigbis"}},
          },
          {
            Index("mita_gepnr", true, {"GepNr", "Mandant"}),
          }),
        Satzdatei("lfnr",
          {
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"GepNr", G, {"gep_a", "gep_b"}, P},
            {"BonNr", G, {"bon_a", "bon_b"}, P},
            {"Vorfall", T, {"vorfall"}},
            {"Rechner", G, {"rechner"}},
            {"TransNr", G, {"transnr"}},
          },
          {
            Index("lfnr_mitarbeiter", false, {"Mandant", "GepNr", "BonNr"}),
            // A staff member's receipts under whichever client the till wrote them.
            Index("lfnr_gepnr", false, {"GepNr", "Mandant", "BonNr"}),
          }),
        Satzdatei("pup",
          {
            {"Jahr", G, {"jahr"}, P},
            {"Monat", G, {"monat"}, P},
            {"Mandant", G, {"mand_a", "mand_b"}, P},
            {"Filiale", G, {"filiale"}, P},
            {"MitaNr", G, {"mitanr"}, P},
            {"Stunden", R, {"stunden"}},
            {"HAUmsatz", R, {"haumsatz"}},
            {"NAUmsatz", R, {"naumsatz"}},
            {"HAProv", R, {"haprov"}},
            {"NAProv", R, {"naprov"}},
            {"Waehrung", T, {"waehrung"}},
            {"Art", T, {"art"}},
          },
          {
            Index("pup_periode", true, {"Jahr", "Monat", "Mandant", "Filiale", "MitaNr"}),
          }),
        Satzdatei("gmer",
          {
            {"SatzTyp", T, {"satztyp"}, P},
            {"MerkmalA", G, {"merkmal_a"}, P},
            {"MerkmalB", G, {"merkmal_b"}, P},
            {"Bezeichnung", T, {"bezeichnung"}},
          },
          {
            Index("gmer_satztyp", true, {"SatzTyp", "MerkmalA", "MerkmalB"}),
          }),
        Satzdatei("gnum",
          {
            {"GepNr", G, {"gep_a", "gep_b"}, P},
            {"MerkmalA", G, {"merkmal_a"}, P},
            {"MerkmalB", G, {"merkmal_b"}, P},
            {"Wert", T, {"wert"}},
          },
          {
            Index("gnum_person", true, {"GepNr", "MerkmalA", "MerkmalB"}),
          }),
        Satzdatei("srv",
          {
            {"SRVTyp", T, {"srvtyp"}, P},
            {"Datum", R, {"datum"}, P},
            {"GepNr", G, {"gep_a", "gep_b"}},
            {"Mandant", G, {"mand_a", "mand_b"}},
            {"Rechner", G, {"rechner"}},
            {"TransNr", G, {"transnr"}},
            {"GutschriftKz", T, {"gutschriftkz"}},
            {"RechnungsNr", T, {"rechnungsnr"}},
            {"Betrag", R, {"betrag"}},
            {"Waehrung", T, {"waehrung"}},
            {"AusgleichKz", T, {"ausgleichkz"}},
          },
          {
            Index("srv_srvtyp", false, {"SRVTyp", "Datum"}),
          }),
    };
}

std::string Liste(const std::vector<std::string>& ATeile) {
    std::string r;
    for (const auto& t : ATeile) r += (r.empty() ? "" : ", ") + t;
    return r;
}

std::string Vorgabe(TRDLSpaltenTyp ATyp) {
    switch (ATyp) {
    case TRDLSpaltenTyp::Text: return "''";
    case TRDLSpaltenTyp::Blob: return "";
    default: return "0";
    }
}

} // namespace

const TRDLFeldDef* TRDLTabellenDef::Feld(const std::string& AName) const {
    for (const auto& f : Felder)
        if (f.Name == AName) return &f;
    return nullptr;
}

std::vector<std::string> TRDLTabellenDef::SpaltenNamen() const {
    std::vector<std::string> r;
    if (IstSatzdatei()) {
        r.emplace_back("id");
        for (const auto& f : Felder) r.insert(r.end(), f.Spalten.begin(), f.Spalten.end());
    } else {
        for (const auto& s : Spalten) r.push_back(s.Name);
    }
    return r;
}

const std::vector<TRDLTabellenDef>& QuendrixTabellen() {
    static const std::vector<TRDLTabellenDef> t = Definitionen();
    return t;
}

const TRDLTabellenDef& QuendrixTabelle(const std::string& AName) {
    for (const auto& t : QuendrixTabellen())
        if (t.Name == AName) return t;
    throw EDatenbankFehler("Die Datei \u201E" + AName + "\u201C ist im Schema nicht definiert.");
}

std::vector<std::string> QuendrixSchemaDDL(const IRDLVerbindung& V) {
    std::vector<std::string> ddl;
    for (const auto& t : QuendrixTabellen()) {
        std::vector<std::string> teile;
        if (t.IstSatzdatei()) {
            teile.push_back("id " + V.SpaltenTyp(TRDLSpaltenTyp::Id));
            for (const auto& f : t.Felder)
                for (const auto& s : f.Spalten) {
                    std::string d = s + " " + V.SpaltenTyp(f.Typ);
                    const std::string vorgabe = f.Pflicht ? "" : Vorgabe(f.Typ);
                    if (f.Pflicht || !vorgabe.empty()) d += " NOT NULL";
                    if (!vorgabe.empty()) d += " DEFAULT " + vorgabe;
                    teile.push_back(d);
                }
        } else {
            for (const auto& s : t.Spalten) {
                std::string d = s.Name + " " + V.SpaltenTyp(s.Typ) + " NOT NULL";
                if (!s.Vorgabe.empty()) d += " DEFAULT " + s.Vorgabe;
                if (!s.Pruefung.empty()) d += " CHECK (" + s.Pruefung + ")";
                teile.push_back(d);
            }
            teile.push_back("PRIMARY KEY (" + Liste(t.Primaerschluessel) + ")");
            for (const auto& u : t.Eindeutig) teile.push_back("UNIQUE (" + Liste(u) + ")");
        }
        ddl.push_back("CREATE TABLE " + t.Name + " (" + Liste(teile) + ")");
        for (const auto& i : t.Indizes)
            ddl.push_back(std::string("CREATE ") + (i.Eindeutig ? "UNIQUE " : "") + "INDEX " + i.Name + " ON " + t.Name +
                          " (" + Liste(i.Teile) + ")");
        for (const auto& k : t.Schluessel) {
            auto spaltenVon = [&](const std::vector<std::string>& AFelder) {
                std::vector<std::string> spalten;
                for (const auto& feld : AFelder) {
                    const auto* f = t.Feld(feld);
                    if (!f)
                        throw EDatenbankFehler("Schlüsselfeld \u201E" + feld + "\u201C fehlt in \u201E" + t.Name + "\u201C.");
                    spalten.insert(spalten.end(), f->Spalten.begin(), f->Spalten.end());
                }
                return spalten;
            };
            std::vector<std::string> spalten = spaltenVon(k.Teile);
            // Equal keys are read in record-position order.
            if (!k.Eindeutig && V.IndexMitId()) spalten.emplace_back("id");
            const std::vector<std::string> mit = spaltenVon(k.Mitgefuehrt);
            const bool server = V.Art() == TRDLSpeicherArt::PostgreSQL;
            if (!server) spalten.insert(spalten.end(), mit.begin(), mit.end());
            std::string s = std::string("CREATE ") + (k.Eindeutig ? "UNIQUE " : "") + "INDEX " + k.Name + " ON " +
                            t.Name + " (" + Liste(spalten) + ")";
            if (server && !mit.empty()) s += " INCLUDE (" + Liste(mit) + ")";
            if (!k.Bedingung.empty()) s += " WHERE " + k.Bedingung;
            ddl.push_back(s);
        }
    }
    return ddl;
}
