#include "tools/rc/TokenStream.h"

#include <algorithm>
#include <cctype>

namespace fln::rc {

namespace {

constexpr int kMaxIncludeDepth = 32;
constexpr std::size_t kMaxExpandedTokens = 100000;

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

// Reads one UTF-8 sequence at text[pos]; returns false for a malformed one.
bool DecodeUtf8(const std::string& text, std::size_t& pos, char32_t& out)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || pos + extra >= text.size() + (extra == 0 ? 1 : 0))
        return false;
    char32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if (pos + i >= text.size() || (byte(pos + i) & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = { 0, 0x80, 0x800, 0x10000 };
    if (value < kSmallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    pos += extra + 1;
    out = value;
    return true;
}

}

bool Token::IsKeyword(const char* keyword) const
{
    if (kind != TokenKind::Identifier)
        return false;
    std::size_t i = 0;
    for (; keyword[i]; ++i) {
        if (i >= spelling.size() || std::toupper(static_cast<unsigned char>(spelling[i])) != keyword[i])
            return false;
    }
    return i == spelling.size();
}

// One file (or a #define's body) being read, with the scanner over its text.
struct TokenStream::Source {
    std::string path;
    const std::string* name = nullptr;
    std::string text;
    std::size_t pos = 0;
    int line = 1;
    bool headerOnly = false;
    bool atLineStart = true;
    std::size_t conditionalDepth = 0;

    bool AtEnd() const { return pos >= text.size(); }
    char Current() const { return pos < text.size() ? text[pos] : '\0'; }
    char At(std::size_t ahead) const { return pos + ahead < text.size() ? text[pos + ahead] : '\0'; }

    // Skips blanks and comments; returns false when an unterminated block comment ends the text.
    bool SkipBlanks(bool stopAtNewline)
    {
        while (!AtEnd()) {
            char c = Current();
            if (c == '\n') {
                if (stopAtNewline)
                    return true;
                ++line;
                ++pos;
                atLineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos;
            } else if (c == '/' && At(1) == '/') {
                while (!AtEnd() && Current() != '\n')
                    ++pos;
            } else if (c == '/' && At(1) == '*') {
                std::size_t end = text.find("*/", pos + 2);
                if (end == std::string::npos)
                    return false;
                line += static_cast<int>(std::count(text.begin() + pos, text.begin() + end, '\n'));
                pos = end + 2;
            } else {
                return true;
            }
        }
        return true;
    }

    // The rest of a directive's line, with backslash-newline joining lines and comments dropped.
    std::string RestOfLine()
    {
        std::string rest;
        while (!AtEnd() && Current() != '\n') {
            if (Current() == '\\' && (At(1) == '\n' || (At(1) == '\r' && At(2) == '\n'))) {
                pos += At(1) == '\r' ? 3 : 2;
                ++line;
                rest += ' ';
                continue;
            }
            if (Current() == '/' && At(1) == '/')
                break;
            if (Current() == '/' && At(1) == '*') {
                std::size_t end = text.find("*/", pos + 2);
                if (end == std::string::npos)
                    break;
                line += static_cast<int>(std::count(text.begin() + pos, text.begin() + end, '\n'));
                pos = end + 2;
                rest += ' ';
                continue;
            }
            rest += Current();
            ++pos;
        }
        while (!AtEnd() && Current() != '\n')
            ++pos;
        return rest;
    }
};

namespace {

struct ScanError {
    std::string message;
};

std::uint32_t ScanNumber(const std::string& text, std::size_t& pos, bool& isLong)
{
    int base = 10;
    if (text[pos] == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
            : base == 16 && std::isxdigit(static_cast<unsigned char>(c)) ? std::tolower(c) - 'a' + 10
                                                                         : -1;
        if (digit < 0)
            break;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull)
            throw ScanError { "number too large for 32 bits" };
        ++digits;
    }
    if (digits == 0)
        throw ScanError { "malformed number" };
    isLong = false;
    while (pos < text.size() && (text[pos] == 'L' || text[pos] == 'l' || text[pos] == 'U' || text[pos] == 'u')) {
        isLong = isLong || text[pos] == 'L' || text[pos] == 'l';
        ++pos;
    }
    if (pos < text.size() && IsIdentifierChar(text[pos]))
        throw ScanError { "malformed number" };
    return static_cast<std::uint32_t>(value);
}

void ScanString(const std::string& text, std::size_t& pos, Token& token)
{
    ++pos; // opening quote
    const std::size_t hexLimit = token.wideLiteral ? 4 : 2;
    for (;;) {
        if (pos >= text.size() || text[pos] == '\n' || text[pos] == '\r')
            throw ScanError { "unterminated string" };
        char c = text[pos];
        if (c == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') { // "" stands for one quote
                token.text += u'"';
                token.bytes += '"';
                pos += 2;
                continue;
            }
            ++pos;
            return;
        }
        if (c == '\\' && pos + 1 < text.size()) {
            char e = text[pos + 1];
            pos += 2;
            std::uint32_t unit = 0;
            switch (e) {
            case 'n': unit = '\n'; break;
            case 't': unit = '\t'; break;
            case 'r': unit = '\r'; break;
            case 'a': unit = '\a'; break;
            case 'b': unit = '\b'; break;
            case 'f': unit = '\f'; break;
            case 'v': unit = '\v'; break;
            case '\\': unit = '\\'; break;
            case '"': unit = '"'; break;
            case '\'': unit = '\''; break;
            case 'x':
            case 'X': {
                std::size_t n = 0;
                while (n < hexLimit && pos < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos]))) {
                    char h = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
                    unit = unit * 16 + (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : h - 'a' + 10);
                    ++pos;
                    ++n;
                }
                if (n == 0)
                    throw ScanError { "\\x without hexadecimal digits" };
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unit = e - '0';
                    for (int n = 1; n < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++n, ++pos)
                        unit = unit * 8 + (text[pos] - '0');
                } else { // an unknown escape stands for itself, backslash included
                    token.text += u'\\';
                    token.bytes += '\\';
                    pos -= 1;
                    continue;
                }
            }
            token.text += static_cast<char16_t>(unit & 0xFFFF);
            token.bytes += static_cast<char>(unit & 0xFF);
            continue;
        }
        char32_t codePoint = 0;
        std::size_t start = pos;
        if (!DecodeUtf8(text, pos, codePoint))
            throw ScanError { "the text is not valid UTF-8" };
        AppendUtf16(token.text, codePoint);
        token.bytes.append(text, start, pos - start);
    }
}

// Scans the token at text[pos] (blanks already skipped).
Token ScanToken(const std::string& text, std::size_t& pos)
{
    Token token;
    char c = text[pos];
    if ((c == 'L' || c == 'l') && pos + 1 < text.size() && text[pos + 1] == '"') {
        token.kind = TokenKind::String;
        token.wideLiteral = true;
        ++pos;
        ScanString(text, pos, token);
    } else if (IsIdentifierStart(c)) {
        token.kind = TokenKind::Identifier;
        std::size_t start = pos;
        while (pos < text.size() && IsIdentifierChar(text[pos]))
            ++pos;
        token.spelling = text.substr(start, pos - start);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
        token.kind = TokenKind::Number;
        token.number = ScanNumber(text, pos, token.isLong);
    } else if (c == '"') {
        token.kind = TokenKind::String;
        ScanString(text, pos, token);
    } else if (std::string_view(",|&+-~()*/{};").find(c) != std::string_view::npos) {
        token.kind = TokenKind::Punct;
        token.spelling = std::string(1, c);
        ++pos;
    } else {
        unsigned char u = static_cast<unsigned char>(c);
        std::string shown = u >= 0x20 && u < 0x7F ? std::string("'") + c + "'" : "byte " + std::to_string(u);
        throw ScanError { "unexpected character " + shown };
    }
    return token;
}

bool IsHeaderName(const std::string& path)
{
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    std::string extension = Lower(path.substr(dot));
    return extension == ".h" || extension == ".hpp" || extension == ".hh" || extension == ".c";
}

std::string Directory(const std::string& path)
{
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}

TokenStream::TokenStream(FileSource& files, const std::string& mainPath, std::vector<std::string> includeDirs)
    : m_files(files)
    , m_includeDirs(std::move(includeDirs))
{
    PushFile(mainPath, nullptr);
}

TokenStream::~TokenStream() = default;

const std::string* TokenStream::Intern(const std::string& path)
{
    m_fileNames.push_back(path);
    return &m_fileNames.back();
}

void TokenStream::FailAt(const Source& source, const std::string& message) const
{
    throw ScriptError(source.path, source.line, message);
}

void TokenStream::Fail(const Token& at, const std::string& message) const
{
    if (at.file)
        throw ScriptError(*at.file, at.line, message);
    throw ScriptError(m_lastFile ? *m_lastFile : std::string(), m_lastLine, message);
}

std::string TokenStream::DirectoryOf(const Token& at) const
{
    return Directory(at.file ? *at.file : std::string());
}

std::string TokenStream::ResolvePath(const Token& at, const std::string& name) const
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] == '/')
        return path;
    std::string local = DirectoryOf(at) + path;
    if (m_files.Exists(local))
        return local;
    for (const std::string& dir : m_includeDirs) {
        std::string candidate = dir.empty() || dir.back() == '/' ? dir + path : dir + "/" + path;
        if (m_files.Exists(candidate))
            return candidate;
    }
    return local;
}

void TokenStream::PushFile(const std::string& path, const Token* includedAt)
{
    std::optional<std::string> text = m_files.Read(path);
    if (!text) {
        if (includedAt)
            Fail(*includedAt, "cannot open \"" + path + "\"");
        throw ScriptError(path, 0, "cannot open the script");
    }
    auto source = std::make_unique<Source>();
    source->path = path;
    source->name = Intern(path);
    source->text = std::move(*text);
    if (source->text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        source->pos = 3;
    source->headerOnly = IsHeaderName(path);
    source->conditionalDepth = m_conditionals.size();
    m_sources.push_back(std::move(source));
    m_filesRead.push_back(path);
}

void TokenStream::HandleDirective(Source& source)
{
    ++source.pos; // '#'
    const int line = source.line;
    std::string rest = source.RestOfLine();
    std::size_t i = 0;
    auto skipSpace = [&] { while (i < rest.size() && std::isspace(static_cast<unsigned char>(rest[i]))) ++i; };
    auto word = [&] {
        skipSpace();
        std::size_t start = i;
        while (i < rest.size() && IsIdentifierChar(rest[i]))
            ++i;
        return rest.substr(start, i - start);
    };
    auto fail = [&](const std::string& message) { throw ScriptError(source.path, line, message); };
    auto requireName = [&](const char* directive) {
        std::string name = word();
        if (name.empty() || !IsIdentifierStart(name[0]))
            fail(std::string("#") + directive + " needs a name");
        return name;
    };

    const std::string directive = Lower(word());
    const bool active = Active();
    if (directive == "ifdef" || directive == "ifndef") {
        bool defined = false;
        if (active)
            defined = m_macros.count(requireName(directive.c_str())) != 0;
        m_conditionals.push_back({ active, directive == "ifdef" ? defined : !defined, false });
        return;
    }
    if (directive == "if") {
        if (active)
            fail("#if is not supported; use #ifdef or #ifndef");
        m_conditionals.push_back({ false, false, false });
        return;
    }
    if (directive == "else" || directive == "endif" || directive == "elif") {
        if (m_conditionals.size() <= source.conditionalDepth)
            fail("#" + directive + " without #ifdef");
        if (directive == "elif") {
            if (m_conditionals.back().parentActive)
                fail("#elif is not supported; use #else");
            return;
        }
        if (directive == "endif") {
            m_conditionals.pop_back();
            return;
        }
        if (m_conditionals.back().elseSeen)
            fail("a second #else for the same #ifdef");
        m_conditionals.back().elseSeen = true;
        return;
    }
    if (!active)
        return;
    if (directive.empty() && rest.find_first_not_of(" \t\r") == std::string::npos)
        return;
    if (directive == "define") {
        std::string name = requireName("define");
        Macro macro;
        macro.functionLike = i < rest.size() && rest[i] == '(';
        macro.body = rest.substr(i);
        m_macros[name] = std::move(macro);
    } else if (directive == "undef") {
        m_macros.erase(requireName("undef"));
    } else if (directive == "include") {
        skipSpace();
        char open = i < rest.size() ? rest[i] : '\0';
        char close = open == '"' ? '"' : open == '<' ? '>' : '\0';
        std::size_t end = close ? rest.find(close, i + 1) : std::string::npos;
        if (end == std::string::npos || end == i + 1)
            fail("#include needs a file name in quotes");
        if (m_sources.size() >= kMaxIncludeDepth)
            fail("#include nested too deeply");
        Token at;
        at.file = source.name;
        at.line = line;
        PushFile(ResolvePath(at, rest.substr(i + 1, end - i - 1)), &at);
    } else if (directive == "pragma") {
        // code_page and the like: the script is read as UTF-8 whatever it says
    } else {
        fail("unknown directive #" + directive);
    }
}

Token TokenStream::LexFromFiles()
{
    while (!m_sources.empty()) {
        Source& source = *m_sources.back();
        if (!source.SkipBlanks(false))
            FailAt(source, "unterminated comment");
        if (source.AtEnd()) {
            if (m_conditionals.size() > source.conditionalDepth)
                FailAt(source, "#ifdef without #endif at the end of the file");
            m_lastFile = source.name;
            m_lastLine = source.line;
            m_sources.pop_back();
            continue;
        }
        if (source.atLineStart && source.Current() == '#') {
            HandleDirective(source);
            continue;
        }
        source.atLineStart = false;
        if (source.headerOnly || !Active()) {
            // Skip to the next line; strings are not scanned so that stray quotes do no harm.
            while (!source.AtEnd() && source.Current() != '\n') {
                if (source.Current() == '/' && (source.At(1) == '*' || source.At(1) == '/'))
                    break;
                ++source.pos;
            }
            continue;
        }
        Token token;
        try {
            token = ScanToken(source.text, source.pos);
        } catch (const ScanError& error) {
            FailAt(source, error.message);
        }
        token.file = source.name;
        token.line = source.line;
        m_lastFile = source.name;
        m_lastLine = source.line;
        return token;
    }
    Token end;
    end.kind = TokenKind::End;
    end.file = m_lastFile;
    end.line = m_lastLine;
    return end;
}

void TokenStream::ExpandInto(std::deque<Token>& out)
{
    std::deque<Token> pending;
    pending.push_back(LexFromFiles());
    std::size_t expanded = 0;
    while (!pending.empty()) {
        Token token = std::move(pending.front());
        pending.pop_front();
        auto macro = token.kind == TokenKind::Identifier ? m_macros.find(token.spelling) : m_macros.end();
        bool expanding = false;
        for (const Token::Expansion* from = token.expandedFrom.get(); from && !expanding; from = from->outer.get())
            expanding = from->macro == token.spelling;
        if (macro == m_macros.end() || expanding) {
            out.push_back(std::move(token));
            continue;
        }
        if (macro->second.functionLike)
            Fail(token, "macro " + token.spelling + " takes arguments, which scripts do not support");
        std::vector<Token> body;
        auto expansion = std::make_shared<const Token::Expansion>(Token::Expansion { token.spelling, token.expandedFrom });
        const std::string& text = macro->second.body;
        for (std::size_t pos = 0;;) {
            while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
                ++pos;
            if (pos >= text.size())
                break;
            try {
                body.push_back(ScanToken(text, pos));
            } catch (const ScanError& error) {
                Fail(token, "in the value of " + token.spelling + ": " + error.message);
            }
            body.back().file = token.file;
            body.back().line = token.line;
            body.back().expandedFrom = expansion;
        }
        expanded += body.size();
        if (expanded > kMaxExpandedTokens)
            Fail(token, "macro " + token.spelling + " expands to too many tokens");
        pending.insert(pending.begin(), body.begin(), body.end());
    }
}

const Token& TokenStream::Peek(std::size_t ahead)
{
    while (m_ready.size() <= ahead) {
        if (!m_ready.empty() && m_ready.back().kind == TokenKind::End)
            return m_ready.back();
        ExpandInto(m_ready);
    }
    return m_ready[ahead];
}

Token TokenStream::Next()
{
    Peek();
    Token token = m_ready.front();
    if (token.kind != TokenKind::End)
        m_ready.pop_front();
    return token;
}

}
