#include "app/widgets/dropprogress.h"

#include "platform/prompter.h"

#include <QProgressDialog>

namespace zq2 {

namespace {

constexpr int kStepsPerFile = 1000;
constexpr qint64 kShowAfterMs = 500;

} // namespace

DropProgressDialog::DropProgressDialog(QWidget* window)
    : window_(window) {
    clock_.start();
}

DropProgressDialog::~DropProgressDialog() = default;

DropProgress DropProgressDialog::callback() {
    return [this](int index, int count, const QString& name, qint64 done, qint64 total) {
        return step(index, count, name, done, total);
    };
}

AskDropReplace DropProgressDialog::asking(AskDropReplace ask) {
    return [this, ask = std::move(ask)](const QString& name, qint64 oldSize, qint64 newSize) {
        const bool shown = dialog_ && dialog_->isVisible();
        if (shown)
            dialog_->hide();
        QElapsedTimer answering;
        answering.start();
        const ReplaceAnswer answer = ask(name, oldSize, newSize);
        answeringMs_ += answering.elapsed();
        if (shown)
            dialog_->show();
        return answer;
    };
}

bool DropProgressDialog::step(int index, int count, const QString& name, qint64 done, qint64 total) {
    if (!dialog_) {
        if (clock_.elapsed() - answeringMs_ < kShowAfterMs)
            return true;
        // Shown at once when made: the half second is measured here, without the dialog's own
        // timer, which would count the time spent on questions too.
        dialog_ = std::make_unique<QProgressDialog>(window_);
        dialog_->setWindowTitle(appTitle());
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setRange(0, count * kStepsPerFile);
        dialog_->show();
    }
    if (name != shownName_) {
        shownName_ = name;
        dialog_->setLabelText(QStringLiteral("Adding %1").arg(name));
    }
    const qint64 within = total > 0 ? std::min(done, total) * kStepsPerFile / total : 0;
    // While the dialog is shown, this lets it draw and take the Cancel.
    dialog_->setValue(index * kStepsPerFile + int(within));
    return !dialog_->wasCanceled();
}

} // namespace zq2
