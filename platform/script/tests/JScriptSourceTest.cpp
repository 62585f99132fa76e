#include "platform/script/JScriptSource.h"

#include "platform/base/CString.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using jscript::InstrumentSource;

TEST(JScriptSource, LoopTestsAndMemberCallsAreMarked)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"while (x) y();", L"while (__flnLoopCheck() && (x)) y();"},
        {L"do { a.b(1); } while (go)", L"do { a[__flnCall(\"b\")](1); } while (__flnLoopCheck() && (go))"},
        {L"for (var i = 0; i < n; i++) {}", L"for (var i = 0;__flnLoopCheck() && ( i < n); i++) {}"},
        {L"for (;;) {}", L"for (;__flnLoopCheck();) {}"},
        {L"for (var k in o) {}", L"for (var k in o) {}"},  // a finite walk
        {L"for (var i = f(a, b); g(i); i = h(i)) {}", L"for (var i = f(a, b);__flnLoopCheck() && ( g(i)); i = h(i)) {}"},
        {L"x.while(1); y.for(2);", L"x[__flnCall(\"while\")](1); y[__flnCall(\"for\")](2);"},
        {L"o.p; o.p = 1; o . q ()", L"o.p; o.p = 1; o [__flnCall(\"q\")] ()"},
        {L"1.5.toFixed(1)", L"1.5[__flnCall(\"toFixed\")](1)"},
        {L"eval(t + 'x')", L"eval(__flnPrepare(t + 'x'))"},  // still a direct eval
        {L"function f(a) { return a; }", L"function f(a) {__flnLoopCheck(); return a; }"},
        {L"var g = function () { 'use strict'; x(); };", L"var g = function () { 'use strict';__flnLoopCheck(); x(); };"},
        {L"var h = function () { 'use strict' }", L"var h = function () { 'use strict' }"},
        {L"new Function('a, b', f(1, 2))", L"new Function('a, b',__flnPrepare( f(1, 2)))"},
        {L"x = 1e2147483648 + 2.5E-0000000000007 + 1e+400;", L"x = 1e99999 + 2.5E-7 + 1e+400;"},
        {L"y = 0x1e2147483648; z = '1e2147483648';", L"y = 0x1e2147483648; z = '1e2147483648';"},
        {L"a: break a; b: break b", L"a: { break a; } b: { break b }"},
        {L"c: { break c; } switch (v) { case d: break d; }", L"c: { break c; } switch (v) { case d: break d; }"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstrumentSource(c.text), c.expected) << WideToUtf8(c.text);
}

TEST(JScriptSource, StringsCommentsAndRegularExpressionsAreLeftAlone)
{
    const wchar_t* untouched[] = {
        L"var s = 'while (x) a.b()';",
        L"var s = \"for (;;) \\\" a.b()\";",
        L"// while (x) a.b()\nvar y = 1;",
        L"/* for (;;) {} a.b() */ var y = 1;",
        L"var r = /while (x) a.b()/g;",
        L"var r = /[/]while(x)/; var q = a / b / c;",
        L"return /a.b(c)/.source;",
    };
    for (const wchar_t* text : untouched) {
        std::wstring result = InstrumentSource(text);
        EXPECT_EQ(result.find(L"__fln"), std::wstring::npos) << WideToUtf8(text) << " -> " << WideToUtf8(result);
    }
    // A division is not read as the start of a pattern that would hide the loop after it.
    EXPECT_NE(InstrumentSource(L"x = a / 2; while (x) {} y = b / 2;").find(L"__flnLoopCheck"), std::wstring::npos);
}

TEST(JScriptSource, LinesStayWhereTheyAre)
{
    std::wstring text = L"var i = 0;\r\nwhile (i < 3)\r\n  i = o.f(i);\r\n'a\\\r\nb';\n";
    std::wstring result = InstrumentSource(text);
    EXPECT_EQ(std::count(result.begin(), result.end(), L'\n'), std::count(text.begin(), text.end(), L'\n'));
    EXPECT_NE(result.find(L"__flnLoopCheck"), std::wstring::npos);

    // A member call whose name is on a later line than its dot.
    const std::string splitCalls[] = {
        std::string("\xD0.\n_eH_i(\0", 10),
        "o.\nf();\nx = 1;",
        "o . /* one\ntwo */ f(1);",
        "o.\r\n\r\n  f(2);",
    };
    for (const std::string& bytes : splitCalls) {
        std::wstring split = NarrowToWide(bytes);
        std::wstring prepared = InstrumentSource(split);
        EXPECT_EQ(std::count(prepared.begin(), prepared.end(), L'\n'), std::count(split.begin(), split.end(), L'\n'))
            << WideToUtf8(prepared);
        EXPECT_EQ(std::count(prepared.begin(), prepared.end(), L'\r'), std::count(split.begin(), split.end(), L'\r'));
    }
}

TEST(JScriptSource, JsonExponentsAreBoundedOutsideStrings)
{
    struct Case {
        const wchar_t* json;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"[1e2147483648, -1E-0000000000000003]", L"[1e99999, -1E-3]"},
        {L"{\"1e2147483648\": \"x\\\"1e2147483648\"}", L"{\"1e2147483648\": \"x\\\"1e2147483648\"}"},
        {L"1e1234567-", L"1e1234567-"},  // not a number: left for the parser to refuse
        {L"[1e400, 25]", L"[1e400, 25]"},
        {L"\"open", L"\"open"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jscript::BoundJsonExponents(c.json), c.expected) << WideToUtf8(c.json);
}

TEST(JScriptSource, TextThatDoesNotScanIsReturnedUnchanged)
{
    for (const wchar_t* text : {L"while (x) { 'open", L"/* while (x) {}", L"while (x) y = /open"})
        EXPECT_EQ(InstrumentSource(text), text);
}

} // namespace
