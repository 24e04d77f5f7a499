#include "fileops/deletion.h"

#include "platform/filenames.h"
#include "platform/nativepath.h"
#include "platform/trash.h"

#include <QFileInfo>

#include <cerrno>
#include <filesystem>

namespace zq2 {

namespace {

constexpr int kNamedInReport = 5;

QString shownName(const FileError& failure) {
    const QString name = displayFileName(QFileInfo(failure.path).fileName());
    return name.isEmpty() ? QStringLiteral("a file") : name;
}

} // namespace

FileError removeFile(const QString& path) {
    const std::filesystem::path native = toFsPath(path);
    std::error_code error;
    const auto status = std::filesystem::symlink_status(native, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return FileError::fromErrno(ENOENT, path);
    if (error)
        return FileError::fromErrno(errnoOf(error), path);
    if (status.type() == std::filesystem::file_type::directory)
        return FileError::fromErrno(EISDIR, path);
    if (moveToTrash(native))
        return FileError::none();
    // The trash would not take it. Deleting tells the precise reason when that fails too
    // (a read-only folder, a file that vanished meanwhile).
    if (std::filesystem::remove(native, error))
        return FileError::none();
    return FileError::fromErrno(error ? errnoOf(error) : ENOENT, path);
}

QString deleteQuestion(const QString& titleLabelCaption, const QString& fileName) {
    const QString title = titleLabelCaption.compare(QLatin1String("No Title"), Qt::CaseInsensitive) == 0
                              ? QStringLiteral("this file")
                              : titleLabelCaption.mid(7);
    return QStringLiteral("Are you sure you want to delete ") + title + QStringLiteral(" (") +
           displayFileName(fileName) + QStringLiteral(")?");
}

QString clearCacheQuestion(int count) {
    if (count == 1)
        return QStringLiteral("Are you sure you want to delete this 1 file?");
    return QStringLiteral("Are you sure you want to delete these ") + QString::number(count) +
           QStringLiteral(" files?");
}

QString cacheIsEmptyText() {
    return QStringLiteral("Cache is empty.");
}

QString failureReport(const QString& verbPhrase, const QList<NamedFailure>& failures) {
    if (failures.isEmpty())
        return {};
    if (failures.size() == 1) {
        const NamedFailure& only = failures.first();
        return verbPhrase + QLatin1Char(' ') + only.name + QStringLiteral(": ") + only.reason +
               QLatin1Char('.');
    }
    QString text =
        verbPhrase + QLatin1Char(' ') + QString::number(failures.size()) + QStringLiteral(" files:");
    for (qsizetype i = 0; i < failures.size() && i < kNamedInReport; ++i)
        text += QLatin1Char('\n') + failures[i].name + QStringLiteral(": ") + failures[i].reason;
    if (failures.size() > kNamedInReport)
        text += QStringLiteral("\nand ") + QString::number(failures.size() - kNamedInReport) +
                QStringLiteral(" more.");
    return text;
}

QString failureReport(const QString& verbPhrase, const QList<FileError>& failures) {
    QList<NamedFailure> named;
    named.reserve(failures.size());
    for (const FileError& failure : failures)
        named.append({shownName(failure), failure.reason()});
    return failureReport(verbPhrase, named);
}

} // namespace zq2
