#include "support/windows_family.h"

#include <windows.h>

bool IsNtFamily() {
  static const bool nt = [] {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }();
  return nt;
}

bool IsWin9xFamily() { return (GetVersion() & 0x80000000u) != 0; }
