#pragma once

#include "catalogue/folderlisting.h"

#include <QString>

namespace zq2 {

// The most levels the game's Fresh Baked list can take.
inline constexpr qint64 kMaxLevels = 255;

struct CountCaptions {
    QString levels;         // "Levels: N"
    QString tilesets;       // "Tilesets: N"
    QString music;          // "Music files: N"
    QString cache;          // "Cache files: N"
    bool overLimit = false; // more levels than kMaxLevels: the level caption is shown in red
    // What a screen reader says for the level caption while it is red, since the colour alone
    // tells a listener nothing: "Levels: N, over the limit". Empty within the limit, where the
    // caption is heard as it reads.
    QString levelsOverLimitName;
};

CountCaptions countCaptions(const FolderCounts& counts);

// Whether closing the main window has to ask quitQuestionText() first. A close forced by the end of
// the session or by the system never asks.
bool quitNeedsQuestion(bool closedBySessionEndOrSystem, bool warnMaxLevels, bool levelLabelIsRed);

QString quitQuestionText();

} // namespace zq2
