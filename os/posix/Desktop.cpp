#include "os/Desktop.h"

// Set by the build: whether this system's windows go through an X or Wayland display server.
bool UsesDisplayServer() { return ROOTFINDER_DISPLAY_SERVER; }

std::span<const char* const> ExtraFontFiles()
{
    static const char* const kFiles[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};
    return kFiles;
}

std::string SystemFontFolder() { return {}; }
