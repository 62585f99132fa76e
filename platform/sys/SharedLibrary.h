#pragma once

// A shared library opened on first use rather than at program start: libraries needed only by
// some commands (printing, speech) would otherwise be loaded, with everything they depend on,
// before the first window shows. Once open it stays loaded to the end of the process, since
// threads it started or static destructors may still run its code.

#include <mutex>

namespace fln::sys {

class SharedLibrary {
public:
    // The file name as the system installs it, with its version (libname.so.N).
    explicit SharedLibrary(const char* fileName)
        : m_fileName(fileName)
    {
    }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // False when the library cannot be opened; opens it on the first call.
    bool available();

    // The function of that name, or null when the library or the function is missing.
    template<typename Function>
    Function* function(const char* name)
    {
        return reinterpret_cast<Function*>(address(name));
    }

    // Sets the function pointer to the function of that name; false when it is missing.
    template<typename Function>
    bool resolve(Function*& pointer, const char* name)
    {
        pointer = function<Function>(name);
        return pointer != nullptr;
    }

private:
    void* address(const char* name);

    const char* m_fileName;
    std::once_flag m_opened;
    void* m_handle = nullptr;
};

}
