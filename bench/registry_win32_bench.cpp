// What a SETREGVALUE line costs under Wine, against the bare registry calls it orders and
// against the ways an administrator would write the same values with Wine's own tools.
// Prints:
//   BENCH registry_line_cost_ratio <value> x  a script of 1,000 SETREGVALUE lines run by the
//                                             engine, over a bare loop of RegOpenKeyExA /
//                                             RegSetValueExA / RegCloseKey and the same
//                                             "Executing line" log writes (the floor)
//   BENCH registry_vs_reg_batch <value> x     the same script over a batch file of one
//                                             "reg add" per value, run by cmd
//   BENCH registry_vs_inf_addreg <value> x    the same script over one INF AddReg section
//                                             installed with setupapi's InstallHinfSection
//   BENCH registry_real_run_ms <value> ms     the engine's real run of the script
//   BENCH registry_whatif_run_ms <value> ms   the same script run with /WhatIf (checked for
//                                             having written nothing)
//   BENCH registry_whatif_vs_real <value> x   the WhatIf run over the real run (goal: <= 1)
// Each figure is the median of several runs; every run starts from an empty key and is
// checked for having written all 1,000 values.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/host_values.h"
#include "engine/runner.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "bench/bench_support.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr unsigned kValues = 1000;
constexpr int kEngineRuns = 7;
constexpr int kToolRuns = 3;  // each tool run starts 1,000 or one process: slow under Wine
const char* const kSubKey = "Software\\OrqBench\\Registry";

std::string g_dir;

// Value i: a string for even i, a number for odd i, so both types are in every run.
std::string ValueName(unsigned i) { return "Value" + std::to_string(i); }
bool IsNumber(unsigned i) { return i % 2 == 1; }
std::string ValueText(unsigned i) {
  return IsNumber(i) ? std::to_string(i * 7) : "item " + std::to_string(i);
}

std::string ScriptArgument(unsigned i) {
  return std::string("HKLM\\") + kSubKey + "," + ValueName(i) + "=" +
         (IsNumber(i) ? "/REG_DWORD:" : "") + ValueText(i);
}

std::string WriteScript() {
  std::string text = "[DefaultInstall]\r\n";
  for (unsigned i = 0; i < kValues; ++i) text += "SETREGVALUE " + ScriptArgument(i) + "\r\n";
  std::string path = g_dir + "\\registry.Orq";
  WriteFileBytes(path, text);
  return path;
}

std::string WriteRegBatch() {
  std::string text = "@echo off\r\n";
  for (unsigned i = 0; i < kValues; ++i) {
    text += std::string("reg add \"HKLM\\") + kSubKey + "\" /v " + ValueName(i) + " /t " +
            (IsNumber(i) ? "REG_DWORD" : "REG_SZ") + " /d \"" + ValueText(i) + "\" /f >nul\r\n";
  }
  std::string path = g_dir + "\\values.bat";
  WriteFileBytes(path, text);
  return path;
}

std::string WriteInf() {
  std::string text =
      "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[DefaultInstall]\r\nAddReg=Bench.AddReg\r\n\r\n"
      "[Bench.AddReg]\r\n";
  for (unsigned i = 0; i < kValues; ++i) {
    // Flags 0: REG_SZ; 0x10001: REG_DWORD.
    text += std::string("HKLM,\"") + kSubKey + "\",\"" + ValueName(i) + "\"," +
            (IsNumber(i) ? "0x10001," : "0,\"") + ValueText(i) + (IsNumber(i) ? "" : "\"") + "\r\n";
  }
  std::string path = g_dir + "\\values.inf";
  WriteFileBytes(path, text);
  return path;
}

void EmptyKey() {
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kSubKey);
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  UniqueRegKey owner(key);
}

// How many values are missing or differ in type or data.
unsigned ValuesNotWritten() {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSubKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
    return kValues;
  }
  unsigned wrong = 0;
  for (unsigned i = 0; i < kValues; ++i) {
    char data[300] = {};
    DWORD size = sizeof data, type = 0;
    bool same = RegQueryValueExA(key.Get(), ValueName(i).c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS &&
                (IsNumber(i) ? type == REG_DWORD && *reinterpret_cast<DWORD*>(data) == i * 7
                             : type == REG_SZ && ValueText(i) == data);
    if (!same) ++wrong;
  }
  return wrong;
}

void FreshLog() {
  std::string log = g_dir + "\\bench.log";
  DeleteFileA(log.c_str());
  LogInit(kLogLevelStatus, log);
}

// Seconds `work` takes, starting from an empty key; a run that did not write every value
// is reported.
double Timed(const char* what, const std::function<void()>& work) {
  EmptyKey();
  FreshLog();
  auto start = Clock::now();
  work();
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (unsigned wrong = ValuesNotWritten()) {
    std::fprintf(stderr, "%s left %u of %u values unwritten\n", what, wrong, kValues);
  }
  return seconds;
}

// A system tool, started in the scratch folder without a console window.
void RunTool(const std::string& commandLine) {
  if (RunAndWait(commandLine, g_dir.c_str(), CREATE_NO_WINDOW) < 0) {
    std::fprintf(stderr, "cannot start: %s\n", commandLine.c_str());
  }
}

void RunEngine(const std::string& script) {
  unsigned status = ExecuteScript(script, "DefaultInstall", g_dir, BuildHandlerTable());
  if (status != 0) std::fprintf(stderr, "script failed with %u\n", status);
}

void RunBareLoop(bool withLog) {
  for (unsigned i = 0; i < kValues; ++i) {
    std::string argument = ScriptArgument(i);
    if (withLog) {
      LogStatus("Executing line %d: %s %s", static_cast<int>(i + 2), "SETREGVALUE",
                argument.c_str());
    }
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSubKey, 0, KEY_READ | KEY_WRITE, key.Put()) !=
        ERROR_SUCCESS)
      continue;
    std::string text = ValueText(i);
    DWORD number = i * 7;
    if (IsNumber(i)) {
      RegSetValueExA(key.Get(), ValueName(i).c_str(), 0, REG_DWORD,
                     reinterpret_cast<BYTE*>(&number), 4);
    } else {
      RegSetValueExA(key.Get(), ValueName(i).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
    }
  }
}

// Seconds a WhatIf run of the script takes; one that wrote a value is reported.
double TimedWhatIf(const std::string& script) {
  EmptyKey();
  FreshLog();
  TheHostValues().whatIfMode = true;
  auto start = Clock::now();
  RunEngine(script);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  TheHostValues().whatIfMode = false;
  if (unsigned wrong = ValuesNotWritten(); wrong != kValues) {
    std::fprintf(stderr, "the WhatIf run wrote %u of %u values\n", kValues - wrong, kValues);
  }
  return seconds;
}

}  // namespace

// Optional arguments: the number of engine runs and of tool runs.
int main(int argc, char** argv) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  g_dir = std::string(temp) + "orqbench_registry";
  CreateDirectoryA(g_dir.c_str(), nullptr);
  const std::string script = WriteScript();
  const std::string batch = WriteRegBatch();
  const std::string inf = WriteInf();
  const int engineRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : kEngineRuns;
  const int toolRuns = argc > 2 ? std::max(1, std::atoi(argv[2])) : kToolRuns;

  std::vector<double> engine, bare, lineCost, registryOnly, regBatch, infAddReg, whatIf, whatIfRatio;
  for (int run = 0; run < engineRuns; ++run) {
    engine.push_back(Timed("the engine", [&] { RunEngine(script); }));
    bare.push_back(Timed("the bare loop", [] { RunBareLoop(true); }));
    lineCost.push_back(engine.back() / bare.back());
    // For the reader: how much of a line the log write takes.
    registryOnly.push_back(Timed("the registry calls", [] { RunBareLoop(false); }));
    whatIf.push_back(TimedWhatIf(script));
    whatIfRatio.push_back(whatIf.back() / engine.back());
    std::fprintf(stderr, "run %d: WhatIf run %.3f s\n", run, whatIf.back());
    std::fprintf(stderr, "run %d: engine %.3f s, bare loop %.3f s, registry calls alone %.3f s\n",
                 run, engine.back(), bare.back(), registryOnly.back());
  }
  for (int run = 0; run < toolRuns; ++run) {
    regBatch.push_back(Timed("the reg batch", [&] { RunTool("cmd.exe /c \"" + batch + "\""); }));
    infAddReg.push_back(Timed("the INF", [&] {
      RunTool("rundll32.exe setupapi.dll,InstallHinfSection DefaultInstall 128 " + inf);
    }));
    std::fprintf(stderr, "run %d: reg batch %.3f s, INF AddReg %.3f s\n", run, regBatch.back(),
                 infAddReg.back());
  }
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kSubKey);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OrqBench");

  double engineSeconds = Median(engine);
  std::printf("BENCH registry_line_cost_ratio %.3f x\n", Median(lineCost));
  std::printf("BENCH registry_vs_reg_batch %.4f x\n", engineSeconds / Median(regBatch));
  std::printf("BENCH registry_vs_inf_addreg %.3f x\n", engineSeconds / Median(infAddReg));
  std::printf("BENCH registry_real_run_ms %.1f ms\n", engineSeconds * 1000);
  std::printf("BENCH registry_whatif_run_ms %.1f ms\n", Median(whatIf) * 1000);
  std::printf("BENCH registry_whatif_vs_real %.3f x\n", Median(whatIfRatio));
  std::fprintf(stderr,
               "medians: engine %.3f s, bare loop %.3f s, registry calls alone %.3f s, reg batch "
               "%.3f s, INF %.3f s\n",
               engineSeconds, Median(bare), Median(registryOnly), Median(regBatch),
               Median(infAddReg));
  return 0;
}
