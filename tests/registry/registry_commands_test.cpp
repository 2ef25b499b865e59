// The registry commands run through the dispatcher; effects are read back with
// RegQueryValueExA and friends.
#include "registry_test_support.h"

namespace {
using RegistryWrite = ScriptTest;
using RegistryRead = ScriptTest;
using RegistryKeys = ScriptTest;

TEST_F(RegistryWrite, WritesStringsAndNumbersUnderEveryRoot) {
  struct Root {
    const char* prefix;
    HKEY handle;
    std::string sub;
  };
  const Root roots[] = {{"HKLM\\", HKEY_LOCAL_MACHINE, Sub()},
                        {"HKCR\\", HKEY_CLASSES_ROOT, "OrqTest_" + name_},
                        {"HKCU\\", HKEY_CURRENT_USER, Sub()},
                        {"HKUS\\", HKEY_USERS, ".DEFAULT\\Software\\OrqTest_" + name_},
                        {"HKCC\\", HKEY_CURRENT_CONFIG, "Software\\OrqTest_" + name_}};
  for (const Root& root : roots) {
    PutRegistryValue(root.handle, root.sub);
    std::string key = root.prefix + root.sub;
    EXPECT_EQ(Run({"SETREGVALUE " + key + ",Str=hello world",
                   "SETREGVALUE " + key + ",Num=/REG_DWORD:-1", "GETREGVALUE S=" + key + ",Str",
                   "GETREGVALUE N=" + key + ",Num", "FINDREGKEY K=" + key}),
              0u)
        << key;
    RegistryReadBack str = ReadRegistryValue(root.handle, root.sub, "Str");
    EXPECT_EQ(str.type, static_cast<DWORD>(REG_SZ)) << key;
    EXPECT_EQ(str.data, StringBytes("hello world")) << key;  // the terminating zero too
    RegistryReadBack num = ReadRegistryValue(root.handle, root.sub, "Num");
    EXPECT_EQ(num.type, static_cast<DWORD>(REG_DWORD)) << key;
    EXPECT_EQ(num.data, DwordBytes(0xFFFFFFFF)) << key;
    EXPECT_EQ(Symbol("S"), "hello world") << key;
    EXPECT_EQ(Symbol("N"), "-1") << key;
    EXPECT_EQ(Symbol("K"), "TRUE") << key;
    SHDeleteKeyA(root.handle, root.sub.c_str());
  }
}

TEST_F(RegistryWrite, TypeTagIsTakenBeforeExpansionAndNumbersAreSignedDecimal) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  std::string k = Key();
  ASSERT_EQ(
      Run({"SET N=42", "SET T=/REG_DWORD:5", "SET V=Val", "SETREGVALUE " + k + ",Mode=/reg_sz:on",
           "SETREGVALUE " + k + ",Blank=/REG_DWORD: 7", "SETREGVALUE " + k + ",Qword=/REG_QWORD:5",
           "SETREGVALUE " + k + ",Path=C:\\Temp", "SETREGVALUE " + k + ",Untagged=12",
           "SETREGVALUE " + k + ",FromSymbol=%%N%%", "SETREGVALUE " + k + ",Count=/REG_DWORD:%%N%%",
           "SETREGVALUE " + k + ",TagInSymbol=%%T%%",
           "SETREGVALUE " + k + ",Max=/REG_DWORD:4294967295",
           "SETREGVALUE " + k + ",Hex=/REG_DWORD:0x10", "SETREGVALUE " + k + ",Named%%V%%=x"}),
      0u);
  auto str = [&](const char* name) { return ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), name); };
  EXPECT_EQ(str("Mode").AsString(), "on");
  EXPECT_EQ(str("Blank").AsDword(), 7u);
  EXPECT_EQ(str("Qword").type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(str("Qword").AsString(), "/REG_QWORD:5");
  EXPECT_EQ(str("Path").AsString(), "C:\\Temp");
  EXPECT_EQ(str("Untagged").type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(str("FromSymbol").AsString(), "42");
  EXPECT_EQ(str("Count").type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(str("Count").AsDword(), 42u);
  EXPECT_EQ(str("TagInSymbol").type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(str("TagInSymbol").AsString(), "/REG_DWORD:5");
  EXPECT_EQ(str("Max").AsDword(), 0xFFFFFFFFu);
  EXPECT_EQ(str("Hex").AsDword(), 0u);
  EXPECT_EQ(str("NamedVal").AsString(), "x");
}

TEST_F(RegistryWrite, FailuresReportTheirCodeAndWriteNothing) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  struct Case {
    std::string line;
    unsigned code;
  } cases[] = {
      {"SETREGVALUE " + Key("Missing") + ",A=1", 14},
      {"SETREGVALUE " + Key() + ",A=%%NoSuchSymbol%%", 28},
      {"SETREGVALUE " + Key() + ",A=/REG_DWORD:4294967296", 17},
      {"SETREGVALUE " + Key() + ",A=" + std::string(260, 'd'), 25},
      {"SETREGVALUE " + Key() + ",A", 21},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run({c.line, "SET After=1"}), c.code) << c.line;
    EXPECT_EQ(Reported(), c.code) << c.line;
    EXPECT_EQ(Symbol("After"), "<unset>") << c.line;
    EXPECT_NE(Log().find("Error: "), std::string::npos) << c.line;
  }
  EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "A").found);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Missing")));  // never created
}

TEST_F(RegistryWrite, DataAtTheFieldBoundIsWrittenWhole) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  std::string data259(259, 'd');
  ASSERT_EQ(Run({"SET Half=" + std::string(450, 'b'), "SET Big=%%Half%%%%Half%%",
                 "SETREGVALUE " + Key() + ",At=" + data259,
                 "SETREGVALUE " + Key() + ",Expanded=%%Big%%"}),
            0u);
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "At").AsString(), data259);
  // Expansion may grow a field to 999 bytes.
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Expanded").AsString(),
            std::string(900, 'b'));
}

TEST_F(RegistryRead, GetRegValueTextOfEachKindOfData) {
  std::string s259(259, 's'), s260(260, 's');
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "D255", REG_DWORD, DwordBytes(255));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "DAll", REG_DWORD, DwordBytes(0xFFFFFFFF));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "S259", REG_SZ, StringBytes(s259));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "S260", REG_SZ, StringBytes(s260));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Bin260", REG_BINARY, std::string(260, 'b'));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "", REG_SZ, StringBytes("default"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "a,b", REG_EXPAND_SZ, StringBytes("%TEMP%"));
  std::string k = Key();
  ASSERT_EQ(Run({"SET V6=stale", "SET V7=stale", "GETREGVALUE V1=" + k + ",D255",
                 "GETREGVALUE V2=" + k + ",DAll", "GETREGVALUE V3=" + k + ",S259",
                 "GETREGVALUE V4=" + k + ",S260", "GETREGVALUE V5=" + k + ",Bin260",
                 "GETREGVALUE V6=" + k + ",Missing", "GETREGVALUE V7=" + Key("NoKey") + ",Any",
                 "GETREGVALUE V8=" + k + ",", "GETREGVALUE V9=" + k + ",a,b"}),
            0u);
  EXPECT_EQ(Symbol("V1"), "255");
  EXPECT_EQ(Symbol("V2"), "-1");
  EXPECT_EQ(Symbol("V3"), s259);
  EXPECT_EQ(Symbol("V4"), "");  // longer than 259 bytes: empty, never cut
  EXPECT_EQ(Symbol("V5"), "");
  EXPECT_EQ(Symbol("V6"), "");
  EXPECT_EQ(Symbol("V7"), "");
  EXPECT_EQ(Symbol("V8"), "default");
  EXPECT_EQ(Symbol("V9"), "%TEMP%");  // taken as written, not expanded
}

TEST_F(RegistryRead, GetRegValueAndFindRegKeyReportSyntaxErrors) {
  EXPECT_EQ(Run({"GETREGVALUE V=hklm\\Software,x"}), 20u);
  EXPECT_EQ(Run({"GETREGVALUE V=HKLM\\Software"}), 22u);
  EXPECT_EQ(Run({"GETREGVALUE HKLM\\Software,x"}), 23u);
  EXPECT_EQ(Reported(), 23u);
  EXPECT_EQ(Run({"FINDREGKEY K=hklm\\Software"}), 20u);
  EXPECT_EQ(Reported(), 20u);
  EXPECT_EQ(Run({"FINDREGKEY K"}), 23u);
  EXPECT_EQ(Run({"FINDREGKEY K=HKLM\\Software", "FINDREGKEY M=HKLM\\NoSuchKeyOrq",
                 "FINDREGKEY R=HKLM\\", "FINDREGKEY U=HKUS\\.DEFAULT"}),
            0u);
  EXPECT_EQ(Symbol("K"), "TRUE");
  EXPECT_EQ(Symbol("M"), "FALSE");
  EXPECT_EQ(Symbol("R"), "TRUE");
  EXPECT_EQ(Symbol("U"), "TRUE");
}

TEST_F(RegistryRead, FindRegValueAnswersAndNeverReports) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Empty", REG_SZ, StringBytes(""));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Zero", REG_DWORD, DwordBytes(0));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "S259", REG_SZ, StringBytes(std::string(259, 's')));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "S260", REG_SZ, StringBytes(std::string(260, 's')));
  std::string k = Key();
  ASSERT_EQ(Run({"FINDREGVALUE F1=" + k + ",Empty", "FINDREGVALUE F2=" + k + ",Zero",
                 "FINDREGVALUE F3=" + k + ",Missing", "FINDREGVALUE F4=" + Key("No") + ",Zero",
                 "FINDREGVALUE F5=" + k + ",S259", "FINDREGVALUE F6=" + k + ",S260"}),
            0u);
  EXPECT_EQ(Symbol("F1"), "FALSE");
  EXPECT_EQ(Symbol("F2"), "TRUE");
  EXPECT_EQ(Symbol("F3"), "FALSE");
  EXPECT_EQ(Symbol("F4"), "FALSE");
  EXPECT_EQ(Symbol("F5"), "TRUE");
  EXPECT_EQ(Symbol("F6"), "FALSE");

  for (auto [line, code] : {std::pair<std::string, unsigned>{"FINDREGVALUE F", 23},
                            {"FINDREGVALUE F=hklm\\Software,x", 20},
                            {"FINDREGVALUE F=HKLM\\Software", 22}}) {
    EXPECT_EQ(Run({line, "SET After=1"}), code) << line;
    EXPECT_EQ(Reported(), 0u) << line;
    EXPECT_EQ(Symbol("After"), "<unset>") << line;  // the section still ends
    EXPECT_EQ(Log().find("Error:"), std::string::npos) << line;
  }
}

TEST_F(RegistryKeys, CreateRegKeyMakesEveryLevelOnceAndNeedsAName) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  std::string line = "CREATEREGKEY " + Key() + ",Example\\Sub";
  ASSERT_EQ(Run({line}), 0u);
  ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Example\\Sub")));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Example\\Sub"), "Keep", REG_SZ, StringBytes("1"));
  EXPECT_EQ(Run({line}), 0u);  // a second time changes nothing
  EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub("Example\\Sub"), "Keep").found);

  EXPECT_EQ(Run({"CREATEREGKEY " + Key("NoParent") + ",Child"}), 0u);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("NoParent")));
  EXPECT_EQ(Run({"CREATEREGKEY " + Key() + ", One , Ignored"}), 0u);
  EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("One")));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Ignored")));

  EXPECT_EQ(Run({"CREATEREGKEY hklm\\Software,Example"}), 20u);
  EXPECT_EQ(Run({"CREATEREGKEY " + Key("Lone")}), 51u);
  EXPECT_EQ(Run({"CREATEREGKEY " + Key() + ",  "}), 51u);
  DWORD subKeys = 0;
  UniqueRegKey scratch;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, Sub().c_str(), 0, KEY_READ, scratch.Put()), 0);
  RegQueryInfoKeyA(scratch.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(subKeys, 2u);  // Example and One; nothing made of a parent's path
}

TEST_F(RegistryKeys, DeleteRegValueExpandsOnlyTheValueName) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Old1", REG_SZ, StringBytes("x"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Keep", REG_SZ, StringBytes("x"));
  ASSERT_EQ(Run({"SET N=1", "DELETEREGVALUE " + Key() + ", Old%%N%% ",
                 "DELETEREGVALUE " + Key() + ",NoSuchValue",
                 "DELETEREGVALUE " + Key("NoKey") + ",%%Undefined%%"}),
            0u);
  EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Old1").found);
  EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Keep").found);
  EXPECT_EQ(Run({"DELETEREGVALUE " + Key()}), 51u);
  EXPECT_EQ(Run({"DELETEREGVALUE hklm\\" + Sub() + ",Keep"}), 20u);
  EXPECT_EQ(Run({"DELETEREGVALUE " + Key() + ",%%Undefined%%"}), 28u);
  EXPECT_EQ(Run({"DELETEREGVALUE HKLM\\" + std::string(260, 'k') + ",Keep"}), 51u);
  EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Keep").found);
}

// Wine's SHDeleteEmptyKeyA removes a key that holds values, which Windows keeps: only what
// both agree on is checked here.
TEST_F(RegistryKeys, DeleteRegKeyAndDeleteEmptyRegKeyKeepKeysWithSubKeys) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Parent\\Child"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Leaf"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("EmptyLeaf"));
  ASSERT_EQ(Run({"DELETEREGKEY " + Key("Parent"), "DELETEEMPTYREGKEY " + Key("Parent"),
                 "DELETEREGKEY " + Key("Leaf"), "DELETEEMPTYREGKEY " + Key("EmptyLeaf"),
                 "DELETEREGKEY " + Key("Missing"), "DELETEEMPTYREGKEY " + Key("Missing")}),
            0u);
  EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Parent\\Child")));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Leaf")));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("EmptyLeaf")));
  EXPECT_EQ(Run({"DELETEREGKEY hklm\\" + Sub("Parent")}), 51u);
  EXPECT_EQ(Run({"DELETEEMPTYREGKEY HKEY_LOCAL_MACHINE\\" + Sub("Parent")}), 51u);
  EXPECT_EQ(Reported(), 51u);
}

TEST_F(RegistryKeys, IsRegKeyEmptyCountsSubKeysOnly) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("ValuesOnly"), "V", REG_SZ, StringBytes("x"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("WithChild\\Child"));
  ASSERT_EQ(Run({"ISREGKEYEMPTY A=" + Key("ValuesOnly"), "ISREGKEYEMPTY B=" + Key("WithChild"),
                 "ISREGKEYEMPTY C=" + Key("Missing")}),
            0u);
  EXPECT_EQ(Symbol("A"), "TRUE");
  EXPECT_EQ(Symbol("B"), "FALSE");
  EXPECT_EQ(Symbol("C"), "TRUE");
  EXPECT_EQ(Run({"ISREGKEYEMPTY " + Key()}), 51u);  // a split error is always 51
  EXPECT_EQ(Run({"ISREGKEYEMPTY E=hklm\\Software"}), 20u);
}

TEST_F(RegistryKeys, DeleteRegKeyRecursiveRemovesAWholeTree) {
  std::string longName(300, 'v');  // beyond what a short enumeration buffer takes
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree"), "Top", REG_SZ, StringBytes("1"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\A"), "Mid", REG_DWORD, DwordBytes(2));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\A\\B"), longName.c_str(), REG_SZ,
                   StringBytes("3"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\A\\C"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\D"), "", REG_SZ, StringBytes("default"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Sibling"), "Keep", REG_SZ, StringBytes("1"));
  ASSERT_EQ(Run({"DELETEREGKEYRECURSIVE  " + Key("Tree") + "  ",
                 "DELETEREGKEYRECURSIVE " + Key("Missing")}),
            0u);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Tree")));
  EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, Sub("Sibling"), "Keep").found);
  EXPECT_EQ(Run({"DELETEREGKEYRECURSIVE hklm\\" + Sub("Sibling")}), 20u);
  // A root alone would empty the whole root: refused.
  EXPECT_EQ(Run({"DELETEREGKEYRECURSIVE HKCU\\"}), 51u);
  EXPECT_EQ(Run({"DELETEREGKEYRECURSIVE HKCU\\\\"}), 51u);
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software"));
  EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Sibling")));
}
}  // namespace
