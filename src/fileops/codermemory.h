#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace zq2 {

// Unpacking LZMA takes a dictionary as large as the archive says, and PPMd a model as large as it
// says: up to 4 GiB, asked for by a header of a few bytes. These read what an archive asks for, from
// its headers, before libarchive unpacks anything. Each returns why the archive is refused, in
// words, or an empty string.

// A 7z archive (`file` at its start): every coder of every folder its header lists, including the
// coders of a packed header, which is unpacked here to be read.
QString sevenZipMemoryRefusal(QIODevice& file, qint64 limit);

// A zip archive: every local file header in `file`, wherever it is, so that neither the central
// directory nor a reader that goes from header to header can lead to one that was not checked.
// Members packed with xz are refused outright: their blocks can only be found by unpacking them.
QString zipMemoryRefusal(QIODevice& file, qint64 limit);

// "it needs more than 64 MiB of memory to unpack", for `limit` bytes.
QString memoryRefusalText(qint64 limit);

} // namespace zq2
