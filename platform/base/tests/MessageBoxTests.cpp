#include "platform/base/MessageBox.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageBox, TheInstalledHandlerSeesAndAnswersTheBox)
{
    std::wstring seenText, seenCaption;
    UINT seenType = 0;
    auto previous = SetMessageBoxHandler([&](const wchar_t* text, const wchar_t* caption, UINT type) {
        seenText = text;
        seenCaption = caption ? caption : L"";
        seenType = type;
        return IDNO;
    });
    EXPECT_EQ(ShowMessageBox(L"Unable to allocate Shared Memory", L"Error", MB_YESNO | MB_ICONSTOP), IDNO);
    EXPECT_EQ(seenText, L"Unable to allocate Shared Memory");
    EXPECT_EQ(seenCaption, L"Error");
    EXPECT_EQ(seenType, MB_YESNO | MB_ICONSTOP);
    EXPECT_EQ(AfxMessageBox(L"x"), IDNO);
    EXPECT_EQ(seenCaption, L"");
    SetMessageBoxHandler(previous);
}

TEST(MessageBox, WithoutAHandlerTheDefaultButtonAnswers)
{
    auto previous = SetMessageBoxHandler(nullptr);
    EXPECT_EQ(AfxMessageBox(L"t", MB_OK), IDOK);
    EXPECT_EQ(AfxMessageBox(L"t", MB_YESNO), IDYES);
    EXPECT_EQ(AfxMessageBox(L"t", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox(L"t", MB_RETRYCANCEL), IDRETRY);
    SetMessageBoxHandler(previous);
}
