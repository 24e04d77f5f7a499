#include "app/widgets/shelfwindow.h"

#include "ui_shelfwindow.h"

#include "app/widgets/filetablemodel.h"
#include "appearance/widgets/skinning.h"
#include "catalogue/details.h"
#include "catalogue/folderlisting.h"
#include "catalogue/namepattern.h"
#include "catalogue/titlecache.h"
#include "catalogue/widgets/filterdropdown.h"
#include "fileops/deletion.h"
#include "fileops/dropfiles.h"
#include "fileops/fileruns.h"
#include "fileops/folderindex.h"
#include "fileops/kilobytes.h"
#include "fileops/shelf.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "platform/urilist.h"

#include <QDropEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>

#include <algorithm>

#include <vector>

namespace zq2 {

// The shelved files: name, title and type, read-only. A name keeps the bytes it was listed with; only
// the text shown draws undecodable bytes as U+FFFD.
class ShelfModel final : public FileTableModel {
public:
    struct Row {
        QString name;
        QString title;
        FileKind kind;
    };

    explicit ShelfModel(QObject* parent)
        : FileTableModel(QLatin1String("Type"), parent) {}

    void setRows(std::vector<Row> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const QString& name(int row) const { return rows_[size_t(row)].name; }
    int rowOf(const QString& name) const {
        for (size_t row = 0; row < rows_.size(); ++row)
            if (rows_[row].name == name)
                return int(row);
        return -1;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows_.size());
    }

protected:
    const QString& nameAt(int row) const override { return rows_[size_t(row)].name; }
    const QString& titleAt(int row) const override { return rows_[size_t(row)].title; }
    QString thirdAt(int row) const override { return fileKindName(rows_[size_t(row)].kind); }

private:
    std::vector<Row> rows_;
};

ShelfWindow::ShelfWindow(Prompter& prompter, TitleCache& titles, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui_(std::make_unique<Ui::ShelfWindow>())
    , prompter_(prompter)
    , titles_(titles)
    , model_(new ShelfModel(this))
    , work_(this, prompter)
    , patternText_(defaultListPattern()) {
    ui_->setupUi(this);
    setFixedSize(size());
    for (QLabel* label : {ui_->shelfTitle, ui_->shelfType, ui_->shelfSize, ui_->roomStatus})
        label->setTextFormat(Qt::PlainText);
    ui_->shelfFiles->setModel(model_);
    ui_->shelfFiles->setColumnWidth(0, 150);
    ui_->shelfFiles->setColumnWidth(1, 200);
    // The view's own drag and drop would offer to move rows within the list; only files from
    // elsewhere are taken, through the viewport's events.
    ui_->shelfFiles->setDragDropMode(QAbstractItemView::NoDragDrop);
    ui_->shelfFiles->viewport()->setAcceptDrops(true);
    ui_->shelfFiles->viewport()->installEventFilter(this);

    connect(ui_->shelfView, &QComboBox::activated, this, &ShelfWindow::shelfView_Click);
    connect(ui_->putBack, &QPushButton::clicked, this, &ShelfWindow::putBack_Click);
    connect(ui_->delShelf, &QPushButton::clicked, this, &ShelfWindow::delShelf_Click);
    connect(ui_->closeShelf, &QPushButton::clicked, this, &ShelfWindow::close);
    connect(ui_->shelfFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ShelfWindow::showDetails);
    connect(ui_->shelfFiles, &QWidget::customContextMenuRequested, this, &ShelfWindow::showListMenu);
    // Shift+F10 opens the list's menu where there is no menu key; Delete deletes as the button does.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), ui_->shelfFiles, nullptr, nullptr,
                                  Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this,
            [this] { showListMenu(ui_->shelfFiles->visualRect(ui_->shelfFiles->currentIndex()).center()); });
    auto* deleteKey =
        new QShortcut(QKeySequence::Delete, ui_->shelfFiles, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &ShelfWindow::delShelf_Click);
    ui_->shelfFiles->setFocus();
}

ShelfWindow::~ShelfWindow() = default;

QString ShelfWindow::shelfDir() const {
    return shelfDirOf(gameDir_);
}

void ShelfWindow::setGameFolder(const QString& gameDir) {
    if (gameDir == gameDir_)
        return;
    gameDir_ = gameDir;
    relist();
}

void ShelfWindow::setFilterEntries(const QStringList& patterns) {
    fillFilterDropDown(ui_->shelfView, patterns);
}

void ShelfWindow::setLook(const ShelfLook& look) {
    setBackgroundPicture(this, look.picture);
    setBackColour(ui_->Frame1, look.frameColour);
}

void ShelfWindow::setLevelsInGame(qint64 levels) {
    const RoomLine line = roomLine(levels);
    setOverLimitColour(ui_->roomStatus, line.overLimit);
    ui_->roomStatus->setText(line.text);
}

void ShelfWindow::shelfView_Click() {
    patternText_ = chosenPatternText(ui_->shelfView);
    relist();
}

void ShelfWindow::relist() {
    const QString folder = shelfDir();
    std::vector<ShelfModel::Row> rows;
    for (QString& name : listFolder(folder, patternText_)) {
        const FileKind kind = fileKindOf(name);
        QString title =
            kind == FileKind::Level || kind == FileKind::Tileset ? titles_.titleOf(folder, name) : QString();
        rows.push_back({std::move(name), std::move(title), kind});
    }
    model_->setRows(std::move(rows));
}

QStringList ShelfWindow::selectedNames() const {
    QStringList names;
    const QModelIndexList rows = ui_->shelfFiles->selectionModel()->selectedRows();
    for (const QModelIndex& row : rows)
        names << model_->name(row.row());
    // In list order, whatever order they were picked in.
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return compareListedNames(a, b) < 0; });
    return names;
}

void ShelfWindow::showDetails() {
    QItemSelectionModel* selection = ui_->shelfFiles->selectionModel();
    QModelIndex shown = selection->currentIndex();
    if (!shown.isValid() || !selection->isRowSelected(shown.row())) {
        const QModelIndexList rows = selection->selectedRows();
        if (rows.isEmpty())
            return;
        shown = rows.constFirst();
    }
    const FileDetails details = describeFile(shelfDir(), model_->name(shown.row()));
    ui_->shelfTitle->setText(details.title);
    ui_->shelfType->setText(details.type);
    ui_->shelfSize->setText(details.size);
}

bool ShelfWindow::selectFile(const QString& name) {
    int row = model_->rowOf(name);
    if (row < 0) {
        // The filter may hide it: show every kind of file, as choosing "All" does.
        ui_->shelfView->setCurrentIndex(0);
        shelfView_Click();
        row = model_->rowOf(name);
    }
    if (row < 0)
        return false;
    const QModelIndex index = model_->index(row, 0);
    ui_->shelfFiles->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
    ui_->shelfFiles->scrollTo(index);
    ui_->shelfFiles->setFocus();
    return true;
}

void ShelfWindow::showListMenu(const QPoint& position) {
    QMenu menu(this);
    const bool chosen = ui_->shelfFiles->selectionModel()->hasSelection();
    menu.addAction(QStringLiteral("&Put Back"), this, &ShelfWindow::putBack_Click)->setEnabled(chosen);
    menu.addAction(QStringLiteral("&Delete"), this, &ShelfWindow::delShelf_Click)->setEnabled(chosen);
    menu.exec(ui_->shelfFiles->viewport()->mapToGlobal(position));
}

bool ShelfWindow::shelfUsable() {
    if (gameDir_.isEmpty())
        return false;
    if (const FileError error = makeShelfFolder(gameDir_)) {
        prompter_.tell(shelfFolderProblem(error));
        return false;
    }
    return true;
}

void ShelfWindow::putBack_Click() {
    const QStringList names = selectedNames();
    if (names.isEmpty() || gameDir_.isEmpty())
        return;
    MoveResult result;
    const QString from = shelfDir();
    if (!work_.run({QStringLiteral("Putting back")}, [&](JobContext& job) {
            result = moveFiles(from, gameDir_, names, replaceQuestionThrough(job), progressThrough(job));
        }))
        return;
    relist();
    if (!result.moved.isEmpty())
        emit gameFolderChanged();
    if (const QString report = moveReport(result, QStringLiteral("Could not put back")); !report.isEmpty())
        prompter_.tell(report);
}

void ShelfWindow::delShelf_Click() {
    const QStringList names = selectedNames();
    if (names.isEmpty() || FileWork::anyRunning())
        return;
    const QString folder = shelfDir();
    if (confirmDelete_) {
        const QString question =
            names.size() == 1 ? deleteQuestion(describeFile(folder, names.first()).title, names.first())
                              : clearCacheQuestion(int(names.size()));
        if (prompter_.ask(question, Buttons::YesNo) != Answer::Yes)
            return;
    }
    FileRun run;
    work_.run({QStringLiteral("Deleting")}, [&](JobContext& job) { run = deleteFiles(folder, names, job); });
    relist();
    if (const QString report = runReport(run, QStringLiteral("Could not delete"), QStringLiteral("deleted"));
        !report.isEmpty())
        prompter_.tell(report);
}

void ShelfWindow::addDropped(const QStringList& paths) {
    if (FileWork::anyRunning() || !shelfUsable())
        return;
    const DropParts parts = partDrop(paths, gameDir_);
    QStringList reports;
    bool gameChanged = false;
    bool cancelled = false;
    int added = 0;
    const QString shelf = shelfDir();
    work_.run({QStringLiteral("Adding")}, [&](JobContext& job) {
        // Files of the game folder itself are shelved, as Move to Shelf does; a copy would leave
        // them in the game.
        const MoveResult moved = moveFiles(gameDir_, shelf, parts.namesInFolder, replaceQuestionThrough(job),
                                           progressThrough(job));
        gameChanged = !moved.moved.isEmpty();
        added += int(moved.moved.size());
        cancelled = moved.cancelled;
        if (const QString report = moveReport(moved, QStringLiteral("Could not move")); !report.isEmpty())
            reports << report;
        if (!moved.cancelled && !parts.otherPaths.isEmpty()) {
            FolderIndex shelfFolder(shelf);
            const DropResult dropped = addDroppedFiles(
                parts.otherPaths, shelfFolder, dropQuestionThrough(job, shelfFolder), progressThrough(job));
            added += int(dropped.added.size());
            cancelled = dropped.cancelled;
            if (!dropped.report.isEmpty())
                reports << dropped.report;
        }
    });
    if (cancelled)
        reports << addedBeforeCancelText(added);
    relist();
    if (gameChanged)
        emit gameFolderChanged();
    if (!reports.isEmpty())
        prompter_.tell(reports.join(QLatin1Char('\n')));
}

bool ShelfWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui_->shelfFiles->viewport())
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter: {
        dragTaken_ = !takeAsCopy(static_cast<QDragEnterEvent*>(event)).isEmpty();
        return true;
    }
    case QEvent::DragMove: {
        // What the drag carries does not change while it moves: the answer given on entry stands.
        answerAsCopy(static_cast<QDragMoveEvent*>(event), dragTaken_);
        return true;
    }
    case QEvent::Drop: {
        QStringList paths = takeAsCopy(static_cast<QDropEvent*>(event));
        if (paths.isEmpty())
            return true;
        // The work is done once the drop has ended: the program the files came from is waiting.
        QMetaObject::invokeMethod(
            this, [this, paths = std::move(paths)] { addDropped(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

} // namespace zq2
