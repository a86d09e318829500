// quendrix-bild: renders a window of the evaluation centre on an installation to a
// PNG, without a display (the pictures of the README).
#include "quendrixmain.h"
#include "quendrixmodule.h"
#include "rdldatenbank.h"
#include "rdldeutsch.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdlprogress.h"
#include "rdlprogressfenster.h"
#include "rdldatum.h"
#include "artbest_gr_csv_auswfrm.h"
#include "persrabfrm.h"
#include "swwaausw.h"
#include "umsauswmainfrm.h"
#include "versfilauswfrm.h"
#include "vtrdlvrlist.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include <iostream>
#include <string>
#include <vector>

namespace {

const char* CAufruf =
    "Aufruf: quendrix-bild --db PFAD --out DATEI.png [--user NAME] [--fenster katalog|umsatz|versand|schwware|artbest|persrab]\n"
    "Zeichnet ein Fenster des Auswertungs-Centers in eine PNG-Datei: den Katalog,\n"
    "die Umsatzauswertung mit ihren Vorgaben (die letzten 7 Tage, nach Tag und\n"
    "Mandant gruppiert, ein Vorjahr) oder die Versandfilialen-Auswertung mit ihren\n"
    "Vorgaben (die letzten 7 Tage der Versandfilialen, nach Filiale, stationär/online\n"
    "und Plattform gruppiert) oder die schwimmende Ware der letzten 90 Tage oder den\n"
    "Artikelbestandsexport bei der Arbeit oder die Personalrabatte der letzten 90 Tage\n"
    "(nach Mandant, Mitarbeiter und Monat gruppiert).\n";

bool Speichern(QWidget& AFenster, const std::string& AAus) {
    AFenster.show();
    QApplication::processEvents();
    return AFenster.grab().save(QString::fromStdString(AAus), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    std::string db, aus, benutzer = "demo", fenster = "katalog";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--db" || a == "--out" || a == "--user" || a == "--fenster") && i + 1 < argc) {
            (a == "--db" ? db : a == "--out" ? aus : a == "--user" ? benutzer : fenster) = argv[++i];
        } else {
            std::cerr << CAufruf;
            return 2;
        }
    }
    if (db.empty() || aus.empty() || (fenster != "katalog" && fenster != "umsatz" && fenster != "versand" &&
                                           fenster != "schwware" && fenster != "artbest" &&
                                           fenster != "persrab")) {
        std::cerr << CAufruf;
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The pictures show what a German desktop shows, also when rendered under LC_ALL=C.
    RDLQtDeutschEinrichten();
    try {
        QuendrixAuswertungenRegistrieren();
        RDLProgramm().DatenbankSetzen(TRDLDatenbank::Oeffnen(db));
        RDLProgramm().BenutzerSetzen(benutzer);
        RDLProgramm().Init("Quendrix", TEnumProzessTypen::ptAnwendung, TPVR_InstanceCount::icBeliebig, 0, true);
        RDLProgramm().OhneDialogeSetzen(true);
        RDLProgressFenster_Installieren();
        bool ok = false;
        if (fenster == "katalog") {
            TKOV_Quendrix_MainFrm f;
            f.resize(792, 566);
            ok = Speichern(f, aus);
        } else if (fenster == "schwware") {
            // The last 90 days up to yesterday.
            TKOV_SchwWarefrm f;
            f.resize(1100, 640);
            f.edtZeitraumVon->setText(QString::fromStdString(DateToStr(rdl_Today() - 90)));
            f.edtZeitraumBis->setText(QString::fromStdString(DateToStr(rdl_Today() - 1)));
            f.show();
            QApplication::processEvents();
            f.btnStartClick();
            ok = Speichern(f, aus);
        } else if (fenster == "persrab") {
            // The last 90 days up to yesterday, grouped; the staff members' months shown.
            TKOV_PersRabfrm f;
            f.resize(1100, 640);
            f.edtVon->setText(QString::fromStdString(DateToStr(rdl_Today() - 90)));
            f.edtBis->setText(QString::fromStdString(DateToStr(rdl_Today() - 1)));
            f.show();
            QApplication::processEvents();
            f.btnStartClick();
            f.btnGruppierenClick();
            f.vtPersRab->ExpandTree(2);
            ok = Speichern(f, aus);
        } else if (fenster == "artbest") {
            // The stock export while it writes.
            TKOV_ArtBest_CSV_Export_Frm f;
            f.edtFilePath->setText(QStringLiteral("/home/demo/Jahresabschluss/bestand_2025.csv"));
            f.ToggleAnzeige(true);
            f.lblDetails->setText(QStringLiteral("Exportiere Artikel: 10017"));
            ok = Speichern(f, aus);
        } else if (fenster == "versand") {
            TKOV_VersFilAuswertFrm f;
            f.resize(1000, 720);
            f.show();
            QApplication::processEvents();
            f.vtVersandfilialen->ExpandTree(2); // branches, stationary and online, platforms
            ok = Speichern(f, aus);
        } else {
            // The figures come from the statistics where they exist, else from the lines.
            TKOV_UmsatzAuswertFrm f;
            f.resize(1500, 860);
            f.show();
            QApplication::processEvents();
            f.vtUmsaetze->ExpandTree(1); // days with their clients
            ok = Speichern(f, aus);
        }
        if (!ok) {
            std::cerr << "Die Datei \u201E" << aus << "\u201C konnte nicht geschrieben werden.\n";
            return 1;
        }
    } catch (const std::exception& E) {
        std::cerr << E.what() << '\n';
        return 1;
    }
    return 0;
}
