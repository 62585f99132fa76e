#include "platform/sys/CodePage.h"

#include <cstdlib>

UINT OemCodePageOfLocale(std::string_view locale)
{
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = name.substr(0, name.find('_'));
    const std::string_view territory = name.find('_') == std::string_view::npos ? std::string_view() : name.substr(name.find('_') + 1);
    if (language == "ja")
        return 932;
    if (language == "ko")
        return 949;
    if (language == "zh")
        return territory == "TW" || territory == "HK" || territory == "MO" ? 950 : 936;
    return 437;
}

UINT GetOEMCP()
{
    for (const char* variable : { "LC_ALL", "LC_CTYPE", "LANG" }) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return OemCodePageOfLocale(value);
    }
    return OemCodePageOfLocale("C");
}
