// Folder commands under code page 932: a character whose trail byte is "\" is never taken
// for a folder boundary, neither when a path is made nor when a file name is stripped.
#include <gtest/gtest.h>

#include "files/files_test_support.h"
#include "support_code/win32_test_utils.h"

namespace {
const std::string kTrailBackslash = "\x95\x5C";

TEST(DoubleByteFolders, AreMadeStrippedAndRemovedWhole) {
  ASSERT_EQ(GetACP(), 932u) << "this test must run with LC_ALL=ja_JP.UTF-8";
  const std::string base = MakeScratchDir("e2e_cp932_folders");
  const std::string top = base + "\\x" + kTrailBackslash;
  ASSERT_EQ(
      RunScript(base, "[DefaultInstall]\r\nCREATEDIR " + top + "\\y" + kTrailBackslash + "\r\n")
          .exitCode,
      0u);
  EXPECT_TRUE(FileExists(top + "\\y" + kTrailBackslash));
  EXPECT_FALSE(FileExists(base + "\\x\x95"));  // no folder cut inside the character
  ASSERT_EQ(RunScript(base, "[DefaultInstall]\r\nSET P=" + top + "\\f" + kTrailBackslash +
                                "\r\nSTRIPFILENAME P\r\nREMOVEDIRRECURSIVE %%P%%\r\n")
                .exitCode,
            0u);
  EXPECT_FALSE(FileExists(top)) << ReadTextFile(base + "\\run.log");
  EXPECT_TRUE(FileExists(base + "\\test.Orq"));
  RemoveFolderTree(base);
}
// The free space for replacing a file is asked of its own folder, found without cutting a
// double-byte character: a 1 MB copy over a file on a full 256 KB drive is refused and the
// installed file, whose name ends in a trail byte "\", stays whole.
TEST(DoubleByteFolders, AFullDiskNeverEmptiesAnInstalledFile) {
  ASSERT_EQ(GetACP(), 932u) << "this test must run with LC_ALL=ja_JP.UTF-8";
  SmallDrive drive('q');
  if (!drive.mounted) GTEST_SKIP() << "a tmpfs cannot be mounted here";
  const std::string base = MakeScratchDir("e2e_cp932_full_disk");
  const std::string target = "Q:\\x" + kTrailBackslash, installed(100000, 'i');
  WriteTextFile(target, installed);
  WriteTextFile(base + "\\big.bin", std::string(1 << 20, 'x'));
  OrqexRun run = RunScript(base, "[DefaultInstall]\r\nCOPYONEFILE " + base + "\\big.bin," +
                                     target + "\r\n");
  EXPECT_EQ(run.exitCode, 56u);
  EXPECT_EQ(ReadTextFile(target), installed);
  EXPECT_NE(ReadTextFile(base + "\\run.log").find("Error:"), std::string::npos);
  RemoveFolderTree(base);
}
}  // namespace
