#include "rdlartquery.h"

#include "exceptions.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdltext.h"

#include <charconv>
#include <optional>
#include <variant>

namespace {

// Context values live in globaldef under the area's name and the other fields as section.
constexpr const char* CKontextTrenner = ";";

int32_t Zahl(const std::string& AText, const char* AFeld) {
    int32_t v = 0;
    const auto [p, ec] = std::from_chars(AText.data(), AText.data() + AText.size(), v);
    if (ec != std::errc() || p != AText.data() + AText.size())
        throw EConvertError("\u201E" + AText + "\u201C ist keine Zahl (" + AFeld + ").");
    return v;
}

template <class T>
std::string Liste(const std::vector<T>& AWerte) {
    std::string t;
    for (const T& w : AWerte) t += (t.empty() ? "" : ",") + std::to_string(w);
    return t;
}

using TParameter = std::variant<int64_t, double, std::string>;

} // namespace

// --- settings contexts -------------------------------------------------------------------

std::string TContextSatz::Sektion() const {
    const std::string t = CKontextTrenner;
    return Sprache + t + std::to_string(Nr1) + t + std::to_string(Nr2) + t + Name + t + std::to_string(Wert1) + t +
           std::to_string(Wert2) + t + std::to_string(Wert3);
}

TContextSatz TContextSatz::MitArbeitsplatz() const {
    TContextSatz k = *this;
    k.Text = RDLInfo().RDLInfoTerminalID();
    return k;
}

std::map<std::string, std::string> RDLKontextLesen(const TContextSatz& K, TRDLDatenbank* ADb) {
    auto st = (ADb ? *ADb : RDLProgramm().Datenbank())
                  .Prepare("SELECT schluessel, wert FROM globaldef WHERE bereich = ? AND sektion = ? AND terminal = ?");
    st.Bind(1, K.Bereich);
    st.Bind(2, K.Sektion());
    st.Bind(3, K.Text);
    std::map<std::string, std::string> r;
    while (st.Step()) r[st.ColText(0)] = st.ColText(1);
    return r;
}

void RDLKontextSchreiben(const TContextSatz& K, const std::map<std::string, std::string>& AWerte, TRDLDatenbank* ADb) {
    TRDLDatenbank& db = ADb ? *ADb : RDLProgramm().Datenbank();
    const std::string sektion = K.Sektion();
    RDLBuchung buchung(db);
    auto weg = db.Prepare("DELETE FROM globaldef WHERE bereich = ? AND sektion = ? AND terminal = ?");
    weg.Bind(1, K.Bereich);
    weg.Bind(2, sektion);
    weg.Bind(3, K.Text);
    weg.Step();
    auto neu = db.Prepare("INSERT INTO globaldef (bereich, sektion, terminal, schluessel, wert) VALUES (?, ?, ?, ?, ?)");
    for (const auto& [name, wert] : AWerte) {
        neu.Bind(1, K.Bereich);
        neu.Bind(2, sektion);
        neu.Bind(3, K.Text);
        neu.Bind(4, name);
        neu.Bind(5, wert);
        neu.Step();
        neu.Reset();
    }
    buchung.Beenden();
}

// --- the selection -----------------------------------------------------------------------

std::map<std::string, std::string> TRDL_ArtSelektion::Werte() const {
    std::string lief;
    for (const TIntPair& l : Lieferanten)
        lief += (lief.empty() ? "" : ",") + std::to_string(l.A) + "/" + std::to_string(l.B);
    return {{"ARTNRVON", ArtNrVon},           {"ARTNRBIS", ArtNrBis},   {"WARENGRUPPEN", Liste(Warengruppen)},
            {"LIEFERANTEN", lief},            {"FILIALEN", Liste(Filialen)},
            {"NULLBESTAND", MitNullbestand ? "1" : "0"}};
}

TRDL_ArtSelektion TRDL_ArtSelektion::AusWerten(const std::map<std::string, std::string>& W) {
    const auto wert = [&W](const char* AName) {
        const auto it = W.find(AName);
        return it == W.end() ? std::string() : it->second;
    };
    TRDL_ArtSelektion s;
    s.ArtNrVon = wert("ARTNRVON");
    s.ArtNrBis = wert("ARTNRBIS");
    for (const auto& t : RDLListenTeile(wert("WARENGRUPPEN"))) s.Warengruppen.push_back(Zahl(t, "Warengruppe"));
    for (const auto& t : RDLListenTeile(wert("FILIALEN"))) s.Filialen.push_back(Zahl(t, "Filiale"));
    for (const auto& t : RDLListenTeile(wert("LIEFERANTEN"))) {
        const auto strich = t.find('/');
        if (strich == std::string::npos)
            s.Lieferanten.push_back({Zahl(t, "Lieferant"), 1});
        else
            s.Lieferanten.push_back({Zahl(t.substr(0, strich), "Lieferant"), Zahl(t.substr(strich + 1), "Lieferant")});
    }
    s.MitNullbestand = wert("NULLBESTAND") == "1";
    return s;
}

// --- the query ---------------------------------------------------------------------------

TRDL_SegFeldCtrlInfoArray TRDL_ArtQueryArtv::SegFeldCtrlInfoArray() const {
    return {
        {"ARTNRVON", "Artikelnummer von", TRDL_SegFeldArt::Text},
        {"ARTNRBIS", "Artikelnummer bis", TRDL_SegFeldArt::Text},
        {"WARENGRUPPEN", "Warengruppen", TRDL_SegFeldArt::Liste},
        {"LIEFERANTEN", "Lieferanten", TRDL_SegFeldArt::Liste},
        {"FILIALEN", "Filialen", TRDL_SegFeldArt::Liste},
        {"NULLBESTAND", "Artikel ohne Bestand ausgeben", TRDL_SegFeldArt::Schalter},
    };
}

int64_t TRDL_ArtQueryArtv::Durchlaufen(const TRDL_QueryZeilenProc& AProc) {
    if (FZeitraum.Bis < FZeitraum.Von || FZeitraum.Bis == 0)
        throw EArgumentOutOfRangeException("Der Auswertungszeitraum enthält keinen Tag.");
    const double von = FZeitraum.Von, bis1 = FZeitraum.Bis + 1; // up to the end of the cut-off day
    std::vector<TParameter> p;
    // Each source summed per key on its own, then the keys summed: one pass over the sales
    // lines up to the cut-off, whatever the number of articles.
    std::string sql =
        "SELECT t.prod_a, t.prod_b, t.prod_c, t.grind, t.filiale, f.mand_a, f.mand_b,"
        " COALESCE(a.artnr, ''), COALESCE(a.bezeichnung, ''), COALESCE(a.farbe, ''), COALESCE(a.warengruppe, 0),"
        " COALESCE(g.name1, ''), COALESCE(gr.bezeichnung, ''), COALESCE(a.ek, 0), t.anfang, t.zugang, t.verkauf,"
        " t.korrektur, COALESCE(m.name, '')"
        " FROM (SELECT prod_a, prod_b, prod_c, grind, filiale, SUM(anfang) AS anfang, SUM(zugang) AS zugang,"
        " SUM(verkauf) AS verkauf, SUM(korrektur) AS korrektur FROM ("
        "  SELECT prod_a, prod_b, prod_c, grind, filiale, SUM(menge) AS anfang, 0 AS zugang, 0 AS verkauf,"
        "   0 AS korrektur FROM bestand_anfang WHERE datum < ? GROUP BY prod_a, prod_b, prod_c, grind, filiale"
        "  UNION ALL"
        "  SELECT prod_a, prod_b, prod_c, grind, filiale, SUM(CASE WHEN datum < ? THEN menge ELSE 0 END),"
        "   SUM(CASE WHEN datum >= ? AND art = 1 THEN menge ELSE 0 END), 0,"
        "   SUM(CASE WHEN datum >= ? AND art <> 1 THEN menge ELSE 0 END)"
        "   FROM bestand_bewegung WHERE datum < ? GROUP BY prod_a, prod_b, prod_c, grind, filiale"
        "  UNION ALL"
        "  SELECT prod_a, prod_b, prod_c, grind, filiale, -SUM(CASE WHEN datum < ? THEN q ELSE 0 END), 0,"
        "   SUM(CASE WHEN datum >= ? THEN q ELSE 0 END), 0 FROM ("
        "    SELECT prod_a, prod_b, prod_c, COALESCE(grind, 0) AS grind, filiale, datum,"
        "     CASE WHEN UPPER(TRIM(COALESCE(satzart, ''))) = 'RE' THEN -ABS(COALESCE(menge, 0))"
        "      ELSE COALESCE(menge, 0) END AS q"
        "    FROM lst WHERE datum < ? AND UPPER(TRIM(COALESCE(satzart, ''))) NOT IN ('EB', 'ME')"
        "     AND NOT (COALESCE(prod_a, 0) = 0 AND COALESCE(prod_b, 0) = 0 AND COALESCE(prod_c, 0) = 0)) v"
        "   GROUP BY prod_a, prod_b, prod_c, grind, filiale"
        " ) u GROUP BY prod_a, prod_b, prod_c, grind, filiale) t"
        " JOIN filiale f ON f.filiale = t.filiale AND f.lv_benutzen <> 0"
        " LEFT JOIN mandant m ON m.mand_a = f.mand_a AND m.mand_b = f.mand_b"
        " LEFT JOIN artikel a ON a.prod_a = t.prod_a AND a.prod_b = t.prod_b AND a.prod_c = t.prod_c"
        " LEFT JOIN gep g ON g.gep_a = a.lief_a AND g.gep_b = a.lief_b"
        " LEFT JOIN groesse gr ON gr.leiste = a.groessenleiste AND gr.grind = t.grind"
        " WHERE 1 = 1";
    p = {bis1, von, von, von, bis1, von, von, bis1};
    const TRDL_ArtSelektion& s = FSelektion;
    if (!s.ArtNrVon.empty()) {
        sql += " AND COALESCE(a.artnr, '') >= ?";
        p.emplace_back(s.ArtNrVon);
    }
    if (!s.ArtNrBis.empty()) {
        sql += " AND COALESCE(a.artnr, '') <= ?";
        p.emplace_back(s.ArtNrBis);
    }
    const auto inListe = [&](const char* ASpalte, const std::vector<int32_t>& AWerte) {
        if (AWerte.empty()) return;
        sql += std::string(" AND ") + ASpalte + " IN (";
        for (size_t i = 0; i < AWerte.size(); ++i) {
            sql += i ? ", ?" : "?";
            p.emplace_back(int64_t(AWerte[i]));
        }
        sql += ")";
    };
    inListe("a.warengruppe", s.Warengruppen);
    inListe("t.filiale", s.Filialen);
    if (!s.Lieferanten.empty()) {
        sql += " AND (";
        for (size_t i = 0; i < s.Lieferanten.size(); ++i) {
            sql += i ? " OR (a.lief_a = ? AND a.lief_b = ?)" : "(a.lief_a = ? AND a.lief_b = ?)";
            p.emplace_back(int64_t(s.Lieferanten[i].A));
            p.emplace_back(int64_t(s.Lieferanten[i].B));
        }
        sql += ")";
    }
    if (!s.MitNullbestand) sql += " AND t.anfang + t.zugang - t.verkauf + t.korrektur <> 0";
    sql += " ORDER BY COALESCE(a.artnr, ''), t.prod_a, t.prod_b, t.prod_c, t.grind, f.mand_a, f.mand_b, t.filiale";

    TRDLDatenbank& db = FDb ? *FDb : RDLProgramm().Datenbank();
    TRDLStatement st = db.Prepare(sql);
    for (size_t i = 0; i < p.size(); ++i) {
        const int idx = int(i + 1);
        if (const auto* g = std::get_if<int64_t>(&p[i])) st.Bind(idx, *g);
        else if (const auto* d = std::get_if<double>(&p[i])) st.Bind(idx, *d);
        else st.Bind(idx, std::get<std::string>(p[i]));
    }

    const bool mitFiliale = FStufen.count(opsFiliale) > 0, mitMandant = FStufen.count(opsMandant) > 0,
               mitGesamt = FStufen.count(opsGesamt) > 0;
    int64_t anzahl = 0;
    bool weiter = true;
    std::optional<TRDL_ArtBestandZeile> mandant, gesamt; // sums of the current article size
    const auto abgeben = [&](const TRDL_ArtBestandZeile& z) {
        if (!weiter) return;
        ++anzahl;
        weiter = AProc(z);
    };
    const auto dazu = [](TRDL_ArtBestandZeile& ASumme, const TRDL_ArtBestandZeile& z) {
        ASumme.Anfang += z.Anfang;
        ASumme.Zugang += z.Zugang;
        ASumme.Verkauf += z.Verkauf;
        ASumme.Korrektur += z.Korrektur;
        ASumme.Bestand += z.Bestand;
    };
    const auto mandantAbschliessen = [&] {
        if (mandant && mitMandant) abgeben(*mandant);
        mandant.reset();
    };
    const auto gesamtAbschliessen = [&] {
        mandantAbschliessen();
        if (gesamt && mitGesamt) abgeben(*gesamt);
        gesamt.reset();
    };
    while (weiter && st.Step()) {
        TRDL_ArtBestandZeile z;
        z.ProduktID = {int32_t(st.ColInt(0)), int32_t(st.ColInt(1)), int32_t(st.ColInt(2))};
        z.GrInd = int32_t(st.ColInt(3));
        z.Filiale = int32_t(st.ColInt(4));
        z.Mandant = {int32_t(st.ColInt(5)), int32_t(st.ColInt(6))};
        z.ArtNr = st.ColText(7);
        z.Bezeichnung = st.ColText(8);
        z.Farbe = st.ColText(9);
        z.Warengruppe = int32_t(st.ColInt(10));
        z.Lieferant = st.ColText(11);
        z.Groesse = st.ColText(12);
        z.EK = st.ColDouble(13);
        z.Anfang = st.ColInt(14);
        z.Zugang = st.ColInt(15);
        z.Verkauf = st.ColInt(16);
        z.Korrektur = st.ColInt(17);
        z.MandantName = st.ColText(18);
        z.Bestand = z.Anfang + z.Zugang - z.Verkauf + z.Korrektur;
        if (gesamt && (gesamt->ProduktID != z.ProduktID || gesamt->GrInd != z.GrInd)) gesamtAbschliessen();
        if (mandant && mandant->Mandant != z.Mandant) mandantAbschliessen();
        if (!gesamt) {
            gesamt = z;
            gesamt->Stufe = opsGesamt;
            gesamt->Mandant = {};
            gesamt->MandantName.clear();
            gesamt->Filiale = 0;
            gesamt->Anfang = gesamt->Zugang = gesamt->Verkauf = gesamt->Korrektur = gesamt->Bestand = 0;
        }
        if (!mandant) {
            mandant = *gesamt;
            mandant->Stufe = opsMandant;
            mandant->Mandant = z.Mandant;
            mandant->MandantName = z.MandantName;
            mandant->Anfang = mandant->Zugang = mandant->Verkauf = mandant->Korrektur = mandant->Bestand = 0;
        }
        dazu(*gesamt, z);
        dazu(*mandant, z);
        if (mitFiliale) abgeben(z);
    }
    gesamtAbschliessen();
    st.Reset();
    return anzahl;
}

// --- the selection helper ------------------------------------------------------------------

TContextSatz TArtvSeleingHelper::Kontext() const { return FKontext.MitArbeitsplatz(); }

bool TArtvSeleingHelper::Laden() {
    const auto werte = RDLKontextLesen(Kontext());
    if (werte.empty()) return false;
    const TRDL_ArtSelektion s = TRDL_ArtSelektion::AusWerten(werte);
    if (FQuery) FQuery->Selektion_Set(s);
    return true;
}

void TArtvSeleingHelper::Speichern(const TRDL_ArtSelektion& ASelektion) {
    std::map<std::string, std::string> werte = ASelektion.Werte();
    // Only the fields the query named are kept (all of them when it named none).
    if (!FFelder.empty())
        std::erase_if(werte, [this](const auto& W) {
            for (const auto& f : FFelder)
                if (f.Name == W.first) return false;
            return true;
        });
    RDLKontextSchreiben(Kontext(), werte);
    if (FQuery) FQuery->Selektion_Set(ASelektion);
}
