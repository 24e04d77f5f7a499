#pragma once

#include "platform/prompter.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace zq2 {

class JobContext;

namespace detail {

// Hands a job's waiting question to the thread the job's context was made on. Called by name, so
// that the hand-over between the threads lies wholly inside Qt's own event queue.
class QuestionRelay final : public QObject {
    Q_OBJECT
public:
    explicit QuestionRelay(JobContext& job)
        : job_(job) {}
    Q_INVOKABLE void serve();

private:
    JobContext& job_;
};

} // namespace detail

// How far a job has come: file `index` (from 0) of `count`, named `name` as the user sees it, `done`
// of its `total` bytes, and for an archive the number of `members` looked at so far.
struct JobProgress {
    int index = 0;
    int count = 0;
    QString name;
    qint64 done = 0;
    qint64 total = 0;
    qint64 members = 0;
};

// What a job running on a worker thread shares with the window that started it. The job reports
// progress (which the window samples when it likes), reads the cancel flag between pieces of work,
// and asks questions, which the window answers on its own thread while the job waits. A cancel
// also ends any wait for an answer, so a job can always be stopped.
//
// Made on the window's thread; that is the thread questions are asked on.
class JobContext {
public:
    // Answers a question on the window's thread; see Prompter::ask.
    using Answerer = std::function<Answer(const QString& text, Buttons buttons)>;

    explicit JobContext(Answerer answerer = {});
    ~JobContext();
    JobContext(const JobContext&) = delete;
    JobContext& operator=(const JobContext&) = delete;

    // ---- for the job, from any thread

    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // Starts file `index` of `count`: its bytes and members start again from 0.
    void startFile(int index, int count, const QString& name);
    void setBytes(qint64 done, qint64 total);
    void setMembers(qint64 members);

    // Asks `text` with `buttons` and waits for the answer. Once the job is cancelled, nothing is
    // asked and the answer is Cancel (for OK and Cancel) or No; so it is when a cancel comes while
    // the question is open.
    Answer ask(const QString& text, Buttons buttons);

    // Tells the window that a folder changed, so that it can bring its lists up to date before it
    // next shows a question.
    void noteChange() { changed_.store(true, std::memory_order_relaxed); }

    // Called on the job's thread each time the job reports progress (startFile, setBytes), with the
    // progress as reported: a seam through which a test slows the work down or acts at a known point
    // of it. Set before the job starts.
    std::function<void(const JobProgress&)> onProgress;

    // ---- for the window

    void cancel();
    JobProgress progress() const;
    // Whether noteChange() was called since the last call of this.
    bool takeChange() { return changed_.exchange(false, std::memory_order_relaxed); }

private:
    friend class detail::QuestionRelay;
    void serveQuestion();
    static Answer refusal(Buttons buttons);

    Answerer answerer_;
    // Questions are handed to the window's thread through this object's queue; were the context
    // destroyed first, a question still queued would be dropped with it.
    detail::QuestionRelay relay_{*this};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> changed_{false};

    mutable std::mutex mutex_;
    std::condition_variable answered_;
    JobProgress progress_;
    struct Question {
        QString text;
        Buttons buttons;
        std::optional<Answer> answer;
    };
    std::optional<Question> question_;
};

// Runs `work` on a thread of its own and returns once it has ended, keeping the calling thread's
// events flowing meanwhile, so that its windows keep drawing, answer the questions the work asks
// and take a cancel. Should the calling thread's event loops be told to end (the program is asked
// to quit), the job is cancelled and waited for before this returns: no worker outlives its call.
void runJob(JobContext& context, const std::function<void()>& work);

} // namespace zq2
