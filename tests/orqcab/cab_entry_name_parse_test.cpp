#include "orqcab/cab_entry_name_parse.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/mbcs.h"

namespace {
struct NameCase {
  const char* name;
  const char* accepted = nullptr;  // the relative path, or nullptr when refused
};

TEST(CabEntryName, KeepsEveryNameInsideTheTargetFolder) {
  const NameCase cases[] = {
      {"readme.txt", "readme.txt"}, {"bin/tool.dat", "bin\\tool.dat"}, {".hidden", ".hidden"},
      {"a\\b/c.txt", "a\\b\\c.txt"}, {"a..b.txt", "a..b.txt"}, {"nullish.txt", "nullish.txt"},
      {"COM10", "COM10"}, {"CONSOLE.txt", "CONSOLE.txt"}, {"x\\LPT.txt", "x\\LPT.txt"},
      // Names that leave the folder or are no plain name.
      {"..\\evil.txt"}, {"a\\..\\..\\evil.txt"}, {"...\\x"}, {". .\\x"}, {"a\\ \\x"},
      {"\\evil.txt"}, {"/evil.txt"}, {"C:\\evil.txt"}, {"C:evil.txt"}, {"file.txt:stream"},
      {"a\\\\b"}, {""}, {"a?b"}, {"a\tb"},
      // Names the system would store under another name, or that open a device.
      {"a.txt."}, {"dir \\x"}, {"NUL"}, {"nul.txt"}, {"sub\\NUL"}, {"COM1.dat"}, {"lpt9"},
      {"Aux .cab"}, {"CONOUT$"}, {"dev\\com\xb9"}, {"NUL\\x.txt"},
  };
  for (const NameCase& c : cases) {
    const CabEntryName result = CheckCabEntryName(c.name);
    EXPECT_EQ(result.accepted ? result.relativePath : "<refused>",
              c.accepted ? c.accepted : "<refused>") << c.name;
    EXPECT_EQ(result.reason.empty(), result.accepted) << c.name;
  }
  // A cabinet path through a device, at its end or inside it, is refused too.
  for (const char* device : {"C:/updates/com1.cab", "\\\\.\\COM1", "C:\\NUL\\x.cab"})
    EXPECT_TRUE(PathNamesDevice(device)) << device;
  for (const char* plain : {"C:\\updates\\auxiliary.cab", "C:\\CON10\\x.cab"})
    EXPECT_FALSE(PathNamesDevice(plain)) << plain;
}

TEST(CabEntryName, DoubleByteTrailBackslashIsNoSeparator) {
  // 0x95 0x5C is one character in code page 932; in 1252 its second byte ends a part.
  const std::tuple<unsigned, const char*, bool> rows[] = {
      {932, "\x95\\..\\x.txt", false},  // a part ending in dots
      {932, "\x95\\AUX\\x.txt", true},  {932, "\x95/..\\x.txt", false},  // 0x95 "/" is no pair
      {1252, "\x95\\..\\x.txt", false}, {1252, "\x95\\AUX\\x.txt", false}};
  for (const auto& [codePage, name, accepted] : rows) {
    SetAnsiCodePageForTesting(codePage);
    EXPECT_EQ(CheckCabEntryName(name).accepted, accepted) << codePage << " " << name;
  }
  SetAnsiCodePageForTesting(0);
}
}  // namespace
