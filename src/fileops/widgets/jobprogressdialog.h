#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class JobProgressDialog;
}

namespace zq2 {

struct JobProgress;

// The progress of file work: what is being done to which file, a bar, and Cancel. Escape and the
// close box count as Cancel; the dialog itself never closes, its owner removes it when the work ends.
class JobProgressDialog : public QDialog {
    Q_OBJECT
public:
    JobProgressDialog(QWidget* window, QString verb);
    ~JobProgressDialog() override;

    void show(const JobProgress& progress);

signals:
    void cancelRequested();

protected:
    void reject() override;

private:
    std::unique_ptr<Ui::JobProgressDialog> ui_;
    QString verb_;
    QString shownStep_;
    bool cancelling_ = false;
};

} // namespace zq2
