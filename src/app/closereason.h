#pragma once

namespace zq2 {

// Why the main window is asked to close. Only a close by the user or by the program itself may be
// held up by the quit question; the end of the desktop session and a termination request from the
// system close at once.
enum class CloseReason { User, Program, SessionEnd, System };

inline bool closeMayAsk(CloseReason reason) {
    return reason == CloseReason::User || reason == CloseReason::Program;
}

} // namespace zq2
