#include "catalogue/widgets/filterdropdown.h"

#include "catalogue/filter.h"
#include "platform/filenames.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace zq2 {

void fillFilterDropDown(QComboBox* filter, const QStringList& patterns) {
    const QSignalBlocker blocker(filter);
    const bool allChosen = filter->currentIndex() == 0;
    while (filter->count() > 1)
        filter->removeItem(filter->count() - 1);
    for (const QString& pattern : patterns)
        filter->addItem(displayFileName(pattern), pattern);
    filter->setCurrentIndex(allChosen ? 0 : -1);
}

QString chosenPatternText(const QComboBox* filter) {
    // "All" is the drop-down's own entry; the patterns carry what they were read as.
    const auto entryAt = [filter](int i) {
        const QVariant pattern = filter->itemData(i);
        return pattern.isValid() ? pattern.toString() : filter->itemText(i);
    };
    QStringList entries;
    entries.reserve(filter->count());
    for (int i = 0; i < filter->count(); ++i)
        entries << entryAt(i);
    return patternTextFor(entryAt(filter->currentIndex()), entries);
}

} // namespace zq2
