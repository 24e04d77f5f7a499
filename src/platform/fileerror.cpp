#include "platform/fileerror.h"

#include <cstring>

namespace zq2 {

QString FileError::reason() const {
    if (code == 0)
        return {};
    if (code == kChangedWhileCopied)
        return QStringLiteral("The file changed while it was copied");
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace zq2
