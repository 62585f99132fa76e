// File load and save of the text model. Script files are UTF-16 of either order, with a mark or
// where the bytes show it, or 8-bit text (ScriptEncoding.h): UTF-8, else read so that every byte
// comes back on saving (as do a lone surrogate and the odd last byte of a UTF-16 file). A file is
// loaded into a buffer of its own, which replaces the text only once the whole file is read, and
// saved in the encoding it was loaded in, to a temporary file renamed over the target, so a
// failed load or save never loses the text, the old file, or marks the text as saved.

#include "editor/Edit.h"

#include "editor/ScriptEncoding.h"

#include "platform/base/MessageBox.h"
#include "platform/base/NativePath.h"
#include "platform/base/StringFormat.h"
#include "platform/base/TextEncoding.h"
#include "platform/sys/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An open file descriptor, closed when it goes.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const CString& path) : m_fd(::open(NativePath(path.view()).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
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
    // Only a regular file is read: a FIFO or a device could block or never end.
    bool IsRegular() const
    {
        struct stat info {};
        return ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode);
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

// Turns big-endian pairs into little-endian ones (an odd last byte stays).
void SwapPairs(std::string& bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
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

// Whether the open file may be loaded; says why not.
bool OpenForLoading(const ReadOnlyFile& file, const CString& path)
{
    if (!file.IsOpen()) {
        ReportFileError(path, errno);
        return false;
    }
    if (!file.IsRegular()) {
        AfxMessageBox(FormatWide(L"%s is not a regular file and cannot be opened.", path.GetString()).c_str(), MB_ICONEXCLAMATION);
        return false;
    }
    if (file.Size() > SECEdit::MaxFileBytes) {
        AfxMessageBox(FormatWide(L"%s is too large to open (more than %d MB).", path.GetString(), static_cast<int>(SECEdit::MaxFileBytes >> 20)).c_str(), MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

} // namespace

BOOL SECEdit::LoadFile(const CString& path)
{
    // The encoding is decided anew for every file: a mark FF FE means UTF-16LE.
    const BOOL loaded = LoadFileDetect(path);
#ifdef __GLIBC__
    // The pieces read and the text replaced leave the C library's heap with free pages at its
    // top and between its blocks, which it keeps unless asked: a small file after a large one
    // should cost what it costs alone.
    malloc_trim(0);
#endif
    return loaded;
}

BOOL SECEdit::LoadFileDetect(const CString& path)
{
    ReadOnlyFile file(path);
    if (!OpenForLoading(file, path))
        return FALSE;
    constexpr int Sample = 4096;
    std::string bytes;
    if (!file.Read(bytes, Sample)) {
        ReportFileError(path, errno);
        return FALSE;
    }
    if (bytes.starts_with("\xFF\xFE"))
        return LoadFileUtf16(path, ScriptEncoding::Utf16Le, true);
    if (bytes.starts_with("\xFE\xFF"))
        return LoadFileUtf16(path, ScriptEncoding::Utf16Be, true);
    if (const auto order = UnmarkedUtf16Order(bytes, file.Size() % 2 == 0))
        return LoadFileUtf16(path, *order == Utf16Order::BigEndian ? ScriptEncoding::Utf16Be : ScriptEncoding::Utf16Le, false);
    return LoadFileAnsi(path);
}

BOOL SECEdit::LoadFileUtf16(const CString& path, ScriptEncoding encoding, bool mark)
{
    ReadOnlyFile file(path);
    if (!OpenForLoading(file, path))
        return FALSE;
    std::string skipped;
    if (mark && !file.Read(skipped, 2))
        return FailLoad();
    std::unique_ptr<ISECEditBuffer> buffer = NewLoadBuffer(static_cast<size_t>(file.Size() / 2));
    SECEditLineColPair at;
    std::string carry;
    std::string oddLastByte;
    for (;;) {
        std::string piece;
        std::string none;
        bool last = false;
        if (!file.ReadPiece(piece, none, last))
            return FailLoad();
        if (last && piece.size() % 2 == 1) {
            oddLastByte = piece.substr(piece.size() - 1);
            piece.pop_back();
        }
        if (encoding == ScriptEncoding::Utf16Be)
            SwapPairs(piece);
        piece.insert(0, carry);
        carry.clear();
        if (!last && piece.size() >= 2) {
            // Keep a high surrogate with the low one that the next piece brings.
            const unsigned unit = static_cast<unsigned char>(piece[piece.size() - 2]) | static_cast<unsigned char>(piece.back()) << 8;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                carry = piece.substr(piece.size() - 2);
                piece.resize(piece.size() - 2);
            }
        }
        if (!InsertLoaded(*buffer, DecodeUtf16LeKeepingLoneSurrogates(piece), at, path))
            return FALSE;
        if (last)
            break;
    }
    return AdoptLoaded(std::move(buffer), encoding, mark, std::move(oddLastByte));
}

BOOL SECEdit::LoadFileAnsi(const CString& path)
{
    ReadOnlyFile file(path);
    if (!OpenForLoading(file, path))
        return FALSE;
    const auto size = static_cast<size_t>(file.Size());
    std::unique_ptr<ISECEditBuffer> buffer = NewLoadBuffer(size);

    // Strict UTF-8, piece by piece; the first piece that is not valid UTF-8 sends the whole file
    // to the reading below, which keeps every byte.
    SECEditLineColPair at;
    std::string carry;
    bool mark = false;
    bool first = true;
    for (;;) {
        std::string piece;
        bool last = false;
        if (!file.ReadPiece(piece, carry, last))
            return FailLoad();
        if (first && piece.starts_with("\xEF\xBB\xBF")) {
            piece.erase(0, 3);
            mark = true;
        }
        first = false;
        if (!last) {
            // A character cut by the piece boundary goes on with the next piece.
            const size_t tail = IncompleteUtf8Tail(piece);
            carry = piece.substr(piece.size() - tail);
            piece.resize(piece.size() - tail);
        }
        const bool ascii = std::all_of(piece.begin(), piece.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
        std::optional<std::wstring> text = ascii ? std::wstring(piece.begin(), piece.end()) : Utf8ToWide(piece);
        if (!text)
            break;
        if (!InsertLoaded(*buffer, *text, at, path))
            return FALSE;
        if (last)
            return AdoptLoaded(std::move(buffer), ScriptEncoding::Utf8, mark);
    }

    std::string bytes;
    if (!file.Rewind() || !file.Read(bytes, size))
        return FailLoad();
    std::string_view content(bytes);
    if (mark)
        content.remove_prefix(3);
    const ScriptEncoding encoding = ClassifyEightBitText(content);
    std::wstring text = encoding == ScriptEncoding::Utf8 ? DecodeUtf8KeepingStrayBytes(content) : Windows1252ToWide(content);
    bytes.clear();
    bytes.shrink_to_fit();
    buffer = NewLoadBuffer(text.size());
    SECEditLineColPair start;
    if (!InsertLoaded(*buffer, text, start, path))
        return FALSE;
    return AdoptLoaded(std::move(buffer), encoding, mark);
}

std::unique_ptr<ISECEditBuffer> SECEdit::NewLoadBuffer(size_t characters)
{
    std::unique_ptr<ISECEditBuffer> buffer = CreateBuffer();
    buffer->Clear();
    if (auto* blocks = dynamic_cast<SECEditBlockBuffer*>(buffer.get()))
        blocks->Reserve(characters);
    return buffer;
}

BOOL SECEdit::InsertLoaded(ISECEditBuffer& buffer, const std::wstring& text, SECEditLineColPair& at, const CString& path)
{
    if (text.find(L'\0') != std::wstring::npos) {
        // A script holds no NUL: rather than change the file's bytes, it is not opened.
        AfxMessageBox(FormatWide(L"%s contains NUL characters; it is not a script and was not opened.", path.GetString()).c_str(), MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (text.empty())
        return TRUE;
    SECEditLineColPair range(at.m_end, {});
    if (!buffer.InsertText(range, text.data(), static_cast<int>(text.size())))
        return FailLoad();
    at.m_end = range.m_end;
    return TRUE;
}

BOOL SECEdit::FailLoad()
{
    ReportOpenError();
    return FALSE;
}

BOOL SECEdit::AdoptLoaded(std::unique_ptr<ISECEditBuffer> buffer, ScriptEncoding encoding, bool mark, std::string oddLastByte)
{
    ResetContent();
    m_pBuffer = std::move(buffer);
    NoteTextChange({}, true);
    m_encoding = encoding;
    m_bMark = mark;
    m_oddLastByte = std::move(oddLastByte);
    const size_t lines = static_cast<size_t>(GetLineCount());
    m_lineColors = decltype(m_lineColors)(lines);
    m_itemData = decltype(m_itemData)(lines);
    m_comments.RemoveAll();
    m_nFirstStaleLine = 0;
    // Lines are kept as the file has them, however long: the width the view scrolls over grows
    // to the longest of them.
    for (int line = 0; line < GetLineCount(); ++line)
        m_nMaxLineLength = std::max(m_nMaxLineLength, LineDisplayWidth(line));
    SECEditMsg message(SECEDIT_INIT_CONTROLLER);
    message.AddRef();
    SendToObservers(&message);
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
    if (!IsUnicodeFile() && m_bMark)
        bytes = "\xEF\xBB\xBF";
    ScriptEncoding written = m_encoding;
    std::optional<std::string> narrow;
    if (m_encoding == ScriptEncoding::Windows1252) {
        CString text;
        GetAllText(text);
        narrow = WideToWindows1252(text.view());
        // Text that Windows-1252 cannot hold any more is written, whole, as UTF-8.
        if (!narrow)
            written = ScriptEncoding::Utf8;
    }
    if (narrow)
        bytes += *narrow;
    else if (!m_pBuffer->Save(bytes, IsUnicodeFile())) {
        ReportFileError(path, EIO);
        return FALSE;
    }
    if (IsUnicodeFile()) {
        // The buffer writes FF FE and little-endian units; the file gets the order and mark it had.
        if (written == ScriptEncoding::Utf16Be)
            SwapPairs(bytes);
        if (!m_bMark)
            bytes.erase(0, 2);
        bytes += m_oddLastByte;
    }
    if (!ReplaceFileAtomically(NativePath(path.view()), bytes)) {
        ReportFileError(path, errno);
        return FALSE;
    }
    // Only a written file is a saved state.
    m_encoding = written;
    m_pSavePoint = PeekUndo();
    m_bModified = FALSE;
    return TRUE;
}
