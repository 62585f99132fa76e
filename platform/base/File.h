#pragma once
// CFile, a file read and written through a descriptor with errors thrown as CFileException, and
// CStdioFile, a buffered stream file that also reads and writes lines of text.
//
// Names may use "\" or "/" as separators (see NativePath.h). The share flags are accepted and
// not enforced: files here carry no share locks.

#include "platform/base/CString.h"
#include "platform/base/Exceptions.h"
#include "platform/base/RunTimeClass.h"

#include <cstdio>

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
    static constexpr int hFileNull = -1;

    CFile() = default;
    // Opens the file or throws a CFileException.
    CFile(LPCWSTR fileName, UINT openFlags);
    ~CFile() override;

    // FALSE on failure, with the reason in *error when given; nothing is thrown.
    virtual BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // The bytes read, fewer than count only at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG newLength);
    virtual void Flush();
    // Closes the file; a failure to close throws.
    virtual void Close();
    // Closes the file, ignoring any failure.
    virtual void Abort();

    BOOL IsOpen() const { return m_hFile != hFileNull; }
    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;   // the last part of the path
    CString GetFileTitle() const;  // the file name without its extension

    static void Remove(LPCWSTR fileName);
    static void Rename(LPCWSTR oldName, LPCWSTR newName);

    int m_hFile = hFileNull;

protected:
    [[noreturn]] void ThrowErrno(int errnoValue) const;
    void RequireOpen() const;

    CString m_strFileName;
};

class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile() = default;
    CStdioFile(LPCWSTR fileName, UINT openFlags);
    ~CStdioFile() override;

    BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG newLength) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    // Reads the next line into text without its line end; FALSE at the end of the file.
    // Text files (typeText, the default) hold UTF-8 (Windows-1252 where not valid UTF-8) and
    // lose the CR of a CR LF line end; binary files (typeBinary) hold UTF-16LE code units and
    // keep any CR (only the LF goes).
    virtual BOOL ReadString(CString& text);
    // Reads at most maxChars - 1 characters of the next line, keeping its line feed; null at the end.
    virtual LPWSTR ReadString(LPWSTR buffer, UINT maxChars);
    // Writes the text as it is, in the file's encoding (no line end is added or translated).
    virtual void WriteString(LPCWSTR text);

    FILE* m_pStream = nullptr;

private:
    bool m_binary = false;
    // Reads up to and including the next line feed (or maxChars characters); false at the end.
    bool ReadLine(std::wstring& line, size_t maxChars);
};
