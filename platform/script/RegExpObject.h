#pragma once
// The script runtime's regular-expression object ("VBScript.RegExp", New RegExp in scripts):
// Pattern, IgnoreCase, Global, Multiline, Execute, Test and Replace, with JavaScript-style
// patterns. Its collections and matches carry the dispatch ids callers rely on.

#include "platform/com/Interfaces.h"

// Dispatch ids of the object's members.
constexpr DISPID DISPID_REGEXP_PATTERN = 10001;
constexpr DISPID DISPID_REGEXP_IGNORECASE = 10002;
constexpr DISPID DISPID_REGEXP_GLOBAL = 10003;
constexpr DISPID DISPID_REGEXP_EXECUTE = 10004;
constexpr DISPID DISPID_REGEXP_TEST = 10005;
constexpr DISPID DISPID_REGEXP_REPLACE = 10006;
constexpr DISPID DISPID_REGEXP_MULTILINE = 10007;
constexpr DISPID DISPID_MATCHES_COUNT = 1;
constexpr DISPID DISPID_MATCHES_ITEM = 10001;  // also the default member
constexpr DISPID DISPID_MATCH_VALUE = 0;
constexpr DISPID DISPID_MATCH_FIRSTINDEX = 10001;
constexpr DISPID DISPID_MATCH_LENGTH = 10002;
constexpr DISPID DISPID_MATCH_SUBMATCHES = 10003;

// A new object with one reference. An invalid pattern makes Execute, Test and Replace raise
// error 5017 (or 5018-5021 for the specific faults) through the exception record.
IDispatch* CreateRegExp();
