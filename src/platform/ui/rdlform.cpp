#include "rdlform.h"
#include "rdlinfo.h"
#include "rdlprogramm.h"
#include "suitetabellen.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QScreen>

namespace {

// The settings need the installation database; without one the form just opens where
// Qt puts it.
bool Speicherbar(const std::string& AFormName, int AModus) {
    return !AFormName.empty() && AModus != fpsKeine && RDLProgramm().HatDatenbank();
}

bool AufEinemBildschirm(const QRect& ARect) {
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().intersects(ARect)) return true;
    return false;
}

int Zahl(const TSimpleMask& AMaske, const char* AKey, bool& AOk) {
    const std::string s = AMaske.ReadTerminalDef(AKey, "");
    try {
        size_t n = 0;
        const int v = std::stoi(s, &n);
        if (n != s.size()) AOk = false;
        return v;
    } catch (const std::exception&) {
        AOk = false;
        return 0;
    }
}

} // namespace

TRDLForm::TRDLForm(QWidget* AEltern, std::string ATraceKlasse)
    : QDialog(AEltern), FTraceKlasse(std::move(ATraceKlasse)) {}

QLabel* TRDLForm::KopfPanelErzeugen(const QString& AText, QWidget* AEltern) {
    auto* kopf = new QLabel(AText, AEltern);
    kopf->setObjectName(QStringLiteral("pnlHeader"));
    kopf->setFrameShape(QFrame::StyledPanel);
    kopf->setMargin(7);
    QFont schrift = kopf->font();
    schrift.setPointSizeF(schrift.pointSizeF() * 1.5);
    schrift.setBold(true);
    kopf->setFont(schrift);
    return kopf;
}

void TRDLForm::closeEvent(QCloseEvent* AEvent) {
    if (!FormCloseQuery()) {
        AEvent->ignore();
        return;
    }
    QDialog::closeEvent(AEvent);
}

void TRDLForm::reject() {
    if (FormCloseQuery()) QDialog::reject();
}

void TRDLForm::RDLFormInit(const std::string& AFormName, bool APositionLaden) {
    KOV_Geschuetzt("TRDLForm.RDLFormInit", true, [&] {
        FFormName = AFormName;
        setObjectName(QString::fromStdString(AFormName));
        if (!APositionLaden || !Speicherbar(FFormName, FModus)) return;
        const TSimpleMask maske(CBereich, FFormName);
        bool ok = true;
        const int x = Zahl(maske, "Left", ok), y = Zahl(maske, "Top", ok);
        if (!ok) return; // never stored, or damaged
        QSize groesse = size();
        if (FModus == fpsPositionUndGroesse) {
            bool gok = true;
            const QSize g(Zahl(maske, "Width", gok), Zahl(maske, "Height", gok));
            if (gok && g.width() > 0 && g.height() > 0) groesse = g.expandedTo(minimumSize());
        }
        if (!AufEinemBildschirm(QRect(QPoint(x, y), groesse))) return;
        resize(groesse);
        move(x, y);
    });
}

void TRDLForm::RDLFormPosSpeichern() {
    KOV_Geschuetzt("TRDLForm.RDLFormPosSpeichern", false, [&] {
        if (!Speicherbar(FFormName, FModus)) return;
        const TSimpleMask maske(CBereich, FFormName);
        maske.WriteTerminal("Left", std::to_string(x()));
        maske.WriteTerminal("Top", std::to_string(y()));
        if (FModus == fpsPositionUndGroesse) {
            maske.WriteTerminal("Width", std::to_string(width()));
            maske.WriteTerminal("Height", std::to_string(height()));
        }
    });
}

void TRDLForm::hideEvent(QHideEvent* AEvent) {
    // Spontaneous hides (minimising) are no closing.
    if (!AEvent->spontaneous()) RDLFormPosSpeichern();
    QDialog::hideEvent(AEvent);
}
