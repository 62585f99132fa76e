#pragma once
// A small combo box class that takes strings (CB_ADDSTRING) as the real one does, a way to log
// the messages a real control gets, and a fixture that pumps through IsDialogMessageW.

#include "UserTestSupport.h"
#include "data/dialogs.h"

#include <map>
#include <string>
#include <vector>

namespace dialog_test {

struct ControlRecord {
    std::vector<std::wstring> added; // CB_ADDSTRING
};

inline std::map<HWND, ControlRecord>& Records()
{
    static std::map<HWND, ControlRecord> records;
    return records;
}

inline DWORD ButtonType(HWND button)
{
    return static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)) & BS_TYPEMASK;
}

// A control's own procedure with every message logged before it (MessageLog).
inline std::map<HWND, WNDPROC>& LoggedProcedures()
{
    static std::map<HWND, WNDPROC> procedures;
    return procedures;
}

inline LRESULT LoggedControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::Instance().entries.push_back({ window, message, wParam, lParam });
    return CallWindowProcW(LoggedProcedures()[window], window, message, wParam, lParam);
}

inline void LogMessagesOf(HWND control)
{
    LoggedProcedures()[control] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggedControlProcedure)));
}

inline LRESULT ComboProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CB_ADDSTRING) {
        auto& added = Records()[window].added;
        added.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
        return static_cast<LRESULT>(added.size() - 1);
    }
    return LoggingProcedure(window, message, wParam, lParam);
}

inline void RegisterTestControls()
{
    static const bool registered = [] {
        const std::pair<LPCWSTR, WNDPROC> classes[] = {
            { L"TestCombo", ComboProcedure },
        };
        for (auto [name, procedure] : classes) {
            WNDCLASSEXW windowClass { sizeof windowClass };
            windowClass.lpfnWndProc = procedure;
            windowClass.lpszClassName = name;
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1));
            if (!RegisterClassExW(&windowClass))
                return false;
        }
        return true;
    }();
    ASSERT_TRUE(registered);
}

// The dialog procedure of the tests: logs every call and lets the test answer.
struct DialogProcedureLog {
    std::vector<LoggedMessage> calls;
    std::function<std::optional<INT_PTR>(HWND, UINT, WPARAM, LPARAM)> answer;

    static DialogProcedureLog& Instance()
    {
        static DialogProcedureLog log;
        return log;
    }
    // The ids of the WM_COMMAND clicks (BN_CLICKED; an edit's notifications are left out).
    std::vector<WPARAM> CommandIds() const
    {
        std::vector<WPARAM> ids;
        for (const auto& call : calls) {
            if (call.message == WM_COMMAND && HIWORD(call.wParam) == BN_CLICKED)
                ids.push_back(LOWORD(call.wParam));
        }
        return ids;
    }
};

inline INT_PTR TestDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& log = DialogProcedureLog::Instance();
    log.calls.push_back({ dialog, message, wParam, lParam });
    if (log.answer) {
        if (auto result = log.answer(dialog, message, wParam, lParam))
            return *result;
    }
    return message == WM_INITDIALOG;
}

class DialogTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        RegisterTestControls();
        Records().clear();
        DialogProcedureLog::Instance() = {};
    }

    void TearDown() override
    {
        UserTest::TearDown();
        Records().clear();
        LoggedProcedures().clear();
        DialogProcedureLog::Instance() = {};
    }

    HWND Modeless(int id, HWND parent = nullptr)
    {
        return CreateDialogParamW(nullptr, MAKEINTRESOURCEW(id), parent, TestDialogProcedure, 0);
    }

    // Dispatches what waits, each message offered to the dialog's navigation first.
    static void PumpDialog(HWND dialog)
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (!IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    // A key pressed and released with modifiers held (VK_SHIFT, VK_MENU...), then pumped.
    void Press(HWND dialog, unsigned key, std::initializer_list<unsigned> modifiers = {}, std::wstring text = {})
    {
        for (unsigned modifier : modifiers)
            headless->InjectKey(modifier, true);
        headless->InjectKey(key, true, std::move(text));
        headless->InjectKey(key, false);
        for (unsigned modifier : modifiers)
            headless->InjectKey(modifier, false);
        PumpDialog(dialog);
    }

    // Injects a key press without pumping: a modal loop reads it.
    void TypeKey(unsigned key, std::wstring text = {})
    {
        headless->InjectKey(key, true, std::move(text));
        headless->InjectKey(key, false);
    }

    static int FocusedId() { return GetDlgCtrlID(GetFocus()); }
    static UINT Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id); }
};

} // namespace dialog_test
