#pragma once
// The statements of a resource script, each turned into its binary layout. One parser reads the
// scripts of one program, one after another, into one set of resources; the statement kinds live in their own files (dialogs, menus, version information,
// images), sharing the expression and token helpers here.

#include "tools/rc/ByteWriter.h"
#include "tools/rc/ResourceScript.h"
#include "tools/rc/TokenStream.h"

#include <map>
#include <optional>
#include <set>

namespace fln::rc {

// Documented resource type numbers.
enum ResourceType : std::uint16_t {
    kTypeCursor = 1,
    kTypeBitmap = 2,
    kTypeIcon = 3,
    kTypeMenu = 4,
    kTypeDialog = 5,
    kTypeString = 6,
    kTypeAccelerator = 9,
    kTypeRcData = 10,
    kTypeGroupCursor = 12,
    kTypeGroupIcon = 14,
    kTypeVersion = 16,
    kTypeHtml = 23,
    kTypeDialogInit = 240,
    kTypeToolBar = 241,
};

class ScriptParser {
public:
    ScriptParser(FileSource& files, const std::vector<std::string>& includeDirs);

    void Read(const std::string& scriptPath);
    // The resources of every script read, with the string tables built from all of them.
    CompiledScript Finish();

private:
    // Tokens
    Token Next() { return m_tokens->Next(); }
    const Token& Peek(std::size_t ahead = 0) { return m_tokens->Peek(ahead); }
    [[noreturn]] void Fail(const Token& at, const std::string& message) const { m_tokens->Fail(at, message); }
    [[noreturn]] void FailHere(const std::string& message) { m_tokens->Fail(Peek(), message); }
    bool Accept(char punct);
    bool AcceptKeyword(const char* keyword);
    void Expect(char punct, const char* what);
    void ExpectBegin(const char* what);
    bool AcceptEnd();
    Token ExpectString(const char* what);
    bool AtBlockEnd() { return Peek().IsKeyword("END") || Peek().IsPunct('}'); }
    static std::string Describe(const Token& token);

    // Numbers: | & + - * / ~ NOT and parentheses, on 32-bit unsigned values.
    std::uint32_t Expression();
    std::uint32_t OrExpression();
    std::uint32_t AndExpression();
    std::uint32_t Additive();
    std::uint32_t Multiplicative();
    std::uint32_t Unary();
    std::uint16_t WordExpression(const char* what);
    std::int16_t CoordinateExpression(const char* what);
    // A style: the defaults, each "| value" added and each "| NOT value" taken away.
    std::uint32_t Style(std::uint32_t defaults);
    bool StartsExpression(const Token& token) const;

    // Names
    ResourceName NameOrOrdinal(const char* what);
    static std::u16string Upper(const std::u16string& text);
    static std::u16string Widen(const std::string& ascii);

    // Statements
    void Statement();
    void SkipCommonOptions();
    void Add(const Token& at, ResourceName type, ResourceName name, std::vector<std::uint8_t> data);
    void StringTable();
    void Dialog(const Token& at, const ResourceName& name, bool extended);
    void DialogControl(ByteWriter& out, bool extended);
    void Menu(const Token& at, const ResourceName& name);
    // Each returns whether the level had any item.
    bool MenuItems(ByteWriter& out);
    bool MenuExItems(ByteWriter& out);
    void Accelerators(const Token& at, const ResourceName& name);
    void ToolBar(const Token& at, const ResourceName& name);
    void VersionInfo(const Token& at, const ResourceName& name);
    void VersionBlock(ByteWriter& out, bool inStringFileInfo);
    void Bitmap(const Token& at, const ResourceName& name);
    void IconOrCursor(const Token& at, const ResourceName& name, bool cursor);
    void Custom(const Token& at, const ResourceName& type, const ResourceName& name);
    std::string ReadNamedFile(const Token& nameToken);

    std::optional<TokenStream> m_tokens; // of the script being read
    FileSource& m_files;
    std::vector<std::string> m_includeDirs;
    CompiledScript m_output;
    std::set<std::pair<ResourceName, ResourceName>> m_seen;
    std::map<std::uint16_t, std::u16string> m_strings;
    // Pop-ups, blocks and parentheses nest at most this deep, so that no script exhausts the stack.
    static constexpr int kMaxNesting = 64;
    int m_nesting = 0;
    // Whether a number written with L was read since last cleared: such a data item is a DWORD.
    bool m_sawLongNumber = false;
    // Image numbers run on from script to script, as the group directories name images by number.
    std::uint16_t m_nextIconId = 1;
    std::uint16_t m_nextCursorId = 1;
};

}
