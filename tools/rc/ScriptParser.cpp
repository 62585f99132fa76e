#include "tools/rc/ScriptParser.h"

#include <algorithm>

namespace fln::rc {

ScriptParser::ScriptParser(FileSource& files, const std::vector<std::string>& includeDirs)
    : m_files(files)
    , m_includeDirs(includeDirs)
{
}

CompiledScript CompileScripts(FileSource& files, const std::vector<std::string>& scriptPaths, const std::vector<std::string>& includeDirs)
{
    ScriptParser parser(files, includeDirs);
    for (const std::string& path : scriptPaths)
        parser.Read(path);
    return parser.Finish();
}

CompiledScript CompileScript(FileSource& files, const std::string& scriptPath, const std::vector<std::string>& includeDirs)
{
    return CompileScripts(files, { scriptPath }, includeDirs);
}

// ---- tokens

std::string ScriptParser::Describe(const Token& token)
{
    switch (token.kind) {
    case TokenKind::End: return "the end of the script";
    case TokenKind::Number: return "the number " + std::to_string(token.number);
    case TokenKind::String: return "a string";
    case TokenKind::Identifier: return "'" + token.spelling + "'";
    case TokenKind::Punct: return "'" + token.spelling + "'";
    }
    return "a token";
}

bool ScriptParser::Accept(char punct)
{
    if (!Peek().IsPunct(punct))
        return false;
    Next();
    return true;
}

bool ScriptParser::AcceptKeyword(const char* keyword)
{
    if (!Peek().IsKeyword(keyword))
        return false;
    Next();
    return true;
}

void ScriptParser::Expect(char punct, const char* what)
{
    if (!Accept(punct))
        FailHere(std::string("expected '") + punct + "' " + what + ", found " + Describe(Peek()));
}

void ScriptParser::ExpectBegin(const char* what)
{
    if (!AcceptKeyword("BEGIN") && !Accept('{'))
        FailHere(std::string("expected BEGIN ") + what + ", found " + Describe(Peek()));
}

bool ScriptParser::AcceptEnd()
{
    if (Peek().kind == TokenKind::End)
        FailHere("missing END");
    return AcceptKeyword("END") || Accept('}');
}

Token ScriptParser::ExpectString(const char* what)
{
    if (Peek().kind != TokenKind::String)
        FailHere(std::string("expected ") + what + " in quotes, found " + Describe(Peek()));
    return Next();
}

// ---- expressions

bool ScriptParser::StartsExpression(const Token& token) const
{
    return token.kind == TokenKind::Number || token.IsPunct('(') || token.IsPunct('-') || token.IsPunct('~')
        || token.IsKeyword("NOT");
}

std::uint32_t ScriptParser::Expression() { return OrExpression(); }

std::uint32_t ScriptParser::OrExpression()
{
    std::uint32_t value = AndExpression();
    while (Accept('|'))
        value |= AndExpression();
    return value;
}

std::uint32_t ScriptParser::AndExpression()
{
    std::uint32_t value = Additive();
    while (Accept('&'))
        value &= Additive();
    return value;
}

std::uint32_t ScriptParser::Additive()
{
    std::uint32_t value = Multiplicative();
    for (;;) {
        if (Accept('+'))
            value += Multiplicative();
        else if (Accept('-'))
            value -= Multiplicative();
        else
            return value;
    }
}

std::uint32_t ScriptParser::Multiplicative()
{
    std::uint32_t value = Unary();
    for (;;) {
        if (Accept('*')) {
            value *= Unary();
        } else if (Peek().IsPunct('/')) {
            Token slash = Next();
            std::uint32_t divisor = Unary();
            if (divisor == 0)
                Fail(slash, "division by zero");
            value /= divisor;
        } else {
            return value;
        }
    }
}

std::uint32_t ScriptParser::Unary()
{
    const bool nests = Peek().IsPunct('-') || Peek().IsPunct('~') || Peek().IsKeyword("NOT") || Peek().IsPunct('(');
    if (nests) {
        if (m_nesting + 1 > kMaxNesting)
            FailHere("expression nested too deeply");
        ++m_nesting;
        std::uint32_t value = 0;
        if (Accept('-')) {
            value = 0u - Unary();
        } else if (Accept('~') || AcceptKeyword("NOT")) {
            value = ~Unary();
        } else {
            Next();
            value = Expression();
            Expect(')', "to close the parenthesis");
        }
        --m_nesting;
        return value;
    }
    const Token& token = Peek();
    if (token.kind == TokenKind::Number) {
        m_sawLongNumber = m_sawLongNumber || token.isLong;
        return Next().number;
    }
    if (token.kind == TokenKind::Identifier)
        FailHere("undefined name '" + token.spelling + "' where a number is expected");
    FailHere("expected a number, found " + Describe(token));
}

std::uint16_t ScriptParser::WordExpression(const char* what)
{
    Token at = Peek();
    std::uint32_t value = Expression();
    // Negative values such as -1 are accepted as their 16-bit form.
    if (value > 0xFFFF && value < 0xFFFF8000u)
        Fail(at, std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<std::uint16_t>(value);
}

std::int16_t ScriptParser::CoordinateExpression(const char* what)
{
    return static_cast<std::int16_t>(WordExpression(what));
}

std::uint32_t ScriptParser::Style(std::uint32_t defaults)
{
    std::uint32_t style = defaults;
    do {
        if (AcceptKeyword("NOT"))
            style &= ~Unary();
        else
            style |= AndExpression();
    } while (Accept('|'));
    return style;
}

// ---- names

std::u16string ScriptParser::Upper(const std::u16string& text)
{
    std::u16string upper = text;
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

std::u16string ScriptParser::Widen(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

ResourceName ScriptParser::NameOrOrdinal(const char* what)
{
    const Token& token = Peek();
    ResourceName name;
    if (token.kind == TokenKind::String) {
        name.name = Upper(Next().text);
        if (name.name.empty())
            FailHere(std::string("an empty ") + what);
    } else if (token.kind == TokenKind::Identifier && !token.IsKeyword("NOT")) {
        name.name = Upper(Widen(Next().spelling));
    } else if (StartsExpression(token)) {
        name.id = WordExpression(what);
    } else {
        FailHere(std::string("expected ") + what + ", found " + Describe(token));
    }
    return name;
}

// ---- statements

void ScriptParser::Read(const std::string& scriptPath)
{
    m_tokens.emplace(m_files, scriptPath, m_includeDirs);
    while (Peek().kind != TokenKind::End)
        Statement();
    for (const std::string& path : m_tokens->FilesRead()) {
        if (std::find(m_output.filesRead.begin(), m_output.filesRead.end(), path) == m_output.filesRead.end())
            m_output.filesRead.push_back(path);
    }
}

CompiledScript ScriptParser::Finish()
{
    // String tables are stored in blocks of 16; block n holds the strings 16(n-1) to 16n-1.
    for (auto it = m_strings.begin(); it != m_strings.end();) {
        const std::uint16_t block = it->first >> 4;
        ByteWriter out;
        for (unsigned slot = 0; slot < 16; ++slot) {
            auto found = m_strings.find(static_cast<std::uint16_t>(block * 16 + slot));
            std::u16string text = found == m_strings.end() ? std::u16string() : found->second;
            out.Word(static_cast<std::uint16_t>(text.size()));
            out.Text(text);
        }
        m_output.resources.push_back({ { kTypeString, {} }, { static_cast<std::uint16_t>(block + 1), {} }, std::move(out.Data()) });
        while (it != m_strings.end() && (it->first >> 4) == block)
            ++it;
    }
    return std::move(m_output);
}

void ScriptParser::SkipCommonOptions()
{
    for (;;) {
        if (AcceptKeyword("LANGUAGE")) {
            Expression();
            Expect(',', "between the language and the sub-language");
            Expression();
        } else if (AcceptKeyword("CHARACTERISTICS") || AcceptKeyword("VERSION")) {
            Expression();
        } else if (AcceptKeyword("DISCARDABLE") || AcceptKeyword("MOVEABLE") || AcceptKeyword("FIXED")
            || AcceptKeyword("PURE") || AcceptKeyword("IMPURE") || AcceptKeyword("PRELOAD")
            || AcceptKeyword("LOADONCALL") || AcceptKeyword("SHARED") || AcceptKeyword("NONSHARED")) {
        } else {
            return;
        }
    }
}

void ScriptParser::Add(const Token& at, ResourceName type, ResourceName name, std::vector<std::uint8_t> data)
{
    if (data.size() > 0x7FFFFFFF)
        Fail(at, "resource too large");
    if (!m_seen.insert({ type, name }).second)
        Fail(at, "a second resource of the same type and name");
    m_output.resources.push_back({ std::move(type), std::move(name), std::move(data) });
}

void ScriptParser::Statement()
{
    if (AcceptKeyword("LANGUAGE")) { // languages are not told apart: every resource is neutral
        Expression();
        Expect(',', "between the language and the sub-language");
        Expression();
        return;
    }
    if (Peek().IsKeyword("STRINGTABLE")) {
        Next();
        StringTable();
        return;
    }
    const Token at = Peek();
    ResourceName name = NameOrOrdinal("a resource name or number");
    const Token typeToken = Peek();
    if (typeToken.kind == TokenKind::End)
        Fail(at, "a resource name without a type");
    if (AcceptKeyword("DIALOGEX"))
        return Dialog(at, name, true);
    if (AcceptKeyword("DIALOG"))
        return Dialog(at, name, false);
    if (typeToken.IsKeyword("MENU") || typeToken.IsKeyword("MENUEX"))
        return Menu(at, name);
    if (AcceptKeyword("ACCELERATORS"))
        return Accelerators(at, name);
    if (AcceptKeyword("TOOLBAR"))
        return ToolBar(at, name);
    if (AcceptKeyword("VERSIONINFO"))
        return VersionInfo(at, name);
    if (AcceptKeyword("BITMAP"))
        return Bitmap(at, name);
    if (AcceptKeyword("ICON"))
        return IconOrCursor(at, name, false);
    if (AcceptKeyword("CURSOR"))
        return IconOrCursor(at, name, true);
    ResourceName type;
    if (AcceptKeyword("RCDATA"))
        type.id = kTypeRcData;
    else if (AcceptKeyword("HTML"))
        type.id = kTypeHtml;
    else if (AcceptKeyword("DLGINIT"))
        type.id = kTypeDialogInit;
    else
        type = NameOrOrdinal("a resource type");
    Custom(at, type, name);
}

void ScriptParser::StringTable()
{
    SkipCommonOptions();
    ExpectBegin("to open the string table");
    while (!AcceptEnd()) {
        Token at = Peek();
        std::uint16_t id = WordExpression("string id");
        Accept(',');
        Token text = ExpectString("the string");
        if (!m_strings.emplace(id, text.text).second)
            Fail(at, "string id " + std::to_string(id) + " is already in a string table");
    }
}

void ScriptParser::Accelerators(const Token& at, const ResourceName& name)
{
    SkipCommonOptions();
    ExpectBegin("to open the accelerator table");
    ByteWriter out;
    std::size_t lastFlags = 0;
    bool any = false;
    while (!AcceptEnd()) {
        const Token event = Peek();
        std::uint16_t key = 0;
        bool controlCharacter = false;
        if (event.kind == TokenKind::String) {
            Next();
            const std::u16string& text = event.text;
            if (text.size() == 2 && text[0] == u'^') {
                char16_t letter = text[1] >= u'a' && text[1] <= u'z' ? static_cast<char16_t>(text[1] - 32) : text[1];
                if (letter < u'@' || letter > u'_')
                    Fail(event, "\"^\" must be followed by a letter");
                key = static_cast<std::uint16_t>(letter - u'@');
                controlCharacter = true;
            } else if (text.size() == 1) {
                key = text[0];
            } else {
                Fail(event, "an accelerator key must be one character or \"^\" and a letter");
            }
        } else {
            key = WordExpression("key");
        }
        Expect(',', "after the accelerator key");
        std::uint16_t command = WordExpression("command id");
        enum : std::uint8_t { kVirtKey = 0x01, kNoInvert = 0x02, kShift = 0x04, kControl = 0x08, kAlt = 0x10, kLast = 0x80 };
        std::uint8_t flags = 0;
        bool ascii = false;
        while (Accept(',')) {
            const Token option = Next();
            if (option.IsKeyword("VIRTKEY"))
                flags |= kVirtKey;
            else if (option.IsKeyword("ASCII"))
                ascii = true;
            else if (option.IsKeyword("NOINVERT"))
                flags |= kNoInvert;
            else if (option.IsKeyword("SHIFT"))
                flags |= kShift;
            else if (option.IsKeyword("CONTROL"))
                flags |= kControl;
            else if (option.IsKeyword("ALT"))
                flags |= kAlt;
            else
                Fail(option, "unknown accelerator option " + Describe(option));
        }
        if (ascii && (flags & kVirtKey))
            Fail(event, "an accelerator cannot be both ASCII and VIRTKEY");
        if (!(flags & kVirtKey) && (flags & (kShift | kControl)))
            Fail(event, "SHIFT or CONTROL needs VIRTKEY");
        if ((flags & kVirtKey) && controlCharacter)
            Fail(event, "a \"^\" key cannot be VIRTKEY");
        if ((flags & kVirtKey) && event.kind == TokenKind::String && key >= u'a' && key <= u'z')
            key = static_cast<std::uint16_t>(key - 32); // virtual keys of letters are the capitals
        lastFlags = out.Size();
        out.Word(flags);
        out.Word(key);
        out.Word(command);
        out.Word(0);
        any = true;
    }
    if (any)
        out.Data()[lastFlags] |= 0x80;
    Add(at, { kTypeAccelerator, {} }, name, std::move(out.Data()));
}

void ScriptParser::ToolBar(const Token& at, const ResourceName& name)
{
    std::uint16_t width = WordExpression("button width");
    Expect(',', "between the button width and height");
    std::uint16_t height = WordExpression("button height");
    SkipCommonOptions();
    ExpectBegin("to open the tool bar");
    std::vector<std::uint16_t> items;
    while (!AcceptEnd()) {
        if (AcceptKeyword("SEPARATOR")) {
            items.push_back(0);
        } else if (AcceptKeyword("BUTTON")) {
            items.push_back(WordExpression("button command id"));
        } else {
            FailHere("expected BUTTON or SEPARATOR, found " + Describe(Peek()));
        }
    }
    ByteWriter out;
    out.Word(1); // version
    out.Word(width);
    out.Word(height);
    out.Word(static_cast<std::uint16_t>(items.size()));
    for (std::uint16_t item : items)
        out.Word(item);
    Add(at, { kTypeToolBar, {} }, name, std::move(out.Data()));
}

std::string ScriptParser::ReadNamedFile(const Token& nameToken)
{
    std::string wanted(nameToken.bytes);
    if (wanted.empty())
        Fail(nameToken, "an empty file name");
    std::string path = m_tokens->ResolvePath(nameToken, wanted);
    std::optional<std::string> contents = m_files.Read(path);
    if (!contents)
        Fail(nameToken, "cannot open \"" + path + "\"");
    m_tokens->NoteFileRead(path);
    return std::move(*contents);
}

void ScriptParser::Custom(const Token& at, const ResourceName& type, const ResourceName& name)
{
    SkipCommonOptions();
    if (Peek().kind == TokenKind::String) {
        std::string contents = ReadNamedFile(Next());
        Add(at, type, name, std::vector<std::uint8_t>(contents.begin(), contents.end()));
        return;
    }
    if (!Peek().IsKeyword("BEGIN") && !Peek().IsPunct('{'))
        FailHere("expected a file name or BEGIN, found " + Describe(Peek()));
    ExpectBegin("to open the data");
    // A raw block: "text" as bytes, L"text" as UTF-16, numbers as words (with L: double words).
    ByteWriter out;
    while (!AcceptEnd()) {
        if (Peek().kind == TokenKind::String) {
            Token text = Next();
            if (text.wideLiteral)
                out.Text(text.text);
            else
                out.Bytes(text.bytes);
        } else {
            m_sawLongNumber = false;
            std::uint32_t value = Expression();
            if (m_sawLongNumber)
                out.Dword(value);
            else
                out.Word(static_cast<std::uint16_t>(value));
        }
        Accept(','); // optional, as dialog editors leave it out at line ends
    }
    Add(at, type, name, std::move(out.Data()));
}

}
