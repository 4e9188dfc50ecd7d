#pragma once

// Path answers shared by the graphics hosts of POSIX systems without a desktop
// framework of their own (the X11 host and the headless one). Any thread.

class WDL_String;

// The folder part of a path with its trailing '/', or "" without one.
void PosixFolderOf(const char* path, WDL_String* pFolder);
// The running program's own path (empty when the system does not say).
void PosixExecutablePath(WDL_String* pPath);
// $HOME/Desktop/ (just "/Desktop/" without a HOME).
void PosixDesktopPath(WDL_String* pPath);
