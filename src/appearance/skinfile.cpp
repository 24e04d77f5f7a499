#include "appearance/skinfile.h"

#include "platform/paths.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>

namespace zq2 {

namespace {

constexpr int kSkinLines = 10;
// Longer than any path a user could type; a longer line is cut here.
constexpr qsizetype kMaxLineBytes = 32 * 1024;

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

// Splits the start of the file into at most ten lines. Reading stops after the bytes that ten
// lines of the longest allowed length could take, so a file without line ends is read no further.
QList<QString> readSkinLines(QFile& file) {
    const QByteArray data = file.read(kSkinLines * (kMaxLineBytes + 2));
    QList<QString> lines;
    qsizetype start = 0;
    while (lines.size() < kSkinLines && start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        if (end < 0)
            end = data.size();
        qsizetype length = end - start;
        if (length > 0 && data.at(end - 1) == '\r')
            --length;
        length = std::min(length, kMaxLineBytes);
        lines.append(QString::fromLocal8Bit(data.constData() + start, length));
        start = next;
    }
    return lines;
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
    return isAbsoluteSettingPath(line) ? line : joinPath(appDir, line);
}

MainWindowSkin loadSkinFile(const QString& sFile, const QString& appDir, SkinValues& values) {
    MainWindowSkin mainWindow;
    QFile file(sFile);
    if (sFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return mainWindow;

    const QList<QString> lines = readSkinLines(file);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
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
