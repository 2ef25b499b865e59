// A run under the double-byte code page 932, where a character's trail byte may be "\",
// "|", "[" or "]": names, values, conditions and key names holding such characters work
// whole (a key name of 200 double-byte characters, 400 bytes, is walked like any other).
#include <gtest/gtest.h>
#include <shlwapi.h>

#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
// Characters of code page 932 and their trail bytes.
const std::string kTrailBackslash = "\x95\x5C";
const std::string kTrailBar = "\x83\x7C";
const std::string kTrailOpen = "\x83\x5B";
const std::string kTrailClose = "\x83\x5D";

TEST(DoubleByte, RunsNamesValuesConditionsAndKeysWithSeparatorTrailBytes) {
  ASSERT_EQ(GetACP(), 932u) << "this test must run with LC_ALL=ja_JP.UTF-8";
  const std::string tree = "Software\\OrqTestCp932\\Tree";
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += kTrailBackslash;
  UniqueRegKey key;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (tree + "\\" + longName + "\\Deeper").c_str(),
                          key.Put()),
            ERROR_SUCCESS);
  key.Reset();
  std::string dir = MakeScratchDir("e2e_cp932");
  const std::string name = kTrailBar;                       // a symbol name
  const std::string value = kTrailBackslash + kTrailOpen;   // a value
  const std::string script =
      "[Main" + kTrailBackslash + "]\r\n"                                      // line 1
      "SET " + name + "=" + value + "\r\n"                                     // line 2
      "CALL R=Sub" + kTrailClose + "\r\n"                                      // line 3
      "CONTINUEIF %%R%%==" + kTrailBar + kTrailOpen + "\r\n"                   // line 4
      "CONTINUEIF %%" + name + "%%==" + value + "|x==y\r\n"                    // line 5
      "CALLIF %%" + name + "%%!=" + kTrailBar + ", Sub" + kTrailClose + "\r\n" // line 6
      "DELETEREGKEYRECURSIVE HKLM\\" + tree + "\r\n"                           // line 7
      "CONTINUEIF %%" + name + "%%==stop here\r\n"                             // line 8
      "[Sub" + kTrailClose + "]\r\n"
      "RETURN " + kTrailBar + kTrailOpen + "\r\n";
  OrqexRun run = RunScript(dir, script, "/Section=Main" + kTrailBackslash);
  EXPECT_EQ(run.exitCode, 0u);
  std::string log = ReadTextFile(dir + "\\run.log");
  EXPECT_NE(log.find("Executing line 2: SET " + name + "=" + value + "\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Running Section: Sub" + kTrailClose), std::string::npos);
  // Only the last condition failed: every earlier one held with its bytes intact.
  EXPECT_NE(log.find("finished on a conditional stop: %%" + name + "%%==stop here. Line:8"), std::string::npos) << log;
  EXPECT_EQ(log.find("Error:"), std::string::npos);
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, tree.c_str(), 0, KEY_READ, key.Put()), ERROR_SUCCESS);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OrqTestCp932");
  RemoveFolderTree(dir);
}

// A folder whose last character's trail byte is "\" is the folder the script ran from, and
// it goes whole, not a name cut inside that character.
TEST(DoubleByte, ScriptFolderEndingInATrailBackslashIsDeleted) {
  std::string base = MakeScratchDir("e2e_cp932_folder");
  std::string victim = base + "\\x" + kTrailBackslash;
  ASSERT_TRUE(CreateDirectoryA(victim.c_str(), nullptr));
  WriteTextFile(victim + "\\setup.Orq", "[DefaultInstall]\r\nSET A=1\r\n");
  OrqexRun run = RunOrqex("/Script=" + victim + "\\setup.Orq /Log=" + base +
                          "\\run.log /DeleteScriptDirectory");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(FileExists(victim)) << ReadTextFile(base + "\\run.log");
  EXPECT_TRUE(FileExists(base));
  RemoveFolderTree(base);
}

// EXTENDPATH twice keeps every byte of PATH, double-byte characters and a long old value
// alike, and a program the script starts afterwards sees exactly that.
TEST(DoubleByte, ExtendPathTwiceKeepsTheWholePathForChildren) {
  std::string saved(32767, '\0');
  saved.resize(GetEnvironmentVariableA("PATH", saved.data(), 32767));
  std::string system(MAX_PATH, '\0');
  system.resize(GetSystemDirectoryA(system.data(), MAX_PATH));
  std::string dir = MakeScratchDir("e2e_cp932_path");
  const std::string shortOld = "C:\\old" + kTrailBackslash + ";" + system;
  const std::string longOld = shortOld + std::string(9000, ';') + "C:\\end" + kTrailBar;
  for (const std::string& old : {shortOld, longOld}) {
    SCOPED_TRACE(old.size());
    ASSERT_TRUE(SetEnvironmentVariableA("PATH", old.c_str()));
    const std::string first = "C:\\x" + kTrailBackslash, second = "C:\\y" + kTrailBar;
    OrqexRun run = RunScript(dir, "[DefaultInstall]\r\nEXTENDPATH " + first + "\r\nEXTENDPATH " +
                                      second + "\r\nRUNWAIT " + system + "\\cmd.exe /c set PATH> " +
                                      dir + "\\path.txt\r\n");
    SetEnvironmentVariableA("PATH", saved.c_str());
    EXPECT_EQ(run.exitCode, 0u);
    const std::string expected = second + ";" + first + ";" + old;
    const std::string log = ReadTextFile(dir + "\\run.log");
    // (A log line holds the first 3,000 bytes or so.)
    EXPECT_NE(log.find("Path Is: " + (first + ";" + old).substr(0, 2000)), std::string::npos);
    EXPECT_NE(log.find("Path Is: " + expected.substr(0, 2000)), std::string::npos);
    const std::string seen = ReadTextFile(dir + "\\path.txt");
    EXPECT_EQ(seen.substr(0, seen.find('\r')), "PATH=" + expected);
  }
  RemoveFolderTree(dir);
}
}  // namespace
