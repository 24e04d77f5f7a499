#include "fileops/kilobytes.h"
#include "platform/paths.h"
#include "restore/widgets/restoredialog.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace zq2;
using zq2::test::ScriptedPrompter;

class TestRestoreDialog : public QObject {
    Q_OBJECT

private slots:
    void okButton_data();
    void okButton();
    void cancelCopiesNothing();
};

void TestRestoreDialog::okButton_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("untick");
    QTest::addColumn<QStringList>("tick");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("levelAfter"); // contents of level1.z2l in the game folder afterwards

    const QString title = QStringLiteral("Zeno 2 Organizer");
    const QString errorTitle = QStringLiteral("Zeno 2 Organizer - Error");
    const QString done = QStringLiteral("Zeno 2 file restore complete.");
    const QString wrongCd =
        QStringLiteral("Wrong CD.  Please insert your Zeno Quillback 2 CD and try again.");
    const QString question = replaceQuestion(QStringLiteral("level1.z2l"), 1000, 1536, QLocale::system());
    const QByteArray cdLevel(1536, 'c');
    const QByteArray oldLevel(1000, 'g');
    const QStringList groups{"Lvls", "Tiles", "Music"};

    QTest::newRow("nothing ticked: nothing asked, stays open")
        << "replace" << groups << QStringList() << QList<int>() << QStringList() << QStringList() << false
        << oldLevel;
    QTest::newRow("replace question, yes, completes and closes")
        << "replace" << QStringList() << QStringList() << QList<int>{int(Answer::Yes), int(Answer::Ok)}
        << QStringList{question, done} << QStringList{title, title} << true << cdLevel;
    QTest::newRow("replace question, no, still completes")
        << "replace" << QStringList() << QStringList() << QList<int>{int(Answer::No), int(Answer::Ok)}
        << QStringList{question, done} << QStringList{title, title} << true << oldLevel;
    QTest::newRow("auto-overwrite asks nothing")
        << "replace" << QStringList() << QStringList{"autoOvrWrite"} << QList<int>{int(Answer::Ok)}
        << QStringList{done} << QStringList{title} << true << cdLevel;
    QTest::newRow("wrong CD stays open")
        << "replace" << groups << QStringList{"ZQ2"} << QList<int>{int(Answer::Ok)} << QStringList{wrongCd}
        << QStringList{errorTitle} << false << oldLevel;
    QTest::newRow("no CD folder stays open")
        << "no cd" << QStringList() << QStringList() << QList<int>{int(Answer::Ok)} << QStringList{wrongCd}
        << QStringList{errorTitle} << false << oldLevel;
    QTest::newRow("failure stays open with its number")
        << "folder in the way" << QStringList() << QStringList() << QList<int>{int(Answer::Ok)}
        << QStringList{QStringLiteral("Unknown error.  Error number %1.").arg(1000 + EEXIST)}
        << QStringList{errorTitle} << false << QByteArray("<missing>");
}

void TestRestoreDialog::okButton() {
    QFETCH(QString, setup);
    QFETCH(QStringList, untick);
    QFETCH(QStringList, tick);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, titles);
    QFETCH(bool, closes);
    QFETCH(QByteArray, levelAfter);

    QTemporaryDir root;
    const QString cd = root.filePath(QStringLiteral("Resources"));
    const QString game = root.filePath(QStringLiteral("game"));
    QDir().mkpath(game);
    if (setup != QLatin1String("no cd"))
        zq2::test::writeFile(cd, QStringLiteral("level1.z2l"), QByteArray(1536, 'c'));
    if (setup != QLatin1String("folder in the way"))
        zq2::test::writeFile(game, QStringLiteral("LEVEL1.Z2L"), QByteArray(1000, 'g'));
    if (setup == QLatin1String("folder in the way"))
        QDir(game).mkdir(QStringLiteral("level1.z2l"));

    ScriptedPrompter prompter;
    for (int a : answers)
        prompter.answer(Answer(a));
    RestoreDialog dialog(game, cd, prompter, SkinValues{});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QString& name : untick)
        dialog.findChild<QCheckBox*>(name)->setChecked(false);
    for (const QString& name : tick)
        dialog.findChild<QCheckBox*>(name)->setChecked(true);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);

    QCOMPARE(prompter.texts(), texts);
    QStringList asked;
    for (const auto& q : prompter.asked)
        asked << q.title;
    QCOMPARE(asked, titles);
    QCOMPARE(prompter.unexpected, 0);
    QCOMPARE(dialog.isVisible(), !closes);
    QCOMPARE(dialog.result(), closes ? int(QDialog::Accepted) : int(QDialog::Rejected));
    const std::optional<QString> level = findFileIgnoringCase(game, QStringLiteral("level1.z2l"));
    QCOMPARE(zq2::test::readFile(level.value_or(game + QStringLiteral("/level1.z2l"))), levelAfter);
    if (!closes) { // the ticks are kept for another try
        for (const QString& name : untick)
            QVERIFY(!dialog.findChild<QCheckBox*>(name)->isChecked());
    }
}

void TestRestoreDialog::cancelCopiesNothing() {
    QTemporaryDir root;
    zq2::test::writeFile(root.filePath(QStringLiteral("Resources")), QStringLiteral("a.z2l"), "A");
    ScriptedPrompter prompter;
    RestoreDialog dialog(root.filePath(QStringLiteral("game")), root.filePath(QStringLiteral("Resources")),
                         prompter, SkinValues{});
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(prompter.asked.isEmpty());
    QVERIFY(!QDir(root.filePath(QStringLiteral("game"))).exists());
}

QTEST_MAIN(TestRestoreDialog)
#include "tst_restoredialog.moc"
