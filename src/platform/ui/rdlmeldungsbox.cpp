#include "rdlmeldungsbox.h"
#include "rdlprogramm.h"
#include <QApplication>
#include <QMessageBox>

int TRDLMeldungsBox::Zeigen(const TRDLMeldung& M) {
    QWidget* eltern = QApplication::activeWindow();
    const QString titel = QString::fromStdString(RDLProgramm().Title());
    const QString text = QString::fromStdString(M.Text);
    switch (M.Art) {
    case mkFrage:
        return QMessageBox::question(eltern, titel, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes
                   ? mrYes
                   : mrNo;
    case mkFehler:
        QMessageBox::critical(eltern, titel, text);
        return mrOk;
    case mkWarnung:
        QMessageBox::warning(eltern, titel, text);
        return mrOk;
    default:
        QMessageBox::information(eltern, titel, text);
        return mrOk;
    }
}
