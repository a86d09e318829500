#pragma once
// A generated installation in an SQLite file for the benchmarks that time the engine
// and the windows on realistic data.
#include "bench_gemeinsam.h"
#include "demo/demo.h"
#include "rdldatenbank.h"
#include "rdldatum.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"

#include <memory>

#include <cstdio>
#include <filesystem>
#include <string>

// Writes the demo installation (AFilialen branches, ATage days up to AHeute) into APfad
// and prints what it holds.
inline TDemoErgebnis BenchInstallationErzeugen(const std::string& APfad, int AFilialen, int ATage, TDateTime AHeute) {
    const auto t0 = Uhr::now();
    auto db = TRDLDatenbank::Anlegen(APfad, true);
    TDemoOptionen o;
    o.Filialen = AFilialen;
    o.Tage = ATage;
    o.Heute = AHeute;
    o.Benutzer = "bench";
    TDemoErgebnis e;
    {
        RDLBuchung buchung(*db);
        e = DemoErzeugen(*db, o);
        buchung.Beenden();
    }
    db->NachMassenladen();
    std::printf("installation: %d branches, %d days (%s to %s), %lld lines in %lld transactions, %.1f s, %lld MB\n",
                AFilialen, ATage, DateToStr(e.ErsterTag).c_str(), DateToStr(e.LetzterTag).c_str(),
                (long long)e.Umsatzzeilen, (long long)e.Transaktionen, Sekunden(t0),
                (long long)(std::filesystem::file_size(APfad) >> 20));
    return e;
}

// A fresh program and info object on ADb, as a run without dialogs of user "bench".
inline void BenchUmgebung(std::shared_ptr<TRDLDatenbank> ADb) {
    RDLInfo_Ersetzen(std::make_unique<TRDLInfo>());
    RDLProgramm_Ersetzen(std::make_unique<TRDLProgramm>());
    RDLProgramm().OhneDialogeSetzen(true);
    RDLProgramm().BenutzerSetzen("bench");
    RDLProgramm().InstallationSetzen(1, "ODRIKS00");
    RDLProgramm().DatenbankSetzen(std::move(ADb));
}
