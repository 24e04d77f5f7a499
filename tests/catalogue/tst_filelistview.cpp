#include "catalogue/widgets/filelistview.h"
#include "support/tempfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zq2;
using namespace Qt::StringLiterals;

class TestFileListView : public QObject {
    Q_OBJECT

    QStringList log_; // the signals of list_, each with the selection it saw when raised
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FileListView> list_; // on screen, game files: alpha, beta, cobalt, crystal, delta

private slots:
    void init() {
        log_.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        for (const QString& name :
             u"alpha.z2l beta.z2t cobalt.z2l crystal.z2b delta.z2l notes.txt"_s.split(' '))
            test::writeFile(dir_->path(), name);
        list_ = std::make_unique<FileListView>();
        list_->setFolder(dir_->path());
        connect(list_.get(), &FileListView::selectionChanged_, this,
                [this] { log_ << u"sel %1"_s.arg(list_->selectedIndex()); });
        connect(list_.get(), &FileListView::characterKeyPressed, this,
                [this] { log_ << u"key %1"_s.arg(list_->selectedIndex()); });
        list_->show();
        QVERIFY(QTest::qWaitForWindowExposed(list_.get()));
    }

    void listsAgainOnlyWhenAskedOrChanged() {
        QCOMPARE(list_->count(), 5);
        list_->setPattern(u"*.z2l"_s);
        QCOMPARE(list_->count(), 3);
        test::writeFile(dir_->path(), u"echo.z2l"_s);
        QCOMPARE(list_->count(), 3); // a file that appears later shows only once the list is read again
        list_->reread();
        QCOMPARE(list_->entry(3), u"echo.z2l"_s);
        // A new pattern shows on screen without anyone asking the list.
        list_->setPattern(u"*.txt"_s);
        QTRY_COMPARE(list_->model()->rowCount(), 1);
    }

    void onlySelectingRaisesSelectionChanged() {
        for (int index : {2, 2, 9, 1})
            list_->select(index);
        list_->reread();
        QCOMPARE(list_->selectedIndex(), -1);
        QVERIFY(!list_->currentIndex().isValid());
        list_->select(3);
        list_->setPattern(u"*.z2l"_s);
        QCOMPARE(list_->selectedIndex(), -1);
        QCOMPARE(log_.join(", "), u"sel 2, sel 2, sel -1, sel 1, sel 3"_s);
    }

    void keysAnnounceBeforeMoving() {
        list_->select(1);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Down, Qt::Key_D})
            QTest::keyClick(list_.get(), key);
        // Enter types a character without moving, the arrow moves without typing, a letter does both.
        QCOMPARE(log_.join(", "), u"sel 1, key 1, sel 2, key 2, sel 4"_s);
    }

    void ctrlClickKeepsSelection() {
        list_->select(0);
        for (const auto& [row, modifier] : {std::pair{0, Qt::ControlModifier}, {2, Qt::NoModifier}}) {
            const QRect rect = list_->visualRect(list_->model()->index(row, 0));
            QTest::mouseClick(list_->viewport(), Qt::LeftButton, modifier, rect.center());
        }
        QCOMPARE(log_.join(", "), u"sel 0, sel 2"_s);
    }
};

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
