#include "engine/FormulaParser.h"

#include "engine/PhysConst.h"
#include "platform/base/Exceptions.h"
#include "platform/base/MessageBox.h"
#include "platform/base/TextToNumber.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string_view>

using namespace std::string_view_literals;

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double EulerE = 2.718281828459045;

constexpr const wchar_t* DivideByZero = L" Divide by zero!";
constexpr const wchar_t* NegativeBase = L" No SQR from neg. values!";
constexpr const wchar_t* DomainError = L" General Parser Error blocked!";

// Stands in for the current token once the parse was stopped; no rule takes it.
constexpr wchar_t StopToken = static_cast<wchar_t>(0x110000);

// At most this many names are read from the table of physical constants.
constexpr int MaxConstantIndex = 99;

constexpr wchar_t ToUpperAscii(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

constexpr bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
constexpr bool IsNumberChar(wchar_t c) { return IsDigit(c) || c == L'.'; }
constexpr bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Powers of ten that a double holds exactly.
constexpr double ExactPowersOfTen[] = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

// Reads the run of digits and points at run (up to limit) the way the classic text-to-double
// conversion reads it: the longest valid prefix (digits, one point, digits), so "1.2.3" gives 1.2
// and "." gives 0. *runEnd is set past the whole run.
inline double ReadNumberRun(const wchar_t* run, const wchar_t* limit, const wchar_t** runEnd, std::wstring& scratch)
{
    // Up to 19 digits fit the 64-bit mantissa; below 2^53 with at most 22 decimals the value is
    // one correctly rounded division of two exact doubles.
    constexpr std::uint64_t ExactMantissaLimit = std::uint64_t(1) << 53;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    const wchar_t* p = run;
    for (; p < limit && IsDigit(*p); ++p, ++digits)
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - L'0');
    if (p < limit && *p == L'.') {
        for (++p; p < limit && IsDigit(*p); ++p, ++digits, ++decimals)
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - L'0');
    }
    const wchar_t* prefixEnd = p;
    while (p < limit && IsNumberChar(*p))
        ++p;
    *runEnd = p;
    if (digits <= 19 && mantissa <= ExactMantissaLimit && decimals <= 22)
        return decimals == 0 ? static_cast<double>(mantissa) : static_cast<double>(mantissa) / ExactPowersOfTen[decimals];
    scratch.assign(run, prefixEnd);
    return ClassicWcsToD(scratch.c_str());
}

bool IsWholeInt32(double value)
{
    return value >= -2147483648.0 && value < 2147483648.0 && static_cast<double>(static_cast<int>(value)) == value;
}

std::int64_t Gcd(std::int64_t a, std::int64_t b)
{
    if (b == 0)  // no remainder step without a divisor
        return std::llabs(a);
    std::int64_t remainder = a % b;
    while (remainder != 0) {
        a = b;
        b = remainder;
        remainder = a % b;
    }
    return std::llabs(b);
}

// In floating point after the division: the product of two large integers may pass 64 bits.
double Lcm(std::int64_t a, std::int64_t b)
{
    std::int64_t gcd = Gcd(a, b);
    return gcd == 0 ? 0.0 : static_cast<double>(a / gcd) * static_cast<double>(b);
}

// --- Normalisation helpers. Every rewrite shrinks the text or keeps its length, so each works in
// place with a read and a write index. ---

bool Contains(const wchar_t* text, int length, std::wstring_view pattern)
{
    return std::wstring_view(text, static_cast<size_t>(length)).find(pattern) != std::wstring_view::npos;
}

// A character that can end an operand: what stands before it is complete.
bool EndsOperand(wchar_t c)
{
    return IsNumberChar(c) || IsAsciiLetter(c) || c == L'_' || c == L')';
}

// Replaces every occurrence of pattern, left to right without overlap, where accept(text, write,
// after) agrees: write is the length of the text already rewritten, after the index just past the
// match in the text not yet rewritten.
template<typename Accept>
int ReplaceAll(wchar_t* text, int length, std::wstring_view pattern, std::wstring_view replacement, Accept accept)
{
    const size_t found = std::wstring_view(text, static_cast<size_t>(length)).find(pattern);
    if (found == std::wstring_view::npos)
        return length;
    const int patternLength = static_cast<int>(pattern.size());
    int write = static_cast<int>(found);
    for (int read = write; read < length;) {
        if (text[read] == pattern[0] && read + patternLength <= length
            && std::equal(pattern.begin() + 1, pattern.end(), text + read + 1)
            && accept(text, write, read + patternLength)) {
            for (wchar_t c : replacement)
                text[write++] = c;
            read += patternLength;
        } else {
            text[write++] = text[read++];
        }
    }
    return write;
}

int ReplaceAll(wchar_t* text, int length, std::wstring_view pattern, std::wstring_view replacement)
{
    return ReplaceAll(text, length, pattern, replacement, [](const wchar_t*, int, int) { return true; });
}

// "*(1)" goes where it multiplies a complete operand and no "^" or further operand follows: the
// match ends at after, write characters of the rewritten text stand before it.
constexpr std::wstring_view TrailingFactorOne = L"*(1)"sv;
bool DropsTrailingFactorOne(const wchar_t* text, int write, int after, int length)
{
    bool operandBefore = write > 0 && EndsOperand(text[write - 1]);
    bool looseAfter = after >= length || L"+-*/)"sv.find(text[after]) != std::wstring_view::npos;
    return operandBefore && looseAfter;
}

// "(1)*" goes where a term starts: at the start, after "(", or after a binary "+" or "-".
constexpr std::wstring_view LeadingFactorOne = L"(1)*"sv;
bool DropsLeadingFactorOne(const wchar_t* text, int write)
{
    if (write == 0 || text[write - 1] == L'(')
        return true;
    bool additive = text[write - 1] == L'+' || text[write - 1] == L'-';
    return additive && write > 1 && EndsOperand(text[write - 2]);
}

// Parentheses around x that the parse cannot miss, each rewrite applied to the whole text in turn.
constexpr std::pair<std::wstring_view, std::wstring_view> ParenthesisedXRewrites[] = {
    { L"*(x)"sv, L"*x"sv },
    { L"((x)*"sv, L"(x*"sv },
    { L"+(x)*"sv, L"+x*"sv },
    { L"-(x)*"sv, L"-x*"sv },
    { L"*(x)*"sv, L"*x*"sv },
};

// What UnifyCharacters rewrites, the doubled-pair mark, and the white space trimmed at the ends.
constexpr std::wstring_view CharactersNormalisationChanges = L" ,[]{}|\t\n\v\f\r"sv;

// Blanks removed, "," made ".", brackets and braces made parentheses: one pass.
int UnifyCharacters(wchar_t* text, int length)
{
    int write = 0;
    for (int read = 0; read < length; ++read) {
        wchar_t c = text[read];
        switch (c) {
        case L' ': continue;
        case L',': c = L'.'; break;
        case L'[': case L'{': c = L'('; break;
        case L']': case L'}': c = L')'; break;
        default: break;
        }
        text[write++] = c;
    }
    return write;
}

// *out = "Error on position <position> --> Return Button" followed by message, composed in place
// so that a formula that keeps failing (a curve of a mistyped formula) costs no allocation.
void FormatStopMessage(CString* out, int position, const wchar_t* message)
{
    constexpr std::wstring_view prefix = L"Error on position "sv;
    constexpr std::wstring_view suffix = L" --> Return Button"sv;
    char digits[16];
    const auto [digitsEnd, error] = std::to_chars(std::begin(digits), std::end(digits), position);
    (void)error;  // an int always fits
    const std::wstring_view messageText(message);

    std::array<wchar_t, 128> text;
    auto write = std::copy(prefix.begin(), prefix.end(), text.begin());
    write = std::copy(std::begin(digits), digitsEnd, write);
    write = std::copy(suffix.begin(), suffix.end(), write);
    write = std::copy(messageText.begin(), messageText.end(), write);
    *write = L'\0';
    *out = text.data();
}

} // namespace

const std::pair<const wchar_t*, CFormulaParser::NameKind> CFormulaParser::BuiltInNames[] = {
    { L"PI", NameKind::Pi }, { L"ABS", NameKind::Abs }, { L"SQR", NameKind::Sqr },
    { L"SINH", NameKind::Sinh }, { L"COSH", NameKind::Cosh }, { L"TANH", NameKind::Tanh },
    { L"ARCTAN", NameKind::ArcTan }, { L"LN", NameKind::Ln }, { L"LOG", NameKind::Log },
    { L"EXP", NameKind::Exp }, { L"SIN", NameKind::Sin }, { L"COS", NameKind::Cos },
    { L"TAN", NameKind::Tan }, { L"COT", NameKind::Cot }, { L"ARCSIN", NameKind::ArcSin },
    { L"ARCCOS", NameKind::ArcCos }, { L"INT", NameKind::Int }, { L"RAD", NameKind::Rad },
    { L"DEG", NameKind::Deg }, { L"SIGN", NameKind::Sign }, { L"ARSINH", NameKind::ArSinh },
    { L"ARCOSH", NameKind::ArCosh }, { L"ARTANH", NameKind::ArTanh }, { L"KGV", NameKind::Kgv },
    { L"GGT", NameKind::Ggt },
};

std::vector<std::wstring_view> CFormulaParser::FunctionNames()
{
    std::vector<std::wstring_view> names;
    for (const auto& [text, kind] : BuiltInNames)
        if (kind != NameKind::Pi)
            names.push_back(text);
    return names;
}

CFormulaParser::CFormulaParser(const CPhysConst& physConst)
{
    for (const auto& [text, kind] : BuiltInNames)
        m_names.push_back({ text, kind, 0.0 });

    // The constants come longest first, and "_e" after the constants that begin with it.
    CString constantName;
    for (int index = 1; index <= MaxConstantIndex; ++index) {
        if (physConst.GetName(&constantName, index) == CPhysConst::EndMarker)
            break;
        std::wstring upper = constantName.str();
        for (wchar_t& c : upper)
            c = ToUpperAscii(c);
        m_names.push_back({ upper, NameKind::PhysicalConstant, physConst.GetValue(constantName) });
    }
    m_names.push_back({ L"_E", NameKind::E, 0.0 });

    // Group the names by their first two characters, keeping table order within each group.
    auto bucketOf = [this](unsigned char index) {
        return NameBucket(m_names[index].upperText[0], m_names[index].upperText[1]);
    };
    for (size_t index = 0; index < m_names.size(); ++index)
        m_nameOrder.push_back(static_cast<unsigned char>(index));
    std::sort(m_nameOrder.begin(), m_nameOrder.end(), [&](unsigned char a, unsigned char b) {
        return std::pair(bucketOf(a), a) < std::pair(bucketOf(b), b);
    });
    for (size_t slot = 0; slot < m_nameOrder.size(); ++slot) {
        auto& [first, last] = m_nameBuckets[bucketOf(m_nameOrder[slot])];
        if (first == last)
            first = static_cast<std::uint16_t>(slot);
        last = static_cast<std::uint16_t>(slot + 1);
    }
}

void CFormulaParser::SetFunctConst(int n, double value)
{
    if (n < 1 || n > 9) {
        AfxMessageBox(L"ProgrammError in SetFunctConst()", MB_OK);
        return;
    }
    m_functConst[static_cast<size_t>(n)] = value;
}

// --- Normalisation ---

void CFormulaParser::NormalizeFormula(CString& text, LeadingPlus leadingPlus)
{
    int length = text.GetLength();
    if (length == 0)
        return;
    wchar_t* buffer = text.GetBuffer(length);

    length = UnifyCharacters(buffer, length);
    // The function-tree text writes a factor 1 as "*(1)" and "(1)*". Dropping one changes nothing
    // only where it multiplies a complete operand and nothing binds tighter on its other side:
    // "3*(1)+2" and "2+(1)*3" lose it, but SIN(1)*2, 6/(1)*2, 2*(1)^2 and -(1)*2^2 keep it.
    if (Contains(buffer, length, L"(1)"sv)) {
        length = ReplaceAll(buffer, length, TrailingFactorOne, L""sv, [length](const wchar_t* t, int write, int after) {
            return DropsTrailingFactorOne(t, write, after, length);
        });
        length = ReplaceAll(buffer, length, LeadingFactorOne, L""sv, [](const wchar_t* t, int write, int) {
            return DropsLeadingFactorOne(t, write);
        });
    }
    if (Contains(buffer, length, L"(x)"sv)) {
        for (const auto& [pattern, replacement] : ParenthesisedXRewrites)
            length = ReplaceAll(buffer, length, pattern, replacement);
    }

    length = StripEnclosingParentheses(buffer, length);

    int leading = 0;
    while (leading < length && (buffer[leading] == L' ' || (buffer[leading] == L'+' && leadingPlus == LeadingPlus::Drop)))
        ++leading;
    if (leading > 0) {
        std::wmemmove(buffer, buffer + leading, static_cast<size_t>(length - leading));
        length -= leading;
    }
    while (length > 0 && L" \t\n\v\f\r"sv.find(buffer[length - 1]) != std::wstring_view::npos)
        --length;

    if (Contains(buffer, length, L"(("sv))  // a doubled pair needs "((" somewhere
        MarkDoubledParentheses(buffer, length);
    length = static_cast<int>(std::remove(buffer, buffer + length, L'|') - buffer);

    text.ReleaseBuffer(length);
}

CFormulaParser::StablePrefixes::StablePrefixes(std::wstring_view text, LeadingPlus leadingPlus)
    : m_text(text)
    , m_leadingPlus(leadingPlus)
{
    const int length = static_cast<int>(text.size());
    int firstChanging = length + 1;
    auto changesFrom = [&firstChanging](size_t prefixLength) {
        firstChanging = std::min(firstChanging, static_cast<int>(prefixLength));
    };
    auto eachMatch = [text](std::wstring_view pattern, auto&& action) {
        for (size_t at = text.find(pattern); at != std::wstring_view::npos; at = text.find(pattern, at + 1))
            action(at);
    };

    const size_t changed = text.find_first_of(CharactersNormalisationChanges);
    if (changed != std::wstring_view::npos)
        changesFrom(changed + 1);
    // A "*(1)" that the whole text keeps, for what follows it, goes from a prefix that ends with it.
    eachMatch(TrailingFactorOne, [&](size_t at) {
        const size_t after = at + TrailingFactorOne.size();
        if (DropsTrailingFactorOne(text.data(), static_cast<int>(at), static_cast<int>(after), length))
            changesFrom(after);
        else if (DropsTrailingFactorOne(text.data(), static_cast<int>(at), static_cast<int>(after), static_cast<int>(after)))
            m_changingLengths.push_back(static_cast<int>(after));
    });
    eachMatch(LeadingFactorOne, [&](size_t at) {
        if (DropsLeadingFactorOne(text.data(), static_cast<int>(at)))
            changesFrom(at + LeadingFactorOne.size());
    });
    for (const auto& rewrite : ParenthesisedXRewrites)
        eachMatch(rewrite.first, [&](size_t at) { changesFrom(at + rewrite.first.size()); });

    // Pairs matched in the text are matched alike in every prefix that holds their ")"; a doubled
    // pair ((a)) changes every prefix that holds its outer ")".
    std::vector<int> open;
    std::vector<int> closeOf(text.size(), -1);
    int depth = 0;
    m_firstOperandAtDepthZero = length;
    for (int i = 0; i < length; ++i) {
        const wchar_t c = text[static_cast<size_t>(i)];
        if (c == L'(') {
            open.push_back(i);
            ++depth;
        } else if (c == L')') {
            if (!open.empty()) {
                closeOf[static_cast<size_t>(open.back())] = i;
                open.pop_back();
            }
            --depth;
        } else if (depth == 0) {
            m_firstOperandAtDepthZero = std::min(m_firstOperandAtDepthZero, i);
        }
    }
    for (size_t i = 1; i < closeOf.size(); ++i) {
        if (closeOf[i] >= 0 && closeOf[i - 1] == closeOf[i] + 1)
            changesFrom(static_cast<size_t>(closeOf[i - 1]) + 1);
    }
    m_firstChanging = firstChanging;
}

bool CFormulaParser::StablePrefixes::Keeps(int length) const
{
    if (length <= 0)
        return true;
    if (length >= m_firstChanging || std::binary_search(m_changingLengths.begin(), m_changingLengths.end(), length))
        return false;
    if (m_leadingPlus == LeadingPlus::Drop && m_text[0] == L'+')
        return false;
    // Enclosing parentheses go when no character but a parenthesis stands outside all of them.
    const bool enclosed = length >= 2 && m_text[0] == L'(' && m_text[static_cast<size_t>(length) - 1] == L')';
    return !(enclosed && length <= m_firstOperandAtDepthZero);
}

// The text is enclosed when it starts with "(" and ends with ")", no character other than a
// parenthesis stands at depth 0 before the last one, and the depth does not end at -1; while it
// is, the outer pair goes. Only "(" were stripped in front and ")" behind, so whether the next pair
// may go depends only on the total depth and on whether a non-parenthesis character stands at
// that depth of the whole text: one scan decides every strip.
int CFormulaParser::StripEnclosingParentheses(wchar_t* text, int length)
{
    if (length < 2 || text[0] != L'(' || text[length - 1] != L')')
        return length;

    std::vector<int>& operandAtDepth = m_operandAtDepth;  // 1 where a non-parenthesis stands at that depth
    operandAtDepth.assign(static_cast<size_t>(length) + 1, 0);
    int depth = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'(')
            ++depth;
        else if (text[i] == L')')
            --depth;
        else if (depth >= 0)
            operandAtDepth[static_cast<size_t>(depth)] = 1;
    }
    if (depth == -1)
        return length;

    int stripped = 0;
    while (length - 2 * stripped >= 2 && text[stripped] == L'(' && text[length - 1 - stripped] == L')'
           && !operandAtDepth[static_cast<size_t>(stripped)])
        ++stripped;
    if (stripped == 0)
        return length;
    length -= 2 * stripped;
    std::wmemmove(text, text + stripped, static_cast<size_t>(length));
    return length;
}

// Marks with "|" the inner pair of ((a)): a pair whose "(" follows the "(" of the pair around it
// and whose ")" precedes that pair's ")". Pairs are matched on a stack, so a pair that only looks
// doubled, like the ")(" of ((b)-(c)), is kept. Removing the marks is left to the caller.
void CFormulaParser::MarkDoubledParentheses(wchar_t* text, int length)
{
    std::vector<int>& open = m_openAtLevel;        // positions of the "(" not yet closed
    std::vector<int>& closeOf = m_operandAtDepth;  // for each "(", the position of its ")", or -1
    open.clear();
    closeOf.assign(static_cast<size_t>(length), -1);
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'(') {
            open.push_back(i);
        } else if (text[i] == L')' && !open.empty()) {
            closeOf[static_cast<size_t>(open.back())] = i;
            open.pop_back();
        }
    }
    for (int i = 1; i < length; ++i) {
        int close = closeOf[static_cast<size_t>(i)];
        if (close >= 0 && closeOf[static_cast<size_t>(i - 1)] == close + 1) {
            text[i] = L'|';
            text[close] = L'|';
        }
    }
}

// --- Evaluation ---

double CFormulaParser::Calculate(const CString& formula, double x, int* errPos, CString* errText, BOOL normalise)
{
    if (formula.GetLength() < 1)
        return 0.0;
    try {
        m_errorMessage = L"";
        const CString* text = &formula;
        if (normalise) {
            m_formula = formula;
            NormalizeFormula(m_formula);
            text = &m_formula;
        }
        m_text = text->GetString();
        m_length = text->GetLength();
        m_x = x == 0.0 ? ZeroSubstitute : x;
        m_position = 0;
        m_depth = 0;
        m_stopped = false;

        NextToken();
        double value = ParseExpression();
        KeepLastNumberText();

        if (!m_stopped && m_token == 0) {
            if (*m_errorMessage)
                *errText = m_errorMessage;
            else
                errText->Empty();
            *errPos = 0;
        } else {
            *errPos = m_position;
            FormatStopMessage(errText, m_position, m_errorMessage);
        }
        return value;
    } catch (CException* exception) {
        wchar_t message[256];
        if (!exception->GetErrorMessage(message, 256))
            message[0] = L'\0';
        exception->Delete();
        return ReportSystemError(errText, message);
    } catch (const std::exception& exception) {
        std::wstring message = NarrowToWide(exception.what());
        return ReportSystemError(errText, message.substr(0, 255).c_str());
    }
}

double CFormulaParser::ReportSystemError(CString* errText, const wchar_t* message)
{
    m_lastNumberInFormula = false;
    *errText = CString(L"System Error: ") + message;
    return 0.0;
}

// The formula text may not outlive this call, but the last number read must.
void CFormulaParser::KeepLastNumberText()
{
    if (!m_lastNumberInFormula)
        return;
    m_lastNumberText.assign(m_text + m_lastNumberStart, static_cast<size_t>(m_lastNumberLength));
    m_lastNumberInFormula = false;
}

// The grammar levels below expression are inlined into it, so that a plain operand costs no call;
// only parentheses and names nest calls.
#define FLN_INLINE [[gnu::always_inline]] inline

FLN_INLINE void CFormulaParser::NextToken()
{
    if (m_stopped)
        return;
    do {
        ++m_position;
        m_token = m_position > m_length ? 0 : m_text[m_position - 1];
    } while (m_token == L' ');
}

void CFormulaParser::StopParse()
{
    m_stopped = true;
    m_token = StopToken;
}

double CFormulaParser::ParseExpression()
{
    double value = ParseTerm();
    while (m_token == L'+' || m_token == L'-') {
        bool add = m_token == L'+';
        NextToken();
        double right = ParseTerm();
        value = add ? value + right : value - right;
    }
    return value;
}

FLN_INLINE double CFormulaParser::ParseTerm()
{
    double value = ParsePower();
    while (m_token == L'*' || m_token == L'/') {
        bool multiply = m_token == L'*';
        NextToken();
        double right = ParsePower();
        if (multiply)
            value *= right;
        else if (right == 0.0)
            m_errorMessage = DivideByZero;  // the division is skipped
        else
            value /= right;
    }
    return value;
}

FLN_INLINE double CFormulaParser::ParsePower()
{
    double base = ParseSigned();
    while (m_token == L'^') {
        NextToken();
        double exponent = ParseSigned();
        // A base of 0 or below takes only whole exponents beyond +-1.
        if (base > 0.0 || std::isnan(base) || (IsWholeInt32(exponent) && std::fabs(exponent) > 1.0))
            base = std::pow(base, exponent);
        else
            m_errorMessage = NegativeBase;
    }
    return base;
}

FLN_INLINE double CFormulaParser::ParseSigned()
{
    if (m_token == L'-') {
        NextToken();
        return -ParseFactor();
    }
    return ParseFactor();
}

FLN_INLINE double CFormulaParser::ParseFactor()
{
    if (m_token == 0)
        return 0.0;  // a missing operand at the end reads as 0
    if (IsNumberChar(m_token))
        return ParseNumber();
    if (ToUpperAscii(m_token) == L'X') {
        NextToken();
        return m_x;
    }
    return ParseCompositeFactor();
}

FLN_INLINE double CFormulaParser::ParseNumber()
{
    const wchar_t* start = m_text + m_position - 1;
    const wchar_t* end = start;
    double value = ReadNumberRun(start, m_text + m_length, &end, m_numberScratch);
    m_lastNumberStart = static_cast<int>(start - m_text);
    m_lastNumberLength = static_cast<int>(end - start);
    m_lastNumberInFormula = true;
    m_position = static_cast<int>(end - m_text);
    NextToken();
    return value;
}

double CFormulaParser::ParseCompositeFactor()
{
    const Name* name = m_token == L'(' ? nullptr : MatchName();
    if (m_token == L'(' || name) {
        // Each level of parentheses or function arguments nests one factor in another.
        if (m_depth >= MaxNestingDepth) {
            StopParse();
            return 0.0;
        }
        ++m_depth;
        double value;
        if (name) {
            m_position += static_cast<int>(name->upperText.size()) - 1;
            NextToken();
            value = ApplyName(*name, ParseFactor());
        } else {
            NextToken();
            value = ParseExpression();
            if (m_token == L')')
                NextToken();  // a missing ")" is accepted
        }
        --m_depth;
        return value;
    }
    const wchar_t upper = ToUpperAscii(m_token);
    if (upper >= L'A' && upper <= L'G') {
        NextToken();
        return m_functConst[static_cast<size_t>(upper - L'A' + 1)];
    }
    return 0.0;  // nothing taken: the parse stops here
}

#undef FLN_INLINE

const CFormulaParser::Name* CFormulaParser::MatchName() const
{
    // Every name has at least two characters.
    const int start = m_position - 1;
    if (start + 1 >= m_length)
        return nullptr;
    const auto [first, last] = m_nameBuckets[NameBucket(ToUpperAscii(m_token), ToUpperAscii(m_text[start + 1]))];
    for (int slot = first; slot < last; ++slot) {
        const Name& name = m_names[m_nameOrder[static_cast<size_t>(slot)]];
        const int length = static_cast<int>(name.upperText.size());
        if (start + length > m_length)
            continue;
        int i = 2;
        while (i < length && ToUpperAscii(m_text[start + i]) == name.upperText[static_cast<size_t>(i)])
            ++i;
        if (i == length && name.upperText[0] == ToUpperAscii(m_token)
            && name.upperText[1] == ToUpperAscii(m_text[start + 1]))
            return &name;
    }
    return nullptr;
}

double CFormulaParser::ApplyName(const Name& name, double v)
{
    bool domainError = false;
    double result = v;
    switch (name.kind) {
    case NameKind::Pi: result = Pi; break;
    case NameKind::E: result = EulerE; break;
    case NameKind::Abs: result = std::fabs(v); break;
    case NameKind::Sqr: domainError = v < 0.0; if (!domainError) result = std::sqrt(v); break;
    case NameKind::Sinh: result = std::sinh(v); break;
    case NameKind::Cosh: result = std::cosh(v); break;
    case NameKind::Tanh: result = std::tanh(v); break;
    case NameKind::ArcTan: result = std::atan(v); break;
    case NameKind::Ln: domainError = v < 0.0; if (!domainError) result = std::log(v); break;
    case NameKind::Log: domainError = v < 0.0; if (!domainError) result = std::log10(v); break;
    case NameKind::Exp: domainError = v > 41.0; if (!domainError) result = std::exp(v); break;
    case NameKind::Sin: result = std::sin(v); break;
    case NameKind::Cos: result = std::cos(v); break;
    case NameKind::Tan: domainError = std::cos(v) == 0.0; if (!domainError) result = std::tan(v); break;
    case NameKind::Cot: result = std::cos(v) / std::sin(v); break;
    case NameKind::ArcSin: domainError = std::fabs(v) >= 1.0; if (!domainError) result = std::asin(v); break;
    case NameKind::ArcCos: domainError = std::fabs(v) > 1.0; if (!domainError) result = std::acos(v); break;
    // Truncated in floating point, so that whole values beyond the 32-bit range keep their value
    // (INT(3000000000.5) is 3000000000); "+ 0.0" turns the -0 of INT(-0.5) into 0.
    case NameKind::Int: result = std::trunc(v) + 0.0; break;
    case NameKind::Rad: result = m_math.DegToRad(v); break;
    case NameKind::Deg: result = m_math.RadToDeg(v); break;
    case NameKind::Sign: result = v > 0.0 ? 1.0 : v < 0.0 ? -1.0 : 0.0; break;
    case NameKind::ArSinh:
        result = v < 0.0 ? -std::log(std::sqrt(v * v + 1.0) - v) : std::log(v + std::sqrt(v * v + 1.0));
        break;
    case NameKind::ArCosh:
        domainError = v < 1.0;  // below 1 the root would be of a negative number
        if (!domainError)
            result = std::log(std::sqrt(v * v - 1.0) + v);
        break;
    case NameKind::ArTanh:
        domainError = std::fabs(v) > 1.0;
        if (!domainError)
            result = 0.5 * std::log((1.0 + v) / (1.0 - v));
        break;
    case NameKind::Kgv:
    case NameKind::Ggt: result = IntegerPairFunction(name.kind); break;
    case NameKind::PhysicalConstant:
        if (name.constantValue != 0.0)
            result = name.constantValue;
        break;
    }
    if (domainError)
        m_errorMessage = DomainError;
    return result;
}

// KGV(12,18) reaches the parser as KGV(12.18): the two integers are the parts of the last number
// text before and after its first point, each rounded half away from zero.
double CFormulaParser::IntegerPairFunction(NameKind kind) const
{
    std::wstring_view text = m_lastNumberInFormula
        ? std::wstring_view(m_text + m_lastNumberStart, static_cast<size_t>(m_lastNumberLength))
        : std::wstring_view(m_lastNumberText);
    size_t point = text.find(L'.');
    std::wstring_view first = text.substr(0, point);
    std::wstring_view second = point == std::wstring_view::npos ? std::wstring_view() : text.substr(point + 1);

    std::wstring scratch;
    const wchar_t* end;
    // Both parts are runs of digits, so neither is negative; 64 bits keep integers beyond 2^31.
    std::int64_t a = m_math.RoundToInt64(ReadNumberRun(first.data(), first.data() + first.size(), &end, scratch));
    std::int64_t b = m_math.RoundToInt64(ReadNumberRun(second.data(), second.data() + second.size(), &end, scratch));
    return kind == NameKind::Kgv ? Lcm(a, b) : static_cast<double>(Gcd(a, b));
}
