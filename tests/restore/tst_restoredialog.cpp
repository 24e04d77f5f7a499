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
};

void TestRestoreDialog::okButton_data() {
    QTest::addColumn<bool>("folderInTheWay"); // a folder named like the CD's level in the game folder
    QTest::addColumn<QStringList>("untick");
    QTest::addColumn<QStringList>("tick");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("prompts"); // "title: text" of each message box
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("levelAfter"); // contents of level1.z2l in the game folder afterwards

    const QString box = QStringLiteral("Zeno 2 Organizer: ");
    const QString error = QStringLiteral("Zeno 2 Organizer - Error: ");
    const QString question = replaceQuestion(QStringLiteral("level1.z2l"), 1000, 1536, QLocale::system());
    const QByteArray oldLevel(1000, 'g');
    const QStringList groups{"Lvls", "Tiles", "Music"};
    const QList<int> ok{int(Answer::Ok)};

    QTest::newRow("nothing ticked: nothing asked, stays open")
        << false << groups << QStringList() << QList<int>() << QStringList() << false << oldLevel;
    QTest::newRow("replace question, yes, completes and closes")
        << false << QStringList() << QStringList() << QList<int>{int(Answer::Yes), int(Answer::Ok)}
        << QStringList{box + question, box + "Zeno 2 file restore complete."} << true
        << QByteArray(1536, 'c');
    QTest::newRow("wrong CD stays open")
        << false << groups << QStringList{"ZQ2"} << ok
        << QStringList{error + "Wrong CD.  Please insert your Zeno Quillback 2 CD and try again."} << false
        << oldLevel;
    QTest::newRow("failure stays open with its number")
        << true << QStringList() << QStringList() << ok
        << QStringList{error + QStringLiteral("Unknown error.  Error number %1.").arg(1000 + EEXIST)} << false
        << QByteArray("<missing>");
}

void TestRestoreDialog::okButton() {
    QFETCH(bool, folderInTheWay);
    QFETCH(QStringList, untick);
    QFETCH(QStringList, tick);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, prompts);
    QFETCH(bool, closes);
    QFETCH(QByteArray, levelAfter);

    QTemporaryDir root;
    const QString cd = root.filePath(QStringLiteral("Resources"));
    const QString game = root.filePath(QStringLiteral("game"));
    zq2::test::writeFile(cd, QStringLiteral("level1.z2l"), QByteArray(1536, 'c'));
    if (folderInTheWay)
        QDir().mkpath(game + QStringLiteral("/level1.z2l"));
    else
        zq2::test::writeFile(game, QStringLiteral("LEVEL1.Z2L"), QByteArray(1000, 'g'));

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

    QStringList shown;
    for (const auto& q : prompter.asked)
        shown << q.title + QStringLiteral(": ") + q.text;
    QCOMPARE(shown, prompts);
    QCOMPARE(prompter.unexpected, 0);
    QCOMPARE(dialog.isVisible(), !closes);
    QCOMPARE(dialog.result(), closes ? int(QDialog::Accepted) : int(QDialog::Rejected));
    const std::optional<QString> level = findFileIgnoringCase(game, QStringLiteral("level1.z2l"));
    QCOMPARE(zq2::test::readFile(level.value_or(game + QStringLiteral("/level1.z2l"))), levelAfter);
    for (const QString& name : untick) // a run that stops early keeps the ticks for another try
        QVERIFY(!dialog.findChild<QCheckBox*>(name)->isChecked());
}

QTEST_MAIN(TestRestoreDialog)
#include "tst_restoredialog.moc"
