// Loads arbitrary bytes as a Formula page parameter file (".fm"), saves what was loaded to another
// file and loads that: whatever the file held, the page gets texts and a number format in range,
// and what it saves reads back as the same content.

#include "app/ParameterFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

bool SameContent(const FormulaPageContent& a, const FormulaPageContent& b)
{
    return a.formula == b.formula && a.derivative == b.derivative && a.physConstValue == b.physConstValue
        && a.constants == b.constants && a.x == b.x && a.digits == b.digits && a.xa == b.xa && a.xb == b.xb
        && a.numberFormat == b.numberFormat && a.verify == b.verify && a.viewTooltips == b.viewTooltips;
}

CString PathOf(const fuzz::ScratchFile& file) { return CString(NarrowToWide(file.path().string()).c_str()); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::ScratchFolder scratch;
    fuzz::ScratchFile file(scratch, "fuzz.fm", std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::ScratchFile copy(scratch, "copy.fm", {});

    FormulaPageContent loaded;
    {
        CIniFile ini;
        if (!LoadFormulaPageContent(ini, PathOf(file), loaded))
            return 0;
    }
    if (loaded.numberFormat < 1 || loaded.numberFormat > 8)
        __builtin_trap();
    {
        CIniFile ini;
        SaveFormulaPageContent(ini, PathOf(copy), loaded);
    }
    FormulaPageContent reloaded;
    CIniFile ini;
    if (!LoadFormulaPageContent(ini, PathOf(copy), reloaded) || !SameContent(loaded, reloaded))
        __builtin_trap();
    return 0;
}
