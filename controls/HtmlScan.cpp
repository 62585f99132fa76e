#include "controls/HtmlScan.h"

#include "controls/HtmlMarkup.h"

#include <algorithm>

PPHtmlRun NextHtmlRun(std::wstring_view text, size_t& position)
{
    PPHtmlRun run;
    size_t open = text.find(L'<', position);
    if (open == std::wstring_view::npos) {
        run.text = text.substr(position);
        position = text.size();
        return run;
    }
    run.text = text.substr(position, open - position);
    if (open + 1 == text.size() || text[open + 1] == L'<') {
        run.text += L'<';
        position = std::min(text.size(), open + 2);
        return run;
    }
    size_t close = text.find(L'>', open + 1);
    if (close == std::wstring_view::npos) {
        position = open + 1;
        return run;
    }
    run.tag = text.substr(open + 1, close - open - 1);
    run.hasTag = true;
    position = close + 1;
    return run;
}

PPHtmlTagParts SplitHtmlTag(std::wstring_view tag)
{
    size_t end = std::min(tag.find_first_of(L" ="), tag.size());
    std::wstring_view rest = tag.substr(end);
    while (!rest.empty() && rest.front() == L' ')
        rest.remove_prefix(1);
    return { tag.substr(0, end), rest };
}

bool NextHtmlAttribute(std::wstring_view text, size_t& position, PPHtmlAttribute& attribute)
{
    while (position < text.size() && text[position] == L' ')
        ++position;
    if (position >= text.size())
        return false;
    size_t nameEnd = std::min(text.find_first_of(L" =", position), text.size());
    attribute.name = text.substr(position, nameEnd - position);
    attribute.value = {};
    position = nameEnd;
    while (position < text.size() && text[position] == L' ')
        ++position;
    if (position >= text.size() || text[position] != L'=')
        return true;
    while (position < text.size() && (text[position] == L' ' || text[position] == L'='))
        ++position;
    if (position < text.size() && (text[position] == L'"' || text[position] == L'\'')) {
        wchar_t quote = text[position++];
        size_t close = std::min(text.find(quote, position), text.size());
        attribute.value = text.substr(position, close - position);
        position = std::min(close + 1, text.size());
        return true;
    }
    size_t valueEnd = std::min(text.find(L' ', position), text.size());
    attribute.value = text.substr(position, valueEnd - position);
    position = valueEnd;
    return true;
}

namespace {

constexpr size_t npos = std::wstring_view::npos;

// The nearest of several tags at or after position.
size_t FindFirstTag(std::wstring_view text, size_t position, std::initializer_list<std::wstring_view> names)
{
    size_t best = npos;
    for (auto name : names)
        best = std::min(best, FindHtmlTag(text, position, name));
    return best;
}

// Skips nested tables: the first of names at or after position that is not inside a table opened there.
size_t FindOutsideTables(std::wstring_view text, size_t position, size_t end, std::initializer_list<std::wstring_view> names)
{
    while (position < end) {
        size_t hit = FindFirstTag(text, position, names);
        size_t table = FindHtmlTag(text, position, L"table");
        if (hit == npos || hit >= end)
            return npos;
        if (table == npos || hit < table)
            return hit;
        position = FindHtmlTableEnd(text, table);
    }
    return npos;
}

} // namespace

size_t FindHtmlTableEnd(std::wstring_view text, size_t start)
{
    int depth = 0;
    size_t position = start;
    while (true) {
        size_t open = FindHtmlTag(text, position, L"table");
        size_t close = FindHtmlTag(text, position, L"/table");
        if (close == npos)
            return text.size();
        if (open != npos && open < close) {
            ++depth;
            position = open + 1;
            continue;
        }
        --depth;
        position = close + 1;
        if (depth <= 0) {
            size_t end = text.find(L'>', close);
            return end == npos ? text.size() : end + 1;
        }
    }
}

size_t FindHtmlRow(std::wstring_view text, size_t position)
{
    return FindOutsideTables(text, position, text.size(), { L"tr" });
}

size_t FindHtmlRowEnd(std::wstring_view text, size_t start)
{
    size_t end = FindOutsideTables(text, start + 1, text.size(), { L"/tr", L"tr", L"/table" });
    return end == npos ? text.size() : end;
}

size_t FindHtmlCell(std::wstring_view text, size_t position, size_t end)
{
    return FindOutsideTables(text, position, end, { L"td" });
}

size_t FindHtmlCellEnd(std::wstring_view text, size_t start, size_t end)
{
    size_t cellEnd = FindOutsideTables(text, start + 1, end, { L"/td", L"td" });
    return cellEnd == npos ? end : cellEnd;
}

PPHtmlWrap WrapHtmlRun(std::wstring_view run, int room, bool lineEmpty, const std::function<int(std::wstring_view)>& measure)
{
    constexpr std::wstring_view breaks = L" -.,!:;)}]?";
    auto takeSpaces = [&](size_t length) {
        PPHtmlWrap wrap { length, length };
        while (wrap.pieceLength > 0 && run[wrap.pieceLength - 1] == L' ')
            --wrap.pieceLength;
        while (wrap.length < run.size() && run[wrap.length] == L' ')
            ++wrap.length;
        return wrap;
    };
    size_t best = 0;
    for (size_t i = 0; i < run.size(); ++i) {
        bool opportunity = breaks.find(run[i]) != npos || i + 1 == run.size();
        if (!opportunity)
            continue;
        size_t length = i + 1;
        size_t trimmed = length;
        while (trimmed > 0 && run[trimmed - 1] == L' ')
            --trimmed;
        if (measure(run.substr(0, trimmed)) > room)
            break;
        best = length;
    }
    if (best > 0)
        return takeSpaces(best);
    if (!lineEmpty)
        return {};
    // A word wider than the room: as many characters as fit, and always one.
    size_t length = 1;
    while (length < run.size() && measure(run.substr(0, length + 1)) <= room)
        ++length;
    return takeSpaces(length);
}

int AdvanceHtmlTabs(int x, int left, int tabWidth, int count)
{
    if (tabWidth <= 0)
        return x;
    count = std::max(count, 1);
    int offset = x - left;
    int remainder = ((offset % tabWidth) + tabWidth) % tabWidth;
    if (remainder != 0) {
        x += tabWidth - remainder;
        --count;
    }
    return x + tabWidth * count;
}
