// The mathematical functions of the script language.

#include "platform/script/VbsBuiltinSupport.h"

#include <cmath>
#include <limits>

namespace vbs::builtins {
namespace {

// These take a number and give one: Null is no number (94), unlike Abs, Int and Fix.
template<double (*F)(double)>
Var MathOf(Interpreter&, const Args& a)
{
    double r = F(ToDouble(a[0]));
    if (std::isnan(r) || std::isinf(r))
        Throw(kInvalidProcedureCall);
    return Var::Double(r);
}

double SafeLog(double x)
{
    if (x <= 0)
        Throw(kInvalidProcedureCall);
    return std::log(x);
}

double SafeSqrt(double x)
{
    if (x < 0)
        Throw(kInvalidProcedureCall);
    return std::sqrt(x);
}

double SafeExp(double x)
{
    double r = std::exp(x);
    if (std::isinf(r))
        Throw(kOverflow);
    return r;
}

double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Atn(double x) { return std::atan(x); }

Var Abs(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    Var v = ValueOf(a[0]);
    switch (v.type()) {
    case VT_EMPTY: return Var::Int(0);
    case VT_I2: case VT_I4: case VT_R4: case VT_CY: case VT_UI1:
        return ToDouble(v.v) < 0 ? Negate(v.v) : v;
    case VT_BOOL: return Var::Int(v.v.boolVal ? 1 : 0);
    default: return Var::Double(std::fabs(ToDouble(v.v)));
    }
}

Var Sgn(Interpreter&, const Args& a)
{
    double d = ToDouble(a[0]);
    return Var::Int(static_cast<SHORT>(d > 0 ? 1 : d < 0 ? -1 : 0));
}

Var Rnd(Interpreter& in, const Args& a)
{
    std::optional<double> argument;
    if (a.Has(0)) {
        argument = ToDouble(a[0]);
        if (std::fabs(*argument) > std::numeric_limits<float>::max())  // the seed is a Single
            Throw(kOverflow);
    }
    Var r;
    r.v.vt = VT_R4;
    r.v.fltVal = static_cast<float>(in.NextRandom(argument));
    return r;
}

const Builtin kFunctions[] = {
    {L"abs", 1, 1, Abs},
    {L"atn", 1, 1, MathOf<Atn>},
    {L"cos", 1, 1, MathOf<Cos>},
    {L"exp", 1, 1, MathOf<SafeExp>},
    {L"log", 1, 1, MathOf<SafeLog>},
    {L"rnd", 0, 1, Rnd},
    {L"sgn", 1, 1, Sgn},
    {L"sin", 1, 1, MathOf<Sin>},
    {L"sqr", 1, 1, MathOf<SafeSqrt>},
    {L"tan", 1, 1, MathOf<Tan>},
};

} // namespace

std::span<const Builtin> MathFunctions() { return kFunctions; }

} // namespace vbs::builtins
