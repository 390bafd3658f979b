#include "Console.h"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

void PrepareConsole()
{
#ifdef _WIN32
    // Text mode would turn every "\n" into "\r\n"; the report is UTF-8 and the console shows it
    // as such only under code page 65001.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#else
    // Descriptors are handed out lowest first: filling 0, 1, 2 in order puts each on its own number.
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor)
        if (fcntl(descriptor, F_GETFD) < 0 && errno == EBADF) open("/dev/null", O_RDONLY);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
