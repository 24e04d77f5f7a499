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

} // namespace zq2::fuzz
