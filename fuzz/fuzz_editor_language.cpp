// Reads arbitrary bytes as an editor language file and colours a few lines of script with the
// language it describes: whatever the file holds, reading and colouring must not fail.

#include "editor/Edit.h"
#include "editor/LangConfigStorage.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::ScratchFolder scratch;
    SECEditLangConfig language;
    {
        const fuzz::ScratchFile file(scratch, "language.ini", std::string_view(reinterpret_cast<const char*>(data), size));
        SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(CString(file.path().c_str()));
        reader->Read(&language);
        reader->Release();
    }

    SECEdit edit;
    edit.AttachLangConfig(&language);
    edit.SetText(L"Dim x = \"a\\\"b\" ' note\r\n/* one\r\ntwo */ If x Then 42\r\nREM end\t{ x }");
    for (int line = 0; line < edit.GetLineCount(); ++line) {
        const SECEditLineColor* runs = edit.GetLineColor(line);
        if (!runs)
            __builtin_trap();
        for (const SECEditTextColor& run : *runs)
            if (run.m_nColorGroup >= language.GetColorGroupCount())
                __builtin_trap();
    }
    edit.AttachLangConfig(nullptr);
    return 0;
}
