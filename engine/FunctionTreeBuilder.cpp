#include "engine/FunctionTreeBuilder.h"

#include "engine/FormulaEngine.h"
#include "engine/FunctionTreeNodes.h"
#include "engine/PhysConst.h"
#include "platform/base/TextToNumber.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace {

using Tree = FunctionPtr<double>;

constexpr double Pi = 3.141592653589793;
constexpr double E = 2.718281828459045;

template <template <typename> class Node, typename... Args>
Tree New(Args&&... args)
{
    return std::make_unique<Node<double>>(std::forward<Args>(args)...);
}

Tree Constant(double value)
{
    return New<CConstFunction>(value);
}

// A node whose own rule knows it to be zero or constant becomes the zero node or a constant.
Tree Reduce(Tree node)
{
    if (node->IsZero())
        return New<CNullFunction>();
    if (node->IsConstant())
        return Constant(node->Evaluate(0));
    return node;
}

// The function names the builder knows, in the order they are tried.
struct NamedFunction {
    const wchar_t* name;
    FunctionKind kind;
    bool readsConstantArgument;  // folded to a constant over a constant argument
    Tree (*ofVariable)();
    Tree (*ofTree)(Tree);
};

template <FunctionKind Kind>
constexpr NamedFunction Named(const wchar_t* name, bool readsConstantArgument = true)
{
    return { name, Kind, readsConstantArgument, [] { return Tree(std::make_unique<CFunctionOfX<double, Kind>>()); },
             [](Tree u) { return Tree(std::make_unique<CFunctionOf<double, Kind>>(std::move(u))); } };
}

const NamedFunction NamedFunctions[] = {
    Named<FunctionKind::Exp>(L"EXP"),
    Named<FunctionKind::Sin>(L"SIN"),
    Named<FunctionKind::Cos>(L"COS"),
    Named<FunctionKind::Tan>(L"TAN"),
    Named<FunctionKind::Cot>(L"COT"),
    Named<FunctionKind::Sinh>(L"SINH"),
    Named<FunctionKind::Cosh>(L"COSH"),
    Named<FunctionKind::Tanh>(L"TANH"),
    Named<FunctionKind::Coth>(L"COTH", false),
    Named<FunctionKind::Abs>(L"ABS"),
    Named<FunctionKind::Ceil>(L"CEIL"),
    Named<FunctionKind::Floor>(L"FLOOR"),
    Named<FunctionKind::Log10>(L"LOG"),
    Named<FunctionKind::Log>(L"LN"),
    Named<FunctionKind::Sqrt>(L"SQR"),  // SQR is the square root
    Named<FunctionKind::Asin>(L"ARCSIN"),
    Named<FunctionKind::Acos>(L"ARCCOS"),
    Named<FunctionKind::Atan>(L"ARCTAN"),
    Named<FunctionKind::Gamma>(L"GAMMA"),
};

// The tree of a function over the constant c: the zero node where the function is 0 there.
Tree FunctionOfConstant(FunctionKind kind, double c)
{
    switch (kind) {
    case FunctionKind::Sin:
    case FunctionKind::Tan:
    case FunctionKind::Sinh:
    case FunctionKind::Tanh:
    case FunctionKind::Abs:
    case FunctionKind::Ceil:
    case FunctionKind::Floor:
    case FunctionKind::Sqrt:
    case FunctionKind::Asin:
    case FunctionKind::Atan:
        if (c == 0)
            return New<CNullFunction>();
        break;
    case FunctionKind::Log10:
    case FunctionKind::Log:
        if (c == 1)
            return New<CNullFunction>();
        break;
    default:
        break;
    }
    return Constant(ApplyFunction(kind, c));
}

// The text begins with name (any case) followed by "(" or a blank.
bool StartsWithFunctionName(const CString& text, const wchar_t* name)
{
    const int length = static_cast<int>(std::wcslen(name));
    if (text.GetLength() <= length || (text[length] != L'(' && text[length] != L' '))
        return false;
    return text.Left(length).CompareNoCase(name) == 0;
}

// The rightmost of the operators at parenthesis depth 0 before end, not at the first character;
// -1 if none. Depth counts from end, so a scan continued left of a split finds the next one.
int FindSplit(const CString& text, const wchar_t* operators, int end)
{
    const std::wstring_view chars = text.view();
    const std::wstring_view wanted(operators);
    int depth = 0;
    for (int i = end - 1; i > 0; --i) {
        const wchar_t ch = chars[static_cast<size_t>(i)];
        if (ch == L')')
            ++depth;
        else if (ch == L'(')
            --depth;
        else if (depth == 0 && wanted.find(ch) != std::wstring_view::npos)
            return i;
    }
    return -1;
}

int FindSplit(const CString& text, const wchar_t* operators)
{
    return FindSplit(text, operators, text.GetLength());
}

// Whether the text, enclosed in one pair of parentheses as a whole, goes one level deeper.
bool IsEnclosed(const CString& text)
{
    const std::wstring_view chars = text.view();
    if (chars.size() < 2 || chars.front() != L'(' || chars.back() != L')')
        return false;
    int depth = 0;
    for (size_t i = 0; i + 1 < chars.size(); ++i) {
        if (chars[i] == L'(')
            ++depth;
        else if (chars[i] == L')' && --depth == 0)
            return false;
    }
    return true;
}

// How Build reads a normalised text, in the order it tries.
enum class Form { Additive, Negation, Multiplicative, Power, Term };

// The form, and for a chain the position of its last operator.
struct Reading {
    Form form;
    int split = -1;
};

Reading ReadingOf(const CString& text)
{
    if (const int split = FindSplit(text, L"+-"); split > 0)
        return { Form::Additive, split };
    if (!text.IsEmpty() && text[0] == L'-')
        return { Form::Negation };
    if (const int split = FindSplit(text, L"*/"); split > 0)
        return { Form::Multiplicative, split };
    if (const int split = FindSplit(text, L"^"); split > 0)
        return { Form::Power, split };
    return { Form::Term };
}

const wchar_t* OperatorsOf(Form form)
{
    switch (form) {
    case Form::Additive:
        return L"+-";
    case Form::Multiplicative:
        return L"*/";
    case Form::Power:
        return L"^";
    default:
        return L"";
    }
}

// A leading "+" stays: the builder reads no unary "+", so "+X" ends as an unreadable constant.
constexpr auto BuilderLeadingPlus = CFormulaParser::LeadingPlus::Keep;

void Normalise(CString& text)
{
    GetFormulaEngine().FormulaParser.NormalizeFormula(text, BuilderLeadingPlus);
}

// Whether the first length characters of text are a constant term (see IsConstantTerm), without
// a copy of a long text: a long text is no name, and a number read from the whole text stops
// where the prefix's stops whenever it stops inside the prefix.
bool IsConstantPrefix(const CString& text, int length)
{
    const std::wstring_view prefix = text.view().substr(0, static_cast<size_t>(length));
    size_t first = 0;
    size_t last = prefix.size();
    while (first < last && std::iswspace(prefix[first]))
        ++first;
    while (last > first && std::iswspace(prefix[last - 1]))
        --last;
    if (last - first <= static_cast<size_t>(CPhysConst::MaxNameLength)) {
        CString name(prefix.substr(first, last - first));
        name.MakeUpper();
        if (name == L"PI" || name == L"_E")
            return true;
        if (name.GetLength() == 1 && name[0] >= L'A' && name[0] <= L'G')
            return true;
        if (GetFormulaEngine().PhysConst.IsConstName(name))
            return true;
    }
    const wchar_t* end = nullptr;
    ClassicWcsToD(text.GetString(), &end);
    if (end - text.GetString() < length || length == text.GetLength())
        return *end == L'\0';
    const CString copy(prefix);
    ClassicWcsToD(copy.GetString(), &end);
    return *end == L'\0';
}

// One operator of a chain: its right operand's text, and what its tree needs of the left text,
// which is not kept (the left texts of a chain's links together grow with its length squared).
struct Link {
    CString right;
    wchar_t op;
    bool leftConstant;
    bool rightConstant;
    bool sameTexts;         // the left text equals the right one
    bool leftIsVariable;    // the left text is the variable's name, in its case
    double leftValue = 0;   // of a constant left text

    // The link at text[split] of the chain text's first end characters.
    Link(const CString& text, int split, int end, const CString& variable)
        : right(text.Mid(split + 1, end - split - 1))
        , op(text[split])
        , leftConstant(IsConstantPrefix(text, split))
        , rightConstant(IsConstantTerm(right))
        , sameTexts(split == right.GetLength() && text.view().substr(0, static_cast<size_t>(split)) == right.view())
        , leftIsVariable(text.view().substr(0, static_cast<size_t>(split)) == variable.view())
    {
        if (leftConstant)
            leftValue = ConstantTermValue(text.Left(split));
    }
};

class TreeBuilder {
public:
    explicit TreeBuilder(const wchar_t* variable) : m_variable(variable ? variable : L"") {}

    // depth counts the nesting (parentheses, function arguments, signs) around the text.
    Tree Build(CString& text, int depth);

private:
    // An operand of an operator: one level deeper only when parentheses enclose it.
    Tree BuildOperand(const CString& text, int depth)
    {
        CString copy = text;
        return Build(copy, IsEnclosed(copy) ? depth + 1 : depth);
    }

    Tree BuildChain(const CString& text, Reading reading, int depth);
    Tree CombineFrom(std::vector<Link>& pending, Tree tree, int depth);
    bool UsesLeftTree(const Link& link) const;
    Tree Combine(const Link& link, Tree left, int depth);

    Tree BuildSum(const Link& link, Tree left, int depth);
    Tree BuildDifference(const Link& link, Tree left, int depth);
    Tree BuildNegation(const CString& rest, int depth);
    Tree BuildProduct(const Link& link, Tree left, int depth);
    Tree BuildQuotient(const Link& link, Tree left, int depth);
    Tree BuildPower(const Link& link, Tree left, int depth);
    Tree BuildFunction(CString& text, int depth);

    CString m_variable;
};

Tree TreeBuilder::Build(CString& text, int depth)
{
    Normalise(text);
    if (depth > MaxBuildDepth)
        return Constant(ConstantTermValue(text));

    const Reading reading = ReadingOf(text);
    if (reading.form == Form::Negation)
        return BuildNegation(text.Mid(1), depth);
    if (reading.form != Form::Term)
        return BuildChain(text, reading, depth);

    if (Tree function = BuildFunction(text, depth))
        return function;
    if (text.CompareNoCase(m_variable) == 0)
        return New<CIdentityFunction>();
    return Constant(ConstantTermValue(text));
}

// All operators group from the left, so a chain a+b+...+z is split at its last operator and its
// left part, normalised, is again a chain. The left parts are walked in a loop, not by recursion,
// so a long flat sum or product costs no stack; the trees are then combined from the innermost
// link out. A left part that normalises to itself is the chain text's prefix, whose next split
// the same scan goes on to find: a chain is read in one pass, not one pass per operator.
Tree TreeBuilder::BuildChain(const CString& text, Reading reading, int depth)
{
    const wchar_t* operators = OperatorsOf(reading.form);
    std::vector<Link> pending;  // links whose left operand is built later, outermost first
    const CString* chain = &text;  // normalised; its first end characters are the chain left to read
    CString normalised;            // the chain once a left part changed when normalised
    // Made for the longest left part asked about, the first; every later one is shorter.
    std::optional<CFormulaParser::StablePrefixes> stable;
    int end = chain->GetLength();
    int split = reading.split;
    for (;;) {
        Link link(*chain, split, end, m_variable);
        if (!UsesLeftTree(link))
            return CombineFrom(pending, Combine(link, nullptr, depth), depth);
        pending.push_back(std::move(link));
        if (!stable)
            stable.emplace(chain->view().substr(0, static_cast<size_t>(split)), BuilderLeadingPlus);
        if (stable->Keeps(split)) {
            const int next = FindSplit(*chain, operators, split);
            if (next <= 0)  // the prefix is no chain of this operator: the chain's first operand
                return CombineFrom(pending, BuildOperand(chain->Left(split), depth), depth);
            end = split;
            split = next;
            continue;
        }
        const CString left = chain->Left(split);
        CString leftNormalised = left;
        Normalise(leftNormalised);
        const Reading leftReading = ReadingOf(leftNormalised);
        if (leftReading.form != reading.form)
            return CombineFrom(pending, BuildOperand(left, depth), depth);
        stable.reset();
        normalised = std::move(leftNormalised);
        chain = &normalised;
        end = chain->GetLength();
        split = leftReading.split;
    }
}

// Combines the pending links, innermost first, over the tree of the chain's first operand.
Tree TreeBuilder::CombineFrom(std::vector<Link>& pending, Tree tree, int depth)
{
    for (auto link = pending.rbegin(); link != pending.rend(); ++link)
        tree = Combine(*link, std::move(tree), depth);
    return tree;
}

// Whether the link's tree is made from a tree of its left text (else from texts and the right
// operand alone). Mirrors the choices of the Build... functions below.
bool TreeBuilder::UsesLeftTree(const Link& link) const
{
    if (link.leftConstant)
        return false;
    if (link.rightConstant)
        return link.op != L'*' || ConstantTermValue(link.right) != 0;
    if (link.sameTexts)
        return link.op == L'+' || (link.op == L'*' && !link.leftIsVariable) || link.op == L'^';
    return true;
}

Tree TreeBuilder::Combine(const Link& link, Tree left, int depth)
{
    switch (link.op) {
    case L'+':
        return BuildSum(link, std::move(left), depth);
    case L'-':
        return BuildDifference(link, std::move(left), depth);
    case L'*':
        return BuildProduct(link, std::move(left), depth);
    case L'/':
        return BuildQuotient(link, std::move(left), depth);
    default:
        return BuildPower(link, std::move(left), depth);
    }
}

Tree TreeBuilder::BuildSum(const Link& link, Tree left, int depth)
{
    const bool leftConstant = link.leftConstant;
    const bool rightConstant = link.rightConstant;
    if (leftConstant && rightConstant)
        return Constant(link.leftValue + ConstantTermValue(link.right));
    if (leftConstant)
        return Reduce(New<CAdd0Function>(BuildOperand(link.right, depth), link.leftValue));
    if (rightConstant)
        return Reduce(New<CAdd0Function>(std::move(left), ConstantTermValue(link.right)));
    if (link.sameTexts)
        return New<CMul0Function>(std::move(left), 2.0);
    return Reduce(New<CAddFunction>(std::move(left), BuildOperand(link.right, depth)));
}

Tree TreeBuilder::BuildDifference(const Link& link, Tree left, int depth)
{
    const bool leftConstant = link.leftConstant;
    const bool rightConstant = link.rightConstant;
    if (leftConstant && rightConstant)
        return Constant(link.leftValue - ConstantTermValue(link.right));
    if (leftConstant)
        return Reduce(New<CSubL0Function>(BuildOperand(link.right, depth), link.leftValue));
    if (rightConstant)
        return Reduce(New<CSubR0Function>(std::move(left), ConstantTermValue(link.right)));
    if (link.sameTexts)
        return New<CNullFunction>();
    return Reduce(New<CSubFunction>(std::move(left), BuildOperand(link.right, depth)));
}

// A sign is one level of nesting, so that a run of signs is bounded like parentheses are.
Tree TreeBuilder::BuildNegation(const CString& rest, int depth)
{
    if (IsConstantTerm(rest))
        return Constant(-ConstantTermValue(rest));
    CString copy = rest;
    Tree operand = Build(copy, depth + 1);
    if (operand->IsZero())
        return New<CNullFunction>();
    if (operand->IsConstant())
        return Constant(-operand->Evaluate(0));
    return New<CNegFunction>(std::move(operand));
}

Tree TreeBuilder::BuildProduct(const Link& link, Tree left, int depth)
{
    const bool leftConstant = link.leftConstant;
    const bool rightConstant = link.rightConstant;
    if (leftConstant && rightConstant) {
        const double product = link.leftValue * ConstantTermValue(link.right);
        return product == 0 ? New<CNullFunction>() : Constant(product);
    }
    if (leftConstant || rightConstant) {
        const double factor = leftConstant ? link.leftValue : ConstantTermValue(link.right);
        if (factor == 0)
            return New<CNullFunction>();
        return Reduce(New<CMul0Function>(leftConstant ? BuildOperand(link.right, depth) : std::move(left), factor));
    }
    if (link.sameTexts) {
        if (link.leftIsVariable)
            return New<CSqr1Function>();
        return New<CSqrFunction>(std::move(left));
    }
    return Reduce(New<CMulFunction>(std::move(left), BuildOperand(link.right, depth)));
}

Tree TreeBuilder::BuildQuotient(const Link& link, Tree left, int depth)
{
    const bool leftConstant = link.leftConstant;
    const bool rightConstant = link.rightConstant;
    if (leftConstant && rightConstant)
        return Constant(link.leftValue / ConstantTermValue(link.right));
    // A zero divisor is kept: f/0 evaluates as the division it is, never as 0.
    if (rightConstant)
        return Reduce(New<CDivR0Function>(std::move(left), ConstantTermValue(link.right)));
    if (leftConstant) {
        const double dividend = link.leftValue;
        if (dividend == 0)
            return New<CNullFunction>();
        return Reduce(New<CDivL0Function>(BuildOperand(link.right, depth), dividend));
    }
    if (link.sameTexts)
        return Constant(1);
    return Reduce(New<CDivFunction>(std::move(left), BuildOperand(link.right, depth)));
}

Tree TreeBuilder::BuildPower(const Link& link, Tree left, int depth)
{
    const bool leftConstant = link.leftConstant;
    const bool rightConstant = link.rightConstant;
    if (leftConstant && rightConstant)
        return Constant(std::pow(link.leftValue, ConstantTermValue(link.right)));
    if (leftConstant)
        return New<CPowerL0Function>(BuildOperand(link.right, depth), link.leftValue);
    if (rightConstant)
        return New<CPowerR0Function>(std::move(left), ConstantTermValue(link.right));
    return New<CPowerFunction>(std::move(left), BuildOperand(link.right, depth));
}

// NAME(c), then NAME(variable), then NAME(anything); null when the text is no function call.
Tree TreeBuilder::BuildFunction(CString& text, int depth)
{
    for (const NamedFunction& function : NamedFunctions) {
        if (function.readsConstantArgument && MatchFunctionOfConstant(text, function.name))
            return FunctionOfConstant(function.kind, ConstantTermValue(text));
    }
    for (const NamedFunction& function : NamedFunctions) {
        if (MatchFunctionOfVariable(text, function.name, m_variable))
            return function.ofVariable();
    }
    for (const NamedFunction& function : NamedFunctions) {
        if (StripFunctionName(text, function.name))
            return function.ofTree(BuildOperand(text, depth));  // the argument is enclosed
    }
    return nullptr;
}

} // namespace

FunctionPtr<double> BuildFunctionTree(CString& text, const wchar_t* variable)
{
    try {
        return TreeBuilder(variable).Build(text, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool IsConstantTerm(const CString& text)
{
    return IsConstantPrefix(text, text.GetLength());
}

double ConstantTermValue(const CString& text)
{
    CString name = text;
    name.Trim();
    name.MakeUpper();
    if (name == L"PI")
        return Pi;
    if (name == L"_E")
        return E;
    if (name.GetLength() == 1 && name[0] >= L'A' && name[0] <= L'G')
        return g_FunctConst[name[0] - L'A'];
    const double physical = GetFormulaEngine().PhysConst.GetValue(name);
    if (physical != 0.0)
        return physical;
    return ClassicWcsToD(text);
}

bool StripFunctionName(CString& text, const wchar_t* name)
{
    if (!StartsWithFunctionName(text, name))
        return false;
    const int nameLength = static_cast<int>(std::wcslen(name));
    int depth = 0;
    for (int i = nameLength; i < text.GetLength(); ++i) {
        if (text[i] == L'(') {
            ++depth;
        } else if (text[i] == L')') {
            --depth;
            if (depth < 0)
                return false;
            if (depth == 0) {
                if (i != text.GetLength() - 1)
                    return false;
                text = text.Mid(nameLength);
                return true;
            }
        }
    }
    return false;
}

bool MatchFunctionOfConstant(CString& text, const wchar_t* name)
{
    if (!StartsWithFunctionName(text, name))
        return false;
    const int nameLength = static_cast<int>(std::wcslen(name));
    // The argument lies between the character after the name and the last character.
    const CString argument = text.Mid(nameLength + 1, text.GetLength() - nameLength - 2);
    if (!IsConstantTerm(argument))
        return false;
    text = argument;
    return true;
}

bool MatchFunctionOfVariable(const CString& text, const wchar_t* name, const wchar_t* variable)
{
    return StartsWithFunctionName(text, name) && IsVariableTerm(text.Mid(static_cast<int>(std::wcslen(name))), variable);
}

bool IsVariableTerm(const CString& text, const wchar_t* variable)
{
    CString term = text;
    while (term.GetLength() >= 2 && term[0] == L'(' && term[term.GetLength() - 1] == L')')
        term = term.Mid(1, term.GetLength() - 2);
    if (!term.IsEmpty() && (term[0] == L'+' || term[0] == L' '))
        term = term.Mid(1);
    return term.CompareNoCase(variable ? variable : L"") == 0;
}

std::vector<std::wstring_view> TreeFunctionNames()
{
    std::vector<std::wstring_view> names;
    for (const NamedFunction& function : NamedFunctions)
        names.push_back(function.name);
    return names;
}
