#include "engine/FormulaEngine.h"

double g_FunctConst[FunctConstCount] = {};
CString g_FormulaText;

namespace {
CFormulaEngine* s_applicationEngine = nullptr;
}

CFormulaEngine::CFormulaEngine()
{
    if (!s_applicationEngine)
        s_applicationEngine = this;
}

CFormulaEngine::~CFormulaEngine()
{
    if (s_applicationEngine == this)
        s_applicationEngine = nullptr;
}

CFormulaEngine& GetFormulaEngine()
{
    if (s_applicationEngine)
        return *s_applicationEngine;
    static CFormulaEngine fallback;
    return fallback;
}
