#include "restore/restore.h"
#include "support/tempfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;

namespace {

// Entries are "name=<letter><size>" (a file of <size> copies of <letter>) or "name/" (a folder).
void fill(const QString& folder, const QStringList& entries) {
    QDir().mkpath(folder);
    for (const QString& entry : entries) {
        const QString content = entry.section(QLatin1Char('='), 1);
        if (entry.endsWith(QLatin1Char('/')))
            QDir(folder).mkpath(entry);
        else
            zq2::test::writeFile(folder, entry.section(QLatin1Char('='), 0, 0),
                                 QByteArray(content.mid(1).toInt(), content.at(0).toLatin1()));
    }
}

QStringList folderState(const QString& folder) {
    QStringList state;
    for (const QFileInfo& e :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QByteArray bytes = zq2::test::readFile(e.filePath());
        state << (e.isDir()
                      ? e.fileName() + QLatin1Char('/')
                      : QStringLiteral("%1=%2%3").arg(e.fileName()).arg(bytes.left(1)).arg(bytes.size()));
    }
    state.sort();
    return state;
}

RestoreChoice choiceOf(const QString& ticks) {
    RestoreChoice c;
    bool* boxes[] = {&c.levels, &c.tilesets, &c.music,    &c.game,   &c.zle,
                     &c.zleIni, &c.video,    &c.episodes, &c.macros, &c.autoOverwrite};
    for (int i = 0; i < 10; ++i)
        *boxes[i] = ticks.at(i) == QLatin1Char('x');
    return c;
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    void patternOfTicks_data();
    void patternOfTicks();
    void failureCodes_data();
    void failureCodes();
    void runRestore_data();
    void runRestore();
};

// Ticks are ten characters, 'x' for ticked: the nine groups in dialog order, then auto-overwrite.
void TestRestore::patternOfTicks_data() {
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("game program only") << "...x......"
                                       << "Zeno2.exe";
    QTest::newRow("initial ticks") << "xxx......."
                                   << "*.z2l;*.z2t;*.z2b";
    QTest::newRow("all nine") << "xxxxxxxxxx"
                              << "*.z2l;*.z2t;*.z2b;Zeno2.exe;ZLE.exe;ZLE.ini;*.z2v;*.z2e;*.z2m";
}

void TestRestore::patternOfTicks() {
    QFETCH(QString, ticks);
    QFETCH(QString, pattern);
    QCOMPARE(restorePattern(choiceOf(ticks)), pattern);
}

void TestRestore::failureCodes_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString wrongCd =
        QStringLiteral("Wrong CD.  Please insert your Zeno Quillback 2 CD and try again.");
    const QString drive = QStringLiteral("Your CD-ROM drive is either open, empty, or is not yet up to "
                                         "speed.  Please insert your Zeno Quillback 2 CD "
                                         "or wait for the drive to stop spinning before trying again.");
    QTest::newRow("missing") << ENOENT << 76 << wrongCd;
    QTest::newRow("read error") << EIO << 68 << drive;
    QTest::newRow("no medium") << ENOMEDIUM << 68 << drive;
    QTest::newRow("permission") << EACCES << 1000 + EACCES
                                << QStringLiteral("Unknown error.  Error number 1013.");
}

void TestRestore::failureCodes() {
    QFETCH(int, err);
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(failureCode(err), code);
    QCOMPARE(failureMessage(failureCode(err)), message);
}

void TestRestore::runRestore_data() {
    QTest::addColumn<QStringList>("cd");   // {"-"}: no CD folder
    QTest::addColumn<QStringList>("game"); // {"-"}: no game folder
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QString>("answers"); // y or n for each question, in order
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("gameAfter");

    using K = RestoreResult::Kind;
    const QStringList none;
    const QStringList a{"a.z2l=c1"};
    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << QStringLiteral("f%1.z2l=c%2").arg(i, 2, 10, QLatin1Char('0')).arg(i);

    QTest::newRow("nothing ticked") << a << none << ".........x"
                                    << "" << int(K::NothingTicked) << 0 << none << none;
    QTest::newRow("no file of the groups") << a << none << "...x......"
                                           << "" << int(K::WrongCd) << 0 << none << none;
    QTest::newRow("ticked groups only, CD spelling")
        << QStringList{"A.Z2L=c5", "t.z2t=c3", "ZLE.ini=c1", "Zeno2.EXE=c4"} << none << "x..x......"
        << "" << int(K::Completed) << 0 << none << QStringList{"A.Z2L=c5", "Zeno2.EXE=c4"};
    QTest::newRow("other case: asked, yes")
        << QStringList{"level1.z2l=c1536"} << QStringList{"LEVEL1.Z2L=g1000"} << "x........."
        << "y" << int(K::Completed) << 0 << QStringList{"level1.z2l 1000 1536"}
        << QStringList{"level1.z2l=c1536"};
    QTest::newRow("auto-overwrite asks nothing")
        << QStringList{"level1.z2l=c1536"} << QStringList{"LEVEL1.Z2L=g1000"} << "x........x"
        << "" << int(K::Completed) << 0 << none << QStringList{"level1.z2l=c1536"};
    QTest::newRow("no skips only that file")
        << QStringList{"a.z2l=c1", "b.z2l=c2", "c.z2l=c3"} << QStringList{"B.z2l=g9", "c.z2l=g8"}
        << "x........."
        << "ny" << int(K::Completed) << 0 << QStringList{"b.z2l 9 2", "c.z2l 8 3"}
        << QStringList{"B.z2l=g9", "a.z2l=c1", "c.z2l=c3"};
    QTest::newRow("failure on the fifth of ten")
        << ten << QStringList{"f05.z2l/"} << "x........."
        << "" << int(K::Failed) << 1000 + EEXIST << none
        << QStringList{"f01.z2l=c1", "f02.z2l=c2", "f03.z2l=c3", "f04.z2l=c4", "f05.z2l/"};
    QTest::newRow("no CD folder") << QStringList{"-"} << none << "x........."
                                  << "" << int(K::Failed) << 76 << none << none;
    QTest::newRow("no game folder") << a << QStringList{"-"} << "x........."
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
    if (cd != QStringList{"-"})
        fill(cdDir, cd);
    if (game != QStringList{"-"})
        fill(gameDir, game);
    const QStringList cdBefore = folderState(cdDir);

    QStringList questions;
    const AskReplace ask = [&](const QString& name, qint64 oldSize, qint64 newSize) {
        questions << QStringLiteral("%1 %2 %3").arg(name).arg(oldSize).arg(newSize);
        return answers.mid(questions.size() - 1, 1) == QLatin1String("y");
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
