// INSTALLCAB under code page 932: base 0 is the folder a cabinet is in, also when the
// cabinet's name ends in a character whose trail byte is "\".
#include <gtest/gtest.h>

#include "interaction/cabinet_test_support.h"

namespace {
const std::string kTrailBackslash = "\x95\x5C";

TEST(DoubleByteCabinet, BaseZeroIsTheFolderTheCabinetIsIn) {
  ASSERT_EQ(GetACP(), 932u) << "this test must run with LC_ALL=ja_JP.UTF-8";
  RegisterOrqCab("/RegServer");
  const std::string dir = MakeScratchDir("e2e_cp932_cabinet");
  const std::string folder = dir + "\\d" + kTrailBackslash;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string cabinet = folder + "\\" + kTrailBackslash + ".cab";
  const std::vector<CabinetEntry> entries = {{"readme.txt", 100},
                                             {"s" + kTrailBackslash + "\\x.txt", 50}};
  ASSERT_TRUE(WriteCabinet(cabinet, entries));
  const OrqexRun run = RunScript(dir, "[DefaultInstall]\r\nINSTALLCAB R=" + cabinet +
                                          "\r\nSET Shown=%%R%%\r\n");
  EXPECT_EQ(run.exitCode, 0u);
  const std::string log = ReadTextFile(dir + "\\run.log");
  EXPECT_NE(log.find("Installed 2 files into " + folder + "\r\n"), std::string::npos) << log;
  for (const CabinetEntry& entry : entries) {
    EXPECT_EQ(ReadTextFile(folder + "\\" + entry.name), PatternBytes(entry.name, entry.size));
  }
  EXPECT_NE(log.find("Executing line 3: SET Shown=TRUE\r\n"), std::string::npos);
  RemoveFolderTree(dir);
}
}  // namespace
