#include "appearance/colours.h"

#include <algorithm>
#include <cmath>

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

namespace {

double relativeLuminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

constexpr double kVisibleContrast = 3.0;

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor mostVisibleOn(const QColor& background, const QList<QColor>& candidates) {
    QColor best;
    double bestRatio = 0;
    for (const QColor& candidate : candidates) {
        const double ratio = contrastRatio(candidate, background);
        if (ratio >= kVisibleContrast)
            return candidate;
        if (ratio > bestRatio) {
            best = candidate;
            bestRatio = ratio;
        }
    }
    return best;
}

} // namespace zq2
