// Whole runs of Orqex.exe: the example script, and lines that must touch nothing.

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

// A symbol value that does not fit the field it is expanded into never reaches a write or a
// delete: the line fails with 59 and the key and the INI file stay exactly as they were.
TEST_F(RegistryProgram, CutExpansionsWriteAndDeleteNothing) {
  const std::string ini = dir_ + "\\app.ini";
  const std::string iniBytes = "[Paths]\r\nList=C:\\old\r\n";
  // L: 300 bytes, V: 255 bytes, M: 1000 bytes (a line holds at most 512).
  const std::string kSymbols = "[DefaultInstall]\r\nSET L=" + std::string(300, 's') +
                               "\r\nSET V=" + std::string(255, 'v') +
                               "\r\nSET H=" + std::string(500, 'm') + "\r\nSET M=%%H%%%%H%%\r\n";
  struct Case {
    std::string line;
    unsigned code;
  } cases[] = {
      {"DELETEREGVALUE " + Key() + ",%%L%%Keep", 59},
      {"SETREGVALUE " + Key() + ",%%M%%=x", 59},
      {"SETREGVALUE " + Key() + ",List=%%M%%;C:\\new", 59},
      {"SETREGVALUE " + Key("R2") + "\\%%M%%,A=x", 59},
      {"SETINIFILEVALUE " + ini + ",Paths,List=%%L%%", 59},
      {"SETINIFILEVALUE " + ini + ",Paths,List=%%V%%;C:\\extra", 59},
      {"DELETEINIFILESECTION " + ini + "%%M%%,Paths", 59},
      {"SETWORKDIR %%M%%", 59},
      {"DELETEREGVALUE " + Key() + ",Keep%%Unclosed", 28},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Keep", Sz("kept"));
    PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "", Sz("default"));
    PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "List", Sz("C:\\old"));
    PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("R2"));
    WriteTextFile(ini, iniBytes);
    const std::string script = kSymbols + c.line + "\r\nSET After=1\r\n";
    EXPECT_EQ(RunScript(dir_, script).exitCode, c.code);
    const std::string error = c.code == 59 ? "Error: A symbol's value does not fit in the line."
                                           : "Error: Specified symbol was not found.";
    EXPECT_NE(Log().find(error + "\n>>Line 6: " + c.line), std::string::npos) << Log();
    EXPECT_EQ(Log().find("SET After"), std::string::npos);
    EXPECT_EQ(Value("Keep"), Sz("kept"));
    EXPECT_EQ(Value(""), Sz("default"));
    EXPECT_EQ(Value("List"), Sz("C:\\old"));
    EXPECT_EQ(Value("A", "R2"), StoredValue(REG_NONE, ""));
    EXPECT_EQ(ReadTextFile(ini), iniBytes);
  }
}
}  // namespace
