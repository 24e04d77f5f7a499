#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

// Stops the run when a documented rule does not hold, so that libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "rule broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace zq2::fuzz {

// A folder of this run's own for the readers that take a path, in memory where the system has room.
const QString& scratchFolder();

// Writes `bytes` as folder/name, replacing what was there.
void writeScratchFile(const QString& name, const QByteArray& bytes);

// The lines of `bytes` by the text files' rules, written out plainly: a line ends at CR LF, a lone CR
// or a lone LF, the end of the bytes ends the last line, and a line end at the very end starts no
// further line.
QList<QByteArray> plainLines(const QByteArray& bytes);

// Whether `bytes` is UTF-8 that decodes to text and back unchanged.
bool isPlainUtf8(const QByteArray& bytes);

// The rest of the input written as the file `name`, as a person may have edited it, and the lines of
// it; nothing, and no file written, when it is not UTF-8, which is decoded by rules of its own.
std::optional<QList<QByteArray>> editedFile(FuzzedDataProvider& input, const QString& name);

// Equal letter by letter, ASCII letters in either case; any other character only to itself.
bool sameIgnoringAsciiCase(const QString& text, QLatin1String keyword);

QString withoutOuterSpaces(QString text);

bool hasLineEnd(const QString& text);

} // namespace zq2::fuzz
