#pragma once
// MsgBox and InputBox of scripts: dialogs owned by the host's window, shown through handlers that
// the window layer installs and tests replace to answer them.

#include "platform/script/ActiveScript.h"

#include <functional>
#include <optional>
#include <string>

struct ScriptMessageBoxRequest {
    HWND owner = nullptr;
    std::wstring prompt;
    std::wstring title;
    UINT type = 0;  // MB_ buttons, icon and default-button flags as the script gave them
};

struct ScriptInputBoxRequest {
    HWND owner = nullptr;
    std::wstring prompt;
    std::wstring title;
    std::wstring defaultText;
    std::optional<int> x, y;  // position in twips when the script gave one
};

// Returns the id of the button pressed (IDOK...).
using ScriptMessageBoxHandler = std::function<int(const ScriptMessageBoxRequest&)>;
// Returns the text entered, or nothing when the user cancelled.
using ScriptInputBoxHandler = std::function<std::optional<std::wstring>(const ScriptInputBoxRequest&)>;

// Each installs its handler and returns the one it replaced. Without a handler MsgBox goes to the
// program's message-box hook and InputBox answers Cancel.
ScriptMessageBoxHandler SetScriptMessageBoxHandler(ScriptMessageBoxHandler handler);
ScriptInputBoxHandler SetScriptInputBoxHandler(ScriptInputBoxHandler handler);

int ShowScriptMessageBox(const ScriptMessageBoxRequest& request);
std::optional<std::wstring> ShowScriptInputBox(const ScriptInputBoxRequest& request);
