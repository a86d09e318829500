#include "rdlkalender.h"
#include "rdldatum.h"
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QVBoxLayout>

QDate TDateTime2QDate(TDateTime AWert) {
    int j = 0, m = 0, t = 0;
    DecodeDate(AWert, j, m, t);
    return QDate(j, m, t);
}

TDateTime QDate2TDateTime(const QDate& ADatum) { return EncodeDate(ADatum.year(), ADatum.month(), ADatum.day()); }

TCalendarDialog::TCalendarDialog(QWidget* AEltern) : QDialog(AEltern), FKalender(new QCalendarWidget(this)) {
    setWindowTitle(QStringLiteral("Kalender"));
    FKalender->setObjectName(QStringLiteral("Kalender"));
    FKalender->setGridVisible(true);
    FKalender->setFirstDayOfWeek(Qt::Monday);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double click on a day confirms, as in the suite's other calendars.
    connect(FKalender, &QCalendarWidget::activated, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FKalender);
    layout->addWidget(knoepfe);
}

void TCalendarDialog::DatumSetzen(TDateTime AWert) {
    FZeit = TimeOf(AWert);
    FKalender->setSelectedDate(TDateTime2QDate(AWert));
}

TDateTime TCalendarDialog::Datum() const { return QDate2TDateTime(FKalender->selectedDate()) + FZeit; }

bool TCalendarDialog::Execute(TDateTime& AWert) {
    DatumSetzen(AWert);
    if (exec() != QDialog::Accepted) return false;
    AWert = Datum();
    return true;
}
