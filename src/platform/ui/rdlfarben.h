#pragma once
// The suite's colours by number, so that every window paints the same shades, and the
// routine that makes a colour lighter or darker (shaded group rows).
#include <QColor>

// Colour numbers the windows use.
inline constexpr int CRDLFarbeZeileAlternierend = 121; // every second row of a list

// The colour of a suite colour number; an unknown number gives the window background
// of the current style, so a missing entry never paints black.
QColor GetRDLColor(int ANummer);

// AColor with ADelta added to each of red, green and blue, clamped to 0..255: negative
// deltas darken. Alpha is kept.
QColor ModifyColor(const QColor& AColor, int ADelta);
