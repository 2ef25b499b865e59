// SETREBOOTFLAG and PROMPTREBOOT. Neither reports a failure of the system calls
// it makes.
#include <windows.h>

#include "commands/interaction/restart_families.h"
#include "commands/interaction/restart_request.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/schedule_delete.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/windows_family.h"

namespace {
constexpr const char* kRebootCaption = "Calvane Pendra";
constexpr UINT kRebootBoxFlags = MB_YESNO | MB_ICONQUESTION | MB_SERVICE_NOTIFICATION;  // 0x200024
constexpr std::size_t kQuestionSize = 1024;

// A flag starting with "REINSTALL" (case counts) goes to "pendrainst.ini", any
// other to "Tevlin\Agent\Reboot.ini", both in the Windows folder; the flag is
// gone after the next restart. The flag is taken as written.
unsigned SetRebootFlag(EngineContext&, ScriptLine& line) {
  const std::string flag = TrimmedCopy(line.argumentText);
  const std::string windows = WindowsFolder();
  if (windows.empty()) return 0;
  const bool reinstall = flag.compare(0, 9, "REINSTALL") == 0;
  const std::string file =
      windows + (reinstall ? "\\pendrainst.ini" : "\\Tevlin\\Agent\\Reboot.ini");
  WritePrivateProfileStringA("Reboot", flag.c_str(), "1", file.c_str());
  ScheduleDelete(file);
  return 0;
}

// Enables the shutdown privilege in the process's own token; false when the
// system refuses (then nothing is restarted).
bool EnableShutdownPrivilege() {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    return false;
  }
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  SetLastError(0);
  AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
  return GetLastError() == 0;  // 1300: the token does not hold the privilege
}

unsigned PromptReboot(EngineContext& ctx, ScriptLine& line) {
  std::string question;
  ExpandSymbols(ctx, line.argumentText, question, kQuestionSize);
  if (!TheHostValues().quietMode &&
      MessageBoxA(nullptr, question.c_str(), kRebootCaption, kRebootBoxFlags) != IDYES) {
    return 0;
  }
  if (IsNtFamily()) {
    if (!EnableShutdownPrivilege()) {
      LogStatus("PROMPTREBOOT: the shutdown privilege cannot be enabled (%lu)", GetLastError());
      return 0;
    }
    StartRestart(RestartRoute::NtShutdown);
  } else {
    StartRestart(RestartRoute::Win9xExitThread);
  }
  return 0;
}
}  // namespace

void RegisterRestartCommands(HandlerTable& table) {
  table.Add(kCmdSetRebootFlag, SetRebootFlag);
  table.Add(kCmdPromptReboot, PromptReboot);
}
