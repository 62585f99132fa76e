#pragma once
// The node classes of the function tree (see Function.h):
//  - constants (CConstFunction, CNullFunction) and leaves that compute a fixed function of x itself
//    (CIdentityFunction, CSin1Function ..., CPolynom1Function, CPolynom2Function);
//  - one-child nodes that apply a function to a child u (CNegFunction, CSinFunction ...);
//  - one-child nodes with a constant operand c (CAdd0Function ...; L0: c stands left of the operator,
//    R0: right of it);
//  - two-child nodes for the operators (CAddFunction ...).
// Values outside a function's domain and divisions by zero give what floating point gives.

#include "engine/Function.h"

// ---------------------------------------------------------------------------------------------
// Constants and polynomials

template <typename T>
class CConstFunction final : public CFunction<T> {
public:
    explicit CConstFunction(T c) : m_c(c) {}
    T Value() const { return m_c; }

    void AppendText(CString& out) const override;
    FormulaTextForm TextForm() const override;
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T) const override { return m_c; }

private:
    bool ComputeIsConstant() const override { return true; }
    bool ComputeIsZero() const override { return m_c == 0; }

    T m_c;
};

// The constant 0.
template <typename T>
class CNullFunction final : public CFunction<T> {
public:
    void AppendText(CString& out) const override { out += L'0'; }
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T) const override { return 0; }

private:
    bool ComputeIsConstant() const override { return true; }
    bool ComputeIsZero() const override { return true; }
};

// x itself.
template <typename T>
class CIdentityFunction final : public CFunction<T> {
public:
    void AppendText(CString& out) const override { out += L'x'; }
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T x) const override { return x; }
};

// a*x + b.
template <typename T>
class CPolynom1Function final : public CFunction<T> {
public:
    CPolynom1Function(T b, T a) : m_b(b), m_a(a) {}
    T B() const { return m_b; }
    T A() const { return m_a; }

    void AppendText(CString& out) const override;
    FormulaTextForm TextForm() const override { return FormulaTextForm::Sum; }
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T x) const override { return m_a * x + m_b; }

private:
    bool ComputeIsConstant() const override { return m_a == 0; }
    bool ComputeIsZero() const override { return m_a == 0 && m_b == 0; }

    T m_b;
    T m_a;
};

// (c2*x + c1)*x + c0.
template <typename T>
class CPolynom2Function final : public CFunction<T> {
public:
    CPolynom2Function(T c0, T c1, T c2) : m_c0(c0), m_c1(c1), m_c2(c2) {}
    T C0() const { return m_c0; }
    T C1() const { return m_c1; }
    T C2() const { return m_c2; }

    void AppendText(CString& out) const override;
    FormulaTextForm TextForm() const override { return FormulaTextForm::Sum; }
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T x) const override { return (m_c2 * x + m_c1) * x + m_c0; }

private:
    bool ComputeIsConstant() const override { return m_c2 == 0 && m_c1 == 0; }
    bool ComputeIsZero() const override { return m_c2 == 0 && m_c1 == 0 && m_c0 == 0; }

    T m_c0;
    T m_c1;
    T m_c2;
};

// ---------------------------------------------------------------------------------------------
// Functions, as leaves of x (CSin1Function: sin(x)) and over a child (CSinFunction: sin(u))

enum class FunctionKind {
    Sqr,    // the square
    Exp,
    Sin,
    Cos,
    Tan,
    Cot,    // cos/sin
    Sinh,
    Cosh,
    Tanh,
    Coth,   // cosh/sinh
    Abs,
    Ceil,
    Floor,
    Log10,
    Log,    // the natural logarithm
    Sqrt,
    Asin,
    Acos,
    Atan,
    Gamma,
    Sign,   // 1, -1, or 0 for 0 and NaN
};

template <typename T>
T ApplyFunction(FunctionKind kind, T value);

template <typename T, FunctionKind Kind>
class CFunctionOfX final : public CFunction<T> {
public:
    void AppendText(CString& out) const override;
    FormulaTextForm TextForm() const override;
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T x) const override { return ApplyFunction(Kind, x); }
};

template <typename T, FunctionKind Kind>
class CFunctionOf final : public CFunction1<T> {
public:
    explicit CFunctionOf(FunctionPtr<T> child) : CFunction1<T>(std::move(child)) {}

    void AppendText(CString& out) const override;
    FormulaTextForm TextForm() const override;
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T x) const override { return ApplyFunction(Kind, this->m_child->Evaluate(x)); }

private:
    bool ComputeIsConstant() const override;
    bool ComputeIsZero() const override;
};

template <typename T> using CSqr1Function = CFunctionOfX<T, FunctionKind::Sqr>;
template <typename T> using CExp1Function = CFunctionOfX<T, FunctionKind::Exp>;
template <typename T> using CSin1Function = CFunctionOfX<T, FunctionKind::Sin>;
template <typename T> using CCos1Function = CFunctionOfX<T, FunctionKind::Cos>;
template <typename T> using CTan1Function = CFunctionOfX<T, FunctionKind::Tan>;
template <typename T> using CCot1Function = CFunctionOfX<T, FunctionKind::Cot>;
template <typename T> using CSinh1Function = CFunctionOfX<T, FunctionKind::Sinh>;
template <typename T> using CCosh1Function = CFunctionOfX<T, FunctionKind::Cosh>;
template <typename T> using CTanh1Function = CFunctionOfX<T, FunctionKind::Tanh>;
template <typename T> using CCoth1Function = CFunctionOfX<T, FunctionKind::Coth>;
template <typename T> using CAbs1Function = CFunctionOfX<T, FunctionKind::Abs>;
template <typename T> using CCeil1Function = CFunctionOfX<T, FunctionKind::Ceil>;
template <typename T> using CFloor1Function = CFunctionOfX<T, FunctionKind::Floor>;
template <typename T> using CLog101Function = CFunctionOfX<T, FunctionKind::Log10>;
template <typename T> using CLog1Function = CFunctionOfX<T, FunctionKind::Log>;
template <typename T> using CSqrt1Function = CFunctionOfX<T, FunctionKind::Sqrt>;
template <typename T> using CAsin1Function = CFunctionOfX<T, FunctionKind::Asin>;
template <typename T> using CAcos1Function = CFunctionOfX<T, FunctionKind::Acos>;
template <typename T> using CAtan1Function = CFunctionOfX<T, FunctionKind::Atan>;
template <typename T> using CGamma1Function = CFunctionOfX<T, FunctionKind::Gamma>;
template <typename T> using CSign1Function = CFunctionOfX<T, FunctionKind::Sign>;

template <typename T> using CSqrFunction = CFunctionOf<T, FunctionKind::Sqr>;
template <typename T> using CExpFunction = CFunctionOf<T, FunctionKind::Exp>;
template <typename T> using CSinFunction = CFunctionOf<T, FunctionKind::Sin>;
template <typename T> using CCosFunction = CFunctionOf<T, FunctionKind::Cos>;
template <typename T> using CTanFunction = CFunctionOf<T, FunctionKind::Tan>;
template <typename T> using CCotFunction = CFunctionOf<T, FunctionKind::Cot>;
template <typename T> using CSinhFunction = CFunctionOf<T, FunctionKind::Sinh>;
template <typename T> using CCoshFunction = CFunctionOf<T, FunctionKind::Cosh>;
template <typename T> using CTanhFunction = CFunctionOf<T, FunctionKind::Tanh>;
template <typename T> using CCothFunction = CFunctionOf<T, FunctionKind::Coth>;
template <typename T> using CAbsFunction = CFunctionOf<T, FunctionKind::Abs>;
template <typename T> using CCeilFunction = CFunctionOf<T, FunctionKind::Ceil>;
template <typename T> using CFloorFunction = CFunctionOf<T, FunctionKind::Floor>;
template <typename T> using CLog10Function = CFunctionOf<T, FunctionKind::Log10>;
template <typename T> using CLogFunction = CFunctionOf<T, FunctionKind::Log>;
template <typename T> using CSqrtFunction = CFunctionOf<T, FunctionKind::Sqrt>;
template <typename T> using CAsinFunction = CFunctionOf<T, FunctionKind::Asin>;
template <typename T> using CAcosFunction = CFunctionOf<T, FunctionKind::Acos>;
template <typename T> using CAtanFunction = CFunctionOf<T, FunctionKind::Atan>;
template <typename T> using CGammaFunction = CFunctionOf<T, FunctionKind::Gamma>;
template <typename T> using CSignFunction = CFunctionOf<T, FunctionKind::Sign>;

// -u.
template <typename T>
class CNegFunction final : public CFunction1<T> {
public:
    explicit CNegFunction(FunctionPtr<T> child) : CFunction1<T>(std::move(child)) {}

    void AppendText(CString& out) const override;
    FormulaTextForm TextForm() const override { return FormulaTextForm::Signed; }
    FunctionPtr<T> Derive() const override;
    FunctionPtr<T> Clone(bool simplify) const override;
    T Evaluate(T x) const override { return -this->m_child->Evaluate(x); }

private:
    bool ComputeIsConstant() const override { return this->m_child->IsConstant(); }
    bool ComputeIsZero() const override { return this->m_child->IsZero(); }
};

// ---------------------------------------------------------------------------------------------
// One child u and a constant operand c

template <typename T>
class CConstOperandFunction : public CFunction1<T> {
public:
    T Constant() const { return m_c; }

protected:
    CConstOperandFunction(FunctionPtr<T> child, T c) : CFunction1<T>(std::move(child)), m_c(c) {}
    T ChildAtZero() const { return this->m_child->Evaluate(0); }

    T m_c;
};

#define FLN_CONST_OPERAND_NODE(Name)                                                          \
    template <typename T>                                                                     \
    class Name final : public CConstOperandFunction<T> {                                      \
    public:                                                                                   \
        Name(FunctionPtr<T> child, T c) : CConstOperandFunction<T>(std::move(child), c) {}    \
        void AppendText(CString& out) const override;                                         \
        FormulaTextForm TextForm() const override;                                            \
        FunctionPtr<T> Derive() const override;                                               \
        FunctionPtr<T> Clone(bool simplify) const override;                                   \
        T Evaluate(T x) const override;                                                       \
                                                                                              \
    private:                                                                                  \
        bool ComputeIsConstant() const override;                                              \
        bool ComputeIsZero() const override;                                                  \
    };

FLN_CONST_OPERAND_NODE(CAdd0Function)    // u + c
FLN_CONST_OPERAND_NODE(CMul0Function)    // c * u
FLN_CONST_OPERAND_NODE(CSubL0Function)   // c - u
FLN_CONST_OPERAND_NODE(CSubR0Function)   // u - c
FLN_CONST_OPERAND_NODE(CDivL0Function)   // c / u
FLN_CONST_OPERAND_NODE(CDivR0Function)   // u / c
FLN_CONST_OPERAND_NODE(CPowerL0Function) // c ^ u
FLN_CONST_OPERAND_NODE(CPowerR0Function) // u ^ c
#undef FLN_CONST_OPERAND_NODE

// ---------------------------------------------------------------------------------------------
// Two children u (left) and v (right)

#define FLN_OPERATOR_NODE(Name, Form)                                                         \
    template <typename T>                                                                     \
    class Name final : public CFunction2<T> {                                                 \
    public:                                                                                   \
        Name(FunctionPtr<T> left, FunctionPtr<T> right)                                       \
            : CFunction2<T>(std::move(left), std::move(right)) {}                             \
        void AppendText(CString& out) const override;                                         \
        FormulaTextForm TextForm() const override { return FormulaTextForm::Form; }           \
        FunctionPtr<T> Derive() const override;                                               \
        FunctionPtr<T> Clone(bool simplify) const override;                                   \
        T Evaluate(T x) const override;                                                       \
                                                                                              \
    private:                                                                                  \
        bool ComputeIsConstant() const override;                                              \
        bool ComputeIsZero() const override;                                                  \
    };

FLN_OPERATOR_NODE(CAddFunction, Sum)       // u + v
FLN_OPERATOR_NODE(CSubFunction, Sum)       // u - v
FLN_OPERATOR_NODE(CMulFunction, Product)   // u * v
FLN_OPERATOR_NODE(CDivFunction, Product)   // u / v
FLN_OPERATOR_NODE(CPowerFunction, Power)   // u ^ v
#undef FLN_OPERATOR_NODE

// Built once, for double, in FunctionTreeNodes.cpp.
extern template double ApplyFunction<double>(FunctionKind, double);
extern template class CConstFunction<double>;
extern template class CNullFunction<double>;
extern template class CIdentityFunction<double>;
extern template class CPolynom1Function<double>;
extern template class CPolynom2Function<double>;
extern template class CNegFunction<double>;
extern template class CConstOperandFunction<double>;
extern template class CAdd0Function<double>;
extern template class CMul0Function<double>;
extern template class CSubL0Function<double>;
extern template class CSubR0Function<double>;
extern template class CDivL0Function<double>;
extern template class CDivR0Function<double>;
extern template class CPowerL0Function<double>;
extern template class CPowerR0Function<double>;
extern template class CAddFunction<double>;
extern template class CSubFunction<double>;
extern template class CMulFunction<double>;
extern template class CDivFunction<double>;
extern template class CPowerFunction<double>;
extern template class CFunctionOfX<double, FunctionKind::Sqr>;
extern template class CFunctionOfX<double, FunctionKind::Exp>;
extern template class CFunctionOfX<double, FunctionKind::Sin>;
extern template class CFunctionOfX<double, FunctionKind::Cos>;
extern template class CFunctionOfX<double, FunctionKind::Tan>;
extern template class CFunctionOfX<double, FunctionKind::Cot>;
extern template class CFunctionOfX<double, FunctionKind::Sinh>;
extern template class CFunctionOfX<double, FunctionKind::Cosh>;
extern template class CFunctionOfX<double, FunctionKind::Tanh>;
extern template class CFunctionOfX<double, FunctionKind::Coth>;
extern template class CFunctionOfX<double, FunctionKind::Abs>;
extern template class CFunctionOfX<double, FunctionKind::Ceil>;
extern template class CFunctionOfX<double, FunctionKind::Floor>;
extern template class CFunctionOfX<double, FunctionKind::Log10>;
extern template class CFunctionOfX<double, FunctionKind::Log>;
extern template class CFunctionOfX<double, FunctionKind::Sqrt>;
extern template class CFunctionOfX<double, FunctionKind::Asin>;
extern template class CFunctionOfX<double, FunctionKind::Acos>;
extern template class CFunctionOfX<double, FunctionKind::Atan>;
extern template class CFunctionOfX<double, FunctionKind::Gamma>;
extern template class CFunctionOfX<double, FunctionKind::Sign>;
extern template class CFunctionOf<double, FunctionKind::Sqr>;
extern template class CFunctionOf<double, FunctionKind::Exp>;
extern template class CFunctionOf<double, FunctionKind::Sin>;
extern template class CFunctionOf<double, FunctionKind::Cos>;
extern template class CFunctionOf<double, FunctionKind::Tan>;
extern template class CFunctionOf<double, FunctionKind::Cot>;
extern template class CFunctionOf<double, FunctionKind::Sinh>;
extern template class CFunctionOf<double, FunctionKind::Cosh>;
extern template class CFunctionOf<double, FunctionKind::Tanh>;
extern template class CFunctionOf<double, FunctionKind::Coth>;
extern template class CFunctionOf<double, FunctionKind::Abs>;
extern template class CFunctionOf<double, FunctionKind::Ceil>;
extern template class CFunctionOf<double, FunctionKind::Floor>;
extern template class CFunctionOf<double, FunctionKind::Log10>;
extern template class CFunctionOf<double, FunctionKind::Log>;
extern template class CFunctionOf<double, FunctionKind::Sqrt>;
extern template class CFunctionOf<double, FunctionKind::Asin>;
extern template class CFunctionOf<double, FunctionKind::Acos>;
extern template class CFunctionOf<double, FunctionKind::Atan>;
extern template class CFunctionOf<double, FunctionKind::Gamma>;
extern template class CFunctionOf<double, FunctionKind::Sign>;
