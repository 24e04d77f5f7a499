// Skin makefiles: ten positional lines, picture lines taken as full paths or relative to the program's
// folder (with "\" as a separator), colour lines read as hexadecimal up to the first other character;
// lines the file lacks leave their values alone. Every colour read is also turned into the colour shown.
#include "appearance/colours.h"
#include "appearance/skinfile.h"
#include "fuzzsupport.h"

#include <QHash>

using namespace zq2;

namespace {

// A program folder that does not exist, so that no part of a picture line is looked up.
const QString kApp = QStringLiteral("/nonexistent/zq2-fuzz-app");

// Hexadecimal digits from the start, either case; past 32 bits it stays at 0xFFFFFFFF.
ColourValue expectedColour(const QString& line) {
    quint64 value = 0;
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = 10 + (u - u'a');
        else if (u >= u'A' && u <= u'F')
            digit = 10 + (u - u'A');
        if (digit < 0)
            break;
        value = std::min<quint64>(value * 16 + quint64(digit), 0xFFFFFFFFu);
    }
    return ColourValue(value);
}

// A relative line may come from Windows: a backslash separates folders. As the program's folder does
// not exist, no part of the line is found in another letter case: all stay as written.
QString expectedPicture(const QString& line) {
    if (line.startsWith(QLatin1Char('/')))
        return line;
    return kApp + QLatin1Char('/') + QString(line).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// A palette whose every role has a colour of its own, so that a wrong role shows.
QPalette markedPalette() {
    QPalette palette;
    for (int role = 0; role < QPalette::NColorRoles; ++role)
        palette.setColor(QPalette::ColorRole(role), QColor(role, 1, 2));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(99, 98, 97));
    return palette;
}

void checkShown(ColourValue value) {
    static const QPalette palette = markedPalette();
    const QColor shown = toQColor(value, palette);
    if (value & 0x80000000u) {
        // The system colours by the index in the low byte; any other index is the face colour.
        static const QHash<quint32, QColor> roles{{5, palette.color(QPalette::Base)},
                                                  {7, palette.color(QPalette::WindowText)},
                                                  {8, palette.color(QPalette::Text)},
                                                  {13, palette.color(QPalette::Highlight)},
                                                  {14, palette.color(QPalette::HighlightedText)},
                                                  {16, palette.color(QPalette::Dark)},
                                                  {17, QColor(99, 98, 97)},
                                                  {18, palette.color(QPalette::ButtonText)},
                                                  {20, palette.color(QPalette::Light)},
                                                  {21, palette.color(QPalette::Shadow)},
                                                  {22, palette.color(QPalette::Midlight)},
                                                  {23, palette.color(QPalette::ToolTipText)},
                                                  {24, palette.color(QPalette::ToolTipBase)}};
        FUZZ_CHECK(shown == roles.value(value & 0xFFu, palette.color(QPalette::Window)));
    } else if (value > 0xFFFFFFu) {
        FUZZ_CHECK(shown == palette.color(QPalette::Window));
    } else {
        FUZZ_CHECK(shown == QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int(value >> 16)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Text that is not UTF-8 is decoded by rules of its own.
    if (!fuzz::isPlainUtf8(bytes))
        return 0;
    fuzz::writeScratchFile(QStringLiteral("s.skn"), bytes);
    const SkinValues before{QStringLiteral("p"), 1, QStringLiteral("s"), QStringLiteral("r"), 2, 3,
                            QStringLiteral("a")};
    SkinValues values = before;
    const MainWindowSkin main = loadSkinFile(fuzz::scratchFolder() + QStringLiteral("/s.skn"), kApp, values);

    const QList<QByteArray> lines = fuzz::plainLines(bytes);
    const auto line = [&](int number) { return QString::fromUtf8(lines.value(number - 1)); };
    const auto has = [&](int number) { return lines.size() >= number; };
    const auto picture = [&](int number, const QString& old) {
        return has(number) ? expectedPicture(line(number)) : old;
    };
    const auto colour = [&](int number, ColourValue old) {
        return has(number) ? expectedColour(line(number)) : old;
    };

    FUZZ_CHECK(main.picture == (has(1) ? std::optional(expectedPicture(line(1))) : std::nullopt));
    FUZZ_CHECK(main.frame1 == (has(2) ? std::optional(expectedColour(line(2))) : std::nullopt));
    FUZZ_CHECK(main.frame2 == (has(3) ? std::optional(expectedColour(line(3))) : std::nullopt));
    FUZZ_CHECK(values.prefsPicture == picture(4, before.prefsPicture));
    FUZZ_CHECK(values.prefsColour == colour(5, before.prefsColour));
    FUZZ_CHECK(values.settingsPicture == picture(6, before.settingsPicture));
    FUZZ_CHECK(values.restorePicture == picture(7, before.restorePicture));
    FUZZ_CHECK(values.restoreColour == colour(8, before.restoreColour));
    FUZZ_CHECK(values.restoreOverwriteColour == colour(9, before.restoreOverwriteColour));
    FUZZ_CHECK(values.aboutPicture == picture(10, before.aboutPicture));

    for (const std::optional<ColourValue> value : {main.frame1, main.frame2})
        checkShown(value.value_or(0));
    for (const ColourValue value : {values.prefsColour, values.restoreColour, values.restoreOverwriteColour})
        checkShown(value);
    return 0;
}
