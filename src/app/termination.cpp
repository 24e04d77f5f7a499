#include "app/termination.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace zq2 {

#ifdef Q_OS_UNIX
namespace {

int signalPipe[2] = {-1, -1};

// Never blocks: with the socket full, a request is already waiting to be read, so the byte that
// does not fit is not missed.
extern "C" void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace
#endif

TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent) {
#ifdef Q_OS_UNIX
    // Close-on-exec: the game, ZLE and wine started from here must not hold the pair open. Non-blocking:
    // the handler must never wait on a full socket, and the reader drains it without waiting.
    if (signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
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
    // Requests that came in a burst are one request: what is waiting is read in one go.
    char bytes[256];
    if (::read(signalPipe[1], bytes, sizeof bytes) <= 0)
        return;
#endif
    emit terminationRequested();
}

} // namespace zq2
