// The product example as an agent runs it: each outcome reaches the agent, and the machine
// holds the product exactly while it is installed.
#include <shlobj.h>

#include "support_code/script_test.h"

namespace {
const char kProductKey[] = "Software\\OrqDemo";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\orqdemo.exe";

TEST(ProductExample, InstallsUpdatesAndLeavesNothingAfterTheUninstall) {
  const std::string setup = MakeScratchDir("product_example");
  CreateDirectoryA((setup + "\\payload").c_str(), nullptr);
  for (const char* file : {"product.Orq", "payload\\orqdemo.ini", "payload\\readme.txt"}) {
    const std::string from = SourceTreePath(std::string("examples\\product\\") + file);
    ASSERT_TRUE(CopyFileA(from.c_str(), (setup + "\\" + file).c_str(), FALSE))
        << from << " (ORQ_SOURCE_DIR must name the source tree)";
  }
  ASSERT_TRUE(CopyFileA((TestBinDir() + "\\orqdemo.exe").c_str(),
                        (setup + "\\payload\\orqdemo.exe").c_str(), FALSE));
  // Registers the agent interfaces' type library, which the agent's callback needs.
  RunProgram("\"" + TestBinDir() + "\\OrqCab.exe\" /RegServer");
  const std::string folder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\OrqDemo";
  const std::string ini = folder + "\\orqdemo.ini";
  const std::string shortcut = ShellFolder(CSIDL_COMMON_STARTMENU) + "\\OrqDemo Status.lnk";
  const StoredValue kMissing{REG_NONE, ""};

  const std::string installed = "Finished 0x00000000 OrqDemo 1.0.0 is installed in " + folder;
  struct Step {
    const char* name;
    const char* section;
    std::string finished;  // what the agent is told at the end
    const char* logLine;   // a line the run writes to its log
    bool present;          // whether the product is on the machine afterwards
    bool toolOpen;         // whether a program of the product's name runs meanwhile
  } steps[] = {
      {"refused", "",
       "Finished 0x80004005 OrqDemo is still running: close it and start the setup again",
       "finished on a conditional stop", false, true},
      {"install", "", installed, "Starting service...OrqDemoService.", true, false},
      {"update", "", installed, "Stopping service...OrqDemoService.", true, false},
      {"uninstall", " /Section=Uninstall", "Finished 0x00000000 OrqDemo is removed",
       "Stopping service...OrqDemoService.", false, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    const auto tool = step.toolOpen ? StartIdleCopy(setup + "\\open\\orqdemo.exe") : nullptr;
    const std::string record = setup + "\\" + step.name + ".calls", log = record + ".log";
    // Not quiet: the progress dialog is shown (the prefix has no display, so nobody sees it).
    const OrqexRun run =
        RunProgram("\"" + TestBinDir() + "\\test_agent.exe\" " + record + " /Script=" + setup +
                       "\\product.Orq /Log=" + log + step.section,
                   120000);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(ReadTextFile(record).find(step.finished), std::string::npos) << ReadTextFile(record);
    EXPECT_NE(ReadTextFile(log).find(step.logLine), std::string::npos) << ReadTextFile(log);

    EXPECT_EQ(ServiceState("OrqDemoService"), step.present ? SERVICE_RUNNING : 0u);
    EXPECT_EQ(FileExists(folder), step.present);  // the folder goes with its files
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kProductKey, "Version"),
              step.present ? Sz("1.0.0") : kMissing);
    EXPECT_EQ(RegistryKeyExists(HKEY_LOCAL_MACHINE, kProductKey), step.present);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kAppPathsKey, "Path"),
              step.present ? Sz(folder) : kMissing);
    EXPECT_EQ(FileExists(shortcut), step.present) << shortcut;
    if (!step.present) continue;
    EXPECT_EQ(IniEntry(ini, "Service", "Name"), "OrqDemoService");
    // The user's own setting survives the update.
    EXPECT_EQ(IniEntry(ini, "Options", "CheckIntervalMinutes"),
              std::string(step.name) == "install" ? "60" : "5");
    WritePrivateProfileStringA("Options", "CheckIntervalMinutes", "5", ini.c_str());
  }
  RemoveFolderTree(setup);
}
}  // namespace
