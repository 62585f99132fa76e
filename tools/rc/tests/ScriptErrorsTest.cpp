// Malformed scripts: each is reported with the file and line of the fault, and never crashes
// the compiler.

#include "tools/rc/Diagnostics.h"
#include "tools/rc/ResourceScript.h"

#include <gtest/gtest.h>

using namespace fln::rc;

namespace {

struct ErrorCase {
    const char* script;
    int line;
    const char* message;
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.script; }

std::string CaseNumber(const testing::TestParamInfo<ErrorCase>& info) { return std::to_string(info.index); }

class ScriptErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(ScriptErrors, NameTheFileAndLine)
{
    MemoryFileSource files;
    files.Add("dir/ids.h", "#define IDD_X 100\n#define BAD (1 +\n#define LOOP LOOP LOOP\n#define F(x) x\n");
    files.Add("dir/bad.png", "not an image");
    files.Add("dir/wide.png", std::string("\x89PNG\r\n\x1a\n", 8));
    files.Add("dir/script.rc", GetParam().script);
    try {
        CompileScript(files, "dir/script.rc");
        FAIL() << "compiled without an error";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.File(), "dir/script.rc");
        EXPECT_EQ(error.Line(), GetParam().line) << error.what();
        EXPECT_NE(error.Message().find(GetParam().message), std::string::npos) << error.what();
        EXPECT_EQ(std::string(error.what()), "dir/script.rc:" + std::to_string(error.Line()) + ": error: " + error.Message());
    }
}

INSTANTIATE_TEST_SUITE_P(Preprocessor, ScriptErrors, testing::Values(
    ErrorCase { "\n#include \"missing.h\"\n", 2, "cannot open \"dir/missing.h\"" },
    ErrorCase { "#include\n", 1, "#include needs a file name" },
    ErrorCase { "#ifdef X\n1 RCDATA { 1 }\n", 3, "#ifdef without #endif" },
    ErrorCase { "\n\n#endif\n", 3, "#endif without #ifdef" },
    ErrorCase { "#ifdef X\n#else\n#else\n#endif\n", 3, "a second #else" },
    ErrorCase { "#if 1\n#endif\n", 1, "#if is not supported" },
    ErrorCase { "#define\n", 1, "#define needs a name" },
    ErrorCase { "#warning hello\n", 1, "unknown directive #warning" },
    ErrorCase { "#include \"ids.h\"\n1 RCDATA { F(2) }\n", 2, "takes arguments" },
    ErrorCase { "#include \"ids.h\"\n\n1 RCDATA { LOOP }\n", 3, "undefined name 'LOOP'" },
    ErrorCase { "#include \"ids.h\"\n1 RCDATA { BAD }\n", 2, "expected a number, found '}'" },
    ErrorCase { "/* never closed\n\n", 1, "unterminated comment" },
    ErrorCase { "1 RCDATA {\n \"abc\n}\n", 2, "unterminated string" },
    ErrorCase { "1 RCDATA { \"\xC3\x28\" }\n", 1, "not valid UTF-8" },
    ErrorCase { "\n1 RCDATA { 0x }\n", 2, "malformed number" },
    ErrorCase { "1 RCDATA { 12abc }\n", 1, "malformed number" },
    ErrorCase { "1 RCDATA { 4294967296 }\n", 1, "too large for 32 bits" },
    ErrorCase { "1 RCDATA { @ }\n", 1, "unexpected character '@'" }), CaseNumber);

INSTANTIATE_TEST_SUITE_P(Statements, ScriptErrors, testing::Values(
    ErrorCase { "1 RCDATA { 1 / 0 }\n", 1, "division by zero" },
    ErrorCase { "1 RCDATA { 1,\n 2\n", 3, "missing END" },
    ErrorCase { "1 RCDATA\n 5\n", 2, "expected a file name or BEGIN" },
    ErrorCase { "1\n", 1, "a resource name without a type" },
    ErrorCase { "1 RCDATA { 1 }\n1 RCDATA { 2 }\n", 2, "a second resource of the same type and name" },
    ErrorCase { "70000 RCDATA { 1 }\n", 1, "does not fit in 16 bits" },
    ErrorCase { "1 RTF \"missing.rtf\"\n", 1, "cannot open \"dir/missing.rtf\"" },
    ErrorCase { "1 DIALOG 0, 0, 10, 10\nBEGIN\n PUSHBUTTON \"a\", 70000, 0, 0, 5, 5\nEND\n", 3, "write DIALOGEX" },
    ErrorCase { "1 DIALOGEX 0, 0, 10\nBEGIN\nEND\n", 2, "expected ','" },
    ErrorCase { "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n LTEXT \"a\", 1, 0, 0, 5\nEND\n", 4, "expected ','" },
    ErrorCase { "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n BUTTONX \"a\", 1, 0, 0, 5, 5\nEND\n", 3, "expected a control statement" },
    ErrorCase { "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n CONTROL \"a\", 1, WIDGET, 0, 0, 0, 5, 5\nEND\n", 3, "unknown window class WIDGET" },
    ErrorCase { "1 DIALOGEX 0, 0, 10, 10\nCAPTION 5\nBEGIN\nEND\n", 2, "expected the caption in quotes" },
    ErrorCase { "1 MENU\nBEGIN\n MENUITEM \"a\"\nEND\n", 4, "expected ','" },
    ErrorCase { "1 MENU\nBEGIN\n POPUP \"a\"\n BEGIN\n END\nEND\n", 3, "needs at least one item" },
    ErrorCase { "1 MENUEX\nBEGIN\n POPUP \"a\"\n BEGIN\n END\nEND\n", 3, "needs at least one item" },
    ErrorCase { "1 MENU\nBEGIN\n ITEM \"a\", 1\nEND\n", 3, "expected MENUITEM or POPUP" },
    ErrorCase { "1 ACCELERATORS\nBEGIN\n \"ab\", 1\nEND\n", 3, "one character" },
    ErrorCase { "1 ACCELERATORS\nBEGIN\n \"^1\", 1\nEND\n", 3, "followed by a letter" },
    ErrorCase { "1 ACCELERATORS\nBEGIN\n \"a\", 1, CONTROL\nEND\n", 3, "SHIFT or CONTROL needs VIRTKEY" },
    ErrorCase { "1 ACCELERATORS\nBEGIN\n \"^A\", 1, VIRTKEY\nEND\n", 3, "cannot be VIRTKEY" },
    ErrorCase { "1 ACCELERATORS\nBEGIN\n 65, 1, ASCII, VIRTKEY\nEND\n", 3, "both ASCII and VIRTKEY" },
    ErrorCase { "1 ACCELERATORS\nBEGIN\n 65, 1, CTRL\nEND\n", 3, "unknown accelerator option 'CTRL'" },
    ErrorCase { "STRINGTABLE\nBEGIN\n 1 \"a\"\n\n 1 \"b\"\nEND\n", 5, "string id 1 is already in a string table" },
    ErrorCase { "STRINGTABLE\nBEGIN\n 1 2\nEND\n", 3, "expected the string in quotes" },
    ErrorCase { "1 TOOLBAR 16, 15\nBEGIN\n BUTTON 1\n SPACE\nEND\n", 4, "expected BUTTON or SEPARATOR" },
    ErrorCase { "1 VERSIONINFO\nBEGIN\n VALUE \"a\", \"x\", 1\nEND\n", 3, "mixes text and numbers" },
    ErrorCase { "1 VERSIONINFO\nBEGIN\n DATA \"a\"\nEND\n", 3, "expected BLOCK or VALUE" },
    ErrorCase { "1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n  BLOCK \"040904b0\"\n  BEGIN\n   VALUE \"Build\", 5\n  END\n END\nEND\n", 7, "write it in quotes" },
    ErrorCase { "1 BITMAP \"bad.png\"\n", 1, "not a readable PNG image" },
    ErrorCase { "1 ICON \"wide.png\"\n", 1, "not a readable PNG image" },
    ErrorCase { "1 BITMAP\n", 2, "expected the PNG file name" }), CaseNumber);

TEST(ScriptErrors, FaultsInAnIncludedFileNameThatFile)
{
    MemoryFileSource files;
    files.Add("main.rc", "#include \"part.rc\"\n");
    files.Add("part.rc", "1 RCDATA { 1 }\n\n2 RCDATA { ( }\n");
    try {
        CompileScript(files, "main.rc");
        FAIL();
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.File(), "part.rc");
        EXPECT_EQ(error.Line(), 3);
    }
}

TEST(ScriptErrors, DeepNestingIsAnErrorNotACrash)
{
    MemoryFileSource files;
    std::string parentheses = "1 RCDATA { " + std::string(100000, '(') + "1" + std::string(100000, ')') + " }\n";
    std::string menus = "1 MENU\nBEGIN\n";
    for (int i = 0; i < 10000; ++i)
        menus += "POPUP \"a\" BEGIN\n";
    std::string includes = "#include \"self.rc\"\n";
    std::string expansion = "#define A1 1 1 1 1 1 1 1 1 1 1\n";
    for (int i = 2; i < 12; ++i)
        expansion += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
    expansion += "1 RCDATA { A11 }\n";
    const std::pair<std::string, const char*> cases[] = {
        { parentheses, "nested too deeply" },
        { menus, "nested too deeply" },
        { includes, "#include nested too deeply" },
        { expansion, "too many tokens" },
    };
    for (const auto& [script, message] : cases) {
        files.Add("self.rc", script);
        try {
            CompileScript(files, "self.rc");
            ADD_FAILURE() << message;
        } catch (const ScriptError& error) {
            EXPECT_NE(error.Message().find(message), std::string::npos) << error.what();
        }
    }
}

TEST(ScriptErrors, AMissingScriptIsReported)
{
    MemoryFileSource files;
    EXPECT_THROW(CompileScript(files, "none.rc"), ScriptError);
}

}
