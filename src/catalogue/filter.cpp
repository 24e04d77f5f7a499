#include "catalogue/filter.h"

namespace zq2 {

QString patternTextFor(const QString& chosenEntry, const QStringList& dropDownEntries) {
    QString pattern;
    if (chosenEntry.compare(QLatin1String("All"), Qt::CaseInsensitive) == 0) {
        for (qsizetype i = 1; i < dropDownEntries.size(); ++i)
            pattern += dropDownEntries.at(i) + QLatin1Char(';');
    } else {
        pattern = chosenEntry;
    }
    if (pattern.endsWith(QLatin1Char(';')))
        pattern.chop(1);
    return pattern;
}

} // namespace zq2
