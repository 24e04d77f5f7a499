#include "fileops/deletion.h"
#include "fileops/kilobytes.h"

#include <QTest>

#include <cerrno>
#include <cstring>

using namespace zq2;

class TestFileOpsTexts : public QObject {
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
};

void TestFileOpsTexts::texts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    auto replace = [](const char* oldKb, const char* newKb) {
        return QStringLiteral(
                   "Are you sure you want to replace a.z2l (Size: %1 KB) with a.z2l (Size: %2 KB)?")
            .arg(QLatin1String(oldKb), QLatin1String(newKb));
    };
    const QString a = QStringLiteral("a.z2l");
    QTest::newRow("replace: fraction, whole") << replaceQuestion(a, 1500, 1000, c) << replace("1.5", "1");
    QTest::newRow("replace: empty, twelve") << replaceQuestion(a, 0, 12000, c) << replace("0", "12");
    QTest::newRow("replace: small, huge")
        << replaceQuestion(a, 999, 1234567890000, c) << replace("0.999", "1234567890");
    QTest::newRow("replace: decimal comma")
        << replaceQuestion(a, 1500, 7000000, german) << replace("1,5", "7000");

    const QString cave = QStringLiteral("cave.z2l");
    QTest::newRow("delete: title") << deleteQuestion(QStringLiteral("Title: Lava Caves"), cave)
                                   << QStringLiteral(
                                          "Are you sure you want to delete Lava Caves (cave.z2l)?");
    QTest::newRow("delete: no title")
        << deleteQuestion(QStringLiteral("NO TITLE"), cave)
        << QStringLiteral("Are you sure you want to delete this file (cave.z2l)?");
    QTest::newRow("clear: one") << clearCacheQuestion(1)
                                << QStringLiteral("Are you sure you want to delete this 1 file?");
    QTest::newRow("clear: many") << clearCacheQuestion(12345)
                                 << QStringLiteral("Are you sure you want to delete these 12345 files?");

    QList<FileError> failures;
    for (int i = 0; i < 7; ++i)
        failures << FileError::fromErrno(EACCES, QStringLiteral("/games/zq2/f%1.z2l").arg(i));
    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    QTest::newRow("report: one") << failureReport(QStringLiteral("Could not copy"), failures.mid(0, 1))
                                 << QStringLiteral("Could not copy f0.z2l: %1.").arg(denied);
    QString seven = QStringLiteral("Could not delete 7 files:");
    for (int i = 0; i < 5; ++i)
        seven += QStringLiteral("\nf%1.z2l: %2").arg(i).arg(denied);
    QTest::newRow("report: five named of seven")
        << failureReport(QStringLiteral("Could not delete"), failures)
        << seven + QStringLiteral("\nand 2 more.");
}

void TestFileOpsTexts::texts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestFileOpsTexts)
#include "tst_fileopstexts.moc"
