#include "auswertungszeitraumdlg.h"

#include "kovzeitraumeingabe.h"
#include "rdldatum.h"
#include "rdldialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

TKOV_VonBisDatum Jahr(int AJahr) { return {EncodeDate(AJahr, 1, 1), EncodeDate(AJahr, 12, 31)}; }

} // namespace

TKOV_VonBisDatum TAuswertungszeitraumDialog::Vorgabezeitraum() {
    int j = 0, m = 0, t = 0;
    DecodeDate(rdl_Today(), j, m, t);
    return Jahr(j - 1);
}

TAuswertungszeitraumDialog::TAuswertungszeitraumDialog() {
    int j = 0, m = 0, t = 0;
    DecodeDate(rdl_Today(), j, m, t);
    const TDate monatsanfang = EncodeDate(j, m, 1);
    int vj = 0, vm = 0, vt = 0;
    DecodeDate(monatsanfang - 1, vj, vm, vt);
    FInfos = {{"Vorjahr", Jahr(j - 1)}, {"Laufendes Jahr", Jahr(j)}, {"Vormonat", {EncodeDate(vj, vm, 1), monatsanfang - 1}}};
}

void TAuswertungszeitraumDialog::Load(const TContextSatz& AKontext) {
    FKontext = AKontext;
    FGespeichert = false;
    FZeitraum = Vorgabezeitraum();
    const auto werte = RDLKontextLesen(AKontext);
    TDateTime von = 0, bis = 0;
    const auto von_it = werte.find("VON"), bis_it = werte.find("BIS");
    if (von_it != werte.end() && bis_it != werte.end() && TryStrToDate(von_it->second, von) &&
        TryStrToDate(bis_it->second, bis) && von <= bis) {
        FZeitraum = {DateOf(von), DateOf(bis)};
        FGespeichert = true;
    }
}

bool TAuswertungszeitraumDialog::Execute(const std::vector<TAuswertungszeitraumInfo>& AInfos, QWidget* AEltern,
                                         bool) {
    bool ok = false;
    if (Zeigen) ok = Zeigen(*this);
    else if (dynamic_cast<TRDLQtDialoge*>(&RDLDialoge())) ok = QtZeigen(AInfos, AEltern);
    else ok = VorgabenZeigen();
    if (!ok) return false;
    RDLKontextSchreiben(FKontext, {{"VON", DateToStr(FZeitraum.Von)}, {"BIS", DateToStr(FZeitraum.Bis)}});
    FGespeichert = true;
    return true;
}

bool TAuswertungszeitraumDialog::VorgabenZeigen() {
    TDateTime von = FZeitraum.Von, bis = FZeitraum.Bis;
    if (!RDLDialoge().DatumWaehlen(von, "Auswertungszeitraum von")) return false;
    if (!RDLDialoge().DatumWaehlen(bis, "Auswertungszeitraum bis")) return false;
    if (DateOf(bis) < DateOf(von)) return false;
    FZeitraum = {DateOf(von), DateOf(bis)};
    return true;
}

bool TAuswertungszeitraumDialog::QtZeigen(const std::vector<TAuswertungszeitraumInfo>& AInfos, QWidget* AEltern) {
    QDialog dlg(AEltern);
    dlg.setObjectName(QStringLiteral("TAuswertungszeitraumDialog"));
    dlg.setWindowTitle(QStringLiteral("Auswertungszeitraum"));
    auto* layout = new QVBoxLayout(&dlg);
    auto* auswahl = new QComboBox(&dlg);
    auswahl->addItem(QStringLiteral("Freier Zeitraum"));
    for (const auto& i : AInfos) auswahl->addItem(QString::fromStdString(i.Name));
    auto* eingabe = new TKOV_ZeitraumEingabe(&dlg);
    eingabe->Zeitraum_Set(FZeitraum);
    layout->addWidget(new QLabel(QStringLiteral("Bestand am letzten Tag des Zeitraums (Stichtag)"), &dlg));
    layout->addWidget(auswahl);
    layout->addWidget(eingabe);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(knoepfe);
    QObject::connect(auswahl, &QComboBox::currentIndexChanged, &dlg, [&](int AIndex) {
        if (AIndex > 0 && size_t(AIndex) <= AInfos.size()) eingabe->Zeitraum_Set(AInfos[size_t(AIndex - 1)].Zeitraum);
    });
    QObject::connect(knoepfe, &QDialogButtonBox::accepted, &dlg, [&] {
        const TKOV_VonBisDatum z = eingabe->Zeitraum_Get();
        if (z.Von <= z.Bis) dlg.accept();
    });
    QObject::connect(knoepfe, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted) return false;
    FZeitraum = eingabe->Zeitraum_Get();
    return true;
}
