#include "editor/EditRegExp.h"

#include "platform/script/ActiveScript.h"
#include "platform/script/RegExpObject.h"

#include <algorithm>

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

namespace {

// The match collection of Execute on text.
COleDispatchDriver Execute(COleDispatchDriver& regExp, const CString& text)
{
    LPDISPATCH collection = nullptr;
    static const BYTE params[] = VTS_BSTR;
    regExp.InvokeHelper(DISPID_REGEXP_EXECUTE, DISPATCH_METHOD, VT_DISPATCH, &collection, params, text.GetString());
    return COleDispatchDriver(collection);
}

COleDispatchDriver Item(COleDispatchDriver& matches, LONG index)
{
    LPDISPATCH item = nullptr;
    static const BYTE params[] = VTS_I4;
    matches.InvokeHelper(DISPID_MATCHES_ITEM, DISPATCH_PROPERTYGET, VT_DISPATCH, &item, params, index);
    return COleDispatchDriver(item);
}

} // namespace

BOOL SECEditRegExp::Find(const CString& text, int& position, int& length, CString& match)
{
    if (GetPattern().IsEmpty())
        return FALSE;
    COleDispatchDriver matches = Execute(m_regExp, text);
    LONG count = 0;
    matches.GetProperty(DISPID_MATCHES_COUNT, VT_I4, &count);
    if (count < 1)
        return FALSE;
    COleDispatchDriver first = Item(matches, 0);
    LONG start = 0, matched = 0;
    first.GetProperty(DISPID_MATCH_VALUE, VT_BSTR, &match);
    first.GetProperty(DISPID_MATCH_FIRSTINDEX, VT_I4, &start);
    first.GetProperty(DISPID_MATCH_LENGTH, VT_I4, &matched);
    position = start;
    length = matched;
    return TRUE;
}

void SECEditRegExp::FindAll(const CString& text, std::vector<std::pair<int, int>>& matches)
{
    if (GetPattern().IsEmpty())
        return;
    m_regExp.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, TRUE);
    COleDispatchDriver found = Execute(m_regExp, text);
    m_regExp.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
    LONG count = 0;
    found.GetProperty(DISPID_MATCHES_COUNT, VT_I4, &count);
    matches.reserve(matches.size() + std::max<LONG>(count, 0));
    for (LONG i = 0; i < count; ++i) {
        COleDispatchDriver match = Item(found, i);
        LONG start = 0, length = 0;
        match.GetProperty(DISPID_MATCH_FIRSTINDEX, VT_I4, &start);
        match.GetProperty(DISPID_MATCH_LENGTH, VT_I4, &length);
        matches.emplace_back(start, length);
    }
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
