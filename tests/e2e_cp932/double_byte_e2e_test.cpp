// Under code page 932 a character's trail byte may be "\", "|", "[" or "]": never a separator.
#include "files/files_test_support.h"
#include "support/system_folders.h"
#include "interaction/cabinet_test_support.h"

namespace {
const std::string kTrailBackslash = "\x95\x5C", kTrailBar = "\x83\x7C";
const std::string kTrailOpen = "\x83\x5B", kTrailClose = "\x83\x5D";

// Every line but the last condition holds; the 400-byte key name is walked like any other.
TEST(DoubleByte, RunsNamesConditionsKeysFoldersAndCabinetsWithSeparatorTrailBytes) {
  ASSERT_EQ(GetACP(), 932u) << "this test must run with LC_ALL=ja_JP.UTF-8";
  RegisterOrqCab("/RegServer");
  const std::string tree = "Software\\OrqTestCp932\\Tree";
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += kTrailBackslash;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (tree + "\\" + longName + "\\Deeper").c_str(),
                          UniqueRegKey().Put()),
            ERROR_SUCCESS);
  const std::string base = MakeScratchDir("e2e_cp932"), victim = base + "\\s" + kTrailBackslash;
  const std::string top = base + "\\x" + kTrailBackslash, folder = base + "\\d" + kTrailBackslash;
  ASSERT_TRUE(CreateDirectoryA(victim.c_str(), nullptr) &&
              CreateDirectoryA(folder.c_str(), nullptr));
  const std::string cabinet = folder + "\\" + kTrailBackslash + ".cab";
  const std::vector<CabinetEntry> entries = {{"readme.txt", 100},
                                             {"s" + kTrailBackslash + "\\x.txt", 50}};
  ASSERT_TRUE(WriteCabinet(cabinet, entries));
  const std::string name = kTrailBar, value = kTrailBackslash + kTrailOpen;
  WriteTextFile(victim + "\\test.Orq",
      "[Main" + kTrailBackslash + "]\r\n"                                      // line 1
      "SET " + name + "=" + value + "\r\n"                                     // line 2
      "CALL R=Sub" + kTrailClose + "\r\n"                                      // line 3
      "CONTINUEIF %%R%%==" + kTrailBar + kTrailOpen + "\r\n"                   // line 4
      "CONTINUEIF %%" + name + "%%==" + value + "|x==y\r\n"                    // line 5
      "CALLIF %%" + name + "%%!=" + kTrailBar + ", Sub" + kTrailClose + "\r\n" // line 6
      "DELETEREGKEYRECURSIVE HKLM\\" + tree + "\r\n"                           // line 7
      "CREATEDIR " + top + "\\y" + kTrailBackslash + "\\z\r\n"                 // line 8
      "SET P=" + top + "\\y" + kTrailBackslash + "\\f" + kTrailBackslash + "\r\n"
      "STRIPFILENAME P\r\nREMOVEDIRRECURSIVE %%P%%\r\n"                        // lines 10, 11
      "INSTALLCAB C=" + cabinet + "\r\nCONTINUEIF %%C%%==TRUE\r\n"             // lines 12, 13
      "CONTINUEIF %%C%%==stop here\r\n"                                        // line 14
      "[Sub" + kTrailClose + "]\r\nRETURN " + kTrailBar + kTrailOpen + "\r\n");
  EXPECT_EQ(RunOrqex("/Script=" + victim + "\\test.Orq /Log=" + base + "\\run.log /Section=Main" +
                     kTrailBackslash + " /DeleteScriptDirectory").exitCode,
            0u);
  const std::string log = ReadTextFile(base + "\\run.log");
  EXPECT_NE(log.find("Executing line 2: SET " + name + "=" + value + "\r\n"), log.npos) << log;
  EXPECT_NE(log.find("finished on a conditional stop: %%C%%==stop here. Line:14"), log.npos);
  EXPECT_EQ(log.find("Error:"), std::string::npos);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, tree));
  EXPECT_TRUE(FileExists(top) && !FileExists(top + "\\y" + kTrailBackslash));
  EXPECT_FALSE(FileExists(base + "\\x\x95"));  // no folder cut inside the character
  EXPECT_NE(log.find("Installed 2 files into " + folder + "\r\n"), std::string::npos);
  for (const CabinetEntry& entry : entries) {
    EXPECT_EQ(ReadTextFile(folder + "\\" + entry.name), PatternBytes(entry.name, entry.size));
  }
  EXPECT_FALSE(FileExists(victim));
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\OrqTestCp932");
  RemoveFolderTree(base);
}

// A program the script starts afterwards sees every byte of the extended PATH.
TEST(DoubleByte, ExtendPathTwiceKeepsTheWholePathForChildren) {
  std::string saved(32767, '\0');
  saved.resize(GetEnvironmentVariableA("PATH", saved.data(), 32767));
  const std::string system = SystemFolder(), dir = MakeScratchDir("e2e_cp932_path");
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

// The free space is asked of the file's own folder, found without cutting a character.
TEST(DoubleByte, AFullDiskNeverEmptiesAnInstalledFile) {
  SmallDrive drive('q');
  if (!drive.mounted) GTEST_SKIP() << "a tmpfs cannot be mounted here";
  const std::string base = MakeScratchDir("e2e_cp932_full_disk");
  const std::string target = "Q:\\x" + kTrailBackslash, installed(100000, 'i');
  WriteTextFile(target, installed);
  WriteTextFile(base + "\\big.bin", std::string(1 << 20, 'x'));
  EXPECT_EQ(RunScript(base, "[DefaultInstall]\r\nCOPYONEFILE " + base + "\\big.bin," + target +
                                "\r\n").exitCode, 56u);
  EXPECT_EQ(ReadTextFile(target), installed);
  EXPECT_NE(ReadTextFile(base + "\\run.log").find("Error:"), std::string::npos);
  RemoveFolderTree(base);
}
}  // namespace
