#include "DockingFixture.h"
#include "MemoryTreeStorage.h"

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

TEST_F(DockStateTest, AVersionOneArchiveHasNoMruFieldsAndIsReadAsItStands)
{
    WriteRaw([](CArchive& a) {
        a << DWORD(1) << WORD(1); // no screen size in version 1
        a << DWORD(ID_TOOLS) << DWORD(1) << DWORD(0) << DWORD(1) << std::int32_t(40) << std::int32_t(0);
        a << DWORD(WS_VISIBLE | CBRS_ALIGN_TOP) << DWORD(CBRS_EX_GRIPPER) << DWORD(0) << DWORD(0) << CString(L"500000");
        a << std::int32_t(260) << std::int32_t(44) << std::int32_t(200) << std::int32_t(30) << std::int32_t(40) << std::int32_t(180);
        a << DWORD(0) << DWORD(CBRS_ALIGN_ANY) << DWORD(0) << DWORD(0);
    });
    SECDockState loaded;
    ASSERT_TRUE(Load(loaded));
    ASSERT_EQ(loaded.m_arrBarInfo.size(), 1u);
    const auto& info = static_cast<const SECControlBarInfo&>(*loaded.m_arrBarInfo[0]);
    EXPECT_EQ(info.m_nBarID, ID_TOOLS);
    EXPECT_EQ(info.m_pointPos, CPoint(40, 0)) << "not scaled";
    EXPECT_FALSE(info.m_bDocking) << "no MRU fields";
    EXPECT_EQ(info.m_nMRUWidth, 32767);
    EXPECT_FLOAT_EQ(info.m_fPctWidth, 0.5f);
    EXPECT_EQ(info.m_szFloat, CSize(260, 44));
    EXPECT_EQ(info.m_szVertDock, CSize(40, 180));
    EXPECT_EQ(info.m_dwDockStyle, CBRS_ALIGN_ANY);
    EXPECT_EQ(loaded.m_dwVersion, 2u) << "as after any load";
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

using TreeValues = std::vector<std::pair<const wchar_t*, CString>>;

CString Decimal(UINT value)
{
    CString text;
    text.Format(L"%u", value);
    return text;
}

// A node made under parent holding the given values as text, as a stored tree would give them.
SECPersistentTreeNode* Node(SECPTNFactory& factory, SECPersistentTreeNode* parent, const wchar_t* name, const TreeValues& values)
{
    SECPersistentTreeNode* node = factory.CreateNode(name, parent);
    for (const auto& [key, value] : values)
        node->SetStringValue(key, value);
    return node;
}

// A root node standing for the frame's place in a settings tree.
class DockStateTreeTest : public DockStateTest {
protected:
    DockStateTreeTest() { root.Create(L"MainFrame"); }
    const SECPersistentTreeNode* SavedBar(int index) const
    {
        const SECPersistentTreeNode* layout = root.FindChild(L"DockState");
        CString name;
        name.Format(L"Bar-%d", index);
        return layout ? layout->FindChild(name) : nullptr;
    }

    SECPTNFactory factory;
    SECPersistentTreeNode root;
};

TEST_F(DockStateTreeTest, TheTreeFormRoundTripsALayoutOfSeveralBarsThroughItsStorage)
{
    Arrange();
    SECDockState saved;
    ASSERT_TRUE(saved.GetState(frame));
    ASSERT_TRUE(saved.SaveState(factory, &root));
    int bars = 0;
    root.FindChild(L"DockState")->GetIntValue(L"Bars", bars);
    EXPECT_GE(bars, 3) << "both bars and the dock bars holding them";
    EXPECT_LT(static_cast<size_t>(bars), saved.m_arrBarInfo.size()) << "empty dock bars are not written";
    CString share;
    SavedBar(0)->GetStringValue(L"PctWidth", share);
    EXPECT_EQ(share, CString(L"500000"));

    MemoryTreeStorage storage;
    ASSERT_TRUE(root.Save(&storage));
    SECPersistentTreeNode reread;
    reread.Create(L"MainFrame");
    ASSERT_TRUE(reread.Load(&storage));

    Scramble();
    SECDockState loaded;
    ASSERT_TRUE(loaded.LoadState(&reread));
    EXPECT_EQ(loaded.m_arrBarInfo.size(), static_cast<size_t>(bars));
    ASSERT_TRUE(loaded.SetState(frame));
    ExpectArranged();
}

TEST_F(DockStateTreeTest, SavingAgainLeavesNothingOfTheEarlierLayout)
{
    Arrange();
    SECDockState floating;
    ASSERT_TRUE(floating.GetState(frame));
    ASSERT_TRUE(floating.SaveState(factory, &root));
    ASSERT_NE(SavedBar(0)->FindPair(L"Floating"), nullptr);

    frame->DockControlBar(tools, AFX_IDW_DOCKBAR_TOP, nullptr);
    SECDockState docked;
    ASSERT_TRUE(docked.GetState(frame));
    ASSERT_TRUE(docked.SaveState(factory, &root)) << "the earlier layout is replaced, not refused";
    EXPECT_EQ(root.GetChildren().size(), 1u);
    EXPECT_EQ(SavedBar(0)->FindPair(L"Floating"), nullptr) << "a key only a floating bar writes is gone";

    SECDockState loaded;
    ASSERT_TRUE(loaded.LoadState(&root));
    ASSERT_TRUE(loaded.SetState(frame));
    EXPECT_FALSE(tools->IsFloating());
}

TEST_F(DockStateTreeTest, MissingOrDamagedValuesReadBackRepaired)
{
    SECPersistentTreeNode* layout = Node(factory, &root, L"DockState", { { L"Bars", L"1" } });
    Node(factory, layout, L"Bar-0",
        { { L"BarID", L"59500" }, { L"PctWidth", L"-300" }, { L"MRUFloatCX", L"-4" }, { L"MRUFloatCY", L"0" },
            { L"MRUHorzDockCX", L"120" }, { L"Visible", L"false" } });

    SECDockState loaded;
    ASSERT_TRUE(loaded.LoadState(&root));
    ASSERT_EQ(loaded.m_arrBarInfo.size(), 1u);
    const auto& info = dynamic_cast<const SECControlBarInfo&>(*loaded.m_arrBarInfo.front());
    EXPECT_EQ(info.m_nBarID, 59500u);
    EXPECT_FALSE(info.m_bVisible) << "Booleans read back whatever their case";
    EXPECT_EQ(info.m_pointPos, CPoint(-1, -1));
    EXPECT_EQ(info.m_nMRUWidth, 32767);
    EXPECT_EQ(info.m_fPctWidth, 0.0f);
    EXPECT_EQ(info.m_szFloat, CSize(0, 0));
    EXPECT_EQ(info.m_szHorzDock, CSize(120, 0));
    EXPECT_TRUE(info.m_bAutoHidePinned);
    EXPECT_TRUE(info.m_strClassName.IsEmpty());

    SECControlBarInfo kept;
    kept.m_nResourceID = 300;
    kept.m_dwDockStyle = CBRS_ALIGN_LEFT;
    kept.m_dwMRUDockingState = CBRS_ALIGN_TOP;
    ASSERT_TRUE(kept.LoadState(layout->FindChild(L"Bar-0"), loaded));
    EXPECT_EQ(kept.m_nResourceID, 300u) << "a missing resource id leaves the record's";
    EXPECT_EQ(kept.m_dwDockStyle, static_cast<DWORD>(CBRS_ALIGN_LEFT));
    EXPECT_EQ(kept.m_dwMRUDockingState, static_cast<DWORD>(CBRS_ALIGN_TOP));
}

TEST_F(DockStateTreeTest, ADamagedOrForeignTreeIsIgnored)
{
    using Build = std::function<void(SECPTNFactory&, SECPersistentTreeNode&)>;
    auto layoutWith = [](CString bars, std::vector<std::pair<const wchar_t*, TreeValues>> barNodes = {}) -> Build {
        return [=](SECPTNFactory& f, SECPersistentTreeNode& r) {
            SECPersistentTreeNode* layout = Node(f, &r, L"DockState", { { L"Bars", bars } });
            for (const auto& [name, values] : barNodes)
                Node(f, layout, name, values);
        };
    };
    struct Case {
        const char* name;
        Build build;
        bool loads;
        size_t records;
    };
    const Case cases[] = {
        { "no layout under the node", [](SECPTNFactory& f, SECPersistentTreeNode& r) { Node(f, &r, L"Other", { { L"Bars", L"1" } }); }, false, 0 },
        { "more bars than any layout has", layoutWith(L"4294967297"), false, 0 },
        { "a negative bar count", layoutWith(L"-1"), false, 0 },
        { "bar nodes that are missing", layoutWith(L"3", { { L"Bar-1", { { L"BarID", L"59501" } } } }), true, 1 },
        { "a bar without an id, or with text for one",
            layoutWith(L"2", { { L"Bar-0", { { L"Style", L"1" } } }, { L"Bar-1", { { L"BarID", L"toolbar" } } } }), true, 0 },
        { "a dock bar holding more bars than any layout has",
            layoutWith(L"1", { { L"Bar-0", { { L"BarID", Decimal(AFX_IDW_DOCKBAR_TOP) }, { L"Bars", L"2000000000" } } } }), true, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECPTNFactory caseFactory;
        SECPersistentTreeNode caseRoot;
        caseRoot.Create(L"MainFrame");
        c.build(caseFactory, caseRoot);
        SECDockState loaded;
        EXPECT_EQ(loaded.LoadState(&caseRoot), c.loads ? TRUE : FALSE);
        EXPECT_EQ(loaded.m_arrBarInfo.size(), c.records);
        ASSERT_TRUE(loaded.SetState(frame));
        EXPECT_EQ(tools->m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)) << "the frame keeps its layout";
        EXPECT_EQ(panel->m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_LEFT));
    }
    SECPersistentTreeNode* none = nullptr;
    EXPECT_FALSE(SECDockState().LoadState(none));
    EXPECT_FALSE(SECDockState().SaveState(factory, none));
}

TEST_F(DockStateTreeTest, AForeignClassNameInATreeMakesNoBar)
{
    constexpr UINT ID_STRANGER = AFX_IDW_CONTROLBAR_FIRST + 91;
    SECPersistentTreeNode* layout = Node(factory, &root, L"DockState", { { L"Bars", L"2" } });
    Node(factory, layout, L"Bar-0",
        { { L"BarID", Decimal(AFX_IDW_DOCKBAR_TOP) }, { L"Bars", L"3" }, { L"Bar#0", L"0" }, { L"Bar#1", Decimal(ID_STRANGER) },
            { L"Bar#2", L"0" } });
    Node(factory, layout, L"Bar-1", { { L"BarID", Decimal(ID_STRANGER) }, { L"ClassName", L"NotABar" }, { L"WindowName", L"Stranger" } });

    SECDockState loaded;
    ASSERT_TRUE(loaded.LoadState(&root));
    EXPECT_EQ(loaded.m_arrBarInfo.size(), 2u);
    ASSERT_TRUE(loaded.SetState(frame));
    EXPECT_EQ(frame->GetControlBar(ID_STRANGER), nullptr);
    EXPECT_EQ(NotABar::made, 0);
}

TEST_F(DockStateTest, NoFrameNoChange)
{
    SECDockState state;
    EXPECT_FALSE(state.GetState(nullptr));
    EXPECT_FALSE(state.SetState(nullptr));
}

} // namespace
