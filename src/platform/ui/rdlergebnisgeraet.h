#pragma once
// A result file (rdlergebnisdatei.h) as a QIODevice, for Qt writers that take a device
// (QPdfWriter): opened for writing on construction, the target replaced only by
// Abschliessen; a device dropped without it leaves the target as it was.
#include "rdlergebnisdatei.h"

#include <QIODevice>
#include <QString>

class TRDLErgebnisGeraet : public QIODevice {
public:
    // Raises EErgebnisDatei for a target it may not write.
    explicit TRDLErgebnisGeraet(const QString& APfad);
    ~TRDLErgebnisGeraet() override;

    // Raises EErgebnisDatei with the first failed write's text, or the completion's.
    void Abschliessen();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* AData, qint64 AMaxLen) override;
    // A failed write answers -1 (a Qt writer may carry on); the failure stays with the file.
    qint64 writeData(const char* AData, qint64 ALen) override;

private:
    TRDLErgebnisDatei FDatei;
};
