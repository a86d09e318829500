#include "kovzeitraumeingabe.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

#include <cmath>

namespace {
const QDate CNullTag(1899, 12, 30);

QDateEdit* DatumsfeldErzeugen(QWidget* AEltern) {
    auto* e = new QDateEdit(AEltern);
    e->setCalendarPopup(true);
    e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    e->setMinimumDate(QDate(1900, 1, 1));
    e->setMaximumDate(QDate(9999, 12, 31));
    return e;
}
} // namespace

QDate TDate_2_QDate(TDate ADatum) { return CNullTag.addDays(qint64(std::floor(ADatum))); }

TDate QDate_2_TDate(const QDate& ADatum) { return ADatum.isValid() ? TDate(CNullTag.daysTo(ADatum)) : 0; }

TKOV_ZeitraumEingabe::TKOV_ZeitraumEingabe(QWidget* AEltern) : QWidget(AEltern) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lblVon = new QLabel(QStringLiteral("&von Datum:"), this);
    edtVon = DatumsfeldErzeugen(this);
    edtVon->setObjectName(QStringLiteral("edtVon"));
    lblVon->setBuddy(edtVon);
    lblBis = new QLabel(QStringLiteral("&bis Datum:"), this);
    edtBis = DatumsfeldErzeugen(this);
    edtBis->setObjectName(QStringLiteral("edtBis"));
    lblBis->setBuddy(edtBis);
    layout->addWidget(lblVon);
    layout->addWidget(edtVon);
    layout->addSpacing(8);
    layout->addWidget(lblBis);
    layout->addWidget(edtBis);
    layout->addStretch(1);
    connect(edtVon, &QDateEdit::dateChanged, this, &TKOV_ZeitraumEingabe::ZeitraumGeaendert);
    connect(edtBis, &QDateEdit::dateChanged, this, &TKOV_ZeitraumEingabe::ZeitraumGeaendert);
}

TKOV_VonBisDatum TKOV_ZeitraumEingabe::Zeitraum_Get() const {
    return {QDate_2_TDate(edtVon->date()), QDate_2_TDate(edtBis->date())};
}

void TKOV_ZeitraumEingabe::Zeitraum_Set(const TKOV_VonBisDatum& AZeitraum) {
    edtVon->setDate(TDate_2_QDate(AZeitraum.Von));
    edtBis->setDate(TDate_2_QDate(AZeitraum.Bis));
}
