// Test helper: window_app.exe <class> <title> [--ignore-close] [--hang <ms>] [--life <ms>]
// [--ready <event>] shows one window; exits 10 on WM_CLOSE, 3 when its life (60 s) is over.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {
bool g_ignoreClose = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (!g_ignoreClose) DestroyWindow(window);
      return 0;
    case WM_TIMER:  // the lifetime is over
      KillTimer(window, wParam);
      PostQuitMessage(3);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(10);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  DWORD hangMs = 0, lifeMs = 60000;
  const char* readyEvent = nullptr;
  for (int i = 3; i < argc; ++i) {
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (std::strcmp(argv[i], "--ignore-close") == 0) {
      g_ignoreClose = true;
      continue;
    }
    if (!value) return 2;
    if (std::strcmp(argv[i], "--hang") == 0) {
      hangMs = std::strtoul(value, nullptr, 10);
    } else if (std::strcmp(argv[i], "--life") == 0) {
      lifeMs = std::strtoul(value, nullptr, 10);
    } else if (std::strcmp(argv[i], "--ready") == 0) {
      readyEvent = value;
    } else {
      return 2;
    }
    ++i;
  }
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = argv[1];
  HWND window = RegisterClassA(&windowClass)
                    ? CreateWindowExA(0, argv[1], argv[2], WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 200, 100, nullptr, nullptr,
                                      windowClass.hInstance, nullptr)
                    : nullptr;
  if (!window) return 2;
  SetTimer(window, 1, lifeMs, nullptr);
  if (readyEvent) {
    if (HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyEvent)) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  Sleep(hangMs);
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 2;
}
