// Test helper: lives for the number of milliseconds given as its argument (1000 by
// default), then exits with 0. Stands in for a starting process that goes away.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  Sleep(argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 1000);
  return 0;
}
