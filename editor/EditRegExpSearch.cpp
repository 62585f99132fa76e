#include "editor/EditRegExpSearch.h"

#include "platform/script/ActiveScript.h"
#include "platform/script/RegExpObject.h"

void SECEditRegExpSearch::Install()
{
    static const bool registered = [] {
        RegisterScriptClasses();
        return true;
    }();
    (void)registered;
    SetEditRegexFactory([] { return std::make_unique<SECEditRegExpSearch>(); });
}

bool SECEditRegExpSearch::Compile(const CString& pattern, bool matchCase)
{
    try {
        if (!m_regExp.CreateDispatch(L"VBScript.RegExp"))
            return false;
        m_regExp.SetProperty(DISPID_REGEXP_PATTERN, VT_BSTR, pattern.GetString());
        m_regExp.SetProperty(DISPID_REGEXP_IGNORECASE, VT_BOOL, matchCase ? FALSE : TRUE);
        m_regExp.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
        m_regExp.SetProperty(DISPID_REGEXP_MULTILINE, VT_BOOL, TRUE);
        return true;
    } catch (CException* error) {
        error->Delete();
        return false;
    }
}

bool SECEditRegExpSearch::Search(const wchar_t* text, int length, int& matchStart, int& matchLength)
{
    try {
        const CString piece(std::wstring_view(text, length));
        LPDISPATCH collection = nullptr;
        static const BYTE executeParams[] = VTS_BSTR;
        m_regExp.InvokeHelper(DISPID_REGEXP_EXECUTE, DISPATCH_METHOD, VT_DISPATCH, &collection, executeParams, piece.GetString());
        COleDispatchDriver matches(collection);
        LONG count = 0;
        matches.GetProperty(DISPID_MATCHES_COUNT, VT_I4, &count);
        if (count < 1)
            return false;
        LPDISPATCH item = nullptr;
        static const BYTE itemParams[] = VTS_I4;
        matches.InvokeHelper(DISPID_MATCHES_ITEM, DISPATCH_PROPERTYGET, VT_DISPATCH, &item, itemParams, 0);
        COleDispatchDriver match(item);
        LONG first = 0, matched = 0;
        match.GetProperty(DISPID_MATCH_FIRSTINDEX, VT_I4, &first);
        match.GetProperty(DISPID_MATCH_LENGTH, VT_I4, &matched);
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
