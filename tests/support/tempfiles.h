#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zq2::test {

// Writes `bytes` to folder/name, creating folders on the way; fails the running test on error.
void writeFile(const QString& folder, const QString& name, const QByteArray& bytes = {});
QByteArray readFile(const QString& path);

// "name=contents" of every entry of `folder`, hidden ones too, in name order, so that a comparison
// shows stray, left-over and lost files alike. A folder's contents read "<missing>".
QStringList folderContents(const QString& folder);

// A level or tileset file of `size` bytes whose 32-byte title field at offset 188 holds `field`
// (padded with NUL bytes when shorter; cut when the file is shorter than the field).
QByteArray levelBytes(const QByteArray& field, int size = 500);

} // namespace zq2::test
