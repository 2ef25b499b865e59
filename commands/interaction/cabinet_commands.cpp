// INSTALLCAB and RESETLASTUPDATE: requests to the cabinet installer component
// (OrqCab.exe, reached through COM). Without a registered component both do
// nothing and succeed.
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/files/path_routines.h"
#include "commands/interaction/cab_install_sink.h"
#include "commands/interaction/install_cab_parse.h"
#include "commands/interaction/message_waits.h"
#include "commands/interaction/restart_families.h"
#include "engine/agent_link.h"
#include "engine/errors.h"
#include "engine/final_status.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "orqcab_interfaces.h"
#include "support/log.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
// Every kind of server: in-process, handler, local and remote.
constexpr DWORD kInstallerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
// An installer heard from neither by Progress nor by Finished for this long has stopped
// working: the wait ends with a failure.
constexpr DWORD kInstallerSilenceMs = 60000;
// Tests shorten the silence limit through this variable (milliseconds), read once.
constexpr const char* kSilenceTestVariable = "ORQEX_TEST_CAB_SILENCE_MS";

DWORD InstallerSilenceMs() {
  static const DWORD limit = [] {
    std::string value(32, '\0');
    const DWORD length = GetEnvironmentVariableA(kSilenceTestVariable, value.data(), 32);
    const unsigned long ms = length > 0 && length < 32 ? std::strtoul(value.c_str(), nullptr, 10)
                                                       : 0;
    return ms > 0 && ms < kInstallerSilenceMs ? static_cast<DWORD>(ms) : kInstallerSilenceMs;
  }();
  return limit;
}

HRESULT CreateInstaller(ComPtr<IOrqCabInstaller>& installer) {
  return CoCreateInstance(CLSID_OrqCabInstaller, nullptr, kInstallerContext, IID_IOrqCabInstaller,
                          reinterpret_cast<void**>(installer.Put()));
}

// The installer may call back into this process on the user's behalf: the
// proxy's settings stay as they are, except that it may impersonate.
void AllowImpersonation(IUnknown* proxy) {
  DWORD authn = 0, authz = 0, level = 0, impersonation = 0, capabilities = 0;
  OLECHAR* principal = nullptr;
  RPC_AUTH_IDENTITY_HANDLE identity = nullptr;
  if (FAILED(CoQueryProxyBlanket(proxy, &authn, &authz, &principal, &level, &impersonation,
                                 &identity, &capabilities))) {
    return;
  }
  CoSetProxyBlanket(proxy, authn, authz, principal, level, RPC_C_IMP_LEVEL_IMPERSONATE, identity,
                    capabilities);
  CoTaskMemFree(principal);
}

// The installer of this run: one OrqCab serves every INSTALLCAB of a run (a server
// process costs far more than an installation's calls). One that ended or went silent is
// forgotten without another call into it (a call into a stopped process would never
// return), and the next INSTALLCAB starts a new one.
IOrqCabInstaller*& RunInstaller() {
  static IOrqCabInstaller* installer = nullptr;
  return installer;
}

void ForgetRunInstaller() { RunInstaller() = nullptr; }  // deliberately not released

// The run's installer, created when there is none.
HRESULT TakeRunInstaller(IOrqCabInstaller*& installer, bool& created) {
  installer = RunInstaller();
  created = installer == nullptr;
  if (installer) return S_OK;
  ComPtr<IOrqCabInstaller> made;
  const HRESULT status = CreateInstaller(made);
  if (FAILED(status)) return status;
  AllowImpersonation(made.Get());
  made->AddRef();
  RunInstaller() = installer = made.Get();
  return S_OK;
}

// The statuses of a call that reached no server: it has ended since the last call.
bool ServerIsGone(HRESULT status) {
  return status == RPC_E_DISCONNECTED || status == RPC_E_SERVER_DIED ||
         status == RPC_E_SERVER_DIED_DNE || status == CO_E_OBJNOTCONNECTED ||
         status == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         status == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) ||
         status == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE);
}

// Calls `call` (which returns its call's status) with the run's installer; when the server
// of a kept one has ended since, once more with a new one. Returns the failure to create
// an installer (then `call` did not run), else S_OK.
template <typename Call>
HRESULT CallRunInstaller(const Call& call) {
  for (bool retried = false;; retried = true) {
    IOrqCabInstaller* installer = nullptr;
    bool created = false;
    if (const HRESULT taken = TakeRunInstaller(installer, created); FAILED(taken)) return taken;
    if (!ServerIsGone(call(installer)) || created || retried) return S_OK;
    ForgetRunInstaller();
  }
}

// The engine's own reference to every sink it made lasts until the process ends: a call
// the component makes late still finds its object, and the sink's module lock keeps the
// server module from asking the program to end in the middle of the run.
void KeepForTheRun(CabInstallSink* sink) {
  static std::vector<CabInstallSink*>* kept = new std::vector<CabInstallSink*>();
  sink->AddRef();
  kept->push_back(sink);
}

std::string HexStatus(HRESULT status) {
  std::string text(16, '\0');
  text.resize(static_cast<std::size_t>(
      std::snprintf(text.data(), text.size(), "0x%08lX", static_cast<unsigned long>(status))));
  return text;
}

// The installer runs in a process of its own, with a current folder of its own: a
// relative cabinet path is taken from the engine's working folder (SETWORKDIR's, else
// the current one) before it goes there.
std::string CabinetPathForInstaller(const EngineContext& ctx, const std::string& path) {
  if (!PathIsRelativeA(path.c_str())) return path;
  std::string full = ctx.workDir.empty() ? CurrentFolder() : ctx.workDir;
  return AppendPath(full, 32768, path) ? full : path;
}

struct InstallOutcome {
  LONG status = 0;
  std::string message;
  bool installerLost = false;  // it ended or went silent: not to be called again
};

// A started installation: the install call's result and the server's process, when the
// installer told it.
struct StartedInstall {
  HRESULT callResult = S_OK;
  UniqueKernelHandle server;
};

StartedInstall StartInstall(IOrqCabInstaller* installer, const InstallCabFields& fields,
                            CabInstallSink& sink) {
  StartedInstall started;
  long processId = 0;
  const HRESULT asked =
      installer->ExchangeProcessIds(static_cast<long>(GetCurrentProcessId()), &processId);
  if (ServerIsGone(asked)) {
    started.callResult = asked;
    return started;
  }
  if (SUCCEEDED(asked) && processId != 0) {
    started.server.Reset(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
  }
  ComString cabinet(fields.cabinetPath);
  ComString params(TheHostValues().rawParams);
  const auto& n = fields.numbers;
  started.callResult = installer->InstallCab(cabinet.Get(), n[0], n[1], n[2], n[3], n[4], n[5],
                                             static_cast<IOrqexCallback*>(&sink), 0,
                                             AgentApplicationUtility(), params.Get());
  return started;
}

// Waits for Finished while serving this thread's messages (the installer's calls arrive
// through them). The wait cannot outlast the installer: a failed install call without
// Finished, a server process that ends, or an installer silent for the silence limit ends
// it with a failure.
InstallOutcome WaitForInstaller(CabInstallSink& sink, const StartedInstall& started,
                                HANDLE completion) {
  const DWORD silenceMs = InstallerSilenceMs();
  if (FAILED(started.callResult) && !sink.HasFinished()) {
    return {started.callResult,
            "The cabinet installer failed without finishing (" +
                HexStatus(started.callResult) + ").",
            ServerIsGone(started.callResult)};
  }
  const HANDLE handles[] = {completion, started.server.Get()};
  const DWORD count = started.server ? 2 : 1;
  while (!sink.HasFinished()) {
    const ULONGLONG quiet = GetTickCount64() - sink.LastHeard();
    if (quiet >= silenceMs) {
      return {HRESULT_FROM_WIN32(ERROR_TIMEOUT),
              "The cabinet installer was not heard from for " + std::to_string(silenceMs / 1000) +
                  " s; the installation is taken as failed.",
              true};
    }
    const DWORD result = WaitWithMessages(count, handles, static_cast<DWORD>(silenceMs - quiet));
    if (sink.HasFinished()) break;
    if (result == WAIT_OBJECT_0 + 1) {
      return {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
              "The cabinet installer ended without finishing.", true};
    }
    if (result == WAIT_FAILED) {
      return {HRESULT_FROM_WIN32(GetLastError()), "The wait for the cabinet installer failed.",
              false};
    }
  }
  return {sink.Status(), sink.Message(), false};
}

unsigned InstallCab(EngineContext& ctx, ScriptLine& line) {
  std::string symbolName, value, expanded;
  unsigned status = SplitInstallCabArgument(line.argumentText, symbolName, value);
  if (status == 0) status = ExpandForAction(ctx, value, expanded, kCabValueSize);
  InstallCabFields fields;
  if (status == 0) status = SplitInstallCabFields(TrimmedCopy(expanded), fields);
  if (status != 0) return FailLine(ctx, line, status);
  fields.cabinetPath = CabinetPathForInstaller(ctx, fields.cabinetPath);

  UniqueKernelHandle completion(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ComPtr<CabInstallSink> sink;
  *sink.Put() = new CabInstallSink();
  sink->AddRef();
  KeepForTheRun(sink.Get());
  StartedInstall started;
  const HRESULT taken = completion ? CallRunInstaller([&](IOrqCabInstaller* installer) {
    sink->Arm(completion.Get());
    started = StartInstall(installer, fields, *sink.Get());
    return started.callResult;
  })
                                   : E_OUTOFMEMORY;
  if (FAILED(taken)) {
    LogStatus("INSTALLCAB: no cabinet installer could be started (0x%08lX); %s is not installed",
              static_cast<unsigned long>(taken), fields.cabinetPath.c_str());
    return 0;
  }
  const InstallOutcome outcome = WaitForInstaller(*sink.Get(), started, completion.Get());
  sink->Arm(nullptr);  // a late call finds no event to signal
  if (outcome.installerLost) ForgetRunInstaller();

  FinalStatus& final = TheFinalStatus();
  final.status = outcome.status;
  final.message = outcome.message;
  LogStatus("INSTALLCAB %s: status 0x%08lX %s", fields.cabinetPath.c_str(),
            static_cast<unsigned long>(outcome.status), outcome.message.c_str());
  return FailLine(ctx, line,
                  SetSymbol(ctx.symbols, symbolName, outcome.status < 0 ? "FALSE" : "TRUE"));
}

unsigned ResetLastUpdate(EngineContext&, ScriptLine&) {
  const HRESULT taken =
      CallRunInstaller([](IOrqCabInstaller* installer) { return installer->ResetLastUpdate(); });
  if (FAILED(taken)) {
    LogStatus("RESETLASTUPDATE: no cabinet installer could be started (0x%08lX)",
              static_cast<unsigned long>(taken));
  }
  return 0;
}
}  // namespace

void RegisterCabinetCommands(HandlerTable& table) {
  table.Add(kCmdInstallCab, InstallCab);
  table.Add(kCmdResetLastUpdate, ResetLastUpdate);
}

void ReleaseRunCabInstaller() {
  if (IOrqCabInstaller* installer = RunInstaller()) {
    ForgetRunInstaller();
    installer->Release();
  }
}
