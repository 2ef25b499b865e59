// Process control on real processes: helper programs copied under paths of the test's own
// are found and ended by both implementations (PsApi and Tool Help), by the commands, and
// by whole runs of the program as the NT family and as a copy that Wine reports as
// Windows 98. Whether a process ended is read back from its own handle.
#include "commands/system/process_control.h"

#include <windows.h>

#include "support/system_folders.h"
#include "support_code/script_test.h"

namespace {
std::string Lower(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

class ProcessControlTest : public ScriptTest {};

// By name: any text of the program's full path, in any case, one process per call, a
// windowless one at once. By module: only a user inside "<Windows folder>\Tevlin\" is
// ended, not one in a sibling "Tevlin..." folder or elsewhere (each program's own file is
// the module it uses).
TEST_F(ProcessControlTest, BothFamiliesFindAndEndByPathTextAndByModule) {
  const std::string windows = WindowsFolder();
  for (auto [family, make] : {std::make_pair("PsApi", MakeNtProcessControl),
                              std::make_pair("ToolHelp", MakeWin9xProcessControl)}) {
    SCOPED_TRACE(family);
    std::unique_ptr<ProcessControl> control = make();
    ASSERT_TRUE(control->Init());
    const std::string folder = dir_ + "\\" + family;
    auto first = StartIdleCopy(folder + "\\first.exe");
    auto second = StartIdleCopy(folder + "\\second.exe");
    EXPECT_TRUE(control->IsRunning(Lower(folder)));
    EXPECT_FALSE(control->IsRunning(folder + "\\third"));
    DWORD start = GetTickCount();
    EXPECT_EQ(control->KillByName(Lower(folder)), 1);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(first->Ended() + second->Ended(), 1);
    EXPECT_EQ(control->KillByName(folder), 1);
    EXPECT_EQ(control->KillByName(folder), 0);
    EXPECT_FALSE(control->IsRunning(folder) || !first->Ended() || !second->Ended());

    const std::string tag = name_ + family;
    for (auto [place, ended] :
         {std::make_pair(windows + "\\Tevlin\\" + tag, true),
          std::make_pair(windows + "\\Tevlin" + tag, false), std::make_pair(folder, false)}) {
      const std::string program = place + "\\user.exe";
      auto user = StartIdleCopy(program);
      ASSERT_FALSE(user->Ended(200));
      EXPECT_EQ(control->KillModuleUsers(Lower(program), false), 0);
      EXPECT_FALSE(user->Ended()) << "the kill flag is clear";
      EXPECT_EQ(control->KillModuleUsers(program, true), ended ? 1 : 0) << program;
      EXPECT_EQ(user->Ended(), ended) << program;
      EXPECT_NE(Log().find("Module: " + program + " is used by Process: " + program),
                std::string::npos);
      user.reset();
      RemoveFolderTree(place);
    }
  }
  RemoveDirectoryA((windows + "\\Tevlin").c_str());
}

// The name is expanded; a name that is empty, or that an expansion could not give whole,
// ends nothing and fails the line.
TEST_F(ProcessControlTest, CommandsExpandTheNameAndRefuseUnusableNames) {
  const std::string folder = dir_ + "\\CommandFolder";
  auto idle = StartIdleCopy(folder + "\\idle.exe");
  ASSERT_EQ(Run({"SET Name=" + folder, "KILLPROCESS %%Name%%"}), 0u) << Log();
  EXPECT_TRUE(idle->Ended());
  EXPECT_EQ(Run({"SET Empty=", "KILLPROCESS %%Empty%%"}), 1u);
  ExpectFailures({{"KILLPROCESS", 1},
                  {"KILLPROCESS %%Nothing%%", 28},
                  {"ISPROCESSRUNNING Running", 51},
                  {"ISPROCESSRUNNING Running=", 1},
                  {"ISPROCESSRUNNING Running=%%Nothing%%", 28}});
}

// Whole runs of copies of the program: "OrqexNt.exe" as Wine's default NT family and
// "OrqexW98.exe", which Wine reports as Windows 98 and so goes through Tool Help. A window
// that closes on WM_CLOSE ends by itself (window_app's exit code 10), one that ignores it
// is terminated (0) after the wait, a process without windows at once; the run's own
// program, whose path holds the same text, is never ended.
TEST_F(ProcessControlTest, WholeRunsEndWindowsAndWindowlessProcessesOnBothFamilies) {
  for (const std::string program : {"OrqexNt.exe", "OrqexW98.exe"}) {
    SCOPED_TRACE(program);
    const std::string apps = dir_ + "\\" + program + "_apps";
    std::vector<std::unique_ptr<StartedProgram>> windows;
    for (const char* option : {"", "--ignore-close"}) {
      std::string title = name_ + program + option, event = "OrqReady" + title;
      windows.push_back(StartProgramCopy(
          "window_app.exe", apps + "\\window" + option + ".exe",
          "Orq" + title + " " + title + " --ready " + event + " " + option, event.c_str()));
      ASSERT_FALSE(windows.back()->Ended());
    }
    auto idle = StartIdleCopy(apps + "\\idle.exe");
    const std::string script = dir_ + "\\" + program + ".Orq", log = script + ".log";
    WriteTextFile(script, "[DefaultInstall]\r\nISPROCESSRUNNING Before=" + apps +
                              "\r\nKILLPROCESS " + apps + "\\window.exe\r\nKILLPROCESS " + apps +
                              "\\window--ignore\r\nKILLPROCESS " + apps + "\\idle\r\nKILLPROCESS " +
                              dir_ + "\r\nISPROCESSRUNNING After=" + dir_ +
                              "\r\nSET Seen=%%Before%% %%After%%\r\n");
    DWORD start = GetTickCount();
    const std::string copy = dir_ + "\\" + program;
    if (program == "OrqexW98.exe") CopyOrqexAsNineEight(copy);
    if (program == "OrqexNt.exe")
      CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), copy.c_str(), 0);
    EXPECT_EQ(RunProgram(copy + " /Script=" + script + " /Log=" + log).exitCode, 0u)
        << ReadTextFile(log);
    EXPECT_GE(GetTickCount() - start, 10000u) << "the ignoring window had its 10 s";
    EXPECT_NE(ReadTextFile(log).find("SET Seen=TRUE FALSE"), std::string::npos)
        << ReadTextFile(log);
    ASSERT_TRUE(windows[0]->Ended() && windows[1]->Ended() && idle->Ended());
    EXPECT_EQ(windows[0]->ExitCode(), 10u);
    EXPECT_EQ(windows[1]->ExitCode() + idle->ExitCode(), 0u);
  }
}
}  // namespace
