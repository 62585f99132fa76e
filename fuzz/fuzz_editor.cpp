// Drives the editor's text model with a script of edits read from the input: insertions (with
// line breaks, tabs, comment and string marks, NUL characters and lines long enough to be
// broken), deletions, grouping, undo, redo, line flags and colouring. Besides crashes and
// undefined behaviour it checks that after every step the text breaks into the same lines as the
// whole text set afresh, that the colours of every line, asked for from a line the script picks
// on, equal those of the fresh text, and that undoing every step gives back the text the script
// began on.

#include "editor/Edit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

SECEditLangConfig& Language()
{
    static SECEditLangConfig* config = [] {
        auto* language = new SECEditLangConfig;
        language->SetCharClass(L"=+-*/<>&()", CharClassOperator, TRUE);
        language->SetCharClass(L"=+-*/<>&()\"'{}", CharClassDelimiter, TRUE);
        language->AddKeyword(L"Dim", static_cast<USHORT>(language->GetBuiltinColorGroupIndex(BuiltinOperator)));
        language->RebuildLowerCaseKeywords();
        for (auto [begin, end, multiLine] : { std::tuple { L"\"", L"\"", false }, std::tuple { L"'", L"", false }, std::tuple { L"{", L"}", true } }) {
            auto tag = std::make_unique<SECEditKeywordInfo>();
            tag->m_strBeginTag = begin;
            tag->m_strEndTag = end;
            tag->m_bMultiLine = multiLine;
            language->AddTag(std::move(tag));
        }
        return language;
    }();
    return *config;
}

class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool More() const { return m_position < m_size; }
    unsigned Next() { return More() ? m_data[m_position++] : 0; }
    int Below(int bound) { return bound > 0 ? static_cast<int>((Next() << 8 | Next()) % bound) : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

// A line's colour group at each of its columns: runs split differently may show the same, and
// runs past the line's end colour nothing.
std::vector<USHORT> ColumnGroups(const SECEditLineColor* runs, int length)
{
    std::vector<USHORT> groups;
    if (!runs)
        return groups;
    for (const SECEditTextColor& run : *runs) {
        const size_t end = run.m_nLength == 0 ? static_cast<size_t>(length) : groups.size() + run.m_nLength;
        groups.resize(std::max(end, groups.size()), run.m_nColorGroup);
    }
    groups.resize(std::min(groups.size(), static_cast<size_t>(std::max(length, 0))));
    return groups;
}

// The colours of every line against those of the text coloured afresh, the lines asked for from
// first to the end and then from the start: a view shows any part of the text first.
void CheckColours(SECEdit& edit, int first)
{
    CString text;
    edit.GetAllText(text);
    SECEdit fresh;
    fresh.AttachLangConfig(&Language());
    fresh.ResetContent();
    fresh.SetText(text, text.GetLength());
    const int lines = edit.GetLineCount();
    if (fresh.GetLineCount() != lines)
        __builtin_trap();
    for (int i = 0; i < lines; ++i) {
        const int line = (first + i) % lines;
        const int length = edit.GetLineLength(line);
        const std::vector<USHORT> shown = ColumnGroups(edit.GetLineColor(line), length);
        if (shown != ColumnGroups(fresh.GetLineColor(line), length))
            __builtin_trap();
    }
    fresh.AttachLangConfig(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SECEdit edit;
    edit.AttachLangConfig(&Language());
    edit.ResetContent();
    edit.SetText(L"Dim x\r\n{ a }\r\n\"s\" ' c");
    CString start;
    edit.GetAllText(start);

    Script script(data, size);
    bool grouped = false;
    for (int step = 0; step < 200 && script.More(); ++step) {
        const int line = script.Below(edit.GetLineCount());
        const int column = script.Below(edit.GetLineLength(line) + 1);
        switch (script.Next() % 7) {
        case 0: {
            static const wchar_t alphabet[] = { L'a', L'D', L'i', L'm', L' ', L'\t', L'\r', L'\n', L'{', L'}', L'"', L'\'', L'=', L'1', L'\0', L'\\' };
            std::wstring text;
            const unsigned kind = script.Next();
            if (kind % 16 == 0)
                text.assign(1000 + kind * 12, L'w');
            for (unsigned n = kind % 24; n > 0; --n)
                text += alphabet[script.Next() % 16];
            edit.InsertText(line, column, text.c_str(), static_cast<int>(text.size()));
            break;
        }
        case 1: {
            const int endLine = std::min(edit.GetLastLine(), line + script.Below(3));
            edit.DeleteText(line, column, endLine, script.Below(edit.GetLineLength(endLine) + 1));
            break;
        }
        case 2: edit.Undo(); grouped = false; break;
        case 3: edit.Redo(); grouped = false; break;
        case 4: edit.GroupEdits(!grouped); grouped = !grouped; break;
        case 5: edit.GetLineColor(line); break;
        case 6: edit.ToggleLineFlag(line, static_cast<int>(script.Next() % 33)); break;
        }
        CheckColours(edit, script.Below(edit.GetLineCount()));
    }
    edit.GroupEdits(FALSE);
    while (edit.Undo())
        ;
    CString text;
    edit.GetAllText(text);
    if (text != start)
        __builtin_trap();
    edit.AttachLangConfig(nullptr);
    return 0;
}
