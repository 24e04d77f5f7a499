#include "catalogue/folderlisting.h"
#include "catalogue/widgets/filelistview.h"
#include "support/tempfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zq2;
using namespace Qt::StringLiterals;

namespace {

// A list that records a drag-out, with the entry selected when it began, in place of starting one.
class RecordingList : public FileListView {
public:
    QStringList* log = nullptr;

protected:
    void startDrag(Qt::DropActions) override { *log << u"drag %1"_s.arg(selectedIndex()); }
};

} // namespace

class TestFileListView : public QObject {
    Q_OBJECT

    QStringList log_; // the signals of list_, each with the selection it saw when raised
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<RecordingList> list_; // on screen, game files: alpha, beta, cobalt, crystal, delta

private slots:
    void init() {
        log_.clear();
        dir_ = std::make_unique<QTemporaryDir>();
        for (const QString& name :
             u"alpha.z2l beta.z2t cobalt.z2l crystal.z2b delta.z2l notes.txt"_s.split(' '))
            test::writeFile(dir_->path(), name);
        list_ = std::make_unique<RecordingList>();
        list_->log = &log_;
        list_->setFolder(dir_->path());
        list_->reread();
        connect(list_.get(), &FileListView::selectionChanged_, this,
                [this] { log_ << u"sel %1"_s.arg(list_->selectedIndex()); });
        connect(list_.get(), &FileListView::characterKeyPressed, this,
                [this] { log_ << u"key %1"_s.arg(list_->selectedIndex()); });
        list_->show();
        QVERIFY(QTest::qWaitForWindowExposed(list_.get()));
    }

    // The list reads its folder only when told to, so that one reading can serve it and the counts.
    void listsOnlyWhenTold() {
        QCOMPARE(list_->count(), 5);
        list_->setPattern(u"*.z2l"_s);
        test::writeFile(dir_->path(), u"echo.z2l"_s);
        QCOMPARE(list_->count(), 5);
        list_->reread();
        QCOMPARE(list_->count(), 4);
        QCOMPARE(list_->entry(3), u"echo.z2l"_s);
        // A reading made by the owner shows with the list's own pattern.
        test::writeFile(dir_->path(), u"foxtrot.z2t"_s);
        list_->showContents(readFolder(dir_->path()));
        QCOMPARE(list_->model()->rowCount(), 4);
    }

    void onlySelectingRaisesSelectionChanged() {
        for (int index : {2, 2, 9, 1})
            list_->select(index);
        list_->reread();
        QCOMPARE(list_->selectedIndex(), -1);
        QVERIFY(!list_->currentIndex().isValid());
        list_->select(3);
        list_->setPattern(u"*.z2l"_s);
        list_->reread();
        QCOMPARE(list_->selectedIndex(), -1);
        QCOMPARE(log_.join(", "), u"sel 2, sel 2, sel -1, sel 1, sel 3"_s);
    }

    // Mouse and key actions on a list whose entry 1 is selected: the user moves the selection but never
    // takes it away. Keys that type a character are announced before the list moves for them.
    // A row "-" is the empty area below the entries, "out" a point beside the list. Pressing an entry and
    // moving moves the selection; the drag-out begins only where the pointer leaves the list.
    void userActions_data() {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("log");
        auto row = [](const char* tag, const char* actions, const char* log) {
            QTest::newRow(tag) << QString::fromLatin1(actions) << QString::fromLatin1(log);
        };
        row("clicks on no item", "click -, right-click -", "sel 1");
        row("ctrl+click on the selected item, then another", "ctrl-click 1, ctrl-click 3", "sel 1, sel 3");
        row("rubber band across entries", "drag - 3, drag - -", "sel 1");
        row("drag from an entry off the entries", "drag 2 -", "sel 1, sel 2");
        row("drag over the entries", "drag 0 3 2", "sel 1, sel 0, sel 3, sel 2");
        row("drag out of the list", "drag 2 4 out", "sel 1, sel 2, sel 4, drag 4");
        row("keys: Enter, arrows, ctrl+space", "key Return, key Up, key Up, ctrl-key Space",
            "sel 1, key 1, sel 0, key 0");
        row("type-ahead", "type cr, type x", "sel 1, key 1, sel 2, key 2, sel 3, key 3");
    }
    void userActions() {
        QFETCH(QString, actions);
        QFETCH(QString, log);
        list_->select(1);
        QWidget* view = list_->viewport();
        auto at = [&](const QString& row) {
            if (row == "out")
                return QPoint(list_->width() + 20, 5);
            return row == "-" ? QPoint(5, view->height() - 5)
                              : list_->visualRect(list_->model()->index(row.toInt(), 0)).center();
        };
        for (const QString& action : actions.split(", ")) {
            const QStringList w = action.split(' ');
            const Qt::KeyboardModifiers ctrl = w[0].startsWith("ctrl") ? Qt::ControlModifier : Qt::NoModifier;
            if (w[0] == "drag") {
                QTest::mousePress(view, Qt::LeftButton, {}, at(w[1]));
                for (const QString& to : w.mid(2))
                    QTest::mouseMove(view, at(to));
                QTest::mouseRelease(view, Qt::LeftButton, {}, at(w.last()));
            } else if (w[0].endsWith("click")) {
                QTest::mouseClick(view, w[0] == "right-click" ? Qt::RightButton : Qt::LeftButton, ctrl,
                                  at(w[1]));
            } else if (w[0] == "type") {
                QTest::keyClicks(list_.get(), w[1]);
            } else {
                QTest::keyClick(list_.get(), QKeySequence::fromString(w[1])[0].key(), ctrl);
            }
        }
        QCOMPARE(log_.join(", "), log);
    }
};

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
