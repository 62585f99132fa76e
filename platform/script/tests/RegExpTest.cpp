// The regular-expression object driven by dispatch ids through a dispatch driver, the way the
// editor's find and replace uses it.

#include "platform/com/DispatchDriver.h"
#include "platform/script/ActiveScript.h"
#include "platform/script/RegExpObject.h"

#include <gtest/gtest.h>

namespace {

struct Found {
    LONG position = -1;
    LONG length = 0;
    CString text;
};

// The find-and-replace use: Global off, Multiline on, IgnoreCase off.
class RegExpDriver {
public:
    RegExpDriver()
    {
        RegisterScriptClasses();
        EXPECT_TRUE(m_driver.CreateDispatch(L"VBScript.RegExp"));
        m_driver.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
        m_driver.SetProperty(DISPID_REGEXP_MULTILINE, VT_BOOL, TRUE);
        m_driver.SetProperty(DISPID_REGEXP_IGNORECASE, VT_BOOL, FALSE);
    }

    void SetPattern(const wchar_t* pattern) { m_driver.SetProperty(DISPID_REGEXP_PATTERN, VT_BSTR, pattern); }
    void SetIgnoreCase(bool on) { m_driver.SetProperty(DISPID_REGEXP_IGNORECASE, VT_BOOL, on ? TRUE : FALSE); }

    // All matches when global, else the first.
    std::vector<Found> Execute(const wchar_t* text, bool global = false)
    {
        m_driver.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, global ? TRUE : FALSE);
        LPDISPATCH collection = nullptr;
        static const BYTE params[] = VTS_BSTR;
        m_driver.InvokeHelper(DISPID_REGEXP_EXECUTE, DISPATCH_METHOD, VT_DISPATCH, &collection, params, text);
        COleDispatchDriver matches(collection);
        LONG count = 0;
        matches.GetProperty(DISPID_MATCHES_COUNT, VT_I4, &count);
        std::vector<Found> found;
        for (LONG i = 0; i < count; ++i) {
            LPDISPATCH item = nullptr;
            static const BYTE index[] = VTS_I4;
            matches.InvokeHelper(DISPID_MATCHES_ITEM, DISPATCH_PROPERTYGET, VT_DISPATCH, &item, index, i);
            COleDispatchDriver match(item);
            Found f;
            match.GetProperty(DISPID_MATCH_VALUE, VT_BSTR, &f.text);
            match.GetProperty(DISPID_MATCH_FIRSTINDEX, VT_I4, &f.position);
            match.GetProperty(DISPID_MATCH_LENGTH, VT_I4, &f.length);
            found.push_back(f);
        }
        m_driver.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
        return found;
    }

    CString Replace(const wchar_t* text, const wchar_t* replacement, bool all)
    {
        m_driver.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, all ? TRUE : FALSE);
        CString result;
        static const BYTE params[] = VTS_BSTR VTS_BSTR;
        m_driver.InvokeHelper(DISPID_REGEXP_REPLACE, DISPATCH_METHOD, VT_BSTR, &result, params, text, replacement);
        m_driver.SetProperty(DISPID_REGEXP_GLOBAL, VT_BOOL, FALSE);
        return result;
    }

    COleDispatchDriver m_driver;
};

TEST(RegExp, FindsTheFirstMatchWithPositionAndLength)
{
    RegExpDriver re;
    re.SetPattern(L"b+");
    std::vector<Found> found = re.Execute(L"abbbc");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].position, 1);
    EXPECT_EQ(found[0].length, 3);
    EXPECT_EQ(found[0].text, L"bbb");
    re.SetPattern(L"z");
    EXPECT_TRUE(re.Execute(L"abbbc").empty());
}

TEST(RegExp, ReplacesOnceOrEverywhere)
{
    RegExpDriver re;
    re.SetPattern(L"b");
    EXPECT_EQ(re.Replace(L"abb", L"x", false), L"axb");
    EXPECT_EQ(re.Replace(L"abb", L"x", true), L"axx");
    re.SetPattern(L"(\\w+)@(\\w+)");
    EXPECT_EQ(re.Replace(L"mail ann@host now", L"$2 at $1 ($&) $$5 $9", true), L"mail host at ann (ann@host) $5 $9 now");
}

TEST(RegExp, MultilineAnchorsWorkOverCrLfText)
{
    RegExpDriver re;
    re.SetPattern(L"^line\\d$");
    std::vector<Found> found = re.Execute(L"line1\r\nline2\r\nxline3\r\nline4", true);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].position, 0);
    EXPECT_EQ(found[1].position, 7);
    EXPECT_EQ(found[2].position, 22);
    EXPECT_EQ(found[2].text, L"line4");
    // Without Multiline the anchors hold the whole text only, and "." stops at line ends.
    re.m_driver.SetProperty(DISPID_REGEXP_MULTILINE, VT_BOOL, FALSE);
    EXPECT_TRUE(re.Execute(L"line1\r\nline2", true).empty());
    re.SetPattern(L"1.l");
    EXPECT_TRUE(re.Execute(L"line1\r\nline2", true).empty());
}

TEST(RegExp, IgnoreCaseEmptyMatchesAndUnicode)
{
    RegExpDriver re;
    re.SetPattern(L"straße");
    re.SetIgnoreCase(true);
    EXPECT_EQ(re.Execute(L"STRASSE Straße").size(), 1u);
    re.SetPattern(L"x*");
    std::vector<Found> found = re.Execute(L"abc", true);
    EXPECT_EQ(found.size(), 4u);  // one empty match at every position, none repeated
    re.SetPattern(L"\\u00e9+");
    found = re.Execute(L"caf\u00e9\u00e9!");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].position, 3);
}

TEST(RegExp, AnInvalidPatternRaisesAnErrorTheCallerCanCatch)
{
    RegExpDriver re;
    struct Case {
        const wchar_t* pattern;
        int number;
    } cases[] = {{L"a(b", 5020}, {L"[ab", 5019}, {L"*a", 5018}, {L"[z-a]", 5021}, {L"a{2,1}", 5017}};
    for (const Case& c : cases) {
        re.SetPattern(c.pattern);
        bool caught = false;
        try {
            re.Execute(L"abc");
        } catch (COleDispatchException* e) {
            caught = true;
            EXPECT_EQ(e->m_scError, MakeControlError(c.number)) << c.pattern;
            EXPECT_FALSE(e->m_strDescription.IsEmpty());
            e->Delete();
        }
        EXPECT_TRUE(caught) << c.pattern;
    }
    re.SetPattern(L"b");
    EXPECT_EQ(re.Execute(L"abc").size(), 1u);  // still usable
}

// Patterns that backtrack without end on a text still give their answer; one the automaton cannot
// run (a back-reference) ends with an error the caller can catch, never with the stack exhausted.
TEST(RegExp, CatastrophicPatternsEndWithAResultOrACatchableError)
{
    RegExpDriver re;
    const std::wstring as(40, L'a'), xs(40, L'x');
    re.SetPattern(L"(a+)+$");
    EXPECT_TRUE(re.Execute((as + L"!").c_str()).empty());
    EXPECT_EQ(re.Replace((as + L"!").c_str(), L"-", true), CString((as + L"!").c_str()));
    re.SetPattern(L"(x+x+)+(y|!$)");
    const std::vector<Found> found = re.Execute((L"zz" + xs + L"!").c_str());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].position, 2);
    EXPECT_EQ(found[0].length, 41);

    re.SetPattern(L"(a+)+\\1$");
    bool caught = false;
    try {
        re.Execute((as + L"!").c_str());
    } catch (COleDispatchException* e) {
        caught = true;
        EXPECT_EQ(e->m_scError, MakeControlError(28));
        e->Delete();
    }
    EXPECT_TRUE(caught);
    re.SetPattern(L"b");
    EXPECT_EQ(re.Execute(L"abc").size(), 1u);
}

TEST(RegExp, FailedCreationAndCallsOnNoObject)
{
    COleDispatchDriver driver;
    COleException error;
    EXPECT_FALSE(driver.CreateDispatch(L"No.Such.Object", &error));
    EXPECT_EQ(error.m_sc, REGDB_E_CLASSNOTREG);
    bool caught = false;
    try {
        driver.GetProperty(DISPID_REGEXP_PATTERN, VT_BSTR, nullptr);
    } catch (COleException* e) {
        caught = true;
        e->Delete();
    }
    EXPECT_TRUE(caught);
}

} // namespace
