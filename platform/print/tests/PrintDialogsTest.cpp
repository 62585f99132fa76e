#include "platform/print/PrintDialogs.h"
#include "platform/print/PrinterDC.h"
#include "platform/print/Printers.h"
#include "platform/user/tests/UserTestSupport.h"

#include "platform/base/MessageBox.h"

#include <cairo.h>
#include <functional>

using namespace fln::print;

namespace {

// Drives a modal dialog one step per wait of its loop; ends it with Cancel when the steps run out.
class PrintDialogsTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        previousHandler = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        SetModalLoopHook([this](HWND dialog) {
            if (step < steps.size()) {
                steps[step++](dialog);
                PostMessageW(dialog, WM_NULL, 0, 0); // the loop comes back for the next step
            } else {
                EndDialog(dialog, IDCANCEL);
            }
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(std::move(previousHandler));
        UserTest::TearDown();
    }

    void press(unsigned key) { headless->InjectKey(key, true), headless->InjectKey(key, false); }

    PRINTDLGW printSettings(DWORD flags)
    {
        PRINTDLGW settings {};
        settings.lStructSize = sizeof settings;
        settings.hwndOwner = owner;
        settings.Flags = flags;
        settings.nMinPage = 1, settings.nMaxPage = 9, settings.nFromPage = 1, settings.nToPage = 9;
        settings.nCopies = 1;
        return settings;
    }
    static void release(PRINTDLGW& settings)
    {
        if (settings.hDC)
            DeleteDC(settings.hDC);
        GlobalFree(settings.hDevMode);
        GlobalFree(settings.hDevNames);
    }

    ScopedPrinterList printers { { { L"Office", L"Laser by the door", true, false }, { kPdfPrinterName, L"PDF", false, true } } };
    HWND owner = TopLevel();
    std::vector<std::function<void(HWND)>> steps;
    size_t step = 0;
    std::vector<std::wstring> boxes;
    MessageBoxHandler previousHandler;
};

TEST_F(PrintDialogsTest, ThePrintDialogHandsBackPrinterFileRangeAndCopies)
{
    bool fileEnabledAtFirst = true;
    std::wstring comment;
    steps = {
        [&](HWND dialog) {
            wchar_t text[64] {};
            GetDlgItemTextW(dialog, IDC_PRINTER_COMMENT, text, 64);
            comment = text;
            fileEnabledAtFirst = IsWindowEnabled(GetDlgItem(dialog, IDC_PRINT_FILE));
            // The user moves to the PDF printer with the keyboard and fills in the rest.
            SetFocus(GetDlgItem(dialog, IDC_PRINTER_NAME));
            press(VK_DOWN);
        },
        [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_PRINT_FILE, L"/tmp/results.pdf");
            SendDlgItemMessageW(dialog, IDC_PRINT_PAGES, BM_CLICK, 0, 0);
            SetDlgItemTextW(dialog, IDC_PRINT_FROM, L"2");
            SetDlgItemTextW(dialog, IDC_PRINT_TO, L"4");
            SetDlgItemTextW(dialog, IDC_PRINT_COPIES, L"2");
            UpdateWindow(dialog); Pump();
            cairo_surface_write_to_png(headless->Screen(), "/tmp/print_dialog.png");
            press(VK_RETURN);
        },
    };
    PRINTDLGW settings = printSettings(PD_RETURNDC | PD_USEDEVMODECOPIES | PD_NOSELECTION);
    ASSERT_TRUE(PrintDlgW(&settings));
    EXPECT_EQ(comment, L"Laser by the door") << "the default printer comes first";
    EXPECT_FALSE(fileEnabledAtFirst) << "a real printer needs no file";
    EXPECT_EQ(DeviceNameOf(settings.hDevNames), kPdfPrinterName);
    EXPECT_EQ(OutputNameOf(settings.hDevNames), L"/tmp/results.pdf");
    EXPECT_TRUE(settings.Flags & PD_PAGENUMS);
    EXPECT_EQ(settings.nFromPage, 2);
    EXPECT_EQ(settings.nToPage, 4);
    auto* mode = static_cast<DEVMODEW*>(GlobalLock(settings.hDevMode));
    EXPECT_EQ(mode->dmCopies, 2);
    EXPECT_EQ(std::wstring(mode->dmDeviceName), std::wstring(kPdfPrinterName).substr(0, 31));
    GlobalUnlock(settings.hDevMode);
    ASSERT_NE(settings.hDC, nullptr);
    EXPECT_EQ(GetDeviceCaps(settings.hDC, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(settings.hDC, PHYSICALOFFSETX), 0) << "the DC is the PDF printer's";
    EXPECT_TRUE(boxes.empty());
    release(settings);
}

TEST_F(PrintDialogsTest, BadFieldsKeepThePrintDialogOpen)
{
    struct Case {
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* copies;
        bool pdfWithoutFile;
        int field; // where the focus goes
    };
    const Case cases[] = {
        { L"5", L"3", L"1", false, IDC_PRINT_TO },
        { L"0", L"3", L"1", false, IDC_PRINT_FROM },
        { L"2", L"10", L"1", false, IDC_PRINT_TO },
        { L"x", L"3", L"1", false, IDC_PRINT_FROM },
        { L"1", L"2", L"0", false, IDC_PRINT_COPIES },
        { L"1", L"2", L"1", true, IDC_PRINT_FILE },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << "-" << c.to << " x" << c.copies);
        boxes.clear();
        step = 0;
        int focused = 0;
        bool stillOpen = false;
        steps = {
            [&](HWND dialog) {
                if (c.pdfWithoutFile) {
                    SendDlgItemMessageW(dialog, IDC_PRINTER_NAME, CB_SETCURSEL, 1, 0);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRINTER_NAME, CBN_SELCHANGE), 0);
                }
                SendDlgItemMessageW(dialog, IDC_PRINT_PAGES, BM_CLICK, 0, 0);
                SetDlgItemTextW(dialog, IDC_PRINT_FROM, c.from);
                SetDlgItemTextW(dialog, IDC_PRINT_TO, c.to);
                SetDlgItemTextW(dialog, IDC_PRINT_COPIES, c.copies);
                SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                focused = GetDlgCtrlID(GetFocus());
                stillOpen = IsWindowVisible(dialog);
            },
        };
        PRINTDLGW settings = printSettings(PD_RETURNDC);
        EXPECT_FALSE(PrintDlgW(&settings)) << "cancelled after the complaint";
        EXPECT_EQ(PrintDialogError(), 0u);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(focused, c.field);
        EXPECT_EQ(settings.hDevNames, nullptr) << "the caller's settings are left alone";
        EXPECT_EQ(settings.hDC, nullptr);
    }
}

TEST_F(PrintDialogsTest, DefaultsAndMissingPrinters)
{
    PRINTDLGW settings = printSettings(PD_RETURNDEFAULT);
    ASSERT_TRUE(PrintDlgW(&settings));
    EXPECT_EQ(DeviceNameOf(settings.hDevNames), L"Office");
    EXPECT_EQ(step, 0u) << "no dialog shows";
    release(settings);

    ScopedPrinterList none({});
    struct Case {
        DWORD flags;
        DWORD error;
        size_t warnings;
    };
    for (Case c : { Case { PD_RETURNDEFAULT, PDERR_NODEFAULTPRN, 1 }, Case { PD_RETURNDEFAULT | PD_NOWARNING, PDERR_NODEFAULTPRN, 0 },
             Case { PD_RETURNDC, PDERR_NODEVICES, 1 } }) {
        SCOPED_TRACE(c.flags);
        boxes.clear();
        PRINTDLGW empty = printSettings(c.flags);
        EXPECT_FALSE(PrintDlgW(&empty));
        EXPECT_EQ(PrintDialogError(), c.error);
        EXPECT_EQ(boxes.size(), c.warnings);
    }
    PRINTDLGW wrongSize {};
    EXPECT_FALSE(PrintDlgW(&wrongSize));
    EXPECT_EQ(PrintDialogError(), CDERR_STRUCTSIZE);
}

TEST_F(PrintDialogsTest, PageSetupGivesPaperOrientationAndMarginsInTheCallersUnits)
{
    struct Case {
        DWORD units;
        POINT paper;                // Letter, landscape
        LONG perMillimetre100;      // margin units for 1 mm, times 100
    };
    for (Case c : { Case { 0, { 27940, 21590 }, 10000 }, Case { PSD_INTHOUSANDTHSOFINCHES, { 11000, 8500 }, 3937 } }) {
        SCOPED_TRACE(c.units);
        step = 0;
        steps = { [](HWND dialog) {
            SendDlgItemMessageW(dialog, IDC_PAPER_SIZE, CB_SETCURSEL, 3, 0); // Letter
            SendDlgItemMessageW(dialog, IDC_LANDSCAPE, BM_CLICK, 0, 0);
            const int fields[] = { IDC_MARGIN_LEFT, IDC_MARGIN_TOP, IDC_MARGIN_RIGHT, IDC_MARGIN_BOTTOM };
            for (int i = 0; i < 4; ++i)
                SetDlgItemInt(dialog, fields[i], 10 * (i + 1), FALSE);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        } };
        PAGESETUPDLGW settings {};
        settings.lStructSize = sizeof settings;
        settings.hwndOwner = owner;
        settings.Flags = c.units;
        steps.insert(steps.begin(), [this](HWND dialog) { UpdateWindow(dialog); Pump(); cairo_surface_write_to_png(headless->Screen(), "/tmp/print_setup.png"); });
        ASSERT_TRUE(PageSetupDlgW(&settings)) << (boxes.empty() ? L"" : boxes.back());
        EXPECT_EQ(settings.ptPaperSize.x, c.paper.x);
        EXPECT_EQ(settings.ptPaperSize.y, c.paper.y);
        LONG margins[] = { settings.rtMargin.left, settings.rtMargin.top, settings.rtMargin.right, settings.rtMargin.bottom };
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(margins[i], 10 * (i + 1) * c.perMillimetre100 / 100, 1) << i;
        auto* mode = static_cast<DEVMODEW*>(GlobalLock(settings.hDevMode));
        EXPECT_EQ(mode->dmPaperSize, DMPAPER_LETTER);
        EXPECT_EQ(mode->dmOrientation, DMORIENT_LANDSCAPE);
        GlobalUnlock(settings.hDevMode);

        // The DC made from these settings has that sheet.
        HDC dc = CreatePrinterDC(DeviceNameOf(settings.hDevNames).c_str(), nullptr, mode);
        EXPECT_GT(GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT));
        DeleteDC(dc);
        GlobalFree(settings.hDevMode);
        GlobalFree(settings.hDevNames);
    }
}

TEST_F(PrintDialogsTest, AMarginWiderThanHalfTheSheetIsRefused)
{
    int focused = 0;
    steps = { [&](HWND dialog) {
        SetDlgItemInt(dialog, IDC_MARGIN_RIGHT, 200, FALSE); // A4 is 210 mm wide
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        focused = GetDlgCtrlID(GetFocus());
    } };
    PAGESETUPDLGW settings {};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    EXPECT_FALSE(PageSetupDlgW(&settings));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(focused, IDC_MARGIN_RIGHT);
    EXPECT_EQ(settings.hDevMode, nullptr);
}

} // namespace
