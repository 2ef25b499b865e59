#include "host/host_run.h"

#include <windows.h>

#include "commands/interaction/message_waits.h"
#include "commands/interaction/restart_families.h"
#include "engine/agent_link.h"
#include "engine/errors.h"
#include "engine/final_status.h"
#include "engine/host_values.h"
#include "engine/runner.h"
#include "engine/script_file.h"
#include "host/check_run.h"
#include "host/command_families.h"
#include "host/command_line_parse.h"
#include "host/parent_watch.h"
#include "host/script_folder_cleanup.h"
#include "host/server_registration.h"
#include "support/log.h"
#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"

namespace {
constexpr const char* kAgentKeyPath = "SOFTWARE\\Tevlin\\Agent";
constexpr const char* kUsageText = "Usage:\nOrqex /Script=C:\\MyTest.Orq /Log=orqex.log";
constexpr const char* kUsageCaption = "Orqex usage Error";
constexpr DWORD kFinalDispatchMs = 1000;
constexpr const char* kWhatIfNotice = "WhatIf run: nothing on this machine was changed";

// "dwBreakOnORQStart" as a 4-byte number; 0 when the key or the value is missing.
DWORD ReadBreakOnStart(HKEY agentKey) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!agentKey || RegQueryValueExA(agentKey, "dwBreakOnORQStart", nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
    return 0;
  }
  return value;
}

// The folder of the running program file, without a trailing backslash.
std::string ProgramFolder() {
  const std::string path = ProgramFilePath();
  std::size_t slash = FindLastChar(path, '\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

int RunRegistration(ServerRegistration registration) {
  long status = registration == ServerRegistration::Register ? RegisterLocalServer()
                                                             : UnregisterLocalServer();
  return status >= 0 ? 0 : static_cast<int>(kUsageExitCode);
}

// What the agent learns of the run. A failed run never reports success: when the run's
// status is not 0 and nothing has set a failure yet (a script that could not be loaded, a
// start section not found, a line that stopped the run without a report), the agent gets
// E_FAIL and the message the error report would have built.
// After a WhatIf run the message says so first.
FinalStatus StatusForAgent(unsigned runStatus, const std::string& errorText) {
  FinalStatus status = TheFinalStatus();
  if (runStatus != 0 && status.status >= 0) {
    status.status = kComFailure;
    status.message = FinalErrorMessage(runStatus, errorText);
  }
  if (TheHostValues().whatIfMode) {
    status.message = std::string(kWhatIfNotice) + (status.message.empty() ? "" : ". ") +
                     status.message;
  }
  return status;
}

int RunScript(const HostCommandLine& switches, const std::string& programFolder) {
  const ScriptLocation script = LocateScript(switches.scriptValue, programFolder);
  const std::string section = switches.section.empty() ? kDefaultStartSection : switches.section;

  AgentConnect(switches.callbackText, switches.appUtilText);
  LogStatus("ScriptFiles=%s, StartSection=%s", script.path.c_str(), section.c_str());
  std::string errorText;
  unsigned errorLine = 0;
  const unsigned status = ExecuteScript(script.path, section, script.folder, BuildHandlerTable(),
                                        &errorLine, &errorText);
  int exitCode = static_cast<int>(status);
  ReleaseRunCabInstaller();  // its server ends with the run

  // Once, whatever the outcome; both interfaces are released here, before COM ends.
  const FinalStatus final = StatusForAgent(status, errorText);
  AgentFinish(final.status, final.message);

  // Messages still on their way to this thread (the agent's, the progress dialog's) get
  // their chance before the end.
  SleepWithMessages(kFinalDispatchMs);

  // A script named without a folder lives in the program's folder, which stays.
  if (switches.deleteScriptDirectory && script.hasFolder) {
    if (switches.whatIf) {
      LogStatus("WhatIf: DeleteScriptDirectory would delete %s", script.folder.c_str());
    } else if (!TheLastRunRecord().fileOpened) {
      // A value cut at a "-" or "/" names some other folder: only the folder the script
      // was really read from may go.
      LogStatus("DeleteScriptDirectory: %s stays: the script was not read from it",
                script.folder.c_str());
    } else if (IsProtectedFolder(script.folder, programFolder)) {
      LogStatus("DeleteScriptDirectory: %s is a protected folder and stays", script.folder.c_str());
    } else {
      // Logged first: the log itself may live in that folder.
      LogStatus("DeleteScriptDirectory: %s", script.folder.c_str());
      DeleteScriptFolder(script.folder, programFolder);
    }
  }
  return exitCode;
}
}  // namespace

int RunHost() {
  int exitCode = static_cast<int>(kUsageExitCode);

  UniqueRegKey agentKey;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAgentKeyPath, 0, KEY_READ, agentKey.Put());
  // Without a debugger attached a breakpoint would only crash the program.
  if (ReadBreakOnStart(agentKey.Get()) != 0 && IsDebuggerPresent()) DebugBreak();

  const std::string commandLine = GetCommandLineA();
  const HostCommandLine switches = ParseCommandLine(commandLine);
  LogInit(kLogLevelStatus, switches.logName.value_or(kDefaultLogName));
  LogStatus("Command Line: %s", CommandLineForLog(commandLine).c_str());
  if (switches.whatIf) {
    LogStatus("WhatIf run: commands that would change this machine, ask or wait only say what "
              "they would do");
  }
  LogStatus("Before CoInitialize");
  const HRESULT com = CoInitialize(nullptr);
  LogStatus("After CoInitialize");

  const std::string programFolder = ProgramFolder();

  HostValues& hostValues = TheHostValues();
  hostValues.quietMode = switches.quiet;
  hostValues.whatIfMode = switches.whatIf;
  hostValues.rawParams = switches.rawParams;
  hostValues.paramsText = switches.paramsText;
  if (!switches.parentText.empty()) StartParentWatch(ParentProcessId(switches.parentText));

  if (switches.registration != ServerRegistration::None) {
    exitCode = RunRegistration(switches.registration);
  } else if (switches.scriptValue.empty()) {
    if (!switches.quiet) MessageBoxA(nullptr, kUsageText, kUsageCaption, MB_ICONERROR | MB_OK);
  } else if (switches.check) {
    exitCode = RunCheck(LocateScript(switches.scriptValue, programFolder).path,
                        switches.section.empty() ? kDefaultStartSection : switches.section);
  } else {
    exitCode = RunScript(switches, programFolder);
  }

  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
