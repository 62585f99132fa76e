#include "engine/FunctionTreeBuilder.h"

#include "engine/FormulaEngine.h"
#include "engine/FunctionTreeNodes.h"
#include "platform/base/TextToNumber.h"

#include <cmath>
#include <cwchar>
#include <new>

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
    const CString prefix(name);
    if (text.GetLength() <= prefix.GetLength() || text.Left(prefix.GetLength()).CompareNoCase(prefix) != 0)
        return false;
    const wchar_t next = text[prefix.GetLength()];
    return next == L'(' || next == L' ';
}

// The rightmost of the operators at parenthesis depth 0, not at the first character; -1 if none.
int FindSplit(const CString& text, const wchar_t* operators)
{
    int depth = 0;
    for (int i = text.GetLength() - 1; i > 0; --i) {
        const wchar_t ch = text[i];
        if (ch == L')')
            ++depth;
        else if (ch == L'(')
            --depth;
        else if (depth == 0 && ch != L'\0' && std::wcschr(operators, ch))
            return i;
    }
    return -1;
}

class TreeBuilder {
public:
    explicit TreeBuilder(const wchar_t* variable) : m_variable(variable ? variable : L"") {}

    Tree Build(CString& text, int depth);

private:
    Tree BuildSub(const CString& text, int depth)
    {
        CString copy = text;
        return Build(copy, depth + 1);
    }

    Tree BuildSum(const CString& left, const CString& right, int depth);
    Tree BuildDifference(const CString& left, const CString& right, int depth);
    Tree BuildNegation(const CString& rest, int depth);
    Tree BuildProduct(const CString& left, const CString& right, int depth);
    Tree BuildQuotient(const CString& left, const CString& right, int depth);
    Tree BuildPower(const CString& left, const CString& right, int depth);
    Tree BuildFunction(CString& text, int depth);

    CString m_variable;
};

Tree TreeBuilder::Build(CString& text, int depth)
{
    // A leading "+" stays: the builder reads no unary "+", so "+X" ends as an unreadable constant.
    GetFormulaEngine().FormulaParser.NormalizeFormula(text, CFormulaParser::LeadingPlus::Keep);
    if (depth > MaxBuildDepth)
        return Constant(ConstantTermValue(text));

    const int additive = FindSplit(text, L"+-");
    if (additive > 0) {
        const CString left = text.Left(additive);
        const CString right = text.Mid(additive + 1);
        return text[additive] == L'+' ? BuildSum(left, right, depth) : BuildDifference(left, right, depth);
    }
    if (!text.IsEmpty() && text[0] == L'-')
        return BuildNegation(text.Mid(1), depth);

    const int multiplicative = FindSplit(text, L"*/");
    if (multiplicative > 0) {
        const CString left = text.Left(multiplicative);
        const CString right = text.Mid(multiplicative + 1);
        return text[multiplicative] == L'*' ? BuildProduct(left, right, depth) : BuildQuotient(left, right, depth);
    }

    const int power = FindSplit(text, L"^");
    if (power > 0)
        return BuildPower(text.Left(power), text.Mid(power + 1), depth);

    if (Tree function = BuildFunction(text, depth))
        return function;
    if (text.CompareNoCase(m_variable) == 0)
        return New<CIdentityFunction>();
    return Constant(ConstantTermValue(text));
}

Tree TreeBuilder::BuildSum(const CString& left, const CString& right, int depth)
{
    const bool leftConstant = IsConstantTerm(left);
    const bool rightConstant = IsConstantTerm(right);
    if (leftConstant && rightConstant)
        return Constant(ConstantTermValue(left) + ConstantTermValue(right));
    if (leftConstant)
        return Reduce(New<CAdd0Function>(BuildSub(right, depth), ConstantTermValue(left)));
    if (rightConstant)
        return Reduce(New<CAdd0Function>(BuildSub(left, depth), ConstantTermValue(right)));
    if (left == right)
        return New<CMul0Function>(BuildSub(left, depth), 2.0);
    return Reduce(New<CAddFunction>(BuildSub(left, depth), BuildSub(right, depth)));
}

Tree TreeBuilder::BuildDifference(const CString& left, const CString& right, int depth)
{
    const bool leftConstant = IsConstantTerm(left);
    const bool rightConstant = IsConstantTerm(right);
    if (leftConstant && rightConstant)
        return Constant(ConstantTermValue(left) - ConstantTermValue(right));
    if (leftConstant)
        return Reduce(New<CSubL0Function>(BuildSub(right, depth), ConstantTermValue(left)));
    if (rightConstant)
        return Reduce(New<CSubR0Function>(BuildSub(left, depth), ConstantTermValue(right)));
    if (left == right)
        return New<CNullFunction>();
    return Reduce(New<CSubFunction>(BuildSub(left, depth), BuildSub(right, depth)));
}

Tree TreeBuilder::BuildNegation(const CString& rest, int depth)
{
    if (IsConstantTerm(rest))
        return Constant(-ConstantTermValue(rest));
    Tree operand = BuildSub(rest, depth);
    if (operand->IsZero())
        return New<CNullFunction>();
    if (operand->IsConstant())
        return Constant(-operand->Evaluate(0));
    return New<CNegFunction>(std::move(operand));
}

Tree TreeBuilder::BuildProduct(const CString& left, const CString& right, int depth)
{
    const bool leftConstant = IsConstantTerm(left);
    const bool rightConstant = IsConstantTerm(right);
    if (leftConstant && rightConstant) {
        const double product = ConstantTermValue(left) * ConstantTermValue(right);
        return product == 0 ? New<CNullFunction>() : Constant(product);
    }
    if (leftConstant || rightConstant) {
        const double factor = ConstantTermValue(leftConstant ? left : right);
        if (factor == 0)
            return New<CNullFunction>();
        return Reduce(New<CMul0Function>(BuildSub(leftConstant ? right : left, depth), factor));
    }
    if (left == right) {
        if (left == m_variable)
            return New<CSqr1Function>();
        return New<CSqrFunction>(BuildSub(left, depth));
    }
    return Reduce(New<CMulFunction>(BuildSub(left, depth), BuildSub(right, depth)));
}

Tree TreeBuilder::BuildQuotient(const CString& left, const CString& right, int depth)
{
    const bool leftConstant = IsConstantTerm(left);
    const bool rightConstant = IsConstantTerm(right);
    if (leftConstant && rightConstant)
        return Constant(ConstantTermValue(left) / ConstantTermValue(right));
    // A zero divisor is kept: f/0 evaluates as the division it is, never as 0.
    if (rightConstant)
        return Reduce(New<CDivR0Function>(BuildSub(left, depth), ConstantTermValue(right)));
    if (leftConstant) {
        const double dividend = ConstantTermValue(left);
        if (dividend == 0)
            return New<CNullFunction>();
        return Reduce(New<CDivL0Function>(BuildSub(right, depth), dividend));
    }
    if (left == right)
        return Constant(1);
    return Reduce(New<CDivFunction>(BuildSub(left, depth), BuildSub(right, depth)));
}

Tree TreeBuilder::BuildPower(const CString& left, const CString& right, int depth)
{
    const bool leftConstant = IsConstantTerm(left);
    const bool rightConstant = IsConstantTerm(right);
    if (leftConstant && rightConstant)
        return Constant(std::pow(ConstantTermValue(left), ConstantTermValue(right)));
    if (leftConstant)
        return New<CPowerL0Function>(BuildSub(right, depth), ConstantTermValue(left));
    if (rightConstant)
        return New<CPowerR0Function>(BuildSub(left, depth), ConstantTermValue(right));
    return New<CPowerFunction>(BuildSub(left, depth), BuildSub(right, depth));
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
            return function.ofTree(BuildSub(text, depth));
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
    CString name = text;
    name.Trim();
    name.MakeUpper();
    if (name == L"PI" || name == L"_E")
        return true;
    if (name.GetLength() == 1 && name[0] >= L'A' && name[0] <= L'G')
        return true;
    if (GetFormulaEngine().PhysConst.IsConstName(name))
        return true;
    const wchar_t* end = nullptr;
    ClassicWcsToD(text, &end);
    return *end == L'\0';
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
