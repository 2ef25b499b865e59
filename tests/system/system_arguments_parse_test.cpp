// The OS-free rules of the service and system information commands at their bounds, where
// the runs under Wine cannot reach.
#include <gtest/gtest.h>

#include "commands/system/service_arguments_parse.h"
#include "commands/system/system_info_parse.h"
#include "engine/mbcs.h"

namespace {
TEST(SystemArguments, FieldsAreRefusedRatherThanCutOrLeftUnquoted) {
  const std::string p257 = "C:\\" + std::string(248, 'p') + " x.exe";
  const std::pair<std::string, std::string> rows[] = {
      {"N,D," + p257, "\"" + p257 + "\""},  // quoted: 259 bytes
      {"N,D," + p257 + "x", "51"},          // quoted it would not fit
      {"N,D,C:\\a b.exe\",", "C:\\a b.exe\""},
      {std::string(260, 'n') + ",D,C:\\a.exe", "51"},
      {"N,D,C:\\a.exe," + std::string(260, 'd') + ",AUTO", "51"},
      {"N,D,C:\\a.exe,,,NODESKTOP", "51"}};
  for (const auto& [text, program] : rows) {
    ServiceDefinition definition;
    unsigned status = ParseServiceDefinition(text, definition);
    EXPECT_EQ(status ? std::to_string(status) : definition.program, program) << text;
  }
  EXPECT_EQ(ServiceKeyPath(std::string(225, 'k')).size(), 259u);
  EXPECT_EQ(ServiceKeyPath(std::string(226, 'k')), "");
  SetAnsiCodePageForTesting(932);  // a trail byte that equals a backslash stays
  EXPECT_EQ(WithoutTrailingBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C");
  SetAnsiCodePageForTesting(0);
}
}  // namespace
