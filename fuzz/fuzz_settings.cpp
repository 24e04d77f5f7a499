// settings.ini: values written by the Settings dialog come back as they were written, and any file
// reads as its first two lines, resolved to the game folder and the CD's folder by the keyword rule.
#include "config/settingsfile.h"
#include "fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace zq2;

namespace {

bool hasLineEnd(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Only these eight letters, in either case, and nothing around them.
bool isAppPathKeyword(const QString& text) {
    const QLatin1String keyword("APP-PATH");
    if (text.size() != keyword.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const char16_t upper = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        if (upper != char16_t(keyword.at(i).unicode()))
            return false;
    }
    return true;
}

QString withoutOuterSpaces(QString text) {
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

void checkReadBack(const QString& app, const QString& line1, const QString& line2) {
    const std::optional<SettingsLines> read = readSettingsFile(app);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(read->line1 == line1);
    FUZZ_CHECK(read->line2 == line2);

    const LoadedSettings loaded = resolveSettings(*read, app);
    FUZZ_CHECK(loaded.gameDir == (isAppPathKeyword(line1) ? app : line1));
    FUZZ_CHECK(loaded.cdResourceDir == line2 + QStringLiteral("/Resources"));

    const SettingsDialogStart start = settingsDialogStart(app);
    const QString trimmed = withoutOuterSpaces(line1);
    FUZZ_CHECK(start.zq2dir ==
               (isAppPathKeyword(trimmed) ? QStringLiteral("Zeno2 directory found.") : trimmed));
    FUZZ_CHECK(start.cddir == line2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString& app = fuzz::scratchFolder();
    if (input.ConsumeBool()) {
        // A file as a person may have edited it. Text that is not UTF-8 is decoded by rules of its own.
        const std::string rest = input.ConsumeRemainingBytesAsString();
        const QByteArray bytes(rest.data(), qsizetype(rest.size()));
        if (!fuzz::isPlainUtf8(bytes))
            return 0;
        fuzz::writeScratchFile(settingsFileName(), bytes);
        const QList<QByteArray> lines = fuzz::plainLines(bytes);
        checkReadBack(app, QString::fromUtf8(lines.value(0)), QString::fromUtf8(lines.value(1)));
        return 0;
    }
    // What the Settings dialog stores: one line each comes back unchanged.
    const QString line1 = QString::fromStdString(input.ConsumeRandomLengthString(300));
    const QString line2 = QString::fromStdString(input.ConsumeRandomLengthString(300));
    FUZZ_CHECK(!writeSettingsFile(app, line1, line2));
    if (hasLineEnd(line1) || hasLineEnd(line2)) {
        const QList<QByteArray> lines = fuzz::plainLines(settingsBytes(line1, line2));
        checkReadBack(app, QString::fromUtf8(lines.value(0)), QString::fromUtf8(lines.value(1)));
    } else {
        checkReadBack(app, line1, line2);
    }
    return 0;
}
