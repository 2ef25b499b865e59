// The run commands and SHELLEXECUTE. A run command starts the program its argument names (joined to
// the working folder unless the argument is absolute or asks for the search path), shown or hidden,
// and with RUNWAIT / RUNHIDEWAIT waits for it to end while the engine thread's messages keep being
// dispatched. None of them fails because a program could not be started: that leaves one
// "CreateProcess Error: " log line. They fail only when the argument's expansion would be cut (59)
// or names a missing symbol (28), since they must never start a program the script did not name.
#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>

#include "commands/interaction/message_waits.h"
#include "commands/system/run_command_line.h"
#include "commands/system/program_families.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/win_handles.h"

namespace {
constexpr std::size_t kRunExpansionSize = 10240;
constexpr std::size_t kShellExpansionSize = 260;
constexpr WORD kShowShown = SW_SHOWDEFAULT;  // 10
constexpr WORD kShowHidden = SW_HIDE;        // 0
constexpr DWORD kIdleWaitMs = 1000;
constexpr DWORD kSettleMs = 500;

// The system's text of `code`, without its line end.
std::string SystemErrorText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0,
      nullptr);
  UniqueLocalMemory owner(buffer);
  std::string text = length ? std::string(buffer, length) : "Error " + std::to_string(code);
  TrimText(text);
  return text;
}

// Starts `commandLine` with the show mode and, with `wait`, waits for its end. Always 0.
unsigned RunProgram(const std::string& commandLine, WORD showMode, bool wait) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showMode;
  PROCESS_INFORMATION started{};
  std::string writable = commandLine;  // CreateProcessA may write into its command line
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &started)) {
    LogStatus("CreateProcess Error: %s", SystemErrorText(GetLastError()).c_str());
    return 0;
  }
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  if (!wait) {
    WaitForInputIdle(process.Get(), kIdleWaitMs);
  } else {
    // No limit: the wait ends with the process (or a failing wait), serving the thread's
    // messages all along.
    WaitHandleWithMessages(process.Get(), INFINITE);
  }
  SleepWithMessages(kSettleMs);
  return 0;
}

unsigned RunCommand(EngineContext& ctx, ScriptLine& line, WORD showMode, bool wait) {
  std::string text;
  if (unsigned rc = ExpandForAction(ctx, line.argumentText, text, kRunExpansionSize)) {
    return FailLine(ctx, line, rc);
  }
  TrimText(text);
  std::string commandLine;
  CommandLineForm form = BuildCommandLine(text, ctx.workDir, commandLine);
  LogMessage(kMsgStartingApplication, text.c_str());
  switch (form) {
    case CommandLineForm::Ready:
      return RunProgram(commandLine, showMode, wait);
    case CommandLineForm::TooLong:
      LogStatus(
          "CreateProcess Error: the command line is longer than %u bytes; "
          "nothing was "
          "started.",
          static_cast<unsigned>(kCommandLineSize - 1));
      return 0;
    case CommandLineForm::NoWorkDir:
      LogStatus(
          "CreateProcess Error: no working folder is set to find the "
          "program of \"%s\" "
          "in; nothing was started.",
          text.c_str());
      return 0;
  }
  return 0;
}

unsigned Run(EngineContext& ctx, ScriptLine& line) {
  return RunCommand(ctx, line, kShowShown, false);
}
unsigned RunWait(EngineContext& ctx, ScriptLine& line) {
  return RunCommand(ctx, line, kShowShown, true);
}
unsigned RunHide(EngineContext& ctx, ScriptLine& line) {
  return RunCommand(ctx, line, kShowHidden, false);
}
unsigned RunHideWait(EngineContext& ctx, ScriptLine& line) {
  return RunCommand(ctx, line, kShowHidden, true);
}

// Opens the file or document with the shell's "open" verb, hidden. The outcome does not change the
// status; a refusal leaves a log line.
unsigned ShellExecuteCommand(EngineContext& ctx, ScriptLine& line) {
  std::string target;
  if (unsigned rc =
          ExpandForAction(ctx, TrimmedCopy(line.argumentText), target, kShellExpansionSize)) {
    return FailLine(ctx, line, rc);
  }
  ShellTarget decided = DecideShellTarget(target);
  HINSTANCE result =
      ShellExecuteA(nullptr, "open", decided.file.c_str(),
                    decided.parameters.empty() ? nullptr : decided.parameters.c_str(), nullptr,
                    SW_HIDE);
  auto code = reinterpret_cast<INT_PTR>(result);
  if (code <= 32) LogStatus("ShellExecute Error %d: %s", static_cast<int>(code), target.c_str());
  return 0;
}
}  // namespace

void RegisterRunCommands(HandlerTable& table) {
  table.Add(kCmdRun, Run);
  table.Add(kCmdRunWait, RunWait);
  table.Add(kCmdRunHide, RunHide);
  table.Add(kCmdRunHideWait, RunHideWait);
  table.Add(kCmdShellExecute, ShellExecuteCommand);
}
