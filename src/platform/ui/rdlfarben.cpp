#include "rdlfarben.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

QColor GetRDLColor(int ANummer) {
    switch (ANummer) {
    case CRDLFarbeZeileAlternierend: return QColor(0xEE, 0xF3, 0xF8); // pale blue-grey, readable on every screen
    default: return QGuiApplication::palette().color(QPalette::Base);
    }
}

QColor ModifyColor(const QColor& AColor, int ADelta) {
    const auto k = [ADelta](int AWert) { return std::clamp(AWert + ADelta, 0, 255); };
    return QColor(k(AColor.red()), k(AColor.green()), k(AColor.blue()), AColor.alpha());
}
