// The font dialog: the initial font, picking by keys, the request's flags, errors, and a template
// of the program's own.

#include "CommonDialogTestSupport.h"

#include "platform/base/MulDiv.h"
#include "platform/gdi/FontEnumeration.h"

#include <cstring>

namespace {

constexpr int kFamily = cmb1, kSize = cmb3;

std::vector<std::wstring> ComboItems(HWND dialog, int id)
{
    std::vector<std::wstring> items;
    HWND combo = GetDlgItem(dialog, id);
    for (LRESULT i = 0, count = SendMessageW(combo, CB_GETCOUNT, 0, 0); i < count; ++i) {
        wchar_t text[128] {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

bool IsFixedPitch(const std::wstring& family)
{
    LOGFONTW filter {};
    family.copy(filter.lfFaceName, LF_FACESIZE - 1);
    bool fixed = false;
    EnumFontFamiliesExW(nullptr, &filter, [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
        *reinterpret_cast<bool*>(data) = (font->lfPitchAndFamily & 3) == FIXED_PITCH;
        return 0;
    }, reinterpret_cast<LPARAM>(&fixed), 0);
    return fixed;
}

class FontDialogTest : public CommonDialogTest {
protected:
    void SetUp() override
    {
        CommonDialogTest::SetUp();
        font = {};
        font.lfHeight = -16;
        font.lfWeight = FW_BOLD;
        wcscpy(font.lfFaceName, L"Liberation Serif");
        request = {};
        request.lStructSize = sizeof request;
        request.hwndOwner = parent;
        request.lpLogFont = &font;
        request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    }

    LOGFONTW font {};
    CHOOSEFONTW request {};
};

TEST_F(FontDialogTest, KeysChooseFamilyStyleAndSize)
{
    struct Case {
        const char* name;
        std::vector<Step> keys;
        const wchar_t* face;
        LONG weight;
        BYTE italic;
        int points;
    };
    const Case cases[] = {
        { "the initial font as it is", { Press(VK_RETURN) }, L"Liberation Serif", FW_BOLD, 0, 12 },
        { "a typed family keeps the weight", { Type(L"DejaVu Sans Mono"), Press(VK_RETURN) }, L"DejaVu Sans Mono", FW_BOLD, 0, 12 },
        { "the next style and a typed size",
            { Press('Y', { VK_MENU }, L"y"), Press(VK_DOWN), Press('S', { VK_MENU }, L"s"), Type(L"14"), Press(VK_RETURN) },
            L"Liberation Serif", FW_BOLD, 1, 14 },
        { "the first style, the first size",
            { Press('Y', { VK_MENU }, L"y"), Press(VK_UP), Press(VK_UP), Press(VK_UP), Press('S', { VK_MENU }, L"s"), Press(VK_UP), Press(VK_UP), Press(VK_UP), Press(VK_UP), Press(VK_UP), Press(VK_RETURN) },
            L"Liberation Serif", FW_NORMAL, 0, 8 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Script(c.keys);
        ASSERT_TRUE(ChooseFontW(&request));
        EXPECT_STREQ(font.lfFaceName, c.face);
        EXPECT_EQ(font.lfWeight, c.weight);
        EXPECT_EQ(font.lfItalic, c.italic);
        EXPECT_EQ(font.lfHeight, -MulDiv(c.points, 96, 72));
        EXPECT_EQ(request.iPointSize, c.points * 10);
        EXPECT_EQ(request.nFontType & (BOLD_FONTTYPE | ITALIC_FONTTYPE | REGULAR_FONTTYPE),
            (c.weight >= FW_BOLD ? BOLD_FONTTYPE : 0) | (c.italic ? ITALIC_FONTTYPE : 0) | (c.weight < FW_BOLD && !c.italic ? REGULAR_FONTTYPE : 0));
    }
}

TEST_F(FontDialogTest, FixedPitchOnlyListsOnlyFixedPitchFamilies)
{
    for (DWORD flags : { 0ul, static_cast<unsigned long>(CF_FIXEDPITCHONLY) }) {
        std::vector<std::wstring> families;
        request.Flags = CF_SCREENFONTS | flags;
        Script({ Check([&](HWND dialog) { families = ComboItems(dialog, kFamily); }), Press(VK_ESCAPE) });
        EXPECT_FALSE(ChooseFontW(&request));
        ASSERT_FALSE(families.empty());
        auto fixed = std::count_if(families.begin(), families.end(), IsFixedPitch);
        if (flags)
            EXPECT_EQ(fixed, static_cast<long>(families.size()));
        else
            EXPECT_LT(fixed, static_cast<long>(families.size()));
    }
}

TEST_F(FontDialogTest, UnknownFamiliesAndBadSizesAreRefused)
{
    struct Case {
        DWORD flags;
        std::vector<Step> keys;
        bool refused;
    };
    const Case cases[] = {
        { CF_FORCEFONTEXIST, { Type(L"No Such Font"), Press(VK_RETURN) }, true },
        { 0, { Type(L"No Such Font"), Press(VK_RETURN) }, false },
        { 0, { Press('S', { VK_MENU }, L"s"), Type(L"abc"), Press(VK_RETURN) }, true },
        { CF_LIMITSIZE, { Press('S', { VK_MENU }, L"s"), Type(L"72"), Press(VK_RETURN) }, true },
    };
    for (const auto& c : cases) {
        SetUp();
        request.Flags |= c.flags;
        request.nSizeMin = 8;
        request.nSizeMax = 20;
        LOGFONTW before = font;
        std::wstring warning;
        std::vector<Step> script = c.keys;
        if (c.refused) {
            script.push_back(Check([&](HWND box) {
                warning = WindowText(box);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }));
            script.push_back(Press(VK_ESCAPE));
        }
        Script(script);
        EXPECT_EQ(ChooseFontW(&request), !c.refused) << c.flags;
        if (c.refused) {
            EXPECT_EQ(warning, L"Font");
            EXPECT_EQ(std::memcmp(&before, &font, sizeof font), 0) << "cancelled: the caller's font is untouched";
        } else {
            EXPECT_STREQ(font.lfFaceName, L"No Such Font");
        }
    }
}

TEST_F(FontDialogTest, EffectsGiveUnderlineStrikeoutAndColour)
{
    for (bool effects : { true, false }) {
        SetUp();
        request.Flags |= effects ? CF_EFFECTS : 0;
        request.rgbColors = RGB(1, 2, 3);
        bool shown = false;
        Script({ Check([&](HWND dialog) { shown = IsWindowVisible(GetDlgItem(dialog, chx2)); }),
            Press('U', { VK_MENU }, L"u"), Press('K', { VK_MENU }, L"k"), Press('C', { VK_MENU }, L"c"), Press(VK_DOWN), ClickOn(IDOK) });
        ASSERT_TRUE(ChooseFontW(&request));
        EXPECT_EQ(shown, effects);
        EXPECT_EQ(font.lfUnderline, effects);
        EXPECT_EQ(font.lfStrikeOut, effects);
        EXPECT_EQ(request.rgbColors, effects ? RGB(128, 0, 0) : RGB(1, 2, 3)) << "the second colour of the list";
    }
}

TEST_F(FontDialogTest, AProgramTemplateUsesTheStandardIds)
{
    request.Flags |= CF_ENABLETEMPLATE | CF_EFFECTS;
    request.lpTemplateName = MAKEINTRESOURCEW(22703);
    std::wstring caption;
    std::vector<std::wstring> sizes;
    Script({ Check([&](HWND dialog) {
                 caption = WindowText(dialog);
                 sizes = ComboItems(dialog, kSize);
             }),
        Press('U', { VK_MENU }, L"u"), Press('S', { VK_MENU }, L"s"), Type(L"20"), ClickOn(IDOK) });
    ASSERT_TRUE(ChooseFontW(&request));
    EXPECT_EQ(caption, L"Program Font");
    EXPECT_FALSE(sizes.empty());
    EXPECT_EQ(request.iPointSize, 200);
    EXPECT_TRUE(font.lfUnderline);

    request.lpTemplateName = MAKEINTRESOURCEW(4242);
    EXPECT_FALSE(ChooseFontW(&request));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_FINDRESFAILURE);
}

TEST_F(FontDialogTest, RequestErrorsAreReported)
{
    request.Flags |= CF_LIMITSIZE;
    request.nSizeMin = 20;
    request.nSizeMax = 10;
    EXPECT_FALSE(ChooseFontW(&request));
    EXPECT_EQ(CommDlgExtendedError(), CFERR_MAXLESSTHANMIN);
    request.lStructSize = 3;
    EXPECT_FALSE(ChooseFontW(&request));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

} // namespace

namespace {

TEST_F(FontDialogTest, TheClassicLook)
{
    request.Flags |= CF_EFFECTS;
    ::testing::AssertionResult looks = ::testing::AssertionFailure();
    Script({ Check([&](HWND dialog) {
        // Every control but the group boxes holds text; the group frames are compared exactly.
        std::vector<RECT> text;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            int id = GetDlgCtrlID(child);
            if (id == grp1 || id == grp2 || id == stc6 || !IsWindowVisible(child))
                continue;
            RECT r;
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            InflateRect(&r, -3, -3);
            text.push_back(r);
        }
        looks = DialogLooksLike(dialog, "font-dialog.png", text);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }) });
    EXPECT_FALSE(ChooseFontW(&request));
    EXPECT_TRUE(looks);
}

} // namespace
