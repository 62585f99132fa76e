#pragma once
// The small mark-up of the HTML static control: <b>, <i>, <u>, <strike>, <font color bgcolor face
// size>, </font>, <a href>, </a> and <br>, each in all lower or all upper case. Anything else that
// starts with "<" is text.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <optional>
#include <vector>

struct HtmlStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<COLORREF> colour;
    std::optional<COLORREF> background;
    CString face; // empty: the control's face
    int size = 0; // subtracted from the base font's height
    std::optional<CString> link; // the target inside <a href>
};

// A piece of text in one style; a line break is a run with lineBreak set and no text.
struct HtmlRun {
    CString text;
    HtmlStyle style;
    bool lineBreak = false;
};

std::vector<HtmlRun> ParseHtmlMarkup(const CString& markup);

// The attribute's value, between double quotes after the name (all lower or all upper case) and
// an equals sign; none when the attribute is missing.
std::optional<CString> HtmlAttribute(const CString& tag, const wchar_t* lowerName);
