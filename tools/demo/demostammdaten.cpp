// Master data (with exchange rates), calendar, sellers and users of the demo installation.
#include "demomodell.h"
#include <iterator>
#include <string>
#include <utility>

namespace {

void Binden(TRDLStatement& S, int i, int v) { S.Bind(i, int64_t(v)); }
void Binden(TRDLStatement& S, int i, double v) { S.Bind(i, v); }
void Binden(TRDLStatement& S, int i, const std::string& v) { S.Bind(i, v); }
void Binden(TRDLStatement& S, int i, const char* v) { S.Bind(i, std::string(v)); }

// Binds the values in order, runs the statement once and resets it for the next row.
template <class... W>
void Zeile(TRDLStatement& S, const W&... AWerte) {
    int i = 1;
    (Binden(S, i++, AWerte), ...);
    S.Step();
    S.Reset();
}

} // namespace

void DemoStammdatenSchreiben(TRDLDatenbank& ADb, const TDemoOptionen& O, const TDemoModell& M, TDemoErgebnis& E) {
    ADb.EinstellungSchreiben("RTYP", std::to_string(O.RTyp));
    ADb.EinstellungSchreiben("KUNDENKENNUNG", O.Kundenkennung);
    ADb.EinstellungSchreiben("UNTERNEHMENSGRUPPE", M.Unternehmensgruppe);
    ADb.EinstellungSchreiben("WAEHRUNG", "EUR");
    ADb.EinstellungSchreiben("MANDANT_ERSTER", M.Mandanten.front().Id.ToText());

    auto sm = ADb.Prepare("INSERT INTO mandant (mand_a, mand_b, name) VALUES (?, ?, ?)");
    for (const auto& m : M.Mandanten) {
        Zeile(sm, m.Id.A, m.Id.B, m.Name);
        ++E.Mandanten;
    }
    auto sf = ADb.Prepare("INSERT INTO filiale (filiale, mand_a, mand_b, orge_a, orge_b, name, waehrung,"
                          " versandfiliale, bundesland) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const auto& f : M.Filialen) {
        Zeile(sf, f.Nr, f.Mandant.A, f.Mandant.B, f.OrgeId.A, f.OrgeId.B, f.Name, f.Waehrung, f.Versand ? 1 : 0,
              f.Bundesland);
        ++E.Filialen;
    }
    auto sw = ADb.Prepare("INSERT INTO wechselkurs (waehrung, gueltig_ab, kurs) VALUES (?, ?, ?)");
    for (const auto& w : M.Wechselkurse) {
        Zeile(sw, w.Waehrung, w.Ab, w.Kurs);
        ++E.Wechselkurse;
    }
    auto sr = ADb.Prepare("INSERT INTO rechner (rechner, name, filiale) VALUES (?, ?, ?)");
    for (const auto& r : M.Rechner) {
        Zeile(sr, r.Nr, r.Name, r.Filiale);
        ++E.Rechner;
    }
    // The online platforms the shipping branch sells on; the small ones by number.
    static const char* const CGrosse[] = {"Eigener Webshop", "Amazon",      "Zalando",       "Otto",
                                          "eBay",            "About You",   "Kaufland",      "Breuninger",
                                          "Galeria Online",  "Limango",     "Bonprix Partner", "Idealo Direktkauf"};
    auto sp = ADb.Prepare("INSERT INTO plattform (herkunft, name) VALUES (?, ?)");
    for (int p = 1; p <= 53; ++p)
        Zeile(sp, p, p <= int(std::size(CGrosse)) ? std::string(CGrosse[p - 1]) : "Marktplatz " + std::to_string(p));
}

void DemoKalenderSchreiben(TRDLDatenbank& ADb, const TDemoModell& M, TDemoErgebnis& E) {
    auto sb = ADb.Prepare("INSERT INTO betriebszeit (filiale, wochentag, nr, von, bis) VALUES (?, ?, ?, ?, ?)");
    for (const auto& f : M.Filialen)
        for (int tag = 1; tag <= 7; ++tag) {
            int nr = 0;
            for (const auto& z : f.Oeffnung[size_t(tag)]) {
                Zeile(sb, f.Nr, tag, ++nr, z.Von, z.Bis);
                ++E.Betriebszeiten;
            }
        }
    auto sa = ADb.Prepare("INSERT INTO betriebszeit_ausnahme (filiale, datum, nr, von, bis) VALUES (?, ?, ?, ?, ?)");
    for (const auto& a : M.Ausnahmen) {
        Zeile(sa, a.Filiale, a.Datum, a.Nr, a.Von, a.Bis);
        ++E.Ausnahmezeiten;
    }
    auto sh = ADb.Prepare("INSERT INTO feiertag (datum, filiale, name) VALUES (?, ?, ?)");
    for (const auto& h : M.Feiertage) {
        Zeile(sh, h.Datum, h.Filiale, h.Name);
        ++E.Feiertage;
    }
}

void DemoVerkaeuferSchreiben(TRDLDatenbank& ADb, const TDemoModell& M, TDemoErgebnis& E) {
    auto sv = ADb.Prepare("INSERT INTO verkaeufer (vknr, gep_a, gep_b, nachname, vorname, filiale, mand_a, mand_b,"
                          " praemienberechtigt) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const auto& v : M.Verkaeufer) {
        Zeile(sv, v.VkNr, v.Gep.A, v.Gep.B, v.Nachname, v.Vorname, v.Filiale, v.Mandant.A, v.Mandant.B,
              v.Praemienberechtigt ? 1 : 0);
        ++E.Verkaeufer;
    }
}

void DemoBenutzerSchreiben(TRDLDatenbank& ADb, const std::string& ALoginName, TDemoErgebnis& E) {
    // The program right and the rights of the evaluations below it.
    static const char* const CRechte[] = {"441", "441.442", "441.443", "441.444"};
    std::vector<std::pair<std::string, std::string>> benutzer;
    if (!ALoginName.empty() && ALoginName != "demo") benutzer.emplace_back(ALoginName, ALoginName);
    benutzer.emplace_back("demo", "Demo-Benutzer");

    auto sb = ADb.Prepare("INSERT INTO benutzer (name, voller_name, alle_rechte) VALUES (?, ?, 0)");
    auto sr = ADb.Prepare("INSERT INTO benutzerrecht (benutzer, recht) VALUES (?, ?)");
    for (const auto& [name, vollerName] : benutzer) {
        Zeile(sb, name, vollerName);
        ++E.Benutzer;
        for (const char* recht : CRechte) {
            Zeile(sr, name, recht);
            ++E.Rechte;
        }
    }
}
