// Test helper: file_holder open <path> <share mode> <milliseconds> [event name] holds a file
// as another program would, setting the event once it does (exit code 1: it could not).
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE,
                            static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)), nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  if (argc > 5) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[5]);
    if (ready) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  Sleep(static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)));
  CloseHandle(file);
  return 0;
}
