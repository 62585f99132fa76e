#pragma once
// The formula engines the application owns for the whole run: the table of physical constants
// and the one formula parser, shared by every caller one call at a time.
//
// The application object owns one CFormulaEngine (or derives from it), so that PhysConst and
// FormulaParser are its members. The constants are built first because the parser reads their
// names when it is built.

#include "engine/FormulaParser.h"
#include "engine/PhysConst.h"

class CFormulaEngine {
public:
    // The first engine built becomes the application's engine, until it is destroyed.
    CFormulaEngine();
    virtual ~CFormulaEngine();
    CFormulaEngine(const CFormulaEngine&) = delete;
    CFormulaEngine& operator=(const CFormulaEngine&) = delete;

    CPhysConst PhysConst;
    CFormulaParser FormulaParser { PhysConst };
};

// The application's engine; when no application object has built one, one is built on first use
// and lives until exit.
CFormulaEngine& GetFormulaEngine();

// The function constants of the last computation, for code that builds or evaluates formulas
// later: A to G in elements 0 to 6, then the parser's constants 8 and 9 (it numbers them from 1).
// All 0 until the first computation.
inline constexpr int FunctConstCount = 9;
extern double g_FunctConst[FunctConstCount];
// The formula of the last computation, for the same readers.
extern CString g_FormulaText;
