#include "os/Console.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

void PrepareConsole()
{
    // Descriptors are handed out lowest first: filling 0, 1, 2 in order puts each on its own number.
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor)
        if (fcntl(descriptor, F_GETFD) < 0 && errno == EBADF) open("/dev/null", O_RDONLY);
    std::signal(SIGXFSZ, SIG_IGN);
}
