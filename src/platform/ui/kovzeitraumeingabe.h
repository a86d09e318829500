#pragma once
// The suite's period input: "&von Datum:" and "&bis Datum:", each a date field with a
// calendar. The two days are kept as typed: a from-day after the to-day is the caller's
// business (an empty result), not corrected here.
#include "kovvonbisdatum.h"

#include <QDate>
#include <QWidget>

class QDateEdit;
class QLabel;

// Calendar days between TDateTime (days since 30.12.1899) and QDate.
QDate TDate_2_QDate(TDate ADatum);
TDate QDate_2_TDate(const QDate& ADatum);

class TKOV_ZeitraumEingabe : public QWidget {
    Q_OBJECT
public:
    explicit TKOV_ZeitraumEingabe(QWidget* AEltern = nullptr);

    TKOV_VonBisDatum Zeitraum_Get() const;
    void Zeitraum_Set(const TKOV_VonBisDatum& AZeitraum);

    QLabel* lblVon;
    QDateEdit* edtVon;
    QLabel* lblBis;
    QDateEdit* edtBis;

signals:
    void ZeitraumGeaendert();
};
