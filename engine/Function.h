#pragma once
// A formula in one variable x, held as a tree of nodes that evaluates at any x, prints itself back as
// formula text, answers whether it is constant or zero, copies itself with constant parts folded and
// differentiates itself symbolically. The node classes are in FunctionTreeNodes.h.
//
// Ownership: a node owns its children; no subtree is shared. Derive and Clone hand out new trees that
// belong to the caller and leave the source untouched. Building a tree is all or nothing: a node
// that cannot be allocated throws std::bad_alloc and everything built so far is freed, so no tree
// with a missing child ever exists.

#include "platform/base/CString.h"
#include "platform/base/RunTimeClass.h"

#include <array>
#include <memory>

// How a node's text binds when it stands as an operand in another node's text, loosest first.
// Texts are parenthesised where the operator around them would otherwise bind them differently,
// so that the formula parser reads every printed tree back to its value: "-(x+1)", "(x+1)^2".
enum class FormulaTextForm {
    Sum,      // "+" or "-" between operands at the top level: x+1
    Product,  // "*" or "/" at the top level: 2*(x)
    Signed,   // begins with a sign: -x, -2
    Power,    // "^" at the top level: x^2
    Atom,     // a number, x, a function call, a parenthesised group
};

template <typename T>
class CFunction;

template <typename T>
using FunctionPtr = std::unique_ptr<CFunction<T>>;

// Trees are never stored: Serialize is CObject's, which does nothing; nodes report CObject's
// run-time class.
template <typename T>
class CFunction : public CObject {
public:
    // The node's formula text; a text that the formula parser reads back to the same value.
    CString GetText() const;
    // Appends the formula text to out: trees print into one buffer.
    virtual void AppendText(CString& out) const = 0;
    virtual FormulaTextForm TextForm() const { return FormulaTextForm::Atom; }
    // A new tree for d/dx, or null when no node can express it (the gamma function of a variable).
    virtual FunctionPtr<T> Derive() const = 0;
    // A new tree of the same value; with simplify, parts known to be constant are folded.
    virtual FunctionPtr<T> Clone(bool simplify) const = 0;
    virtual T Evaluate(T x) const = 0;
    // True when the value does not depend on x, as far as the node's own rule can tell.
    bool IsConstant() const;
    // True when the value is 0 for every x, as far as the node's own rule can tell.
    bool IsZero() const;

    // Numeric methods, built on Evaluate alone.
    // Finite-difference derivative: order 1 forward, order 2 central, higher orders forward
    // differences of the order below, all with step h. A negative order is read as 0; orders above
    // MaxDerivativeOrder give NaN, since their differences carry no digits any more.
    T NumDerivative(T x, int order, T h) const;
    // Newton's method from x0 with a numeric slope; NaN when no x with |f(x)| <= eps is found
    // within MaxNewtonSteps steps.
    T NewtonRoot(T x0, T eps) const;
    T IntegrateTrapezoid(T a, T b, int n) const;
    T IntegrateMidpoint(T a, T b, int n) const;
    // Composite Simpson rule; an odd n is raised to the next even number.
    T IntegrateSimpson(T a, T b, int n) const;

    static constexpr int MaxDerivativeOrder = 64;
    static constexpr int MaxNewtonSteps = 1000;

protected:
    CFunction() = default;

    // The node's own rules behind IsConstant and IsZero. A tree never changes once built, so each
    // answer is worked out once per node.
    virtual bool ComputeIsConstant() const { return false; }
    virtual bool ComputeIsZero() const { return false; }

    // Appends operand's text, in parentheses unless it binds at least as tightly as required.
    static void AppendOperand(CString& out, const CFunction& operand, FormulaTextForm required);

    // Frees a tree node by node from a worklist instead of by nested destructors, whose depth
    // would be the tree's: a chain of many thousand terms would exhaust the stack.
    static void DestroyTree(FunctionPtr<T> root);
    // Moves the node's children (at most two) out of it.
    using Children = std::array<FunctionPtr<T>, 2>;
    virtual void ReleaseChildren(Children&) {}
    virtual bool HasChildren() const { return false; }

private:
    enum class Answer : signed char { Unknown = -1, No, Yes };
    mutable Answer m_isConstant = Answer::Unknown;
    mutable Answer m_isZero = Answer::Unknown;
};

// Base of the nodes that apply something to one child tree u.
template <typename T>
class CFunction1 : public CFunction<T> {
public:
    const CFunction<T>& Child() const { return *m_child; }
    // out = name + "(" + child text + ")"; returns out.
    CString& GetCompositeText(CString& out, const wchar_t* name) const;

protected:
    void AppendCompositeText(CString& out, const wchar_t* name) const;

    // Throws std::invalid_argument for a null child.
    explicit CFunction1(FunctionPtr<T> child);
    ~CFunction1() override;
    void ReleaseChildren(typename CFunction<T>::Children& into) override;
    bool HasChildren() const override { return m_child != nullptr; }

    FunctionPtr<T> m_child;
};

// Base of the nodes that combine two child trees u (left) and v (right).
template <typename T>
class CFunction2 : public CFunction<T> {
public:
    const CFunction<T>& Left() const { return *m_left; }
    const CFunction<T>& Right() const { return *m_right; }
    // out = "(" + left text + ")" + op + "(" + right text + ")"; returns out.
    CString& GetCompositeText(CString& out, const wchar_t* op) const;

protected:
    void AppendCompositeText(CString& out, const wchar_t* op) const;

    // Throws std::invalid_argument for a null child.
    CFunction2(FunctionPtr<T> left, FunctionPtr<T> right);
    ~CFunction2() override;
    void ReleaseChildren(typename CFunction<T>::Children& into) override;
    bool HasChildren() const override { return m_left || m_right; }

    FunctionPtr<T> m_left;
    FunctionPtr<T> m_right;
};

extern template class CFunction<double>;
extern template class CFunction1<double>;
extern template class CFunction2<double>;
