// The registry commands; effects read back with RegQueryValueExA and friends.
#include <tuple>

#include "support/mbcs.h"
#include "support_code/script_test.h"

namespace {
using RegistryWrite = ScriptTest;
using RegistryRead = ScriptTest;
using RegistryKeys = ScriptTest;

TEST_F(RegistryWrite, EveryRootIsWrittenAndReadAndOtherFormsAreRefused) {
  const std::string own = "OrqTest_" + name_;
  const std::tuple<std::string, HKEY, std::string> roots[] = {
      {"HKLM\\", HKEY_LOCAL_MACHINE, Sub()}, {"HKCR\\", HKEY_CLASSES_ROOT, own},
      {"HKCU\\", HKEY_CURRENT_USER, "Software\\" + own},
      {"HKUS\\", HKEY_USERS, ".DEFAULT\\Software\\" + own},
      {"HKCC\\", HKEY_CURRENT_CONFIG, "Software\\" + own}};
  for (const auto& [prefix, handle, sub] : roots) {
    std::string key = prefix + sub;
    SCOPED_TRACE(key);
    PutRegistryValue(handle, sub);
    ExpectAnswers({{"GETREGVALUE S=" + key + ",Str", "hello"}, {"FINDREGKEY K=" + key, "TRUE"}},
                  {"SETREGVALUE " + key + ",Str=hello"});
    EXPECT_EQ(ReadRegistryValue(handle, sub, "Str"), Sz("hello"));
    SHDeleteKeyA(handle, sub.c_str());
  }
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  ExpectFailures({{"SETREGVALUE hklm\\" + Sub() + ",A=1", 20},
                  {"SETREGVALUE HKEY_LOCAL_MACHINE\\" + Sub() + ",A=1", 20},
                  {"SETREGVALUE HKU\\.DEFAULT,A=1", 20}, {"GETREGVALUE V=HKLM/Software,x", 20},
                  {"FINDREGKEY K= HKLMSoftware", 20}, {"ISREGKEYEMPTY E=hklm\\Software", 20},
                  {"CREATEREGKEY hklm\\" + Sub() + ",X", 20},
                  {"DELETEREGVALUE hklm\\" + Sub() + ",A", 20},
                  {"DELETEREGKEYRECURSIVE hklm\\" + Sub(), 20}});
  EXPECT_EQ(Value("A"), StoredValue{});
  EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub()));
}

TEST_F(RegistryWrite, TypeTagIsTakenBeforeExpansionAndTrailBytesSplitNothing) {
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  const std::string big(900, 'b');
  const std::pair<std::string, StoredValue> rows[] = {
      {"/reg_sz:on", Sz("on")}, {"/Reg_Dword:255", Dword(255)},
      {"/REG_QWORD:5", Sz("/REG_QWORD:5")}, {"12", Sz("12")},
      {"/REG_DWORD:-1", Dword(0xFFFFFFFF)}, {"/REG_DWORD:4294967295", Dword(0xFFFFFFFF)},
      {"/REG_DWORD:0x10", Dword(0)}, {"/REG_DWORD: \t+7", Dword(7)},
      {"/REG_DWORD:- 3", Dword(0)}, {"/REG_DWORD:", Dword(0)},
      {"/REG_DWORD:-2147483648", Dword(0x80000000)}, {"/REG_DWORD:000000000000000042", Dword(42)},
      {"/REG_DWORD:%%N%%", Dword(42)}, {"%%T%%", Sz("/REG_DWORD:5")},
      {std::string(259, 'd'), Sz(std::string(259, 'd'))},
      {"%%Half%%%%Half%%", Sz(big)}};  // expansion may pass 259 bytes
  // Under a double-byte code page a "," or "=" that is a trail byte separates nothing.
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("A\x82,C"), "Name", Sz("v"));
  std::vector<std::string> lines = {"SET N=42", "SET T=/REG_DWORD:5", "SET W=Val",
                                    "SET Half=" + big.substr(450),
                                    "SETREGVALUE " + Key() + ",N%%W%%=x",
                                    "SETREGVALUE " + Key() + ",N\x82=X=/REG_DWORD:1",
                                    "GETREGVALUE Got=" + Key("A\x82,C") + ",Name",
                                    "DELETEREGVALUE " + Key("A\x82,C") + ",Name"};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    lines.push_back("SETREGVALUE " + Key() + ",V" + std::to_string(i) + "=" + rows[i].first);
  }
  SetAnsiCodePageForTesting(932);
  const unsigned status = Run(lines);
  SetAnsiCodePageForTesting(0);
  ASSERT_EQ(status, 0u) << Log();
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(Value(("V" + std::to_string(i)).c_str()), rows[i].second) << rows[i].first;
  }
  EXPECT_EQ(Value("NVal"), Sz("x"));
  EXPECT_EQ(Value("N\x82=X"), Dword(1));
  EXPECT_EQ(Symbol("Got"), "v");
  EXPECT_EQ(Value("Name", "A\x82,C"), StoredValue{});
}

// A symbol value that does not fit the field it is expanded into (L: 300 bytes, V: 255, M:
// 1000 where a line holds 512) never reaches a write or a delete either: a cut value name
// would be the default value.
TEST_F(RegistryWrite, FailuresReportTheirCodeAndWriteOrDeleteNothing) {
  const std::string ini = dir_ + "\\app.ini", iniBytes = "[Paths]\r\nList=C:\\old\r\n";
  WriteTextFile(ini, iniBytes);
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Keep", Sz("kept"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "", Sz("default"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("R2"));
  const std::pair<std::string, unsigned> rows[] = {
      {"SETREGVALUE " + Key("Missing") + ",A=1", 14},
      {"SETREGVALUE " + Key() + ",A=%%NoSuchSymbol%%", 28},
      {"SETREGVALUE " + Key() + ",A=/reg_dword:-2147483649", 17},
      {"SETREGVALUE " + Key() + ",A=/REG_DWORD:99999999999999999999999", 17},
      {"SETREGVALUE " + Key() + ",A=" + std::string(260, 'd'), 25},
      {"SETREGVALUE " + Key() + ",A", 21},
      {"SETREGVALUE " + Key() + "," + std::string(260, 'n') + "=1", 21},
      {"SETREGVALUE HKLM\\" + std::string(260, 'k') + ",A=1", 22}, {"SETREGVALUE " + Key(), 22},
      {"DELETEREGVALUE " + Key() + ",%%L%%Keep", 59},
      {"DELETEREGVALUE " + Key() + ",Keep%%Unclosed", 28},
      {"SETREGVALUE " + Key() + ",%%M%%=x", 59}, {"SETREGVALUE " + Key() + ",A=%%M%%;C:\\new", 59},
      {"SETREGVALUE " + Key("R2") + "\\%%M%%,A=x", 59},
      {"SETINIFILEVALUE " + ini + ",Paths,List=%%L%%", 59},
      {"SETINIFILEVALUE " + ini + ",Paths,List=%%V%%;C:\\extra", 59},
      {"DELETEINIFILESECTION " + ini + "%%M%%,Paths", 59},
      {"SETWORKDIR %%M%%", 59}};
  for (const auto& [line, code] : rows) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Run({"SET L=" + std::string(300, 's'), "SET V=" + std::string(255, 'v'),
                   "SET H=" + std::string(500, 'm'), "SET M=%%H%%%%H%%", line, "SET After=1"}),
              code);
    EXPECT_EQ(ctx_->lastError, code);
    EXPECT_NE(Log().find("Error: "), std::string::npos) << Log();
    EXPECT_NE(Log().find("\n>>Line 6: " + line), std::string::npos) << Log();
    EXPECT_EQ(Symbol("After"), "<unset>");
  }
  EXPECT_EQ(Value("Keep"), Sz("kept"));
  EXPECT_EQ(Value(""), Sz("default"));
  EXPECT_EQ(Value("A"), StoredValue{});
  EXPECT_EQ(Value("A", "R2"), StoredValue{});
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub("Missing")));
  EXPECT_EQ(ReadTextFile(ini), iniBytes);
}

TEST_F(RegistryRead, ValuesReadAsTextAndFindRegValueNeverReports) {
  const std::string s259(259, 's'), k = Key();
  // Each value and GETREGVALUE's text of it: one too long is empty, never cut.
  const std::tuple<const char*, StoredValue, std::string> values[] = {
      {"D255", Dword(255), "255"}, {"DAll", Dword(0xFFFFFFFF), "-1"},
      {"DMin", Dword(0x80000000), "-2147483648"}, {"S259", Sz(s259), s259},
      {"S260", Sz(s259 + "s"), ""}, {"Bin260", {REG_BINARY, std::string(260, 'b')}, ""},
      {"", Sz("default"), "default"}, {"a,b", {REG_EXPAND_SZ, Sz("%TEMP%").second}, "%TEMP%"},
      {"Empty", Sz(""), ""}, {"Zero", Dword(0), "0"}};
  std::vector<Answer> answers = {
      {"GETREGVALUE V0=" + k + ",Missing", ""}, {"GETREGVALUE V1=" + Key("NoKey") + ",Any", ""},
      {"FINDREGVALUE F1=" + k + ",Empty", "FALSE"}, {"FINDREGVALUE F2=" + k + ",Zero", "TRUE"},
      {"FINDREGVALUE F3=" + k + ",Missing", "FALSE"},
      {"FINDREGVALUE F4=" + Key("NoKey") + ",Zero", "FALSE"},
      {"FINDREGVALUE F5=" + k + ",S260", "FALSE"},
      {"FINDREGKEY M=HKLM\\NoSuchKeyOrq", "FALSE"}, {"FINDREGKEY R=HKLM\\", "TRUE"}};
  for (const auto& [name, value, text] : values) {
    PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), name, value);
    answers.push_back({"GETREGVALUE V" + std::to_string(answers.size()) + "=" + k + "," + name,
                       text});
  }
  ExpectAnswers(answers, {"SET V0=stale", "SET V1=stale"});
  ExpectFailures({{"GETREGVALUE V=HKLM\\Software", 22},
                  {"GETREGVALUE HKLM\\Software,x", 23},
                  {"GETREGVALUE " + std::string(260, 'n') + "=" + k + ",x", 23},
                  {"GETREGVALUE V=HKLM\\" + std::string(260, 'k') + ",x", 22},
                  {"GETREGVALUE V=HKLM\\Software," + std::string(260, 'v'), 25},
                  {"FINDREGKEY K", 23}});
  ExpectFailures({{"FINDREGVALUE F", 23},
                  {"FINDREGVALUE F=hklm\\Software,x", 20}, {"FINDREGVALUE F=HKLM\\Software", 22}},
                 /*reported=*/false);
}

// Wine's SHDeleteEmptyKeyA removes a key holding values, which Windows keeps: not checked.
TEST_F(RegistryKeys, KeysAreMadeOnceAndOnlyTheRecursiveDeleteRemovesSubKeys) {
  const std::string longName(300, 'v');  // beyond what a short enumeration buffer takes
  for (const char* key : {"Parent\\Child", "Leaf", "EmptyLeaf", "Tree\\A\\C"}) {
    PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(key));
  }
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Made"), "Keep", Sz("1"));  // made a second time
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Old1", Sz("x"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub(), "Keep", Sz("x"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree"), "Top", Sz("1"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\A"), "Mid", Dword(2));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\A\\B"), longName.c_str(), Sz("3"));
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub("Tree\\D"), "", Sz("default"));
  ExpectAnswers({{"ISREGKEYEMPTY A=" + Key("Tree\\A\\B"), "TRUE"},  // values only
                 {"ISREGKEYEMPTY B=" + Key("Parent"), "FALSE"},
                 {"ISREGKEYEMPTY C=" + Key("Missing"), "TRUE"}});
  // Only the value name is expanded, after the split; a missing key or value is no error.
  ASSERT_EQ(Run({"CREATEREGKEY " + Key() + ",New\\Sub", "CREATEREGKEY " + Key() + ",Made",
                 "CREATEREGKEY " + Key() + ", One , Ignored",
                 "CREATEREGKEY " + Key("NoParent") + ",Child", "SET N=1",
                 "DELETEREGVALUE " + Key() + ", Old%%N%% ", "DELETEREGVALUE " + Key() + ",NoSuch",
                 "DELETEREGVALUE " + Key("NoKey") + ",%%Undefined%%",
                 "DELETEREGKEY " + Key("Parent"), "DELETEEMPTYREGKEY " + Key("Parent"),
                 "DELETEREGKEY " + Key("Leaf"), "DELETEEMPTYREGKEY " + Key("EmptyLeaf"),
                 "DELETEREGKEY " + Key("Missing"), "DELETEEMPTYREGKEY " + Key("Missing"),
                 "DELETEREGKEYRECURSIVE  " + Key("Tree") + "  ",
                 "DELETEREGKEYRECURSIVE " + Key("Missing")}),
            0u);
  EXPECT_EQ(Value("Keep", "Made"), Sz("1"));
  EXPECT_EQ(Value("Old1"), StoredValue{});
  for (const auto& [key, exists] : {std::pair{"New\\Sub", true}, {"One", true}, {"Ignored", false},
                                    {"NoParent", false}, {"Parent\\Child", true}, {"Leaf", false},
                                    {"EmptyLeaf", false}, {"Tree", false}}) {
    EXPECT_EQ(RegistryKeyExists(HKEY_LOCAL_MACHINE, Sub(key)), exists) << key;
  }
  ExpectFailures({{"CREATEREGKEY " + Key() + ",  ", 51},
                  {"DELETEREGVALUE " + Key(), 51},
                  {"DELETEREGVALUE " + Key() + ",%%Undefined%%", 28},
                  {"DELETEREGVALUE HKLM\\" + std::string(260, 'k') + ",Keep", 51},
                  {"DELETEREGKEY hklm\\" + Sub("Parent"), 51},
                  {"DELETEEMPTYREGKEY HKEY_LOCAL_MACHINE\\" + Sub("Parent"), 51},
                  {"DELETEREGKEYRECURSIVE HKCU\\\\", 51}});  // would empty the whole root
  EXPECT_EQ(Value("Keep"), Sz("x"));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software"));
}
}  // namespace
