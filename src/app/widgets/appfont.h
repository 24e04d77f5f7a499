#pragma once

class QApplication;

namespace zq2 {

// The windows are laid out in pixels for a small dialog font; this picks a font of that size that
// is on the system, so every caption fits its control.
void applyApplicationFont(QApplication& app);

} // namespace zq2
