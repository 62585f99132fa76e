#pragma once
// D-Bus message bodies made from fuzz input through sd-bus, so that they are what a client or a
// server on the bus can send: values of a signature, read from the input.

#include "fuzz/FuzzSupport.h"

#include <string>
#include <string_view>
#include <systemd/sd-bus.h>

namespace fuzz {

// The length of the complete type at the start of a signature; 0 when there is none.
inline std::size_t CompleteTypeLength(std::string_view signature)
{
    if (signature.empty())
        return 0;
    switch (signature[0]) {
    case 'a': {
        std::size_t element = CompleteTypeLength(signature.substr(1));
        return element ? element + 1 : 0;
    }
    case '(':
    case '{': {
        const char close = signature[0] == '(' ? ')' : '}';
        std::size_t at = 1;
        while (at < signature.size() && signature[at] != close) {
            std::size_t member = CompleteTypeLength(signature.substr(at));
            if (!member)
                return 0;
            at += member;
        }
        return at < signature.size() ? at + 1 : 0;
    }
    default:
        return 1;
    }
}

// Appends values of the signature, read from the input; false when sd-bus refuses one.
bool AppendValues(sd_bus_message* m, std::string_view signature, FuzzInput& in, int depth);

inline bool AppendValue(sd_bus_message* m, std::string_view type, FuzzInput& in, int depth)
{
    if (depth > 40)
        return false;
    switch (type[0]) {
    case 'y': { std::uint8_t v = in.Byte(); return sd_bus_message_append_basic(m, 'y', &v) >= 0; }
    case 'b': { int v = in.Byte() & 1; return sd_bus_message_append_basic(m, 'b', &v) >= 0; }
    case 'n':
    case 'q': { auto v = in.Number<std::uint16_t>(); return sd_bus_message_append_basic(m, type[0], &v) >= 0; }
    case 'i':
    case 'u': { auto v = in.Number<std::uint32_t>(); return sd_bus_message_append_basic(m, type[0], &v) >= 0; }
    case 'x':
    case 't': { auto v = in.Number<std::uint64_t>(); return sd_bus_message_append_basic(m, type[0], &v) >= 0; }
    case 'd': { auto v = in.Number<double>(); return sd_bus_message_append_basic(m, 'd', &v) >= 0; }
    case 's':
    case 'o':
    case 'g': {
        std::string text(in.TakeUntilNul());
        return sd_bus_message_append_basic(m, type[0], text.c_str()) >= 0;
    }
    case 'v': {
        std::string contents(in.TakeUntilNul());
        return sd_bus_message_open_container(m, 'v', contents.c_str()) >= 0 && AppendValues(m, contents, in, depth + 1)
            && sd_bus_message_close_container(m) >= 0;
    }
    case 'a': {
        std::string element(type.substr(1, CompleteTypeLength(type.substr(1))));
        if (sd_bus_message_open_container(m, 'a', element.c_str()) < 0)
            return false;
        for (int count = in.Byte(); count > 0 && in.More(); --count)
            if (!AppendValue(m, element, in, depth + 1))
                return false;
        return sd_bus_message_close_container(m) >= 0;
    }
    case '(':
    case '{': {
        std::string contents(type.substr(1, type.size() - 2));
        return sd_bus_message_open_container(m, type[0] == '(' ? 'r' : 'e', contents.c_str()) >= 0
            && AppendValues(m, contents, in, depth + 1) && sd_bus_message_close_container(m) >= 0;
    }
    default:
        return false; // unix descriptors and what is no type at all
    }
}

inline bool AppendValues(sd_bus_message* m, std::string_view signature, FuzzInput& in, int depth)
{
    while (!signature.empty()) {
        std::size_t length = CompleteTypeLength(signature);
        if (!length || !AppendValue(m, signature.substr(0, length), in, depth))
            return false;
        signature.remove_prefix(length);
    }
    return true;
}

} // namespace fuzz
