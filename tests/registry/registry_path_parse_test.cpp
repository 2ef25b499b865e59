#include "commands/registry/registry_path_parse.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/mbcs.h"

namespace {
std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

TEST(RegistryRootPrefix, AcceptsOnlyTheFiveUpperCasePrefixes) {
  struct Case {
    const char* text;
    RegistryRoot root;
  } accepted[] = {{"HKLM\\Software", RegistryRoot::LocalMachine},
                  {"HKCR\\.txt", RegistryRoot::ClassesRoot},
                  {"HKCU\\Software", RegistryRoot::CurrentUser},
                  {"HKUS\\.DEFAULT", RegistryRoot::Users},
                  {"HKCC\\Software", RegistryRoot::CurrentConfig}};
  for (const Case& c : accepted) {
    RegistryRoot root = RegistryRoot::LocalMachine;
    EXPECT_EQ(ParseRootPrefix(c.text, root), 0u) << c.text;
    EXPECT_EQ(root, c.root) << c.text;
  }
  for (const char* refused : {"hklm\\Software", "HKEY_LOCAL_MACHINE\\Software", "HKU\\.DEFAULT",
                              "HKLM/Software", "HKLM", "", " HKLM\\Software", "HKCUSoftware"}) {
    RegistryRoot root;
    EXPECT_EQ(ParseRootPrefix(refused, root), 20u) << refused;
  }
}

TEST(RegistryRootPrefix, PrefixAloneNamesTheRootItself) {
  RegistryRoot root;
  ASSERT_EQ(ParseRootPrefix("HKLM\\", root), 0u);
  EXPECT_EQ(SubKeyOf("HKLM\\"), "");
  EXPECT_EQ(SubKeyOf("HKLM\\Software\\Example"), "Software\\Example");
}

TEST(RegistryReadSpec, SplitsNameKeyAndValueAndTrimsThem) {
  ValueReadSpec spec;
  ASSERT_EQ(ParseValueReadSpec("  V =  HKCU\\Software\\Example ,  a,b  ", spec), 0u);
  EXPECT_EQ(spec.symbolName, "V");
  EXPECT_EQ(spec.root, RegistryRoot::CurrentUser);
  EXPECT_EQ(spec.subKey, "Software\\Example");
  EXPECT_EQ(spec.valueName, "a,b");  // later commas belong to the value name

  ASSERT_EQ(ParseValueReadSpec("V=HKLM\\Software\\Example,", spec), 0u);
  EXPECT_EQ(spec.valueName, "");  // the default value
  ASSERT_EQ(ParseValueReadSpec("V=HKLM\\Software\\Ex=ample,n=v", spec), 0u);
  EXPECT_EQ(spec.subKey, "Software\\Ex=ample");
  EXPECT_EQ(spec.valueName, "n=v");
}

TEST(RegistryReadSpec, ReportsEachMissingPartWithItsCode) {
  ValueReadSpec spec;
  EXPECT_EQ(ParseValueReadSpec("HKLM\\Software\\Example,Name", spec), 23u);
  EXPECT_EQ(ParseValueReadSpec("V=hklm\\Software,Name", spec), 20u);
  EXPECT_EQ(ParseValueReadSpec("V=HKLM\\Software\\Example", spec), 22u);
  EXPECT_EQ(ParseValueReadSpec("", spec), 23u);
  EXPECT_EQ(ParseValueReadSpec("V=", spec), 20u);
}

TEST(RegistryReadSpec, FieldsMustFitTwoHundredFiftyNineBytes) {
  ValueReadSpec spec;
  const std::string key = "=HKLM\\S,v";
  EXPECT_EQ(ParseValueReadSpec(Repeat('n', 259) + key, spec), 0u);
  EXPECT_EQ(spec.symbolName.size(), 259u);
  EXPECT_EQ(ParseValueReadSpec(Repeat('n', 260) + key, spec), 23u);

  EXPECT_EQ(ParseValueReadSpec("V=HKLM\\" + Repeat('k', 259) + ",v", spec), 0u);
  EXPECT_EQ(ParseValueReadSpec("V=HKLM\\" + Repeat('k', 260) + ",v", spec), 22u);

  // The last field is refused, not cut: a cut name would read another value.
  EXPECT_EQ(ParseValueReadSpec("V=HKLM\\S," + Repeat('v', 259), spec), 0u);
  EXPECT_EQ(spec.valueName.size(), 259u);
  EXPECT_EQ(ParseValueReadSpec("V=HKLM\\S," + Repeat('v', 260), spec), 25u);
}

TEST(RegistryWriteSpec, SplitsKeyNameAndDataAndReadsTheTypeTag) {
  struct Case {
    const char* text;
    const char* data;
    std::uint32_t type;
  } cases[] = {
      {"HKLM\\Software\\Example,Count=/REG_DWORD:12", "12", kRegistryTypeDword},
      {"HKLM\\Software\\Example,Path=C:\\Temp", "C:\\Temp", kRegistryTypeString},
      {"HKLM\\Software\\Example,Mode=/reg_sz:on", "on", kRegistryTypeString},
      {"HKLM\\Software\\Example,Mode=/Reg_Dword:5", "5", kRegistryTypeDword},
      {"HKLM\\Software\\Example,Name=/REG_QWORD:5", "/REG_QWORD:5", kRegistryTypeString},
      {"HKLM\\Software\\Example,Name=/REG_DWORD: 7", " 7", kRegistryTypeDword},
      {"HKLM\\Software\\Example,Name=/REG_SZ :x", "/REG_SZ :x", kRegistryTypeString},
      {"HKLM\\Software\\Example,Name=%%X%%", "%%X%%", kRegistryTypeString},
      {"HKLM\\Software\\Example,Name= a=b,c ", "a=b,c", kRegistryTypeString},
      {"HKLM\\Software\\Example,Name=", "", kRegistryTypeString},
  };
  for (const Case& c : cases) {
    ValueWriteSpec spec;
    ASSERT_EQ(ParseValueWriteSpec(c.text, spec), 0u) << c.text;
    EXPECT_EQ(spec.subKey, "Software\\Example") << c.text;
    EXPECT_EQ(spec.data, c.data) << c.text;
    EXPECT_EQ(spec.type, c.type) << c.text;
  }
  ValueWriteSpec spec;
  ASSERT_EQ(ParseValueWriteSpec("HKUS\\.DEFAULT\\X , Name  =v", spec), 0u);
  EXPECT_EQ(spec.root, RegistryRoot::Users);
  EXPECT_EQ(spec.subKey, ".DEFAULT\\X");
  EXPECT_EQ(spec.valueName, "Name");
}

TEST(RegistryWriteSpec, ReportsEachMissingPartAndOverlongField) {
  ValueWriteSpec spec;
  EXPECT_EQ(ParseValueWriteSpec("HKEY_LOCAL_MACHINE\\Software,N=1", spec), 20u);
  EXPECT_EQ(ParseValueWriteSpec("HKLM\\Software\\Example", spec), 22u);
  EXPECT_EQ(ParseValueWriteSpec("HKLM\\Software\\Example,Name", spec), 21u);
  EXPECT_EQ(ParseValueWriteSpec("HKLM\\" + Repeat('k', 260) + ",N=1", spec), 22u);
  EXPECT_EQ(ParseValueWriteSpec("HKLM\\S," + Repeat('n', 260) + "=1", spec), 21u);
  EXPECT_EQ(ParseValueWriteSpec("HKLM\\S,N=" + Repeat('d', 259), spec), 0u);
  EXPECT_EQ(spec.data.size(), 259u);
  EXPECT_EQ(ParseValueWriteSpec("HKLM\\S,N=" + Repeat('d', 260), spec), 25u);
}

TEST(RegistryDword, ConvertsSignedDecimalTextToThirtyTwoBits) {
  struct Case {
    const char* text;
    std::uint32_t value;
  } cases[] = {{"12", 12},
               {" \t7", 7},
               {"-1", 0xFFFFFFFFu},
               {"+5", 5},
               {"0x10", 0},
               {"", 0},
               {"abc", 0},
               {"12abc", 12},
               {"- 3", 0},
               {"2147483647", 0x7FFFFFFFu},
               {"-2147483648", 0x80000000u},
               {"4294967295", 0xFFFFFFFFu},
               {"000000000000000042", 42}};
  for (const Case& c : cases) {
    std::uint32_t value = 99;
    ASSERT_TRUE(DwordFromText(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  for (const char* outside : {"4294967296", "-2147483649", "99999999999999999999999"}) {
    std::uint32_t value = 0;
    EXPECT_FALSE(DwordFromText(outside, value)) << outside;
  }
}

TEST(RegistryDword, ReadsBackAsSignedDecimal) {
  EXPECT_EQ(DwordToText(255), "255");
  EXPECT_EQ(DwordToText(0), "0");
  EXPECT_EQ(DwordToText(0xFFFFFFFFu), "-1");
  EXPECT_EQ(DwordToText(0x80000000u), "-2147483648");
  EXPECT_EQ(DwordToText(0x7FFFFFFFu), "2147483647");
}

TEST(RegistryPathAndName, SplitsAtTheFirstCommaAndRefusesAnOverlongPath) {
  std::string path, name;
  ASSERT_EQ(SplitPathAndName(" HKLM\\Software , Example\\Sub,more ", path, name), 0u);
  EXPECT_EQ(path, "HKLM\\Software");
  EXPECT_EQ(name, "Example\\Sub,more");
  EXPECT_EQ(SplitPathAndName("HKLM\\Software", path, name), 51u);
  EXPECT_EQ(SplitPathAndName(Repeat('k', 260) + ",v", path, name), 51u);
}

TEST(RegistryDoubleByte, TrailBytesNeverSplitFields) {
  SetAnsiCodePageForTesting(932);
  // 0x95 0x5C is one character whose trail byte is a backslash; 0x82 0x2C makes the
  // comma a trail byte, so the field goes on to the next comma.
  ValueReadSpec spec;
  ASSERT_EQ(ParseValueReadSpec("V=HKLM\\A\x95\x5C"
                               "B\x82,C,Name",
                               spec),
            0u);
  EXPECT_EQ(spec.subKey,
            "A\x95\x5C"
            "B\x82,C");
  EXPECT_EQ(spec.valueName, "Name");
  ValueWriteSpec write;
  ASSERT_EQ(ParseValueWriteSpec("HKLM\\K,N=\x82:/REG_DWORD:1", write), 0u);
  EXPECT_EQ(write.type, kRegistryTypeString);
  SetAnsiCodePageForTesting(0);
}
}  // namespace
