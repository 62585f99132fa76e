// libFuzzer target: the resource compiler never crashes on a script, and the template readers
// never read outside what they are given (compiled templates and raw bytes alike).

#include "platform/res/Templates.h"
#include "tools/rc/Diagnostics.h"
#include "tools/rc/ResourceScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void ReadTemplates(const std::uint8_t* data, std::size_t size)
{
    fln::res::DecodeMenuTemplate(data, size);
    fln::res::DecodeDialogTemplate(data, size);
    fln::res::DecodeAcceleratorTable(data, size);
    fln::res::DecodeToolBarTemplate(data, size);
    fln::res::DecodeIconGroup(data, size, false);
    fln::res::DecodeIconGroup(data, size, true);
}

// A 1 x 1 opaque white PNG, so that scripts can reach the image statements.
const unsigned char kTinyPng[] = {
    137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 73, 72, 68, 82, 0, 0, 0, 1, 0, 0, 0, 1, 8, 6, 0, 0, 0, 31, 21, 196, 137,
    0, 0, 0, 11, 73, 68, 65, 84, 120, 156, 99, 248, 15, 4, 0, 9, 251, 3, 253, 251, 94, 107, 43, 0, 0, 0, 0, 73, 69, 78,
    68, 174, 66, 96, 130,
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadTemplates(data, size);

    fln::rc::MemoryFileSource files;
    files.Add("fuzz.rc", std::string(reinterpret_cast<const char*>(data), size));
    files.Add("ids.h", "#define IDD_ONE 100\n#define WS_CHILD 0x40000000L\n");
    files.Add("image.png", std::string(reinterpret_cast<const char*>(kTinyPng), sizeof kTinyPng));
    try {
        fln::rc::CompiledScript script = fln::rc::CompileScript(files, "fuzz.rc");
        for (const fln::rc::CompiledResource& resource : script.resources)
            ReadTemplates(resource.data.data(), resource.data.size());
        fln::rc::GenerateCppSource(script, "fuzz.rc");
    } catch (const fln::rc::ScriptError&) {
    }
    return 0;
}
