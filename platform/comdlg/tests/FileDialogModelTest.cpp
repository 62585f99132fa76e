// The file dialog's model: filters, wildcards, typed paths, folder listings and the "Look in" places.

#include "FileSystemFixture.h"

#include "platform/comdlg/FileDialogModel.h"

#include <gtest/gtest.h>

using namespace fln::comdlg;

TEST(FileDialogModelTest, FilterStringsBecomeTypes)
{
    struct Case {
        std::wstring_view filter; // with its NULs
        std::vector<FileType> expected;
    };
    const Case cases[] = {
        { std::wstring_view(L"Parameter (.fm)\0*.fm\0All Files (*.*)\0*.*\0\0", 44),
            { { L"Parameter (.fm)", { L"*.fm" } }, { L"All Files (*.*)", { L"*.*" } } } },
        { std::wstring_view(L"Both\0*.fm; *.txt;\0\0", 19), { { L"Both", { L"*.fm", L"*.txt" } } } },
        { std::wstring_view(L"No patterns\0\0", 13), {} },
        { std::wstring_view(L"\0\0", 2), {} },
    };
    for (const auto& c : cases) {
        std::wstring filter(c.filter);
        auto types = ParseFilter(filter.c_str());
        ASSERT_EQ(types.size(), c.expected.size()) << filter.c_str();
        for (std::size_t i = 0; i < types.size(); ++i) {
            EXPECT_EQ(types[i].description, c.expected[i].description);
            EXPECT_EQ(types[i].patterns, c.expected[i].patterns);
        }
    }
    EXPECT_TRUE(ParseFilter(nullptr).empty());
}

TEST(FileDialogModelTest, WildcardsMatchNamesIgnoringCase)
{
    struct Case {
        std::wstring name;
        const wchar_t* pattern;
        bool matches;
    };
    const Case cases[] = {
        { L"a.fm", L"*.fm", true },        { L"A.FM", L"*.fm", true },      { L"a.fmx", L"*.fm", false },
        { L"README", L"*.*", true },       { L"x.txt", L"?.txt", true },    { L"xy.txt", L"?.txt", false },
        { L"data.tar.gz", L"*.gz", true }, { L"abab", L"*ab", true },       { L"abc", L"a*b*c*", true },
        { L"", L"*", true },               { L"a", L"", false },            { std::wstring(60, L'a'), L"*a*a*a*b", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(FileDialogModelTest, TypedNamesBecomeCleanAbsolutePaths)
{
    struct Case {
        const wchar_t* typed;
        const wchar_t* expected;
    };
    const Case cases[] = {
        { L"a.fm", L"/data/work/a.fm" },    { L"sub/b.txt", L"/data/work/sub/b.txt" },
        { L"..", L"/data" },                { L"../../..", L"/" },
        { L"/etc//x", L"/etc/x" },          { L"sub\\c.fm", L"/data/work/sub/c.fm" },
        { L"~", L"/home/ann" },             { L"~/Documents/./d.fm", L"/home/ann/Documents/d.fm" },
        { L"~ann", L"/data/work/~ann" },    { L"./", L"/data/work" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveTypedPath(L"/data/work", c.typed, L"/home/ann"), c.expected) << c.typed;
}

TEST(FileDialogModelTest, PathPieces)
{
    EXPECT_EQ(ParentFolder(L"/a/b"), L"/a");
    EXPECT_EQ(ParentFolder(L"/a"), L"/");
    EXPECT_EQ(ParentFolder(L"/"), L"/");
    EXPECT_EQ(JoinPath(L"/", L"x"), L"/x");
    EXPECT_EQ(JoinPath(L"/a", L"x"), L"/a/x");
    EXPECT_EQ(FileNameOf(L"/a/b.fm"), L"b.fm");
    EXPECT_EQ(ExtensionOffset(L"/a/b.fm"), 5u);
    EXPECT_EQ(ExtensionOffset(L"/a.d/b"), std::wstring::npos);
    EXPECT_EQ(ExtensionOffset(L"/a/.hidden"), std::wstring::npos);
    EXPECT_EQ(ExtensionOffset(L"/a/b."), std::wstring::npos);
}

TEST(FileDialogModelTest, ListingsShowFoldersFirstAndFilesOfTheType)
{
    TempTree tree;
    for (auto folder : { "zeta", "Alpha", ".hidden-folder" })
        tree.Folder(folder);
    for (auto file : { "b.fm", "A.FM", "c.txt", ".hidden.fm", "zeta.fm.bak" })
        tree.File(file);

    using Entries = std::vector<FolderEntry>;
    EXPECT_EQ(ListFolder(tree.Path(), { L"*.fm" }),
        (Entries { { L"Alpha", true }, { L"zeta", true }, { L"A.FM", false }, { L"b.fm", false } }));
    EXPECT_EQ(ListFolder(tree.Path(), { L"*.fm", L"*.txt" }).size(), 5u);
    EXPECT_EQ(ListFolder(tree.Path(), { L"*.*" }).size(), 6u); // all but the hidden two
    EXPECT_TRUE(ListFolder(tree.Path("missing"), { L"*.*" }).empty());
}

TEST(FileDialogModelTest, LookInListsTheParentsThenTheUsersPlaces)
{
    TempTree tree;
    tree.Folder("home/Desktop/deep");
    std::wstring home = tree.Path("home");
    UserFolders places { home, tree.Path("home/Desktop"), tree.Path("home/Missing") };

    auto list = LookInPlaces(tree.Path("home/Desktop/deep"), places);
    ASSERT_GE(list.size(), 4u);
    EXPECT_EQ(list.front(), (Place { L"/", L"/", 0 }));
    EXPECT_EQ(list.back(), (Place { tree.Path("home/Desktop/deep"), L"deep", list.back().indent }));
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_EQ(list[i].indent, static_cast<int>(i));
        EXPECT_EQ(ParentFolder(list[i].path), list[i - 1].path);
    }

    auto fromRoot = LookInPlaces(L"/", places);
    std::vector<std::wstring> paths;
    for (const auto& place : fromRoot)
        paths.push_back(place.path);
    EXPECT_EQ(paths, (std::vector<std::wstring> { L"/", home, tree.Path("home/Desktop") }));
}
