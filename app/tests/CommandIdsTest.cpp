// Every command reaches the main frame by its number alone, and the frame offers it to the active
// view first: two commands that share a number do each other's work. The program's own resource
// headers, the editor's and the framework's command numbers are read from the sources here and
// must give each number one name.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Definition {
    std::string name;
    std::string file;
};

// The command numbers a header defines at namespace level: "#define ID_..." and "constexpr UINT
// ID_... = ..." (which may run over several lines). A class's own numbers (static members, for a
// control's own menu) never reach the frame and are left out.
void CollectCommandIds(const fs::path& header, std::multimap<unsigned long, Definition>& ids)
{
    std::ifstream in(header);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    const std::string file = header.filename().string();
    static const std::regex define(R"(^[ \t]*#define[ \t]+(ID_\w+)[ \t]+(0[xX][0-9A-Fa-f]+|\d+)\b)", std::regex::multiline);
    for (std::sregex_iterator it(text.begin(), text.end(), define), end; it != end; ++it)
        ids.insert({ std::stoul((*it)[2], nullptr, 0), { (*it)[1], file } });
    static const std::regex declaration(R"(^[ \t]*(?:inline[ \t]+)?constexpr[^;]*;)", std::regex::multiline);
    static const std::regex constant(R"(\b(ID_\w+)\s*=\s*(0[xX][0-9A-Fa-f]+|\d+)\b)");
    for (std::sregex_iterator it(text.begin(), text.end(), declaration), end; it != end; ++it) {
        const std::string statement = it->str();
        for (std::sregex_iterator c(statement.begin(), statement.end(), constant); c != end; ++c)
            ids.insert({ std::stoul((*c)[2], nullptr, 0), { (*c)[1], file } });
    }
}

TEST(CommandIds, NoTwoCommandsRoutedThroughTheFrameShareANumber)
{
    const fs::path root = fs::path(FLN_README).parent_path();
    std::multimap<unsigned long, Definition> ids;
    size_t headers = 0;
    for (const char* folder : { "res", "app", "editor", "commandbars", "framework", "controls", "diagrams", "datetime", "platform/mfc" }) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const fs::path& path = entry.path();
            if (path.extension() != ".h" || path.string().find("/tests/") != std::string::npos)
                continue;
            CollectCommandIds(path, ids);
            ++headers;
        }
    }
    ASSERT_GT(headers, 0u);
    // Known numbers are read: the editor's delete-word command and the update check's notice.
    auto named = [&](const std::string& name) {
        return std::ranges::any_of(ids, [&](const auto& id) { return id.second.name == name; });
    };
    EXPECT_TRUE(named("ID_EDIT_DELETE_WORD_RIGHT"));
    EXPECT_TRUE(named("ID_UPDATE_CHECK_DONE"));
    EXPECT_TRUE(named("ID_WINDOW_CASCADE")) << "a declaration over several lines";

    for (auto first = ids.begin(); first != ids.end();) {
        const auto last = ids.upper_bound(first->first);
        std::set<std::string> names;
        std::string where;
        for (auto it = first; it != last; ++it) {
            names.insert(it->second.name);
            where += " " + it->second.name + " (" + it->second.file + ")";
        }
        EXPECT_EQ(names.size(), 1u) << "command " << first->first << " has several names:" << where;
        first = last;
    }
}

} // namespace
