#include "host/command_line_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/mbcs.h"

namespace {
// The program's own path always leads the command line; a "-" in it starts no switch.
HostCommandLine Parse(const std::string& switches) {
  return ParseCommandLine("\"C:\\my-tools\\Orqex.exe\" " + switches);
}

TEST(CommandLineParse, NamesAreCaseInsensitivePrefixesValuesAreTrimmedAndTheLastOneWins) {
  HostCommandLine cl = Parse(
      "/Section=A /script=  C:\\a b\\s.Orq   /SECTION= Main /quietly /Bogus=1 /Scripts=b.Orq");
  EXPECT_EQ(cl.scriptValue, "C:\\a b\\s.Orq");
  EXPECT_EQ(cl.section, "Main");
  EXPECT_TRUE(cl.quiet);
  // A "-" ends a value like a "/" does.
  cl = Parse("-deletescriptdirectory /CALLBACK=0A0B /appUtil=FF -PARENT=42 -Script=C:\\my-s\\r");
  EXPECT_TRUE(cl.deleteScriptDirectory);
  EXPECT_EQ(cl.callbackText, "0A0B");
  EXPECT_EQ(cl.appUtilText, "FF");
  EXPECT_EQ(cl.parentText, "42");
  EXPECT_EQ(cl.scriptValue, "C:\\my");
}

TEST(CommandLineParse, LogIsFoundCaseSensitivelyAnywhereLogPreferredOverLowerCase) {
  EXPECT_FALSE(Parse("/LOG=x.log /Script=a.Orq").logName.has_value());
  EXPECT_EQ(Parse("/Log= /Script=a.Orq").logName, "");  // given, and empty: no main log
  EXPECT_EQ(Parse("/log=low.log /Log=up.log").logName, "up.log");
  EXPECT_EQ(Parse("/log=low.log").logName, "low.log");
  EXPECT_FALSE(Parse("/Log=C:\\Quiet.log").quiet);  // not a switch of the walk
}

// A run that changes nothing, or only checks, must not be turned on by a folder name in
// the program's path or in a script path.
TEST(CommandLineParse, CheckAndWhatIfOnlyAsWholeSwitchesAfterTheProgramPath) {
  const std::tuple<const char*, bool, bool> rows[] = {  // {line, whatIf, check}
      {"x.exe -whatif /Quiet", true, false},
      {"\"C:\\Acme-Check\\Orqex.exe\" -check\t/Script=a.Orq", false, true},
      {"x.exe /WhatIfs /Checked", false, false},
      {"x.exe /Script=C:\\my-whatif\\s.Orq /Script=C:\\x-check\\a.Orq", false, false},
      {"\"C:\\wt-whatif\\Acme-Check Tools\\x.exe\" /Quiet", false, false}};
  for (const auto& [line, whatIf, check] : rows) {
    EXPECT_EQ(ParseCommandLine(line).whatIf, whatIf) << line;
    EXPECT_EQ(ParseCommandLine(line).check, check) << line;
  }
}

TEST(CommandLineParse, RegistrationOnlyWhenTheWholeRestIsTheWord) {
  EXPECT_EQ(Parse("-unregserver").registration, ServerRegistration::Unregister);
  EXPECT_EQ(Parse("/Script=a.Orq /UnregServer").registration, ServerRegistration::Unregister);
  for (const char* rest : {"/RegServer ", "/RegServerX", "/RegServer /Script=a.Orq"}) {
    EXPECT_EQ(Parse(rest).registration, ServerRegistration::None) << rest;
  }
}

// One row for each bound (the section shares the script's, the AppUtil the callback's).
TEST(CommandLineParse, EveryValueIsCutToItsBound) {
  HostCommandLine cl = Parse("/Script=" + std::string(300, 's') + " /CallBack=" +
                             std::string(1200, 'A') + " /Parent=" + std::string(40, '7') +
                             " /Params=" + std::string(9000, '4') + " /Log=" +
                             std::string(300, 'l'));
  EXPECT_EQ(cl.scriptValue.size(), 259u);
  EXPECT_EQ(cl.callbackText.size(), 999u);
  EXPECT_EQ(cl.parentText.size(), 31u);
  EXPECT_EQ(cl.rawParams.size(), 8191u);
  EXPECT_EQ(cl.paramsText, std::string(4095, '\x44'));
  EXPECT_EQ(cl.logName.value_or("").size(), 259u);
}

TEST(CommandLineParse, ParamsDecodePairsOfHexDigitsAndParentIsDecimal) {
  EXPECT_EQ(DecodeParams("6a6B"), "jk");
  EXPECT_EQ(DecodeParams("616"), "a");                     // odd last digit dropped
  EXPECT_EQ(DecodeParams("4G"), std::string("\x04", 1));   // reading stops at "G"
  EXPECT_EQ(DecodeParams("G461"), std::string("\0a", 2));  // no digit at all: 0
  EXPECT_EQ(Parse("/Params=6C616E673D226465 22 /Quiet").paramsText,
            std::string("lang=\"de") + '\x02');
  EXPECT_EQ(ParentProcessId(" 56x"), 56u);
  EXPECT_EQ(ParentProcessId("abc"), 0u);
  EXPECT_EQ(ParentProcessId("99999999999"), 0u);  // too large to be a process id
}

TEST(CommandLineParse, TheLogCopyShowsNoParamsValue) {
  const std::pair<std::string, std::string> rows[] = {
      {"-params= 41 -PARAMS=42", "-params=**** -PARAMS=****"},
      {"/Script=Params=.Orq", "/Script=Params=.Orq"}};
  for (const auto& [switches, shown] : rows) {
    const std::string program = "\"C:\\my-tools\\Orqex.exe\" ";
    EXPECT_EQ(CommandLineForLog(program + switches), program + shown);
  }
}

TEST(CommandLineParse, ScriptWithoutAFolderIsInTheProgramFolder) {
  EXPECT_EQ(LocateScript("C:\\Temp\\x\\setup.Orq", "C:\\prog").folder, "C:\\Temp\\x");
  EXPECT_EQ(LocateScript("C:\\setup.Orq", "C:\\prog").folder, "C:");  // the bare drive
  // Beyond the path bound the name is kept whole, so it cannot open some shorter file.
  const std::string longFolder = "C:\\" + std::string(250, 'p');
  EXPECT_EQ(LocateScript("setup.Orq", longFolder).path, longFolder + "\\setup.Orq");

  // A trail byte that looks like a backslash separates nothing.
  SetAnsiCodePageForTesting(932);
  EXPECT_EQ(LocateScript("C:\\dir\\\x95\x5C.Orq", "C:\\prog").folder, "C:\\dir");
  ScriptLocation at = LocateScript("\x95\x5C.Orq", "C:\\prog");
  SetAnsiCodePageForTesting(0);
  EXPECT_FALSE(at.hasFolder);
  EXPECT_EQ(at.path, "C:\\prog\\\x95\x5C.Orq");
}
}  // namespace
