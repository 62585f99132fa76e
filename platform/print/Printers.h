#pragma once
// The printers a document can go to: the CUPS destinations, and the one that writes a PDF file.

#include "platform/print/PrintTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace fln::print {

inline constexpr const wchar_t* kPdfPrinterName = L"Print to file (PDF)";

struct PrinterInfo {
    std::wstring name;
    std::wstring description;
    bool isDefault = false;
    bool toFile = false; // writes a PDF file instead of sending a job
};

// The CUPS destinations, then the PDF printer; exactly one is the default.
std::vector<PrinterInfo> ListPrinters();
// The default printer, or nothing when there is none.
std::optional<PrinterInfo> DefaultPrinter();
std::optional<PrinterInfo> FindPrinter(const std::wstring& name);

// Replaces the system's list for its lifetime (tests: a machine with these printers, or none).
class ScopedPrinterList {
public:
    explicit ScopedPrinterList(std::vector<PrinterInfo> printers);
    ~ScopedPrinterList();
    ScopedPrinterList(const ScopedPrinterList&) = delete;
    ScopedPrinterList& operator=(const ScopedPrinterList&) = delete;

private:
    std::optional<std::vector<PrinterInfo>> m_previous;
};

} // namespace fln::print
