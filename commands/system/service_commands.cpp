// The service commands, through the service manager of the local machine. On the 95/98/Me
// family, which has no services, each does nothing and succeeds. None of them reports an
// error line: a failing command returns its code and the section ends there. Waits keep
// dispatching window messages, so the progress dialog stays alive while a service moves.
#include "commands/system/service_commands.h"

#include <windows.h>

#include <algorithm>

#include "commands/files/path_routines.h"
#include "commands/interaction/message_waits.h"
#include "commands/system/service_arguments_parse.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "support/windows_family.h"

namespace {
constexpr DWORD kQueryAndStop = SERVICE_QUERY_STATUS | SERVICE_STOP;    // 0x24
constexpr DWORD kQueryAndStart = SERVICE_QUERY_STATUS | SERVICE_START;  // 0x14
constexpr int kStartPendingRounds = 5;
// A wait hint is the service's own guess; 0xFFFFFFFF must not become an endless wait.
constexpr DWORD kLongestHintWaitMs = 10000;
constexpr int kWatchPolls = 30;
constexpr DWORD kPollMs = 1000;
constexpr DWORD kSettleMs = 2000;

UniqueServiceHandle OpenManager(DWORD access) {
  return UniqueServiceHandle(OpenSCManagerA(nullptr, nullptr, access));
}

// The service's state, or 0 when the query fails.
DWORD QueryState(SC_HANDLE service, SERVICE_STATUS* full = nullptr) {
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service, &status)) return 0;
  if (full) *full = status;
  return status.dwCurrentState;
}

void StopOne(SC_HANDLE manager, const std::string& name) {
  UniqueServiceHandle service(OpenServiceA(manager, name.c_str(), kQueryAndStop));
  if (!service) return;
  SERVICE_STATUS status{};
  if (QueryState(service.Get(), &status) == SERVICE_START_PENDING) {
    for (int round = 0; round < kStartPendingRounds; ++round) {
      SleepWithMessages(std::min(status.dwWaitHint, kLongestHintWaitMs));
      if (QueryState(service.Get(), &status) != SERVICE_START_PENDING) break;
    }
    SleepWithMessages(kPollMs);
  }
  DWORD state = QueryState(service.Get());
  bool watch = false;
  if (state == SERVICE_RUNNING) {
    LogMessage(kMsgStoppingService, name.c_str());
    SERVICE_STATUS answer{};
    if (ControlService(service.Get(), SERVICE_CONTROL_STOP, &answer)) {
      SleepWithMessages(kPollMs);
      state = QueryState(service.Get());
      watch = state != 0;
    }
  } else {
    watch = state == SERVICE_STOP_PENDING;
  }
  if (!watch) return;
  for (int poll = 0; state != SERVICE_STOPPED && poll < kWatchPolls; ++poll) {
    SleepWithMessages(kPollMs);
    state = QueryState(service.Get());
    if (state == 0) return;  // the query failed: no further wait
  }
  SleepWithMessages(kSettleMs);
}

void StartOne(SC_HANDLE manager, const std::string& name) {
  UniqueServiceHandle service(OpenServiceA(manager, name.c_str(), kQueryAndStart));
  if (!service) return;
  DWORD state = QueryState(service.Get());
  if (state == 0 || state == SERVICE_RUNNING || state == SERVICE_START_PENDING) return;
  LogMessage(kMsgStartingService, name.c_str());
  if (!StartServiceA(service.Get(), 0, nullptr)) return;
  SleepWithMessages(kPollMs);
  for (int wait = 0;; ++wait) {
    state = QueryState(service.Get());
    if (state == 0 || state == SERVICE_RUNNING || wait == kWatchPolls) return;
    SleepWithMessages(kPollMs);
  }
}

template <void (*Act)(SC_HANDLE, const std::string&)>
unsigned ForEachService(EngineContext&, ScriptLine& line) {
  if (!IsNtFamily()) return 0;
  UniqueServiceHandle manager = OpenManager(STANDARD_RIGHTS_READ);
  if (!manager) return 0;
  for (const std::string& name : ServiceNameList(line.argumentText)) Act(manager.Get(), name);
  return 0;
}

// Writes the "Description" value; failures are passed over, a key path that would not fit
// is skipped with a line rather than cut.
void WriteDescription(const ServiceDefinition& definition) {
  std::string keyPath = ServiceKeyPath(definition.name);
  if (keyPath.empty()) {
    LogStatus("Description of service %s not written: its key path is too long",
              definition.name.c_str());
    return;
  }
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_WRITE, key.Put()) !=
      ERROR_SUCCESS) {
    return;
  }
  const std::string& text = definition.description;
  RegSetValueExA(key.Get(), "Description", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
}

// The whole argument is expanded before it is taken apart, so a value holding a "," moves
// the fields; an expansion that would be cut ends the command with its code.
unsigned CreateServiceCommand(EngineContext& ctx, ScriptLine& line) {
  if (!IsNtFamily()) return 0;
  std::string expanded;
  if (unsigned rc = ExpandForAction(ctx, line.argumentText, expanded, kMaxArgumentBytes)) {
    return rc;
  }
  TrimText(expanded);
  ServiceDefinition definition;
  if (unsigned rc = ParseServiceDefinition(expanded, definition, IsExistingFile)) return rc;
  UniqueServiceHandle manager = OpenManager(SC_MANAGER_CREATE_SERVICE);
  if (!manager) return kErrNoRightsToUpgrade;
  const bool withAccount = definition.passwordRead;
  UniqueServiceHandle service(
      CreateServiceA(manager.Get(), definition.name.c_str(), definition.displayName.c_str(),
                     STANDARD_RIGHTS_READ, definition.serviceType, definition.startType,
                     SERVICE_ERROR_NORMAL, definition.program.c_str(), nullptr, nullptr, nullptr,
                     withAccount ? definition.account.c_str() : nullptr,
                     withAccount ? definition.password.c_str() : nullptr));
  if (!service) {
    DWORD error = GetLastError();
    LogStatus("Could not create service %s (error %lu)", definition.name.c_str(), error);
    return error == ERROR_ACCESS_DENIED ? kErrNoRightsToUpgrade : kErrInvalidSwitch;
  }
  service.Reset();
  WriteDescription(definition);
  return 0;
}

// Only the first name of a list is used. A manager that cannot be opened is 45, as for
// CREATESERVICE: the service would otherwise stay while the script goes on as if removed.
unsigned DeleteServiceCommand(EngineContext&, ScriptLine& line) {
  if (!IsNtFamily()) return 0;
  UniqueServiceHandle manager = OpenManager(SC_MANAGER_ALL_ACCESS);
  if (!manager) return kErrNoRightsToUpgrade;
  std::vector<std::string> names = ServiceNameList(line.argumentText);
  if (names.empty()) return 0;
  const std::string& name = names.front();
  UniqueServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), DELETE));
  if (!service) {
    if (GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST) return kErrNoRightsToUpgrade;
    LogStatus("Could not find service %s", name.c_str());
    return 0;
  }
  return DeleteService(service.Get()) ? 0u : unsigned{kErrRemoveDir};
}

// "TRUE" only for a running service; start pending, missing and any failure are "FALSE".
unsigned IsServiceRunning(EngineContext& ctx, ScriptLine& line) {
  if (!IsNtFamily()) return 0;
  std::string symbolName, serviceName;
  if (unsigned rc = SplitNameValue(line.argumentText, kServiceFieldSize, kServiceFieldSize,
                                   symbolName, serviceName)) {
    return rc;
  }
  bool running = false;
  if (UniqueServiceHandle manager = OpenManager(STANDARD_RIGHTS_READ)) {
    UniqueServiceHandle service(
        OpenServiceA(manager.Get(), serviceName.c_str(), SERVICE_QUERY_STATUS));
    running = service && QueryState(service.Get()) == SERVICE_RUNNING;
  }
  return SetSymbol(ctx.symbols, symbolName, running ? "TRUE" : "FALSE");
}
}  // namespace

void RegisterServiceCommands(HandlerTable& table) {
  table.Add(kCmdStopService, ForEachService<StopOne>);
  table.Add(kCmdStartService, ForEachService<StartOne>);
  table.Add(kCmdCreateService, CreateServiceCommand, HidePassword);
  table.Add(kCmdDeleteService, DeleteServiceCommand);
  table.Add(kCmdIsServiceRunning, IsServiceRunning);
}
