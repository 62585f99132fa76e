#include "platform/sys/SharedLibrary.h"

#include <dlfcn.h>

namespace fln::sys {

bool SharedLibrary::available()
{
    std::call_once(m_opened, [this] { m_handle = dlopen(m_fileName, RTLD_NOW | RTLD_LOCAL); });
    return m_handle != nullptr;
}

void* SharedLibrary::address(const char* name)
{
    return available() ? dlsym(m_handle, name) : nullptr;
}

}
