#include "appearance/tooltips.h"

namespace zq2 {

QList<TooltipEntry> tooltipTable() {
    return {
        {"lvlStatus", levelLabelDesignTooltip()},
        {"tileStatus", QStringLiteral("This shows how many tilesets are in your Zeno2 directory.")},
        {"musicStatus",
         QStringLiteral("This shows how many *.z2b format music files are in your Zeno2 directory.")},
        {"cacheStatus", QStringLiteral("This shows how many files are in your internet Cache directory.")},
        {"zq2Files", QStringLiteral("This is the list of files in your Zeno2 directory.")},
        {"zq2Cache", QStringLiteral("This is the list of files in your cache.")},
        {"zq2View", QStringLiteral("This is the filter for your Zeno2 directory list. Change this to view "
                                   "certain files only.")},
        {"cacheView", QStringLiteral("This is the filter for your Cache directory list. Change this to view "
                                     "certain files only.")},
    };
}

QString levelLabelDesignTooltip() {
    return QStringLiteral("Red text shows that you have more levels than the Max amount allowed in the "
                          "Fresh Baked list.");
}

} // namespace zq2
