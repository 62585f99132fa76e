#pragma once
// The exception family. Exceptions are thrown as pointers to heap objects and caught as
// pointers; the catcher ends them with Delete():
//
//   try { file.Write(data, size); }
//   catch (CFileException* error) { error->ReportError(); error->Delete(); }
//
// The AfxThrow functions make and throw one; the memory exception is one shared object that
// Delete leaves alone, so that running out of memory can still be reported.

#include "platform/base/CString.h"
#include "platform/base/MessageBox.h"
#include "platform/base/RunTimeClass.h"

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL autoDelete = TRUE) : m_bAutoDelete(autoDelete) {}

    // Copies the message (cut to fit, always terminated) into buffer; FALSE when there is none.
    virtual BOOL GetErrorMessage(LPWSTR buffer, UINT maxLength, UINT* helpContext = nullptr) const;
    // Shows the message in a message box (or the fallback text when there is none).
    virtual int ReportError(UINT type = MB_OK, UINT fallbackMessageId = 0);
    // Deletes the exception unless it is a shared one.
    void Delete();

    BOOL m_bAutoDelete;

protected:
    // The message text, empty when the exception has none.
    virtual CString Message() const { return CString(); }
};

class CSimpleException : public CException {
    DECLARE_DYNAMIC(CSimpleException)
public:
    using CException::CException;
};

class CMemoryException : public CSimpleException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    using CSimpleException::CSimpleException;

protected:
    CString Message() const override { return L"Out of memory."; }
};

class CResourceException : public CSimpleException {
    DECLARE_DYNAMIC(CResourceException)
public:
    using CSimpleException::CSimpleException;

protected:
    CString Message() const override { return L"A required resource was unavailable."; }
};

class CInvalidArgException : public CSimpleException {
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    using CSimpleException::CSimpleException;

protected:
    CString Message() const override { return L"Invalid argument."; }
};

class CNotSupportedException : public CSimpleException {
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    using CSimpleException::CSimpleException;

protected:
    CString Message() const override { return L"The operation is not supported."; }
};

// Thrown after the user has already been told (or cancelled): it carries no message of its own.
class CUserException : public CSimpleException {
    DECLARE_DYNAMIC(CUserException)
public:
    using CSimpleException::CSimpleException;
};

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCWSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }

    // The cause that fits a system error code (ERROR_FILE_NOT_FOUND gives fileNotFound...).
    static int OsErrorToException(LONG osError);
    // The cause that fits a POSIX errno value.
    static int ErrnoToException(int errnoValue);
    static void ThrowOsError(LONG osError, LPCWSTR fileName = nullptr);
    static void ThrowErrno(int errnoValue, LPCWSTR fileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;

protected:
    CString Message() const override;
};

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
        bufferFull = 8,
    };

    explicit CArchiveException(int cause = none, LPCWSTR archiveName = nullptr)
        : m_cause(cause), m_strFileName(archiveName)
    {
    }

    int m_cause;
    CString m_strFileName;

protected:
    CString Message() const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCWSTR fileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCWSTR archiveName = nullptr);
