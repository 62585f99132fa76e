#pragma once
// CFormulaParser: turns one line of formula text into a number.
//
// A recursive-descent parser that evaluates while it reads: each grammar level looks at one
// character and returns a double; there is no token list and no tree. It knows the variable x, the
// function constants A to G, pi and e, the built-in functions (SIN, ARCOSH, KGV, ...), the physical
// constants and the operators + - * / ^ with parentheses.
//
// Grammar, loosest first:
//   expression := term { ("+" | "-") term }
//   term       := power { ("*" | "/") power }
//   power      := signed { "^" signed }          left-associative: 2^3^2 is 64
//   signed     := "-" factor | factor            the sign binds tighter than "^": -2^2 is 4
//   factor     := number | "(" expression [")"] | "X" | name factor | "A".."G"
// A name takes the factor after it as its argument, so SIN(x), SIN x and SIN2 all work.
//
// Problems met while evaluating (a zero divisor, a function outside its domain) do not stop the
// parse: they leave an error message and the parse goes on. A character that no rule takes stops
// the parse, and Calculate reports its 1-based position.
//
// One instance is shared by every caller, one call at a time; evaluation is not re-entrant.

#include "engine/MathHelper.h"
#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <array>
#include <cstdint>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

class CPhysConst;

class CFormulaParser {
public:
    // Nesting deeper than this (parentheses and function arguments) stops the parse at the
    // position where it was reached, instead of exhausting the stack.
    static constexpr int MaxNestingDepth = 1000;
    // Calculate reads x = 0 as this value (the smallest normal float), so that SIN(x)/x stays finite.
    static constexpr double ZeroSubstitute = 1.1754943508222875e-38;

    // The constant names are read from physConst now, their values when a formula uses them.
    explicit CFormulaParser(const CPhysConst& physConst);
    virtual ~CFormulaParser() = default;
    CFormulaParser(const CFormulaParser&) = delete;
    CFormulaParser& operator=(const CFormulaParser&) = delete;

    // Stores function constant n (1 to 9); the letters A to G read 1 to 7. Any other n is a
    // programming error and shows a message box.
    void SetFunctConst(int n, double value);

    // What NormalizeFormula does with a "+" at the start. The parser has no unary "+" and drops
    // it; the function-tree builder keeps it, and reads such a text as one it cannot split.
    enum class LeadingPlus : bool { Drop, Keep };

    // Rewrites text in place: blanks removed, brackets and braces made parentheses, decimal commas
    // made points, a factor (1) and parentheses around x dropped where the parse cannot change,
    // enclosing and doubled parentheses removed, a leading "+" removed (unless kept).
    void NormalizeFormula(CString& text, LeadingPlus leadingPlus = LeadingPlus::Drop);

    // Which prefixes of one text NormalizeFormula would give back unchanged, known after one pass
    // over the text. The function-tree builder normalises the part left of every operator of a
    // chain a+b+...+z in turn; with this it skips the parts that stay as they are, instead of a
    // pass over the chain per operator.
    class StablePrefixes {
    public:
        // The text must outlive this object.
        StablePrefixes(std::wstring_view text, LeadingPlus leadingPlus);
        // True when the first length characters normalise to themselves. False when they would
        // change, and for some prefixes of a text with more ")" than "(", which might.
        bool Keeps(int length) const;

    private:
        std::wstring_view m_text;
        LeadingPlus m_leadingPlus;
        int m_firstChanging;            // every prefix at least this long changes
        std::vector<int> m_changingLengths;  // shorter prefixes that change too, ascending
        int m_firstOperandAtDepthZero;  // a prefix that ends before it may lose enclosing parentheses
    };

    // The names of the functions a formula may call, in upper case (PI and the constants aside).
    static std::vector<std::wstring_view> FunctionNames();

    // Evaluates formula at x. On return *errPos is 0 when the whole text was read (with *errText
    // "" or the message of the last evaluation problem), or the position where the parse stopped
    // (with *errText "Error on position <n> --> Return Button" followed by the message). The value
    // read so far is returned either way. An empty formula gives 0.0 and leaves both outputs alone.
    // An exception inside gives 0.0 and *errText "System Error: " followed by its message.
    double Calculate(const CString& formula, double x, int* errPos, CString* errText, BOOL normalise);

private:
    enum class NameKind : unsigned char {
        Pi, Abs, Sqr, Sinh, Cosh, Tanh, ArcTan, Ln, Log, Exp, Sin, Cos, Tan, Cot, ArcSin, ArcCos,
        Int, Rad, Deg, Sign, ArSinh, ArCosh, ArTanh, Kgv, Ggt, E, PhysicalConstant,
    };
    // The functions and PI, in the order they are matched.
    static const std::pair<const wchar_t*, NameKind> BuiltInNames[];
    struct Name {
        std::wstring upperText;
        NameKind kind;
        double constantValue;  // for PhysicalConstant; 0.0 means no constant
    };

    void NextToken();
    double ParseExpression();
    double ParseTerm();
    double ParsePower();
    double ParseSigned();
    double ParseFactor();           // a number or x, else ParseCompositeFactor
    double ParseCompositeFactor();  // parentheses, names, the letters A to G
    double ParseNumber();
    const Name* MatchName() const;
    static constexpr size_t NameBucket(wchar_t first, wchar_t second)
    {
        return (static_cast<size_t>(first) & 127) * 32 + (static_cast<size_t>(second) & 31);
    }
    double ApplyName(const Name& name, double argument);
    double IntegerPairFunction(NameKind kind) const;
    void StopParse();
    void KeepLastNumberText();
    double ReportSystemError(CString* errText, const wchar_t* message);

    // Normalisation passes over a buffer (texts only shrink).
    int StripEnclosingParentheses(wchar_t* text, int length);  // returns the new length
    void MarkDoubledParentheses(wchar_t* text, int length);    // marks the inner pair of ((a)) with "|"

    CMathHelper m_math;
    std::array<double, 10> m_functConst {};  // 1 to 9 used

    // The name table in match order: the built-in names, the physical constants (longest first),
    // then "_e". m_nameOrder holds their indexes grouped by the first two characters (table order
    // within a group); m_nameBuckets gives each group's range in it.
    std::vector<Name> m_names;
    std::vector<unsigned char> m_nameOrder;
    std::array<std::pair<std::uint16_t, std::uint16_t>, 128 * 32> m_nameBuckets {};

    // State of the running evaluation. m_formula holds the text only when it was normalised.
    CString m_formula;
    const wchar_t* m_text = nullptr;
    int m_length = 0;
    int m_position = 0;     // 1-based position of the current token
    wchar_t m_token = 0;    // 0 at the end of the text
    double m_x = 0.0;
    const wchar_t* m_errorMessage = L"";
    int m_depth = 0;
    bool m_stopped = false;

    // The text of the last number read, kept between calls: KGV and GGT take their two integers
    // from it. While the parse runs only its place in the formula is recorded.
    std::wstring m_lastNumberText;
    int m_lastNumberStart = 0;
    int m_lastNumberLength = 0;
    bool m_lastNumberInFormula = false;
    std::wstring m_numberScratch;

    // Scratch buffers of the normaliser, kept to avoid allocating on every call.
    std::vector<int> m_operandAtDepth;  // also the matching ")" of each "(" when marking doubled pairs
    std::vector<int> m_openAtLevel;     // the "(" not yet closed
};
