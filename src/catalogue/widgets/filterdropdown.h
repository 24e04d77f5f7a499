#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace zq2 {

// Puts `patterns` after the drop-down's own first entry ("All"), each shown as displayFileName shows
// it and kept as read, bytes and all. A list keeps its pattern until an entry is chosen again, so the
// drop-down claims no choice it did not make: "All" stays chosen, any other choice is dropped.
void fillFilterDropDown(QComboBox* filter, const QStringList& patterns);

// The pattern text of the drop-down's chosen entry (see patternTextFor), from the patterns as read.
QString chosenPatternText(const QComboBox* filter);

} // namespace zq2
