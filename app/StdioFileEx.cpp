#include "app/StdioFileEx.h"

#include "platform/base/TextEncoding.h"

namespace {

constexpr unsigned char ByteOrderMark[2] = { 0xFF, 0xFE };

} // namespace

bool CStdioFileEx::HasByteOrderMark(LPCWSTR fileName)
{
    CFile file;
    if (!file.Open(fileName, CFile::modeRead | CFile::typeBinary))
        return false;
    unsigned char mark[2] = { 0, 0 };
    try {
        const UINT got = file.Read(mark, 2);
        return got == 2 && mark[0] == ByteOrderMark[0] && mark[1] == ByteOrderMark[1];
    } catch (CFileException* failure) {
        failure->Delete();
        return false;
    }
}

BOOL CStdioFileEx::Open(LPCWSTR fileName, UINT openFlags, CFileException* error)
{
    m_bIsUnicodeText = false;
    if ((openFlags & typeText) && !(openFlags & (modeCreate | modeWrite)) && HasByteOrderMark(fileName)) {
        m_bIsUnicodeText = true;
        openFlags = (openFlags & ~typeText) | typeBinary;
    }
    m_nFlags = openFlags;
    return CStdioFile::Open(fileName, openFlags & ~modeWriteUtf16, error);
}

void CStdioFileEx::WriteString(LPCWSTR text)
{
    if (!text)
        return;
    std::string bytes;
    if (m_nFlags & modeWriteUtf16) {
        if (!m_pStream || GetPosition() == 0)
            bytes.assign(reinterpret_cast<const char*>(ByteOrderMark), 2);
        bytes += WideToUtf16Le(text);
    } else {
        bytes = WideToUtf8(text);
    }
    if (!bytes.empty())
        Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

BOOL CStdioFileEx::ReadString(CString& text)
{
    if (m_bIsUnicodeText && GetPosition() == 0) {
        unsigned char mark[2];
        Read(mark, 2);
    }
    if (!CStdioFile::ReadString(text))
        return FALSE;
    const int length = text.GetLength();
    if (length > 1 && text.Right(2) == L"\r\n")
        text = text.Left(length - 2);
    else if (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n'))
        text = text.Left(length - 1);
    return TRUE;
}
