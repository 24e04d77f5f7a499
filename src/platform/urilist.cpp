#include "platform/urilist.h"

#include "platform/filenames.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <optional>

namespace zq2 {

namespace {

const QByteArray kFileScheme = QByteArrayLiteral("file:");

// The path part of one file URL ("file:///p", "file://localhost/p", "file:/p"), still
// percent-encoded, or empty when the URL is not of a file on this machine.
QByteArray localPathPart(QByteArray url) {
    if (url.size() < kFileScheme.size() || qstrnicmp(url.constData(), kFileScheme.constData(), 5) != 0)
        return {};
    url.remove(0, kFileScheme.size());
    if (!url.startsWith("//"))
        return url.startsWith('/') ? url : QByteArray();
    const qsizetype pathStart = url.indexOf('/', 2);
    if (pathStart < 0)
        return {};
    const QByteArray host = url.mid(2, pathStart - 2);
    if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0)
        return {};
    return url.mid(pathStart);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The bytes that a percent-encoded text stands for, or nothing when a "%" is not followed by two
// hexadecimal digits: such a URL is malformed, and guessing at it could name another file.
std::optional<QByteArray> percentDecoded(const QByteArray& encoded) {
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            bytes.append(encoded[i]);
            continue;
        }
        const int high = i + 2 < encoded.size() ? hexValue(encoded[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(encoded[i + 2]) : -1;
        if (low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
        i += 2;
    }
    return bytes;
}

} // namespace

QStringList localPathsFromUriList(QByteArrayView uriList) {
    QStringList paths;
    for (const QByteArray& line : uriList.toByteArray().split('\n')) {
        const QByteArray url = line.trimmed();
        if (url.isEmpty() || url.startsWith('#'))
            continue;
        const std::optional<QByteArray> decoded = percentDecoded(localPathPart(url));
        // The system reads a path only up to a NUL byte: "/a%00/x" would name "/a".
        if (!decoded || decoded->isEmpty() || decoded->contains('\0'))
            continue;
        QByteArray path = *decoded;
#ifdef Q_OS_WIN
        // "/C:/folder": the drive comes first on Windows.
        if (path.size() >= 3 && path[0] == '/' && path[2] == ':')
            path.remove(0, 1);
        paths << QString::fromUtf8(path);
#else
        paths << decodeFileName(path);
#endif
    }
    return paths;
}

QByteArray uriListOfPaths(const QStringList& paths) {
    QByteArray list;
    for (const QString& path : paths) {
#ifdef Q_OS_WIN
        QByteArray bytes = path.toUtf8().replace('\\', '/');
        if (!bytes.startsWith('/'))
            bytes.prepend('/');
#else
        const QByteArray bytes = encodeFileName(path);
#endif
        list += "file://" + bytes.toPercentEncoding("/") + "\r\n";
    }
    return list;
}

QStringList droppableFiles(const QDropEvent* event) {
    if (!(event->possibleActions() & Qt::CopyAction) || !event->mimeData())
        return {};
    const QMimeData* data = event->mimeData();
    if (data->hasFormat(uriListType()))
        return localPathsFromUriList(data->data(uriListType()));
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

void answerAsCopy(QDropEvent* event, bool taken) {
    if (!taken) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

QStringList takeAsCopy(QDropEvent* event) {
    QStringList paths = droppableFiles(event);
    answerAsCopy(event, !paths.isEmpty());
    return paths;
}

} // namespace zq2
