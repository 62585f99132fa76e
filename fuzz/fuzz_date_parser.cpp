// Feeds arbitrary text to the date expression parser: the first byte picks the date format and
// whether the text is normalised, the rest is the expression (UTF-8, or Windows-1252 bytes).

#include "datetime/DateParser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static CDateParser parser;
    parser.DateFormat = 1 + data[0] % 3;
    bool normalize = (data[0] & 0x80) == 0;
    CString expression(NarrowToWide(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)));
    int errorPosition = 0;
    CString errorText;
    DateParseResult result = parser.Calculate(expression, errorPosition, errorText, normalize);
    // A reported position lies inside the text as typed, or just past its end.
    if (errorPosition < 0 || errorPosition > expression.GetLength() + 1) __builtin_trap();
    (void)result;
    return 0;
}
