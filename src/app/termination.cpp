#include "app/termination.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zq2 {

#ifdef Q_OS_UNIX
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

} // namespace
#endif

TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent) {
#ifdef Q_OS_UNIX
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationWatcher::readPending);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
#endif
}

TerminationWatcher::~TerminationWatcher() {
#ifdef Q_OS_UNIX
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
#endif
}

void TerminationWatcher::readPending() {
#ifdef Q_OS_UNIX
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(signalPipe[1], &byte, 1);
#endif
    emit terminationRequested();
}

} // namespace zq2
