#include "os/Console.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

void PrepareConsole()
{
    // Text mode would turn every "\n" into "\r\n"; the report is UTF-8 and the console shows it
    // as such only under code page 65001.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}
