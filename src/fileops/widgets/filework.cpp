#include "fileops/widgets/filework.h"

#include "fileops/widgets/jobprogressdialog.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace zq2 {

namespace {

constexpr int kPollMs = 50;

// Work runs one piece at a time, whichever window started it; only the window's thread reads this.
FileWork* workRunning = nullptr;
constexpr qint64 kShowAfterMs = 500;

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// Keeps the user's input away from the program's windows while work runs, but for the controls
// that stay active and for the windows that come up meanwhile (the progress dialog, questions). The
// windows go on drawing, unlike disabled ones, so a short piece of work does not flash them grey.
class InputBlocker final : public QObject {
public:
    InputBlocker(QWidget* window, QList<QWidget*> stillActive, std::function<void()> onEscape)
        : window_(window)
        , stillActive_(std::move(stillActive))
        , onEscape_(std::move(onEscape)) {
        for (QWidget* open : QApplication::topLevelWidgets())
            if (open->isVisible())
                blocked_ << open;
        blocked_ << window;
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!isUserInput(event->type()) || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!blocked_.contains(widget->window()))
            return false;
        for (const QWidget* active : stillActive_)
            if (active == widget || active->isAncestorOf(widget))
                return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (onEscape_ && widget->window() == window_ &&
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                onEscape_();
            break;
        case QEvent::ShortcutOverride:
            // Taken by the widget: no shortcut or access key of the window fires.
            event->accept();
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            static_cast<QDropEvent*>(event)->ignore(); // refused, so the other program keeps its files
            break;
        default:
            break;
        }
        return true;
    }

private:
    QWidget* window_;
    QList<QPointer<QWidget>> blocked_;
    QList<QWidget*> stillActive_;
    std::function<void()> onEscape_;
};

} // namespace

FileWork::FileWork(QWidget* window, Prompter& prompter)
    : window_(window)
    , prompter_(prompter) {}

FileWork::~FileWork() = default;

void FileWork::cancel() {
    if (job_)
        job_->cancel();
}

bool FileWork::anyRunning() {
    return workRunning != nullptr;
}

void FileWork::cancelRunning() {
    if (workRunning)
        workRunning->cancel();
}

bool FileWork::run(const Options& options, const std::function<void(JobContext&)>& work) {
    if (anyRunning())
        return false;
    workRunning = this;
    options_ = options;
    askingMs_ = 0;
    JobContext job([this](const QString& text, Buttons buttons) { return answer(text, buttons); });
    job_ = &job;
    if (beforeStart)
        beforeStart(job);
    InputBlocker blocker(window_, options.stillActive, options.onEscape);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!options_.showProgress)
            return;
        if (!dialog_) {
            if (clock.elapsed() - askingMs_ < kShowAfterMs)
                return;
            dialog_ = std::make_unique<JobProgressDialog>(window_, options_.verb);
            QObject::connect(dialog_.get(), &JobProgressDialog::cancelRequested, [&job] { job.cancel(); });
        }
        if (!asking_)
            dialog_->show(job.progress());
    });
    poll.start();
    runJob(job, [&] { work(job); });
    poll.stop();
    dialog_.reset();
    QGuiApplication::restoreOverrideCursor();
    job_ = nullptr;
    workRunning = nullptr;
    return true;
}

Answer FileWork::answer(const QString& text, Buttons buttons) {
    if (beforeQuestion)
        beforeQuestion(*job_);
    asking_ = true;
    const bool shown = dialog_ && dialog_->isVisible();
    if (shown)
        dialog_->hide();
    QGuiApplication::restoreOverrideCursor();
    QElapsedTimer asking;
    asking.start();
    const Answer given = prompter_.ask(text, buttons);
    askingMs_ += asking.elapsed();
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    asking_ = false;
    return given;
}

} // namespace zq2
