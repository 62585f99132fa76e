#include "editor/ControlContainment.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/Wnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A control that would rather run windowless: it asks its site and makes a window only when told to.
class WindowlessCapableControl final : public IOleInPlaceObject {
public:
    int uiDeactivations = 0;
    ULONG refs = 1;

    // Activates in the site; returns the window object made for the control (null when windowless).
    CWnd* ActivateIn(COleControlSite& site)
    {
        IOleInPlaceSiteWindowless* inPlace = site.GetInPlaceSite();
        if (inPlace->CanWindowlessActivate() == S_OK)
            return nullptr;
        HWND parent = nullptr;
        if (FAILED(inPlace->GetWindow(&parent)))
            return nullptr;
        auto window = std::make_unique<CWnd>();
        if (!window->Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 20), CWnd::FromHandle(parent), 1))
            return nullptr;
        return window.release();
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceObject) {
            *ppv = static_cast<IOleInPlaceObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }  // lives on the test's stack
    HRESULT GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT InPlaceDeactivate() override { return S_OK; }
    HRESULT UIDeactivate() override
    {
        ++uiDeactivations;
        return S_OK;
    }
    HRESULT SetObjectRects(LPCRECT, LPCRECT) override { return S_OK; }
    HRESULT ReactivateAndUndo() override { return E_NOTIMPL; }
};

class ControlContainmentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        ASSERT_TRUE(form.CreateEx(0, nullptr, L"Form", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
        AfxEnableControlContainer(&manager);
    }
    void TearDown() override
    {
        AfxEnableControlContainer(nullptr);
        form.DestroyWindow();
    }
    COleControlSite* NewSite(COleControlContainer& container)
    {
        COleControlSite* site = AfxGetOccManager()->CreateSite(&container);
        container.AttachSite(site);
        return site;
    }

    SECAScriptOccManager manager;
    CWnd form;
};

TEST_F(ControlContainmentTest, TheManagerMakesScriptContainersAndSites)
{
    std::unique_ptr<COleControlContainer> container(AfxGetOccManager()->CreateContainer(&form));
    EXPECT_NE(dynamic_cast<SECAOleScriptControlContainer*>(container.get()), nullptr);
    EXPECT_NE(DYNAMIC_DOWNCAST(SECAOleScriptControlSite, NewSite(*container)), nullptr);

    COccManager plain;
    EXPECT_EQ(plain.CreateSite(container.get()), nullptr);
    CObject* made = RUNTIME_CLASS(SECAOleScriptControlSite)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<SECAOleScriptControlSite*>(made)->m_pCtrlCont, nullptr);
    delete made;
}

TEST_F(ControlContainmentTest, AControlThatCouldRunWindowlessStillGetsAWindow)
{
    WindowlessCapableControl control;
    {
        COleControlContainer plainContainer(&form);
        auto* plainSite = new COleControlSite(&plainContainer);
        plainContainer.AttachSite(plainSite);
        EXPECT_EQ(control.ActivateIn(*plainSite), nullptr) << "a plain site lets it run windowless";
    }
    std::unique_ptr<COleControlContainer> container(AfxGetOccManager()->CreateContainer(&form));
    COleControlSite* site = NewSite(*container);
    CWnd* window = control.ActivateIn(*site);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindow(window->GetSafeHwnd()));
    EXPECT_EQ(::GetParent(window->GetSafeHwnd()), form.GetSafeHwnd());
    ASSERT_EQ(site->AttachControl(&control, window), S_OK);

    // Every other question is answered as the plain site answers it.
    IOleInPlaceSiteWindowless* inPlace = site->GetInPlaceSite();
    EXPECT_EQ(inPlace->CanInPlaceActivate(), S_OK);
    BOOL noRedraw = TRUE;
    EXPECT_EQ(inPlace->OnInPlaceActivateEx(&noRedraw, 0), S_OK);
    EXPECT_FALSE(noRedraw);
    IOleInPlaceSite* plainInterface = nullptr;
    ASSERT_EQ(inPlace->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&plainInterface)), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(plainInterface), static_cast<IUnknown*>(inPlace));
    plainInterface->Release();
    container.reset();
    EXPECT_EQ(control.refs, 1u);
}

TEST_F(ControlContainmentTest, TheUserInterfacePassesFromOneControlToTheNext)
{
    WindowlessCapableControl first, second;
    std::unique_ptr<COleControlContainer> container(AfxGetOccManager()->CreateContainer(&form));
    COleControlSite* firstSite = NewSite(*container);
    COleControlSite* secondSite = NewSite(*container);
    firstSite->AttachControl(&first, nullptr);
    secondSite->AttachControl(&second, nullptr);

    firstSite->GetInPlaceSite()->OnUIActivate();
    EXPECT_EQ(container->m_pSiteUIActive, firstSite);
    EXPECT_EQ(first.uiDeactivations, 0);

    secondSite->GetInPlaceSite()->OnUIActivate();
    EXPECT_EQ(container->m_pSiteUIActive, secondSite);
    EXPECT_EQ(first.uiDeactivations, 1);

    secondSite->GetInPlaceSite()->OnUIActivate();  // again: its own user interface is reset first
    EXPECT_EQ(second.uiDeactivations, 1);
    EXPECT_EQ(container->m_pSiteUIActive, secondSite);

    container->m_pSiteFocus = secondSite;
    firstSite->GetInPlaceSite()->OnUIDeactivate(FALSE);  // whichever site says so
    EXPECT_EQ(container->m_pSiteUIActive, nullptr);
    EXPECT_EQ(container->m_pSiteFocus, secondSite);
}

// Records the handle it still holds when it is deleted.
class ControlWindow : public CWnd {
public:
    HWND* handleAtDeletion;
    explicit ControlWindow(HWND* out) : handleAtDeletion(out) {}
    ~ControlWindow() override { *handleAtDeletion = m_hWnd; }
};

TEST_F(ControlContainmentTest, DeletingTheContainerLeavesStaleControlHandlesAlone)
{
    WindowlessCapableControl staleControl, liveControl;
    HWND staleAtDeletion = reinterpret_cast<HWND>(1), liveAtDeletion = reinterpret_cast<HWND>(1);
    HWND live = nullptr;
    {
        std::unique_ptr<COleControlContainer> container(AfxGetOccManager()->CreateContainer(&form));
        // A window object that still names a window destroyed behind its back.
        CWnd first;
        ASSERT_TRUE(first.Create(nullptr, L"", WS_CHILD, CRect(0, 0, 10, 10), &form, 1));
        HWND gone = first.Detach();
        ::DestroyWindow(gone);
        auto* stale = new ControlWindow(&staleAtDeletion);
        stale->m_hWnd = gone;
        NewSite(*container)->AttachControl(&staleControl, stale);

        auto* liveWindow = new ControlWindow(&liveAtDeletion);
        ASSERT_TRUE(liveWindow->Create(nullptr, L"", WS_CHILD, CRect(0, 0, 10, 10), &form, 2));
        live = liveWindow->GetSafeHwnd();
        NewSite(*container)->AttachControl(&liveControl, liveWindow);
    }
    EXPECT_EQ(staleAtDeletion, nullptr);
    EXPECT_EQ(liveAtDeletion, live) << "a live control window is left to its object";
    EXPECT_FALSE(::IsWindow(live));  // ... which destroys it
    EXPECT_EQ(staleControl.refs, 1u);
    EXPECT_EQ(liveControl.refs, 1u);
}

} // namespace
