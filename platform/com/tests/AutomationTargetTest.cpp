// Dispatch maps, interface maps with an aggregate, reference counting, the application lock and
// class factories of the automation target.

#include "platform/com/AutomationTarget.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchDriver.h"

#include <gtest/gtest.h>

int g_calcs = 0;

// Shaped like the program's automation object: a text property and methods, one with a
// by-reference argument.
class CCalc : public CAutomationTarget {
    DECLARE_DYNCREATE(CCalc)
public:
    CCalc()
    {
        ++g_calcs;
        EnableAutomation();
        AfxOleLockApp();
    }
    ~CCalc() override
    {
        --g_calcs;
        AfxOleUnlockApp();
    }

    BSTR GetFormula() { return SysAllocStringView(m_formula); }
    void SetFormula(const wchar_t* text) { m_formula = text; }
    BSTR GetName() { return SysAllocString(L"FLN"); }
    double GetFormulaResultEx(double x, short* count)
    {
        *count = 10;
        return x * 10;
    }
    void Reset() { m_formula.clear(); }
    double Fail() { AfxThrowOleDispatchException(0, L"Error on position 2"); }

    double m_scale = 1.5;

    DECLARE_DISPATCH_MAP()

private:
    std::wstring m_formula;
};

IMPLEMENT_DYNCREATE(CCalc, CAutomationTarget)

BEGIN_DISPATCH_MAP(CCalc, CAutomationTarget)
    DISP_PROPERTY_EX(CCalc, "Formula", GetFormula, SetFormula, VT_BSTR)
    DISP_FUNCTION(CCalc, "GetName", GetName, VT_BSTR, VTS_NONE)
    DISP_FUNCTION(CCalc, "GetFormulaResultEx", GetFormulaResultEx, VT_R8, VTS_R8 VTS_PI2)
    DISP_FUNCTION(CCalc, "Reset", Reset, VT_EMPTY, VTS_NONE)
    DISP_PROPERTY(CCalc, "Scale", m_scale, VT_R8)
    DISP_FUNCTION(CCalc, "Fail", Fail, VT_R8, VTS_NONE)
END_DISPATCH_MAP()

namespace {

TEST(AutomationTarget, PublishesItsDispatchMapByPosition)
{
    auto* calc = new CCalc;
    COleDispatchDriver driver(calc->GetIDispatch(FALSE));  // takes over the creation reference
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"getformularesultex")};
    DISPID id = 0;
    ASSERT_EQ(driver.m_lpDispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 3);

    short count = 0;
    double result = 0;
    static const BYTE params[] = VTS_R8 VTS_PI2;
    driver.InvokeHelper(3, DISPATCH_METHOD, VT_R8, &result, params, 3.0, &count);
    EXPECT_EQ(result, 30);
    EXPECT_EQ(count, 10);

    driver.SetProperty(1, VT_BSTR, L"sin(x)");
    CString text;
    driver.GetProperty(1, VT_BSTR, &text);
    EXPECT_EQ(text, L"sin(x)");
    driver.InvokeHelper(2, DISPATCH_METHOD, VT_BSTR, &text, nullptr);
    EXPECT_EQ(text, L"FLN");
    driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
    driver.GetProperty(1, VT_BSTR, &text);
    EXPECT_TRUE(text.IsEmpty());
    driver.SetProperty(5, VT_R8, 2.25);
    EXPECT_EQ(calc->m_scale, 2.25);

    bool caught = false;
    try {
        static const BYTE wrong[] = VTS_BSTR VTS_PI2;
        driver.InvokeHelper(3, DISPATCH_METHOD, VT_R8, &result, wrong, L"not a number", &count);
    } catch (COleException* e) {
        caught = e->m_sc == DISP_E_TYPEMISMATCH;
        e->Delete();
    }
    EXPECT_TRUE(caught);
    EXPECT_EQ(g_calcs, 1);
    EXPECT_EQ(AfxOleGetLockCount(), 1);
    driver.ReleaseDispatch();
    EXPECT_EQ(g_calcs, 0);
    EXPECT_TRUE(AfxOleCanExitApp());
}

TEST(AutomationTarget, AnErrorAMemberRaisesReachesTheCallerWithItsText)
{
    auto* calc = new CCalc;
    LPDISPATCH dispatch = calc->GetIDispatch(FALSE);
    DISPPARAMS none {};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception {};
    EXPECT_EQ(dispatch->Invoke(6, IID_NULL, 0, DISPATCH_METHOD, &none, &result, &exception, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(std::wstring_view(exception.bstrDescription), L"Error on position 2");
    ClearExcepInfo(&exception);
    dispatch->Release();
    EXPECT_EQ(g_calcs, 0);
}

class Plain final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IConnectionPointContainer) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    ULONG refs = 1;
};

// Shaped like the script host's named item: an interface part first in its map, then the
// wrapped object as an aggregate.
class CWrapper : public CAutomationTarget {
public:
    explicit CWrapper(IUnknown* object) : m_object(object)
    {
        EnableAutomation();
        EnableAggregation();
        m_object->AddRef();
    }
    ~CWrapper() override { m_object->Release(); }

    BEGIN_INTERFACE_PART(ClassInfo, IProvideClassInfo)
        HRESULT GetClassInfo(ITypeInfo** info) override;
    END_INTERFACE_PART(ClassInfo)

    IUnknown* m_object;
    DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CWrapper, CAutomationTarget)
    INTERFACE_PART(CWrapper, IID_IProvideClassInfo, ClassInfo)
    INTERFACE_AGGREGATE(CWrapper, m_object)
END_INTERFACE_MAP()

HRESULT CWrapper::XClassInfo::QueryInterface(REFIID iid, void** ppv)
{
    METHOD_PROLOGUE(CWrapper, ClassInfo)
    return static_cast<HRESULT>(pThis->InternalQueryInterface(&iid, ppv));
}
ULONG CWrapper::XClassInfo::AddRef()
{
    METHOD_PROLOGUE(CWrapper, ClassInfo)
    return pThis->InternalAddRef();
}
ULONG CWrapper::XClassInfo::Release()
{
    METHOD_PROLOGUE(CWrapper, ClassInfo)
    return pThis->InternalRelease();
}
HRESULT CWrapper::XClassInfo::GetClassInfo(ITypeInfo** info)
{
    *info = nullptr;
    return E_NOTIMPL;
}

TEST(AutomationTarget, InterfaceMapPartsAggregatesAndIdentity)
{
    Plain wrapped;
    auto* item = new CWrapper(&wrapped);
    EXPECT_EQ(wrapped.refs, 2u);
    IDispatch* dispatch = item->GetIDispatch(FALSE);
    ASSERT_NE(dispatch, nullptr);
    EXPECT_EQ(CAutomationTarget::FromIDispatch(dispatch), item);

    IUnknown* identity = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&item->m_xClassInfo));  // the first entry of the map
    identity->Release();

    IUnknown* fromAggregate = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&fromAggregate)), S_OK);
    EXPECT_EQ(fromAggregate, &wrapped);
    fromAggregate->Release();
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(dispatch->QueryInterface(IID_IProvideClassInfo2, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(dispatch->GetTypeInfo(0, 0, &info), E_NOTIMPL);

    EXPECT_EQ(item->m_dwRef, 1);
    EXPECT_EQ(item->InternalRelease(), 0u);  // deleted: the wrapped object got its reference back
    EXPECT_EQ(wrapped.refs, 1u);
}

TEST(AutomationTarget, WithoutAutomationThereIsNoDispatchInterface)
{
    struct Quiet : CAutomationTarget {};
    auto* quiet = new Quiet;
    EXPECT_EQ(quiet->GetIDispatch(FALSE), nullptr);
    void* p = nullptr;
    EXPECT_EQ(quiet->InternalQueryInterface(&IID_IDispatch, &p), static_cast<DWORD>(E_NOINTERFACE));
    quiet->InternalRelease();
}

const CLSID kCalcClass = {0x6B2CE2D1, 0x3D3B, 0x4226, {0xB4, 0xD5, 0x10, 0x4A, 0xA7, 0x8E, 0x15, 0x2E}};

TEST(AutomationTarget, FactoryCreatesObjectsByProgId)
{
    {
        COleObjectFactory factory(kCalcClass, RUNTIME_CLASS(CCalc), TRUE, L"Test.Calc");
        COleDispatchDriver driver;
        ASSERT_TRUE(driver.CreateDispatch(L"Test.Calc"));
        EXPECT_EQ(g_calcs, 1);
        short count = 0;
        double result = 0;
        static const BYTE params[] = VTS_R8 VTS_PI2;
        driver.InvokeHelper(3, DISPATCH_METHOD, VT_R8, &result, params, 0.5, &count);
        EXPECT_EQ(result, 5);
        driver.ReleaseDispatch();
        EXPECT_EQ(g_calcs, 0);
    }
    COleDispatchDriver driver;
    EXPECT_FALSE(driver.CreateDispatch(L"Test.Calc"));  // the factory went with its scope
}

} // namespace
