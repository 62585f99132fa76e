#include "platform/res/LinkedResources.h"

#include <vector>

namespace fln::res {

namespace {

// Filled by static constructors before main; read only afterwards.
std::vector<std::span<const LinkedResource>>& Tables()
{
    static std::vector<std::span<const LinkedResource>> tables;
    return tables;
}

}

void RegisterLinkedResources(std::span<const LinkedResource> table)
{
    Tables().push_back(table);
}

bool IsLinkedResourceData(const void* data)
{
    for (auto table : Tables()) {
        for (const LinkedResource& entry : table) {
            if (entry.data == data)
                return true;
        }
    }
    return false;
}

std::span<const std::span<const LinkedResource>> LinkedTables()
{
    return Tables();
}

}
