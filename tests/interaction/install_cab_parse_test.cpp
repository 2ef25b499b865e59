#include "commands/interaction/install_cab_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(InstallCabArgument, SplitsTheSymbolFromTheValue) {
  struct Case {
    const char *text;
    unsigned status;
    const char *name;
    const char *value;
  };
  const Case cases[] = {
      {"R=C:\\x.cab,1", 0, "R", "C:\\x.cab,1"},
      {" R = %%Cab%% ", 0, "R", "%%Cab%%"},
      {"R=", 51, "", ""},
      {"R", 51, "", ""},
      {"R=   ", 51, "", ""},
  };
  for (const Case &c : cases) {
    std::string name, value;
    EXPECT_EQ(SplitInstallCabArgument(c.text, name, value), c.status) << c.text;
    if (c.status == 0) {
      EXPECT_EQ(name, c.name);
      EXPECT_EQ(value, c.value);
    }
  }
  std::string name, value;
  EXPECT_EQ(SplitInstallCabArgument("R=" + std::string(1040, 'x'), name, value), 51u);
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
      {"a.cab,", 0, "a.cab", {}},
      {",1,2", 51, "", {}},
      {"  ,1", 51, "", {}},
      {std::string(259, 'p'), 0, std::string(259, 'p'), {}},
      {std::string(260, 'p') + ",1", 51, "", {}},
  };
  for (const Case &c : cases) {
    InstallCabFields fields;
    EXPECT_EQ(SplitInstallCabFields(c.text, fields), c.status) << c.text;
    if (c.status == 0) {
      EXPECT_EQ(fields.cabinetPath, c.path) << c.text;
      EXPECT_EQ(fields.numbers, c.numbers) << c.text;
    }
  }
}
}  // namespace
