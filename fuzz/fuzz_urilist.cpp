// The text/uri-list that other programs hand over with a drop: every path taken from it is a full
// path without a NUL byte, there are never more paths than lines, and a list this program writes for
// those paths (as it does when an entry is dragged out) reads back as the same paths.
#include "fuzzsupport.h"
#include "platform/filenames.h"
#include "platform/urilist.h"

using namespace zq2;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList paths = localPathsFromUriList(input);
    FUZZ_CHECK(paths.size() <= input.count('\n') + 1);
    for (const QString& path : paths) {
        const QByteArray bytes = encodeFileName(path);
        FUZZ_CHECK(bytes.startsWith('/'));
        FUZZ_CHECK(!bytes.contains('\0'));
    }
    FUZZ_CHECK(localPathsFromUriList(uriListOfPaths(paths)) == paths);
    return 0;
}
