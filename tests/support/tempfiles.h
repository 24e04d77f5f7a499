#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>

namespace zq2::test {

// Writes `bytes` to folder/name, creating folders on the way; fails the running test on error.
void writeFile(const QString& folder, const QString& name, const QByteArray& bytes = {});
QByteArray readFile(const QString& path);

// A level or tileset file of `size` bytes whose 32-byte title field at offset 188 holds `field`
// (padded with NUL bytes when shorter; cut when the file is shorter than the field).
// Runs `action` with `folder` set to the permission bits `mode`, then gives the folder back to its
// owner alone. Root writes through folder permissions, so under root the action runs as the
// unprivileged user 65534; the folder stays reachable for that user while the action runs.
void withFolderMode(const QString& folder, mode_t mode, const std::function<void()>& action);

QByteArray levelBytes(const QByteArray& field, int size = 500);

} // namespace zq2::test
