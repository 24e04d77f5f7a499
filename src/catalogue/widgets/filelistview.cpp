#include "catalogue/widgets/filelistview.h"

#include "catalogue/folderlisting.h"
#include "catalogue/namepattern.h"
#include "platform/filenames.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace zq2 {

// The entries of a file list: read-only names, nothing else. A name keeps the bytes it was listed
// with; only the text drawn (and read out) shows undecodable bytes as U+FFFD.
class FileNameModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(QStringList names) {
        beginResetModel();
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
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                               : Qt::NoItemFlags;
    }

private:
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
    setModel(model_);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListView::onSelectionModelChanged);
}

FileListView::~FileListView() = default;

void FileListView::setFolder(const QString& folder) {
    folder_ = folder;
    markOutOfDate();
}

void FileListView::setPattern(const QString& pattern) {
    pattern_ = pattern;
    markOutOfDate();
}

void FileListView::reread() {
    relist();
}

void FileListView::markOutOfDate() {
    outOfDate_ = true;
    // A list on screen must not go on showing the old entries once control returns to the event
    // loop, even if nobody queries it.
    if (isVisible() && !relistPosted_) {
        relistPosted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                relistPosted_ = false;
                listIfOutOfDate();
            },
            Qt::QueuedConnection);
    }
}

void FileListView::listIfOutOfDate() const {
    if (outOfDate_)
        const_cast<FileListView*>(this)->relist();
}

void FileListView::relist() {
    outOfDate_ = false;
    QStringList names = listFolder(folder_, pattern_);
    quiet_ = true;
    {
        const QSignalBlocker blocker(selectionModel());
        model_->setNames(std::move(names));
        selectionModel()->clear();
    }
    quiet_ = false;
    // The blocked selection model told the view nothing; draw the list afresh.
    viewport()->update();
}

int FileListView::count() const {
    listIfOutOfDate();
    return int(model_->names().size());
}

QString FileListView::entry(int index) const {
    listIfOutOfDate();
    return model_->names().value(index);
}

int FileListView::selectedIndex() const {
    listIfOutOfDate();
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

QString FileListView::selectedName() const {
    return entry(selectedIndex());
}

void FileListView::select(int index) {
    listIfOutOfDate();
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
    listIfOutOfDate();
    if (!event->text().isEmpty())
        emit characterKeyPressed();
    QListView::keyPressEvent(event);
}

void FileListView::showEvent(QShowEvent* event) {
    listIfOutOfDate();
    QListView::showEvent(event);
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    pressedOnEntry_ = indexAt(event->position().toPoint()).isValid();
    QListView::mousePressEvent(event);
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

void FileListView::onSelectionModelChanged() {
    if (!quiet_)
        emit selectionChanged_();
}

} // namespace zq2
