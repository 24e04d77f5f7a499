#include "catalogue/details.h"

#include "platform/filenames.h"
#include "platform/paths.h"
#include "platform/regularfile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <optional>

namespace zq2 {

namespace {

constexpr qsizetype kTitleOffset = 188;
constexpr qsizetype kTitleLength = 32;

} // namespace

std::optional<QString> readTitle(const QString& path) {
    const std::unique_ptr<QFile> file = openRegularFile(path);
    if (!file)
        return std::nullopt;
    char head[kTitleFieldEnd];
    const qint64 got = file->read(head, kTitleFieldEnd);
    if (got < 0)
        return std::nullopt;
    return titleFromHead(QByteArrayView(head, got));
}

QString titleFromHead(QByteArrayView head) {
    // The bytes past the end of a short file count as spaces, so they vanish with the trimming.
    QByteArrayView field = head.size() > kTitleOffset ? head.sliced(kTitleOffset) : QByteArrayView();
    field = field.first(std::min(field.size(), kTitleLength));
    const qsizetype nul = field.indexOf('\0');
    if (nul >= 0)
        field = field.first(nul);
    while (!field.isEmpty() && field.front() == ' ')
        field = field.sliced(1);
    while (!field.isEmpty() && field.back() == ' ')
        field.chop(1);
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(field);
#else
    return decodeWindows1252(field);
#endif
}

QString loadTitle(const QString& path) {
    return readTitle(path).value_or(QString());
}

QString decodeWindows1252(QByteArrayView bytes) {
    static constexpr std::array<char16_t, 32> k80to9F = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte >= 0x80 && byte <= 0x9F ? k80to9F[byte - 0x80] : char16_t(byte));
    }
    return text;
}

FileKind fileKindOf(const QString& name) {
    const QStringView ending = QStringView(name).right(3);
    if (ending.compare(QLatin1String("z2l"), Qt::CaseInsensitive) == 0)
        return FileKind::Level;
    if (ending.compare(QLatin1String("z2t"), Qt::CaseInsensitive) == 0)
        return FileKind::Tileset;
    if (ending.compare(QLatin1String("z2b"), Qt::CaseInsensitive) == 0)
        return FileKind::Music;
    return FileKind::Other;
}

QLatin1String fileKindName(FileKind kind) {
    static const char* const kNames[] = {"Level", "Tileset", "Music", "Other"};
    return QLatin1String(kNames[int(kind)]);
}

FileDetails describeFile(const QString& folder, const QString& name) {
    const FileKind kind = fileKindOf(name);
    const QString path = joinPath(folder, name);
    const std::optional<qint64> size = name.isEmpty() ? std::nullopt : plainFileSize(path);
    const bool measurable = size.has_value();

    FileDetails details;
    details.readable = measurable;
    if (kind == FileKind::Level || kind == FileKind::Tileset) {
        std::optional<QString> title;
        if (measurable)
            title = readTitle(path);
        details.readable = title.has_value();
        details.title = QStringLiteral("Title: ") + title.value_or(QString());
    } else {
        details.title = QStringLiteral("No Title");
    }
    details.type = QStringLiteral("Type: ") + fileKindName(kind);
    details.size = measurable ? QStringLiteral("Size: %1 Bytes").arg(*size) : QStringLiteral("Size: unknown");
    // The captions only show the name; the buttons act on the list's entry itself.
    const QString shown = displayFileName(name);
    details.deleteCaption = QStringLiteral("Delete ") + shown;
    details.seeFileCaption =
        kind == FileKind::Level ? QStringLiteral("Play ") + shown : QStringLiteral("Launch ZLE");
    return details;
}

} // namespace zq2
