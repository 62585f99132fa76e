#include "platform/script/VbsLexer.h"

#include "platform/script/VbsErrors.h"

#include <cmath>
#include <cwctype>

namespace vbs {

namespace {

class Lexer {
public:
    explicit Lexer(std::wstring_view text) : m_text(text) {}

    std::vector<Token> Run()
    {
        std::vector<Token> tokens;
        bool space = false;
        while (m_pos < m_text.size()) {
            wchar_t c = m_text[m_pos];
            if (c == L' ' || c == L'\t' || c == 0xA0 || c == L'\f' || c == L'\v') {
                ++m_pos;
                space = true;
                continue;
            }
            Token token;
            token.line = m_line;
            token.column = static_cast<int>(m_pos - m_lineStart);
            token.spaceBefore = space;
            space = false;
            if (c == L'\r' || c == L'\n') {
                ++m_pos;
                if (c == L'\r' && m_pos < m_text.size() && m_text[m_pos] == L'\n')
                    ++m_pos;
                NewLine();
                token.kind = Tok::Newline;
            } else if (c == L'\'') {
                SkipToLineEnd();
                continue;
            } else if (c == L'_' && IsContinuation()) {
                continue;
            } else if (c == L':') {
                ++m_pos;
                token.kind = Tok::Colon;
            } else if (c == L'"') {
                ReadString(token);
            } else if (c == L'#') {
                ReadDate(token);
            } else if (std::iswdigit(c) || (c == L'.' && m_pos + 1 < m_text.size() && std::iswdigit(m_text[m_pos + 1]))) {
                ReadNumber(token);
            } else if (c == L'&' && StartsRadixNumber()) {
                ReadRadixNumber(token);
            } else if (std::iswalpha(c) || c == L'[') {
                ReadName(token);
                if (token.lower == L"rem" && c != L'[' && !FollowsDot(tokens, token)) {
                    SkipToLineEnd();
                    continue;
                }
            } else {
                ReadPunct(token);
            }
            tokens.push_back(std::move(token));
        }
        Token end;
        end.kind = Tok::End;
        end.line = m_line;
        end.column = static_cast<int>(m_pos - m_lineStart);
        tokens.push_back(std::move(end));
        return tokens;
    }

private:
    [[noreturn]] void Fail(int number, size_t at)
    {
        ScriptError e{number, ErrorText(number), kCompileErrorSource};
        e.line = m_line;
        e.column = static_cast<int>(at - m_lineStart);
        e.compile = true;
        throw e;
    }

    // "&h1F" and "&o17" are numbers, but in "a &hi" the "&" joins a and the name hi.
    bool StartsRadixNumber() const
    {
        if (m_pos + 1 >= m_text.size())
            return false;
        wchar_t marker = static_cast<wchar_t>(std::towlower(m_text[m_pos + 1]));
        if (std::iswdigit(marker))
            return true;
        if ((marker != L'h' && marker != L'o') || m_pos + 2 >= m_text.size())
            return false;
        wchar_t digit = static_cast<wchar_t>(std::towlower(m_text[m_pos + 2]));
        return marker == L'h' ? std::iswxdigit(digit) != 0 : (digit >= L'0' && digit <= L'7');
    }

    // "obj.Rem" names a member; only a "Rem" that stands alone starts a comment.
    static bool FollowsDot(const std::vector<Token>& tokens, const Token& name)
    {
        return !tokens.empty() && tokens.back().kind == Tok::Punct && tokens.back().lower == L"." && !name.spaceBefore;
    }

    void NewLine()
    {
        ++m_line;
        m_lineStart = m_pos;
    }

    void SkipToLineEnd()
    {
        while (m_pos < m_text.size() && m_text[m_pos] != L'\r' && m_text[m_pos] != L'\n')
            ++m_pos;
    }

    // "_" at the end of a line (blanks may follow) joins the next line to this one.
    bool IsContinuation()
    {
        size_t p = m_pos + 1;
        while (p < m_text.size() && (m_text[p] == L' ' || m_text[p] == L'\t'))
            ++p;
        if (p < m_text.size() && m_text[p] != L'\r' && m_text[p] != L'\n')
            return false;
        if (p < m_text.size() && m_text[p] == L'\r')
            ++p;
        if (p < m_text.size() && m_text[p] == L'\n')
            ++p;
        m_pos = p;
        NewLine();
        return true;
    }

    void ReadString(Token& token)
    {
        size_t start = m_pos++;
        std::wstring text;
        while (true) {
            if (m_pos >= m_text.size() || m_text[m_pos] == L'\r' || m_text[m_pos] == L'\n')
                Fail(kUnterminatedString, start);
            wchar_t c = m_text[m_pos++];
            if (c == L'"') {
                if (m_pos < m_text.size() && m_text[m_pos] == L'"') {
                    text += L'"';
                    ++m_pos;
                    continue;
                }
                break;
            }
            text += c;
        }
        token.kind = Tok::String;
        token.value = Var::Text(text);
        token.text = std::move(text);
    }

    void ReadDate(Token& token)
    {
        size_t start = m_pos++;
        size_t end = m_text.find(L'#', m_pos);
        size_t lineEnd = m_text.find_first_of(L"\r\n", m_pos);
        if (end == std::wstring_view::npos || (lineEnd != std::wstring_view::npos && lineEnd < end))
            Fail(kSyntaxError, start);
        DATE date;
        if (!ParseDateText(m_text.substr(m_pos, end - m_pos), date))
            Fail(kSyntaxError, start);
        m_pos = end + 1;
        token.kind = Tok::Date;
        token.value = Var::Date(date);
    }

    void ReadNumber(Token& token)
    {
        size_t start = m_pos;
        bool isFloat = false;
        while (m_pos < m_text.size() && std::iswdigit(m_text[m_pos]))
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == L'.') {
            isFloat = true;
            ++m_pos;
            while (m_pos < m_text.size() && std::iswdigit(m_text[m_pos]))
                ++m_pos;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == L'e' || m_text[m_pos] == L'E')) {
            size_t p = m_pos + 1;
            if (p < m_text.size() && (m_text[p] == L'+' || m_text[p] == L'-'))
                ++p;
            if (p < m_text.size() && std::iswdigit(m_text[p])) {
                isFloat = true;
                m_pos = p;
                while (m_pos < m_text.size() && std::iswdigit(m_text[m_pos]))
                    ++m_pos;
            } else {
                Fail(kInvalidNumber, start);
            }
        }
        std::wstring digits(m_text.substr(start, m_pos - start));
        double value = 0;
        if (!ParseNumberText(digits, value) || std::isinf(value))
            Fail(kInvalidNumber, start);
        if (m_pos < m_text.size() && (std::iswalpha(m_text[m_pos]) || m_text[m_pos] == L'_'))
            Fail(kExpectedEndOfStatement, m_pos);
        token.kind = Tok::Number;
        token.text = digits;
        token.value = isFloat ? Var::Double(value) : Var::Whole(value);
    }

    void ReadRadixNumber(Token& token)
    {
        size_t start = m_pos++;
        int base = 8;
        if (std::towlower(m_text[m_pos]) == L'h') {
            base = 16;
            ++m_pos;
        } else if (std::towlower(m_text[m_pos]) == L'o') {
            ++m_pos;
        }
        unsigned long long value = 0;
        size_t digits = 0;
        while (m_pos < m_text.size()) {
            wchar_t c = static_cast<wchar_t>(std::towlower(m_text[m_pos]));
            int d = std::iswdigit(c) ? c - L'0' : (c >= L'a' && c <= L'f') ? c - L'a' + 10 : -1;
            if (d < 0 || d >= base)
                break;
            value = value * base + d;
            if (value > 0xFFFFFFFFull)
                Fail(kInvalidNumber, start);
            ++digits;
            ++m_pos;
        }
        if (digits == 0)
            Fail(kInvalidNumber, start);
        bool longSuffix = m_pos < m_text.size() && m_text[m_pos] == L'&';
        if (longSuffix)
            ++m_pos;
        token.kind = Tok::Number;
        token.text = std::wstring(m_text.substr(start, m_pos - start));
        if (!longSuffix && value <= 0xFFFF)
            token.value = Var::Int(static_cast<SHORT>(static_cast<WORD>(value)));
        else
            token.value = Var::Long(static_cast<LONG>(static_cast<DWORD>(value)));
    }

    void ReadName(Token& token)
    {
        size_t start = m_pos;
        std::wstring name;
        if (m_text[m_pos] == L'[') {
            size_t end = m_text.find(L']', m_pos);
            size_t lineEnd = m_text.find_first_of(L"\r\n", m_pos);
            if (end == std::wstring_view::npos || (lineEnd != std::wstring_view::npos && lineEnd < end))
                Fail(kExpectedIdentifier, start);
            name = m_text.substr(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
        } else {
            while (m_pos < m_text.size() && (std::iswalnum(m_text[m_pos]) || m_text[m_pos] == L'_'))
                ++m_pos;
            name = m_text.substr(start, m_pos - start);
        }
        if (name.size() > 255)
            Fail(kIdentifierTooLong, start);
        token.kind = Tok::Name;
        token.lower = name;
        for (wchar_t& c : token.lower)
            c = static_cast<wchar_t>(std::towlower(c));
        token.text = std::move(name);
    }

    void ReadPunct(Token& token)
    {
        wchar_t c = m_text[m_pos];
        wchar_t next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : 0;
        static const std::wstring_view singles = L"(),.=<>+-*/\\^&";
        if (singles.find(c) == std::wstring_view::npos)
            Fail(kInvalidCharacter, m_pos);
        token.kind = Tok::Punct;
        if ((c == L'<' && (next == L'=' || next == L'>')) || (c == L'>' && next == L'=')) {
            token.lower = std::wstring{c, next};
            m_pos += 2;
        } else if (c == L'>' && next == L'<') {
            token.lower = L"<>";
            m_pos += 2;
        } else if (c == L'=' && (next == L'<' || next == L'>')) {
            token.lower = next == L'<' ? L"<=" : L">=";
            m_pos += 2;
        } else {
            token.lower = std::wstring(1, c);
            ++m_pos;
        }
        token.text = token.lower;
    }

    std::wstring_view m_text;
    size_t m_pos = 0;
    size_t m_lineStart = 0;
    int m_line = 0;
};

} // namespace

std::vector<Token> Tokenize(std::wstring_view text)
{
    return Lexer(text).Run();
}

} // namespace vbs
