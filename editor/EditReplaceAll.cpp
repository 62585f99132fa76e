#include "editor/EditReplaceAll.h"

#include <algorithm>
#include <climits>

namespace {

bool IsLineEnd(wchar_t ch)
{
    return ch == L'\n' || ch == L'\r';
}

// The offset just past the last line end of text[from, ...), or keep when it has none.
size_t AfterLastLineEnd(const std::wstring& text, size_t from, size_t keep)
{
    for (size_t i = text.size(); i > from; --i)
        if (IsLineEnd(text[i - 1]))
            return i;
    return keep;
}

} // namespace

EditReplaceAllText BuildReplaceAllText(std::wstring_view piece, const std::vector<EditMatch>& matches,
                                       const std::function<CString(std::wstring_view matched)>& replacement,
                                       const std::function<bool(std::wstring_view line)>& fits)
{
    EditReplaceAllText result;
    std::wstring& out = result.text;
    out.reserve(piece.size() + piece.size() / 8);
    std::wstring line; // the line a replacement would make, reused
    size_t copied = 0; // piece[0, copied) is in out
    size_t lineStart = 0; // where out's last line begins
    for (const EditMatch& match : matches) {
        const size_t start = static_cast<size_t>(match.offset);
        const size_t end = start + static_cast<size_t>(match.length);
        if (start < copied || end > piece.size())
            continue; // not in order: never expected from a search
        const size_t before = out.size();
        out.append(piece.substr(copied, start - copied));
        lineStart = AfterLastLineEnd(out, before, lineStart);
        copied = start;

        const CString with = replacement(piece.substr(start, end - start));
        const std::wstring_view replacementText = with.view();
        const auto restEnd = std::find_if(piece.begin() + end, piece.end(), IsLineEnd);
        const std::wstring_view rest(piece.data() + end, restEnd - (piece.begin() + end));
        line.assign(out, lineStart);
        line.append(replacementText);
        line.append(rest);
        if (!fits(line)) {
            result.lineTooLong = true;
            break;
        }
        const size_t appendedAt = out.size();
        out.append(replacementText);
        lineStart = AfterLastLineEnd(out, appendedAt, lineStart);
        copied = end;
        result.endOfLast = static_cast<int>(out.size());
        ++result.replaced;
    }
    out.append(piece.substr(copied));
    return result;
}

std::vector<EditReplaceAllBlock> SplitReplaceAllBlocks(ISECEditBuffer& buffer, const std::vector<EditMatch>& matches, int blockChars)
{
    // The matches come in order, so one pass down the lines finds the line of each.
    const int lineCount = buffer.GetLineCount();
    int line = 0;
    auto lineStart = [&](int l) { return l < lineCount ? buffer.LineColToOffset(l, 0) : INT_MAX; };
    auto lineOf = [&](int offset) {
        while (lineStart(line + 1) <= offset)
            ++line;
        return line;
    };
    std::vector<EditReplaceAllBlock> blocks;
    for (size_t i = 0; i < matches.size(); ++i) {
        const int start = matches[i].offset, end = start + matches[i].length;
        const int startLine = lineOf(start), endLine = lineOf(end);
        EditReplaceAllBlock* block = blocks.empty() ? nullptr : &blocks.back();
        const bool joins = block && (startLine <= block->lastLine || end - block->start <= blockChars);
        if (!joins) {
            blocks.push_back({ i, i, startLine, startLine, lineStart(startLine) });
            block = &blocks.back();
        }
        block->last = i + 1;
        block->lastLine = std::max(block->lastLine, endLine);
    }
    return blocks;
}
