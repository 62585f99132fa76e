// Feeds arbitrary text to the normaliser and the parser. The first byte chooses whether Calculate
// normalises and which x it uses; the rest is the formula (UTF-8, or Windows-1252 where invalid).
// Besides crashes and undefined behaviour it checks that a reported position lies in the text.

#include "engine/FormulaEngine.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const double xs[] = { 0.0, 1.0, -2.5, 1e308, -1e-300 };
    const std::uint8_t options = data[0];
    const BOOL normalise = options & 1;
    const double x = xs[(options >> 1) % (sizeof(xs) / sizeof(xs[0]))];
    const CString formula(NarrowToWide(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)));

    CFormulaParser& parser = GetFormulaEngine().FormulaParser;
    CString normalised = formula;
    parser.NormalizeFormula(normalised);
    if (normalised.GetLength() > formula.GetLength())
        __builtin_trap();

    int errPos = -1;
    CString errText;
    parser.Calculate(formula, x, &errPos, &errText, normalise);
    const int parsedLength = normalise ? normalised.GetLength() : formula.GetLength();
    if (!formula.IsEmpty() && (errPos < 0 || errPos > parsedLength))
        __builtin_trap();
    return 0;
}
