#pragma once
// The dialogs of a running script (MsgBox, and InputBox through CScriptInputBox): modal to the
// program's window (all but the script bar, whose Stop stays reachable), and closed when the
// script is stopped, so that neither Stop nor a close of the program waits for the user's answer.
// Esc in one of them asks the script to stop: a script that shows box after box in a loop can be
// ended from its box.

#include "platform/base/WinTypes.h"

#include <functional>

// Makes scripts' MsgBox and InputBox show the program's dialogs; `stop` is called when the user
// presses Esc in one of them. While one is open, the window `reachable` names at its opening (the
// script bar with its Stop; none: nullptr) stays clickable: the other windows of its top-level
// window are disabled instead, and that window keeps itself enabled (KeepsEnabledForScriptDialog).
void InstallScriptDialogs(std::function<void()> stop, std::function<HWND()> reachable = {});
// Whether a script's dialog is open that leaves a window in this top-level window reachable: the
// dialog's disabling of its owner is then to be undone by the owner.
bool KeepsEnabledForScriptDialog(HWND topLevel);
// Closes the dialogs that scripts have open; each one's call returns as cancelled.
void CloseScriptDialogs();
