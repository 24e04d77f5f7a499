#include "app/widgets/appfont.h"

#include <QApplication>
#include <QFont>

namespace zq2 {

void applyApplicationFont(QApplication& app) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")});
    font.setPixelSize(11);
    app.setFont(font);
}

} // namespace zq2
