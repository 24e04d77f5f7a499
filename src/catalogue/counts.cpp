#include "catalogue/counts.h"

namespace zq2 {

CountCaptions countCaptions(const FolderCounts& counts) {
    CountCaptions captions;
    captions.levels = QStringLiteral("Levels: ") + QString::number(counts.levels);
    captions.tilesets = QStringLiteral("Tilesets: ") + QString::number(counts.tilesets);
    captions.music = QStringLiteral("Music files: ") + QString::number(counts.music);
    captions.cache = QStringLiteral("Cache files: ") + QString::number(counts.cacheFiles);
    captions.overLimit = counts.levels > kMaxLevels;
    if (captions.overLimit)
        captions.levelsOverLimitName = captions.levels + QStringLiteral(", over the limit");
    return captions;
}

bool quitNeedsQuestion(bool closedBySessionEndOrSystem, bool warnMaxLevels, bool levelLabelIsRed) {
    return !closedBySessionEndOrSystem && warnMaxLevels && levelLabelIsRed;
}

QString quitQuestionText() {
    return QStringLiteral("You still have more levels in your Zeno2 folder than the maximum amount of Zeno2 "
                          "levels allowed.  Are you sure you want to quit?");
}

} // namespace zq2
