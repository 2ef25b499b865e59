// INSTALLCAB and RESETLASTUPDATE: requests to the cabinet installer component
// (OrqCab.exe, reached through COM). Without a registered component both do
// nothing and succeed.
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "commands/files/path_routines.h"
#include "commands/interaction/cab_install_sink.h"
#include "commands/interaction/install_cab_parse.h"
#include "commands/interaction/message_waits.h"
#include "commands/interaction/restart_families.h"
#include "engine/errors.h"
#include "engine/final_status.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "host/agent_link.h"
#include "support/log.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
// Every kind of server: in-process, handler, local and remote.
constexpr DWORD kInstallerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
// How often a wait for Finished asks whether the installer is still there.
constexpr DWORD kLivenessCheckMs = 1000;

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
};

// Waits for Finished while serving this thread's messages (the installer's
// calls arrive through them). A wait that could never end does not: a failed
// install call without Finished, or an installer that stops answering, ends it
// with that failure.
InstallOutcome WaitForInstaller(CabInstallSink& sink, IOrqCabInstaller* installer,
                                HRESULT callResult, HANDLE completion) {
  while (!sink.HasFinished()) {
    if (FAILED(callResult)) {
      return {callResult,
              "The cabinet installer failed without finishing (" + HexStatus(callResult) + ")."};
    }
    if (WaitHandleWithMessages(completion, kLivenessCheckMs) == WAIT_OBJECT_0) break;
    if (sink.HasFinished()) break;
    BSTR ignored = nullptr;
    callResult = installer->LastUpdate(&ignored);
    SysFreeString(ignored);
  }
  return {sink.Status(), sink.Message()};
}

unsigned InstallCab(EngineContext& ctx, ScriptLine& line) {
  std::string symbolName, value, expanded;
  unsigned status = SplitInstallCabArgument(line.argumentText, symbolName, value);
  if (status == 0) status = ExpandForAction(ctx, value, expanded, kCabValueSize);
  InstallCabFields fields;
  if (status == 0) status = SplitInstallCabFields(TrimmedCopy(expanded), fields);
  if (status != 0) return FailLine(ctx, line, status);

  UniqueKernelHandle completion(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ComPtr<CabInstallSink> sink;
  *sink.Put() = new CabInstallSink();
  sink->AddRef();
  KeepForTheRun(sink.Get());
  ComPtr<IOrqCabInstaller> installer;
  const HRESULT created = CreateInstaller(installer);
  if (FAILED(created) || !completion) {
    LogStatus(
        "INSTALLCAB: no cabinet installer could be started (0x%08lX); %s "
        "is not installed",
        static_cast<unsigned long>(created), fields.cabinetPath.c_str());
    return 0;
  }
  AllowImpersonation(installer.Get());
  sink->Arm(installer.Get(), completion.Get());

  HRESULT callResult;
  {
    ComString cabinet(CabinetPathForInstaller(ctx, fields.cabinetPath));
    ComString params(TheHostValues().rawParams);
    const auto& n = fields.numbers;
    callResult = installer->InstallCab(cabinet.Get(), n[0], n[1], n[2], n[3], n[4], n[5],
                                       static_cast<IOrqexCallback*>(sink.Get()), 0,
                                       AgentApplicationUtility(), params.Get());
  }
  InstallOutcome outcome =
      WaitForInstaller(*sink.Get(), installer.Get(), callResult, completion.Get());
  sink->Arm(nullptr, nullptr);  // a late call finds no event to signal

  FinalStatus& final = TheFinalStatus();
  final.status = outcome.status;
  final.message = outcome.message;
  LogStatus("INSTALLCAB %s: status 0x%08lX %s", fields.cabinetPath.c_str(),
            static_cast<unsigned long>(outcome.status), outcome.message.c_str());
  return FailLine(ctx, line,
                  SetSymbol(ctx.symbols, symbolName, outcome.status < 0 ? "FALSE" : "TRUE"));
}

unsigned ResetLastUpdate(EngineContext&, ScriptLine&) {
  ComPtr<IOrqCabInstaller> installer;
  const HRESULT created = CreateInstaller(installer);
  if (FAILED(created)) {
    LogStatus("RESETLASTUPDATE: no cabinet installer could be started (0x%08lX)",
              static_cast<unsigned long>(created));
    return 0;
  }
  installer->ResetLastUpdate();
  return 0;
}
}  // namespace

void RegisterCabinetCommands(HandlerTable& table) {
  table.Add(kCmdInstallCab, InstallCab);
  table.Add(kCmdResetLastUpdate, ResetLastUpdate);
}
