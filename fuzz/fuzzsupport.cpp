#include "fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zq2::fuzz {

const QString& scratchFolder() {
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/zq2fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/zq2fuzz-XXXXXX"));
    static const QString path = dir.path();
    FUZZ_CHECK(dir.isValid());
    return path;
}

void writeScratchFile(const QString& name, const QByteArray& bytes) {
    QFile file(scratchFolder() + QLatin1Char('/') + name);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

QList<QByteArray> plainLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            lines.append(line);
            line.clear();
        } else {
            line.append(bytes[i]);
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

bool isPlainUtf8(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

std::optional<QList<QByteArray>> editedFile(FuzzedDataProvider& input, const QString& name) {
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));
    if (!isPlainUtf8(bytes))
        return std::nullopt;
    writeScratchFile(name, bytes);
    return plainLines(bytes);
}

bool sameIgnoringAsciiCase(const QString& text, QLatin1String keyword) {
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

bool hasLineEnd(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace zq2::fuzz
