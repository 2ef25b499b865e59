// Helper programs copied under the test's own paths, found and ended by both families; whether
// a process ended is read back from its own handle.
#include "commands/system/process_control.h"

#include "support/system_folders.h"
#include "support_code/script_test.h"

namespace {
std::string Lower(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

class ProcessControlTest : public ScriptTest {};

// By name: any text of the path, in any case, one process per call, never the caller. By
// module: only a user inside "<Windows folder>\Tevlin\", not in a sibling "Tevlin..." folder.
TEST_F(ProcessControlTest, BothFamiliesFindAndEndByPathTextAndByModule) {
  const std::string windows = WindowsFolder();
  std::string self(MAX_PATH, '\0');
  self.resize(GetModuleFileNameA(nullptr, self.data(), MAX_PATH));
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
    EXPECT_FALSE(control->IsRunning(self));
    EXPECT_EQ(control->KillByName(self), 0);

    const std::string tag = name_ + family;
    for (auto [place, ended] : {std::make_pair(windows + "\\Tevlin\\" + tag, true),
                                std::make_pair(windows + "\\Tevlin" + tag, false)}) {
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
  // A name that is empty, or that an expansion could not give whole, ends nothing.
  EXPECT_EQ(Run({"SET Empty=", "KILLPROCESS %%Empty%%"}), 1u);
  ExpectFailures({{"KILLPROCESS %%Nothing%%", 28}, {"ISPROCESSRUNNING Running", 51},
                  {"ISPROCESSRUNNING Running=%%Nothing%%", 28}});
}
}  // namespace
