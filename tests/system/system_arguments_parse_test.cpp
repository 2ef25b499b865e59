// The OS-free rules of the service and system information commands at their bounds, where
// the runs under Wine cannot reach.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "commands/system/service_arguments_parse.h"
#include "commands/system/system_info_parse.h"
#include "support/mbcs.h"

namespace {
TEST(SystemArguments, ServiceProgramsAreStoredSoThatNoPrefixCanRunInTheirPlace) {
  const std::string p257 = "C:\\" + std::string(248, 'p') + " x.exe";
  // {program field, files that exist, stored program or the refusal}
  const std::tuple<std::string, std::set<std::string>, std::string> rows[] = {
      {"C:\\a.exe b\\c.exe -x", {"C:\\a.exe b\\c.exe"}, "\"C:\\a.exe b\\c.exe\" -x"},
      {"C:\\a.exe b\\c.exe -x", {}, "51"},  // two programs it could be
      {"\"C:\\a b.exe", {}, "51"},           // nor an unclosed one
      {p257, {}, "\"" + p257 + "\""},  // quoted: 259 bytes
      {p257 + "x", {}, "51"},          // quoted it would not fit
  };
  for (const auto& [program, files, stored] : rows) {
    ServiceDefinition definition;
    auto isFile = [&files = files](const std::string& path) { return files.count(path) > 0; };
    unsigned status = ParseServiceDefinition("N,D," + program, definition, isFile);
    EXPECT_EQ(status ? std::to_string(status) : definition.program, stored) << program;
  }
  // A blank after a lead byte still gets the path quoted.
  SetAnsiCodePageForTesting(932);
  ServiceDefinition definition;
  auto none = [](const std::string&) { return false; };
  EXPECT_EQ(ParseServiceDefinition("N,D,C:\\\x95 x.exe", definition, none), 0u);
  SetAnsiCodePageForTesting(0);
  EXPECT_EQ(definition.program, "\"C:\\\x95 x.exe\"");
}

TEST(SystemArguments, ServiceFieldsAreRefusedRatherThanCutAndThePasswordTakesTheRest) {
  auto none = [](const std::string&) { return false; };
  for (const std::string& text :
       {std::string(260, 'n') + ",D,C:\\a.exe", "N,D,C:\\a.exe," + std::string(260, 'd') + ",AUTO",
        std::string("N,D,C:\\a.exe,,,NODESKTOP"), std::string("N,D,C:\\a.exe,,AUTO,NODESKTOP,.\\u,"),
        "N,D,C:\\a.exe,,AUTO,NODESKTOP,.\\u," + std::string(260, 'w')}) {
    ServiceDefinition definition;
    EXPECT_EQ(ParseServiceDefinition(text, definition, none), 51u) << text;
  }
  const std::string withPassword = "N,D,C:\\a.exe,,AUTO,NODESKTOP,.\\u, S3cret,Pass!,x ";
  ServiceDefinition definition;
  ASSERT_EQ(ParseServiceDefinition(withPassword, definition, none), 0u);
  EXPECT_EQ(definition.account, ".\\u");
  EXPECT_EQ(definition.password, "S3cret,Pass!,x");
  SetAnsiCodePageForTesting(932);  // a trail byte that equals a backslash stays
  EXPECT_EQ(WithoutTrailingBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C");
  SetAnsiCodePageForTesting(0);
}
}  // namespace
