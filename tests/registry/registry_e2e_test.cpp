// A whole run of Orqex.exe: the example script, installed and uninstalled.

#include "support_code/script_test.h"

namespace {
using RegistryProgram = ScriptTest;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The example with its fixed key replaced by this test's scratch key, run from its folder.
TEST_F(RegistryProgram, ExampleRecordsReadsBackAndUninstalls) {
  std::string script = ReadTextFile(SourceTreePath("examples/example.Orq"));
  ASSERT_FALSE(script.empty()) << "ORQ_SOURCE_DIR must name the source tree";
  script = Replaced(script, "Software\\OrqexExample", Sub());
  script = Replaced(script, "Software,OrqexExample", "Software\\OrqTest," + name_);
  WriteTextFile(dir_ + "\\example.ini", ReadTextFile(SourceTreePath("examples/example.ini")));
  PutRegistryValue(HKEY_LOCAL_MACHINE, "Software\\OrqTest");  // CREATEREGKEY's parent

  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir_.c_str());
  OrqexRun install = RunScript(dir_, script, "", "example.Orq");
  std::string installLog = Log();
  EXPECT_EQ(Value("Product"), Sz("Orqex Example"));
  EXPECT_EQ(Value("Installs", "Settings"), Dword(1));
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
