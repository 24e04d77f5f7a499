#include "catalogue/widgets/filelistview.h"

#include "catalogue/folderlisting.h"
#include "catalogue/namepattern.h"
#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/urilist.h"

#include <QAbstractListModel>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace zq2 {

namespace {

const QString kUriList = uriListType();

} // namespace

// The entries of a file list: read-only names, nothing else. A name keeps the bytes it was listed
// with; only the text drawn (and read out) shows undecodable bytes as U+FFFD. An entry dragged out
// is offered to other programs as the file itself, to be copied, never moved.
class FileNameModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(const QString& folder, QStringList names) {
        beginResetModel();
        folder_ = folder;
        names_ = std::move(names);
        endResetModel();
    }
    const QStringList& names() const { return names_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(names_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= names_.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return displayFileName(names_.at(index.row()));
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
                                     Qt::ItemNeverHasChildren
                               : Qt::NoItemFlags;
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    QStringList mimeTypes() const override { return {kUriList}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override {
        QStringList paths;
        for (const QModelIndex& index : indexes)
            if (index.isValid() && index.row() < names_.size())
                paths << joinPath(folder_, names_.at(index.row()));
        if (paths.isEmpty())
            return nullptr;
        auto* data = new QMimeData;
        data->setData(kUriList, uriListOfPaths(paths));
        return data;
    }

private:
    QString folder_;
    QStringList names_;
};

FileListView::FileListView(QWidget* parent)
    : QListView(parent)
    , model_(new FileNameModel(this))
    , pattern_(defaultListPattern()) {
    // Every row has the same height, which lets the view lay out a hundred thousand names at once.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setDropIndicatorShown(false);
    setModel(model_);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListView::onSelectionModelChanged);
}

FileListView::~FileListView() = default;

void FileListView::setFolder(const QString& folder) {
    folder_ = folder;
}

void FileListView::setPattern(const QString& pattern) {
    pattern_ = pattern;
}

void FileListView::reread() {
    showContents(readFolder(folder_));
}

void FileListView::showContents(const FolderContents& contents) {
    QStringList names = namesMatching(contents, pattern_);
    quiet_ = true;
    {
        const QSignalBlocker blocker(selectionModel());
        model_->setNames(folder_, std::move(names));
        selectionModel()->clear();
    }
    quiet_ = false;
    // The blocked selection model told the view nothing; draw the list afresh.
    viewport()->update();
}

int FileListView::count() const {
    return int(model_->names().size());
}

QString FileListView::entry(int index) const {
    return model_->names().value(index);
}

int FileListView::selectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

QString FileListView::selectedName() const {
    return entry(selectedIndex());
}

void FileListView::select(int index) {
    quiet_ = true;
    if (index >= 0 && index < model_->rowCount()) {
        const QModelIndex target = model_->index(index);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    } else {
        selectionModel()->clear();
    }
    quiet_ = false;
    emit selectionChanged_();
}

void FileListView::keyPressEvent(QKeyEvent* event) {
    if (!event->text().isEmpty())
        emit characterKeyPressed();
    QListView::keyPressEvent(event);
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    pressedOnEntry_ = indexAt(event->position().toPoint()).isValid();
    QListView::mousePressEvent(event);
}

// As in a list box, the selection follows the pointer over the entries while the left button is held
// after a press on one. Only when the pointer leaves the list does the selected entry go out as a
// drag; the view's own rule, a drag as soon as the pointer has moved a little, would take every
// unsteady click for a drag-out.
void FileListView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedOnEntry_ || event->buttons() == Qt::NoButton) {
        QListView::mouseMoveEvent(event);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    if (!rect().contains(viewport()->mapTo(this, at))) {
        pressedOnEntry_ = false; // the release that ends the drag selects nothing
        if (selectedIndex() >= 0)
            startDrag(model_->supportedDragActions());
        return;
    }
    const QModelIndex index = indexAt(at);
    if (index.isValid() && !selectionModel()->isSelected(index))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QItemSelectionModel::SelectionFlags FileListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    // Like a list box, the user can move the selection but not take it away; only a re-read leaves
    // nothing selected, so the details and the buttons never name a file that is not selected. A
    // click beside the entries, a drag that began there (a rubber band), and a Ctrl+click on the
    // selected entry leave the selection as it is.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const bool afterPress =
        event && (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease);
    if (afterPress && !pressedOnEntry_)
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags flags = QListView::selectionCommand(index, event);
    if (flags & (QItemSelectionModel::Toggle | QItemSelectionModel::Deselect))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return flags;
}

void FileListView::dragEnterEvent(QDragEnterEvent* event) {
    dragTaken_ = !takeAsCopy(event).isEmpty();
}

// What the drag carries does not change while it moves over the list: the answer given when it
// entered stands, without reading its files again at every move of the mouse.
void FileListView::dragMoveEvent(QDragMoveEvent* event) {
    answerAsCopy(event, dragTaken_);
}

void FileListView::dropEvent(QDropEvent* event) {
    QStringList paths = takeAsCopy(event);
    if (paths.isEmpty())
        return;
    // The work is done once the drop has ended: it may ask questions, and the program the files
    // came from is waiting to hear that the drop was taken.
    QMetaObject::invokeMethod(
        this, [this, paths = std::move(paths)] { emit filesDropped(paths); }, Qt::QueuedConnection);
}

void FileListView::onSelectionModelChanged() {
    if (!quiet_)
        emit selectionChanged_();
}

} // namespace zq2
