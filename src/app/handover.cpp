#include "app/handover.h"

#include "platform/filenames.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <memory>
#include <optional>
#include <utility>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace zq2 {

namespace {

// A message: its length as 4 bytes (big-endian), then a QDataStream of the magic number, the
// version, the activation token, the number of paths and each path's bytes. The answer is one byte,
// "busy" or "ready"; to "ready" the sender confirms with one byte of its own, and only then are the
// files added. A sender that has given up in the meantime (and told its user that nothing was
// added) never confirms, so its files are never added behind its back.
constexpr quint32 kMagic = 0x5a51324f;
constexpr quint16 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
constexpr char kReady = 'R';
constexpr char kBusy = 'B';
constexpr char kConfirmed = 'C';
// Far above what a command line can hold (the system caps all arguments together at a few MB).
constexpr quint32 kLargestMessage = 64u << 20;
// A sender that has not sent its whole message by then is cut off.
constexpr int kSenderMilliseconds = 10000;
// Between two tries of a sender whose receiver is busy or not listening yet; and between two looks
// at a window that has files waiting while it asks a question.
constexpr int kRetryMilliseconds = 100;

QByteArray encodeMessage(const QStringList& paths, const QByteArray& activationToken) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << kMagic << kVersion << activationToken << quint32(paths.size());
        for (const QString& path : paths)
            out << encodeFileName(path);
    }
    QByteArray framed(4, Qt::Uninitialized);
    qToBigEndian(quint32(payload.size()), framed.data());
    return framed + payload;
}

std::optional<HandOverMessage> decodeMessage(const QByteArray& payload) {
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    quint16 version = 0;
    quint32 count = 0;
    HandOverMessage message;
    in >> magic >> version >> message.activationToken >> count;
    // Every path takes at least its 4-byte length, which bounds the count before anything is reserved.
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion ||
        count > payload.size() / 4)
        return std::nullopt;
    message.paths.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QByteArray bytes;
        in >> bytes;
        // The system reads a path only up to a NUL byte: such a path would name another file.
        if (in.status() != QDataStream::Ok || bytes.isEmpty() || bytes.contains('\0'))
            return std::nullopt;
        message.paths.append(decodeFileName(bytes));
    }
    if (!in.atEnd())
        return std::nullopt;
    return message;
}

int remaining(const QDeadlineTimer& deadline) {
    return int(qMax<qint64>(0, deadline.remainingTime()));
}

// Whether the process at the other end runs as this user. The socket's folder admits no one else,
// so this only matters when that folder was not what it seemed; a stranger's socket is never used.
bool sameUser(QLocalSocket& socket) {
#if defined(Q_OS_LINUX)
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           peer.uid == ::geteuid();
#elif defined(Q_OS_WIN)
    Q_UNUSED(socket);
    return true; // the server's pipe admits its own user only
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(int(socket.socketDescriptor()), &uid, &gid) == 0 && uid == ::geteuid();
#endif
}

// One try on a connected socket: the answer, or nothing when the connection ended without one or the
// time ran out.
std::optional<char> exchange(QLocalSocket& socket, const QByteArray& message,
                             const QDeadlineTimer& deadline) {
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remaining(deadline)))
            return std::nullopt;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(remaining(deadline)))
            return std::nullopt;
    }
    char answer = 0;
    socket.getChar(&answer);
    return answer;
}

} // namespace

HandOverResult handOverFiles(const QString& socketPath, const QStringList& paths,
                             const QByteArray& activationToken, int timeoutMs) {
    const QByteArray message = encodeMessage(paths, activationToken);
    const QDeadlineTimer deadline(timeoutMs);
    HandOverResult result = HandOverResult::Unreachable;
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(remaining(deadline))) {
            if (!sameUser(socket))
                return HandOverResult::Unreachable;
            const std::optional<char> answer = exchange(socket, message, deadline);
            if (answer == kReady) {
                // Once confirmed, the files are the running copy's to add, whatever the time.
                socket.putChar(kConfirmed);
                if (!socket.flush() && socket.bytesToWrite() > 0)
                    socket.waitForBytesWritten(kRetryMilliseconds);
                return HandOverResult::Taken;
            }
            // A copy that said it was busy is not taken for a hanging one when the time runs out
            // in the middle of the next try.
            if (answer == kBusy || result != HandOverResult::Busy)
                result = answer == kBusy ? HandOverResult::Busy : HandOverResult::NoAnswer;
        }
        if (deadline.hasExpired())
            return result;
        QThread::msleep(qMin(kRetryMilliseconds, remaining(deadline)));
    }
}

QString handOverFailureText(HandOverResult result) {
    if (result == HandOverResult::Busy)
        return QStringLiteral(
            "Could not reach the running Zeno 2 Organizer: it is waiting for an answer or "
            "adding other files. The files were not added; open them again when it is done.");
    return QStringLiteral(
               "Could not reach the running Zeno 2 Organizer: it did not answer within %1 seconds. "
               "The files were not added.")
        .arg(kHandOverMilliseconds / 1000);
}

HandOverServer::HandOverServer(std::function<bool()> busy, QObject* parent)
    : QObject(parent)
    , busy_(std::move(busy)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &HandOverServer::accept);
}

HandOverServer::~HandOverServer() = default;

bool HandOverServer::listen(const QString& socketPath) {
    if (socketPath.isEmpty())
        return false;
    server_.close();
    if (server_.listen(socketPath))
        return true;
    if (server_.serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(socketPath);
    return server_.listen(socketPath);
}

void HandOverServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The message once it is read whole and the copy was ready for it; then only the
        // sender's confirmation is awaited.
        auto pending = std::make_shared<std::optional<HandOverMessage>>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, pending] { readFrom(socket, *pending); });
        QTimer::singleShot(kSenderMilliseconds, socket, [socket] { socket->abort(); });
        readFrom(socket, *pending);
    }
}

void HandOverServer::readFrom(QLocalSocket* socket, std::optional<HandOverMessage>& pending) {
    if (pending) {
        char confirmation = 0;
        if (!socket->getChar(&confirmation))
            return;
        const HandOverMessage message = std::move(*pending);
        pending.reset();
        socket->disconnectFromServer();
        if (confirmation == kConfirmed)
            emit filesArrived(message.paths, message.activationToken);
        return;
    }
    if (socket->bytesAvailable() < 4)
        return;
    const quint32 size = qFromBigEndian<quint32>(socket->peek(4).constData());
    if (size > kLargestMessage) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < 4 + qint64(size))
        return;
    socket->skip(4);
    std::optional<HandOverMessage> message = decodeMessage(socket->read(size));
    if (!message) {
        socket->abort();
        return;
    }
    if (busy_ && busy_()) {
        socket->putChar(kBusy);
        socket->disconnectFromServer();
        return;
    }
    pending = std::move(message);
    socket->putChar(kReady);
    // The confirmation may have come with the message's last bytes.
    if (socket->bytesAvailable() > 0)
        readFrom(socket, pending);
}

FileInbox::FileInbox(std::function<bool()> windowBusy, QObject* parent)
    : QObject(parent)
    , windowBusy_(std::move(windowBusy)) {}

bool FileInbox::busy() const {
    return deliver_ && (delivering_ || (windowBusy_ && windowBusy_()));
}

void FileInbox::take(const QStringList& paths, const QByteArray& activationToken) {
    waiting_ += paths;
    if (!activationToken.isEmpty())
        activationToken_ = activationToken;
    if (deliver_)
        schedule();
}

void FileInbox::open(Deliver deliver) {
    deliver_ = std::move(deliver);
    if (!waiting_.isEmpty())
        schedule();
}

void FileInbox::schedule() {
    if (scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, &FileInbox::deliverWaiting);
}

void FileInbox::deliverWaiting() {
    scheduled_ = false;
    if (delivering_)
        return; // the batch being added picks these up when it is done
    if (windowBusy_ && windowBusy_()) {
        // A question came up after the files were taken: they wait until it has been answered.
        scheduled_ = true;
        QTimer::singleShot(kRetryMilliseconds, this, &FileInbox::deliverWaiting);
        return;
    }
    delivering_ = true;
    while (!waiting_.isEmpty()) {
        const QStringList batch = std::exchange(waiting_, {});
        deliver_(batch, std::exchange(activationToken_, {}));
    }
    delivering_ = false;
}

} // namespace zq2
