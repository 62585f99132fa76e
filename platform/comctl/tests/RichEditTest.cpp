// The read-only rich edit on a headless display: streaming in, the size it asks for, selection
// and copying, and rich text by its pixels (text is checked by its ink, not by glyph shapes).

#include "platform/comctl/CommCtrl.h"
#include "platform/comctl/RichEdit.h"
#include "platform/user/tests/UserTestSupport.h"

#include "platform/base/MulDiv.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr DWORD kMultiLine = 0x0004, kReadOnly = 0x0800; // ES_MULTILINE, ES_READONLY

// Hands out the text in pieces of `chunk` bytes, so that streams longer than one call are read whole.
struct Source {
    std::string bytes;
    size_t chunk = 7;
    size_t position = 0;
    DWORD failWith = 0;

    static DWORD Read(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written)
    {
        auto* source = reinterpret_cast<Source*>(cookie);
        if (source->failWith)
            return source->failWith;
        size_t count = std::min({ static_cast<size_t>(size), source->chunk, source->bytes.size() - source->position });
        std::memcpy(buffer, source->bytes.data() + source->position, count);
        source->position += count;
        *written = static_cast<LONG>(count);
        return 0;
    }
};

// The bounds of every pixel in `area` that is not `background`; empty when there is none.
RECT InkBounds(HWND window, RECT area, COLORREF background)
{
    RECT ink { area.right, area.bottom, area.left, area.top };
    HDC dc = GetDC(window);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(dc, x, y) == background)
                continue;
            ink = { std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1) };
        }
    }
    ReleaseDC(window, dc);
    return ink.left < ink.right ? ink : RECT {};
}

int CountPixels(HWND window, RECT area, std::function<bool(COLORREF)> matches)
{
    int count = 0;
    HDC dc = GetDC(window);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            count += matches(GetPixel(dc, x, y));
    }
    ReleaseDC(window, dc);
    return count;
}

class RichEdit : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        parent = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 600, 400 });
        RecordResizeRequests();
    }

    HWND Make(RECT r, DWORD style = kMultiLine | kReadOnly)
    {
        return CreateWindowExW(0, RICHEDIT_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
            r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kId)), nullptr, nullptr);
    }

    static LRESULT StreamIn(HWND edit, std::string bytes, WPARAM format = SF_RTF, Source* source = nullptr)
    {
        Source local { std::move(bytes) };
        Source& used = source ? *source : local;
        if (source)
            used.bytes = local.bytes;
        EDITSTREAM stream { reinterpret_cast<DWORD_PTR>(&used), 0xDEAD, Source::Read };
        LRESULT read = SendMessageW(edit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
        lastError = stream.dwError;
        return read;
    }

    static std::wstring Text(HWND edit)
    {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // The rectangles of the EN_REQUESTRESIZE notifications the parent got, in order.
    std::vector<RECT> ResizeRequests() const { return requests; }
    void RecordResizeRequests()
    {
        MessageLog::Instance().answer = [this](HWND window, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            auto* request = reinterpret_cast<REQRESIZE*>(lParam);
            if (window == parent && message == WM_NOTIFY && request->nmhdr.code == EN_REQUESTRESIZE && request->nmhdr.idFrom == kId)
                requests.push_back(request->rc);
            return std::nullopt;
        };
    }
    std::vector<RECT> requests;

    // The font a run of that size and face gets, as gdi measures it.
    static TEXTMETRICW Metrics(const wchar_t* face, int halfPoints, int weight = FW_NORMAL)
    {
        HFONT font = CreateFontW(-MulDiv(halfPoints, 96, 144), 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(font);
        return metrics;
    }
    static int Width(const wchar_t* face, int halfPoints, const wchar_t* text)
    {
        HFONT font = CreateFontW(-MulDiv(halfPoints, 96, 144), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size;
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(font);
        return size.cx;
    }

    static constexpr int kId = 42;
    static inline DWORD lastError = 0;
    HWND parent = nullptr;
};

// ---- streaming in

struct StreamCase {
    const char* name;
    std::string bytes;
    WPARAM format;
    const wchar_t* text;
};

TEST_F(RichEdit, StreamInReadsEveryPieceOfTheStream)
{
    const StreamCase cases[] = {
        { "rtf", R"({\rtf1\ansi{\fonttbl\f0 Arial;}\f0 Hello \b bold\b0\par World})", SF_RTF, L"Hello bold\r\nWorld" },
        { "rtf escapes", R"({\rtf1 caf\'e9\tab\u8364?})", SF_RTF, L"caf\u00E9\t\u20AC" },
        { "plain text", "one\r\ntwo\nthree", SF_TEXT, L"one\r\ntwo\r\nthree" },
        { "rtf taken as text", R"({\rtf1 x})", SF_TEXT, L"{\\rtf1 x}" },
        { "text asked for as rtf", "not rtf at all", SF_RTF, L"not rtf at all" },
        { "utf-8 text", "\xE2\x82\xAC 5", SF_TEXT, L"\u20AC 5" },
        { "empty", "", SF_RTF, L"" },
    };
    HWND edit = Make({ 10, 10, 300, 100 });
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        LRESULT read = StreamIn(edit, c.bytes, c.format);
        EXPECT_EQ(lastError, 0u);
        EXPECT_EQ(Text(edit), c.text);
        // The characters read count each line end as one, as the control's positions do.
        EXPECT_EQ(read, static_cast<LRESULT>(wcslen(c.text)) - std::count(c.text, c.text + wcslen(c.text), L'\n'));
    }
}

TEST_F(RichEdit, AFailedStreamKeepsTheTextItHad)
{
    HWND edit = Make({ 10, 10, 300, 100 });
    StreamIn(edit, R"({\rtf1 kept})");

    Source failing { "", 7, 0, 1234 };
    EXPECT_EQ(StreamIn(edit, R"({\rtf1 lost})", SF_RTF, &failing), 0);
    EXPECT_EQ(lastError, 1234u);
    EXPECT_EQ(Text(edit), L"kept");

    Source endless { "", 4096 };
    EXPECT_EQ(StreamIn(edit, std::string(size_t { 5 } << 20, 'x'), SF_TEXT, &endless), 0);
    EXPECT_NE(lastError, 0u) << "an oversized stream is refused";
    EXPECT_EQ(Text(edit), L"kept");
}

// A document of thousands of formats (here each run its own size and colour) is still shown whole.
TEST_F(RichEdit, ThousandsOfFormatsAreShown)
{
    std::string rtf = R"({\rtf1{\colortbl;)";
    for (int i = 0; i < 3000; ++i)
        rtf += "\\red" + std::to_string(i % 256) + "\\green0\\blue0;";
    rtf += "}";
    std::wstring expected;
    for (int i = 1; i <= 3000; ++i) {
        rtf += "\\fs" + std::to_string(i) + "\\cf" + std::to_string(i) + " w" + std::to_string(i) + " ";
        expected += L"w" + std::to_wstring(i) + L" ";
    }
    rtf += "}";
    HWND edit = Make({ 10, 10, 300, 100 });
    StreamIn(edit, rtf);
    EXPECT_EQ(lastError, 0u);
    EXPECT_EQ(Text(edit), expected);
    UpdateWindow(edit);
}

TEST_F(RichEdit, SetTextTakesRtfOrPlainText)
{
    HWND edit = Make({ 10, 10, 300, 100 });
    SetWindowTextW(edit, LR"({\rtf1 \b rich\b0\par text})");
    EXPECT_EQ(Text(edit), L"rich\r\ntext");
    SetWindowTextW(edit, L"plain {\\b}");
    EXPECT_EQ(Text(edit), L"plain {\\b}");
    EXPECT_EQ(GetWindowTextLengthW(edit), 10);

    HWND named = CreateWindowExW(0, RICHEDIT_CLASSW, LR"({\rtf1 first\par text})", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    EXPECT_EQ(Text(named), L"first\r\ntext");
}

// ---- the size the text asks for

TEST_F(RichEdit, RequestResizeGivesTheSizeOfTheText)
{
    HWND edit = Make({ 0, 0, 0, 0 }); // not sized yet, as a message box makes it
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"MS Sans Serif");
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    StreamIn(edit, "short\r\nthe longest line\r\nmid", SF_TEXT);

    SendMessageW(edit, EM_REQUESTRESIZE, 0, 0);
    EXPECT_TRUE(ResizeRequests().empty()) << "no notification without ENM_REQUESTRESIZE";

    EXPECT_EQ(SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE), static_cast<LRESULT>(ENM_NONE));
    EXPECT_EQ(SendMessageW(edit, EM_GETEVENTMASK, 0, 0), static_cast<LRESULT>(ENM_REQUESTRESIZE));
    SendMessageW(edit, EM_REQUESTRESIZE, 0, 0);
    auto requests = ResizeRequests();
    ASSERT_EQ(requests.size(), 1u);
    TEXTMETRICW metrics;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsW(dc, &metrics);
    SIZE longest;
    GetTextExtentPoint32W(dc, L"the longest line", 16, &longest);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(requests[0].right - requests[0].left, longest.cx);
    EXPECT_EQ(requests[0].bottom - requests[0].top, 3 * metrics.tmHeight);

    // Sized narrower than its longest word pair, it wraps and asks for more lines, not more width.
    MoveWindow(edit, 5, 5, longest.cx - 10, 10, FALSE);
    SendMessageW(edit, EM_REQUESTRESIZE, 0, 0);
    requests = ResizeRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].left, 5);
    EXPECT_EQ(requests[1].top, 5);
    EXPECT_LE(requests[1].right - requests[1].left, longest.cx - 10);
    EXPECT_EQ(requests[1].bottom - requests[1].top, 4 * metrics.tmHeight);

    // With the mask set, new text asks on its own.
    StreamIn(edit, "one line", SF_TEXT);
    requests = ResizeRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].bottom - requests[2].top, metrics.tmHeight);
    DestroyWindow(edit);
    DeleteObject(font);
}

TEST_F(RichEdit, AParentMayDestroyTheControlWhenItAsksForASize)
{
    HWND edit = Make({ 0, 0, 0, 0 });
    SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (window == parent && message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == EN_REQUESTRESIZE)
            DestroyWindow(edit);
        return std::nullopt;
    };
    EXPECT_EQ(StreamIn(edit, "gone", SF_TEXT), 4);
    EXPECT_FALSE(IsWindow(edit));
}

TEST_F(RichEdit, ParagraphSpacingAndFontSizesMakeTheRequestedHeight)
{
    HWND edit = Make({ 0, 0, 0, 0 });
    SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    StreamIn(edit, R"({\rtf1{\fonttbl\f0 Arial;}\f0\fs20\sb300\sa150 small\par\pard\fs40 big})");
    auto requests = ResizeRequests();
    ASSERT_EQ(requests.size(), 1u);
    int expected = 20 + Metrics(L"Arial", 20).tmHeight + 10 + Metrics(L"Arial", 40).tmHeight; // 300 and 150 twips at 96 dpi
    EXPECT_EQ(requests[0].bottom - requests[0].top, expected);
    EXPECT_EQ(requests[0].right - requests[0].left, std::max(Width(L"Arial", 20, L"small"), Width(L"Arial", 40, L"big")));
}

// ---- selection and copying

TEST_F(RichEdit, SelectionIsKeptInsideTheTextAndCopiedWithLineEnds)
{
    struct Case {
        CHARRANGE set;
        CHARRANGE expected;
        const wchar_t* copied; // null: nothing selected, so the clipboard keeps the last copy
    };
    const Case cases[] = {
        { { 0, -1 }, { 0, 11 }, L"ab\tc\r\ndef\r\ngh" },
        { { 1, 4 }, { 1, 4 }, L"b\tc" },
        { { 6, 2 }, { 2, 6 }, L"\tc\r\nd" },
        { { 3, 100 }, { 3, 11 }, L"c\r\ndef\r\ngh" },
        { { 9, -1 }, { 9, 11 }, L"gh" },
        { { -1, 0 }, { 11, 11 }, nullptr },
    };
    HWND edit = Make({ 10, 10, 300, 100 });
    StreamIn(edit, R"({\rtf1 a{\b b}\tab c\par def\line gh})");
    ASSERT_EQ(Text(edit), L"ab\tc\r\ndef\r\ngh");
    std::wstring lastCopy;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.set.cpMin << ".." << c.set.cpMax);
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&c.set));
        CHARRANGE got { -5, -5 };
        SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&got));
        EXPECT_EQ(got.cpMin, c.expected.cpMin);
        EXPECT_EQ(got.cpMax, c.expected.cpMax);
        SendMessageW(edit, WM_COPY, 0, 0);
        ASSERT_TRUE(OpenClipboard(nullptr));
        auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
        ASSERT_TRUE(copied);
        EXPECT_EQ(std::wstring(copied), c.copied ? c.copied : lastCopy);
        lastCopy = copied;
        CloseClipboard();
    }
}

TEST_F(RichEdit, DraggingSelectsAndControlCCopies)
{
    HWND edit = Make({ 10, 10, 300, 100 });
    StreamIn(edit, "first line\r\nsecond", SF_TEXT);
    POINT start = ScreenPoint(edit, 1, 3);
    POINT end = ScreenPoint(edit, 285, 20); // right of the end of the second line
    headless->InjectMouseMove(start);
    headless->InjectButton(1, true, start);
    headless->InjectMouseMove(end);
    headless->InjectButton(1, false, end);
    Pump();
    EXPECT_EQ(GetFocus(), edit);
    CHARRANGE range {};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.cpMin, 0);
    EXPECT_EQ(range.cpMax, 17);

    headless->InjectKey(VK_CONTROL, true);
    Key('C');
    headless->InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(headless->ClipboardText(), std::string("first line\r\nsecond"));

    // Shift extends from the anchor.
    headless->Advance(2000);
    Click(ScreenPoint(edit, 1, 3));
    headless->Advance(2000);
    headless->InjectKey(VK_SHIFT, true);
    Click(ScreenPoint(edit, 285, 3));
    headless->InjectKey(VK_SHIFT, false);
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.cpMin, 0);
    EXPECT_EQ(range.cpMax, 10);

    // A double click selects the word under the pointer.
    headless->Advance(2000);
    Click(ScreenPoint(edit, 30, 16));
    Click(ScreenPoint(edit, 30, 16));
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.cpMin, 11);
    EXPECT_EQ(range.cpMax, 17);
}

TEST_F(RichEdit, SelectedTextIsHighlightedOnlyWithTheFocus)
{
    HWND edit = Make({ 10, 10, 300, 60 });
    StreamIn(edit, "highlight me", SF_TEXT);
    CHARRANGE all { 0, -1 };
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    RECT line { 0, 0, 290, 14 };
    auto highlighted = [&] {
        UpdateWindow(edit);
        return CountPixels(edit, line, [](COLORREF c) { return c == GetSysColor(COLOR_HIGHLIGHT); });
    };
    EXPECT_EQ(highlighted(), 0) << "hidden without the focus";
    SetFocus(edit);
    EXPECT_GT(highlighted(), 100);
    EXPECT_GT(CountPixels(edit, line, [](COLORREF c) { return c == GetSysColor(COLOR_HIGHLIGHTTEXT); }), 0);

    // A new selection repaints only the lines it touches.
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    CHARRANGE part { 0, 3 };
    ValidateRect(edit, nullptr);
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&part));
    RECT update {};
    ASSERT_TRUE(GetUpdateRect(edit, &update, FALSE));
    EXPECT_EQ(update.top, 0);
    EXPECT_LE(update.bottom, 16);
}

// ---- rich text by its pixels

class RichEditPixels : public RichEdit {
protected:
    // Shows the RTF in a fresh control and returns the ink bounds of its first line.
    RECT Ink(const std::string& rtf, RECT area = { 0, 0, 400, 60 })
    {
        if (edit)
            DestroyWindow(edit);
        edit = Make({ 0, 0, 400, 60 });
        StreamIn(edit, rtf);
        UpdateWindow(edit);
        return InkBounds(edit, area, GetSysColor(COLOR_WINDOW));
    }
    HWND edit = nullptr;
};

TEST_F(RichEditPixels, BoldIsWiderAndBigIsTaller)
{
    RECT plain = Ink(R"({\rtf1{\fonttbl\f0 Arial;}\f0\fs20 Wide words})");
    RECT bold = Ink(R"({\rtf1{\fonttbl\f0 Arial;}\f0\fs20\b Wide words})");
    RECT big = Ink(R"({\rtf1{\fonttbl\f0 Arial;}\f0\fs40 Wide words})");
    ASSERT_GT(plain.right, plain.left);
    EXPECT_GT(bold.right - bold.left, plain.right - plain.left);
    EXPECT_GT(big.bottom - big.top, (plain.bottom - plain.top) * 3 / 2);
    EXPECT_GT(big.right - big.left, (plain.right - plain.left) * 3 / 2);
}

TEST_F(RichEditPixels, ItalicLeansRight)
{
    // The ink of an upright "l" stands in one column band; an italic one is further right at the top.
    auto leftmostInRow = [&](int y) {
        RECT row = InkBounds(edit, { 0, y, 60, y + 1 }, GetSysColor(COLOR_WINDOW));
        return row.left;
    };
    RECT upright = Ink(R"({\rtf1{\fonttbl\f0 Arial;}\f0\fs48 l})");
    int uprightLean = leftmostInRow(upright.bottom - 2) - leftmostInRow(upright.top + 1);
    RECT italic = Ink(R"({\rtf1{\fonttbl\f0 Arial;}\f0\fs48\i l})");
    int italicLean = leftmostInRow(italic.top + 1) - leftmostInRow(italic.bottom - 2);
    EXPECT_LE(std::abs(uprightLean), 1);
    EXPECT_GE(italicLean, 4);
}

TEST_F(RichEditPixels, ColoursComeFromTheColourTable)
{
    Ink(R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}\fs32 \cf1 RRRR\cf2 BBBB\cf0 KKKK})");
    RECT line { 0, 0, 400, 30 };
    auto pure = [&](COLORREF colour) { return CountPixels(edit, line, [&](COLORREF c) { return c == colour; }); };
    EXPECT_GT(pure(RGB(255, 0, 0)), 20);
    EXPECT_GT(pure(RGB(0, 0, 255)), 20);
    EXPECT_GT(pure(GetSysColor(COLOR_WINDOWTEXT)), 20); // \cf0 is the automatic colour
    EXPECT_EQ(pure(RGB(255, 0, 0)) + pure(RGB(0, 0, 255)) + pure(GetSysColor(COLOR_WINDOWTEXT)) + pure(GetSysColor(COLOR_WINDOW)), 400 * 30)
        << "crisp text has no colours but its own";
    // Each colour stays within its own run: red ink lies left of all the blue ink.
    RECT red = InkBounds(edit, line, GetSysColor(COLOR_WINDOW));
    int lastRed = 0, firstBlue = 400;
    HDC dc = GetDC(edit);
    for (int y = red.top; y < red.bottom; ++y) {
        for (int x = red.left; x < red.right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == RGB(255, 0, 0))
                lastRed = std::max(lastRed, x);
            if (c == RGB(0, 0, 255))
                firstBlue = std::min(firstBlue, x);
        }
    }
    ReleaseDC(edit, dc);
    EXPECT_LT(lastRed, firstBlue);
}

TEST_F(RichEditPixels, ParagraphsAlignAndIndent)
{
    struct Case {
        const char* format;
        std::function<void(RECT ink, int width)> check;
    };
    int client = 400;
    RECT left = Ink(R"({\rtf1\fs24 centre})");
    int width = left.right - left.left;
    const Case cases[] = {
        { R"(\ql)", [&](RECT ink, int) { EXPECT_LE(ink.left, 2); } },
        { R"(\qc)", [&](RECT ink, int w) { EXPECT_NEAR(ink.left, (client - w) / 2, 2); } },
        { R"(\qr)", [&](RECT ink, int) { EXPECT_GE(ink.right, client - 2); } },
        { R"(\li1440)", [&](RECT ink, int) { EXPECT_NEAR(ink.left, 96, 2); } },
        { R"(\li1440\fi-720)", [&](RECT ink, int) { EXPECT_NEAR(ink.left, 48, 2); } },
        { R"(\qr\ri720)", [&](RECT ink, int) { EXPECT_NEAR(ink.right, client - 48, 2); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        RECT ink = Ink(std::string(R"({\rtf1\fs24)") + c.format + " centre}");
        EXPECT_EQ(ink.right - ink.left, width);
        c.check(ink, width);
    }
}

TEST_F(RichEditPixels, JustifiedLinesReachBothEdgesExceptTheLast)
{
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "word ";
    Ink(R"({\rtf1\fs24\qj )" + words + "end}");
    TEXTMETRICW metrics = Metrics(L"MS Sans Serif", 24);
    RECT first = InkBounds(edit, { 0, 0, 400, metrics.tmHeight }, GetSysColor(COLOR_WINDOW));
    EXPECT_LE(first.left, 1);
    EXPECT_GE(first.right, 398);
    RECT secondLine = InkBounds(edit, { 0, metrics.tmHeight, 400, 2 * metrics.tmHeight }, GetSysColor(COLOR_WINDOW));
    EXPECT_GE(secondLine.right, 398);
}

TEST_F(RichEditPixels, BackgroundColourFillsTheClientArea)
{
    Ink(R"({\rtf1 text})");
    EXPECT_EQ(SendMessageW(edit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE))), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
    UpdateWindow(edit);
    EXPECT_EQ(PixelAt(edit, 399, 59), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PixelAt(edit, 0, 40), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(SendMessageW(edit, EM_SETBKGNDCOLOR, 1, 0), static_cast<LRESULT>(GetSysColor(COLOR_BTNFACE)));
    UpdateWindow(edit);
    EXPECT_EQ(PixelAt(edit, 399, 59), GetSysColor(COLOR_WINDOW));
}

} // namespace
