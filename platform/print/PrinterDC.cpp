// Printer DCs: a page of pixels with a text layer, put into a PDF document page by page.

#include "platform/print/PrinterDC.h"

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/gdi/Surface.h"
#include "platform/sys/AtomicFile.h"
#include "platform/print/PrintQueues.h"
#include "platform/print/Printers.h"

#include <algorithm>
#include <atomic>
#include <cairo-pdf.h>
#include <cerrno>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>
#include <unistd.h>

namespace fln::print {

namespace {

struct Paper {
    short code;
    short width; // tenths of a millimetre
    short length;
};
constexpr Paper kPapers[] = { { DMPAPER_LETTER, 2159, 2794 }, { DMPAPER_LEGAL, 2159, 3556 }, { DMPAPER_A3, 2970, 4200 },
    { DMPAPER_A4, 2100, 2970 }, { DMPAPER_A5, 1480, 2100 } };

// The user's paper: Letter where LC_PAPER says so, A4 elsewhere.
short userPaper()
{
#ifdef _NL_PAPER_WIDTH
    if (const char* locale = std::setlocale(LC_PAPER, nullptr); locale && std::strcmp(locale, "C") != 0) {
        auto width = reinterpret_cast<intptr_t>(nl_langinfo(_NL_PAPER_WIDTH));
        if (width == 216)
            return DMPAPER_LETTER;
    }
#endif
    return DMPAPER_A4;
}

int tenthsOfMmToPixels(int tenths, int dpi) { return static_cast<int>((static_cast<long long>(tenths) * dpi + 127) / 254); }

} // namespace

PageGeometry GeometryOf(const DEVMODEW& mode, bool toFile)
{
    Paper paper = kPapers[3];
    if ((mode.dmFields & DM_PAPERSIZE) && mode.dmPaperSize != 0) {
        auto found = std::find_if(std::begin(kPapers), std::end(kPapers), [&](const Paper& p) { return p.code == mode.dmPaperSize; });
        if (found != std::end(kPapers))
            paper = *found;
    }
    if ((mode.dmFields & DM_PAPERWIDTH) && mode.dmPaperWidth > 0)
        paper.width = mode.dmPaperWidth;
    if ((mode.dmFields & DM_PAPERLENGTH) && mode.dmPaperLength > 0)
        paper.length = mode.dmPaperLength;
    if ((mode.dmFields & DM_ORIENTATION) && mode.dmOrientation == DMORIENT_LANDSCAPE)
        std::swap(paper.width, paper.length);

    PageGeometry geometry;
    int dpiX = (mode.dmFields & DM_PRINTQUALITY) && mode.dmPrintQuality > 0 ? mode.dmPrintQuality : 600;
    int dpiY = (mode.dmFields & DM_YRESOLUTION) && mode.dmYResolution > 0 ? mode.dmYResolution : dpiX;
    dpiX = std::clamp(dpiX, 72, 1200), dpiY = std::clamp(dpiY, 72, 1200);
    geometry.dpi = { dpiX, dpiY };
    geometry.paper = { tenthsOfMmToPixels(paper.width, dpiX), tenthsOfMmToPixels(paper.length, dpiY) };
    // A PDF page can be printed to its edges; a printer keeps a quarter inch free on each side.
    int marginX = toFile ? 0 : dpiX / 4, marginY = toFile ? 0 : dpiY / 4;
    geometry.printable = { marginX, marginY, geometry.paper.cx - marginX, geometry.paper.cy - marginY };
    return geometry;
}

namespace {

// A document in progress: a PDF written into a file that has no name until it is finished (where
// the file system allows; else under a temporary name beside its target), so that a run cut short,
// even by a kill, leaves nothing behind.
class Document {
public:
    ~Document()
    {
        if (m_pdf)
            cairo_surface_destroy(m_pdf);
        if (m_file)
            std::fclose(m_file);
        if (!m_temporary.empty())
            ::unlink(m_temporary.c_str());
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    static std::unique_ptr<Document> create(const std::string& target, SIZE pointSize)
    {
        auto document = std::unique_ptr<Document>(new Document(target));
        if (!document->open())
            return nullptr;
        document->m_pdf = cairo_pdf_surface_create_for_stream(&Document::write, document.get(), pointSize.cx, pointSize.cy);
        if (cairo_surface_status(document->m_pdf) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        return document;
    }

    cairo_surface_t* pdf() const { return m_pdf; }

    // Completes the file; true when it was written whole.
    bool finish()
    {
        cairo_surface_finish(m_pdf);
        return cairo_surface_status(m_pdf) == CAIRO_STATUS_SUCCESS && std::fflush(m_file) == 0 && ::fsync(fileno(m_file)) == 0;
    }
    // Puts the finished file in its place.
    bool commit()
    {
        if (m_temporary.empty() && !giveTemporaryName())
            return false;
        if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
            return false;
        m_temporary.clear();
        return true;
    }
    // A path by which the finished file can be read.
    std::string path() const { return m_temporary.empty() ? openFilePath() : m_temporary; }

private:
    explicit Document(std::string target) : m_target(std::move(target)) { }

    bool open()
    {
        int fd = ::open(FolderOf(m_target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0) {
            m_temporary = m_target + ".XXXXXX";
            fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
            if (fd < 0) {
                m_temporary.clear();
                return false;
            }
        }
        m_file = ::fdopen(fd, "wb");
        if (!m_file)
            ::close(fd);
        return m_file != nullptr;
    }
    std::string openFilePath() const { return "/proc/self/fd/" + std::to_string(fileno(m_file)); }
    // Links the unnamed file under a free temporary name beside the target.
    bool giveTemporaryName()
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            std::string name = m_target + ".XXXXXX";
            const int placeholder = ::mkostemp(name.data(), O_CLOEXEC);
            if (placeholder < 0)
                return false;
            ::close(placeholder);
            ::unlink(name.c_str());
            if (::linkat(AT_FDCWD, openFilePath().c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_temporary = std::move(name);
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }
    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length)
    {
        FILE* file = static_cast<Document*>(closure)->m_file;
        return std::fwrite(data, 1, length, file) == length ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
    }

    std::string m_target;
    std::string m_temporary; // the file's name while it has one
    FILE* m_file = nullptr;
    cairo_surface_t* m_pdf = nullptr;
};

std::atomic<int> g_nextJob { 1 };

} // namespace

// What a printer DC keeps: the printer, the page's pixels and text, and the document in progress.
class PrintJob {
public:
    PrintJob(PrinterInfo printer, const DEVMODEW& mode, std::wstring output)
        : m_printer(std::move(printer))
        , m_mode(mode)
        , m_output(std::move(output))
        , m_geometry(GeometryOf(mode, m_printer.toFile))
    {
    }

    ~PrintJob()
    {
        if (m_textLayer)
            cairo_surface_destroy(m_textLayer);
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    const PageGeometry& geometry() const { return m_geometry; }
    void attach(HDC dc, cairo_surface_t* pixels)
    {
        m_dc = dc;
        m_pixels = pixels;
    }

    int startDoc(const DOCINFOW& info);
    int startPage();
    int endPage();
    int endDoc();
    int abortDoc();
    void setAbortProc(ABORTPROC proc) { m_abortProc = proc; }
    bool abortRequested() { return m_abortProc && !m_abortProc(m_dc, 0); }

private:
    std::string targetFile(const DOCINFOW& info) const;
    void clearPixels();
    void putPage();
    void dropTextLayer();

    PrinterInfo m_printer;
    DEVMODEW m_mode;
    std::wstring m_output;
    PageGeometry m_geometry;
    HDC m_dc = nullptr;
    cairo_surface_t* m_pixels = nullptr; // owned by the DC
    cairo_surface_t* m_textLayer = nullptr; // the open page's
    std::vector<RECT> m_inked; // the rows of the pixels the last page inked; empty before the first page
    bool m_pixelsClean = false;
    std::unique_ptr<Document> m_document;
    std::wstring m_title;
    ABORTPROC m_abortProc = nullptr;
    bool m_pageOpen = false;
    int m_jobId = 0;
};

namespace {

std::mutex g_jobsMutex;
std::map<HDC, std::weak_ptr<PrintJob>> g_jobs;

std::shared_ptr<PrintJob> jobOf(HDC dc)
{
    std::lock_guard lock(g_jobsMutex);
    auto found = g_jobs.find(dc);
    if (found == g_jobs.end())
        return nullptr;
    auto job = found->second.lock();
    if (!job)
        g_jobs.erase(found);
    return job;
}

// Whether a row of pixels is all white; only the colour bits count.
bool rowIsBlank(const uint32_t* row, int width)
{
    constexpr uint32_t kWhite = 0xFFFFFF;
    constexpr int kBlock = 64; // a block at a time: ink ends the search early
    for (int x = 0; x < width; x += kBlock) {
        uint32_t all = kWhite;
        for (int i = x, end = std::min(x + kBlock, width); i < end; ++i)
            all &= row[i];
        if ((all & kWhite) != kWhite)
            return false;
    }
    return true;
}

// The parts of the page that hold ink, looked for in the rows drawing wrote: a rectangle around each
// run of inked rows, runs closer than kJoinRows joined, so that a page of rules and a few marks
// goes out as small images, not one as large as the page.
std::vector<RECT> inkedBands(cairo_surface_t* pixels, const std::vector<std::pair<int, int>>& writtenRows)
{
    constexpr int kJoinRows = 64;
    cairo_surface_flush(pixels);
    const int width = cairo_image_surface_get_width(pixels);
    const int stride = cairo_image_surface_get_stride(pixels) / 4;
    const auto* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(pixels));
    std::vector<RECT> bands;
    for (const auto& [top, bottom] : writtenRows) {
        for (int y = top; y < bottom; ++y) {
            const uint32_t* row = data + static_cast<size_t>(y) * stride;
            if (rowIsBlank(row, width))
                continue;
            int left = 0;
            while ((row[left] & 0xFFFFFF) == 0xFFFFFF)
                ++left;
            int right = width;
            while ((row[right - 1] & 0xFFFFFF) == 0xFFFFFF)
                --right;
            if (!bands.empty() && y - bands.back().bottom < kJoinRows) {
                RECT& band = bands.back();
                band = { std::min<LONG>(band.left, left), band.top, std::max<LONG>(band.right, right), y + 1 };
            } else {
                bands.push_back({ left, y, right, y + 1 });
            }
        }
    }
    return bands;
}

} // namespace

std::string PrintJob::targetFile(const DOCINFOW& info) const
{
    if (!m_printer.toFile) {
        // A CUPS job is spooled from a private temporary file.
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder && *folder ? folder : "/tmp") + "/formulon-print.pdf";
    }
    if (info.lpszOutput && *info.lpszOutput)
        return WideToUtf8(info.lpszOutput);
    return WideToUtf8(m_output);
}

int PrintJob::startDoc(const DOCINFOW& info)
{
    if (m_document) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    std::string target = targetFile(info);
    if (target.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    SIZE points { m_geometry.paper.cx * 72 / m_geometry.dpi.cx, m_geometry.paper.cy * 72 / m_geometry.dpi.cy };
    m_document = Document::create(target, points);
    if (!m_document) {
        SetLastError(ERROR_ACCESS_DENIED);
        return SP_ERROR;
    }
    m_title = info.lpszDocName ? info.lpszDocName : L"";
    m_jobId = g_nextJob++;
    return m_jobId;
}

// Whitens the pixels for a new page: all of them the first time, then only the rows the last page
// inked and the rows written since (the rest are white still).
void PrintJob::clearPixels()
{
    cairo_surface_flush(m_pixels);
    auto* data = cairo_image_surface_get_data(m_pixels);
    const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(m_pixels));
    if (!m_pixelsClean) {
        std::memset(data, 0xFF, stride * cairo_image_surface_get_height(m_pixels));
        m_pixelsClean = true;
    }
    for (const RECT& band : m_inked)
        std::memset(data + band.top * stride, 0xFF, stride * (band.bottom - band.top));
    m_inked.clear();
    // And whatever was drawn outside a page (or on one that was abandoned).
    for (const auto& [top, bottom] : TakePageWrittenRows(m_dc))
        std::memset(data + top * stride, 0xFF, stride * (bottom - top));
    cairo_surface_mark_dirty(m_pixels);
}

int PrintJob::startPage()
{
    if (!m_document || m_pageOpen)
        return SP_ERROR;
    clearPixels();
    cairo_rectangle_t extents { 0, 0, double(cairo_image_surface_get_width(m_pixels)), double(cairo_image_surface_get_height(m_pixels)) };
    m_textLayer = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    SetPageTextLayer(m_dc, m_textLayer);
    m_pageOpen = true;
    return 1;
}

// The page's text layer goes with the page: the PDF surface holds what it still needs of it.
void PrintJob::dropTextLayer()
{
    SetPageTextLayer(m_dc, nullptr);
    cairo_surface_destroy(m_textLayer);
    m_textLayer = nullptr;
}

void PrintJob::putPage()
{
    cairo_t* cr = cairo_create(m_document->pdf());
    cairo_scale(cr, 72.0 / m_geometry.dpi.cx, 72.0 / m_geometry.dpi.cy);
    cairo_translate(cr, m_geometry.printable.left, m_geometry.printable.top);
    // Only the parts of the page that have ink go in as images, each a copy the PDF surface may keep.
    m_inked = inkedBands(m_pixels, TakePageWrittenRows(m_dc));
    for (const RECT& band : m_inked) {
        const int width = band.right - band.left, height = band.bottom - band.top;
        cairo_surface_t* part = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_t* copy = cairo_create(part);
        cairo_set_source_surface(copy, m_pixels, -band.left, -band.top);
        cairo_paint(copy);
        cairo_destroy(copy);
        cairo_set_source_surface(cr, part, band.left, band.top);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_surface_destroy(part);
    }
    cairo_set_source_surface(cr, m_textLayer, 0, 0);
    cairo_paint(cr);
    cairo_show_page(cr);
    cairo_destroy(cr);
}

int PrintJob::endPage()
{
    if (!m_document || !m_pageOpen)
        return SP_ERROR;
    m_pageOpen = false;
    putPage();
    dropTextLayer();
    if (abortRequested()) {
        abortDoc();
        SetLastError(ERROR_CANCELLED);
        return SP_APPABORT;
    }
    return 1;
}

int PrintJob::endDoc()
{
    if (!m_document)
        return SP_ERROR;
    if (m_pageOpen) {
        m_pageOpen = false;
        putPage();
        dropTextLayer();
    }
    auto document = std::move(m_document);
    if (!document->finish()) {
        SetLastError(ERROR_DISK_FULL);
        return SP_ERROR;
    }
    if (m_printer.toFile) {
        if (!document->commit()) {
            SetLastError(ErrnoToSystemError(errno));
            return SP_ERROR;
        }
        return m_jobId;
    }
    int copies = (m_mode.dmFields & DM_COPIES) && m_mode.dmCopies > 1 ? m_mode.dmCopies : 1;
    int job = SubmitPrintFile(WideToUtf8(m_printer.name), document->path(), WideToUtf8(m_title), copies);
    if (job == 0) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return SP_ERROR;
    }
    return job;
}

int PrintJob::abortDoc()
{
    if (!m_document)
        return SP_ERROR;
    if (std::exchange(m_pageOpen, false))
        dropTextLayer();
    m_document.reset();
    return 1;
}

} // namespace fln::print

using namespace fln::print;

DEVMODEW DefaultDevMode(LPCWSTR device)
{
    DEVMODEW mode {};
    if (device)
        wcsncpy(mode.dmDeviceName, device, std::size(mode.dmDeviceName) - 1);
    mode.dmSpecVersion = 0x0401;
    mode.dmSize = sizeof(DEVMODEW);
    mode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLOR;
    mode.dmOrientation = DMORIENT_PORTRAIT;
    mode.dmPaperSize = userPaper();
    mode.dmCopies = 1;
    mode.dmPrintQuality = 600;
    mode.dmYResolution = 600;
    mode.dmColor = DMCOLOR_COLOR;
    return mode;
}

HDC CreatePrinterDC(LPCWSTR device, LPCWSTR output, const DEVMODEW* devMode)
{
    auto printer = device && *device ? FindPrinter(device) : DefaultPrinter();
    if (!printer) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    DEVMODEW mode = devMode ? *devMode : DefaultDevMode(printer->name.c_str());
    auto job = std::make_shared<PrintJob>(*printer, mode, output ? output : L"");
    const PageGeometry& geometry = job->geometry();
    cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, geometry.printable.right - geometry.printable.left,
        geometry.printable.bottom - geometry.printable.top);
    if (cairo_surface_status(pixels) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(pixels);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    PageDevice page { geometry.dpi, geometry.paper, { geometry.printable.left, geometry.printable.top }, {}, job };
    HDC dc = CreatePageDC(pixels, page);
    job->attach(dc, pixels);
    cairo_surface_destroy(pixels); // the DC holds it
    if (dc) {
        std::lock_guard lock(g_jobsMutex);
        g_jobs[dc] = job;
    }
    return dc;
}

int StartDocW(HDC dc, const DOCINFOW* info)
{
    auto job = jobOf(dc);
    if (!job || !info) {
        SetLastError(ERROR_INVALID_HANDLE);
        return SP_ERROR;
    }
    return job->startDoc(*info);
}

int StartPage(HDC dc)
{
    auto job = jobOf(dc);
    return job ? job->startPage() : SP_ERROR;
}

int EndPage(HDC dc)
{
    auto job = jobOf(dc);
    return job ? job->endPage() : SP_ERROR;
}

int EndDoc(HDC dc)
{
    auto job = jobOf(dc);
    return job ? job->endDoc() : SP_ERROR;
}

int AbortDoc(HDC dc)
{
    auto job = jobOf(dc);
    return job ? job->abortDoc() : SP_ERROR;
}

int SetAbortProc(HDC dc, ABORTPROC proc)
{
    auto job = jobOf(dc);
    if (!job)
        return SP_ERROR;
    job->setAbortProc(proc);
    return 1;
}

BOOL QueryAbort(HDC dc, DWORD)
{
    auto job = jobOf(dc);
    return !job || !job->abortRequested();
}
