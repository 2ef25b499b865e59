#include <gtest/gtest.h>

#include <string>

#include "engine/mbcs.h"
#include "host/command_line_parse.h"

namespace {
// The program's own path always leads the command line.
const std::string kProgram = "\"C:\\Program Files\\Orqex\\Orqex.exe\" ";

HostCommandLine Parse(const std::string& switches) { return ParseCommandLine(kProgram + switches); }

class CommandLineParse : public ::testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePageForTesting(0); }
};

TEST_F(CommandLineParse, ValuesRunToTheNextSwitchAndAreTrimmed) {
  HostCommandLine cl = Parse("/Script=  C:\\a b\\s.Orq   /Section= Main /Log=x.log");
  EXPECT_EQ(cl.scriptValue, "C:\\a b\\s.Orq");
  EXPECT_EQ(cl.section, "Main");
  EXPECT_EQ(cl.logName, "x.log");
  // A "-" ends a value like a "/" does.
  cl = Parse("-Script=C:\\my-setup\\run.Orq -Quiet");
  EXPECT_EQ(cl.scriptValue, "C:\\my");
  EXPECT_TRUE(cl.quiet);
}

TEST_F(CommandLineParse, NamesAreCaseInsensitivePrefixesAndUnknownSwitchesAreIgnored) {
  HostCommandLine cl = Parse("/script=a.Orq /SECTION=Main /quietly /Bogus=1 /Scripts=b.Orq");
  EXPECT_EQ(cl.scriptValue, "a.Orq");
  EXPECT_EQ(cl.section, "Main");
  EXPECT_TRUE(cl.quiet);
  EXPECT_FALSE(cl.deleteScriptDirectory);
  cl = Parse("/deletescriptdirectory /CALLBACK=0A0B /appUtil=FF /PARENT=42");
  EXPECT_TRUE(cl.deleteScriptDirectory);
  EXPECT_EQ(cl.callbackText, "0A0B");
  EXPECT_EQ(cl.appUtilText, "FF");
  EXPECT_EQ(cl.parentText, "42");
  EXPECT_FALSE(cl.quiet);
}

TEST_F(CommandLineParse, ALaterSwitchReplacesAnEarlierOne) {
  HostCommandLine cl = Parse("/Section=A /Script=one.Orq /Section=B /Script=two.Orq");
  EXPECT_EQ(cl.section, "B");
  EXPECT_EQ(cl.scriptValue, "two.Orq");
}

TEST_F(CommandLineParse, ADashInTheProgramPathStartsNoSwitch) {
  HostCommandLine cl = ParseCommandLine("\"C:\\my-tools\\Orqex.exe\" /Script=a.Orq");
  EXPECT_EQ(cl.scriptValue, "a.Orq");
  EXPECT_EQ(cl.section, "");
  EXPECT_EQ(cl.registration, ServerRegistration::None);
}

TEST_F(CommandLineParse, LogIsFoundCaseSensitivelyAnywhereLogPreferredOverLowerCase) {
  EXPECT_EQ(Parse("/LOG=x.log /Script=a.Orq").logName, "");
  EXPECT_EQ(Parse("/log=low.log /Log=up.log").logName, "up.log");
  EXPECT_EQ(Parse("/log=low.log").logName, "low.log");
  EXPECT_EQ(Parse("/Log=C:\\my-logs\\x.log").logName, "C:\\my");
  // Not a switch of the walk: it sets nothing else.
  HostCommandLine cl = Parse("/Log=C:\\Quiet.log");
  EXPECT_FALSE(cl.quiet);
  EXPECT_EQ(cl.scriptValue, "");
}

TEST_F(CommandLineParse, RegistrationOnlyWhenTheWholeRestIsTheWord) {
  EXPECT_EQ(Parse("/RegServer").registration, ServerRegistration::Register);
  EXPECT_EQ(Parse("-unregserver").registration, ServerRegistration::Unregister);
  EXPECT_EQ(Parse("/RegServer ").registration, ServerRegistration::None);
  EXPECT_EQ(Parse("/RegServerX").registration, ServerRegistration::None);

  HostCommandLine before = Parse("/RegServer /Script=a.Orq");
  EXPECT_EQ(before.registration, ServerRegistration::None);
  EXPECT_EQ(before.scriptValue, "a.Orq");
  HostCommandLine after = Parse("/Script=a.Orq /UnregServer");
  EXPECT_EQ(after.registration, ServerRegistration::Unregister);
}

TEST_F(CommandLineParse, EveryValueIsCutToItsBound) {
  HostCommandLine cl = Parse("/Script=" + std::string(300, 's') + " /Section=" +
                             std::string(300, 'n') + " /CallBack=" + std::string(1200, 'A') +
                             " /AppUtil=" + std::string(1200, 'B') + " /Parent=" +
                             std::string(40, '7') + " /Params=" + std::string(9000, '4') +
                             " /Log=" + std::string(300, 'l'));
  EXPECT_EQ(cl.scriptValue.size(), 259u);
  EXPECT_EQ(cl.section.size(), 259u);
  EXPECT_EQ(cl.callbackText.size(), 999u);
  EXPECT_EQ(cl.appUtilText.size(), 999u);
  EXPECT_EQ(cl.parentText.size(), 31u);
  EXPECT_EQ(cl.rawParams.size(), 8191u);
  EXPECT_EQ(cl.paramsText, std::string(4095, '\x44'));
  EXPECT_EQ(cl.logName.size(), 259u);
}

TEST_F(CommandLineParse, ParamsDecodePairsOfHexDigits) {
  EXPECT_EQ(DecodeParams("61623D2263220A"), "ab=\"c\"\n");
  EXPECT_EQ(DecodeParams("6a6B"), "jk");
  EXPECT_EQ(DecodeParams("616"), "a");                        // odd last digit dropped
  EXPECT_EQ(DecodeParams("4G"), std::string("\x04", 1));      // reading stops at "G"
  EXPECT_EQ(DecodeParams("G461"), std::string("\0a", 2));     // no digit at all: 0
  EXPECT_EQ(DecodeParams(" 6"), "\x06");                      // read as strtol reads it
  EXPECT_EQ(DecodeParams(""), "");
  HostCommandLine cl = Parse("/Params=6C616E673D226465 22 /Quiet");
  EXPECT_EQ(cl.rawParams, "6C616E673D226465 22");
  EXPECT_EQ(cl.paramsText, std::string("lang=\"de") + '\x02');
}

TEST_F(CommandLineParse, ParentIdIsADecimalNumber) {
  EXPECT_EQ(ParentProcessId("1234"), 1234u);
  EXPECT_EQ(ParentProcessId(" 56x"), 56u);
  EXPECT_EQ(ParentProcessId("abc"), 0u);
  EXPECT_EQ(ParentProcessId(""), 0u);
  EXPECT_EQ(ParentProcessId("99999999999"), 0u);  // too large to be a process id
}

TEST_F(CommandLineParse, ScriptWithAFolderKeepsItsFolder) {
  ScriptLocation at = LocateScript("C:\\Temp\\x\\setup.Orq", "C:\\prog");
  EXPECT_EQ(at.path, "C:\\Temp\\x\\setup.Orq");
  EXPECT_EQ(at.folder, "C:\\Temp\\x");
  EXPECT_TRUE(at.hasFolder);
  // The folder of a script at the root of a drive is the bare drive.
  at = LocateScript("C:\\setup.Orq", "C:\\prog");
  EXPECT_EQ(at.folder, "C:");
  EXPECT_TRUE(at.hasFolder);
}

TEST_F(CommandLineParse, ScriptWithoutAFolderIsInTheProgramFolder) {
  ScriptLocation at = LocateScript("setup.Orq", "C:\\prog");
  EXPECT_EQ(at.path, "C:\\prog\\setup.Orq");
  EXPECT_EQ(at.folder, "C:\\prog");
  EXPECT_FALSE(at.hasFolder);
  // Beyond the path bound the name is kept whole, so it cannot open some shorter file.
  std::string longFolder = "C:\\" + std::string(250, 'p');
  at = LocateScript("setup.Orq", longFolder);
  EXPECT_EQ(at.path, longFolder + "\\setup.Orq");
}

TEST_F(CommandLineParse, ATrailByteThatLooksLikeABackslashIsNoFolderSeparator) {
  SetAnsiCodePageForTesting(932);
  ScriptLocation at = LocateScript("C:\\dir\\\x95\x5C.Orq", "C:\\prog");
  EXPECT_EQ(at.folder, "C:\\dir");
  at = LocateScript("\x95\x5C.Orq", "C:\\prog");
  EXPECT_FALSE(at.hasFolder);
  EXPECT_EQ(at.path, "C:\\prog\\\x95\x5C.Orq");
}
}  // namespace
