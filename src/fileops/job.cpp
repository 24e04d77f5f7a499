#include "fileops/job.h"

#include <QEventLoop>
#include <QThread>

#include <thread>

namespace zq2 {

void detail::QuestionRelay::serve() {
    job_.serveQuestion();
}

JobContext::JobContext(Answerer answerer)
    : answerer_(std::move(answerer)) {}

JobContext::~JobContext() = default;

void JobContext::startFile(int index, int count, const QString& name) {
    JobProgress now;
    {
        const std::lock_guard lock(mutex_);
        progress_ = JobProgress{index, count, name, 0, 0, 0};
        now = progress_;
    }
    if (onProgress)
        onProgress(now);
}

void JobContext::setBytes(qint64 done, qint64 total) {
    JobProgress now;
    {
        const std::lock_guard lock(mutex_);
        progress_.done = done;
        progress_.total = total;
        now = progress_;
    }
    if (onProgress)
        onProgress(now);
}

void JobContext::setMembers(qint64 members) {
    const std::lock_guard lock(mutex_);
    progress_.members = members;
}

JobProgress JobContext::progress() const {
    const std::lock_guard lock(mutex_);
    return progress_;
}

Answer JobContext::refusal(Buttons buttons) {
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

void JobContext::cancel() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_.store(true, std::memory_order_relaxed);
    }
    answered_.notify_all();
}

Answer JobContext::ask(const QString& text, Buttons buttons) {
    if (cancelled())
        return refusal(buttons);
    if (QThread::currentThread() == relay_.thread())
        return answerer_ ? answerer_(text, buttons) : refusal(buttons);

    std::unique_lock lock(mutex_);
    question_ = Question{text, buttons, std::nullopt};
    QMetaObject::invokeMethod(&relay_, "serve", Qt::QueuedConnection);
    answered_.wait(lock, [this] { return question_->answer.has_value() || cancelled(); });
    const Answer answer = question_->answer.value_or(refusal(buttons));
    question_.reset();
    return answer;
}

// On the window's thread: asks the waiting question, unless the job has given up on it meanwhile.
void JobContext::serveQuestion() {
    QString text;
    Buttons buttons = Buttons::Ok;
    {
        const std::lock_guard lock(mutex_);
        if (!question_ || question_->answer || cancelled())
            return;
        text = question_->text;
        buttons = question_->buttons;
    }
    const Answer answer = answerer_ ? answerer_(text, buttons) : refusal(buttons);
    {
        const std::lock_guard lock(mutex_);
        if (question_)
            question_->answer = answer;
    }
    answered_.notify_all();
}

void runJob(JobContext& context, const std::function<void()>& work) {
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        work();
        finished = true;
        // Queued on the loop's own object: delivered only once the loop runs, never lost before it.
        // Called by name, so that the hand-over between the threads lies wholly inside Qt.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    // The loop also ends when the program is told to quit; the job is then stopped, at its next
    // piece of work, rather than left running on its own.
    loop.exec();
    if (!finished)
        context.cancel();
    worker.join();
}

} // namespace zq2
