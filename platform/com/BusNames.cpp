#include "platform/com/BusNames.h"

#include <vector>

namespace {

std::vector<std::string> Elements(std::wstring_view progId)
{
    std::vector<std::string> elements(1);
    for (wchar_t c : progId) {
        if (c == L'.') {
            elements.emplace_back();
            continue;
        }
        bool plain = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_';
        elements.back() += plain ? static_cast<char>(c) : '_';
    }
    for (std::string& e : elements)
        if (e.empty() || (e[0] >= '0' && e[0] <= '9'))
            e.insert(e.begin(), '_');
    return elements;
}

} // namespace

std::string BusNameFromProgId(std::wstring_view progId)
{
    std::string name(kAutomationBusPrefix);
    std::vector<std::string> elements = Elements(progId);
    for (size_t i = 0; i < elements.size(); ++i)
        name += (i ? "." : "") + elements[i];
    return name;
}

std::string ObjectPathFromProgId(std::wstring_view progId)
{
    std::string path;
    for (const std::string& e : Elements(progId))
        path += "/" + e;
    return path;
}
