#include "platform/base/File.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/NativePath.h"
#include "platform/base/RegularFile.h"
#include "platform/base/TextEncoding.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace {

int PosixFlags(UINT openFlags)
{
    int flags = O_CLOEXEC;
    if (openFlags & CFile::modeReadWrite)
        flags |= O_RDWR;
    else if (openFlags & CFile::modeWrite)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (openFlags & CFile::modeCreate) {
        flags |= O_CREAT;
        if (!(openFlags & CFile::modeNoTruncate)) flags |= O_TRUNC;
    }
    return flags;
}

void FillError(CFileException* error, int errnoValue, LPCWSTR fileName)
{
    if (!error) return;
    error->m_cause = CFileException::ErrnoToException(errnoValue);
    error->m_lOsError = static_cast<LONG>(ErrnoToSystemError(errnoValue));
    error->m_strFileName = fileName;
}

} // namespace

CFile::CFile(LPCWSTR fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (IsOpen()) Abort();
}

BOOL CFile::Open(LPCWSTR fileName, UINT openFlags, CFileException* error)
{
    if (IsOpen()) Abort();
    if (!fileName || !*fileName) {
        if (error) {
            error->m_cause = CFileException::badPath;
            error->m_lOsError = ERROR_INVALID_NAME;
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    int fd = OpenRegularFile(NativePath(fileName), PosixFlags(openFlags));
    if (fd < 0) {
        FillError(error, errno, fileName);
        return FALSE;
    }
    m_hFile = fd;
    m_strFileName = fileName;
    return TRUE;
}

void CFile::ThrowErrno(int errnoValue) const
{
    AfxThrowFileException(CFileException::ErrnoToException(errnoValue), static_cast<LONG>(ErrnoToSystemError(errnoValue)),
                          m_strFileName);
}

void CFile::RequireOpen() const
{
    if (!IsOpen()) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count)
{
    RequireOpen();
    if (count == 0) return 0;
    if (!buffer) AfxThrowInvalidArgException();
    UINT total = 0;
    while (total < count) {
        ssize_t got = ::read(m_hFile, static_cast<char*>(buffer) + total, count - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ThrowErrno(errno);
        if (got == 0) break;
        total += static_cast<UINT>(got);
    }
    return total;
}

void CFile::Write(const void* buffer, UINT count)
{
    RequireOpen();
    if (count == 0) return;
    if (!buffer) AfxThrowInvalidArgException();
    UINT total = 0;
    while (total < count) {
        ssize_t written = ::write(m_hFile, static_cast<const char*>(buffer) + total, count - total);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) ThrowErrno(written < 0 ? errno : ENOSPC);
        total += static_cast<UINT>(written);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    RequireOpen();
    int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    off_t position = ::lseek(m_hFile, offset, whence);
    if (position < 0) {
        if (errno == EINVAL) AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, m_strFileName);
        ThrowErrno(errno);
    }
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const
{
    RequireOpen();
    off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
    if (position < 0) ThrowErrno(errno);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const
{
    RequireOpen();
    struct stat info {};
    if (::fstat(m_hFile, &info) != 0) ThrowErrno(errno);
    return static_cast<ULONGLONG>(info.st_size);
}

void CFile::SetLength(ULONGLONG newLength)
{
    RequireOpen();
    if (::ftruncate(m_hFile, static_cast<off_t>(newLength)) != 0) ThrowErrno(errno);
}

void CFile::Flush()
{
    RequireOpen();
    if (::fsync(m_hFile) != 0 && errno != EINVAL) ThrowErrno(errno);
}

void CFile::Close()
{
    if (!IsOpen()) return;
    int fd = m_hFile;
    m_hFile = hFileNull;
    if (::close(fd) != 0 && errno != EINTR) ThrowErrno(errno);
}

void CFile::Abort()
{
    if (IsOpen()) ::close(m_hFile);
    m_hFile = hFileNull;
}

CString CFile::GetFileName() const
{
    int separator = std::max(m_strFileName.ReverseFind(L'/'), m_strFileName.ReverseFind(L'\\'));
    return m_strFileName.Mid(separator + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

void CFile::Remove(LPCWSTR fileName)
{
    if (!fileName || ::unlink(NativePath(fileName).c_str()) != 0) {
        int error = fileName ? errno : EINVAL;
        AfxThrowFileException(CFileException::ErrnoToException(error), static_cast<LONG>(ErrnoToSystemError(error)), fileName);
    }
}

void CFile::Rename(LPCWSTR oldName, LPCWSTR newName)
{
    if (!oldName || !newName || ::rename(NativePath(oldName).c_str(), NativePath(newName).c_str()) != 0) {
        int error = oldName && newName ? errno : EINVAL;
        AfxThrowFileException(CFileException::ErrnoToException(error), static_cast<LONG>(ErrnoToSystemError(error)), oldName);
    }
}

// ---- CStdioFile ----

CStdioFile::CStdioFile(LPCWSTR fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream) Abort();
}

BOOL CStdioFile::Open(LPCWSTR fileName, UINT openFlags, CFileException* error)
{
    if (m_pStream) Abort();
    if (!CFile::Open(fileName, openFlags, error)) return FALSE;
    const char* mode = (openFlags & modeReadWrite) ? "r+" : (openFlags & modeWrite) ? "w" : "r";
    m_pStream = ::fdopen(m_hFile, mode);
    if (!m_pStream) {
        int saved = errno;
        CFile::Abort();
        FillError(error, saved, fileName);
        return FALSE;
    }
    m_binary = (openFlags & typeBinary) != 0;
    return TRUE;
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    RequireOpen();
    if (count == 0) return 0;
    if (!buffer) AfxThrowInvalidArgException();
    size_t got = std::fread(buffer, 1, count, m_pStream);
    if (got < count && std::ferror(m_pStream)) {
        std::clearerr(m_pStream);
        ThrowErrno(EIO);
    }
    return static_cast<UINT>(got);
}

void CStdioFile::Write(const void* buffer, UINT count)
{
    RequireOpen();
    if (count == 0) return;
    if (!buffer) AfxThrowInvalidArgException();
    if (std::fwrite(buffer, 1, count, m_pStream) != count) {
        int saved = errno ? errno : EIO;
        std::clearerr(m_pStream);
        ThrowErrno(saved);
    }
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from)
{
    RequireOpen();
    int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    if (::fseeko(m_pStream, offset, whence) != 0)
        AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, m_strFileName);
    return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const
{
    RequireOpen();
    off_t position = ::ftello(m_pStream);
    if (position < 0) ThrowErrno(errno);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CStdioFile::GetLength() const
{
    RequireOpen();
    std::fflush(m_pStream);
    return CFile::GetLength();
}

void CStdioFile::SetLength(ULONGLONG newLength)
{
    RequireOpen();
    std::fflush(m_pStream);
    CFile::SetLength(newLength);
}

void CStdioFile::Flush()
{
    if (m_pStream && std::fflush(m_pStream) != 0) ThrowErrno(errno);
}

void CStdioFile::Close()
{
    if (!m_pStream) return CFile::Close();
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    m_hFile = hFileNull;  // fclose closes the descriptor
    if (std::fclose(stream) != 0) ThrowErrno(errno);
}

void CStdioFile::Abort()
{
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
        m_hFile = hFileNull;
    }
    CFile::Abort();
}

bool CStdioFile::ReadLine(std::wstring& line, size_t maxChars)
{
    RequireOpen();
    line.clear();
    if (m_binary) {
        while (line.size() < maxChars) {
            unsigned char unit[2];
            size_t got = std::fread(unit, 1, 2, m_pStream);
            if (got < 2) break;  // an odd last byte cannot form a character
            std::string bytes(reinterpret_cast<char*>(unit), 2);
            // Join a surrogate pair into one character.
            if (unit[1] >= 0xD8 && unit[1] <= 0xDB) {
                unsigned char low[2];
                if (std::fread(low, 1, 2, m_pStream) == 2) bytes.append(reinterpret_cast<char*>(low), 2);
            }
            line += Utf16LeToWide(bytes);
            if (line.back() == L'\n') break;
        }
    } else {
        std::string bytes;
        int ch;
        // Never more bytes than characters asked for, so that nothing read is dropped.
        while (bytes.size() < maxChars && (ch = std::fgetc(m_pStream)) != EOF) {
            bytes += static_cast<char>(ch);
            if (ch == '\n') break;
        }
        if (bytes.size() >= 2 && bytes.ends_with("\r\n")) bytes.erase(bytes.size() - 2, 1);
        line = NarrowToWide(bytes);
    }
    if (std::ferror(m_pStream)) {
        std::clearerr(m_pStream);
        ThrowErrno(EIO);
    }
    return !line.empty();
}

BOOL CStdioFile::ReadString(CString& text)
{
    std::wstring line;
    if (!ReadLine(line, SIZE_MAX / 8)) {
        text.Empty();
        return FALSE;
    }
    if (line.back() == L'\n') line.pop_back();
    text = CString(std::move(line));
    return TRUE;
}

LPWSTR CStdioFile::ReadString(LPWSTR buffer, UINT maxChars)
{
    if (!buffer || maxChars < 2) AfxThrowInvalidArgException();
    std::wstring line;
    if (!ReadLine(line, maxChars - 1)) return nullptr;
    std::wmemcpy(buffer, line.c_str(), line.size() + 1);
    return buffer;
}

void CStdioFile::WriteString(LPCWSTR text)
{
    if (!text) AfxThrowInvalidArgException();
    std::string bytes = m_binary ? WideToUtf16Le(text) : WideToUtf8(text);
    Write(bytes.data(), static_cast<UINT>(bytes.size()));
}
