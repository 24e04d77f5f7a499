#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

namespace zq2 {

// The pattern every file list starts with: the three kinds of game file.
inline QString defaultListPattern() {
    return QStringLiteral("*.z2l;*.z2t;*.z2b");
}

// A set of wildcard patterns separated by ";" ("*" any run of characters, "?" exactly one),
// compiled once and then tested against many file names. Letter case is ignored. A piece that ends
// in ".*" also matches names without any dot, so "*.*" matches every name. Empty pieces are
// ignored, and a pattern text with no pieces at all matches nothing.
class NamePattern {
public:
    explicit NamePattern(const QString& patternText);

    bool matches(QStringView name) const;

    // The same test on a name as the file system hands it out (its bytes), without decoding it
    // first when both the name and the pattern are plain ASCII; other names are decoded as
    // decodeFileName does.
    bool matchesEncoded(QByteArrayView name) const;

    bool isEmpty() const { return pieces_.empty() && !matchesAll_; }
    bool matchesEverything() const { return matchesAll_; }

private:
    struct Piece {
        QString folded;    // the piece with its letters case-folded
        std::string ascii; // the same, lower-cased, when the piece is plain ASCII
        bool isAscii = false;
        // "*.ext" with no other wildcard: a suffix test, the common case in practice
        bool isSuffix = false;
        QString suffixText; // ".ext" as written
    };

    static Piece compile(QStringView text);
    static bool matchesPiece(const Piece& piece, QStringView name);
    static bool matchesPieceEncoded(const Piece& piece, QByteArrayView name);

    std::vector<Piece> pieces_;
    bool matchesAll_ = false;
    bool allAscii_ = true;
};

} // namespace zq2
