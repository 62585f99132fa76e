// Print preview: the pages drawn by the printed view, scaled onto the screen.

#include "platform/mfc/PreviewView.h"

#include "platform/base/MessageBox.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CPreviewView, CView)

BEGIN_MESSAGE_MAP(CPreviewView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
    ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnNumPageChange)
    ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
    ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
    ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
    ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnZoomIn)
    ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnZoomOut)
END_MESSAGE_MAP()

namespace {

struct BarButton {
    UINT id;
    const wchar_t* text;
    int width;
};
constexpr BarButton kBar[] = { { AFX_ID_PREVIEW_PRINT, L"&Print...", 60 }, { AFX_ID_PREVIEW_NEXT, L"&Next Page", 72 },
    { AFX_ID_PREVIEW_PREV, L"Pre&v Page", 72 }, { AFX_ID_PREVIEW_NUMPAGE, L"&Two Page", 72 }, { AFX_ID_PREVIEW_ZOOMIN, L"Zoom &In", 64 },
    { AFX_ID_PREVIEW_ZOOMOUT, L"Zoom &Out", 64 }, { AFX_ID_PREVIEW_CLOSE, L"&Close", 56 } };
constexpr int kMargin = 8;   // around the sheets
constexpr int kShadow = 3;

// The printer as the preview needs it, in its own pixels.
struct Sheet {
    SIZE dpi;
    SIZE paper;
    POINT offset;
    SIZE printable;
};

Sheet sheetOf(HDC printer)
{
    return { { GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY) },
        { GetDeviceCaps(printer, PHYSICALWIDTH), GetDeviceCaps(printer, PHYSICALHEIGHT) },
        { GetDeviceCaps(printer, PHYSICALOFFSETX), GetDeviceCaps(printer, PHYSICALOFFSETY) },
        { GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES) } };
}

int scaled(int value, double scale) { return std::max(1, static_cast<int>(value * scale + 0.5)); }

} // namespace

// ---- starting and ending

void CView::OnFilePrintPreview()
{
    auto info = std::make_unique<CPrintInfo>();
    info->m_bPreview = TRUE;
    if (!OnPreparePrinting(info.get()) || !CPreviewView::Start(this, std::move(info)))
        AfxMessageBox(L"The command could not be carried out.", MB_OK | MB_ICONEXCLAMATION, AFX_IDP_COMMAND_FAILURE);
}

CPreviewView::CPreviewView(CView* printed, std::unique_ptr<CPrintInfo> info)
    : m_printed(printed)
    , m_info(std::move(info))
{
}

CPreviewView::~CPreviewView() = default;

BOOL CPreviewView::Start(CView* printed, std::unique_ptr<CPrintInfo> info)
{
    CFrameWnd* frame = printed->GetParentFrame();
    if (!frame || !info->m_pPD->m_pd.hDC)
        return FALSE;
    CPrintInfo* kept = info.get();
    auto* preview = new CPreviewView(printed, std::move(info));
    RECT area;
    frame->GetClientRect(&area);
    CRect place;
    printed->GetWindowRect(&place);
    frame->ScreenToClient(&place);
    if (!preview->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place, frame, AFX_IDW_PANE_FIRST + 1)) {
        delete preview; // its window was never made
        return FALSE;
    }
    kept->m_nCurPage = kept->GetMinPage();
    printed->OnBeginPrinting(CDC::FromHandle(kept->m_pPD->m_pd.hDC), kept);
    printed->ShowWindow(SW_HIDE);
    frame->SetActiveView(preview);
    preview->Changed();
    return TRUE;
}

void CPreviewView::OnPreviewClose()
{
    CView* printed = m_printed;
    printed->OnEndPrinting(CDC::FromHandle(m_info->m_pPD->m_pd.hDC), m_info.get());
    printed->ShowWindow(SW_SHOW);
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetActiveView(printed);
    DestroyWindow(); // deletes this
}

void CPreviewView::OnPreviewPrint()
{
    CView* printed = m_printed;
    OnPreviewClose();
    printed->PostMessage(WM_COMMAND, ID_FILE_PRINT, 0);
}

// ---- the bar

int CPreviewView::OnCreate(LPCREATESTRUCT create)
{
    if (CView::OnCreate(create) == -1)
        return -1;
    int x = 4;
    for (const BarButton& button : kBar) {
        HWND window = ::CreateWindowExW(0, L"Button", button.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 4, button.width, 20, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(button.id)), nullptr, nullptr);
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        m_buttons.push_back(window);
        x += button.width + 4;
    }
    return 0;
}

void CPreviewView::OnSize(UINT, int, int) { Invalidate(TRUE); }

bool CPreviewView::LastPageShown() const
{
    return m_info->m_nCurPage + m_info->m_nNumPreviewPages - 1 >= m_info->GetMaxPage();
}

// The bar follows the state, and the pages are drawn again.
void CPreviewView::Changed()
{
    auto enable = [this](UINT id, bool enabled) { ::EnableWindow(::GetDlgItem(m_hWnd, id), enabled); };
    enable(AFX_ID_PREVIEW_NEXT, !LastPageShown());
    enable(AFX_ID_PREVIEW_PREV, m_info->m_nCurPage > m_info->GetMinPage());
    enable(AFX_ID_PREVIEW_ZOOMIN, m_zoom < kMaxZoom);
    enable(AFX_ID_PREVIEW_ZOOMOUT, m_zoom > 0);
    ::SetWindowTextW(::GetDlgItem(m_hWnd, AFX_ID_PREVIEW_NUMPAGE), m_info->m_nNumPreviewPages == 2 ? L"&One Page" : L"&Two Page");
    Invalidate(TRUE);
}

void CPreviewView::OnNextPage()
{
    if (!LastPageShown())
        ++m_info->m_nCurPage;
    Changed();
}

void CPreviewView::OnPrevPage()
{
    if (m_info->m_nCurPage > m_info->GetMinPage())
        --m_info->m_nCurPage;
    Changed();
}

void CPreviewView::OnNumPageChange()
{
    m_info->m_nNumPreviewPages = m_info->m_nNumPreviewPages == 2 ? 1 : 2;
    // Two pages never start past the second last.
    if (m_info->m_nNumPreviewPages == 2 && m_info->m_nCurPage > m_info->GetMinPage() && m_info->m_nCurPage >= m_info->GetMaxPage())
        --m_info->m_nCurPage;
    Changed();
}

void CPreviewView::OnZoomIn()
{
    m_zoom = std::min(m_zoom + 1, kMaxZoom);
    Changed();
}

void CPreviewView::OnZoomOut()
{
    m_zoom = std::max(m_zoom - 1, 0);
    Changed();
}

// ---- the pages

void CPreviewView::OnDraw(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CRect bar(0, 0, client.right, kBarHeight);
    ::FillRect(*dc, &bar, ::GetSysColorBrush(COLOR_BTNFACE));
    CRect edge(0, kBarHeight - 1, client.right, kBarHeight);
    ::FillRect(*dc, &edge, ::GetSysColorBrush(COLOR_BTNSHADOW));
    CRect area(0, kBarHeight, client.right, client.bottom);
    ::FillRect(*dc, &area, ::GetSysColorBrush(COLOR_APPWORKSPACE));

    Sheet sheet = sheetOf(m_info->m_pPD->m_pd.hDC);
    int pages = static_cast<int>(m_info->m_nNumPreviewPages);
    if (m_info->m_nCurPage + 1 > m_info->GetMaxPage())
        pages = 1;
    int roomWidth = area.Width() - kMargin * (pages + 1) - kShadow * pages, roomHeight = area.Height() - 2 * kMargin - kShadow;
    if (roomWidth <= 0 || roomHeight <= 0 || sheet.paper.cx <= 0 || sheet.paper.cy <= 0)
        return;
    double fit = std::min(static_cast<double>(roomWidth) / (pages * sheet.paper.cx), static_cast<double>(roomHeight) / sheet.paper.cy);
    double scale = fit * (1 + m_zoom);
    int width = scaled(sheet.paper.cx, scale), height = scaled(sheet.paper.cy, scale);
    // Centred while they fit; a zoomed page shows from its top left.
    int total = pages * width + (pages - 1) * kMargin;
    int left = std::max(kMargin, (area.Width() - total) / 2);
    int top = area.top + std::max(kMargin, (area.Height() - height) / 2);
    for (int i = 0; i < pages; ++i) {
        CRect place(left + i * (width + kMargin), top, left + i * (width + kMargin) + width, top + height);
        DrawPage(*dc, m_info->m_nCurPage + i, place, scale);
    }
}

void CPreviewView::DrawPage(CDC& dc, UINT page, const CRect& place, double scale)
{
    CRect shadow = place;
    shadow.OffsetRect(kShadow, kShadow);
    ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::FillRect(dc, &place, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

    HDC printer = m_info->m_pPD->m_pd.hDC;
    Sheet sheet = sheetOf(printer);
    int width = scaled(sheet.printable.cx, scale), height = scaled(sheet.printable.cy, scale);
    cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(pixels) == CAIRO_STATUS_SUCCESS) {
        std::memset(cairo_image_surface_get_data(pixels), 0xFF, static_cast<size_t>(cairo_image_surface_get_stride(pixels)) * height);
        cairo_surface_mark_dirty(pixels);
        CDC pageDc;
        pageDc.Attach(CreatePageDC(pixels, PageDevice { sheet.dpi, sheet.paper, sheet.offset, sheet.printable, {} }));
        // The view draws in the printer's units; the page maps them onto its pixels.
        int saved = pageDc.SaveDC();
        pageDc.SetMapMode(MM_ANISOTROPIC);
        ::SetWindowExtEx(pageDc, sheet.printable.cx, sheet.printable.cy, nullptr);
        ::SetViewportExtEx(pageDc, width, height, nullptr);
        m_info->m_bContinuePrinting = TRUE;
        UINT current = m_info->m_nCurPage;
        m_info->m_nCurPage = page;
        m_printed->OnPrepareDC(&pageDc, m_info.get());
        if (m_info->m_bContinuePrinting) {
            m_info->m_rectDraw.SetRect(0, 0, sheet.printable.cx, sheet.printable.cy);
            m_printed->OnPrint(&pageDc, m_info.get());
        }
        m_info->m_nCurPage = current;
        pageDc.RestoreDC(saved);
        ::BitBlt(dc, place.left + static_cast<int>(sheet.offset.x * scale + 0.5), place.top + static_cast<int>(sheet.offset.y * scale + 0.5),
            width, height, pageDc, 0, 0, SRCCOPY);
        pageDc.DeleteDC();
    }
    cairo_surface_destroy(pixels);
    ::FrameRect(dc, &place, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
