#pragma once
// The tokens of a resource script after the preprocessor: #include, #define/#undef,
// #ifdef/#ifndef/#else/#endif and #pragma (ignored) are carried out here, and identifiers that
// name a #define are replaced by its tokens. Included headers (.h, .hpp, .c) contribute only
// their directives, as their C declarations mean nothing to a script.

#include "tools/rc/Diagnostics.h"
#include "tools/rc/FileSource.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fln::rc {

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string spelling;      // identifier or punctuation as written
    std::uint32_t number = 0;  // a number's value, cut to 32 bits
    bool isLong = false;       // a number written with the L suffix
    std::u16string text;       // a string's characters as UTF-16 (escapes give code units)
    std::string bytes;         // a string's characters as bytes (UTF-8; escapes give bytes)
    bool wideLiteral = false;  // L"..."
    const std::string* file = nullptr;
    int line = 0;
    // The macros whose expansion produced this token (innermost first): none of them is
    // expanded again in it.
    struct Expansion {
        std::string macro;
        std::shared_ptr<const Expansion> outer;
    };
    std::shared_ptr<const Expansion> expandedFrom;

    bool IsPunct(char c) const { return kind == TokenKind::Punct && spelling.size() == 1 && spelling[0] == c; }
    // Keywords are matched without regard to case.
    bool IsKeyword(const char* keyword) const;
};

class TokenStream {
public:
    TokenStream(FileSource& files, const std::string& mainPath, std::vector<std::string> includeDirs);
    ~TokenStream();

    const Token& Peek(std::size_t ahead = 0);
    Token Next();

    [[noreturn]] void Fail(const Token& at, const std::string& message) const;
    // The directory of the file the token came from, for resolving the files a statement names.
    std::string DirectoryOf(const Token& at) const;
    std::string ResolvePath(const Token& at, const std::string& name) const;
    // Every file read so far (the script, its includes), for the build's dependency list.
    const std::vector<std::string>& FilesRead() const { return m_filesRead; }
    void NoteFileRead(const std::string& path) { m_filesRead.push_back(path); }

private:
    struct Source;
    struct Conditional {
        bool parentActive;
        bool conditionTrue;
        bool elseSeen;
    };
    struct Macro {
        std::string body;
        bool functionLike = false;
    };

    Token LexFromFiles();
    void PushFile(const std::string& path, const Token* includedAt);
    void HandleDirective(Source& source);
    bool Active() const { return m_conditionals.empty() || ConditionalActive(m_conditionals.back()); }
    static bool ConditionalActive(const Conditional& c) { return c.parentActive && (c.elseSeen ? !c.conditionTrue : c.conditionTrue); }
    void ExpandInto(std::deque<Token>& out);
    const std::string* Intern(const std::string& path);
    [[noreturn]] void FailAt(const Source& source, const std::string& message) const;

    FileSource& m_files;
    std::vector<std::string> m_includeDirs;
    std::vector<std::unique_ptr<Source>> m_sources;
    std::vector<Conditional> m_conditionals;
    std::map<std::string, Macro> m_macros;
    std::deque<Token> m_ready;
    std::deque<std::string> m_fileNames;
    std::vector<std::string> m_filesRead;
    const std::string* m_lastFile = nullptr;
    int m_lastLine = 0;
};

}
