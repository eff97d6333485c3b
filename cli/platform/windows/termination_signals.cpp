#include <windows.h>

#include "cli/termination_signals.h"

namespace haojian::cli {
namespace {

// Ends the program at once on Ctrl+C, Ctrl+Break and a closed console window, as the signals
// do on Linux. The temporary file of a result being written is marked for deletion from the
// moment it is made, so the system removes it as the process ends; nothing else is left.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            ::ExitProcess(STATUS_CONTROL_C_EXIT);
        default:
            return FALSE;
    }
}

}  // namespace

void RemoveTemporaryFilesOnTermination() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace haojian::cli
