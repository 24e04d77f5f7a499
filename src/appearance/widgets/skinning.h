#pragma once

#include "appearance/skinfile.h"
#include "appearance/skinvalues.h"

#include <QSize>
#include <QString>

class QMainWindow;
class QWidget;

namespace zq2 {

// Shows the picture at `path` at its own size from the top-left corner of the window's client area,
// behind the controls; an empty path, a picture that cannot be read, or a path that names no regular
// file (a device, a pipe) removes the picture.
// For a main window the client area is its central widget, below the menu bar. The window keeps
// its size: a larger picture is cut at the window's edges, a smaller one leaves the rest plain.
// BMP, PNG and JPEG files are read by content, whatever their name ends with; a picture whose
// declared size would take more than 64 MB in memory is refused unread.
void setBackgroundPicture(QWidget* window, const QString& path);

// The size of the picture `window` shows behind its controls; an empty size when it shows none.
QSize backgroundPictureSize(const QWidget* window);

// Gives a frame or check box the back colour `colour` (see ColourValue). The face colour paints the
// window's own face colour, which is the look the control has without a skin.
void setBackColour(QWidget* widget, ColourValue colour);

// Colours a count's text red while it is past the game's level limit, black otherwise, whatever the
// skin: the warning must read the same everywhere.
void setOverLimitColour(QWidget* label, bool overLimit);

// The main window's share of a skin: its picture and the back colours of its two details frames.
// A part the skin makefile lacks leaves what the window shows.
void applyMainWindowSkin(QMainWindow* window, const MainWindowSkin& skin, QWidget* frame1, QWidget* frame2);

// The main window's design look: no picture, both details frames in the face colour.
void turnOffMainWindowSkin(QMainWindow* window, QWidget* frame1, QWidget* frame2);

} // namespace zq2
