#pragma once

#include <QString>
#include <QStringList>

namespace zq2 {

// The pattern a file list gets when `chosenEntry` is chosen in its filter drop-down, whose entries
// are `dropDownEntries` ("All" first). "All", in any letter case, joins every other entry; any
// other entry is taken as it is. One trailing ";" is dropped either way.
QString patternTextFor(const QString& chosenEntry, const QStringList& dropDownEntries);

} // namespace zq2
