#include "platform/filenames.h"

#include <algorithm>

namespace zq2 {

namespace {

// An undecodable byte b (always 0x80 or above) is held as U+DC00 + b.
constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence that begins at `p`, or 0 when none begins there:
// overlong forms, encoded surrogates, code points above U+10FFFF and sequences cut short are not
// well-formed. The range of the second byte is what rules out the first three.
qsizetype sequenceLength(const unsigned char* p, qsizetype left) {
    const unsigned char lead = p[0];
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(p[i]))
            return 0;
    }
    return length;
}

char32_t codePointOf(const unsigned char* p, qsizetype length) {
    static constexpr unsigned char kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t code = p[0] & kLeadBits[length];
    for (qsizetype i = 1; i < length; ++i)
        code = (code << 6) | (p[i] & 0x3F);
    return code;
}

void appendUtf8(QByteArray& out, char32_t code) {
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

bool pairsAt(QStringView text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

} // namespace

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QString decodeFileName(QByteArrayView bytes) {
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    // Every byte gives at most one UTF-16 unit, except the four of a sequence that gives two.
    QString text(n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            *out++ = p[i++];
            continue;
        }
        const qsizetype length = sequenceLength(p + i, n - i);
        if (length == 0) {
            *out++ = char16_t(kEscapeBase + p[i++]);
            continue;
        }
        const char32_t code = codePointOf(p + i, length);
        if (code >= 0x10000) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = char16_t(code);
        }
        i += length;
    }
    text.truncate(out - reinterpret_cast<const char16_t*>(text.constData()));
    return text;
}

QByteArray encodeFileName(QStringView text) {
    if (isAscii(text))
        return text.toLatin1();
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (pairsAt(text, i)) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            bytes.append(char(unit - kEscapeBase));
        } else {
            // A lone surrogate outside the escapes cannot come from a decoded name; it is written the
            // way Qt writes it.
            appendUtf8(bytes,
                       QChar::isSurrogate(unit) ? char32_t(QChar::ReplacementCharacter) : char32_t(unit));
        }
    }
    return bytes;
}

QString foldFileName(const QString& name) {
    QString folded;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (pairsAt(name, i)) {
            ++i;
        } else if (name[i].isSurrogate()) {
            folded += QStringView(name).sliced(runStart, i - runStart).toString().toCaseFolded();
            folded += name[i];
            runStart = i + 1;
        }
    }
    if (runStart == 0)
        return name.toCaseFolded();
    return folded + QStringView(name).sliced(runStart).toString().toCaseFolded();
}

QString displayFileName(const QString& text) {
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); }))
        return text;
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (pairsAt(shown, i))
            ++i;
        else if (shown[i].isSurrogate())
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

QString typedOrKept(const QString& boxText, const QString& value) {
    return boxText == displayFileName(value) ? value : boxText;
}

QString decodeStoredPath(QByteArrayView bytes) {
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    return decodeFileName(bytes);
#endif
}

QByteArray encodeStoredPath(QStringView text) {
#ifdef Q_OS_WIN
    return text.toLocal8Bit();
#else
    return encodeFileName(text);
#endif
}

} // namespace zq2
