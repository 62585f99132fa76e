#pragma once
// The dialogs of a running script (MsgBox, and InputBox through CScriptInputBox): modal to the
// program's window, and closed when the script is stopped, so that neither Stop nor a close of the
// program waits for the user's answer. Esc in one of them asks the script to stop: a script that
// shows box after box in a loop can be ended from its box.

#include <functional>

// Makes scripts' MsgBox and InputBox show the program's dialogs; `stop` is called when the user
// presses Esc in one of them.
void InstallScriptDialogs(std::function<void()> stop);
// Closes the dialogs that scripts have open; each one's call returns as cancelled.
void CloseScriptDialogs();
