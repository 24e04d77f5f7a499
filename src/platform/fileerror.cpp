#include "platform/fileerror.h"

#include <cstring>

namespace zq2 {

QString FileError::reason() const {
    if (code == 0)
        return {};
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace zq2
