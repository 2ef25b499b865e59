#include "commands/interaction/install_cab_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(InstallCabArgument, RefusesAMissingOrEmptyValueWith51) {
  std::string name, value;
  for (const std::string& text :
       {std::string("R="), std::string("R"), std::string("R=   "), "R=" + std::string(1040, 'x')}) {
    EXPECT_EQ(SplitInstallCabArgument(text, name, value), 51u) << text;
  }
  EXPECT_EQ(SplitInstallCabArgument(" R = %%Cab%%,1 ", name, value), 0u);
  EXPECT_EQ(name + "|" + value, "R|%%Cab%%,1");
}

TEST(InstallCabArgument, ReadsThePathAndSixNumbers) {
  using Numbers = std::array<std::int32_t, 6>;
  struct Case {
    std::string text;
    unsigned status;
    std::string path;
    Numbers numbers;
  };
  const Case cases[] = {
      {"C:\\x.cab,1", 0, "C:\\x.cab", {1, 0, 0, 0, 0, 0}},
      {" C:\\x.cab , 1 ,-2, 3x,,5,6,7,8", 0, "C:\\x.cab", {1, -2, 3, 0, 5, 6}},
      {"a.cab,99999999999,-99999999999", 0, "a.cab", {2147483647, -2147483647 - 1, 0, 0, 0, 0}},
      {",1,2", 51, "", {}}, {"  ,1", 51, "", {}},
      {std::string(259, 'p'), 0, std::string(259, 'p'), {}},
      {std::string(260, 'p') + ",1", 51, "", {}},  // never a cut path
  };
  for (const Case& c : cases) {
    InstallCabFields fields;
    EXPECT_EQ(SplitInstallCabFields(c.text, fields), c.status) << c.text;
    if (c.status == 0) {
      EXPECT_EQ(fields.cabinetPath, c.path) << c.text;
      EXPECT_EQ(fields.numbers, c.numbers) << c.text;
    }
  }
}
}  // namespace
