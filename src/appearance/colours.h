#pragma once

#include "appearance/skinvalues.h"

#include <QColor>
#include <QList>
#include <QPalette>

namespace zq2 {

// The colour that a colour value stands for on this desktop. 0x00BBGGRR gives that red, green and
// blue. With the high bit set, the low byte picks a system colour, taken from `palette`:
//   4 menu, 15 button face            -> Window        5 window          -> Base
//   7 menu text                       -> WindowText    8 window text     -> Text
//   13 highlight                      -> Highlight     14 highlight text -> HighlightedText
//   16 button shadow                  -> Dark          17 grey text      -> disabled Text
//   18 button text                    -> ButtonText    20 3D highlight   -> Light
//   21 3D dark shadow                 -> Shadow        22 3D light       -> Midlight
//   23 tooltip text                   -> ToolTipText   24 tooltip back   -> ToolTipBase
// Any other index, and any value above 0xFFFFFF without the high bit, gives the face colour.
QColor toQColor(ColourValue value, const QPalette& palette);

// How far apart two colours are to the eye, as the ratio of their relative luminances (1 for the
// same colour, 21 for black on white). A line drawn to show the keyboard focus needs 3 against what
// it is drawn on to be seen.
double contrastRatio(const QColor& a, const QColor& b);

// The first of `candidates` that stands out against `background` by the ratio of 3, else the one
// that stands out most.
QColor mostVisibleOn(const QColor& background, const QList<QColor>& candidates);

} // namespace zq2
