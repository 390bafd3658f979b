#pragma once
// What each platform's half of SystemError describes itself (posix/, windows/).
#include <string>

namespace platform {

// An errno value only this platform's C library has, in words; nullptr for the others.
const char* DescribeOwnErrno(int error);
// A code of the system's own error category in words.
std::string DescribeSystemCode(int code);

} // namespace platform
