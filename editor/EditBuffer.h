#pragma once
// The storage of the editor's text: one character array with a gap at the place of the latest
// edit, so that typing moves only the characters between two edit points; a line index built on
// demand; and the text search that find and replace use. The array holds a byte a character while
// every character is below U+0100 (most scripts), and is widened once for good when one is not.

#include "editor/EditTypes.h"
#include "platform/base/CString.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Throws std::bad_alloc when the system has no pages to give.
void* AllocateEditPages(size_t bytes);
void FreeEditPages(void* pages, size_t bytes);

// Gives arrays of a mebibyte and more pages of their own, and back to the system when freed: the
// C library would otherwise take the freed text of one big file as its cue to keep the next in its
// heap, so that every reload of the file left the process bigger.
template <typename T>
struct EditPageAllocator {
    using value_type = T;
    static constexpr size_t PagedBytes = size_t{ 1 } << 20;

    EditPageAllocator() = default;
    template <typename U>
    EditPageAllocator(const EditPageAllocator<U>&) {}
    T* allocate(size_t count)
    {
        if (count * sizeof(T) < PagedBytes)
            return std::allocator<T>().allocate(count);
        return static_cast<T*>(AllocateEditPages(count * sizeof(T)));
    }
    void deallocate(T* items, size_t count)
    {
        if (count * sizeof(T) < PagedBytes)
            std::allocator<T>().deallocate(items, count);
        else
            FreeEditPages(items, count * sizeof(T));
    }
    // Characters are left as the pages come: what a new array holds past the text is the gap,
    // never read, and pages never written cost no memory. Everything else starts as zeroes.
    template <typename U>
    void construct(U* item)
    {
        if constexpr (std::is_arithmetic_v<U>)
            ::new (static_cast<void*>(item)) U;
        else
            ::new (static_cast<void*>(item)) U();
    }
    template <typename U, typename... Args>
    void construct(U* item, Args&&... args)
    {
        ::new (static_cast<void*>(item)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const EditPageAllocator&, const EditPageAllocator&) { return true; }
};
// The arrays that grow with the text: one item a character or a line.
template <typename T>
using EditPagedVector = std::vector<T, EditPageAllocator<T>>;

// A regular-expression search over one piece of text. The find-and-replace layer installs a
// factory once a regular-expression engine exists; without one a pattern search finds nothing.
class IEditRegexSearch {
public:
    virtual ~IEditRegexSearch() = default;
    virtual bool Compile(const CString& pattern, bool matchCase) = 0;
    // The first match in text[0, length): its start and length.
    virtual bool Search(const wchar_t* text, int length, int& matchStart, int& matchLength) = 0;
    // Every match in text[0, length), left to right and none overlapping, as (start, length);
    // an empty match is kept and the search moves on by one character. The default asks
    // Search again after each match; an engine that can list all matches at once overrides it.
    virtual void SearchAll(const wchar_t* text, int length, std::vector<std::pair<int, int>>& matches);
};
using EditRegexFactory = std::function<std::unique_ptr<IEditRegexSearch>()>;
// Installs the factory and returns the one it replaced.
EditRegexFactory SetEditRegexFactory(EditRegexFactory factory);

// One match of a search: its offset in the text and its length.
struct EditMatch {
    int offset = 0;
    int length = 0;
    friend bool operator==(const EditMatch&, const EditMatch&) = default;
};

struct EditFindRequest {
    CString pattern;
    bool forward = true;
    bool wrap = false;
    bool matchCase = true;
    bool wholeWord = false;
    bool regularExpression = false;
};

class ISECEditBuffer {
public:
    virtual ~ISECEditBuffer() = default;
    // Inserts at the range's start (length -1: up to the terminating zero) and sets the range's
    // end to the end of the inserted text.
    virtual BOOL InsertText(SECEditLineColPair& range, const wchar_t* text, int length) = 0;
    virtual BOOL DeleteText(const SECEditLineColPair& range) = 0;
    virtual int GetLineCount() const = 0;
    virtual int GetLineLengthWithEnd(int line) = 0;
    virtual int GetLineLength(int line) = 0;
    virtual void SetLineEnd1(wchar_t ch) = 0;
    virtual wchar_t GetLineEnd1() const = 0;
    virtual void SetLineEnd2(wchar_t ch) = 0;
    virtual wchar_t GetLineEnd2() const = 0;
    // An end of (-1, -1) means the end of the start line with its line end.
    virtual BOOL GetText(CString& text, int startLine, int startCol, int endLine, int endCol) = 0;
    // The characters of the range (null and -1 for an invalid range); valid until the next call.
    virtual int GetTextPointer(const wchar_t*& text, int startLine, int startCol, int endLine, int endCol) = 0;
    virtual void Clear() = 0;
    virtual int LineColToOffset(int line, int column) = 0;
    virtual BOOL OffsetToLineCol(int offset, int& line, int& column) = 0;
    // The length of the match (> 0) with its first character in (line, column), else 0.
    // A stop of (-1, -1) means the start.
    virtual int Find(int startLine, int startCol, int& line, int& column, const EditFindRequest& request,
                     int stopLine = -1, int stopCol = -1) = 0;
    // Every match lying wholly inside the offsets [from, to), left to right and none overlapping,
    // in one pass over the text (the request's direction and wrap do not apply). A regular
    // expression may match empty text, which gives a match of length 0.
    virtual std::vector<EditMatch> FindAll(int from, int to, const EditFindRequest& request) = 0;
    // Appends the text to bytes: UTF-16LE with the mark FF FE, or UTF-8 with its stray bytes as read.
    virtual BOOL Save(std::string& bytes, BOOL unicode) = 0;
};

class SECEditBlockBuffer : public ISECEditBuffer {
public:
    static constexpr int GrowthStep = 32000;
    static constexpr int WritePiece = 256000;
    static constexpr int RegexChunk = 256000;
    // A pointer asked for into more narrow characters than this widens the whole array.
    static constexpr int WidenedPieceLimit = 1 << 19;

    SECEditBlockBuffer() { Clear(); }

    BOOL InsertText(SECEditLineColPair& range, const wchar_t* text, int length) override;
    BOOL DeleteText(const SECEditLineColPair& range) override;
    int GetLineCount() const override { return m_nLineCount; }
    int GetLineLengthWithEnd(int line) override;
    int GetLineLength(int line) override;
    void SetLineEnd1(wchar_t ch) override { m_lineEnd1 = ch; }
    wchar_t GetLineEnd1() const override { return m_lineEnd1; }
    void SetLineEnd2(wchar_t ch) override { m_lineEnd2 = ch; }
    wchar_t GetLineEnd2() const override { return m_lineEnd2; }
    BOOL GetText(CString& text, int startLine, int startCol, int endLine, int endCol) override;
    int GetTextPointer(const wchar_t*& text, int startLine, int startCol, int endLine, int endCol) override;
    void Clear() override;
    int LineColToOffset(int line, int column) override;
    BOOL OffsetToLineCol(int offset, int& line, int& column) override;
    int Find(int startLine, int startCol, int& line, int& column, const EditFindRequest& request,
             int stopLine = -1, int stopCol = -1) override;
    std::vector<EditMatch> FindAll(int from, int to, const EditFindRequest& request) override;
    BOOL Save(std::string& bytes, BOOL unicode) override;

    // True when the characters around text[offset, offset + length) are delimiters or line bounds.
    bool IsWholeWord(int offset, int length);
    static bool IsWordDelimiter(wchar_t ch);

    int GetTextLength() const { return static_cast<int>(StoredLength()) - GapLength(); }
    // Whether the array holds a wchar_t a character (else a byte).
    bool IsWide() const { return m_bWide; }
    // Lets the loader size the array once instead of growing it piece by piece, with the gap the
    // first edits after the load take.
    void Reserve(size_t characters);

private:
    struct LineInfo {
        int start;
        int length; // without line end; -1 until measured
    };

    bool IndexLine(int line);
    // After length characters of text went in at (line, column): the line's length, kept when it
    // is known and the text adds no line end before it.
    void KeepLengthAcross(int line, int column, const wchar_t* text, int length);
    // The offsets of a range given as GetText takes it, in order; false when it is no place in the text.
    bool RangeOffsets(int startLine, int startCol, int endLine, int endCol, int& from, int& to);
    int FindInRange(int from, int to, bool forward, const EditFindRequest& request);
    int FindRegex(int from, const EditFindRequest& request, int& matchLength);
    // Calls each(begin, from, length) for the pieces of [from, to), each at most RegexChunk long
    // and, where the text allows, ending after a line end, so that no line is cut in two.
    template <typename Each>
    void ForEachRegexChunk(int from, int to, Each each);
    template <typename Char>
    bool MatchAt(const Char* text, int offset, const EditFindRequest& request);

    // The gap: text offsets below m_gapStart are stored as they are, the others m_gap later.
    int GapLength() const { return m_gapEnd - m_gapStart; }
    size_t StoredLength() const { return m_bWide ? m_wide.size() : m_narrow.size(); }
    // Calls use(array) with the array that holds the characters.
    template <typename Use>
    decltype(auto) WithArray(Use use) { return m_bWide ? use(m_wide) : use(m_narrow); }
    template <typename Use>
    decltype(auto) WithArray(Use use) const { return m_bWide ? use(m_wide) : use(m_narrow); }
    // Moves the characters into the wide array.
    void Widen();
    // The characters [from, to) of the array as one piece, moving the gap out of the way when it
    // lies inside.
    template <typename Array>
    const typename Array::value_type* Piece(Array& array, int from, int to);
    template <typename Char>
    int FindInPiece(const Char* range, int from, int to, bool forward, const EditFindRequest& request);
    wchar_t At(int offset) const;
    void MoveGap(int offset);
    void EnsureGap(int length);
    // The gap to open for length more characters: in proportion to the text, so that a run of
    // edits that grows a big text copies it rarely.
    int GapToOpen(int length) const { return std::max({ length, GrowthStep, GetTextLength() / 8 }); }
    // The characters [from, to) as one wide piece: the array itself when it is wide, else a copy.
    const wchar_t* Contiguous(int from, int to);
    // The offset of the first of the characters at or after from, or the text's length.
    template <typename Predicate>
    int FindForward(int from, Predicate isWanted) const;

    EditPagedVector<unsigned char> m_narrow; // the characters while every one is below U+0100
    EditPagedVector<wchar_t> m_wide;         // the characters once one is not
    bool m_bWide = false;
    std::vector<wchar_t> m_widened;      // what Contiguous hands out of the narrow array
    int m_gapStart = 0;
    int m_gapEnd = 0;
    EditPagedVector<LineInfo> m_lines;
    int m_nKnownLines = 1;
    int m_nLineCount = 1;
    wchar_t m_lineEnd1 = L'\n';
    wchar_t m_lineEnd2 = L'\r';
};
