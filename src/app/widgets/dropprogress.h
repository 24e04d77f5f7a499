#pragma once

#include "fileops/dropfiles.h"
#include "fileops/filecopy.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace zq2 {

// The progress of a drop, as a dialog modal to `window` with a Cancel button. It appears only once
// the work itself has lasted half a second, so a drop of a few small files never flashes a window;
// it steps aside while a question is on the screen, and closes when this object goes.
class DropProgressDialog {
public:
    explicit DropProgressDialog(QWidget* window);
    ~DropProgressDialog();
    DropProgressDialog(const DropProgressDialog&) = delete;
    DropProgressDialog& operator=(const DropProgressDialog&) = delete;

    // The callback that moves the dialog on; it answers false once the user has pressed Cancel.
    DropProgress callback();
    // `ask`, with the dialog hidden while the question is asked, and the time the user takes to
    // answer not counted as work.
    AskDropReplace asking(AskDropReplace ask);

private:
    bool step(int index, int count, const QString& name, qint64 done, qint64 total);

    QWidget* window_;
    std::unique_ptr<QProgressDialog> dialog_; // made once it is due
    QElapsedTimer clock_;
    qint64 answeringMs_ = 0; // spent on questions, not on work
    QString shownName_;
};

} // namespace zq2
