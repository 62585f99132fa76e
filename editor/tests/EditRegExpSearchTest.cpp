#include "editor/Edit.h"
#include "editor/EditRegExpSearch.h"

#include "EditTestSupport.h"

#include <gtest/gtest.h>

using namespace edittest;

namespace {

class EditRegExpSearch : public testing::Test {
protected:
    EditRegExpSearch()
    {
        m_previous = SetEditRegexFactory({});
        SECEditRegExpSearch::Install();
        m_edit.AttachLangConfig(m_language.get());
        m_edit.ResetContent();
    }
    ~EditRegExpSearch() override
    {
        SetEditRegexFactory(m_previous);
        m_edit.AttachLangConfig(nullptr);
    }

    int Find(const wchar_t* pattern, bool matchCase, int& line, int& column)
    {
        EditFindRequest request;
        request.pattern = pattern;
        request.regularExpression = true;
        request.matchCase = matchCase;
        return m_edit.Find(0, 0, line, column, request);
    }

    EditRegexFactory m_previous;
    std::unique_ptr<SECEditLangConfig> m_language = MakeTestLanguage();
    SECEdit m_edit;
};

TEST_F(EditRegExpSearch, FindsTheFirstMatchAndItsLength)
{
    m_edit.SetText(L"Option Explicit\r\nDim total\r\ntotal = 42 + 7\r\n");
    int line = -1, column = -1;
    EXPECT_EQ(Find(L"\\d+", true, line, column), 2);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 8);
    EXPECT_EQ(Find(L"^total", true, line, column), 5) << "^ matches at every line start";
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(Find(L"DIM", true, line, column), 0);
    EXPECT_EQ(Find(L"DIM", false, line, column), 3);
    EXPECT_EQ(line, 1);
}

TEST_F(EditRegExpSearch, InvalidPatternFindsNothing)
{
    m_edit.SetText(L"a(b");
    int line = -1, column = -1;
    EXPECT_EQ(Find(L"(", true, line, column), 0);
    EXPECT_EQ(Find(L"\\(", true, line, column), 1);
    EXPECT_EQ(column, 1);
}

} // namespace
