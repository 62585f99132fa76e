#include "platform/com/BusInvocation.h"

#include "platform/base/CString.h"
#include "platform/com/BusErrors.h"
#include "platform/com/BusNames.h"
#include "platform/com/BusVariant.h"
#include "platform/com/SessionBusLibrary.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

ServerInvocation::~ServerInvocation()
{
    for (VARIANT& v : m_values)
        VariantClear(&v);
    VariantClear(&m_result);
    ClearExcepInfo(&m_exception);
}

HRESULT ServerInvocation::Refuse(HRESULT hr, std::string cause)
{
    m_limits.refusal = std::move(cause);
    return hr;
}

HRESULT ServerInvocation::RefuseArgumentCount()
{
    return Refuse(E_OUTOFMEMORY, "The call passes more than " + std::to_string(kMaxBusCallArguments) + " arguments.");
}

HRESULT ServerInvocation::ReadArguments(sd_bus_message* m)
{
    int r = SessionBus().message_enter_container(m, 'a', "(qv)");
    if (r < 0)
        return HresultFromBusError(r);
    while (SessionBus().message_at_end(m, false) == 0) {
        if (m_values.size() == kMaxBusCallArguments)
            return RefuseArgumentCount();
        m_values.emplace_back();
        VariantInit(&m_values.back());
        bool byRef = false;
        HRESULT hr = ReadTaggedVariant(m, m_values.back(), m_limits, &byRef);
        if (FAILED(hr))
            return hr;
        m_byRef.push_back(byRef);
    }
    if ((r = SessionBus().message_exit_container(m)) < 0)
        return HresultFromBusError(r);
    const void* named = nullptr;
    size_t size = 0;
    if ((r = SessionBus().message_read_array(m, 'i', &named, &size)) < 0)
        return HresultFromBusError(r);
    if (size / sizeof(DISPID) > m_values.size())
        return Refuse(E_INVALIDARG, "The call names more arguments than it passes.");
    m_named.resize(size / sizeof(DISPID));
    if (size)
        std::memcpy(m_named.data(), named, size);
    return S_OK;
}

HRESULT ServerInvocation::ReadPlainArguments(sd_bus_message* m)
{
    int r = SessionBus().message_enter_container(m, 'a', "v");
    if (r < 0)
        return HresultFromBusError(r);
    while (SessionBus().message_at_end(m, false) == 0) {
        if (m_values.size() == kMaxBusCallArguments)
            return RefuseArgumentCount();
        m_values.emplace_back();
        HRESULT hr = ReadPlainVariant(m, m_values.back(), m_limits);
        if (FAILED(hr))
            return hr;
        m_byRef.push_back(false);
    }
    std::reverse(m_values.begin(), m_values.end());
    return HresultFromBusError(SessionBus().message_exit_container(m));
}

HRESULT ServerInvocation::Invoke(IDispatch* object, DISPID member, WORD flags)
{
    // By-reference arguments point at the received values, so that the object's writes can be sent back.
    std::vector<VARIANT> arguments(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (m_byRef[i]) {
            VariantInit(&arguments[i]);
            arguments[i].vt = VT_BYREF | VT_VARIANT;
            arguments[i].pvarVal = &m_values[i];
        } else {
            arguments[i] = m_values[i];
        }
    }
    DISPPARAMS params{arguments.data(), m_named.data(), static_cast<UINT>(arguments.size()), static_cast<UINT>(m_named.size())};
    m_hr = object->Invoke(member, IID_NULL, 0, flags, &params, &m_result, &m_exception, &m_argumentError);
    if (m_hr == DISP_E_EXCEPTION && m_exception.pfnDeferredFillIn)
        m_exception.pfnDeferredFillIn(&m_exception);
    return m_hr;
}

int ServerInvocation::Reply(sd_bus_message* call)
{
    int r = SendReply(call, m_hr, m_result);
    if (r == -EBADR) {
        VARIANT empty;
        VariantInit(&empty);
        r = SendReply(call, DISP_E_BADVARTYPE, empty);
    }
    return r;
}

int ServerInvocation::ReplyPlain(sd_bus_message* call)
{
    if (m_hr == DISP_E_EXCEPTION) {
        std::string source = WideToUtf8(BstrView(m_exception.bstrSource));
        std::string text = WideToUtf8(BstrView(m_exception.bstrDescription));
        return SessionBus().reply_method_errorf(call, kExceptionErrorName, "%s%s%s", source.c_str(), source.empty() ? "" : ": ",
                                          text.c_str());
    }
    if (FAILED(m_hr))
        return ReplyFailure(call, m_hr);
    sd_bus_message* reply = nullptr;
    int r = SessionBus().message_new_method_return(call, &reply);
    if (r < 0)
        return r;
    BusMessagePtr owned(reply);
    HRESULT hr = WritePlainVariant(reply, m_result);
    if (FAILED(hr))
        return ReplyFailure(call, hr);
    return SessionBus().send(nullptr, reply, nullptr);
}

int ServerInvocation::ReplyFailure(sd_bus_message* call, HRESULT hr, std::string_view cause)
{
    BusError error = BusErrorOf(hr, cause);
    return SessionBus().reply_method_errorf(call, error.name, "%s", error.message.c_str());
}

int ServerInvocation::SendReply(sd_bus_message* call, HRESULT hr, const VARIANT& result)
{
    sd_bus_message* reply = nullptr;
    int r = SessionBus().message_new_method_return(call, &reply);
    if (r < 0)
        return r;
    BusMessagePtr owned(reply);
    int32_t code = hr;
    if ((r = SessionBus().message_append_basic(reply, 'i', &code)) < 0)
        return r;
    if (FAILED(WriteTaggedVariant(reply, result)))
        return -EBADR;
    if ((r = SessionBus().message_open_container(reply, 'a', "(u(qv))")) < 0)
        return r;
    for (size_t i = 0; SUCCEEDED(hr) && i < m_values.size(); ++i) {
        if (!m_byRef[i])
            continue;
        uint32_t index = static_cast<uint32_t>(i);
        if (SessionBus().message_open_container(reply, 'r', "u(qv)") < 0
            || SessionBus().message_append_basic(reply, 'u', &index) < 0 || FAILED(WriteTaggedVariant(reply, m_values[i]))
            || SessionBus().message_close_container(reply) < 0)
            return -EBADR;
    }
    if ((r = SessionBus().message_close_container(reply)) < 0)
        return r;
    bool raised = hr == DISP_E_EXCEPTION;
    std::string source = raised ? WideToUtf8(BstrView(m_exception.bstrSource)) : std::string();
    std::string text = raised ? WideToUtf8(BstrView(m_exception.bstrDescription)) : std::string();
    if ((r = SessionBus().message_append(reply, "(qssi)", raised ? m_exception.wCode : 0, source.c_str(), text.c_str(),
                                   raised ? m_exception.scode : 0)) < 0)
        return r;
    if ((r = SessionBus().message_append(reply, "u", m_argumentError)) < 0)
        return r;
    return SessionBus().send(nullptr, reply, nullptr);
}

bool CallHasArguments(sd_bus_message* m, const char* signature, int& r)
{
    if (SessionBus().message_has_signature(m, signature) > 0)
        return true;
    const char* sent = SessionBus().message_get_signature(m, 1);
    const std::string taken = *signature ? std::string("the arguments \"") + signature + "\"" : std::string("no arguments");
    r = ServerInvocation::ReplyFailure(m, E_INVALIDARG, "The call takes " + taken + ", not \"" + (sent ? sent : "") + "\".");
    return false;
}

int AnswerGetIDsOfNames(IDispatch* object, sd_bus_message* m)
{
    int r = 0;
    if (!CallHasArguments(m, "as", r))
        return r;
    // Read name by name, so that a list longer than any call needs is refused at its first extra name.
    if ((r = SessionBus().message_enter_container(m, 'a', "s")) < 0)
        return r;
    std::vector<std::wstring> wide;
    const char* name = nullptr;
    while ((r = SessionBus().message_read_basic(m, 's', &name)) > 0) {
        if (wide.size() == kMaxBusCallNames)
            return ServerInvocation::ReplyFailure(
                m, E_OUTOFMEMORY, "The call asks for the ids of more than " + std::to_string(kMaxBusCallNames) + " names.");
        wide.push_back(NarrowToWide(name));
    }
    if (r < 0)
        return r;
    std::vector<LPOLESTR> pointers;
    for (std::wstring& w : wide)
        pointers.push_back(w.data());
    std::vector<DISPID> ids(wide.size(), DISPID_UNKNOWN);
    HRESULT hr = wide.empty() ? E_INVALIDARG
                              : object->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()), 0, ids.data());
    sd_bus_message* reply = nullptr;
    if ((r = SessionBus().message_new_method_return(m, &reply)) < 0)
        return r;
    BusMessagePtr owned(reply);
    int32_t code = hr;
    if ((r = SessionBus().message_append_basic(reply, 'i', &code)) < 0
        || (r = SessionBus().message_append_array(reply, 'i', ids.data(), ids.size() * sizeof(DISPID))) < 0)
        return r;
    return SessionBus().send(nullptr, reply, nullptr);
}

int AnswerInvoke(IDispatch* object, sd_bus_message* m)
{
    int r = 0;
    if (!CallHasArguments(m, "iqa(qv)ai", r))
        return r;
    int32_t member = 0;
    uint16_t flags = 0;
    if ((r = SessionBus().message_read(m, "iq", &member, &flags)) < 0)
        return r;
    ServerInvocation invocation;
    HRESULT hr = invocation.ReadArguments(m);
    if (FAILED(hr))
        return ServerInvocation::ReplyFailure(m, hr, invocation.refusal());
    invocation.Invoke(object, member, flags);
    return invocation.Reply(m);
}

int AnswerMemberCall(IDispatch* object, const char* member, sd_bus_message* m)
{
    std::wstring name = NarrowToWide(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(hr))
        return 0;  // not a member: the bus answers "unknown method"
    int r = 0;
    if (!CallHasArguments(m, "av", r))
        return r;
    ServerInvocation invocation;
    hr = invocation.ReadPlainArguments(m);
    if (FAILED(hr))
        return ServerInvocation::ReplyFailure(m, hr, invocation.refusal());
    invocation.Invoke(object, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    return invocation.ReplyPlain(m);
}
