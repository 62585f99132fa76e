#pragma once
// VARIANTs in D-Bus messages, in two forms.
//
// Tagged, for our own proxies: the D-Bus struct "(qv)" holding the VARTYPE (VT_BYREF kept as a
// mark) and the value, so that dates, currency and the integer widths survive the trip. A safe
// array is "(a(iu)a(qv))" inside the variant: its bounds (lower bound, count), first dimension
// first, then its elements in storage order.
//
// Plain, for other tools (busctl, gdbus): a D-Bus variant of the natural type (s, i, d, b, x...;
// an array "av"), read back by its D-Bus type.
//
// Readers and writers return S_OK, DISP_E_BADVARTYPE for what cannot cross between processes
// (objects, decimals) and E_INVALIDARG for a malformed message. A text longer than
// kMaxBusTextBytes (in UTF-8) is refused with E_OUTOFMEMORY before it is decoded, so that a huge
// argument costs a server nothing but the look at its length; so are arrays past what one message
// may hold (BusReadLimits), before their elements are read where their bounds tell the count.

#include "platform/com/Automation.h"
#include "platform/com/SessionBusLibrary.h"

#include <cstddef>
#include <memory>
#include <string>

constexpr size_t kMaxBusTextBytes = 1 << 20;
// A real call passes a few arguments and asks for the ids of one name and its named arguments; a
// call (or a reply) with longer lists is refused after reading no more than these.
constexpr size_t kMaxBusCallArguments = 64;
constexpr size_t kMaxBusCallNames = kMaxBusCallArguments + 1;
// The array elements, at every depth together, of the values read from one message: far more than
// any call of ours passes, and few enough to read in a moment.
constexpr size_t kMaxBusMessageElements = 1 << 16;
// The bytes the arguments of one call may take in its message, all of them together: room for a
// few texts of the longest kind, far more than any call of ours passes. A call is measured against
// it before anything of it is decoded, since a decoded text takes several times its bytes.
constexpr size_t kMaxBusCallBytes = 4 * kMaxBusTextBytes;

// What the values read from one message may still hold. When a limit refuses a value, refusal says
// which, in a sentence for the failure's reply.
struct BusReadLimits {
    size_t elementsLeft = kMaxBusMessageElements;
    std::string refusal;
};

struct BusMessageUnref {
    void operator()(sd_bus_message* message) const { SessionBus().message_unref(message); }
};
using BusMessagePtr = std::unique_ptr<sd_bus_message, BusMessageUnref>;

HRESULT WriteTaggedVariant(sd_bus_message* message, const VARIANT& value);
// Fills value (which the caller owns and clears) from the next "(qv)"; byRef tells whether the
// sender passed it by reference (value itself never is).
HRESULT ReadTaggedVariant(sd_bus_message* message, VARIANT& value, BusReadLimits& limits, bool* byRef = nullptr);

HRESULT WritePlainVariant(sd_bus_message* message, const VARIANT& value);
HRESULT ReadPlainVariant(sd_bus_message* message, VARIANT& value, BusReadLimits& limits);

// The bytes the arguments of `message` take in it (as the wire holds them, without padding),
// counted from the start of its body without decoding anything, and no further than just past
// `limit`; the message is left unread.
size_t BusArgumentBytes(sd_bus_message* message, size_t limit);

// The HRESULT for an sd-bus result: S_OK for success (0 or more), else for the negative errno.
HRESULT HresultFromBusError(int error);
