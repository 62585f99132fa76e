#include "DockingFixture.h"

#include "framework/ControlBar.h"
#include "framework/DockState.h"

#include <filesystem>
#include <functional>

namespace {

// A creatable class that is no bar: a layout naming it must not make one.
class NotABar : public CObject {
    DECLARE_DYNCREATE(NotABar)
public:
    NotABar() { ++made; }
    static inline int made = 0;
};
IMPLEMENT_DYNCREATE(NotABar, CObject)

constexpr UINT ID_TOOLS = AFX_IDW_CONTROLBAR_FIRST + 70, ID_PANEL = AFX_IDW_CONTROLBAR_FIRST + 71;

class DockStateTest : public DockingFixture {
protected:
    void SetUp() override
    {
        DockingFixture::SetUp();
        tools = new SECControlBar;
        panel = new SECControlBar;
        for (auto [bar, id, name] : { std::tuple { tools, ID_TOOLS, L"Tools" }, std::tuple { panel, ID_PANEL, L"Panel" } }) {
            ASSERT_TRUE(bar->Create(frame, name, WS_VISIBLE | CBRS_TOP, CBRS_EX_GRIPPER, id));
            bar->m_bAutoDelete = TRUE;
            bar->EnableDocking(CBRS_ALIGN_ANY);
            bar->m_szHorzDocked = CSize(200, 30);
            bar->m_szVertDocked = CSize(40, 180);
        }
        frame->DockControlBar(tools, AFX_IDW_DOCKBAR_TOP, nullptr);
        frame->DockControlBar(panel, AFX_IDW_DOCKBAR_LEFT, nullptr);
    }
    // Puts both bars back in the top dock bar with the sizes they were made with.
    void Scramble()
    {
        frame->DockControlBar(tools, AFX_IDW_DOCKBAR_TOP, nullptr);
        frame->DockControlBar(panel, AFX_IDW_DOCKBAR_TOP, nullptr);
        tools->m_szFloat = panel->m_szFloat = CSize(300, 180);
        tools->m_fPctWidth = panel->m_fPctWidth = 1.0f;
        tools->SetExBarStyle(CBRS_EX_GRIPPER);
    }
    // A layout with the tool bar floating and sizes of its own.
    void Arrange()
    {
        tools->m_szFloat = CSize(260, 44);
        tools->m_fPctWidth = 0.5f;
        tools->SetExBarStyle(CBRS_EX_GRIPPER | CBRS_EX_CLOSEBUTTON);
        frame->FloatControlBar(tools, CPoint(420, 380));
    }
    void ExpectArranged()
    {
        ASSERT_TRUE(tools->IsFloating());
        CRect floating;
        GetWindowRect(GetAncestor(tools->m_hWnd, GA_ROOT), &floating);
        EXPECT_EQ(floating.TopLeft(), CPoint(420, 380));
        EXPECT_EQ(tools->m_szFloat, CSize(260, 44));
        EXPECT_FLOAT_EQ(tools->m_fPctWidth, 0.5f);
        EXPECT_EQ(tools->GetExBarStyle(), CBRS_EX_GRIPPER | CBRS_EX_CLOSEBUTTON);
        EXPECT_EQ(panel->m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_LEFT));
        CRect left;
        AfxFindDockBar(frame, AFX_IDW_DOCKBAR_LEFT)->GetWindowRect(&left);
        EXPECT_EQ(left.Width(), panel->m_szVertDocked.cx);
    }
    std::wstring ArchivePath() const { return (std::filesystem::path(settings.root()) / "layout.bin").wstring(); }
    void Store(SECDockState& state)
    {
        CFile file(ArchivePath().c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        state.Serialize(archive);
        archive.Close();
    }
    // Loads the archive file into the state; FALSE when the load threw.
    bool Load(SECDockState& state)
    {
        CFile file(ArchivePath().c_str(), CFile::modeRead);
        CArchive archive(&file, CArchive::load);
        try {
            state.Serialize(archive);
        } catch (CArchiveException* error) {
            error->Delete();
            return false;
        }
        return true;
    }
    void WriteRaw(const std::function<void(CArchive&)>& write)
    {
        CFile file(ArchivePath().c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        write(archive);
        archive.Close();
    }

    SECControlBar* tools = nullptr;
    SECControlBar* panel = nullptr;
};

TEST(PctWidthText, SharesAreKeptAsMillionths)
{
    struct Case {
        float share;
        const wchar_t* text;
    };
    const Case cases[] = { { 1.0f, L"1000000" }, { 0.5f, L"500000" }, { 0.25f, L"250000" }, { 0.0f, L"0" } };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatPctWidth(c.share), CString(c.text));
        EXPECT_NEAR(ParsePctWidth(c.text), c.share, 1e-6f);
    }
    EXPECT_EQ(ParsePctWidth(L""), 0.0f) << "a missing share is none, not the whole row";
}

TEST_F(DockStateTest, TheProfileFormRoundTripsALayoutOfSeveralBars)
{
    Arrange();
    SECDockState saved;
    ASSERT_TRUE(saved.GetState(frame));
    saved.SaveState(L"Toolkit");
    EXPECT_EQ(app.GetProfileString(L"Toolkit-Bar0", L"ClassName"), CString(L"SECControlBar"));
    EXPECT_EQ(app.GetProfileString(L"Toolkit-Bar0", L"PctWidth"), CString(L"500000"));

    Scramble();
    SECDockState loaded;
    loaded.LoadState(L"Toolkit");
    ASSERT_TRUE(loaded.SetState(frame));
    ExpectArranged();
}

TEST_F(DockStateTest, MissingOrDamagedProfileValuesReadBackRepaired)
{
    SECDockState saved;
    ASSERT_TRUE(saved.GetState(frame));
    saved.SaveState(L"Repair");
    const CString section = AfxBarSection(L"Repair", 0);
    app.WriteProfileString(section, L"AutoHidePinned", nullptr);
    app.WriteProfileString(section, L"PctWidth", L"-300");
    app.WriteProfileInt(section, L"MRUFloatCX", -4);
    app.WriteProfileString(section, L"XPos", nullptr);

    SECDockState loaded;
    loaded.LoadState(L"Repair");
    ASSERT_FALSE(loaded.m_arrBarInfo.empty());
    const auto& info = dynamic_cast<const SECControlBarInfo&>(*loaded.m_arrBarInfo.front());
    EXPECT_TRUE(info.m_bAutoHidePinned);
    EXPECT_EQ(info.m_fPctWidth, 0.0f);
    EXPECT_EQ(info.m_szFloat.cx, 0);
    EXPECT_EQ(info.m_pointPos.x, -1);
}

TEST_F(DockStateTest, TheArchiveFormRoundTripsALayoutOfSeveralBars)
{
    Arrange();
    SECDockState saved;
    ASSERT_TRUE(saved.GetState(frame));
    Store(saved);

    Scramble();
    SECDockState loaded;
    ASSERT_TRUE(Load(loaded));
    EXPECT_EQ(loaded.m_arrBarInfo.size(), saved.m_arrBarInfo.size());
    ASSERT_TRUE(loaded.SetState(frame));
    ExpectArranged();
}

TEST_F(DockStateTest, ADamagedOrForeignArchiveIsIgnored)
{
    struct Case {
        const char* name;
        std::function<void(CArchive&)> write;
    };
    const Case cases[] = {
        { "a version we never wrote", [](CArchive& a) { a << DWORD(7) << std::int32_t(1280) << std::int32_t(1024) << WORD(0); } },
        { "more records than any layout has", [](CArchive& a) { a << DWORD(2) << std::int32_t(1280) << std::int32_t(1024) << WORD(60000); } },
        { "cut short", [](CArchive& a) { a << DWORD(2) << std::int32_t(1280) << std::int32_t(1024) << WORD(2) << DWORD(ID_TOOLS); } },
        { "a contained-id count no layout has",
            [](CArchive& a) {
                a << DWORD(1) << WORD(1);
                a << DWORD(AFX_IDW_DOCKBAR_TOP) << DWORD(1) << DWORD(0) << DWORD(1) << std::int32_t(-1) << std::int32_t(-1);
                a << DWORD(0) << DWORD(0) << DWORD(0) << DWORD(0) << CString(L"0");
                for (int i = 0; i < 6; ++i)
                    a << std::int32_t(0);
                a << DWORD(0) << DWORD(0) << DWORD(0) << DWORD(0x7FFFFFFF);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteRaw(c.write);
        SECDockState loaded;
        EXPECT_FALSE(Load(loaded));
        EXPECT_TRUE(loaded.m_arrBarInfo.empty()) << "nothing of it is kept";
    }
}

TEST_F(DockStateTest, OnlyToolkitBarsAreMadeAgainFromALayout)
{
    struct Case {
        const char* name;
        const wchar_t* className;
        BOOL floating;
        bool made;
    };
    const Case cases[] = {
        { "a toolkit bar", L"SECControlBar", FALSE, true },
        { "a frame is no bar", L"CFrameWnd", FALSE, false },
        { "a state is no window", L"SECDockState", FALSE, false },
        { "a class that is not even a window", L"NotABar", FALSE, false },
        { "a class nobody has", L"NoSuchBar", FALSE, false },
        { "a floating record", L"SECControlBar", TRUE, false },
    };
    constexpr UINT ID_MISSING = AFX_IDW_CONTROLBAR_FIRST + 90;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECDockState state;
        auto info = std::make_unique<SECControlBarInfo>();
        info->m_nBarID = ID_MISSING;
        info->m_strClassName = c.className;
        info->m_strWindowName = L"Again";
        info->m_bFloating = c.floating;
        info->m_dwStyle = CBRS_TOP;
        info->m_szHorzDock = CSize(150, 26);
        state.m_arrBarInfo.push_back(std::move(info));
        auto dock = std::make_unique<SECControlBarInfo>();
        dock->m_nBarID = AFX_IDW_DOCKBAR_TOP;
        dock->m_bDockBar = TRUE;
        dock->m_arrBarID = { 0, ID_TOOLS, 0, ID_MISSING, 0 };
        state.m_arrBarInfo.push_back(std::move(dock));

        ASSERT_TRUE(state.SetState(frame));
        CControlBar* made = frame->GetControlBar(ID_MISSING);
        EXPECT_EQ(made != nullptr, c.made);
        if (made) {
            EXPECT_EQ(made->GetWindowText(), CString(L"Again"));
            EXPECT_EQ(made->m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP));
            EXPECT_EQ(made->CalcFixedLayout(FALSE, TRUE), CSize(150, 26));
            made->DestroyWindow();
        }
        EXPECT_EQ(tools->m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)) << "the known bar is placed either way";
    }
    EXPECT_EQ(NotABar::made, 0) << "a class that is no toolkit bar is never even made";
}

TEST_F(DockStateTest, NoFrameNoChange)
{
    SECDockState state;
    EXPECT_FALSE(state.GetState(nullptr));
    EXPECT_FALSE(state.SetState(nullptr));
}

} // namespace
