// The colour dialog: the HLS arithmetic, picking by keys, typed numbers, custom colours and its look.

#include "CommonDialogTestSupport.h"

#include "platform/comdlg/ColorModel.h"

#include <array>

using namespace fln::comdlg;

namespace {

TEST(ColorModelTest, PrimariesAndGreysHaveTheirHls)
{
    struct Case {
        COLORREF color;
        Hls hls;
    };
    const Case cases[] = {
        { RGB(255, 0, 0), { 0, kHlsMax / 2, kHlsMax } },
        { RGB(0, 255, 0), { kHlsMax / 3, kHlsMax / 2, kHlsMax } },
        { RGB(0, 0, 255), { kHlsMax * 2 / 3, kHlsMax / 2, kHlsMax } },
        { RGB(255, 255, 0), { kHlsMax / 6, kHlsMax / 2, kHlsMax } },
        { RGB(0, 0, 0), { kUndefinedHue, 0, 0 } },
        { RGB(255, 255, 255), { kUndefinedHue, kHlsMax, 0 } },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RgbToHls(c.color), c.hls) << std::hex << c.color;
        EXPECT_EQ(HlsToRgb(c.hls), c.color) << std::hex << c.color;
    }
}

TEST(ColorModelTest, ColoursSurviveTheRoundTrip)
{
    std::vector<COLORREF> colors(kBasicColors.begin(), kBasicColors.end());
    for (int v = 0; v < 256; v += 17)
        colors.push_back(RGB(v, 255 - v, (v * 7) % 256));
    for (COLORREF color : colors) {
        COLORREF back = HlsToRgb(RgbToHls(color));
        for (int shift : { 0, 8, 16 })
            EXPECT_LE(std::abs(static_cast<int>((back >> shift) & 0xFF) - static_cast<int>((color >> shift) & 0xFF)), 2) << std::hex << color;
    }
}

TEST(ColorModelTest, OutOfRangeValuesAreClamped)
{
    EXPECT_EQ(HlsToRgb({ 0, 500, 0 }), RGB(255, 255, 255));
    EXPECT_EQ(HlsToRgb({ 0, -5, 100 }), RGB(0, 0, 0));
    EXPECT_EQ(HlsToRgb({ kHlsMax * 5, kHlsMax / 2, kHlsMax }), HlsToRgb({ 0, kHlsMax / 2, kHlsMax }));
}

class ColorDialogTest : public CommonDialogTest {
protected:
    void SetUp() override
    {
        CommonDialogTest::SetUp();
        for (std::size_t i = 0; i < custom.size(); ++i)
            custom[i] = RGB(255, 255, static_cast<int>(i));
        request = {};
        request.lStructSize = sizeof request;
        request.hwndOwner = parent;
        request.lpCustColors = custom.data();
    }

    static int ClientWidth(HWND dialog)
    {
        RECT client;
        GetClientRect(dialog, &client);
        return client.right;
    }

    std::array<COLORREF, 16> custom {};
    CHOOSECOLORW request {};
};

TEST_F(ColorDialogTest, ArrowKeysPickABasicColour)
{
    struct Case {
        std::vector<unsigned> keys;
        int row, column; // where the keys end, from the first cell
    };
    const Case cases[] = {
        { { VK_RIGHT, VK_RIGHT, VK_DOWN }, 1, 2 },
        { { VK_END }, 5, 7 },
        { { VK_LEFT, VK_UP }, 0, 0 },
        { { VK_END, VK_DOWN, VK_RIGHT, VK_HOME, VK_DOWN }, 1, 0 },
    };
    for (const auto& c : cases) {
        std::vector<Step> script;
        for (unsigned key : c.keys)
            script.push_back(Press(key));
        script.push_back(Press(VK_RETURN));
        Script(script);
        request.rgbResult = kBasicColors[0];
        request.Flags = CC_RGBINIT;
        ASSERT_TRUE(ChooseColorW(&request));
        EXPECT_EQ(request.rgbResult, kBasicColors[static_cast<std::size_t>(c.row * kBasicColumns + c.column)]) << c.keys.size();
    }
}

TEST_F(ColorDialogTest, TheInitialColourIsSelectedWithRgbInit)
{
    request.Flags = CC_RGBINIT;
    request.rgbResult = kBasicColors[13];
    Script({ Press(VK_RIGHT), Press(VK_RETURN) });
    ASSERT_TRUE(ChooseColorW(&request));
    EXPECT_EQ(request.rgbResult, kBasicColors[14]);

    request.rgbResult = RGB(7, 8, 9); // in no cell: kept as it is
    Script({ Press(VK_RETURN) });
    ASSERT_TRUE(ChooseColorW(&request));
    EXPECT_EQ(request.rgbResult, RGB(7, 8, 9));
}

TEST_F(ColorDialogTest, TypedNumbersMakeTheColourAndCustomColoursAreKept)
{
    struct Case {
        std::vector<std::pair<wchar_t, const wchar_t*>> typed; // mnemonic, then the number
        COLORREF expected;
    };
    const Case cases[] = {
        { { { 'R', L"10" }, { 'G', L"20" }, { 'U', L"30" } }, RGB(10, 20, 30) },
        { { { 'E', L"0" }, { 'S', L"240" }, { 'L', L"120" } }, RGB(255, 0, 0) },
        { { { 'R', L"999" } }, RGB(255, 0, 0) },
    };
    for (const auto& c : cases) {
        request.Flags = CC_FULLOPEN;
        std::vector<Step> script;
        for (auto [mnemonic, number] : c.typed) {
            script.push_back(Press(mnemonic, { VK_MENU }, std::wstring(1, static_cast<wchar_t>(std::towlower(mnemonic)))));
            script.push_back(Type(number));
        }
        script.push_back(Press('A', { VK_MENU }, L"a"));
        script.push_back(ClickOn(IDOK)); // the Add button has the focus now
        Script(script);
        auto before = custom;
        ASSERT_TRUE(ChooseColorW(&request));
        EXPECT_EQ(request.rgbResult, c.expected);
        EXPECT_EQ(custom[0], c.expected) << "added to the first custom cell";
        EXPECT_TRUE(std::equal(custom.begin() + 1, custom.end(), before.begin() + 1));
        custom = before;
    }
}

TEST_F(ColorDialogTest, CancelKeepsTheCallersColours)
{
    auto before = custom;
    request.Flags = CC_FULLOPEN | CC_RGBINIT;
    request.rgbResult = RGB(1, 2, 3);
    Script({ Press('R', { VK_MENU }, L"r"), Type(L"200"), Press('A', { VK_MENU }, L"a"), Press(VK_ESCAPE) });
    EXPECT_FALSE(ChooseColorW(&request));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(request.rgbResult, RGB(1, 2, 3));
    EXPECT_EQ(custom, before);

    request.lpCustColors = nullptr;
    EXPECT_FALSE(ChooseColorW(&request));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
}

TEST_F(ColorDialogTest, DefineOpensTheRightHalfUnlessPrevented)
{
    for (DWORD flags : { 0ul, static_cast<unsigned long>(CC_PREVENTFULLOPEN) }) {
        int before = 0, after = 0;
        bool defineEnabled = false, redEnabledBefore = true;
        request.Flags = flags;
        Script({ Check([&](HWND dialog) {
                     before = ClientWidth(dialog);
                     defineEnabled = IsWindowEnabled(GetDlgItem(dialog, 0x2CF));
                     redEnabledBefore = IsWindowEnabled(GetDlgItem(dialog, 0x2C2));
                 }),
            Press('D', { VK_MENU }, L"d"), Check([&](HWND dialog) { after = ClientWidth(dialog); }), Press(VK_ESCAPE) });
        EXPECT_FALSE(ChooseColorW(&request));
        EXPECT_FALSE(redEnabledBefore) << "closed, the number fields are out of the tab order";
        EXPECT_EQ(defineEnabled, flags == 0);
        if (flags == 0)
            EXPECT_GT(after, before * 3 / 2);
        else
            EXPECT_EQ(after, before);
    }
}

TEST_F(ColorDialogTest, TheClassicLook)
{
    request.Flags = CC_FULLOPEN | CC_RGBINIT;
    request.rgbResult = kBasicColors[9];
    ::testing::AssertionResult looks = ::testing::AssertionFailure();
    Script({ Check([&](HWND dialog) {
        // The labels, buttons and number fields hold text; everything else is compared exactly.
        auto areas = [&](std::initializer_list<int> ids) {
            std::vector<RECT> rects;
            for (int id : ids) {
                RECT r;
                GetWindowRect(GetDlgItem(dialog, id), &r);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
                InflateRect(&r, -3, -3);
                rects.push_back(r);
            }
            return rects;
        };
        looks = DialogLooksLike(dialog, "color-dialog.png",
            areas({ stc1, stc2, stc3, stc4, stc5, stc6, stc7, stc7 + 1, IDOK, IDCANCEL, 0x2C8, 0x2BF, 0x2C0, 0x2C1, 0x2C2, 0x2C3, 0x2C4 }),
            areas({ 0x2CF })); // the define button is disabled once the dialog is open
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }) });
    EXPECT_FALSE(ChooseColorW(&request));
    EXPECT_TRUE(looks);
}

} // namespace
