#include "commands/interaction/install_cab_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// The argument "NAME=value" (here without symbols, so the value is its own expansion): the
// cabinet path and up to six numbers, or 51 without a path or with one that would be cut.
TEST(InstallCabArgument, ReadsTheSymbolThePathAndSixNumbers) {
  struct Case {
    std::string text;
    unsigned status;
    std::string path;
    std::array<std::int32_t, 6> numbers;
  };
  const Case cases[] = {
      {" R = C:\\x.cab,1 ", 0, "C:\\x.cab", {1, 0, 0, 0, 0, 0}},
      {"R= C:\\x.cab , 1 ,-2, 3x,,5,6,7,8", 0, "C:\\x.cab", {1, -2, 3, 0, 5, 6}},
      {"R=a.cab,99999999999,-99999999999", 0, "a.cab", {2147483647, -2147483647 - 1, 0, 0, 0, 0}},
      {"R=" + std::string(259, 'p'), 0, std::string(259, 'p'), {}},
      {"R=", 51, "", {}}, {"R", 51, "", {}}, {"R=   ", 51, "", {}}, {"R=,1,2", 51, "", {}},
      {"R=  ,1", 51, "", {}}, {"R=" + std::string(1040, 'x'), 51, "", {}},
      {"R=" + std::string(260, 'p') + ",1", 51, "", {}},  // never a cut path
  };
  for (const Case& c : cases) {
    std::string name, value;
    InstallCabFields fields;
    unsigned status = SplitInstallCabArgument(c.text, name, value);
    if (status == 0) status = SplitInstallCabFields(value, fields);
    EXPECT_EQ(status, c.status) << c.text;
    if (c.status == 0) {
      EXPECT_EQ(name + "|" + fields.cabinetPath, "R|" + c.path) << c.text;
      EXPECT_EQ(fields.numbers, c.numbers) << c.text;
    }
  }
}
}  // namespace
