#include "commandbars/DateTimeCtrl.h"
#include "commandbars/PopupCalendar.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "datetime/core/Clock.h"
#include "datetime/core/DateLocale.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

// The format of the Date & Time page.
constexpr const wchar_t* PageFormat = L"dddd  dd.MM.yyyy  HH:mm:ss tt";

COleDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return COleDateTime(year, month, day, hour, minute, second);
}

class DateTimeCtrlTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        beeps = 0;
        previousBeep = SetMessageBeepHook([this](UINT) { ++beeps; });
    }
    void TearDown() override
    {
        SetMessageBeepHook(previousBeep);
        control.DestroyWindow();
        HeadlessFrameTest::TearDown();
    }
    void Make(const wchar_t* format = PageFormat, DWORD dtcStyle = SECDateTimeCtrl::DTCS_DROPDOWN | SECDateTimeCtrl::DTCS_SPIN,
        DWORD exStyle = WS_EX_CLIENTEDGE)
    {
        control.SetFormat(format);
        control.SetDate(At(2024, 4, 15));
        control.SetTime(At(2024, 4, 15, 13, 5, 9));
        ASSERT_TRUE(control.Create(exStyle, WS_CHILD | WS_VISIBLE | WS_TABSTOP | dtcStyle, CRect(10, 10, 300, 34), frame, 1020));
        control.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        control.EnableFastEntry(TRUE);
        control.SizeToContent();
        control.SetFocus();
        Pump();
    }
    CString Text() const { return control.GetWindowText(); }
    SECDTGadget* Field(int id) const { return control.FindGadget(id); }
    void Focus(int id)
    {
        for (int i = 0; i < control.GetGadgetCount(); ++i)
            if (control.GetGadget(i)->GetID() == id) {
                while (control.GetCurrentIndex() > i)
                    Key(VK_LEFT);
                while (control.GetCurrentIndex() < i)
                    Key(VK_RIGHT);
                return;
            }
        FAIL() << "no field " << id;
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            control.SendMessage(WM_CHAR, ch);
        Pump();
    }

    ScopedFixedClock clock { 1718454896 /* 2024-06-15 12:34:56 UTC */, FixedOffsetZone(0) };
    ScopedDateLocale locale { DateLocale::Default() };
    SECDateTimeCtrl control;
    int beeps = 0;
    MessageBeepHook previousBeep;
};

TEST_F(DateTimeCtrlTest, TheFormatBecomesFieldsAndLiterals)
{
    Make();
    EXPECT_EQ(Text(), L"Monday  15.04.2024  13:05:09 PM");
    ASSERT_TRUE(Field(SECDateTimeCtrl::DayName));
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetValue(), 1);
    EXPECT_EQ(Field(SECDateTimeCtrl::Year4)->GetValue(), 2024);
    EXPECT_EQ(control.GetGadget(0)->GetID(), SECDateTimeCtrl::DropDownButton) << "the buttons stand first";
    EXPECT_EQ(control.GetGadget(1)->GetID(), SECDateTimeCtrl::SpinButton);
}

} // namespace
