#include "app/widgets/dropprogress.h"

#include "platform/prompter.h"

#include <QProgressDialog>

namespace zq2 {

namespace {

constexpr int kStepsPerFile = 1000;
constexpr int kShowAfterMs = 500;

} // namespace

DropProgressDialog::DropProgressDialog(QWidget* window)
    : window_(window) {}

DropProgressDialog::~DropProgressDialog() = default;

DropProgress DropProgressDialog::callback() {
    return [this](int index, int count, const QString& name, qint64 done, qint64 total) {
        return step(index, count, name, done, total);
    };
}

bool DropProgressDialog::step(int index, int count, const QString& name, qint64 done, qint64 total) {
    if (!dialog_) {
        // Made when the work starts rather than with this object: the dialog measures its half
        // second from its own making.
        dialog_ = std::make_unique<QProgressDialog>(window_);
        dialog_->setWindowTitle(appTitle());
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(kShowAfterMs);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setRange(0, count * kStepsPerFile);
        dialog_->setValue(0);
    }
    if (name != shownName_) {
        shownName_ = name;
        dialog_->setLabelText(QStringLiteral("Adding %1").arg(name));
    }
    const qint64 within = total > 0 ? std::min(done, total) * kStepsPerFile / total : 0;
    // Shows the dialog once it is due, and while it is shown lets it draw and take the Cancel.
    dialog_->setValue(index * kStepsPerFile + int(within));
    return !dialog_->wasCanceled();
}

} // namespace zq2
