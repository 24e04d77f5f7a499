#pragma once

#include <QListView>
#include <QString>
#include <QStringList>

class QKeyEvent;
class QMouseEvent;

namespace zq2 {
struct FolderContents;
}

namespace zq2 {

class FileNameModel;

// A list of the plain files of one folder that match a pattern, with at most one selected entry.
// The list reads its folder only when told to (reread), or shows a reading made by its owner
// (showContents), so that one reading of a folder can serve a list and the counts alike; setting the
// folder or the pattern changes nothing on the screen by itself. Listing again leaves nothing
// selected; nothing the user does with the mouse or the keys does. Pressing an entry and moving the
// pointer moves the selection, as in a list box; once the pointer leaves the list, the selected entry
// is dragged out, offered to other programs as a copy of its file. Local files dropped onto the list
// are announced by filesDropped().
class FileListView : public QListView {
    Q_OBJECT

public:
    explicit FileListView(QWidget* parent = nullptr);
    ~FileListView() override;

    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    void setPattern(const QString& pattern);
    QString pattern() const { return pattern_; }

    // Lists the folder again with the current pattern. Afterwards nothing is selected, and no
    // selectionChanged_() is raised for that.
    void reread();
    // The same, from a reading of the list's folder that was just made.
    void showContents(const FolderContents& contents);

    int count() const;
    // The file's name as listed, which leads back to the file; what the list draws may differ
    // (see displayFileName). Empty when out of range.
    QString entry(int index) const;
    int selectedIndex() const;    // -1 when nothing is selected
    QString selectedName() const; // empty when nothing is selected

    // Selects the entry at `index` and scrolls it into view; raises selectionChanged_() once.
    // An index out of range leaves nothing selected.
    void select(int index);

signals:
    // The selection changed, by the user or by select(); never by a re-read.
    void selectionChanged_();
    // A key that types a character (letters, digits, Enter, Escape, Backspace; not the arrow keys)
    // was pressed while the list has the focus. Raised before the list moves its selection for it.
    void characterKeyPressed();
    // Local files were dropped onto the list (paths as decodeFileName holds them). Raised once the
    // drop has ended, never while the other program waits for it.
    void filesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void onSelectionModelChanged();

    FileNameModel* model_;
    QString folder_;
    QString pattern_;
    bool quiet_ = false;          // selection changes made by the list itself raise no signal
    bool pressedOnEntry_ = false; // the last mouse press hit an entry, so dragging may move the selection
    bool dragTaken_ = false;      // the drag over the list carries local files it may copy
};

} // namespace zq2
