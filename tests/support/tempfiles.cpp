#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

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

void withFolderMode(const QString& folder, mode_t mode, const std::function<void()>& action) {
    const QByteArray path = QFile::encodeName(folder);
    const bool root = geteuid() == 0;
    if (::chmod(path.constData(), mode) != 0 || (root && seteuid(65534) != 0))
        QTest::qFail("cannot change the folder's mode or the user", __FILE__, __LINE__);
    action();
    if ((root && seteuid(0) != 0) || ::chmod(path.constData(), 0700) != 0)
        QTest::qFail("cannot give the folder back", __FILE__, __LINE__);
}

QByteArray levelBytes(const QByteArray& field, int size) {
    QByteArray bytes(size, 'x');
    for (int i = 0; i < 32 && 188 + i < size; ++i)
        bytes[188 + i] = i < field.size() ? field[i] : '\0';
    return bytes;
}

} // namespace zq2::test
