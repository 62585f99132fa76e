#pragma once
// One bus call of an object's member on the server side: reads the arguments from the call
// message, runs IDispatch::Invoke with them and sends the reply. Arguments the caller passed by
// reference point at the received values, so that what the object writes goes back in the reply.

#include "platform/com/Automation.h"
#include "platform/com/BusVariant.h"

#include <string_view>
#include <systemd/sd-bus.h>
#include <vector>

class ServerInvocation {
public:
    ServerInvocation() = default;
    ~ServerInvocation();
    ServerInvocation(const ServerInvocation&) = delete;
    ServerInvocation& operator=(const ServerInvocation&) = delete;

    // Tagged arguments "a(qv)" in DISPPARAMS order, then the named argument ids "ai".
    HRESULT ReadArguments(sd_bus_message* call);
    // Plain arguments "av" in natural order, as other tools send them.
    HRESULT ReadPlainArguments(sd_bus_message* call);

    HRESULT Invoke(IDispatch* object, DISPID member, WORD flags);

    // The reply for our proxies: the HRESULT, the tagged result, the by-reference values and the
    // exception record. A result that cannot cross turns the call into DISP_E_BADVARTYPE.
    int Reply(sd_bus_message* call);
    // The reply for other tools: the plain result, or a D-Bus error with the object's message.
    int ReplyPlain(sd_bus_message* call);
    // Why reading the arguments failed, in a sentence, when a limit refused them.
    const std::string& refusal() const { return m_limits.refusal; }

    // A D-Bus error that names the failure (BusErrors.h), for calls that never reached the object.
    // cause, when given, says it in place of the sentence the code has.
    static int ReplyFailure(sd_bus_message* call, HRESULT hr, std::string_view cause = {});

private:
    int SendReply(sd_bus_message* call, HRESULT hr, const VARIANT& result);
    // Fails reading with hr, for the reason cause.
    HRESULT Refuse(HRESULT hr, std::string cause);
    HRESULT RefuseArgumentCount();

    BusReadLimits m_limits;

    std::vector<VARIANT> m_values;  // in the order of DISPPARAMS::rgvarg
    std::vector<bool> m_byRef;
    std::vector<DISPID> m_named;
    VARIANT m_result{};
    EXCEPINFO m_exception{};
    UINT m_argumentError = 0;
    HRESULT m_hr = S_OK;
};

// Whether the call carries the arguments `signature` ("" for none); when not, it has been answered
// with an error that names the ones it takes, and r holds what the handler returns.
bool CallHasArguments(sd_bus_message* call, const char* signature, int& r);

// The answers of an object made for a client: GetIDsOfNames and Invoke of the dispatch interface
// (names "as"; member, flags and tagged arguments "iqa(qv)ai"), and a member called by its name
// with plain arguments "av". Each reads the call, calls the object and sends the reply; it returns
// what sd-bus answers for a message handler (0: the call was not for this object). A call with
// other arguments than these is answered with an error that names the ones it takes.
int AnswerGetIDsOfNames(IDispatch* object, sd_bus_message* call);
int AnswerInvoke(IDispatch* object, sd_bus_message* call);
int AnswerMemberCall(IDispatch* object, const char* member, sd_bus_message* call);
