#include "platform/com/BusErrors.h"

#include "platform/com/BusNames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

struct Cause {
    HRESULT code;
    const char* name;
    const char* sentence;
};

constexpr const char* kInvalidArgsErrorName = "org.freedesktop.DBus.Error.InvalidArgs";
constexpr const char* kLimitsExceededErrorName = "org.freedesktop.DBus.Error.LimitsExceeded";

constexpr Cause kCauses[] = {
    {E_INVALIDARG, kInvalidArgsErrorName, "The arguments do not have the form the call takes."},
    {E_OUTOFMEMORY, kLimitsExceededErrorName, "The call passes more than the server takes in one call."},
    {DISP_E_TYPEMISMATCH, "org.formulon.Automation.TypeMismatch", "An argument has the wrong type."},
    {DISP_E_BADVARTYPE, "org.formulon.Automation.BadType", "A value has a type that cannot pass between programs."},
    {DISP_E_BADPARAMCOUNT, "org.formulon.Automation.ArgumentCount", "The member takes another number of arguments."},
    {DISP_E_PARAMNOTFOUND, "org.formulon.Automation.ArgumentMissing", "An argument the member needs is missing."},
    {DISP_E_MEMBERNOTFOUND, "org.formulon.Automation.UnknownMember", "The object has no such member."},
    {DISP_E_UNKNOWNNAME, "org.formulon.Automation.UnknownMember", "The object has no such member."},
    {DISP_E_OVERFLOW, "org.formulon.Automation.Overflow", "An argument is out of the range its member takes."},
};

constexpr const char* kCodeOpening = " (code 0x";

} // namespace

BusError BusErrorOf(HRESULT hr, std::string_view cause)
{
    const Cause* known = nullptr;
    for (const Cause& c : kCauses)
        if (c.code == hr)
            known = &c;
    BusError error{known ? known->name : kFailureErrorName, std::string(cause)};
    if (error.message.empty())
        error.message = known ? known->sentence : "The call failed.";
    char code[32];
    std::snprintf(code, sizeof code, "%s%08X)", kCodeOpening, static_cast<unsigned>(hr));
    error.message += code;
    return error;
}

HRESULT FailureCodeOfBusError(const char* name, const char* message)
{
    if (!name || !message)
        return S_OK;
    bool ours = std::strcmp(name, kFailureErrorName) == 0
                || std::any_of(std::begin(kCauses), std::end(kCauses), [&](const Cause& c) { return std::strcmp(name, c.name) == 0; });
    const char* opening = std::strstr(message, kCodeOpening);
    for (const char* later = opening; later; later = std::strstr(later + 1, kCodeOpening))
        opening = later;  // the last one: a cause may quote anything
    unsigned code = 0;
    char close = 0;
    if (!ours || !opening || std::sscanf(opening + std::strlen(kCodeOpening), "%8X%c", &code, &close) != 2 || close != ')')
        return S_OK;
    return static_cast<HRESULT>(code);
}
