#pragma once
// The version resource of a loaded module, by default this program's own file: its fixed
// information (the base part, all 0 until read) and its string values such as "FileVersion".

#include "platform/base/CString.h"
#include "platform/res/Resources.h"

#include <memory>

class CNGModuleVersion : public VS_FIXEDFILEINFO {
public:
    CNGModuleVersion();

    // Reads the version resource of a loaded module; an empty or null name means this program.
    // FALSE when the module is not loaded or has no version information.
    BOOL GetFileVersionInfo(const wchar_t* moduleName);
    // The string value of key in the module's translation; empty when there is none.
    CString GetValue(const wchar_t* key) const;

    WORD Language() const { return m_language; }
    WORD CodePage() const { return m_codePage; }

private:
    std::unique_ptr<BYTE[]> m_data;
    WORD m_language = 0;
    WORD m_codePage = 1252;
};
