#pragma once
// The program's own switches ("-m", "-e", "-f"): an ordered map from each option to the values
// written after it. "-f a b" gives "-f" the values a and b; an option followed directly by another
// option, or by nothing, gets one empty value; the first occurrence of an option wins. A leading
// "-" followed by a digit is a value (a negative number), not an option.

#include "platform/base/CString.h"

#include <map>
#include <span>
#include <string>
#include <vector>

class CCommandLineOptions {
public:
    // arguments[0] is the program and is never read. Returns the number of options found.
    int ParseCommandLine(std::span<const CString> arguments);
    // TRUE when the option was given.
    BOOL GetOptionValues(const CString& option) const;
    // The values of an option, empty when it was not given.
    std::vector<CString> Values(const CString& option) const;
    static BOOL IsOptionArgument(LPCWSTR text);

private:
    // Keyed by the option's UTF-16 text, compared case-sensitively.
    std::map<std::wstring, std::vector<CString>> m_options;
};
