// The printer list from CUPS, which a test can replace.

#include "platform/print/Printers.h"

#include "platform/base/CString.h"
#include "platform/print/PrintQueues.h"

#include <algorithm>
#include <mutex>

namespace fln::print {

namespace {

std::mutex g_mutex;
std::optional<std::vector<PrinterInfo>> g_override;

std::vector<PrinterInfo> systemPrinters()
{
    std::vector<PrinterInfo> printers;
    for (const PrintQueue& queue : SystemPrintQueues()) {
        PrinterInfo printer;
        printer.name = Utf8ToWide(queue.name).value_or(L"");
        printer.description = Utf8ToWide(queue.description).value_or(L"");
        printer.isDefault = queue.isDefault;
        printers.push_back(std::move(printer));
    }
    PrinterInfo pdf { kPdfPrinterName, L"Writes the document to a PDF file", false, true };
    pdf.isDefault = std::none_of(printers.begin(), printers.end(), [](const PrinterInfo& p) { return p.isDefault; });
    printers.push_back(std::move(pdf));
    return printers;
}

} // namespace

std::vector<PrinterInfo> ListPrinters()
{
    {
        std::lock_guard lock(g_mutex);
        if (g_override)
            return *g_override;
    }
    return systemPrinters();
}

std::optional<PrinterInfo> DefaultPrinter()
{
    auto printers = ListPrinters();
    auto found = std::find_if(printers.begin(), printers.end(), [](const PrinterInfo& p) { return p.isDefault; });
    if (found == printers.end())
        return printers.empty() ? std::nullopt : std::optional(printers.front());
    return *found;
}

std::optional<PrinterInfo> FindPrinter(const std::wstring& name)
{
    auto printers = ListPrinters();
    auto found = std::find_if(printers.begin(), printers.end(), [&](const PrinterInfo& p) { return p.name == name; });
    return found == printers.end() ? std::nullopt : std::optional(*found);
}

ScopedPrinterList::ScopedPrinterList(std::vector<PrinterInfo> printers)
{
    std::lock_guard lock(g_mutex);
    m_previous = std::move(g_override);
    g_override = std::move(printers);
}

ScopedPrinterList::~ScopedPrinterList()
{
    std::lock_guard lock(g_mutex);
    g_override = std::move(m_previous);
}

} // namespace fln::print
