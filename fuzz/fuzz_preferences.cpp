// preferences.ini: what the Preferences dialog writes reads back the same, and any file reads by
// position: four switch lines matched whole against their two texts, the skin line as it stands, then
// one pattern per line.
#include "config/preferencesfile.h"
#include "fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>

using namespace zq2;

namespace {

// Line number (from 0) and the two texts of each switch.
struct Switch {
    qsizetype line;
    const char* yes;
    const char* no;
};
constexpr std::array<Switch, 4> kSwitches{{{0, "USESKIN=YES", "USESKIN=NO"},
                                           {2, "USETIPS=YES", "USETIPS=NO"},
                                           {3, "WARNMAXLVLS=YES", "WARNMAXLVLS=NO"},
                                           {4, "DISPLAYDELETE=YES", "DISPLAYDELETE=NO"}}};

// The switch a line gives: on, off, or none when it is neither text. Letters beyond ASCII are left
// to the reader as long as it agrees with itself in both cases; ASCII lines are judged here.
std::optional<bool> expectedSwitch(const QString& line, const Switch& s, std::optional<bool> got) {
    if (fuzz::sameIgnoringAsciiCase(line, QLatin1String(s.yes)))
        return true;
    if (fuzz::sameIgnoringAsciiCase(line, QLatin1String(s.no)))
        return false;
    const bool ascii = std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? std::nullopt : got;
}

void checkFile(const QString& app, const QList<QByteArray>& lines) {
    const std::optional<PreferencesFile> read = readPreferencesFile(app);
    FUZZ_CHECK(read.has_value() && !read->tooLarge);
    const std::array<std::optional<bool>, 4> got{read->useSkin, read->useTips, read->warnMax,
                                                 read->displayDelete};
    for (size_t i = 0; i < kSwitches.size(); ++i) {
        const Switch& s = kSwitches[i];
        const std::optional<bool> expected = s.line < lines.size()
                                                 ? expectedSwitch(QString::fromUtf8(lines[s.line]), s, got[i])
                                                 : std::nullopt;
        FUZZ_CHECK(got[i] == expected);
    }
    FUZZ_CHECK(read->skinLine == QString::fromUtf8(lines.value(1)));
    QStringList patterns;
    for (qsizetype i = 5; i < lines.size(); ++i)
        patterns << QString::fromUtf8(lines[i]);
    FUZZ_CHECK(read->patterns == patterns);

    // Loaded over values that are all on and all off: a switch without a match keeps what it had.
    for (const bool before : {false, true}) {
        Preferences values{before, QStringLiteral("old"), before, before, before, {QStringLiteral("old")}};
        loadPreferences(values, app);
        FUZZ_CHECK(values.skinEnabled == read->useSkin.value_or(before));
        FUZZ_CHECK(values.tipsEnabled == read->useTips.value_or(before));
        FUZZ_CHECK(values.warnMaxLevels == read->warnMax.value_or(before));
        FUZZ_CHECK(values.confirmDelete == read->displayDelete.value_or(before));
        FUZZ_CHECK(values.skinFile == read->skinLine && values.patterns == patterns);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString& app = fuzz::scratchFolder();
    if (input.ConsumeBool()) {
        if (const auto lines = fuzz::editedFile(input, preferencesFileName()))
            checkFile(app, *lines);
        return 0;
    }
    // What the dialog's OK writes.
    const std::array<bool, 4> switches{input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool(),
                                       input.ConsumeBool()};
    const QString skinDir = QString::fromStdString(input.ConsumeRandomLengthString(200));
    QStringList patterns;
    for (int n = input.ConsumeIntegralInRange(0, 20); n > 0; --n)
        patterns << QString::fromStdString(input.ConsumeRandomLengthString(20));
    const QByteArray bytes =
        preferencesBytes(switches[0], skinDir, switches[1], switches[2], switches[3], patterns);
    const WriteResult written = writePreferencesFile(app, bytes);
    FUZZ_CHECK(written.saved && written.error.ok());
    checkFile(app, fuzz::plainLines(bytes));
    if (fuzz::hasLineEnd(skinDir) || std::any_of(patterns.begin(), patterns.end(), fuzz::hasLineEnd))
        return 0;
    const std::optional<PreferencesFile> read = readPreferencesFile(app);
    FUZZ_CHECK(read->useSkin == switches[0] && read->useTips == switches[1] && read->warnMax == switches[2] &&
               read->displayDelete == switches[3]);
    FUZZ_CHECK(read->skinLine == fuzz::withoutOuterSpaces(skinDir));
    // An empty last pattern ends the file with a line end, which starts no further line.
    if (!patterns.isEmpty() && patterns.last().isEmpty())
        patterns.removeLast();
    FUZZ_CHECK(read->patterns == patterns);
    return 0;
}
