// Whole runs of Orqex.exe: exit codes and log lines of the engine's outcomes.
#include <gtest/gtest.h>

#include "support_code/win32_test_utils.h"

namespace {
class ScriptRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir(std::string("e2e_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { RemoveFolderTree(dir_); }
  std::string Log() const { return ReadTextFile(dir_ + "\\run.log"); }
  std::string dir_;
};

TEST_F(ScriptRuns, SuccessfulRunExitsWithZeroAndLogsEachLine) {
  OrqexRun run = RunScript(dir_, "[DefaultInstall]\r\nSET A=1\r\nSET B=%%A%%2\r\n");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0u);
  std::string log = Log();
  EXPECT_NE(log.find("\\Orqex:"), std::string::npos);
  EXPECT_NE(log.find("ScriptFiles=" + dir_ + "\\test.Orq, StartSection=DefaultInstall"), std::string::npos);
  EXPECT_NE(log.find("Executing line 3: SET B=12\r\n"), std::string::npos);
  EXPECT_NE(log.find("Script finished successfully!!"), std::string::npos);
}

TEST_F(ScriptRuns, UnknownWordExitsWithTwoAndAnErrorLine) {
  OrqexRun run = RunScript(dir_, "[Main]\r\nSET A=1\r\nFOO bar\r\nSET B=2\r\n", "/Section=Main");
  EXPECT_EQ(run.exitCode, 2u);
  std::string log = Log();
  EXPECT_NE(log.find("Error: Unrecognized command in script file.\n>>Line 3: FOO bar\r\n"), std::string::npos);
  EXPECT_EQ(log.find("SET B=2"), std::string::npos);
  EXPECT_NE(log.find(" closed."), std::string::npos);
}

TEST_F(ScriptRuns, ConditionalStopExitsWithZero) {
  OrqexRun run = RunScript(dir_, "[Main]\r\nSET OK=FALSE\r\nCALL Sub\r\nFOO\r\n[Sub]\r\nCONTINUEIF %%OK%%==TRUE\r\n",
                           "/Section=Main");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_NE(Log().find("finished on a conditional stop: %%OK%%==TRUE. Line:6"), std::string::npos);
  EXPECT_EQ(Log().find("Error:"), std::string::npos);
}

TEST_F(ScriptRuns, LoadFailuresExitWithTheirCodes) {
  EXPECT_EQ(RunScript(dir_, "").exitCode, 8u);
  EXPECT_EQ(RunScript(dir_, "[DefaultInstall]\r\nSET X=" + std::string(600, 'x') + "\r\n").exitCode, 3u);
  EXPECT_EQ(RunScript(dir_, "[Other]\r\nSET X=1\r\n").exitCode, 7u);
  EXPECT_EQ(RunOrqex("/Script=" + dir_ + "\\missing.Orq /Log=" + dir_ + "\\run.log").exitCode, 9u);
  EXPECT_NE(Log().find("Error Loading Script File: " + dir_ + "\\missing.Orq"), std::string::npos);
}

TEST_F(ScriptRuns, EndlessRecursionEndsWithTheNestingError) {
  OrqexRun run = RunScript(dir_, "[DefaultInstall]\r\nCALL Loop\r\n[Loop]\r\nCALL Loop\r\n");
  EXPECT_EQ(run.exitCode, 58u);
  EXPECT_NE(Log().find("Error: Sections call each other too deeply."), std::string::npos);
}
}  // namespace
