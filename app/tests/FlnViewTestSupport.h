#pragma once
// The Formula page in a small frame that stands in for the main window: the frame answers the
// page's questions (ready, status text, shared memory, voice) from plain members that tests set.

#include "platform/base/tests/Printers.h"
#include "app/FlnPageHost.h"
#include "app/FlnView.h"
#include "app/SharedMemory.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/user/WinUser.h"
#include "platform/speech/VoiceText.h"
#include "app/tests/PageTestSupport.h"
#include "res/FormulaPage.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <ostream>
#include <string_view>
#include <vector>

// Whether two PNG files hold the same pixels.
inline bool SamePicture(const std::string& expectedPath, const std::string& actualPath)
{
    cairo_surface_t* expected = cairo_image_surface_create_from_png(expectedPath.c_str());
    cairo_surface_t* actual = cairo_image_surface_create_from_png(actualPath.c_str());
    bool same = cairo_surface_status(expected) == CAIRO_STATUS_SUCCESS && cairo_surface_status(actual) == CAIRO_STATUS_SUCCESS
        && cairo_image_surface_get_width(expected) == cairo_image_surface_get_width(actual)
        && cairo_image_surface_get_height(expected) == cairo_image_surface_get_height(actual);
    for (int y = 0; same && y < cairo_image_surface_get_height(expected); ++y) {
        const auto* want = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(expected) + y * cairo_image_surface_get_stride(expected));
        const auto* got = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(actual) + y * cairo_image_surface_get_stride(actual));
        for (int x = 0; same && x < cairo_image_surface_get_width(expected); ++x)
            same = (want[x] & 0xFFFFFF) == (got[x] & 0xFFFFFF);
    }
    cairo_surface_destroy(expected);
    cairo_surface_destroy(actual);
    return same;
}

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

class FlnViewTest : public PageTest<PageFrame, CFlnView> {
protected:
    FlnViewTest() : PageTest(RUNTIME_CLASS(PageDocument), RUNTIME_CLASS(PageFrame), RUNTIME_CLASS(CFlnView)) {}

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
    std::pair<int, int> Selection() const { return SelectionOf(IDC_FORMULA); }
    CString OutputText() const { return TextOf(IDC_OUTPUT); }
};
