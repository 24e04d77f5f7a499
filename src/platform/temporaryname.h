#pragma once

#include <QByteArrayView>
#include <QString>

namespace zq2 {

// The names of the program's own temporary files, which hold a copy until it is complete and then
// are renamed into place: ".zq2-" followed by eight lower-case hexadecimal digits and ".part". Short,
// so that long file names still leave room for one beside them, and hidden, so that no list shows
// one while it exists.
QString newTemporaryName();

// How many fresh names a writer tries before it gives up: another name is tried only when one is
// taken, which in practice never happens twice.
constexpr int kTemporaryNameAttempts = 8;

// Whether `name` (as the file system gives it) has that shape: a file of ours that a crash left
// behind, which nobody else would name so.
bool isTemporaryName(QByteArrayView name);

} // namespace zq2
