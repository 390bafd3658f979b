#include "os/SystemError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// The system's own codes are errno values here.
TEST(SystemErrors, SystemCodesAreErrnoValues)
{
    EXPECT_EQ(DescribeSystemError(std::error_code(EIO, std::system_category())), "ошибка ввода-вывода");
    EXPECT_EQ(DescribeSystemError(EDQUOT), "превышена дисковая квота");
}

} // namespace
