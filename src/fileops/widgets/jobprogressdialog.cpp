#include "fileops/widgets/jobprogressdialog.h"

#include "fileops/job.h"
#include "ui_jobprogress.h"

#include <QPushButton>

#include <algorithm>

namespace zq2 {

namespace {

constexpr int kBarSteps = 10000;

// Where the work stands as a share of the bar: whole files done, plus the part of the current one.
int barValue(const JobProgress& progress) {
    if (progress.count <= 0)
        return 0;
    const double within =
        progress.total > 0 ? double(std::min(progress.done, progress.total)) / double(progress.total) : 0.0;
    return int((double(progress.index) + within) / double(progress.count) * kBarSteps);
}

QString stepText(const QString& verb, const JobProgress& progress) {
    QString text = verb + QLatin1Char(' ') + progress.name;
    if (progress.members > 0)
        text += QStringLiteral(" (%1 files in it looked at)").arg(progress.members);
    return text;
}

} // namespace

JobProgressDialog::JobProgressDialog(QWidget* window, QString verb)
    : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui_(std::make_unique<Ui::JobProgressDialog>())
    , verb_(std::move(verb)) {
    ui_->setupUi(this);
    setFixedSize(size());
    setWindowModality(Qt::WindowModal);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &JobProgressDialog::reject);
}

JobProgressDialog::~JobProgressDialog() = default;

void JobProgressDialog::show(const JobProgress& progress) {
    const QString step = stepText(verb_, progress);
    if (!cancelling_ && step != shownStep_) {
        shownStep_ = step;
        ui_->step->setText(step);
    }
    ui_->bar->setValue(barValue(progress));
    if (!isVisible()) {
        QDialog::show();
        ui_->cancelButton->setFocus();
    }
}

void JobProgressDialog::reject() {
    if (cancelling_)
        return;
    cancelling_ = true;
    ui_->cancelButton->setEnabled(false);
    ui_->step->setText(QStringLiteral("Cancelling..."));
    emit cancelRequested();
}

} // namespace zq2
