#include "orqcab/cab_entry_name_parse.h"

#include <gtest/gtest.h>

#include <utility>

#include "support/mbcs.h"

namespace {
struct NameCase {
  const char* name;
  const char* accepted;  // the relative path, or nullptr when refused
};

TEST(CabEntryName, KeepsEveryNameInsideTheTargetFolder) {
  const NameCase cases[] = {
      {"readme.txt", "readme.txt"},
      {"bin/tool.dat", "bin\\tool.dat"},
      {"a\\b/c.txt", "a\\b\\c.txt"},
      {".hidden", ".hidden"},
      {"a..b.txt", "a..b.txt"},
      {"..\\evil.txt", nullptr},
      {"a\\..\\..\\evil.txt", nullptr},
      {"...\\x", nullptr},
      {". .\\x", nullptr},
      {"a\\ \\x", nullptr},
      {"\\evil.txt", nullptr},
      {"/evil.txt", nullptr},
      {"C:\\evil.txt", nullptr},
      {"C:evil.txt", nullptr},
      {"file.txt:stream", nullptr},
      {"a\\\\b", nullptr},
      {"", nullptr},
      {"a?b", nullptr},
      {"a\tb", nullptr},
      // Names the system would store under another name, or that open a device.
      {"a.txt.", nullptr},
      {"dir \\x", nullptr},
      {"NUL", nullptr},
      {"nul.txt", nullptr},
      {"sub\\NUL", nullptr},
      {"COM1.dat", nullptr},
      {"lpt9", nullptr},
      {"Aux .cab", nullptr},
      {"CONOUT$", nullptr},
      {"dev\\com\xb9", nullptr},
      {"NUL\\x.txt", nullptr},
      {"nullish.txt", "nullish.txt"},
      {"COM10", "COM10"},
      {"CONSOLE.txt", "CONSOLE.txt"},
      {"x\\LPT.txt", "x\\LPT.txt"},
  };
  for (const NameCase& c : cases) {
    const CabEntryName result = CheckCabEntryName(c.name);
    EXPECT_EQ(result.accepted, c.accepted != nullptr) << c.name;
    if (c.accepted) {
      EXPECT_EQ(result.relativePath, c.accepted) << c.name;
    } else {
      EXPECT_FALSE(result.reason.empty()) << c.name;
    }
  }
}

TEST(CabEntryName, ACabinetPathThroughADeviceIsRefused) {
  const std::pair<const char*, bool> cases[] = {
      {"C:\\updates\\AUX.cab", true},     {"C:/updates/com1.cab", true},
      {"\\\\.\\COM1", true},              {"C:\\NUL\\x.cab", true},
      {"C:\\updates\\auxiliary.cab", false}, {"C:\\CON10\\x.cab", false},
      {"x.cab", false},
  };
  for (const auto& [path, device] : cases) EXPECT_EQ(PathNamesDevice(path), device) << path;
}

TEST(CabEntryName, DoubleByteTrailBackslashIsNoSeparator) {
  // 0x95 0x5C is one character in code page 932; in a single-byte code page its
  // second byte is a backslash, which makes "..", or a device name, a part of its own.
  const std::string name = "\x95\\..\\x.txt";
  const std::string device = "\x95\\AUX\\x.txt";
  SetAnsiCodePageForTesting(932);
  EXPECT_FALSE(CheckCabEntryName(name).accepted);  // a part ending in dots
  EXPECT_TRUE(CheckCabEntryName(device).accepted);
  EXPECT_EQ(CheckCabEntryName("\x95\\\\x.txt").relativePath, "\x95\\\\x.txt");
  EXPECT_FALSE(CheckCabEntryName("\x95/..\\x.txt").accepted);  // no code page pairs 0x95 "/"
  SetAnsiCodePageForTesting(0);
  if (!IsLeadByte(0x95)) {
    EXPECT_FALSE(CheckCabEntryName(name).accepted);
    EXPECT_FALSE(CheckCabEntryName(device).accepted);
  }
}
}  // namespace
