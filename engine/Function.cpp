#include "engine/Function.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

template <typename T>
CString CFunction<T>::GetText() const
{
    CString text;
    AppendText(text);
    return text;
}

template <typename T>
bool CFunction<T>::IsConstant() const
{
    if (m_isConstant == Answer::Unknown)
        m_isConstant = ComputeIsConstant() ? Answer::Yes : Answer::No;
    return m_isConstant == Answer::Yes;
}

template <typename T>
bool CFunction<T>::IsZero() const
{
    if (m_isZero == Answer::Unknown)
        m_isZero = ComputeIsZero() ? Answer::Yes : Answer::No;
    return m_isZero == Answer::Yes;
}

template <typename T>
void CFunction<T>::AppendOperand(CString& out, const CFunction& operand, FormulaTextForm required)
{
    if (operand.TextForm() >= required) {
        operand.AppendText(out);
        return;
    }
    out += L'(';
    operand.AppendText(out);
    out += L')';
}

// Nothing here allocates: trees are also freed while a failed allocation unwinds. The worklist
// lives on this frame and holds only nodes with children, which a chain's tree keeps to one or two
// at a time; a node that finds it full is freed by its own destructor, one frame deeper.
template <typename T>
void CFunction<T>::DestroyTree(FunctionPtr<T> root)
{
    std::array<FunctionPtr<T>, 64> pending;
    size_t count = 0;
    pending[count++] = std::move(root);
    while (count > 0) {
        const FunctionPtr<T> node = std::move(pending[--count]);
        Children children;
        node->ReleaseChildren(children);
        for (FunctionPtr<T>& child : children) {
            if (child && child->HasChildren() && count < pending.size())
                pending[count++] = std::move(child);
        }
    }
}

template <typename T>
CFunction1<T>::CFunction1(FunctionPtr<T> child)
    : m_child(std::move(child))
{
    if (!m_child)
        throw std::invalid_argument("function node without its child");
}

template <typename T>
CFunction1<T>::~CFunction1()
{
    if (m_child)
        CFunction<T>::DestroyTree(std::move(m_child));
}

template <typename T>
void CFunction1<T>::ReleaseChildren(typename CFunction<T>::Children& into)
{
    into[0] = std::move(m_child);
}

template <typename T>
CString& CFunction1<T>::GetCompositeText(CString& out, const wchar_t* name) const
{
    out.Empty();
    AppendCompositeText(out, name);
    return out;
}

template <typename T>
void CFunction1<T>::AppendCompositeText(CString& out, const wchar_t* name) const
{
    out += name;
    out += L'(';
    m_child->AppendText(out);
    out += L')';
}

template <typename T>
CFunction2<T>::CFunction2(FunctionPtr<T> left, FunctionPtr<T> right)
    : m_left(std::move(left))
    , m_right(std::move(right))
{
    if (!m_left || !m_right)
        throw std::invalid_argument("function node without one of its children");
}

template <typename T>
CFunction2<T>::~CFunction2()
{
    if (m_left)
        CFunction<T>::DestroyTree(std::move(m_left));
    if (m_right)
        CFunction<T>::DestroyTree(std::move(m_right));
}

template <typename T>
void CFunction2<T>::ReleaseChildren(typename CFunction<T>::Children& into)
{
    into[0] = std::move(m_left);
    into[1] = std::move(m_right);
}

template <typename T>
CString& CFunction2<T>::GetCompositeText(CString& out, const wchar_t* op) const
{
    out.Empty();
    AppendCompositeText(out, op);
    return out;
}

template <typename T>
void CFunction2<T>::AppendCompositeText(CString& out, const wchar_t* op) const
{
    out += L'(';
    m_left->AppendText(out);
    out += L')';
    out += op;
    out += L'(';
    m_right->AppendText(out);
    out += L')';
}

template <typename T>
T CFunction<T>::NumDerivative(T x, int order, T h) const
{
    if (order <= 0)
        return Evaluate(x);
    if (order == 1)
        return (Evaluate(x + h) - Evaluate(x)) / h;
    if (order > MaxDerivativeOrder)
        return std::numeric_limits<T>::quiet_NaN();

    // Order n is the (n-2)-th forward difference of the central second difference. Each point is
    // evaluated once, so the work grows with n and not with 2 to the power n.
    const int forwardSteps = order - 2;
    std::vector<T> values(forwardSteps + 3);
    for (int j = 0; j < forwardSteps + 3; ++j)
        values[j] = Evaluate(x + (j - 1) * h);

    std::vector<T> differences(forwardSteps + 1);
    for (int j = 0; j <= forwardSteps; ++j)
        differences[j] = (values[j + 2] - 2 * values[j + 1] + values[j]) / (h * h);
    for (int level = 1; level <= forwardSteps; ++level) {
        for (int j = 0; j <= forwardSteps - level; ++j)
            differences[j] = (differences[j + 1] - differences[j]) / h;
    }
    return differences[0];
}

template <typename T>
T CFunction<T>::NewtonRoot(T x0, T eps) const
{
    constexpr T slopeStep = 1e-6;
    T x = x0;
    T y = Evaluate(x);
    for (int step = 0; step < MaxNewtonSteps && std::abs(y) > eps; ++step) {
        x = x - y / NumDerivative(x, 1, slopeStep);
        y = Evaluate(x);
    }
    // A run that stopped on NaN or on the step bound has found no root.
    return std::abs(y) <= eps ? x : std::numeric_limits<T>::quiet_NaN();
}

template <typename T>
T CFunction<T>::IntegrateTrapezoid(T a, T b, int n) const
{
    const T h = (b - a) / n;
    T sum = h / 2 * Evaluate(a);
    T x = a + h;
    for (int i = 1; i < n; ++i) {
        sum = sum + h * Evaluate(x);
        x = x + h;
    }
    return sum + h / 2 * Evaluate(x);
}

template <typename T>
T CFunction<T>::IntegrateMidpoint(T a, T b, int n) const
{
    if (n <= 0)
        return 0;
    const T h = (b - a) / n;
    T sum = 0;
    T x = a;
    for (int i = 0; i < n; ++i) {
        sum = sum + h * Evaluate(x + h / 2);
        x = x + h;
    }
    return sum;
}

template <typename T>
T CFunction<T>::IntegrateSimpson(T a, T b, int n) const
{
    long long intervals = n;
    if (intervals % 2 != 0)
        ++intervals;
    const T h = (b - a) / static_cast<T>(intervals);
    const long long pairs = intervals / 2;

    T sum = h / 3 * Evaluate(a) + 4 * h / 3 * Evaluate(a + h);
    T x = a + 2 * h;
    for (long long i = 1; i < pairs; ++i) {
        sum = sum + 2 * h / 3 * Evaluate(x);
        x = x + h;
        sum = sum + 4 * h / 3 * Evaluate(x);
        x = x + h;
    }
    return sum + h / 3 * Evaluate(x);
}

template class CFunction<double>;
template class CFunction1<double>;
template class CFunction2<double>;
