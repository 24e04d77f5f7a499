#pragma once

#include "fileops/dropfiles.h"

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace zq2 {

// The progress of a drop, as a dialog modal to `window` with a Cancel button. It appears only once
// the work has lasted half a second, so a drop of a few small files never flashes a window, and it
// closes when this object goes.
class DropProgressDialog {
public:
    explicit DropProgressDialog(QWidget* window);
    ~DropProgressDialog();
    DropProgressDialog(const DropProgressDialog&) = delete;
    DropProgressDialog& operator=(const DropProgressDialog&) = delete;

    // The callback that moves the dialog on; it answers false once the user has pressed Cancel.
    DropProgress callback();

private:
    bool step(int index, int count, const QString& name, qint64 done, qint64 total);

    QWidget* window_;
    std::unique_ptr<QProgressDialog> dialog_; // made at the first step
    QString shownName_;
};

} // namespace zq2
