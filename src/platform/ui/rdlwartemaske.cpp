#include "rdlwartemaske.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

struct TfrmWartemaske::TFenster {
    QDialog* Dialog;
    QLabel* Text;
    explicit TFenster(QWidget* AOwner) : Dialog(new QDialog(AOwner)), Text(new QLabel(Dialog)) {
        Dialog->setWindowTitle(QStringLiteral("Bitte warten"));
        Dialog->setWindowFlag(Qt::WindowCloseButtonHint, false);
        Text->setObjectName(QStringLiteral("lblText"));
        Text->setAlignment(Qt::AlignCenter);
        Text->setWordWrap(true);
        auto* layout = new QVBoxLayout(Dialog);
        layout->addWidget(Text);
        Dialog->resize(320, 100);
    }
    ~TFenster() { delete Dialog; }
};

TfrmWartemaske::TfrmWartemaske(QWidget* AOwner) : FOwner(AOwner) {}
TfrmWartemaske::~TfrmWartemaske() { Hide(); }

QWidget* TfrmWartemaske::Fenster() const { return FFenster ? FFenster->Dialog : nullptr; }

void TfrmWartemaske::Set_Text(const std::string& AText) {
    FText = AText;
    if (!FSichtbar)
        Show();
    else
        Aktualisieren();
}

void TfrmWartemaske::Show() {
    FSichtbar = true;
    if (RDLFortschrittMitFenster() && !FFenster) FFenster = std::make_unique<TFenster>(FOwner);
    if (FFenster) FFenster->Dialog->show();
    Aktualisieren();
}

void TfrmWartemaske::Hide() {
    FSichtbar = false;
    if (FFenster) FFenster->Dialog->hide();
    FZeile.Beenden();
}

void TfrmWartemaske::Aktualisieren() {
    if (!FSichtbar) return;
    if (!FFenster) {
        FZeile.Zeigen(FText);
        return;
    }
    FFenster->Text->setText(QString::fromStdString(FText));
    FFenster->Dialog->raise();
    // The caller blocks the event loop next: map and paint the window now, without
    // handling clicks meant for the waiting window.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
