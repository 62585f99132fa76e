#pragma once
// The program's own version resource, and the one-line version text the status bar and the About
// box show: "V<file version>  <day.month.year hours:minutes:seconds the program file was written>".

#include "platform/base/CString.h"

#include <ctime>

class CVersionInfo {
public:
    // The version resource of that name in the program's resources (the program passes 1).
    explicit CVersionInfo(LPCWSTR resourceName);
    virtual ~CVersionInfo() = default;

    // The fixed file version's two double words; FALSE when there is no version resource.
    BOOL GetFixedFileVersion(DWORD& mostSignificant, DWORD& leastSignificant) const;
    // "major.minor.build.revision" without leading zeros; FALSE (text untouched) without a resource.
    BOOL GetFileVersionText(CString& text) const;
    // The time in local time by the wcsftime format; empty when it cannot be converted or the
    // result is longer than 128 characters.
    static CString FormatFileTime(std::time_t time, LPCWSTR format);
    // The version line of the program file at path; the date part stays empty when the file
    // cannot be read.
    CString GetVersionLine(const CString& path) const;

private:
    const void* m_data = nullptr; // belongs to the resources; never freed here
};
