#include "platform/base/Exceptions.h"
#include "platform/base/MessageBox.h"
#include "platform/base/RunTimeClass.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape {
    DECLARE_DYNCREATE(CCircle)
public:
    int radius = 7;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CSquare : public CShape {
    DECLARE_DYNCREATE(CSquare)
};
IMPLEMENT_DYNCREATE(CSquare, CShape)

TEST(RunTimeClassTest, ObjectsKnowTheirClassAndItsAncestors)
{
    CCircle circle;
    const CObject& object = circle;
    EXPECT_EQ(object.GetRuntimeClass(), RUNTIME_CLASS(CCircle));
    EXPECT_STREQ(object.GetRuntimeClass()->m_lpszClassName, "CCircle");
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(object.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_FALSE(object.IsKindOf(nullptr));
    EXPECT_FALSE(object.IsSerializable());

    CObject* pointer = &circle;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, pointer), &circle);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CSquare, pointer), nullptr);
}

TEST(RunTimeClassTest, ClassesAreMadeFromTheirRecordOrTheirName)
{
    CObject* made = RUNTIME_CLASS(CCircle)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<CCircle*>(made)->radius, 7);
    delete made;

    std::unique_ptr<CObject> byName(CRuntimeClass::CreateObject(L"CSquare"));
    ASSERT_NE(byName, nullptr);
    EXPECT_TRUE(byName->IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_EQ(CRuntimeClass::FromName("CCircle"), RUNTIME_CLASS(CCircle));
    EXPECT_EQ(CRuntimeClass::FromName("ccircle"), nullptr);  // names are exact
    EXPECT_EQ(CRuntimeClass::FromName(static_cast<const char*>(nullptr)), nullptr);
    // A class without dynamic creation is found but not made.
    EXPECT_EQ(CRuntimeClass::FromName(L"CShape"), RUNTIME_CLASS(CShape));
    EXPECT_EQ(CRuntimeClass::CreateObject("CShape"), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject("NoSuchClass"), nullptr);
}

TEST(ExceptionTest, ThrownPointersAreCaughtByTheirBaseAndCarryTheirMessage)
{
    struct Case {
        void (*thrower)();
        CRuntimeClass* expected;
        const wchar_t* message;
    } cases[] = {
        { [] { AfxThrowFileException(CFileException::fileNotFound, 2, L"a.fm"); }, RUNTIME_CLASS(CFileException),
          L"a.fm was not found." },
        { [] { AfxThrowInvalidArgException(); }, RUNTIME_CLASS(CInvalidArgException), L"Invalid argument." },
        { [] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException), L"A required resource was unavailable." },
        { [] { AfxThrowArchiveException(CArchiveException::endOfFile, L"x.dat"); }, RUNTIME_CLASS(CArchiveException),
          L"Unexpected end of file while reading x.dat." },
        { [] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException), L"" },
    };
    for (const auto& c : cases) {
        try {
            c.thrower();
            FAIL() << "nothing thrown";
        } catch (CException* error) {
            EXPECT_TRUE(error->IsKindOf(c.expected));
            wchar_t text[256] = L"unchanged";
            EXPECT_EQ(error->GetErrorMessage(text, 256), *c.message ? TRUE : FALSE);
            EXPECT_STREQ(text, c.message);
            error->Delete();
        }
    }
}

TEST(ExceptionTest, MessagesAreCutToTheBufferAndTheSharedMemoryExceptionSurvivesDelete)
{
    CFileException error(CFileException::accessDenied, 5, L"/very/long/name.txt");
    wchar_t text[8];
    EXPECT_TRUE(error.GetErrorMessage(text, 8));
    EXPECT_STREQ(text, L"Access ");

    CMemoryException* first = nullptr;
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* caught) {
        first = caught;
        caught->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* caught) {
        EXPECT_EQ(caught, first);  // the same object, still alive
        EXPECT_FALSE(caught->m_bAutoDelete);
    }
}

TEST(ExceptionTest, CausesFollowSystemErrors)
{
    EXPECT_EQ(CFileException::OsErrorToException(2), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::OsErrorToException(3), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToException(5), CFileException::accessDenied);
    EXPECT_EQ(CFileException::OsErrorToException(112), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToException(9999), CFileException::genericException);
    EXPECT_EQ(CFileException::ErrnoToException(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::ErrnoToException(EACCES), CFileException::accessDenied);
}

TEST(ExceptionTest, ReportErrorShowsTheMessage)
{
    std::wstring shown;
    auto previous = SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        shown = text;
        return IDOK;
    });
    CFileException error(CFileException::diskFull, 112, L"out.txt");
    EXPECT_EQ(error.ReportError(), IDOK);
    EXPECT_EQ(shown, L"The disk is full while accessing out.txt.");
    SetMessageBoxHandler(previous);
}

} // namespace
