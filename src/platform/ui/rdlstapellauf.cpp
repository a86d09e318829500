#include "rdlstapellauf.h"
#include "kovzeitraumeingabe.h"

#include "exceptions.h"
#include "rdldatum.h"
#include "rdlereignis.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "rdltext.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QObject>

#include <algorithm>
#include <iostream>
#include <map>

namespace {

// Exit code of a run whose command line could not be read.
constexpr int CExitAufruf = 2;

bool Aufruffehler(const std::string& AText, const std::vector<TRDLStapelOption>& AOptionen) {
    RDLProgramm().LaufExitCodeSetzen(CExitAufruf);
    RDLInfo().ShowMeldung("STANDARD", 994, {AText + "\nOptionen dieser Auswertung:\n" + RDLStapelHilfe(AOptionen)},
                          mkFehler);
    return false;
}

} // namespace

QEvent::Type TRDLTextNachricht::Typ() {
    static const QEvent::Type t = QEvent::Type(QEvent::registerEventType());
    return t;
}

std::string ReceiveStringMessage(const TRDLTextNachricht& ANachricht) { return ANachricht.Text().toStdString(); }

bool RDLTextNachrichtSenden(QObject* AZiel, int ANummer, const std::string& AText) {
    if (!AZiel) return false;
    TRDLTextNachricht n(ANummer, QString::fromStdString(AText));
    QCoreApplication::sendEvent(AZiel, &n);
    return n.Erfolg;
}

bool RDLErgebnisNachrichtBehandeln(QEvent* AEvent, const std::function<bool(const std::string&)>& ASpeichern) {
    if (!AEvent || AEvent->type() != TRDLTextNachricht::Typ()) return false;
    auto* n = static_cast<TRDLTextNachricht*>(AEvent);
    if (n->Nummer() != CRDL_Nachricht_ErgebnisSpeichern) return false;
    n->Erfolg = KOV_GeschuetztWert("HandleMessage", true, false,
                                   [&] { return ASpeichern && ASpeichern(ReceiveStringMessage(*n)); });
    // Whoever waits for the event reads the file then: only a written one is a result.
    if (n->Erfolg) KOV_SetEvent(CKOV_Event_ErgebnisBereit);
    return true;
}

std::vector<TRDLStapelOption> RDLStapelGemeinsameOptionen(std::string& AExport, std::string& APdf) {
    return {
        {"--export", "DATEI", "schreibt das Ergebnis als CSV-Datei (\u201E;\u201C, Windows-1252)",
         [&AExport](const std::string& w) { AExport = w; }},
        {"--print", "DATEI.pdf", "druckt das Ergebnis in eine PDF-Datei", [&APdf](const std::string& w) { APdf = w; }},
    };
}

bool RDLStapelHilfeGewuenscht() {
    const auto& args = RDLProgramm().AuswertungsArgumente();
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

std::string RDLStapelHilfe(const std::vector<TRDLStapelOption>& AOptionen) {
    std::string t;
    for (const auto& o : AOptionen) {
        if (!o.InHilfe) continue;
        std::string kopf = "  " + o.Name + (o.Wert.empty() ? "" : " " + o.Wert);
        if (kopf.size() < 26) kopf.resize(26, ' ');
        else kopf += ' ';
        t += kopf + o.Hilfe + "\n";
    }
    return t;
}

bool RDLStapellauf(IRDLStapelFenster& AFenster) {
    std::string exportDatei, pdfDatei;
    std::vector<TRDLStapelOption> optionen = RDLStapelGemeinsameOptionen(exportDatei, pdfDatei);
    if (!AFenster.StapelKannDrucken())
        for (auto& o : optionen)
            if (o.Name == "--print") o.InHilfe = false;
    for (auto& o : AFenster.StapelOptionen()) optionen.push_back(std::move(o));
    std::map<std::string, const TRDLStapelOption*> nachName;
    for (const auto& o : optionen) nachName[o.Name] = &o;

    if (RDLStapelHilfeGewuenscht()) {
        std::cout << "Optionen dieser Auswertung:\n" << RDLStapelHilfe(optionen) << std::flush;
        return true;
    }
    AFenster.StapelVorgaben();
    const std::vector<std::string>& args = RDLProgramm().AuswertungsArgumente();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto gleich = a.find('=');
        const std::string name = a.substr(0, gleich);
        const auto it = nachName.find(name);
        if (a.rfind("--", 0) != 0 || it == nachName.end())
            return Aufruffehler("Unbekannte Option \u201E" + a + "\u201C.", optionen);
        const TRDLStapelOption& o = *it->second;
        std::string wert;
        if (o.Wert.empty()) {
            if (gleich != std::string::npos)
                return Aufruffehler("Die Option \u201E" + name + "\u201C hat keinen Wert.", optionen);
        } else if (gleich != std::string::npos) {
            wert = a.substr(gleich + 1);
        } else if (i + 1 < args.size()) {
            wert = args[++i];
        }
        if (!o.Wert.empty() && wert.empty())
            return Aufruffehler("Die Option \u201E" + name + "\u201C braucht einen Wert (" + o.Wert + ").", optionen);
        try {
            o.Anwenden(wert);
        } catch (const std::exception& E) {
            return Aufruffehler("Die Option \u201E" + name + "\u201C: " + E.what(), optionen);
        }
    }
    if (std::string fehler; !AFenster.StapelPruefen(fehler)) return Aufruffehler(fehler, optionen);
    if (exportDatei.empty() == pdfDatei.empty())
        return Aufruffehler(AFenster.StapelKannDrucken()
                                ? "Bitte genau eine der Optionen --export DATEI oder --print DATEI.pdf angeben."
                                : "Bitte die Option --export DATEI angeben.",
                            optionen);

    // A result built only in part is no result: nothing is written.
    if (!AFenster.StapelSelektion()) return false;
    if (!exportDatei.empty()) {
        // The same way an outside program asks a running window for its result.
        if (!RDLTextNachrichtSenden(&AFenster.StapelZiel(), CRDL_Nachricht_ErgebnisSpeichern, exportDatei)) {
            RDLInfo().ShowMeldung("STANDARD", 1108, {exportDatei}, mkFehler);
            return false;
        }
        return true;
    }
    if (!AFenster.StapelDrucken(pdfDatei)) {
        RDLInfo().ShowMeldung("STANDARD", 1108, {pdfDatei}, mkFehler);
        return false;
    }
    return true;
}

// --- option values ------------------------------------------------------------------------------

std::vector<TRDLStapelOption> RDLStapelZeitraumOptionen(std::function<void(bool AVon, TDate ATag)> ASetzen,
                                                        const std::string& AVonHilfe, const std::string& ABisHilfe) {
    return {
        {"--von", "TT.MM.JJJJ", AVonHilfe, [=](const std::string& w) { ASetzen(true, RDLStapelDatum(w)); }},
        {"--bis", "TT.MM.JJJJ", ABisHilfe, [=](const std::string& w) { ASetzen(false, RDLStapelDatum(w)); }},
    };
}

std::vector<TRDLStapelOption> RDLStapelZeitraumOptionen(TKOV_ZeitraumEingabe* AZeitraum) {
    return RDLStapelZeitraumOptionen(
        [AZeitraum](bool AVon, TDate ATag) {
            TKOV_VonBisDatum z = AZeitraum->Zeitraum_Get();
            (AVon ? z.Von : z.Bis) = ATag;
            AZeitraum->Zeitraum_Set(z);
        },
        "erster Tag (Vorgabe: vor 7 Tagen)", "letzter Tag (Vorgabe: gestern)");
}

int RDLStapelGanzzahl(const std::string& AWert, int AMin, int AMax) {
    size_t n = 0;
    int v = 0;
    try {
        v = std::stoi(AWert, &n);
    } catch (const std::exception&) {
        n = 0;
    }
    if (n == 0 || n != AWert.size() || v < AMin || v > AMax)
        throw EConvertError("\u201E" + AWert + "\u201C ist keine Zahl von " + std::to_string(AMin) + " bis " +
                            std::to_string(AMax) + ".");
    return v;
}

TDate RDLStapelDatum(const std::string& AWert) {
    TDateTime d = 0;
    if (!TryStrToDate(AWert, d)) throw EConvertError("\u201E" + AWert + "\u201C ist kein Datum (TT.MM.JJJJ).");
    return DateOf(d);
}

void RDLStapelComboWaehlen(QComboBox* ACombo, const std::string& AWert) {
    const int v = RDLStapelGanzzahl(AWert, 0, std::max(0, ACombo->count() - 1));
    const int i = ACombo->findData(v);
    ACombo->setCurrentIndex(i >= 0 ? i : v);
}

std::vector<std::string> RDLStapelListe(const std::string& AText) { return RDLListenTeile(AText); }

std::string RDLStapelAuswahlen(const QComboBox* ACombo) {
    std::string t;
    for (int i = 0; i < ACombo->count(); ++i)
        t += (t.empty() ? "" : ", ") + std::to_string(i) + " " + ACombo->itemText(i).toStdString();
    return t;
}

int RDLStapelGruppierung(const QComboBox* ACombo, const std::string& AWert) {
    const auto ohneLeer = [](const QString& s) { return s.toCaseFolded().remove(QLatin1Char(' ')); };
    const QString gesucht = ohneLeer(QString::fromStdString(AWert));
    for (int i = 0; i < ACombo->count(); ++i)
        if (ohneLeer(ACombo->itemText(i)) == gesucht) return i;
    if (!AWert.empty() && std::all_of(AWert.begin(), AWert.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return RDLStapelGanzzahl(AWert, 0, ACombo->count() - 1);
    throw EConvertError("\u201E" + AWert + "\u201C ist keine Gruppierung; möglich sind: " + RDLStapelAuswahlen(ACombo) + ".");
}

