// settings.ini: values written by the Settings dialog come back as they were written, and any file
// reads as its first two lines, resolved to the game folder and the CD's folder by the keyword rule.
#include "config/settingsfile.h"
#include "fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace zq2;

namespace {

// Only these eight letters, in either case, and nothing around them.
bool isAppPathKeyword(const QString& text) {
    return fuzz::sameIgnoringAsciiCase(text, QLatin1String("APP-PATH"));
}

void checkReadBack(const QString& app, const QString& line1, const QString& line2) {
    const std::optional<SettingsLines> read = readSettingsFile(app);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(read->line1 == line1);
    FUZZ_CHECK(read->line2 == line2);

    const LoadedSettings loaded = resolveSettings(*read, app);
    FUZZ_CHECK(loaded.gameDir == (isAppPathKeyword(line1) ? app : line1));
    FUZZ_CHECK(loaded.cdResourceDir == line2 + QStringLiteral("/Resources"));

    const SettingsDialogStart start = settingsDialogStart(app, app);
    const QString trimmed = fuzz::withoutOuterSpaces(line1);
    FUZZ_CHECK(start.zq2dir ==
               (isAppPathKeyword(trimmed) ? QStringLiteral("Zeno2 directory found.") : trimmed));
    FUZZ_CHECK(start.cddir == line2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString& app = fuzz::scratchFolder();
    if (input.ConsumeBool()) {
        if (const auto lines = fuzz::editedFile(input, settingsFileName()))
            checkReadBack(app, QString::fromUtf8(lines->value(0)), QString::fromUtf8(lines->value(1)));
        return 0;
    }
    // What the Settings dialog stores: one line each comes back unchanged.
    const QString line1 = QString::fromStdString(input.ConsumeRandomLengthString(300));
    const QString line2 = QString::fromStdString(input.ConsumeRandomLengthString(300));
    const WriteResult written = writeSettingsFile(app, line1, line2);
    FUZZ_CHECK(written.saved && written.error.ok());
    if (fuzz::hasLineEnd(line1) || fuzz::hasLineEnd(line2)) {
        const QList<QByteArray> lines = fuzz::plainLines(settingsBytes(line1, line2));
        checkReadBack(app, QString::fromUtf8(lines.value(0)), QString::fromUtf8(lines.value(1)));
    } else {
        checkReadBack(app, line1, line2);
    }
    return 0;
}
