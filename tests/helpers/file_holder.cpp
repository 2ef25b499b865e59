// Test helper: holds a file the way another program would.
//   file_holder open <path> <share mode> <milliseconds> [event name]
//     opens the file for reading and writing with that share mode (0: nobody);
//   file_holder load <dll path> <milliseconds> [event name]
//     loads the library.
// It signals the named event once the file is held, holds it for the time given
// and exits with 0 (1 when the file could not be held).
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char **argv) {
  if (argc < 4)
    return 2;
  bool load = std::strcmp(argv[1], "load") == 0;
  int timeArg = load ? 3 : 4;
  if (argc <= timeArg)
    return 2;
  HANDLE file = INVALID_HANDLE_VALUE;
  HMODULE module = nullptr;
  if (load) {
    module = LoadLibraryA(argv[2]);
  } else {
    file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE,
                       static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)),
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (module == nullptr && file == INVALID_HANDLE_VALUE)
    return 1;
  if (argc > timeArg + 1) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[timeArg + 1]);
    if (ready) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  Sleep(static_cast<DWORD>(std::strtoul(argv[timeArg], nullptr, 10)));
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  if (module)
    FreeLibrary(module);
  return 0;
}
