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

    // Mouse and key actions on a list whose second entry (beta) is selected. The user can move the
    // selection but never take it away: only a re-read leaves nothing selected.
    // Actions: "click ROW", "ctrl-click ROW", "right-click ROW", "double-click ROW", "drag FROM TO",
    // "key NAME", "ctrl-key NAME", "type TEXT"; a ROW of "none" is the empty area below the entries.
    void userActionsNeverEmptyTheSelection_data() {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("log");
        auto row = [](const char* tag, const QStringList& actions, const char* log) {
            QTest::newRow(tag) << actions << QString::fromLatin1(log);
        };
        row("click on no item", {"click none"}, "sel 1");
        row("double click on no item", {"double-click none"}, "sel 1");
        row("right click on no item", {"right-click none"}, "sel 1");
        row("click on another item", {"click 3"}, "sel 1, sel 3");
        row("ctrl+click on the selected item", {"ctrl-click 1"}, "sel 1");
        row("ctrl+click on another item", {"ctrl-click 3"}, "sel 1, sel 3");
        row("rubber band from no item across entries", {"drag none 3"}, "sel 1");
        row("rubber band within the empty area", {"drag none none"}, "sel 1");
        row("drag from an entry onto another", {"drag 2 4"}, "sel 1, sel 2, sel 4");
        row("drag from an entry off the entries", {"drag 2 none"}, "sel 1, sel 2");
        row("arrow keys", {"key Down", "key Down", "key Up"}, "sel 1, sel 2, sel 3, sel 2");
        row("arrows stop at the ends", {"key End", "key Down", "key Home", "key Up"}, "sel 1, sel 4, sel 0");
        row("ctrl+arrow moves like an arrow", {"ctrl-key Down"}, "sel 1, sel 2");
        row("ctrl+space on the selected item", {"ctrl-key Space"}, "sel 1, key 1");
        row("type-ahead", {"type cr"}, "sel 1, key 1, sel 2, key 2, sel 3");
        row("type-ahead without a match", {"type x"}, "sel 1, key 1");
    }
    void userActionsNeverEmptyTheSelection() {
        QFETCH(QStringList, actions);
        QFETCH(QString, log);
        list_->select(1);
        QWidget* viewport = list_->viewport();
        const auto at = [&](const QString& row) {
            return row == "none" ? QPoint(5, viewport->height() - 5)
                                 : list_->visualRect(list_->model()->index(row.toInt(), 0)).center();
        };
        QVERIFY(!list_->indexAt(at("none")).isValid());
        for (const QString& action : actions) {
            const QStringList words = action.split(' ');
            const QString& what = words[0];
            if (what == "click" || what == "ctrl-click")
                QTest::mouseClick(viewport, Qt::LeftButton,
                                  what == "click" ? Qt::NoModifier : Qt::ControlModifier, at(words[1]));
            else if (what == "right-click")
                QTest::mouseClick(viewport, Qt::RightButton, {}, at(words[1]));
            else if (what == "double-click")
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, at(words[1]));
            else if (what == "drag") {
                QTest::mousePress(viewport, Qt::LeftButton, {}, at(words[1]));
                QTest::mouseMove(viewport, at(words[2]));
                QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(words[2]));
            } else if (what == "type")
                QTest::keyClicks(list_.get(), words[1]);
            else {
                const QKeySequence key = QKeySequence::fromString(words[1]);
                QTest::keyClick(list_.get(), key[0].key(),
                                what == "key" ? Qt::NoModifier : Qt::ControlModifier);
            }
        }
        QCOMPARE(log_.join(", "), log);
        QCOMPARE(list_->selectedIndex(), log_.constLast().section(' ', 1).toInt());
    }
};

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
