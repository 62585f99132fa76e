// Reads arbitrary bytes as an editor language file and sets it as the language of an edit with a few
// lines of script, which colours them and makes the edit's font from it: whatever the file holds,
// reading, colouring and the font must not fail.

#include "editor/Edit.h"
#include "editor/LangConfigStorage.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// The edit lives across inputs with its few lines of script; each input's language reaches it as
// the program sets a language, which colours the lines and makes the font afresh.
SECEdit& Edit()
{
    static SECEdit* edit = [] {
        auto* made = new SECEdit;
        made->SetText(L"Dim x = \"a\\\"b\" ' note\r\n/* one\r\ntwo */ If x Then 42\r\nREM end\t{ x }");
        return made;
    }();
    return *edit;
}

} // namespace

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

    SECEdit& edit = Edit();
    edit.AttachLangConfig(&language);
    SECEditMsg changed(SECEDIT_INVALIDATE_COLORING);
    changed.AddRef();
    edit.OnUpdate(&language, &changed);
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
