// GUID text forms, system strings, VARIANT coercions, safe arrays, the class registry and
// table-driven automation objects.

#include "platform/com/AutomationObject.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/MemoryBudget.h"

#include "FreedMemoryFill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Double(double d)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = d;
    return v;
}

TEST(Guid, TextFormRoundTripsAndRejectsMalformedText)
{
    CLSID clsid;
    ASSERT_EQ(CLSIDFromString(L"{b54f3741-5b07-11cf-a4b0-00aa004a55e8}", &clsid), S_OK);
    EXPECT_EQ(clsid.Data1, 0xB54F3741u);
    EXPECT_EQ(clsid.Data4[7], 0xE8);
    wchar_t text[39];
    EXPECT_EQ(StringFromGUID2(clsid, text, 39), 39);
    EXPECT_STREQ(text, L"{B54F3741-5B07-11CF-A4B0-00AA004A55E8}");
    EXPECT_EQ(StringFromGUID2(clsid, text, 38), 0);
    for (const wchar_t* bad : {L"{B54F3741-5B07-11cf-A4B0-00AA004A55E}", L"{B54F3741x5B07-11cf-A4B0-00AA004A55E8}",
                               L"{G54F3741-5B07-11cf-A4B0-00AA004A55E8}", L"", L"No.Such.Class"})
        EXPECT_EQ(CLSIDFromString(bad, &clsid), CO_E_CLASSSTRING) << bad;
}

TEST(Bstr, KeepsLengthEmbeddedZerosAndAppends)
{
    BSTR s = SysAllocStringLen(L"a\0b", 3);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(BstrView(s), std::wstring_view(L"a\0b", 3));
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(BstrAppend(&s, L"xy"), S_OK);
    EXPECT_EQ(SysStringLen(s), 2003u);
    EXPECT_EQ(s[2003], L'\0');
    SysFreeString(s);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

TEST(Bstr, AppendingItselfOrAPartOfItselfSurvivesTheBlockMoving)
{
    struct Case {
        const char* what;
        size_t from;  // where the appended part starts; it runs to the end
    } cases[] = { { "itself", 0 }, { "its tail", 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BSTR s = SysAllocString(L"ab");
        std::wstring expected = L"ab";
        for (int i = 0; i < 18; ++i) {  // far past the first moves of the block
            ASSERT_EQ(BstrAppend(&s, BstrView(s).substr(c.from)), S_OK);
            expected += expected.substr(c.from);
        }
        EXPECT_TRUE(BstrView(s) == expected);
        SysFreeString(s);
    }
}

TEST(MemoryBudget, ChargesStringsAndArraysMadeInItsScopeUntilTheyAreFreed)
{
    MemoryBudget::Ptr budget = MemoryBudget::Create(64 * 1024);
    BSTR outside = SysAllocStringLen(nullptr, 100000);  // no scope: not charged, not limited
    ASSERT_NE(outside, nullptr);
    BSTR text = nullptr;
    SAFEARRAY* array = nullptr;
    {
        MemoryBudgetScope scope(budget.get());
        text = SysAllocStringLen(nullptr, 1000);
        ASSERT_NE(text, nullptr);
        size_t afterText = budget->used();
        EXPECT_GE(afterText, 1000 * sizeof(OLECHAR));
        array = SafeArrayCreateVector(VT_VARIANT, 0, 100);
        ASSERT_NE(array, nullptr);
        EXPECT_GE(budget->used(), afterText + 100 * sizeof(VARIANT));

        // Past the limit: creating, growing an array and appending all fail and change nothing.
        size_t before = budget->used();
        EXPECT_EQ(SysAllocStringLen(nullptr, 20000), nullptr);
        EXPECT_EQ(SafeArrayCreateVector(VT_VARIANT, 0, 10000), nullptr);
        SAFEARRAYBOUND bigger { 10000, 0 };
        EXPECT_EQ(SafeArrayRedim(array, &bigger), E_OUTOFMEMORY);
        LONG upper = 0;
        EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
        EXPECT_EQ(upper, 99);
        EXPECT_EQ(BstrAppend(&text, std::wstring(20000, L'x')), E_OUTOFMEMORY);
        EXPECT_EQ(SysStringLen(text), 1000u);
        EXPECT_EQ(budget->used(), before);
    }
    // Blocks are refunded when freed, after the scope and after the owner let the budget go.
    MemoryBudget* watched = budget.get();
    watched->AddRef();
    budget.reset();
    SafeArrayDestroy(array);
    EXPECT_LT(watched->used(), 1000 * sizeof(OLECHAR) + 64);
    SysFreeString(text);
    EXPECT_EQ(watched->used(), 0u);
    watched->Release();
    SysFreeString(outside);
}

struct Coercion {
    VARIANT from;
    VARTYPE to;
    HRESULT result;
    double number;  // for numeric targets
    const wchar_t* text;  // for VT_BSTR
};

TEST(VariantChangeType, FollowsTheScriptLanguageRules)
{
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    VARIANT empty;
    VariantInit(&empty);
    VARIANT yes;
    VariantInit(&yes);
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    Coercion cases[] = {
        {Text(L" 12 "), VT_I2, S_OK, 12, nullptr},
        {Text(L"2.5"), VT_I2, S_OK, 2, nullptr},  // half to even
        {Double(3.5), VT_I4, S_OK, 4, nullptr},
        {Double(-2.5), VT_I4, S_OK, -2, nullptr},
        {Double(40000), VT_I2, DISP_E_OVERFLOW, 0, nullptr},
        {Double(256), VT_UI1, DISP_E_OVERFLOW, 0, nullptr},
        {Text(L"&HFF"), VT_I4, S_OK, 255, nullptr},
        {Text(L"1e3"), VT_R8, S_OK, 1000, nullptr},
        {Text(L"abc"), VT_R8, DISP_E_TYPEMISMATCH, 0, nullptr},
        // Boolean words are no numbers: they convert to a Boolean only.
        {Text(L"True"), VT_BOOL, S_OK, -1, nullptr},
        {Text(L" #FALSE# "), VT_BOOL, S_OK, 0, nullptr},
        {Text(L"True"), VT_I2, DISP_E_TYPEMISMATCH, 0, nullptr},
        {Text(L"#TRUE#"), VT_R8, DISP_E_TYPEMISMATCH, 0, nullptr},
        {Text(L"False"), VT_UI1, DISP_E_TYPEMISMATCH, 0, nullptr},
        {Text(L"True"), VT_DATE, DISP_E_TYPEMISMATCH, 0, nullptr},
        {null, VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
        {empty, VT_R8, S_OK, 0, nullptr},
        {Double(1.23456), VT_CY, S_OK, 12346, nullptr},
        {Double(1e20), VT_BSTR, S_OK, 0, L"1E+20"},
        {Double(0.1 + 0.2), VT_BSTR, S_OK, 0, L"0.3"},
        {Double(-1.5e-7), VT_BSTR, S_OK, 0, L"-1.5E-07"},
        {Double(123456789012345.0), VT_BSTR, S_OK, 0, L"123456789012345"},
        {empty, VT_BSTR, S_OK, 0, L""},
        {yes, VT_BSTR, S_OK, 0, L"-1"},
    };
    for (Coercion& c : cases) {
        VARIANT out;
        VariantInit(&out);
        HRESULT hr = VariantChangeType(&out, &c.from, 0, c.to);
        EXPECT_EQ(hr, c.result) << c.to << " from " << c.from.vt;
        if (SUCCEEDED(hr) && c.to == VT_BSTR)
            EXPECT_EQ(BstrView(out.bstrVal), c.text);
        else if (SUCCEEDED(hr) && c.to == VT_CY)
            EXPECT_EQ(out.cyVal.int64, static_cast<LONGLONG>(c.number));
        else if (SUCCEEDED(hr)) {
            VARIANT asDouble;
            VariantInit(&asDouble);
            ASSERT_EQ(VariantChangeType(&asDouble, &out, 0, VT_R8), S_OK);
            EXPECT_EQ(asDouble.dblVal, c.number);
        }
        VariantClear(&out);
        VariantClear(&c.from);
    }
    VARIANT alpha;
    VariantInit(&alpha);
    ASSERT_EQ(VariantChangeType(&alpha, &yes, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
    EXPECT_EQ(BstrView(alpha.bstrVal), L"True");
    VariantClear(&alpha);
}

TEST(Dates, SerialNumbersPartsAndText)
{
    DATE d;
    ASSERT_TRUE(DateFromParts(2024, 2, 29, 13, 5, 9, d));
    DateParts p = DateToParts(d);
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.second, 9);
    EXPECT_EQ(p.dayOfWeek, 5);
    EXPECT_EQ(FormatDateText(d), L"2/29/2024 1:05:09 PM");
    // Before 30 December 1899 the day counts back while the time still counts forward.
    ASSERT_TRUE(DateFromParts(1899, 12, 29, 6, 0, 0, d));
    EXPECT_DOUBLE_EQ(d, -1.25);
    EXPECT_EQ(DateToParts(d).hour, 6);
    EXPECT_EQ(FormatDateText(0.75), L"6:00:00 PM");
    for (const wchar_t* text : {L"2024-02-29", L"2/29/2024", L"February 29, 2024", L"29 Feb 2024"}) {
        ASSERT_TRUE(ParseDateText(text, d)) << text;
        EXPECT_EQ(FormatDateText(d), L"2/29/2024") << text;
    }
    EXPECT_TRUE(ParseDateText(L"10:30 pm", d));
    EXPECT_EQ(FormatDateText(d), L"10:30:00 PM");
    for (const wchar_t* bad : {L"2023-02-29", L"13/13/2020", L"25:00", L"hello", L""})
        EXPECT_FALSE(ParseDateText(bad, d)) << bad;
}

// A date from another program may be any number: one outside the dates there are, or no number at
// all, is refused as text rather than taken apart.
TEST(Dates, ADateOutsideTheRangeIsNoText)
{
    const double kFirst = -657434.0, kLast = 2958465.0; // 1 January 100, 31 December 9999
    const struct {
        double date;
        HRESULT expected;
    } cases[] = {
        { kFirst, S_OK }, { kLast + 0.5, S_OK }, { kFirst - 1, DISP_E_OVERFLOW }, { kLast + 1, DISP_E_OVERFLOW },
        { 4.04264e175, DISP_E_OVERFLOW }, { -1e300, DISP_E_OVERFLOW }, { std::nan(""), DISP_E_OVERFLOW },
        { std::numeric_limits<double>::infinity(), DISP_E_OVERFLOW },
    };
    for (const auto& c : cases) {
        VARIANT date {}, text {};
        date.vt = VT_DATE;
        date.date = c.date;
        EXPECT_EQ(IsDateInRange(c.date), c.expected == S_OK) << c.date;
        EXPECT_EQ(VariantChangeType(&text, &date, 0, VT_BSTR), c.expected) << c.date;
        VariantClear(&text);
    }
}

TEST(SafeArray, ElementsBoundsCopiesAndLocks)
{
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};
    SAFEARRAY* a = SafeArrayCreate(VT_VARIANT, 2, bounds);
    ASSERT_NE(a, nullptr);
    LONG lb, ub;
    EXPECT_EQ(SafeArrayGetLBound(a, 2, &lb), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(a, 2, &ub), S_OK);
    EXPECT_EQ(lb, 1);
    EXPECT_EQ(ub, 3);
    EXPECT_EQ(SafeArrayGetUBound(a, 3, &ub), DISP_E_BADINDEX);
    LONG at[2] = {1, 3};
    VARIANT value = Text(L"corner");
    EXPECT_EQ(SafeArrayPutElement(a, at, &value), S_OK);
    VariantClear(&value);
    LONG outside[2] = {2, 3};
    EXPECT_EQ(SafeArrayPutElement(a, outside, &value), DISP_E_BADINDEX);

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(a, &copy), S_OK);
    SAFEARRAYBOUND grown{5, 1};
    ASSERT_EQ(SafeArrayRedim(a, &grown), S_OK);
    VARIANT read;
    VariantInit(&read);
    ASSERT_EQ(SafeArrayGetElement(a, at, &read), S_OK);
    EXPECT_EQ(BstrView(read.bstrVal), L"corner");  // the last dimension grew, elements stayed
    VariantClear(&read);
    ASSERT_EQ(SafeArrayGetElement(copy, at, &read), S_OK);
    EXPECT_EQ(BstrView(read.bstrVal), L"corner");
    VariantClear(&read);

    EXPECT_EQ(SafeArrayLock(a), S_OK);
    EXPECT_EQ(SafeArrayDestroy(a), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayRedim(a, &grown), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnlock(a), S_OK);
    EXPECT_EQ(SafeArrayDestroy(a), S_OK);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
}

// An object with a property, a method with named parameters, a by-reference method and an error.
class Sample final : public AutomationObject {
public:
    static inline int alive = 0;
    Sample()
    {
        ++alive;
        AddMember(L"Value", 1, [this](Call& c) {
            if (c.IsPut())
                return c.Number(c.Count() - 1, m_value);
            c.ReturnDouble(m_value);
            return S_OK;
        });
        AddMember(L"Subtract", 2, [](Call& c) {
            double a, b;
            if (FAILED(c.Number(0, a)) || FAILED(c.Number(1, b)))
                return DISP_E_PARAMNOTOPTIONAL;
            c.ReturnDouble(a - b);
            return S_OK;
        }, {L"from", L"amount"});
        AddMember(L"Increment", 3, [](Call& c) {
            double a;
            if (HRESULT hr = c.Number(0, a); FAILED(hr))
                return hr;
            VARIANT next;
            VariantInit(&next);
            next.vt = VT_R8;
            next.dblVal = a + 1;
            return c.WriteBack(0, next);
        });
        AddMember(L"Fail", 4, [](Call& c) { return c.Raise(5, L"Bad argument", L"Sample"); });
    }
    ~Sample() override { --alive; }

private:
    double m_value = 0;
};

TEST(AutomationObject, NamesPropertiesNamedAndReferenceArgumentsAndErrors)
{
    auto* object = new Sample;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"SUBTRACT"), const_cast<LPOLESTR>(L"amount"), const_cast<LPOLESTR>(L"from")};
    DISPID ids[3];
    ASSERT_EQ(object->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 0);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Nope")};
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, unknown, 1, 0, ids), DISP_E_UNKNOWNNAME);

    // Named arguments in any order: amount := 3, from := 10.
    VARIANT args[2] = {Double(3), Double(10)};
    DISPID named[2] = {1, 0};
    DISPPARAMS params{args, named, 2, 2};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(object->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.dblVal, 7);

    VARIANT put = Double(42);
    ASSERT_EQ(InvokeDispatch(object, 1, DISPATCH_PROPERTYPUT, &put, 1, nullptr), S_OK);
    ASSERT_EQ(InvokeDispatch(object, 1, DISPATCH_PROPERTYGET, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result.dblVal, 42);

    VARIANT counter = Double(1);
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_VARIANT;
    byRef.pvarVal = &counter;
    ASSERT_EQ(InvokeDispatch(object, 3, DISPATCH_METHOD, &byRef, 1, nullptr), S_OK);
    EXPECT_EQ(counter.dblVal, 2);
    SHORT typed = 5;
    VARIANT typedRef;
    VariantInit(&typedRef);
    typedRef.vt = VT_BYREF | VT_I2;
    typedRef.piVal = &typed;
    ASSERT_EQ(InvokeDispatch(object, 3, DISPATCH_METHOD, &typedRef, 1, nullptr), S_OK);
    EXPECT_EQ(typed, 6);
    VARIANT byValue = Double(1);
    EXPECT_EQ(InvokeDispatch(object, 3, DISPATCH_METHOD, &byValue, 1, nullptr), DISP_E_TYPEMISMATCH);

    EXCEPINFO info{};
    EXPECT_EQ(InvokeDispatch(object, 4, DISPATCH_METHOD, nullptr, 0, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, MakeControlError(5));
    EXPECT_EQ(BstrView(info.bstrDescription), L"Bad argument");
    ClearExcepInfo(&info);
    EXPECT_EQ(InvokeDispatch(object, 99, DISPATCH_METHOD, nullptr, 0, nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(Sample::alive, 0);
}

const CLSID kSampleClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST(ClassRegistry, CreatesRegisteredClassesByClassIdAndProgId)
{
    RegisterComClass(kSampleClass, L"Test.Sample", [](IUnknown* outer, REFIID riid, void** ppv) -> HRESULT {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* object = new Sample;
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    });
    CLSID found;
    ASSERT_EQ(CLSIDFromProgID(L"test.SAMPLE", &found), S_OK);
    EXPECT_EQ(found, kSampleClass);
    ASSERT_EQ(CLSIDFromString(L"Test.Sample", &found), S_OK);
    EXPECT_EQ(found, kSampleClass);
    IDispatch* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kSampleClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)), S_OK);
    EXPECT_EQ(object->Release(), 0u);
    IUnknown* outer = reinterpret_cast<IUnknown*>(object);
    EXPECT_EQ(CoCreateInstance(kSampleClass, outer, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(kSampleClass, nullptr, CLSCTX_INPROC_SERVER, IID_IClassFactory, reinterpret_cast<void**>(&object)),
              E_NOINTERFACE);
    UnregisterComClass(kSampleClass);
    EXPECT_EQ(CLSIDFromProgID(L"Test.Sample", &found), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(kSampleClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(Sample::alive, 0);
}

TEST(ClassRegistry, ServesOnlyTheContextsAClassAnswers)
{
    struct Case {
        DWORD served;
        DWORD asked;
        HRESULT expected;
    };
    const Case cases[] = {
        { CLSCTX_INPROC_SERVER, CLSCTX_INPROC_SERVER, S_OK },
        { CLSCTX_INPROC_SERVER, CLSCTX_LOCAL_SERVER, REGDB_E_CLASSNOTREG },
        { CLSCTX_INPROC_SERVER, CLSCTX_ALL, S_OK },
        { CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, CLSCTX_LOCAL_SERVER, S_OK },
        { CLSCTX_LOCAL_SERVER, CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG },
    };
    for (const Case& c : cases) {
        RegisterComClass(kSampleClass, L"Test.Sample", [](IUnknown*, REFIID riid, void** ppv) -> HRESULT {
            auto* object = new Sample;
            HRESULT hr = object->QueryInterface(riid, ppv);
            object->Release();
            return hr;
        }, c.served);
        IDispatch* object = nullptr;
        EXPECT_EQ(CoCreateInstance(kSampleClass, nullptr, c.asked, IID_IDispatch, reinterpret_cast<void**>(&object)), c.expected)
            << c.served << " asked " << c.asked;
        if (object) object->Release();
    }
    UnregisterComClass(kSampleClass);
    EXPECT_EQ(Sample::alive, 0);
}

} // namespace
