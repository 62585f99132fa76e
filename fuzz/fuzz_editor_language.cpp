// Reads arbitrary bytes as an editor language file and colours a few lines of script with the
// language it describes: whatever the file holds, reading and colouring must not fail.

#include "editor/Edit.h"
#include "editor/LangConfigStorage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = "/tmp/fln-fuzz-language-" + std::to_string(::getpid()) + ".ini";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SECEditLangConfig language;
    SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(CString(path.c_str()));
    reader->Read(&language);
    reader->Release();
    std::remove(path.c_str());

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
