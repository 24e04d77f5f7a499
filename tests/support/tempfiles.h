#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace zq2::test {

// Paths and names here are given as the program holds them (see decodeFileName), so a test can
// make and inspect files whose names are not valid UTF-8: decodeFileName("caf\xE9.z2l").

// A temporary folder that is removed even when it holds names that are not UTF-8, which
// QTemporaryDir cannot remove.
class TempDir : public QTemporaryDir {
public:
    ~TempDir();
};

// Makes `home` the home and data folder of the test program, so that the files its tests delete go
// to a desktop trash there and never to the user's own. The trash reads both once, so one home
// serves every test of a program; call it before the first deletion.
void useHomeOfItsOwn(const QString& home);

// Writes `bytes` to folder/name, creating folders on the way; fails the running test on error.
void writeFile(const QString& folder, const QString& name, const QByteArray& bytes = {});
// Makes the folder at `path` and the folders on the way.
void makeFolder(const QString& path);
// Makes each entry in `folder`, and the folder: "name/" a folder, "name=text" a file of text's Latin-1.
void fillFolder(const QString& folder, const QStringList& entries);
// The contents of a plain file, or "<missing>".
QByteArray readFile(const QString& path);

// Every entry of `folder`, hidden ones included, as "name=contents" for a file and "name/" for a
// folder, in name order ignoring letter case; each name decoded exactly, so that stray, lost and
// mistaken files all show.
QStringList folderEntries(const QString& folder);

// Writes folder/name as a shell script that records its arguments and the folder it runs in, each
// followed by '|', in folder/name.args, renamed into place so that it is never read half written.
void writeRecorder(const QString& folder, const QString& name, bool executable = true);

// A level or tileset file of `size` bytes whose 32-byte title field at offset 188 holds `field`
// (padded with NUL bytes when shorter; cut when the file is shorter than the field).
QByteArray levelBytes(const QByteArray& field, int size = 500);

} // namespace zq2::test
