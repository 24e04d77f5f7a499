#include "app/widgets/findwindow.h"

#include "ui_findwindow.h"

#include "app/widgets/filetablemodel.h"
#include "catalogue/folderlisting.h"
#include "catalogue/titlecache.h"

#include <QKeyEvent>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace zq2 {

// The files found: name, title and where each is, read-only.
class FindResultsModel final : public FileTableModel {
public:
    FindResultsModel(const FindIndex& index, QObject* parent)
        : FileTableModel(QLatin1String("Where"), parent)
        , index_(index) {}

    void setHits(QList<qsizetype> hits) {
        beginResetModel();
        hits_ = std::move(hits);
        endResetModel();
    }
    const FoundFile& file(int row) const { return index_.file(hits_[row]); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(hits_.size());
    }

protected:
    const QString& nameAt(int row) const override { return file(row).name; }
    const QString& titleAt(int row) const override { return file(row).title; }
    QString thirdAt(int row) const override { return placeName(file(row).place); }

private:
    const FindIndex& index_;
    QList<qsizetype> hits_;
};

// One reading of the folders, on a thread of its own. A newer reading, or the window closing, tells
// it to stop; its index is then never used.
struct FindWindow::Reading {
    std::atomic<bool> cancelled{false};
    FindIndex index;
};

FindWindow::FindWindow(const QList<FindFolder>& folders, const QString& patternText,
                       std::shared_ptr<TitleCache> titles, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui_(std::make_unique<Ui::FindWindow>())
    , folders_(folders)
    , patternText_(patternText)
    , titles_(std::move(titles))
    , model_(new FindResultsModel(index_, this)) {
    ui_->setupUi(this);
    setFixedSize(size());
    ui_->findStatus->setTextFormat(Qt::PlainText);
    ui_->findResults->setModel(model_);
    ui_->findResults->setColumnWidth(0, 150);
    ui_->findResults->setColumnWidth(1, 170);
    // The arrow keys move through the results while the typing goes on in the field.
    ui_->findText->installEventFilter(this);

    connect(ui_->findText, &QLineEdit::textChanged, this, &FindWindow::search);
    connect(ui_->findText, &QLineEdit::returnPressed, this, &FindWindow::goTo_Click);
    connect(ui_->findResults, &QAbstractItemView::activated, this, &FindWindow::goTo_Click);
    connect(ui_->goTo, &QPushButton::clicked, this, &FindWindow::goTo_Click);
    connect(ui_->closeFind, &QPushButton::clicked, this, &FindWindow::close);
    ui_->findText->setFocus();
    reload();
}

FindWindow::~FindWindow() {
    if (reading_)
        reading_->cancelled = true;
    // A reading stops before its next file; none may outlive the window it reports to.
    for (QThread* thread : std::as_const(threads_)) {
        thread->wait();
        delete thread;
    }
}

void FindWindow::setFolders(const QList<FindFolder>& folders, const QString& patternText) {
    const bool sameFolders = std::equal(
        folders.begin(), folders.end(), folders_.begin(), folders_.end(),
        [](const FindFolder& a, const FindFolder& b) { return a.place == b.place && a.folder == b.folder; });
    if (!sameFolders || patternText != patternText_) {
        folders_ = folders;
        patternText_ = patternText;
        outOfDate_ = true;
    }
    if (isActiveWindow() && needsReading())
        reload();
}

bool FindWindow::needsReading() const {
    if (outOfDate_ || stamps_.size() != folders_.size())
        return true;
    for (qsizetype i = 0; i < folders_.size(); ++i)
        if (folderStamp(folders_[i].folder) != stamps_[i])
            return true;
    return false;
}

void FindWindow::focusField() {
    ui_->findText->setFocus();
    ui_->findText->selectAll();
}

void FindWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && needsReading())
        reload();
}

void FindWindow::reload() {
    outOfDate_ = false;
    // Taken before the reading, so that a change made while the folders are read shows afterwards.
    stamps_.clear();
    for (const FindFolder& folder : std::as_const(folders_))
        stamps_.append(folderStamp(folder.folder));
    if (reading_)
        reading_->cancelled = true;
    auto reading = std::make_shared<Reading>();
    reading_ = reading;
    ready_ = false;
    showStatus();
    QThread* thread =
        QThread::create([reading, folders = folders_, pattern = patternText_, titles = titles_] {
            reading->index =
                buildFindIndex(folders, pattern, *titles, [&reading] { return reading->cancelled.load(); });
        });
    threads_.append(thread);
    connect(thread, &QThread::finished, this, [this, thread, reading] {
        threads_.removeOne(thread);
        thread->deleteLater();
        if (reading != reading_)
            return;
        // The results point into the index: they go before it is replaced.
        model_->setHits({});
        hits_ = {};
        index_ = std::move(reading->index);
        ready_ = true;
        search();
        emit ready();
    });
    thread->start();
}

void FindWindow::search() {
    if (ready_) {
        // What is typed on narrows what was found before; anything else searches every file.
        hits_ = index_.search(ui_->findText->text(), &hits_);
        model_->setHits(hits_.files);
        if (!hits_.files.isEmpty())
            ui_->findResults->setCurrentIndex(model_->index(0, 0));
    }
    showStatus();
}

void FindWindow::showStatus() {
    QString status;
    if (!ready_)
        status = QStringLiteral("Reading the folders...");
    else if (hits_.words.isEmpty())
        status = QStringLiteral("Type part of a file name or title.");
    else if (hits_.files.isEmpty())
        status = QStringLiteral("No file found.");
    else if (hits_.files.size() == 1)
        status = QStringLiteral("1 file found.");
    else
        status = QStringLiteral("%1 files found.").arg(hits_.files.size());
    ui_->findStatus->setText(status);
}

void FindWindow::goTo_Click() {
    QModelIndex current = ui_->findResults->currentIndex();
    if (!current.isValid())
        current = model_->index(0, 0);
    if (!current.isValid())
        return;
    const FoundFile& found = model_->file(current.row());
    // Copied first: whoever hears of the choice may close this window, and the index with it.
    const FilePlace place = found.place;
    const QString name = found.name;
    emit fileChosen(place, name);
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->findText && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(ui_->findResults, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zq2
