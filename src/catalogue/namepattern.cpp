#include "catalogue/namepattern.h"

#include "platform/filenames.h"

#include <QList>

#include <algorithm>
#include <vector>

namespace zq2 {

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool hasSurrogates(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

// The characters of a text, a pair of surrogates counting as one. A lone surrogate (a byte of a file
// name that is not UTF-8, see decodeFileName) stays a character of its own instead of turning into
// U+FFFD, as QString::toUcs4 would make it, so that it matches only itself.
std::vector<char32_t> codePoints(QStringView text) {
    std::vector<char32_t> points;
    points.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            points.push_back(c.unicode());
        }
    }
    return points;
}

// Wildcard match of an already folded pattern against a name whose characters are folded on the
// way by `fold`. Backtracks only to the last "*", so the cost stays linear for the usual patterns
// and at worst pattern length times name length.
template <typename PatternChar, typename NameChar, typename Fold>
bool wildcardMatch(const PatternChar* pattern, qsizetype patternLength, const NameChar* name,
                   qsizetype nameLength, Fold fold) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < nameLength) {
        if (p < patternLength && pattern[p] == PatternChar('*')) {
            starAt = p++;
            resumeAt = n;
        } else if (p < patternLength && (pattern[p] == PatternChar('?') || pattern[p] == fold(name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < patternLength && pattern[p] == PatternChar('*'))
        ++p;
    return p == patternLength;
}

} // namespace

NamePattern::NamePattern(const QString& patternText) {
    for (QStringView text : QStringView(patternText).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        // Like the desktop's own file search, "name.*" also finds "name" without any extension.
        QStringView withoutDotStar = text;
        if (text.endsWith(QLatin1String(".*")))
            withoutDotStar = text.chopped(2);
        if (!withoutDotStar.isEmpty() &&
            std::all_of(withoutDotStar.begin(), withoutDotStar.end(), [](QChar c) { return c == u'*'; })) {
            matchesAll_ = true;
            continue;
        }
        pieces_.push_back(compile(text));
        if (withoutDotStar.size() != text.size())
            pieces_.push_back(compile(withoutDotStar));
    }
    if (matchesAll_)
        pieces_.clear();
    allAscii_ = std::all_of(pieces_.begin(), pieces_.end(), [](const Piece& p) { return p.isAscii; });
}

NamePattern::Piece NamePattern::compile(QStringView text) {
    Piece piece;
    piece.folded = text.toString().toCaseFolded();
    piece.isAscii = isAscii(text);
    const bool hasQuestionMark = text.contains(QLatin1Char('?'));
    if (piece.isAscii) {
        piece.ascii = text.toLatin1().toStdString();
        std::transform(piece.ascii.begin(), piece.ascii.end(), piece.ascii.begin(), asciiLower);
    }
    const QStringView rest = text.mid(1);
    if (text.startsWith(QLatin1Char('*')) && !rest.isEmpty() && !rest.contains(QLatin1Char('*')) &&
        !hasQuestionMark) {
        piece.isSuffix = true;
        piece.suffixText = rest.toString();
    }
    return piece;
}

bool NamePattern::matchesPiece(const Piece& piece, QStringView name) {
    if (piece.isSuffix)
        return name.endsWith(piece.suffixText, Qt::CaseInsensitive);
    // A character beyond the first 65536 takes two UTF-16 units, which fold only together and which
    // "?" must take as one: such texts are compared by whole characters.
    if (hasSurrogates(name) || hasSurrogates(piece.folded)) {
        const std::vector<char32_t> pattern = codePoints(piece.folded);
        const std::vector<char32_t> folded = codePoints(foldFileName(name.toString()));
        return wildcardMatch(pattern.data(), qsizetype(pattern.size()), folded.data(),
                             qsizetype(folded.size()), [](char32_t c) { return c; });
    }
    return wildcardMatch(piece.folded.constData(), piece.folded.size(), name.data(), name.size(),
                         [](QChar c) { return c.toCaseFolded(); });
}

bool NamePattern::matchesPieceEncoded(const Piece& piece, QByteArrayView name) {
    if (piece.isSuffix) {
        const qsizetype length = qsizetype(piece.ascii.size()) - 1; // without the leading "*"
        if (name.size() < length)
            return false;
        const char* tail = name.data() + (name.size() - length);
        for (qsizetype i = 0; i < length; ++i) {
            if (asciiLower(tail[i]) != piece.ascii[size_t(i + 1)])
                return false;
        }
        return true;
    }
    return wildcardMatch(piece.ascii.data(), qsizetype(piece.ascii.size()), name.data(), name.size(),
                         asciiLower);
}

bool NamePattern::matches(QStringView name) const {
    if (matchesAll_)
        return !name.isEmpty();
    return std::any_of(pieces_.begin(), pieces_.end(), [&](const Piece& p) { return matchesPiece(p, name); });
}

bool NamePattern::matchesEncoded(QByteArrayView name) const {
    if (matchesAll_)
        return !name.isEmpty();
    if (pieces_.empty())
        return false;
    // Letters beyond ASCII have case rules of their own (and "?" stands for a whole character, not
    // a byte), so such names are decoded first; byte-wise matching is exact for the rest. A byte
    // that does not decode stays a character of its own, which only "?" and "*" match.
    if (!allAscii_ || !isAscii(name))
        return matches(decodeFileName(name));
    return std::any_of(pieces_.begin(), pieces_.end(),
                       [&](const Piece& p) { return matchesPieceEncoded(p, name); });
}

} // namespace zq2
