#include "framework/MvcViewport.h"

#include "platform/base/Exceptions.h"
#include "platform/user/tests/UserTestSupport.h"

#include <memory>
#include <vector>

using namespace divuzura::foundation;

namespace {

constexpr UINT ID_TEST_COMMAND = 4000;

// Notes the messages its map handles; keys are fully handled.
class RecordingPlugIn : public MvcController {
public:
    std::vector<UINT> handled;

    LRESULT OnKey(WPARAM, LPARAM)
    {
        handled.push_back(WM_KEYDOWN);
        ExitMessage();
        return SetResult(42);
    }
    LRESULT OnPress(WPARAM, LPARAM)
    {
        handled.push_back(WM_LBUTTONDOWN);
        return SetResult(1);
    }
    LRESULT OnPaintMessage(WPARAM, LPARAM)
    {
        handled.push_back(WM_PAINT);
        return SetResult(1);
    }
    void OnTestCommand() { handled.push_back(WM_COMMAND); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingPlugIn, MvcController)
    ON_MESSAGE(WM_KEYDOWN, OnKey)
    ON_MESSAGE(WM_LBUTTONDOWN, OnPress)
    ON_MESSAGE(WM_PAINT, OnPaintMessage)
    ON_COMMAND(ID_TEST_COMMAND, OnTestCommand)
END_MESSAGE_MAP()

// Asks for the host's default handling of a new text.
class TextPlugIn : public SECWndPlugIn {
public:
    std::vector<UINT> handled;
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam)
    {
        handled.push_back(WM_SETTEXT);
        CallDefault();
        return DefWindowProc(WM_SETTEXT, wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TextPlugIn, SECWndPlugIn)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

struct PointEvent : IMouseEvent {
    explicit PointEvent(CPoint point) : point(point) {}
    bool QueryGuid(GUID_REF guid, void** object) override
    {
        *object = &guid == &IID_IMouseEvent || &guid == &IID_IEvent ? static_cast<IMouseEvent*>(this) : nullptr;
        return *object != nullptr;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    CPoint GetPoint() const override { return point; }
    void SetPoint(const CPoint& to) override { point = to; }
    CPoint point;
    ULONG refs = 1;
};

// Notes the events it is offered (with their points) and the order of its release.
struct Listener : IEventListener {
    Listener(const char* name, BOOL handles, std::vector<std::string>* log) : name(name), handles(handles), log(log) {}
    bool QueryGuid(GUID_REF, void** object) override
    {
        *object = nullptr;
        return false;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override
    {
        log->push_back(std::string("release ") + name);
        return --refs;
    }
    BOOL OnEvent(IEvent* event) override
    {
        void* mouse = nullptr;
        event->QueryGuid(IID_IMouseEvent, &mouse);
        const CPoint at = mouse ? static_cast<IMouseEvent*>(mouse)->GetPoint() : CPoint();
        log->push_back(std::string(name) + " " + std::to_string(at.x) + "," + std::to_string(at.y));
        return handles;
    }
    const char* name;
    BOOL handles;
    std::vector<std::string>* log;
    ULONG refs = 0;
};

// Makes a point event of every mouse message.
class PointViewport : public MvcViewport {
public:
    class Factory : public IEventFactory {
    public:
        IEvent* CreateEvent(UINT message, WPARAM, LPARAM lParam) override
        {
            if (!MvcController::IsMouseMessage(message))
                return nullptr;
            made.push_back(std::make_unique<PointEvent>(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))));
            return made.back().get();
        }
        std::vector<std::unique_ptr<PointEvent>> made;
    } factory;
    IEventFactory* GetEventFactory() override { return &factory; }
};

class MvcViewportTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        host = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 200, 100 });
        host2 = TopLevel(WS_POPUP | WS_VISIBLE, { 300, 0, 400, 100 });
        hostWnd.Attach(host);
        viewport.Create(&hostWnd, CRect(0, 0, 1000, 500));
    }
    void TearDown() override
    {
        MvcController::SetCapture(nullptr);
        hostWnd.Detach();
        UserTest::TearDown();
    }
    BOOL Send(MvcViewport& to, UINT message, LPARAM lParam = 0)
    {
        LRESULT result = 0;
        return to.OnWndMsg(message, 0, lParam, &result);
    }

    HWND host = nullptr;
    HWND host2 = nullptr;
    CWnd hostWnd;
    MvcViewport viewport;
};

// ---- plug-ins and controllers

TEST_F(MvcViewportTest, APlugInSeesNothingUntilPluggedInAndLeavesItsHostAlive)
{
    auto plugIn = std::make_unique<RecordingPlugIn>();
    LRESULT result = 0;
    plugIn->PlugInTo(nullptr);
    EXPECT_FALSE(plugIn->IsPluggedIn());
    EXPECT_FALSE(plugIn->OnWndMsg(WM_KEYDOWN, 0, 0, &result));
    EXPECT_FALSE(plugIn->OnCmdMsg(ID_TEST_COMMAND, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(plugIn->handled.empty());

    plugIn->PlugInTo(&hostWnd);
    EXPECT_EQ(plugIn->m_hWnd, host);
    EXPECT_TRUE(plugIn->OnWndMsg(WM_KEYDOWN, 0, 0, &result));
    EXPECT_EQ(result, 42) << "the stored result";
    EXPECT_TRUE(plugIn->TakeExitFlag());
    EXPECT_FALSE(plugIn->TakeExitFlag()) << "the host clears it by reading";
    EXPECT_TRUE(plugIn->OnCmdMsg(ID_TEST_COMMAND, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(plugIn->handled, (std::vector<UINT> { WM_KEYDOWN, WM_COMMAND }));

    EXPECT_EQ(plugIn->UnPlug(), 0);
    EXPECT_EQ(plugIn->m_hWnd, nullptr);
    plugIn->PlugInTo(&hostWnd);
    plugIn.reset();
    EXPECT_TRUE(IsWindow(host)) << "destroying a plug-in never destroys its host";
}

TEST_F(MvcViewportTest, APlugInReachesTheHostDefaultOnlyWhenAHandlerAsks)
{
    TextPlugIn plugIn;
    plugIn.PlugInTo(&hostWnd);
    auto text = [&] {
        wchar_t buffer[32] {};
        GetWindowTextW(host, buffer, 32);
        return std::wstring(buffer);
    };
    const std::wstring before = text();
    EXPECT_EQ(plugIn.DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ignored")), 0);
    EXPECT_EQ(text(), before);
    LRESULT result = 0;
    plugIn.OnWndMsg(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Taken"), &result);
    EXPECT_EQ(plugIn.handled, (std::vector<UINT> { WM_SETTEXT }));
    EXPECT_EQ(text(), L"Taken");
    plugIn.OnWndMsg(WM_KEYDOWN, 0, 0, &result);
    EXPECT_EQ(plugIn.DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Again")), 0) << "the next message clears the request";
    EXPECT_EQ(text(), L"Taken");
}

TEST_F(MvcViewportTest, AControllerTakesOnlyInputMessages)
{
    RecordingPlugIn controller;
    controller.Initialize(&viewport, &viewport);
    EXPECT_EQ(controller.m_hWnd, host);
    EXPECT_EQ(controller.GetVisual(), static_cast<IVisual*>(&viewport));
    LRESULT result = 0;
    EXPECT_FALSE(controller.OnWndMsg(WM_PAINT, 0, 0, &result)) << "not input, though its map has it";
    EXPECT_TRUE(controller.OnWndMsg(WM_LBUTTONDOWN, 0, 0, &result));
    EXPECT_TRUE(controller.OnWndMsg(WM_KEYDOWN, 0, 0, &result));
    EXPECT_EQ(controller.handled, (std::vector<UINT> { WM_LBUTTONDOWN, WM_KEYDOWN }));
}

TEST_F(MvcViewportTest, TheRouterOffersEveryListenerAndReleasesThemLastFirst)
{
    std::vector<std::string> log;
    Listener first("first", FALSE, &log), second("second", TRUE, &log), third("third", FALSE, &log);
    {
        MvcController controller;
        EXPECT_FALSE(controller.RouteEvent(nullptr));
        for (Listener* listener : { &first, &second, &third })
            controller.AddListener(listener);
        PointEvent event(CPoint(1, 2));
        EXPECT_TRUE(controller.RouteEvent(&event));
        EXPECT_EQ(log, (std::vector<std::string> { "first 1,2", "second 1,2", "third 1,2" }));

        log.clear();
        EXPECT_TRUE(controller.RemoveListener(&second));
        EXPECT_FALSE(controller.RemoveListener(&second));
        EXPECT_FALSE(controller.RouteEvent(&event)) << "nobody left who handles it";
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string> { "release third", "release first" }));
    EXPECT_EQ(first.refs + second.refs + third.refs, 0u);
}

TEST_F(MvcViewportTest, OneControllerHoldsTheMouseAtATime)
{
    CWnd otherWnd;
    otherWnd.Attach(host2);
    MvcViewport other;
    other.Create(&otherWnd, CRect(0, 0, 100, 100));
    MvcController a, b;
    a.Initialize(&viewport, &viewport);
    b.Initialize(&other, &other);

    MvcController::SetCapture(&a);
    EXPECT_EQ(MvcController::GetCapture(), &a);
    EXPECT_EQ(GetCapture(), host);
    MvcController::SetCapture(&b);
    EXPECT_EQ(GetCapture(), host2);
    MvcController::SetCapture(nullptr);
    EXPECT_EQ(MvcController::GetCapture(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    otherWnd.Detach();
}

// ---- coordinates

TEST_F(MvcViewportTest, PointsMapBetweenDeviceAndLogicalWithTruncation)
{
    viewport.SetLogOrigin(100, 50);
    viewport.SetDeviceOrigin(10, 5);
    viewport.SetScale(FALSE, 2.0f, 0.5f);
    struct Case {
        POINT device, logical;
    } cases[] = {
        { { 10, 5 }, { 100, 50 } },
        { { 15, 6 }, { 102, 52 } }, // 5 / 2 = 2.5 and 1 / 0.5 = 2
        { { 5, 5 }, { 98, 50 } }, // -5 / 2 = -2.5 truncates toward zero
    };
    for (const Case& c : cases) {
        POINT p = c.device;
        viewport.DPtoLP(&p);
        EXPECT_EQ(CPoint(p), CPoint(c.logical)) << c.device.x << "," << c.device.y;
    }
    POINT back { 102, 52 };
    viewport.LPtoDP(&back);
    EXPECT_EQ(CPoint(back), CPoint(14, 6));
    SIZE size { 7, 7 };
    viewport.DPtoLP(&size);
    EXPECT_EQ(CSize(size), CSize(3, 14));

    viewport.OffsetLogOrigin(0, 0);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(100, 50));
    viewport.OffsetLogOrigin(-100, 5);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(0, 55));
}

TEST_F(MvcViewportTest, TheYDirectionFollowsTheMappingModeOrTheExtents)
{
    struct Case {
        int mode;
        CSize window, viewportExtent;
        int direction;
    } cases[] = {
        { MM_TEXT, { 1, 1 }, { 1, 1 }, 1 },
        { MM_LOMETRIC, { 1, 1 }, { 1, 1 }, -1 },
        { MM_HIENGLISH, { 1, 1 }, { 1, 1 }, -1 },
        { MM_TWIPS, { 1, 1 }, { 1, 1 }, 1 },
        { MM_TWIPS, { 1, 1 }, { 1, -1 }, -1 },
        { MM_ANISOTROPIC, { 1, -1 }, { 1, 1 }, -1 },
        { MM_ANISOTROPIC, { 1, -1 }, { 1, -1 }, 1 },
        { MM_ANISOTROPIC, { 1, 0 }, { 1, -1 }, 1 },
    };
    for (const Case& c : cases) {
        viewport.SetMapMode(c.mode);
        viewport.SetExtents(c.window, c.viewportExtent);
        EXPECT_EQ(viewport.GetYDirection(), c.direction) << c.mode << ": " << c.window.cy << " over " << c.viewportExtent.cy;
    }
}

TEST_F(MvcViewportTest, ZoomIsAHundredOverTheScale)
{
    viewport.SetZoom(FALSE, 200, 50);
    EXPECT_FLOAT_EQ(viewport.GetScaleX(), 0.5f);
    EXPECT_FLOAT_EQ(viewport.GetScaleY(), 2.0f);
    EXPECT_EQ(viewport.GetZoom(), CSize(200, 50));
    viewport.ZoomIn(FALSE, 50, 50);
    EXPECT_EQ(viewport.GetZoom(), CSize(250, 100));
    viewport.ZoomOut(FALSE, 150, 100);
    EXPECT_EQ(viewport.GetZoom(), CSize(250, 100)) << "a zoom of 0 is refused, the other axis with it";
    viewport.ZoomOut(FALSE, 50, 0);
    viewport.Zoom(FALSE, 4.0f, 0.5f);
    EXPECT_EQ(viewport.GetZoom(), CSize(50, 200));
    EXPECT_EQ(viewport.ZoomSize(CSize(3, 1)), CSize(6, 1)) << "sides stay at least one";
    EXPECT_EQ(viewport.ZoomSize(CSize(10, 10)), CSize(20, 5));
}

TEST_F(MvcViewportTest, PartsMoveScaleAndNormaliseTheirBounds)
{
    viewport.SetBounds(CRect(10, 10, 110, 60));
    viewport.MoveBy(5, -5);
    EXPECT_EQ(viewport.GetBounds(), CRect(15, 5, 115, 55));
    viewport.ScaleSize(2, 1, 1, 2, TRUE);
    EXPECT_EQ(viewport.GetBounds(), CRect(-35, 17, 165, 42)) << "the centre stays";
    viewport.SetSize(CSize(-20, -10));
    EXPECT_EQ(viewport.GetBounds(), CRect(-55, 7, -35, 17));
    viewport.ScaleSize(1, 0, 1, 1, FALSE);
    EXPECT_EQ(viewport.GetSize(), CSize(-20, -10)) << "a zero denominator changes nothing";
}

// ---- scrolling

TEST_F(MvcViewportTest, ScrollingStaysWithinTheBounds)
{
    // The client area is 200 x 100 device pixels over bounds 1000 x 500.
    struct Case {
        const char* name;
        CSize move;
        CPoint origin;
    } cases[] = {
        { "a small step", { 30, 20 }, { 30, 20 } },
        { "far beyond the far edge", { INT32_MAX, INT32_MAX }, { 800, 400 } },
        { "far before the start", { INT32_MIN, INT32_MIN }, { 0, 0 } },
    };
    for (const Case& c : cases) {
        viewport.SetLogOrigin(0, 0);
        const CRect visible = viewport.ScrollLogical(c.move.cx, c.move.cy);
        EXPECT_EQ(viewport.GetLogOrigin(), c.origin) << c.name;
        EXPECT_EQ(visible, CRect(c.origin, CSize(200, 100))) << c.name;
    }

    viewport.SetBounds(CRect(0, 0, 150, 80));
    viewport.SetLogOrigin(10, 10);
    viewport.ScrollLogical(100, 100);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(0, 0)) << "bounds smaller than the view: the near edge wins";
}

TEST_F(MvcViewportTest, LinesPagesAndCentring)
{
    viewport.LineDownRight(FALSE);
    viewport.LineDownRight(TRUE);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(4, 4)) << "200 / 45 and 100 / 25";
    viewport.PageDownRight(FALSE);
    viewport.PageDownRight(TRUE);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(204, 104));
    viewport.PageUpLeft(TRUE);
    viewport.LineUpLeft(FALSE);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(200, 4));
    viewport.CenterOnLogicalPoint(500, 250);
    EXPECT_EQ(viewport.GetVisibleLogicalRect().CenterPoint(), CPoint(500, 250));

    viewport.SetScale(FALSE, 200.0f / 44.0f, 1.0f); // 44 logical units visible across
    ASSERT_EQ(viewport.GetVisibleLogicalRect().Width(), 44);
    const CPoint before = viewport.GetLogOrigin();
    viewport.LineDownRight(FALSE);
    EXPECT_EQ(viewport.GetLogOrigin(), before) << "44 / 45 is no move";
}

// ---- input and repainting

TEST_F(MvcViewportTest, MouseMessagesReachTheControllerOnlyInsideTheBounds)
{
    RecordingPlugIn controller;
    viewport.SetBounds(CRect(0, 0, 50, 50));
    EXPECT_FALSE(Send(viewport, WM_LBUTTONDOWN, MAKELPARAM(10, 10))) << "no controller";
    viewport.SetController(&controller, FALSE);
    controller.Initialize(&viewport, &viewport);
    EXPECT_TRUE(Send(viewport, WM_LBUTTONDOWN, MAKELPARAM(10, 10)));
    EXPECT_FALSE(Send(viewport, WM_LBUTTONDOWN, MAKELPARAM(60, 10)));
    viewport.SetLogOrigin(-20, 0);
    EXPECT_FALSE(Send(viewport, WM_LBUTTONDOWN, MAKELPARAM(10, 10))) << "the point is tested in logical units";
    EXPECT_TRUE(Send(viewport, WM_KEYDOWN));
    EXPECT_EQ(controller.handled, (std::vector<UINT> { WM_LBUTTONDOWN, WM_KEYDOWN }));
}

TEST_F(MvcViewportTest, TheControllerWithTheMouseHearsFirst)
{
    CWnd otherWnd;
    otherWnd.Attach(host2);
    MvcViewport other;
    other.Create(&otherWnd, CRect(0, 0, 10, 10));
    RecordingPlugIn holder;
    holder.Initialize(&other, &other);
    MvcController::SetCapture(&holder);
    EXPECT_TRUE(Send(viewport, WM_LBUTTONDOWN, MAKELPARAM(500, 500))) << "outside this viewport, and it has no controller";
    EXPECT_EQ(holder.handled, (std::vector<UINT> { WM_LBUTTONDOWN }));
    otherWnd.Detach();
}

TEST_F(MvcViewportTest, EventsGoToTheControllerFirstInLogicalPoints)
{
    std::vector<std::string> log;
    Listener controllerListener("controller", FALSE, &log), viewListener("view", TRUE, &log);
    PointViewport view;
    view.Create(&hostWnd, CRect(0, 0, 100, 100));
    MvcController controller;
    view.SetController(&controller, FALSE);
    controller.AddListener(&controllerListener);
    view.Listeners().AddListener(&viewListener);
    view.SetLogOrigin(5, 5);

    EXPECT_TRUE(Send(view, WM_MOUSEMOVE, MAKELPARAM(10, 20)));
    EXPECT_EQ(log, (std::vector<std::string> { "controller 15,25", "view 15,25" }));
    EXPECT_EQ(view.factory.made.back()->refs, 0u) << "the event is released";

    log.clear();
    PointEvent outside(CPoint(99, 99));
    EXPECT_FALSE(view.RouteEvent(&outside));
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(view.RouteEvent(nullptr));
    view.Listeners().RemoveListener(&viewListener);
    controller.RemoveListener(&controllerListener);
}

TEST_F(MvcViewportTest, AModelChangeRepaintsTheViewportsBounds)
{
    CMvcModel model;
    RecordingPlugIn controller;
    viewport.SetController(&controller, FALSE);
    viewport.SetBounds(CRect(10, 10, 60, 40));
    viewport.SetLogOrigin(5, 0);
    viewport.SetModel(&model);
    EXPECT_EQ(controller.GetModel(), &model);
    ValidateRect(host, nullptr);
    model.UpdateAllObservers(nullptr, nullptr);
    CRect update;
    EXPECT_TRUE(viewport.GetUpdateRect(update, FALSE));
    EXPECT_EQ(update, CRect(5, 10, 55, 40));
    {
        MvcViewport shortLived;
        shortLived.SetModel(&model);
        EXPECT_EQ(model.GetObserverCount(), 2);
    }
    EXPECT_EQ(model.GetObserverCount(), 1) << "a viewport leaves its model";
    viewport.SetModel(nullptr);
    EXPECT_EQ(model.GetObserverCount(), 0);
}

TEST_F(MvcViewportTest, ADCDrawsInLogicalCoordinates)
{
    viewport.SetLogOrigin(100, 100);
    viewport.SetDeviceOrigin(0, 0);
    {
        MvcViewport::DC dc(&viewport, TRUE);
        dc.FillSolidRect(CRect(110, 120, 112, 122), RGB(255, 0, 0));
    }
    EXPECT_EQ(PixelAt(host, 10, 20), RGB(255, 0, 0));
    EXPECT_NE(PixelAt(host, 12, 22), RGB(255, 0, 0));

    viewport.SetScale(FALSE, 2.0f, 2.0f);
    {
        MvcViewport::DC dc(&viewport, TRUE);
        dc.FillSolidRect(CRect(120, 120, 121, 121), RGB(0, 0, 255));
    }
    EXPECT_EQ(PixelAt(host, 40, 40), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(host, 41, 41), RGB(0, 0, 255)) << "one logical unit is two pixels";
    EXPECT_NE(PixelAt(host, 42, 42), RGB(0, 0, 255));

    MvcViewport unhosted;
    bool raised = false;
    try {
        MvcViewport::DC dc(&unhosted, FALSE);
    } catch (CResourceException* error) {
        raised = true;
        error->Delete();
    }
    EXPECT_TRUE(raised);
}

TEST_F(MvcViewportTest, InterfacesAreFoundByTheirIds)
{
    void* found = nullptr;
    EXPECT_TRUE(viewport.QueryGuid(IID_ILogCoordinates, &found));
    EXPECT_EQ(found, static_cast<ILogCoordinates*>(&viewport));
    EXPECT_TRUE(viewport.QueryGuid(IID_IZoom, &found));
    EXPECT_EQ(found, static_cast<IZoom*>(&viewport));
    EXPECT_TRUE(viewport.QueryGuid(IID_IEventRouter, &found));
    EXPECT_EQ(found, static_cast<IEventRouter*>(&viewport.Listeners()));
    EXPECT_TRUE(viewport.QueryGuid(IID_IObserver, &found));
    void* again = nullptr;
    EXPECT_TRUE(static_cast<IObserver*>(found)->QueryGuid(IID_IZoom, &again)) << "a sub-object answers for the whole";
    EXPECT_FALSE(viewport.QueryGuid(IID_IMessage, &found));
    EXPECT_EQ(found, nullptr);

    MvcController controller;
    EXPECT_TRUE(controller.QueryGuid(IID_IEventRouter, &found));
    EXPECT_EQ(found, static_cast<IEventRouter*>(&controller));
}

} // namespace
