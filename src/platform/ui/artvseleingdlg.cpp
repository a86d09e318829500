#include "artvseleingdlg.h"

#include "exceptions.h"
#include "rdldialog.h"
#include "rdlinfo.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <map>

bool TArtvSeleingDlg::Execute() {
    if (FHelper && FQuery) {
        // A stored value that cannot be read is logged; the user starts from an empty
        // selection and stores a readable one with OK.
        bool geladen = false;
        try {
            geladen = FHelper->Laden();
        } catch (const EConvertError& E) {
            RDLInfo().RegisterException("TArtvSeleingDlg.Execute", E, false);
        }
        if (!geladen) FQuery->Selektion_Set({});
    }
    if (FQuery) Selektion = FQuery->Selektion_Get();
    bool ok = false;
    if (Zeigen) ok = Zeigen(*this);
    else if (dynamic_cast<TRDLQtDialoge*>(&RDLDialoge())) ok = QtZeigen();
    else ok = RDLDialoge().JaNein("Die gespeicherte Artikelselektion verwenden?");
    if (!ok) return false;
    if (FHelper) FHelper->Speichern(Selektion);
    else if (FQuery) FQuery->Selektion_Set(Selektion);
    if (FQuery && !FZeitraum.Zeitraum.IsEmpty()) FQuery->Zeitraum_Set(FZeitraum.Zeitraum);
    return true;
}

bool TArtvSeleingDlg::QtZeigen() {
    QDialog dlg;
    dlg.setObjectName(QStringLiteral("TArtvSeleingDlg"));
    dlg.setWindowTitle(QStringLiteral("Artikelselektion"));
    auto* layout = new QVBoxLayout(&dlg);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    std::map<std::string, std::string> werte = Selektion.Werte();
    std::map<std::string, QLineEdit*> texte;
    std::map<std::string, QCheckBox*> schalter;
    const TRDL_SegFeldCtrlInfoArray felder =
        FHelper ? FHelper->SegFeldCtrlInfoArray() : (FQuery ? FQuery->SegFeldCtrlInfoArray() : TRDL_SegFeldCtrlInfoArray{});
    for (const auto& f : felder) {
        const QString anzeige = QString::fromStdString(f.Anzeige);
        if (f.Art == TRDL_SegFeldArt::Schalter) {
            auto* c = new QCheckBox(anzeige, &dlg);
            c->setChecked(werte[f.Name] == "1");
            form->addRow(QString(), c);
            schalter[f.Name] = c;
        } else {
            auto* e = new QLineEdit(QString::fromStdString(werte[f.Name]), &dlg);
            if (f.Art == TRDL_SegFeldArt::Liste) e->setPlaceholderText(QStringLiteral("alle (Liste mit \u201E,\u201C)"));
            form->addRow(anzeige + QStringLiteral(":"), e);
            texte[f.Name] = e;
        }
    }
    auto* zeitraum = new QLabel(&dlg);
    const auto zeitraumZeigen = [&] {
        zeitraum->setText(QStringLiteral("Zeitraum: ") + QString::fromStdString(FZeitraum.Zeitraum.ToString()));
    };
    zeitraumZeigen();
    auto* btnZeitraum = new QPushButton(QStringLiteral("&Zeitraum..."), &dlg);
    QObject::connect(btnZeitraum, &QPushButton::clicked, &dlg, [&] {
        ZeitraumAbfragen();
        zeitraumZeigen();
    });
    form->addRow(zeitraum, btnZeitraum);
    auto* fehler = new QLabel(&dlg);
    layout->addWidget(fehler);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(knoepfe);
    QObject::connect(knoepfe, &QDialogButtonBox::accepted, &dlg, [&] {
        std::map<std::string, std::string> neu;
        for (const auto& [name, e] : texte) neu[name] = e->text().trimmed().toStdString();
        for (const auto& [name, c] : schalter) neu[name] = c->isChecked() ? "1" : "0";
        try {
            Selektion = TRDL_ArtSelektion::AusWerten(neu);
            dlg.accept();
        } catch (const std::exception& E) {
            fehler->setText(QString::fromUtf8(E.what()));
        }
    });
    QObject::connect(knoepfe, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    return dlg.exec() == QDialog::Accepted;
}
