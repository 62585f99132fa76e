#pragma once
// CScriptInputBox: the dialog of a script's InputBox, modal to the window that runs the script (the
// VBScript page's frame): the script's prompt and title, the proposed answer selected, OK and Cancel,
// placed where the script asked (in twips) or over the middle of its owner.

#include "platform/mfc/Dialog.h"
#include "platform/script/ScriptDialogs.h"

#include <optional>
#include <string>

class CScriptInputBox : public CDialog {
public:
    explicit CScriptInputBox(const ScriptInputBoxRequest& request);

    // The text entered, or nothing when the user cancelled.
    std::optional<std::wstring> Ask();

    BOOL OnInitDialog() override;

protected:
    void OnOK() override;

private:
    ScriptInputBoxRequest m_request;
    std::wstring m_answer;
};
