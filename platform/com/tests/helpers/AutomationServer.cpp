// Publishes a calculator object on the session bus for the tests of automation across processes.
//   AutomationServer -Automation   registers the class object, prints "ready" and serves calls
//                                  until the bus goes away or Quit is called (at most a minute).
// Members: Add(a, b), Concat(a, b), Increment(ByRef n) (returns the old value), Swap(ByRef a, ByRef b),
// NextDay(date), IsPositive(x), Sum(array), Range(n) (the array 1..n), Fail(text) (raises error 5001
// with that text), Total (a property), ProcessId, OnMainThread (whether the call runs on the thread
// that started the program), Quit (revokes the class, which ends the program once the call is answered).

#include "platform/com/ClassRegistry.h"
#include "platform/com/LocalServer.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/com/tests/ResidentClassFactory.h"
#include "platform/com/tests/helpers/TestCalculator.h"
#include "platform/sys/WaitSources.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const pid_t g_mainThread = static_cast<pid_t>(syscall(SYS_gettid));
DWORD g_cookie = 0;

VARIANT MakeVariant(VARTYPE vt)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    return v;
}

class TestCalculator final : public AutomationObject {
public:
    TestCalculator()
    {
        VariantInit(&m_total);
        AddMember(L"Add", 1, [](Call& c) {
            double a = 0, b = 0;
            if (FAILED(c.Number(0, a)) || FAILED(c.Number(1, b)))
                return DISP_E_TYPEMISMATCH;
            c.ReturnDouble(a + b);
            return S_OK;
        });
        AddMember(L"Concat", 2, [](Call& c) {
            std::wstring a, b;
            if (FAILED(c.Text(0, a)) || FAILED(c.Text(1, b)))
                return DISP_E_TYPEMISMATCH;
            c.ReturnText(a + b);
            return S_OK;
        });
        AddMember(L"Increment", 3, [](Call& c) {
            double n = 0;
            if (FAILED(c.Number(0, n)))
                return DISP_E_TYPEMISMATCH;
            VARIANT next = MakeVariant(VT_R8);
            next.dblVal = n + 1;
            HRESULT hr = c.WriteBack(0, next);
            c.ReturnDouble(n);
            return hr;
        });
        AddMember(L"Swap", 4, [](Call& c) {
            VARIANT a = c.Arg(0), b = c.Arg(1);
            HRESULT hr = c.WriteBack(0, b);
            if (SUCCEEDED(hr))
                hr = c.WriteBack(1, a);
            VariantClear(&a);
            VariantClear(&b);
            return hr;
        });
        AddMember(L"NextDay", 5, [](Call& c) {
            VARIANT date = MakeVariant(VT_EMPTY);
            HRESULT hr = c.ArgAs(0, VT_DATE, date);
            if (FAILED(hr))
                return hr;
            date.date += 1;
            c.Return(date);
            return S_OK;
        });
        AddMember(L"IsPositive", 6, [](Call& c) {
            double x = 0;
            if (FAILED(c.Number(0, x)))
                return DISP_E_TYPEMISMATCH;
            c.ReturnBool(x > 0);
            return S_OK;
        });
        AddMember(L"Sum", 7, [](Call& c) {
            VARIANT array = c.Arg(0);
            if (!(array.vt & VT_ARRAY) || SafeArrayGetDim(array.parray) != 1) {
                VariantClear(&array);
                return DISP_E_TYPEMISMATCH;
            }
            VARTYPE vt = array.vt & VT_TYPEMASK;
            LONG lower = 0, upper = -1;
            SafeArrayGetLBound(array.parray, 1, &lower);
            SafeArrayGetUBound(array.parray, 1, &upper);
            double sum = 0;
            HRESULT hr = S_OK;
            for (LONG i = lower; SUCCEEDED(hr) && i <= upper; ++i) {
                VARIANT element = MakeVariant(vt == VT_VARIANT ? VARTYPE(VT_EMPTY) : vt);
                hr = SafeArrayGetElement(array.parray, &i, vt == VT_VARIANT ? static_cast<void*>(&element) : &element.llVal);
                if (SUCCEEDED(hr))
                    hr = VariantChangeType(&element, &element, 0, VT_R8);
                sum += SUCCEEDED(hr) ? element.dblVal : 0;
                VariantClear(&element);
            }
            VariantClear(&array);
            c.ReturnDouble(sum);
            return hr;
        });
        AddMember(L"Range", 8, [](Call& c) {
            double n = 0;
            if (FAILED(c.Number(0, n)) || n < 0 || n > 1000)
                return c.Raise(5, L"Invalid procedure call or argument");
            SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(n));
            for (LONG i = 0; i < static_cast<LONG>(n); ++i) {
                VARIANT v = MakeVariant(VT_I4);
                v.lVal = i + 1;
                SafeArrayPutElement(array, &i, &v);
            }
            VARIANT result = MakeVariant(VT_ARRAY | VT_VARIANT);
            result.parray = array;
            c.Return(result);
            return S_OK;
        });
        AddMember(L"Fail", 9, [](Call& c) {
            std::wstring text;
            c.Text(0, text);
            return c.Raise(5001, text, kTestCalculatorProgId);
        });
        AddMember(L"Total", 10, [this](Call& c) {
            if (c.IsPut())
                return VariantCopyInd(&m_total, c.args.back());
            VARIANT copy = MakeVariant(VT_EMPTY);
            VariantCopy(&copy, &m_total);
            c.Return(copy);
            return S_OK;
        });
        AddMember(L"ProcessId", 11, [](Call& c) {
            c.ReturnLong(static_cast<LONG>(getpid()));
            return S_OK;
        });
        AddMember(L"OnMainThread", 12, [](Call& c) {
            c.ReturnBool(static_cast<pid_t>(syscall(SYS_gettid)) == g_mainThread);
            return S_OK;
        });
        AddMember(L"Quit", 13, [](Call&) { return CoRevokeClassObject(g_cookie); });
    }

private:
    ~TestCalculator() override { VariantClear(&m_total); }

    VARIANT m_total;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], kAutomationSwitch) != 0) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], kAutomationSwitch);
        return 2;
    }
    static ResidentClassFactory factory { MakeObject<TestCalculator> };
    HRESULT hr = CoRegisterClassObject(CLSID_TestCalculator, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &g_cookie);
    if (FAILED(hr)) {
        std::fprintf(stderr, "cannot publish the class: 0x%08X\n", static_cast<unsigned>(hr));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (IsLocalServerConnected() && std::chrono::steady_clock::now() < deadline && PumpWaitSources(1000)) {
    }
    CoRevokeClassObject(g_cookie);
    return 0;
}
