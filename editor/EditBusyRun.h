#pragma once
// A long edit run on the user-interface thread, as the user sees it: the busy cursor and the
// program's windows painting meanwhile; input waits for no window but Esc, which ends the run. A
// quit, a window asked to close or a request the program posts to itself (as its end on a
// termination signal does) ends the run too, and is handled once the run is over.

#include "platform/mfc/WinApp.h"

#include <vector>

class EditBusyRun {
public:
    EditBusyRun() = default;
    ~EditBusyRun();
    EditBusyRun(const EditBusyRun&) = delete;
    EditBusyRun& operator=(const EditBusyRun&) = delete;

    // Handles what came since the last call; false once the run is to end.
    bool KeepGoing();

private:
    CWaitCursor m_waitCursor;
    std::vector<MSG> m_later; // posted again when the run is over
    bool m_ended = false;
};
