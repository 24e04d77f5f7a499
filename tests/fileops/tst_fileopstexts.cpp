#include "fileops/deletion.h"
#include "fileops/kilobytes.h"

#include <QTest>

#include <cerrno>
#include <cstring>

using namespace zq2;

class TestFileOpsTexts : public QObject {
    Q_OBJECT

private slots:
    void replaceQuestionSizes_data();
    void replaceQuestionSizes();
    void deleteQuestionTitle_data();
    void deleteQuestionTitle();
    void clearCacheCount_data();
    void clearCacheCount();
    void failureReportNamesFiles_data();
    void failureReportNamesFiles();
};

void TestFileOpsTexts::replaceQuestionSizes_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("oldSize");
    QTest::addColumn<qint64>("newSize");
    QTest::addColumn<QString>("question");

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    const QString level = QStringLiteral("level1.z2l (Size: ");
    auto text = [&](const QString& a, const QString& b) {
        return QStringLiteral("Are you sure you want to replace ") + level + a +
               QStringLiteral(" KB) with ") + level + b + QStringLiteral(" KB)?");
    };
    QTest::newRow("fraction then whole") << c << qint64(1500) << qint64(1000) << text("1.5", "1");
    QTest::newRow("equal sizes") << c << qint64(2048) << qint64(2048) << text("2.048", "2.048");
    QTest::newRow("empty file") << c << qint64(0) << qint64(12000) << text("0", "12");
    QTest::newRow("below one kilobyte") << c << qint64(999) << qint64(1) << text("0.999", "0.001");
    QTest::newRow("no grouping, no exponent")
        << c << qint64(1234567890) << qint64(1000000000000) << text("1234567.89", "1000000000");
    QTest::newRow("decimal comma") << german << qint64(1500) << qint64(1536) << text("1,5", "1,536");
    QTest::newRow("decimal comma, whole, large")
        << german << qint64(7000000) << qint64(10) << text("7000", "0,01");
}

void TestFileOpsTexts::replaceQuestionSizes() {
    QFETCH(QLocale, locale);
    QFETCH(qint64, oldSize);
    QFETCH(qint64, newSize);
    QFETCH(QString, question);
    QCOMPARE(replaceQuestion(QStringLiteral("level1.z2l"), oldSize, newSize, locale), question);
}

void TestFileOpsTexts::deleteQuestionTitle_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("question");
    QTest::newRow("titled level") << QStringLiteral("Title: Lava Caves")
                                  << QStringLiteral("Are you sure you want to delete Lava Caves (cave.z2l)?");
    QTest::newRow("empty title keeps two blanks")
        << QStringLiteral("Title: ") << QStringLiteral("Are you sure you want to delete  (cave.z2l)?");
    QTest::newRow("no title") << QStringLiteral("No Title")
                              << QStringLiteral("Are you sure you want to delete this file (cave.z2l)?");
    QTest::newRow("no title, other case")
        << QStringLiteral("NO TITLE")
        << QStringLiteral("Are you sure you want to delete this file (cave.z2l)?");
    QTest::newRow("title that reads No Title")
        << QStringLiteral("Title: No Title")
        << QStringLiteral("Are you sure you want to delete No Title (cave.z2l)?");
}

void TestFileOpsTexts::deleteQuestionTitle() {
    QFETCH(QString, caption);
    QFETCH(QString, question);
    QCOMPARE(deleteQuestion(caption, QStringLiteral("cave.z2l")), question);
}

void TestFileOpsTexts::clearCacheCount_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("question");
    QTest::newRow("one") << 1 << QStringLiteral("Are you sure you want to delete this 1 file?");
    QTest::newRow("two") << 2 << QStringLiteral("Are you sure you want to delete these 2 files?");
    QTest::newRow("thousands, no grouping")
        << 12345 << QStringLiteral("Are you sure you want to delete these 12345 files?");
}

void TestFileOpsTexts::clearCacheCount() {
    QFETCH(int, count);
    QFETCH(QString, question);
    QCOMPARE(clearCacheQuestion(count), question);
    QCOMPARE(cacheIsEmptyText(), QStringLiteral("Cache is empty."));
}

void TestFileOpsTexts::failureReportNamesFiles_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("report");
    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("one") << 1 << QStringLiteral("Could not copy f0.z2l: ") + denied + QLatin1Char('.');
    QTest::newRow("two") << 2
                         << QStringLiteral("Could not copy 2 files:\nf0.z2l: ") + denied +
                                QStringLiteral("\nf1.z2l: ") + denied;
    QString seven = QStringLiteral("Could not copy 7 files:");
    for (int i = 0; i < 5; ++i)
        seven += QStringLiteral("\nf%1.z2l: ").arg(i) + denied;
    seven += QStringLiteral("\nand 2 more.");
    QTest::newRow("seven: five named") << 7 << seven;
}

void TestFileOpsTexts::failureReportNamesFiles() {
    QFETCH(int, count);
    QFETCH(QString, report);
    QList<FileError> failures;
    for (int i = 0; i < count; ++i)
        failures << FileError::fromErrno(EACCES, QStringLiteral("/games/zq2/f%1.z2l").arg(i));
    QCOMPARE(failureReport(QStringLiteral("Could not copy"), failures), report);
}

QTEST_GUILESS_MAIN(TestFileOpsTexts)
#include "tst_fileopstexts.moc"
