// The example script as shipped, installed and uninstalled by Orqex.exe from its own folder.
#include "support_code/script_test.h"

namespace {
using RegistryProgram = ScriptTest;

TEST_F(RegistryProgram, ExampleRecordsReadsBackAndUninstalls) {
  const std::string script = ReadTextFile(SourceTreePath("examples/example.Orq"));
  ASSERT_FALSE(script.empty()) << "ORQ_SOURCE_DIR must name the source tree";
  WriteTextFile(dir_ + "\\example.ini", ReadTextFile(SourceTreePath("examples/example.ini")));
  const std::string key = "Software\\OrqexExample";
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir_.c_str());
  EXPECT_EQ(RunScript(dir_, script, "", "example.Orq").exitCode, 0u);
  EXPECT_NE(Log().find("SET Recorded=Orqex Example 2.1.0.7 recorded"), std::string::npos) << Log();
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, key, "Product"), Sz("Orqex Example"));
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, key + "\\Settings", "Installs"), Dword(1));
  EXPECT_EQ(IniEntry(dir_ + "\\example.ini", "Product", "Version"), "2.1.0.7");
  EXPECT_EQ(RunScript(dir_, script, "/Section=Uninstall", "example.Orq").exitCode, 0u);
  SetCurrentDirectoryA(previous);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
  const std::string after = ReadTextFile(dir_ + "\\example.ini");
  EXPECT_NE(after.find("[Product]\r\n[Options]\r\nLanguage=en\r\n"), std::string::npos) << after;
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}
}  // namespace
