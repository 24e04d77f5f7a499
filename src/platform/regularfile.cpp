#include "platform/regularfile.h"

#include "platform/nativefile.h"

namespace zq2 {

std::unique_ptr<QFile> openRegularFile(const QString& path) {
    InputFile file(path);
    return file.error() ? nullptr : file.intoQFile();
}

} // namespace zq2
