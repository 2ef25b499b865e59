#include "commands/registry/ini_spec_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

TEST(IniReadSpec, SplitsFourTrimmedFieldsAndKeepsCommasInTheKey) {
  IniReadSpec spec;
  ASSERT_EQ(ParseIniReadSpec(" V = app.ini , Main , Key,with,commas ", kIniFieldSize, spec), 0u);
  EXPECT_EQ(spec.symbolName, "V");
  EXPECT_EQ(spec.fileName, "app.ini");
  EXPECT_EQ(spec.section, "Main");
  EXPECT_EQ(spec.key, "Key,with,commas");
  ASSERT_EQ(ParseIniReadSpec("V=a=b.ini,S,", kIniFieldSize, spec), 0u);
  EXPECT_EQ(spec.fileName, "a=b.ini");
  EXPECT_EQ(spec.key, "");
}

TEST(IniReadSpec, ReportsTheFirstMissingSeparator) {
  IniReadSpec spec;
  EXPECT_EQ(ParseIniReadSpec("app.ini,Main,Path", kIniFieldSize, spec), 23u);
  EXPECT_EQ(ParseIniReadSpec("V=app.ini", kIniFieldSize, spec), 27u);
  EXPECT_EQ(ParseIniReadSpec("V=app.ini,Main", kIniFieldSize, spec), 26u);
  EXPECT_EQ(ParseIniReadSpec("", kIniFieldSize, spec), 23u);
}

TEST(IniReadSpec, FieldBoundsFollowTheirBuffers) {
  IniReadSpec spec;
  const std::string rest = "=f,s,k";
  EXPECT_EQ(ParseIniReadSpec(Repeat('n', 259) + rest, kIniFieldSize, spec), 0u);
  EXPECT_EQ(ParseIniReadSpec(Repeat('n', 260) + rest, kIniFieldSize, spec), 23u);
  // GETMESSAGEFROMID's name buffer is 1024 bytes.
  EXPECT_EQ(ParseIniReadSpec(Repeat('n', 1023) + rest, kIniMessageSize, spec), 0u);
  EXPECT_EQ(ParseIniReadSpec(Repeat('n', 1024) + rest, kIniMessageSize, spec), 23u);
  EXPECT_EQ(ParseIniReadSpec("V=" + Repeat('f', 260) + ",s,k", kIniFieldSize, spec), 27u);
  EXPECT_EQ(ParseIniReadSpec("V=f," + Repeat('s', 260) + ",k", kIniFieldSize, spec), 26u);
  EXPECT_EQ(ParseIniReadSpec("V=f,s," + Repeat('k', 259), kIniFieldSize, spec), 0u);
  EXPECT_EQ(ParseIniReadSpec("V=f,s," + Repeat('k', 260), kIniFieldSize, spec), 25u);
}

TEST(IniWriteSpec, ValueKeepsEqualsAndCommas) {
  IniWriteSpec spec;
  ASSERT_EQ(ParseIniWriteSpec(" app.ini , Main , Key = a=b,c ", spec), 0u);
  EXPECT_EQ(spec.fileName, "app.ini");
  EXPECT_EQ(spec.section, "Main");
  EXPECT_EQ(spec.key, "Key");
  EXPECT_EQ(spec.value, "a=b,c");
}

TEST(IniWriteSpec, ReportsMissingPartsAndOverlongFields) {
  IniWriteSpec spec;
  EXPECT_EQ(ParseIniWriteSpec("app.ini", spec), 27u);
  EXPECT_EQ(ParseIniWriteSpec("app.ini,Main", spec), 26u);
  EXPECT_EQ(ParseIniWriteSpec("app.ini,Main,Key", spec), 25u);
  EXPECT_EQ(ParseIniWriteSpec("f,s," + Repeat('k', 260) + "=v", spec), 25u);
  EXPECT_EQ(ParseIniWriteSpec("f,s,k=" + Repeat('v', 259), spec), 0u);
  EXPECT_EQ(ParseIniWriteSpec("f,s,k=" + Repeat('v', 260), spec), 24u);
}

}  // namespace
