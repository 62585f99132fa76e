#include "platform/script/SourceLines.h"

namespace script {

std::vector<std::wstring> SplitSourceLines(std::wstring_view text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'\n' || text[i] == L'\r') {
            lines.emplace_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n')
                ++i;
            start = i + 1;
        }
    }
    return lines;
}

} // namespace script
