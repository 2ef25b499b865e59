// WhatIf runs: every command that would act on the machine, ask the user or wait only says
// so, and the machine is left exactly as it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "engine/command_table.h"
#include "engine/host_values.h"
#include "engine/runner.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support_code/win32_test_utils.h"

namespace {
// Where the command table's examples act; made first, so that each would change something.
const char* const kTarget = "C:\\OrqWhatIf";

std::string ScriptOf(const std::string& lines) {
  return "[DefaultInstall]\r\nSETWORKDIR C:\\OrqWhatIf\r\nSET Name=OrqWhatIf\r\n" + lines +
         "[OrqWhatIfFiles]\r\nFILECIO a.txt\r\n";
}

// The registry as the system's own editor exports it (services' settings and PATH are in
// it), the drive's tree with sizes and times, the processes (a started service is one).
std::string MachineState(const std::string& scratch) {
  RunProgram("regedit.exe /E " + scratch + "\\state.reg");
  const std::string drive = UnixPath("C:\\"), tree = UnixPath(scratch + "\\tree.txt");
  RunUnixShell("find " + drive + " -path " + UnixPath(scratch) +
               " -prune -o -printf '%p %s %T@\\n' | sort > " + tree);
  std::string state = ReadTextFile(scratch + "\\state.reg") + ReadTextFile(scratch + "\\tree.txt");
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{sizeof entry};
  for (bool more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    state += std::string(entry.szExeFile) + " " + std::to_string(entry.th32ProcessID) + "\n";
  }
  return state;
}

class WhatIfRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir(
        "whatif_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    WriteTextFile(dir_ + "\\a.txt", "new");
    RemoveFolderTree(kTarget);
    for (const char* folder : {"", "\\Empty", "\\Tree", "\\bin"})
      CreateDirectoryA((kTarget + std::string(folder)).c_str(), nullptr);
    for (const char* file : {"\\a.txt", "\\old.txt", "\\Tree\\x.dat", "\\setup.ini"})
      WriteTextFile(kTarget + std::string(file), "[Old]\r\nA=1\r\n");
    for (const char* key : {"Software\\OrqWhatIf\\Old", "Software\\OrqWhatIf\\Tree\\Deep",
                            "Software\\OrqWhatIf\\Empty"})
      RegCreateKeyA(HKEY_CURRENT_USER, key, UniqueRegKey().Put());
  }
  void TearDown() override {
    TheHostValues().whatIfMode = false;  // also after a failed assertion
    RemoveFolderTree(kTarget);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OrqWhatIf");
    RemoveFolderTree(dir_);
  }
  std::string dir_;
};

// One run of every acting, asking and waiting command of the table, each written through a
// symbol: the machine is the same before and after (the script's folder too), and each line
// wrote one WhatIf line with its names expanded, and a fixed answer where it sets one. A new
// command without a WhatIf path fails here.
TEST_F(WhatIfRuns, EveryActingCommandOnceSaysWhatItWouldDoAndLeavesTheMachineAsItWas) {
  std::string lines;
  std::vector<const CommandRow*> rows;
  for (const CommandRow& row : CommandTable()) {
    if (!row.hasHandler || row.effect == CommandEffect::kControl ||
        row.effect == CommandEffect::kReads)
      continue;
    rows.push_back(&row);
    std::string written(row.example);  // a walk names its list section as written
    for (std::size_t at = 0; row.id != kCmdCopyFiles && row.id != kCmdDelFiles &&
                             (at = written.find("OrqWhatIf", at)) != std::string::npos;)
      written.replace(at, 9, "%%Name%%");
    lines += written + "\r\n";
  }
  WriteTextFile(dir_ + "\\test.Orq", ScriptOf(lines));
  const std::string before = MachineState(dir_);
  ASSERT_GT(before.size(), 100000u);
  const OrqexRun run = RunOrqex("/Script=" + dir_ + "\\test.Orq /Log=" + dir_ +
                                "\\run.log /WhatIf /DeleteScriptDirectory");
  EXPECT_TRUE(before == MachineState(dir_)) << "the machine changed";
  const std::string log = ReadTextFile(dir_ + "\\run.log");
  EXPECT_EQ(run.exitCode, 0u) << log;
  const std::size_t listed = 4 + rows.size() + 1;  // the FILECIO line
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool walk = rows[i]->id == kCmdCopyFiles || rows[i]->id == kCmdDelFiles;
    const std::string said = "WhatIf: line " + std::to_string(walk ? listed : 4 + i) + ": would " +
                             (!walk                          ? ""
                              : rows[i]->id == kCmdCopyFiles ? "copy "
                                                             : "delete ");
    const std::size_t at = log.find(said);
    const std::string line = at == std::string::npos ? "" : log.substr(at, log.find('\r', at) - at);
    EXPECT_NE(line.find(walk ? std::string(kTarget) + "\\a.txt" : std::string(rows[i]->example)),
              std::string::npos)
        << rows[i]->word << ": " << line;
    if (!rows[i]->whatIfValue.empty())
      EXPECT_NE(line.find(" is set to \"" + std::string(rows[i]->whatIfValue) + "\""),
                std::string::npos)
          << line;
    if (!walk)
      EXPECT_EQ(log.find("Executing line " + std::to_string(4 + i) + ":"),
                std::string::npos);  // the WhatIf line stands for it
  }
  EXPECT_TRUE(FileExists(dir_ + "\\test.Orq"));
}

// An argument the command's own parser refuses ends a WhatIf run with the real run's code,
// before anything is said: checked as written (a root is never a symbol's) and expanded.
TEST_F(WhatIfRuns, ARefusedArgumentEndsTheRunWithTheRealRunsCode) {
  LogInit(kLogLevelStatus, dir_ + "\\engine.log");
  for (const char* refused : {"SETREGVALUE HKXX\\Software\\OrqWhatIf,Setting=1",
                              "SETREGVALUE %%Root%%\\Software\\OrqWhatIf,A=1",
                              "SETINIFILEVALUE C:\\OrqWhatIf\\setup.ini,Main",
                              "INSTALLCAB C:\\OrqWhatIf\\update.cab", "CREATESERVICE %%Root%%"}) {
    WriteTextFile(dir_ + "\\test.Orq",
                  ScriptOf(std::string("SET Root=HKCU\r\n") + refused + "\r\nSET After=1\r\n"));
    unsigned status[2];
    for (bool whatIf : {false, true}) {
      TheHostValues().whatIfMode = whatIf;
      DeleteFileA((dir_ + "\\engine.log").c_str());
      status[whatIf] =
          ExecuteScript(dir_ + "\\test.Orq", "DefaultInstall", dir_, BuildHandlerTable());
    }
    const std::string log = ReadTextFile(dir_ + "\\engine.log");
    EXPECT_NE(status[true], 0u) << log;
    EXPECT_EQ(status[true], status[false]) << log;
    EXPECT_NE(log.find(">>Line 5: "), std::string::npos) << log;
    EXPECT_EQ(log.find("WhatIf: line"), log.find("SET After")) << log;  // both npos
  }
}
}  // namespace
