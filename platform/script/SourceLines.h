#pragma once
// Script text as lines, for the source line an error report shows.

#include <string>
#include <string_view>
#include <vector>

namespace script {

// The lines of a text, split at CR LF, CR or LF.
std::vector<std::wstring> SplitSourceLines(std::wstring_view text);

} // namespace script
