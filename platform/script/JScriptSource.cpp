#include "platform/script/JScriptSource.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <vector>

namespace jscript {

namespace {

struct Token {
    enum class Kind { Identifier, Punctuator, Literal } kind;
    size_t begin;
    size_t end;
};

bool IsIdentifierStart(wchar_t c)
{
    return c == L'_' || c == L'$' || c == L'\\' || (c < 0x80 ? std::iswalpha(c) != 0 : std::iswalnum(c) != 0);
}

bool IsIdentifierPart(wchar_t c)
{
    return IsIdentifierStart(c) || (c >= L'0' && c <= L'9');
}

bool IsLineTerminator(wchar_t c)
{
    return c == L'\n' || c == L'\r' || c == 0x2028 || c == 0x2029;
}

// The digits to write for a decimal exponent the interpreter refuses (more than five digits),
// or nothing when it takes them as written. Past 99999 every double is Infinity or 0 already.
std::optional<std::wstring> BoundedExponent(std::wstring_view digits)
{
    if (digits.size() <= 5)
        return std::nullopt;
    size_t significant = digits.find_first_not_of(L'0');
    if (significant == std::wstring_view::npos)
        return L"0";
    if (digits.size() - significant > 5)
        return L"99999";
    return std::wstring(digits.substr(significant));
}

// Where the exponent digits of the number text start, or npos when it has none.
size_t ExponentDigits(std::wstring_view number)
{
    size_t e = number.find_first_of(L"eE");
    if (e == std::wstring_view::npos)
        return e;
    return e + 1 < number.size() && (number[e + 1] == L'+' || number[e + 1] == L'-') ? e + 2 : e + 1;
}

class Scanner {
public:
    explicit Scanner(std::wstring_view text) : m_text(text) {}

    // All tokens, or nothing when the text does not scan (an unterminated comment, string or
    // regular expression).
    std::optional<std::vector<Token>> Scan()
    {
        std::vector<Token> tokens;
        while (SkipBlanksAndComments()) {
            if (m_pos >= m_text.size())
                return tokens;
            size_t begin = m_pos;
            wchar_t c = m_text[m_pos];
            Token::Kind kind = Token::Kind::Punctuator;
            if (IsIdentifierStart(c)) {
                while (m_pos < m_text.size() && IsIdentifierPart(m_text[m_pos]))
                    ++m_pos;
                kind = Token::Kind::Identifier;
            } else if (std::iswdigit(c) || (c == L'.' && m_pos + 1 < m_text.size() && std::iswdigit(m_text[m_pos + 1]))) {
                ScanNumber();
                kind = Token::Kind::Literal;
            } else if (c == L'"' || c == L'\'') {
                if (!ScanString(c))
                    return std::nullopt;
                kind = Token::Kind::Literal;
            } else if (c == L'/' && RegularExpressionMayFollow(tokens)) {
                if (!ScanRegularExpression())
                    return std::nullopt;
                kind = Token::Kind::Literal;
            } else {
                ++m_pos;
            }
            tokens.push_back({kind, begin, m_pos});
        }
        return std::nullopt;
    }

private:
    // False for an unterminated block comment.
    bool SkipBlanksAndComments()
    {
        while (m_pos < m_text.size()) {
            wchar_t c = m_text[m_pos];
            if (std::iswspace(c) || c == 0xFEFF || c == 0xA0) {
                ++m_pos;
            } else if (c == L'/' && Next() == L'/') {
                while (m_pos < m_text.size() && !IsLineTerminator(m_text[m_pos]))
                    ++m_pos;
            } else if (c == L'/' && Next() == L'*') {
                size_t close = m_text.find(L"*/", m_pos + 2);
                if (close == std::wstring_view::npos)
                    return false;
                m_pos = close + 2;
            } else {
                break;
            }
        }
        return true;
    }

    void ScanNumber()
    {
        bool hex = m_text[m_pos] == L'0' && (Next() == L'x' || Next() == L'X');
        bool fraction = false;
        while (m_pos < m_text.size()) {
            wchar_t c = m_text[m_pos];
            if (!hex && (c == L'e' || c == L'E') && (Next() == L'+' || Next() == L'-'))
                m_pos += 2;
            else if (c == L'.' && !hex && !fraction) {
                fraction = true;  // in "1.5.toFixed" the second point starts a member
                ++m_pos;
            } else if (std::iswalnum(c) || c == L'_')
                ++m_pos;
            else
                break;
        }
    }

    bool ScanString(wchar_t quote)
    {
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            wchar_t c = m_text[m_pos];
            if (c == L'\\') {
                ++m_pos;  // the escaped character, a line continuation included
                if (m_pos < m_text.size() && m_text[m_pos] == L'\r' && Next() == L'\n')
                    ++m_pos;
            } else if (c == quote) {
                ++m_pos;
                return true;
            } else if (IsLineTerminator(c)) {
                return false;
            }
        }
        return false;
    }

    bool ScanRegularExpression()
    {
        bool inClass = false;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            wchar_t c = m_text[m_pos];
            if (IsLineTerminator(c))
                return false;
            if (c == L'\\')
                ++m_pos;
            else if (c == L'[')
                inClass = true;
            else if (c == L']')
                inClass = false;
            else if (c == L'/' && !inClass)
                break;
        }
        if (m_pos >= m_text.size())
            return false;
        ++m_pos;
        while (m_pos < m_text.size() && IsIdentifierPart(m_text[m_pos]))
            ++m_pos;  // flags
        return true;
    }

    // A slash starts a regular expression where an expression may begin, and divides after
    // an operand.
    bool RegularExpressionMayFollow(const std::vector<Token>& tokens) const
    {
        if (tokens.empty())
            return true;
        const Token& previous = tokens.back();
        std::wstring_view text = m_text.substr(previous.begin, previous.end - previous.begin);
        switch (previous.kind) {
        case Token::Kind::Literal:
            return false;
        case Token::Kind::Identifier: {
            static constexpr std::array<std::wstring_view, 12> keywords = {L"return", L"typeof", L"instanceof", L"in",
                L"of", L"new", L"delete", L"void", L"throw", L"case", L"do", L"else"};
            return std::find(keywords.begin(), keywords.end(), text) != keywords.end();
        }
        case Token::Kind::Punctuator:
            return text != L")" && text != L"]";
        }
        return true;
    }

    wchar_t Next() const { return m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : 0; }

    std::wstring_view m_text;
    size_t m_pos = 0;
};

struct Edit {
    size_t position;
    size_t removed;
    std::wstring inserted;
};

class Instrumenter {
public:
    Instrumenter(std::wstring_view text, const std::vector<Token>& tokens) : m_text(text), m_tokens(tokens) {}

    std::wstring Run()
    {
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (Is(i, Token::Kind::Identifier, L"while") && !Is(i - 1, Token::Kind::Punctuator, L".")
                && Is(i + 1, Token::Kind::Punctuator, L"("))
                GuardWhile(i + 1);
            else if (Is(i, Token::Kind::Identifier, L"for") && !Is(i - 1, Token::Kind::Punctuator, L".")
                     && Is(i + 1, Token::Kind::Punctuator, L"("))
                GuardFor(i + 1);
            else if (Is(i, Token::Kind::Identifier, L"function") && !Is(i - 1, Token::Kind::Punctuator, L"."))
                GuardFunctionBody(i + 1);
            else if (Is(i, Token::Kind::Identifier, L"eval") && !Is(i - 1, Token::Kind::Punctuator, L".")
                     && Is(i + 1, Token::Kind::Punctuator, L"("))
                PrepareLastArgument(i + 1);
            else if (Is(i, Token::Kind::Identifier, L"Function") && !Is(i - 1, Token::Kind::Punctuator, L".")
                     && Is(i + 1, Token::Kind::Punctuator, L"("))
                PrepareLastArgument(i + 1);
            else if (Is(i, Token::Kind::Punctuator, L".") && i > 0 && Is(i + 1, Token::Kind::Identifier)
                     && Is(i + 2, Token::Kind::Punctuator, L"("))
                MarkCall(i);
            else if (Is(i, Token::Kind::Literal))
                BoundExponent(i);
            else if (Is(i, Token::Kind::Identifier) && Is(i + 1, Token::Kind::Punctuator, L":")
                     && Is(i + 2, Token::Kind::Identifier, L"break") && Is(i + 3, Token::Kind::Identifier, Text(i))
                     && !Is(i - 1, Token::Kind::Identifier, L"case") && !Is(i - 1, Token::Kind::Punctuator, L"?"))
                BlockAroundLabelledBreak(i + 2);
        }
        return Apply();
    }

private:
    bool Is(size_t i, Token::Kind kind, std::wstring_view text = {}) const
    {
        if (i >= m_tokens.size() || m_tokens[i].kind != kind)
            return false;
        return text.empty() || Text(i) == text;
    }
    std::wstring_view Text(size_t i) const
    {
        return m_text.substr(m_tokens[i].begin, m_tokens[i].end - m_tokens[i].begin);
    }

    // The index of the parenthesis that closes the one at open, or npos.
    size_t MatchingParenthesis(size_t open) const
    {
        int depth = 0;
        for (size_t i = open; i < m_tokens.size(); ++i) {
            if (Is(i, Token::Kind::Punctuator, L"("))
                ++depth;
            else if (Is(i, Token::Kind::Punctuator, L")") && --depth == 0)
                return i;
        }
        return std::wstring_view::npos;
    }

    std::wstring CheckCall() const { return std::wstring(kLoopCheckName) + L"()"; }

    void WrapCondition(size_t first, size_t end)
    {
        m_edits.push_back({first, 0, CheckCall() + L" && ("});
        m_edits.push_back({end, 0, L")"});
    }

    void GuardWhile(size_t open)
    {
        size_t close = MatchingParenthesis(open);
        if (close == std::wstring_view::npos || close == open + 1)
            return;
        WrapCondition(m_tokens[open].end, m_tokens[close].begin);
    }

    void GuardFor(size_t open)
    {
        size_t close = MatchingParenthesis(open);
        if (close == std::wstring_view::npos)
            return;
        std::vector<size_t> semicolons;
        int depth = 0;
        for (size_t i = open + 1; i < close; ++i) {
            std::wstring_view t = Text(i);
            if (m_tokens[i].kind != Token::Kind::Punctuator)
                continue;
            if (t == L"(" || t == L"[" || t == L"{")
                ++depth;
            else if (t == L")" || t == L"]" || t == L"}")
                --depth;
            else if (t == L";" && depth == 0)
                semicolons.push_back(i);
        }
        if (semicolons.size() != 2)
            return;  // for-in runs over a finite set of names
        if (semicolons[1] == semicolons[0] + 1)
            m_edits.push_back({m_tokens[semicolons[0]].end, 0, CheckCall()});
        else
            WrapCondition(m_tokens[semicolons[0]].end, m_tokens[semicolons[1]].begin);
    }

    // Every call checks too, so that recursion without loops can be stopped. A directive such as
    // "use strict" stays the first statement of the body.
    void GuardFunctionBody(size_t afterKeyword)
    {
        size_t open = Is(afterKeyword, Token::Kind::Identifier) ? afterKeyword + 1 : afterKeyword;
        if (!Is(open, Token::Kind::Punctuator, L"("))
            return;
        size_t close = MatchingParenthesis(open);
        size_t body = close + 1;
        if (close == std::wstring_view::npos || !Is(body, Token::Kind::Punctuator, L"{"))
            return;
        size_t insertAfter = body;
        if (Is(body + 1, Token::Kind::Literal) && IsStringLiteral(body + 1)) {
            if (!Is(body + 2, Token::Kind::Punctuator, L";"))
                return;
            insertAfter = body + 2;
        }
        m_edits.push_back({m_tokens[insertAfter].end, 0, CheckCall() + L";"});
    }

    bool IsStringLiteral(size_t i) const
    {
        wchar_t first = m_text[m_tokens[i].begin];
        return first == L'"' || first == L'\'';
    }

    // The text that eval(text) and Function(parameters..., body) compile is prepared first;
    // eval stays a direct eval.
    void PrepareLastArgument(size_t open)
    {
        size_t close = MatchingParenthesis(open);
        if (close == std::wstring_view::npos || close == open + 1)
            return;
        size_t lastComma = open;
        int depth = 0;
        for (size_t i = open + 1; i < close; ++i) {
            std::wstring_view t = Text(i);
            if (m_tokens[i].kind != Token::Kind::Punctuator)
                continue;
            if (t == L"(" || t == L"[" || t == L"{")
                ++depth;
            else if (t == L")" || t == L"]" || t == L"}")
                --depth;
            else if (t == L"," && depth == 0)
                lastComma = i;
        }
        m_edits.push_back({m_tokens[lastComma].end, 0, std::wstring(kPrepareName) + L"("});
        m_edits.push_back({m_tokens[close].begin, 0, L")"});
    }

    // The interpreter refuses a decimal exponent of many digits ("1e2147483648"), where the
    // language gives Infinity or 0. An exponent beyond any double's reach is written as 99999,
    // which gives the same value.
    void BoundExponent(size_t literal)
    {
        std::wstring_view text = Text(literal);
        bool decimal = std::iswdigit(text.front()) || text.front() == L'.';
        if (!decimal || (text.size() > 1 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')))
            return;
        size_t digits = ExponentDigits(text);
        if (digits == std::wstring_view::npos)
            return;
        std::wstring_view exponent = text.substr(digits);
        if (!std::all_of(exponent.begin(), exponent.end(), [](wchar_t c) { return std::iswdigit(c); }))
            return;
        if (std::optional<std::wstring> bounded = BoundedExponent(exponent))
            m_edits.push_back({m_tokens[literal].begin + digits, exponent.size(), *bounded});
    }

    // The interpreter compiles "lbl: break lbl;" to a broken jump; "lbl: { break lbl; }" means
    // the same and compiles.
    void BlockAroundLabelledBreak(size_t breakWord)
    {
        size_t last = Is(breakWord + 2, Token::Kind::Punctuator, L";") ? breakWord + 2 : breakWord + 1;
        m_edits.push_back({m_tokens[breakWord].begin, 0, L"{ "});
        m_edits.push_back({m_tokens[last].end, 0, L" }"});
    }

    void MarkCall(size_t dot)
    {
        std::wstring replacement = L"[" + std::wstring(kCallMarkName) + L"(\"" + std::wstring(Text(dot + 1)) + L"\")]";
        // Line breaks between the dot and the name ("a.\n b()") stay, after the mark.
        for (size_t i = m_tokens[dot].end; i < m_tokens[dot + 1].begin; ++i)
            if (IsLineTerminator(m_text[i]))
                replacement += m_text[i];
        m_edits.push_back({m_tokens[dot].begin, m_tokens[dot + 1].end - m_tokens[dot].begin, replacement});
    }

    std::wstring Apply()
    {
        std::stable_sort(m_edits.begin(), m_edits.end(), [](const Edit& a, const Edit& b) {
            return a.position < b.position || (a.position == b.position && a.removed < b.removed);
        });
        std::wstring out;
        out.reserve(m_text.size() + m_edits.size() * 24);
        size_t copied = 0;
        for (const Edit& edit : m_edits) {
            out.append(m_text.substr(copied, edit.position - copied));
            out += edit.inserted;
            copied = edit.position + edit.removed;
        }
        out.append(m_text.substr(copied));
        return out;
    }

    std::wstring_view m_text;
    const std::vector<Token>& m_tokens;
    std::vector<Edit> m_edits;
};

} // namespace

std::wstring BoundJsonExponents(std::wstring_view json)
{
    std::wstring out;
    out.reserve(json.size());
    size_t i = 0;
    while (i < json.size()) {
        wchar_t c = json[i];
        if (c == L'"') {  // a string, copied whole with its escapes
            size_t end = i + 1;
            while (end < json.size() && json[end] != L'"')
                end += json[end] == L'\\' ? 2 : 1;
            end = std::min(end + 1, json.size());
            out.append(json.substr(i, end - i));
            i = end;
        } else if (std::iswdigit(c) || c == L'-') {
            size_t end = i + 1;
            while (end < json.size() && (std::iswdigit(json[end]) || std::wcschr(L".eE+-", json[end])))
                ++end;
            std::wstring_view number = json.substr(i, end - i);
            size_t digits = ExponentDigits(number);
            std::optional<std::wstring> bounded;
            std::wstring_view exponent = digits == std::wstring_view::npos ? std::wstring_view() : number.substr(digits);
            if (std::all_of(exponent.begin(), exponent.end(), [](wchar_t d) { return std::iswdigit(d); }))
                bounded = BoundedExponent(exponent);
            out.append(bounded ? std::wstring(number.substr(0, digits)) + *bounded : std::wstring(number));
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::wstring InstrumentSource(std::wstring_view text)
{
    std::optional<std::vector<Token>> tokens = Scanner(text).Scan();
    if (!tokens)
        return std::wstring(text);
    return Instrumenter(text, *tokens).Run();
}

} // namespace jscript
