#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace zq2::test {

void writeFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        QTest::qFail(qPrintable(QStringLiteral("cannot write ") + path), __FILE__, __LINE__);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

QStringList folderContents(const QString& folder) {
    QStringList state;
    for (const auto& e :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        state << e.fileName() + QLatin1Char('=') + QString::fromLatin1(readFile(e.filePath()));
    return state;
}

QByteArray levelBytes(const QByteArray& field, int size) {
    QByteArray bytes(size, 'x');
    for (int i = 0; i < 32 && 188 + i < size; ++i)
        bytes[188 + i] = i < field.size() ? field[i] : '\0';
    return bytes;
}

} // namespace zq2::test
