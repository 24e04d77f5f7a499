#include "fileops/droprules.h"

#include "platform/filenames.h"
#include "platform/nativepath.h"

#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace zq2 {

namespace {

// Characters that end or turn a line where a message is drawn: the Unicode line and paragraph
// separators and the marks that change the direction of the text after them.
bool reordersOrBreaks(char16_t c) {
    return c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0x200E || c == 0x200F || c == 0x061C;
}

} // namespace

QString messageName(const QString& name) {
    QString shown = displayFileName(name);
    for (QChar& c : shown) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            c = QChar(char16_t(0x2400 + u)); // the control pictures: U+240A for a line feed
        else if (u == 0x7F)
            c = QChar(char16_t(0x2421));
        else if ((u >= 0x80 && u < 0xA0) || reordersOrBreaks(u))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

QString unusableNameReason(const QString& name) {
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("its name holds a control character");
        if (QStringView(u"<>:\"\\|?*").contains(c))
            return QStringLiteral("its name holds \"%1\", which Windows does not allow in file names").arg(c);
    }
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("its name ends with a dot or a space, which Windows does not allow");
    static const QRegularExpression device(QStringLiteral("^(con|prn|aux|nul|com[1-9]|lpt[1-9]) *(\\.|$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (device.match(name).hasMatch())
        return QStringLiteral("its name is that of a device on Windows");
    return {};
}

QString inTheWay(const QString& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status link = fs::symlink_status(toFsPath(path), error);
    if (error || link.type() == fs::file_type::not_found)
        return {};
    const fs::file_status target = fs::status(toFsPath(path), error);
    switch (target.type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::directory:
        return QStringLiteral("a folder of that name is in the way");
    case fs::file_type::fifo:
        return QStringLiteral("a named pipe of that name is in the way");
    case fs::file_type::not_found:
        return QStringLiteral("a link of that name that leads nowhere is in the way");
    default:
        return QStringLiteral("a device of that name is in the way");
    }
}

QString notAFile(const QString& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    switch (fs::status(toFsPath(path), error).type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::directory:
        return QStringLiteral("it is a folder, not a file");
    case fs::file_type::fifo:
        return QStringLiteral("it is a named pipe, not a file");
    case fs::file_type::not_found:
        if (fs::is_symlink(fs::symlink_status(toFsPath(path), error)))
            return QStringLiteral("it is a link that leads nowhere");
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    case fs::file_type::none:
        return QString::fromLocal8Bit(std::strerror(errnoOf(error)));
    default:
        return QStringLiteral("it is a device, not a file");
    }
}

} // namespace zq2
