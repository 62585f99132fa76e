#pragma once
// Scanning the tooltip mark-up: plain runs and tags, tag names and attributes, the boundaries of
// nested tables, word wrap and tab stops. Pure text functions; measuring is passed in.

#include <functional>
#include <string>
#include <string_view>

struct PPHtmlRun {
    std::wstring text; // plain text before the tag, "<<" already made one "<"
    std::wstring tag;  // what stood between "<" and ">", empty when none
    bool hasTag = false;
};

// Splits off the next run and tag at position and moves position behind them.
PPHtmlRun NextHtmlRun(std::wstring_view text, size_t& position);

struct PPHtmlTagParts {
    std::wstring_view name;
    std::wstring_view attributes;
};
PPHtmlTagParts SplitHtmlTag(std::wstring_view tag);

struct PPHtmlAttribute {
    std::wstring_view name;
    std::wstring_view value;
};
// The next attribute at position, or false at the end of the text.
bool NextHtmlAttribute(std::wstring_view attributes, size_t& position, PPHtmlAttribute& attribute);

// Position just behind the "/table" tag that closes the table whose "<table" is at start (the text's
// end when it is missing).
size_t FindHtmlTableEnd(std::wstring_view text, size_t start);
// Position of the next "<tr" of this table at or after position, nested tables skipped; npos when none.
size_t FindHtmlRow(std::wstring_view text, size_t position);
// End of the row whose "<tr" is at start: the next "</tr", "<tr" or "<table" outside nested tables.
size_t FindHtmlRowEnd(std::wstring_view text, size_t start);
// Position of the next "<td" before end, nested tables skipped; npos when none.
size_t FindHtmlCell(std::wstring_view text, size_t position, size_t end);
// End of the cell whose "<td" is at start: the next "</td" or "<td" outside nested tables, at most end.
size_t FindHtmlCellEnd(std::wstring_view text, size_t start, size_t end);

struct PPHtmlWrap {
    size_t length = 0; // characters taken from the run for this line (trailing spaces included)
    size_t pieceLength = 0; // of those, the characters drawn (trailing spaces removed)
};
// Breaks run for the room left on a line. A line that holds nothing yet always takes at least one
// character; a line that holds something takes nothing when no break opportunity fits.
PPHtmlWrap WrapHtmlRun(std::wstring_view run, int room, bool lineEmpty, const std::function<int(std::wstring_view)>& measure);

// x advanced over count tabs (0 counts as 1) from the area's left edge.
int AdvanceHtmlTabs(int x, int left, int tabWidth, int count);
