#include "os/SystemError.h"

#include <gtest/gtest.h>

namespace {

// Windows' own codes are no errno values: ERROR_ACCESS_DENIED is 5, as EIO is.
TEST(SystemErrors, SystemCodesAreWindowsOwn)
{
    EXPECT_EQ(DescribeSystemError(std::error_code(5, std::system_category())),
              "нет прав на запись"); // ERROR_ACCESS_DENIED
    EXPECT_EQ(DescribeSystemError(std::error_code(32, std::system_category())),
              "файл занят другой программой"); // ERROR_SHARING_VIOLATION
    EXPECT_EQ(DescribeSystemError(std::error_code(12345, std::system_category())), "системная ошибка Windows 12345");
}

} // namespace
