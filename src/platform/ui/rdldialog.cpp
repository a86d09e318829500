#include "rdldialog.h"
#include "rdlinfo.h"
#include "rdlkalender.h"
#include "rdlprogramm.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

namespace {

std::unique_ptr<IRDLDialoge>& GesetzteDialoge() {
    static std::unique_ptr<IRDLDialoge> d;
    return d;
}

TRDLDateiOeffner& Oeffner() {
    static TRDLDateiOeffner o = [](const std::string& AName) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(AName)));
    };
    return o;
}

QString Filter(const std::vector<TRDLDateiTyp>& ATypen) {
    QStringList teile;
    for (const auto& t : ATypen)
        teile << QString::fromStdString(t.Anzeigename + " (" + t.Maske + ")");
    return teile.join(QStringLiteral(";;"));
}

} // namespace

TRDLDialogAntwort TRDLVorgabeDialoge::Naechste() {
    if (FAntworten.empty()) return TRDLDialogAntwort::Abbrechen();
    auto a = std::move(FAntworten.front());
    FAntworten.pop_front();
    return a;
}

bool TRDLVorgabeDialoge::DateiSpeichern(std::string& AName, const std::string& AOrdner,
                                        const std::vector<TRDLDateiTyp>& ATypen, bool AUeberschreibenFragen,
                                        const std::string&) {
    Aufrufe.push_back({"DateiSpeichern", AOrdner, ATypen});
    const auto a = Naechste();
    if (a.Art != TRDLDialogAntwort::Datei) return false;
    // A relative answer lies in the folder the dialog opened in, as if typed there.
    std::filesystem::path p(a.Text);
    if (p.is_relative() && !AOrdner.empty()) p = std::filesystem::path(AOrdner) / p;
    if (AUeberschreibenFragen && std::filesystem::exists(p)) {
        Aufrufe.push_back({"Ueberschreiben", p.string(), {}});
        if (Naechste().Art != TRDLDialogAntwort::Ja) return false;
    }
    AName = p.string();
    return true;
}

bool TRDLVorgabeDialoge::SelectDirectory(const std::string& APrompt, std::string& AOrdner) {
    Aufrufe.push_back({"SelectDirectory", APrompt, {}});
    const auto a = Naechste();
    if (a.Art != TRDLDialogAntwort::Ordner) return false;
    AOrdner = a.Text;
    return true;
}

bool TRDLVorgabeDialoge::DatumWaehlen(TDateTime& ADatum, const std::string& ATitel) {
    Aufrufe.push_back({"DatumWaehlen", ATitel, {}});
    const auto a = Naechste();
    if (a.Art != TRDLDialogAntwort::Datum) return false;
    ADatum = a.Wert;
    return true;
}

bool TRDLVorgabeDialoge::JaNein(const std::string& AText) {
    Aufrufe.push_back({"JaNein", AText, {}});
    return Naechste().Art == TRDLDialogAntwort::Ja;
}

bool TRDLVorgabeDialoge::TrefferWaehlen(TRDLTrefferSuche& ASuche, int& AAuswahl) {
    Aufrufe.push_back({"TrefferWaehlen", ASuche.Text, {}});
    const auto a = Naechste();
    if (a.Art != TRDLDialogAntwort::Treffer) return false;
    if (!a.Text.empty()) ASuche.Text = a.Text;
    const int nr = int(a.Wert);
    const auto treffer = ASuche.Treffer ? ASuche.Treffer(ASuche.Text) : std::vector<std::string>{};
    if (nr < 0 || nr >= int(treffer.size())) return false;
    AAuswahl = nr;
    return true;
}

bool TRDLQtDialoge::DateiSpeichern(std::string& AName, const std::string& AOrdner,
                                   const std::vector<TRDLDateiTyp>& ATypen, bool AUeberschreibenFragen,
                                   const std::string& ATitel) {
    QFileDialog dlg(QApplication::activeWindow(), QString::fromStdString(ATitel), QString::fromStdString(AOrdner),
                    Filter(ATypen));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !AUeberschreibenFragen);
    if (!ATypen.empty()) {
        // The typed name gets the first type's extension when it has none.
        const std::string& m = ATypen.front().Maske;
        if (m.rfind("*.", 0) == 0) dlg.setDefaultSuffix(QString::fromStdString(m.substr(2)));
    }
    if (!AName.empty()) dlg.selectFile(QString::fromStdString(AName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    AName = QDir::toNativeSeparators(dlg.selectedFiles().front()).toStdString();
    return true;
}

bool TRDLQtDialoge::SelectDirectory(const std::string& APrompt, std::string& AOrdner) {
    const QString d = QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString::fromStdString(APrompt),
                                                        QString::fromStdString(AOrdner));
    if (d.isEmpty()) return false;
    AOrdner = QDir::toNativeSeparators(d).toStdString();
    return true;
}

bool TRDLQtDialoge::DatumWaehlen(TDateTime& ADatum, const std::string& ATitel) {
    TCalendarDialog dlg(QApplication::activeWindow());
    if (!ATitel.empty()) dlg.setWindowTitle(QString::fromStdString(ATitel));
    return dlg.Execute(ADatum);
}

bool TRDLQtDialoge::JaNein(const std::string& AText) {
    return QMessageBox::question(QApplication::activeWindow(), QString::fromStdString(RDLProgramm().Title()),
                                 QString::fromStdString(AText), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

IRDLDialoge& RDLDialoge() {
    if (auto& d = GesetzteDialoge()) return *d;
    // Chosen per call, so a program that switches to batch mode later gets no windows.
    static TRDLQtDialoge qt;
    static TRDLVorgabeDialoge ohne;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && !RDLProgramm().OhneDialoge()) return qt;
    ohne = TRDLVorgabeDialoge(); // never grows: nobody answers in advance here
    return ohne;
}

std::unique_ptr<IRDLDialoge> RDLDialoge_Ersetzen(std::unique_ptr<IRDLDialoge> ANeu) {
    auto alt = std::move(GesetzteDialoge());
    GesetzteDialoge() = std::move(ANeu);
    return alt;
}

std::string GetDirWwsByName(int ANummer) {
    std::filesystem::path p;
    if (ANummer == 8 || ANummer == 18) {
        if (const char* e = std::getenv("QUENDRIX_EXPORT"); e && *e)
            p = e;
        else
            p = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    }
    if (p.empty()) p = std::filesystem::current_path();
    std::error_code ec;
    std::filesystem::create_directories(p, ec);
    return p.string();
}

bool RDLCSVExportDateiWaehlen(std::string& AName) {
    return RDLDialoge().DateiSpeichern(AName, GetDirWwsByName(8), {CSVExportDateiTyp()}, true);
}

TRDLDateiOeffner RDLDateiOeffner_Ersetzen(TRDLDateiOeffner ANeu) {
    auto alt = std::move(Oeffner());
    Oeffner() = std::move(ANeu);
    return alt;
}

bool RDLExportErgebnisMelden(bool AErfolg, const std::string& ADateiName) {
    if (!AErfolg) {
        RDLInfo().ShowMeldung("STANDARD", 1108, {ADateiName}, mkFehler);
        return false;
    }
    if (RDLInfo().ShowDlgMeldung("STANDARD", 1107, {ADateiName}, mkFrage) != mrYes) return false;
    const auto& o = Oeffner();
    return o && o(ADateiName);
}
