#pragma once

#include "appearance/skinvalues.h"

#include <QString>

class QWidget;

namespace zq2 {

// Shows the picture at `path` at its own size from the top-left corner of the window's client area,
// behind the controls; an empty path (or a picture that cannot be read) removes the picture.
void setBackgroundPicture(QWidget* window, const QString& path);

// Gives a frame or check box the back colour `colour` (see ColourValue).
void setBackColour(QWidget* widget, ColourValue colour);

} // namespace zq2
