#include "engine/RootFinder.h"

#include "engine/MathHelper.h"

#include <cfloat>
#include <cmath>
#include <cwchar>
#include <string>

namespace {

constexpr int MaxIterations = 1000;
// The search runs in float, so the interval can shrink to a few float steps but no further.
constexpr float RelativeIntervalTolerance = 4.0f * FLT_EPSILON;
// 2^63: the first value outside the 64-bit integer range.
constexpr double Int64Limit = 9223372036854775808.0;
// Convergents grow at least like the Fibonacci numbers, so 64-bit ones never need more steps.
constexpr int MaxFractionSteps = 100;

std::wstring FractionText(double value, double eps)
{
    std::int64_t whole, numerator, denominator;
    if (!ApproximateFraction(value, &whole, &numerator, &denominator, eps))
        return {};
    if (numerator == 0)
        return std::to_wstring(whole);
    std::wstring fraction = std::to_wstring(numerator) + L'/' + std::to_wstring(denominator);
    return whole == 0 ? fraction : std::to_wstring(whole) + L' ' + fraction;
}

} // namespace

int FindRootPegasus(RootFunction f, float* a, float* b, float* fb, int* iterations)
{
    *iterations = 0;
    if (!f)
        return RootNoFunction;

    float fa = f(*a);
    *fb = f(*b);
    if (fa * *fb > 0.0f)
        return RootNotBracketed;
    if (fa * *fb == 0.0f) {
        if (fa == 0.0f) {
            *b = *a;
            *fb = 0.0f;
        }
        return RootFound;
    }

    const float rootTolerance = static_cast<float>(CMathHelper::GetRootTolerance());
    int result = RootNoConvergence;
    while (*iterations <= MaxIterations) {
        ++*iterations;
        float x = *b - *fb / ((*fb - fa) / (*b - *a));
        float fx = f(x);
        if (fx * *fb > 0.0f) {
            fa = fa * *fb / (fx + *fb);  // the Pegasus scaling; a stays
        } else {
            *a = *b;
            fa = *fb;
        }
        *b = x;
        *fb = fx;
        if (std::fabs(fx) < rootTolerance) {
            result = RootFound;
            break;
        }
        if (std::fabs(*b - *a) <= std::fabs(*b) * RelativeIntervalTolerance) {
            result = RootIntervalConverged;
            break;
        }
    }
    if (std::fabs(fa) < std::fabs(*fb)) {
        *b = *a;
        *fb = fa;
    }
    return result;
}

bool ApproximateFraction(double value, std::int64_t* whole, std::int64_t* numerator, std::int64_t* denominator,
                         double eps)
{
    *whole = *numerator = *denominator = 0;
    if (!std::isfinite(value) || !(std::fabs(value) + std::fabs(eps) < Int64Limit))
        return false;

    const bool negative = value < 0.0;
    if (negative)
        value = -value;
    *whole = static_cast<std::int64_t>(value + eps);
    const double fraction = value - static_cast<double>(*whole);

    std::int64_t h = 1;         // numerator of the current convergent
    std::int64_t previous = 0;  // the one before it
    std::int64_t beforePrevious = 0;
    std::int64_t d = 0;
    if (fraction > eps) {
        double x = fraction;
        double t = eps;
        for (int step = 0; step < MaxFractionSteps; ++step) {
            x = 1.0 / x;
            if (!(x + t < Int64Limit))
                break;
            std::int64_t term = static_cast<std::int64_t>(x + t);
            x -= static_cast<double>(term);
            if (previous != 0) {
                std::int64_t next;
                if (__builtin_mul_overflow(h, term, &next) || __builtin_add_overflow(next, beforePrevious, &next))
                    break;  // keep the last convergent that fits
                h = next;
            }
            double rounded = static_cast<double>(h) / fraction + 0.5;
            if (!(rounded < Int64Limit))
                break;
            d = static_cast<std::int64_t>(rounded);
            double err = std::fabs(static_cast<double>(h) / static_cast<double>(d) - fraction);
            if (err <= eps || x < t)
                break;
            t = eps / err;
            beforePrevious = previous;
            previous = h;
        }
    }

    if (h == d) {  // the fraction rounds to 1
        *whole += 1;
        h = 0;
        d = 0;
    } else if (d == 0) {
        h = 0;
    }
    if (negative) {
        if (*whole == 0)
            h = -h;
        else
            *whole = -*whole;
    }
    *numerator = h;
    *denominator = d;
    return true;
}

wchar_t* FormatFraction(double value, wchar_t* buffer, double eps)
{
    std::wstring text = FractionText(value, eps);
    if (text.size() >= FractionBufferSize)
        text.resize(FractionBufferSize - 1);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

void FractionToText(double value, CString* out, double eps)
{
    *out = CString(FractionText(value, eps));
}
