#include "restore/restore.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;

namespace {

// "name=<letter><size>" for every entry, sorted; a folder reads "name=<folder>".
QStringList folderState(const QString& folder) {
    QStringList state;
    for (const QFileInfo& entry :
         QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isDir()) {
            state << entry.fileName() + QStringLiteral("=<folder>");
            continue;
        }
        const QByteArray bytes = zq2::test::readFile(entry.filePath());
        state << entry.fileName() + QLatin1Char('=') + QLatin1Char(bytes.isEmpty() ? '-' : bytes.at(0)) +
                     QString::number(bytes.size());
    }
    state.sort();
    return state;
}

// Entries "name=<letter><size>" become files of <size> copies of <letter>; "name/" a folder.
void fill(const QString& folder, const QStringList& entries) {
    QDir().mkpath(folder);
    for (const QString& entry : entries) {
        if (entry.endsWith(QLatin1Char('/'))) {
            QDir(folder).mkpath(entry);
            continue;
        }
        const QString spec = entry.section(QLatin1Char('='), 1);
        zq2::test::writeFile(folder, entry.section(QLatin1Char('='), 0, 0),
                             QByteArray(spec.mid(1).toInt(), spec.at(0).toLatin1()));
    }
}

RestoreChoice choiceOf(const QString& ticks) {
    RestoreChoice c;
    c.levels = ticks.contains(QLatin1String("levels"));
    c.tilesets = ticks.contains(QLatin1String("tilesets"));
    c.music = ticks.contains(QLatin1String("music"));
    c.game = ticks.contains(QLatin1String("game"));
    c.zle = ticks.contains(QLatin1String("zle"));
    c.zleIni = ticks.contains(QLatin1String("ini"));
    c.video = ticks.contains(QLatin1String("video"));
    c.episodes = ticks.contains(QLatin1String("episodes"));
    c.macros = ticks.contains(QLatin1String("macros"));
    c.autoOverwrite = ticks.contains(QLatin1String("auto"));
    return c;
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    void patternOfTicks_data();
    void patternOfTicks();
    void failureCodesAndMessages_data();
    void failureCodesAndMessages();
    void runRestore_data();
    void runRestore();
};

void TestRestore::patternOfTicks_data() {
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("nothing") << ""
                             << "";
    QTest::newRow("only overwrite") << "auto"
                                    << "";
    QTest::newRow("game program only") << "game"
                                       << "Zeno2.exe";
    QTest::newRow("initial ticks") << "levels tilesets music"
                                   << "*.z2l;*.z2t;*.z2b";
    QTest::newRow("last group only") << "macros"
                                     << "*.z2m";
    QTest::newRow("all nine in table order")
        << "macros episodes video ini zle game music tilesets levels auto"
        << "*.z2l;*.z2t;*.z2b;Zeno2.exe;ZLE.exe;ZLE.ini;*.z2v;*.z2e;*.z2m";
}

void TestRestore::patternOfTicks() {
    QFETCH(QString, ticks);
    QFETCH(QString, pattern);
    QCOMPARE(restorePattern(choiceOf(ticks)), pattern);
}

void TestRestore::failureCodesAndMessages_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString wrongCd =
        QStringLiteral("Wrong CD.  Please insert your Zeno Quillback 2 CD and try again.");
    const QString drive = QStringLiteral("Your CD-ROM drive is either open, empty, or is not yet up to "
                                         "speed.  Please insert your Zeno Quillback 2 CD "
                                         "or wait for the drive to stop spinning before trying again.");
    QTest::newRow("missing") << ENOENT << 76 << wrongCd;
    QTest::newRow("not a folder") << ENOTDIR << 76 << wrongCd;
    QTest::newRow("read error") << EIO << 68 << drive;
    QTest::newRow("no medium") << ENOMEDIUM << 68 << drive;
    QTest::newRow("no device") << ENODEV << 68 << drive;
    QTest::newRow("no such device or address") << ENXIO << 68 << drive;
    QTest::newRow("permission") << EACCES << 1000 + EACCES
                                << QStringLiteral("Unknown error.  Error number %1.").arg(1000 + EACCES);
    QTest::newRow("read-only file system")
        << EROFS << 1000 + EROFS << QStringLiteral("Unknown error.  Error number %1.").arg(1000 + EROFS);
    QTest::newRow("disk full") << ENOSPC << 1000 + ENOSPC
                               << QStringLiteral("Unknown error.  Error number %1.").arg(1000 + ENOSPC);
}

void TestRestore::failureCodesAndMessages() {
    QFETCH(int, err);
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(failureCode(err), code);
    QCOMPARE(failureMessage(failureCode(err)), message);
}

void TestRestore::runRestore_data() {
    QTest::addColumn<QStringList>("cd"); // empty list and "-" in cdFolder: no CD folder
    QTest::addColumn<QStringList>("game");
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("answers"); // y/n per question, in order
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("gameAfter");

    using K = RestoreResult::Kind;
    const QStringList none;
    QTest::newRow("nothing ticked: nothing copied") << QStringList{"a.z2l=c5"} << none << "auto"
                                                    << "" << int(K::NothingTicked) << 0 << none << none;
    QTest::newRow("game program missing from CD: wrong CD") << QStringList{"a.z2l=c5"} << none << "game"
                                                            << "" << int(K::WrongCd) << 0 << none << none;
    QTest::newRow("empty CD folder: wrong CD") << none << none << "levels"
                                               << "" << int(K::WrongCd) << 0 << none << none;
    QTest::newRow("only ticked groups, CD spelling kept")
        << QStringList{"A.Z2L=c5", "t.z2t=c3", "m.z2b=c2", "ZLE.ini=c1", "Zeno2.EXE=c4"} << none
        << "levels game"
        << "" << int(K::Completed) << 0 << none << QStringList{"A.Z2L=c5", "Zeno2.EXE=c4"};
    QTest::newRow("other case exists: asked with both sizes, yes")
        << QStringList{"level1.z2l=c1536"} << QStringList{"LEVEL1.Z2L=g1000"} << "levels"
        << "y" << int(K::Completed) << 0 << QStringList{"level1.z2l 1000 1536"}
        << QStringList{"level1.z2l=c1536"};
    QTest::newRow("auto-overwrite: no question")
        << QStringList{"level1.z2l=c1536"} << QStringList{"LEVEL1.Z2L=g1000", "keep.z2t=g7"} << "levels auto"
        << "" << int(K::Completed) << 0 << none << QStringList{"keep.z2t=g7", "level1.z2l=c1536"};
    QTest::newRow("no skips only that file")
        << QStringList{"a.z2l=c1", "b.z2l=c2", "c.z2l=c3"} << QStringList{"B.z2l=g9", "c.z2l=g8"} << "levels"
        << "ny" << int(K::Completed) << 0 << QStringList{"b.z2l 9 2", "c.z2l 8 3"}
        << QStringList{"B.z2l=g9", "a.z2l=c1", "c.z2l=c3"};
    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << QStringLiteral("f%1.z2l=c%2").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    QTest::newRow("failure on the fifth of ten keeps the first four")
        << ten << QStringList{"f05.z2l/"} << "levels"
        << "" << int(K::Failed) << 1000 + EEXIST << none
        << QStringList{"f01.z2l=c1", "f02.z2l=c2", "f03.z2l=c3", "f04.z2l=c4", "f05.z2l=<folder>"};
    QTest::newRow("missing CD folder") << QStringList{"-"} << none << "levels"
                                       << "" << int(K::Failed) << 76 << none << none;
    QTest::newRow("CD folder is a file") << QStringList{"="} << none << "levels"
                                         << "" << int(K::Failed) << 76 << none << none;
    QTest::newRow("missing game folder") << QStringList{"a.z2l=c1"} << QStringList{"-"} << "levels"
                                         << "" << int(K::Failed) << 76 << none << none;
}

void TestRestore::runRestore() {
    QFETCH(QStringList, cd);
    QFETCH(QStringList, game);
    QFETCH(QString, ticks);
    QFETCH(QString, answers);
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, gameAfter);

    QTemporaryDir root;
    const QString cdDir = root.filePath(QStringLiteral("Resources"));
    const QString gameDir = root.filePath(QStringLiteral("game"));
    if (cd == QStringList{QStringLiteral("=")})
        zq2::test::writeFile(root.path(), QStringLiteral("Resources"), "not a folder");
    else if (cd != QStringList{QStringLiteral("-")})
        fill(cdDir, cd);
    if (game != QStringList{QStringLiteral("-")})
        fill(gameDir, game);
    const QStringList cdBefore = folderState(cdDir);

    QStringList questions;
    int next = 0;
    const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
        questions << QStringLiteral("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
        return next < answers.size() && answers.at(next++) == QLatin1Char('y');
    };
    const RestoreResult result = zq2::runRestore(cdDir, gameDir, choiceOf(ticks), ask);
    QCOMPARE(int(result.kind), kind);
    QCOMPARE(result.code, code);
    QCOMPARE(questions, asked);
    QCOMPARE(folderState(gameDir), gameAfter);
    QCOMPARE(folderState(cdDir), cdBefore);
}

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_restore.moc"
