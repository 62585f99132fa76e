#include "app/Application.h"

#include "app/FlnApp.h"
#include "app/FlnView.h"
#include "platform/com/DispatchDriver.h"
#include "res/Formulon.h"

#include <atomic>
#include <cwchar>

namespace {

std::atomic<int> g_liveObjects = 0;

} // namespace

const CLSID CLSID_FlnApplication = { 0x6B2CE2D0, 0x3D3B, 0x4226, { 0xB4, 0xD5, 0x10, 0x4A, 0xA7, 0x8E, 0x15, 0x2E } };

COleObjectFactory& ApplicationFactory()
{
    static COleObjectFactory factory(CLSID_FlnApplication, RUNTIME_CLASS(CApplication), TRUE, L"FLN.Application");
    return factory;
}

IMPLEMENT_DYNCREATE(CApplication, CCmdTarget)

BEGIN_DISPATCH_MAP(CApplication, CCmdTarget)
    DISP_PROPERTY_EX(CApplication, "Formula", GetFormula, SetFormula, VT_BSTR)
    DISP_FUNCTION(CApplication, "GetName", GetName, VT_BSTR, VTS_NONE)
    DISP_FUNCTION(CApplication, "GetFormulaString", GetFormulaString, VT_BSTR, VTS_NONE)
    DISP_FUNCTION(CApplication, "SetFormulaString", SetFormulaString, VT_EMPTY, VTS_BSTR)
    DISP_FUNCTION(CApplication, "GetFormulaResult", GetFormulaResult, VT_R8, VTS_R8)
    DISP_FUNCTION(CApplication, "GetFormulaResultEx", GetFormulaResultEx, VT_R8, VTS_R8 VTS_PI2)
END_DISPATCH_MAP()

CApplication::CApplication()
{
    EnableAutomation();
    ++g_liveObjects;
}

CApplication::~CApplication()
{
    --g_liveObjects;
}

int CApplication::LiveCount()
{
    return g_liveObjects;
}

void CApplication::OnFinalRelease()
{
    CCmdTarget::OnFinalRelease();
    if (CFlnApp* app = GetFlnApp())
        app->OnAutomationObjectGone();
}

BSTR CApplication::GetFormula()
{
    return GetFormulaString();
}

void CApplication::SetFormula(const wchar_t* text)
{
    SetFormulaString(text);
}

BSTR CApplication::GetName()
{
    CString name;
    if (!name.LoadString(AFX_IDS_APP_TITLE))
        name = L"FLN";
    return SysAllocStringView(name.view());
}

BSTR CApplication::GetFormulaString()
{
    CFlnApp* app = GetFlnApp();
    CFlnView* view = app ? app->GetFlnView() : nullptr;
    return SysAllocStringView(view ? view->m_strFormula.view() : std::wstring_view(m_formula));
}

void CApplication::SetFormulaString(const wchar_t* text)
{
    if (text && std::wcslen(text) > MaxFormulaLength) {
        CString message;
        message.Format(L"The formula is too long: at most %zu characters are accepted.", MaxFormulaLength);
        AfxThrowOleDispatchException(0, message);
    }
    CFlnApp* app = GetFlnApp();
    CFlnView* view = app ? app->GetFlnView() : nullptr;
    if (!view) {
        m_formula = text ? text : L"";
        return;
    }
    // The formula alone: the other fields keep what the user typed into them.
    view->m_strFormula = text;
    view->ShowFormula();
}

double CApplication::GetFormulaResult(double x)
{
    CFlnApp* app = GetFlnApp();
    if (!app)
        return 0.0;
    int errorPosition = 0;
    CString errorText;
    // An invalid formula gives the parser's value as the result; the error stays inside.
    return app->GetFlnView() ? app->GetFormulaResult(x, errorPosition, errorText)
                             : app->FormulaParser.Calculate(CString(m_formula), x, &errorPosition, &errorText, TRUE);
}

double CApplication::GetFormulaResultEx(double x, short* count)
{
    *count = 10;
    return x * 10;
}
