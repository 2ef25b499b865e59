// CLOSEAPP, ISAPPRUNNING and WAITFORWINDOWCLOSE: applications named by the class name or the title
// of a top-level window of another process. A name is looked up first as a window class, then as a
// title; an empty name names no window.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "commands/interaction/message_waits.h"
#include "commands/system/program_command_parse.h"
#include "commands/system/program_families.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/mbcs.h"
#include "support/win_handles.h"

namespace {
constexpr std::size_t kNameSize = 260;
// This class is asked to close (WM_CLOSE); every other window is sent WM_DESTROY.
constexpr const char* kCloseMessageClass = "Tevlin_OsMainClass";
constexpr DWORD kStepMs = 1000;
constexpr int kClassLooks = 15;
constexpr DWORD kProcessEndWaitMs = 15000;
// A hung application must not hold the engine: the close message gives up after this.
constexpr UINT kSendTimeoutMs = 15000;

bool IsOwnWindow(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId == GetCurrentProcessId();
}

// The first top-level window of another process with this class (className != nullptr) or
// title.
HWND FindForeignWindow(const char* className, const char* title) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, className, title)) != nullptr) {
    if (!IsOwnWindow(window)) return window;
  }
  return nullptr;
}

enum class WindowMatch { ClassOrTitle, ClassOnly };

// The one lookup of all three commands: the application's window by its class name, then (with
// ClassOrTitle) by its title. The engine's own windows are never found: its progress dialog is a
// "#32770" window like any other program's dialog, and the engine neither closes itself, nor
// counts itself as a running application, nor waits for itself.
HWND FindAppWindow(const std::string& name, WindowMatch match) {
  if (name.empty()) return nullptr;
  HWND window = FindForeignWindow(name.c_str(), nullptr);
  if (window || match == WindowMatch::ClassOnly) return window;
  return FindForeignWindow(nullptr, name.c_str());
}

bool IsCloseMessageClass(const std::string& name) {
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, name.c_str(), -1,
                        kCloseMessageClass, -1) == CSTR_EQUAL;
}

void CloseApplication(const std::string& name) {
  HWND window = FindAppWindow(name, WindowMatch::ClassOrTitle);
  if (!window) return;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  // The process is opened once, now: an id looked up again later may name another process that has
  // since taken the number.
  UniqueKernelHandle process;
  if (processId != 0 && processId != GetCurrentProcessId()) {
    process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
  }
  LogMessage(kMsgClosingApplication, name.c_str());

  UINT message = IsCloseMessageClass(name) ? WM_CLOSE : WM_DESTROY;
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &answer)) {
    LogStatus("CLOSEAPP: %s did not answer its close message (error %lu).", name.c_str(),
              GetLastError());
  }

  SleepWithMessages(kStepMs);
  bool classWindowLeft = true;
  for (int look = 0; look < kClassLooks; ++look) {
    classWindowLeft = FindAppWindow(name, WindowMatch::ClassOnly) != nullptr;
    SleepWithMessages(kStepMs);
    if (!classWindowLeft) break;
  }

  if (!process) return;
  if (!classWindowLeft &&
      WaitHandleWithMessages(process.Get(), kProcessEndWaitMs) == WAIT_OBJECT_0) {
    return;
  }
  TerminateProcess(process.Get(), 0);
}

unsigned CloseApp(EngineContext&, ScriptLine& line) {
  for (const std::string& name : CloseAppNames(line.argumentText)) CloseApplication(name);
  return 0;
}

unsigned IsAppRunning(EngineContext& ctx, ScriptLine& line) {
  std::string symbol, name;
  if (unsigned rc = SplitNameValue(line.argumentText, kNameSize, kNameSize, symbol, name)) {
    return rc;  // unreported
  }
  const char* answer = FindAppWindow(name, WindowMatch::ClassOrTitle) ? "TRUE" : "FALSE";
  return FailLine(ctx, line, SetSymbol(ctx.symbols, symbol, answer));
}

// Waits in whole seconds, at least one, while the window is there (a limit of 0 still waits one
// second); without a limit as long as it is there.
unsigned WaitForWindowClose(EngineContext& ctx, ScriptLine& line) {
  const WindowWaitArgs args = ParseWindowWait(line.argumentText);
  if (args.name.empty()) return FailLine(ctx, line, kErrInvalidSwitch);
  if (!FindAppWindow(args.name, WindowMatch::ClassOrTitle)) return 0;
  WaitLimit longest = args.limit;
  if (!longest.unlimited) {
    longest.ms = std::max<std::uint32_t>(1, (longest.ms + kStepMs - 1) / kStepMs) * kStepMs;
  }
  LogStatus("Waiting %s for the window %s to close.", WaitLimitText(longest).c_str(),
            args.name.c_str());
  std::uint64_t waited = kStepMs;
  do {
    SleepWithMessages(kStepMs);
    if (!args.limit.unlimited && waited >= args.limit.ms) break;
    waited += kStepMs;
  } while (FindAppWindow(args.name, WindowMatch::ClassOrTitle));
  return 0;
}
}  // namespace

void RegisterAppWindowCommands(HandlerTable& table) {
  table.Add(kCmdCloseApp, CloseApp);
  table.Add(kCmdIsAppRunning, IsAppRunning);
  table.Add(kCmdWaitForWindowClose, WaitForWindowClose);
}
