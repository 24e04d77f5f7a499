#include "appearance/skinfile.h"

#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/textlines.h"

#include <QByteArray>
#include <QList>

namespace zq2 {

namespace {

constexpr int kSkinLines = 10;

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

ColourValue parseColourLine(const QString& line) {
    quint64 value = 0;
    for (const QChar c : line) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<quint64>(digit);
        if (value > 0xFFFFFFFFu)
            return 0xFFFFFFFFu;
    }
    return static_cast<ColourValue>(value);
}

QString picturePathFor(const QString& line, const QString& appDir) {
    return isAbsoluteSettingPath(line) ? line : followPathIgnoringCase(appDir, line);
}

MainWindowSkin loadSkinFile(const QString& sFile, const QString& appDir, SkinValues& values) {
    MainWindowSkin mainWindow;
    if (sFile.isEmpty())
        return mainWindow;
    LineLimits limits;
    limits.maxLines = kSkinLines;
    const std::optional<QList<QByteArray>> lines = readFileLines(sFile, limits);
    if (!lines)
        return mainWindow;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QString line = decodeStoredPath(lines->at(i));
        switch (i + 1) {
        case 1:
            mainWindow.picture = picturePathFor(line, appDir);
            break;
        case 2:
            mainWindow.frame1 = parseColourLine(line);
            break;
        case 3:
            mainWindow.frame2 = parseColourLine(line);
            break;
        case 4:
            values.prefsPicture = picturePathFor(line, appDir);
            break;
        case 5:
            values.prefsColour = parseColourLine(line);
            break;
        case 6:
            values.settingsPicture = picturePathFor(line, appDir);
            break;
        case 7:
            values.restorePicture = picturePathFor(line, appDir);
            break;
        case 8:
            values.restoreColour = parseColourLine(line);
            break;
        case 9:
            values.restoreOverwriteColour = parseColourLine(line);
            break;
        case 10:
            values.aboutPicture = picturePathFor(line, appDir);
            break;
        default:
            break;
        }
    }
    return mainWindow;
}

void turnOffSkin(SkinValues& values) {
    values.prefsPicture.clear();
    values.settingsPicture.clear();
    values.restorePicture.clear();
    values.aboutPicture.clear();
    values.prefsColour = kFaceColour;
    values.restoreColour = kFaceColour;
    values.restoreOverwriteColour = kFaceColour;
}

} // namespace zq2
