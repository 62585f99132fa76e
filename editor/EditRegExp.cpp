#include "editor/EditRegExp.h"

#include "platform/script/ActiveScript.h"
#include "platform/script/RegExpObject.h"

BOOL SECEditRegExp::Initialize()
{
    static const bool registered = [] {
        RegisterScriptClasses();
        return true;
    }();
    (void)registered;
    if (!m_regExp.CreateDispatch(L"VBScript.RegExp")) {
        m_regExp.ReleaseDispatch();
        return FALSE;
    }
    m_regExp.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
    m_regExp.SetProperty(DISPID_REGEXP_MULTILINE, VT_BOOL, TRUE);
    m_regExp.SetProperty(DISPID_REGEXP_IGNORECASE, VT_BOOL, FALSE);
    return TRUE;
}

CString SECEditRegExp::GetPattern()
{
    CString pattern;
    m_regExp.GetProperty(DISPID_REGEXP_PATTERN, VT_BSTR, &pattern);
    return pattern;
}

void SECEditRegExp::SetPattern(const CString& pattern)
{
    m_regExp.SetProperty(DISPID_REGEXP_PATTERN, VT_BSTR, pattern.GetString());
}

BOOL SECEditRegExp::GetIgnoreCase()
{
    BOOL ignore = FALSE;
    m_regExp.GetProperty(DISPID_REGEXP_IGNORECASE, VT_BOOL, &ignore);
    return ignore;
}

void SECEditRegExp::SetIgnoreCase(BOOL ignore)
{
    m_regExp.SetProperty(DISPID_REGEXP_IGNORECASE, VT_BOOL, ignore);
}

BOOL SECEditRegExp::Find(const CString& text, int& position, int& length, CString& match)
{
    if (GetPattern().IsEmpty())
        return FALSE;
    LPDISPATCH collection = nullptr;
    static const BYTE executeParams[] = VTS_BSTR;
    m_regExp.InvokeHelper(DISPID_REGEXP_EXECUTE, DISPATCH_METHOD, VT_DISPATCH, &collection, executeParams, text.GetString());
    COleDispatchDriver matches(collection);
    LONG count = 0;
    matches.GetProperty(DISPID_MATCHES_COUNT, VT_I4, &count);
    if (count < 1)
        return FALSE;
    LPDISPATCH item = nullptr;
    static const BYTE itemParams[] = VTS_I4;
    matches.InvokeHelper(DISPID_MATCHES_ITEM, DISPATCH_PROPERTYGET, VT_DISPATCH, &item, itemParams, 0);
    COleDispatchDriver first(item);
    LONG start = 0, matched = 0;
    first.GetProperty(DISPID_MATCH_VALUE, VT_BSTR, &match);
    first.GetProperty(DISPID_MATCH_FIRSTINDEX, VT_I4, &start);
    first.GetProperty(DISPID_MATCH_LENGTH, VT_I4, &matched);
    position = start;
    length = matched;
    return TRUE;
}

BOOL SECEditRegExp::Find(const CString& text, int& position, int& length)
{
    CString match;
    return Find(text, position, length, match);
}

BOOL SECEditRegExp::Replace(CString& text, const CString& replacement, BOOL all)
{
    m_regExp.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, all);
    CString result;
    static const BYTE params[] = VTS_BSTR VTS_BSTR;
    m_regExp.InvokeHelper(DISPID_REGEXP_REPLACE, DISPATCH_METHOD, VT_BSTR, &result, params, text.GetString(), replacement.GetString());
    m_regExp.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
    const BOOL changed = result != text;
    text = result;
    return changed;
}
