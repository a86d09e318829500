#pragma once
// The suite's calendar dialog: a month calendar with OK and Cancel.
#include "rdltyco.h"
#include <QDialog>

class QCalendarWidget;

class TCalendarDialog : public QDialog {
    Q_OBJECT
public:
    explicit TCalendarDialog(QWidget* AEltern = nullptr);
    // The time part of the preset value survives the choice of another day.
    void DatumSetzen(TDateTime AWert);
    TDateTime Datum() const;
    QCalendarWidget* Kalender() const { return FKalender; }
    // Modal; true with the chosen day in AWert.
    bool Execute(TDateTime& AWert);

private:
    QCalendarWidget* FKalender;
    TDateTime FZeit = 0;
};

QDate TDateTime2QDate(TDateTime AWert);
TDateTime QDate2TDateTime(const QDate& ADatum);
