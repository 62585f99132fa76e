// What the compiler accepts beyond the round trip of platform/res's test script: where included
// files are found, which files a build depends on, and the source it generates.

#include "tools/rc/Diagnostics.h"
#include "tools/rc/ResourceScript.h"

#include <gtest/gtest.h>

using namespace fln::rc;

namespace {

const CompiledResource* Find(const CompiledScript& script, ResourceName type, ResourceName name)
{
    for (const CompiledResource& resource : script.resources) {
        if (resource.type == type && resource.name == name)
            return &resource;
    }
    return nullptr;
}

TEST(Compiler, IncludesAreFoundBesideTheIncludingFileThenInTheIncludeDirectories)
{
    MemoryFileSource files;
    files.Add("src/app.rc", "\xEF\xBB\xBF#include \"ids.h\"\n#include \"common/more.h\"\nID_A RCDATA { ID_B }\n");
    files.Add("src/ids.h", "#define ID_A 7\n int declarations(void); // ignored in a header\n");
    files.Add("shared/common/more.h", "#define ID_B 0x0102\n");
    files.Add("src/common/data.bin", "xyz");
    CompiledScript script = CompileScript(files, "src/app.rc", { "shared" });
    const CompiledResource* a = Find(script, { 10, {} }, { 7, {} });
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->data, (std::vector<std::uint8_t> { 0x02, 0x01 }));
    EXPECT_EQ(script.filesRead, (std::vector<std::string> { "src/app.rc", "src/ids.h", "shared/common/more.h" }));
}

TEST(Compiler, FilesNamedWithBackslashesAreDependencies)
{
    MemoryFileSource files;
    files.Add("app.rc", "1 RTF \"sub\\\\notes.rtf\"\n2 RTF \"sub/notes.rtf\"\n");
    files.Add("sub/notes.rtf", "{\\rtf1}");
    CompiledScript script = CompileScript(files, "app.rc");
    ASSERT_EQ(script.resources.size(), 2u);
    EXPECT_EQ(script.resources[0].type, (ResourceName { 0, u"RTF" }));
    EXPECT_EQ(std::string(script.resources[0].data.begin(), script.resources[0].data.end()), "{\\rtf1}");
    EXPECT_EQ(script.filesRead, (std::vector<std::string> { "app.rc", "sub/notes.rtf" }));
}

TEST(Compiler, UndefAndNestedConditions)
{
    MemoryFileSource files;
    files.Add("app.rc", "#define A 1\n#undef A\n#ifdef A\n1 RCDATA { 1 }\n#else\n#ifndef B\n2 RCDATA { 2 }\n#else\n3 RCDATA { 3 }\n#endif\n#endif\n");
    CompiledScript script = CompileScript(files, "app.rc");
    ASSERT_EQ(script.resources.size(), 1u);
    EXPECT_EQ(script.resources[0].name.id, 2);
}

TEST(Compiler, DefinesContinueOnTheNextLineAfterABackslash)
{
    MemoryFileSource files;
    files.Add("app.rc", "#define VALUE 1 + \\\r\n  2\n\n1 RCDATA { VALUE, @ }\n");
    try {
        CompileScript(files, "app.rc");
        FAIL();
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.Line(), 4); // lines are still counted across the joined line
        EXPECT_NE(error.Message().find("'@'"), std::string::npos);
    }
    files.Add("app.rc", "#define VALUE 1 + \\\n  2\n1 RCDATA { VALUE }\n");
    EXPECT_EQ(CompileScript(files, "app.rc").resources[0].data, (std::vector<std::uint8_t> { 3, 0 }));
}

TEST(Compiler, DialogFontFieldsFollowTheFontStatement)
{
    // DS_SHELLFONT includes DS_SETFONT, which announces font fields only a FONT statement writes.
    MemoryFileSource files;
    files.Add("app.rc", "1 DIALOGEX 0, 0, 10, 10\nSTYLE 0x48 | 0x80000000\nBEGIN\nEND\n");
    std::vector<std::uint8_t> data = CompileScript(files, "app.rc").resources[0].data;
    ASSERT_GE(data.size(), 16u);
    EXPECT_EQ(data[12], 0x08); // style: DS_SETFONT taken away
    EXPECT_EQ(data[15], 0x80);
    EXPECT_EQ(data.size(), 26u + 2 + 2 + 2); // header, no menu, no class, empty title, no font
}

TEST(Compiler, AnIconListsOneImagePerSizeInItsGroup)
{
    using namespace std::string_literals;
    const std::string onePixel = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1F\x15\xC4\x89\0\0\0\x0DIDAT"
        "\x78\x9C\x63\xF8\xCF\xC0\xF0\x1F\0\x05\0\x01\xFF\x89\x99\x3D\x1D\0\0\0\0IEND\xAE\x42\x60\x82"s;
    const std::string twoPixels = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x02\0\0\0\x02\x08\x06\0\0\0\x72\xB6\x0D\x24\0\0\0\x11IDAT"
        "\x78\x9C\x63\xF8\xCF\xC0\xF0\x1F\x84\x19\x60\x0C\0\x47\xCA\x07\xF9\x67\x59\x6E\xB7\0\0\0\0IEND\xAE\x42\x60\x82"s;
    MemoryFileSource files;
    files.Add("one.png", onePixel);
    files.Add("two.png", twoPixels);
    files.Add("app.rc", "5 ICON \"one.png\", \"two.png\"\n6 ICON \"two.png\"\n");
    CompiledScript script = CompileScript(files, "app.rc");
    const CompiledResource* group = Find(script, { 14, {} }, { 5, {} });
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->data.size(), 6u + 2 * 14);
    EXPECT_EQ(group->data[4], 2); // two entries
    EXPECT_EQ(group->data[6], 1); // 1 x 1, image 1
    EXPECT_EQ(group->data[6 + 12], 1);
    EXPECT_EQ(group->data[20], 2); // 2 x 2, image 2
    EXPECT_EQ(group->data[20 + 12], 2);
    const CompiledResource* second = Find(script, { 3, {} }, { 2, {} });
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(std::string(second->data.begin(), second->data.end()), twoPixels);
    const CompiledResource* single = Find(script, { 14, {} }, { 6, {} });
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->data[4], 1);
    EXPECT_EQ(single->data[6 + 12], 3); // its own copy, image 3
}

TEST(Compiler, AProgramsScriptsCompiledTogetherNumberTheirImagesApartAndShareStringBlocks)
{
    using namespace std::string_literals;
    const std::string onePixel = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1F\x15\xC4\x89\0\0\0\x0DIDAT"
        "\x78\x9C\x63\xF8\xCF\xC0\xF0\x1F\0\x05\0\x01\xFF\x89\x99\x3D\x1D\0\0\0\0IEND\xAE\x42\x60\x82"s;
    MemoryFileSource files;
    files.Add("one.png", onePixel);
    files.Add("shell.rc", "#define ID_APP 1\nID_APP ICON \"one.png\"\nSTRINGTABLE { 16 \"shell\" }\n");
    files.Add("page.rc", "2 ICON \"one.png\"\nSTRINGTABLE { 17 \"page\" }\n#ifdef ID_APP\n3 RCDATA { 1 }\n#endif\n");
    CompiledScript script = CompileScripts(files, { "shell.rc", "page.rc" });
    const CompiledResource* second = Find(script, { 14, {} }, { 2, {} });
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->data[6 + 12], 2); // the second script's image follows the first's
    EXPECT_NE(Find(script, { 3, {} }, { 2, {} }), nullptr);
    const CompiledResource* block = Find(script, { 6, {} }, { 2, {} });
    ASSERT_NE(block, nullptr); // strings 16 and 17, from two scripts, in one block
    EXPECT_EQ(block->data[0], 5);
    EXPECT_EQ(block->data[2 + 10], 4);
    EXPECT_EQ(Find(script, { 10, {} }, { 3, {} }), nullptr); // each script has its own definitions
    EXPECT_EQ(script.filesRead, (std::vector<std::string> { "shell.rc", "one.png", "page.rc" }));

    files.Add("again.rc", "2 ICON \"one.png\"\n");
    try {
        CompileScripts(files, { "page.rc", "again.rc" });
        FAIL() << "a resource defined in two scripts";
    } catch (const ScriptError& error) {
        EXPECT_NE(error.Message().find("same type and name"), std::string::npos);
    }
}

TEST(Compiler, StringTablesAreGroupedInBlocksOfSixteen)
{
    MemoryFileSource files;
    files.Add("app.rc", "STRINGTABLE { 17 \"b\" }\nSTRINGTABLE { 65535 \"z\" 0 \"\" 1 L\"\\x263A\" }\n");
    CompiledScript script = CompileScript(files, "app.rc");
    ASSERT_EQ(script.resources.size(), 3u);
    const CompiledResource* first = Find(script, { 6, {} }, { 1, {} });
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->data.size(), 16 * 2 + 2);
    EXPECT_EQ(first->data[2], 1);    // slot 1: length 1
    EXPECT_EQ(first->data[4], 0x3A); // then U+263A
    EXPECT_EQ(first->data[5], 0x26);
    EXPECT_NE(Find(script, { 6, {} }, { 2, {} }), nullptr);
    const CompiledResource* last = Find(script, { 6, {} }, { 4096, {} });
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->data[30], 1); // slot 15
}

TEST(Compiler, GeneratedSourceIndexesEveryResource)
{
    MemoryFileSource files;
    files.Add("app.rc", "Name \"Type\" { \"\xF0\x9D\x84\x9E\" }\n5 RCDATA { }\n");
    CompiledScript script = CompileScript(files, "app.rc");
    std::string source = GenerateCppSource(script, "app.rc");
    EXPECT_NE(source.find("{ 0, kType0, 0, kName0, kData0, 4 }"), std::string::npos) << source;
    EXPECT_NE(source.find("const wchar_t kType0[] = { 84, 89, 80, 69, 0 };"), std::string::npos);
    EXPECT_NE(source.find("kData0[] = {\n    240,157,132,158,\n};"), std::string::npos);
    EXPECT_NE(source.find("{ 10, nullptr, 5, nullptr, kData1, 0 }"), std::string::npos);
    EXPECT_NE(source.find("LinkedResourceRegistration"), std::string::npos);
    EXPECT_EQ(GenerateCppSource({}, "empty.rc").find("LinkedResourceRegistration"), std::string::npos);
}

}
