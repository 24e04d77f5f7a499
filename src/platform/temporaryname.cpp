#include "platform/temporaryname.h"

#include <QRandomGenerator>

#include <algorithm>

namespace zq2 {

namespace {

constexpr QByteArrayView kPrefix(".zq2-");
constexpr QByteArrayView kSuffix(".part");
constexpr qsizetype kDigits = 8;

} // namespace

QString newTemporaryName() {
    return QStringLiteral(".zq2-%1.part")
        .arg(QRandomGenerator::global()->generate(), kDigits, 16, QLatin1Char('0'));
}

bool isTemporaryName(QByteArrayView name) {
    if (name.size() != kPrefix.size() + kDigits + kSuffix.size() || !name.startsWith(kPrefix) ||
        !name.endsWith(kSuffix))
        return false;
    const QByteArrayView digits = name.sliced(kPrefix.size(), kDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

} // namespace zq2
