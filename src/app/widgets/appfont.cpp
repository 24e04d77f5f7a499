#include "app/widgets/appfont.h"

#include <QApplication>
#include <QFont>

namespace zq2 {

void applyApplicationFont(QApplication& app) {
    // 10 pixels of a condensed sans face fit the widest captions ("Internet Cache folder:" in 105
    // pixels, "Display Delete confirmation box" beside its tick); the fallbacks have the same widths
    // or less at that size.
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Sans Serif")});
    font.setPixelSize(10);
    app.setFont(font);
}

} // namespace zq2
