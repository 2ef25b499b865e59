// Test helper: exit_after_delay [milliseconds, 1000] stands in for a process that goes away.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  Sleep(argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 1000);
  return 0;
}
