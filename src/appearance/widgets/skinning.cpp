#include "appearance/widgets/skinning.h"

#include <QWidget>

namespace zq2 {

void setBackgroundPicture(QWidget* window, const QString& path) {
    Q_UNUSED(window);
    Q_UNUSED(path);
}

void setBackColour(QWidget* widget, ColourValue colour) {
    Q_UNUSED(widget);
    Q_UNUSED(colour);
}

} // namespace zq2
