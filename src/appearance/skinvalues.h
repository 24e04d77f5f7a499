#pragma once

#include <QString>

namespace zq2 {

// A colour as skin makefiles write it: 0x00BBGGRR, or with the high bit set a system colour whose
// index is in the low byte (0x8000000F is the face colour of buttons and dialogs).
using ColourValue = quint32;
inline constexpr ColourValue kFaceColour = 0x8000000F;

// The parts of the current skin that the dialogs read each time they open. Owned by the main
// window's controller and handed to each dialog; picture values are full paths, empty for none.
struct SkinValues {
    QString prefsPicture;
    ColourValue prefsColour = 0;
    QString settingsPicture;
    QString restorePicture;
    ColourValue restoreColour = 0;
    ColourValue restoreOverwriteColour = 0;
    QString aboutPicture;
};

} // namespace zq2
