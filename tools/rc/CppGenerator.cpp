#include "tools/rc/ResourceScript.h"

#include <cstdio>

namespace fln::rc {

namespace {

// A name as a zero-terminated wchar_t array (surrogate pairs joined), so no literal escapes are needed.
std::string WideArray(const std::u16string& text)
{
    std::string out = "{ ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        out += std::to_string(static_cast<std::uint32_t>(c)) + ", ";
    }
    return out + "0 }";
}

void AppendBytes(std::string& out, const std::vector<std::uint8_t>& data)
{
    if (data.empty()) {
        out += "0";
        return;
    }
    char buffer[8];
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i % 24 == 0)
            out += "\n    ";
        std::snprintf(buffer, sizeof buffer, "%u,", data[i]);
        out += buffer;
    }
}

}

std::string GenerateCppSource(const CompiledScript& script, const std::string& scriptNames)
{
    std::string out = "// Generated from " + scriptNames + " by the resource compiler; do not edit.\n"
                      "#include \"platform/res/LinkedResources.h\"\n\n"
                      "#include <iterator>\n\n"
                      "namespace {\n\n";
    std::string entries;
    for (std::size_t i = 0; i < script.resources.size(); ++i) {
        const CompiledResource& resource = script.resources[i];
        const std::string index = std::to_string(i);
        out += "alignas(8) const unsigned char kData" + index + "[] = {";
        AppendBytes(out, resource.data);
        out += "\n};\n";
        std::string typeName = "nullptr", name = "nullptr";
        if (resource.type.IsName()) {
            out += "const wchar_t kType" + index + "[] = " + WideArray(resource.type.name) + ";\n";
            typeName = "kType" + index;
        }
        if (resource.name.IsName()) {
            out += "const wchar_t kName" + index + "[] = " + WideArray(resource.name.name) + ";\n";
            name = "kName" + index;
        }
        entries += "    { " + std::to_string(resource.type.id) + ", " + typeName + ", " + std::to_string(resource.name.id) + ", "
            + name + ", kData" + index + ", " + std::to_string(resource.data.size()) + " },\n";
    }
    if (script.resources.empty()) {
        out += "\n}\n";
        return out;
    }
    out += "\nconst fln::res::LinkedResource kResources[] = {\n" + entries + "};\n\n"
           "const fln::res::LinkedResourceRegistration kRegistration(kResources, std::size(kResources));\n\n"
           "}\n";
    return out;
}

}
