// WhatIf runs: every command that would act on the machine, ask the user or wait only says
// so in one log line, and the machine is left exactly as it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/command_table.h"
#include "engine/host_values.h"
#include "engine/runner.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
// Where the command table's examples act, made before every run so that each of them
// would change something real.
const char* const kTarget = "C:\\OrqWhatIf";
const char* const kKey = "Software\\OrqWhatIf";
// The file list the examples' COPYFILES and DELFILES walk: one file, copied from the
// script's folder to the working folder.
const char* const kFileList = "[OrqWhatIfFiles]\r\nFILECIO a.txt\r\n";

bool IsHeldBack(const CommandRow& row) {
  return row.hasHandler && (row.effect == CommandEffect::kActs ||
                            row.effect == CommandEffect::kAsks ||
                            row.effect == CommandEffect::kWaits);
}

std::vector<CommandRow> HeldBackRows() {
  std::vector<CommandRow> rows;
  for (const CommandRow& row : CommandTable()) {
    if (IsHeldBack(row)) rows.push_back(row);
  }
  return rows;
}

// A script whose line 2 sets the working folder and whose lines 3... are `examples`.
std::string ScriptOf(const std::vector<std::string_view>& examples) {
  std::string script = "[DefaultInstall]\r\nSETWORKDIR " + std::string(kTarget) + "\r\n";
  for (std::string_view example : examples) script += std::string(example) + "\r\n";
  return script + kFileList;
}

// Everything the examples would change, in place: a folder with files, an INI file, a
// tree, and a registry key with a value and subkeys.
void PrepareTargets() {
  RemoveFolderTree(kTarget);
  for (const char* folder : {"", "\\Empty", "\\Tree", "\\Tree\\Deep", "\\bin"}) {
    CreateDirectoryA((std::string(kTarget) + folder).c_str(), nullptr);
  }
  for (const char* file : {"\\a.txt", "\\old.txt", "\\readme.txt", "\\Tree\\Deep\\x.dat"}) {
    WriteTextFile(kTarget + std::string(file), "kept");
  }
  WriteTextFile(kTarget + std::string("\\setup.ini"), "[Main]\r\nVersion=1.0\r\n[Old]\r\nA=1\r\n");
  for (const char* sub : {"", "\\Old", "\\Empty", "\\Tree\\Deep"}) {
    UniqueRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + sub).c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
  }
  UniqueRegKey key;
  RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, key.Put());
  RegSetValueExA(key.Get(), "Setting", 0, REG_SZ, reinterpret_cast<const BYTE*>("7"), 2);
}

void RemoveTargets() {
  RemoveFolderTree(kTarget);
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
}

// Files and folders below `folder` with their sizes and last-write times; `skipped` (a
// folder whose only change is the run's own log) is left out.
void ListTree(const std::string& folder, const std::string& skipped, std::string& out) {
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (_stricmp(path.c_str(), skipped.c_str()) == 0) continue;
    out += path + " " + std::to_string(data.nFileSizeLow) + " " +
           std::to_string(data.ftLastWriteTime.dwLowDateTime) + " " +
           std::to_string(data.dwFileAttributes) + "\n";
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      ListTree(path, skipped, out);
    }
  } while (FindNextFileA(find.Get(), &data));
}

std::string Services() {
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  std::vector<BYTE> buffer(256 * 1024);
  DWORD needed = 0, count = 0, resume = 0;
  EnumServicesStatusExA(manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                        SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                        &needed, &count, &resume, nullptr);
  auto* services = reinterpret_cast<ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
  std::vector<std::string> lines;
  for (DWORD i = 0; i < count; ++i) {
    lines.push_back(std::string(services[i].lpServiceName) + " " +
                    std::to_string(services[i].ServiceStatusProcess.dwCurrentState));
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

std::string Processes() {
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  std::vector<std::string> names;
  for (bool more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    names.push_back(std::string(entry.szExeFile) + " " + std::to_string(entry.th32ProcessID));
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const std::string& name : names) out += name + "\n";
  return out;
}

// The whole registry (as exported by the system's own editor), the drive's tree with
// sizes and times, the services and their states, the processes. PATH lives in the
// registry.
struct MachineState {
  std::string registry, tree, services, processes;
};

MachineState Snapshot(const std::string& scratch) {
  MachineState state;
  const std::string exported = scratch + "\\registry.reg";
  DeleteFileA(exported.c_str());
  RunProgram("regedit.exe /E " + exported);
  state.registry = ReadTextFile(exported);
  ListTree("C:", scratch, state.tree);
  state.services = Services();
  state.processes = Processes();
  return state;
}

// The lines of `log` that hold `text`.
std::vector<std::string> LinesWith(const std::string& log, const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
    std::size_t end = log.find('\r', at);
    lines.push_back(log.substr(at, end - at));
  }
  return lines;
}

class WhatIfRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir(std::string("whatif_") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    WriteTextFile(dir_ + "\\a.txt", "new");
    PrepareTargets();
  }
  void TearDown() override {
    RemoveTargets();
    RemoveFolderTree(dir_);
  }
  std::string dir_;
};

// One run of Orqex.exe /WhatIf over every held-back command's example: the machine is the
// same before and after, and each of those lines wrote exactly one WhatIf line (a walk one
// per listed file; the examples' lists hold one each).
TEST_F(WhatIfRuns, EveryActingCommandOnceLeavesTheMachineAsItWas) {
  const std::vector<CommandRow> rows = HeldBackRows();
  std::vector<std::string_view> examples;
  for (const CommandRow& row : rows) examples.push_back(row.example);
  WriteTextFile(dir_ + "\\test.Orq", ScriptOf(examples));
  const MachineState before = Snapshot(dir_);
  ASSERT_GT(before.registry.size(), 10000u);

  OrqexRun run = RunOrqex("/Script=" + dir_ + "\\test.Orq /Log=" + dir_ +
                          "\\run.log /WhatIf /DeleteScriptDirectory");
  const MachineState after = Snapshot(dir_);
  const std::string log = ReadTextFile(dir_ + "\\run.log");

  EXPECT_EQ(run.exitCode, 0u) << log;
  EXPECT_TRUE(before.registry == after.registry) << "the registry changed";
  EXPECT_EQ(before.tree, after.tree);
  EXPECT_EQ(before.services, after.services);
  EXPECT_EQ(before.processes, after.processes);
  EXPECT_EQ(LinesWith(log, "WhatIf: line ").size(), rows.size()) << log;
  EXPECT_EQ(LinesWith(log, "WhatIf run: ").size(), 1u) << log;
  EXPECT_TRUE(FileExists(dir_ + "\\test.Orq"));  // the script's folder stays too
}

// Each held-back command on its own, run by the engine in this process: it says what it
// would do with its argument expanded, and the targets are untouched. A new command that
// acts without a WhatIf path fails here.
TEST_F(WhatIfRuns, EachActingCommandSaysWhatItWouldDoAndDoesNothing) {
  const std::string log = dir_ + "\\engine.log";
  LogInit(kLogLevelStatus, log);
  TheHostValues().whatIfMode = true;
  for (const CommandRow& row : HeldBackRows()) {
    SCOPED_TRACE(std::string(row.example));
    const std::string example(row.example);
    const bool walk = row.id == kCmdCopyFiles || row.id == kCmdDelFiles;
    // Every name is written through a symbol, so the line must show it expanded (a walk
    // names its list section as written).
    std::string written = example;
    for (std::size_t at = 0; !walk && (at = written.find("OrqWhatIf", at)) != std::string::npos;) {
      written.replace(at, 9, "%%Name%%");
    }
    WriteTextFile(dir_ + "\\test.Orq", ScriptOf({"SET Name=OrqWhatIf", written}));
    DeleteFileA(log.c_str());
    const unsigned status =
        ExecuteScript(dir_ + "\\test.Orq", "DefaultInstall", dir_, BuildHandlerTable());
    const std::string text = ReadTextFile(log);
    EXPECT_EQ(status, 0u) << text;
    const std::vector<std::string> said = LinesWith(text, "WhatIf: line ");
    ASSERT_EQ(said.size(), 1u) << text;
    EXPECT_EQ(said[0].rfind(walk ? "WhatIf: line 6: would " : "WhatIf: line 4: would ", 0), 0u)
        << said[0];
    EXPECT_NE(said[0].find(walk ? std::string(kTarget) + "\\a.txt" : example),
              std::string::npos)
        << said[0];
    // The WhatIf line stands for the line's "Executing line"; a fixed answer is given.
    if (!walk) EXPECT_EQ(text.find("Executing line 4:"), std::string::npos) << text;
    if (!row.whatIfValue.empty()) {
      EXPECT_NE(said[0].find(" is set to \"" + std::string(row.whatIfValue) + "\""),
                std::string::npos)
          << said[0];
    }
    EXPECT_EQ(ReadTextFile(kTarget + std::string("\\a.txt")), "kept");
    EXPECT_TRUE(FileExists(kTarget + std::string("\\Tree\\Deep\\x.dat")));
    EXPECT_FALSE(FileExists(kTarget + std::string("\\New")));
    UniqueRegKey key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\Tree\\Deep").c_str(), 0,
                            KEY_READ, key.Put()),
              ERROR_SUCCESS);
  }
  TheHostValues().whatIfMode = false;
}

// An argument the command's own parser refuses ends a WhatIf run with the code a real run
// ends with, before anything is said or done; one written through a symbol is checked
// expanded.
TEST_F(WhatIfRuns, ARefusedArgumentEndsTheRunWithTheRealRunsCode) {
  const std::string log = dir_ + "\\engine.log";
  LogInit(kLogLevelStatus, log);
  for (const char* refused :
       {"SETREGVALUE HKXX\\Software\\OrqWhatIf,Setting=1",
        "SETREGVALUE %%Root%%\\Software\\OrqWhatIf,A=1",  // a root is never a symbol's
        "SETINIFILEVALUE C:\\OrqWhatIf\\setup.ini,Main", "INSTALLCAB C:\\OrqWhatIf\\update.cab",
        "CREATESERVICE %%Root%%"}) {  // expanded first, then taken apart
    SCOPED_TRACE(refused);
    WriteTextFile(dir_ + "\\test.Orq",
                  ScriptOf({"SET Root=HKCU", refused, "SET After=1"}));
    unsigned status[2];
    for (bool whatIf : {false, true}) {
      TheHostValues().whatIfMode = whatIf;
      DeleteFileA(log.c_str());
      status[whatIf] = ExecuteScript(dir_ + "\\test.Orq", "DefaultInstall", dir_, BuildHandlerTable());
      TheHostValues().whatIfMode = false;
    }
    const std::string text = ReadTextFile(log);
    EXPECT_NE(status[true], 0u) << text;
    EXPECT_EQ(status[true], status[false]) << text;
    EXPECT_EQ(text.find("WhatIf: line"), std::string::npos) << text;
    EXPECT_NE(text.find(">>Line 4: "), std::string::npos) << text;
    EXPECT_EQ(text.find("SET After"), std::string::npos) << text;
  }
}
}  // namespace
