#pragma once
// What the Formula page asks of the main window it lives in: whether start-up has finished, the
// status bar's message pane, and the two output channels with their switches. The main frame
// implements it; the page finds it at run time through its top-level frame, so the page also works
// in a plain frame (then it has no outputs and is always ready).

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

class CSharedMemory;
class CWnd;
struct IVTxtAuto;

class CFlnPageHost {
public:
    virtual ~CFlnPageHost() = default;

    // The host among the page's parents; null in a frame that is none.
    static CFlnPageHost* Of(const CWnd& page);

    // FALSE until the program has finished starting.
    virtual BOOL IsReady() const = 0;
    // TRUE when the command line asked to end after the first calculation ("-e").
    virtual BOOL QuitAfterCalculation() const = 0;
    // Pane 0 of the status bar.
    virtual void SetMessageText(const CString& text) = 0;

    // Null when the block could not be made.
    virtual CSharedMemory* GetSharedMemory() = 0;
    virtual BOOL& SharedMemorySwitch() = 0;
    // Null when no speech engine is available.
    virtual IVTxtAuto* GetVoiceText() = 0;
    virtual BOOL& SpeechSwitch() = 0;
};
