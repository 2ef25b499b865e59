#include "commands/registry/ini_arguments_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// GETMESSAGEFROMID's name buffer is 1024 bytes, the other fields' 260; a field that does not
// fit is refused, never cut.
TEST(IniSpecs, FieldsMustFitTheirBuffers) {
  IniReadSpec read;
  EXPECT_EQ(ParseIniReadSpec(std::string(1023, 'n') + "=f,s,k", kIniMessageSize, read), 0u);
  EXPECT_EQ(ParseIniReadSpec(std::string(1024, 'n') + "=f,s,k", kIniMessageSize, read), 23u);
  EXPECT_EQ(ParseIniReadSpec(std::string(260, 'n') + "=f,s,k", kIniFieldSize, read), 23u);
  EXPECT_EQ(ParseIniReadSpec("V=" + std::string(260, 'f') + ",s,k", kIniFieldSize, read), 27u);
  EXPECT_EQ(ParseIniReadSpec("V=f,s," + std::string(259, 'k'), kIniFieldSize, read), 0u);
  EXPECT_EQ(read.key, std::string(259, 'k'));
  IniWriteSpec write;
  EXPECT_EQ(ParseIniWriteSpec("f,s," + std::string(260, 'k') + "=v", write), 25u);
  EXPECT_EQ(ParseIniWriteSpec("f,s,k=" + std::string(259, 'v'), write), 0u);
  EXPECT_EQ(write.value, std::string(259, 'v'));
}

}  // namespace
