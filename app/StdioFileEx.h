#pragma once
// CStdioFileEx: a text file whose lines are 8-bit text (UTF-8; Windows-1252 read where the bytes
// are not valid UTF-8) or UTF-16LE with the mark FF FE. Reading tells the encoding from the
// file's first two bytes; writing is UTF-16 only when opened with modeWriteUtf16.

#include "platform/base/File.h"

class CStdioFileEx : public CStdioFile {
public:
    static constexpr UINT modeWriteUtf16 = 0x20000;

    CStdioFileEx() = default;

    BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
    // Writes the text with no line end added; the first write of a UTF-16 file puts the mark.
    void WriteString(LPCWSTR text) override;
    // The next line without its line end; FALSE at the end of the file.
    BOOL ReadString(CString& text) override;

    static bool HasByteOrderMark(LPCWSTR fileName);
    bool IsUnicodeText() const { return m_bIsUnicodeText; }
    UINT GetOpenFlags() const { return m_nFlags; }

private:
    bool m_bIsUnicodeText = false;
    UINT m_nFlags = 0;
};
