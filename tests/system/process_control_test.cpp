// Process control on real processes: helper programs copied under paths of the test's own
// are found and ended by both implementations (PsApi and Tool Help), by the commands, and
// by whole runs of the program as the NT family and as a copy that Wine reports as
// Windows 98. Whether a process ended is read back from its own handle.
#include "commands/system/process_control.h"

#include <windows.h>

#include "support/system_folders.h"
#include "support_code/script_test.h"
#include "support_code/started_program.h"

namespace {
constexpr DWORD kClosedExitCode = 10;  // window_app closed through WM_CLOSE

// A window_app copy whose window exists when this returns.
std::unique_ptr<StartedProgram> StartWindow(const std::string& path, const std::string& title,
                                            const std::string& options) {
  std::string event = "OrqReady_" + title;
  UniqueKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, event.c_str()));
  auto started =
      StartProgramCopy("window_app.exe", path,
                       "OrqClass_" + title + " " + title + " --ready " + event + " " + options);
  EXPECT_EQ(WaitForSingleObject(ready.Get(), 20000), WAIT_OBJECT_0) << title;
  return started;
}

std::string Lower(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

struct Family {
  const char* name;
  std::unique_ptr<ProcessControl> (*make)();
};
const Family kFamilies[] = {{"PsApi", MakeNtProcessControl}, {"ToolHelp", MakeWin9xProcessControl}};

class ProcessControlTest : public ScriptTest {};

// The name is any text of the program's full path, in any case; one call ends one process.
TEST_F(ProcessControlTest, FindsAndEndsProcessesByPathTextOnBothFamilies) {
  for (const Family& family : kFamilies) {
    SCOPED_TRACE(family.name);
    const std::string folder = dir_ + "\\" + family.name + "Folder";
    auto first = StartIdleCopy(folder + "\\first.exe");
    auto second = StartIdleCopy(folder + "\\second.exe");
    std::unique_ptr<ProcessControl> control = family.make();
    ASSERT_TRUE(control->Init());
    EXPECT_TRUE(control->IsRunning(Lower(folder)));
    EXPECT_FALSE(control->IsRunning(folder + "\\third"));

    DWORD start = GetTickCount();
    EXPECT_EQ(control->KillByName(Lower(folder)), 1);
    EXPECT_LT(GetTickCount() - start, 5000u) << "a process without windows is ended at once";
    EXPECT_EQ(first->Ended() + second->Ended(), 1);
    EXPECT_EQ(control->KillByName(folder), 1);
    EXPECT_TRUE(first->Ended() && second->Ended());
    EXPECT_EQ(control->KillByName(folder), 0);
    EXPECT_FALSE(control->IsRunning(folder));
  }
}

// Only a program inside "<Windows folder>\Tevlin\" is ended; one in a sibling folder whose
// name merely starts with "Tevlin", or elsewhere, is only logged. The module in use here
// is each program's own file.
TEST_F(ProcessControlTest, EndsModuleUsersOnlyInsideTheProductFolder) {
  const std::string windows = WindowsFolder();
  for (const Family& family : kFamilies) {
    SCOPED_TRACE(family.name);
    const std::string tag = name_ + family.name;
    struct Row {
      std::string folder;
      int result;
    } rows[] = {{windows + "\\Tevlin\\" + tag, 1},
                {windows + "\\Tevlin" + tag, 0},
                {dir_ + "\\" + family.name, 0}};
    std::unique_ptr<ProcessControl> control = family.make();
    ASSERT_TRUE(control->Init());
    for (const Row& row : rows) {
      const std::string program = row.folder + "\\user.exe";
      auto user = StartIdleCopy(program);
      ASSERT_FALSE(user->Ended(200));
      EXPECT_EQ(control->KillModuleUsers(Lower(program), false), 0);
      EXPECT_FALSE(user->Ended()) << "the kill flag is clear";
      EXPECT_EQ(control->KillModuleUsers(program, true), row.result) << program;
      EXPECT_EQ(user->Ended(), row.result == 1) << program;
      EXPECT_NE(Log().find("Module: " + program + " is used by Process: "), std::string::npos)
          << Log();
      user.reset();
      RemoveFolderTree(row.folder);
    }
  }
  RemoveDirectoryA((windows + "\\Tevlin").c_str());
}

TEST_F(ProcessControlTest, CommandsFindAndEndAProcessAndRefuseUnusableNames) {
  const std::string folder = dir_ + "\\CommandFolder";
  auto idle = StartIdleCopy(folder + "\\idle.exe");
  ASSERT_EQ(
      Run({"ISPROCESSRUNNING Before=" + Lower(folder), "SET Name=" + folder, "KILLPROCESS %%Name%%",
           "ISPROCESSRUNNING After=%%Name%%", "KILLPROCESS " + folder}),
      0u)
      << Log();
  EXPECT_EQ(Symbol("Before"), "TRUE");
  EXPECT_EQ(Symbol("After"), "FALSE");
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
// that closes on WM_CLOSE ends by itself, one that ignores it is terminated after the wait,
// a process without windows at once; the run's own program, whose path holds the same
// text, is never ended.
TEST_F(ProcessControlTest, WholeRunsEndWindowsAndWindowlessProcessesOnBothFamilies) {
  const std::string appDefaults = "Software\\Wine\\AppDefaults\\OrqexW98.exe";
  UniqueRegKey key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, appDefaults.c_str(), key.Put()), ERROR_SUCCESS);
  ASSERT_EQ(
      RegSetValueExA(key.Get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6),
      ERROR_SUCCESS);
  for (const char* program : {"OrqexNt.exe", "OrqexW98.exe"}) {
    SCOPED_TRACE(program);
    const std::string apps = dir_ + "\\" + program + "_apps";
    auto closing = StartWindow(apps + "\\closing.exe", name_ + "_closing" + program, "");
    auto ignoring =
        StartWindow(apps + "\\ignoring.exe", name_ + "_ignoring" + program, "--ignore-close");
    auto idle = StartIdleCopy(apps + "\\idle.exe");
    const std::string script = dir_ + "\\" + program + ".Orq";
    WriteTextFile(script, "[DefaultInstall]\r\nISPROCESSRUNNING Before=" + apps +
                              "\r\nKILLPROCESS " + apps + "\\closing\r\nKILLPROCESS " + apps +
                              "\\ignoring\r\nKILLPROCESS " + apps + "\\idle\r\nKILLPROCESS " +
                              dir_ + "\r\nISPROCESSRUNNING After=" + dir_ +
                              "\r\nSET Seen=%%Before%% %%After%%\r\n");
    const std::string log = dir_ + "\\" + program + ".log";
    DWORD start = GetTickCount();
    auto run =
        StartProgramCopy("Orqex.exe", dir_ + "\\" + program, "/Script=" + script + " /Log=" + log);
    ASSERT_TRUE(run->Ended(60000));
    EXPECT_EQ(run->ExitCode(), 0u) << ReadTextFile(log);
    EXPECT_GE(GetTickCount() - start, 10000u) << "the ignoring window had its 10 s";
    EXPECT_NE(ReadTextFile(log).find("SET Seen=TRUE FALSE"), std::string::npos)
        << ReadTextFile(log);
    ASSERT_TRUE(closing->Ended() && ignoring->Ended() && idle->Ended());
    EXPECT_EQ(closing->ExitCode(), kClosedExitCode);
    EXPECT_EQ(ignoring->ExitCode(), 0u);
    EXPECT_EQ(idle->ExitCode(), 0u);
  }
  key.Reset();
  RegDeleteKeyA(HKEY_CURRENT_USER, appDefaults.c_str());
}
}  // namespace
