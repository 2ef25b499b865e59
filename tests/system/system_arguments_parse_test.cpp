// The OS-free rules of the service and system information commands, at their bounds.
#include <gtest/gtest.h>

#include "commands/system/service_arguments_parse.h"
#include "commands/system/system_info_parse.h"
#include "engine/mbcs.h"

namespace {
TEST(ServiceArguments, NameListsEndAtTheFirstEmptyNameAndCutLongNames) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(ServiceNameList(" A , B,C"), (Names{"A", "B", "C"}));
  EXPECT_EQ(ServiceNameList("A,,B"), Names{"A"});
  EXPECT_EQ(ServiceNameList(" ,A"), Names{});
  EXPECT_EQ(ServiceNameList(std::string(300, 'n')), Names{std::string(259, 'n')});
}

TEST(ServiceArguments, DefinitionFieldsAreRefusedRatherThanCutOrLeftUnquoted) {
  const std::string p257 = "C:\\" + std::string(248, 'p') + " x.exe";  // 257 bytes
  const struct {
    std::string text;
    unsigned status;
    std::string program;
  } rows[] = {
      {"N,D," + p257, 0, "\"" + p257 + "\""},  // quoted: 259 bytes
      {"N,D," + p257 + "x", 51, ""},           // quoted it would not fit
      {"N,D,C:\\a b.exe\"", 0, "C:\\a b.exe\""},
      {"N,D,C:\\a.exe,", 0, "C:\\a.exe"},
      {std::string(260, 'n') + ",D,C:\\a.exe", 51, ""},
      {"N,D,C:\\a.exe," + std::string(260, 'd') + ",AUTO", 51, ""},
      {"N,D,C:\\a.exe,,MANUALMANUALMANUALMANUAL", 51, ""},
      {"N,D,C:\\a.exe,,,NODESKTOP", 51, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    ServiceDefinition definition;
    EXPECT_EQ(ParseServiceDefinition(row.text, definition), row.status);
    EXPECT_EQ(definition.program, row.program);
  }
  ServiceDefinition withPassword;
  ASSERT_EQ(ParseServiceDefinition("N,D,C:\\a.exe,,boot,NODESKTOP,,pw,extra", withPassword), 0u);
  EXPECT_TRUE(withPassword.passwordRead);
  EXPECT_EQ(withPassword.password, "pw");
  EXPECT_EQ(withPassword.startType, kStartBoot);
  EXPECT_EQ(ServiceKeyPath(std::string(225, 'k')).size(), 259u);
  EXPECT_EQ(ServiceKeyPath(std::string(226, 'k')), "");
}

TEST(SystemInfoRules, WaitsAreNeverNegativeAndHeldToTheSigned32BitRange) {
  const std::pair<std::string, std::uint32_t> rows[] = {{"1500", 1500},
                                                        {" +20x", 20},
                                                        {"-1", 0},
                                                        {"-2147483648", 0},
                                                        {"abc", 0},
                                                        {"2147483647", 2147483647},
                                                        {"4294967295", 2147483647},
                                                        {"99999999999999999999", 2147483647}};
  for (const auto& [text, milliseconds] : rows)
    EXPECT_EQ(WaitMilliseconds(text), milliseconds) << text;
}

TEST(SystemInfoRules, TextsOfFoldersVersionsAndTimes) {
  EXPECT_EQ(WithoutTrailingBackslash("C:\\"), "C:");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\a\\\\"), "C:\\a\\");
  SetAnsiCodePageForTesting(932);
  // A trail byte that equals a backslash stays.
  EXPECT_EQ(WithoutTrailingBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C");
  SetAnsiCodePageForTesting(0);
  EXPECT_EQ(VersionText(4, 10), "4.10");
  EXPECT_EQ(VersionText(5, 1), "5.01");
  std::tm time{};
  time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 5;
  time.tm_hour = 21, time.tm_min = 30, time.tm_sec = 5;
  EXPECT_EQ(TimestampText(time), "20261205213005");
  EXPECT_EQ(FindSpecialFolder("common_startup").win9xFolder, 7);
  EXPECT_EQ(FindSpecialFolder("START").source, FolderSource::None);
}
}  // namespace
