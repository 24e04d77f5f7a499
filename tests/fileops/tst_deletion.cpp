#include "fileops/deletion.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <unistd.h>

using namespace zq2;

// Every test here runs with the desktop trash pointed at a folder of its own, so that the user's
// real trash is never touched.
class TestDeletion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void removeFileOutcomes_data();
    void removeFileOutcomes();

private:
    QTemporaryDir dataHome_;
};

void TestDeletion::initTestCase() {
    QVERIFY(dataHome_.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome_.path()));
}

void TestDeletion::removeFileOutcomes_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("inTrash");
    QTest::newRow("into the trash") << "trash" << 0 << true;
    QTest::newRow("no trash: deleted") << "no trash" << 0 << false;
    QTest::newRow("missing file") << "missing" << ENOENT << false;
    QTest::newRow("a folder") << "folder" << EISDIR << false;
    QTest::newRow("read-only folder") << "read-only" << EACCES << false;
}

void TestDeletion::removeFileOutcomes() {
    QFETCH(QString, scenario);
    QFETCH(int, code);
    QFETCH(bool, inTrash);
    if (scenario == QLatin1String("read-only") && ::geteuid() == 0)
        QSKIP("permissions do not bind the super-user");

    QTemporaryDir game(dataHome_.filePath(QStringLiteral("game-XXXXXX")));
    const QString trash = dataHome_.filePath(QStringLiteral("Trash"));
    const QString trashFiles = trash + QStringLiteral("/files");
    QDir(trash).removeRecursively();
    QFile::remove(trash);
    if (scenario == QLatin1String("no trash")) // a plain file where the trash would be: it cannot be made
        zq2::test::writeFile(dataHome_.path(), QStringLiteral("Trash"), "in the way");
    QString path = game.filePath(QStringLiteral("cave.z2l"));
    if (scenario == QLatin1String("folder"))
        QDir().mkpath(path);
    else if (scenario != QLatin1String("missing"))
        zq2::test::writeFile(game.path(), QStringLiteral("cave.z2l"), "LEVEL");
    if (scenario == QLatin1String("read-only"))
        QFile::setPermissions(game.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const FileError error = removeFile(path);
    QFile::setPermissions(game.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(error.code, code);
    if (code == 0)
        QVERIFY(!QFileInfo::exists(path));
    else if (scenario != QLatin1String("missing"))
        QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QFileInfo::exists(trashFiles + QStringLiteral("/cave.z2l")), inTrash);
    if (inTrash)
        QCOMPARE(zq2::test::readFile(trashFiles + QStringLiteral("/cave.z2l")), QByteArray("LEVEL"));
}

QTEST_GUILESS_MAIN(TestDeletion)
#include "tst_deletion.moc"
