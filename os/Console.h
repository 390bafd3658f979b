#pragma once
// The command line's standard streams: bytes out as written (LF line ends, UTF-8 text) on every
// platform. On Windows, stdout and stderr are switched to binary mode and the console to the
// UTF-8 code page. Elsewhere, a standard descriptor (0, 1 or 2) the program was started without
// is opened on /dev/null for reading only, so no file the program opens can take its number and a
// write to it still fails; and a write beyond the file-size limit (ulimit -f) fails with EFBIG
// instead of ending the process, so it is reported and cleaned up as any failed write.
void PrepareConsole();
