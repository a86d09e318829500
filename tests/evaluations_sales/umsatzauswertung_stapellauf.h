#pragma once
// The sales evaluation run from the command line in this process, over the days of the
// fixture installation (szenario.h), as a script runs it.
#include "stapelaufruf.h"
#include "szenario.h"

#include "quendrix.h"
#include "quendrixmodule.h"
#include "rdldatum.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// quendrix --db … --user tester -kn UMSAUSW -autoreport --von <first day> --bis <last day>
// AOptionen; the exit code. AFehler gets what the run told on standard error (its own
// stream and the process's, where registered failures go), AAusgabe its standard output.
inline int UmsatzauswertungStapel(TTestDatenbankOrt& AOrt, const std::vector<std::string>& AOptionen,
                                  std::string& AFehler, std::string* AAusgabe = nullptr) {
    rdl_HeuteFestlegen(szenario::CErsterTag + szenario::CTage + 0.5);
    struct TZurueck {
        ~TZurueck() { rdl_HeuteFestlegen(0); }
    } zurueck;
    std::vector<std::string> args = {"--db", AOrt.Ort(), "--user", "tester", "-kn", "UMSAUSW", "-autoreport",
                                     "--von", DateToStr(szenario::CErsterTag), "--bis",
                                     DateToStr(szenario::CErsterTag + szenario::CTage - 1)};
    args.insert(args.end(), AOptionen.begin(), AOptionen.end());
    return QuendrixStapelAufruf(args, AFehler, AAusgabe);
}
