#include "appearance/colours.h"

namespace zq2 {

namespace {

constexpr ColourValue kSystemColourBit = 0x80000000u;

QColor systemColour(quint32 index, const QPalette& palette) {
    switch (index) {
    case 5:
        return palette.color(QPalette::Base);
    case 7:
        return palette.color(QPalette::WindowText);
    case 8:
        return palette.color(QPalette::Text);
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 16:
        return palette.color(QPalette::Dark);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Light);
    case 21:
        return palette.color(QPalette::Shadow);
    case 22:
        return palette.color(QPalette::Midlight);
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    default:
        // 4 (menu), 15 (button face) and every index this desktop has no match for.
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor toQColor(ColourValue value, const QPalette& palette) {
    if (value & kSystemColourBit)
        return systemColour(value & 0xFFu, palette);
    if (value > 0xFFFFFFu)
        return palette.color(QPalette::Window);
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

} // namespace zq2
