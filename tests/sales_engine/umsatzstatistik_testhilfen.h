#pragma once
// What the tests of the statistics file share: sales lines written as a till writes them,
// computers and opening hours, and the file's rows and processing state as comparable text.
#include "testumgebung.h"
#include "umsatzumszmani_base.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

inline const TIntPair CMandant1{1, 1}, CMandant2{2, 1};

inline double Uhr(int AStunde, int AMinute) { return EncodeTime(AStunde, AMinute); }

// One sales line as a till writes it (plain SQL, its own transaction).
struct TZeile {
    TIntPair Mandant = CMandant1;
    int Rechner = 11, TransNr = 1, PosNr = 1;
    TDate Datum = 0;
    double Uhrzeit = 0.5;
    int Filiale = 1;
    std::string Satzart = "VK";
    double Betrag = 10;
    TInt32Trio ProdId{};
    int Herkunft = 0;
    // Unset: 1 or -1 after the amount's sign, 1.19 times the amount, "A-<product>", half
    // the amount.
    std::optional<int> Menge;
    std::optional<double> Betrag2;
    std::optional<std::string> ArtNr;
    std::optional<double> EK;
};

inline void ZeileSchreiben(TRDLDatenbank& ADb, const TZeile& Z) {
    auto st = ADb.Prepare("INSERT INTO lst (mand_a, mand_b, rechner, transnr, posnr, datum, uhrzeit, filiale, satzart,"
                          " prod_a, prod_b, prod_c, artnr, menge, betrag, betrag2, ek, herkunft)"
                          " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    int i = 1;
    for (int v : {Z.Mandant.A, Z.Mandant.B, Z.Rechner, Z.TransNr, Z.PosNr}) st.Bind(i++, int64_t(v));
    st.Bind(i++, Z.Datum);
    st.Bind(i++, Z.Uhrzeit);
    st.Bind(i++, int64_t(Z.Filiale));
    st.Bind(i++, Z.Satzart);
    for (int v : {Z.ProdId.A, Z.ProdId.B, Z.ProdId.C}) st.Bind(i++, int64_t(v));
    st.Bind(i++, Z.ArtNr.value_or(Z.ProdId.IsEmpty() ? "" : "A-" + std::to_string(Z.ProdId.A)));
    st.Bind(i++, int64_t(Z.Menge.value_or(Z.Betrag < 0 ? -1 : 1)));
    st.Bind(i++, Z.Betrag);
    st.Bind(i++, Z.Betrag2.value_or(Z.Betrag * 1.19));
    st.Bind(i++, Z.EK.value_or(Z.Betrag / 2));
    st.Bind(i++, int64_t(Z.Herkunft));
    st.Step();
}

// The tills: transaction numbers ascend per client and computer.
struct TKassen {
    std::map<std::pair<TIntPair, int>, int> Letzte;
    // One receipt of AAnzahl lines; AFuellen(z, p) sets what line p has beyond its place.
    template <class TFuellen>
    int BelegMit(TRDLDatenbank& ADb, TIntPair AMandant, int ARechner, int AFiliale, TDate ATag, double AUhr,
                 size_t AAnzahl, TFuellen AFuellen) {
        const int nr = ++Letzte[{AMandant, ARechner}];
        for (size_t p = 0; p < AAnzahl; ++p) {
            TZeile z;
            z.Mandant = AMandant;
            z.Rechner = ARechner;
            z.TransNr = nr;
            z.PosNr = int(p) + 1;
            z.Datum = ATag;
            z.Uhrzeit = AUhr;
            z.Filiale = AFiliale;
            AFuellen(z, p);
            ZeileSchreiben(ADb, z);
        }
        return nr;
    }
    int Beleg(TRDLDatenbank& ADb, TIntPair AMandant, int ARechner, int AFiliale, TDate ATag, double AUhr,
              std::vector<double> ABetraege, std::string ASatzart = "VK") {
        return BelegMit(ADb, AMandant, ARechner, AFiliale, ATag, AUhr, ABetraege.size(), [&](TZeile& z, size_t p) {
            z.Satzart = ASatzart;
            z.Betrag = ABetraege[p];
            z.Herkunft = p == 2 ? 7 : 0;
        });
    }
};

inline void RechnerAnlegen(TRDLDatenbank& ADb, int ANr, int AFiliale) {
    auto st = ADb.Prepare("INSERT INTO rechner (rechner, name, filiale) VALUES (?, ?, ?)");
    st.Bind(1, int64_t(ANr));
    st.Bind(2, "Kasse " + std::to_string(ANr));
    st.Bind(3, int64_t(AFiliale));
    st.Step();
}

// Monday to Saturday 9-12 and 14-18.
inline void OeffnungszeitenAnlegen(TRDLDatenbank& ADb, int AFiliale) {
    for (int wt = 1; wt <= 6; ++wt)
        for (auto [nr, von, bis] : {std::tuple{1, Uhr(9, 0), Uhr(12, 0)}, std::tuple{2, Uhr(14, 0), Uhr(18, 0)}}) {
            auto st = ADb.Prepare("INSERT INTO betriebszeit (filiale, wochentag, nr, von, bis) VALUES (?, ?, ?, ?, ?)");
            st.Bind(1, int64_t(AFiliale));
            st.Bind(2, int64_t(wt));
            st.Bind(3, int64_t(nr));
            st.Bind(4, von);
            st.Bind(5, bis);
            st.Step();
        }
}

inline std::string Zahl(double A) {
    char b[40];
    std::snprintf(b, sizeof b, "%.17g", A);
    return b;
}

// Every row of umst, in key order, with its figures.
inline std::vector<std::string> UmstZeilen(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare("SELECT kennung, mand_a, mand_b, orge_a, orge_b, filiale, datum, ganztag, von, bis, daten"
                          " FROM umst ORDER BY kennung, mand_a, mand_b, orge_a, orge_b, datum, ganztag, von, bis");
    std::vector<std::string> z;
    while (st.Step()) {
        std::string s = st.ColText(0);
        for (int c : {1, 2, 3, 4, 5, 7}) s += " " + std::to_string(st.ColInt(c));
        for (int c : {6, 8, 9}) s += " " + Zahl(st.ColDouble(c));
        TKOV_Umsatzdaten_UmsAusw d;
        EXPECT_TRUE(TKOV_UmsDataOperator_UmsAusw::Blob_2_Daten(st.ColBlob(10), d));
        for (double w : d.Werte) s += " " + Zahl(w);
        z.push_back(s);
    }
    return z;
}

inline std::vector<std::string> UmsvZeilen(TRDLDatenbank& ADb) {
    auto st = ADb.Prepare("SELECT kennung, mand_a, mand_b, rechner, transnr FROM umsv ORDER BY kennung, mand_a, mand_b, rechner");
    std::vector<std::string> z;
    while (st.Step())
        z.push_back(st.ColText(0) + " " + std::to_string(st.ColInt(1)) + "/" + std::to_string(st.ColInt(2)) + " " +
                    std::to_string(st.ColInt(3)) + " " + std::to_string(st.ColInt(4)));
    return z;
}

// Today and the message hook are process-wide: both go back with the installation.
struct TUmgebungMitHeute : TTestUmgebung {
    using TTestUmgebung::TTestUmgebung;
    ~TUmgebungMitHeute() {
        rdl_HeuteFestlegen(0);
        RDLInfo().ProcessMessagesHookSetzen({});
    }
};

// Ends the run where it stands, as a killed process would: no handler of the engine
// catches it (they catch std::exception only).
struct TProzessEnde {};

// A line between a test and the process it started (pipe ends; no line end in the text).
inline std::string PipeZeileLesen(int AFd) {
    std::string z;
    char c;
    while (read(AFd, &c, 1) == 1 && c != '\n') z += c;
    return z;
}
inline void PipeZeileSchreiben(int AFd, const std::string& AZeile) {
    const std::string z = AZeile + "\n";
    if (write(AFd, z.data(), z.size()) != ssize_t(z.size())) _exit(3);
}
