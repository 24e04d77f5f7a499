#pragma once

#include <QObject>

class QSocketNotifier;

namespace zq2 {

// Turns a termination request from the system (SIGTERM, SIGHUP) into a Qt signal on the user-interface
// thread, so the program can close its window in order instead of dying mid-write. The signal
// handler itself only writes one byte to a socket pair.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    void readPending();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace zq2
