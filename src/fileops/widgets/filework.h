#pragma once

#include "fileops/job.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zq2 {

class JobProgressDialog;

// Runs file work off the window's thread on behalf of one window, the way every long command of the
// program does: the program's windows keep drawing but take no input (and refuse drops) until the
// work has ended, so nothing the user does can start a second job or change the folders under the
// first, and only one piece of work runs at a time in the whole program;
// questions the work asks are put to the user on the window's thread while the work waits; and,
// unless the window says otherwise, a progress dialog with a Cancel button appears once the work
// itself (not the time spent on questions) has taken half a second.
class FileWork {
public:
    struct Options {
        QString verb;                        // "Copying": the dialog reads "Copying level1.z2l"
        bool showProgress = true;            // false: no dialog (a window that shows no progress of its own)
        QList<QWidget*> stillActive = {};    // controls of the window that keep taking input, e.g. its Cancel
        std::function<void()> onEscape = {}; // what Escape pressed in the window does meanwhile, if anything
    };

    FileWork(QWidget* window, Prompter& prompter);
    ~FileWork();
    FileWork(const FileWork&) = delete;
    FileWork& operator=(const FileWork&) = delete;

    // Runs `work` on a worker thread and returns once it has ended. Returns false, having run
    // nothing, while other work of the program runs.
    bool run(const Options& options, const std::function<void(JobContext&)>& work);

    bool running() const { return job_ != nullptr; }
    // Whether any work of the program runs, from any window.
    static bool anyRunning();
    // Stops the work that runs, from whichever window, at its next piece.
    static void cancelRunning();
    // Stops the running work at its next piece; nothing when none runs.
    void cancel();

    // Called on the window's thread before each question the work asks, so that the window can
    // first bring up to date what the question's answer depends on.
    std::function<void(JobContext&)> beforeQuestion;
    // Called on the window's thread with each job before its work starts; a seam for tests.
    std::function<void(JobContext&)> beforeStart;

private:
    Answer answer(const QString& text, Buttons buttons);

    QWidget* window_;
    Prompter& prompter_;
    JobContext* job_ = nullptr;
    Options options_;
    std::unique_ptr<JobProgressDialog> dialog_;
    qint64 askingMs_ = 0; // spent on questions, not on work
    bool asking_ = false;
};

} // namespace zq2
