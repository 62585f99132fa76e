#include "engine/FormulaInputs.h"

#include "engine/FormulaEngine.h"
#include "engine/FormulaParser.h"

static_assert(FormulaInputs::ConstantCount <= FunctConstCount);

void FormulaInputs::ApplyTo(CFormulaParser& parser) const
{
    for (int i = 0; i < ConstantCount; ++i) {
        parser.SetFunctConst(i + 1, constants[i]);
        g_FunctConst[i] = constants[i];
    }
    g_FormulaText = formula;
}

double FormulaInputs::Calculate(CFormulaParser& parser, int* errorPosition, CString* errorText, BOOL normalise) const
{
    ApplyTo(parser);
    return parser.Calculate(formula, x, errorPosition, errorText, normalise);
}

FormulaInputs FormulaInputs::LastApplied()
{
    FormulaInputs inputs;
    inputs.formula = g_FormulaText;
    for (int i = 0; i < ConstantCount; ++i)
        inputs.constants[i] = g_FunctConst[i];
    return inputs;
}
