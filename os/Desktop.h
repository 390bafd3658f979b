#pragma once
// What the window program and the chart module need to know of the desktop they run on.
#include <span>
#include <string>

// Whether windows are shown through a display server the environment names (DISPLAY for X,
// WAYLAND_DISPLAY for Wayland), which may be unnamed or out of reach: the Unix desktops other
// than macOS. Windows and macOS always have a desktop to open a window on.
bool UsesDisplayServer();

// Font files the forms' Tahoma may come in where the system does not provide it (Debian's
// fonts-wine installs it outside fontconfig's paths); those that exist are added to the program's.
std::span<const char* const> ExtraFontFiles();

// The folder of the system's fonts, for Qt's offscreen platform, which reads its fonts from a
// folder; empty where Qt finds them itself (through fontconfig).
std::string SystemFontFolder();
