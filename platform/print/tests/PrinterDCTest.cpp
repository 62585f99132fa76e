#include "platform/base/ErrorCodes.h"
#include "platform/base/MulDiv.h"
#include "platform/print/PrinterDC.h"
#include "platform/print/Printers.h"
#include "platform/print/tests/PdfFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

using namespace fln::print;
using namespace fln::print::testing;

namespace {

class PrinterDCTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-print-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string file(const char* name) const { return folder + "/" + name; }
    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string folder;
    ScopedPrinterList printers { { { L"Office", L"Laser in the office", true, false }, { kPdfPrinterName, L"", false, true } } };
};

struct Dc {
    explicit Dc(LPCWSTR device, const DEVMODEW* mode = nullptr) : handle(CreatePrinterDC(device, nullptr, mode)) { }
    ~Dc()
    {
        if (handle)
            DeleteDC(handle);
    }
    HDC handle;
};

int startDoc(HDC dc, const std::string& output, LPCWSTR name = L"Test document")
{
    std::wstring wide(output.begin(), output.end());
    DOCINFOW info { sizeof(DOCINFOW), name, wide.c_str(), nullptr, 0 };
    return StartDoc(dc, &info);
}

int inchesToPixels(double millimetres, int dpi) { return static_cast<int>(std::lround(millimetres / 25.4 * dpi)); }

TEST_F(PrinterDCTest, ThreePagesKeepTheirTextAndOrder)
{
    Dc dc(kPdfPrinterName);
    ASSERT_NE(dc.handle, nullptr);
    int dpi = GetDeviceCaps(dc.handle, LOGPIXELSY);
    HFONT font = CreateFontW(-MulDiv(12, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    SelectObject(dc.handle, font);

    std::string output = file("three.pdf");
    ASSERT_GT(startDoc(dc.handle, output), 0);
    for (int page = 1; page <= 3; ++page) {
        ASSERT_GT(StartPage(dc.handle), 0);
        std::wstring heading = L"Results of script " + std::to_wstring(page * 11);
        std::wstring footer = L"Page " + std::to_wstring(page) + L" of 3";
        TextOutW(dc.handle, dpi, dpi, heading.c_str(), static_cast<int>(heading.size()));
        TextOutW(dc.handle, dpi, GetDeviceCaps(dc.handle, VERTRES) - dpi, footer.c_str(), static_cast<int>(footer.size()));
        Rectangle(dc.handle, dpi, 2 * dpi, 3 * dpi, 3 * dpi);
        ASSERT_GT(EndPage(dc.handle), 0);
    }
    ASSERT_GT(EndDoc(dc.handle), 0);
    DeleteObject(font);

    EXPECT_EQ(pdfInfo(output, "Pages"), "3");
    auto pages = pdfPages(output);
    ASSERT_EQ(pages.size(), 3u);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const std::string& text = pages[page - 1];
        EXPECT_NE(text.find("Results of script " + std::to_string(page * 11)), std::string::npos) << text;
        EXPECT_NE(text.find("Page " + std::to_string(page) + " of 3"), std::string::npos) << text;
        EXPECT_LT(text.find("Results"), text.find("Page ")) << "heading above footer";
    }
    EXPECT_EQ(filesInFolder(), std::vector<std::string> { "three.pdf" }) << "no temporary file is left";
}

TEST_F(PrinterDCTest, ShapesLandWhereTheDeviceUnitsSay)
{
    Dc dc(kPdfPrinterName);
    int dpi = GetDeviceCaps(dc.handle, LOGPIXELSX);
    std::string output = file("shapes.pdf");
    ASSERT_GT(startDoc(dc.handle, output), 0);
    StartPage(dc.handle);
    // A black square from one inch to two inches.
    RECT square { dpi, dpi, 2 * dpi, 2 * dpi };
    FillRect(dc.handle, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPage(dc.handle);
    ASSERT_GT(EndDoc(dc.handle), 0);

    constexpr int kRenderDpi = 20;
    cairo_surface_t* image = pdfPageImage(output, 1, kRenderDpi);
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    auto dark = [&](int x, int y) {
        auto* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
        return row[x * 4 + 1] < 128; // green channel of a 32-bit pixel
    };
    struct Probe { double xInches, yInches; bool ink; };
    for (Probe probe : { Probe { 1.5, 1.5, true }, Probe { 1.1, 1.9, true }, Probe { 0.5, 0.5, false }, Probe { 2.5, 1.5, false },
             Probe { 1.5, 2.5, false } }) {
        SCOPED_TRACE(::testing::Message() << probe.xInches << "," << probe.yInches);
        EXPECT_EQ(dark(static_cast<int>(probe.xInches * kRenderDpi), static_cast<int>(probe.yInches * kRenderDpi)), probe.ink);
    }
    cairo_surface_destroy(image);
}

// Each page shows its own marks only, however they were drawn: marks far apart on one page, a
// later page on the pixels the earlier one inked, and nothing of what was drawn between pages.
TEST_F(PrinterDCTest, EachPageShowsItsOwnInkAndNoOther)
{
    Dc dc(kPdfPrinterName);
    const int dpi = GetDeviceCaps(dc.handle, LOGPIXELSX);
    HDC memory = CreateCompatibleDC(dc.handle);
    HBITMAP black = CreateCompatibleBitmap(dc.handle, dpi, dpi); // starts black
    HGDIOBJ old = SelectObject(memory, black);
    enum class How { Fill, Pattern, Copy, Stretch };
    struct Square {
        int topInch;
        How how;
        int leftInch = 1;
    };
    auto draw = [&](const Square& square) {
        const int left = square.leftInch * dpi, top = square.topInch * dpi;
        RECT area { left, top, left + dpi, top + dpi };
        switch (square.how) {
        case How::Fill: FillRect(dc.handle, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); break;
        case How::Pattern: PatBlt(dc.handle, left, top, dpi, dpi, BLACKNESS); break;
        case How::Copy: BitBlt(dc.handle, left, top, dpi, dpi, memory, 0, 0, SRCCOPY); break;
        case How::Stretch: StretchBlt(dc.handle, left, top, dpi, dpi, memory, 0, 0, dpi / 2, dpi / 2, SRCCOPY); break;
        }
    };
    // Page 2 draws beside what was drawn between the pages, in the same rows.
    const std::vector<std::vector<Square>> pages { { { 1, How::Fill }, { 9, How::Pattern } },
        { { 5, How::Copy }, { 7, How::Stretch }, { 3, How::Fill, 4 } }, {} };
    std::string output = file("marks.pdf");
    ASSERT_GT(startDoc(dc.handle, output), 0);
    for (const auto& squares : pages) {
        ASSERT_GT(StartPage(dc.handle), 0);
        for (const Square& square : squares)
            draw(square);
        ASSERT_GT(EndPage(dc.handle), 0);
        draw({ 3, How::Fill });
    }
    ASSERT_GT(EndDoc(dc.handle), 0);
    SelectObject(memory, old);
    DeleteObject(black);
    DeleteDC(memory);

    constexpr int kRenderDpi = 20;
    for (size_t page = 0; page < pages.size(); ++page) {
        cairo_surface_t* image = pdfPageImage(output, static_cast<int>(page + 1), kRenderDpi);
        ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
        for (int top = 0; top <= 9; ++top) {
            SCOPED_TRACE(::testing::Message() << "page " << page + 1 << ", 1.5 inches across, " << top << ".5 down");
            const bool square = std::any_of(pages[page].begin(), pages[page].end(), [&](const Square& s) { return s.topInch == top && s.leftInch == 1; });
            auto* row = cairo_image_surface_get_data(image) + (2 * top + 1) * kRenderDpi / 2 * cairo_image_surface_get_stride(image);
            EXPECT_EQ(row[3 * kRenderDpi / 2 * 4 + 1] < 128, square);
        }
        cairo_surface_destroy(image);
    }
}

// The program's abort procedure runs after each page; when it answers FALSE the document goes and
// EndPage says why.
TEST_F(PrinterDCTest, AnAbortProcedureThatSaysStopEndsTheDocument)
{
    static int calls;
    static int stopAt;
    calls = 0;
    stopAt = 2;
    Dc dc(kPdfPrinterName);
    EXPECT_TRUE(QueryAbort(dc.handle, 0)) << "without a procedure the job goes on";
    ASSERT_GT(SetAbortProc(dc.handle, [](HDC, int) -> BOOL { return ++calls < stopAt; }), 0);
    std::string output = file("stopped.pdf");
    ASSERT_GT(startDoc(dc.handle, output), 0);
    ASSERT_GT(StartPage(dc.handle), 0);
    EXPECT_GT(EndPage(dc.handle), 0);
    EXPECT_EQ(calls, 1);
    ASSERT_GT(StartPage(dc.handle), 0);
    EXPECT_EQ(EndPage(dc.handle), SP_APPABORT);
    EXPECT_EQ(StartPage(dc.handle), SP_ERROR) << "the document is gone";
    EXPECT_TRUE(filesInFolder().empty()) << "nothing of the document is left";

    stopAt = 0;
    EXPECT_FALSE(QueryAbort(dc.handle, 0)) << "asks the procedure";
    EXPECT_EQ(SetAbortProc(reinterpret_cast<HDC>(0x1234), nullptr), SP_ERROR);
}

// Characters given their places (ExtTextOut's dx) keep them on the printed page, where the text
// goes as glyphs: here an inch apart.
TEST_F(PrinterDCTest, TextWithGivenAdvancesLandsAtThem)
{
    Dc dc(kPdfPrinterName);
    const int dpi = GetDeviceCaps(dc.handle, LOGPIXELSX);
    HFONT font = CreateFontW(-dpi / 2, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    SelectObject(dc.handle, font);
    std::string output = file("placed.pdf");
    ASSERT_GT(startDoc(dc.handle, output), 0);
    StartPage(dc.handle);
    const INT advances[] = { dpi, dpi, dpi, dpi };
    ASSERT_TRUE(ExtTextOutW(dc.handle, dpi, dpi, 0, nullptr, L"IIII", 4, advances));
    EndPage(dc.handle);
    ASSERT_GT(EndDoc(dc.handle), 0);
    DeleteObject(font);
    std::string text = pdfPages(output)[0];
    std::erase_if(text, [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
    EXPECT_NE(text.find("IIII"), std::string::npos) << "the text is kept";

    constexpr int kRenderDpi = 40;
    cairo_surface_t* image = pdfPageImage(output, 1, kRenderDpi);
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    // The ink between x and x + width inches, along the letters' middle.
    auto inked = [&](double x, double width) {
        auto* row = cairo_image_surface_get_data(image) + static_cast<int>(1.25 * kRenderDpi) * cairo_image_surface_get_stride(image);
        for (int px = static_cast<int>(x * kRenderDpi); px < static_cast<int>((x + width) * kRenderDpi); ++px)
            if (row[px * 4 + 1] < 128)
                return true;
        return false;
    };
    for (int letter = 1; letter <= 4; ++letter) {
        SCOPED_TRACE(letter);
        EXPECT_TRUE(inked(letter, 0.3)) << "a letter at the start of its inch";
        EXPECT_FALSE(inked(letter + 0.4, 0.5)) << "and nothing after it";
    }
    cairo_surface_destroy(image);
}

struct CapsCase {
    const wchar_t* printer;
    short paper;
    short orientation;
    double widthMm, heightMm; // of the sheet as it lies
    bool margins;
};

TEST_F(PrinterDCTest, DeviceCapsDescribeTheSheet)
{
    const CapsCase cases[] = {
        { kPdfPrinterName, DMPAPER_A4, DMORIENT_PORTRAIT, 210, 297, false },
        { kPdfPrinterName, DMPAPER_LETTER, DMORIENT_LANDSCAPE, 279.4, 215.9, false },
        { L"Office", DMPAPER_A4, DMORIENT_PORTRAIT, 210, 297, true },
        { L"Office", DMPAPER_A5, DMORIENT_LANDSCAPE, 210, 148, true },
    };
    for (const CapsCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.paper << "/" << c.orientation << (c.margins ? " printer" : " file"));
        DEVMODEW mode = DefaultDevMode(c.printer);
        mode.dmPaperSize = c.paper;
        mode.dmOrientation = c.orientation;
        Dc dc(c.printer, &mode);
        ASSERT_NE(dc.handle, nullptr);
        int dpi = GetDeviceCaps(dc.handle, LOGPIXELSX);
        EXPECT_EQ(dpi, 600);
        EXPECT_EQ(GetDeviceCaps(dc.handle, LOGPIXELSY), 600);
        EXPECT_EQ(GetDeviceCaps(dc.handle, TECHNOLOGY), DT_RASPRINTER);
        int width = GetDeviceCaps(dc.handle, PHYSICALWIDTH), height = GetDeviceCaps(dc.handle, PHYSICALHEIGHT);
        EXPECT_EQ(width, inchesToPixels(c.widthMm, dpi));
        EXPECT_EQ(height, inchesToPixels(c.heightMm, dpi));
        int offsetX = GetDeviceCaps(dc.handle, PHYSICALOFFSETX), offsetY = GetDeviceCaps(dc.handle, PHYSICALOFFSETY);
        EXPECT_EQ(offsetX > 0, c.margins);
        EXPECT_EQ(offsetY > 0, c.margins);
        EXPECT_EQ(GetDeviceCaps(dc.handle, HORZRES), width - 2 * offsetX);
        EXPECT_EQ(GetDeviceCaps(dc.handle, VERTRES), height - 2 * offsetY);
        EXPECT_NEAR(GetDeviceCaps(dc.handle, HORZSIZE), c.widthMm - 2 * offsetX * 25.4 / dpi, 1);
    }
}

TEST_F(PrinterDCTest, FailedOrAbortedDocumentsLeaveTheOldFileAlone)
{
    std::string output = file("kept.pdf");
    std::ofstream(output) << "earlier document";

    {
        Dc dc(kPdfPrinterName);
        ASSERT_GT(startDoc(dc.handle, output), 0);
        StartPage(dc.handle);
        TextOutW(dc.handle, 10, 10, L"half", 4);
        EXPECT_GT(AbortDoc(dc.handle), 0);
        EXPECT_EQ(EndDoc(dc.handle), SP_ERROR) << "nothing left to end";
    }
    {
        Dc dc(kPdfPrinterName);
        ASSERT_GT(startDoc(dc.handle, output), 0);
        StartPage(dc.handle);
        // Deleted in the middle of a page: the document is abandoned.
    }
    std::ifstream in(output);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "earlier document");
    EXPECT_EQ(filesInFolder(), std::vector<std::string> { "kept.pdf" });
}

// While it prints, a document has no name in the folder: a program killed meanwhile leaves nothing
// there. (Where the file system cannot make unnamed files, it has a temporary name, removed on any
// end but a kill.)
TEST_F(PrinterDCTest, ADocumentInProgressHasNoNameInTheFolder)
{
    const int probe = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (probe < 0)
        GTEST_SKIP() << "the temporary folder's file system makes no unnamed files";
    ::close(probe);
    Dc dc(kPdfPrinterName);
    std::string output = file("long.pdf");
    ASSERT_GT(startDoc(dc.handle, output), 0);
    for (int page = 0; page < 2; ++page) {
        ASSERT_GT(StartPage(dc.handle), 0);
        TextOutW(dc.handle, 100, 100, L"page", 4);
        ASSERT_GT(EndPage(dc.handle), 0);
        EXPECT_TRUE(filesInFolder().empty());
    }
    ASSERT_GT(EndDoc(dc.handle), 0);
    EXPECT_EQ(filesInFolder(), std::vector<std::string> { "long.pdf" });
    EXPECT_EQ(pdfInfo(output, "Pages"), "2");
}

TEST_F(PrinterDCTest, CallsOutOfOrderOrToNowhereFail)
{
    Dc dc(kPdfPrinterName);
    EXPECT_EQ(StartPage(dc.handle), SP_ERROR) << "no document";
    EXPECT_EQ(EndPage(dc.handle), SP_ERROR);
    EXPECT_EQ(EndDoc(dc.handle), SP_ERROR);
    EXPECT_EQ(startDoc(dc.handle, folder + "/missing/folder/out.pdf"), SP_ERROR);
    EXPECT_EQ(startDoc(dc.handle, ""), SP_ERROR) << "a file printer needs a file";

    ASSERT_GT(startDoc(dc.handle, file("twice.pdf")), 0);
    EXPECT_EQ(startDoc(dc.handle, file("twice.pdf")), SP_ERROR) << "one document at a time";
    EXPECT_EQ(EndPage(dc.handle), SP_ERROR) << "no page";
    EXPECT_GT(StartPage(dc.handle), 0);
    EXPECT_EQ(StartPage(dc.handle), SP_ERROR) << "a page is open";
    EXPECT_GT(EndDoc(dc.handle), 0) << "ends the open page too";
    EXPECT_EQ(pdfInfo(file("twice.pdf"), "Pages"), "1");

    EXPECT_EQ(StartDoc(reinterpret_cast<HDC>(0x1234), nullptr), SP_ERROR);
    SetLastError(0);
    EXPECT_EQ(CreatePrinterDC(L"No such printer", nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(PrinterDCTest, TheDefaultPrinterIsTheListedDefault)
{
    ScopedPrinterList none({});
    EXPECT_FALSE(DefaultPrinter());
    EXPECT_EQ(CreatePrinterDC(nullptr, nullptr, nullptr), nullptr);

    ScopedPrinterList two({ { L"A", L"", false, false }, { L"B", L"", true, false } });
    ASSERT_TRUE(DefaultPrinter());
    EXPECT_EQ(DefaultPrinter()->name, L"B");
}

} // namespace
