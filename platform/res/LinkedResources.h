#pragma once
// The index of the resources linked into the program. Each compiled resource script (see
// tools/rc) becomes a source file whose table registers itself here at start-up.

#include "platform/base/WinTypes.h"

#include <cstddef>
#include <span>

namespace fln::res {

// A type or name is an ordinal when its text is null, else an upper-case name.
struct LinkedResource {
    WORD typeId;
    const wchar_t* typeName;
    WORD nameId;
    const wchar_t* name;
    const unsigned char* data; // the documented binary layout of the resource's type
    DWORD size;
};

void RegisterLinkedResources(std::span<const LinkedResource> table);

// The registered tables, in the order they registered.
std::span<const std::span<const LinkedResource>> LinkedTables();

// Whether data is the start of a registered resource's data.
bool IsLinkedResourceData(const void* data);

struct LinkedResourceRegistration {
    LinkedResourceRegistration(const LinkedResource* entries, std::size_t count)
    {
        RegisterLinkedResources({ entries, count });
    }
};

}
