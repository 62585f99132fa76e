#include "app/CommandLineOptions.h"

#include <cwchar>

BOOL CCommandLineOptions::IsOptionArgument(LPCWSTR text)
{
    return text && std::wcslen(text) >= 2 && text[0] == L'-' && !(text[1] >= L'0' && text[1] <= L'9');
}

int CCommandLineOptions::ParseCommandLine(std::span<const CString> arguments)
{
    m_options.clear();
    if (arguments.size() < 2)
        return 0;
    std::wstring current;
    for (size_t i = 1; i < arguments.size(); ++i) {
        LPCWSTR argument = arguments[i];
        if (IsOptionArgument(argument)) {
            current = argument;
            CString first;
            if (i + 1 < arguments.size() && !IsOptionArgument(arguments[i + 1]))
                first = arguments[++i];
            m_options.try_emplace(current, std::vector<CString> { first });
        } else if (auto option = m_options.find(current); option != m_options.end()) {
            option->second.push_back(argument);
        }
    }
    return static_cast<int>(m_options.size());
}

BOOL CCommandLineOptions::GetOptionValues(const CString& option) const
{
    return m_options.contains(option.str());
}

std::vector<CString> CCommandLineOptions::Values(const CString& option) const
{
    auto found = m_options.find(option.str());
    return found == m_options.end() ? std::vector<CString> {} : found->second;
}
