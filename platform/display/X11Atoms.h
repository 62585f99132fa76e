#pragma once
// Interning a set of X atoms with one request: one at a time, each would wait for the server's
// answer.

// Xlib's own "Display" type is renamed here, so that it does not clash with ours.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <initializer_list>
#include <utility>
#include <vector>

inline void InternAtoms(XDisplay* x, std::initializer_list<std::pair<Atom*, const char*>> wanted)
{
    std::vector<char*> names;
    for (const auto& [atom, name] : wanted)
        names.push_back(const_cast<char*>(name));
    std::vector<Atom> interned(names.size(), 0);
    XInternAtoms(x, names.data(), static_cast<int>(names.size()), False, interned.data());
    size_t i = 0;
    for (const auto& [atom, name] : wanted)
        *atom = interned[i++];
}
