// quendrix-bild: renders a window of the evaluation centre on an installation to a
// PNG, without a display (the pictures of the README).
#include "quendrixmain.h"
#include "quendrixmodule.h"
#include "rdldatenbank.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"

#include <QApplication>
#include <QPixmap>

#include <iostream>
#include <string>
#include <vector>

namespace {

const char* CAufruf = "Aufruf: quendrix-bild --db PFAD --out DATEI.png [--user NAME]\n"
                      "Zeichnet das Katalogfenster des Auswertungs-Centers in eine PNG-Datei.\n";

} // namespace

int main(int argc, char** argv) {
    std::string db, aus, benutzer = "demo";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--db" || a == "--out" || a == "--user") && i + 1 < argc) {
            (a == "--db" ? db : a == "--out" ? aus : benutzer) = argv[++i];
        } else {
            std::cerr << CAufruf;
            return 2;
        }
    }
    if (db.empty() || aus.empty()) {
        std::cerr << CAufruf;
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        QuendrixAuswertungenRegistrieren();
        RDLProgramm().DatenbankSetzen(TRDLDatenbank::Oeffnen(db));
        RDLProgramm().BenutzerSetzen(benutzer);
        RDLProgramm().Init("Quendrix", TEnumProzessTypen::ptAnwendung, TPVR_InstanceCount::icBeliebig, 0, true);
        RDLProgramm().OhneDialogeSetzen(true);
        TKOV_Quendrix_MainFrm fenster;
        fenster.resize(792, 566);
        fenster.show();
        QApplication::processEvents();
        if (!fenster.grab().save(QString::fromStdString(aus), "PNG")) {
            std::cerr << "Die Datei \u201E" << aus << "\u201C konnte nicht geschrieben werden.\n";
            return 1;
        }
    } catch (const std::exception& E) {
        std::cerr << E.what() << '\n';
        return 1;
    }
    return 0;
}
