// The suite's colours: fixed numbers, and lighter or darker shades that never wrap.
#include "qttestapp.h"
#include "rdlfarben.h"

#include <QPalette>
#include <gtest/gtest.h>

TEST(Farben, NummernUndAbstufungen) {
    TQtApp qt;
    EXPECT_NE(GetRDLColor(CRDLFarbeZeileAlternierend), QGuiApplication::palette().color(QPalette::Base));
    EXPECT_EQ(GetRDLColor(99999), QGuiApplication::palette().color(QPalette::Base)); // unknown: never black
    const struct {
        QColor Farbe;
        int Delta;
        QColor Ergebnis;
    } faelle[] = {
        {QColor(200, 100, 15), -20, QColor(180, 80, 0)},
        {QColor(250, 10, 128), 10, QColor(255, 20, 138)},
        {QColor(0, 0, 0, 100), 0, QColor(0, 0, 0, 100)},
    };
    for (const auto& f : faelle) EXPECT_EQ(ModifyColor(f.Farbe, f.Delta), f.Ergebnis) << f.Delta;
}
