#include "platform/trash.h"

#include <QtGlobal>

#if defined(Q_OS_LINUX)
// GLib names a structure member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <climits>
#include <unistd.h>
#elif defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
#include <QFile>
#include <QString>
#endif

namespace zq2 {

#if defined(Q_OS_LINUX)

namespace {

// GIO keeps the record of where a trashed file came from in a file named like it plus ".trashinfo",
// written through a temporary file whose name is seven bytes longer still, and a second file of the
// same name in the trash gets a number before its first dot. Where those names exceed the file
// system's limit GIO either fails (fine: the file is then deleted) or moves the file into the trash
// with an empty record, which no trash window can put back. Names without room for the record (and
// for up to four digits of that number) are therefore never offered to the trash.
constexpr std::size_t kRecordOverhead =
    sizeof(".trashinfo") - 1 + sizeof(".XXXXXX") - 1 + sizeof(".9999") - 1;

bool recordFits(const std::filesystem::path& path) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = NAME_MAX;
    return path.filename().native().size() + kRecordOverhead <= static_cast<std::size_t>(nameMax);
}

} // namespace

// GIO's trash gives up on the first failure it cannot work around and asks nothing of the user,
// unlike this Qt version's own, which retries without end when the record cannot be created.
bool moveToTrash(const std::filesystem::path& path) {
    if (!recordFits(path))
        return false;
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error) != FALSE;
    if (error != nullptr)
        g_error_free(error);
    g_object_unref(file);
    return trashed;
}

#elif defined(Q_OS_WIN) || defined(Q_OS_DARWIN)

// These systems' trash calls report a failure instead of retrying.
bool moveToTrash(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QFile::moveToTrash(QString::fromStdWString(path.native()));
#else
    return QFile::moveToTrash(QFile::decodeName(path.native().c_str()));
#endif
}

#else

// Elsewhere Qt would use the same retrying code as on Linux: no trash rather than a hang.
bool moveToTrash(const std::filesystem::path&) {
    return false;
}

#endif

} // namespace zq2
