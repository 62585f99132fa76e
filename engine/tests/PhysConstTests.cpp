#include "engine/PhysConst.h"
#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>


namespace {

CString NameAt(const CPhysConst& constants, int index)
{
    CString name;
    constants.GetName(&name, index);
    return name;
}

CString Upper(CString text)
{
    return text.MakeUpper();
}

TEST(PhysConstTest, LooksValuesUpByNameIgnoringCase)
{
    CPhysConst constants;
    EXPECT_EQ(constants.GetValue(L"_c"), 299792458.0);
    EXPECT_EQ(constants.GetValue(L"_C"), 299792458.0);
    EXPECT_EQ(constants.GetValue(L"_n_a"), 6.0221367e23);
    EXPECT_EQ(constants.GetValue(L"_LAMBDA_BAR_e"), 3.86159323e-13);
    EXPECT_EQ(constants.GetValue(L"_g"), 9.80665);
    EXPECT_EQ(constants.IsConstName(L"_h_bar"), 1);
}

TEST(PhysConstTest, TextsThatAreNoConstantGiveZero)
{
    CPhysConst constants;
    for (const wchar_t* text : { L"***", L"", L"_", L"_cc", L"c", L"PI", L"_e" }) {
        EXPECT_EQ(constants.GetValue(text), 0.0) << CString(text).ToUtf8();
        EXPECT_EQ(constants.IsConstName(text), 0) << CString(text).ToUtf8();
    }
}

TEST(PhysConstTest, NamesRunFromAnEmptyEntryToTheEndMarker)
{
    CPhysConst constants;
    EXPECT_EQ(NameAt(constants, 0), L"");
    EXPECT_EQ(NameAt(constants, 1), L"_LAMBDA_BAR_e");
    EXPECT_EQ(NameAt(constants, 42), L"_c");
    EXPECT_EQ(NameAt(constants, 45), L"***");
    CString out;
    EXPECT_EQ(constants.GetName(&out, 44), L"_g");
    EXPECT_EQ(out, L"_g");
    for (int index : { -1, 46 }) {
        bool thrown = false;
        try {
            constants.GetName(&out, index);
        } catch (CInvalidArgException* error) {
            thrown = true;
            error->Delete();
        }
        EXPECT_TRUE(thrown) << index;
    }
}

// A prefix match that walks the names in order must be able to reach every name, and every name
// must have a value the parser can tell from "no constant".
TEST(PhysConstTest, EveryNameIsReachableByAnInOrderPrefixMatchAndHasAValue)
{
    CPhysConst constants;
    for (int later = 1; later <= CPhysConst::ConstantCount; ++later) {
        CString name = NameAt(constants, later);
        EXPECT_EQ(constants.IsConstName(name), 1) << name.ToUtf8();
        EXPECT_NE(constants.GetValue(name), 0.0) << name.ToUtf8();
        for (int earlier = 1; earlier < later; ++earlier) {
            CString prefix = Upper(NameAt(constants, earlier));
            EXPECT_NE(Upper(name).Left(prefix.GetLength()), prefix)
                << prefix.ToUtf8() << " hides " << name.ToUtf8();
        }
    }
}

} // namespace
