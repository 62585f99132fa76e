// File load and save of the text model. Script files are UTF-16LE with the mark FF FE, or text
// without a mark: UTF-8, read as Windows-1252 where the bytes are not valid UTF-8. A file is
// saved in the encoding it was loaded in, to a temporary file renamed over the target, so a
// failed save never destroys the old file and never marks the text as saved.

#include "editor/Edit.h"

#include "platform/base/MessageBox.h"
#include "platform/base/NativePath.h"
#include "platform/base/StringFormat.h"
#include "platform/base/TextEncoding.h"
#include "platform/sys/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An open file descriptor, closed when it goes.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const CString& path) : m_fd(::open(NativePath(path.view()).c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    long long Size() const
    {
        struct stat info {};
        return ::fstat(m_fd, &info) == 0 ? info.st_size : 0;
    }
    // Fills bytes with up to count bytes; false on a read error.
    bool Read(std::string& bytes, size_t count)
    {
        bytes.resize(count);
        size_t got = 0;
        while (got < count) {
            const ssize_t n = ::read(m_fd, bytes.data() + got, count - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            if (n == 0)
                break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
        return true;
    }
    bool Rewind() { return ::lseek(m_fd, 0, SEEK_SET) == 0; }
    // The next piece of the file behind what the previous piece carried over; last is set when
    // the file ends within it. False on a read error.
    bool ReadPiece(std::string& piece, std::string& carry, bool& last)
    {
        if (!Read(piece, SECEdit::ReadPiece))
            return false;
        last = piece.size() < static_cast<size_t>(SECEdit::ReadPiece);
        piece.insert(0, carry);
        carry.clear();
        return true;
    }

private:
    int m_fd;
};

void ReportFileError(const CString& path, int error)
{
    std::wstring text;
    switch (error) {
    case ENOENT: text = FormatWide(L"%s was not found.", path.GetString()); break;
    case EACCES:
    case EPERM: text = FormatWide(L"Access to %s was denied.", path.GetString()); break;
    case EISDIR: text = FormatWide(L"%s is a folder, not a file.", path.GetString()); break;
    case ENOSPC: text = FormatWide(L"The disk is full while accessing %s.", path.GetString()); break;
    default:
        text = FormatWide(L"An error occurred while accessing %s: %hs.", path.GetString(), std::strerror(error));
        break;
    }
    AfxMessageBox(text.c_str(), MB_ICONEXCLAMATION);
}

// Text for the buffer: NUL characters become blanks.
void CleanNuls(std::wstring& text)
{
    std::replace(text.begin(), text.end(), L'\0', L' ');
}

// The number of trailing bytes that begin a UTF-8 sequence the piece does not finish.
size_t IncompleteUtf8Tail(std::string_view bytes)
{
    const size_t n = bytes.size();
    for (size_t back = 1; back <= std::min<size_t>(3, n); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[n - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? back : 0;
    }
    return 0;
}

} // namespace

BOOL SECEdit::LoadFile(const CString& path)
{
    // The encoding is decided anew for every file: a mark FF FE means UTF-16LE.
    return LoadFileDetect(path);
}

BOOL SECEdit::InsertDecoded(const std::wstring& text, SECEditLineColPair& at)
{
    if (text.empty())
        return TRUE;
    SECEditLineColPair range(at.m_end, {});
    if (!m_pBuffer->InsertText(range, text.data(), static_cast<int>(text.size())))
        return FALSE;
    at.m_end = range.m_end;
    return TRUE;
}

BOOL SECEdit::LoadFileDetect(const CString& path)
{
    ReadOnlyFile file(path);
    if (!file.IsOpen()) {
        ReportFileError(path, errno);
        return FALSE;
    }
    std::string bytes;
    if (!file.Read(bytes, 2)) {
        ReportFileError(path, errno);
        return FALSE;
    }
    if (bytes != "\xFF\xFE")
        return LoadFileAnsi(path);

    const long long size = file.Size();
    ResetContent();
    m_bUnicodeFile = TRUE;
    m_bUtf8Mark = false;
    if (auto* buffer = dynamic_cast<SECEditBlockBuffer*>(m_pBuffer.get()))
        buffer->Reserve(static_cast<size_t>(size / 2));

    SECEditLineColPair at;
    std::string carry;
    bool ok = true;
    while (ok) {
        std::string piece;
        bool last = false;
        if (!file.ReadPiece(piece, carry, last)) {
            ok = false;
            break;
        }
        if (!last && piece.size() >= 2) {
            // Keep a high surrogate with the low one that the next piece brings.
            const unsigned unit = static_cast<unsigned char>(piece[piece.size() - 2]) | static_cast<unsigned char>(piece.back()) << 8;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                carry = piece.substr(piece.size() - 2);
                piece.resize(piece.size() - 2);
            }
        }
        std::wstring text = Utf16LeToWide(piece);
        if (last && piece.size() % 2 == 1)
            text += static_cast<wchar_t>(static_cast<unsigned char>(piece.back()));
        CleanNuls(text);
        ok = InsertDecoded(text, at);
        if (last)
            break;
    }
    if (!ok) {
        ResetContent();
        ReportOpenError();
        return FALSE;
    }
    return FinishLoad();
}

BOOL SECEdit::LoadFileAnsi(const CString& path)
{
    ReadOnlyFile file(path);
    if (!file.IsOpen()) {
        ReportFileError(path, errno);
        return FALSE;
    }
    const long long size = file.Size();
    ResetContent();
    m_bUnicodeFile = FALSE;
    m_bUtf8Mark = false;
    if (auto* buffer = dynamic_cast<SECEditBlockBuffer*>(m_pBuffer.get()))
        buffer->Reserve(static_cast<size_t>(size));

    SECEditLineColPair at;
    std::string carry;
    bool ok = true;
    bool utf8 = true;
    bool first = true;
    while (ok && utf8) {
        std::string piece;
        bool last = false;
        if (!file.ReadPiece(piece, carry, last)) {
            ok = false;
            break;
        }
        if (first && piece.starts_with("\xEF\xBB\xBF")) {
            piece.erase(0, 3);
            m_bUtf8Mark = true;
        }
        first = false;
        if (!last) {
            // A character cut by the piece boundary goes on with the next piece.
            const size_t tail = IncompleteUtf8Tail(piece);
            carry = piece.substr(piece.size() - tail);
            piece.resize(piece.size() - tail);
        }
        const bool ascii = std::all_of(piece.begin(), piece.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
        std::wstring text = ascii ? std::wstring(piece.begin(), piece.end()) : NarrowToWide(piece);
        if (!ascii && WideToUtf8(text) != piece) {
            utf8 = false; // not UTF-8: the whole file is Windows-1252
            break;
        }
        CleanNuls(text);
        ok = InsertDecoded(text, at);
        if (last)
            break;
    }
    if (ok && !utf8) {
        ResetContent();
        m_bUnicodeFile = FALSE;
        m_bUtf8Mark = false;
        std::string bytes;
        ok = file.Rewind() && file.Read(bytes, static_cast<size_t>(size));
        if (ok) {
            DecodedText decoded = DecodeTextFile(bytes);
            m_bUtf8Mark = decoded.encoding == TextFileEncoding::Utf8Bom;
            bytes.clear();
            bytes.shrink_to_fit();
            CleanNuls(decoded.text);
            SECEditLineColPair start;
            ok = InsertDecoded(decoded.text, start);
        }
    }
    if (!ok) {
        ResetContent();
        ReportOpenError();
        return FALSE;
    }
    return FinishLoad();
}

BOOL SECEdit::FinishLoad()
{
    const size_t lines = static_cast<size_t>(GetLineCount());
    m_lineColors.clear();
    m_lineColors.resize(lines);
    m_itemData.clear();
    m_itemData.resize(lines);
    m_comments.RemoveAll();
    m_nFirstStaleLine = 0;
    SECEditMsg message(SECEDIT_INIT_CONTROLLER);
    message.AddRef();
    SendToObservers(&message);
    BreakLongLines(TRUE, 0, -1);
    return TRUE;
}

void SECEdit::ReportOpenError()
{
    AfxMessageBox(L"Unable to Open File", MB_ICONEXCLAMATION);
}

bool SECEdit::ReadOnlyOnDisk(const CString& path) const
{
    const std::string native = NativePath(path.view());
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0)
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(native.c_str(), W_OK) != 0;
}

BOOL SECEdit::SaveFile(const CString& path)
{
    if (!m_pBuffer)
        ResetContent();
    if (ReadOnlyOnDisk(path)) {
        CString text = L"The file '%1' exists and is read-only. Please save to a different filename.";
        text.Replace(L"%1", path);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return FALSE;
    }
    std::string bytes;
    if (!m_bUnicodeFile && m_bUtf8Mark)
        bytes = "\xEF\xBB\xBF";
    if (!m_pBuffer->Save(bytes, m_bUnicodeFile)) {
        ReportFileError(path, EIO);
        return FALSE;
    }
    if (!ReplaceFileAtomically(NativePath(path.view()), bytes)) {
        ReportFileError(path, errno);
        return FALSE;
    }
    // Only a written file is a saved state.
    m_pSavePoint = PeekUndo();
    m_bModified = FALSE;
    return TRUE;
}
