#include "platform/base/Exceptions.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/MessageBox.h"

#include <algorithm>
#include <cwchar>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CUserException, CSimpleException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

BOOL CException::GetErrorMessage(LPWSTR buffer, UINT maxLength, UINT* helpContext) const
{
    if (helpContext) *helpContext = 0;
    CString message = Message();
    if (buffer && maxLength > 0) {
        size_t count = std::min<size_t>(message.GetLength(), maxLength - 1);
        std::wmemcpy(buffer, message.GetString(), count);
        buffer[count] = L'\0';
    }
    return message.IsEmpty() ? FALSE : TRUE;
}

int CException::ReportError(UINT type, UINT)
{
    CString message = Message();
    if (message.IsEmpty()) message = L"An unsupported operation was attempted.";
    return AfxMessageBox(message, type);
}

void CException::Delete()
{
    if (m_bAutoDelete) delete this;
}

namespace {

const wchar_t* FileName(const CString& name) { return name.IsEmpty() ? L"an unnamed file" : name.GetString(); }

} // namespace

CString CFileException::Message() const
{
    CString text;
    const wchar_t* name = FileName(m_strFileName);
    switch (m_cause) {
    case none: return CString();
    case fileNotFound: text.Format(L"%s was not found.", name); break;
    case badPath: text.Format(L"%s contains an invalid path.", name); break;
    case tooManyOpenFiles: text.Format(L"%s could not be opened because there are too many open files.", name); break;
    case accessDenied: text.Format(L"Access to %s was denied.", name); break;
    case invalidFile: text.Format(L"An invalid file handle was used for %s.", name); break;
    case removeCurrentDir: text.Format(L"The current folder cannot be removed."); break;
    case directoryFull: text.Format(L"The folder of %s is full.", name); break;
    case badSeek: text.Format(L"Seek failed on %s.", name); break;
    case hardIO: text.Format(L"A hardware input/output error was reported while accessing %s.", name); break;
    case sharingViolation: text.Format(L"A sharing violation occurred while accessing %s.", name); break;
    case lockViolation: text.Format(L"A locking violation occurred while accessing %s.", name); break;
    case diskFull: text.Format(L"The disk is full while accessing %s.", name); break;
    case endOfFile: text.Format(L"An attempt was made to access %s past its end.", name); break;
    default: text.Format(L"An unexpected error occurred while accessing %s.", name); break;
    }
    return text;
}

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

int CFileException::ErrnoToException(int errnoValue)
{
    return OsErrorToException(static_cast<LONG>(ErrnoToSystemError(errnoValue)));
}

void CFileException::ThrowOsError(LONG osError, LPCWSTR fileName)
{
    if (osError != ERROR_SUCCESS) AfxThrowFileException(OsErrorToException(osError), osError, fileName);
}

void CFileException::ThrowErrno(int errnoValue, LPCWSTR fileName)
{
    if (errnoValue != 0)
        AfxThrowFileException(ErrnoToException(errnoValue), static_cast<LONG>(ErrnoToSystemError(errnoValue)), fileName);
}

CString CArchiveException::Message() const
{
    CString text;
    const wchar_t* name = FileName(m_strFileName);
    switch (m_cause) {
    case none: return CString();
    case readOnly: text.Format(L"Tried to write to %s, an archive opened for loading.", name); break;
    case endOfFile: text.Format(L"Unexpected end of file while reading %s.", name); break;
    case writeOnly: text.Format(L"Tried to read from %s, an archive opened for storing.", name); break;
    case badIndex:
    case badClass:
    case badSchema: text.Format(L"%s has an unexpected format.", name); break;
    case bufferFull: text.Format(L"The buffer of %s is full.", name); break;
    default: text.Format(L"An unexpected error occurred while reading or writing %s.", name); break;
    }
    return text;
}

void AfxThrowMemoryException()
{
    static CMemoryException shared(FALSE);
    throw &shared;
}

void AfxThrowResourceException() { throw new CResourceException; }
void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowUserException() { throw new CUserException; }

void AfxThrowFileException(int cause, LONG osError, LPCWSTR fileName)
{
    throw new CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, LPCWSTR archiveName)
{
    throw new CArchiveException(cause, archiveName);
}
