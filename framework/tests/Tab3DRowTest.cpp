#include "framework/Tab3DRow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Every letter 5 pixels wide.
int FiveEach(const CString& label) { return 5 * label.GetLength(); }

class TabRow {
public:
    explicit TabRow(std::initializer_list<const wchar_t*> labels)
    {
        for (const wchar_t* label : labels) {
            auto tab = std::make_unique<SEC3DTab>();
            tab->m_label = tab->m_fullLabel = label;
            m_tabs.push_back(std::move(tab));
        }
        for (auto& tab : m_tabs)
            m_row.push_back(tab.get());
    }
    // Fits the row into `extent` as the control does; whether labels are shown.
    bool Fit(int extent, bool showLabels = true)
    {
        const tab_row::Measure full = tab_row::MeasureRow(m_row, FiveEach, true);
        return tab_row::FitLabels(m_row, FiveEach, full.length, full.thickness, extent, showLabels);
    }
    std::vector<CString> Labels() const
    {
        std::vector<CString> labels;
        for (const SEC3DTab* tab : m_row)
            labels.push_back(tab->m_label);
        return labels;
    }
    SEC3DTab& operator[](size_t i) { return *m_row[i]; }

private:
    std::vector<std::unique_ptr<SEC3DTab>> m_tabs;
    std::vector<SEC3DTab*> m_row;
};

TEST(TabRowTest, ARowIsMeasuredFromItsLabelsAndIcons)
{
    TabRow row { L"Formula", L"Graph" };
    std::vector<SEC3DTab*> tabs { &row[0], &row[1] };
    row[1].SetIcon(::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION)));
    const tab_row::Measure full = tab_row::MeasureRow(tabs, FiveEach, true);
    EXPECT_EQ(full.length, (6 + 35 + 6) + (6 + 19 + 25 + 6));
    EXPECT_EQ(full.thickness, 2 * 19);
    row[0].m_label = L"F...";
    EXPECT_EQ(tab_row::MeasureRow(tabs, FiveEach, false).length, (6 + 20 + 6) + (6 + 19 + 25 + 6));
}

// "Formula" and "Graph" need 84 pixels, and 12 to spare.
TEST(TabRowTest, TheWidestLabelLosesOneLetterAStepBehindAnEllipsis)
{
    struct Case {
        int extent;
        std::vector<CString> labels;
    };
    const Case cases[] = {
        { 96, { L"Formula", L"Graph" } },
        { 95, { L"For...", L"Graph" } },
        { 91, { L"For...", L"Graph" } },
        { 90, { L"Fo...", L"Graph" } },
        { 85, { L"F...", L"Graph" } }, // the first of two equally wide labels
        { 80, { L"F...", L"G..." } },
        { 71, { L"...", L"G..." } },
        { 66, { L"...", L"..." } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        TabRow row { L"Formula", L"Graph" };
        EXPECT_TRUE(row.Fit(c.extent));
        EXPECT_EQ(row.Labels(), c.labels);
        EXPECT_EQ(row[0].m_truncated, row[0].m_label != L"Formula");
        // Given room again, the labels come back whole.
        EXPECT_TRUE(row.Fit(200));
        EXPECT_EQ(row.Labels(), (std::vector<CString> { L"Formula", L"Graph" }));
        EXPECT_FALSE(row[0].m_truncated);
    }
}

TEST(TabRowTest, WhenEvenEllipsesDoNotFitTheLabelsAreCutAway)
{
    // "..." twice takes 54 pixels, and 12 to spare.
    TabRow row { L"Formula", L"Graph" };
    EXPECT_TRUE(row.Fit(40));
    EXPECT_EQ(row.Labels(), (std::vector<CString> { L"", L"" }));
    EXPECT_TRUE(row[0].m_truncated && row[1].m_truncated);

    EXPECT_FALSE(row.Fit(30)) << "icons only";
    EXPECT_FALSE(row.Fit(38)) << "no room beyond the tabs' thickness";
    EXPECT_FALSE(row.Fit(0));
}

TEST(TabRowTest, ShortLabelsNeverGetAnEllipsis)
{
    // The last tab cannot be shortened, so after one step behind "..." letters are cut.
    TabRow row { L"Formula", L"XY" };
    EXPECT_TRUE(row.Fit(70));
    EXPECT_EQ(row.Labels(), (std::vector<CString> { L"For.", L"XY" }));
    EXPECT_TRUE(row.Fit(45));
    EXPECT_EQ(row.Labels(), (std::vector<CString> { L"", L"X" }));
}

TEST(TabRowTest, ALabelBeginningWithAnEllipsisKeepsIt)
{
    TabRow row { L"...Graph", L"Date" };
    EXPECT_TRUE(row.Fit(95));
    EXPECT_EQ(row.Labels()[0], CString(L"...G..."));
}

TEST(TabRowTest, AnEmptyRowIsLeftAlone)
{
    TabRow row {};
    EXPECT_TRUE(row.Fit(10));
    EXPECT_FALSE(row.Fit(10, false));
}

} // namespace
