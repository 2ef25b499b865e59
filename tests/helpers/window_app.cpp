// Test helper: shows one top-level window and pumps its messages.
//
//   window_app.exe <class> <title> [options]
//     --ignore-close        WM_CLOSE is answered but the window stays (default: it closes)
//     --hang <ms>           right after the window exists, stop answering messages for <ms>
//     --life <ms>           exit on its own after <ms> (default 60000): no test leaves it behind
//     --ready <name>        set the named manual-reset event once the window exists (the
//                           test creates the event first, so it outlives this process)
//
// Exit codes: 10 closed through WM_CLOSE (so a test can tell it from the 0 of
// TerminateProcess), 3 lifetime over, 2 bad command line or no window.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool g_ignoreClose = false;
const UINT_PTR kLifeTimer = 1;
const int kExitLifeOver = 3;
const int kExitClosed = 10;

DWORD ParseMs(const char *text) { return static_cast<DWORD>(std::strtoul(text, nullptr, 10)); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (!g_ignoreClose) DestroyWindow(window);
      return 0;
    case WM_TIMER:
      if (wParam == kLifeTimer) {
        KillTimer(window, kLifeTimer);
        PostQuitMessage(kExitLifeOver);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(kExitClosed);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  const std::string className = argv[1];
  const std::string title = argv[2];
  DWORD hangMs = 0;
  DWORD lifeMs = 60000;
  std::string readyEvent;
  for (int i = 3; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--ignore-close") == 0) {
      g_ignoreClose = true;
    } else if (std::strcmp(argv[i], "--hang") == 0 && hasValue) {
      hangMs = ParseMs(argv[++i]);
    } else if (std::strcmp(argv[i], "--life") == 0 && hasValue) {
      lifeMs = ParseMs(argv[++i]);
    } else if (std::strcmp(argv[i], "--ready") == 0 && hasValue) {
      readyEvent = argv[++i];
    } else {
      return 2;
    }
  }

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className.c_str();
  if (RegisterClassA(&windowClass) == 0) return 2;
  HWND window =
      CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 2;
  SetTimer(window, kLifeTimer, lifeMs, nullptr);

  if (!readyEvent.empty()) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyEvent.c_str());
    if (ready != nullptr) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  if (hangMs != 0) Sleep(hangMs);

  MSG message;
  int exitCode = 0;
  while (true) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      exitCode = static_cast<int>(message.wParam);
      break;
    }
    if (got == -1) {
      exitCode = 2;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return exitCode;
}
