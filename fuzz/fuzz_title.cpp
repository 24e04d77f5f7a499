// The title field of levels and tilesets: the 32 bytes at offset 188 (spaces past the end of a short
// file), cut at the first NUL, without spaces at both ends, in Windows-1252, of which the five bytes
// without a character stand for the control characters of the same number.
#include "catalogue/details.h"
#include "fuzzsupport.h"

#include <QStringDecoder>

using namespace zq2;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    fuzz::writeScratchFile(QStringLiteral("t.z2l"), bytes);
    const QString title = loadTitle(fuzz::scratchFolder() + QStringLiteral("/t.z2l"));

    QByteArray field = bytes.mid(188, 32);
    field = field.leftJustified(32, ' ');
    if (const qsizetype nul = field.indexOf('\0'); nul >= 0)
        field.truncate(nul);
    while (field.startsWith(' '))
        field.remove(0, 1);
    while (field.endsWith(' '))
        field.chop(1);
    // The system's own converter, where it has one, as the second opinion.
    static QStringDecoder windows1252("windows-1252");
    if (windows1252.isValid())
        FUZZ_CHECK(title == windows1252.decode(field));
    FUZZ_CHECK(title.size() == field.size());

    const FileDetails details = describeFile(fuzz::scratchFolder(), QStringLiteral("t.z2l"));
    FUZZ_CHECK(details.title == QStringLiteral("Title: ") + title);
    FUZZ_CHECK(details.size == QStringLiteral("Size: %1 Bytes").arg(size));
    return 0;
}
