#pragma once

#include <QList>
#include <QString>

namespace zq2 {

// One control of the main window that can carry an explanatory tooltip.
struct TooltipEntry {
    const char* objectName;
    QString text;
};

// The eight controls of the main window that show tooltips while tooltips are on, in the order in
// which they are given their texts (and, when tooltips are off, their empty texts).
QList<TooltipEntry> tooltipTable();

// The tooltip that the level count label carries from the window's design, before tooltips are
// switched on or off for the first time.
QString levelLabelDesignTooltip();

} // namespace zq2
