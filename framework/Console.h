#pragma once
// The command line's standard streams: bytes out as written (LF line ends, UTF-8 text) on every
// platform. On Windows, stdout and stderr are switched to binary mode and the console to the
// UTF-8 code page; elsewhere this does nothing.
void PrepareConsole();
