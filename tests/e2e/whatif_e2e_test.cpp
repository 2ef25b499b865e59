#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/command_table.h"
#include "support_code/win32_test_utils.h"

namespace {
// The registry as exported, the drive's tree with sizes and times, the processes.
std::string MachineState(const std::string& scratch) {
  RunProgram("regedit.exe /E " + scratch + "\\state.reg");
  RunUnixShell("find " + UnixPath("C:\\") + " -path " + UnixPath(scratch) +
               " -prune -o -printf '%p %s %T@\\n' | sort > " + UnixPath(scratch + "\\tree.txt"));
  std::string state = ReadTextFile(scratch + "\\state.reg") + ReadTextFile(scratch + "\\tree.txt");
  for (const auto& [exe, id] : RunningProcesses()) state += exe + " " + std::to_string(id) + "\n";
  return state;
}

// Names go through a symbol and the targets exist, so a command that acted would show.
TEST(WhatIfRuns, EveryActingCommandOnceSaysWhatItWouldDoAndLeavesTheMachineAsItWas) {
  const std::string dir = MakeScratchDir("whatif_every_command"), target = "C:\\OrqWhatIf";
  WriteTextFile(dir + "\\a.txt", "new");
  for (const char* folder : {"", "\\Empty", "\\Tree", "\\bin"})
    CreateDirectoryA((target + folder).c_str(), nullptr);
  for (const char* file : {"\\a.txt", "\\old.txt", "\\Tree\\x.dat", "\\setup.ini"})
    WriteTextFile(target + file, "[Old]\r\nA=1\r\n");
  for (const char* key : {"\\Old", "\\Tree\\Deep", "\\Empty"})
    RegCreateKeyA(HKEY_CURRENT_USER, (std::string("Software\\OrqWhatIf") + key).c_str(),
                  UniqueRegKey().Put());
  std::string script = "[DefaultInstall]\r\nSETWORKDIR C:\\OrqWhatIf\r\nSET Name=OrqWhatIf\r\n";
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
    script += written + "\r\n";
  }
  GetDesktopWindow();  // Wine's desktop process (and its registry key) comes up for any window
  const std::string before = MachineState(dir);
  const OrqexRun run = RunScript(dir, script + "[OrqWhatIfFiles]\r\nFILECIO a.txt\r\n",
                                 "/WhatIf /DeleteScriptDirectory");
  EXPECT_TRUE(before.size() > 100000 && before == MachineState(dir)) << "the machine changed";
  const std::string log = ReadTextFile(dir + "\\run.log");
  EXPECT_EQ(run.exitCode, 0u) << log;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool copy = rows[i]->id == kCmdCopyFiles, walk = copy || rows[i]->id == kCmdDelFiles;
    // A walk's line is the listed file's, after the rows and the list's header.
    const std::string said = "WhatIf: line " + std::to_string(walk ? 5 + rows.size() : 4 + i) +
                             ": would " + (!walk ? "" : copy ? "copy " : "delete ");
    const std::size_t at = log.find(said);
    const std::string line = at == std::string::npos ? "" : log.substr(at, log.find('\r', at) - at);
    EXPECT_NE(line.find(walk ? target + "\\a.txt" : std::string(rows[i]->example)),
              std::string::npos) << rows[i]->word << ": " << line;
    if (!rows[i]->whatIfValue.empty()) {
      EXPECT_NE(line.find(" is set to \"" + std::string(rows[i]->whatIfValue) + "\""),
                std::string::npos) << line;
    }
    EXPECT_TRUE(walk || log.find("Executing line " + std::to_string(4 + i) + ":") == log.npos);
  }
  EXPECT_TRUE(FileExists(dir + "\\test.Orq"));
  RemoveFolderTree(target);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OrqWhatIf");
  RemoveFolderTree(dir);
}
}  // namespace
