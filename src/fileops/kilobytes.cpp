#include "fileops/kilobytes.h"

#include "platform/filenames.h"

namespace zq2 {

QString kilobytesText(qint64 bytes, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Fifteen significant digits hold every byte count below a petabyte exactly, so the result
    // never turns into an exponent and never shows rounding noise such as 1.5360000000000001.
    return plain.toString(static_cast<double>(bytes) / 1000.0, 'g', 15);
}

QString replaceQuestion(const QString& name, qint64 oldSize, qint64 newSize, const QLocale& locale) {
    const QString shown = displayFileName(name);
    return QStringLiteral("Are you sure you want to replace ") + shown + QStringLiteral(" (Size: ") +
           kilobytesText(oldSize, locale) + QStringLiteral(" KB) with ") + shown +
           QStringLiteral(" (Size: ") + kilobytesText(newSize, locale) + QStringLiteral(" KB)?");
}

} // namespace zq2
