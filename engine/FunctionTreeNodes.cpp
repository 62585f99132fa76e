#include "engine/FunctionTreeNodes.h"

#include "engine/MathHelper.h"

#include <cmath>

namespace {

template <template <typename> class Node, typename T, typename... Args>
FunctionPtr<T> New(Args&&... args)
{
    return std::make_unique<Node<T>>(std::forward<Args>(args)...);
}

template <typename T>
FunctionPtr<T> Null()
{
    return std::make_unique<CNullFunction<T>>();
}

template <typename T>
FunctionPtr<T> Const(T c)
{
    return std::make_unique<CConstFunction<T>>(c);
}

// The simplified copy that derivative rules place wherever they reuse a subtree.
template <typename T>
FunctionPtr<T> Copy(const CFunction<T>& tree)
{
    return tree.Clone(true);
}

// Constants print with six significant digits and "." as the decimal point.
CString Number(double value)
{
    return CMathString(value, 6);
}

FormulaTextForm NumberForm(double value)
{
    return Number(value)[0] == L'-' ? FormulaTextForm::Signed : FormulaTextForm::Atom;
}

const wchar_t* FunctionName(FunctionKind kind)
{
    switch (kind) {
    case FunctionKind::Sqr: return L"sqr";  // never printed: a square prints as (u)^2
    case FunctionKind::Exp: return L"exp";
    case FunctionKind::Sin: return L"sin";
    case FunctionKind::Cos: return L"cos";
    case FunctionKind::Tan: return L"tan";
    case FunctionKind::Cot: return L"cot";
    case FunctionKind::Sinh: return L"sinh";
    case FunctionKind::Cosh: return L"cosh";
    case FunctionKind::Tanh: return L"tanh";
    case FunctionKind::Coth: return L"coth";
    case FunctionKind::Abs: return L"abs";
    case FunctionKind::Ceil: return L"ceil";
    case FunctionKind::Floor: return L"floor";
    case FunctionKind::Log10: return L"log";
    case FunctionKind::Log: return L"ln";
    case FunctionKind::Sqrt: return L"sqr";  // the formula language's SQR is the square root
    case FunctionKind::Asin: return L"arcsin";
    case FunctionKind::Acos: return L"arccos";
    case FunctionKind::Atan: return L"arctan";
    case FunctionKind::Gamma: return L"Gamma";
    case FunctionKind::Sign: return L"sign";
    }
    return L"";
}

// Copies of the children of a two-operand node, folded where both or one of them is constant:
// both constant gives fold(p, q); one constant gives the constant-operand node LeftConst{v, p} or
// RightConst{u, q}; zeroCase(u, v) true gives the zero node.
template <template <typename> class Same, template <typename> class LeftConst,
          template <typename> class RightConst, typename T, typename ZeroCase, typename Fold>
FunctionPtr<T> CloneOperator(const CFunction2<T>& node, bool simplify, ZeroCase zeroCase, Fold fold)
{
    auto u = node.Left().Clone(simplify);
    auto v = node.Right().Clone(simplify);
    if (simplify) {
        if (zeroCase(*u, *v))
            return Null<T>();
        const bool leftConstant = u->IsConstant();
        const bool rightConstant = v->IsConstant();
        if (leftConstant && rightConstant)
            return Const<T>(fold(u->Evaluate(0), v->Evaluate(0)));
        if (leftConstant) {
            const T p = u->Evaluate(0);
            return New<LeftConst, T>(std::move(v), p);
        }
        if (rightConstant) {
            const T q = v->Evaluate(0);
            return New<RightConst, T>(std::move(u), q);
        }
    }
    return New<Same, T>(std::move(u), std::move(v));
}

// d/dx (-u) = d/dx (c - u) = -u'.
template <typename T>
FunctionPtr<T> DeriveNegated(const CFunction1<T>& node)
{
    if (node.IsConstant())
        return Null<T>();
    auto du = node.Child().Derive();
    if (!du)
        return nullptr;
    return New<CNegFunction, T>(std::move(du));
}

// The derivatives u' and v' of both operands; false when either has no symbolic derivative.
template <typename T>
bool DeriveOperands(const CFunction2<T>& node, FunctionPtr<T>& du, FunctionPtr<T>& dv)
{
    du = node.Left().Derive();
    dv = du ? node.Right().Derive() : nullptr;
    return dv != nullptr;
}

// d/dx (u op v) = u' op v' for the operators that derive term by term ("+" and "-").
template <template <typename> class Same, typename T>
FunctionPtr<T> DeriveTermByTerm(const CFunction2<T>& node)
{
    if (node.IsConstant())
        return Null<T>();
    FunctionPtr<T> du, dv;
    if (!DeriveOperands(node, du, dv))
        return nullptr;
    return New<Same, T>(std::move(du), std::move(dv));
}

// d/dx (c*u) = c*u' and d/dx (u/c) = u'/c: the same node over the child's derivative.
template <template <typename> class Same, typename T>
FunctionPtr<T> DeriveWithSameConstant(const CConstOperandFunction<T>& node)
{
    if (node.IsConstant())
        return Null<T>();
    auto du = node.Child().Derive();
    if (!du)
        return nullptr;
    return New<Same, T>(std::move(du), node.Constant());
}

// The copy of a constant-operand node: a zero child copy gives onZero() (when that is not null), a
// constant one gives the constant onConstant(value of the copy).
template <template <typename> class Same, typename T, typename OnZero, typename OnConstant>
FunctionPtr<T> CloneConstOperand(const CConstOperandFunction<T>& node, bool simplify, OnZero onZero,
                                 OnConstant onConstant)
{
    auto u = node.Child().Clone(simplify);
    if (simplify) {
        if (u->IsZero()) {
            if (auto folded = onZero())
                return folded;
        }
        if (u->IsConstant())
            return Const<T>(onConstant(u->Evaluate(0)));
    }
    return New<Same, T>(std::move(u), node.Constant());
}

template <typename T>
auto NoZeroCase()
{
    return [] { return FunctionPtr<T>(); };
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Constants and polynomials

template <typename T>
void CConstFunction<T>::AppendText(CString& out) const
{
    out += Number(m_c);
}

template <typename T>
FormulaTextForm CConstFunction<T>::TextForm() const
{
    return NumberForm(m_c);
}

template <typename T>
FunctionPtr<T> CConstFunction<T>::Derive() const
{
    return Null<T>();
}

template <typename T>
FunctionPtr<T> CConstFunction<T>::Clone(bool simplify) const
{
    if (simplify && m_c == 0)
        return Null<T>();
    return Const<T>(m_c);
}

template <typename T>
FunctionPtr<T> CNullFunction<T>::Derive() const
{
    return Null<T>();
}

template <typename T>
FunctionPtr<T> CNullFunction<T>::Clone(bool) const
{
    return Null<T>();
}

template <typename T>
FunctionPtr<T> CIdentityFunction<T>::Derive() const
{
    return Const<T>(1);
}

template <typename T>
FunctionPtr<T> CIdentityFunction<T>::Clone(bool) const
{
    return New<CIdentityFunction, T>();
}

template <typename T>
void CPolynom1Function<T>::AppendText(CString& out) const
{
    out += Number(m_a) + L"*x+" + Number(m_b);
}

template <typename T>
FunctionPtr<T> CPolynom1Function<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    return Const<T>(m_a);
}

template <typename T>
FunctionPtr<T> CPolynom1Function<T>::Clone(bool simplify) const
{
    if (simplify && m_a == 0)
        return m_b == 0 ? Null<T>() : Const<T>(m_b);
    return New<CPolynom1Function, T>(m_b, m_a);
}

template <typename T>
void CPolynom2Function<T>::AppendText(CString& out) const
{
    out += Number(m_c2) + L"*x^2+" + Number(m_c1) + L"*x+" + Number(m_c0);
}

template <typename T>
FunctionPtr<T> CPolynom2Function<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    return New<CPolynom1Function, T>(m_c1, 2 * m_c2);
}

template <typename T>
FunctionPtr<T> CPolynom2Function<T>::Clone(bool simplify) const
{
    if (simplify && m_c2 == 0) {
        if (m_c1 == 0)
            return m_c0 == 0 ? Null<T>() : Const<T>(m_c0);
        return New<CPolynom1Function, T>(m_c0, m_c1);
    }
    return New<CPolynom2Function, T>(m_c0, m_c1, m_c2);
}

// ---------------------------------------------------------------------------------------------
// Functions

template <typename T>
T ApplyFunction(FunctionKind kind, T v)
{
    switch (kind) {
    case FunctionKind::Sqr: return v * v;
    case FunctionKind::Exp: return std::exp(v);
    case FunctionKind::Sin: return std::sin(v);
    case FunctionKind::Cos: return std::cos(v);
    case FunctionKind::Tan: return std::tan(v);
    case FunctionKind::Cot: return std::cos(v) / std::sin(v);
    case FunctionKind::Sinh: return std::sinh(v);
    case FunctionKind::Cosh: return std::cosh(v);
    case FunctionKind::Tanh: return std::tanh(v);
    case FunctionKind::Coth: return std::cosh(v) / std::sinh(v);
    case FunctionKind::Abs: return std::fabs(v);
    case FunctionKind::Ceil: return std::ceil(v);
    case FunctionKind::Floor: return std::floor(v);
    case FunctionKind::Log10: return std::log10(v);
    case FunctionKind::Log: return std::log(v);
    case FunctionKind::Sqrt: return std::sqrt(v);
    case FunctionKind::Asin: return std::asin(v);
    case FunctionKind::Acos: return std::acos(v);
    case FunctionKind::Atan: return std::atan(v);
    case FunctionKind::Gamma: return static_cast<T>(CMathHelper::Gamma(static_cast<double>(v)));
    case FunctionKind::Sign: return v > 0 ? T(1) : v < 0 ? T(-1) : T(0);
    }
    return v;
}

template <typename T, FunctionKind Kind>
void CFunctionOfX<T, Kind>::AppendText(CString& out) const
{
    if constexpr (Kind == FunctionKind::Sqr) {
        out += L"x^2";
    } else {
        out += FunctionName(Kind);
        out += L"(x)";
    }
}

template <typename T, FunctionKind Kind>
FormulaTextForm CFunctionOfX<T, Kind>::TextForm() const
{
    return Kind == FunctionKind::Sqr ? FormulaTextForm::Power : FormulaTextForm::Atom;
}

template <typename T, FunctionKind Kind>
FunctionPtr<T> CFunctionOfX<T, Kind>::Derive() const
{
    using K = FunctionKind;
    const auto unitCircle = [] { return New<CPolynom2Function, T>(T(1), T(0), T(-1)); };
    switch (Kind) {
    case K::Sqr: return New<CPolynom1Function, T>(T(0), T(2));
    case K::Exp: return New<CExp1Function, T>();
    case K::Sin: return New<CCos1Function, T>();
    case K::Cos: return New<CNegFunction, T>(New<CSin1Function, T>());
    case K::Tan:
        return New<CAdd0Function, T>(New<CMulFunction, T>(New<CTan1Function, T>(), New<CTan1Function, T>()), T(1));
    case K::Cot:
        return New<CNegFunction, T>(New<CAdd0Function, T>(
            New<CMulFunction, T>(New<CCot1Function, T>(), New<CCot1Function, T>()), T(1)));
    case K::Sinh: return New<CCosh1Function, T>();
    case K::Cosh: return New<CSinh1Function, T>();
    case K::Tanh:
        return New<CDivL0Function, T>(New<CMulFunction, T>(New<CCosh1Function, T>(), New<CCosh1Function, T>()), T(1));
    case K::Coth:
        return New<CDivL0Function, T>(New<CMulFunction, T>(New<CSinh1Function, T>(), New<CSinh1Function, T>()), T(-1));
    case K::Abs: return New<CSign1Function, T>();
    case K::Log10: return New<CDivL0Function, T>(New<CIdentityFunction, T>(), T(1) / std::log(T(10)));
    case K::Log: return New<CDivL0Function, T>(New<CIdentityFunction, T>(), T(1));
    case K::Sqrt: return New<CDivL0Function, T>(New<CSqrt1Function, T>(), T(0.5));
    case K::Asin: return New<CDivL0Function, T>(New<CSqrtFunction, T>(unitCircle()), T(1));
    case K::Acos: return New<CDivL0Function, T>(New<CSqrtFunction, T>(unitCircle()), T(-1));
    case K::Atan: return New<CDivL0Function, T>(New<CPolynom2Function, T>(T(1), T(0), T(1)), T(1));
    case K::Ceil:
    case K::Floor:
    case K::Sign:
        return Null<T>();  // zero wherever the derivative exists
    case K::Gamma:
        return nullptr;  // no node expresses the derivative of the gamma function
    }
    return nullptr;
}

template <typename T, FunctionKind Kind>
FunctionPtr<T> CFunctionOfX<T, Kind>::Clone(bool) const
{
    return std::make_unique<CFunctionOfX>();
}

template <typename T, FunctionKind Kind>
void CFunctionOf<T, Kind>::AppendText(CString& out) const
{
    if constexpr (Kind == FunctionKind::Sqr) {
        out += L'(';
        this->m_child->AppendText(out);
        out += L")^2";
    } else {
        this->AppendCompositeText(out, FunctionName(Kind));
    }
}

template <typename T, FunctionKind Kind>
FormulaTextForm CFunctionOf<T, Kind>::TextForm() const
{
    return Kind == FunctionKind::Sqr ? FormulaTextForm::Power : FormulaTextForm::Atom;
}

template <typename T, FunctionKind Kind>
bool CFunctionOf<T, Kind>::ComputeIsConstant() const
{
    // exp(u) asks whether u is zero, not whether it is constant: a constant non-zero exponent
    // leaves the node reported as varying.
    if constexpr (Kind == FunctionKind::Exp)
        return this->m_child->IsZero();
    else
        return this->m_child->IsConstant();
}

template <typename T, FunctionKind Kind>
bool CFunctionOf<T, Kind>::ComputeIsZero() const
{
    using K = FunctionKind;
    const CFunction<T>& u = *this->m_child;
    switch (Kind) {
    case K::Sqr:
    case K::Sin:
    case K::Tan:
    case K::Sinh:
    case K::Tanh:
    case K::Abs:
    case K::Sign:
    case K::Ceil:
    case K::Floor:
    case K::Sqrt:
    case K::Asin:
    case K::Atan:
        return u.IsZero();
    case K::Log10:
    case K::Log:
        return u.IsConstant() && u.Evaluate(0) == 1;
    default:
        return false;
    }
}

template <typename T, FunctionKind Kind>
FunctionPtr<T> CFunctionOf<T, Kind>::Derive() const
{
    using K = FunctionKind;
    if constexpr (Kind == K::Ceil || Kind == K::Floor || Kind == K::Sign)
        return Null<T>();  // zero wherever the derivative exists
    if constexpr (Kind == K::Gamma)
        return this->IsConstant() ? Null<T>() : nullptr;  // no node expresses Gamma'
    if (this->IsConstant())
        return Null<T>();

    // The chain rule: the outer derivative over a copy of u, times u'.
    const CFunction<T>& child = *this->m_child;
    auto du = child.Derive();
    if (!du)
        return nullptr;
    const auto u = [&] { return Copy(child); };
    const auto uSquared = [&] { return New<CMulFunction, T>(u(), u()); };

    switch (Kind) {
    case K::Sqr: return New<CMulFunction, T>(New<CMul0Function, T>(u(), T(2)), std::move(du));
    case K::Exp: return New<CMulFunction, T>(New<CExpFunction, T>(u()), std::move(du));
    case K::Sin: return New<CMulFunction, T>(New<CCosFunction, T>(u()), std::move(du));
    case K::Cos: return New<CNegFunction, T>(New<CMulFunction, T>(New<CSinFunction, T>(u()), std::move(du)));
    case K::Tan:
        return New<CMulFunction, T>(
            New<CAdd0Function, T>(New<CMulFunction, T>(New<CTanFunction, T>(u()), New<CTanFunction, T>(u())), T(1)),
            std::move(du));
    case K::Cot:
        return New<CNegFunction, T>(New<CMulFunction, T>(
            New<CAdd0Function, T>(New<CMulFunction, T>(New<CCotFunction, T>(u()), New<CCotFunction, T>(u())), T(1)),
            std::move(du)));
    case K::Sinh: return New<CMulFunction, T>(New<CCoshFunction, T>(u()), std::move(du));
    case K::Cosh: return New<CMulFunction, T>(New<CSinhFunction, T>(u()), std::move(du));
    case K::Tanh:
        return New<CMulFunction, T>(
            New<CDivL0Function, T>(New<CMulFunction, T>(New<CCoshFunction, T>(u()), New<CCoshFunction, T>(u())), T(1)),
            std::move(du));
    case K::Coth:
        return New<CMulFunction, T>(
            New<CDivL0Function, T>(New<CMulFunction, T>(New<CSinhFunction, T>(u()), New<CSinhFunction, T>(u())), T(-1)),
            std::move(du));
    case K::Abs: return New<CMulFunction, T>(New<CSignFunction, T>(u()), std::move(du));
    case K::Log10: return New<CDivFunction, T>(std::move(du), New<CMul0Function, T>(u(), std::log(T(10))));
    case K::Log: return New<CDivFunction, T>(std::move(du), u());
    case K::Sqrt:
        return New<CDivFunction, T>(std::move(du), New<CMul0Function, T>(New<CSqrtFunction, T>(u()), T(2)));
    case K::Asin:
        return New<CMulFunction, T>(
            New<CDivL0Function, T>(New<CSqrtFunction, T>(New<CSubL0Function, T>(uSquared(), T(1))), T(1)),
            std::move(du));
    case K::Acos:
        return New<CMulFunction, T>(
            New<CDivL0Function, T>(New<CSqrtFunction, T>(New<CSubL0Function, T>(uSquared(), T(1))), T(-1)),
            std::move(du));
    case K::Atan:
        return New<CMulFunction, T>(New<CDivL0Function, T>(New<CAdd0Function, T>(uSquared(), T(1)), T(1)),
                                    std::move(du));
    default:
        return nullptr;  // the kinds above the switch
    }
}

template <typename T, FunctionKind Kind>
FunctionPtr<T> CFunctionOf<T, Kind>::Clone(bool simplify) const
{
    return std::make_unique<CFunctionOf>(this->m_child->Clone(simplify));
}

template <typename T>
void CNegFunction<T>::AppendText(CString& out) const
{
    out += L'-';
    this->AppendOperand(out, *this->m_child, FormulaTextForm::Atom);
}

template <typename T>
FunctionPtr<T> CNegFunction<T>::Derive() const
{
    return DeriveNegated<T>(*this);
}

template <typename T>
FunctionPtr<T> CNegFunction<T>::Clone(bool simplify) const
{
    return New<CNegFunction, T>(this->m_child->Clone(simplify));
}

// ---------------------------------------------------------------------------------------------
// One child u and a constant operand c

// u + c
template <typename T>
T CAdd0Function<T>::Evaluate(T x) const { return this->m_child->Evaluate(x) + this->m_c; }
template <typename T>
void CAdd0Function<T>::AppendText(CString& out) const
{
    this->m_child->AppendText(out);
    out += L'+';
    out += Number(this->m_c);
}
template <typename T>
FormulaTextForm CAdd0Function<T>::TextForm() const { return FormulaTextForm::Sum; }
template <typename T>
bool CAdd0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant(); }
template <typename T>
bool CAdd0Function<T>::ComputeIsZero() const { return this->m_child->IsConstant() && this->ChildAtZero() == -this->m_c; }

template <typename T>
FunctionPtr<T> CAdd0Function<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    return this->m_child->Derive();
}

template <typename T>
FunctionPtr<T> CAdd0Function<T>::Clone(bool simplify) const
{
    const T c = this->m_c;
    return CloneConstOperand<CAdd0Function>(*this, simplify, [c] { return Const<T>(c); }, [c](T v) { return c + v; });
}

// c * u
template <typename T>
T CMul0Function<T>::Evaluate(T x) const { return this->m_c * this->m_child->Evaluate(x); }
template <typename T>
void CMul0Function<T>::AppendText(CString& out) const
{
    out += Number(this->m_c) + L"*(";
    this->m_child->AppendText(out);
    out += L')';
}
template <typename T>
FormulaTextForm CMul0Function<T>::TextForm() const { return FormulaTextForm::Product; }
template <typename T>
bool CMul0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant() || this->m_c == 0; }
template <typename T>
bool CMul0Function<T>::ComputeIsZero() const { return this->m_child->IsZero() || this->m_c == 0; }

template <typename T>
FunctionPtr<T> CMul0Function<T>::Derive() const
{
    return DeriveWithSameConstant<CMul0Function>(*this);
}

template <typename T>
FunctionPtr<T> CMul0Function<T>::Clone(bool simplify) const
{
    const T c = this->m_c;
    return CloneConstOperand<CMul0Function>(*this, simplify, [] { return Null<T>(); }, [c](T v) { return c * v; });
}

// c - u
template <typename T>
T CSubL0Function<T>::Evaluate(T x) const { return this->m_c - this->m_child->Evaluate(x); }
template <typename T>
void CSubL0Function<T>::AppendText(CString& out) const
{
    out += Number(this->m_c) + L"-";
    this->AppendOperand(out, *this->m_child, FormulaTextForm::Product);
}
template <typename T>
FormulaTextForm CSubL0Function<T>::TextForm() const { return FormulaTextForm::Sum; }
template <typename T>
bool CSubL0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant(); }
template <typename T>
bool CSubL0Function<T>::ComputeIsZero() const { return this->m_child->IsConstant() && this->ChildAtZero() == this->m_c; }

template <typename T>
FunctionPtr<T> CSubL0Function<T>::Derive() const
{
    return DeriveNegated<T>(*this);
}

template <typename T>
FunctionPtr<T> CSubL0Function<T>::Clone(bool simplify) const
{
    const T c = this->m_c;
    return CloneConstOperand<CSubL0Function>(*this, simplify, [c] { return Const<T>(c); }, [c](T v) { return c - v; });
}

// u - c
template <typename T>
T CSubR0Function<T>::Evaluate(T x) const { return this->m_child->Evaluate(x) - this->m_c; }
template <typename T>
void CSubR0Function<T>::AppendText(CString& out) const
{
    this->m_child->AppendText(out);
    out += L'-';
    out += Number(this->m_c);
}
template <typename T>
FormulaTextForm CSubR0Function<T>::TextForm() const { return FormulaTextForm::Sum; }
template <typename T>
bool CSubR0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant(); }
template <typename T>
bool CSubR0Function<T>::ComputeIsZero() const { return this->m_child->IsConstant() && this->ChildAtZero() == this->m_c; }

template <typename T>
FunctionPtr<T> CSubR0Function<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    return this->m_child->Derive();
}

template <typename T>
FunctionPtr<T> CSubR0Function<T>::Clone(bool simplify) const
{
    const T c = this->m_c;
    return CloneConstOperand<CSubR0Function>(*this, simplify, [c] { return Const<T>(-c); }, [c](T v) { return v - c; });
}

// c / u
template <typename T>
T CDivL0Function<T>::Evaluate(T x) const { return this->m_c / this->m_child->Evaluate(x); }
template <typename T>
void CDivL0Function<T>::AppendText(CString& out) const
{
    out += Number(this->m_c) + L"/(";
    this->m_child->AppendText(out);
    out += L')';
}
template <typename T>
FormulaTextForm CDivL0Function<T>::TextForm() const { return FormulaTextForm::Product; }
template <typename T>
bool CDivL0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant() || this->m_c == 0; }
template <typename T>
bool CDivL0Function<T>::ComputeIsZero() const { return this->m_c == 0; }

template <typename T>
FunctionPtr<T> CDivL0Function<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    auto du = this->m_child->Derive();
    if (!du)
        return nullptr;
    const CFunction<T>& u = *this->m_child;
    return New<CNegFunction, T>(New<CDivFunction, T>(New<CMul0Function, T>(std::move(du), this->m_c),
                                                     New<CMulFunction, T>(Copy(u), Copy(u))));
}

template <typename T>
FunctionPtr<T> CDivL0Function<T>::Clone(bool simplify) const
{
    const T c = this->m_c;
    return CloneConstOperand<CDivL0Function>(*this, simplify, NoZeroCase<T>(), [c](T v) { return c / v; });
}

// u / c
template <typename T>
T CDivR0Function<T>::Evaluate(T x) const { return this->m_child->Evaluate(x) / this->m_c; }
template <typename T>
void CDivR0Function<T>::AppendText(CString& out) const
{
    out += L'(';
    this->m_child->AppendText(out);
    out += L")/" + Number(this->m_c);
}
template <typename T>
FormulaTextForm CDivR0Function<T>::TextForm() const { return FormulaTextForm::Product; }
template <typename T>
bool CDivR0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant(); }
template <typename T>
bool CDivR0Function<T>::ComputeIsZero() const { return this->m_child->IsZero(); }

template <typename T>
FunctionPtr<T> CDivR0Function<T>::Derive() const
{
    return DeriveWithSameConstant<CDivR0Function>(*this);
}

template <typename T>
FunctionPtr<T> CDivR0Function<T>::Clone(bool simplify) const
{
    const T c = this->m_c;
    return CloneConstOperand<CDivR0Function>(*this, simplify, [] { return Null<T>(); }, [c](T v) { return v / c; });
}

// c ^ u
template <typename T>
T CPowerL0Function<T>::Evaluate(T x) const { return std::pow(this->m_c, this->m_child->Evaluate(x)); }
template <typename T>
void CPowerL0Function<T>::AppendText(CString& out) const
{
    out += Number(this->m_c) + L"^(";
    this->m_child->AppendText(out);
    out += L')';
}
template <typename T>
FormulaTextForm CPowerL0Function<T>::TextForm() const
{
    // A negative base prints as "-2^(x)", which the parser reads as (-2)^x, a signed operand.
    return NumberForm(this->m_c) == FormulaTextForm::Signed ? FormulaTextForm::Signed : FormulaTextForm::Power;
}
template <typename T>
bool CPowerL0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant() && this->m_c == 0; }
template <typename T>
bool CPowerL0Function<T>::ComputeIsZero() const { return this->m_c == 0; }

template <typename T>
FunctionPtr<T> CPowerL0Function<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    auto du = this->m_child->Derive();
    if (!du)
        return nullptr;
    return New<CMulFunction, T>(Copy<T>(*this), New<CMul0Function, T>(std::move(du), std::log(this->m_c)));
}

template <typename T>
FunctionPtr<T> CPowerL0Function<T>::Clone(bool simplify) const
{
    return New<CPowerL0Function, T>(this->m_child->Clone(simplify), this->m_c);
}

// u ^ c
template <typename T>
T CPowerR0Function<T>::Evaluate(T x) const { return std::pow(this->m_child->Evaluate(x), this->m_c); }
template <typename T>
void CPowerR0Function<T>::AppendText(CString& out) const
{
    this->AppendOperand(out, *this->m_child, FormulaTextForm::Power);
    out += L'^';
    out += Number(this->m_c);
}
template <typename T>
FormulaTextForm CPowerR0Function<T>::TextForm() const { return FormulaTextForm::Power; }
template <typename T>
bool CPowerR0Function<T>::ComputeIsConstant() const { return this->m_child->IsConstant() || this->m_c == 0; }
template <typename T>
bool CPowerR0Function<T>::ComputeIsZero() const { return this->m_child->IsZero(); }

template <typename T>
FunctionPtr<T> CPowerR0Function<T>::Derive() const
{
    if (this->IsConstant() || this->m_c == 0)
        return Null<T>();
    auto du = this->m_child->Derive();
    if (!du)
        return nullptr;
    if (this->m_c == 1)
        return du;
    auto lowered = New<CPowerR0Function, T>(Copy(*this->m_child), this->m_c - 1);
    return New<CMul0Function, T>(New<CMulFunction, T>(std::move(lowered), std::move(du)), this->m_c);
}

template <typename T>
FunctionPtr<T> CPowerR0Function<T>::Clone(bool simplify) const
{
    return New<CPowerR0Function, T>(this->m_child->Clone(simplify), this->m_c);
}

// ---------------------------------------------------------------------------------------------
// Two children u and v

// u + v
template <typename T>
T CAddFunction<T>::Evaluate(T x) const
{
    const T u = this->m_left->Evaluate(x);
    return u + this->m_right->Evaluate(x);
}
template <typename T>
void CAddFunction<T>::AppendText(CString& out) const
{
    this->m_left->AppendText(out);
    out += L'+';
    this->m_right->AppendText(out);
}
template <typename T>
bool CAddFunction<T>::ComputeIsConstant() const { return this->m_left->IsConstant() && this->m_right->IsConstant(); }
template <typename T>
bool CAddFunction<T>::ComputeIsZero() const
{
    const CFunction<T>& u = *this->m_left;
    const CFunction<T>& v = *this->m_right;
    return (u.IsZero() && v.IsZero()) || (this->IsConstant() && u.Evaluate(0) == -v.Evaluate(0));
}

template <typename T>
FunctionPtr<T> CAddFunction<T>::Derive() const
{
    return DeriveTermByTerm<CAddFunction>(*this);
}

template <typename T>
FunctionPtr<T> CAddFunction<T>::Clone(bool simplify) const
{
    return CloneOperator<CAddFunction, CAdd0Function, CAdd0Function>(
        *this, simplify, [](const CFunction<T>& u, const CFunction<T>& v) { return u.IsZero() && v.IsZero(); },
        [](T p, T q) { return p + q; });
}

// u - v
template <typename T>
T CSubFunction<T>::Evaluate(T x) const
{
    const T u = this->m_left->Evaluate(x);
    return u - this->m_right->Evaluate(x);
}
template <typename T>
void CSubFunction<T>::AppendText(CString& out) const
{
    this->AppendCompositeText(out, L"-");
}
template <typename T>
bool CSubFunction<T>::ComputeIsConstant() const { return this->m_left->IsConstant() && this->m_right->IsConstant(); }
template <typename T>
bool CSubFunction<T>::ComputeIsZero() const
{
    const CFunction<T>& u = *this->m_left;
    const CFunction<T>& v = *this->m_right;
    return (u.IsZero() && v.IsZero()) || (this->IsConstant() && u.Evaluate(0) == v.Evaluate(0));
}

template <typename T>
FunctionPtr<T> CSubFunction<T>::Derive() const
{
    return DeriveTermByTerm<CSubFunction>(*this);
}

template <typename T>
FunctionPtr<T> CSubFunction<T>::Clone(bool simplify) const
{
    return CloneOperator<CSubFunction, CSubL0Function, CSubR0Function>(
        *this, simplify, [](const CFunction<T>& u, const CFunction<T>& v) { return u.IsZero() && v.IsZero(); },
        [](T p, T q) { return p - q; });
}

// u * v
template <typename T>
T CMulFunction<T>::Evaluate(T x) const
{
    const T u = this->m_left->Evaluate(x);
    return u * this->m_right->Evaluate(x);
}
template <typename T>
void CMulFunction<T>::AppendText(CString& out) const
{
    this->AppendCompositeText(out, L"*");
}
template <typename T>
bool CMulFunction<T>::ComputeIsConstant() const
{
    return (this->m_left->IsConstant() && this->m_right->IsConstant()) || this->IsZero();
}
template <typename T>
bool CMulFunction<T>::ComputeIsZero() const { return this->m_left->IsZero() || this->m_right->IsZero(); }

template <typename T>
FunctionPtr<T> CMulFunction<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    const CFunction<T>& u = *this->m_left;
    const CFunction<T>& v = *this->m_right;
    FunctionPtr<T> du, dv;
    if (!DeriveOperands<T>(*this, du, dv))
        return nullptr;
    return New<CAddFunction, T>(New<CMulFunction, T>(Copy(u), std::move(dv)),
                                New<CMulFunction, T>(std::move(du), Copy(v)));
}

template <typename T>
FunctionPtr<T> CMulFunction<T>::Clone(bool simplify) const
{
    return CloneOperator<CMulFunction, CMul0Function, CMul0Function>(
        *this, simplify, [](const CFunction<T>& u, const CFunction<T>& v) { return u.IsZero() || v.IsZero(); },
        [](T p, T q) { return p * q; });
}

// u / v
template <typename T>
T CDivFunction<T>::Evaluate(T x) const
{
    const T u = this->m_left->Evaluate(x);
    return u / this->m_right->Evaluate(x);
}
template <typename T>
void CDivFunction<T>::AppendText(CString& out) const
{
    this->AppendCompositeText(out, L"/");
}
template <typename T>
bool CDivFunction<T>::ComputeIsConstant() const
{
    return (this->m_left->IsConstant() && this->m_right->IsConstant()) || this->m_left->IsZero();
}
template <typename T>
bool CDivFunction<T>::ComputeIsZero() const { return this->m_left->IsZero(); }

template <typename T>
FunctionPtr<T> CDivFunction<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    const CFunction<T>& u = *this->m_left;
    const CFunction<T>& v = *this->m_right;
    FunctionPtr<T> du, dv;
    if (!DeriveOperands<T>(*this, du, dv))
        return nullptr;
    auto numerator = New<CSubFunction, T>(New<CMulFunction, T>(std::move(du), Copy(v)),
                                          New<CMulFunction, T>(Copy(u), std::move(dv)));
    return New<CDivFunction, T>(std::move(numerator), New<CMulFunction, T>(Copy(v), Copy(v)));
}

template <typename T>
FunctionPtr<T> CDivFunction<T>::Clone(bool simplify) const
{
    return CloneOperator<CDivFunction, CDivL0Function, CDivR0Function>(
        *this, simplify, [](const CFunction<T>& u, const CFunction<T>&) { return u.IsZero(); },
        [](T p, T q) { return p / q; });
}

// u ^ v
template <typename T>
T CPowerFunction<T>::Evaluate(T x) const
{
    const T u = this->m_left->Evaluate(x);
    return std::pow(u, this->m_right->Evaluate(x));
}
template <typename T>
void CPowerFunction<T>::AppendText(CString& out) const
{
    this->AppendCompositeText(out, L"^");
}
template <typename T>
bool CPowerFunction<T>::ComputeIsConstant() const
{
    const CFunction<T>& u = *this->m_left;
    const CFunction<T>& v = *this->m_right;
    return u.IsZero() || v.IsZero() || (u.IsConstant() && v.IsConstant());
}
template <typename T>
bool CPowerFunction<T>::ComputeIsZero() const { return this->m_left->IsZero(); }

template <typename T>
FunctionPtr<T> CPowerFunction<T>::Derive() const
{
    if (this->IsConstant())
        return Null<T>();
    const CFunction<T>& u = *this->m_left;
    const CFunction<T>& v = *this->m_right;
    FunctionPtr<T> du, dv;
    if (!DeriveOperands<T>(*this, du, dv))
        return nullptr;
    // d/dx u^v = u^v * (v' ln u + u' v / u)
    auto logarithmic = New<CAddFunction, T>(New<CMulFunction, T>(std::move(dv), New<CLogFunction, T>(Copy(u))),
                                            New<CDivFunction, T>(New<CMulFunction, T>(std::move(du), Copy(v)), Copy(u)));
    return New<CMulFunction, T>(Copy<T>(*this), std::move(logarithmic));
}

template <typename T>
FunctionPtr<T> CPowerFunction<T>::Clone(bool simplify) const
{
    return CloneOperator<CPowerFunction, CPowerL0Function, CPowerR0Function>(
        *this, simplify, [](const CFunction<T>&, const CFunction<T>&) { return false; },
        [](T p, T q) { return std::pow(p, q); });
}

// ---------------------------------------------------------------------------------------------

template double ApplyFunction<double>(FunctionKind, double);

template class CConstFunction<double>;
template class CNullFunction<double>;
template class CIdentityFunction<double>;
template class CPolynom1Function<double>;
template class CPolynom2Function<double>;
template class CNegFunction<double>;
template class CConstOperandFunction<double>;
template class CAdd0Function<double>;
template class CMul0Function<double>;
template class CSubL0Function<double>;
template class CSubR0Function<double>;
template class CDivL0Function<double>;
template class CDivR0Function<double>;
template class CPowerL0Function<double>;
template class CPowerR0Function<double>;
template class CAddFunction<double>;
template class CSubFunction<double>;
template class CMulFunction<double>;
template class CDivFunction<double>;
template class CPowerFunction<double>;

template class CFunctionOfX<double, FunctionKind::Sqr>;
template class CFunctionOfX<double, FunctionKind::Exp>;
template class CFunctionOfX<double, FunctionKind::Sin>;
template class CFunctionOfX<double, FunctionKind::Cos>;
template class CFunctionOfX<double, FunctionKind::Tan>;
template class CFunctionOfX<double, FunctionKind::Cot>;
template class CFunctionOfX<double, FunctionKind::Sinh>;
template class CFunctionOfX<double, FunctionKind::Cosh>;
template class CFunctionOfX<double, FunctionKind::Tanh>;
template class CFunctionOfX<double, FunctionKind::Coth>;
template class CFunctionOfX<double, FunctionKind::Abs>;
template class CFunctionOfX<double, FunctionKind::Ceil>;
template class CFunctionOfX<double, FunctionKind::Floor>;
template class CFunctionOfX<double, FunctionKind::Log10>;
template class CFunctionOfX<double, FunctionKind::Log>;
template class CFunctionOfX<double, FunctionKind::Sqrt>;
template class CFunctionOfX<double, FunctionKind::Asin>;
template class CFunctionOfX<double, FunctionKind::Acos>;
template class CFunctionOfX<double, FunctionKind::Atan>;
template class CFunctionOfX<double, FunctionKind::Gamma>;
template class CFunctionOfX<double, FunctionKind::Sign>;
template class CFunctionOf<double, FunctionKind::Sqr>;
template class CFunctionOf<double, FunctionKind::Exp>;
template class CFunctionOf<double, FunctionKind::Sin>;
template class CFunctionOf<double, FunctionKind::Cos>;
template class CFunctionOf<double, FunctionKind::Tan>;
template class CFunctionOf<double, FunctionKind::Cot>;
template class CFunctionOf<double, FunctionKind::Sinh>;
template class CFunctionOf<double, FunctionKind::Cosh>;
template class CFunctionOf<double, FunctionKind::Tanh>;
template class CFunctionOf<double, FunctionKind::Coth>;
template class CFunctionOf<double, FunctionKind::Abs>;
template class CFunctionOf<double, FunctionKind::Ceil>;
template class CFunctionOf<double, FunctionKind::Floor>;
template class CFunctionOf<double, FunctionKind::Log10>;
template class CFunctionOf<double, FunctionKind::Log>;
template class CFunctionOf<double, FunctionKind::Sqrt>;
template class CFunctionOf<double, FunctionKind::Asin>;
template class CFunctionOf<double, FunctionKind::Acos>;
template class CFunctionOf<double, FunctionKind::Atan>;
template class CFunctionOf<double, FunctionKind::Gamma>;
template class CFunctionOf<double, FunctionKind::Sign>;
