#include "os/SystemError.h"
#include "os/SystemErrorPlatform.h"

#include <cerrno>

namespace platform {

const char* DescribeOwnErrno(int error) { return error == EDQUOT ? "превышена дисковая квота" : nullptr; }

// The system's codes are errno values here.
std::string DescribeSystemCode(int code) { return DescribeSystemError(code); }

} // namespace platform
