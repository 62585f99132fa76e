#include "editor/EditRegExpSearch.h"

void SECEditRegExpSearch::Install()
{
    SetEditRegexFactory([] { return std::make_unique<SECEditRegExpSearch>(); });
}

bool SECEditRegExpSearch::Compile(const CString& pattern, bool matchCase)
{
    try {
        if (!m_regExp.Initialize())
            return false;
        m_regExp.SetPattern(pattern);
        m_regExp.SetIgnoreCase(!matchCase);
        return true;
    } catch (CException* error) {
        error->Delete();
        return false;
    }
}

bool SECEditRegExpSearch::Search(const wchar_t* text, int length, int& matchStart, int& matchLength)
{
    try {
        int first = 0, matched = 0;
        if (!m_regExp.Find(CString(std::wstring_view(text, length)), first, matched))
            return false;
        if (first < 0 || first + matched > length)
            return false;
        matchStart = first;
        matchLength = matched;
        return true;
    } catch (CException* error) {
        error->Delete();
        return false;
    }
}

void SECEditRegExpSearch::SearchAll(const wchar_t* text, int length, std::vector<std::pair<int, int>>& matches)
{
    try {
        m_regExp.FindAll(CString(std::wstring_view(text, length)), matches);
    } catch (CException* error) {
        error->Delete();
    }
}
