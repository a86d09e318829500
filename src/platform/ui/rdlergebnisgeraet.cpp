#include "rdlergebnisgeraet.h"

TRDLErgebnisGeraet::TRDLErgebnisGeraet(const QString& APfad) : FDatei(APfad.toStdString()) {
    open(QIODevice::WriteOnly);
}

TRDLErgebnisGeraet::~TRDLErgebnisGeraet() { close(); }

void TRDLErgebnisGeraet::Abschliessen() {
    close();
    FDatei.Abschliessen();
}

qint64 TRDLErgebnisGeraet::readData(char*, qint64) { return -1; }

qint64 TRDLErgebnisGeraet::writeData(const char* AData, qint64 ALen) {
    try {
        FDatei.Schreiben(std::string_view(AData, static_cast<size_t>(ALen)));
        return ALen;
    } catch (const std::exception& E) {
        setErrorString(QString::fromStdString(E.what()));
        return -1;
    }
}
