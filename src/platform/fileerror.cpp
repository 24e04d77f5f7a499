#include "platform/fileerror.h"

#include <cerrno>
#include <cstring>

namespace zq2 {

QString FileError::reason() const {
    if (code == 0)
        return {};
    if (code == kChangedWhileCopied)
        return QStringLiteral("The file changed while it was copied");
    if (code == kNotPlainFile)
        return QStringLiteral("It is not a plain file");
    if (code == kWindowsProgramWithoutWine)
        return QString::fromLocal8Bit(std::strerror(ENOEXEC)) +
               QStringLiteral(". Wine, which runs the game's programs on this system, was not found");
    return QString::fromLocal8Bit(std::strerror(code));
}

QString FileError::writeReason() const {
    if (code == EISDIR)
        return QStringLiteral("A folder of that name is in the way");
    return reason();
}

} // namespace zq2
