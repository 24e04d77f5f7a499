#include "support/tempfiles.h"

#include "platform/filenames.h"

#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zq2::test {

namespace {

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(encodeFileName(path).toStdString());
}

} // namespace

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(fsPath(path()), ignored);
}

void makeFolder(const QString& path) {
    std::error_code ignored;
    std::filesystem::create_directories(fsPath(path), ignored);
}

void useHomeOfItsOwn(const QString& home) {
    QVERIFY(!home.isEmpty());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    qputenv("HOME", QFile::encodeName(home));
}

void writeFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder + QLatin1Char('/') + name;
    makeFolder(QFileInfo(path).path());
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.constData(), bytes.size()).flush())
        QTest::qFail(qPrintable(QStringLiteral("cannot write ") + path), __FILE__, __LINE__);
}

void fillFolder(const QString& folder, const QStringList& entries) {
    makeFolder(folder);
    for (const QString& entry : entries) {
        if (entry.endsWith(QLatin1Char('/')))
            makeFolder(folder + QLatin1Char('/') + entry);
        else
            writeFile(folder, entry.section(QLatin1Char('='), 0, 0),
                      entry.section(QLatin1Char('='), 1).toLatin1());
    }
}

QByteArray readFile(const QString& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fsPath(path), error))
        return QByteArray("<missing>");
    std::ifstream in(fsPath(path), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return QByteArray::fromStdString(bytes);
}

QStringList folderEntries(const QString& folder) {
    QStringList names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(fsPath(folder), error))
        names << decodeFileName(QByteArray::fromStdString(entry.path().filename().native()));
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    QStringList entries;
    for (const QString& name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        entries << (std::filesystem::is_directory(fsPath(path), error)
                        ? name + QLatin1Char('/')
                        : name + QLatin1Char('=') + QString::fromLatin1(readFile(path)));
    }
    return entries;
}

void writeRecorder(const QString& folder, const QString& name, bool executable) {
    writeFile(folder, name,
              "#!/bin/sh\nprintf '%s|' \"$@\" \"$(pwd -P)\" > \"$0.tmp\"\n/bin/mv \"$0.tmp\" \"$0.args\"\n");
    using std::filesystem::perms;
    std::filesystem::permissions(fsPath(folder + QLatin1Char('/') + name),
                                 executable ? perms::owner_all : perms::owner_read | perms::owner_write);
}

QByteArray levelBytes(const QByteArray& field, int size) {
    QByteArray bytes(size, 'x');
    for (int i = 0; i < 32 && 188 + i < size; ++i)
        bytes[188 + i] = i < field.size() ? field[i] : '\0';
    return bytes;
}

} // namespace zq2::test
