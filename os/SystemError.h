#pragma once
// System errors in words (Russian), for messages.
#include <string>
#include <system_error>

// An errno value in words.
std::string DescribeSystemError(int error);
// An error code in words: the system's own codes (Windows' are no errno values) are read in their
// own domain, the others as errno values.
std::string DescribeSystemError(const std::error_code& error);
