#pragma once
// Reads rich text (RTF) into paragraphs of formatted runs: the subset a read-only rich edit shows
// (fonts, sizes, bold, italic, underline, strike-through, colours, alignment, indents, paragraph
// spacing, tabs and line breaks). No window is involved; the rich edit lays the result out.
// Malformed or hostile input never fails: reading stops where the text stops making sense and
// the result says why.

#include "platform/base/WinTypes.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fln::comctl {

struct RtfCharFormat {
    int font = -1;        // a font number of the font table; -1: the document's default font
    int halfPoints = 24;  // the RTF default size, 12 points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;        // an index of the colour table; 0 and missing entries mean the automatic colour

    bool operator==(const RtfCharFormat&) const = default;
};

enum class RtfAlignment { Left, Center, Right, Justify };

// Lengths in twips (1/1440 inch).
struct RtfParagraphFormat {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0; // relative to the left indent; may be negative
    int spaceBefore = 0;
    int spaceAfter = 0;

    bool operator==(const RtfParagraphFormat&) const = default;
};

// Text of one format. Tabs are L'\t', line breaks inside a paragraph L'\v'.
struct RtfRun {
    RtfCharFormat format;
    std::wstring text;
};

struct RtfParagraph {
    RtfParagraphFormat format;
    std::vector<RtfRun> runs;

    std::wstring Text() const;
};

enum class RtfProblem {
    None,
    NotRtf,         // the text does not start with "{\rtf"; it was read as plain text
    Unbalanced,     // the input ended inside a group
    TooDeep,        // groups nested deeper than the reader follows; reading stopped there
};

struct RtfDocument {
    std::map<int, std::wstring> fonts;           // font number to face name
    std::vector<std::optional<COLORREF>> colors; // nullopt: the automatic colour
    int defaultFont = 0;                         // \deff
    std::vector<RtfParagraph> paragraphs;        // at least one
    RtfProblem problem = RtfProblem::None;

    // The face of a font number; null for a number the font table does not have.
    const std::wstring* FaceOf(int number) const;
    // The colour of a run's colour index; nullopt for the automatic colour.
    std::optional<COLORREF> ColorOf(int index) const;
    // The plain text, paragraphs separated by L'\r'.
    std::wstring Text() const;
};

// Deeper groups than this stop the reader.
constexpr int kRtfMaxGroupDepth = 256;

// Input that does not start with "{\rtf" is read as plain text (see PlainTextDocument).
RtfDocument ReadRtf(std::string_view bytes);
// Text as it is, one paragraph per line (CR, LF or CR LF), all in the default format.
RtfDocument PlainTextDocument(std::wstring_view text);

// Decodes "ANSI" bytes of a code page: 65001 (UTF-8) or 1252, which is also taken for the others.
std::wstring DecodeCodePage(std::string_view bytes, int codePage);

} // namespace fln::comctl
