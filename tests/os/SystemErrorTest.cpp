// System errors in words, each code read in its own domain (the halves' own codes: posix/, windows/).
#include "os/SystemError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SystemErrors, ErrnoValuesAreDescribedInRussian)
{
    struct Case {
        std::error_code code;
        std::string text;
    };
    const std::vector<Case> cases = {
        {std::make_error_code(std::errc::no_space_on_device), "на диске нет места"},
        {std::make_error_code(std::errc::bad_file_descriptor), "поток закрыт или не открыт для записи"},
        {std::error_code(12345, std::generic_category()), "системная ошибка 12345"}};
    for (const Case& c : cases) EXPECT_EQ(DescribeSystemError(c.code), c.text) << c.code.value();
}

} // namespace
