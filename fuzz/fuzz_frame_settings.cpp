// Reads arbitrary bytes as the registry file and takes the main frame's and the update check's
// settings from it as the program does at start: the placement goes to a shown window, the input
// font heights to a coloured edit, the digit count and the further formatter argument to the value
// formatter, and the update schedule says whether a check is due. Whatever the file holds, nothing
// overflows and the window's normal place is no larger than the screen's work area and lies on it.
// The window and its field live across inputs; each input leaves them as it found them.

#include "app/FrameSettings.h"
#include "app/Updater.h"
#include "controls/ColorEdit.h"
#include "engine/MathHelper.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/HeadlessWindow.h"
#include "platform/mfc/WinApp.h"

#include <filesystem>

namespace {

// The program's profile: section "FLN" and the update options under Software\Formulon\FLN.
CWinApp& Profile()
{
    static CWinApp* app = [] {
        auto* made = new CWinApp(L"FLN");
        made->SetRegistryKey(L"Formulon");
        return made;
    }();
    return *app;
}

void CheckOnScreen(HWND window)
{
    RECT work {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    WINDOWPLACEMENT placed { sizeof placed };
    if (!GetWindowPlacement(window, &placed))
        __builtin_trap();
    const RECT& r = placed.rcNormalPosition;
    if (r.right - r.left > work.right - work.left || r.bottom - r.top > work.bottom - work.top)
        __builtin_trap();
    if (r.right < work.left || r.left > work.right || r.bottom < work.top || r.top > work.bottom)
        __builtin_trap();
}

// The main window and its input field, made once and put back to their first state after each
// input, so that an input costs what the settings change rather than a window's making.
class Frame {
public:
    static Frame& Get()
    {
        static Frame frame;
        return frame;
    }

    HWND window() const { return m_window; }
    CColorEdit& input() { return m_input; }

    void Reset() { SetWindowPlacement(m_window, &m_first); }

private:
    Frame()
    {
        fuzz::UseHeadlessDisplay();
        m_window = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        m_input.Create(L"EDIT", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 24), CWnd::FromHandle(m_window), 224);
        m_input.SetWindowText(L"x^2");
        GetWindowPlacement(m_window, &m_first);
    }
    ~Frame()
    {
        m_input.DestroyWindow();
        DestroyWindow(m_window);
    }

    HWND m_window = nullptr;
    CColorEdit m_input;
    WINDOWPLACEMENT m_first { sizeof m_first };
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::UseAsRegistryFile(std::string_view(reinterpret_cast<const char*>(data), size));
    CWinApp& app = Profile();
    const FrameSettings settings = FrameSettings::Load(app);

    Frame& frame = Frame::Get();
    if (settings.placement) {
        SetWindowPlacement(frame.window(), &*settings.placement);
        CheckOnScreen(frame.window());
    }
    for (int height : { settings.inputFormulaHeight, settings.inputCalendarHeight }) {
        frame.input().SetFont(height, L"MS Sans Serif", TRUE, FALSE);
        frame.input().UpdateWindow();
    }
    frame.Reset();

    for (double value : { 0.0, -1.0 / 3, 6.02214076e23, 1e-300 }) {
        for (int mode : { 1, 2, 3, 4, 8 }) {
            CString text;
            CMathHelper::FormatValue(&text, 0, value, 0, static_cast<NumberFormatMode>(mode), settings.digits, settings.formatOption, 0, 0);
        }
    }

    CUpdater updater;
    updater.LoadSettings();
    (void)updater.IsCheckDue();
    return 0;
}
