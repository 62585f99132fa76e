#pragma once
// The regular-expression engine of the editor's text search: the editor's RegExp wrapper, asked
// for the first match of a piece of text, with ^ and $ at line ends. Install() makes it the
// engine of every buffer's regular-expression search.

#include "editor/EditBuffer.h"
#include "editor/EditRegExp.h"

class SECEditRegExpSearch : public IEditRegexSearch {
public:
    static void Install();

    bool Compile(const CString& pattern, bool matchCase) override;
    // An invalid pattern matches nothing.
    bool Search(const wchar_t* text, int length, int& matchStart, int& matchLength) override;
    void SearchAll(const wchar_t* text, int length, std::vector<std::pair<int, int>>& matches) override;

private:
    SECEditRegExp m_regExp;
};
