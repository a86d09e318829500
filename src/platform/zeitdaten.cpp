#include "zeitdaten.h"
#include "rdlprogramm.h"
#include <algorithm>
#include <cmath>
#include <string>

std::vector<int> ZeitartenFuerAuswahl(TKOV_ZeitenAuswahl AAuswahl) {
    switch (AAuswahl) {
    case zaProduktiv: return {CKOV_Zeitart_Produktiv};
    case zaArbeit: return {CKOV_Zeitart_Produktiv, CKOV_Zeitart_Sonstige};
    case zaBezahlt: return {CKOV_Zeitart_Produktiv, CKOV_Zeitart_Sonstige, CKOV_Zeitart_Abwesend};
    default: return {};
    }
}

std::vector<TKOV_Zeitbuchung> TKOV_ZeitListeServer_DB::ZeitbuchungenLaden(const TKOV_ZeitSuchkriterien& K) {
    std::string sql =
        "SELECT z.filiale, z.datum, z.gep_a, z.gep_b, z.nr, z.zeitart, z.von, z.bis, z.dauer, z.zusatzdauer"
        " FROM zeitbuchung z JOIN filiale f ON f.filiale = z.filiale"
        " WHERE f.mand_a = ? AND f.mand_b = ? AND f.orge_a = ? AND f.orge_b = ? AND z.datum >= ? AND z.datum < ?";
    if (!K.Zeitarten.empty()) {
        sql += " AND z.zeitart IN (";
        for (size_t i = 0; i < K.Zeitarten.size(); ++i) sql += i ? ", ?" : "?";
        sql += ")";
    }
    sql += " ORDER BY z.datum, z.gep_a, z.gep_b, z.nr";
    auto st = RDLProgramm().Datenbank().Prepare(sql);
    int i = 1;
    for (int v : {K.Mandant.A, K.Mandant.B, K.OrgeID.A, K.OrgeID.B}) st.Bind(i++, int64_t(v));
    // Whole days: a day column may hold a stray time part.
    st.Bind(i++, std::floor(K.VonDatum));
    st.Bind(i++, std::floor(K.BisDatum) + 1);
    for (int art : K.Zeitarten) st.Bind(i++, int64_t(art));
    std::vector<TKOV_Zeitbuchung> r;
    while (st.Step()) {
        TKOV_Zeitbuchung b;
        b.Filiale = int(st.ColInt(0));
        b.Datum = st.ColDouble(1);
        b.GepNr = {int(st.ColInt(2)), int(st.ColInt(3))};
        b.Nr = int(st.ColInt(4));
        b.Zeitart = int(st.ColInt(5));
        b.Von = st.ColDouble(6);
        b.Bis = st.ColDouble(7);
        b.Dauer = st.ColDouble(8);
        b.Zusatzdauer = st.ColDouble(9);
        r.push_back(b);
    }
    return r;
}

void TKOV_AusWertEditServer_Std::ZeitbuchungAddieren(TKOV_Zeitsumme& ASumme, const TKOV_Zeitbuchung& ABuchung,
                                                     TKOV_ZeitenAuswahl AAuswahl) {
    const auto arten = ZeitartenFuerAuswahl(AAuswahl);
    if (std::find(arten.begin(), arten.end(), ABuchung.Zeitart) != arten.end()) ASumme.Dauer += ABuchung.Dauer;
}
