#include "umsatzabgelehnt.h"

#include "rdldatum.h"
#include "rdlinfo.h"

namespace {

const char* const CSpalten = "mand_a, mand_b, rechner, transnr, posnr, datum, filiale";

} // namespace

std::string LstRegelverstoss(double ADatum, int64_t AFiliale, int64_t ATransNr) {
    std::string r;
    auto dazu = [&](const char* AText) { r += (r.empty() ? "" : " ") + std::string(AText); };
    if (!LstDatumImKalender(ADatum)) dazu("Das Datum liegt außerhalb des Kalenders (01.01.0001 bis 31.12.9999).");
    if (AFiliale < 1 || AFiliale > CLstHoechsteFiliale) dazu("Die Filialnummer liegt außerhalb von 1 bis 32767.");
    if (ATransNr < 1 || ATransNr > CLstHoechsteTransNr)
        dazu("Die Transaktionsnummer liegt außerhalb von 1 bis 2147483647.");
    return r;
}

std::string UmsatzAbgelehntText(int64_t AAnzahl) {
    const std::string n = std::to_string(AAnzahl);
    return (AAnzahl == 1 ? n + " Umsatzzeile verletzt die Regeln und wurde nicht gezählt"
                         : n + " Umsatzzeilen verletzen die Regeln und wurden nicht gezählt") +
           ", siehe Tabelle \u201Eumsatz_abgelehnt\u201C der Datenbank.";
}

void TUmsatzAbgelehnt::Vormerken(const Tlstfile& ALst) {
    FNeu.push_back({ALst.Mandant.GetWert(), ALst.Rechner.GetWert(), ALst.TransNr.GetWert(), ALst.PosNr.GetWert(),
                    ALst.Datum.GetWert(), ALst.Filiale.GetWert()});
}

void TUmsatzAbgelehnt::AusserhalbDesKalendersSuchen(Tlstfile& ALst) {
    // Two ranges of the date index; a NaN sorts above every number on the server, and
    // SQLite stores none.
    auto st = ALst.Datenbank().Prepare(std::string("SELECT ") + CSpalten + " FROM lst WHERE datum < ? OR datum >= ?");
    st.Bind(1, CLstErsterTag);
    st.Bind(2, CLstLetzterTag + 1);
    while (st.Step())
        FNeu.push_back({{int32_t(st.ColInt(0)), int32_t(st.ColInt(1))}, int32_t(st.ColInt(2)), st.ColInt(3),
                        int32_t(st.ColInt(4)), st.ColDouble(5), st.ColInt(6)});
}

void TUmsatzAbgelehnt::OhneTransaktionsnummerSuchen(Tlstfile& ALst, const TIntPair& AMandant, int32_t ARechner) {
    auto st = ALst.Datenbank().Prepare(std::string("SELECT ") + CSpalten +
                                       " FROM lst WHERE mand_a = ? AND mand_b = ? AND rechner = ? AND transnr < 1");
    st.Bind(1, int64_t(AMandant.A));
    st.Bind(2, int64_t(AMandant.B));
    st.Bind(3, int64_t(ARechner));
    while (st.Step())
        FNeu.push_back({AMandant, ARechner, st.ColInt(3), int32_t(st.ColInt(4)), st.ColDouble(5), st.ColInt(6)});
}

void TUmsatzAbgelehnt::Schreiben(TRDLDatenbank& ADb) {
    if (FNeu.empty()) return;
    const double jetzt = rdl_Now();
    RDLBuchung buchung(ADb);
    auto st = ADb.Prepare("INSERT INTO umsatz_abgelehnt (mand_a, mand_b, rechner, transnr, posnr, datum, filiale,"
                          " grund, gefunden) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING");
    for (const TZeile& z : FNeu) {
        st.Reset();
        int i = 1;
        for (int64_t v : {int64_t(z.Mandant.A), int64_t(z.Mandant.B), int64_t(z.Rechner), z.TransNr, int64_t(z.PosNr)})
            st.Bind(i++, v);
        st.Bind(i++, z.Datum);
        st.Bind(i++, z.Filiale);
        st.Bind(i++, LstRegelverstoss(z.Datum, z.Filiale, z.TransNr));
        st.Bind(i++, jetzt);
        st.Step();
    }
    buchung.Beenden();
    FNeu.clear();
}

int64_t TUmsatzAbgelehnt::Melden(TRDLDatenbank& ADb) {
    {
        // A read first: a run without new lines takes no write lock.
        auto st = ADb.Prepare("SELECT 1 FROM umsatz_abgelehnt WHERE gemeldet = 0 LIMIT 1");
        if (!st.Step()) return 0;
    }
    auto st = ADb.Prepare("UPDATE umsatz_abgelehnt SET gemeldet = 1 WHERE gemeldet = 0");
    st.Step();
    // Another workstation may have told them meanwhile: each line is told once.
    const int64_t n = st.Geaendert();
    if (n > 0) RDLInfo().ShowMeldung("STANDARD", 997, {UmsatzAbgelehntText(n)}, mkWarnung);
    return n;
}
