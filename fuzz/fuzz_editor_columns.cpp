// The editor's tab and column arithmetic under any language settings: a tab size, replaced tabs
// and the other editor switches from the input, lines of tabs, blanks and text (some far longer
// than the editor keeps unbroken), and column conversions, tab stops, indents, tab insertions and
// line breaking at places the input picks, inside the text or far outside it. Besides crashes and
// undefined behaviour it checks that a character column and its display column convert back to
// each other, that an indent fills exactly the columns asked for, and that broken lines fit.

#include "editor/Edit.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// The display width of text that starts at display column `from`.
int DisplayWidth(const CString& text, int from, int tab)
{
    int display = from;
    for (int i = 0; i < text.GetLength(); ++i)
        display += text[i] == L'\t' ? tab - display % tab : 1;
    return display - from;
}

// A column the input picks: mostly within the line, sometimes anywhere an int reaches.
int PickColumn(fuzz::FuzzInput& input, int length)
{
    const std::uint8_t kind = input.Byte();
    if (kind % 8 == 0)
        return input.Number<int>();
    return static_cast<int>(input.Number<std::uint16_t>() % (length + 2));
}

std::wstring PickText(fuzz::FuzzInput& input)
{
    static const wchar_t alphabet[] = { L'\t', L' ', L'a', L'\r', L'\n', L'\t', L'\t', L'x' };
    std::wstring text;
    for (std::size_t count = input.Byte() % 16; count > 0; --count) {
        const std::uint8_t piece = input.Byte();
        // Now and then a run that goes past the editor's line width (2048 columns) or near it.
        const std::size_t repeat = piece >= 0xFC ? static_cast<std::size_t>(piece - 0xFB) * 700 : 1;
        text.append(repeat, alphabet[piece % 8]);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    SECEditLangConfig language;
    language.SetTabSize(input.Number<int>());
    const std::uint8_t switches = input.Byte();
    language.SetReplaceTabs(switches & 1);
    language.SetShowWhitespace((switches >> 1) & 1);
    language.SetAutoIndent((switches >> 2) & 1);
    language.SetVirtualWhitespace((switches >> 3) & 1);
    const int tab = language.GetTabSize();
    if (tab < 1 || tab > SECEditLangConfig::MaxTabSize)
        __builtin_trap();

    SECEdit edit;
    edit.AttachLangConfig(&language);
    const std::wstring start = PickText(input);
    edit.SetText(start.c_str(), static_cast<int>(start.size()));

    for (int step = 0; step < 64 && input.More(); ++step) {
        const int line = static_cast<int>(input.Number<std::uint16_t>() % (edit.GetLineCount() + 1));
        const int length = std::max(edit.GetLineLength(std::min(line, edit.GetLastLine())), 0);
        const int column = PickColumn(input, length);
        switch (input.Byte() % 6) {
        case 0: {
            // Character column to display column and back.
            const int character = std::clamp(column, 0, length);
            const int display = edit.ConvertLineColumn(character, 0, line, nullptr);
            if (display < character)
                __builtin_trap();
            int reached = -1;
            if (edit.ConvertLineColumn(display, 1, line, &reached) != character && line <= edit.GetLastLine())
                __builtin_trap();
            break;
        }
        case 1: {
            // Any display column lands on a character within the line.
            int reached = -1;
            const int character = edit.ConvertLineColumn(column, 1, line, &reached);
            if (character < 0 || character > length)
                __builtin_trap();
            break;
        }
        case 2: {
            const int blanks = edit.GetBlanksToNextTab({ line, std::clamp(column, 0, length) });
            if (line <= edit.GetLastLine() && (blanks < 1 || blanks > tab))
                __builtin_trap();
            break;
        }
        case 3: {
            const int columns = static_cast<int>(input.Number<std::uint16_t>());
            const int at = std::clamp(column, 0, length);
            const CString indent = edit.GetIndentText(columns, { line, at }, input.Byte() & 1);
            const int from = edit.ConvertLineColumn(at, 0, line, nullptr);
            if (line <= edit.GetLastLine() && DisplayWidth(indent, from, tab) != columns)
                __builtin_trap();
            break;
        }
        case 4:
            edit.InsertTab(line, column);
            break;
        case 5: {
            const std::wstring text = PickText(input);
            edit.InsertText(line, column, text.c_str(), static_cast<int>(text.size()));
            break;
        }
        }
        (void)edit.GetIndentLength(line);
        (void)edit.ValidateColumn(line, column, input.Byte() & 1);
    }

    // Broken lines all fit the editor's width.
    edit.BreakLongLines(TRUE, 0, edit.GetLastLine());
    for (int line = 0; line < edit.GetLineCount(); ++line)
        if (edit.ConvertLineColumn(edit.GetLineLength(line), 0, line, nullptr) > std::max(edit.GetMaxLineLength(), tab))
            __builtin_trap();
    edit.AttachLangConfig(nullptr);
    return 0;
}
