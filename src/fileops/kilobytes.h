#pragma once

#include <QLocale>
#include <QString>

namespace zq2 {

// A size in bytes as kilobytes of 1000 bytes, in the locale's general number form: no grouping, no
// trailing zeros, and the locale's decimal separator only when the value is not whole
// (1500 -> "1.5", 1000 -> "1", 999 -> "0.999"; "1,5" where the decimal separator is a comma).
QString kilobytesText(qint64 bytes, const QLocale& locale);

// "Are you sure you want to replace <name> (Size: <old> KB) with <name> (Size: <new> KB)?"
// asked before a copy replaces a file of the same name; the name as displayFileName shows it.
QString replaceQuestion(const QString& name, qint64 oldSize, qint64 newSize, const QLocale& locale);

} // namespace zq2
