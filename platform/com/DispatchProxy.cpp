#include "platform/com/DispatchProxy.h"

#include "platform/base/CString.h"
#include "platform/com/BusErrors.h"
#include "platform/com/BusNames.h"
#include "platform/com/BusVariant.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/SessionBusLibrary.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::atomic<int64_t> g_callTimeoutUsec { 25'000'000 };

uint64_t CallTimeoutUsec() { return static_cast<uint64_t>(g_callTimeoutUsec.load(std::memory_order_relaxed)); }

// A D-Bus error reply says which failure it was by its name; errno-style codes cover the rest.
HRESULT HresultFromCall(int r, const sd_bus_error& error)
{
    if (HRESULT code = FailureCodeOfBusError(error.name, error.message); FAILED(code))
        return code;
    if (SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.UnknownObject")
        || SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.UnknownMethod"))
        return RPC_E_DISCONNECTED;  // the object is gone
    if (SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.ServiceUnknown")
        || SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.NameHasNoOwner")
        || SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.Spawn.ChildExited")
        || SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.Spawn.ExecFailed"))
        return CO_E_SERVER_EXEC_FAILURE;
    if (SessionBus().error_has_name(&error, "org.freedesktop.DBus.Error.NoReply"))
        return RPC_E_TIMEOUT;
    return HresultFromBusError(r < 0 ? r : -EIO);
}

class BusDispatchProxy final : public IDispatch {
public:
    BusDispatchProxy(sd_bus* bus, std::string destination, std::string path)
        : m_bus(bus), m_destination(std::move(destination)), m_path(std::move(path))
    {
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IDispatch) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }

    ULONG AddRef() override { return ++m_refs; }

    ULONG Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }

    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        std::vector<std::string> texts;
        for (UINT i = 0; i < count; ++i)
            texts.push_back(WideToUtf8(names[i] ? names[i] : L""));
        std::vector<char*> strv;
        for (std::string& t : texts)
            strv.push_back(t.data());
        strv.push_back(nullptr);
        BusMessagePtr call = NewCall("GetIDsOfNames");
        if (!call || SessionBus().message_append_strv(call.get(), strv.data()) < 0)
            return E_OUTOFMEMORY;
        BusMessagePtr reply;
        HRESULT hr = Send(call.get(), reply);
        if (FAILED(hr))
            return hr;
        int32_t code = 0;
        const void* found = nullptr;
        size_t size = 0;
        if (SessionBus().message_read_basic(reply.get(), 'i', &code) < 0
            || SessionBus().message_read_array(reply.get(), 'i', &found, &size) < 0 || size != count * sizeof(DISPID))
            return E_UNEXPECTED;
        std::memcpy(ids, found, size);
        return code;
    }

    HRESULT Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT* argumentError) override
    {
        UINT count = params ? params->cArgs : 0;
        UINT named = params ? params->cNamedArgs : 0;
        if ((count && !params->rgvarg) || named > count || (named && !params->rgdispidNamedArgs))
            return E_INVALIDARG;
        BusMessagePtr call = NewCall("Invoke");
        if (!call)
            return E_OUTOFMEMORY;
        int32_t id = member;
        uint16_t flags16 = flags;
        if (SessionBus().message_append(call.get(), "iq", id, flags16) < 0
            || SessionBus().message_open_container(call.get(), 'a', "(qv)") < 0)
            return E_OUTOFMEMORY;
        for (UINT i = 0; i < count; ++i) {
            HRESULT hr = WriteTaggedVariant(call.get(), params->rgvarg[i]);
            if (FAILED(hr)) {
                if (argumentError)
                    *argumentError = i;
                return hr;
            }
        }
        if (SessionBus().message_close_container(call.get()) < 0
            || SessionBus().message_append_array(call.get(), 'i', named ? params->rgdispidNamedArgs : nullptr,
                                                 named * sizeof(DISPID)) < 0)
            return E_OUTOFMEMORY;
        BusMessagePtr reply;
        HRESULT hr = Send(call.get(), reply);
        if (FAILED(hr))
            return hr;
        return ReadInvokeReply(reply.get(), params, result, exception, argumentError);
    }

private:
    ~BusDispatchProxy()
    {
        // Tells the server that this client is done with the object; the server also notices when
        // the connection closes, so a lost message loses nothing.
        if (BusMessagePtr call = NewCall("Release")) {
            SessionBus().message_set_expect_reply(call.get(), 0);
            SessionBus().send(m_bus, call.get(), nullptr);
        }
        SessionBus().flush_close_unref(m_bus);
    }

    BusMessagePtr NewCall(const char* member) const
    {
        sd_bus_message* call = nullptr;
        if (SessionBus().message_new_method_call(m_bus, &call, m_destination.c_str(), m_path.c_str(), kDispatchInterface,
                                                 member) < 0)
            return nullptr;
        return BusMessagePtr(call);
    }

    HRESULT Send(sd_bus_message* call, BusMessagePtr& reply)
    {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* answer = nullptr;
        int r = SessionBus().call(m_bus, call, CallTimeoutUsec(), &error, &answer);
        HRESULT hr = r < 0 ? HresultFromCall(r, error) : S_OK;
        SessionBus().error_free(&error);
        reply.reset(answer);
        return hr;
    }

    static HRESULT ReadInvokeReply(sd_bus_message* reply, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError)
    {
        int32_t code = 0;
        if (SessionBus().message_read_basic(reply, 'i', &code) < 0)
            return E_UNEXPECTED;
        BusReadLimits limits;
        VARIANT value;
        VariantInit(&value);
        HRESULT hr = ReadTaggedVariant(reply, value, limits);
        if (FAILED(hr))
            return hr;
        if (result) {
            VariantClear(result);
            *result = value;
        } else {
            VariantClear(&value);
        }
        if (SessionBus().message_enter_container(reply, 'a', "(u(qv))") < 0)
            return E_UNEXPECTED;
        for (size_t entries = 0; SessionBus().message_at_end(reply, false) == 0; ++entries) {
            if (entries == kMaxBusCallArguments)
                return E_UNEXPECTED;  // more than any call passes by reference
            uint32_t index = 0;
            VARIANT written;
            VariantInit(&written);
            if (SessionBus().message_enter_container(reply, 'r', "u(qv)") < 0
                || SessionBus().message_read_basic(reply, 'u', &index) < 0 || FAILED(ReadTaggedVariant(reply, written, limits))
                || SessionBus().message_exit_container(reply) < 0) {
                VariantClear(&written);
                return E_UNEXPECTED;
            }
            // Only arguments this caller passed by reference take values back.
            if (params && index < params->cArgs && (params->rgvarg[index].vt & VT_BYREF))
                VariantWriteByRef(&params->rgvarg[index], written);
            VariantClear(&written);
        }
        SessionBus().message_exit_container(reply);
        uint16_t wCode = 0;
        const char* source = "";
        const char* description = "";
        int32_t scode = 0;
        uint32_t argument = 0;
        if (SessionBus().message_read(reply, "(qssi)u", &wCode, &source, &description, &scode, &argument) < 0)
            return E_UNEXPECTED;
        if (code == DISP_E_EXCEPTION && exception) {
            ClearExcepInfo(exception);
            exception->wCode = wCode;
            exception->scode = scode;
            exception->bstrSource = SysAllocStringView(NarrowToWide(source));
            exception->bstrDescription = SysAllocStringView(NarrowToWide(description));
        }
        if (argumentError && (code == DISP_E_TYPEMISMATCH || code == DISP_E_PARAMNOTFOUND))
            *argumentError = argument;
        return code;
    }

    sd_bus* m_bus;
    std::string m_destination;  // the server's unique name, so that calls never reach a later instance
    std::string m_path;
    std::atomic<ULONG> m_refs = 1;
};

} // namespace

HRESULT CreateLocalServerObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch)
        return E_NOINTERFACE;
    std::wstring progId = ProgIdFromClsid(clsid);
    if (progId.empty())
        return REGDB_E_CLASSNOTREG;
    sd_bus* bus = nullptr;
    int r = OpenUserBus(&bus);
    if (r < 0)
        return CO_E_SERVER_EXEC_FAILURE;
    std::string busName = BusNameFromProgId(progId);
    std::string classPath = ObjectPathFromProgId(progId);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    r = SessionBus().message_new_method_call(bus, &call, busName.c_str(), classPath.c_str(), kClassObjectInterface,
                                             "CreateInstance");
    if (r >= 0)
        r = SessionBus().call(bus, call, CallTimeoutUsec(), &error, &reply);
    SessionBus().message_unref(call);
    HRESULT hr = S_OK;
    const char* path = nullptr;
    if (r < 0)
        hr = HresultFromCall(r, error);
    else if (SessionBus().message_read(reply, "o", &path) < 0 || !SessionBus().message_get_sender(reply))
        hr = E_UNEXPECTED;
    SessionBus().error_free(&error);
    if (FAILED(hr)) {
        SessionBus().message_unref(reply);
        SessionBus().flush_close_unref(bus);
        return hr;
    }
    auto* proxy = new BusDispatchProxy(bus, SessionBus().message_get_sender(reply), path);
    SessionBus().message_unref(reply);
    *ppv = static_cast<IDispatch*>(proxy);
    return S_OK;
}

std::chrono::microseconds ProxyCallTimeout() { return std::chrono::microseconds(CallTimeoutUsec()); }

void SetProxyCallTimeout(std::chrono::microseconds limit) { g_callTimeoutUsec.store(limit.count(), std::memory_order_relaxed); }
