#pragma once
// Helpers shared by the editor's tests: a temporary folder, captured message boxes, raw file
// bytes and a small language with keywords, operators, a string and two comment kinds.

#include "editor/Edit.h"
#include "editor/LangConfig.h"
#include "platform/base/MessageBox.h"
#include "platform/base/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace edittest {

// The whole text of an edit.
inline std::wstring AllText(SECEdit& edit)
{
    CString text;
    edit.GetAllText(text);
    return text.GetString();
}

// Collects the texts of message boxes shown while it lives.
class CapturedMessages {
public:
    CapturedMessages()
    {
        m_previous = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            texts.emplace_back(text);
            return IDOK;
        });
    }
    ~CapturedMessages() { SetMessageBoxHandler(std::move(m_previous)); }
    std::vector<std::wstring> texts;

private:
    MessageBoxHandler m_previous;
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline CString Wide(const std::string& path)
{
    return CString(path.c_str());
}

// Groups: 4 "Keyword", 5 "Comment", 6 "String", 7 "Highlight".
inline std::unique_ptr<SECEditLangConfig> MakeTestLanguage(bool withHighlight = true)
{
    auto config = std::make_unique<SECEditLangConfig>();
    config->SetMatchCase(FALSE);
    auto addGroup = [&](const wchar_t* name) {
        SECEditColorGroup group;
        group.m_strDisplayName = name;
        return static_cast<USHORT>(config->SetColorGroup(name, group));
    };
    const USHORT keyword = addGroup(L"Keyword");
    const USHORT comment = addGroup(L"Comment");
    const USHORT string = addGroup(L"String");
    if (withHighlight)
        addGroup(L"Highlight");
    config->SetCharClass(L"=+-*/<>&()", CharClassOperator, TRUE);
    config->SetCharClass(L"=+-*/<>&()\"'{}.,:", CharClassDelimiter, TRUE);
    for (const wchar_t* word : { L"Dim", L"If", L"Then", L"End" })
        config->AddKeyword(word, keyword);
    config->RebuildLowerCaseKeywords();
    auto addTag = [&](const wchar_t* begin, const wchar_t* end, const wchar_t* escape, USHORT group, bool multiLine) {
        auto tag = std::make_unique<SECEditKeywordInfo>();
        tag->m_strBeginTag = begin;
        tag->m_strEndTag = end;
        tag->m_strEscapeChar = escape;
        tag->m_nColorGroup = group;
        tag->m_bMultiLine = multiLine;
        config->AddTag(std::move(tag));
    };
    addTag(L"\"", L"\"", L"\\", string, false);
    addTag(L"'", L"", L"", comment, false);
    addTag(L"{", L"}", L"", comment, true);
    return config;
}

} // namespace edittest
