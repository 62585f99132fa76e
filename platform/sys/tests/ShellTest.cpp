#include "platform/sys/Shell.h"

#include <gtest/gtest.h>

TEST(Shell, OpeningHandsTheFileToTheDesktopOpener)
{
    std::vector<std::vector<std::string>> launched;
    auto previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        launched.push_back(arguments);
        return true;
    });
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", L"https://example.org/a b", nullptr, nullptr, 1)), 32);
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, L"/tmp/r\u00e9sum\u00e9.txt", nullptr, nullptr, 1)), 32);
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[0], (std::vector<std::string> { "xdg-open", "https://example.org/a b" }));
    EXPECT_EQ(launched[1][1], "/tmp/r\xC3\xA9sum\xC3\xA9.txt");

    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"print", L"/tmp/x", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", L"", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
    SetShellLauncher([](const std::vector<std::string>&) { return false; });
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", L"/tmp/x", nullptr, nullptr, 1)), SE_ERR_FNF);
    EXPECT_EQ(launched.size(), 2u);
    SetShellLauncher(std::move(previous));
}
