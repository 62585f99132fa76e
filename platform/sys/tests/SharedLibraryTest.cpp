#include "platform/sys/SharedLibrary.h"

#include <gtest/gtest.h>

namespace {

using fln::sys::SharedLibrary;

TEST(SharedLibraryTest, ResolvesTheFunctionsOfAnInstalledLibrary)
{
    SharedLibrary library("libm.so.6");
    ASSERT_TRUE(library.available());
    double (*hypotenuse)(double, double) = nullptr;
    ASSERT_TRUE(library.resolve(hypotenuse, "hypot"));
    EXPECT_DOUBLE_EQ(hypotenuse(3, 4), 5);
    EXPECT_EQ(library.function<double(double)>("no_such_function_here"), nullptr);
}

double Twice(double x) { return 2 * x; }

TEST(SharedLibraryTest, AMissingLibraryClearsThePointersItResolves)
{
    SharedLibrary library("libformulon-absent.so.0");
    EXPECT_FALSE(library.available());
    double (*function)(double) = &Twice;
    EXPECT_FALSE(library.resolve(function, "cos"));
    EXPECT_EQ(function, nullptr);
}

}
