#pragma once

#include <filesystem>

namespace zq2 {

// Moves the file at `path` into the desktop's trash, so that a deletion can be undone: on the free
// desktops the trash in the user's data folder for a file on the home folder's file system, and the
// file system's own `.Trash-<uid>` folder at its top for a file elsewhere. `path` is used as the bytes
// the file system knows the file by, never re-encoded.
//
// Returns false, having changed nothing, where the trash cannot take the file: no trash can be made
// there, its folders are not folders or not writable, the record of where the file came from cannot
// be written in full (a name too long for it), or this system keeps no trash. The caller then
// deletes the file outright. Never retries: the time it takes is a handful of file-system calls.
bool moveToTrash(const std::filesystem::path& path);

} // namespace zq2
