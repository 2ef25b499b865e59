// Whole runs of Orqex.exe: exit codes, log lines and effects of the registry and INI
// commands, and the registry example script.
#include <cstdlib>

#include "registry_test_support.h"

namespace {
using RegistryProgram = ScriptTest;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A file of the source tree, read through Wine's Z: drive.
std::string SourceFile(const std::string& relative) {
  const char* root = std::getenv("ORQ_SOURCE_DIR");
  if (!root) return {};
  return ReadTextFile(Replaced("Z:" + std::string(root) + "/" + relative, "/", "\\"));
}

TEST_F(RegistryProgram, UnreportedAndReportedFailuresEndTheRun) {
  OrqexRun quiet = RunScript(dir_, "[DefaultInstall]\r\nFINDREGVALUE F\r\nSET Never=1\r\n");
  EXPECT_EQ(quiet.exitCode, 23u);
  std::string log = Log();
  EXPECT_NE(log.find("Executing line 2: FINDREGVALUE F"), std::string::npos) << log;
  EXPECT_EQ(log.find("Error:"), std::string::npos) << log;
  EXPECT_EQ(log.find("SET Never"), std::string::npos) << log;

  OrqexRun loud = RunScript(dir_, "[DefaultInstall]\r\nSETREGVALUE " + Key("Missing") + ",A=1\r\n");
  EXPECT_EQ(loud.exitCode, 14u);
  EXPECT_NE(Log().find("Error: Can't open the specified registry Not enough rights or key does "
                       "not exist.\n>>Line 2: SETREGVALUE " +
                       Key("Missing") + ",A=1"),
            std::string::npos)
      << Log();
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Missing")));
}

// The example with its fixed key replaced by this test's scratch key, run from its folder.
TEST_F(RegistryProgram, ExampleRecordsReadsBackAndUninstalls) {
  std::string script = SourceFile("examples/example.Orq");
  std::string ini = SourceFile("examples/example.ini");
  ASSERT_FALSE(script.empty()) << "ORQ_SOURCE_DIR must name the source tree";
  ASSERT_FALSE(ini.empty());
  script = Replaced(script, "Software\\OrqexExample", Sub());
  script = Replaced(script, "Software,OrqexExample", "Software\\OrqTest," + name_);
  WriteTextFile(dir_ + "\\example.ini", ini);
  PutRegistryValue(HKEY_LOCAL_MACHINE, "Software\\OrqTest");  // the parent CREATEREGKEY needs

  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir_.c_str());
  OrqexRun install = RunScript(dir_, script, "", "example.Orq");
  std::string installLog = Log();
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Product").AsString(), "Orqex Example");
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub("Settings"), "Installs").AsDword(), 1u);
  EXPECT_EQ(IniEntry(dir_ + "\\example.ini", "Product", "Version"), "2.1.0.7");
  OrqexRun uninstall = RunScript(dir_, script, "/Section=Uninstall", "example.Orq");
  SetCurrentDirectoryA(previous);

  EXPECT_EQ(install.exitCode, 0u);
  EXPECT_NE(installLog.find("SET Recorded=Orqex Example 2.1.0.7 recorded"), std::string::npos)
      << installLog;
  EXPECT_EQ(uninstall.exitCode, 0u);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub()));
  std::string after = ReadTextFile(dir_ + "\\example.ini");
  EXPECT_NE(after.find("[Product]\r\n[Options]\r\nLanguage=en\r\n"), std::string::npos) << after;
}
}  // namespace
