#include "framework/ToolBarManager.h"

#include "framework/BmpMgr.h"
#include "framework/RegisteredMessages.h"
#include "platform/gdi/SysColors.h"

IMPLEMENT_DYNAMIC(SECToolBarManager, CObject)

namespace {

std::array<COLORREF, kMenuColorCount>& MenuColorTable()
{
    static std::array<COLORREF, kMenuColorCount> table {};
    return table;
}

// The frame's tool bars, found by the interface they implement.
std::vector<std::pair<CControlBar*, SECManagedToolBar*>> ToolBarsOf(const CFrameWnd* frame)
{
    std::vector<std::pair<CControlBar*, SECManagedToolBar*>> bars;
    if (frame)
        for (CControlBar* bar : frame->m_listControlBars)
            if (auto* toolBar = dynamic_cast<SECManagedToolBar*>(bar))
                bars.emplace_back(bar, toolBar);
    return bars;
}

} // namespace

ULONG SharedDragState::Release()
{
    if (--m_references == 0) {
        delete this;
        return 0;
    }
    return m_references;
}

SECToolBarManager::SECToolBarManager(CFrameWnd* frame)
    : m_pFrame(frame)
    , m_pBmpMgr(new SECBmpMgr)
    , m_pDragState(new SharedDragState)
{
}

SECToolBarManager::~SECToolBarManager()
{
    m_pDragState->Release();
    m_pBmpMgr->Release();
}

void SECToolBarManager::ForEachToolBar(UINT id, UINT code, void* data) const
{
    for (const auto& [bar, toolBar] : ToolBarsOf(m_pFrame))
        toolBar->InformBtn(id, code, data);
}

void SECToolBarManager::BroadcastBarMessage(WPARAM wParam, LPARAM lParam) const
{
    for (HWND bar : m_barList)
        if (::IsWindow(bar))
            ::SendMessageW(bar, SECBarNotifyMessage(), wParam, lParam);
}

void SECToolBarManager::GetDropRect(CRect& rect) const
{
    rect.SetRectEmpty();
    if (m_hDropWindow && ::IsWindow(m_hDropWindow))
        ::GetWindowRect(m_hDropWindow, &rect);
}

CControlBar* SECToolBarManager::CreateUserToolBar(LPCWSTR title)
{
    if (!m_pFrame || !m_pToolBarClass)
        return nullptr;
    UINT id = kFirstUserBarId;
    const auto bars = ToolBarsOf(m_pFrame);
    auto taken = [&](UINT candidate) {
        for (const auto& entry : bars)
            if (entry.first->m_hWnd && static_cast<UINT>(entry.first->GetDlgCtrlID()) == candidate)
                return true;
        return false;
    };
    while (id < kEndUserBarId && taken(id))
        ++id;
    if (id >= kEndUserBarId)
        return nullptr;

    CObject* object = m_pToolBarClass->CreateObject();
    auto* bar = dynamic_cast<CControlBar*>(object);
    auto* toolBar = dynamic_cast<SECManagedToolBar*>(object);
    if (!bar || !toolBar) {
        delete object;
        return nullptr;
    }
    toolBar->m_pManager = this;
    toolBar->SetBmpMgr(m_pBmpMgr);
    CString name = title;
    if (!title) {
        CString format;
        if (!format.LoadString(kUserBarTitle) || format.IsEmpty())
            format = L"Toolbar %d";
        name.Format(format, static_cast<int>(id - (kFirstUserBarId - 1)));
    }
    DWORD style = m_config[2] ? 0x50002824 : 0x50002804;
    if (m_config[1])
        style |= CBRS_TOOLTIPS;
    const DWORD ctrlStyle = m_config[3] ? 0x300 : 0;
    if (!toolBar->CreateManagedBar(m_pFrame, ctrlStyle, style, id, name)) {
        delete object;
        return nullptr;
    }
    bar->m_bAutoDelete = TRUE; // the frame's window takes it along
    SizeNewBar(toolBar);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    toolBar->m_bMadeByManager = TRUE;
    m_barList.push_back(bar->m_hWnd);
    return bar;
}

void SECToolBarManager::SizeNewBar(SECManagedToolBar* bar) const
{
    bar->RecalcButtonSizes();
}

const std::array<COLORREF, kMenuColorCount>& MenuSysColors()
{
    return MenuColorTable();
}

void InitMenuSysColors()
{
    static constexpr int kSources[kMenuColorCount] = { COLOR_BTNFACE, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
        COLOR_HIGHLIGHT, COLOR_MENU, COLOR_GRAYTEXT, COLOR_HIGHLIGHTTEXT, COLOR_MENUTEXT };
    for (int i = 0; i < kMenuColorCount; ++i)
        MenuColorTable()[i] = GetSysColor(kSources[i]);
}

UINT GetMenuItemInfoSize()
{
    return sizeof(MENUITEMINFOW); // this platform's menu functions take the full record
}
