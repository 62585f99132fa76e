// Loads arbitrary bytes as a Date & Time page date file (".fmd"): a file the page takes gives it an
// input within the line's limit and a date format in range, and saving what was taken and loading
// that back gives the same content. A refused file changes nothing.

#include "app/DateFile.h"
#include "app/DlgCalendarView.h"
#include "fuzz/FuzzSupport.h"

namespace {

CString PathOf(const fuzz::ScratchFile& file) { return CString(NarrowToWide(file.path().string()).c_str()); }

bool SameContent(const CDlgCalendarView& a, const CDlgCalendarView& b)
{
    return a.m_strInput == b.m_strInput && a.m_bViewTooltips == b.m_bViewTooltips && a.m_nDateFormat == b.m_nDateFormat;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::ScratchFolder scratch;
    fuzz::ScratchFile file(scratch, "fuzz.fmd", std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::ScratchFile copy(scratch, "copy.fmd", {});

    CDlgCalendarView page;
    page.m_strInput = L"untouched";
    const CDateFile::LoadResult result = CDateFile::Load(page, PathOf(file));
    if (result != CDateFile::LoadResult::Loaded) {
        if (page.m_strInput != L"untouched")
            __builtin_trap();
        return 0;
    }
    const int dateFormat = static_cast<int>(page.m_nDateFormat);
    if (page.m_strInput.GetLength() > CDlgCalendarView::InputLimit || dateFormat < 1 || dateFormat > 3)
        __builtin_trap();
    if (!CDateFile::Save(page, PathOf(copy)))
        __builtin_trap();
    CDlgCalendarView reloaded;
    if (CDateFile::Load(reloaded, PathOf(copy)) != CDateFile::LoadResult::Loaded || !SameContent(page, reloaded))
        __builtin_trap();
    return 0;
}
