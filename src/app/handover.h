#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class QLocalSocket;

namespace zq2 {

// Files named on the command line of a second copy travel to the running copy over a local socket
// that only this user can reach (see SingleInstance). The second copy sends the files' paths as
// their exact bytes and waits, for a few seconds at most, for the running copy to say that it took
// them, or that it is busy and cannot take them now.

enum class HandOverResult {
    Taken,       // the running copy took the files
    Busy,        // it answered, but was busy with a question or other files until the time ran out
    NoAnswer,    // it accepted the connection but never answered
    Unreachable, // nothing could be reached at the socket, or it belongs to another user
};

inline constexpr int kHandOverMilliseconds = 5000;

// Hands `paths` to the copy listening at `socketPath`, trying again while it is busy or not
// listening yet, until `timeoutMs` have passed. `activationToken` is the desktop's permission for
// the running copy to come to the front, if the desktop gave this copy one.
HandOverResult handOverFiles(const QString& socketPath, const QStringList& paths,
                             const QByteArray& activationToken, int timeoutMs = kHandOverMilliseconds);

// What a later copy hands over: the paths, and the desktop's token for coming to the front.
struct HandOverMessage {
    QStringList paths;
    QByteArray activationToken;
};

// What to tell the user when a hand-over did not succeed.
QString handOverFailureText(HandOverResult result);

// The running copy's end: takes files from later copies and passes them on while `busy` says no;
// while it says yes, the sender is told to try again. Files are passed on only once their sender
// has confirmed that it still waits for them. A message that is malformed, too large or not
// complete in time is dropped without an answer.
class HandOverServer : public QObject {
    Q_OBJECT
public:
    explicit HandOverServer(std::function<bool()> busy, QObject* parent = nullptr);
    ~HandOverServer() override;

    // Listens at `socketPath`. The caller holds the single-copy lock, so a socket file found there
    // was left by a copy that crashed and is removed first. False when listening failed.
    bool listen(const QString& socketPath);
    bool isListening() const { return server_.isListening(); }

signals:
    // Emitted once the sender has confirmed that it counts the files as taken.
    void filesArrived(const QStringList& paths, const QByteArray& activationToken);

private:
    void accept();
    void readFrom(QLocalSocket* socket, std::optional<HandOverMessage>& pending);

    QLocalServer server_;
    std::function<bool()> busy_;
};

// Files for the window, whether named on this copy's command line or handed over by later copies.
// Until the window is open they wait here; afterwards each batch is delivered from the event loop,
// never from inside the handler that received it, one batch at a time. The window is busy while a
// batch is being added or while it waits for an answer (`windowBusy`); files are refused then, but
// never before the window opens, when they simply wait.
class FileInbox : public QObject {
    Q_OBJECT
public:
    using Deliver = std::function<void(const QStringList& paths, const QByteArray& activationToken)>;

    explicit FileInbox(std::function<bool()> windowBusy, QObject* parent = nullptr);

    bool busy() const;
    void take(const QStringList& paths, const QByteArray& activationToken = {});
    // From now on files go to `deliver`, starting with those that are waiting.
    void open(Deliver deliver);

private:
    void schedule();
    void deliverWaiting();

    std::function<bool()> windowBusy_;
    Deliver deliver_;
    QStringList waiting_;
    QByteArray activationToken_;
    bool scheduled_ = false;
    bool delivering_ = false;
};

} // namespace zq2
