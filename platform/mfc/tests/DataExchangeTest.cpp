#include "platform/base/Exceptions.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/Locale.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr int ID_NUMBER = 100, ID_NAME = 101;

// A form with one text control and one member of each kind, exchanged in that order.
template<typename Value>
class Form : public CWnd {
public:
    Value value {};
    CString name;
    std::function<void(CDataExchange*)> validate;

    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, ID_NAME, name);
        DDX_Text(dx, ID_NUMBER, value);
        if (validate)
            validate(dx);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        previousHandler = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        SetMessageBoxHandler(std::move(previousHandler));
    }
    template<typename Value>
    void Make(Form<Value>& form)
    {
        ASSERT_TRUE(form.CreateEx(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
        for (int id : { ID_NAME, ID_NUMBER }) {
            // Any window keeps its text; the exchange only needs that.
            ASSERT_NE(CreateWindowExW(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, 0, id == ID_NAME ? 0 : 30, 100, 20,
                          form.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr),
                nullptr);
        }
    }
    CString TextOf(CWnd& form, int id) { return form.GetDlgItem(id)->GetWindowText(); }
    void Type(CWnd& form, int id, const wchar_t* text) { ::SetWindowTextW(::GetDlgItem(form.m_hWnd, id), text); }

    CWinApp app { L"DataExchangeTest" };
    MessageBoxHandler previousHandler;
    std::vector<CString> boxes;
};

TEST_F(DataExchangeTest, NumbersAreShownInTheirClassicForms)
{
    Form<double> real;
    Make(real);
    struct { double value; const wchar_t* shown; } cases[] = {
        { 0.1, L"0.1" }, { 1.0 / 3.0, L"0.333333333333333" }, { 1e20, L"1e+020" }, { -2.5e-7, L"-2.5e-007" },
    };
    for (auto& c : cases) {
        real.value = c.value;
        ASSERT_TRUE(real.UpdateData(FALSE));
        EXPECT_EQ(TextOf(real, ID_NUMBER), CString(c.shown));
    }
    Form<float> single;
    Make(single);
    single.value = 1.0f / 3.0f;
    ASSERT_TRUE(single.UpdateData(FALSE));
    EXPECT_EQ(TextOf(single, ID_NUMBER), CString(L"0.333333"));
}

TEST_F(DataExchangeTest, TextIsReadBackAsTheMembersType)
{
    struct Case {
        const wchar_t* typed;
        bool readsAsInt, readsAsUInt, readsAsDouble;
    };
    const Case cases[] = {
        { L"42", true, true, true },          { L"  -7 ", true, false, true },    { L"+3", true, true, true },
        { L"1.5", false, false, true },       { L" .5e2", false, false, true },   { L"", false, false, false },
        { L"12abc", false, false, false },    { L"0x10", false, false, false },   { L"inf", false, false, false },
        { L"nan", false, false, false },      { L"99999999999", false, false, true }, { L"4294967295", false, true, true },
        { L"- 1", false, false, false },      { L"1e999", false, false, false },
    };
    Form<int> integer;
    Make(integer);
    Form<UINT> unsignedInteger;
    Make(unsignedInteger);
    Form<double> real;
    Make(real);
    for (const Case& c : cases) {
        Type(integer, ID_NUMBER, c.typed);
        Type(unsignedInteger, ID_NUMBER, c.typed);
        Type(real, ID_NUMBER, c.typed);
        EXPECT_EQ(bool(integer.UpdateData(TRUE)), c.readsAsInt) << c.typed;
        EXPECT_EQ(bool(unsignedInteger.UpdateData(TRUE)), c.readsAsUInt) << c.typed;
        EXPECT_EQ(bool(real.UpdateData(TRUE)), c.readsAsDouble) << c.typed;
    }
    Type(integer, ID_NUMBER, L" -7 ");
    ASSERT_TRUE(integer.UpdateData(TRUE));
    EXPECT_EQ(integer.value, -7);
}

TEST_F(DataExchangeTest, ADecimalCommaIsReadWhereTheUserWritesOne)
{
    Form<double> real;
    Make(real);
    {
        ScopedNumberLocale german({ .decimal = L",", .thousand = L"." });
        const std::pair<const wchar_t*, double> read[] = { { L"2,5", 2.5 }, { L" -0,125e2 ", -12.5 }, { L"2.5", 2.5 } };
        for (const auto& [typed, value] : read) {
            Type(real, ID_NUMBER, typed);
            ASSERT_TRUE(real.UpdateData(TRUE)) << typed;
            EXPECT_EQ(real.value, value) << typed;
        }
        Type(real, ID_NUMBER, L"1.234,5");
        EXPECT_FALSE(real.UpdateData(TRUE)) << "two separators are not one number";
    }
    ScopedNumberLocale english({ .decimal = L".", .thousand = L"," });
    Type(real, ID_NUMBER, L"2,5");
    EXPECT_FALSE(real.UpdateData(TRUE)) << "a comma that groups thousands is no decimal separator";
}

TEST_F(DataExchangeTest, ARefusedValueIsReportedFocusedAndSelected)
{
    Form<int> form;
    Make(form);
    Type(form, ID_NAME, L"kept");
    Type(form, ID_NUMBER, L"twelve");
    form.value = 5;
    EXPECT_FALSE(form.UpdateData(TRUE));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], CString(L"Please enter an integer."));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(form.m_hWnd, ID_NUMBER));
    EXPECT_EQ(form.name, CString(L"kept")) << "members before the refused one keep what was read";
    EXPECT_EQ(form.value, 5) << "the refused member keeps its value";

    Form<UINT> positive;
    Make(positive);
    Type(positive, ID_NUMBER, L"-1");
    EXPECT_FALSE(positive.UpdateData(TRUE));
    EXPECT_EQ(boxes.back(), CString(L"Please enter a positive integer."));
    Form<double> real;
    Make(real);
    Type(real, ID_NUMBER, L"x");
    EXPECT_FALSE(real.UpdateData(TRUE));
    EXPECT_EQ(boxes.back(), CString(L"Please enter a number."));
}

TEST_F(DataExchangeTest, ValidationRefusesValuesOutOfRangeOnlyWhenReading)
{
    Form<int> form;
    Make(form);
    form.validate = [&](CDataExchange* dx) { DDV_MinMaxInt(dx, form.value, 0, 90); };
    form.value = 91;
    EXPECT_TRUE(form.UpdateData(FALSE)) << "filling the controls validates nothing";
    EXPECT_FALSE(form.UpdateData(TRUE));
    EXPECT_EQ(boxes.back(), CString(L"Please enter an integer between 0 and 90."));
    Type(form, ID_NUMBER, L"90");
    EXPECT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(form.value, 90);

    Form<double> real;
    Make(real);
    real.validate = [&](CDataExchange* dx) { DDV_MinMaxDouble(dx, real.value, -1.5, 2.5); };
    Type(real, ID_NUMBER, L"3");
    EXPECT_FALSE(real.UpdateData(TRUE));
    EXPECT_EQ(boxes.back(), CString(L"Please enter a number between -1.5 and 2.5."));

    Form<UINT> count;
    Make(count);
    count.validate = [&](CDataExchange* dx) { DDV_MinMaxUInt(dx, count.value, 1, 10); };
    Type(count, ID_NUMBER, L"0");
    EXPECT_FALSE(count.UpdateData(TRUE));
    EXPECT_EQ(boxes.back(), CString(L"Please enter an integer between 1 and 10."));
}

TEST_F(DataExchangeTest, MaxCharsRefusesLongerText)
{
    Form<CString> form;
    Make(form);
    form.validate = [&](CDataExchange* dx) { DDV_MaxChars(dx, form.value, 4); };
    Type(form, ID_NUMBER, L"12345");
    EXPECT_FALSE(form.UpdateData(TRUE));
    EXPECT_EQ(boxes.back(), CString(L"Please enter no more than 4 characters."));
    Type(form, ID_NUMBER, L"1234");
    EXPECT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(form.value, CString(L"1234"));
}

TEST_F(DataExchangeTest, AMissingControlIsAProgrammingFault)
{
    Form<int> form;
    ASSERT_TRUE(form.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CDataExchange exchange(&form, TRUE);
    bool thrown = false;
    try {
        form.DoDataExchange(&exchange);
    } catch (CNotSupportedException* fault) {
        thrown = true;
        fault->Delete();
    }
    EXPECT_TRUE(thrown);
}

} // namespace
