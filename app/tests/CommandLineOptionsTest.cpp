#include "app/CommandLineOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<CString> Arguments(std::initializer_list<const wchar_t*> rest)
{
    std::vector<CString> arguments { L"/usr/bin/formulon" };
    arguments.insert(arguments.end(), rest.begin(), rest.end());
    return arguments;
}

TEST(CommandLineOptions, ParsesOptionsWithTheirValues)
{
    struct Case {
        std::initializer_list<const wchar_t*> arguments;
        int count;
        std::vector<std::pair<const wchar_t*, std::vector<CString>>> options;
    };
    const Case cases[] = {
        { {}, 0, {} },
        { { L"-f", L"a", L"b" }, 1, { { L"-f", { L"a", L"b" } } } },
        { { L"-m", L"-e" }, 2, { { L"-m", { L"" } }, { L"-e", { L"" } } } },
        { { L"-m", L"x", L"-e" }, 2, { { L"-m", { L"x" } }, { L"-e", { L"" } } } },
        { { L"x" }, 0, {} },
        { { L"-5" }, 0, {} },
        { { L"-x", L"-5", L"7" }, 1, { { L"-x", { L"-5", L"7" } } } },
        { { L"-f", L"one", L"-f", L"two", L"three" }, 1, { { L"-f", { L"one", L"three" } } } },
        { { L"-", L"-M" }, 1, { { L"-M", { L"" } } } },
    };
    for (const Case& c : cases) {
        CCommandLineOptions options;
        std::vector<CString> arguments = Arguments(c.arguments);
        EXPECT_EQ(options.ParseCommandLine(arguments), c.count) << arguments.size();
        for (const auto& [option, values] : c.options) {
            EXPECT_TRUE(options.GetOptionValues(option)) << option;
            EXPECT_EQ(options.Values(option), values) << option;
        }
    }
}

TEST(CommandLineOptions, OptionsAreCaseSensitive)
{
    CCommandLineOptions options;
    std::vector<CString> arguments = Arguments({ L"-M" });
    options.ParseCommandLine(arguments);
    EXPECT_FALSE(options.GetOptionValues(L"-m"));
    EXPECT_TRUE(options.GetOptionValues(L"-M"));
}

TEST(CommandLineOptions, AnOptionIsADashFollowedByANonDigit)
{
    EXPECT_FALSE(CCommandLineOptions::IsOptionArgument(nullptr));
    EXPECT_FALSE(CCommandLineOptions::IsOptionArgument(L"-"));
    EXPECT_FALSE(CCommandLineOptions::IsOptionArgument(L"-0"));
    EXPECT_FALSE(CCommandLineOptions::IsOptionArgument(L"m-"));
    EXPECT_TRUE(CCommandLineOptions::IsOptionArgument(L"-m"));
    EXPECT_TRUE(CCommandLineOptions::IsOptionArgument(L"--"));
}

} // namespace
