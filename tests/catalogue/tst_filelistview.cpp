#include "catalogue/widgets/filelistview.h"
#include "support/tempfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

class TestFileListView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void startsWithGameFilesPattern();
    void listsOnFirstQueryAndOnlyAtReread();
    void rereadClearsSelectionSilently();
    void selectRaisesSelectionOnce_data();
    void selectRaisesSelectionOnce();
    void keysAnnounceBeforeMoving_data();
    void keysAnnounceBeforeMoving();
    void ctrlClickKeepsSelection();
    void missingFolderIsEmpty();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestFileListView::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    for (const char* name : {"alpha.z2l", "beta.z2t", "cobalt.z2l", "crystal.z2b", "delta.z2l", "notes.txt"})
        test::writeFile(dir_->path(), QString::fromLatin1(name));
}

void TestFileListView::startsWithGameFilesPattern() {
    FileListView list;
    QCOMPARE(list.pattern(), QStringLiteral("*.z2l;*.z2t;*.z2b"));
    QVERIFY(list.uniformItemSizes());
    QCOMPARE(list.selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    list.setFolder(dir_->path());
    QCOMPARE(list.count(), 5);
    QCOMPARE(list.entry(0), QStringLiteral("alpha.z2l"));
    QCOMPARE(list.entry(4), QStringLiteral("delta.z2l"));
    QCOMPARE(list.entry(5), QString());
    QCOMPARE(list.selectedIndex(), -1);
    QCOMPARE(list.selectedName(), QString());
}

void TestFileListView::listsOnFirstQueryAndOnlyAtReread() {
    FileListView list;
    list.setFolder(dir_->path());
    list.setPattern(QStringLiteral("*.z2l"));
    QCOMPARE(list.count(), 3);

    // Files that appear later show only once the list is read again.
    test::writeFile(dir_->path(), QStringLiteral("echo.z2l"));
    QCOMPARE(list.count(), 3);
    list.reread();
    QCOMPARE(list.count(), 4);
    QCOMPARE(list.entry(3), QStringLiteral("echo.z2l"));

    // A new pattern shows at the next query, as a new folder does.
    list.setPattern(QStringLiteral("*.txt"));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.entry(0), QStringLiteral("notes.txt"));
}

void TestFileListView::rereadClearsSelectionSilently() {
    FileListView list;
    list.setFolder(dir_->path());
    list.select(2);
    QCOMPARE(list.selectedName(), QStringLiteral("cobalt.z2l"));

    QSignalSpy spy(&list, &FileListView::selectionChanged_);
    list.reread();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(list.selectedIndex(), -1);
    QVERIFY(!list.currentIndex().isValid());

    list.select(1);
    list.setPattern(QStringLiteral("*.z2l"));
    QCOMPARE(list.selectedIndex(), -1);
    QCOMPARE(spy.count(), 1); // only the select() above
}

void TestFileListView::selectRaisesSelectionOnce_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("selected");

    QTest::newRow("first from none") << -1 << 0 << 0;
    QTest::newRow("last from first") << 0 << 4 << 4;
    QTest::newRow("same again") << 3 << 3 << 3;
    QTest::newRow("out of range") << 2 << 9 << -1;
}

void TestFileListView::selectRaisesSelectionOnce() {
    QFETCH(int, before);
    QFETCH(int, index);
    QFETCH(int, selected);

    FileListView list;
    list.setFolder(dir_->path());
    if (before >= 0)
        list.select(before);
    int selectedWhenRaised = -2;
    connect(&list, &FileListView::selectionChanged_, &list,
            [&] { selectedWhenRaised = list.selectedIndex(); });
    QSignalSpy spy(&list, &FileListView::selectionChanged_);
    list.select(index);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(selectedWhenRaised, selected);
    QCOMPARE(list.selectedIndex(), selected);
}

void TestFileListView::keysAnnounceBeforeMoving_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("character");
    QTest::addColumn<QString>("after");

    QTest::newRow("letter types ahead") << int(Qt::Key_D) << true << "delta.z2l";
    QTest::newRow("Enter") << int(Qt::Key_Return) << true << "beta.z2t";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << true << "beta.z2t";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << true << "beta.z2t";
    QTest::newRow("arrow down") << int(Qt::Key_Down) << false << "cobalt.z2l";
}

void TestFileListView::keysAnnounceBeforeMoving() {
    QFETCH(int, key);
    QFETCH(bool, character);
    QFETCH(QString, after);

    FileListView list;
    list.setFolder(dir_->path());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.setFocus();
    list.select(1);

    QStringList events;
    connect(&list, &FileListView::characterKeyPressed, &list,
            [&] { events << QStringLiteral("key:") + list.selectedName(); });
    connect(&list, &FileListView::selectionChanged_, &list,
            [&] { events << QStringLiteral("selection:") + list.selectedName(); });
    QTest::keyClick(&list, Qt::Key(key));

    QCOMPARE(list.selectedName(), after);
    QStringList expected;
    if (character)
        expected << QStringLiteral("key:beta.z2t");
    if (after != QLatin1String("beta.z2t"))
        expected << QStringLiteral("selection:") + after;
    QCOMPARE(events, expected);
}

void TestFileListView::ctrlClickKeepsSelection() {
    FileListView list;
    list.setFolder(dir_->path());
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.select(0);

    QSignalSpy spy(&list, &FileListView::selectionChanged_);
    const QRect first = list.visualRect(list.model()->index(0, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
    QCOMPARE(list.selectedIndex(), 0);

    const QRect third = list.visualRect(list.model()->index(2, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
    QCOMPARE(list.selectedIndex(), 2);
    QCOMPARE(spy.count(), 1);
}

void TestFileListView::missingFolderIsEmpty() {
    FileListView list;
    list.setFolder(dir_->filePath(QStringLiteral("missing")));
    QCOMPARE(list.count(), 0);
    list.select(0);
    QCOMPARE(list.selectedIndex(), -1);
    QCOMPARE(list.selectedName(), QString());
    list.setFolder(QString());
    list.reread();
    QCOMPARE(list.count(), 0);
}

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
