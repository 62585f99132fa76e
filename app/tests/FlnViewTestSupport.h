#pragma once
// The Formula page in a small frame that stands in for the main window: the frame answers the
// page's questions (ready, status text, shared memory, voice) from plain members that tests set.

#include "platform/base/tests/Printers.h"
#include "app/FlnPageHost.h"
#include "app/tests/PictureSupport.h"
#include "app/FlnView.h"
#include "app/SharedMemory.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/user/WinUser.h"
#include "platform/speech/VoiceText.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "res/FormulaPage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <ostream>
#include <string_view>
#include <vector>

class PageFrame : public CFrameWnd, public CFlnPageHost {
    DECLARE_DYNCREATE(PageFrame)
public:
    BOOL IsReady() const override { return ready; }
    BOOL QuitAfterCalculation() const override { return quitAfterCalculation; }
    void SetMessageText(const CString& text) override { status = text; }
    using CFrameWnd::SetMessageText;
    CSharedMemory* GetSharedMemory() override { return sharedMemory.get(); }
    BOOL& SharedMemorySwitch() override { return sharedMemorySwitch; }
    IVTxtAuto* GetVoiceText() override { return voice; }
    BOOL& SpeechSwitch() override { return speechSwitch; }

    BOOL ready = TRUE;
    BOOL quitAfterCalculation = FALSE;
    CString status;
    std::unique_ptr<CSharedMemory> sharedMemory;
    BOOL sharedMemorySwitch = FALSE;
    IVTxtAuto* voice = nullptr;
    BOOL speechSwitch = FALSE;
};

class PageDocument : public CDocument {
    DECLARE_DYNCREATE(PageDocument)
};

IMPLEMENT_DYNCREATE(PageFrame, CFrameWnd)
IMPLEMENT_DYNCREATE(PageDocument, CDocument)

// A voice that keeps what it is asked to say, and fails when told to.
class RecordingVoice : public IVTxtAuto {
public:
    struct Said {
        CString text;
        LONG flags;
    };
    std::vector<Said> said;
    HRESULT failWith = S_OK;
    int stops = 0;

    HRESULT QueryInterface(REFIID, void** object) override
    {
        *object = this;
        return S_OK;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    HRESULT Register(BSTR, BSTR) override { return S_OK; }
    HRESULT Speak(BSTR text, LONG flags) override
    {
        said.push_back({ CString(text), flags });
        return failWith;
    }
    HRESULT StopSpeaking() override
    {
        ++stops;
        return failWith;
    }
    HRESULT get_IsSpeaking(VARIANT_BOOL* speaking) override
    {
        *speaking = 0;
        return S_OK;
    }
};

class FlnViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        InitCommonControls();
        SetMessageBeepHook([this](UINT type) { beeps.push_back(type); });
        app = std::make_unique<CWinApp>(L"FLN");
        app->AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(PageDocument), RUNTIME_CLASS(PageFrame),
            RUNTIME_CLASS(CFlnView)));
        app->OnFileNew();
        frame = dynamic_cast<PageFrame*>(AfxGetMainWnd());
        ASSERT_NE(frame, nullptr);
        view = dynamic_cast<CFlnView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        view->ResizeParentToFit(FALSE);
        frame->ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        SetMessageBeepHook({});
        while (HWND window = ::GetTopWindow(nullptr))
            ::DestroyWindow(window);
        Pump();
        app.reset();
    }

    // Dispatches what waits, through the application's PreTranslateMessage as its loop does.
    void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (message.message == WM_QUIT) {
                quitPosted = true;
                continue;
            }
            if (app->PreTranslateMessage(&message))
                continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    void Advance(unsigned milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }

    HWND Item(UINT id) const { return ::GetDlgItem(view->m_hWnd, static_cast<int>(id)); }
    CString TextOf(UINT id) const
    {
        wchar_t text[2048] {};
        ::GetWindowTextW(Item(id), text, 2048);
        return text;
    }
    void SetTextOf(UINT id, const wchar_t* text) { ::SetWindowTextW(Item(id), text); }
    // A button click as the button reports it (a menu command when the page has no such button).
    void Command(UINT id)
    {
        ::SendMessageW(view->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
        Pump();
    }
    void PressKeys(std::initializer_list<UINT> ids)
    {
        for (UINT id : ids)
            Command(id);
    }
    // Selects a page of the page tabs as a click on its tab does.
    void SelectPage(int page)
    {
        ::SendMessageW(Item(IDC_PAGE_TABS), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
        NMHDR header { Item(IDC_PAGE_TABS), IDC_PAGE_TABS, TCN_SELCHANGE };
        ::SendMessageW(view->m_hWnd, WM_NOTIFY, IDC_PAGE_TABS, reinterpret_cast<LPARAM>(&header));
        Pump();
    }
    // Types the formula and presses "=".
    void Calculate(const wchar_t* formula)
    {
        SetTextOf(IDC_FORMULA, formula);
        Command(IDC_KEY_EQUALS);
    }
    std::pair<int, int> Selection() const
    {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageW(Item(IDC_FORMULA), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return { static_cast<int>(start), static_cast<int>(end) };
    }
    CString OutputText() const { return TextOf(IDC_OUTPUT); }
    COLORREF PixelOf(UINT id, int x, int y)
    {
        Pump();
        HDC dc = ::GetDC(Item(id));
        const COLORREF colour = ::GetPixel(dc, x, y);
        ::ReleaseDC(Item(id), dc);
        return colour;
    }
    // Whether any pixel of the control has the colour.
    bool Shows(UINT id, COLORREF colour)
    {
        Pump();
        RECT client {};
        ::GetClientRect(Item(id), &client);
        HDC dc = ::GetDC(Item(id));
        bool found = false;
        for (int y = 0; y < client.bottom && !found; ++y) {
            for (int x = 0; x < client.right && !found; ++x)
                found = ::GetPixel(dc, x, y) == colour;
        }
        ::ReleaseDC(Item(id), dc);
        return found;
    }
    POINT CentreOf(UINT id) const
    {
        RECT rect {};
        ::GetWindowRect(Item(id), &rect);
        return { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    }
    void ClickAt(POINT screen)
    {
        headless->InjectMouseMove(screen);
        Pump();
        headless->InjectButton(1, true, screen);
        Pump();
        headless->InjectButton(1, false, screen);
        Pump();
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) {
            headless->InjectKey(0, true, std::wstring(1, ch));
            headless->InjectKey(0, false);
        }
        Pump();
    }
    void PressKey(unsigned virtualKey)
    {
        headless->InjectKey(virtualKey, true);
        headless->InjectKey(virtualKey, false);
        Pump();
    }

    TempSettingsFolder settings;
    HeadlessDisplay* headless = nullptr;
    std::unique_ptr<CWinApp> app;
    PageFrame* frame = nullptr;
    CFlnView* view = nullptr;
    std::vector<UINT> beeps;
    bool quitPosted = false;
};
